// The main window's controls and their geometry.

#include "TSMain.h"

#include "editorwidget.h"
#include "editorzoom.h"

#include "look.h"

#include "core/atomicfile.h"
#include "core/caption.h"
#include "core/filenames.h"
#include "core/panelsplit.h"
#include "clipsave.h"
#include "elided.h"
#include "filelist.h"
#include "filedrop.h"
#include "findreplace.h"
#include "fonts.h"
#include "groupsearch.h"
#include "pictures.h"
#include "printing.h"
#include "recovery.h"

#include <QEvent>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QListWidget>
#include <QMouseEvent>
#include <QShortcut>
#include <QHeaderView>
#include <QTableWidget>
#include <QPlainTextEdit>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include <functional>

namespace tess {

using namespace look;

namespace {

constexpr int kStripWidth = 20;       // Panel10
constexpr int kToolButton = 25;
constexpr int kClipButtonHeight = 14; // SB9, SpeedButton13
constexpr int kStripButton = 15;
constexpr int kImage2Height = 300;
constexpr int kStatusHeight = 14;
constexpr int kHeadingHeight = 17;
constexpr int kSplitter = 3;
constexpr int kDesignWidth = 656;
constexpr int kDesignHeight = 467;
constexpr int kPickerPreviewPoints = 10;  // the preview font as the picker opens

// A bar the user drags to resize the panel before it.
class SplitterBar : public QFrame {
public:
    SplitterBar(Qt::Orientation o, QWidget* parent, std::function<void(int)> moved)
        : QFrame(parent), orientation_(o), moved_(std::move(moved)) {
        setCursor(o == Qt::Vertical ? Qt::SplitHCursor : Qt::SplitVCursor);
    }

protected:
    void mousePressEvent(QMouseEvent* e) override { last_ = e->globalPosition().toPoint(); }
    void mouseMoveEvent(QMouseEvent* e) override {
        if (!(e->buttons() & Qt::LeftButton)) return;
        const QPoint now = e->globalPosition().toPoint();
        const int delta = orientation_ == Qt::Vertical ? now.x() - last_.x() : now.y() - last_.y();
        last_ = now;
        if (delta) moved_(delta);
    }

private:
    Qt::Orientation orientation_;
    std::function<void(int)> moved_;
    QPoint last_;
};

QFrame* separatorLine(const QString& name, QWidget* parent, Qt::Orientation o = Qt::Horizontal) {
    auto* line = new QFrame(parent);
    line->setObjectName(name);
    line->setFrameShape(o == Qt::Horizontal ? QFrame::HLine : QFrame::VLine);
    line->setFrameShadow(QFrame::Sunken);
    return line;
}

QLabel* statusLabel(const QString& name, const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setFont(fonts::make(fonts::kMsPGothic, 12, true));
    setColours(label, QColor(), kNavy);
    return label;
}

} // namespace

namespace main_text {

QString notFound(const QString& path) {
    return QStringLiteral("\"") + path + QStringLiteral("\" が見つかりません");
}

QString cannotOpen(const QString& path, const LoadResult& result) {
    return result.missing || result.error.isEmpty() ? notFound(path) : result.error;
}

QString quickFileMismatch(const QString& name, const QString& after) {
    return QStringLiteral("ｸｲｯｸｾｰﾌﾞﾌｧｲﾙ \"%1\" は前回の状況保存終了で書いたものと一致しません"
                          "（書き込みが途中で終わったか、壊れています）。\n")
               .arg(name) +
           after;
}

QString cannotCreate(const QString& path) {
    return QStringLiteral("ﾌｧｲﾙ ") + path + QStringLiteral(" を作成できません");
}

QString invalidBytesNote(qsizetype count) {
    return QStringLiteral("（不正なバイト %1 か所は元のまま保存します）").arg(count);
}

QString unencodableQuestion(const QList<cp932::Unencodable>& lost, const QString& encoding) {
    QStringList shown;
    for (const cp932::Unencodable& u : lost) {
        // A blank-looking character would read as an empty pair of brackets.
        const bool visible = QChar::isPrint(u.codePoint) && !QChar::isSpace(u.codePoint);
        const QString ch = visible ? QString::fromUcs4(&u.codePoint, 1)
                                   : QStringLiteral("U+%1").arg(uint(u.codePoint), 4, 16, QLatin1Char('0')).toUpper();
        if (!shown.contains(ch)) shown << ch;
        if (shown.size() == 5) break;
    }
    QString names;
    for (const QString& ch : shown) names += QStringLiteral("「") + ch + QStringLiteral("」");
    return QStringLiteral("この文書には ") + encoding + QStringLiteral(" で保存できない文字 ") + names +
           QStringLiteral(" が含まれています。\nこれらの文字を \"?\" に置き換えて保存しますか？");
}

} // namespace main_text

TfrmTSMain::TfrmTSMain(Prompter& prompter, QString programFolder, PathStyle style, QWidget* parent,
                       QString settingsFileName, ClockHooks clock)
    : QWidget(parent),
      prompter_(prompter),
      programFolder_(std::move(programFolder)),
      settingsFileName_(std::move(settingsFileName)),
      style_(style),
      state_(style),
      registry_(style, programFolder_),
      clockHooks_(std::move(clock)) {
    fonts::installFontSubstitutions();
    pictures::ensureLoaded();
    setObjectName(QStringLiteral("frmTSMain"));
    setWindowTitle(caption::kNewFile);
    buildWindow();
    move(kDesignLeft, kDesignTop);
    resize(kDesignWidth, kDesignHeight);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setSingleShot(true);
    Timer1->setInterval(1000);
    connect(Timer1, &QTimer::timeout, this, [this] { state_.L1.clear(); });

    const auto shortcut = [this](QKeySequence keys, void (TfrmTSMain::*handler)()) {
        auto* s = new QShortcut(keys, this);
        s->setContext(Qt::WindowShortcut);
        connect(s, &QShortcut::activated, this, handler);
    };
    shortcut(QKeySequence(Qt::CTRL | Qt::Key_N), &TfrmTSMain::SpeedButton6Click);
    shortcut(QKeySequence(Qt::CTRL | Qt::Key_O), &TfrmTSMain::SpeedButton7Click);
    shortcut(QKeySequence(Qt::CTRL | Qt::Key_S), &TfrmTSMain::SpeedButton1Click);
    shortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S), &TfrmTSMain::SpeedButton8Click);
    // Ctrl++ is Ctrl+= on keyboards where "+" needs Shift.
    for (const QKeySequence& keys : {QKeySequence(QKeySequence::ZoomIn), QKeySequence(Qt::CTRL | Qt::Key_Equal)})
        connect(new QShortcut(keys, this), &QShortcut::activated, zoom_, &EditorZoom::zoomIn);
    connect(new QShortcut(QKeySequence(QKeySequence::ZoomOut), this), &QShortcut::activated, zoom_,
            &EditorZoom::zoomOut);
    connect(new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_0), this), &QShortcut::activated, zoom_,
            &EditorZoom::reset);
    connect(zoom_, &EditorZoom::changed, this, [this](int percent) {
        LblZoom->setText(zoom::shown(percent));
        LblZoom->setVisible(percent != zoom::kNormal);
        layoutStatusBar();
    });

