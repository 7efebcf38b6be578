// Whole-file writes under failure: a file size limit, a failure at each step,
// a process killed mid-write and, where the tests run as root, a full disk.

#include "core/atomicfile.h"
#include "core/systemerror.h"

#include "support.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <random>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace tess {
namespace {

using test::readBytes;
using test::writeBytes;

QByteArray filled(qsizetype size, char c) { return QByteArray(size, c); }

// Files in the folder other than `keep`: a failed write must not leave its
// temporary file behind.
QStringList strays(const QString& folder, const QString& keep) {
    QStringList names = QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System);
    names.removeAll(keep);
    return names;
}

struct ChildResult {
    AtomicWrite status = AtomicWrite::Ok;
    QString error;
};

// Runs the write in a child process whose file size limit is `limit` bytes,
// with SIGXFSZ ignored so that writes past the limit fail with EFBIG.
ChildResult writeUnderSizeLimit(const QString& path, const QByteArray& bytes, rlim_t limit) {
    int fds[2];
    EXPECT_EQ(::pipe(fds), 0);
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(fds[0]);
        ::signal(SIGXFSZ, SIG_IGN);
        const rlimit rl{limit, limit};
        ::setrlimit(RLIMIT_FSIZE, &rl);
        QString error;
        const AtomicWrite status = writeFileAtomic(path, bytes, &error);
        const QByteArray msg = QByteArray::number(int(status)) + '\n' + error.toUtf8();
        ssize_t unused = ::write(fds[1], msg.constData(), size_t(msg.size()));
        (void)unused;
        ::_exit(0);
    }
    ::close(fds[1]);
    QByteArray msg;
    char buf[512];
    for (ssize_t n; (n = ::read(fds[0], buf, sizeof buf)) > 0;) msg.append(buf, n);
    ::close(fds[0]);
    int wstatus = 0;
    ::waitpid(pid, &wstatus, 0);
    const qsizetype nl = msg.indexOf('\n');
    if (nl < 0) {
        ADD_FAILURE() << "child reported nothing";
        return {};
    }
    return {AtomicWrite(msg.left(nl).toInt()), QString::fromUtf8(msg.mid(nl + 1))};
}

// Sizes below and well above any file buffer.
class SizeLimit : public ::testing::TestWithParam<qsizetype> {};

TEST_P(SizeLimit, WriteThatCannotFinishKeepsTheOldFileAndSaysWhy) {
    test::TempFile file("OUT.txt");
    const QByteArray old = filled(3600, 'o');
    writeBytes(file.path(), old);
    const QByteArray bigger = filled(GetParam(), 'n');

    const ChildResult r = writeUnderSizeLimit(file.path(), bigger, rlim_t(GetParam() / 2));
    EXPECT_EQ(r.status, AtomicWrite::Failed);
    EXPECT_EQ(r.error, file.path() + QStringLiteral(": ") + systemErrorText(EFBIG));
    EXPECT_EQ(readBytes(file.path()), old);
    EXPECT_EQ(strays(file.dir.path(), file.name), QStringList());

    // Within the limit the same write goes through.
    const ChildResult ok = writeUnderSizeLimit(file.path(), bigger, rlim_t(GetParam() * 2));
    EXPECT_EQ(ok.status, AtomicWrite::Ok) << ok.error.toStdString();
    EXPECT_EQ(readBytes(file.path()), bigger);
}

INSTANTIATE_TEST_SUITE_P(AtomicFile, SizeLimit, ::testing::Values(100, 20000, 3 * 1024 * 1024));

// One step made to fail with ENOSPC.
AtomicStep g_failing = AtomicStep::Create;
int failAtChosenStep(AtomicStep step) { return step == g_failing ? ENOSPC : 0; }

class FailingStep : public ::testing::TestWithParam<AtomicStep> {
protected:
    void SetUp() override {
        g_failing = GetParam();
        faults::setAtomicFault(failAtChosenStep);
    }
    void TearDown() override { faults::setAtomicFault(nullptr); }
};

