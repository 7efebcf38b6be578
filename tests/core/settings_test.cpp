#include "qtprint.h"
#include "core/cp932.h"
#include "core/settingsfile.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace tess;

namespace {

QByteArray readBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeBytes(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

// Writes the values, saves, and reads them back through a fresh object.
struct IniDir {
    QTemporaryDir dir;
    QString path() const { return dir.filePath("tessarine.ini"); }
};

} // namespace

TEST(SettingsFile, MissingFileReadsNothing) {
    IniDir d;
    SettingsFile s(d.path());
    EXPECT_FALSE(s.read(ini::kSystem, ini::kPAL, ini::kShortLimit).found);
    EXPECT_FALSE(QFile::exists(d.path()));
}

TEST(SettingsFile, ValuesSurviveASaveAndAReload) {
    const QString values[] = {
        QStringLiteral("Lower"),
        QStringLiteral("C:\\書類\\ﾒﾓ\\予定表.TXT"),
        QStringLiteral("Tessarine  // 仕事 / 表.RTF (更新)"),
        QStringLiteral("  leading"),
        QStringLiteral("trailing  "),
        QStringLiteral(" both "),
        QStringLiteral("\t tab"),
        QStringLiteral("\"quoted\""),
        QStringLiteral("\" quoted with blanks \""),
        QStringLiteral("\""),
        QStringLiteral("\"half"),
        QStringLiteral("a = b ; not a comment"),
        QStringLiteral("[not a section]"),
        QStringLiteral("　全角空白　"),
        QStringLiteral("ソ表能"),  // trail bytes that are ASCII backslashes
    };
    IniDir d;
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

TEST(SettingsFile, FileIsShiftJisWithCrLf) {
    IniDir d;
    SettingsFile s(d.path());
    s.write(ini::kQuickSave, ini::kGroupName, QStringLiteral("仕事"));
    s.write(ini::kGroupFiles, ini::kFiles, "o");
    ASSERT_TRUE(s.save());
    const QByteArray bytes = readBytes(d.path());
    EXPECT_TRUE(bytes.contains("[QuickSave]\r\nGroupName=" + cp932::encode(QStringLiteral("仕事")) + "\r\n"));
    EXPECT_TRUE(bytes.contains("[GroupFiles]\r\nFiles=o\r\n"));
    EXPECT_FALSE(QByteArray(bytes).replace("\r\n", "").contains('\n'));
}

TEST(SettingsFile, FoundRule) {
    IniDir d;
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

TEST(SettingsFile, SectionAndKeyNamesIgnoreLetterCase) {
    IniDir d;
    writeBytes(d.path(), "[system]\r\npal=Lower\r\n[OPENDFILE]\r\nCOUNT=3\r\n");
    SettingsFile s(d.path());
    EXPECT_EQ(s.read(ini::kSystem, ini::kPAL, ini::kShortLimit).value, "Lower");
    EXPECT_EQ(s.read(ini::kOpendFile, ini::kCount, ini::kShortLimit).value, "3");
    // A write replaces the existing key whatever its case.
    s.write(ini::kSystem, ini::kPAL, "Raise");
    ASSERT_TRUE(s.save());
    const QByteArray bytes = readBytes(d.path());
    EXPECT_EQ(bytes.count("Raise"), 1);
    EXPECT_FALSE(bytes.contains("Lower"));
}

TEST(SettingsFile, ValuesAreCutAtTheLimitWithoutSplittingACharacter) {
    IniDir d;
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

TEST(SettingsFile, LineBreaksInAValueCannotAddKeys) {
    IniDir d;
    {
        SettingsFile s(d.path());
        s.write(ini::kQuickSave, ini::kMainFormCaption, "A\r\nFilePath=EVIL");
        ASSERT_TRUE(s.save());
    }
    SettingsFile s(d.path());
    EXPECT_FALSE(s.read(ini::kQuickSave, ini::kFilePath, ini::kWhole).found);
    EXPECT_EQ(s.read(ini::kQuickSave, ini::kMainFormCaption, ini::kWhole).value, "A  FilePath=EVIL");
}

TEST(SettingsFile, WritesStayInMemoryUntilSaved) {
    IniDir d;
    writeBytes(d.path(), "[System]\r\nPAL=Lower\r\n");
    SettingsFile s(d.path());
    s.write(ini::kSystem, ini::kPAL, "Raise");
    EXPECT_EQ(s.read(ini::kSystem, ini::kPAL, ini::kShortLimit).value, "Raise");
    EXPECT_EQ(readBytes(d.path()), "[System]\r\nPAL=Lower\r\n");
    ASSERT_TRUE(s.save());
    EXPECT_EQ(SettingsFile(d.path()).read(ini::kSystem, ini::kPAL, ini::kShortLimit).value, "Raise");
}

TEST(SettingsFile, FailedSaveReportsAndKeepsTheOldFile) {
    QTemporaryDir dir;
    SettingsFile s(dir.filePath("no/such/folder/tessarine.ini"));
    s.write(ini::kSystem, ini::kPAL, "Lower");
    QString error;
    EXPECT_FALSE(s.save(&error));
    EXPECT_FALSE(error.isEmpty());
}

TEST(SettingsFile, OpendKeys) {
    EXPECT_EQ(ini::opendKey(1), "Opend1");
    EXPECT_EQ(ini::opendKey(50), "Opend50");
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
    EXPECT_EQ(notAnIntegerMessage("abc"), QStringLiteral("'abc' は有効な整数値ではありません"));
}
