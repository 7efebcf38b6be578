#pragma once
// The encodings Japanese plain text comes in, told apart by the bytes, and
// the line ends a file uses.  A document opened from a file keeps both, so
// that opening and saving an unchanged file gives the same bytes; the
// program's own files and new documents are Shift-JIS with CR LF.

#include "cp932.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

namespace tess::text {

enum class Encoding { ShiftJis, Utf8, Utf8Bom, Utf16Le, Utf16Be, EucJp, Iso2022Jp };
enum class LineEnd { CrLf, Lf, Cr };

struct Format {
    Encoding encoding = Encoding::ShiftJis;
    LineEnd lineEnd = LineEnd::CrLf;
    bool operator==(const Format&) const = default;
    bool isDefault() const { return *this == Format{}; }
};

// Decides from the bytes: a byte-order mark first; then ISO-2022-JP by its
// escape sequences in 7-bit text; then, of UTF-8, Shift-JIS and EUC-JP, the
// one that reads most like Japanese text, where a few bytes that are not
// valid in it count against a reading but do not rule it out; Shift-JIS when
// nothing else fits (and for plain ASCII, which reads the same in all).
// The answer comes from the first stretch of non-ASCII text when that is
// already beyond doubt; `sampled` tells so, and then a caller that finds
// bytes invalid further on asks again with `whole`.
Encoding detectEncoding(QByteArrayView bytes, bool* sampled = nullptr, bool whole = false);

// The first line end in the text (CR LF, a lone LF or a lone CR); CR LF for
// a text without one.
LineEnd detectLineEnd(QStringView text);

// The bytes as text in the encoding (a byte-order mark is not part of the
// text).  Shift-JIS decodes as everywhere else in the program (the Windows
// table); EUC-JP and JIS with the standard JIS X 0208 / 0212 characters.
// Bytes that are not valid in the encoding, a character cut short at the
// end included, read as U+FFFD.
QString decode(QByteArrayView bytes, Encoding encoding);

// The length of the byte-order mark the bytes start with, for the encoding
// (0 when there is none or the encoding has none).
qsizetype byteOrderMarkLength(QByteArrayView bytes, Encoding encoding);
QByteArrayView byteOrderMark(Encoding encoding);

// Part of a text, after any byte-order mark, as decode() reads it: a U+FEFF
// at its start is a character.  `writesBack`, when true, tells that
// encodePart() gives the same bytes back for the text (false: not known).
QString decodePart(QByteArrayView bytes, Encoding encoding, bool* writesBack = nullptr);

// Part of a text in the encoding, without a byte-order mark and, in JIS,
// back in ASCII at its end.  U+2028 and U+2029 (paragraph ends in a
// document's raw text) are written as `lineEnd`.  A character the encoding
// cannot hold is written as '?' (a no-break space in Shift-JIS as a blank)
// and listed in `lost` with its index.
QByteArray encodePart(QStringView text, Encoding encoding, LineEnd lineEnd = LineEnd::CrLf,
                      QList<cp932::Unencodable>* lost = nullptr);
QByteArray lineEndBytes(LineEnd lineEnd, Encoding encoding);

// True when encodePart() would give exactly `bytes` for the text, which
// then holds only characters the encoding holds (quicker than comparing).
bool encodesTo(QStringView text, Encoding encoding, QByteArrayView bytes);

// How many byte sequences of `bytes` were not valid in the encoding, given
// `text`, what decodePart() made of them (each reads as U+FFFD).
qsizetype invalidSequences(QStringView text, QByteArrayView bytes, Encoding encoding);

// Characters of `text` the encoding cannot hold, in order (UTF-16 index).
QList<cp932::Unencodable> unencodable(QStringView text, Encoding encoding);

// The text's bytes in the encoding, with its byte-order mark where it has
// one.  A character the encoding cannot hold becomes '?'.
QByteArray encode(QStringView text, Encoding encoding);

// For the status bar: "UTF-8", "UTF-8 (BOM)", "UTF-16 LE", "UTF-16 BE",
// "EUC-JP", "JIS", "Shift-JIS"; "CR+LF", "LF", "CR".
QString encodingName(Encoding encoding);
QString lineEndName(LineEnd lineEnd);
// Every encoding, in the order a menu offers them.
QList<Encoding> allEncodings();

} // namespace tess::text
