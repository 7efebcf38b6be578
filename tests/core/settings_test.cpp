#include "support.h"
#include "core/cp932.h"
#include "core/settingsfile.h"

using namespace tess;
using namespace tess::test;
using namespace Qt::StringLiterals;

namespace {
struct IniFile : TempFile {
    IniFile() : TempFile("tessarine.ini") {}
};
} // namespace

TEST(SettingsFile, ValuesSurviveASaveAndAReload) {
    const QString values[] = {
        "Lower", QStringLiteral("C:\\書類\\ﾒﾓ\\予定表.TXT"), QStringLiteral("Tessarine  // 仕事 / 表.RTF (更新)"),
        "  leading", "trailing  ", " both ", "\t tab", "\"quoted\"", "\" quoted with blanks \"", "\"", "\"half",
        "a = b ; not a comment", "[not a section]", QStringLiteral("　全角空白　"),
        QStringLiteral("ソ表能"),  // trail bytes that are ASCII backslashes
    };
    IniFile d;
    EXPECT_FALSE(SettingsFile(d.path()).read(ini::kSystem, ini::kPAL, ini::kShortLimit).found);
    EXPECT_FALSE(QFile::exists(d.path()));  // reading a missing file creates none
    {
        SettingsFile s(d.path());
        int i = 0;
        for (const QString& v : values) s.write(ini::kQuickSave, QStringLiteral("K%1").arg(i++), v);
        ASSERT_TRUE(s.save());
    }
    SettingsFile s(d.path());
    int i = 0;
    for (const QString& v : values) {
        const SettingValue got = s.read(ini::kQuickSave, QStringLiteral("K%1").arg(i++), ini::kWhole);
        EXPECT_TRUE(got.found) << v.toStdString();
        EXPECT_EQ(got.value, v);
    }
}

TEST(SettingsFile, FileIsShiftJisWithCrLfLineBreaksCannotAddKeysAndFailuresReport) {
    IniFile d;
    {
        SettingsFile s(d.path());
        s.write(ini::kQuickSave, ini::kGroupName, QStringLiteral("仕事"));
        s.write(ini::kQuickSave, ini::kMainFormCaption, "A\r\nFilePath=EVIL");
        s.write(ini::kGroupFiles, ini::kFiles, "o");
        ASSERT_TRUE(s.save());
    }
    const QByteArray bytes = readBytes(d.path());
    EXPECT_TRUE(bytes.contains("[QuickSave]\r\nGroupName=" + cp932::encode(QStringLiteral("仕事")) + "\r\n"));
    EXPECT_TRUE(bytes.contains("[GroupFiles]\r\nFiles=o\r\n"));
    EXPECT_FALSE(QByteArray(bytes).replace("\r\n", "").contains('\n'));
    SettingsFile s(d.path());
    EXPECT_FALSE(s.read(ini::kQuickSave, ini::kFilePath, ini::kWhole).found);
    EXPECT_EQ(s.read(ini::kQuickSave, ini::kMainFormCaption, ini::kWhole).value, "A\r\nFilePath=EVIL");
    // A save that fails reports why.
    SettingsFile nowhere(d.dir.filePath("no/such/folder/tessarine.ini"));
    QString error;
    EXPECT_FALSE(nowhere.save(&error));
    EXPECT_FALSE(error.isEmpty());
}

TEST(SettingsFile, FoundRule) {
    IniFile d;
    writeBytes(d.path(), "[QuickSave]\r\nCS1=\r\nCS2=X\r\nBlank=   \r\n");
    SettingsFile s(d.path());
    const SettingValue cs1 = s.read(ini::kQuickSave, ini::kCS1, ini::kShortLimit);
    EXPECT_FALSE(cs1.found);
    EXPECT_EQ(cs1.value, QString());
    EXPECT_FALSE(s.read(ini::kQuickSave, "Blank", ini::kShortLimit).found);
    EXPECT_FALSE(s.read(ini::kQuickSave, "Nope", ini::kShortLimit).found);
    EXPECT_FALSE(s.read("Nowhere", ini::kCS2, ini::kShortLimit).found);
    const SettingValue cs2 = s.read(ini::kQuickSave, ini::kCS2, ini::kShortLimit);
    EXPECT_TRUE(cs2.found);
    EXPECT_EQ(cs2.value, "X");
    // A limit of 1 leaves room for nothing.
    EXPECT_FALSE(s.read(ini::kQuickSave, ini::kCS2, 1).found);
}

