// A line far longer than a screen is shown in pieces, and nothing but the
// display knows: the file, the rich text and the plain text keep the line.

#include "richtext/softbreaks.h"
#include "testsupport.h"

#include <gtest/gtest.h>

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>

namespace tess {
namespace {

using text::Encoding;

QByteArray sjis(const QString& s) { return text::encode(s, Encoding::ShiftJis); }

// Japanese sentences without a line break, `chars` characters long.
QString longLine(int chars) { return test::repeatedTo(QStringLiteral("長い行を分けて表示します、保存は一行のまま。"), chars); }

QString hex(const QByteArray& b) { return QString::fromLatin1(b.toHex(' ').left(400)); }

void expectPieces(const QTextDocument& doc) {
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) EXPECT_LE(b.length() - 1, soft_breaks::kLongParagraph);
}

struct LongForm {
    const char* label;
    QByteArray bytes;
    Encoding encoding;
};

TEST(SoftBreaks, LongLinesWriteBackByteForByteAfterEditsAnywhere) {
    const QString line = longLine(30000);
    const std::vector<LongForm> forms = {
        {"Shift-JIS, a long line between short ones", sjis(QStringLiteral("前\r\n") + line + QStringLiteral("\r\n後\r\n")), Encoding::ShiftJis},
        {"UTF-8 without a line end, a bad byte far in (bytes kept)",
         line.left(20000).toUtf8() + "\xff" + line.mid(20000).toUtf8(), Encoding::Utf8},
        {"JIS: one escape at the start, none at the pieces",
         text::encode(line + QStringLiteral("\n"), Encoding::Iso2022Jp), Encoding::Iso2022Jp},
        {"a line of mixed ends: LF lines and one long CR LF line", QByteArray("a\nb\n") + sjis(line) + "\r\nc\n", Encoding::ShiftJis},
    };
    for (const LongForm& f : forms) {
        SCOPED_TRACE(f.label);
        QTextDocument doc;
        const PlainTextRead read = readPlainText(QByteArrayView(f.bytes), doc);
        ASSERT_EQ(int(read.format.encoding), int(f.encoding));
        expectPieces(doc);
        const std::vector<int> soft = soft_breaks::positions(doc);
        ASSERT_GE(soft.size(), 6u);
        EXPECT_EQ(hex(documentBytes(doc, read.format)), hex(f.bytes));

        // Typing at either side of a soft end and taking it back again.
        QTextCursor c(&doc);
        for (const int at : {soft[1], soft[1] + 1}) {
            c.setPosition(at);
            c.insertText(QStringLiteral("字"));
            c.deletePreviousChar();
        }
        EXPECT_EQ(hex(documentBytes(doc, read.format)), hex(f.bytes));

        // Enter at a piece's start is a line end of the file's own there.
        QString expected = soft_breaks::plainText(doc);
        const auto inFile = [&](int position) {
            const std::vector<int> now = soft_breaks::positions(doc);
            return position - int(std::lower_bound(now.begin(), now.end(), position) - now.begin());
        };
        const int enter = soft_breaks::positions(doc)[2] + 1;
        expected.insert(inFile(enter), u'\n');
        c.setPosition(enter);
        c.insertBlock();
        EXPECT_EQ(soft_breaks::plainText(doc).toStdU16String(), expected.toStdU16String());
        // Deleting across a soft end joins nothing the file had apart.
        const int end = soft_breaks::positions(doc)[3];
        expected.remove(inFile(end - 5), 10);
        c.setPosition(end - 5);
        c.setPosition(end + 6, QTextCursor::KeepAnchor);
        c.removeSelectedText();
        EXPECT_EQ(soft_breaks::plainText(doc).toStdU16String(), expected.toStdU16String());
        expectPieces(doc);
        // The pieces write out as the line, the new line end the usual one.
        QString written = text::decode(documentBytes(doc, read.format), read.format.encoding);
        written.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        EXPECT_EQ(written.toStdU16String(), expected.toStdU16String());
    }
}

TEST(SoftBreaks, PiecesNeverCutACharacterApart) {
    // Emoji (surrogate pairs), a base with combining marks, variation
    // selectors and joiners, and nothing that reads as a place to break.
    const QString unit = QStringLiteral("👨‍👩‍👧e\u0301\u0323葛\U000E0100😀");
    QString text;
    while (text.size() < 3 * soft_breaks::kLongParagraph) text += unit;
    const std::vector<int> cuts = soft_breaks::cuts(text);
    ASSERT_GE(cuts.size(), 4u);
    int last = 0;
    for (const int cut : cuts) {
        EXPECT_GT(cut, last);
        EXPECT_LE(cut - last, soft_breaks::kPiece);
        EXPECT_FALSE(text[cut].isLowSurrogate() || text[cut].isMark() || text[cut] == u'\u200D' ||
                     text[cut - 1] == u'\u200D')
            << cut;
        last = cut;
    }
    // Where the text has blanks or punctuation, a piece ends after one.
    const QString prose = longLine(20000);
    for (const int cut : soft_breaks::cuts(prose)) EXPECT_TRUE(prose[cut - 1] == u'、' || prose[cut - 1] == u'。') << cut;
    EXPECT_TRUE(soft_breaks::cuts(longLine(soft_breaks::kLongParagraph)).empty());
}

TEST(SoftBreaks, RichTextKeepsTheParagraphWhole) {
    QTextDocument doc;
    QTextCursor c(&doc);
    QTextCharFormat bold;
    bold.setFontWeight(QFont::Bold);
    c.insertText(longLine(12000));
    c.insertText(QStringLiteral("太字"), bold);
    c.insertText(longLine(12000));
    c.insertBlock();
    c.insertText(QStringLiteral("次の段落"));

    QTextDocument back;
    ASSERT_TRUE(readRichText(writeRichText(doc), back));
    expectPieces(back);
    EXPECT_GE(soft_breaks::positions(back).size(), 4u);
    // Written again from its pieces, it is the same two paragraphs, also
    // by way of the recovery copy's snapshots.
    EXPECT_EQ(writeRichText(back), writeRichText(doc));
    RichTextRuns runs;
    runs.follow(&back);
    EXPECT_EQ(writeRichText(runs.snapshot()), writeRichText(doc));
}


// Undo and redo bring back text with the paragraph ends it had: those that
// were soft are soft again, so the file keeps its one line.
TEST(SoftBreaks, UndoAndRedoBringSoftEndsBack) {
    const QString line = longLine(30000);
    QTextDocument doc;
    // A document tells its changes once it has a layout, as the editor's has.
    doc.documentLayout();
    QTextCursor c(&doc);
    c.insertText(QStringLiteral("前\n"));
    // A paste of the long line, split in the same undo step.
    const int from = c.position();
    c.beginEditBlock();
    c.insertText(line);
    c.endEditBlock();
    soft_breaks::split(doc, from, c.position());
    const size_t ends = soft_breaks::positions(doc).size();
    ASSERT_GE(ends, 6u);
    const QString whole = QStringLiteral("前\n") + line;
    doc.undo();
    EXPECT_EQ(soft_breaks::plainText(doc), QStringLiteral("前\n"));
    doc.redo();
    EXPECT_EQ(soft_breaks::plainText(doc), whole);
    EXPECT_EQ(soft_breaks::positions(doc).size(), ends);

    // A deletion across soft ends, undone, redone and undone again.
    const std::vector<int> at = soft_breaks::positions(doc);
    QTextCursor cut(&doc);
    cut.setPosition(at[1] - 3);
    cut.setPosition(at[3] + 3, QTextCursor::KeepAnchor);
    cut.removeSelectedText();
    EXPECT_EQ(soft_breaks::positions(doc).size(), ends - 3);
    for (int round = 0; round < 2; ++round) {
        doc.undo();
        EXPECT_EQ(soft_breaks::plainText(doc), whole) << round;
        EXPECT_EQ(soft_breaks::positions(doc), at) << round;
        if (round == 0) doc.redo();
    }
    // Typing in between leaves the ends where they are, and an Enter of the
    // user's own stays a line end.
    QTextCursor typing(&doc);
    typing.setPosition(at[2] + 1);
    typing.insertBlock();
    EXPECT_EQ(soft_breaks::plainText(doc).count(u'\n'), 2);
    doc.undo();
    doc.redo();
    EXPECT_EQ(soft_breaks::plainText(doc).count(u'\n'), 2);
}

} // namespace
} // namespace tess
