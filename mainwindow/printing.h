#pragma once
// Printing, the print preview window and PDF export of the editor's
// document, with the choices they remember (header, footer, vertical
// writing, paper, orientation, margins) in the settings file.  The pages
// themselves come from richtext/pages.h; every dialog goes through the
// prompter.

#include "richtext/pages.h"

#include <QDialog>
#include <QPageLayout>
#include <QPointer>
#include <QString>

#include <functional>
#include <memory>

class QCheckBox;
class QLabel;
class QMenu;
class QPlainTextEdit;
class QPrintPreviewWidget;
class QPrinter;
class QPushButton;
class QTimer;

namespace tess {

class Prompter;
class SettingsFile;

namespace ini {
// [Tessarine]: "True" / "False"
inline const QString kPrintHeader = QStringLiteral("PrintHeader");
inline const QString kPrintFooter = QStringLiteral("PrintFooter");
inline const QString kPrintVertical = QStringLiteral("PrintVertical");
// The paper's name as Qt keys it ("A4", "B5" for JIS B5, "ISOB5", "Letter").
inline const QString kPrintPaper = QStringLiteral("PrintPaper");
// "Portrait" / "Landscape"
inline const QString kPrintOrientation = QStringLiteral("PrintOrientation");
// Left, top, right and bottom in millimetres: "20,20,20,20".
inline const QString kPrintMargins = QStringLiteral("PrintMargins");
} // namespace ini

namespace print_text {
inline const QString kPrint = QStringLiteral("印刷(&P)...");
inline const QString kPreview = QStringLiteral("印刷プレビュー(&V)...");
inline const QString kPdf = QStringLiteral("PDF に書き出す(&D)...");
inline const QString kPdfFilter = QStringLiteral("PDF ファイル (*.pdf)");
inline const QString kPreviewTitle = QStringLiteral("印刷プレビュー");
inline const QString kHeader = QStringLiteral("ヘッダー");
inline const QString kFooter = QStringLiteral("フッター");
inline const QString kVertical = QStringLiteral("縦書き");
inline const QString kPrevious = QStringLiteral("◀");
inline const QString kNext = QStringLiteral("▶");
inline const QString kZoomIn = QStringLiteral("拡大");
inline const QString kZoomOut = QStringLiteral("縮小");
inline const QString kFit = QStringLiteral("ページ全体");
inline const QString kFacing = QStringLiteral("見開き");
inline const QString kPageSetup = QStringLiteral("ページ設定...");
inline const QString kPrintButton = QStringLiteral("印刷...");
inline const QString kPdfButton = QStringLiteral("PDF に書き出す...");
inline const QString kClose = QStringLiteral("閉じる");
inline const QString kUntitled = QStringLiteral("無題");
inline const QString kCannotPrint = QStringLiteral("印刷を開始できませんでした。プリンターの設定を確認してください。");
// The window that shows while the pages of a large document are made.
inline const QString kPreparing = QStringLiteral("ページを作成しています...");
inline const QString kStop = QStringLiteral("中止");
// `error` names the file and the reason.
QString cannotWritePdf(const QString& error);
// "3 / 12 ページ" under the preview's page buttons.
QString pageOf(int page, int count);
} // namespace print_text

struct PrintChoices {
    bool header = true;
    bool footer = true;
    bool vertical = false;
    QPageLayout page = defaultPage();

    // A4 upright, 20 mm all round.
    static QPageLayout defaultPage();
    bool operator==(const PrintChoices&) const = default;
};

// The choices stored in [Tessarine]; a value that cannot be read back
// (missing, not a number, a paper Qt does not know) keeps its default.
PrintChoices readPrintChoices(const SettingsFile& settings);
void writePrintChoices(SettingsFile& settings, const PrintChoices& choices);

class Printing;

// The preview window: pages side by side or one at a time, zoom, the
// header, footer and vertical-writing switches, page setup, printing and
// PDF export.  Not modal: the editor stays usable beside it.
class PrintPreview : public QDialog {
    Q_OBJECT
public:
    PrintPreview(Printing& printing, QPrinter& printer, QWidget* parent);

    // Lays the pages out again (after a change of document or choices).
    void refresh();
    QPrintPreviewWidget* view() const { return view_; }

private:
    void showChoices();
    void updatePageLabel();

    Printing& printing_;
    // Edits show in the preview once the typing pauses.
    QTimer* edited_ = nullptr;
    QPrintPreviewWidget* view_ = nullptr;
    QCheckBox* header_ = nullptr;
    QCheckBox* footer_ = nullptr;
    QCheckBox* vertical_ = nullptr;
    QLabel* page_ = nullptr;
    // The pages are being painted: a refresh asked for meanwhile waits.
    bool painting_ = false;
    bool refreshAgain_ = false;
};

class Printing : public QObject {
    Q_OBJECT
public:
    // `title` gives the document's name for the header and the PDF's name.
    // Ctrl+P prints and Ctrl+Shift+P opens the preview from `window`; the
    // editor's context menu offers printing, the preview and PDF export.
    Printing(QWidget* window, QPlainTextEdit* editor, Prompter& prompter, std::function<QString()> title);
    ~Printing() override;

    const PrintChoices& choices() const { return choices_; }
    void setChoices(const PrintChoices& choices);
    pages::Setup setup() const;
    const QTextDocument& document() const;

    void readSettings(const SettingsFile& settings) { setChoices(readPrintChoices(settings)); }
    void writeSettings(SettingsFile& settings) const { writePrintChoices(settings, choices_); }

    // The print dialog, then the printer.
    void print();
    // Opens the preview window, or brings it to the front laid out anew.
    void preview();
    PrintPreview* previewWindow() const { return preview_; }
    // The page setup dialog; the paper, orientation and margins it gives are kept.
    void setUpPage();
    // Asks for a file, then writes the PDF there.
    void exportPdf();
    // Writes the PDF to `path` (only the pages in `ranges` when it is not
    // empty); a failure is told with the file and reason.
    bool exportPdfTo(const QString& path, const QPageRanges& ranges = {});

    // The editor's context menu: its own entries, then ours.
    QMenu* editorMenu();

signals:
    void choicesChanged();
    void documentEdited();

private:
    QPrinter& printer();

    QWidget* window_;
    QPlainTextEdit* editor_;
    Prompter& prompter_;
    std::function<QString()> title_;
    PrintChoices choices_;
    std::unique_ptr<QPrinter> printer_;
    QPointer<PrintPreview> preview_;
};

} // namespace tess
