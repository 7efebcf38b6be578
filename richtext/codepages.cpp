#include "codepages.h"

#include "core/cp932.h"

#include <QStringDecoder>

#include <map>
#include <memory>
#include <mutex>

namespace tess::rtf {
namespace {

constexpr char16_t kReplacement = 0xFFFD;

QByteArray icuNameFor(int number) {
    switch (number) {
    case 932: return "windows-31j";
    case 936: return "GBK";
    case 949: return "windows-949";
    case 950: return "Big5";
    case 10000: return "macintosh";
    case 437: return "IBM437";
    case 850: return "IBM850";
    case 874: return "windows-874";
    case 1250: case 1251: case 1252: case 1253: case 1254: case 1255: case 1256: case 1257:
    case 1258:
        return "windows-" + QByteArray::number(number);
    default: return QByteArray();
    }
}

} // namespace

CodePage::CodePage(int number) : number_(number), icuName_(icuNameFor(number)) {
    doubleByte_ = number == 932 || number == 936 || number == 949 || number == 950;
    if (number == 932) {
        for (int b = 0; b < 256; ++b) {
            lead_[b] = cp932::isLeadByte(uchar(b));
            const char c = char(b);
            const QString s = cp932::decode(QByteArrayView(&c, 1));
            single_[b] = s.size() == 1 ? s.at(0).unicode() : kReplacement;
        }
        return;
    }
    bool valid = !icuName_.isEmpty();
    if (valid) valid = QStringDecoder(icuName_.constData()).isValid();
    if (!valid) {
        number_ = 1252;
        icuName_ = "windows-1252";
        doubleByte_ = false;
    }
    for (int b = 0; b < 256; ++b) {
        if (b < 0x80) {
            single_[b] = char16_t(b);
            continue;
        }
        if (doubleByte_ && b >= 0x81 && b <= 0xFE) {
            lead_[b] = true;
            single_[b] = kReplacement;
            continue;
        }
        QStringDecoder decoder(icuName_.constData());
        const char c = char(b);
        const QString s = decoder.decode(QByteArrayView(&c, 1));
        single_[b] = (!decoder.hasError() && s.size() == 1) ? s.at(0).unicode() : kReplacement;
    }
}

bool CodePage::isTrailByte(unsigned char b) const {
    switch (number_) {
    case 932: return cp932::isTrailByte(b);
    case 936: return b >= 0x40 && b <= 0xFE && b != 0x7F;
    case 949: return (b >= 0x41 && b <= 0x5A) || (b >= 0x61 && b <= 0x7A) || (b >= 0x81 && b <= 0xFE);
    case 950: return (b >= 0x40 && b <= 0x7E) || (b >= 0xA1 && b <= 0xFE);
    default: return false;
    }
}

char16_t CodePage::pair(unsigned char lead, unsigned char trail) const {
    if (number_ == 932) return cp932::decodePair(lead, trail);
    if (!pairs_) pairs_.reset(new char16_t[65536]());
    char16_t& slot = pairs_[(lead << 8) | trail];
    if (slot == 0) {
        QStringDecoder decoder(icuName_.constData());
        const char bytes[2] = {char(lead), char(trail)};
        const QString s = decoder.decode(QByteArrayView(bytes, 2));
        slot = (!decoder.hasError() && s.size() == 1 && s.at(0).unicode() != 0)
                   ? s.at(0).unicode()
                   : kReplacement;
    }
    return slot;
}

const CodePage& CodePage::get(int number) {
    // Unknown numbers share the 1252 table rather than growing the cache.
    if (icuNameFor(number).isEmpty()) number = 1252;
    static std::mutex mutex;
    static std::map<int, std::unique_ptr<CodePage>> pages;
    std::lock_guard lock(mutex);
    auto it = pages.find(number);
    if (it == pages.end()) {
        it = pages.emplace(number, std::unique_ptr<CodePage>(new CodePage(number))).first;
    }
    return *it->second;
}

int codePageForCharset(int charset, int documentPage) {
    switch (charset) {
    // Word for Mac writes Mac Roman text under the "ANSI" set.
    case 0: return documentPage == 10000 ? 10000 : 1252;
    case 77: return 10000;
    case 128: return 932;
    case 129: return 949;
    case 134: return 936;
    case 136: return 950;
    case 161: return 1253;
    case 162: return 1254;
    case 163: return 1258;
    case 177: return 1255;
    case 178: return 1256;
    case 186: return 1257;
    case 204: return 1251;
    case 222: return 874;
    case 238: return 1250;
    default: return documentPage;
    }
}

} // namespace tess::rtf
