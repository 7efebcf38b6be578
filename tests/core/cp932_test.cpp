#include "support.h"
#include "core/cp932.h"

using namespace tess;

struct CharCase {
    const char* utf8;
    QByteArray cp932;
};

class Cp932Mapping : public ::testing::TestWithParam<CharCase> {};

// Characters whose Windows mapping differs from plain Shift-JIS or from other
// converters: these are the ones that decide whether files round-trip.
TEST_P(Cp932Mapping, EncodesAndDecodesLikeWindows) {
    const QString text = QString::fromUtf8(GetParam().utf8);
    EXPECT_EQ(cp932::encode(text), GetParam().cp932);
    EXPECT_EQ(cp932::decode(GetParam().cp932), text);
}

INSTANTIATE_TEST_SUITE_P(
    Table, Cp932Mapping,
    ::testing::Values(CharCase{"A\\~", "A\\~"}, CharCase{"あ", "\x82\xA0"}, CharCase{"更新", "\x8D\x58\x90\x56"},
                      CharCase{"ｸﾞﾙｰﾌﾟ", "\xB8\xDE\xD9\xB0\xCC\xDF"},
                      CharCase{"～", "\x81\x60"},  // U+FF5E, not U+301C
                      CharCase{"－", "\x81\x7C"},  // U+FF0D, not U+2212
                      CharCase{"∥", "\x81\x61"}, CharCase{"＼", "\x81\x5F"},
                      CharCase{"①", "\x87\x40"},  // NEC row 13
                      CharCase{"ⅰ", "\xFA\x40"},  // IBM extension preferred
                      CharCase{"\xEE\x80\x80", "\xF0\x40"},  // user-defined area
                      CharCase{"　", "\x81\x40"}));

TEST(Cp932, DuplicatesAndInvalidBytesDecode) {
    EXPECT_EQ(cp932::decode("\xED\x40"), cp932::decode("\xFA\x5C"));  // NEC and IBM copies
    const QString bad(QChar(0xFFFD));
    EXPECT_EQ(cp932::decode("\x80"), bad);
    EXPECT_EQ(cp932::decode("\xFF\x41"), bad + u'A');
    // A lead byte at the end of the data is truncated, not dropped silently.
    EXPECT_EQ(cp932::decode("\x41\x82"), u'A' + bad);
    // A lead byte before an ASCII character does not swallow it.
    EXPECT_EQ(cp932::decode("\x82\x20"), bad + u' ');
}

TEST(Cp932, UnencodableCharactersAreReportedWithPositions) {
    const QString text = QString::fromUtf8("a〜b😀c¬");
    const auto found = cp932::unencodable(text);
    ASSERT_EQ(found.size(), 3);
    EXPECT_EQ(found[0], (cp932::Unencodable{1, 0x301C}));
    EXPECT_EQ(found[1], (cp932::Unencodable{3, 0x1F600}));
    EXPECT_EQ(found[2], (cp932::Unencodable{6, 0xAC}));
    EXPECT_EQ(cp932::unencodable(text, 1).size(), 1);
    EXPECT_FALSE(cp932::canEncode(text));
    EXPECT_TRUE(cp932::canEncode(QString::fromUtf8("漢字ｶﾅ")));

    bool lost = false;
    EXPECT_EQ(cp932::encode(text, &lost), QByteArray("a?b?c?"));
    EXPECT_TRUE(lost);
    cp932::encode(u"abc", &lost);
    EXPECT_FALSE(lost);
}

TEST(Cp932, ByteCountsAndCutsNeverSplitADoubleByteCharacter) {
    EXPECT_EQ(cp932::byteLength(QString::fromUtf8(" (更新)")), 7);
    EXPECT_EQ(cp932::byteLength(QString::fromUtf8("ﾌｧｲﾙ")), 4);
    const QString mixed = QString::fromUtf8("ab漢字c");
    EXPECT_EQ(cp932::leftBytes(mixed, 3), QStringLiteral("ab"));
    EXPECT_EQ(cp932::leftBytes(mixed, 4), QString::fromUtf8("ab漢"));
    EXPECT_EQ(cp932::leftBytes(mixed, 100), mixed);
    EXPECT_EQ(cp932::leftBytes(mixed, 0), QString());
}

TEST(Cp932, EveryDecodablePairRoundTrips) {
    // Decoding then encoding any valid pair gives a pair that decodes to the
    // same character (duplicates may move to their preferred code).
    int checked = 0;
    for (int lead = 0x81; lead <= 0xFC; ++lead) {
        if (!cp932::isLeadByte(uchar(lead))) continue;
        for (int trail = 0x40; trail <= 0xFC; ++trail) {
            const char16_t c = cp932::decodePair(uchar(lead), uchar(trail));
            if (c == 0xFFFD) continue;
            const QString once(QChar{c});
            ASSERT_EQ(cp932::decode(cp932::encode(once)), once) << std::hex << lead << trail;
            ++checked;
        }
    }
    EXPECT_GT(checked, 7000);
}
