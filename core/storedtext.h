#pragma once
// Text values as the program's own files store them (the settings file,
// "GroupFiles", "QuickLists"): Shift-JIS, so that the files stay what other
// copies of the program read.  A value must read back exactly as it was
// written, so two forms go beyond plain Shift-JIS:
//
// - Bytes that are not valid Shift-JIS (a path written by another tool) are
//   carried through memory as U+DC80..U+DCFF and written back as the same
//   bytes (cp932::decodeKeepingBytes).
// - A value holding a character Shift-JIS cannot hold (café, ü, an emoji) is
//   written as a MIME encoded word of its UTF-8 text:
//       =?UTF-8?B?<base64 of the UTF-8 bytes>?=
//   which reads as harmless plain ASCII anywhere else.  A value that also
//   holds kept bytes uses "=?UTF-16LE?B?" with the UTF-16 code units instead.
//   Values holding a line break or a NUL take the same form, as one line.
//   A value that itself starts with "=?" and would read as such a word is
//   written in the same form, so reading never mistakes plain text for one.
//
// Every other value is written byte for byte as plain Shift-JIS.

#include <QByteArray>
#include <QString>

namespace tess::stored {

QByteArray encode(QStringView text);
QString decode(QByteArrayView bytes);

} // namespace tess::stored
