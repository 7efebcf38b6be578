#pragma once
// Rules of the group picker and the group file explorer that need no
// window: which groups the picker's ten slots show and how it scrolls, and
// the explorer's grid rows.

#include "groupregistry.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <array>
#include <optional>

namespace tess {

// The picker's slots.
inline constexpr int kPickerSlots = 10;

struct PickerSlot {
    QString name;  // empty: the slot holds no group
    bool folder = false;
};
using PickerSlots = std::array<PickerSlot, kPickerSlots>;

// Up to ten consecutive entries of the group list from entry `top` (1-based),
// folder groups first; every slot empty when `top` lies beyond the list.
PickerSlots fillSlots(const GroupRegistry& registry, int top);

// The scroll rules; nullopt when the button does nothing (and no refill).
namespace picker_scroll {
inline int first() { return 1; }
std::optional<int> up(int top);
// Down by one only while the last slot shows a group.
std::optional<int> down(int top, const PickerSlots& shown);
// The last group into slot 9 (top := n - 8), only when there are more than ten.
std::optional<int> last(int groupCount);
} // namespace picker_scroll

namespace explorer_text {
inline const QString kNoGroup = QStringLiteral("...登録ｸﾞﾙｰﾌﾟ無し...");
inline const QString kNoFile = QStringLiteral("...登録ﾌｧｲﾙ無し...");
// "◇" and the row of the file in the group file table.
QString countLabel(int row);
} // namespace explorer_text

struct ExplorerRow {
    QString count;
    QString file;
    bool operator==(const ExplorerRow&) const = default;
};

bool isExplorerMarker(const QString& cell);

// The explorer's data rows for `group`: one per row of the group file table
// (count label and file where the cell holds one), the last row dropped when
// it is empty; the no-file marker alone when the group lists no file, the
// no-group marker when `group` is empty.  nullopt when the group has no
// column in the group file table.
std::optional<QList<ExplorerRow>> explorerRows(const GroupRegistry& registry, const QString& group);

// The rows after `file` was unregistered: the later file cells move up one
// row (the count labels stay), the last row goes while more than one is
// left, and an emptied first row shows the no-file marker.
QList<ExplorerRow> rowsAfterUnregister(QList<ExplorerRow> rows, const QString& file);

// The file cells of the rows in order, markers written as empty cells: what
// a reorder stores.
QStringList reorderCells(const QList<ExplorerRow>& rows);

} // namespace tess