#ifndef QT_NO_SESSIONMANAGER
    if (auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        connect(app, &QGuiApplication::commitDataRequest, this,
                [this](QSessionManager& manager) { sessionCommit(manager); });
#endif

    recovery_ = new RecoveryCopy(Memo1, programFolder_, [this] { return recoveryFields(); }, this);
    connect(recovery_, &RecoveryCopy::unprotected, this, [this](const QString& text) { prompter_.message(text); });
    // Writes a killed run never finished leave their temporary files; this
    // run owns the folder now, so none of them is another run's write in
    // progress.
    if (recovery_->owned()) removeAtomicLeftovers(programFolder_, ownStateFiles());
    find_ = new FindReplace(this, Memo1, Panel8, Panel11);
    // A hit opens as an entry of the file list does.
    search_ = new GroupSearch(*this, *find_, Memo1, [this](const QString& path) { return fileList_->openDocument(path); },
                              this);
    printing_ = new Printing(this, Memo1, prompter_, [this] { return state_.LblFName(); });
    new FileDrop(Memo1, [this](const QString& path) { openFromOutside(path); });

    FormCreate();
    offerRecovery();
    Timer1->start();
}

TfrmTSMain::~TfrmTSMain() = default;

QStringList TfrmTSMain::ownStateFiles() const {
    return {recovery::kFileName, recovery::kSaveMarkFileName, files::kQuickSave,  files::kQuickPrevew,
            files::kQuickLists,  files::kGroupStore,         files::kClipSave1, files::kClipSave2,
            settingsFileName_};
}