TEST_P(FailingStep, LeavesTheOldFileWholeAndNamesTheReason) {
    test::TempFile file("GroupFiles");
    const QByteArray old = "old store\r\n";
    writeBytes(file.path(), old);
    QString error;
    EXPECT_EQ(writeFileAtomic(file.path(), "new store\r\n", &error), AtomicWrite::Failed);
    EXPECT_EQ(error, file.path() + QStringLiteral(": ディスクの空き容量が足りません (No space left on device)"));
    EXPECT_EQ(readBytes(file.path()), old);
    EXPECT_EQ(strays(file.dir.path(), file.name), QStringList());
}

INSTANTIATE_TEST_SUITE_P(AtomicFile, FailingStep,
                         ::testing::Values(AtomicStep::Create, AtomicStep::Write, AtomicStep::Sync,
                                           AtomicStep::Close, AtomicStep::Rename));

TEST(AtomicFile, UnsyncableFolderStillGivesTheWholeNewFile) {
    g_failing = AtomicStep::SyncFolder;
    faults::setAtomicFault(failAtChosenStep);
    test::TempFile file("QuickSave");
    writeBytes(file.path(), "old");
    EXPECT_EQ(writeFileAtomic(file.path(), "new"), AtomicWrite::Ok);
    faults::setAtomicFault(nullptr);
    EXPECT_EQ(readBytes(file.path()), "new");
}

TEST(AtomicFile, MissingFolderCannotCreateAndKeepsPermissionsAndLinks) {
    QTemporaryDir dir;
    QString error;
    const QString nowhere = dir.filePath(QStringLiteral("no/such/OUT.TXT"));
    EXPECT_EQ(writeFileAtomic(nowhere, "x", &error), AtomicWrite::CannotCreate);
    EXPECT_EQ(error, nowhere + QStringLiteral(": ") + systemErrorText(ENOENT));

    // A replaced file keeps its mode, and a link keeps pointing at its target.
    const QString real = dir.filePath(QStringLiteral("real.txt"));
    const QString link = dir.filePath(QStringLiteral("link.txt"));
    writeBytes(real, "old");
    ASSERT_TRUE(QFile::setPermissions(real, QFile::ReadOwner | QFile::WriteOwner));
    const QFile::Permissions mode = QFile::permissions(real);
    ASSERT_TRUE(QFile::link(real, link));
    ASSERT_TRUE(writeFileAtomically(link, "new"));
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_EQ(readBytes(real), "new");
    EXPECT_EQ(QFile::permissions(real), mode);
}

TEST(AtomicFile, ProcessKilledMidWriteLeavesOneWholeVersion) {
    test::TempFile file("QuickSave");
    const QByteArray a = filled(400 * 1024, 'a');
    const QByteArray b = filled(700 * 1024, 'b');
    writeBytes(file.path(), a);
    std::mt19937 random(12345);
    for (int round = 0; round < 20; ++round) {
        const pid_t pid = ::fork();
        if (pid == 0) {
            for (int i = 0;; ++i) writeFileAtomically(file.path(), i % 2 ? a : b);
        }
        ::usleep(useconds_t(1000 + random() % 20000));
        ::kill(pid, SIGKILL);
        ::waitpid(pid, nullptr, 0);
        const QByteArray now = readBytes(file.path());
        ASSERT_TRUE(now == a || now == b) << "round " << round << ": " << now.size() << " bytes";
    }
}

