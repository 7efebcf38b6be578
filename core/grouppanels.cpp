#include "grouppanels.h"

namespace tess {

PickerSlots fillSlots(const GroupRegistry& registry, int top) {
    PickerSlots picked;
    const QStringList folders = registry.folderGroupNames();
    const QStringList inner = registry.innerGroupNames();
    const int t = std::max(top, 1);
    int s = 0;
    const int f = int(folders.size());
    for (int i = t - 1; i < f && s < kPickerSlots; ++i) picked[s++] = {folders[i], true};
    for (int i = t <= f ? 0 : t - f - 1; i < inner.size() && s < kPickerSlots; ++i)
        picked[s++] = {inner[i], false};
    return picked;
}

namespace picker_scroll {

std::optional<int> up(int top) {
    if (top <= 1) return std::nullopt;
    return top - 1;
}

std::optional<int> down(int top, const PickerSlots& shown) {
    if (shown[kPickerSlots - 1].name.isEmpty()) return std::nullopt;
    return top + 1;
}

std::optional<int> last(int groupCount) {
    if (groupCount <= kPickerSlots) return std::nullopt;
    return groupCount - (kPickerSlots - 2);
}

} // namespace picker_scroll

namespace explorer_text {
QString countLabel(int row) { return QStringLiteral("◇") + QString::number(row); }
} // namespace explorer_text

bool isExplorerMarker(const QString& cell) {
    return cell == explorer_text::kNoGroup || cell == explorer_text::kNoFile;
}

namespace {

bool holdsFile(const QList<ExplorerRow>& rows) {
    for (const ExplorerRow& row : rows)
        if (!row.file.isEmpty() && !isExplorerMarker(row.file)) return true;
    return false;
}

} // namespace

std::optional<QList<ExplorerRow>> explorerRows(const GroupRegistry& registry, const QString& group) {
    if (group.isEmpty()) return QList<ExplorerRow>{{QString(), explorer_text::kNoGroup}};
    const int col = registry.columnOf(group);
    if (col < 0) return std::nullopt;
    const TextGrid& gf = registry.GrdGF();
    QList<ExplorerRow> rows;
    for (int r = 1; r < gf.rowCount(); ++r) {
        const QString& file = gf.cell(col, r);
        rows.append(file.isEmpty() ? ExplorerRow{} : ExplorerRow{explorer_text::countLabel(r), file});
    }
    if (rows.size() > 1 && rows.last().file.isEmpty()) rows.removeLast();
    // A reorder can leave the first cell empty above a file: the group still
    // has files then, and they are listed.
    if (!holdsFile(rows)) return QList<ExplorerRow>{{rows.value(0).count, explorer_text::kNoFile}};
    return rows;
}

QList<ExplorerRow> rowsAfterUnregister(QList<ExplorerRow> rows, const QString& file) {
    qsizetype at = -1;
    for (qsizetype i = 0; i < rows.size(); ++i) {
        if (rows[i].file == file) {
            at = i;
            break;
        }
    }
    if (at < 0) return rows;
    for (qsizetype i = at; i + 1 < rows.size(); ++i) rows[i].file = rows[i + 1].file;
    rows.last().file.clear();
    if (rows.size() > 1) rows.removeLast();
    if (rows.first().file.isEmpty() && !holdsFile(rows)) rows.first().file = explorer_text::kNoFile;
    return rows;
}

QStringList reorderCells(const QList<ExplorerRow>& rows) {
    QStringList cells;
    for (const ExplorerRow& row : rows) cells << (isExplorerMarker(row.file) ? QString() : row.file);
    return cells;
}

} // namespace tess
