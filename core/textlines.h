#pragma once
// A plain-text file as the lines a document holds, and those lines written
// back.  Opening and saving a file without an edit gives the same bytes, and
// an edited file changes only where it was edited: a line whose bytes its
// text would not give back when written (a byte that is not valid in the
// encoding, a character with two codes, a line end that is not the file's
// usual one, a character the document cannot hold as such) keeps the bytes
// it was read from, and they are written again as long as its text is what
// they read as.

#include "textencoding.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>
#include <vector>

namespace tess::text {

struct KeptLine {
    qsizetype line = 0;         // its number, from 0
    QByteArray bytes;           // its bytes without the line end; null when its text gives them back
    LineEnd end = LineEnd::CrLf;
};

struct Decoded {
    Format format;              // the encoding, and the line end most lines have
    // The lines as shown, with '\n' between them, in pieces of a megabyte
    // or two that each end after a line end (but the last): a reader can
    // let go of each once it has it.  At least one, maybe empty.
    QList<QString> pieces;
    QString text() const { return pieces.join(QString()); }
    QList<KeptLine> kept;       // the lines writing would change (bytes or end), in order
    qsizetype invalid = 0;      // byte sequences not valid in the encoding, shown as U+FFFD
};

// The bytes as lines, in `encoding` or, by default, the one detected.
Decoded decodeDetected(QByteArrayView bytes, std::optional<Encoding> encoding = std::nullopt);

// The text a line's bytes (without its end) are shown as: a character a
// document would take for a line or paragraph break, or for its own marks
// (U+2028, U+2029, U+FDD0, U+FDD1), shows as U+FFFD.
QString lineShown(QByteArrayView bytes, Encoding encoding);

// Puts a file back together, line by line, in a format.  Lines given as text
// are encoded a run at a time; lines given as bytes go out as they are.
class LineWriter {
public:
    explicit LineWriter(Format format);

    // One line's text (no line ends in it) at `position` in the document,
    // followed by `end`, or by nothing for the last line.
    void addText(QStringView text, qsizetype position, std::optional<LineEnd> end);
    void addBytes(QByteArrayView bytes, std::optional<LineEnd> end);

    // The file's bytes; the characters the encoding cannot hold (written as
    // '?') are listed in `lost` with their document positions.
    QByteArray finish(QList<cp932::Unencodable>* lost);

private:
    void flush();

    Format format_;
    QByteArray out_;
    QString run_;
    // Where each line of the run starts, in the run and in the document.
    std::vector<std::pair<qsizetype, qsizetype>> starts_;
    QList<cp932::Unencodable> lost_;
};

} // namespace tess::text
