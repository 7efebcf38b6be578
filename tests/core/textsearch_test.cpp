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
}

} // namespace
} // namespace tess::search
