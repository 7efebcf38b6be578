#include "recovery.h"

#include <QList>

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

} // namespace tess::recovery
