#pragma once
// The rules of vertical writing that need no font or page: which characters
// change in a column (presentation forms, a quarter turn, small kana set
// toward the upper right), how a paragraph's text falls into units (one
// upright cell, a sideways run of half-width letters, one or two digits
// side by side in a cell), and where a full column may break.

#include <QStringView>

#include <vector>

namespace tess::vertical {

// The vertical presentation form of `c` (、 → ︑, 「 → ﹁), or 0 when it has none.
char32_t verticalForm(char32_t c);
// Whether `c`, upright in horizontal text, lies along the column instead: a
// quarter turn clockwise (ー, 〜, －, brackets without a vertical form).
// Characters with a vertical form turn too where the font lacks the form.
bool turns(char32_t c);
// Whether `c` sits toward the upper right of its cell in a column: small
// kana, and 、。 where the font has no vertical form for them.
bool isSmallKana(char32_t c);
bool sitsUpperRight(char32_t c);
// Half-width letters, digits and symbols: set sideways, in runs.
bool isHalfWidth(char32_t c);

// A column never starts with these (closing marks, small kana, ー, 々) ...
bool noColumnStart(char32_t c);
// ... and never ends with these (opening brackets).
bool noColumnEnd(char32_t c);

enum class Kind {
    Upright,   // one character (with its marks) in a square cell
    Sideways,  // half-width letters and symbols along the column, a word at a time
    Across,    // one or two half-width digits upright side by side in one cell
    End,       // a paragraph end: nothing drawn
};

struct Unit {
    Kind kind;
    qsizetype length;  // in UTF-16 code units, at least 1
};

// The unit that starts at `i` of `text`, not reaching past `limit` (a
// change of format or the end of a column), except that one or two digits
// side by side are never parted.  Depends on the characters around `i`
// only, so that a column's units read the same however far back the
// reading starts.
Unit unitAt(QStringView text, qsizetype i, qsizetype limit);

// The first and last character of one unit, for the line-breaking rules.
struct Edges {
    char32_t first;
    char32_t last;
};
// A column holds units [0, fit) and unit `fit` does not fit: how many of
// them stay, so that the next column does not start with a closing mark
// and this one does not end with an opening bracket.  Those that do not
// stay are carried to the next column (never hung below the column's end);
// at most half the column is carried, past that it breaks at `fit` anyway.
qsizetype keepInColumn(const std::vector<Edges>& units, qsizetype fit);

} // namespace tess::vertical