QString TfrmTSMain::settingsPath() const {
    return style_.join(programFolder_, settingsFileName_);
}

void TfrmTSMain::buildWindow() {
    buildToolColumn();
    buildClientArea();
    buildStatusBar();
    buildFloatingPanels();
    updateMinimumSize();
}

void TfrmTSMain::buildToolColumn() {
    Panel9 = new QFrame(this);
    Panel9->setObjectName(QStringLiteral("Panel9"));
    Panel9->setFrameStyle(QFrame::Panel | QFrame::Raised);
    Panel9->setAutoFillBackground(true);

    Panel10 = new QFrame(Panel9);
    Panel10->setObjectName(QStringLiteral("Panel10"));
    Panel10->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setColours(Panel10, kSilver);

    Image2 = new QLabel(Panel10);
    Image2->setObjectName(QStringLiteral("Image2"));
    Image2->setPixmap(pictures::pixmap(pictures::kImage2, QSize(18, kImage2Height)));
    Image2->resize(18, kImage2Height);

    const auto stripButton = [this](const QString& name, int y) {
        auto* b = new QToolButton(Panel10);
        b->setObjectName(name);
        b->setAutoRaise(false);
        b->setGeometry(2, y, kStripButton, kStripButton);
        b->setIconSize(QSize(11, 11));
        b->setFont(fonts::make(fonts::kMsPGothic, 10, true));
        return b;
    };
    SpeedButton11 = stripButton(QStringLiteral("SpeedButton11"), 2);
    SpeedButton11->setIcon(QIcon(pictures::pixmap(pictures::kQuickSaveExit, QSize(11, 11))));
    SpeedButton11->setToolTip(QStringLiteral("状況保存終了"));
    SpeedButton11->setAccessibleName(SpeedButton11->toolTip());
    SpeedButton10 = stripButton(QStringLiteral("SpeedButton10"), 2 + kStripButton + 1);
    SpeedButton10->setIcon(QIcon(pictures::pixmap(pictures::kCorner, QSize(11, 11))));
    SpeedButton10->setAccessibleName(QStringLiteral("画面の左上へ移動"));
    SpeedButton19 = stripButton(QStringLiteral("SpeedButton19"), 2 + 2 * (kStripButton + 1));
    SpeedButton19->setText(QStringLiteral("⇔"));
    SpeedButton12 = stripButton(QStringLiteral("SpeedButton12"), 2 + 3 * (kStripButton + 1));
    SpeedButton12->setText(QStringLiteral("-"));
    connect(SpeedButton11, &QToolButton::clicked, this, &TfrmTSMain::SpeedButton11Click);
    connect(SpeedButton10, &QToolButton::clicked, this, &TfrmTSMain::SpeedButton10Click);
    connect(SpeedButton19, &QToolButton::clicked, this, &TfrmTSMain::SpeedButton19Click);
    connect(SpeedButton12, &QToolButton::clicked, this, &TfrmTSMain::SpeedButton12Click);

    // The tool buttons, top to bottom, with thin separators between groups.
    const int x = kStripWidth + 2;
    int y = 1;
    const auto tool = [&](const QString& name, const QString& picture, const QString& hint) {
        auto* b = new QToolButton(Panel9);
        b->setObjectName(name);
        b->setAutoRaise(true);
        b->setGeometry(x, y, kToolButton, kToolButton);
        b->setIconSize(QSize(20, 20));
        b->setIcon(QIcon(pictures::pixmap(picture, QSize(20, 20))));
        b->setToolTip(hint);
        // Only a picture shows: the hint names the button for a screen reader.
        b->setAccessibleName(hint);
        y += kToolButton;
        return b;
    };
    const auto separator = [&](const QString& name) {
        QFrame* line = separatorLine(name, Panel9);
        line->setGeometry(x, y, kToolButton, 2);
        y += 2;
    };
    const auto clipButton = [&](const QString& name, const QString& text, const QColor& colour) {
        auto* b = new QToolButton(Panel9);
        b->setObjectName(name);
        b->setAutoRaise(true);
        b->setGeometry(x, y, kToolButton, kClipButtonHeight);
        b->setText(text);
        b->setFont(fonts::make(fonts::kMsPGothic, 10, true));
        setColours(b, QColor(), colour);
        y += kClipButtonHeight;
        return b;
    };

    QToolButton* b6 = tool(QStringLiteral("SpeedButton6"), pictures::kNew, QStringLiteral("新規作成"));
    separator(QStringLiteral("Bevel3"));
    QToolButton* b7 = tool(QStringLiteral("SpeedButton7"), pictures::kOpen, QStringLiteral("ファイルを開く"));
    SB1 = tool(QStringLiteral("SB1"), pictures::kGroup, QStringLiteral("グループからファイルを開く"));
    QToolButton* b5 = tool(QStringLiteral("SpeedButton5"), pictures::kHistory, QStringLiteral("ﾌｧｲﾙの使用履歴"));
    separator(QStringLiteral("Bevel1"));
    QToolButton* b1 = tool(QStringLiteral("SpeedButton1"), pictures::kSave, QStringLiteral("上書き保存"));
    QToolButton* b8 = tool(QStringLiteral("SpeedButton8"), pictures::kSaveAs, QStringLiteral("名前を付けて保存"));
    SB9 = clipButton(QStringLiteral("SB9"), QStringLiteral("CS1"), kGreen);
    SpeedButton13 = clipButton(QStringLiteral("SpeedButton13"), QStringLiteral("CS2"), kPurple);
    separator(QStringLiteral("Bevel2"));
    QToolButton* b4 = tool(QStringLiteral("SpeedButton4"), pictures::kRegistration, QStringLiteral("グループの登録と解除"));
    QToolButton* b3 = tool(QStringLiteral("SpeedButton3"), pictures::kExplorer, QStringLiteral("ｸﾞﾙｰﾌﾟﾌｧｲﾙ ｴｸｽﾌﾟﾛｰﾗ"));
    separator(QStringLiteral("Bevel4"));
    QToolButton* b2 = tool(QStringLiteral("SpeedButton2"), pictures::kFont, QStringLiteral("ｴﾃﾞｨﾀﾌｫﾝﾄ変更"));

    PAL = new QFrame(Panel9);
    PAL->setObjectName(QStringLiteral("PAL"));
    PAL->setFrameStyle(QFrame::Panel | QFrame::Raised);
    PAL->setGeometry(x, y, kToolButton, kToolButton);
    Img3 = new QLabel(PAL);
    Img3->setObjectName(QStringLiteral("Img3"));
    Img3->setGeometry(1, 1, 22, 22);
    Img3->setPixmap(pictures::pixmap(pictures::kAlarm, QSize(20, 20)));
    Img3->setAlignment(Qt::AlignCenter);
    y += kToolButton;
    separator(QStringLiteral("Bevel8"));
    QToolButton* b9 = tool(QStringLiteral("SpeedButton9"), pictures::kAbout, QStringLiteral("ﾊﾞｰｼﾞｮﾝ情報"));

    connect(b6, &QToolButton::clicked, this, &TfrmTSMain::SpeedButton6Click);
    connect(b7, &QToolButton::clicked, this, &TfrmTSMain::SpeedButton7Click);
    connect(b5, &QToolButton::clicked, this, &TfrmTSMain::SpeedButton5Click);
    connect(SB1, &QToolButton::clicked, this, &TfrmTSMain::SB1Click);
    connect(b4, &QToolButton::clicked, this, &TfrmTSMain::SpeedButton4Click);
    connect(b3, &QToolButton::clicked, this, &TfrmTSMain::SpeedButton3Click);
    connect(b1, &QToolButton::clicked, this, &TfrmTSMain::SpeedButton1Click);
    connect(b8, &QToolButton::clicked, this, &TfrmTSMain::SpeedButton8Click);
    connect(b2, &QToolButton::clicked, this, &TfrmTSMain::SpeedButton2Click);
    connect(b9, &QToolButton::clicked, this, &TfrmTSMain::SpeedButton9Click);
}

