#include "groupstore.h"

#include "atomicfile.h"
#include "storedtext.h"
#include "settingsfile.h"

#include <QFile>
#include <QFileInfo>

namespace tess {

namespace {

// A store larger than this was not written by the program.
constexpr qint64 kMaxStoreBytes = qint64(256) * 1024 * 1024;

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

// The store's lines, CR LF (or a bare LF) ended.  The text after the last line
// end, when there is any, is a last line without its end.
class Lines {
public:
    explicit Lines(const QByteArray& data) : data_(data) {
        qsizetype start = 0;
        while (start < data.size()) {
            qsizetype end = data.indexOf('\n', start);
            if (end < 0) end = data.size();
            qsizetype stop = end;
            if (stop > start && data[stop - 1] == '\r') --stop;
            bounds_.append({start, stop});
            start = end + 1;
        }
    }
    qsizetype size() const { return bounds_.size(); }
    QString at(qsizetype i) const {
        const auto [b, e] = bounds_[i];
        return stored::decode(QByteArrayView(data_.constData() + b, e - b));
    }

private:
    const QByteArray& data_;
    QList<std::pair<qsizetype, qsizetype>> bounds_;
};

class Reader {
public:
    explicit Reader(const Lines& lines) : lines_(lines) {}
    qsizetype remaining() const { return lines_.size() - pos_; }
    // A count line: false when missing or not a whole number.
    bool count(int& value) {
        if (remaining() < 1) return false;
        const std::optional<int> n = toInteger(lines_.at(pos_++));
        if (!n) return false;
        value = *n;
        return true;
    }
    QString next() { return lines_.at(pos_++); }

private:
    const Lines& lines_;
    qsizetype pos_ = 0;
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

bool parseStore(const QByteArray& data, const PathStyle& style, TextGrid& gf, TextGrid& fg, TextGrid& ig) {
    const Lines lines(data);
    Reader in(lines);
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
    return readTwoColumnTable(in, fg) && readTwoColumnTable(in, ig);
}

// "<path>.damaged", or "<path>.damaged2", 3, ... when taken.
QString setAside(const QString& path) {
    const QString base = path + QStringLiteral(".damaged");
    for (int n = 1; n < 1000; ++n) {
        const QString target = n == 1 ? base : base + QString::number(n);
        if (QFileInfo::exists(target)) continue;
        return QFile::rename(path, target) ? target : QString();
    }
    return QString();
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
    return writeFileAtomically(path, serializeGroupStore(registry), error);
}

GroupStoreRead readGroupStore(const QString& path, GroupRegistry& registry, Notifier& notifier) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return GroupStoreRead::Missing;

    TextGrid gf, fg, ig;
    bool ok = false;
    if (file.size() <= kMaxStoreBytes) {
        const QByteArray data = file.readAll();
        ok = file.error() == QFileDevice::NoError && parseStore(data, registry.style(), gf, fg, ig);
    }
    file.close();

    if (ok) {
        registry.GrdGF() = gf;
        registry.GrdFG() = fg;
        registry.GrdIG() = ig;
        return GroupStoreRead::Loaded;
    }
    registry.reset();
    const QString keptAs = setAside(path);
    notifier.message(damagedStoreMessage(keptAs.isEmpty() ? QString() : QFileInfo(keptAs).fileName()));
    return GroupStoreRead::Damaged;
}

QString damagedStoreMessage(const QString& keptAs) {
    const QString head = QStringLiteral("グループ情報ファイル \"GroupFiles\" が壊れているため読み込みませんでした。");
    if (keptAs.isEmpty())
        return head + QStringLiteral("\n壊れたファイルを別の名前で残せませんでした。");
    return head + QStringLiteral("\n壊れたファイルは \"") + keptAs + QStringLiteral("\" として残してあります。");
}

} // namespace tess
