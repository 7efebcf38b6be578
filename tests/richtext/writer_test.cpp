// The writer: its output shape for old readers, and round trips through the
// reader that keep text and formats run for run.

#include "testsupport.h"

#include "core/cp932.h"
#include "richtext/softbreaks.h"

#include <gtest/gtest.h>

#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextCursor>

namespace tess {
namespace {

using test::runsOf;

QTextCharFormat fmt(const char* family, double points) {
    QTextCharFormat f;
    f.setFontFamilies({QString::fromUtf8(family)});
    f.setFontPointSize(points);
    return f;
}

// The document written and read back, paragraph ends as U+2029 (those the
// reader put in to show a long paragraph in pieces left out).
QString rawRoundTrip(const QTextDocument& doc, int* blocks = nullptr) {
    QTextDocument back;
    EXPECT_TRUE(readRichText(writeRichText(doc), back));
    if (blocks) *blocks = back.blockCount();
    QTextCursor all(&back);
    all.select(QTextCursor::Document);
    return soft_breaks::selectedText(all);
}

std::vector<test::Run> roundTrip(const QTextDocument& doc, QByteArray* rtf = nullptr) {
    const QByteArray bytes = writeRichText(doc);
    if (rtf) *rtf = bytes;
    QTextDocument back;
    EXPECT_TRUE(readRichText(bytes, back));
    return runsOf(back);
}

// Readers that know \u take it; older ones skip it and read the fall-back,
// the character's Shift-JIS bytes under the Shift-JIS header and font table.
// \uc gives the fall-back's length and is written only where it changes; a
// character CP932 lacks falls back to an escaped '?'.  Nothing but ASCII.
TEST(Writer, UnicodeWithShiftJisFallBack) {
    const struct {
        QString text;
        QByteArray piece;
    } cases[] = {
        {QString::fromUtf8("AあｱB"), "A\\uc2\\u12354\\'82\\'a0\\uc1\\u-143\\'b1B"},
        {QString::fromUtf8("漢字かな"), "\\uc2\\u28450\\'8a\\'bf\\u23383\\'8e\\'9a\\u12363\\'82\\'a9\\u12394\\'82\\'c8"},
        {QString::fromUtf8("語☃語"), "\\uc2\\u-30050\\'8c\\'ea\\uc1\\u9731\\'3f\\uc2\\u-30050\\'8c\\'ea"},
        {QString::fromUtf8("é한") + QString::fromUcs4(U"\U0001F600\U00020BB7"),
         "\\u233\\'3f\\u-10916\\'3f\\u-10179\\'3f\\u-8704\\'3f\\u-10174\\'3f\\u-8265\\'3f"},
        {QString::fromUtf8("{a}\\b\tc") + QChar(0x01) + QChar::LineSeparator + "d",
         "\\{a\\}\\\\b\\tab c\\'01\\line d"},
    };
    for (const auto& c : cases) {
        QTextDocument doc;
        QTextCursor(&doc).insertText(c.text, fmt("ＭＳ Ｐゴシック", 10.5));
        const QByteArray rtf = writeRichText(doc);
        SCOPED_TRACE(rtf.constData());
        EXPECT_TRUE(rtf.contains(c.piece));
        EXPECT_TRUE(rtf.startsWith("{\\rtf1\\ansi\\ansicpg932\\deff0\\uc1"));
        // The Japanese font name in Shift-JIS bytes, with the Japanese charset.
        EXPECT_TRUE(rtf.contains("\\fcharset128 \\'82\\'6c\\'82\\'72 \\'82\\'6f\\'83\\'53\\'83\\'56"
                                 "\\'83\\'62\\'83\\'4e;}"));
        EXPECT_TRUE(rtf.contains("\\fs21 "));
        EXPECT_TRUE(rtf.endsWith("}\r\n"));
        for (char ch : rtf) ASSERT_LT(uchar(ch), 0x80);
    }
}

// The text as a reader sees it that ignores \u and \uc: the fall-back bytes
// alone, which are the document's Shift-JIS ('?' where CP932 lacks a
// character, one for each half of a pair beyond the BMP).  Taken apart by
// hand, so that our own reader's skipping cannot hide a wrong count.
TEST(Writer, ReadersThatSkipUnicodeGetTheShiftJisText) {
    const QString text = QString::fromUtf8("日本語のテキスト、ｶﾀｶﾅ ASCII ①②Ⅲ ～－￥ é☃") +
                         QString::fromUcs4(U"\U00020BB7") + QString::fromUtf8("野家 終わり");
    QTextDocument doc;
    QTextCursor c(&doc);
    c.insertText(text.left(10));
    QTextCharFormat bold;
    bold.setFontWeight(QFont::Bold);
    c.insertText(text.mid(10), bold);
    const QByteArray rtf = writeRichText(doc);
    static const QRegularExpression unicodeWords(QStringLiteral("\\\\uc?-?[0-9]+"));
    const QByteArray old = QString::fromLatin1(rtf).remove(unicodeWords).toLatin1();
    ASSERT_FALSE(old.contains("\\u")) << old.constData();
    QString shiftJis;
    for (char32_t cp : text.toUcs4()) {
        char bytes[2];
        if (cp932::encodeChar(cp, bytes) > 0) shiftJis += QString::fromUcs4(&cp, 1);
        else shiftJis += cp > 0xFFFF ? "??" : "?";
    }
    EXPECT_EQ(test::plainOf(old), shiftJis) << rtf.constData();
    // And a Unicode reader gets every character.
    EXPECT_EQ(test::plainOf(rtf), text);
}

// Readers that keep a font for double-byte text apart (LibreOffice's Asian
// font) take it from \dbch\af: every font change names the run's font for
// each kind of character, the first run's too.
TEST(Writer, NamesTheFontForDoubleByteTextToo) {
    QTextDocument doc;
    QTextCursor c(&doc);
    c.insertText(QString::fromUtf8("明朝の文 "), fmt("ＭＳ 明朝", 12));
    c.insertText("Arial ", fmt("Arial", 12));
    c.insertText(QString::fromUtf8("また明朝"), fmt("ＭＳ 明朝", 12));
    const QByteArray rtf = writeRichText(doc);
    const QByteArray body = rtf.mid(rtf.indexOf("\\pard\\plain "));
    static const QRegularExpression font(QStringLiteral("\\\\f([0-9]+)(\\\\loch\\\\af([0-9]+)\\\\hich"
                                                        "\\\\af([0-9]+)\\\\dbch\\\\af([0-9]+))?"));
    QStringList named;
    for (const auto& m : font.globalMatch(QString::fromLatin1(body))) {
        EXPECT_EQ(m.captured(3), m.captured(1)) << body.constData();
        EXPECT_EQ(m.captured(4), m.captured(1));
        EXPECT_EQ(m.captured(5), m.captured(1));
        named << m.captured(1);
    }
    ASSERT_EQ(named.size(), 3) << body.constData();
    EXPECT_EQ(named[0], named[2]);
    EXPECT_NE(named[0], named[1]);
    EXPECT_TRUE(body.startsWith("\\pard\\plain \\f" + named[0].toLatin1() + "\\loch")) << body.constData();
}

TEST(WriterRoundTrip, TextOfEveryKindSurvives) {
    const QString text = QString::fromUtf8(
        "ASCII {braces} \\back\\slash\tTab ｶﾀｶﾅ 漢字かな混じり ①②Ⅲ ～－￥ "
        "éñü 한국어 中文 ") + QString::fromUcs4(U"\U00020B9F\U0001F600") +
        QChar::LineSeparator + QString::fromUtf8("next line") + QChar(0x00A0) + "end";
    QTextDocument doc;
    QTextCursor c(&doc);
    c.insertText(text);
    c.insertBlock();
    c.insertBlock();
    c.insertText("after two marks");
    c.insertBlock();  // a final empty paragraph is kept too
    int blocks = 0;
    EXPECT_EQ(rawRoundTrip(doc, &blocks), doc.toRawText());
    EXPECT_EQ(blocks, 4);
    // The empty document stays one empty paragraph.
    EXPECT_EQ(rawRoundTrip(QTextDocument(), &blocks), QString());
    EXPECT_EQ(blocks, 1);
}

TEST(WriterRoundTrip, FormatsRunForRun) {
    QTextDocument doc;
    QTextCursor c(&doc);
    QTextCharFormat f = fmt("FixedSys", 9.5);
    c.insertText("plain ", f);
    f.setFontWeight(QFont::Bold);
    c.insertText(QString::fromUtf8("太字 "), f);
    f.setFontItalic(true);
    f.setForeground(QColor(200, 10, 20));
    c.insertText("bold italic red ", f);
    QTextCharFormat g = fmt("ＭＳゴシック", 20);
    g.setFontUnderline(true);
    g.setBackground(QColor(255, 255, 0));
    c.insertText(QString::fromUtf8("下線"), g);
    c.insertBlock();
    g.setFontUnderline(false);
    g.setFontStrikeOut(true);
    g.setForeground(QColor(200, 10, 20));
    c.insertText("strike", g);
    QTextCharFormat h = fmt("Arial", 12);
    h.setUnderlineStyle(QTextCharFormat::WaveUnderline);
    c.insertText("wave", h);
    // Characters that end or break a font table name.
    c.insertText("odd name", fmt("A;B {x}\\y", 12));
    QByteArray rtf;
    EXPECT_EQ(roundTrip(doc, &rtf), runsOf(doc)) << rtf.constData();
    // Two runs share the red: one colour table entry.
    EXPECT_EQ(rtf.count("\\red200\\green10\\blue20;"), 1) << rtf.constData();
}

TEST(WriterRoundTrip, UnformattedDocumentTakesTheDefaultFont) {
    QTextDocument doc;
    QFont font(QStringLiteral("FixedSys"));
    font.setPointSize(11);
    doc.setDefaultFont(font);
    doc.setPlainText(QString::fromUtf8("一行目\n二行目"));
    const auto runs = roundTrip(doc);
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0].text, QString::fromUtf8("一行目\n二行目"));
    EXPECT_EQ(runs[0].family, "FixedSys");
    EXPECT_EQ(runs[0].points, 11);
}

