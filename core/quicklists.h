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

// `check` (when given) receives the written bytes' quickcheck entry.
bool writeQuickLists(const QString& path, const QStringList& listItems, QString* error = nullptr,
                     QString* check = nullptr);

struct QuickListsRead {
    enum class Status { Ok, Missing, BadCount, TooLarge, Unreadable };
    Status status = Status::Missing;
    QStringList entries;     // lines missing at the end read as empty entries
    QString badCount;        // the first line, when it is not a usable count
    qsizetype entryLines = 0;  // the lines after the first, for BadCount
    QString problem;         // for Unreadable: the file and the system's reason
    QByteArray bytes;        // what was read, for its quickcheck entry
};

// Missing: no file.  Unreadable: there, but not a regular file or not
// readable (`problem` says why).  BadCount: line 1 is not a whole
// number, is negative, or promises more than 100,000 entries beyond the lines
// present (the list is never sized from such a count).  TooLarge: a file
// over 16 MiB, which the program never writes.  Lines beyond the count are
// ignored.  Entries are in the stored-text form (storedtext.h).
QuickListsRead readQuickLists(const QString& path);

// What went wrong, naming the file and the reason, for BadCount and TooLarge.
QString quickListsProblem(const QuickListsRead& read);

} // namespace tess