TEST(AtomicFile, FullDiskKeepsTheOldFile) {
    if (::geteuid() != 0) GTEST_SKIP() << "mounting a small file system needs root";
    QTemporaryDir dir;
    const QByteArray mountPoint = QFile::encodeName(dir.path());
    if (::mount("tmpfs", mountPoint.constData(), "tmpfs", 0, "size=64k") != 0)
        GTEST_SKIP() << "cannot mount tmpfs here: " << std::strerror(errno);
    const QString path = dir.filePath(QStringLiteral("OUT.txt"));
    const QByteArray old = filled(3600, 'o');
    writeBytes(path, old);
    {
        // Fill what is left.
        QFile filler(dir.filePath(QStringLiteral("filler")));
        ASSERT_TRUE(filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
        const QByteArray block(4096, 'f');
        while (filler.write(block) == block.size()) {
        }
    }
    QString error;
    for (const qsizetype size : {qsizetype(100), qsizetype(100000)}) {
        EXPECT_EQ(writeFileAtomic(path, filled(size, 'n'), &error), AtomicWrite::Failed);
        EXPECT_EQ(error, path + QStringLiteral(": ディスクの空き容量が足りません (No space left on device)"));
        EXPECT_EQ(readBytes(path), old);
    }
    ::umount(mountPoint.constData());
}

} // namespace
} // namespace tess

namespace tess {
namespace {

TEST(SystemError, JapaneseBesideTheSystemsOwnWords) {
    EXPECT_EQ(systemErrorText(ENOSPC), QStringLiteral("ディスクの空き容量が足りません (No space left on device)"));
    EXPECT_EQ(systemErrorText(qt_error_string(EACCES)), QStringLiteral("アクセスが拒否されました (Permission denied)"));
    EXPECT_EQ(systemErrorText(ELOOP),
              QStringLiteral("シンボリックリンクの参照が多すぎます (Too many levels of symbolic links)"));
    EXPECT_EQ(systemErrorText(QStringLiteral("file to open is a directory")),
              QStringLiteral("フォルダです (file to open is a directory)"));
    // Every reason says something in Japanese, the system's words beside it.
    EXPECT_EQ(systemErrorText(EDOM), QStringLiteral("システムのエラーです (") + qt_error_string(EDOM) + u')');
    for (int e = 1; e < 134; ++e)
        EXPECT_FALSE(systemErrorText(e).startsWith(qt_error_string(e))) << e;
}

} // namespace
} // namespace tess

namespace tess {
namespace {

// Output written a piece at a time: all of it, or nothing and the old file.
TEST(AtomicFile, StreamedWriteIsWholeOrNothing) {
    test::TempFile file("Recovery");
    writeBytes(file.path(), "old");
    const QList<QByteArray> pieces = {QByteArray(70000, 'a'), "b", QByteArray(5000, 'c')};
    const auto all = [&](const AtomicSink& put) {
        for (const QByteArray& p : pieces)
            if (!put(p)) return false;
        return true;
    };
    ASSERT_EQ(writeFileAtomicStreamed(file.path(), all), AtomicWrite::Ok);
    EXPECT_EQ(readBytes(file.path()), pieces.join());

    // A producer that gives up half-way.
    QString error;
    EXPECT_EQ(writeFileAtomicStreamed(file.path(), [&](const AtomicSink& put) { return put("partial") && false; },
                                      &error),
              AtomicWrite::Failed);
    EXPECT_EQ(error, file.path() + QStringLiteral(": ") + systemErrorText(ECANCELED));
    EXPECT_EQ(readBytes(file.path()), pieces.join());

    // A write that fails at the second piece: the sink says so, and the
    // producer stops there.
    static int writes;
    writes = 0;
    faults::setAtomicFault([](AtomicStep s) { return s == AtomicStep::Write && ++writes == 2 ? ENOSPC : 0; });
    int offered = 0;
    const AtomicWrite full = writeFileAtomicStreamed(file.path(), [&](const AtomicSink& put) {
        for (const QByteArray& p : pieces) {
            ++offered;
            if (!put(p)) return false;
        }
        return true;
    }, &error);
    faults::setAtomicFault(nullptr);
    EXPECT_EQ(full, AtomicWrite::Failed);
    EXPECT_EQ(offered, 2);
    EXPECT_EQ(error, file.path() + QStringLiteral(": ") + systemErrorText(ENOSPC));
    EXPECT_EQ(readBytes(file.path()), pieces.join());
    EXPECT_EQ(strays(file.dir.path(), file.name), QStringList());
}

} // namespace
} // namespace tess
