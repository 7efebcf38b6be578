#include "filelist.h"

#include "TSMain.h"
#include "documenthost.h"
#include "fonts.h"
#include "prompter.h"

#include "core/listentry.h"
#include "core/settingsfile.h"

#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QSignalBlocker>
#include <QTextDocument>

#include <optional>

namespace tess {

namespace list_text {
QString outsideFolder(const QString& entry) {
    return QStringLiteral("\"") + entry + QStringLiteral("\" はﾌｫﾙﾀﾞの外を指すため開けません");
}
} // namespace list_text

namespace {
constexpr int kPreviewPoints = 10;

// The values of the list mode in the quick-save section.
const QString kModeNone = QStringLiteral("None");
const QString kModeGroup = QStringLiteral("Group");
const QString kModeHistory = QStringLiteral("History");
} // namespace

FileList::FileList(const Widgets& widgets, DocumentHost& host, Prompter& prompter, Hooks hooks,
                   QObject* parent)
    : QObject(parent), w_(widgets), host_(host), prompter_(prompter), hooks_(std::move(hooks)) {
    // A click on another entry or the arrow keys change the selection.
    connect(w_.PanelPass, &QListWidget::itemSelectionChanged, this, &FileList::PanelPassClick);
    connect(w_.PanelPass, &QListWidget::itemDoubleClicked, this, &FileList::PanelPassDblClick);
    // Enter opens the selected entry as a double click does.
    w_.PanelPass->installEventFilter(this);
}

bool FileList::eventFilter(QObject* watched, QEvent* event) {
    if (watched == w_.PanelPass && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            if (w_.PanelPass->currentItem()) PanelPassDblClick();
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

void FileList::setMode(Mode mode, const QString& heading) {
    mode_ = mode;
    group_ = mode == Mode::Group ? heading : QString();
    w_.Panel1->setText(heading);
    // A long group name is cut in the heading; the whole one shows here.
    w_.Panel1->setToolTip(heading);
}

void FileList::writeQuickSave(SettingsFile& settings) const {
    settings.write(ini::kQuickSave, ini::kFileListCaption, w_.Panel1->text());
    const QString& mode = mode_ == Mode::History ? kModeHistory : mode_ == Mode::Group ? kModeGroup : kModeNone;
    settings.write(ini::kQuickSave, ini::kListMode, mode);
}

void FileList::readQuickSave(const SettingsFile& settings) {
    const SettingValue caption = settings.read(ini::kQuickSave, ini::kFileListCaption, ini::kWhole);
    const SettingValue mode = settings.read(ini::kQuickSave, ini::kListMode, ini::kShortLimit);
    const QString heading = caption.found ? caption.value : w_.Panel1->text();
    Mode restored;
    if (mode.found && mode.value == kModeHistory)
        restored = Mode::History;
    else if (mode.found && mode.value == kModeGroup)
        restored = Mode::Group;
    else if (mode.found && mode.value == kModeNone)
        restored = Mode::None;
    else if (heading == main_text::kHistoryHeading)
        restored = Mode::History;
    else
        restored = heading == main_text::kListHeading ? Mode::None : Mode::Group;
    setMode(restored, heading);
}

bool FileList::isPlaceholder(const QString& entry) const {
    return entry == main_text::kNoHistory || entry == list_text::kNoGroupFiles;
}

QStringList FileList::entries() const {
    QStringList out;
    for (int i = 0; i < w_.PanelPass->count(); ++i) out << w_.PanelPass->item(i)->text();
    return out;
}

void FileList::setEntries(const QStringList& items) {
    const QSignalBlocker block(w_.PanelPass);
    w_.PanelPass->clear();
    w_.PanelPass->addItems(items);
    // The list is narrow: each entry shows the whole path it stands for when
    // the pointer rests on it.
    const bool history = historyMode();
    for (int i = 0; i < w_.PanelPass->count(); ++i) {
        QListWidgetItem* item = w_.PanelPass->item(i);
        if (isPlaceholder(item->text())) continue;
        const ResolvedEntry r = ResolveListEntry(item->text(), history, group_, host_.registry());
        if (r.status == ResolvedEntry::Status::Path) item->setToolTip(r.path);
    }
}

void FileList::refreshHistory() {
    if (historyMode()) setEntries(host_.state().GrdR.entries());
}

void FileList::GourpFileSet() {
    const QString group = host_.state().LblGName();
    setEntries({});
    setMode(Mode::Group, group);
    if (host_.registry().columnOf(group) < 0) {
        prompter_.message(list_text::kUnknownGroup);
        return;
    }
    // A reorder can leave the first cell empty above a file; the group has
    // files as long as any cell holds one.
    const QStringList files = host_.registry().filesOf(group);
    setEntries(files.isEmpty() ? QStringList{list_text::kNoGroupFiles} : files);
    w_.PnlLst->show();
}

void FileList::PGFClick() {
    EditorState& state = host_.state();
    setEntries({});
    state.setLblGName(QString());
    setMode(Mode::History, main_text::kHistoryHeading);
    setEntries(state.GrdR.place(1).isEmpty() ? QStringList{main_text::kNoHistory} : state.GrdR.entries());
    w_.PnlLst->show();
}

std::optional<QString> FileList::selectedPath() {
    const QListWidgetItem* item = w_.PanelPass->currentItem();
    if (!item || !item->isSelected() || isPlaceholder(item->text())) return std::nullopt;
    const ResolvedEntry r =
        ResolveListEntry(item->text(), historyMode(), group_, host_.registry());
    switch (r.status) {
    case ResolvedEntry::Status::Path:
        return r.path;
    case ResolvedEntry::Status::NoSuchGroup:
        prompter_.message(list_text::kGroupSearch);
        break;
    case ResolvedEntry::Status::Outside:
        prompter_.message(list_text::outsideFolder(item->text()));
        break;
    }
    return std::nullopt;
}

void FileList::PanelPassClick() {
    const std::optional<QString> path = selectedPath();
    if (!path) return;
    w_.Panel5->setText(*path + list_text::kPreviewLabel);

    const bool text = path->size() >= 3 && path->right(3).compare(u"TXT", Qt::CaseInsensitive) == 0;
    if (text) {
        // Rich text in a ".TXT" shows formatted.
        if (!hooks_.loadPreview(*path).ok()) {
            prompter_.message(list_text::kPreviewMissing);
            return;
        }
    } else {
        // Everything else shows as its plain text, without formatting.
        QTextDocument scratch;  // CrpMemo
        if (!LoadDocument(*path, scratch).ok()) {
            prompter_.message(list_text::kPreviewMissing);
            return;
        }
        QTextDocument* preview = hooks_.previewDocument();
        preview->setPlainText(scratch.toPlainText());
        preview->setModified(false);
    }
    w_.Memo2->setFont(QFont(fonts::kMsGothic, kPreviewPoints));
    w_.Panel4->show();
}

void FileList::PanelPassDblClick() {
    if (!hooks_.askSaveChanges()) return;
    const std::optional<QString> path = selectedPath();
    if (!path) return;
    openAsked(*path);
}

bool FileList::openDocument(const QString& path) {
    if (!hooks_.askSaveChanges()) return false;
    return openAsked(path);
}

bool FileList::openAsked(const QString& path) {
    // A file that cannot be read leaves the open document, its name, its
    // caption and its modified state as they were.
    if (const LoadResult r = hooks_.loadEditor(path); !r.ok()) {
        prompter_.message(main_text::cannotOpen(path, r));
        return false;
    }
    EditorState& state = host_.state();
    const GroupRegistry& registry = host_.registry();
    state.setLblFullName(documentPathOf(path, registry.programFolder(), registry.style()));
    state.setLblGName(groupOfOpenedFile(path, registry));
    state.setLblFName(registry.style().fileName(state.LblFullName()));
    host_.RirekiSet();
    w_.Panel4->hide();
    host_.MarkClean();
    w_.editor->setFocus();
    return true;
}

void FileList::Panel1Click() { w_.PnlLst->hide(); }

void FileList::Panel5Click() { w_.Panel4->hide(); }

void FileList::Panel15Click() { w_.PnlLst->setVisible(!w_.PnlLst->isVisibleTo(w_.PnlLst->parentWidget())); }

void FileList::setPreviewPointSize(int points) {
    QFont f = w_.Memo2->font();
    f.setPointSize(points);
    w_.Memo2->setFont(f);
}

} // namespace tess
