#include "recovery.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QList>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

#include <algorithm>
#include <cctype>

namespace tess::recovery {
namespace {

constexpr QByteArrayView kRtfStart = "{\\rtf1";
constexpr QByteArrayView kGroupStart = "{\\*\\tessarinerecovery ";
constexpr QByteArrayView kVersion = "1";
// The group sits right after the rich-text start; anything further away is
// not ours.
constexpr qsizetype kSearchLimit = 64;

// One line per field, "key=value", as UTF-8: hex keeps every character
// (line breaks, braces, backslashes) away from the rich text.
const char* const kKeys[] = {"Caption", "GroupName", "FileName", "FilePath"};

QString* fieldFor(Fields& f, int i) {
    switch (i) {
    case 0: return &f.caption;
    case 1: return &f.groupName;
    case 2: return &f.fileName;
    default: return &f.filePath;
    }
}

QByteArray escapeLine(const QString& value) {
    // A line break in a value would end its line.
    QByteArray out;
    for (char c : value.toUtf8()) {
        if (c == '\\') out += "\\\\";
        else if (c == '\n') out += "\\n";
        else if (c == '\r') out += "\\r";
        else out += c;
    }
    return out;
}

std::optional<QString> unescapeLine(QByteArrayView line) {
    QByteArray out;
    for (qsizetype i = 0; i < line.size(); ++i) {
        if (line[i] != '\\') {
            out += line[i];
            continue;
        }
        if (++i == line.size()) return std::nullopt;
        switch (line[i]) {
        case '\\': out += '\\'; break;
        case 'n': out += '\n'; break;
        case 'r': out += '\r'; break;
        default: return std::nullopt;
        }
    }
    return QString::fromUtf8(out);
}

} // namespace

QByteArray fieldsGroup(const Fields& fields) {
    QByteArray body = QByteArray("Version=") + kVersion.toByteArray() + '\n';
    Fields f = fields;
    for (int i = 0; i < 4; ++i) body += QByteArray(kKeys[i]) + '=' + escapeLine(*fieldFor(f, i)) + '\n';
    return kGroupStart.toByteArray() + body.toHex() + '}';
}

QByteArray withFields(QByteArray richText, const Fields& fields) {
    if (!richText.startsWith(kRtfStart)) return {};
    // Into the text itself: a large document's rich text is not copied again.
    richText.insert(kRtfStart.size(), fieldsGroup(fields));
    return richText;
}

bool putWithFields(QByteArrayView firstPiece, const Fields& fields, const std::function<bool(QByteArrayView)>& put) {
    if (!firstPiece.startsWith(kRtfStart)) return false;
    return put(kRtfStart) && put(fieldsGroup(fields)) && put(firstPiece.sliced(kRtfStart.size()));
}

std::optional<Fields> readFields(QByteArrayView file) {
    const qsizetype start = file.first(std::min(file.size(), kSearchLimit)).indexOf(kGroupStart);
    if (start < 0) return std::nullopt;
    const qsizetype hexStart = start + kGroupStart.size();
    const qsizetype end = file.indexOf('}', hexStart);
    if (end < 0) return std::nullopt;
    const QByteArrayView hex = file.sliced(hexStart, end - hexStart);
    for (char c : hex)
        if (!std::isxdigit(static_cast<unsigned char>(c))) return std::nullopt;
    const QByteArray body = QByteArray::fromHex(hex.toByteArray());

    Fields out;
    bool seen[4] = {};
    bool versionSeen = false;
    for (const QByteArray& line : body.split('\n')) {
        if (line.isEmpty()) continue;
        const qsizetype eq = line.indexOf('=');
        if (eq < 0) return std::nullopt;
        const QByteArray key = line.left(eq);
        const QByteArrayView value = QByteArrayView(line).sliced(eq + 1);
        if (key == "Version") {
            // A later program's copy may carry what this one cannot restore.
            if (value != kVersion) return std::nullopt;
            versionSeen = true;
            continue;
        }
        for (int i = 0; i < 4; ++i) {
            if (key != kKeys[i]) continue;
            const std::optional<QString> v = unescapeLine(value);
            if (!v) return std::nullopt;
            *fieldFor(out, i) = *v;
            seen[i] = true;
        }
    }
    if (!versionSeen) return std::nullopt;
    for (bool s : seen)
        if (!s) return std::nullopt;
    return out;
}

FileStamp stampOf(const QString& path) {
    FileStamp s;
#ifdef Q_OS_UNIX
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0) return s;
    s.exists = true;
    s.size = st.st_size;
    s.modifiedNs = qint64(st.st_mtim.tv_sec) * 1'000'000'000 + st.st_mtim.tv_nsec;
    s.device = quint64(st.st_dev);
    s.inode = quint64(st.st_ino);
#else
    const QFileInfo info(path);
    if (!info.exists()) return s;
    s.exists = true;
    s.size = info.size();
    s.modifiedNs = info.lastModified().toMSecsSinceEpoch() * 1'000'000;
#endif
    return s;
}

namespace {

QByteArray stampText(const FileStamp& s) {
    if (!s.exists) return "none";
    return QByteArray::number(s.size) + ':' + QByteArray::number(s.modifiedNs) + ':' + QByteArray::number(s.device) +
           ':' + QByteArray::number(s.inode);
}

std::optional<FileStamp> parseStamp(QByteArrayView text) {
    if (text == "none") return FileStamp{};
    const QList<QByteArray> parts = text.toByteArray().split(':');
    if (parts.size() != 4) return std::nullopt;
    bool ok[4] = {};
    FileStamp s;
    s.exists = true;
    s.size = parts[0].toLongLong(&ok[0]);
    s.modifiedNs = parts[1].toLongLong(&ok[1]);
    s.device = parts[2].toULongLong(&ok[2]);
    s.inode = parts[3].toULongLong(&ok[3]);
    for (bool b : ok)
        if (!b) return std::nullopt;
    return s;
}

} // namespace

QByteArray saveMarkBytes(const SaveMark& mark) {
    return QByteArray("Version=") + kVersion.toByteArray() + "\nTarget=" + escapeLine(mark.target) + "\nBefore=" +
           stampText(mark.before) + '\n';
}

std::optional<SaveMark> readSaveMark(QByteArrayView bytes) {
    std::optional<QString> target;
    std::optional<FileStamp> before;
    bool versionSeen = false;
    for (const QByteArray& line : bytes.toByteArray().split('\n')) {
        if (line.isEmpty()) continue;
        const qsizetype eq = line.indexOf('=');
        if (eq < 0) return std::nullopt;
        const QByteArray key = line.left(eq);
        const QByteArrayView value = QByteArrayView(line).sliced(eq + 1);
        if (key == "Version") versionSeen = value == kVersion;
        else if (key == "Target") target = unescapeLine(value);
        else if (key == "Before") before = parseStamp(value);
    }
    if (!versionSeen || !target || target->isEmpty() || !before) return std::nullopt;
    return SaveMark{*target, *before};
}

bool saveLanded(const SaveMark& mark) { return stampOf(mark.target) != mark.before; }

} // namespace tess::recovery