void TfrmTSMain::buildClientArea() {
    Panel2 = new QWidget(this);
    Panel2->setObjectName(QStringLiteral("Panel2"));

    // Never shown: the editor state lives in `state_`.
    Panel12 = new QWidget(Panel2);
    Panel12->setObjectName(QStringLiteral("Panel12"));
    Panel12->hide();

    const auto heading = [this](const QString& name, const QString& text, QWidget* parent, QLabel* h = nullptr) {
        if (!h) h = new QLabel(parent);
        h->setText(text);
        h->setObjectName(name);
        h->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        h->setFixedHeight(kHeadingHeight);
        h->setFont(fonts::make(fonts::kMsPGothic, 12));
        setColours(h, kBlue, kSilver);
        h->installEventFilter(this);
        return h;
    };

    PnlLst = new QFrame(Panel2);
    PnlLst->setObjectName(QStringLiteral("PnlLst"));
    // A long group name is cut at its end; the file list sets the whole one
    // as the tooltip.
    Panel1 = heading(QStringLiteral("Panel1"), main_text::kListHeading, PnlLst, new ElidedLabel(PnlLst));
    Panel1->setAlignment(Qt::AlignCenter);
    PanelPass = new QListWidget(PnlLst);
    PanelPass->setObjectName(QStringLiteral("PanelPass"));
    PanelPass->setFrameShape(QFrame::NoFrame);
    PanelPass->setFont(fonts::make(fonts::kMsPGothic, 12));
    PanelPass->setUniformItemSizes(true);
    PanelPass->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    auto* listLayout = new QVBoxLayout(PnlLst);
    listLayout->setContentsMargins(0, 0, 0, 0);
    listLayout->setSpacing(0);
    listLayout->addWidget(Panel1);
    listLayout->addWidget(PanelPass);

    // A drag starts from what is shown, so dragging back always moves.
    Splitter1 = new SplitterBar(Qt::Vertical, Panel2, [this](int d) {
        plWidth_ = split::bounded(PnlLst->width() + d, listSpace());
        relayout();
    });
    Splitter1->setObjectName(QStringLiteral("Splitter1"));

    Panel4 = new QFrame(Panel2);
    Panel4->setObjectName(QStringLiteral("Panel4"));
    setColours(Panel4, Qt::white);
    Panel5 = heading(QStringLiteral("Panel5"), main_text::kPreviewHeading, Panel4);
    Panel5->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    Memo2 = new QPlainTextEdit(Panel4);
    Memo2->setObjectName(QStringLiteral("Memo2"));
    Memo2->setReadOnly(true);
    Memo2->setFrameShape(QFrame::NoFrame);
    Memo2->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Memo2->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo2->setFont(fonts::make(fonts::kFixedSys, 13));
    auto* previewLayout = new QVBoxLayout(Panel4);
    previewLayout->setContentsMargins(0, 0, 0, 0);
    previewLayout->setSpacing(0);
    previewLayout->addWidget(Panel5);
    auto* previewRow = new QHBoxLayout;
    previewRow->setContentsMargins(6, 0, 0, 0);
    previewRow->addWidget(Memo2);
    previewLayout->addLayout(previewRow);

    Splitter2 = new SplitterBar(Qt::Horizontal, Panel2, [this](int d) {
        ppHeight_ = split::bounded(Panel4->height() + d, previewSpace());
        relayout();
    });
    Splitter2->setObjectName(QStringLiteral("Splitter2"));

    Panel8 = new QFrame(Panel2);
    Panel8->setObjectName(QStringLiteral("Panel8"));
    setColours(Panel8, Qt::white);
    auto* Panel14 = new QFrame(Panel8);
    Panel14->setObjectName(QStringLiteral("Panel14"));
    Panel14->setFixedHeight(13);
    setColours(Panel14, Qt::white);
    Panel15 = new QFrame(Panel14);
    Panel15->setObjectName(QStringLiteral("Panel15"));
    Panel15->setCursor(Qt::PointingHandCursor);
    Panel15->installEventFilter(this);
    Image1 = new QLabel(Panel15);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setPixmap(pictures::pixmap(pictures::kEditorStrip, QSize(120, 7)));
    Image1->installEventFilter(this);
    auto* stripLayout = new QHBoxLayout(Panel15);
    stripLayout->setContentsMargins(0, 3, 0, 3);
    stripLayout->addWidget(Image1, 0, Qt::AlignLeft);
    auto* topStrip = new QHBoxLayout(Panel14);
    topStrip->setContentsMargins(6, 0, 0, 0);
    topStrip->addWidget(Panel15);

    auto* Panel13 = new QFrame(Panel8);
    Panel13->setObjectName(QStringLiteral("Panel13"));
    Panel13->setFixedWidth(6);
    setColours(Panel13, Qt::white);

    auto* editor = new EditorWidget(Panel8);
    Memo1 = editor;
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setFrameShape(QFrame::NoFrame);
    Memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    Memo1->setFont(fonts::make(fonts::kFixedSys, 13));
    zoom_ = editor->zoom();
    // The marker follows the document's modified flag, which only real
    // edits set: the change notification also comes for every step of an
    // input-method composition, which changes nothing.
    connect(Memo1, &QPlainTextEdit::modificationChanged, this, &TfrmTSMain::Memo1Change);
    connect(Memo1, &QPlainTextEdit::textChanged, this, &TfrmTSMain::endSessionQuery);
    connect(Memo1, &QPlainTextEdit::cursorPositionChanged, this, &TfrmTSMain::updateCursorPosition);
    connect(Memo1, &QPlainTextEdit::selectionChanged, this, &TfrmTSMain::updateCursorPosition);
    // Wrapped paragraphs counted since: the caret's line number moves.
    connect(editor, &EditorWidget::displayLinesChanged, this, &TfrmTSMain::updateCursorPosition);

    auto* editorLayout = new QVBoxLayout(Panel8);
    editorLayout->setContentsMargins(0, 0, 0, 0);
    editorLayout->setSpacing(0);
    editorLayout->addWidget(Panel14);
    auto* editorRow = new QHBoxLayout;
    editorRow->setSpacing(0);
    editorRow->addWidget(Panel13);
    editorRow->addWidget(Memo1);
    editorLayout->addLayout(editorRow);

    // Showing or hiding a panel moves the others.
    PnlLst->installEventFilter(this);
    Panel4->installEventFilter(this);
}