TEST(WriterRoundTrip, TextRightAfterTheHeaderAndAfterFormatChanges) {
    // Letters and digits straight after a control word must not join it.
    for (const char* text : {"iscii", "0123", "-5 below", " lead blank", "\\par"}) {
        QTextDocument doc;
        QTextCursor c(&doc);
        QTextCharFormat f;
        f.setFontWeight(QFont::Bold);
        c.insertText(QString::fromUtf8(text));
        c.insertText(QString::fromUtf8(text), f);
        EXPECT_EQ(roundTrip(doc), runsOf(doc)) << text;
    }
}

// A document of several megabytes of RTF, written a piece at a time: the
// pieces are the same bytes, none much over a megabyte even for a paragraph
// of megabytes, and a refused piece stops the writer.
TEST(Writer, PiecesAreTheWholeTextAndNoneIsLarge) {
    QTextDocument doc;
    QTextCursor c(&doc);
    QTextCharFormat bold;
    bold.setFontWeight(QFont::Bold);
    for (int i = 0; i < 40000; ++i) {
        c.insertText(QString::fromUtf8("日本語の段落 %1 ").arg(i), i % 3 ? QTextCharFormat() : bold);
        c.insertBlock();
    }
    const RichTextSnapshot snap = takeRichTextSnapshot(doc);
    const QByteArray whole = writeRichText(snap);
    QList<QByteArray> pieces;
    ASSERT_TRUE(writeRichText(snap, [&](QByteArrayView p) {
        pieces << p.toByteArray();
        return true;
    }));
    ASSERT_GT(pieces.size(), 2);
    EXPECT_EQ(pieces.join(), whole);
    int offered = 0;
    EXPECT_FALSE(writeRichText(snap, [&](QByteArrayView) { return ++offered < 2; }));
    EXPECT_EQ(offered, 2);

    QTextDocument line;
    QTextCursor(&line).insertText(QString(2'000'000, QChar(u'行')));
    qsizetype largest = 0, total = 0;
    ASSERT_TRUE(writeRichText(takeRichTextSnapshot(line), [&](QByteArrayView p) {
        largest = std::max(largest, p.size());
        total += p.size();
        return true;
    }));
    EXPECT_GT(total, 20'000'000);
    EXPECT_LT(largest, 2'000'000);
}

