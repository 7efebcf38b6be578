// Plain-text files come back as they were: every byte form read into a
// document and written out again gives the same bytes, an edit changes only
// its own line, and a few bad bytes neither change the encoding nor get lost.

#include "testsupport.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

namespace tess {
namespace {

using text::Encoding;

QByteArray sjis(const char* utf8) { return text::encode(QString::fromUtf8(utf8), Encoding::ShiftJis); }
QByteArray euc(const char* utf8) { return text::encode(QString::fromUtf8(utf8), Encoding::EucJp); }
QByteArray utf16le(const char* utf8) { return text::encode(QString::fromUtf8(utf8), Encoding::Utf16Le); }

// Lines of every end, and a NEC code every few thousand lines, so that
// pieces of the file end in every way.
QByteArray longShiftJis() {
    QByteArray out;
    const char* ends[] = {"\r\n", "\n", "\r\n", "\r"};
    for (int i = 0; out.size() < 3 * 1024 * 1024; ++i) {
        out += sjis("行の文章です") + QByteArray::number(i) + (i % 4099 == 7 ? "\x87\x90" : "") + ends[i % 4];
    }
    return out;
}

struct Form {
    const char* label;
    QByteArray bytes;
    Encoding encoding;      // detected
    qsizetype invalid = 0;  // bytes not valid in it
};

const std::vector<Form>& forms() {
    static const std::vector<Form> f = {
        {"Shift-JIS, line ends of every kind", sjis("一\r\n二\n三\r四\r\n五\r\n"), Encoding::ShiftJis},
        {"UTF-8, mostly LF with a CR LF and no last end", QByteArray("あ\nい\r\nう\nえ"), Encoding::Utf8},
        {"Shift-JIS NEC and IBM codes of characters with two codes", sjis("記号") + "\x87\x90\xed\x40\xfa\x5c\r\n", Encoding::ShiftJis},
        {"EUC-JP NEC row 13 code", euc("記号は") + "\xad\xf0\n", Encoding::EucJp},
        {"UTF-8 line and paragraph separators, non-characters", QByteArray("あ\xe2\x80\xa8い\xe2\x80\xa9う\xef\xb7\x90\n"), Encoding::Utf8},
        {"UTF-8 mark followed by U+FEFF", QByteArray("\xef\xbb\xbf\xef\xbb\xbfあ\r\n"), Encoding::Utf8Bom},
        {"UTF-8 cut in the last character", QByteArray("あいう\xe3\x81"), Encoding::Utf8, 2},
        {"UTF-16 LE of odd length", utf16le("あい") + "x", Encoding::Utf16Le, 1},
        {"UTF-16 BE with CR line ends", text::encode(u"一\r二\r", Encoding::Utf16Be), Encoding::Utf16Be},
        {"JIS cut in a pair", QByteArray("\x1b$B$\"$"), Encoding::Iso2022Jp, 1},
        {"JIS Roman escapes", QByteArray("\x1b$B$\"\x1b(Jabc\\\x1b(B\n"), Encoding::Iso2022Jp},
        {"JIS ending in Japanese without its escape", QByteArray("abc\n\x1b$B$\"$$"), Encoding::Iso2022Jp},
        {"UTF-8 with one Latin-1 byte", QByteArray("日本語の文章です。caf\xe9 と書きます。\n"), Encoding::Utf8, 1},
        {"EUC-JP cut in its last character", euc("日本語の文章です。\n改行") + "\xa4", Encoding::EucJp, 1},
        {"Shift-JIS with a stray byte", sjis("日本語の文章です。") + "\x80" + sjis("続き\r\n"), Encoding::ShiftJis, 1},
        {"ASCII with a copyright sign in Latin-1", QByteArray("Copyright \xa9 2026 Tessarine\n"), Encoding::Utf8, 1},
        {"ASCII with accents in Latin-1", QByteArray("r\xe9sum\xe9 caf\xe9\n"), Encoding::Utf8, 3},
        {"Shift-JIS over a megabyte read in pieces, with kept lines far in", longShiftJis(), Encoding::ShiftJis},
    };
    return f;
}

struct Read {
    PlainTextRead read;
    std::unique_ptr<QTextDocument> doc = std::make_unique<QTextDocument>();
};

Read readForm(const Form& f) {
    Read r;
    r.read = readPlainText(QByteArrayView(f.bytes), *r.doc);
    return r;
}

QString hex(const QByteArray& b) { return QString::fromLatin1(b.toHex(' ')); }

TEST(PlainText, EveryByteFormWritesBackTheSameBytes) {
    for (const Form& f : forms()) {
        SCOPED_TRACE(f.label);
        Read r = readForm(f);
        EXPECT_EQ(int(r.read.format.encoding), int(f.encoding));
        EXPECT_EQ(r.read.invalid, f.invalid);
        QList<cp932::Unencodable> lost;
        EXPECT_EQ(hex(documentBytes(*r.doc, r.read.format, &lost)), hex(f.bytes));
        // Bad bytes show as replacement characters and are not a loss.
        EXPECT_TRUE(lost.isEmpty());
        EXPECT_EQ(r.doc->toPlainText().count(QChar::ReplacementCharacter) > 0,
                  f.invalid > 0 || QByteArrayView(f.bytes).contains("\xe2\x80\xa8"));

        // Typing a character and deleting it again changes nothing either.
        QTextCursor c(r.doc.get());
        c.movePosition(QTextCursor::End);
        c.insertText(QStringLiteral("x"));
        c.deletePreviousChar();
        c.movePosition(QTextCursor::Start);
        c.insertText(QStringLiteral("y"));
        c.deletePreviousChar();
        EXPECT_EQ(hex(documentBytes(*r.doc, r.read.format)), hex(f.bytes));
    }
}

// An edit changes its own line; new lines take the usual line end.
TEST(PlainText, AnEditChangesOnlyItsOwnLine) {
    const QByteArray bytes = sjis("一\r\n二\n三\r\n") + "\x87\x90\r\n" + sjis("四\n五\r\n");
    QTextDocument doc;
    const PlainTextRead read = readPlainText(QByteArrayView(bytes), doc);
    EXPECT_EQ(read.format.lineEnd, text::LineEnd::CrLf);

    QTextCursor c(doc.findBlockByNumber(1));
    c.movePosition(QTextCursor::EndOfBlock);
    c.insertText(QStringLiteral("と"));       // line 2 keeps its LF
    c.insertBlock();                            // a new line after it: CR LF
    c.insertText(QStringLiteral("新"));
    QTextCursor nec(doc.findBlockByNumber(4)); // the NEC code's line, split at its end
    nec.movePosition(QTextCursor::EndOfBlock);
    nec.insertBlock();
    EXPECT_EQ(hex(documentBytes(doc, read.format)),
              hex(sjis("一\r\n二と\n新\r\n三\r\n") + "\x87\x90\r\n\r\n" + sjis("四\n五\r\n")));

    // An edited line with a character of two codes is written with its usual code.
    nec.insertText(QStringLiteral("x"));
    QTextCursor joined(doc.findBlockByNumber(5));
    joined.deletePreviousChar();
    EXPECT_EQ(hex(documentBytes(doc, read.format)),
              hex(sjis("一\r\n二と\n新\r\n三\r\n") + "\x81\xe0x\r\n" + sjis("四\n五\r\n")));

    // What Shift-JIS cannot hold is reported where it stands in the
    // document, also after lines written as they were read.
    QTextCursor last(doc.findBlockByNumber(6));
    last.insertText(QStringLiteral("😀"));
    const int at = last.position() - 2;
    QList<cp932::Unencodable> lost;
    EXPECT_EQ(hex(documentBytes(doc, read.format, &lost)),
              hex(sjis("一\r\n二と\n新\r\n三\r\n") + "\x81\xe0x\r\n" + sjis("四\n?五\r\n")));
    EXPECT_EQ(lost, (QList<cp932::Unencodable>{{at, U'😀'}}));
}

// A line that cannot be written as it was, once edited, is reported as a loss
// where the encoding cannot hold what it shows; the untouched bad bytes never are.
TEST(PlainText, AnEditedLineWithABadByteIsALossOnlyWhereTheEncodingCannotHoldIt) {
    for (const Form& f : forms()) {
        if (f.invalid == 0) continue;
        SCOPED_TRACE(f.label);
        Read r = readForm(f);
        QTextCursor c(r.doc.get());
        c.movePosition(QTextCursor::End);
        c.movePosition(QTextCursor::StartOfBlock);
        if (c.block().text().isEmpty()) c.movePosition(QTextCursor::PreviousBlock);
        c.insertText(QStringLiteral("x"));
        QList<cp932::Unencodable> lost;
        const QByteArray out = documentBytes(*r.doc, r.read.format, &lost);
        const bool unicode = f.encoding == Encoding::Utf8 || f.encoding == Encoding::Utf16Le;
        EXPECT_EQ(lost.isEmpty(), unicode) << hex(out).toStdString();
        for (const cp932::Unencodable& u : lost) EXPECT_EQ(r.doc->characterAt(int(u.position)), QChar::ReplacementCharacter);
    }
}


// A large file goes in a part at a time while the document is shown: it is
// the same file in the end, nothing reads or writes half of it, and what is
// typed meanwhile stays as typed.
TEST(PlainText, AFileReadInPartsIsTheWholeFileAndKeepsWhatIsTypedMeanwhile) {
    const auto settle = [](const QTextDocument& doc) {
        for (int turns = 0; textPending(doc) && turns < 100000; ++turns) QCoreApplication::processEvents();
    };
    for (const Form& f : forms()) {
        SCOPED_TRACE(f.label);
        QTextDocument doc;
        const PlainTextRead read = readPlainText(QByteArray(f.bytes), doc, std::nullopt, TextFill::InParts);
        settle(doc);
        EXPECT_EQ(hex(documentBytes(doc, read.format)), hex(f.bytes));
    }

    const QByteArray bytes = forms().back().bytes;
    const QString text = text::decode(bytes, Encoding::ShiftJis).replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
    QTextDocument doc;
    const PlainTextRead read = readPlainText(QByteArray(bytes), doc, std::nullopt, TextFill::InParts);
    ASSERT_TRUE(textPending(doc));
    EXPECT_FALSE(doc.isModified());
    EXPECT_FALSE(doc.isUndoRedoEnabled());
    // A save in the middle writes the whole file.
    QTextDocument other;
    readPlainText(QByteArray(bytes), other, std::nullopt, TextFill::InParts);
    EXPECT_EQ(documentBytes(other, read.format), bytes);
    EXPECT_FALSE(textPending(other));

    // Typed where the text read so far ends, and once a few parts later.
    QTextCursor end(&doc);
    end.movePosition(QTextCursor::End);
    end.insertText(QStringLiteral("打"));
    for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
    end.insertText(QStringLiteral("鍵"));
    EXPECT_TRUE(doc.isModified());
    settle(doc);
    EXPECT_FALSE(textPending(doc));
    EXPECT_TRUE(doc.isUndoRedoEnabled());
    EXPECT_EQ(doc.toPlainText(), text + QStringLiteral("打鍵"));
    // The lines that kept their bytes still do.
    EXPECT_EQ(hex(documentBytes(doc, read.format)), hex(bytes + sjis("打鍵")));

    // A new document in its place, or all of it deleted, and the rest of
    // the file stays out.
    for (const bool replace : {false, true}) {
        QTextDocument cleared;
        readPlainText(QByteArray(bytes), cleared, std::nullopt, TextFill::InParts);
        ASSERT_TRUE(textPending(cleared));
        if (replace) cleared.setPlainText(QStringLiteral("新しい文書"));
        else cleared.clear();
        settle(cleared);
        QCoreApplication::processEvents();
        EXPECT_EQ(cleared.toPlainText(), replace ? QStringLiteral("新しい文書") : QString());
        EXPECT_TRUE(cleared.isUndoRedoEnabled());
    }
}

} // namespace
} // namespace tess
