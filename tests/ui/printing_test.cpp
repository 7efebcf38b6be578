// Printing from the main window: the entry points, the preview window's
// controls, PDF export through the prompter and its failures, and the
// choices kept in the settings file.

#include "mainwindowfixture.h"

#include "core/atomicfile.h"
#include "core/caption.h"
#include "mainwindow/printing.h"
#include "richtext/richtext.h"

#include <QCheckBox>
#include <QMenu>
#include <QPageSize>
#include <QPrintPreviewWidget>
#include <QSignalSpy>
#include <QPrinter>
#include <QPushButton>
#include <QStringEncoder>
#include <QStandardPaths>
#include <QProcess>

#include <cerrno>
#include <cstring>

namespace tess {
// Readable failure output.
inline void PrintTo(const PrintChoices& c, std::ostream* os) {
    const QMarginsF m = c.page.margins(QPageLayout::Millimeter);
    *os << "header " << c.header << " footer " << c.footer << " vertical " << c.vertical << ' '
        << c.page.pageSize().key().toStdString() << (c.page.orientation() == QPageLayout::Landscape ? " landscape " : " portrait ")
        << m.left() << ',' << m.top() << ',' << m.right() << ',' << m.bottom();
}
} // namespace tess

namespace tess::testing {
namespace {

class PrintingTest : public MainWindowTest {
protected:
    void TearDown() override {
        faults::setAtomicFault(nullptr);
        MainWindowTest::TearDown();
    }
    Printing& printing() { return w().printing(); }
    // A document long enough for several pages.
    void fillEditor() {
        QString text;
        for (int i = 0; i < 200; ++i) text += QStringLiteral("%1 行目：日本の一人が戸口で「こんにちは」と言った。\n").arg(i);
        memo()->setPlainText(text);
        memo()->document()->setModified(false);
    }
    QPushButton* previewButton(const QString& name) {
        return printing().previewWindow()->findChild<QPushButton*>(name);
    }
    QCheckBox* previewCheck(const QString& name) {
        return printing().previewWindow()->findChild<QCheckBox*>(name);
    }
    QStringList filesIn(const QString& sub = {}) const {
        return QDir(folder + sub).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
    }
};

PrintChoices changedChoices() {
    PrintChoices c;
    c.header = false;
    c.footer = true;
    c.vertical = true;
    c.page = QPageLayout(QPageSize(QPageSize::JisB5), QPageLayout::Landscape, QMarginsF(15, 25, 10.5, 30),
                         QPageLayout::Millimeter);
    return c;
}

TEST_F(PrintingTest, ChoicesAreKeptAcrossRuns) {
    start();
    EXPECT_EQ(printing().choices(), PrintChoices{});
    printing().setChoices(changedChoices());
    ASSERT_TRUE(requestClose());

    const std::pair<QString, QString> stored[] = {
        {ini::kPrintHeader, QStringLiteral("False")},     {ini::kPrintFooter, QStringLiteral("True")},
        {ini::kPrintVertical, QStringLiteral("True")},    {ini::kPrintPaper, QStringLiteral("B5")},
        {ini::kPrintOrientation, QStringLiteral("Landscape")}, {ini::kPrintMargins, QStringLiteral("15,25,10.5,30")},
    };
    for (const auto& [key, value] : stored) EXPECT_EQ(setting(ini::kTessarine, key).value, value) << qPrintable(key);

    start();
    EXPECT_EQ(printing().choices(), changedChoices());
    EXPECT_TRUE(prompter.shown.isEmpty()) << prompter.shown.join(u'|').toStdString();
}

TEST_F(PrintingTest, ValuesThatCannotBeReadKeepTheirDefaultsSilently) {
    const QString bad[][2] = {
        {ini::kPrintHeader, QStringLiteral("yes")},
        {ini::kPrintFooter, QStringLiteral("0")},
        {ini::kPrintVertical, QStringLiteral("TRUE ")},
        {ini::kPrintPaper, QStringLiteral("A99")},
        {ini::kPrintOrientation, QStringLiteral("Sideways")},
    };
    const QString badMargins[] = {QStringLiteral("a,b,c,d"), QStringLiteral("20,20,20"), QStringLiteral("20,20,20,20,20"),
                                  QStringLiteral("-1,20,20,20"), QStringLiteral("500,20,20,20"),
                                  QStringLiteral("120,20,100,20"), QStringLiteral("nan,1,1,1"), QStringLiteral("")};
    for (const QString& margins : badMargins) {
        SCOPED_TRACE(margins.toStdString());
        QFile::remove(settingsPath());
        for (const auto& [key, value] : bad) writeSettings({{ini::kTessarine, key, value}});
        writeSettings({{ini::kTessarine, ini::kPrintMargins, margins}});
        prompter.shown.clear();
        start();
        EXPECT_EQ(printing().choices(), PrintChoices{});
        EXPECT_TRUE(prompter.shown.isEmpty()) << prompter.shown.join(u'|').toStdString();
    }
}

TEST_F(PrintingTest, ContextMenuOffersPrintingAfterTheEditorsOwnEntries) {
    start();
    std::unique_ptr<QMenu> menu(printing().editorMenu());
    QStringList texts;
    for (QAction* a : menu->actions()) texts << a->text();
    ASSERT_GE(texts.size(), 4);
    EXPECT_EQ(texts.mid(texts.size() - 3),
              (QStringList{QStringLiteral("印刷(&P)..."), QStringLiteral("印刷プレビュー(&V)..."),
                           QStringLiteral("PDF に書き出す(&D)...")}));
    EXPECT_TRUE(menu->actions()[texts.size() - 4]->isSeparator());
}

TEST_F(PrintingTest, PdfFromTheContextMenuLeavesTheDocumentAlone) {
    start();
    fillEditor();
    nameDocument(folder + QStringLiteral("日記.txt"), QStringLiteral("日記.txt"));
    const QString text = memo()->toPlainText();
    prompter.saveFiles = {folder + QStringLiteral("日記")};
    std::unique_ptr<QMenu> menu(printing().editorMenu());
    menu->findChild<QAction*>(QStringLiteral("MenuPdf"))->trigger();

    EXPECT_EQ(prompter.shown, QStringList{QStringLiteral("save: PDF ファイル (*.pdf) 日記.pdf")});
    // The ending the user left out is added.
    EXPECT_TRUE(readFile(folder + QStringLiteral("日記.pdf")).startsWith("%PDF-"));
    EXPECT_EQ(memo()->toPlainText(), text);
    EXPECT_FALSE(modified());
    EXPECT_FALSE(title().endsWith(caption::kModifiedMarker));
}

// A large file is still going into the editor a part at a time when the
// user prints: the PDF holds all of it.
TEST_F(PrintingTest, AFileStillComingInPrintsWhole) {
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty()) GTEST_SKIP() << "no pdftotext";
    start();
    QString text;
    for (int i = 1; i <= 20000; ++i) text += QStringLiteral("第%1行\r\n").arg(i);
    readPlainText(QStringEncoder("windows-31j").encode(text),
                  *memo()->document(), std::nullopt, TextFill::InParts);
    ASSERT_TRUE(textPending(*memo()->document()));
    const QString pdf = folder + QStringLiteral("all.pdf");
    ASSERT_TRUE(printing().exportPdfTo(pdf));
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-enc"), QStringLiteral("UTF-8"), pdf, QStringLiteral("-")});
    ASSERT_TRUE(p.waitForFinished(120000));
    EXPECT_TRUE(QString::fromUtf8(p.readAllStandardOutput()).contains(QStringLiteral("第20000行")));
}

TEST_F(PrintingTest, ACancelledSaveDialogWritesNothing) {
    start();
    const QStringList before = filesIn();
    prompter.saveFiles = {QString()};
    printing().exportPdf();
    EXPECT_EQ(prompter.shown, QStringList{QStringLiteral("save: PDF ファイル (*.pdf) 無題.pdf")});
    EXPECT_EQ(filesIn(), before);
}

TEST_F(PrintingTest, AFailedExportIsToldWithTheFileAndReasonAndLeavesNothing) {
    start();
    fillEditor();
    const QStringList before = filesIn();
    QDir().mkpath(folder + QStringLiteral("out"));
    struct Case {
        const char* what;
        QString path;
        faults::AtomicFault fault;
        QString reason;
    };
    const Case cases[] = {
        {"no such folder", folder + QStringLiteral("無い/文書.pdf"), nullptr, QString()},
        {"disk full", folder + QStringLiteral("out/文書.pdf"), [](AtomicStep s) { return s == AtomicStep::Write ? ENOSPC : 0; },
         QString::fromLocal8Bit(std::strerror(ENOSPC))},
        {"sync fails", folder + QStringLiteral("out/文書.pdf"), [](AtomicStep s) { return s == AtomicStep::Sync ? EIO : 0; },
         QString::fromLocal8Bit(std::strerror(EIO))},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        prompter.shown.clear();
        faults::setAtomicFault(c.fault);
        prompter.saveFiles = {c.path};
        printing().exportPdf();
        const QStringList errors = prompter.errors();
        ASSERT_EQ(errors.size(), 1);
        EXPECT_TRUE(errors[0].startsWith(QStringLiteral("PDF ファイルを書き出せませんでした。\n"))) << errors[0].toStdString();
        EXPECT_TRUE(errors[0].contains(c.path)) << errors[0].toStdString();
        if (!c.reason.isEmpty()) {
            EXPECT_TRUE(errors[0].contains(c.reason)) << errors[0].toStdString();
        }
        EXPECT_TRUE(filesIn(QStringLiteral("out")).isEmpty()) << filesIn(QStringLiteral("out")).join(u' ').toStdString();
    }
    EXPECT_EQ(filesIn(), before);
}

TEST_F(PrintingTest, PreviewSwitchesChangeTheChoicesAndThePages) {
    start();
    fillEditor();
    showActive();
    QTest::keyClick(memo(), Qt::Key_P, Qt::ControlModifier | Qt::ShiftModifier);
    ASSERT_NE(printing().previewWindow(), nullptr);
    PrintPreview& preview = *printing().previewWindow();
    EXPECT_TRUE(preview.isVisible());
    EXPECT_EQ(preview.windowTitle(), QStringLiteral("印刷プレビュー"));
    QPrintPreviewWidget* view = preview.view();
    const int pages = view->pageCount();
    EXPECT_GT(pages, 1);
    EXPECT_EQ(preview.findChild<QLabel*>(QStringLiteral("PreviewPage"))->text(),
              QStringLiteral("1 / %1 ページ").arg(pages));

    const std::pair<const char*, const char*> switches[] = {
        {"PreviewHeader", "ヘッダー"}, {"PreviewFooter", "フッター"}, {"PreviewVertical", "縦書き"}};
    for (const auto& [name, text] : switches) {
        QCheckBox* box = previewCheck(QString::fromUtf8(name));
        ASSERT_NE(box, nullptr) << name;
        EXPECT_EQ(box->text(), QString::fromUtf8(text));
    }
    EXPECT_TRUE(previewCheck(QStringLiteral("PreviewHeader"))->isChecked());
    previewCheck(QStringLiteral("PreviewHeader"))->click();
    previewCheck(QStringLiteral("PreviewFooter"))->click();
    EXPECT_FALSE(printing().choices().header);
    EXPECT_FALSE(printing().choices().footer);
    // Without header and footer the text has more room on each page.
    EXPECT_LE(view->pageCount(), pages);
    // Vertical writing lays the pages out anew, whatever layout there is.
    previewCheck(QStringLiteral("PreviewVertical"))->click();
    EXPECT_TRUE(printing().choices().vertical);
    EXPECT_GE(view->pageCount(), 1);

    previewButton(QStringLiteral("PreviewNext"))->click();
    EXPECT_EQ(view->currentPage(), 2);
    EXPECT_EQ(preview.findChild<QLabel*>(QStringLiteral("PreviewPage"))->text(),
              QStringLiteral("2 / %1 ページ").arg(view->pageCount()));
    previewButton(QStringLiteral("PreviewFacing"))->click();
    EXPECT_EQ(view->viewMode(), QPrintPreviewWidget::SinglePageView);
    const qreal zoom = view->zoomFactor();
    previewButton(QStringLiteral("PreviewZoomIn"))->click();
    EXPECT_GT(view->zoomFactor(), zoom);

    // Choices changed elsewhere show in the window.
    printing().setChoices(PrintChoices{});
    EXPECT_TRUE(previewCheck(QStringLiteral("PreviewHeader"))->isChecked());
    EXPECT_FALSE(previewCheck(QStringLiteral("PreviewVertical"))->isChecked());
}

TEST_F(PrintingTest, PreviewFollowsTheEditsOnceTypingPauses) {
    start();
    printing().preview();
    QPrintPreviewWidget* view = printing().previewWindow()->view();
    EXPECT_EQ(view->pageCount(), 1);
    fillEditor();
    EXPECT_TRUE(QTest::qWaitFor([&] { return view->pageCount() > 1; }, 5000));

    // A large document is not laid out again in the middle of typing.
    memo()->setPlainText(QString(120'000, QChar(u'あ')));
    printing().preview();
    QSignalSpy laidOut(view, &QPrintPreviewWidget::paintRequested);
    type(QStringLiteral("い"));
    QTest::qWait(1000);
    EXPECT_EQ(laidOut.count(), 0);
}

TEST_F(PrintingTest, PrintAndPageSetupFromThePreviewKeepThePaperChosen) {
    start();
    fillEditor();
    printing().preview();
    const QString printed = folder + QStringLiteral("printed.pdf");
    // The print dialog's answer: landscape, into a file.
    prompter.printers = {[&](QPrinter& p) {
        EXPECT_EQ(p.pageLayout().pageSize().id(), QPageSize::A4);
        p.setPageOrientation(QPageLayout::Landscape);
        p.setOutputFileName(printed);
        return true;
    }};
    previewButton(QStringLiteral("PreviewPrint"))->click();
    EXPECT_EQ(prompter.shown, QStringList{QStringLiteral("print")});
    EXPECT_TRUE(readFile(printed).startsWith("%PDF-"));
    EXPECT_EQ(printing().choices().page.orientation(), QPageLayout::Landscape);

    // Pages 2 and 3 into a file that cannot be written: told, nothing left.
    const QString unwritable = folder + QStringLiteral("無い/printed.pdf");
    prompter.printers = {[&](QPrinter& p) {
        p.setOutputFileName(unwritable);
        QPageRanges ranges;
        ranges.addRange(2, 3);
        p.setPageRanges(ranges);
        return true;
    }};
    prompter.shown.clear();
    previewButton(QStringLiteral("PreviewPrint"))->click();
    ASSERT_EQ(prompter.errors().size(), 1);
    EXPECT_TRUE(prompter.errors()[0].contains(unwritable));

    prompter.pageSetups = {[](QPrinter& p) {
        EXPECT_EQ(p.pageLayout().orientation(), QPageLayout::Landscape);
        p.setPageSize(QPageSize(QPageSize::JisB5));
        return true;
    }};
    previewButton(QStringLiteral("PreviewPageSetup"))->click();
    EXPECT_EQ(printing().choices().page.pageSize().id(), QPageSize::JisB5);

    // Cancelled dialogs change nothing and print nothing.
    const PrintChoices before = printing().choices();
    QFile::remove(printed);
    prompter.printers = {[&](QPrinter& p) {
        p.setPageSize(QPageSize(QPageSize::A3));
        return false;
    }};
    previewButton(QStringLiteral("PreviewPrint"))->click();
    EXPECT_EQ(printing().choices(), before);
    EXPECT_FALSE(QFile::exists(printed));
}

} // namespace
} // namespace tess::testing