void TfrmTSMain::buildStatusBar() {
    Panel11 = statusLabel(QStringLiteral("Panel11"), main_text::kStatusCaption, this);
    Panel11->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Panel11->setAlignment(Qt::AlignCenter);
    Panel11->setAutoFillBackground(true);
    // A right-click reads the document again in another encoding.
    Panel11->setContextMenuPolicy(Qt::ActionsContextMenu);
    for (const text::Encoding e : text::allEncodings()) {
        auto* reopen = new QAction(text::encodingName(e) + QStringLiteral(" で開き直す"), Panel11);
        reopen->setObjectName(QStringLiteral("reopen ") + text::encodingName(e));
        connect(reopen, &QAction::triggered, this, [this, e] { reopenInEncoding(e); });
        Panel11->addAction(reopen);
    }

    Panel16 = statusLabel(QStringLiteral("Panel16"), QStringLiteral("..."), Panel11);
    Panel16->setAlignment(Qt::AlignCenter);
    Panel16->setGeometry(1, 1, 127, kStatusHeight - 2);
    Label2 = statusLabel(QStringLiteral("Label2"), QStringLiteral("1"), Panel16);
    Label2->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    Label2->setGeometry(0, 0, 59, kStatusHeight - 2);
    Label1 = statusLabel(QStringLiteral("Label1"), QStringLiteral("1"), Panel16);
    Label1->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    Label1->setGeometry(127 - 59, 0, 59, kStatusHeight - 2);
    Bevel5 = separatorLine(QStringLiteral("Bevel5"), Panel11, Qt::Vertical);

    Bevel6 = separatorLine(QStringLiteral("Bevel6"), Panel11, Qt::Vertical);
    LblDate = statusLabel(QStringLiteral("LblDate"), QString(), Panel11);
    Label3 = statusLabel(QStringLiteral("Label3"), QStringLiteral(" "), Panel11);
    LblHor = statusLabel(QStringLiteral("LblHor"), QString(), Panel11);
    LblComma = statusLabel(QStringLiteral("LblComma"), QStringLiteral("："), Panel11);
    LblComma->setAlignment(Qt::AlignCenter);
    LblMin = statusLabel(QStringLiteral("LblMin"), QString(), Panel11);
    LblAl = statusLabel(QStringLiteral("LblAl"), QString(), Panel11);
    LblAl->setAlignment(Qt::AlignCenter);
    setColours(LblAl, QColor(), kRed);
    LblZoom = statusLabel(QStringLiteral("LblZoom"), QString(), Panel11);
    LblZoom->setAlignment(Qt::AlignCenter);
    LblZoom->hide();
}

