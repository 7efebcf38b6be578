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
// one the bytes are valid in and read most like Japanese text; Shift-JIS
// when nothing else fits (and for plain ASCII, which reads the same in all).
Encoding detectEncoding(QByteArrayView bytes);

// The first line end in the text (CR LF, a lone LF or a lone CR); CR LF for
// a text without one.
LineEnd detectLineEnd(QStringView text);

// The bytes as text, in `encoding` or, by default, the one detected, with
// the encoding and the text's first line end: how the text is to be written
// back.
struct Decoded {
    Format format;
    QString text;
};
Decoded decodeDetected(QByteArrayView bytes, std::optional<Encoding> encoding = std::nullopt);

// The bytes as text in the encoding (a byte-order mark is not part of the
// text).  Shift-JIS decodes as everywhere else in the program (the Windows
// table); EUC-JP and JIS with the standard JIS X 0208 / 0212 characters.
QString decode(QByteArrayView bytes, Encoding encoding);

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
