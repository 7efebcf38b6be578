#include "settingsfile.h"

#include "atomicfile.h"
#include "cp932.h"
#include "storedtext.h"

#include <QFile>

// Values stay raw Shift-JIS bytes: no wide-character conversion is wanted.
#define SI_NO_CONVERSION
// Debian's header keeps the template bodies behind this switch.
#define SI_IMPLEMENTATION
#include <SimpleIni.h>

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

} // namespace

struct SettingsFile::Impl {
    CSimpleIniA ini{false, false, false};
};

SettingsFile::SettingsFile(QString path) : path_(std::move(path)), impl_(std::make_unique<Impl>()) {
    impl_->ini.SetUnicode(false);
    impl_->ini.SetQuotes(false);
    impl_->ini.SetMultiLine(false);
    impl_->ini.SetSpaces(false);
    QFile file(path_);
    if (!file.open(QIODevice::ReadOnly)) return;
    const QByteArray data = file.readAll();
    if (impl_->ini.LoadData(data.constData(), size_t(data.size())) < 0) impl_->ini.Reset();
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
    return writeFileAtomically(path_, bytes, error);
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

QString notAnIntegerMessage(const QString& value) {
    return QStringLiteral("'") + value + QStringLiteral("' は有効な整数値ではありません");
}

} // namespace tess