void TfrmTSMain::buildFloatingPanels() {
    alarm_ = new AlarmClock(this, {PAL, Img3, LblDate, LblHor, LblMin, LblAl}, Memo1, clockHooks_);
    PnlASet = alarm_->panel();

    clipSave_ = new ClipSave(this, SB9, SpeedButton13, Memo1, state_, prompter_, programFolder_, style_,
                             [this](QPlainTextEdit* edit, QByteArray&& bytes, LoadResult& loaded) {
                                 fillEditor(edit, std::move(bytes), loaded);
                             });
    PnlCS = clipSave_->panel();

    FileList::Hooks hooks;
    hooks.askSaveChanges = [this] { return AskSaveChanges(); };
    hooks.loadEditor = [this](const QString& path) { return loadInto(Memo1, path); };
    hooks.loadPreview = [this](const QString& path) { return loadInto(Memo2, path); };
    hooks.previewDocument = [this] { return Memo2->document(); };
    fileList_ = new FileList({PnlLst, Panel1, PanelPass, Panel4, Panel5, Memo2, Memo1}, *this, prompter_,
                             std::move(hooks), this);
}

void TfrmTSMain::updateMinimumSize() {
    // The tool column's pictures must fit; a collapsed column lowers the width.
    setMinimumSize(10 * panel9Width_, kImage2Height + kClipButtonHeight);
}

