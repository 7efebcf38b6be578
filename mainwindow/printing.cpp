#include "printing.h"

#include "prompter.h"

#include "core/settingsfile.h"
#include "richtext/richtext.h"

#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPageSize>
#include <QPlainTextEdit>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QProgressDialog>
#include <QPushButton>
#include <QShortcut>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

namespace tess {

namespace {

constexpr qreal kDefaultMarginMm = 20;
// Margins beyond this are not ones a user set: the stored value is damaged.
constexpr qreal kLargestMarginMm = 100;
// The preview window's first size.
constexpr int kPreviewWidth = 900;
constexpr int kPreviewHeight = 700;
// How long typing pauses before the preview follows it.
constexpr int kEditPauseMs = 500;
// Laying a document out on pages takes about a second for 300,000
// characters; a larger document is laid out again only when the preview is
// opened or its choices change, never in the middle of typing.
constexpr int kFollowEditsUpTo = 100'000;

// Pages that take longer than this to make show how far they are.
constexpr int kProgressAfterMs = 400;

// The pages of a large document take a while: after a moment a window says
// how far they are and offers to stop.  It is modal, so that nothing changes
// the document or the preview while it shows.
class PaintProgress {
public:
    explicit PaintProgress(QWidget* parent) : parent_(parent) { started_.start(); }
    pages::Progress callback() {
        return [this](int done, int count) { return step(done, count); };
    }
    bool stopped() const { return stopped_; }
    // After `done` pages of `count`: false once the user stopped.
    bool step(int done, int count) {
        if (!dialog_) {
            if (done >= count || started_.elapsed() < kProgressAfterMs) return true;
            dialog_ = std::make_unique<QProgressDialog>(print_text::kPreparing, print_text::kStop, 0, count, parent_);
            dialog_->setWindowModality(Qt::ApplicationModal);
            dialog_->setMinimumDuration(0);
            dialog_->setAutoReset(false);
        }
        dialog_->setMaximum(count);
        // A modal progress window runs the events here: its stop button too.
        dialog_->setValue(done);
        stopped_ = dialog_->wasCanceled();
        return !stopped_;
    }

private:
    QWidget* parent_;
    QElapsedTimer started_;
    std::unique_ptr<QProgressDialog> dialog_;
    bool stopped_ = false;
};

const QString kPortrait = QStringLiteral("Portrait");
const QString kLandscape = QStringLiteral("Landscape");

std::optional<QPageSize> paperNamed(const QString& key) {
    for (int id = 0; id <= int(QPageSize::LastPageSize); ++id) {
        const auto size = QPageSize::PageSizeId(id);
        if (size != QPageSize::Custom && QPageSize::key(size) == key) return QPageSize(size);
    }
    return std::nullopt;
}

std::optional<QMarginsF> marginsFrom(const QString& value) {
    const QStringList parts = value.split(u',');
    if (parts.size() != 4) return std::nullopt;
    qreal mm[4];
    for (int i = 0; i < 4; ++i) {
        bool ok = false;
        mm[i] = parts[i].trimmed().toDouble(&ok);
        if (!ok || !(mm[i] >= 0 && mm[i] <= kLargestMarginMm)) return std::nullopt;
    }
    return QMarginsF(mm[0], mm[1], mm[2], mm[3]);
}

QString marginsText(const QMarginsF& m) {
    return QStringLiteral("%1,%2,%3,%4").arg(m.left()).arg(m.top()).arg(m.right()).arg(m.bottom());
}

} // namespace

namespace print_text {

QString cannotWritePdf(const QString& error) {
    return QStringLiteral("PDF ファイルを書き出せませんでした。\n") + error;
}

QString pageOf(int page, int count) { return QStringLiteral("%1 / %2 ページ").arg(page).arg(count); }

} // namespace print_text

QPageLayout PrintChoices::defaultPage() {
    return QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                       QMarginsF(kDefaultMarginMm, kDefaultMarginMm, kDefaultMarginMm, kDefaultMarginMm),
                       QPageLayout::Millimeter);
}

