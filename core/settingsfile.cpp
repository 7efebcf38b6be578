#include "settingsfile.h"

#include "atomicfile.h"
#include "cp932.h"
#include "damagedfile.h"
#include "regularfile.h"
#include "storedtext.h"


// Values stay raw Shift-JIS bytes: no wide-character conversion is wanted.
#define SI_NO_CONVERSION
// Debian's header keeps the template bodies behind this switch.
#define SI_IMPLEMENTATION
#include <SimpleIni.h>

#include <algorithm>
#include <limits>
#include <string>

namespace tess {

namespace ini {
QString opendKey(int place) { return QStringLiteral("Opend") + QString::number(place); }
} // namespace ini

namespace {

// Values are stored as Shift-JIS bytes in the stored-text form; section and
// key names are ASCII.
std::string toBytes(const QString& text) {
    const QByteArray b = stored::encode(text);
    return std::string(b.constData(), size_t(b.size()));
}

bool isIniBlank(char c) { return c == ' ' || c == '\t'; }

// The profile format drops blanks at either end of a value.  A value that
// has them, or that is itself wrapped in double quotes, is written inside one
// more pair of quotes; reading takes exactly one pair off again.
std::string quoteForStore(std::string v) {
    const bool blanks = !v.empty() && (isIniBlank(v.front()) || isIniBlank(v.back()));
    const bool quoted = v.size() >= 2 && v.front() == '"' && v.back() == '"';
    if (blanks || quoted) return '"' + v + '"';
    return v;
}

std::string unquoteFromStore(std::string v) {
    if (v.size() >= 2 && v.front() == '"' && v.back() == '"') return v.substr(1, v.size() - 2);
    return v;
}

// At most maxBytes bytes of Shift-JIS text without splitting a double-byte
// character.
size_t cutBytes(const std::string& v, size_t maxBytes) {
    size_t i = 0;
    while (i < v.size()) {
        const size_t width = (cp932::isLeadByte(uchar(v[i])) && i + 1 < v.size()) ? 2 : 1;
        if (i + width > maxBytes) break;
        i += width;
    }
    return i;
}

// Far beyond what the program writes (a few kilobytes).
constexpr qint64 kMaxSettingsBytes = 1024 * 1024;

// Text the profile reader cannot take at all: a NUL ends the reader
// part-way, and UTF-16 holds one in every ASCII character.  Any other line
// that is neither a section, a key, a comment nor blank is skipped, as the
// profile functions skip it.
bool isProfileText(const QByteArray& data) {
    if (data.contains('\0')) return false;
    if (data.startsWith("\xFF\xFE") || data.startsWith("\xFE\xFF")) return false;
    return true;
}

// Written by editors that mark UTF-8; skipped, or the reader would switch to
// its UTF-8 mode.  The names and flags after it are ASCII.
constexpr char kUtf8Mark[] = "\xEF\xBB\xBF";

// The lines the profile format knows: sections, keys, comments and blanks.
// The others are left out before the reader sees them: it would take an
// unfinished "[name" for the start of a section name running over the lines
// that follow.
QByteArray profileLines(const QByteArray& data) {
    QByteArray out;
    out.reserve(data.size());
    qsizetype start = data.startsWith(kUtf8Mark) ? 3 : 0;
    while (start < data.size()) {
        qsizetype end = data.indexOf('\n', start);
        end = end < 0 ? data.size() : end + 1;
        const QByteArrayView line = QByteArrayView(data).sliced(start, end - start);
        const QByteArrayView text = line.trimmed();
        start = end;
        const bool known = text.isEmpty() || text.front() == ';' || text.front() == '#' ||
                           (text.front() == '[' && text.contains(']')) || text.indexOf('=') > 0;
        if (known) out.append(line);
    }
    return out;
}

} // namespace

struct SettingsFile::Impl {
    CSimpleIniA ini{false, false, false};
};

SettingsFile::SettingsFile(QString path) : path_(std::move(path)), impl_(std::make_unique<Impl>()) {
    impl_->ini.SetUnicode(false);
    impl_->ini.SetQuotes(false);
    impl_->ini.SetMultiLine(false);
    impl_->ini.SetSpaces(false);
    QByteArray data;
    const RegularFileRead read = readRegularFile(path_, data, kMaxSettingsBytes);
    if (read.status == RegularFileRead::Status::Missing) return;
    load_ = Load::Damaged;
    if (!read.ok() || !isProfileText(data)) return;
    const QByteArray lines = profileLines(data);
    if (impl_->ini.LoadData(lines.constData(), size_t(lines.size())) < 0) {
        impl_->ini.Reset();
        return;
    }
    load_ = Load::Loaded;
}

QString SettingsFile::setAside() {
    if (load_ != Load::Damaged) return QString();
    const QString keptAs = setDamagedFileAside(path_);
    if (!keptAs.isEmpty()) load_ = Load::Missing;
    return keptAs;
}

SettingsFile::~SettingsFile() = default;

SettingValue SettingsFile::read(const QString& section, const QString& key, int limit) const {
    const char* raw = impl_->ini.GetValue(toBytes(section).c_str(), toBytes(key).c_str(), nullptr);
    if (!raw) return {};
    std::string v = unquoteFromStore(raw);
    if (limit > 0) v.resize(cutBytes(v, size_t(limit - 1)));
    if (v.empty()) return {};
    return {true, stored::decode(QByteArrayView(v.data(), qsizetype(v.size())))};
}

void SettingsFile::write(const QString& section, const QString& key, const QString& value) {
    impl_->ini.SetValue(toBytes(section).c_str(), toBytes(key).c_str(), quoteForStore(toBytes(value)).c_str());
}

bool SettingsFile::save(QString* error) {
    std::string out;
    if (impl_->ini.Save(out) < 0) {
        if (error) *error = QStringLiteral("settings could not be serialised");
        return false;
    }
    // Profile files use CR LF whatever the platform; values hold no line breaks.
    QByteArray bytes;
    bytes.reserve(qsizetype(out.size() + out.size() / 16));
    for (size_t i = 0; i < out.size(); ++i) {
        if (out[i] == '\n' && (i == 0 || out[i - 1] != '\r')) bytes.append('\r');
        bytes.append(out[i]);
    }
    return writeFileAtomically(path_, bytes, error, FileUse::ProgramState);
}

std::optional<int> toInteger(const QString& value) {
    qsizetype i = 0;
    bool negative = false;
    if (i < value.size() && (value[i] == u'+' || value[i] == u'-')) {
        negative = value[i] == u'-';
        ++i;
    }
    if (i == value.size()) return std::nullopt;
    qint64 n = 0;
    for (; i < value.size(); ++i) {
        const char16_t c = value[i].unicode();
        if (c < u'0' || c > u'9') return std::nullopt;
        n = n * 10 + (c - u'0');
        if (n > qint64(std::numeric_limits<int>::max()) + 1) return std::nullopt;
    }
    if (negative) n = -n;
    if (n > std::numeric_limits<int>::max() || n < std::numeric_limits<int>::min()) return std::nullopt;
    return int(n);
}

QString notANumberReason(const QString& value) {
    const QStringView digits = QStringView(value).mid(value.startsWith(u'-') || value.startsWith(u'+') ? 1 : 0);
    const bool allDigits = !digits.isEmpty() && std::all_of(digits.begin(), digits.end(), [](QChar c) {
        return c >= u'0' && c <= u'9';
    });
    return allDigits ? QStringLiteral("大きすぎます") : QStringLiteral("整数ではありません");
}

QString shownValue(const QString& value) {
    constexpr qsizetype kShown = 30;
    QString out = value.left(kShown);
    for (QChar& c : out)
        if (c.unicode() < 0x20 || c.unicode() == 0x7F || cp932::isKeptByte(c.unicode()))
            c = QChar::ReplacementCharacter;
    if (value.size() > kShown) out += QStringLiteral("…");
    return out;
}

QString badNumberMessage(const QString& file, const QString& section, const QString& key,
                         const QString& value) {
    return QStringLiteral("設定ファイル \"%1\" の [%2] %3 の値 \"%4\" は%5。この値は使いません。")
        .arg(file, section, key, shownValue(value), notANumberReason(value));
}

QString damagedSettingsMessage(const QString& file, const QString& keptAs) {
    return damagedFileMessage(QStringLiteral("設定ファイル"), file, keptAs,
                              QStringLiteral("設定は初期値で始めます。"));
}

} // namespace tess