int TfrmTSMain::listSpace() const { return width() - panel9Width_ - kSplitter; }

int TfrmTSMain::previewSpace() const { return height() - kStatusHeight - kSplitter; }

void TfrmTSMain::relayout() {
    const int w = width();
    const int h = height();
    Panel9->setGeometry(0, 0, panel9Width_, h);
    Panel10->setGeometry(0, 0, kStripWidth, h);
    Image2->move(1, std::max(2 + 4 * (kStripButton + 1), h - kImage2Height - 1));

    const int right = std::max(0, w - panel9Width_);
    const int clientHeight = std::max(0, h - kStatusHeight);
    Panel2->setGeometry(panel9Width_, 0, right, clientHeight);
    Panel11->setGeometry(panel9Width_, clientHeight, right, kStatusHeight);
    layoutStatusBar();

    int x = 0;
    if (PnlLst->isVisibleTo(Panel2)) {
        const int lw = split::bounded(plWidth_, listSpace());
        PnlLst->setGeometry(0, 0, lw, clientHeight);
        Splitter1->setGeometry(lw, 0, kSplitter, clientHeight);
        Splitter1->show();
        x = lw + kSplitter;
    } else {
        Splitter1->hide();
    }
    int y = 0;
    const int restWidth = std::max(0, right - x);
    if (Panel4->isVisibleTo(Panel2)) {
        const int ph = split::bounded(ppHeight_, previewSpace());
        Panel4->setGeometry(x, 0, restWidth, ph);
        Splitter2->setGeometry(x, ph, restWidth, kSplitter);
        Splitter2->show();
        y = ph + kSplitter;
    } else {
        Splitter2->hide();
    }
    Panel8->setGeometry(x, y, restWidth, std::max(0, clientHeight - y));
    PnlASet->raise();
    if (explorer_) explorer_->panel()->raise();
    PnlCS->raise();
}

