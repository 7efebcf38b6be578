#pragma once
// The document formats over QTextDocument: the RTF reader and writer and the
// Shift-JIS plain-text rules.  documentfile.h puts them together for files.

#include <QByteArray>
#include <QByteArrayView>
#include <QFont>
#include <QList>
#include <QString>
#include <QTextFormat>

#include <vector>

#include "core/cp932.h"
#include "core/textencoding.h"

#include <functional>
#include <memory>
#include <optional>

class QTextDocument;

namespace tess {

// True when the bytes are rich text: they begin with "{\rtf", after optional
// ASCII white space (blanks, tabs, line ends).
bool isRichText(QByteArrayView bytes);
// True when the bytes are rich text whose outermost group closes: a file the
// program wrote whole and that was not cut short since.
bool isWholeRichText(QByteArrayView bytes);

// Reads RTF into `doc` (expected empty), appending through one cursor.  Never
// fails on damaged input: whatever can be read is kept.  Returns false only
// when the bytes are not rich text (then `doc` is untouched).
bool readRichText(QByteArrayView bytes, QTextDocument& doc);

// The document as RTF: every non-ASCII character as \uN, with its Shift-JIS
// \'hh bytes (or '?' where CP932 lacks it) as the fall-back for readers that
// skip \u, so nothing is lost; fonts name themselves for double-byte text too.
QByteArray writeRichText(const QTextDocument& doc);

// A font size in pixels is a size on a screen of 96 dots an inch: the files
// count a pixel as three quarters of a point, and so do the editor's zoom
// and the printed pages.
qreal pointsForPixels(int pixels);
// `font` with a pixel size given as the same size in points.
QFont sizedInPoints(QFont font);
// `format` with a pixel size given as the same size in points (the pixel
// size is the one Qt shows when a format has both).
QTextCharFormat sizedInPoints(QTextCharFormat format);

// What the RTF writer needs of a document, taken quickly on the thread that
// owns the document so that the slow writing can run on another: the format
// table and the document's paragraphs, in chunks of whole paragraphs.  A
// chunk is never changed once made, so snapshots share the chunks of the
// parts of a document that did not change instead of copying their text.
struct RichTextSnapshot {
    static constexpr int kParagraphEnd = -1;
    // A run of characters in one format or, with the format kParagraphEnd
    // and no length, a paragraph end at the position of its separator (the
    // last paragraph's: the document's final position).
    struct Run {
        qsizetype position;
        qsizetype length;
        int format;  // index into `formats`, or kParagraphEnd
    };
    // Positions relative to the chunk's first character; small, since a
    // document holds two for every paragraph.
    struct ChunkRun {
        int position;
        int length;
        int format;
    };
    struct Chunk {
        QString text;  // index i is the chunk's position i
        std::vector<ChunkRun> runs;
    };
    struct Part {
        qsizetype start;  // document position of the chunk's first character
        std::shared_ptr<const Chunk> chunk;
    };
    QFont defaultFont;
    QList<QTextFormat> formats;
    std::vector<Part> parts;
    // The paragraph ends that only split a long paragraph for the display
    // (see softbreaks.h), in order: not paragraph ends of the text.
    std::vector<qsizetype> softEnds;

    QTextCharFormat charFormat(int index) const;
    // Calls f(run, text) for every run in document order, with document
    // positions, soft paragraph ends left out; stops, returning false, at
    // the first call that returns false.
    template <class F>
    bool forEachRun(F&& f) const {
        auto soft = softEnds.begin();
        for (const Part& part : parts) {
            const QStringView text(part.chunk->text);
            for (const ChunkRun& r : part.chunk->runs) {
                const Run run{part.start + r.position, r.length, r.format};
                if (r.format == kParagraphEnd) {
                    while (soft != softEnds.end() && *soft < run.position) ++soft;
                    if (soft != softEnds.end() && *soft == run.position) continue;
                }
                if (!f(run, r.format == kParagraphEnd ? QStringView() : text.mid(r.position, r.length))) return false;
            }
        }
        return true;
    }
};

RichTextSnapshot takeRichTextSnapshot(const QTextDocument& doc);
QByteArray writeRichText(const RichTextSnapshot& snapshot);
// The same bytes a piece at a time (about a megabyte each), for a caller that
// writes them out as they come; false when `sink` refused a piece.
bool writeRichText(const RichTextSnapshot& snapshot, const std::function<bool(QByteArrayView)>& sink);

// Snapshots of one document, repeatedly and quickly, for a copy kept while
// the user edits: walking a large document costs more than the UI thread can
// spare, so the document is mirrored in chunks of whole paragraphs (about
// `chunkChars` characters each).  A change makes the chunks it touches to be
// made again; warm() makes them in small steps while the program is idle,
// and a snapshot makes what is left and otherwise only lists the chunks.
class RichTextRuns {
public:
    static constexpr qsizetype kChunkChars = 32 * 1024;

    explicit RichTextRuns(qsizetype chunkChars = kChunkChars);
    ~RichTextRuns();
    RichTextRuns(const RichTextRuns&) = delete;
    RichTextRuns& operator=(const RichTextRuns&) = delete;

    // Snapshots are of this document from now on (null: none, and the
    // mirror is let go).
    void follow(QTextDocument* doc);
    QTextDocument* document() const;
    // Makes chunks for about `budgetNs` (at least one); true when the whole
    // document is mirrored.
    bool warm(qint64 budgetNs);
    RichTextSnapshot snapshot();
    // Characters whose chunks are still to be made (a snapshot makes them).
    qsizetype unmade() const;

private:
    struct State;
    std::unique_ptr<State> d;
};

// Plain text with CR LF, LF or CR line ends, into `doc` (expected empty), in
// the encoding given or, by default, the one the bytes are in.  Gives the
// encoding and the usual line end, for writing the text back the same way,
// and how many byte sequences were not valid in the encoding.  Lines that
// writing their text would change keep their bytes with the document.
struct PlainTextRead {
    text::Format format;
    qsizetype invalid = 0;
};
PlainTextRead readPlainText(QByteArrayView bytes, QTextDocument& doc,
                            std::optional<text::Encoding> encoding = std::nullopt);
// The same, releasing the bytes once they are decoded.  A large file takes
// longer to put in than a window may wait: in parts, the first part goes in
// at once and the rest between events, while the document is shown.
enum class TextFill { AtOnce, InParts };
PlainTextRead readPlainText(QByteArray&& bytes, QTextDocument& doc,
                            std::optional<text::Encoding> encoding = std::nullopt, TextFill how = TextFill::AtOnce);
// Whether part of a file is still to go into `doc`; and all of it at once.
// Everything here that reads or writes a whole document puts it all in
// first, so nothing is ever written from part of a file.
bool textPending(const QTextDocument& doc);
void completeText(const QTextDocument& doc);

// The document's characters with '\n' between paragraphs and for line breaks,
// every other character as it is: index i is document position i.
QString documentPlainText(const QTextDocument& doc);

// The document as plain text in `format`: the lines read from a file that
// still show what they were read as are written as the bytes they were read
// from, every other line is encoded, followed by its own line end or the
// usual one.  A character the encoding cannot hold is listed in `lost`
// (document positions) and written as '?' (a no-break space in Shift-JIS as
// a blank).
QByteArray documentBytes(const QTextDocument& doc, text::Format format = {},
                         QList<cp932::Unencodable>* lost = nullptr);

} // namespace tess
