#pragma once
// "QuickLists": the file list entries at a quick-save exit, Shift-JIS, CR LF,
// the count on line 1 and one entry a line after it.

#include <QString>
#include <QStringList>

namespace tess {

inline const QString kQuickListsMissing =
    QStringLiteral("ｸｲｯｸｾｰﾌﾞのﾘｽﾄﾌｧｲﾙ \"QuickList\" が見つかりません");

// The entries written: from the top while they are non-empty.
QStringList quickListEntries(const QStringList& listItems);

bool writeQuickLists(const QString& path, const QStringList& listItems, QString* error = nullptr);

struct QuickListsRead {
    enum class Status { Ok, Missing, BadCount };
    Status status = Status::Missing;
    QStringList entries;  // lines missing at the end read as empty entries
    QString badCount;     // the first line, when it is not a whole number
};

// Missing: no file, or it cannot be read.  BadCount: line 1 is not a whole
// number, is negative, or promises more than 100,000 entries beyond the lines
// present (the list is never sized from such a count).  Lines beyond the
// count are ignored.  Entries are in the stored-text form (storedtext.h).
QuickListsRead readQuickLists(const QString& path);

} // namespace tess
