#include "core/cp932.h"

#include <gtest/gtest.h>

using namespace tess;

namespace {
QByteArray bytes(std::initializer_list<int> list) {
    QByteArray out;
    for (int b : list) out.append(char(b));
    return out;
}
} // namespace

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
    ::testing::Values(CharCase{"A\\~", bytes({0x41, 0x5C, 0x7E})},
                      CharCase{"あ", bytes({0x82, 0xA0})},
                      CharCase{"更新", bytes({0x8D, 0x58, 0x90, 0x56})},
                      CharCase{"ｸﾞﾙｰﾌﾟ", bytes({0xB8, 0xDE, 0xD9, 0xB0, 0xCC, 0xDF})},
                      CharCase{"～", bytes({0x81, 0x60})},  // U+FF5E, not U+301C
                      CharCase{"－", bytes({0x81, 0x7C})},  // U+FF0D, not U+2212
                      CharCase{"∥", bytes({0x81, 0x61})},
                      CharCase{"＼", bytes({0x81, 0x5F})},
                      CharCase{"①", bytes({0x87, 0x40})},  // NEC row 13
                      CharCase{"ⅰ", bytes({0xFA, 0x40})},  // IBM extension preferred
                      CharCase{"\xEE\x80\x80", bytes({0xF0, 0x40})},  // user-defined area
                      CharCase{"　", bytes({0x81, 0x40})}));

TEST(Cp932, NecAndIbmDuplicatesDecodeToTheSameCharacter) {
    EXPECT_EQ(cp932::decode(bytes({0xED, 0x40})), cp932::decode(bytes({0xFA, 0x5C})));
}

TEST(Cp932, InvalidBytesBecomeReplacementCharacters) {
    EXPECT_EQ(cp932::decode(bytes({0x80})), QString(QChar(0xFFFD)));
    EXPECT_EQ(cp932::decode(bytes({0xFF, 0x41})), QString(QChar(0xFFFD)) + u'A');
    // A lead byte at the end of the data is truncated, not dropped silently.
    EXPECT_EQ(cp932::decode(bytes({0x41, 0x82})), QString(u'A') + QChar(0xFFFD));
    // A lead byte before an ASCII character does not swallow it.
    EXPECT_EQ(cp932::decode(bytes({0x82, 0x20})), QString(QChar(0xFFFD)) + u' ');
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
    const QString marker = QString::fromUtf8(" (更新)");
    EXPECT_EQ(cp932::byteLength(marker), 7);
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
