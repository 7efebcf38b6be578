#include "support.h"
#include "core/cp932.h"
#include "core/filehistory.h"
#include "core/groupstore.h"

#include <QDir>
#include <QFileInfo>

#include <functional>

#include <unistd.h>

using namespace tess;
using namespace tess::test;

namespace {

QByteArray sjisLines(const QStringList& lines) {
    QByteArray out;
    for (const QString& l : lines) out += cp932::encode(l) + "\r\n";
    return out;
}

GroupRegistry emptyRegistry(PathStyle style = PathStyle::windows()) {
    return GroupRegistry(style, style.isWindows() ? QStringLiteral("C:\\TESS\\") : QStringLiteral("/opt/tess/"));
}

// A folder group WORK on C:\WORK with A.TXT and B.TXT, an inner group MEMO with C.TXT.
GroupRegistry exampleRegistry() {
    GroupRegistry reg = emptyRegistry();
    FileHistory history;
    ScriptedNotifier n;
    n.answers = {false};
    reg.Touroku(kind::kFolder, "WORK", "C:\\WORK", history, n);
    reg.Touroku(kind::kInner, "MEMO", "X", history, n);
    reg.FileGroupSet("WORK", "A.TXT");
    reg.FileGroupSet("MEMO", "C.TXT");
    reg.FileGroupSet("WORK", "B.TXT");
    return reg;
}

const QStringList kExampleLines = {
    "3", "2", "WORK", "MEMO", "A.TXT", "C.TXT", "B.TXT", "",
    "2", "2", QStringLiteral("グループ名"), QStringLiteral("フォルダのパス"), "WORK", "C:\\WORK",
    "2", "2", QStringLiteral("グループ名"), "", "MEMO", "X",
};

void expectSameTables(const GroupRegistry& got, const GroupRegistry& want) {
    EXPECT_EQ(got.GrdGF(), want.GrdGF());
    EXPECT_EQ(got.GrdFG(), want.GrdFG());
    EXPECT_EQ(got.GrdIG(), want.GrdIG());
}

} // namespace