TEST(SettingsFile, NamesIgnoreLetterCaseAndWritesWaitForSave) {
    IniFile d;
    writeBytes(d.path(), "[system]\r\npal=Lower\r\n[OPENDFILE]\r\nCOUNT=3\r\n");
    SettingsFile s(d.path());
    EXPECT_EQ(s.read(ini::kSystem, ini::kPAL, ini::kShortLimit).value, "Lower");
    EXPECT_EQ(s.read(ini::kOpendFile, ini::kCount, ini::kShortLimit).value, "3");
    // A write replaces the existing key whatever its case, in memory first.
    s.write(ini::kSystem, ini::kPAL, "Raise");
    EXPECT_EQ(s.read(ini::kSystem, ini::kPAL, ini::kShortLimit).value, "Raise");
    EXPECT_FALSE(readBytes(d.path()).contains("Raise"));
    ASSERT_TRUE(s.save());
    const QByteArray bytes = readBytes(d.path());
    EXPECT_EQ(bytes.count("Raise"), 1);
    EXPECT_FALSE(bytes.contains("Lower"));
    EXPECT_EQ(SettingsFile(d.path()).read(ini::kSystem, ini::kPAL, ini::kShortLimit).value, "Raise");
}

TEST(SettingsFile, ValuesAreCutAtTheLimitWithoutSplittingACharacter) {
    IniFile d;
    SettingsFile s(d.path());
    const QString ascii = QStringLiteral("0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ");
    // 18 ASCII bytes then a double-byte character across the 19-byte line.
    const QString mixed = QStringLiteral("123456789012345678表X");
    const QString kana = QStringLiteral("ｱｲｳｴｵｶｷｸｹｺｻｼｽｾｿﾀﾁﾂﾃﾄ");  // 20 single bytes
    s.write(ini::kSystem, "A", ascii);
    s.write(ini::kSystem, "M", mixed);
    s.write(ini::kSystem, "K", kana);
    s.write(ini::kSystem, "J", QStringLiteral("あいうえおかきくけこさしすせそ"));
    ASSERT_TRUE(s.save());
    SettingsFile r(d.path());
    EXPECT_EQ(r.read(ini::kSystem, "A", ini::kShortLimit).value, ascii.left(19));
    EXPECT_EQ(r.read(ini::kSystem, "M", ini::kShortLimit).value, mixed.left(18));
    EXPECT_EQ(r.read(ini::kSystem, "M", 21).value, mixed.left(19));
    EXPECT_EQ(r.read(ini::kSystem, "K", ini::kShortLimit).value, kana.left(19));
    EXPECT_EQ(r.read(ini::kSystem, "J", ini::kShortLimit).value, QStringLiteral("あいうえおかきくけ"));
    EXPECT_EQ(r.read(ini::kSystem, "J", ini::kWhole).value, QStringLiteral("あいうえおかきくけこさしすせそ"));
}

TEST(SettingsFile, IntegerConversion) {
    const std::pair<QString, std::optional<int>> cases[] = {
        {"0", 0}, {"42", 42}, {"-7", -7}, {"+7", 7}, {"007", 7},
        {"2147483647", 2147483647}, {"-2147483648", int(-2147483648LL)},
        {"2147483648", std::nullopt}, {"99999999999999999999", std::nullopt},
        {"", std::nullopt}, {"-", std::nullopt}, {" 1", std::nullopt}, {"1 ", std::nullopt},
        {"1.5", std::nullopt}, {"0x10", std::nullopt}, {QStringLiteral("１"), std::nullopt},
        {"abc", std::nullopt},
    };
    for (const auto& [text, expected] : cases) EXPECT_EQ(toInteger(text), expected) << text.toStdString();
    // The message says where and why, and shows a garbage value harmlessly.
    EXPECT_EQ(badNumberMessage("tessarine.ini", "System", "ALHor", "abc"),
              QStringLiteral("設定ファイル \"tessarine.ini\" の [System] ALHor の値 \"abc\" は整数ではありません。この値は使いません。"));
    EXPECT_EQ(notANumberReason("99999999999"), QStringLiteral("大きすぎます"));
    EXPECT_EQ(notANumberReason("-99999999999"), QStringLiteral("大きすぎます"));
    EXPECT_EQ(notANumberReason("9x"), QStringLiteral("整数ではありません"));
    EXPECT_EQ(shownValue(QString(QStringLiteral("a\x01" "b")) + QString(40, u'z')),
              QStringLiteral("a\uFFFDb") + QString(27, u'z') + QStringLiteral("…"));
}

