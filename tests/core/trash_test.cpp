// The trash: the home trash made on a new account, a volume's own trash, and
// the cases where no trash takes the file.

#include "support.h"

#include "core/removefile.h"
#include "core/trash.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QUrl>

#include <sys/stat.h>
#include <unistd.h>

#include <optional>

namespace tess {
namespace {

using test::readBytes;
using test::writeBytes;

// Sets environment variables for one test and puts them back afterwards.
class ScopedEnv {
public:
    void set(const char* name, const std::optional<QString>& value) {
        saved_.append({name, qEnvironmentVariableIsSet(name), qgetenv(name)});
        if (value)
            qputenv(name, QFile::encodeName(*value));
        else
            qunsetenv(name);
    }
    ~ScopedEnv() {
        for (auto it = saved_.crbegin(); it != saved_.crend(); ++it) {
            if (it->wasSet)
                qputenv(it->name, it->value);
            else
                qunsetenv(it->name);
        }
    }

private:
    struct Saved {
        const char* name;
        bool wasSet;
        QByteArray value;
    };
    QList<Saved> saved_;
};

mode_t modeOf(const QString& path) {
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_mode & 07777 : 0;
}

QStringList entriesOf(const QString& folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

// The keys of a ".trashinfo", after checking its group line.
QMap<QString, QString> readTrashInfo(const QString& path) {
    const QStringList lines = QString::fromUtf8(readBytes(path)).split(u'\n', Qt::SkipEmptyParts);
    QMap<QString, QString> keys;
    EXPECT_FALSE(lines.isEmpty()) << path.toStdString();
    if (lines.isEmpty()) return keys;
    EXPECT_EQ(lines.first(), QStringLiteral("[Trash Info]"));
    for (const QString& line : lines.mid(1)) {
        const qsizetype eq = line.indexOf(u'=');
        EXPECT_GT(eq, 0) << line.toStdString();
        keys.insert(line.left(eq), line.mid(eq + 1));
    }
    return keys;
}

void expectDeletedJustNow(const QMap<QString, QString>& info) {
    const QDateTime when = QDateTime::fromString(info.value(QStringLiteral("DeletionDate")), Qt::ISODate);
    ASSERT_TRUE(when.isValid()) << info.value(QStringLiteral("DeletionDate")).toStdString();
    EXPECT_LE(qAbs(when.secsTo(QDateTime::currentDateTime())), 120);
}

class TrashTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(tmp.isValid());
        for (const char* f : {"home", "docs", "work"}) ASSERT_TRUE(QDir().mkpath(at(f)));
        oldCwd = QDir::currentPath();
        // Where the trash wrongly went before: the working folder.
        ASSERT_TRUE(QDir::setCurrent(at("work")));
        env.set("HOME", at("home"));
        env.set("XDG_DATA_HOME", std::nullopt);
    }
    void TearDown() override {
        QDir::setCurrent(oldCwd);
        EXPECT_TRUE(entriesOf(at("work")).isEmpty()) << entriesOf(at("work")).join(u' ').toStdString();
    }
    QString at(const char* relative) const { return tmp.filePath(QString::fromUtf8(relative)); }
    QString doc(const QString& name, const QByteArray& bytes = "x") {
        const QString path = at("docs") + u'/' + name;
        writeBytes(path, bytes);
        return path;
    }