TEST(GroupStore, ExampleIsWrittenByteForByte) {
    const GroupRegistry reg = exampleRegistry();
    const QByteArray bytes = serializeGroupStore(reg);
    EXPECT_EQ(bytes, sjisLines(kExampleLines));
    EXPECT_EQ(bytes.count("\r\n"), 20);
    EXPECT_TRUE(bytes.endsWith("C:\\WORK\r\n2\r\n2\r\n\x83O\x83\x8B\x81[\x83v\x96\xBC\r\n\r\nMEMO\r\nX\r\n"));

    TempFile f("GroupFiles");
    ASSERT_TRUE(writeGroupStore(f.path(), reg));
    EXPECT_EQ(readBytes(f.path()), bytes);
    // A folder that does not exist cannot take the file; the old store stays.
    QString error;
    EXPECT_FALSE(writeGroupStore(f.dir.filePath("missing/GroupFiles"), emptyRegistry(), &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(readBytes(f.path()), bytes);
}

struct AcceptedCase {
    const char* label;
    PathStyle style;
    std::function<QStringList(QStringList)> edit;
    std::function<void(GroupRegistry&)> expected;  // applied to the example
    bool bareLineFeeds = false;
};

TEST(GroupStore, ReadingTheExampleAndTolerableVariants) {
    const auto keep = [](QStringList l) { return l; };
    const auto none = [](GroupRegistry&) {};
    const AcceptedCase cases[] = {
        {"example", PathStyle::windows(), keep, none},
        {"bare line feeds, no last line end", PathStyle::windows(), keep, none, true},
        // Blocks 2 and 3 always hold two cells a row.
        {"odd column counts of blocks 2 and 3", PathStyle::windows(),
         [](QStringList l) { l[9] = "5"; l[15] = "1"; return l; }, none},
        {"unsafe file names are dropped", PathStyle::windows(),
         [](QStringList l) { l[4] = ".."; l[5] = "..\\..\\EVIL.TXT"; l[6] = "SUB/B.TXT"; l[7] = "."; return l; },
         [](GroupRegistry& r) { r.GrdGF().setRowCount(1); r.GrdGF().setRowCount(3); }},
        {"drive-relative name under Windows", PathStyle::windows(),
         [](QStringList l) { l[4] = "D:A.TXT"; return l; }, [](GroupRegistry& r) { r.GrdGF().setCell(0, 1, ""); }},
        {"drive-relative name under POSIX", PathStyle::posix(),
         [](QStringList l) { l[4] = "D:A.TXT"; return l; },
         [](GroupRegistry& r) { r.GrdGF().setCell(0, 1, "D:A.TXT"); }},
    };
    for (const AcceptedCase& c : cases) {
        SCOPED_TRACE(c.label);
        TempFile f("GroupFiles");
        QByteArray bytes = sjisLines(c.edit(kExampleLines));
        if (c.bareLineFeeds) {
            bytes.replace("\r\n", "\n");
            bytes.chop(1);
        }
        writeBytes(f.path(), bytes);
        GroupRegistry reg = emptyRegistry(c.style);
        ScriptedNotifier n;
        ASSERT_EQ(readGroupStore(f.path(), reg, n), GroupStoreRead::Loaded);
        GroupRegistry expected = exampleRegistry();
        c.expected(expected);
        expectSameTables(reg, expected);
        EXPECT_TRUE(n.messages.isEmpty());
    }
}

TEST(GroupStore, RoundTripOfJapaneseNamesHolesBlanksAndLineBreaks) {
    GroupRegistry reg = exampleRegistry();
    FileHistory h;
    ScriptedNotifier n;
    n.answers = {false};
    reg.Touroku(kind::kFolder, QStringLiteral("仕事"), QStringLiteral("D:\\書類\\ﾃｽﾄ"), h, n);
    reg.Touroku(kind::kInner, QStringLiteral("メモ　帳"), "X", h, n);
    for (int i = 0; i < 7; ++i) reg.FileGroupSet(QStringLiteral("仕事"), QStringLiteral("表%1.TXT").arg(i));
    reg.FileGroupSet("WORK", " LEAD.TXT ");
    reg.reorder(QStringLiteral("メモ　帳"), {"", "GAP.RTF"});
    TempFile f("GroupFiles");
    GroupRegistry back = emptyRegistry();
    for (const bool lineBreaks : {false, true}) {
        // A line break in a cell comes back as it was and cannot shift the cells after it.
        if (lineBreaks) reg.GrdFG().setCell(1, 1, "C:\\WO\r\nRK"), reg.GrdGF().setCell(0, 1, "A\nB.TXT");
        ASSERT_TRUE(writeGroupStore(f.path(), reg));
        ASSERT_EQ(readGroupStore(f.path(), back, n), GroupStoreRead::Loaded);
        expectSameTables(back, reg);
    }
    EXPECT_TRUE(n.messages.isEmpty());
}

struct DamageCase {
    const char* label;
    std::function<QStringList(QStringList)> damage;
};

TEST(GroupStore, DamagedStoresAreRefusedWholeAndSetAside) {
    const DamageCase cases[] = {
        {"empty file", [](QStringList) { return QStringList(); }},
        {"row count not a number", [](QStringList l) { l[0] = "3x"; return l; }},
        {"column count not a number", [](QStringList l) { l[1] = ""; return l; }},
        {"folder column count not a number", [](QStringList l) { l[9] = "two"; return l; }},
        {"inner row count not a number", [](QStringList l) { l[14] = " 2"; return l; }},
        {"group file table of one row", [](QStringList l) { l[0] = "1"; l.remove(4, 4); return l; }},
        {"no columns", [](QStringList l) { l[1] = "0"; return l; }},
        {"negative rows", [](QStringList l) { l[0] = "-3"; return l; }},
        {"folder table of one row", [](QStringList l) { l[8] = "1"; l.remove(12, 2); return l; }},
        {"inner table of one row", [](QStringList l) { l[14] = "1"; l.remove(18, 2); return l; }},
        {"huge counts", [](QStringList l) { l[0] = "2000000000"; l[1] = "2000000000"; return l; }},
        {"count beyond int", [](QStringList l) { l[0] = "99999999999999999999"; return l; }},
        {"more cells promised than lines", [](QStringList l) { l[0] = "30"; return l; }},
        {"inner table cut short", [](QStringList l) { l.removeLast(); return l; }},
        {"inner block missing", [](QStringList l) { return l.mid(0, 14); }},
    };
    for (const DamageCase& c : cases) {
        SCOPED_TRACE(c.label);
        TempFile f("GroupFiles");
        const QByteArray bytes = sjisLines(c.damage(kExampleLines));
        writeBytes(f.path(), bytes);
        // Something already kept aside: the new one gets a number.
        writeBytes(f.path() + ".damaged", "old");
        GroupRegistry reg = exampleRegistry();
        ScriptedNotifier n;
        EXPECT_EQ(readGroupStore(f.path(), reg, n), GroupStoreRead::Damaged);
        expectSameTables(reg, emptyRegistry());
        EXPECT_EQ(n.messages, QStringList{damagedStoreMessage("GroupFiles.damaged2")});
        EXPECT_FALSE(QFile::exists(f.path()));
        EXPECT_EQ(readBytes(f.path() + ".damaged2"), bytes);
        EXPECT_EQ(readBytes(f.path() + ".damaged"), "old");
    }
}

TEST(GroupStore, MissingStoreIsQuietAndFirstDamagedCopyTakesThePlainName) {
    TempFile f("GroupFiles");
    GroupRegistry reg = exampleRegistry();
    ScriptedNotifier n;
    EXPECT_EQ(readGroupStore(f.path(), reg, n), GroupStoreRead::Missing);
    EXPECT_TRUE(n.messages.isEmpty());
    expectSameTables(reg, exampleRegistry());

    writeBytes(f.path(), "garbage\r\n");
    EXPECT_EQ(readGroupStore(f.path(), reg, n), GroupStoreRead::Damaged);
    EXPECT_EQ(n.messages, QStringList{damagedStoreMessage("GroupFiles.damaged")});
    EXPECT_EQ(readBytes(f.path() + ".damaged"), "garbage\r\n");

    EXPECT_EQ(damagedStoreMessage("GroupFiles.damaged"),
              QStringLiteral("グループ情報ファイル \"GroupFiles\" が壊れているため読み込みませんでした。\n"
                             "壊れたファイルは \"GroupFiles.damaged\" として残してあります。"));
    EXPECT_EQ(damagedStoreMessage(""),
              QStringLiteral("グループ情報ファイル \"GroupFiles\" が壊れているため読み込みませんでした。\n"
                             "壊れたファイルを別の名前で残せませんでした。"));
}

// A store that is there but cannot be read now still holds the user's
// groups: it is reported with its reason and left exactly as it is.
TEST(GroupStore, StoreThatCannotBeReadIsReportedAndLeftInPlace) {
    const bool root = ::geteuid() == 0;
    const struct {
        const char* label;
        std::function<void(const QString&)> make;
        QString reason;
    } cases[] = {
        {"a folder of that name", [](const QString& p) { ASSERT_TRUE(QDir().mkdir(p)); },
         QStringLiteral("フォルダです (Is a directory)")},
        {"a link to itself", [](const QString& p) { ASSERT_TRUE(QFile::link(p, p)); },
         QStringLiteral("シンボリックリンクの参照が多すぎます (Too many levels of symbolic links)")},
        {"no read permission",
         [](const QString& p) {
             writeBytes(p, "2\r\n1\r\nX\r\n\r\n");
             ASSERT_TRUE(QFile::setPermissions(p, QFileDevice::WriteOwner));
         },
         QStringLiteral("アクセスが拒否されました (Permission denied)")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        if (root && c.reason.startsWith(QStringLiteral("アクセス"))) continue;  // root reads it anyway
        TempFile f("GroupFiles");
        c.make(f.path());
        GroupRegistry reg = exampleRegistry();
        ScriptedNotifier n;
        EXPECT_EQ(readGroupStore(f.path(), reg, n), GroupStoreRead::Unreadable);
        EXPECT_EQ(n.messages, QStringList{unreadableStoreMessage(f.path(), c.reason)});
        expectSameTables(reg, exampleRegistry());
        EXPECT_FALSE(QFileInfo::exists(f.path() + ".damaged"));
        EXPECT_TRUE(QFileInfo(f.path()).isSymLink() || QFileInfo::exists(f.path()));
    }
    EXPECT_EQ(unreadableStoreMessage("/p/GroupFiles", "R"),
              QStringLiteral("グループ情報ファイル \"/p/GroupFiles\" を読み込めません。\nR\n"
                             "登録済みのグループはこのファイルに残したままにします。"
                             "読み込めるようにしてから起動し直してください。"));
}
