#include "qtprint.h"
#include "core/cp932.h"
#include "core/filehistory.h"
#include "core/groupstore.h"
#include "scriptednotifier.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace tess;
using tess::test::ScriptedNotifier;

namespace {

QByteArray sjisLines(const QStringList& lines) {
    QByteArray out;
    for (const QString& l : lines) out += cp932::encode(l) + "\r\n";
    return out;
}

void writeBytes(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    ASSERT_EQ(f.write(bytes), bytes.size());
}

QByteArray readBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// A folder group WORK on C:\WORK with A.TXT and B.TXT, an inner group MEMO with C.TXT.
GroupRegistry exampleRegistry() {
    GroupRegistry reg(PathStyle::windows(), "C:\\TESS\\");
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

struct StoreDir {
    QTemporaryDir dir;
    QString path() const { return dir.filePath("GroupFiles"); }
};

} // namespace

TEST(GroupStore, ExampleIsWrittenByteForByte) {
    const GroupRegistry reg = exampleRegistry();
    const QByteArray bytes = serializeGroupStore(reg);
    EXPECT_EQ(bytes, sjisLines(kExampleLines));
    EXPECT_EQ(bytes.count("\r\n"), 20);
    EXPECT_TRUE(bytes.endsWith("C:\\WORK\r\n2\r\n2\r\n\x83O\x83\x8B\x81[\x83v\x96\xBC\r\n\r\nMEMO\r\nX\r\n"));

    StoreDir d;
    ASSERT_TRUE(writeGroupStore(d.path(), reg));
    EXPECT_EQ(readBytes(d.path()), bytes);
}

TEST(GroupStore, ExampleReadsBackIntoEqualTables) {
    StoreDir d;
    writeBytes(d.path(), sjisLines(kExampleLines));
    GroupRegistry reg(PathStyle::windows(), "C:\\TESS\\");
    ScriptedNotifier n;
    EXPECT_EQ(readGroupStore(d.path(), reg, n), GroupStoreRead::Loaded);
    const GroupRegistry expected = exampleRegistry();
    EXPECT_EQ(reg.GrdGF(), expected.GrdGF());
    EXPECT_EQ(reg.GrdFG(), expected.GrdFG());
    EXPECT_EQ(reg.GrdIG(), expected.GrdIG());
    EXPECT_TRUE(n.messages.isEmpty());
}

TEST(GroupStore, ShapeLinesComeFirst) {
    GroupRegistry reg(PathStyle::windows(), "C:\\TESS\\");
    FileHistory h;
    ScriptedNotifier n;
    for (const char* g : {"A", "B", "C"}) reg.Touroku(kind::kInner, g, "X", h, n);
    reg.GrdGF().setRowCount(5);
    const QList<QByteArray> lines = serializeGroupStore(reg).split('\n');
    EXPECT_EQ(lines[0], "5\r");
    EXPECT_EQ(lines[1], "3\r");
    EXPECT_EQ(lines[2 + 15], "2\r");  // block 2 starts right after the 15 cells
}

TEST(GroupStore, RoundTripOfALargerRegistryWithJapaneseNames) {
    GroupRegistry reg(PathStyle::windows(), "C:\\TESS\\");
    FileHistory h;
    ScriptedNotifier n;
    n.answers = {false, false};
    reg.Touroku(kind::kFolder, QStringLiteral("仕事"), QStringLiteral("D:\\書類\\ﾃｽﾄ"), h, n);
    reg.Touroku(kind::kInner, QStringLiteral("メモ　帳"), "X", h, n);
    reg.Touroku(kind::kFolder, "X2", "E:\\X", h, n);
    for (int i = 0; i < 7; ++i) reg.FileGroupSet(QStringLiteral("仕事"), QStringLiteral("表%1.TXT").arg(i));
    reg.FileGroupSet("X2", " LEAD.TXT ");
    reg.reorder(QStringLiteral("メモ　帳"), {"", "GAP.RTF"});
    StoreDir d;
    ASSERT_TRUE(writeGroupStore(d.path(), reg));
    GroupRegistry back(PathStyle::windows(), "C:\\TESS\\");
    EXPECT_EQ(readGroupStore(d.path(), back, n), GroupStoreRead::Loaded);
    EXPECT_EQ(back.GrdGF(), reg.GrdGF());
    EXPECT_EQ(back.GrdFG(), reg.GrdFG());
    EXPECT_EQ(back.GrdIG(), reg.GrdIG());
    EXPECT_TRUE(n.messages.isEmpty());
}

TEST(GroupStore, ALineBreakInACellCannotShiftTheCells) {
    GroupRegistry reg = exampleRegistry();
    reg.GrdFG().setCell(1, 1, "C:\\WO\r\nRK");
    reg.GrdGF().setCell(0, 1, "A\nB.TXT");
    StoreDir d;
    ASSERT_TRUE(writeGroupStore(d.path(), reg));
    GroupRegistry back(PathStyle::windows(), "C:\\TESS\\");
    ScriptedNotifier n;
    ASSERT_EQ(readGroupStore(d.path(), back, n), GroupStoreRead::Loaded);
    EXPECT_EQ(back.GrdFG().cell(1, 1), "C:\\WO  RK");
    EXPECT_EQ(back.GrdGF().cell(0, 1), "A B.TXT");
    EXPECT_EQ(back.GrdIG(), reg.GrdIG());
}

TEST(GroupStore, UnsafeFileNamesAreDropped) {
    QStringList lines = kExampleLines;
    lines[4] = "..";               // WORK row 1
    lines[5] = "..\\..\\EVIL.TXT";  // MEMO row 1
    lines[6] = "SUB/B.TXT";        // WORK row 2
    lines[7] = ".";                // MEMO row 2
    StoreDir d;
    writeBytes(d.path(), sjisLines(lines));
    GroupRegistry reg(PathStyle::windows(), "C:\\TESS\\");
    ScriptedNotifier n;
    ASSERT_EQ(readGroupStore(d.path(), reg, n), GroupStoreRead::Loaded);
    for (int r = 1; r < 3; ++r)
        for (int c = 0; c < 2; ++c) EXPECT_EQ(reg.GrdGF().cell(c, r), QString()) << c << "," << r;
    EXPECT_EQ(reg.groupList(), (QStringList{"WORK", "MEMO"}));
    EXPECT_EQ(reg.GrdGF().cell(0, 0), "WORK");

    // A drive-relative name is unsafe under Windows only.
    lines = kExampleLines;
    lines[4] = "D:A.TXT";
    writeBytes(d.path(), sjisLines(lines));
    GroupRegistry win(PathStyle::windows(), "C:\\TESS\\");
    GroupRegistry posix(PathStyle::posix(), "/opt/tess/");
    ASSERT_EQ(readGroupStore(d.path(), win, n), GroupStoreRead::Loaded);
    ASSERT_EQ(readGroupStore(d.path(), posix, n), GroupStoreRead::Loaded);
    EXPECT_EQ(win.GrdGF().cell(0, 1), QString());
    EXPECT_EQ(posix.GrdGF().cell(0, 1), "D:A.TXT");
}

TEST(GroupStore, BlocksTwoAndThreeAlwaysHoldTwoCellsPerRow) {
    QStringList lines = kExampleLines;
    lines[9] = "5";   // column count of the folder table
    lines[15] = "1";  // column count of the inner table
    StoreDir d;
    writeBytes(d.path(), sjisLines(lines));
    GroupRegistry reg(PathStyle::windows(), "C:\\TESS\\");
    ScriptedNotifier n;
    ASSERT_EQ(readGroupStore(d.path(), reg, n), GroupStoreRead::Loaded);
    const GroupRegistry expected = exampleRegistry();
    EXPECT_EQ(reg.GrdFG(), expected.GrdFG());
    EXPECT_EQ(reg.GrdIG(), expected.GrdIG());
}

TEST(GroupStore, BareLineFeedsAndAMissingLastLineEndAreRead) {
    StoreDir d;
    QByteArray bytes = sjisLines(kExampleLines);
    bytes.replace("\r\n", "\n");
    bytes.chop(1);
    writeBytes(d.path(), bytes);
    GroupRegistry reg(PathStyle::windows(), "C:\\TESS\\");
    ScriptedNotifier n;
    ASSERT_EQ(readGroupStore(d.path(), reg, n), GroupStoreRead::Loaded);
    EXPECT_EQ(reg.GrdIG(), exampleRegistry().GrdIG());
}

TEST(GroupStore, MissingFileIsNotReported) {
    StoreDir d;
    GroupRegistry reg = exampleRegistry();
    const TextGrid before = reg.GrdGF();
    ScriptedNotifier n;
    EXPECT_EQ(readGroupStore(d.path(), reg, n), GroupStoreRead::Missing);
    EXPECT_TRUE(n.messages.isEmpty());
    EXPECT_EQ(reg.GrdGF(), before);
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
        StoreDir d;
        const QByteArray bytes = sjisLines(c.damage(kExampleLines));
        writeBytes(d.path(), bytes);
        // Something already kept aside: the new one gets a number.
        writeBytes(d.path() + ".damaged", "old");
        GroupRegistry reg = exampleRegistry();
        ScriptedNotifier n;
        EXPECT_EQ(readGroupStore(d.path(), reg, n), GroupStoreRead::Damaged);
        const GroupRegistry empty(PathStyle::windows(), "C:\\TESS\\");
        EXPECT_EQ(reg.GrdGF(), empty.GrdGF());
        EXPECT_EQ(reg.GrdFG(), empty.GrdFG());
        EXPECT_EQ(reg.GrdIG(), empty.GrdIG());
        EXPECT_EQ(n.messages, QStringList{damagedStoreMessage("GroupFiles.damaged2")});
        EXPECT_FALSE(QFile::exists(d.path()));
        EXPECT_EQ(readBytes(d.path() + ".damaged2"), bytes);
        EXPECT_EQ(readBytes(d.path() + ".damaged"), "old");
    }
}