void TfrmTSMain::layoutStatusBar() {
    const int barWidth = Panel11->width();
    const int hgt = kStatusHeight - 2;
    Bevel5->setGeometry(129, 1, 2, hgt);
    const QFontMetrics fm(LblDate->font());
    int x = barWidth - 1;
    const auto place = [&](QWidget* wgt, int width) {
        x -= width;
        wgt->setGeometry(x, 1, width, hgt);
    };
    place(LblAl, 10);
    place(LblMin, fm.horizontalAdvance(QStringLiteral("00")) + 1);
    place(LblComma, 8);
    place(LblHor, fm.horizontalAdvance(QStringLiteral("00")) + 1);
    place(Label3, 6);
    place(LblDate, fm.horizontalAdvance(QStringLiteral("0000/00/00")) + 2);
    place(Bevel6, 2);
    if (!LblZoom->isHidden()) place(LblZoom, fm.horizontalAdvance(QStringLiteral("400%")) + 8);
}

void TfrmTSMain::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    relayout();
}

bool TfrmTSMain::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if ((watched == PnlLst || watched == Panel4) &&
        (type == QEvent::ShowToParent || type == QEvent::HideToParent)) {
        relayout();
    } else if (watched == picker_ && (type == QEvent::Show || type == QEvent::Close)) {
        // No hint over the picker while it is open; a popup merely hidden
        // by activation keeps it off until it is closed.
        SB1->setToolTip(type == QEvent::Show ? QString() : SB1->accessibleName());
    } else if (type == QEvent::MouseButtonPress &&
               static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        // Labels ignore presses, so the press is the event they surely see.
        if (watched == Panel1) {
            Panel1Click();
            return true;
        }
        if (watched == Panel5) {
            Panel5Click();
            return true;
        }
        if (watched == Panel15 || watched == Image1) {
            Panel15Click();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void TfrmTSMain::showListPanel(bool shown) {
    PnlLst->setVisible(shown);
    relayout();
}

void TfrmTSMain::showPreview(bool shown) {
    Panel4->setVisible(shown);
    relayout();
}

void TfrmTSMain::Panel1Click() { fileList_->Panel1Click(); }

void TfrmTSMain::Panel5Click() { fileList_->Panel5Click(); }

void TfrmTSMain::Panel15Click() { fileList_->Panel15Click(); }

void TfrmTSMain::GourpFileSet() { fileList_->GourpFileSet(); }

void TfrmTSMain::setGroupPicker(QWidget* picker) {
    if (picker_) picker_->removeEventFilter(this);
    picker_ = picker;
    if (picker_) picker_->installEventFilter(this);
}

void TfrmTSMain::setGroupExplorer(GroupExplorer* explorer) {
    explorer_ = explorer;
    relayout();
}

void TfrmTSMain::SB1Click() {
    if (!picker_) return;
    // Beside the tool column: two buttons to the right, three down.
    const QRect frame = frameGeometry();
    picker_->move(frame.left() + 2 * SB1->width() + 2, frame.top() + 3 * SB1->height() + 6);
    fileList_->setPreviewPointSize(kPickerPreviewPoints);
    // Open and not hidden by an activation (a window manager may not move
    // the activation to a popup): the button closes it all the same.
    if (state_.L1 != flag::kPickerClosed && !picker_->isVisible()) {
        state_.L1 = flag::kPickerOpened;
        picker_->show();
        // Active itself, so that a click back into this window hides it.
        picker_->raise();
        picker_->activateWindow();
    } else {
        state_.L1.clear();
        picker_->close();
    }
}

void TfrmTSMain::SpeedButton4Click() { prompter_.showGroupRegistration(); }

void TfrmTSMain::SpeedButton3Click() {
    if (!explorer_) return;
    QWidget* panel = explorer_->panel();
    if (panel->isVisibleTo(this)) {
        panel->hide();
        return;
    }
    explorer_->open();
    panel->raise();
    showListPanel(false);
}

} // namespace tess
