#include "quicklists.h"

#include "atomicfile.h"
#include "quickcheck.h"
#include "regularfile.h"
#include "storedtext.h"
#include "settingsfile.h"

namespace tess {

namespace {
// A count may promise more lines than the file holds (they read as empty
// entries), but never so many that the list would swamp memory.
constexpr qsizetype kMaxMissingLines = 100000;
// A list of every file of a large group is well under a megabyte.
constexpr qint64 kMaxListBytes = qint64(16) * 1024 * 1024;
const QString kListsFile = QStringLiteral("ｸｲｯｸｾｰﾌﾞのﾘｽﾄﾌｧｲﾙ \"QuickLists\"");
} // namespace

QStringList quickListEntries(const QStringList& listItems) {
    QStringList out;
    for (const QString& item : listItems) {
        if (item.isEmpty()) break;
        out.append(item);
    }
    return out;
}

bool writeQuickLists(const QString& path, const QStringList& listItems, QString* error, QString* check) {
    const QStringList entries = quickListEntries(listItems);
    QByteArray out = QByteArray::number(entries.size()) + "\r\n";
    for (const QString& entry : entries) out += stored::encode(entry) + "\r\n";
    if (check) *check = quickcheck::of(out);
    return writeFileAtomically(path, out, error, FileUse::ProgramState);
}

QuickListsRead readQuickLists(const QString& path) {
    QuickListsRead result;
    QByteArray data;
    const RegularFileRead read = readRegularFile(path, data, kMaxListBytes);
    switch (read.status) {
    case RegularFileRead::Status::Ok:
        break;
    case RegularFileRead::Status::Missing:
        return result;
    case RegularFileRead::Status::TooLarge:
        result.status = QuickListsRead::Status::TooLarge;
        return result;
    case RegularFileRead::Status::NotRegular:
    case RegularFileRead::Status::Unreadable:
        result.status = QuickListsRead::Status::Unreadable;
        result.problem = regularFileProblem(path, read, kMaxListBytes);
        return result;
    }

    result.bytes = data;
    QList<QByteArray> lines = data.split('\n');
    // The line end of the last line leaves an empty piece behind it.
    if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
    for (QByteArray& line : lines)
        if (line.endsWith('\r')) line.chop(1);

    const QString first = lines.isEmpty() ? QString() : stored::decode(lines.first());
    const std::optional<int> count = toInteger(first);
    const qsizetype present = lines.size() - 1;
    if (!count || *count < 0 || *count - std::max<qsizetype>(present, 0) > kMaxMissingLines) {
        result.status = QuickListsRead::Status::BadCount;
        result.badCount = first;
        result.entryLines = std::max<qsizetype>(present, 0);
        return result;
    }
    result.status = QuickListsRead::Status::Ok;
    result.entries.reserve(*count);
    for (int i = 0; i < *count; ++i)
        result.entries.append(i + 1 < lines.size() ? stored::decode(lines[i + 1]) : QString());
    return result;
}

QString quickListsProblem(const QuickListsRead& read) {
    if (read.status == QuickListsRead::Status::TooLarge)
        return kListsFile + QStringLiteral(" は大きすぎるため読み込みませんでした");
    const std::optional<int> count = toInteger(read.badCount);
    QString reason;
    if (!count) reason = notANumberReason(read.badCount);
    else if (*count < 0) reason = QStringLiteral("負の数です");
    else reason = QStringLiteral("大きすぎます（ﾌｧｲﾙには %1 行しかありません）").arg(read.entryLines);
    return kListsFile + QStringLiteral(" の件数 \"%1\" は%2").arg(shownValue(read.badCount), reason);
}

} // namespace tess
