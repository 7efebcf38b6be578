#include "core/atomicfile.h"
#include "core/programfolder.h"
#include "core/recovery.h"
#include "core/runlock.h"
#include "core/systemerror.h"

#include "support.h"

#include <QDir>
#include <QFileInfo>
#include <QSysInfo>

#include <unistd.h>

namespace tess {
namespace {

using namespace Qt::StringLiterals;

TEST(RecoveryFields, TravelInsideTheRichTextAndReadBackExactly) {
    const recovery::Fields cases[] = {
        {u"Tessarine  // NewFile (更新)"_s, QString(), QString(), QString()},
        {u"Tessarine  // 仕事 / A.RTF (更新)"_s, u"仕事"_s, u"A.RTF"_s, u"/home/u/A.RTF"_s},
        // Whatever a path may hold: line breaks, braces, backslashes, "=".
        {u"a}b{c\\d"_s, u"x=y\nz"_s, u"café\r\n😀"_s, u"/tmp/\\n/}"_s},
    };
    for (const recovery::Fields& f : cases) {
        const QByteArray file = recovery::withFields("{\\rtf1\\ansi text\\par}", f);
        ASSERT_TRUE(file.startsWith("{\\rtf1{\\*\\tessarinerecovery "));
        EXPECT_TRUE(file.endsWith("}\\ansi text\\par}"));
        EXPECT_EQ(recovery::readFields(file), f);
    }
    EXPECT_TRUE(recovery::withFields("plain text", cases[0]).isEmpty());

    // Written a piece at a time, the copy is the same bytes.
    QByteArray streamed;
    const auto put = [&](QByteArrayView piece) {
        streamed += piece;
        return true;
    };
    ASSERT_TRUE(recovery::putWithFields("{\\rtf1\\ansi te", cases[1], put));
    streamed += "xt\\par}";
    EXPECT_EQ(streamed, recovery::withFields("{\\rtf1\\ansi text\\par}", cases[1]));
    EXPECT_FALSE(recovery::putWithFields("plain", cases[1], put));
}

TEST(RecoveryFields, DamagedOrForeignFilesCarryNone) {
    const QByteArray good = recovery::withFields("{\\rtf1 x}", {u"c"_s, u"g"_s, u"f"_s, u"p"_s});
    const qsizetype hex = good.indexOf(' ') + 1;
    QByteArray badHex = good;
    badHex[hex] = 'z';
    QByteArray later = recovery::withFields("{\\rtf1 x}", {});
    later.replace(QByteArray("Version=1").toHex(), QByteArray("Version=2").toHex());
    const QByteArray cases[] = {
        "{\\rtf1 x}",
        good.left(hex + 10),  // cut inside the group
        badHex,
        later,                // a later program's copy
        "{\\rtf1{\\*\\tessarinerecovery " + QByteArray("Caption=c\n").toHex() + "}}",  // fields missing
        QByteArray(100, ' ') + good,  // not at the start
    };
    for (const QByteArray& c : cases) EXPECT_EQ(recovery::readFields(c), std::nullopt) << c.constData();
}

// The mark a save leaves tells the next start whether the save reached its
// file: any replacement does, a file left as it was does not.
TEST(RecoveryCopy, ASaveMarkTellsWhetherTheSaveReachedItsFile) {
    QTemporaryDir dir;
    const QString doc = dir.filePath(u"メモ\n{x}.rtf"_s);
    const recovery::SaveMark none{doc, recovery::stampOf(doc)};
    EXPECT_FALSE(none.before.exists);
    EXPECT_EQ(recovery::readSaveMark(recovery::saveMarkBytes(none)), none);
    EXPECT_FALSE(recovery::saveLanded(none));

    ASSERT_TRUE(writeFileAtomically(doc, "first"));
    EXPECT_TRUE(recovery::saveLanded(none));
    const recovery::SaveMark old{doc, recovery::stampOf(doc)};
    EXPECT_EQ(recovery::readSaveMark(recovery::saveMarkBytes(old)), old);
    EXPECT_FALSE(recovery::saveLanded(old));
    // The same length, at once: still another file.
    ASSERT_TRUE(writeFileAtomically(doc, "fir5t"));
    EXPECT_TRUE(recovery::saveLanded(old));

    for (const QByteArray& damaged : {QByteArray(), QByteArray(300, '\0'), QByteArray("Version=1\nTarget=/a\n"),
                                      QByteArray("Version=1\nTarget=/a\nBefore=1:2\n"),
                                      QByteArray("Version=2\nTarget=/a\nBefore=none\n")})
        EXPECT_EQ(recovery::readSaveMark(damaged), std::nullopt) << damaged.constData();
}

// One holder at a time; the lock goes with its holder, and the owner is read
// from the file's head only.
TEST(RunLock, OneHolderAtATimeAndTheOwnerReadWithABound) {
    QTemporaryDir dir;
    const QString path = dir.filePath(u"Recovery.lock"_s);
    RunLock first(path);
    ASSERT_EQ(first.tryLock(), RunLock::State::Owned);
    const QString me = QString::number(::getpid()) + u' ' + QSysInfo::machineHostName();
    EXPECT_EQ(readLockOwner(path), me);
    {
        RunLock second(path);
        EXPECT_EQ(second.tryLock(), RunLock::State::Held);
        // Failing to take it leaves the holder's file alone.
    }
    EXPECT_EQ(readLockOwner(path), me);
    first.unlock();
    EXPECT_FALSE(QFileInfo::exists(path));
    RunLock third(path);
    EXPECT_EQ(third.tryLock(), RunLock::State::Owned);
    third.unlock();

    RunLock nowhere(dir.filePath(u"gone/Recovery.lock"_s));
    EXPECT_EQ(nowhere.tryLock(), RunLock::State::Failed);
    EXPECT_EQ(nowhere.error(), dir.filePath(u"gone/Recovery.lock"_s) + u": "_s + systemErrorText(ENOENT));

    const struct {
        const char* label;
        QByteArray head;
        qint64 size;  // grown to this, sparse
        QString owner;
    } owners[] = {
        {"ours", "12 host\n", 0, u"12 host"_s},
        {"an older program's", "345\ntessarine\nhost\n", 0, u"345"_s},
        {"empty", "", 0, QString()},
        {"NULs", QByteArray(64, '\0'), 0, QString()},
        {"1 GiB of nothing", "", qint64(1) << 30, QString()},
        {"1 GiB after an owner", "77 h\n", qint64(1) << 30, u"77 h"_s},
        {"one endless line", QByteArray(4096, '7'), 0, QString()},
    };
    for (const auto& o : owners) {
        SCOPED_TRACE(o.label);
        const QString p = dir.filePath(u"owner"_s);
        test::writeBytes(p, o.head);
        if (o.size) {
            ASSERT_TRUE(QFile(p).resize(o.size));
        }
        EXPECT_EQ(readLockOwner(p), o.owner);
    }
    EXPECT_EQ(readLockOwner(dir.path()), QString());
}

// Only what the atomic writer makes for the given targets is removed.
TEST(AtomicLeftovers, OnlyTheWritersTemporaryFilesOfTheTargetsGo) {
    QTemporaryDir dir;
    const QStringList ours = {u".A.zz9.tmp"_s, u".A.0.tmp"_s, u".b.c.1234567.tmp"_s};
    const QStringList others = {u".A.tmp"_s,  u".A..tmp"_s,        u".A.12345678.tmp"_s, u".A.Z.tmp"_s,
                                u".A.1.tmp~"_s, u"A.1.tmp"_s,      u".AA.1.tmp"_s,       u".b.1.tmp"_s};
    for (const QString& n : ours + others) test::writeBytes(dir.filePath(n), "x");
    ASSERT_TRUE(QDir(dir.path()).mkdir(u".A.folder.tmp"_s));
    ASSERT_TRUE(QDir(dir.path()).mkdir(u".A.d1.tmp"_s));
    ASSERT_TRUE(QFile::link(dir.filePath(u".A.zz9.tmp"_s), dir.filePath(u".A.l1.tmp"_s)));

    QStringList removed = removeAtomicLeftovers(dir.path(), {u"A"_s, u"b.c"_s});
    removed.sort();
    QStringList expected = ours;
    expected.sort();
    EXPECT_EQ(removed, expected);
    for (const QString& n : others) EXPECT_TRUE(QFileInfo::exists(dir.filePath(n))) << n.toStdString();
    // A folder or a link of that shape is no temporary file of ours.
    EXPECT_TRUE(QFileInfo(dir.filePath(u".A.d1.tmp"_s)).isDir());
    EXPECT_TRUE(QFileInfo(dir.filePath(u".A.l1.tmp"_s)).isSymLink());
}

TEST(CommandLine, TheFileToOpen) {
    struct Case {
        QStringList args;
        QString expected;
    };
    const Case cases[] = {
        {{u"tessarine"_s}, QString()},
        {{u"tessarine"_s, u"a.txt"_s}, u"/work/a.txt"_s},
        {{u"tessarine"_s, u"../b/./c.rtf"_s}, u"/b/c.rtf"_s},
        {{u"tessarine"_s, u"/abs/メモ.txt"_s, u"second"_s}, u"/abs/メモ.txt"_s},
        {{u"tessarine"_s, u"--verbose"_s, u"x"_s}, u"/work/x"_s},
        {{u"tessarine"_s, u"--"_s, u"-dash.txt"_s}, u"/work/-dash.txt"_s},
        {{u"tessarine"_s, u"file:///tmp/a%20b.txt"_s}, u"/tmp/a b.txt"_s},
        {{u"tessarine"_s, u"file://remote.host/x"_s}, QString()},
    };
    for (const Case& c : cases) EXPECT_EQ(fileToOpen(c.args, u"/work"_s), c.expected) << c.args.join(u' ').toStdString();
}

TEST(CommandLine, AnInstalledCopyIsKnownByItsDesktopEntry) {
    QTemporaryDir dir;
    const QString bin = dir.filePath(u"bin"_s);
    ASSERT_TRUE(QDir().mkpath(bin));
    EXPECT_FALSE(isInstalledCopy(bin));
    ASSERT_TRUE(QDir().mkpath(dir.filePath(u"share/applications"_s)));
    test::writeBytes(dir.filePath(u"share/applications/"_s + kDesktopId + u".desktop"_s), "[Desktop Entry]\n");
    EXPECT_TRUE(isInstalledCopy(bin));
    // A build folder beside such a tree is not installed.
    EXPECT_FALSE(isInstalledCopy(dir.path()));
}

} // namespace
} // namespace tess
