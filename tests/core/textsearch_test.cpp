#include "core/textsearch.h"

#include "support.h"

#include <vector>

namespace tess::search {

inline void PrintTo(const Match& m, std::ostream* os) { *os << '[' << m.start << ", +" << m.length << ']'; }

namespace {

using namespace Qt::StringLiterals;

struct Case {
    const char* name;
    QString pattern;
    Options options;
    QString text;
    std::vector<Match> expected;
};

constexpr Options kPlain{};
constexpr Options kCase{.matchCase = true};
constexpr Options kWord{.wholeWord = true};
constexpr Options kRegex{.regex = true};
constexpr Options kWidth{.widthInsensitive = true};
constexpr Options kWidthRegex{.regex = true, .widthInsensitive = true};
constexpr Options kWidthCase{.matchCase = true, .widthInsensitive = true};

TEST(TextSearch, FindsEveryMatchUnderEachOption) {
    const Case cases[] = {
        {"ignores case by default", u"abc"_s, kPlain, u"ABC xabc"_s, {{0, 3}, {5, 3}}},
        {"match case", u"abc"_s, kCase, u"ABC xabc"_s, {{5, 3}}},
        {"literal signs are not a pattern", u"a.c"_s, kPlain, u"abc a.c"_s, {{4, 3}}},
        {"whole word", u"cat"_s, kWord, u"cat concat cat_x (cat)"_s, {{0, 3}, {18, 3}}},
        {"whole word next to kanji", u"日本"_s, kWord, u"日本語 日本 "_s, {{4, 2}}},
        {"regular expression", u"\\d+"_s, kRegex, u"a12 b3"_s, {{1, 2}, {5, 1}}},
        {"regular expression per line", u"^x"_s, kRegex, u"xa\nxb"_s, {{0, 1}, {3, 1}}},
        {"empty matches are passed over", u"b*"_s, kRegex, u"abba"_s, {{1, 2}}},
        {"kana differ without the option", u"ア"_s, kPlain, u"あアｱ"_s, {{1, 1}}},
        {"hiragana, katakana and half-width are one", u"ア"_s, kWidth, u"あアｱ"_s, {{0, 1}, {1, 1}, {2, 1}}},
        {"full-width letters and digits", u"AB1"_s, kWidth, u"ＡＢ１ ab1"_s, {{0, 3}, {4, 3}}},
        {"full-width with match case", u"AB"_s, kWidthCase, u"ＡＢ ａｂ"_s, {{0, 2}}},
        {"half-width voiced kana is one character", u"ガ"_s, kWidth, u"ｶﾞが"_s, {{0, 2}, {2, 1}}},
        {"half-width voiced kana in the pattern", u"ｶﾞｯｺｳ"_s, kWidth, u"がっこう"_s, {{0, 4}}},
        {"semi-voiced", u"パン"_s, kWidth, u"ﾊﾟﾝ ﾊﾝ"_s, {{0, 3}}},
        {"voiced mark that cannot combine", u"ア゛"_s, kWidth, u"ｱﾞ"_s, {{0, 2}}},
        {"ideographic space", u"a b"_s, kWidth, u"a　b"_s, {{0, 3}}},
        {"long vowel mark", u"ラーメン"_s, kWidth, u"ﾗｰﾒﾝ"_s, {{0, 4}}},
        {"full-width signs stay literal in a pattern", u"（\\d）"_s, kWidthRegex, u"(1) （２） (x)"_s,
         {{0, 3}, {4, 3}}},
        {"regex classes over folded text", u"[ア-オ]+"_s, kWidthRegex, u"あいｳ"_s, {{0, 3}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Searcher s(c.pattern, c.options);
        ASSERT_TRUE(s.valid());
        const Subject subject(c.text, c.options.widthInsensitive);
        EXPECT_EQ(s.all(subject), c.expected);
    }
}

QString withChar(const char16_t* before, char16_t c, const char16_t* after) {
    return QString::fromUtf16(before) + QChar(c) + QString::fromUtf16(after);
}

// Texts and patterns that once gave no match, a wrong one or a refused
// pattern.  Each is run through both all() and stepping with next(), which
// must agree.
TEST(TextSearch, FindsAwkwardPatternsAndTexts) {
    const Case cases[] = {
        {"half-width voiced kana in a regular expression", u"ｶﾞ"_s, kWidthRegex, u"ｶﾞ ガ か カ"_s,
         {{0, 2}, {3, 1}}},
        {"half-width semi-voiced kana in a regular expression", u"ﾊﾟﾝ+"_s, kWidthRegex, u"パン ﾊﾝ ぱんん"_s,
         {{0, 2}, {6, 3}}},
        {"an escaped full-width sign", u"\\（\\d"_s, kWidthRegex, u"(1 （２ \\1"_s, {{0, 2}, {3, 2}}},
        {"an escaped backslash before a full-width sign", u"\\\\（"_s, kWidthRegex, u"\\( \\"_s,
         {{0, 2}}},
        {"an escaped full-width digit is a digit", u"(a)\\１"_s, kWidthRegex, u"aa a1"_s, {{3, 2}}},
        {"full-width signs in a quote", u"\\Q（＼Ｅ\\E+"_s, kWidthRegex, u"（＼ｅ (\\EE"_s, {{0, 3}, {4, 4}}},
        {"an escaped full-width letter is a letter", u"\\Ａb"_s, kWidthRegex, u"ab ａb"_s, {{0, 2}, {3, 2}}},
        {"NUL then a digit", withChar(u"", 0, u"1"), kPlain, withChar(u"\x01", 0, u"1"), {{1, 2}}},
        {"NUL then a digit, folded", withChar(u"", 0, u"１"), kWidth, withChar(u"\x01", 0, u"1"), {{1, 2}}},
        {"a lone high surrogate in the text", u"b"_s, kPlain, withChar(u"ab", 0xD800, u"b"), {{1, 1}, {3, 1}}},
        {"a lone low surrogate in the text", u"b"_s, kRegex, withChar(u"b", 0xDC00, u"ab"), {{0, 1}, {3, 1}}},
        {"a lone surrogate, folded", u"ア"_s, kWidth, withChar(u"あ", 0xD800, u"ｱ"), {{0, 1}, {2, 1}}},
        {"a lone surrogate, folded regex", u"."_s, kWidthRegex, withChar(u"a", 0xDBFF, u""), {{0, 1}, {1, 1}}},
        {"a pair after a lone half", u"😀"_s, kPlain, withChar(u"", 0xD83D, u"😀"), {{1, 2}}},
        {"alternation with nothing", u"|;"_s, kRegex, u"a;b;"_s, {{1, 1}, {3, 1}}},
        {"lazy repeat", u"a*?"_s, kRegex, u"baab"_s, {{1, 1}, {2, 1}}},
        {"lookahead or a letter", u"(?=b)|a"_s, kRegex, u"ab"_s, {{0, 1}}},
        {"nothing matched but nothing", u"x?"_s, kRegex, u"ab"_s, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Searcher s(c.pattern, c.options);
        EXPECT_TRUE(s.valid()) << s.error().toStdString();
        const Subject subject(c.text, c.options.widthInsensitive);
        EXPECT_EQ(s.all(subject), c.expected);
        std::vector<Match> stepped;
        for (Match m = s.next(subject, 0); m.found(); m = s.next(subject, m.end())) stepped.push_back(m);
        EXPECT_EQ(stepped, c.expected);
    }
}

TEST(TextSearch, NextAndPreviousStepFromAPosition) {
    const Searcher s(u"あ"_s, kWidth);
    const Subject text(u"ｱ-あ-ア"_s, true);
    EXPECT_EQ(s.next(text, 0), (Match{0, 1}));
    EXPECT_EQ(s.next(text, 1), (Match{2, 1}));
    EXPECT_EQ(s.next(text, 5), Match{});
    EXPECT_EQ(s.previous(text, 4), (Match{2, 1}));
    EXPECT_EQ(s.previous(text, 5), (Match{4, 1}));
    EXPECT_EQ(s.previous(text, 0), Match{});
    EXPECT_EQ(s.at(text, 2), (Match{2, 1}));
    EXPECT_EQ(s.at(text, 1), Match{});
}

TEST(TextSearch, BadPatternsAreRefusedWithAReason) {
    EXPECT_FALSE(Searcher(QString(), kPlain).valid());
    const Searcher bad(u"(a"_s, kRegex);
    EXPECT_FALSE(bad.valid());
    EXPECT_FALSE(bad.error().isEmpty());
    EXPECT_TRUE(bad.all(Subject(u"(a"_s, false)).empty());
    // The same text as a literal is fine.
    EXPECT_EQ(Searcher(u"(a"_s, kPlain).all(Subject(u"x(a"_s, false)), (std::vector<Match>{{1, 2}}));
}

TEST(TextSearch, ReplacementsExpandGroupsFromTheOriginalText) {
    struct R {
        const char* name;
        QString pattern;
        Options options;
        QString text;
        QString with;
        QString expected;
    };
    const R cases[] = {
        {"literal keeps backslashes", u"a"_s, kPlain, u"a"_s, u"\\1\\n"_s, u"\\1\\n"_s},
        {"groups and escapes", u"(\\w)-(\\w)"_s, kRegex, u"x-y"_s, u"\\2\\t\\1\\\\"_s, u"y\tx\\"_s},
        {"whole match", u"\\d+"_s, kRegex, u"42"_s, u"<\\0>"_s, u"<42>"_s},
        {"missing group is empty", u"(a)|(b)"_s, kRegex, u"a"_s, u"[\\2]"_s, u"[]"_s},
        {"folded search, original group", u"(ガ)(\\d)"_s, kWidthRegex, u"ｶﾞ１"_s, u"\\2\\1"_s, u"１ｶﾞ"_s},
        {"the match that was found, not an empty one", u"|(;)"_s, kRegex, u"a;"_s, u"[\\0\\1]"_s, u"[;;]"_s},
        {"beside a lone surrogate", u"(b)"_s, kRegex, withChar(u"", 0xD800, u"b"), u"<\\1>"_s, u"<b>"_s},
    };
    for (const R& c : cases) {
        SCOPED_TRACE(c.name);
        const Searcher s(c.pattern, c.options);
        const Subject subject(c.text, c.options.widthInsensitive);
        const Match m = s.next(subject, 0);
        ASSERT_TRUE(m.found());
        EXPECT_EQ(s.replacement(subject, m, c.with), c.expected);
    }
}

TEST(TextSearch, FoldingMapsEveryCharacterBack) {
    const Folded f = fold(u"aｶﾞｷﾟあＢ"_s);
    EXPECT_EQ(f.text, u"aガキ゜アB"_s);
    EXPECT_EQ(f.origin, (std::vector<qsizetype>{0, 1, 3, 4, 5, 6, 7}));
    // A pair stays two units; a half without its partner is U+FFFD.
    const Folded pairs = fold(withChar(u"😀", 0xDC00, u"ｶﾞ"));
    EXPECT_EQ(pairs.text, withChar(u"😀", 0xFFFD, u"ガ"));
    EXPECT_EQ(pairs.origin, (std::vector<qsizetype>{0, 1, 2, 3, 5}));
}

} // namespace
} // namespace tess::search
