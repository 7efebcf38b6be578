// The writer: its output shape for old readers, and round trips through the
// reader that keep text and formats run for run.

#include "testsupport.h"

#include "core/cp932.h"

#include <gtest/gtest.h>

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

// The document written and read back.
QString rawRoundTrip(const QTextDocument& doc, int* blocks = nullptr) {
    QTextDocument back;
    EXPECT_TRUE(readRichText(writeRichText(doc), back));
    if (blocks) *blocks = back.blockCount();
    return back.toRawText();
}

std::vector<test::Run> roundTrip(const QTextDocument& doc, QByteArray* rtf = nullptr) {
    const QByteArray bytes = writeRichText(doc);
    if (rtf) *rtf = bytes;
    QTextDocument back;
    EXPECT_TRUE(readRichText(bytes, back));
    return runsOf(back);
}

// Old readers need the Shift-JIS header and font table, and nothing but
// ASCII: Shift-JIS as byte pairs, the rest as \u with a fall-back, and
// braces, backslashes and controls escaped.
TEST(Writer, OutputForOldReaders) {
    const struct {
        QString text;
        QByteArray piece;
    } cases[] = {
        {QString::fromUtf8("AあｱB"), "A\\'82\\'a0\\'b1B"},
        {QString::fromUtf8("é한") + QString::fromUcs4(U"\U0001F600"), "\\u233?\\u-10916?\\u-10179?\\u-8704?"},
        {QString::fromUtf8("{a}\\b\tc") + QChar(0x01) + QChar::LineSeparator + "d",
         "\\{a\\}\\\\b\\tab c\\'01\\line d"},
    };
    for (const auto& c : cases) {
        QTextDocument doc;
        QTextCursor(&doc).insertText(c.text, fmt("ＭＳ Ｐゴシック", 10.5));
        const QByteArray rtf = writeRichText(doc);
        SCOPED_TRACE(rtf.constData());
        EXPECT_TRUE(rtf.contains(c.piece));
        EXPECT_TRUE(rtf.startsWith("{\\rtf1\\ansi\\ansicpg932\\deff0"));
        // The Japanese font name in Shift-JIS bytes, with the Japanese charset.
        EXPECT_TRUE(rtf.contains("\\fcharset128 \\'82\\'6c\\'82\\'72 \\'82\\'6f\\'83\\'53\\'83\\'56"
                                 "\\'83\\'62\\'83\\'4e;}"));
        EXPECT_TRUE(rtf.contains("\\fs21 "));
        EXPECT_TRUE(rtf.endsWith("}\r\n"));
        for (char ch : rtf) ASSERT_LT(uchar(ch), 0x80);
    }
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
// pieces are the same bytes, cut at paragraph ends, and a refused piece stops
// the writer.
TEST(Writer, PiecesAreTheWholeTextCutAtParagraphEnds) {
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
    for (qsizetype i = 0; i + 1 < pieces.size(); ++i) EXPECT_TRUE(pieces[i].endsWith("\\par\r\n")) << i;
    int offered = 0;
    EXPECT_FALSE(writeRichText(snap, [&](QByteArrayView) { return ++offered < 2; }));
    EXPECT_EQ(offered, 2);
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

} // namespace
} // namespace tess
