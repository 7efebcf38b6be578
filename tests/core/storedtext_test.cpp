// Stored values read back exactly: plain Shift-JIS as it always was, bytes
// that are not Shift-JIS kept as they were, other characters as an encoded
// word; and the same through the settings file, the group store and
// "QuickLists".

#include "support.h"

#include "core/cp932.h"
#include "core/filehistory.h"
#include "core/groupregistry.h"
#include "core/groupstore.h"
#include "core/quicklists.h"
#include "core/settingsfile.h"
#include "core/storedtext.h"

#include <random>

namespace tess {
namespace {

using test::readBytes;
using test::writeBytes;

// Raw Shift-JIS bytes as text, each invalid byte kept aside.
QString kept(QByteArrayView bytes) { return cp932::decodeKeepingBytes(bytes); }

struct Form {
    const char* label;
    QString text;
    QByteArray bytes;  // what is stored
};

class StoredForm : public ::testing::TestWithParam<Form> {};

TEST_P(StoredForm, IsWrittenSoAndReadsBackExactly) {
    const Form& f = GetParam();
    EXPECT_EQ(stored::encode(f.text), f.bytes);
    EXPECT_EQ(stored::decode(f.bytes), f.text);
}

INSTANTIATE_TEST_SUITE_P(
    StoredText, StoredForm,
    ::testing::Values(
        Form{"ShiftJisAsAlways", QStringLiteral("C:\\書類\\ﾒﾓ\\表.TXT"),
             cp932::encode(QStringLiteral("C:\\書類\\ﾒﾓ\\表.TXT"))},
        Form{"Empty", QString(), QByteArray()},
        Form{"AccentsAsUtf8Word", QStringLiteral("/home/a/café_ü.txt"),
             "=?UTF-8?B?" + QStringLiteral("/home/a/café_ü.txt").toUtf8().toBase64() + "?="},
        Form{"EmojiAsUtf8Word", QStringLiteral("メモ\U0001F600"),
             "=?UTF-8?B?" + QStringLiteral("メモ\U0001F600").toUtf8().toBase64() + "?="},
        Form{"LineBreakAsOneLine", QStringLiteral("A\r\nB"), "=?UTF-8?B?QQ0KQg==?="},
        Form{"NulAsOneLine", QString(QStringLiteral("A")) + QChar(0) + u'B', "=?UTF-8?B?QQBC?="},
        Form{"LookalikeOfTheFormIsWrapped", QStringLiteral("=?UTF-8?B?QQ==?="),
             "=?UTF-8?B?" + QByteArray("=?UTF-8?B?QQ==?=").toBase64() + "?="},
        Form{"InvalidBytesKeptAsTheyWere", kept("C:\\\x80\xff\xfd\x81"), "C:\\\x80\xff\xfd\x81"},
        Form{"InvalidBytesBesideACharacterShiftJisLacks",
             kept("\x80/") + QStringLiteral("é"),
             "=?UTF-16LE?B?" + QByteArray("\x80\xdc/\x00\xe9\x00", 6).toBase64() + "?="}),
    [](const auto& info) { return std::string(info.param.label); });

TEST(StoredText, PlainTextThatOnlyLooksLikeAWordReadsAsItself) {
    for (const QByteArray& bytes : {QByteArray("=?UTF-8?B?not base64!?="), QByteArray("=?UTF-8?B?"),
                                   QByteArray("=?ISO-2022-JP?B?QQ==?="), QByteArray("=?UTF-8?B?/w==?=")})
        EXPECT_EQ(stored::decode(bytes), QString::fromLatin1(bytes)) << bytes.constData();
}

TEST(StoredText, AnyBytesComeBackAsTheyWere) {
    // Any line of another tool's bytes.  Rows with two codes for one character (NEC and IBM) come back as the
    // code Windows writes, the same character; all other bytes come back
    // byte for byte.
    const auto hasTwinCodes = [](uchar lead) { return lead == 0x87 || lead == 0xED || lead == 0xEE || lead >= 0xFA; };
    std::mt19937 random(7);
    for (int round = 0; round < 2000; ++round) {
        QByteArray bytes(int(random() % 12), Qt::Uninitialized);
        for (char& b : bytes) {
            // A line never holds a line end or a NUL.
            do b = char(random());
            while (hasTwinCodes(uchar(b)) || b == '\r' || b == '\n' || b == 0);
        }
        const QString text = stored::decode(bytes);
        EXPECT_EQ(stored::encode(text), bytes) << bytes.toHex().constData();
    }
    EXPECT_EQ(stored::decode(stored::encode(kept("\xed\x40"))), QStringLiteral("纊"));
}

TEST(StoredText, PathsSurviveEveryStoredFile) {
    const QString accents = QStringLiteral("/home/a/café_ü.txt");
    const QString foreign = kept("/home/\x83\x41\xff\xfe.txt");  // another tool's bytes
    QTemporaryDir dir;

    // The settings file: history entries and quick-save fields.
    const QString iniPath = dir.filePath(QStringLiteral("tessarine.ini"));
    {
        SettingsFile settings(iniPath);
        FileHistory history;
        history.RirekiSet(foreign);
        history.RirekiSet(accents);
        history.save(settings);
        settings.write(ini::kQuickSave, ini::kFilePath, accents);
        ASSERT_TRUE(settings.save());
    }
    EXPECT_TRUE(readBytes(iniPath).contains("Opend2=/home/\x83\x41\xff\xfe.txt\r\n"));
    {
        SettingsFile settings(iniPath);
        FileHistory history;
        history.load(settings);
        EXPECT_EQ(history.entries(), (QStringList{accents, foreign}));
        EXPECT_EQ(settings.read(ini::kQuickSave, ini::kFilePath, ini::kWhole).value, accents);
    }

    // "GroupFiles": a folder path and a file name.
    GroupRegistry registry(PathStyle::posix(), QStringLiteral("/opt/tess/"));
    FileHistory none;
    test::ScriptedNotifier notifier;
    notifier.answers = {false};  // no history files to take over
    registry.Touroku(kind::kFolder, QStringLiteral("CAFÉ"), QStringLiteral("/home/a/café"), none, notifier);
    registry.FileGroupSet(QStringLiteral("CAFÉ"), QStringLiteral("naïve.txt"));
    const QString storePath = dir.filePath(QStringLiteral("GroupFiles"));
    ASSERT_TRUE(writeGroupStore(storePath, registry));
    GroupRegistry back(PathStyle::posix(), QStringLiteral("/opt/tess/"));
    ASSERT_EQ(readGroupStore(storePath, back, notifier), GroupStoreRead::Loaded);
    EXPECT_EQ(back.GrdGF(), registry.GrdGF());
    EXPECT_EQ(back.GrdFG(), registry.GrdFG());
    EXPECT_TRUE(notifier.messages.isEmpty()) << notifier.messages.join(u'\n').toStdString();

    // "QuickLists".
    const QString listsPath = dir.filePath(QStringLiteral("QuickLists"));
    ASSERT_TRUE(writeQuickLists(listsPath, {accents, foreign}));
    EXPECT_EQ(readQuickLists(listsPath).entries, (QStringList{accents, foreign}));
}

} // namespace
} // namespace tess
