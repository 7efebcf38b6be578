#include "groupregistry.h"

#include "listentry.h"
#include "textfold.h"

namespace tess {

namespace registry_text {

QString duplicateName(const QString& name) {
    return QStringLiteral("グループ名 \"") + name + QStringLiteral("\" は既に登録されています");
}

QString importQuestion(const QString& folder) {
    return QStringLiteral("ﾌｧｲﾙの使用履歴の中に\n\rﾌｫﾙﾀﾞ \"") + folder +
           QStringLiteral("\" のﾌｧｲﾙがあればここで登録しますか？");
}

} // namespace registry_text

namespace {

// Index of the first data row (from 1) whose name cell is `name`; -1 when none.
int findRow(const TextGrid& table, const QString& name) {
    if (name.isEmpty()) return -1;
    for (int r = 1; r < table.rowCount(); ++r)
        if (table.cell(0, r) == name) return r;
    return -1;
}

bool isEmptyTable(const TextGrid& table) { return table.cell(0, 1).isEmpty(); }

// Puts `file` into the first empty cell of the column from row 1, first
// adding a row to the whole table when the column's last cell is occupied.
void addToColumn(TextGrid& gf, int col, const QString& file) {
    if (!gf.cell(col, gf.rowCount() - 1).isEmpty()) gf.setRowCount(gf.rowCount() + 1);
    for (int r = 1; r < gf.rowCount(); ++r) {
        if (gf.cell(col, r).isEmpty()) {
            gf.setCell(col, r, file);
            return;
        }
    }
}

} // namespace

GroupRegistry::GroupRegistry(PathStyle style, QString programFolder)
    : style_(style), programFolder_(std::move(programFolder)) {
    reset();
}

void GroupRegistry::reset() {
    fg_ = TextGrid(2, 2);
    fg_.setCell(0, 0, registry_text::kHeadingName);
    fg_.setCell(1, 0, registry_text::kHeadingFolder);
    ig_ = TextGrid(2, 2);
    ig_.setCell(0, 0, registry_text::kHeadingName);
    gf_ = TextGrid(1, 2);
}

bool GroupRegistry::hasGroups() const { return !gf_.cell(0, 0).isEmpty(); }

QStringList GroupRegistry::folderGroupNames() const {
    QStringList out;
    for (int r = 1; r < fg_.rowCount(); ++r)
        if (!fg_.cell(0, r).isEmpty()) out.append(fg_.cell(0, r));
    return out;
}

QStringList GroupRegistry::innerGroupNames() const {
    QStringList out;
    for (int r = 1; r < ig_.rowCount(); ++r)
        if (!ig_.cell(0, r).isEmpty()) out.append(ig_.cell(0, r));
    return out;
}

QStringList GroupRegistry::groupList() const { return folderGroupNames() + innerGroupNames(); }

bool GroupRegistry::isFolderGroup(const QString& name) const { return findRow(fg_, name) >= 0; }
bool GroupRegistry::isInnerGroup(const QString& name) const { return findRow(ig_, name) >= 0; }

QString GroupRegistry::folderOfFolderGroup(const QString& name) const {
    const int r = findRow(fg_, name);
    return r < 0 ? QString() : fg_.cell(1, r);
}

int GroupRegistry::columnOf(const QString& group) const {
    if (group.isEmpty()) return -1;
    for (int c = 0; c < gf_.colCount(); ++c)
        if (gf_.cell(c, 0) == group) return c;
    return -1;
}

QStringList GroupRegistry::filesOf(const QString& group) const {
    QStringList out;
    const int c = columnOf(group);
    if (c < 0) return out;
    for (int r = 1; r < gf_.rowCount(); ++r)
        if (!gf_.cell(c, r).isEmpty()) out.append(gf_.cell(c, r));
    return out;
}

TourokuResult GroupRegistry::Touroku(const QString& kindCode, const QString& name, const QString& path,
                                     const FileHistory& history, Notifier& notifier) {
    // The registration inputs fold as they are typed; folding again here keeps
    // the tables folded whoever calls.
    const bool folder = kindCode == kind::kFolder;
    const QString n = foldUpper(name);
    const QString p = folder ? style_.foldPath(path) : path;

    if (RemoveBlanks(n).isEmpty()) {
        notifier.message(registry_text::kNoName);
        return TourokuResult::NoName;
    }
    if (RemoveBlanks(p).isEmpty()) {
        notifier.message(registry_text::kNoPath);
        return TourokuResult::NoPath;
    }
    if (folder && !style_.isValidFolderGroupPath(p)) {
        notifier.message(registry_text::kBadPath);
        return TourokuResult::BadPath;
    }
    if (findRow(fg_, n) >= 0 || findRow(ig_, n) >= 0) {
        notifier.message(registry_text::duplicateName(n));
        return TourokuResult::Duplicate;
    }

    TextGrid& table = folder ? fg_ : ig_;
    int row = 1;
    if (!isEmptyTable(table)) {
        row = table.rowCount();
        table.setRowCount(row + 1);
    }
    table.setCell(0, row, n);
    table.setCell(1, row, folder ? p : registry_text::kInnerPlaceholder);

    int col = 0;
    if (hasGroups()) {
        col = gf_.colCount();
        gf_.setColCount(col + 1);
    }
    gf_.setCell(col, 0, n);

    if (!folder) return TourokuResult::Registered;
    if (!notifier.askYesNo(registry_text::importQuestion(p))) return TourokuResult::Registered;

    // A history entry belongs to the folder when everything before its last
    // separator is the registered path, exactly.
    const QChar sep = style_.separator();
    for (int i = 1; i <= FileHistory::kPlaces; ++i) {
        const QString& entry = history.place(i);
        const qsizetype at = entry.lastIndexOf(sep);
        if (at < 0) continue;
        if (entry.left(at) != p) continue;
        const QString file = entry.mid(at + 1);
        if (file.isEmpty()) continue;
        addToColumn(gf_, col, file);
    }
    return TourokuResult::Registered;
}

void GroupRegistry::Sakujyo(const QString& kindCode, const QString& name) {
    TextGrid& table = kindCode == kind::kFolder ? fg_ : ig_;
    const int row = findRow(table, name);
    if (row >= 0) {
        const int last = table.rowCount() - 1;
        for (int r = row; r < last; ++r) {
            table.setCell(0, r, table.cell(0, r + 1));
            table.setCell(1, r, table.cell(1, r + 1));
        }
        table.setCell(0, last, QString());
        table.setCell(1, last, QString());
        if (table.rowCount() > 2) table.setRowCount(table.rowCount() - 1);
    }

    const int col = columnOf(name);
    if (col >= 0) {
        const int lastCol = gf_.colCount() - 1;
        for (int c = col; c < lastCol; ++c)
            for (int r = 0; r < gf_.rowCount(); ++r) gf_.setCell(c, r, gf_.cell(c + 1, r));
        for (int r = 0; r < gf_.rowCount(); ++r) gf_.setCell(lastCol, r, QString());
        if (gf_.colCount() > 1) gf_.setColCount(gf_.colCount() - 1);
    }
}

void GroupRegistry::FileGroupSet(const QString& group, const QString& fileName) {
    const int col = columnOf(group);
    if (col < 0 || fileName.isEmpty()) return;
    for (int r = 1; r < gf_.rowCount(); ++r)
        if (gf_.cell(col, r) == fileName) return;
    addToColumn(gf_, col, fileName);
}

KaijyoResult GroupRegistry::Kaijyo(const QString& group, const QString& fileName, FileHistory& history,
                                   Notifier& notifier) {
    KaijyoResult result;
    const std::optional<GroupFolder> where = folderOf(group);
    if (!where) {
        notifier.message(registry_text::kKaijyoGroup);
        return result;
    }
    // The separator is added even after a folder that ends with one: stored
    // history entries were made the same way.  The history holds document
    // paths, so a folder group on the program folder is keyed by bare name.
    const bool folder = where->kind == kind::kFolder;
    result.fullPath = folder ? where->folder + style_.separator() + fileName : programFolder_ + fileName;
    const QString historyKey = folder ? documentPathOf(result.fullPath, programFolder_, style_) : fileName;

    const int col = columnOf(group);
    if (col < 0) {
        notifier.message(registry_text::kKaijyoGroup2);
        return result;
    }
    int row = -1;
    for (int r = 1; r < gf_.rowCount(); ++r) {
        if (gf_.cell(col, r) == fileName) {
            row = r;
            break;
        }
    }
    if (row < 0 || fileName.isEmpty()) {
        notifier.message(registry_text::kKaijyoFile);
        return result;
    }
    const int last = gf_.rowCount() - 1;
    for (int r = row; r < last; ++r) gf_.setCell(col, r, gf_.cell(col, r + 1));
    gf_.setCell(col, last, QString());
    result.unregistered = true;

    if (!history.removeEntry(historyKey)) {
        notifier.message(registry_text::kKaijyoHistory);
        return result;
    }
    result.ok = true;
    return result;
}

void GroupRegistry::reorder(const QString& group, const QStringList& cells) {
    const int col = columnOf(group);
    if (col < 0) return;
    // Never drop a cell for want of rows.
    if (cells.size() + 1 > gf_.rowCount()) gf_.setRowCount(int(cells.size()) + 1);
    for (int i = 0; i < cells.size(); ++i) gf_.setCell(col, i + 1, cells[i]);
}

std::optional<GroupFolder> GroupRegistry::folderOf(const QString& group) const {
    if (const int r = findRow(fg_, group); r >= 0) return GroupFolder{kind::kFolder, fg_.cell(1, r)};
    if (findRow(ig_, group) >= 0) return GroupFolder{kind::kInner, programFolder_};
    return std::nullopt;
}

void GroupRegistry::trimGroupFiles() {
    int rows = gf_.rowCount();
    while (rows > 2) {
        bool empty = true;
        for (int c = 0; c < gf_.colCount() && empty; ++c) empty = gf_.cell(c, rows - 1).isEmpty();
        if (!empty) break;
        --rows;
    }
    gf_.setRowCount(rows);
}

} // namespace tess
