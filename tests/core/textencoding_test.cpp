// Telling the encodings of Japanese text apart, on generated texts of every
// length in every encoding, and the byte-for-byte round trip of each.

#include "support.h"

#include "core/textencoding.h"
#include "core/textlines.h"

#include <QStringDecoder>
#include <QStringEncoder>

#include <random>

namespace tess::text {
namespace {

// Real-looking Japanese: words of every script, punctuation and some ASCII.
const QStringList& words() {
    static const QStringList w = {
        QStringLiteral("今日"),     QStringLiteral("は"),       QStringLiteral("会議"),     QStringLiteral("の"),
        QStringLiteral("予定"),     QStringLiteral("です"),     QStringLiteral("。"),       QStringLiteral("、"),
        QStringLiteral("テキスト"), QStringLiteral("ファイル"), QStringLiteral("保存"),     QStringLiteral("して"),
        QStringLiteral("ください"), QStringLiteral("「"),       QStringLiteral("」"),       QStringLiteral("東京"),
        QStringLiteral("明日"),     QStringLiteral("午後"),     QStringLiteral("3時"),      QStringLiteral("から"),
        QStringLiteral("メモ"),     QStringLiteral("を"),       QStringLiteral("書く"),     QStringLiteral("ＡＢＣ"),
        QStringLiteral("①"),       QStringLiteral("Tessarine"), QStringLiteral(" "),       QStringLiteral("2026年"),
        QStringLiteral("12月"),     QStringLiteral("議事録"),   QStringLiteral("確認"),     QStringLiteral("ありがとう"),
    };
    return w;
}

QString sentence(std::mt19937& rng, int wordCount) {
    std::uniform_int_distribution<int> pick(0, int(words().size()) - 1);
    QString out;
    for (int i = 0; i < wordCount; ++i) out += words()[pick(rng)];
    return out;
}

QByteArray bytesOf(const QString& text, Encoding e) { return encode(text, e); }

struct Sample {
    QString text;
    Encoding encoding;
};

// Every encoding, lengths from one word to a long file, with both line ends.
std::vector<Sample> corpus() {
    std::mt19937 rng(932);
    std::vector<Sample> out;
    for (const Encoding e : allEncodings()) {
        for (const int words : {1, 2, 3, 5, 8, 20, 200}) {
            for (int round = 0; round < 6; ++round) {
                QString text = sentence(rng, words);
                if (round % 2) text += QStringLiteral("\r\n") + sentence(rng, words) + QStringLiteral("\r\n");
                else if (round % 3 == 0) text += u'\n' + sentence(rng, words);
                out.push_back({text, e});
            }
        }
    }
    return out;
}

TEST(TextEncoding, GeneratedJapaneseIsReadInItsOwnEncodingAndWrittenBackByteForByte) {
    int checked = 0;
    int ambiguous = 0;
    for (const Sample& s : corpus()) {
        const QByteArray bytes = bytesOf(s.text, s.encoding);
        SCOPED_TRACE(qPrintable(encodingName(s.encoding) + u' ' + s.text.left(40) + u' ' + QString::fromLatin1(bytes.left(24).toHex())));
        const bool asciiOnly = std::all_of(bytes.begin(), bytes.end(), [](char c) { return uchar(c) < 0x80; });
        // Plain ASCII reads the same in every byte encoding: it stays Shift-JIS.
        const Encoding expected = asciiOnly && s.encoding != Encoding::Iso2022Jp ? Encoding::ShiftJis : s.encoding;
        const Encoding detected = detectEncoding(bytes);
        const QString back = decode(bytes, detected);
        if (detected != expected) {
            // Only a snippet of a word or two can read as well in another
            // encoding (two kanji in EUC-JP are four half-width katakana in
            // Shift-JIS); then the reading taken must at least give back the
            // same bytes.
            ASSERT_LE(s.text.size(), 8) << int(detected);
            EXPECT_EQ(encode(back, detected), bytes);
            ++ambiguous;
            continue;
        }
        EXPECT_EQ(back, s.text);
        EXPECT_EQ(encode(back, expected), bytes);
        ++checked;
    }
    EXPECT_GT(checked, 250);
    EXPECT_LT(ambiguous, 5);
}

TEST(TextEncoding, ShortFilesAndBytesValidInTwoEncodings) {
    const struct {
        const char* label;
        QByteArray bytes;
        Encoding expected;
    } cases[] = {
        {"Shift-JIS メモ", QByteArray("\x83\x81\x83\x82"), Encoding::ShiftJis},
        {"UTF-8 メモ", QByteArray("\xe3\x83\xa1\xe3\x83\xa2"), Encoding::Utf8},
        {"EUC-JP メモ", QByteArray("\xa5\xe1\xa5\xe2"), Encoding::EucJp},
        {"UTF-8 あ", QByteArray("\xe3\x81\x82"), Encoding::Utf8},
        {"EUC-JP あ", QByteArray("\xa4\xa2"), Encoding::EucJp},
        // Half-width katakana alone are what a wrong reading of double-byte
        // text shows: these two bytes are one kanji in EUC-JP.
        {"EUC-JP 宛 or Shift-JIS ｱｲ", QByteArray("\xb0\xb8"), Encoding::EucJp},
        // Also "ý" in UTF-8, which counts for less than the kanji.
        {"EUC-JP kanji, Shift-JIS ﾃｽ or UTF-8 ý", QByteArray("\xc3\xbd"), Encoding::EucJp},
        // Not EUC-JP (no valid pair) nor UTF-8: the tie of nothing keeps Shift-JIS.
        {"Shift-JIS ﾃｽﾄ", QByteArray("\xc3\xbd\xc4"), Encoding::ShiftJis},
        {"Shift-JIS half-width with a kanji", QByteArray("\xc3\xbd\xc4\x8a\xbf"), Encoding::ShiftJis},
        // Hiragana in EUC-JP are half-width katakana pairs in Shift-JIS.
        {"EUC-JP あいうえお", QByteArray("\xa4\xa2\xa4\xa4\xa4\xa6\xa4\xa8\xa4\xaa"), Encoding::EucJp},
        // U+FFFD (EF BF BD) is a valid character: the file is still UTF-8.
        {"UTF-8 ユーザー with U+FFFD", QByteArray("\xe3\x83\xa6\xe3\x83\xbc\xe3\x82\xb6\xe3\x83\xbc\xef\xbf\xbd\n"), Encoding::Utf8},
        {"UTF-8 U+FFFD in ASCII", QByteArray("name: \xef\xbf\xbd\n"), Encoding::Utf8},
        {"UTF-8 U+FFFD alone", QByteArray("\xef\xbf\xbd"), Encoding::Utf8},
        {"ASCII", QByteArray("plain text\r\n"), Encoding::ShiftJis},
        {"JIS escape in 7-bit text", QByteArray("\x1b$B$\"\x1b(B"), Encoding::Iso2022Jp},
        {"escape character alone", QByteArray("a\x1b" "b"), Encoding::ShiftJis},
        {"UTF-8 byte-order mark alone", QByteArray("\xef\xbb\xbf"), Encoding::Utf8Bom},
        {"UTF-16 LE mark", QByteArray("\xff\xfe" "A\0", 4), Encoding::Utf16Le},
        {"UTF-16 BE mark", QByteArray("\xfe\xff\0A", 4), Encoding::Utf16Be},
        {"invalid everywhere", QByteArray("\x80\xff\x80"), Encoding::ShiftJis},
        {"empty", QByteArray(), Encoding::ShiftJis},
    };
    for (const auto& c : cases) EXPECT_EQ(int(detectEncoding(c.bytes)), int(c.expected)) << c.label;
}

// The encoding is told from the first stretch of Japanese; bytes further on
// that it does not hold make the whole file count.  Half-width katakana in
// Shift-JIS are kanji in EUC-JP until Shift-JIS hiragana come.
TEST(TextEncoding, BadBytesAfterTheSampleAskForTheWholeFile) {
    QByteArray bytes;
    while (bytes.size() < 100 * 1024) bytes += "\xb1\xb2\xb3\xb4\r\n";
    const QByteArray kanji = encode(QStringLiteral("漢字の文章。").repeated(2000), Encoding::ShiftJis);
    bool sampled = false;
    EXPECT_EQ(detectEncoding(bytes, &sampled), Encoding::EucJp);
    EXPECT_TRUE(sampled);
    const Decoded read = decodeDetected(bytes + kanji);
    EXPECT_EQ(read.format.encoding, Encoding::ShiftJis);
    EXPECT_EQ(read.invalid, 0);
    EXPECT_TRUE(read.text().endsWith(QStringLiteral("ｳｴ\n") + QStringLiteral("漢字の文章。").repeated(2000)));
}

TEST(TextEncoding, LineEndsAndLosses) {
    EXPECT_EQ(detectLineEnd(u"a\r\nb\nc"), LineEnd::CrLf);
    EXPECT_EQ(detectLineEnd(u"a\nb\r\n"), LineEnd::Lf);
    EXPECT_EQ(detectLineEnd(u"a\rb"), LineEnd::Cr);
    EXPECT_EQ(detectLineEnd(u"a"), LineEnd::CrLf);

    // What each encoding cannot hold, with its position.
    const QString text = QStringLiteral("aｱ한😀");
    const auto positions = [&](Encoding e) {
        QList<qsizetype> out;
        for (const cp932::Unencodable& u : unencodable(text, e)) out << u.position;
        return out;
    };
    EXPECT_EQ(positions(Encoding::ShiftJis), (QList<qsizetype>{2, 3}));
    EXPECT_EQ(positions(Encoding::EucJp), (QList<qsizetype>{2, 3}));
    EXPECT_EQ(positions(Encoding::Iso2022Jp), (QList<qsizetype>{1, 2, 3}));
    EXPECT_TRUE(positions(Encoding::Utf8).isEmpty());
    EXPECT_TRUE(positions(Encoding::Utf16Be).isEmpty());
    EXPECT_EQ(encode(text, Encoding::EucJp), QByteArray("a\x8e\xb1???"));
    // EUC-JP holds the supplementary kanji and accents of JIS X 0212.
    EXPECT_TRUE(unencodable(QStringLiteral("é"), Encoding::EucJp).isEmpty());
}

// EUC-JP and JIS mean the standard JIS characters (as iconv reads them),
// Shift-JIS the Windows ones; each is written back to the bytes it came from.
TEST(TextEncoding, JisCodesReadAsTheStandardCharactersAndWriteBackTheSameBytes) {
    const struct {
        const char* label;
        QByteArray bytes;
        Encoding encoding;
        QString text;
    } cases[] = {
        {"EUC-JP 〜−‖¢£¬", QByteArray("\xa1\xc1\xa1\xdd\xa1\xc2\xa1\xf1\xa1\xf2\xa2\xcc"), Encoding::EucJp,
         QStringLiteral("\u301C\u2212\u2016\u00A2\u00A3\u00AC")},
        {"JIS 〜−‖¢£¬ then ASCII", QByteArray("\x1b$B!A!]!B!q!r\"L\x1b(B."), Encoding::Iso2022Jp,
         QStringLiteral("\u301C\u2212\u2016\u00A2\u00A3\u00AC.")},
        {"JIS 〜 on two lines", QByteArray("\x1b$B!A\x1b(B\r\n\x1b$B%a!A\x1b(B"), Encoding::Iso2022Jp,
         QStringLiteral("\u301C\r\nメ\u301C")},
        {"EUC-JP JIS X 0212 tilde, broken bar, kanji", QByteArray("\x8f\xa2\xb7\x8f\xa2\xc3\x8f\xb0\xa1"), Encoding::EucJp,
         QStringLiteral("\uFF5E\u00A6\u4E02")},
        {"EUC-JP wave dash beside JIS X 0212 tilde", QByteArray("\xa1\xc1\x8f\xa2\xb7\xa1\xc1"), Encoding::EucJp,
         QStringLiteral("\u301C\uFF5E\u301C")},
        {"Shift-JIS keeps the Windows forms", QByteArray("\x81\x60\x81\x7c\x81\x61\x81\x91\x81\x92\x81\xca"),
         Encoding::ShiftJis, QStringLiteral("\uFF5E\uFF0D\u2225\uFFE0\uFFE1\uFFE2")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        const QString text = decode(c.bytes, c.encoding);
        EXPECT_EQ(text, c.text);
        EXPECT_TRUE(unencodable(text, c.encoding).isEmpty());
        EXPECT_EQ(encode(text, c.encoding).toHex(' ').toStdString(), c.bytes.toHex(' ').toStdString());
    }

    // The Windows forms typed into a JIS document are written as the codes
    // they stand for there, and not asked about.
    EXPECT_TRUE(unencodable(QStringLiteral("\uFF0D\uFFE0"), Encoding::Iso2022Jp).isEmpty());
    EXPECT_EQ(encode(QStringLiteral("\uFF0D\uFFE0"), Encoding::EucJp), QByteArray("\xa1\xdd\xa1\xf1"));
}

// Every code of JIS X 0208 and of JIS X 0212 in EUC-JP, and of JIS X 0208
// in JIS: each reads as one character and all of them write back the same.
TEST(TextEncoding, EveryJisCodeWritesBackTheSameBytes) {
    const auto isJisX0208Row = [](int row) { return row <= 0x28 || (row >= 0x30 && row <= 0x74); };
    const auto isJisX0212Row = [](int row) {
        return row == 0x22 || row == 0x26 || row == 0x27 || (row >= 0x29 && row <= 0x2B) || (row >= 0x30 && row <= 0x6D);
    };
    QByteArray euc0208, euc0212, jis0208 = "\x1b$B";
    QString text0208, text0212;
    int count0208 = 0, count0212 = 0;
    for (int row = 0x21; row <= 0x7E; ++row) {
        for (int cell = 0x21; cell <= 0x7E; ++cell) {
            const char code[] = {char(row | 0x80), char(cell | 0x80)};
            const QByteArray two(code, 2);
            if (isJisX0208Row(row)) {
                const QString c = decode(two, Encoding::EucJp);
                if (c.size() == 1 && c[0] != QChar::ReplacementCharacter) {
                    ++count0208;
                    euc0208 += two;
                    jis0208 += char(row);
                    jis0208 += char(cell);
                    text0208 += c;
                }
            }
            if (isJisX0212Row(row)) {
                const QByteArray three = '\x8f' + two;
                const QString c = decode(three, Encoding::EucJp);
                if (c.size() == 1 && c[0] != QChar::ReplacementCharacter) {
                    ++count0212;
                    euc0212 += three;
                    text0212 += c;
                }
            }
        }
    }
    jis0208 += "\x1b(B";
    // The characters the two standards define.
    EXPECT_EQ(count0208, 6879);
    EXPECT_EQ(count0212, 6067);
    // Read as a whole file, written back whole.
    EXPECT_EQ(decode(euc0208, Encoding::EucJp), text0208);
    EXPECT_EQ(decode(jis0208, Encoding::Iso2022Jp), text0208);
    EXPECT_TRUE(encode(text0208, Encoding::EucJp) == euc0208);
    EXPECT_TRUE(encode(text0208, Encoding::Iso2022Jp) == jis0208);
    EXPECT_TRUE(unencodable(text0212, Encoding::EucJp).isEmpty());
    EXPECT_TRUE(encode(text0212, Encoding::EucJp) == euc0212);
    // Mixed, as a real file has them.
    const QByteArray mixed = euc0212 + "\n" + euc0208 + "\n";
    EXPECT_TRUE(encode(decode(mixed, Encoding::EucJp), Encoding::EucJp) == mixed);
}

} // namespace
} // namespace tess::text
