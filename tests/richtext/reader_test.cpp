// The reader against hand-made inputs: text decoding, destinations,
// formatting, and damaged files.

#include "testsupport.h"

#include "core/recovery.h"

#include <gtest/gtest.h>

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

namespace tess {
namespace {

using test::plainOf;
using test::runsOf;

struct TextCase {
    const char* name;
    QByteArray rtf;
    QString text;
};

void PrintTo(const TextCase& c, std::ostream* os) { *os << c.name; }

class ReaderText : public ::testing::TestWithParam<TextCase> {};

TEST_P(ReaderText, GivesTheVisibleText) {
    EXPECT_EQ(plainOf(GetParam().rtf), GetParam().text);
}

const QString kKonnichiwa = QString::fromUtf8("こんにちは");

INSTANTIATE_TEST_SUITE_P(
    Decoding, ReaderText,
    ::testing::Values(
        TextCase{"ascii", "{\\rtf1\\ansi Hello world}", "Hello world"},
        TextCase{"pairs under ansicpg932",
                 "{\\rtf1\\ansi\\ansicpg932 \\'82\\'b1\\'82\\'f1\\'82\\'c9\\'82\\'bf\\'82\\'cd}",
                 kKonnichiwa},
        TextCase{"pairs under a charset 128 font",
                 "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fnil\\fcharset128 MS Mincho;}}"
                 "\\f0 \\'82\\'b1\\'82\\'f1}",
                 QString::fromUtf8("こん")},
        TextCase{"a western font overrides ansicpg932",
                 "{\\rtf1\\ansi\\ansicpg932{\\fonttbl{\\f0\\fswiss\\fcharset0 Arial;}}\\f0 caf\\'e9}",
                 QString::fromUtf8("café")},
        TextCase{"plain ASCII trail byte after an escaped lead",
                 // 0x81 0x66 is U+2019 ’ in CP932.
                 "{\\rtf1\\ansi\\ansicpg932 \\'81f}", QString::fromUtf8("’")},
        TextCase{"escaped backslash as trail byte",
                 // 0x83 0x5C is ソ.
                 "{\\rtf1\\ansi\\ansicpg932 \\'83\\\\}", QString::fromUtf8("ソ")},
        TextCase{"pair split across groups",
                 "{\\rtf1\\ansi\\ansicpg932 {\\b \\'82}{\\'a0}}", QString::fromUtf8("あ")},
        TextCase{"half-width katakana byte",
                 "{\\rtf1\\ansi\\ansicpg932 \\'b1\\'b2}", QString::fromUtf8("ｱｲ")},
        TextCase{"unicode with one-byte fall-back", "{\\rtf1\\ansi\\uc1\\u12354?x}",
                 QString::fromUtf8("あx")},
        TextCase{"LibreOffice: unicode with escaped fall-back",
                 "{\\rtf1\\ansi\\u12354\\'3f\\u12356\\'3f}", QString::fromUtf8("あい")},
        TextCase{"negative value; unsigned value above 32767", "{\\rtf1\\ansi\\u-3?\\u65288?}",
                 QString::fromUtf8("\xEF\xBF\xBD（")},
        TextCase{"surrogate pair joins", "{\\rtf1\\ansi\\u-10174?\\u-8289?}",
                 QString::fromUcs4(U"\U00020B9F")},
        TextCase{"lone surrogate replaced", "{\\rtf1\\ansi\\u-10179?x}",
                 QString::fromUtf8("\xEF\xBF\xBDx")},
        TextCase{"Word for Mac: uc2 skips a double-byte fall-back",
                 "{\\rtf1\\mac\\ansicpg10000\\uc2\\u12371\\'82\\'b1end}",
                 QString::fromUtf8("こend")},
        TextCase{"uc0 skips nothing", "{\\rtf1\\ansi\\uc0\\u12354 ab}", QString::fromUtf8("あab")},
        TextCase{"uc is scoped to its group",
                 "{\\rtf1\\ansi{\\uc2 \\u12354 xy}\\u12356 zw}", QString::fromUtf8("あいw")},
        TextCase{"uc holds in nested groups and ends with its own",
                 "{\\rtf1\\ansi\\ansicpg932\\uc1{\\uc2{\\b\\u28450\\'8a\\'bf}\\u23383\\'8e\\'9a}"
                 "\\u9731\\'3fx}",
                 QString::fromUtf8("漢字☃x")},
        TextCase{"fall-back skip stops at a brace",
                 "{\\rtf1\\ansi{\\uc3\\u12354 a}bc}", QString::fromUtf8("あbc")},
        TextCase{"fall-back skip counts a control word as one",
                 "{\\rtf1\\ansi\\uc2\\u12354\\b\\'a0x}", QString::fromUtf8("あx")},
        TextCase{"fall-back skip counts bin data as one",
                 "{\\rtf1\\ansi\\uc2\\u12354\\bin3 {}}?x}", QString::fromUtf8("あx")},
        TextCase{"code page 949, 936 and 950 pairs",
                 "{\\rtf1\\ansi{\\fonttbl{\\f1\\fcharset129 Gulim;}{\\f2\\fcharset134 SimSun;}"
                 "{\\f3\\fcharset136 MingLiU;}}\\f1 \\'c7\\'d1\\f2 \\'d6\\'d0\\f3 \\'a4\\'a4}",
                 QString::fromUtf8("한中中")},
        TextCase{"mac roman", "{\\rtf1\\mac \\'8e}", QString::fromUtf8("é")},
        TextCase{"dbch font decodes pairs beside a western font",
                 "{\\rtf1\\ansi\\ansicpg1252{\\fonttbl{\\f0\\froman\\fcharset0 Times;}"
                 "{\\f1\\fnil\\fcharset128 MS Mincho;}}\\f0\\dbch\\af1\\loch A\\'82\\'a0}",
                 QString::fromUtf8("Aあ")},
        TextCase{"bare u is no character and starts no fall-back",
                 "{\\rtf1\\ansi b\\u \\u12354 xy}", QString::fromUtf8("bあy")},
        TextCase{"unknown font uses the document code page",
                 "{\\rtf1\\ansi\\ansicpg932\\f7 \\'82\\'a0}", QString::fromUtf8("あ")}));

INSTANTIATE_TEST_SUITE_P(
    Structure, ReaderText,
    ::testing::Values(
        TextCase{"paragraphs; the last mark opens no paragraph",
                 "{\\rtf1\\ansi a\\par b\\par\r\n}", "a\nb"},
        TextCase{"an empty last paragraph is kept", "{\\rtf1\\ansi a\\par\\par}", "a\n"},
        TextCase{"line break, tab, page", "{\\rtf1\\ansi a\\line b\\tab c\\page d}",
                 QStringLiteral("a\u2028b\tc\nd")},
        TextCase{"TextEdit: backslash newline is a paragraph", "{\\rtf1\\ansi a\\\nb\\\r\nc}",
                 "a\nb\nc"},
        TextCase{"line ends in the file are not text", "{\\rtf1\\ansi a\r\nb\nc}", "abc"},
        TextCase{"special characters",
                 "{\\rtf1\\ansi \\emdash\\endash\\lquote\\rquote\\ldblquote\\rdblquote\\bullet"
                 "\\~\\-\\_\\emspace\\enspace\\\\\\{\\}}",
                 QString::fromUtf8("—–‘’“”•\xC2\xA0\xC2\xAD‑\xE2\x80\x83\xE2\x80\x82\\{}")},
        TextCase{"table cells and rows as separators",
                 "{\\rtf1\\ansi\\trowd\\cellx100\\cellx200 a\\cell b\\cell\\row"
                 "\\trowd c\\cell\\cell d\\cell\\row}",
                 "a\tb\nc\t\td"},
        TextCase{"field result kept, instruction skipped",
                 "{\\rtf1\\ansi {\\field{\\*\\fldinst HYPERLINK \"http://x\"}{\\fldrslt link}}}",
                 "link"},
        TextCase{"skipped destinations",
                 "{\\rtf1\\ansi{\\info{\\title T}{\\author A}}{\\stylesheet{\\s0 Normal;}}"
                 "{\\header H}{\\footer F}{\\*\\generator G;}{\\*\\unknownthing U}"
                 "{\\footnote N}{\\*\\annotation X}{\\listtext 1.}{\\*\\themedata 0a0b}"
                 "{\\*\\revtbl {Unknown;}}text}",
                 "text"},
        TextCase{"nested-table fall-back skipped", "{\\rtf1\\ansi a{\\nonesttables\\par }b}", "ab"},
        TextCase{"picture hex and bin data skipped",
                 "{\\rtf1\\ansi a{\\pict\\pngblip 89504e47}b{\\pict\\bin4 }{\\}}c}", "abc"},
        TextCase{"object result kept",
                 "{\\rtf1\\ansi{\\object\\objemb{\\*\\objclass Paint}{\\*\\objdata 0102}"
                 "{\\result R}}}",
                 "R"},
        TextCase{"upr takes its unicode part",
                 "{\\rtf1\\ansi{\\upr{\\'82\\'a0}{\\*\\ud{\\u12354?}}}}", QString::fromUtf8("あ")},
        TextCase{"font table text is not document text",
                 "{\\rtf1\\ansi{\\fonttbl\\f0\\fswiss Arial;\\f1\\froman Times;}x}", "x"},
        TextCase{"text after the final brace is ignored", "{\\rtf1\\ansi a}trailing {b}", "a"},
        TextCase{"unclosed groups closed at the end", "{\\rtf1\\ansi a{\\b b{\\i c", "abc"},
        TextCase{"leading white space before the header", "  \r\n{\\rtf1 x}", "x"}));

// Ruby arrives as an equation field whose result is empty: the base stays.
const QByteArray kLibreOfficeRuby =
    "{\\rtf1\\ansi\\deff0{\\dbch\\u12371\\'3f\\u12428\\'3f\\u12399\\'3f}{\\dbch{\\field{\\*\\fldinst "
    "{ EQ \\\\* jc0 \\\\* \"Font:Noto Serif CJK SC\" \\\\* hps12 \\\\o(\\\\s\\\\up 10("
    "\\u12363\\'3f\\u12435\\'3f\\u12376\\'3f),\\u28450\\'3f\\u23383\\'3f)}}{\\fldrslt {}}}}"
    "{\\dbch\\u12391\\'3f\\u12377\\'3f}\\par}";

QByteArray equationField(const char* instruction, const char* result = "{\\fldrslt }") {
    return QByteArray("{\\rtf1\\ansi\\ansicpg932 a{\\field{\\*\\fldinst ") + instruction + "}" + result +
           "}b}";
}

INSTANTIATE_TEST_SUITE_P(
    Fields, ReaderText,
    ::testing::Values(
        TextCase{"LibreOffice ruby", kLibreOfficeRuby, QString::fromUtf8("これは漢字です")},
        TextCase{"Word ruby in Shift-JIS bytes, instruction in pieces",
                 equationField("{\\f1 EQ \\\\* jc2 \\\\* \"Font:\\'82\\'6c\\'82\\'72 \\'96\\'be\\'92\\'a9\" "
                               "\\\\* hps10 \\\\o\\\\ad(}{\\\\s\\\\up 9(\\'82\\'a9\\'82\\'f1\\'82\\'b6),}"
                               "{\\'8a\\'bf\\'8e\\'9a)}"),
                 QString::fromUtf8("a漢字b")},
        TextCase{"ruby aligned left, lowered, without a space",
                 equationField("eq \\\\o\\\\al(\\\\s\\\\do-4(x),base)"), "abaseb"},
        TextCase{"LibreOffice leaves parentheses and commas unescaped",
                 equationField(" EQ \\\\o(\\\\s\\\\up 10(x)y),a(b),c)"), "aa(b),cb"},
        TextCase{"escaped parentheses and commas",
                 equationField("EQ \\\\o\\\\ad(\\\\s\\\\up 9(r\\\\)),\\\\(k\\\\,j\\\\))"), "a(k,j)b"},
        TextCase{"text after the ruby",
                 equationField("EQ \\\\o(\\\\s\\\\up 9(x),y) z\\\\,"), "ay z,b"},
        TextCase{"a result with text is kept instead",
                 equationField("EQ \\\\o(\\\\s\\\\up 9(x),y)", "{\\fldrslt shown}"), "ashownb"},
        TextCase{"no result group", equationField("EQ \\\\o(\\\\s\\\\up 9(x),y)", ""), "ayb"},
        TextCase{"other fields with an empty result show nothing", equationField("PAGE \\\\* roman"), "ab"},
        TextCase{"other equations keep their text",
                 equationField("EQ \\\\f(1,2) \\\\s\\\\up 8(3)\\\\b\\\\lc\\\\[(k) \\\\o\\\\ac(\\'81\\'9b,\\'8e\\'9a)"),
                 QString::fromUtf8("a1/2 3k ○字b")},
        TextCase{"a nested field's result is part of the instruction",
                 equationField("EQ \\\\o(\\\\s\\\\up 9(x),{\\field{\\*\\fldinst PAGE}{\\fldrslt 7}})"), "a7b"}));

INSTANTIATE_TEST_SUITE_P(
    Damaged, ReaderText,
    ::testing::Values(
        TextCase{"invalid hex escape", "{\\rtf1\\ansi a\\'zzb}",
                 QString::fromUtf8("a\xEF\xBF\xBDzzb")},
        TextCase{"half a hex escape at the end", "{\\rtf1\\ansi a\\'4",
                 QString::fromUtf8("a\xEF\xBF\xBD")},
        TextCase{"unmapped CP932 pair", "{\\rtf1\\ansi\\ansicpg932 \\'85\\'40x}",
                 QString::fromUtf8("\xEF\xBF\xBDx")},
        TextCase{"lead byte then paragraph", "{\\rtf1\\ansi\\ansicpg932 \\'82\\par x}",
                 QString::fromUtf8("\xEF\xBF\xBD\nx")},
        TextCase{"lead byte before digits keeps them", "{\\rtf1\\ansi\\ansicpg932 \\'8212345}",
                 QString::fromUtf8("\xEF\xBF\xBD" "12345")},
        TextCase{"lead byte before a blank keeps it", "{\\rtf1\\ansi\\ansicpg932 \\'82 word}",
                 QString::fromUtf8("\xEF\xBF\xBD word")},
        TextCase{"lead byte at the end", "{\\rtf1\\ansi\\ansicpg932 x\\'82}",
                 QString::fromUtf8("x\xEF\xBF\xBD")},
        TextCase{"huge parameters are clamped", "{\\rtf1\\ansi\\fs99999999999999\\u99999999999? a}",
                 QString::fromUtf8("\xEF\xBF\xBD a")},
        TextCase{"overlong control word ignored",
                 QByteArray("{\\rtf1\\ansi \\") + QByteArray(5000, 'x') + " a}", "a"},
        TextCase{"bin length beyond the end", "{\\rtf1\\ansi a\\bin999999 xyz", "a"},
        TextCase{"frame markers are not structure", "{\\rtf1\\ansi \\u-560?\\u-559?}",
                 QString::fromUtf8("\xEF\xBF\xBD\xEF\xBF\xBD")},
        TextCase{"stray closing braces end the document", "{\\rtf1 a}}}b", "a"},
        TextCase{"equation without its closing parentheses",
                 equationField("EQ \\\\o\\\\ad(\\\\s\\\\up 9(x),y"), "ayb"},
        TextCase{"equation with only a ruby", equationField("EQ \\\\o(\\\\s\\\\up 9(x"), "axb"},
        TextCase{"equation with stray parentheses and backslashes",
                 equationField("EQ ))\\\\o((,)\\\\ \\\\\\\\ \\\\up\\\\"), "a))(,) \\b"},
        TextCase{"equation with an unclosed quoted switch", equationField("EQ \\\\* \"Font:x \\\\o(y)"), "ab"},
        TextCase{"field cut off in its instruction", "{\\rtf1 a{\\field{\\*\\fldinst EQ \\\\o(\\\\s(x),y",
                 "ay"}));

TEST(Reader, NotRichTextLeavesTheDocumentUntouched) {
    for (const QByteArray& bytes : {QByteArray("hello"), QByteArray("{\\rt"), QByteArray(),
                                   QByteArray("x{\\rtf1 a}"), QByteArray("{\\RTF1 a}")}) {
        QTextDocument doc;
        doc.setPlainText("keep");
        EXPECT_FALSE(readRichText(bytes, doc)) << bytes.constData();
        EXPECT_EQ(doc.toPlainText(), "keep");
    }
}

// Whether the outermost group closes: every cut of a written file is
// caught, whatever braces its escapes and binary data hold.
TEST(Reader, WholeRichTextIsTheOneWhoseOuterGroupCloses) {
    QTextDocument doc;
    QTextCursor c(&doc);
    c.insertText(QString::fromUtf8("本文 {括弧} と \\ 記号\n二行目"));
    // A written file, and a recovery copy with its fields group, escapes and
    // "\bin" data holding braces.
    const QByteArray samples[] = {
        writeRichText(doc),
        recovery::withFields("{\\rtf1\\ansi{\\fonttbl{\\f0 x;}}\\pard a\\{b\\}c\\\\{\\b d}{\\*\\pic\\bin3 }}{}\\par}\r\n",
                             {QStringLiteral("c"), QStringLiteral("g"), QStringLiteral("f"), QStringLiteral("p")}),
    };
    for (const QByteArray& written : samples) {
        ASSERT_TRUE(isWholeRichText(written)) << written.constData();
        // Cuts that keep the last closing brace lose only the line end after it.
        const qsizetype end = written.lastIndexOf('}');
        for (qsizetype cut = 0; cut <= end; ++cut)
            if (isWholeRichText(written.left(cut))) ADD_FAILURE() << "cut at " << cut << " of " << written.size();
        EXPECT_TRUE(isWholeRichText(written.left(end + 1)));
    }

    const std::pair<QByteArray, bool> cases[] = {
        {"{\\rtf1 a\\}b}", true},
        {"{\\rtf1 a\\}b", false},
        {"{\\rtf1 {\\*\\x y}\\{}", true},
        {QByteArray("{\\rtf1 \\bin3 }}}x"), false},
        {QByteArray("{\\rtf1 \\bin3 }}}}"), true},
        {"  \r\n{\\rtf1 a}trailing", true},
        {"plain text", false},
        {"plain text {}", false},
        {"", false},
    };
    for (const auto& [bytes, whole] : cases) EXPECT_EQ(isWholeRichText(bytes), whole) << bytes.constData();
}

TEST(Reader, DeepNestingNeitherCrashesNorLosesText) {
    QByteArray rtf = "{\\rtf1\\ansi ";
    for (int i = 0; i < 200000; ++i) rtf += "{\\b ";
    rtf += "deep";
    for (int i = 0; i < 200000; ++i) rtf += "}";
    rtf += " after}";
    EXPECT_EQ(plainOf(rtf), "deep after");
}

// Equations nested past any sensible depth, and instructions longer than
// any real one, are read as far as they go.
TEST(Reader, DeepEquationsNeitherCrashNorHang) {
    const auto field = [](const QByteArray& inst) {
        return "{\\rtf1\\ansi a{\\field{\\*\\fldinst EQ " + inst + "}{\\fldrslt }}b}";
    };
    QByteArray nested;
    for (int i = 0; i < 500; ++i) nested += "\\\\o\\\\ad(\\\\s\\\\up 9(r),";
    nested += "x" + QByteArray(500, ')');
    const QString text = plainOf(field(nested));
    EXPECT_TRUE(text.startsWith('a') && text.endsWith('b') && text.contains('x')) << text.left(80).toStdString();
    EXPECT_EQ(plainOf(field(QByteArray(200000, '('))).left(3), "a((");
    EXPECT_EQ(plainOf(field("\\\\s(" + QByteArray(200000, ',') + ")")), "ab");
    QByteArray switches;
    for (int i = 0; i < 50000; ++i) switches += "\\\\s\\\\up 9";
    EXPECT_EQ(plainOf(field(switches + "(y)")), "ab");
}

TEST(Reader, HugeTablesAreCapped) {
    QByteArray rtf = "{\\rtf1\\ansi{\\fonttbl";
    for (int i = 0; i < 100000; ++i) rtf += "{\\f" + QByteArray::number(i) + " F;}";
    rtf += "}{\\colortbl";
    for (int i = 0; i < 100000; ++i) rtf += "\\red1;";
    rtf += "}\\f99999\\cf99999 x}";
    EXPECT_EQ(plainOf(rtf), "x");
}

TEST(Reader, UndoIsNotBurdenedAndIsRestored) {
    QTextDocument doc;
    ASSERT_TRUE(doc.isUndoRedoEnabled());
    readRichText("{\\rtf1\\ansi a\\par b}", doc);
    EXPECT_TRUE(doc.isUndoRedoEnabled());
    EXPECT_FALSE(doc.isUndoAvailable());
}

// --- formatting

// A run in Arial 12 unless told; marks: b(old) i(talic) u(nderline) s(trike).
test::Run run(const char* text, const char* marks = "", double points = 12,
              const char* family = "Arial", QColor fg = {}, QColor bg = {}) {
    const QByteArray m(marks);
    return test::Run{QString::fromUtf8(text), QString::fromUtf8(family), points, m.contains('b'),
                     m.contains('i'), m.contains('u'), m.contains('s'), fg, bg};
}

struct FormatCase {
    const char* name;
    QByteArray rtf;
    std::vector<test::Run> runs;
};

void PrintTo(const FormatCase& c, std::ostream* os) { *os << c.name; }

class ReaderFormat : public ::testing::TestWithParam<FormatCase> {};

TEST_P(ReaderFormat, KeepsTheRuns) {
    QTextDocument doc;
    readRichText(GetParam().rtf, doc);
    EXPECT_EQ(runsOf(doc), GetParam().runs);
}

const QColor kRed(255, 0, 0);
const QColor kBlue(0, 0, 255);

INSTANTIATE_TEST_SUITE_P(
    Properties, ReaderFormat,
    ::testing::Values(
        FormatCase{"character properties and their off forms",
                   "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fswiss Arial;}{\\f1\\fmodern Courier New;}}"
                   "{\\colortbl;\\red255\\green0\\blue0;\\red0\\green0\\blue255;}"
                   "a\\b b\\b0 c\\i d\\i0\\ul e\\ulnone\\strike f\\strike0\\ulwave g\\ul0 "
                   "\\f1\\fs40 h\\plain i\\cf1 j\\cf0\\highlight2 k\\highlight0\\cb1 l}",
                   {run("a"), run("b", "b"), run("c"), run("d", "i"), run("e", "u"), run("f", "s"),
                    run("g", "u"), run("h", "", 20, "Courier New"), run("i"), run("j", "", 12, "Arial", kRed),
                    run("k", "", 12, "Arial", {}, kBlue), run("l", "", 12, "Arial", {}, kRed)}},
        FormatCase{"groups restore their parent's properties",
                   "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0 a{\\b\\i b{\\ul c}d}e}",
                   {run("a"), run("b", "bi"), run("c", "biu"), run("d", "bi"), run("e")}},
        FormatCase{"colour zero and missing entries are automatic",
                   "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}{\\colortbl;\\red10\\green20\\blue30;}"
                   "\\cf0 a\\cf7 b\\cf1 c}",
                   {run("ab"), run("c", "", 12, "Arial", QColor(10, 20, 30))}},
        FormatCase{"a first colour entry that is not empty is colour zero",
                   "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}{\\colortbl\\red10\\green20\\blue30;"
                   "\\red255\\green0\\blue0;}a\\cf1 b\\cf0 c}",
                   {run("a"), run("b", "", 12, "Arial", kRed), run("c", "", 12, "Arial", QColor(10, 20, 30))}},
        FormatCase{"groups past the depth cap leave their parent's state alone",
                   "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}" + QByteArray(999, '{') +
                       "{\\*\\foo x}visible{\\b}plain" + QByteArray(999, '}') + "}",
                   {run("visibleplain")}},
        FormatCase{"font size defaults to twelve points",
                   "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}a\\fs19 b\\fs c}",
                   {run("a"), run("b", "", 9.5), run("c")}}));

// Word's paragraph settings end in \dbch\af11; its runs then name their
// complex-script and western fonts, which must not replace the double-byte one.
const QByteArray kWordJapanese =
    "{\\rtf1\\ansi\\ansicpg932\\deff0{\\fonttbl{\\f0\\froman\\fcharset0 Times New Roman;}"
    "{\\f11\\fnil\\fcharset128 MS Mincho;}}\\pard\\plain \\rtlch\\fcs1 \\af0\\afs24 "
    "\\ltrch\\fcs0 \\fs24\\loch\\af0\\hich\\af0\\dbch\\af11 ";

// Arial for the western text, MS Mincho (f1) and MS Gothic (f2) for Japanese.
const QByteArray kTwoFonts =
    "{\\rtf1\\ansi\\ansicpg932\\deff0{\\fonttbl{\\f0\\fswiss\\fcharset0 Arial;}"
    "{\\f1\\fnil\\fcharset128 MS Mincho;}{\\f2\\fnil\\fcharset128 MS Gothic;}}";

INSTANTIATE_TEST_SUITE_P(
    DoubleByteFont, ReaderFormat,
    ::testing::Values(
        FormatCase{"unicode Japanese takes the dbch font, other text the run's",
                   kTwoFonts + "\\f0\\loch\\af0\\hich\\af0\\dbch\\af1\\loch AB\\u28450\\'3f\\u12354\\'3f "
                               "\\u233\\'3f\\u9731\\'3f\\u-10179\\'3f\\u-8704\\'3f"
                               "\\u-10174\\'3f\\u-8265\\'3f\\u-143\\'3f}",
                   {run("AB"), run("漢あ", "", 12, "MS Mincho"), run(" é☃😀"), run("𠮷ｱ", "", 12, "MS Mincho")}},
        FormatCase{"pairs in a Japanese western font take the dbch font",
                   kTwoFonts + "\\hich\\af2\\dbch\\af1\\loch\\f2 A\\'8a\\'bf}",
                   {run("A", "", 12, "MS Gothic"), run("漢", "", 12, "MS Mincho")}},
        FormatCase{"dbch announces double-byte text",
                   kTwoFonts + "\\f0\\dbch\\af1 \\u945\\'3f\\loch\\u945\\'3f}",
                   {run("α", "", 12, "MS Mincho"), run("α")}},
        FormatCase{"a dbch font the table lacks is not used; plain forgets the dbch font",
                   kTwoFonts + "\\f0\\dbch\\af7 \\u28450\\'3f\\dbch\\af1 \\u28450\\'3f"
                               "\\plain \\u28450\\'3f}",
                   {run("漢"), run("漢", "", 12, "MS Mincho"), run("漢")}},
        FormatCase{"our own form: the same font for every kind of text",
                   kTwoFonts + "\\f2\\loch\\af2\\hich\\af2\\dbch\\af2 A\\uc2\\u28450\\'8a\\'bf"
                               "\\f0\\loch\\af0\\hich\\af0\\dbch\\af0 B}",
                   {run("A漢", "", 12, "MS Gothic"), run("B")}},
        FormatCase{"Word: af after rtlch names the complex-script font",
                   kWordJapanese + "{\\rtlch\\fcs1 \\af0 \\ltrch\\fcs0 \\'82\\'b1\\'82\\'f1}\\par}",
                   {run("こん", "", 12, "MS Mincho")}},
        FormatCase{"Word: f after ltrch names the western font",
                   kWordJapanese + "{\\ltrch\\fcs0 \\f0 \\'82\\'b1\\'82\\'f1}\\par}",
                   {run("こん", "", 12, "MS Mincho")}}));

// The base of a ruby shows in the format the field's instruction began in:
// the enclosing run's (LibreOffice), or the instruction's own (Word).
INSTANTIATE_TEST_SUITE_P(
    Fields, ReaderFormat,
    ::testing::Values(
        FormatCase{"the enclosing run's format",
                   kTwoFonts + "a{\\b\\f1 {\\field{\\*\\fldinst EQ \\\\o\\\\ad(\\\\s\\\\up 9(x),"
                               "\\u28450\\'3f)}{\\fldrslt }}}b}",
                   {run("a"), run("漢", "b", 12, "MS Mincho"), run("b")}},
        FormatCase{"the instruction's own format",
                   kTwoFonts + "a{\\field{\\*\\fldinst {\\i\\fs40\\f2 EQ \\\\o\\\\ad(\\\\s\\\\up 9(x),"
                               "\\'8a\\'bf)}}{\\fldrslt }}b}",
                   {run("a"), run("漢", "i", 20, "MS Gothic"), run("b")}},
        FormatCase{"LibreOffice: Asian bold and font after dbch",
                   kTwoFonts + "{\\hich\\af0\\loch\\f0\\dbch\\ab\\af1\\dbch {\\field{\\*\\fldinst "
                               "{ EQ \\\\* jc3 \\\\* hps12 \\\\o\\\\al(\\\\s\\\\up 10(x),\\u28450\\'3f)}}"
                               "{\\fldrslt {}}}}b}",
                   {run("漢", "b", 12, "MS Mincho"), run("b")}}));

TEST(ReaderFonts, NamesAsWrittenIncludingBytesInTheirCodePage) {
    QTextDocument doc;
    // ＭＳ Ｐゴシック in CP932 bytes, with a panose and an alternative name inside the entry.
    readRichText("{\\rtf1\\ansi\\ansicpg1252{\\fonttbl{\\f0\\fnil\\fcharset128"
                 "{\\*\\panose 020b0600070205080204}\\'82\\'6c\\'82\\'72 \\'82\\'6f\\'83\\'53"
                 "\\'83\\'56\\'83\\'62\\'83\\'4e{\\*\\falt MS PGothic};}"
                 "{\\f1 FixedSys;}{\\f2\\fnil\\fcharset0 \\u-211\\'3f\\u-205\\'3f\\u32\\'3f"
                 "\\u12468\\'3f\\u12471\\'3f\\u12483\\'3f\\u12463\\'3f;}}\\f0 a\\f1 b\\f9 c\\f2 d}",
                 doc);
    const auto runs = runsOf(doc);
    ASSERT_EQ(runs.size(), 4u);
    EXPECT_EQ(runs[0].family, QString::fromUtf8("ＭＳ Ｐゴシック"));
    EXPECT_EQ(runs[1].family, "FixedSys");
    // A font the table lacks: the document's default family.
    EXPECT_EQ(runs[2].family, doc.defaultFont().family());
    // A name written as \uN (LibreOffice).
    EXPECT_EQ(runs[3].family, QString::fromUtf8("ＭＳ ゴシック"));
}

TEST(ReaderFonts, RunsStayLargeWhenFormatsRepeat) {
    QTextDocument doc;
    QByteArray rtf = "{\\rtf1\\ansi ";
    for (int i = 0; i < 1000; ++i) rtf += "{\\b0 word }";
    rtf += "}";
    readRichText(rtf, doc);
    int fragments = 0;
    for (auto it = doc.begin().begin(); !it.atEnd(); ++it) ++fragments;
    EXPECT_EQ(fragments, 1);
}

} // namespace
} // namespace tess
