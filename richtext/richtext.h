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

// What the RTF writer needs of a document, taken quickly on the thread that
// owns the document so that the slow writing can run on another: the raw
// text (index i is document position i), the format table, and each
// paragraph's runs followed by a paragraph end.
struct RichTextSnapshot {
    static constexpr int kParagraphEnd = -1;
    struct Run {
        qsizetype position;
        qsizetype length;
        int format;  // index into `formats`, or kParagraphEnd
    };
    QString text;
    QFont defaultFont;
    QList<QTextFormat> formats;
    std::vector<Run> runs;

    QTextCharFormat charFormat(int index) const;
    QStringView textOf(const Run& run) const { return QStringView(text).mid(run.position, run.length); }
};

RichTextSnapshot takeRichTextSnapshot(const QTextDocument& doc);
QByteArray writeRichText(const RichTextSnapshot& snapshot);
// The same bytes a piece at a time (about a megabyte each), for a caller that
// writes them out as they come; false when `sink` refused a piece.
bool writeRichText(const RichTextSnapshot& snapshot, const std::function<bool(QByteArrayView)>& sink);

// Snapshots of one document, repeatedly and quickly: walking every fragment
// of a large document costs more than the UI thread can spare, so each
// paragraph's runs are kept with the paragraph until it changes, and
// warm() fills them in small steps while the program is idle.
class RichTextRuns {
public:
    RichTextRuns();
    ~RichTextRuns();
    RichTextRuns(const RichTextRuns&) = delete;
    RichTextRuns& operator=(const RichTextRuns&) = delete;

    // Snapshots are of this document from now on (null: none).
    void follow(QTextDocument* doc);
    QTextDocument* document() const;
    // Keeps the runs of more paragraphs, for about `budgetNs`; true when
    // every paragraph's runs are kept.
    bool warm(qint64 budgetNs);
    RichTextSnapshot snapshot();

private:
    struct State;
    State* d;
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
