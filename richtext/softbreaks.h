#pragma once
// Very long paragraphs are shown as several.  Laying out a paragraph of a
// megabyte takes seconds, and the editor lays out the paragraph it edits at
// every key, so a file with one long line would freeze the window.  The
// paragraph ends put in for that are soft: they belong to the display only,
// and the file, the clipboard and the rich text keep the one paragraph.
//
// Each soft end is followed by two cursors, one just before it and one just
// after it that stays put when text is typed there: edits anywhere move
// them along, and deleting the end brings them together, which ends it for
// good (a paragraph end typed in its place later is the user's own).

#include <QString>

#include <vector>

class QTextBlock;
class QTextCursor;
class QTextDocument;

namespace tess::soft_breaks {

// A paragraph longer than this many characters is split ...
constexpr int kLongParagraph = 8192;
// ... into pieces of at most this many, cut after a blank or a punctuation
// mark where one is near the end of a piece.
constexpr int kPiece = 4096;

// Where the pieces of `text` end (offsets, each the start of the next
// piece); empty when it is not longer than kLongParagraph.  Never cuts a
// surrogate pair or a character from the marks that follow it.
std::vector<int> cuts(QStringView text);

// Splits the paragraphs of `doc` that touch [from, to] (to -1: the end) and
// are longer than kLongParagraph.  One edit, joined to the edit before it:
// undo takes a paste and its splits back together.
void split(QTextDocument& doc, int from = 0, int to = -1);

// The positions of the soft paragraph ends in `doc`, in order; those in
// [from, to) only.
std::vector<int> positions(const QTextDocument& doc);
std::vector<int> positions(const QTextDocument& doc, int from, int to);
// The selection's text as QTextCursor::selectedText() gives it, without its
// soft paragraph ends.
QString selectedText(const QTextCursor& cursor);
// Whether the paragraph end at `position` is soft.
bool isSoft(const QTextDocument& doc, int position);

// The soft ends of a document, for a walk through its paragraphs in order.
class Walk {
public:
    explicit Walk(const QTextDocument& doc);
    bool any() const { return !ends_.empty(); }
    // Whether `b`, after those asked about before it, ends softly.
    bool endsSoftly(const QTextBlock& b);

private:
    std::vector<int> ends_;
    std::vector<int>::const_iterator next_;
};

// The document's text as a file holds it: soft ends taken out, other
// paragraph ends and line breaks as '\n'.
QString plainText(const QTextDocument& doc);

} // namespace tess::soft_breaks
