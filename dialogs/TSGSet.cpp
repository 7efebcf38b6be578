#include "TSGSet.h"

#include "dialogparts.h"

#include "core/editorstate.h"
#include "core/filenames.h"
#include "core/groupregistry.h"
#include "core/groupstore.h"
#include "core/textfold.h"
#include "mainwindow/documenthost.h"
#include "mainwindow/fonts.h"
#include "mainwindow/look.h"
#include "mainwindow/pictures.h"

#include <QFrame>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QTableWidget>

namespace tess {

using dialog_parts::gothic;

namespace {

constexpr int kRowHeight = 18;
constexpr int kNameWidth = 120;  // Edit1, Edit3, and the name column of GrdFG
constexpr int kPathWidth = 175;  // Edit2

QLabel* label(const QString& name, const QString& text, QWidget* parent, const QRect& at) {
    auto* l = new QLabel(text, parent);
    l->setObjectName(name);
    l->setGeometry(at);
    return l;
}

QLabel* title(const QString& name, const QString& text, const QColor& colour, QWidget* parent,
              const QRect& at) {
    QLabel* l = label(name, text, parent, at);
    l->setFont(gothic(15, true));
    look::setTextColour(l, colour);
    return l;
}

QPushButton* button(const QString& name, const QString& text, const QColor& colour, QWidget* parent,
                    const QRect& at) {
    QPushButton* b = dialog_parts::boldButton(name, text, colour, parent, at);
    // Enter on a focused button presses it; Enter elsewhere presses nothing.
    b->setAutoDefault(true);
    return b;
}

QTableWidget* grid(const QString& name, QWidget* parent, const QRect& at) {
    auto* g = new QTableWidget(1, 2, parent);
    g->setObjectName(name);
    g->setGeometry(at);
    g->verticalHeader()->hide();
    g->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    g->verticalHeader()->setDefaultSectionSize(kRowHeight);
    g->horizontalHeader()->setFixedHeight(kRowHeight);
    g->horizontalHeader()->setSectionsClickable(false);
    g->horizontalHeader()->setHighlightSections(false);
    g->setShowGrid(false);
    g->setEditTriggers(QAbstractItemView::NoEditTriggers);
    g->setSelectionBehavior(QAbstractItemView::SelectRows);
    g->setSelectionMode(QAbstractItemView::SingleSelection);
    g->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    g->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    g->setFont(gothic(12));
    return g;
}

// Folds `edit`'s text without moving the caret; true when it changed it.
bool foldInPlace(QLineEdit* edit, const QString& folded) {
    if (folded == edit->text()) return false;
    const int caret = edit->cursorPosition();
    const QSignalBlocker block(edit);
    edit->setText(folded);
    edit->setCursorPosition(caret);
    return true;
}

} // namespace

TfrmGSet::TfrmGSet(DocumentHost& host, Notifier& notifier, QWidget* parent)
    : QDialog(parent, Qt::Tool), host_(host), notifier_(notifier) {
    pictures::ensureLoaded();
    setObjectName(QStringLiteral("frmGSet"));
    setWindowTitle(QStringLiteral("グループの登録と削除"));
    setModal(true);
    setFont(gothic(12));
    setGeometry(141, 120, 558, 281);
    buildWindow();
    FormCreate();
}

void TfrmGSet::buildWindow() {
    auto* Panel17 = new QFrame(this);
    Panel17->setObjectName(QStringLiteral("Panel17"));
    Panel17->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Panel17->setGeometry(0, 0, 20, 281);
    auto* Image3 = new QLabel(Panel17);
    Image3->setObjectName(QStringLiteral("Image3"));
    Image3->setGeometry(1, 1, 18, 279);
    Image3->setPixmap(pictures::pixmap(pictures::kSaveStrip, QSize(18, 279)));

    // Folder groups.
    auto* Panel18 = new QFrame(this);
    Panel18->setObjectName(QStringLiteral("Panel18"));
    Panel18->setFrameStyle(QFrame::Panel | QFrame::Raised);
    Panel18->setGeometry(24, 4, 311, 240);
    Label6 = title(QStringLiteral("Label6"), QStringLiteral("ﾌｫﾙﾀﾞｸﾞﾙｰﾌﾟの登録と解除："), look::kNavy, Panel18,
                   QRect(6, 4, 299, 18));
    Label2 = label(QStringLiteral("Label2"), QStringLiteral("ｸﾞﾙｰﾌﾟ名："), Panel18, QRect(6, 26, kNameWidth, 14));
    Label4 = label(QStringLiteral("Label4"), QStringLiteral("ﾌｫﾙﾀﾞのパス"), Panel18,
                   QRect(130, 26, kPathWidth, 14));
    Edit1 = new QLineEdit(Panel18);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setGeometry(6, 42, kNameWidth, 21);
    Edit2 = new QLineEdit(Panel18);
    Edit2->setObjectName(QStringLiteral("Edit2"));
    Edit2->setGeometry(130, 42, kPathWidth, 21);
    BB1 = button(QStringLiteral("BB1"), QStringLiteral("OK /登録"), look::kBlue, Panel18, QRect(6, 68, 146, 24));
    BB2 = button(QStringLiteral("BB2"), QStringLiteral("削　除"), look::kRed, Panel18, QRect(159, 68, 146, 24));
    GrdFG = grid(QStringLiteral("GrdFG"), Panel18, QRect(6, 96, 299, 138));

    // Inner groups.
    auto* Panel20 = new QFrame(this);
    Panel20->setObjectName(QStringLiteral("Panel20"));
    Panel20->setFrameStyle(QFrame::Panel | QFrame::Raised);
    Panel20->setGeometry(339, 4, 215, 240);
    Label7 = title(QStringLiteral("Label7"), QStringLiteral("ｲﾝﾅｰｸﾞﾙｰﾌﾟの登録と解除："), look::kPurple, Panel20,
                   QRect(6, 4, 203, 18));
    Label8 = label(QStringLiteral("Label8"), QStringLiteral("ｸﾞﾙｰﾌﾟ名："), Panel20, QRect(6, 26, kNameWidth, 14));
    Edit3 = new QLineEdit(Panel20);
    Edit3->setObjectName(QStringLiteral("Edit3"));
    Edit3->setGeometry(6, 42, kNameWidth, 21);
    BB3 = button(QStringLiteral("BB3"), QStringLiteral("OK /登録"), look::kBlue, Panel20, QRect(130, 42, 79, 24));
    BB4 = button(QStringLiteral("BB4"), QStringLiteral("削　除"), look::kRed, Panel20, QRect(130, 68, 79, 24));
    GrdIG = grid(QStringLiteral("GrdIG"), Panel20, QRect(6, 96, 140, 138));

    BitBtn6 = button(QStringLiteral("BitBtn6"), QStringLiteral("OK /終了"), look::kNavy, this,
                     QRect((558 - 130) / 2, 250, 130, 26));

    connect(Edit1, &QLineEdit::textChanged, this, [this] { folderInputChanged(Edit1); });
    connect(Edit2, &QLineEdit::textChanged, this, [this] { folderInputChanged(Edit2); });
    connect(Edit3, &QLineEdit::textChanged, this, [this] { innerInputChanged(); });
    connect(BB1, &QPushButton::clicked, this, &TfrmGSet::BB1Click);
    connect(BB2, &QPushButton::clicked, this, &TfrmGSet::BB2Click);
    connect(BB3, &QPushButton::clicked, this, &TfrmGSet::BB3Click);
    connect(BB4, &QPushButton::clicked, this, &TfrmGSet::BB4Click);
    connect(BitBtn6, &QPushButton::clicked, this, &QDialog::accept);
    for (QObject* o : {static_cast<QObject*>(Edit1), static_cast<QObject*>(Edit2), static_cast<QObject*>(Edit3),
                       static_cast<QObject*>(GrdFG), static_cast<QObject*>(GrdIG),
                       static_cast<QObject*>(GrdFG->viewport()), static_cast<QObject*>(GrdIG->viewport())})
        o->installEventFilter(this);
}

void TfrmGSet::FormCreate() {
    refreshGrids();
    clearInputs();
    // A flag that could not be read (a settings file set aside, or written
    // by another version) does not cost the groups: the store is read when it
    // is there.  Only "no groups at the last close" leaves it alone.
    EditorState& state = host_.state();
    if (state.LblGF == flag::kStoreWritten || state.LblGF.isEmpty()) {
        const GroupStoreRead r =
            readGroupStore(host_.programFolder() + files::kGroupStore, host_.registry(), notifier_);
        state.storeKept = r == GroupStoreRead::Unreadable;
        refreshGrids();
    }
}

void TfrmGSet::FormShow() {
    clearInputs();
    for (QPushButton* b : {BB1, BB2, BB3, BB4}) b->setEnabled(false);
    refreshGrids();
    Edit1->setFocus();
}

void TfrmGSet::showEvent(QShowEvent* event) {
    FormShow();
    QDialog::showEvent(event);
}

void TfrmGSet::fillGrid(QTableWidget* grid, const TextGrid& table) {
    grid->clear();
    grid->setRowCount(std::max(0, table.rowCount() - 1));
    grid->setHorizontalHeaderLabels({table.cell(0, 0), table.cell(1, 0)});
    // The name column is fixed, drawn like the headings.
    const QBrush fixed = grid->palette().button();
    for (int r = 1; r < table.rowCount(); ++r) {
        for (int c = 0; c < 2; ++c) {
            auto* item = new QTableWidgetItem(table.cell(c, r));
            if (c == 0) item->setBackground(fixed);
            grid->setItem(r - 1, c, item);
        }
    }
}

void TfrmGSet::refreshGrids() {
    const GroupRegistry& reg = host_.registry();
    fillGrid(GrdFG, reg.GrdFG());
    fillGrid(GrdIG, reg.GrdIG());
    const auto clientWidth = [](const QTableWidget* g) {
        return g->width() - 2 * g->frameWidth() - g->verticalScrollBar()->sizeHint().width();
    };
    GrdFG->setColumnWidth(0, kNameWidth);
    GrdFG->setColumnWidth(1, std::max(0, clientWidth(GrdFG) - kNameWidth));
    // The "X" of an inner group stays out of view.
    GrdIG->setColumnWidth(0, clientWidth(GrdIG));
    GrdIG->setColumnWidth(1, kNameWidth);
}

void TfrmGSet::clearInputs() {
    Edit1->clear();
    Edit2->clear();
    Edit3->clear();
}

void TfrmGSet::folderInputChanged(QLineEdit* edit) {
    const PathStyle& style = host_.registry().style();
    foldInPlace(edit, edit == Edit1 ? foldUpper(edit->text()) : style.foldPath(edit->text()));
    BB2->setEnabled(false);
    // A blank typed into an empty input vanishes at once.
    if (!edit->text().isEmpty() && isBlank(edit->text())) {
        const QSignalBlocker block(edit);
        edit->clear();
    }
    BB1->setEnabled(!Edit1->text().isEmpty() && !Edit2->text().isEmpty());
}

void TfrmGSet::innerInputChanged() {
    foldInPlace(Edit3, foldUpper(Edit3->text()));
    BB4->setEnabled(false);
    if (!Edit3->text().isEmpty() && isBlank(Edit3->text())) {
        const QSignalBlocker block(Edit3);
        Edit3->clear();
    }
    BB3->setEnabled(!Edit3->text().isEmpty());
}

void TfrmGSet::BB1Click() {
    lblG_ = kind::kFolder;
    const TourokuResult r =
        host_.registry().Touroku(lblG_, Edit1->text(), Edit2->text(), host_.state().GrdR, notifier_);
    refreshGrids();
    switch (r) {
    case TourokuResult::NoName:
    case TourokuResult::Duplicate:
        Edit1->setFocus();
        return;
    case TourokuResult::NoPath:
    case TourokuResult::BadPath:
        Edit2->setFocus();
        return;
    case TourokuResult::Registered:
        clearInputs();
        Edit1->setFocus();
        return;
    }
}

void TfrmGSet::BB3Click() {
    lblG_ = kind::kInner;
    const TourokuResult r = host_.registry().Touroku(lblG_, Edit3->text(), registry_text::kInnerPlaceholder,
                                                     host_.state().GrdR, notifier_);
    refreshGrids();
    if (r == TourokuResult::Registered) clearInputs();
    Edit3->setFocus();
}

void TfrmGSet::BB2Click() {
    lblG_ = kind::kFolder;
    host_.registry().Sakujyo(lblG_, Edit1->text());
    refreshGrids();
    clearInputs();
    Edit1->setFocus();
}

void TfrmGSet::BB4Click() {
    lblG_ = kind::kInner;
    host_.registry().Sakujyo(lblG_, Edit3->text());
    refreshGrids();
    clearInputs();
    Edit3->setFocus();
}

void TfrmGSet::GrdFGSelect(int row) {
    const TextGrid& table = host_.registry().GrdFG();
    if (row < 1 || row >= table.rowCount() || table.cell(0, 1).isEmpty()) return;
    GrdFG->selectRow(row - 1);
    Edit1->setText(table.cell(0, row));
    Edit2->setText(table.cell(1, row));
    Edit3->clear();
    BB1->setEnabled(false);
    BB2->setEnabled(true);
    BB3->setEnabled(false);
    BB4->setEnabled(false);
    BB2->setFocus();
}

void TfrmGSet::GrdIGSelect(int row) {
    const TextGrid& table = host_.registry().GrdIG();
    if (row < 1 || row >= table.rowCount() || table.cell(0, 1).isEmpty()) return;
    GrdIG->selectRow(row - 1);
    Edit1->clear();
    Edit2->clear();
    Edit3->setText(table.cell(0, row));
    BB1->setEnabled(false);
    BB2->setEnabled(false);
    BB3->setEnabled(false);
    BB4->setEnabled(true);
    BB4->setFocus();
}

bool TfrmGSet::enterPressed(QLineEdit* edit) {
    if (edit == Edit1) {
        if (Edit1->text().isEmpty()) return false;
        Edit2->setFocus();
        return true;
    }
    if (edit == Edit2) {
        if (Edit1->text().isEmpty()) Edit1->setFocus();
        else if (!Edit2->text().isEmpty()) BB1->setFocus();
        return true;
    }
    if (Edit3->text().isEmpty()) return false;
    BB3->setFocus();
    return true;
}

bool TfrmGSet::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        const bool enter = key == Qt::Key_Return || key == Qt::Key_Enter;
        if (enter && (watched == Edit1 || watched == Edit2 || watched == Edit3))
            return enterPressed(static_cast<QLineEdit*>(watched));
        // From the keyboard, Enter or Space on a grid row chooses it as a click does.
        if ((enter || key == Qt::Key_Space) && (watched == GrdFG || watched == GrdIG)) {
            auto* g = static_cast<QTableWidget*>(watched);
            const int row = g->currentRow() + 1;
            if (g == GrdFG) GrdFGSelect(row);
            else GrdIGSelect(row);
            return true;
        }
    } else if (type == QEvent::MouseButtonRelease &&
               (watched == GrdFG->viewport() || watched == GrdIG->viewport())) {
        QTableWidget* g = watched == GrdFG->viewport() ? GrdFG : GrdIG;
        const QModelIndex at = g->indexAt(static_cast<QMouseEvent*>(event)->position().toPoint());
        if (at.isValid()) {
            if (g == GrdFG) GrdFGSelect(at.row() + 1);
            else GrdIGSelect(at.row() + 1);
        }
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace tess