PrintChoices readPrintChoices(const SettingsFile& settings) {
    PrintChoices c;
    const auto value = [&](const QString& key, int limit = ini::kShortLimit) {
        return settings.read(ini::kTessarine, key, limit).value;
    };
    const auto flag = [&](const QString& key, bool& out) {
        const QString v = value(key);
        if (v == ini::kTrue) out = true;
        else if (v == ini::kFalse) out = false;
    };
    flag(ini::kPrintHeader, c.header);
    flag(ini::kPrintFooter, c.footer);
    flag(ini::kPrintVertical, c.vertical);
    if (const auto paper = paperNamed(value(ini::kPrintPaper, ini::kWhole))) c.page.setPageSize(*paper);
    const QString orientation = value(ini::kPrintOrientation);
    if (orientation == kLandscape) c.page.setOrientation(QPageLayout::Landscape);
    else if (orientation == kPortrait) c.page.setOrientation(QPageLayout::Portrait);
    // Margins too wide for the paper would leave no room for the text.
    if (const auto margins = marginsFrom(value(ini::kPrintMargins, ini::kWhole))) {
        const QSizeF paper = c.page.fullRect(QPageLayout::Millimeter).size();
        if (margins->left() + margins->right() < paper.width() && margins->top() + margins->bottom() < paper.height())
            c.page.setMargins(*margins);
    }
    return c;
}

void writePrintChoices(SettingsFile& settings, const PrintChoices& c) {
    settings.write(ini::kTessarine, ini::kPrintHeader, ini::trueFalse(c.header));
    settings.write(ini::kTessarine, ini::kPrintFooter, ini::trueFalse(c.footer));
    settings.write(ini::kTessarine, ini::kPrintVertical, ini::trueFalse(c.vertical));
    settings.write(ini::kTessarine, ini::kPrintPaper, c.page.pageSize().key());
    settings.write(ini::kTessarine, ini::kPrintOrientation,
                   c.page.orientation() == QPageLayout::Landscape ? kLandscape : kPortrait);
    settings.write(ini::kTessarine, ini::kPrintMargins, marginsText(c.page.margins(QPageLayout::Millimeter)));
}

// ---------------------------------------------------------------------------

