#pragma once
// EUC-JP and ISO-2022-JP (JIS): the standard JIS X 0208 / 0212 characters,
// read through ICU's converters with the codes it reads otherwise put right,
// and read quickly by tables taken from that reading.

#include "textencoding.h"

#include <QByteArray>
#include <QString>

namespace tess::text::jis {

// The bytes as text; each byte that is not part of a character reads as
// U+FFFD.  `writesBack` tells whether encode() is known to give the same
// bytes back for the text (false: not known).
QString decode(QByteArrayView bytes, Encoding e, bool* writesBack = nullptr);

// The text as bytes, back in ASCII at its end in JIS.  `error` tells
// whether a character could not be written (it is written as ICU's
// substitute).
QByteArray encode(QStringView text, Encoding e, bool* error = nullptr);

// The Windows forms of the standard characters (U+FF5E for U+301C ...),
// written as the same codes.
bool isWindowsForm(char32_t c);

} // namespace tess::text::jis
