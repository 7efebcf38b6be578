#include "support.h"
#include "core/cp932.h"
#include "core/filehistory.h"
#include "core/settingsfile.h"

using namespace tess;
using tess::test::TempFile;

namespace {

QString entry(int i) { return QStringLiteral("C:\\DOCS\\F%1.TXT").arg(i); }

QStringList entries(int from, int to) {
    QStringList out;
    for (int i = from; i <= to; ++i) out.append(entry(i));
    return out;
}

FileHistory historyOf(const QStringList& list) {
    FileHistory h;
    for (int i = 0; i < list.size(); ++i) h.setPlace(i + 1, list[i]);
    return h;
}

// Every place up to the last occupied one, gaps included.
QStringList places(const FileHistory& h) {
    QStringList out;
    for (int i = 1; i <= FileHistory::kPlaces; ++i) out.append(h.place(i));
    while (!out.isEmpty() && out.last().isEmpty()) out.removeLast();
    return out;
}

struct RirekiCase {
    const char* label;
    QStringList before;
    QString key;
    QStringList after;
};

} // namespace

TEST(FileHistory, RirekiSetMovesOrAddsTheKeyToPlaceOne) {
    const RirekiCase cases[] = {
        {"place one changes nothing", entries(1, 5), entry(1), entries(1, 5)},
        {"place seven moves up", entries(1, 50), entry(7), QStringList{entry(7)} + entries(1, 6) + entries(8, 50)},
        {"full history drops place fifty", entries(1, 50), "NEW.TXT", QStringList{"NEW.TXT"} + entries(1, 49)},
        {"short history", entries(1, 2), "NEW.TXT", {"NEW.TXT", entry(1), entry(2)}},
        // Only a damaged settings file can hold an entry twice: the lowest one moves.
        {"lowest duplicate", {"A", "B", "A", "C"}, "A", {"A", "A", "B", "C"}},
        {"empty key is not recorded", entries(1, 3), "", entries(1, 3)},
    };
    for (const RirekiCase& c : cases) {
        SCOPED_TRACE(c.label);
        FileHistory h = historyOf(c.before);
        h.RirekiSet(c.key);
        EXPECT_EQ(places(h), c.after);
    }
}

TEST(FileHistory, RemoveEntryAndPlacesOutsideTheRange) {
    FileHistory h = historyOf(entries(1, 50));
    EXPECT_TRUE(h.removeEntry(entry(3)));
    EXPECT_EQ(places(h), entries(1, 2) + entries(4, 50));
    EXPECT_FALSE(h.removeEntry(entry(3)));
    EXPECT_FALSE(h.removeEntry(""));
    EXPECT_EQ(h.count(), 49);

    h.setPlace(0, "ZERO");
    h.setPlace(51, "BEYOND");
    EXPECT_EQ(h.count(), 49);
    EXPECT_EQ(h.place(0), QString());
    EXPECT_EQ(h.place(51), QString());
}

TEST(FileHistory, SaveAndLoadThroughARealSettingsFile) {
    TempFile f("tessarine.ini");
    // 70 bytes of Shift-JIS: a cut at 59 bytes would point at no file.
    const QString longPath = QStringLiteral("C:\\ドキュメント\\長いフォルダ名の例\\さらに長いフォルダ\\予定表ＡＢＣ.TXT");
    ASSERT_EQ(cp932::byteLength(longPath), 70);
    FileHistory h;
    h.RirekiSet("MEMO.TXT");
    h.RirekiSet(longPath);
    h.RirekiSet(QStringLiteral(" C:\\BLANK ENDS\\A.TXT "));
    {
        SettingsFile s(f.path());
        h.save(s);
        ASSERT_TRUE(s.save());
    }
    SettingsFile s(f.path());
    EXPECT_EQ(s.read(ini::kOpendFile, ini::kCount, ini::kShortLimit).value, "3");
    FileHistory back;
    QString bad = "untouched";
    back.load(s, &bad);
    EXPECT_EQ(back, h);
    EXPECT_EQ(back.place(2), longPath);
    EXPECT_EQ(bad, QString());
}

TEST(FileHistory, SaveWritesTheCountAndClosesGapsButLeavesKeysBeyondIt) {
    TempFile f("tessarine.ini");
    SettingsFile s(f.path());
    historyOf(entries(1, 5)).save(s);
    historyOf({"A.TXT", "", "C.TXT"}).save(s);
    FileHistory back;
    back.load(s);
    EXPECT_EQ(places(back), (QStringList{"A.TXT", "C.TXT"}));
    EXPECT_EQ(s.read(ini::kOpendFile, ini::kCount, ini::kShortLimit).value, "2");
    EXPECT_EQ(s.read(ini::kOpendFile, "Opend5", ini::kWhole).value, entry(5));
}

struct LoadCase {
    const char* label;
    QString count;
    QStringList written;
    QStringList loaded;
    QString badCount;
};

TEST(FileHistory, LoadHonoursTheCount) {
    const LoadCase cases[] = {
        {"zero", "0", entries(1, 3), {}, ""},
        {"fewer than written", "2", entries(1, 3), entries(1, 2), ""},
        {"above fifty", "70", entries(1, 60), entries(1, 50), ""},
        {"negative", "-4", entries(1, 3), {}, ""},
        {"not a number", "many", entries(1, 3), entries(1, 3), "many"},
        {"missing", "", entries(1, 3), {}, ""},
        // A gap in a damaged file keeps the later places at their numbers.
        {"gap", "3", {"A.TXT", "", "C.TXT"}, {"A.TXT", "", "C.TXT"}, ""},
    };
    for (const LoadCase& c : cases) {
        SCOPED_TRACE(c.label);
        TempFile f("tessarine.ini");
        SettingsFile s(f.path());
        if (!c.count.isEmpty()) s.write(ini::kOpendFile, ini::kCount, c.count);
        for (int i = 0; i < c.written.size(); ++i) s.write(ini::kOpendFile, ini::opendKey(i + 1), c.written[i]);
        FileHistory h;
        QString bad;
        h.load(s, &bad);
        EXPECT_EQ(places(h), c.loaded);
        EXPECT_EQ(bad, c.badCount);
    }
}