PrintPreview::PrintPreview(Printing& printing, QPrinter& printer, QWidget* parent)
    : QDialog(parent), printing_(printing) {
    setObjectName(QStringLiteral("PrintPreview"));
    setWindowTitle(print_text::kPreviewTitle);
    setWindowFlag(Qt::WindowMaximizeButtonHint);
    resize(kPreviewWidth, kPreviewHeight);

    const auto check = [this](const QString& name, const QString& text) {
        auto* box = new QCheckBox(text, this);
        box->setObjectName(name);
        return box;
    };
    const auto button = [this](const QString& name, const QString& text, auto slot) {
        auto* b = new QPushButton(text, this);
        b->setObjectName(name);
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, slot);
        return b;
    };
    header_ = check(QStringLiteral("PreviewHeader"), print_text::kHeader);
    footer_ = check(QStringLiteral("PreviewFooter"), print_text::kFooter);
    vertical_ = check(QStringLiteral("PreviewVertical"), print_text::kVertical);
    const auto choose = [this] {
        PrintChoices c = printing_.choices();
        c.header = header_->isChecked();
        c.footer = footer_->isChecked();
        c.vertical = vertical_->isChecked();
        printing_.setChoices(c);
    };
    for (QCheckBox* box : {header_, footer_, vertical_}) connect(box, &QCheckBox::toggled, this, choose);

    view_ = new QPrintPreviewWidget(&printer, this);
    view_->setObjectName(QStringLiteral("PreviewView"));
    view_->setFacingPagesViewMode();
    connect(view_, &QPrintPreviewWidget::paintRequested, this,
            [this](QPrinter* p) {
                // Vertical writing reads its spreads right to left.
                const pages::Setup setup = printing_.setup();
                PaintProgress progress(this);
                painting_ = true;
                pages::print(printing_.document(), *p, setup,
                             setup.vertical && view_->viewMode() == QPrintPreviewWidget::FacingPagesView,
                             progress.callback());
                painting_ = false;
                if (refreshAgain_) {
                    refreshAgain_ = false;
                    QTimer::singleShot(0, this, &PrintPreview::refresh);
                }
            });
    connect(view_, &QPrintPreviewWidget::previewChanged, this, &PrintPreview::updatePageLabel);

    QPushButton* previous = button(QStringLiteral("PreviewPrevious"), print_text::kPrevious,
                                   [this] { view_->setCurrentPage(view_->currentPage() - 1); updatePageLabel(); });
    page_ = new QLabel(this);
    page_->setObjectName(QStringLiteral("PreviewPage"));
    QPushButton* next = button(QStringLiteral("PreviewNext"), print_text::kNext,
                               [this] { view_->setCurrentPage(view_->currentPage() + 1); updatePageLabel(); });
    QPushButton* zoomOut = button(QStringLiteral("PreviewZoomOut"), print_text::kZoomOut, [this] { view_->zoomOut(); });
    QPushButton* zoomIn = button(QStringLiteral("PreviewZoomIn"), print_text::kZoomIn, [this] { view_->zoomIn(); });
    QPushButton* fit = button(QStringLiteral("PreviewFit"), print_text::kFit, [this] { view_->fitInView(); });
    QPushButton* facing = button(QStringLiteral("PreviewFacing"), print_text::kFacing, [this](bool on) {
        if (on) view_->setFacingPagesViewMode();
        else view_->setSinglePageViewMode();
        // Vertical pages go out in another order side by side.
        if (printing_.choices().vertical) view_->updatePreview();
    });
    facing->setCheckable(true);
    facing->setChecked(true);
    QPushButton* setup = button(QStringLiteral("PreviewPageSetup"), print_text::kPageSetup,
                                [this] { printing_.setUpPage(); });
    QPushButton* print = button(QStringLiteral("PreviewPrint"), print_text::kPrintButton, [this] { printing_.print(); });
    QPushButton* pdf = button(QStringLiteral("PreviewPdf"), print_text::kPdfButton, [this] { printing_.exportPdf(); });
    QPushButton* close = button(QStringLiteral("PreviewClose"), print_text::kClose, [this] { QDialog::close(); });

    auto* bar = new QHBoxLayout;
    for (QWidget* w : std::initializer_list<QWidget*>{header_, footer_, vertical_}) bar->addWidget(w);
    bar->addSpacing(12);
    for (QWidget* w : std::initializer_list<QWidget*>{previous, page_, next}) bar->addWidget(w);
    bar->addSpacing(12);
    for (QWidget* w : std::initializer_list<QWidget*>{zoomOut, zoomIn, fit, facing}) bar->addWidget(w);
    bar->addStretch();
    for (QWidget* w : std::initializer_list<QWidget*>{setup, print, pdf, close}) bar->addWidget(w);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->addLayout(bar);
    layout->addWidget(view_, 1);

    connect(&printing_, &Printing::choicesChanged, this, [this] {
        showChoices();
        refresh();
    });
    edited_ = new QTimer(this);
    edited_->setSingleShot(true);
    edited_->setInterval(kEditPauseMs);
    connect(edited_, &QTimer::timeout, this, &PrintPreview::refresh);
    connect(&printing_, &Printing::documentEdited, this, [this] {
        if (isVisible() && printing_.document().characterCount() <= kFollowEditsUpTo) edited_->start();
    });
    showChoices();
}

void PrintPreview::showChoices() {
    const PrintChoices& c = printing_.choices();
    for (auto [box, on] : {std::pair{header_, c.header}, {footer_, c.footer}, {vertical_, c.vertical}}) {
        const QSignalBlocker quiet(box);
        box->setChecked(on);
    }
}

void PrintPreview::refresh() {
    if (painting_) {
        refreshAgain_ = true;
        return;
    }
    view_->updatePreview();
    updatePageLabel();
}

void PrintPreview::updatePageLabel() {
    page_->setText(print_text::pageOf(view_->currentPage(), view_->pageCount()));
}

// ---------------------------------------------------------------------------