TEST(GroupStore, DamagedMessageText) {
    EXPECT_EQ(damagedStoreMessage("GroupFiles.damaged"),
              QStringLiteral("グループ情報ファイル \"GroupFiles\" が壊れているため読み込みませんでした。\n"
                             "壊れたファイルは \"GroupFiles.damaged\" として残してあります。"));
    EXPECT_EQ(damagedStoreMessage(""),
              QStringLiteral("グループ情報ファイル \"GroupFiles\" が壊れているため読み込みませんでした。\n"
                             "壊れたファイルを別の名前で残せませんでした。"));
}

TEST(GroupStore, FirstDamagedCopyTakesThePlainName) {
    StoreDir d;
    writeBytes(d.path(), "garbage\r\n");
    GroupRegistry reg(PathStyle::windows(), "C:\\TESS\\");
    ScriptedNotifier n;
    EXPECT_EQ(readGroupStore(d.path(), reg, n), GroupStoreRead::Damaged);
    EXPECT_EQ(n.messages, QStringList{damagedStoreMessage("GroupFiles.damaged")});
    EXPECT_EQ(readBytes(d.path() + ".damaged"), "garbage\r\n");
}

TEST(GroupStore, WriteFailureKeepsTheOldStore) {
    StoreDir d;
    writeBytes(d.path(), sjisLines(kExampleLines));
    QString error;
    // A folder that does not exist cannot take the file.
    EXPECT_FALSE(writeGroupStore(d.dir.filePath("missing/GroupFiles"), exampleRegistry(), &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(readBytes(d.path()), sjisLines(kExampleLines));
}
