#include "TSExplorer.h"

#include "kindicon.h"

#include "dialogparts.h"

#include "core/editorstate.h"
#include "core/groupregistry.h"
#include "core/listentry.h"
#include "core/removefile.h"
#include "mainwindow/documenthost.h"
#include "mainwindow/filelist.h"
#include "mainwindow/fonts.h"
#include "mainwindow/look.h"
#include "mainwindow/prompter.h"

#include <QComboBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTableWidget>

namespace tess {

namespace explorer_text {

QString unregisterQuestion(const QString& file, const QString& group) {
    return QStringLiteral("ﾌｧｲﾙ \"") + file + QStringLiteral("\" を\r\nｸﾞﾙｰﾌﾟ \"") + group +
           QStringLiteral("\" から解除します");
}

QString deleteQuestion(const QString& file, const QString& group) {
    return QStringLiteral("ﾌｧｲﾙ \"") + file + QStringLiteral("\" を\r\nｸﾞﾙｰﾌﾟﾌｫﾙﾀﾞ \"") + group +
           QStringLiteral("\" 内から削除します");
}

} // namespace explorer_text

using dialog_parts::gothic;

namespace {

constexpr int kRowHeight = 18;
constexpr int kCountWidth = 60;  // the grid's default column width

} // namespace

TfrmExplorer::TfrmExplorer(DocumentHost& host, Prompter& prompter, QWidget* window, QWidget* editor)
    : QFrame(window), host_(host), prompter_(prompter), editor_(editor) {
    setObjectName(QStringLiteral("PnlExp"));
    setFrameStyle(QFrame::Panel | QFrame::Raised);
    setAutoFillBackground(true);
    setGeometry(50, 30, 273, 413);
    setFont(gothic(12));

    Label6 = new QLabel(QStringLiteral("ｸﾞﾙｰﾌﾟ登録ﾌｧｲﾙの解除と削除："), this);
    Label6->setObjectName(QStringLiteral("Label6"));
    Label6->setFont(gothic(15, true));
    look::setTextColour(Label6, look::kGreen);
    Label6->setGeometry(10, 8, 253, 18);

    Label7 = new QLabel(QStringLiteral("ｸﾞﾙｰﾌﾟ："), this);
    Label7->setObjectName(QStringLiteral("Label7"));
    Label7->setFont(gothic(12, true));
    look::setTextColour(Label7, look::kNavy);
    Label7->setGeometry(10, 36, 56, 20);

    P1 = new KindIcon(QStringLiteral("P1"), QStringLiteral("ImgI1"), QStringLiteral("ImgF"), this);
    P1->move(66, 36);

    ComboBox1 = new QComboBox(this);
    ComboBox1->setObjectName(QStringLiteral("ComboBox1"));
    ComboBox1->setEditable(false);
    ComboBox1->setGeometry(88, 34, 174, 24);
    connect(ComboBox1, &QComboBox::currentIndexChanged, this, &TfrmExplorer::ComboBox1Change);

    Grd1 = new QTableWidget(1, 2, this);
    Grd1->setObjectName(QStringLiteral("Grd1"));
    Grd1->setGeometry(10, 64, 252, 248);
    Grd1->verticalHeader()->hide();
    Grd1->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    Grd1->verticalHeader()->setDefaultSectionSize(kRowHeight);
    Grd1->horizontalHeader()->setFixedHeight(kRowHeight);
    Grd1->horizontalHeader()->setSectionsClickable(false);
    Grd1->setHorizontalHeaderLabels({explorer_text::kCountHeading, explorer_text::kFileHeading});
    Grd1->setColumnWidth(0, kCountWidth);
    // The file column fills what the count leaves, beside the vertical
    // scroll bar when there is one: the names never run under it and no
    // horizontal bar appears.
    Grd1->horizontalHeader()->setStretchLastSection(true);
    Grd1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Grd1->setShowGrid(true);
    Grd1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Grd1->setSelectionBehavior(QAbstractItemView::SelectRows);
    Grd1->setSelectionMode(QAbstractItemView::SingleSelection);
    Grd1->installEventFilter(this);
    Grd1->viewport()->installEventFilter(this);

    Label10 = new QLabel(QStringLiteral("選択："), this);
    Label10->setObjectName(QStringLiteral("Label10"));
    Label10->setGeometry(10, 318, 44, 18);
    Label9 = new QLabel(this);
    Label9->setObjectName(QStringLiteral("Label9"));
    look::setColours(Label9, Qt::white);
    Label9->setGeometry(55, 318, 207, 18);

    BB1 = dialog_parts::boldButton(QStringLiteral("BB1"), QStringLiteral("このﾌｧｲﾙをｸﾞﾙｰﾌﾟから解除"), look::kNavy, this,
                 QRect(10, 340, 251, 22));
    BB2 = dialog_parts::boldButton(QStringLiteral("BB2"), QStringLiteral("このﾌｧｲﾙをﾌｫﾙﾀﾞから削除"), look::kPurple, this,
                 QRect(10, 364, 251, 22));
    BitBtn4 = dialog_parts::boldButton(QStringLiteral("BitBtn4"), QStringLiteral("OK / 終了"), look::kBlue, this,
                     QRect(171, 389, 90, 20));
    connect(BB1, &QPushButton::clicked, this, &TfrmExplorer::BB1Click);
    connect(BB2, &QPushButton::clicked, this, &TfrmExplorer::BB2Click);
    connect(BitBtn4, &QPushButton::clicked, this, &TfrmExplorer::BitBtn4Click);
    BB1->setEnabled(false);
    BB2->setEnabled(false);
    hide();
}

QString TfrmExplorer::chosenGroup() const {
    return ComboBox1->currentIndex() < 0 ? QString() : ComboBox1->currentText();
}

void TfrmExplorer::open() {
    {
        const QSignalBlocker block(ComboBox1);
        ComboBox1->clear();
        ComboBox1->addItems(host_.registry().groupList());
        ComboBox1->setCurrentIndex(ComboBox1->count() ? 0 : -1);
    }
    ComboBox1Change();
    Label9->clear();
    show();
    ComboBox1->setFocus();
}

QList<ExplorerRow> TfrmExplorer::rows() const {
    QList<ExplorerRow> out;
    const auto text = [this](int r, int c) {
        const QTableWidgetItem* item = Grd1->item(r, c);
        return item ? item->text() : QString();
    };
    for (int r = 0; r < Grd1->rowCount(); ++r) out.append({text(r, 0), text(r, 1)});
    return out;
}

void TfrmExplorer::showRows(const QList<ExplorerRow>& rows) {
    Grd1->clearContents();
    Grd1->setRowCount(int(rows.size()));
    const QBrush fixed = Grd1->palette().button();
    for (int r = 0; r < rows.size(); ++r) {
        auto* count = new QTableWidgetItem(rows[r].count);
        count->setBackground(fixed);
        Grd1->setItem(r, 0, count);
        Grd1->setItem(r, 1, new QTableWidgetItem(rows[r].file));
    }
}

void TfrmExplorer::ComboBox1Change() {
    const QString group = chosenGroup();
    if (group.isEmpty()) {
        showRows(*explorerRows(host_.registry(), group));
        BB1->setEnabled(false);
        BB2->setEnabled(false);
        P1->setKind(KindIcon::Kind::None);
        return;
    }
    P1->setKind(host_.registry().isFolderGroup(group) ? KindIcon::Kind::Folder : KindIcon::Kind::Inner);
    const std::optional<QList<ExplorerRow>> rows = explorerRows(host_.registry(), group);
    if (!rows) {
        prompter_.message(explorer_text::kNoColumn);
        return;
    }
    showRows(*rows);
    BB1->setEnabled(false);
    BB2->setEnabled(false);
}

void TfrmExplorer::Grd1Select(int row) {
    const QList<ExplorerRow> shown = rows();
    if (row < 1 || row > shown.size()) return;
    // A grid that never showed a counted file (no group, no file) ignores clicks.
    const bool counted = std::any_of(shown.begin(), shown.end(), [](const ExplorerRow& r) { return !r.count.isEmpty(); });
    if (!counted) return;
    const QString& file = shown[row - 1].file;
    // A marker or an empty trailing row is no selection: nothing to
    // unregister or delete.
    if (file.isEmpty() || isExplorerMarker(file)) {
        BB1->setEnabled(false);
        BB2->setEnabled(false);
        Label9->clear();
        return;
    }
    Label9->setText(file);
    BB1->setEnabled(true);
    BB2->setEnabled(true);
    Grd1->setCurrentCell(row - 1, 1);
}

void TfrmExplorer::moveRow(int from, int to) {
    QList<ExplorerRow> shown = rows();
    if (from < 1 || to < 1 || from > shown.size() || to > shown.size() || from == to) return;
    // Only a file moves: a marker is never stored as a file name, and an
    // empty row has nothing to carry.
    const QString& file = shown[from - 1].file;
    if (file.isEmpty() || isExplorerMarker(file)) return;
    const QString group = chosenGroup();
    if (host_.registry().columnOf(group) < 0) return;
    shown.move(from - 1, to - 1);
    showRows(shown);
    host_.registry().reorder(group, reorderCells(shown));
}

bool TfrmExplorer::unregister(const QString& question) {
    const QString file = Label9->text();
    const QString group = chosenGroup();
    if (file.isEmpty() || isExplorerMarker(file) || group.isEmpty()) return false;
    if (!prompter_.askOkCancel(question)) return false;
    const KaijyoResult r = host_.registry().Kaijyo(group, file, host_.state().GrdR, prompter_);
    lblDelete_ = r.fullPath;
    // The grid follows the registry whenever the file left it, also when
    // the history no longer held it.
    if (r.unregistered) showRows(rowsAfterUnregister(rows(), file));
    return r.unregistered;
}

void TfrmExplorer::BB1Click() {
    unregister(explorer_text::unregisterQuestion(Label9->text(), chosenGroup()));
}

void TfrmExplorer::BB2Click() {
    const QString file = Label9->text();
    // A name that would reach outside the group's folder is never deleted.
    if (!file.isEmpty() && !isPlainFileName(file, host_.registry().style())) {
        prompter_.message(list_text::outsideFolder(file));
        return;
    }
    if (!unregister(explorer_text::deleteQuestion(file, chosenGroup()))) return;
    const RemoveResult removed = trashDocumentFile(lblDelete_);
    switch (removed.status) {
    case RemoveResult::Status::Removed:
        return;
    case RemoveResult::Status::NoTrash:
        // Without a trash the delete cannot be undone: the user decides.
        if (prompter_.askYesNo(removed.message)) {
            QString error;
            if (!deleteDocumentFile(lblDelete_, &error)) prompter_.message(error);
        }
        return;
    case RemoveResult::Status::Failed:
        prompter_.message(removed.message);
        return;
    }
}

void TfrmExplorer::BitBtn4Click() {
    hide();
    if (editor_) editor_->setFocus();
}

bool TfrmExplorer::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (watched == Grd1 && type == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const int row = Grd1->currentRow() + 1;
        // Ctrl+Up and Ctrl+Down move the selected file as a drag does.
        if (key->modifiers() & Qt::ControlModifier && (key->key() == Qt::Key_Up || key->key() == Qt::Key_Down)) {
            const int to = key->key() == Qt::Key_Up ? row - 1 : row + 1;
            moveRow(row, to);
            if (to >= 1 && to <= Grd1->rowCount()) Grd1Select(to);
            return true;
        }
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter || key->key() == Qt::Key_Space) {
            Grd1Select(row);
            return true;
        }
    } else if (watched == Grd1->viewport() &&
               (type == QEvent::MouseButtonPress || type == QEvent::MouseButtonRelease)) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        const QModelIndex at = Grd1->indexAt(mouse->position().toPoint());
        if (type == QEvent::MouseButtonPress) {
            // A row is dragged by its count cell.
            dragFrom_ = at.isValid() && at.column() == 0 && mouse->button() == Qt::LeftButton ? at.row() + 1 : 0;
        } else {
            const int from = std::exchange(dragFrom_, 0);
            if (at.isValid()) {
                if (from && from != at.row() + 1) moveRow(from, at.row() + 1);
                Grd1Select(at.row() + 1);
            }
        }
    }
    return QFrame::eventFilter(watched, event);
}

void TfrmExplorer::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        BitBtn4Click();
        return;
    }
    QFrame::keyPressEvent(event);
}

} // namespace tess