Printing::Printing(QWidget* window, QPlainTextEdit* editor, Prompter& prompter, std::function<QString()> title)
    : QObject(window), window_(window), editor_(editor), prompter_(prompter), title_(std::move(title)) {
    const auto shortcut = [this](QKeySequence keys, void (Printing::*handler)()) {
        auto* s = new QShortcut(keys, window_);
        s->setContext(Qt::WindowShortcut);
        connect(s, &QShortcut::activated, this, handler);
    };
    shortcut(QKeySequence(Qt::CTRL | Qt::Key_P), &Printing::print);
    shortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_P), &Printing::preview);

    connect(editor_, &QPlainTextEdit::textChanged, this, &Printing::documentEdited);
    editor_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(editor_, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        QMenu* menu = editorMenu();
        menu->exec(editor_->viewport()->mapToGlobal(at));
        delete menu;
    });
}

Printing::~Printing() = default;

void Printing::setChoices(const PrintChoices& choices) {
    if (choices == choices_) return;
    choices_ = choices;
    if (printer_) printer_->setPageLayout(choices_.page);
    emit choicesChanged();
}

pages::Setup Printing::setup() const {
    QString title = title_ ? title_() : QString();
    if (title.isEmpty()) title = print_text::kUntitled;
    return pages::Setup{title, choices_.header, choices_.footer, choices_.vertical};
}

const QTextDocument& Printing::document() const {
    // A large file still going into the editor a part at a time prints whole.
    completeText(*editor_->document());
    return *editor_->document();
}

QPrinter& Printing::printer() {
    if (!printer_) {
        printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
        printer_->setPageLayout(choices_.page);
    }
    return *printer_;
}

void Printing::print() {
    QPrinter& p = printer();
    p.setPageLayout(choices_.page);
    p.setDocName(setup().title);
    p.setPageRanges(QPageRanges());
    if (!prompter_.choosePrinter(p)) return;
    PrintChoices c = choices_;
    c.page = p.pageLayout();
    setChoices(c);
    // Printing into a file is a PDF export: written whole, its text
    // readable, a failure told.
    if (p.outputFormat() == QPrinter::PdfFormat && !p.outputFileName().isEmpty()) {
        exportPdfTo(p.outputFileName(), p.pageRanges());
        return;
    }
    PaintProgress progress(window_);
    const bool printed = pages::print(document(), p, setup(), false, [&](int done, int count) {
        if (progress.step(done, count)) return true;
        p.abort();
        return false;
    });
    if (!printed && !progress.stopped()) prompter_.errorBox(print_text::kCannotPrint);
}

void Printing::setUpPage() {
    QPrinter& p = printer();
    p.setPageLayout(choices_.page);
    if (!prompter_.setUpPage(p)) return;
    PrintChoices c = choices_;
    c.page = p.pageLayout();
    setChoices(c);
}

void Printing::preview() {
    if (!preview_) preview_ = new PrintPreview(*this, printer(), window_);
    preview_->refresh();
    preview_->show();
    preview_->raise();
    preview_->activateWindow();
}

void Printing::exportPdf() {
    const QString suggested = QFileInfo(setup().title).completeBaseName() + QStringLiteral(".pdf");
    QString path = prompter_.saveFile(print_text::kPdfFilter, suggested);
    if (path.isEmpty()) return;
    if (QFileInfo(path).suffix().isEmpty()) path += QStringLiteral(".pdf");
    exportPdfTo(path);
}

bool Printing::exportPdfTo(const QString& path, const QPageRanges& ranges) {
    QString error;
    PaintProgress progress(window_);
    if (pages::writePdf(QDir::fromNativeSeparators(path), document(), choices_.page, setup(), &error, ranges,
                        progress.callback()))
        return true;
    // Stopped by the user: nothing written, nothing to tell.
    if (!progress.stopped()) prompter_.errorBox(print_text::cannotWritePdf(error));
    return false;
}

QMenu* Printing::editorMenu() {
    QMenu* menu = editor_->createStandardContextMenu();
    menu->setObjectName(QStringLiteral("EditorMenu"));
    menu->addSeparator();
    const auto add = [&](const QString& name, const QString& text, void (Printing::*handler)()) {
        QAction* a = menu->addAction(text);
        a->setObjectName(name);
        connect(a, &QAction::triggered, this, handler);
    };
    add(QStringLiteral("MenuPrint"), print_text::kPrint, &Printing::print);
    add(QStringLiteral("MenuPreview"), print_text::kPreview, &Printing::preview);
    add(QStringLiteral("MenuPdf"), print_text::kPdf, &Printing::exportPdf);
    return menu;
}

} // namespace tess
