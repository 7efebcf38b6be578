#include "groupstore.h"

#include "atomicfile.h"
#include "damagedfile.h"
#include "regularfile.h"
#include "storedtext.h"
#include "systemerror.h"
#include "settingsfile.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>

namespace tess {

namespace {

// A store of 1,000 groups with 100 files each is about 2 MB; a file this
// large was not written by the program, and reading it would cost several
// times its size in memory.
constexpr qint64 kMaxStoreBytes = qint64(16) * 1024 * 1024;

void appendLine(QByteArray& out, const QString& text) {
    // One cell per line: the stored form never holds a line break.
    out.append(stored::encode(text));
    out.append("\r\n", 2);
}

void appendTwoColumnTable(QByteArray& out, const TextGrid& t) {
    appendLine(out, QString::number(t.rowCount()));
    appendLine(out, QString::number(t.colCount()));
    for (int r = 0; r < t.rowCount(); ++r) {
        appendLine(out, t.cell(0, r));
        appendLine(out, t.cell(1, r));
    }
}

// The store's lines, CR LF (or a bare LF) ended, read from the file a line
// at a time so that only the cells stay in memory.  The text after the last
// line end, when there is any, is a last line without its end.
class Reader {
public:
    explicit Reader(QFile& file) : file_(file) {}

    // Counts the lines first, so that every count can be checked against the
    // lines present before anything is sized.  False on a read error.
    bool countLines() {
        QByteArray chunk(1 << 16, Qt::Uninitialized);
        char last = '\n';
        for (;;) {
            const qint64 n = file_.read(chunk.data(), chunk.size());
            if (n < 0) return false;
            if (n == 0) break;
            lines_ += std::count(chunk.constData(), chunk.constData() + n, '\n');
            last = chunk[n - 1];
        }
        if (last != '\n') ++lines_;
        return file_.seek(0);
    }

    qsizetype remaining() const { return lines_ - pos_; }
    bool failed() const { return failed_; }

    // A count line: false when missing or not a whole number.
    bool count(int& value) {
        if (remaining() < 1) return false;
        const std::optional<int> n = toInteger(next());
        if (!n) return false;
        value = *n;
        return true;
    }

    QString next() {
        ++pos_;
        QByteArray line = file_.readLine();
        if (line.isNull() && file_.error() != QFileDevice::NoError) failed_ = true;
        if (line.endsWith('\n')) line.chop(1);
        if (line.endsWith('\r')) line.chop(1);
        QString text = stored::decode(line);
        // Shift-JIS takes up to twice the characters' count in bytes.
        if (text.capacity() > text.size() + text.size() / 4 + 4) text.squeeze();
        return text;
    }

private:
    QFile& file_;
    qsizetype lines_ = 0;
    qsizetype pos_ = 0;
    bool failed_ = false;
};

// A file cell that could reach outside its group's folder is dropped.
bool isSafeFileName(const QString& name, const PathStyle& style) {
    if (name == u"." || name == u"..") return false;
    if (name.contains(u'/') || name.contains(u'\\') || name.contains(QChar(0))) return false;
    if (style.isWindows() && name.contains(u':')) return false;
    return true;
}

bool readTwoColumnTable(Reader& in, TextGrid& table) {
    int rows = 0;
    int cols = 0;
    if (!in.count(rows) || !in.count(cols)) return false;
    // Headings plus at least the one (possibly empty) data row.
    if (rows < 2 || qint64(rows) * 2 > in.remaining()) return false;
    // Both tables have two columns whatever the count line says.
    table = TextGrid(2, rows);
    for (int r = 0; r < rows; ++r) {
        table.setCell(0, r, in.next());
        table.setCell(1, r, in.next());
    }
    return true;
}

bool parseStore(Reader& in, const PathStyle& style, TextGrid& gf, TextGrid& fg, TextGrid& ig) {
    int rows = 0;
    int cols = 0;
    if (!in.count(rows) || !in.count(cols)) return false;
    if (rows < 2 || cols < 1) return false;
    // Checked against the lines actually present before anything is sized.
    if (qint64(rows) * qint64(cols) > in.remaining()) return false;
    gf = TextGrid(cols, rows);
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < cols; ++c) {
            QString cell = in.next();
            if (r > 0 && !isSafeFileName(cell, style)) cell.clear();
            gf.setCell(c, r, cell);
        }
    }
    return readTwoColumnTable(in, fg) && readTwoColumnTable(in, ig) && !in.failed();
}

} // namespace

QByteArray serializeGroupStore(const GroupRegistry& registry) {
    const TextGrid& gf = registry.GrdGF();
    QByteArray out;
    out.reserve(qsizetype(gf.rowCount()) * gf.colCount() * 16 + 1024);
    appendLine(out, QString::number(gf.rowCount()));
    appendLine(out, QString::number(gf.colCount()));
    for (int r = 0; r < gf.rowCount(); ++r)
        for (int c = 0; c < gf.colCount(); ++c) appendLine(out, gf.cell(c, r));
    appendTwoColumnTable(out, registry.GrdFG());
    appendTwoColumnTable(out, registry.GrdIG());
    return out;
}

bool writeGroupStore(const QString& path, const GroupRegistry& registry, QString* error) {
    return writeFileAtomically(path, serializeGroupStore(registry), error, FileUse::ProgramState);
}

GroupStoreRead readGroupStore(const QString& path, GroupRegistry& registry, Notifier& notifier) {
    QFile file;
    const RegularFileRead open = openRegularFile(path, file, kMaxStoreBytes);
    switch (open.status) {
    case RegularFileRead::Status::Missing:
        // A link whose target is gone may point at a drive not mounted now.
        if (!QFileInfo(path).isSymLink()) return GroupStoreRead::Missing;
        notifier.message(unreadableStoreMessage(path, systemErrorText(ENOENT)));
        return GroupStoreRead::Unreadable;
    case RegularFileRead::Status::NotRegular:
    case RegularFileRead::Status::Unreadable:
        notifier.message(unreadableStoreMessage(path, open.reason));
        return GroupStoreRead::Unreadable;
    case RegularFileRead::Status::Ok:
    case RegularFileRead::Status::TooLarge:
        break;
    }

    TextGrid gf, fg, ig;
    bool ok = false;
    if (open.ok()) {
        Reader in(file);
        ok = in.countLines() && parseStore(in, registry.style(), gf, fg, ig);
    }
    file.close();

    if (ok) {
        registry.GrdGF() = gf;
        registry.GrdFG() = fg;
        registry.GrdIG() = ig;
        return GroupStoreRead::Loaded;
    }
    registry.reset();
    const QString keptAs = setDamagedFileAside(path);
    notifier.message(damagedStoreMessage(keptAs));
    // Left in its place, it must not be written over at the next close.
    return keptAs.isEmpty() ? GroupStoreRead::Unreadable : GroupStoreRead::Damaged;
}

QString damagedStoreMessage(const QString& keptAs) {
    return damagedFileMessage(QStringLiteral("グループ情報ファイル"), QStringLiteral("GroupFiles"), keptAs);
}

QString unreadableStoreMessage(const QString& path, const QString& reason) {
    return QStringLiteral("グループ情報ファイル \"") + path + QStringLiteral("\" を読み込めません。\n") + reason +
           QStringLiteral("\n登録済みのグループはこのファイルに残したままにします。"
                          "読み込めるようにしてから起動し直してください。");
}

} // namespace tess
