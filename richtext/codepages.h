#pragma once
// Byte decoding for the code pages an RTF file may name.  CP932 goes through
// the program's own codec; the others through ICU, tabulated once per code
// page so that decoding a byte is a lookup.

#include <QString>

#include <memory>

namespace tess::rtf {

class CodePage {
public:
    // The code page for a number (932, 1252, 949 ...); unknown numbers fall
    // back to 1252.
    static const CodePage& get(int number);

    int number() const { return number_; }
    bool isDoubleByte() const { return doubleByte_; }
    bool isLeadByte(unsigned char b) const { return doubleByte_ && lead_[b]; }
    // A byte that can follow a lead byte; any other byte after a lead is read
    // on its own, so that a stray lead never takes the character after it.
    bool isTrailByte(unsigned char b) const;
    // A byte that stands alone (U+FFFD when it has no character).
    char16_t single(unsigned char b) const { return single_[b]; }
    // A double-byte pair; U+FFFD when unmapped.  Only for double-byte pages.
    char16_t pair(unsigned char lead, unsigned char trail) const;

private:
    explicit CodePage(int number);
    int number_;
    bool doubleByte_ = false;
    QByteArray icuName_;
    char16_t single_[256];
    bool lead_[256] = {};
    mutable std::unique_ptr<char16_t[]> pairs_;  // lazily filled 64K table, 0 = not yet looked up
};

// The code page of a font character set (\fcharset); `documentPage` for the
// "default" set 1 and for sets without a code page of their own.
int codePageForCharset(int charset, int documentPage);

} // namespace tess::rtf