// A file that cannot be read whole is not used half-way, and is kept aside
// so that the next save does not overwrite it.
TEST(SettingsFile, DamagedFileIsNotUsedAndIsKeptAside) {
    const QByteArray sound = "[System]\r\nPAL=Lower\r\n[OpendFile]\r\nCount=1\r\nOpend1=A.TXT\r\n";
    const std::pair<const char*, QByteArray> damaged[] = {
        {"a NUL in a value", "[System]\r\nPAL=Lo\0wer\r\n[OpendFile]\r\nCount=1\r\n"_ba},
        {"UTF-16 with its byte-order mark", QByteArray("\xFF\xFE[\0S\0]\0\r\0\n\0", 12)},
        {"UTF-16 big-endian", QByteArray("\xFE\xFF\0[\0S\0]", 8)},
        {"binary garbage", QByteArray("\x7f" "ELF\x02\x01\x01\x00\x00garbage\r\n", 18)},
        {"far too large", "[System]\r\n" + QByteArray(2 * 1024 * 1024, ';')},
    };
    for (const auto& [label, bytes] : damaged) {
        SCOPED_TRACE(label);
        IniFile d;
        writeBytes(d.path(), bytes);
        SettingsFile s(d.path());
        EXPECT_EQ(s.load(), SettingsFile::Load::Damaged);
        EXPECT_FALSE(s.read(ini::kSystem, ini::kPAL, ini::kShortLimit).found);
        EXPECT_EQ(s.setAside(), QStringLiteral("tessarine.ini.damaged"));
        EXPECT_EQ(readBytes(d.path() + ".damaged"), bytes);
        s.write(ini::kSystem, ini::kPAL, "Raise");
        ASSERT_TRUE(s.save());
        EXPECT_EQ(readBytes(d.path() + ".damaged"), bytes);
        EXPECT_EQ(SettingsFile(d.path()).load(), SettingsFile::Load::Loaded);
    }
    // Comments, blank lines and blanks around lines are part of the format;
    // a UTF-8 byte-order mark and lines that are none of these (an
    // unfinished section, words, a key without a name) are skipped as the
    // profile functions skip them, and what follows them is still read.
    const QByteArray readable[] = {
        "; written by hand\r\n\r\n   \r\n# too\r\n  [System]  \r\n  PAL = Lower\r\n" + sound,
        "\xEF\xBB\xBF[system]\r\npal=Lower\r\n" + sound,
        "[System]\r\njust some words\r\n[Broken\r\n=x\r\nPAL=Lower\r\n" + sound.mid(21) + "trailing junk",
    };
    for (const QByteArray& bytes : readable) {
        SCOPED_TRACE(bytes.left(20).toStdString());
        IniFile d;
        writeBytes(d.path(), bytes);
        SettingsFile s(d.path());
        EXPECT_EQ(s.load(), SettingsFile::Load::Loaded);
        EXPECT_EQ(s.read(ini::kSystem, ini::kPAL, ini::kShortLimit).value, "Lower");
        EXPECT_EQ(s.read(ini::kOpendFile, "Opend1", ini::kWhole).value, "A.TXT");
        EXPECT_EQ(s.setAside(), QString());
        EXPECT_TRUE(QFile::exists(d.path()));
    }
    IniFile d;
    EXPECT_EQ(SettingsFile(d.dir.filePath("none.ini")).load(), SettingsFile::Load::Missing);

    EXPECT_EQ(damagedSettingsMessage("tessarine.ini", "tessarine.ini.damaged"),
              QStringLiteral("設定ファイル \"tessarine.ini\" が壊れているため読み込みませんでした。\n"
                             "壊れたファイルは \"tessarine.ini.damaged\" として残してあります。\n"
                             "設定は初期値で始めます。"));
}
