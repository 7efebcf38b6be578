#include "qtprint.h"
#include "core/cp932.h"
#include "core/filehistory.h"
#include "core/settingsfile.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace tess;

namespace {

QString entry(int i) { return QStringLiteral("C:\\DOCS\\F%1.TXT").arg(i); }

FileHistory filled(int n) {
    FileHistory h;
    for (int i = 1; i <= n; ++i) h.setPlace(i, entry(i));
    return h;
}

} // namespace

TEST(FileHistory, RirekiSetOfPlaceOneChangesNothing) {
    FileHistory h = filled(5);
    const FileHistory before = h;
    h.RirekiSet(entry(1));
    EXPECT_EQ(h, before);
}

TEST(FileHistory, RirekiSetOfPlaceSevenMovesItUp) {
    FileHistory h = filled(50);
    h.RirekiSet(entry(7));
    EXPECT_EQ(h.place(1), entry(7));
    for (int i = 2; i <= 7; ++i) EXPECT_EQ(h.place(i), entry(i - 1)) << i;
    for (int i = 8; i <= 50; ++i) EXPECT_EQ(h.place(i), entry(i)) << i;
    EXPECT_EQ(h.count(), 50);
}

TEST(FileHistory, RirekiSetIntoAFullHistoryDropsPlaceFifty) {
    FileHistory h = filled(50);
    h.RirekiSet("NEW.TXT");
    EXPECT_EQ(h.place(1), "NEW.TXT");
    for (int i = 2; i <= 50; ++i) EXPECT_EQ(h.place(i), entry(i - 1)) << i;
    EXPECT_FALSE(h.entries().contains(entry(50)));
    EXPECT_EQ(h.count(), 50);
}

TEST(FileHistory, RirekiSetIntoAShortHistory) {
    FileHistory h = filled(2);
    h.RirekiSet("NEW.TXT");
    EXPECT_EQ(h.entries(), (QStringList{"NEW.TXT", entry(1), entry(2)}));
    EXPECT_EQ(h.place(4), QString());
}

TEST(FileHistory, TheLowestDuplicateCounts) {
    // Only a damaged settings file can hold an entry twice.
    FileHistory h;
    h.setPlace(1, "A");
    h.setPlace(2, "B");
    h.setPlace(3, "A");
    h.setPlace(4, "C");
    h.RirekiSet("A");
    EXPECT_EQ(h.entries(), (QStringList{"A", "A", "B", "C"}));
}

TEST(FileHistory, AnEmptyKeyIsNotRecorded) {
    FileHistory h = filled(3);
    const FileHistory before = h;
    h.RirekiSet("");
    EXPECT_EQ(h, before);
}

TEST(FileHistory, RemoveEntry) {
    FileHistory h = filled(50);
    EXPECT_TRUE(h.removeEntry(entry(3)));
    EXPECT_EQ(h.place(3), entry(4));
    EXPECT_EQ(h.place(49), entry(50));
    EXPECT_EQ(h.place(50), QString());
    EXPECT_FALSE(h.removeEntry(entry(3)));
    EXPECT_FALSE(h.removeEntry(""));
    EXPECT_EQ(h.count(), 49);
}

TEST(FileHistory, PlacesOutsideTheRangeAreIgnored) {
    FileHistory h;
    h.setPlace(0, "ZERO");
    h.setPlace(51, "BEYOND");
    EXPECT_EQ(h.count(), 0);
    EXPECT_EQ(h.place(0), QString());
    EXPECT_EQ(h.place(51), QString());
}

TEST(FileHistory, SaveAndLoadThroughARealSettingsFile) {
    QTemporaryDir dir;
    const QString path = dir.filePath("tessarine.ini");
    // 70 bytes of Shift-JIS: a cut at 59 bytes would point at no file.
    const QString longPath = QStringLiteral("C:\\ドキュメント\\長いフォルダ名の例\\さらに長いフォルダ\\予定表ＡＢＣ.TXT");
    ASSERT_EQ(cp932::byteLength(longPath), 70);
    FileHistory h;
    h.RirekiSet("MEMO.TXT");
    h.RirekiSet(longPath);
    h.RirekiSet(QStringLiteral(" C:\\BLANK ENDS\\A.TXT "));
    {
        SettingsFile s(path);
        h.save(s);
        ASSERT_TRUE(s.save());
    }
    SettingsFile s(path);
    EXPECT_EQ(s.read(ini::kOpendFile, ini::kCount, ini::kShortLimit).value, "3");
    FileHistory back;
    QString bad = "untouched";
    back.load(s, &bad);
    EXPECT_EQ(back, h);
    EXPECT_EQ(back.place(2), longPath);
    EXPECT_EQ(bad, QString());
}

TEST(FileHistory, SaveLeavesKeysBeyondTheCount) {
    QTemporaryDir dir;
    const QString path = dir.filePath("tessarine.ini");
    SettingsFile s(path);
    filled(5).save(s);
    filled(2).save(s);
    EXPECT_EQ(s.read(ini::kOpendFile, ini::kCount, ini::kShortLimit).value, "2");
    EXPECT_EQ(s.read(ini::kOpendFile, "Opend5", ini::kWhole).value, entry(5));
    FileHistory back;
    back.load(s);
    EXPECT_EQ(back, filled(2));
}

struct LoadCase {
    const char* label;
    QString count;
    int entriesWritten;
    int expectedCount;
    QString badCount;
};

TEST(FileHistory, LoadHonoursTheCount) {
    const LoadCase cases[] = {
        {"zero", "0", 3, 0, ""},
        {"fewer than written", "2", 3, 2, ""},
        {"above fifty", "70", 60, 50, ""},
        {"negative", "-4", 3, 0, ""},
        {"not a number", "many", 3, 0, "many"},
        {"missing", "", 3, 0, ""},
    };
    for (const LoadCase& c : cases) {
        SCOPED_TRACE(c.label);
        QTemporaryDir dir;
        SettingsFile s(dir.filePath("tessarine.ini"));
        if (!c.count.isEmpty()) s.write(ini::kOpendFile, ini::kCount, c.count);
        for (int i = 1; i <= c.entriesWritten; ++i) s.write(ini::kOpendFile, ini::opendKey(i), entry(i));
        FileHistory h;
        QString bad;
        h.load(s, &bad);
        EXPECT_EQ(h.count(), c.expectedCount);
        if (c.expectedCount > 0) {
            EXPECT_EQ(h.place(c.expectedCount), entry(c.expectedCount));
        }
        EXPECT_EQ(bad, c.badCount);
    }
}

TEST(FileHistory, AMissingKeyLeavesAGapAndLaterPlacesKeepTheirNumbers) {
    QTemporaryDir dir;
    SettingsFile s(dir.filePath("tessarine.ini"));
    s.write(ini::kOpendFile, ini::kCount, "3");
    s.write(ini::kOpendFile, "Opend1", "A.TXT");
    s.write(ini::kOpendFile, "Opend2", "");
    s.write(ini::kOpendFile, "Opend3", "C.TXT");
    FileHistory h;
    h.load(s);
    EXPECT_EQ(h.place(1), "A.TXT");
    EXPECT_EQ(h.place(2), QString());
    EXPECT_EQ(h.place(3), "C.TXT");
    // Saving closes the gap.
    h.save(s);
    EXPECT_EQ(s.read(ini::kOpendFile, ini::kCount, ini::kShortLimit).value, "2");
    EXPECT_EQ(s.read(ini::kOpendFile, "Opend2", ini::kWhole).value, "C.TXT");
}
