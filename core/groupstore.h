#pragma once
// The group store "GroupFiles": the three registry tables as Shift-JIS text,
// one cell per line, CR LF line ends, in three blocks (row count, column count,
// cells row by row).  A damaged store is refused whole and set aside.

#include "groupregistry.h"
#include "notifier.h"

#include <QByteArray>
#include <QString>

namespace tess {

// The store's bytes for the registry's three tables.
QByteArray serializeGroupStore(const GroupRegistry& registry);

// Writes the store atomically; false with `error` on failure.
bool writeGroupStore(const QString& path, const GroupRegistry& registry, QString* error = nullptr);

enum class GroupStoreRead {
    Loaded,      // the tables now hold the store's contents
    Missing,     // no file: nothing reported, tables untouched
    Damaged,     // refused whole: tables reset, user told once, file renamed aside
    // There, but it cannot be read now (no permission, a folder of that name,
    // a link loop), or damaged and it could not be renamed aside.  The user is
    // told once; the file still holds the groups and must not be replaced.
    Unreadable,
};

// Reads the store into the registry.  Damage: a count line missing or not a
// whole number, fewer than 2 rows in a table or no column in the file table,
// counts that promise more lines than the file holds, or a file over 16 MiB.
// Nothing is sized before its count has been checked against the lines
// present.  Lines after the third block are ignored.  File cells that hold a
// "\" or "/" (or ":" under Windows), or are "." or "..", are read as empty.
// Cells are in the stored-text form (storedtext.h).  The damaged file is
// renamed to "<name>.damaged" (a number is added when that name is taken).
GroupStoreRead readGroupStore(const QString& path, GroupRegistry& registry, Notifier& notifier);

// The message shown once for a damaged store.
QString damagedStoreMessage(const QString& keptAs);

// The message shown once for a store that cannot be read: the file and the
// system's reason.
QString unreadableStoreMessage(const QString& path, const QString& reason);

} // namespace tess