TEST(WriterRoundTrip, EveryShiftJisCharacter) {
    // Every character CP932 can hold comes back as itself.
    QString all;
    for (int lead = 0x81; lead <= 0xFC; ++lead) {
        if (!cp932::isLeadByte(uchar(lead))) continue;
        for (int trail = 0x40; trail <= 0xFC; ++trail) {
            const char16_t ch = cp932::decodePair(uchar(lead), uchar(trail));
            if (ch != 0xFFFD) all.append(QChar(ch));
        }
    }
    ASSERT_GT(all.size(), 7000);
    QTextDocument doc;
    QTextCursor(&doc).insertText(all);
    EXPECT_EQ(rawRoundTrip(doc), all);
}

// pandoc reads \'hh as code page 1252 whatever the header says: it must get
// every character from \u, Japanese, half-width kana and characters CP932
// lacks alike, across bold runs and paragraphs.  (Characters beyond the BMP
// are left out: pandoc does not join surrogate pairs, whoever wrote them.)
TEST(WriterInterop, PandocReadsTheText) {
    const QString pandoc = QStandardPaths::findExecutable(QStringLiteral("pandoc"));
    if (pandoc.isEmpty()) GTEST_SKIP() << "pandoc is not installed";
    QTextDocument doc;
    QTextCursor c(&doc);
    c.insertText(QString::fromUtf8("使用量とASCII、☃ é ｶﾀｶﾅ "), fmt("ＭＳ 明朝", 10.5));
    QTextCharFormat bold = fmt("ＭＳ ゴシック", 10.5);
    bold.setFontWeight(QFont::Bold);
    c.insertText(QString::fromUtf8("太字の部分"), bold);
    c.insertText(" end", fmt("Arial", 10.5));
    c.insertBlock();
    c.insertText(QString::fromUtf8("二行目 ～－￥ ①"));
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("doc.rtf"));
    ASSERT_TRUE(test::writeBytes(path, writeRichText(doc)));
    QProcess p;
    p.start(pandoc, {"-f", "rtf", "-t", "plain", "--wrap=none", path});
    ASSERT_TRUE(p.waitForFinished(60000));
    EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().constData();
    EXPECT_EQ(QString::fromUtf8(p.readAllStandardOutput()),
              QString::fromUtf8("使用量とASCII、☃ é ｶﾀｶﾅ 太字の部分 end\n\n二行目 ～－￥ ①\n"));
}

} // namespace
} // namespace tess
