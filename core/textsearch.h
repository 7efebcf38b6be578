#pragma once
// Find and replace over a document's text: literal or regular-expression
// patterns, match case, whole word, and a Japanese-aware option that takes
// full-width and half-width forms (Ａ/A, ｶﾞ/ガ, "　"/" ") and hiragana and
// katakana (あ/ア) as the same.  Positions are indexes into the text as given
// (for the editor, document positions).

#include <QRegularExpression>
#include <QString>

#include <vector>

namespace tess::search {

struct Options {
    bool matchCase = false;
    bool wholeWord = false;
    bool regex = false;
    bool widthInsensitive = false;
};

struct Match {
    qsizetype start = -1;
    qsizetype length = 0;
    bool found() const { return start >= 0; }
    qsizetype end() const { return start + length; }
    bool operator==(const Match&) const = default;
};

// The text as the width-insensitive search sees it.  `origin[i]` is where
// folded character i came from; origin has one more entry, the text's size,
// so that a match's end maps too.  A half-width kana with its voiced mark
// (ｶﾞ) folds to one character (ガ); an unpaired surrogate becomes U+FFFD.
struct Folded {
    QString text;
    std::vector<qsizetype> origin;
};
Folded fold(QStringView text);

// A text prepared once for many searches (folded only when asked for).
class Subject {
public:
    Subject(QString text, bool folded);
    const QString& text() const { return text_; }
    bool folded() const { return folded_; }

    // Between the searched text and the given one.
    qsizetype toSearched(qsizetype position) const;
    Match toOriginal(qsizetype start, qsizetype end) const;
    // Always valid UTF-16: folded, or the text with any unpaired surrogate
    // as U+FFFD (the same length, so positions agree).
    const QString& searched() const { return searched_; }

private:
    QString text_;
    bool folded_;
    Folded fold_;
    QString searched_;
};

class Searcher {
public:
    Searcher(const QString& pattern, const Options& options);

    // False for an empty pattern or a regular expression with an error.
    bool valid() const { return valid_; }
    // The regular expression's error, for the user.
    QString error() const { return error_; }
    const Options& options() const { return options_; }

    // A match of no length is never a result, here, in all() and so in
    // replace-all: where the expression matches nothing at a place (`|;`,
    // `a*?`), the match with length it gives at that same place counts, if
    // any, else the search goes on one character (the global-match rule of
    // Perl and PCRE).  So find-next steps through exactly what replace-all
    // replaces.
    //
    // The first match that starts at or after `from`.
    Match next(const Subject& subject, qsizetype from) const;
    // The last match that starts before `from`.
    Match previous(const Subject& subject, qsizetype from) const;
    // The match that starts exactly at `start`, if one does.
    Match at(const Subject& subject, qsizetype start) const;
    // Every match, in order, not overlapping.
    std::vector<Match> all(const Subject& subject) const;

    // The replacement for `match`: literal, or with a regular expression
    // \0..\9 (the groups), \n, \t and \\ expanded.  The groups are taken from
    // the text as given, also when the search was folded.
    QString replacement(const Subject& subject, const Match& match, const QString& with) const;

private:
    // The first match with length at or after `searchedFrom`.
    QRegularExpressionMatch firstFrom(const Subject& subject, qsizetype searchedFrom) const;

    Options options_;
    QRegularExpression re_;
    bool valid_ = false;
    QString error_;
};

} // namespace tess::search