    QTemporaryDir tmp;
    ScopedEnv env;
    QString oldCwd;
};

// A new account: HOME holds nothing, not even ".local/share".  The home trash
// is made (private folders), the file and its info land there, and a second
// file of the same name gets a name of its own.
TEST_F(TrashTest, EmptyHomeGetsItsTrashMade) {
    const QString first = doc(QStringLiteral("M2.TXT"), "first");
    const QString original = QFileInfo(first).canonicalFilePath();
    const RemoveResult removed = trashDocumentFile(first);
    ASSERT_EQ(removed.status, RemoveResult::Status::Removed) << removed.message.toStdString();
    EXPECT_FALSE(QFileInfo::exists(first));

    const QString trash = at("home") + QStringLiteral("/.local/share/Trash");
    EXPECT_EQ(readBytes(trash + QStringLiteral("/files/M2.TXT")), "first");
    const QMap<QString, QString> info = readTrashInfo(trash + QStringLiteral("/info/M2.TXT.trashinfo"));
    EXPECT_EQ(info.value(QStringLiteral("Path")), original);
    expectDeletedJustNow(info);
    for (const QString& made : {at("home") + QStringLiteral("/.local"), at("home") + QStringLiteral("/.local/share"),
                                trash, trash + QStringLiteral("/files"), trash + QStringLiteral("/info")})
        EXPECT_EQ(modeOf(made), 0700u) << made.toStdString();

    const QString second = doc(QStringLiteral("M2.TXT"), "second");
    ASSERT_EQ(trashDocumentFile(second).status, RemoveResult::Status::Removed);
    EXPECT_EQ(readBytes(trash + QStringLiteral("/files/M2 (2).TXT")), "second");
    EXPECT_EQ(readTrashInfo(trash + QStringLiteral("/info/M2 (2).TXT.trashinfo")).value(QStringLiteral("Path")),
              info.value(QStringLiteral("Path")));
    EXPECT_EQ(entriesOf(trash + QStringLiteral("/files")),
              (QStringList{QStringLiteral("M2 (2).TXT"), QStringLiteral("M2.TXT")}));
    EXPECT_TRUE(entriesOf(at("docs")).isEmpty());
}

// The info file keeps the path as the file system's bytes, escaped as in a
// URL: a Japanese name with blanks and a percent sign reads back exactly.
TEST_F(TrashTest, InfoPathIsEscapedAndReadsBack) {
    const QString path = doc(QStringLiteral("メモ 100%.txt"));
    const QString original = QFileInfo(path).canonicalFilePath();
    ASSERT_EQ(trashDocumentFile(path).status, RemoveResult::Status::Removed);
    const QString trash = at("home") + QStringLiteral("/.local/share/Trash");
    const QString stored =
        readTrashInfo(trash + QStringLiteral("/info/メモ 100%.txt.trashinfo")).value(QStringLiteral("Path"));
    EXPECT_FALSE(stored.contains(u' '));
    EXPECT_FALSE(stored.contains(QStringLiteral("メ")));
    EXPECT_EQ(QFile::decodeName(QByteArray::fromPercentEncoding(stored.toLatin1())), original);
    EXPECT_TRUE(QFileInfo::exists(trash + QStringLiteral("/files/メモ 100%.txt")));
}

// $XDG_DATA_HOME names the data folder when it is an absolute path; empty or
// relative, it is ignored and ~/.local/share serves.
TEST_F(TrashTest, HomeTrashFollowsTheDataFolder) {
    struct Case {
        std::optional<QString> xdg;
        QString trash;
    };
    const QList<Case> cases = {
        {std::nullopt, at("home") + QStringLiteral("/.local/share/Trash")},
        {QString(), at("home") + QStringLiteral("/.local/share/Trash")},
        {QStringLiteral("relative/data"), at("home") + QStringLiteral("/.local/share/Trash")},
        {at("xdg/data"), at("xdg/data") + QStringLiteral("/Trash")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.xdg.value_or(QStringLiteral("(unset)")).toStdString());
        ScopedEnv local;
        local.set("XDG_DATA_HOME", c.xdg);
        const TrashPlaces places = trashPlacesFor(doc(QStringLiteral("a.txt")));
        EXPECT_EQ(places.homeTrash, c.trash);
        EXPECT_TRUE(places.onHomeVolume);
        const TrashResult r = moveToTrash(at("docs") + QStringLiteral("/a.txt"), places);
        ASSERT_EQ(r.status, TrashResult::Status::Trashed) << r.reason.toStdString();
        EXPECT_EQ(QFileInfo(r.trashedAs).absolutePath(), c.trash + QStringLiteral("/files"));
        EXPECT_TRUE(QFileInfo::exists(r.trashedAs));
    }
    EXPECT_FALSE(QFileInfo::exists(at("work/relative")));
}

// A file on another volume goes to that volume's trash: an administrator's
// ".Trash" only when it has the sticky bit, else the user's ".Trash-$uid".
// The info names the file from the volume's top.  The home trash is left
// alone: moving there would be a copy.
TEST_F(TrashTest, AnotherVolumeUsesItsOwnTrash) {
    const QString uid = QString::number(::getuid());
    struct Case {
        const char* name;
        std::optional<mode_t> shared;  // a ".Trash" at the top, with this mode
        QString trash;                 // relative to the top
    };
    const QList<Case> cases = {
        {"no shared trash", std::nullopt, QStringLiteral(".Trash-") + uid},
        {"sticky shared trash", 01777, QStringLiteral(".Trash/") + uid},
        {"shared trash without the sticky bit", 0777, QStringLiteral(".Trash-") + uid},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString top = at("vol") + QString::number(++n);
        ASSERT_TRUE(QDir().mkpath(top + QStringLiteral("/sub")));
        if (c.shared) {
            ASSERT_TRUE(QDir().mkdir(top + QStringLiteral("/.Trash")));
            ASSERT_EQ(::chmod(QFile::encodeName(top + QStringLiteral("/.Trash")).constData(), *c.shared), 0);
        }
        const QString file = top + QStringLiteral("/sub/a.txt");
        writeBytes(file, "volume");
        const TrashResult r = moveToTrash(file, {at("hometrash"), top, false});
        ASSERT_EQ(r.status, TrashResult::Status::Trashed) << r.reason.toStdString();
        const QString trash = top + u'/' + c.trash;
        EXPECT_EQ(r.trashedAs, trash + QStringLiteral("/files/a.txt"));
        EXPECT_EQ(readBytes(r.trashedAs), "volume");
        EXPECT_EQ(modeOf(trash), 0700u);
        const QMap<QString, QString> info = readTrashInfo(trash + QStringLiteral("/info/a.txt.trashinfo"));
        EXPECT_EQ(info.value(QStringLiteral("Path")), QStringLiteral("sub/a.txt"));
        expectDeletedJustNow(info);
        EXPECT_FALSE(QFileInfo::exists(file));
    }
    EXPECT_FALSE(QFileInfo::exists(at("hometrash")));
}

// No trash takes the file: it stays where it is, and the user is asked
// before it is deleted for good.  Root may write anywhere, so the trash is
// blocked by a file where a folder must be.
TEST_F(TrashTest, WithoutATrashTheFileStaysAndTheUserIsAsked) {
    const QString uid = QString::number(::getuid());
    writeBytes(at("datafile"), "not a folder");
    ASSERT_TRUE(QDir().mkpath(at("vol")));
    writeBytes(at("vol") + QStringLiteral("/.Trash-") + uid, "not a folder");
    struct Case {
        const char* name;
        TrashPlaces places;
    };
    const QList<Case> cases = {
        {"home trash under a file", {at("datafile") + QStringLiteral("/Trash"), QString(), true}},
        {"volume trash is a file", {at("home") + QStringLiteral("/.local/share/Trash"), at("vol"), false}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = doc(QStringLiteral("keep.txt"), "kept");
        const TrashResult r = moveToTrash(path, c.places);
        EXPECT_EQ(r.status, TrashResult::Status::NoTrash);
        EXPECT_TRUE(r.reason.contains(QStringLiteral("ごみ箱として使えません"))) << r.reason.toStdString();
        EXPECT_EQ(readBytes(path), "kept");
    }
    EXPECT_FALSE(QFileInfo::exists(at("home") + QStringLiteral("/.local")));

    // Through the environment, as the explorer removes a file.
    env.set("XDG_DATA_HOME", at("datafile"));
    const QString path = doc(QStringLiteral("keep.txt"));
    const RemoveResult removed = trashDocumentFile(path);
    ASSERT_EQ(removed.status, RemoveResult::Status::NoTrash);
    EXPECT_EQ(removed.message,
              deleteForGoodQuestion(path, QStringLiteral("\"") + at("datafile") +
                                              QStringLiteral("/Trash\" をごみ箱として使えません: ") +
                                              QStringLiteral("フォルダではありません (Not a directory)")));
    EXPECT_TRUE(QFileInfo::exists(path));
    QString error;
    EXPECT_TRUE(deleteDocumentFile(path, &error)) << error.toStdString();
    EXPECT_FALSE(QFileInfo::exists(path));
}

} // namespace
} // namespace tess
