// Hand-written files in the shapes real writers produce (tests/richtext/samples):
// each gives its text, keeps its formats and survives the writer.

#include "testsupport.h"

#include "richtext/documentfile.h"

#include <gtest/gtest.h>

#include <QFile>

namespace tess {
namespace {

struct Loaded {
    QTextDocument doc;
    QString text;
    std::vector<test::Run> runs;
};

std::unique_ptr<Loaded> load(const char* name) {
    auto l = std::make_unique<Loaded>();
    const LoadResult r =
        LoadDocument(QStringLiteral(TESS_RTF_SAMPLES "/") + QString::fromUtf8(name), l->doc);
    EXPECT_TRUE(r.ok()) << name;
    EXPECT_TRUE(r.richText) << name;
    l->text = l->doc.toRawText().replace(QChar::ParagraphSeparator, u'\n');
    l->runs = test::runsOf(l->doc);
    // Every sample survives a round trip through the writer.
    QTextDocument back;
    readRichText(writeRichText(l->doc), back);
    EXPECT_EQ(test::runsOf(back), l->runs) << name;
    return l;
}

// The run holding `text` (runs of equal format are merged).
test::Run runWith(const Loaded& l, const char* text) {
    const QString t = QString::fromUtf8(text);
    for (const test::Run& r : l.runs)
        if (r.text.contains(t)) return r;
    ADD_FAILURE() << "no run holds " << text;
    return test::Run{};
}

// Written by LibreOffice 7.4 from Japanese text with bold, italic, a larger
// size and a colour: the double-byte runs take bold and size from the
// associated controls after \dbch (\ab, \afs), italic from \i.
TEST(Samples, LibreOfficeAssociatedFormats) {
    const auto l = load("libreoffice_ja_formats.rtf");
    EXPECT_EQ(l->text, QString::fromUtf8("普通の文と太字の日本語と斜体の日本語と大きい日本語、赤い文字です。\n"
                                         "Latin bold text."));
    const test::Run plain = runWith(*l, "普通の文と");
    EXPECT_FALSE(plain.bold);
    const test::Run bold = runWith(*l, "太字の日本語");
    EXPECT_EQ(bold.text, QString::fromUtf8("太字の日本語"));
    EXPECT_TRUE(bold.bold);
    EXPECT_EQ(bold.points, plain.points);
    const test::Run italic = runWith(*l, "斜体の日本語");
    EXPECT_TRUE(italic.italic);
    EXPECT_FALSE(italic.bold);
    const test::Run big = runWith(*l, "大きい日本語");
    EXPECT_EQ(big.points, 20);
    EXPECT_FALSE(big.bold);
    EXPECT_EQ(runWith(*l, "、").points, plain.points);
    EXPECT_TRUE(runWith(*l, "bold").bold);
    EXPECT_FALSE(runWith(*l, "Latin").bold);
}

TEST(Samples, WordPad) {
    const auto l = load("wordpad_ja.rtf");
    EXPECT_EQ(l->text, QString::fromUtf8("こんにちは World\n赤い斜体ｶﾀｶﾅ"));
    const test::Run hello = runWith(*l, "こんにちは");
    EXPECT_EQ(hello.family, QString::fromUtf8("ＭＳ Ｐゴシック"));
    EXPECT_EQ(hello.points, 11);
    EXPECT_FALSE(hello.bold);
    const test::Run world = runWith(*l, "World");
    EXPECT_EQ(world.text, "World\n");
    EXPECT_TRUE(world.bold);
    EXPECT_EQ(world.family, "Calibri");
    const test::Run red = runWith(*l, "赤い斜体");
    EXPECT_EQ(red.text, QString::fromUtf8("赤い斜体"));
    EXPECT_TRUE(red.italic);
    EXPECT_EQ(red.fg, QColor(255, 0, 0));
    const test::Run kana = runWith(*l, "ｶﾀｶﾅ");
    EXPECT_FALSE(kana.italic);
    EXPECT_FALSE(kana.fg.isValid());
}

TEST(Samples, Word) {
    const auto l = load("word_ja.rtf");
    EXPECT_EQ(l->text, QString::fromUtf8("Word 日本語の文書“quoted” – café link\nA1\tB1\n"));
    const test::Run word = runWith(*l, "Word");
    EXPECT_EQ(word.family, "Century");
    EXPECT_EQ(word.points, 10.5);
    const test::Run nihongo = runWith(*l, "日本語");
    EXPECT_EQ(nihongo.text, QString::fromUtf8("日本語"));
    EXPECT_TRUE(nihongo.bold);
    EXPECT_EQ(nihongo.family, QString::fromUtf8("游明朝"));
    EXPECT_EQ(runWith(*l, "の文書").fg, QColor(255, 0, 0));
    EXPECT_EQ(runWith(*l, "café").family, "Century");
    const test::Run link = runWith(*l, "link");
    EXPECT_TRUE(link.underline);
    EXPECT_EQ(link.fg, QColor(0, 0, 255));
}

TEST(Samples, LibreOffice) {
    const auto l = load("libreoffice_ja.rtf");
    EXPECT_EQ(l->text, QString::fromUtf8("Libre漢字テキスト色付き\nSecond ") +
                           QString::fromUcs4(U"\U0001F600"));
    EXPECT_EQ(runWith(*l, "Libre").family, "Liberation Sans");
    const test::Run kanji = runWith(*l, "漢字テキスト");
    EXPECT_TRUE(kanji.bold);
    EXPECT_EQ(kanji.points, 14);
    EXPECT_EQ(kanji.family, "Noto Sans CJK JP");
    const test::Run colour = runWith(*l, "色付き");
    // Its western font is ＭＳ ゴシック; Japanese text shows in the paragraph's
    // Asian font (\dbch\af5), as in LibreOffice.
    EXPECT_EQ(colour.family, "Noto Sans CJK JP");
    EXPECT_EQ(colour.fg, QColor(0, 0, 128));
    EXPECT_EQ(colour.bg, QColor(255, 255, 0));
    const test::Run second = runWith(*l, "Second");
    EXPECT_TRUE(second.italic);
    EXPECT_TRUE(second.strike);
}

// Written by LibreOffice 7.4 from a document with ruby: each ruby is an EQ
// field with an empty result.  東京 is bold in a run whose Asian font is
// ＭＳ 明朝; the last ruby has parentheses and a comma in its text, which
// LibreOffice leaves unescaped.
TEST(Samples, LibreOfficeRuby) {
    const auto l = load("libreoffice_ruby.rtf");
    EXPECT_EQ(l->text, QString::fromUtf8("前日本語 bold後\nこれは漢字です。東京、a(b),c終"));
    const test::Run japanese = runWith(*l, "日本語");
    EXPECT_EQ(japanese.family, QString::fromUtf8("ＭＳ 明朝"));
    EXPECT_TRUE(japanese.bold);
    const test::Run bold = runWith(*l, "bold");
    EXPECT_EQ(bold.family, "Liberation Serif");
    EXPECT_TRUE(bold.bold);
    EXPECT_FALSE(runWith(*l, "漢字").bold);
    const test::Run tokyo = runWith(*l, "東京");
    EXPECT_EQ(tokyo.text, QString::fromUtf8("東京"));
    EXPECT_EQ(tokyo.family, QString::fromUtf8("ＭＳ 明朝"));
    EXPECT_TRUE(tokyo.bold);
}

TEST(Samples, TextEdit) {
    const auto l = load("textedit_ja.rtf");
    EXPECT_EQ(l->text, QString::fromUtf8("Hello bold\nこんにちは\n日本 code{}"));
    EXPECT_EQ(runWith(*l, "Hello").family, "Helvetica");
    EXPECT_TRUE(runWith(*l, "bold").bold);
    EXPECT_EQ(runWith(*l, "こん").family, "HiraginoSans-W3");
    EXPECT_EQ(runWith(*l, "にちは").fg, QColor(251, 2, 7));
    const test::Run code = runWith(*l, "code");
    EXPECT_TRUE(code.italic);
    EXPECT_EQ(code.family, "Menlo-Regular");
}

TEST(Samples, WordForMac) {
    const auto l = load("wordmac_ja.rtf");
    EXPECT_EQ(l->text, QString::fromUtf8("Mac “quote” こん"));
    EXPECT_EQ(runWith(*l, "こん").family, QString::fromUtf8("ＭＳ 明朝"));
}

TEST(Samples, TruncatedFileKeepsWhatWasThere) {
    const auto l = load("damaged_truncated.rtf");
    EXPECT_EQ(l->text, QString::fromUtf8("途中で切\xEF\xBF\xBD"));
    EXPECT_TRUE(runWith(*l, "切").bold);
}

} // namespace
} // namespace tess
