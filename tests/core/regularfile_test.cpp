// Reading only regular files, within a size limit, without ever blocking.

#include "support.h"
#include "core/regularfile.h"

#include <QDir>
#include <QFileInfo>

#include <functional>

#include <sys/stat.h>
#include <unistd.h>

using namespace tess;
using namespace tess::test;
using Status = RegularFileRead::Status;

// A pipe without a writer, a device without end, a folder, a link loop and a
// file over the limit are each refused before anything is read; none of
// them blocks.
TEST(RegularFile, ReadsOnlyRegularFilesWithinTheLimit) {
    const struct {
        const char* label;
        std::function<QString(const QString& folder)> make;  // the path to read
        Status status;
        QString problem;  // after "<path>: "
    } cases[] = {
        {"a file", [](const QString& f) { writeBytes(f + "/a", "0123456789"); return f + "/a"; }, Status::Ok, {}},
        {"an empty file", [](const QString& f) { writeBytes(f + "/e", ""); return f + "/e"; }, Status::Ok, {}},
        {"nothing", [](const QString& f) { return f + "/none"; }, Status::Missing,
         QStringLiteral("ファイルまたはフォルダが見つかりません (No such file or directory)")},
        {"a named pipe",
         [](const QString& f) {
             EXPECT_EQ(::mkfifo(QFile::encodeName(f + "/p").constData(), 0600), 0);
             return f + "/p";
         },
         Status::NotRegular, QStringLiteral("通常のファイルではありません")},
        {"a device", [](const QString&) { return QStringLiteral("/dev/zero"); }, Status::NotRegular,
         QStringLiteral("通常のファイルではありません")},
        {"a folder", [](const QString& f) { return f; }, Status::NotRegular,
         QStringLiteral("フォルダです (Is a directory)")},
        {"a link loop",
         [](const QString& f) {
             EXPECT_TRUE(QFile::link(f + "/l", f + "/l"));
             return f + "/l";
         },
         Status::Unreadable,
         QStringLiteral("シンボリックリンクの参照が多すぎます (Too many levels of symbolic links)")},
        {"over the limit", [](const QString& f) { writeBytes(f + "/big", QByteArray(11, 'x')); return f + "/big"; },
         Status::TooLarge,
         QStringLiteral("ファイルが大きすぎるため読み込みません（11 バイト。読み込めるのは 10 バイト までです）")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        QTemporaryDir dir;
        const QString path = c.make(dir.path());
        QByteArray bytes = "left over";
        const RegularFileRead r = readRegularFile(path, bytes, 10);
        EXPECT_EQ(r.status, c.status);
        if (c.status == Status::Ok) {
            EXPECT_EQ(bytes, readBytes(path));
            continue;
        }
        EXPECT_TRUE(bytes.isEmpty());
        EXPECT_EQ(regularFileProblem(path, r, 10), path + QStringLiteral(": ") + c.problem);
    }
    EXPECT_EQ(byteCountText(qint64(1) << 30), QStringLiteral("1,024 MB"));
    EXPECT_EQ(byteCountText(12345), QStringLiteral("12,345 バイト"));
}

// Without read permission (root reads everything, so only as a user).
TEST(RegularFile, FileWithoutReadPermissionGivesTheReason) {
    if (::geteuid() == 0) GTEST_SKIP() << "root reads files without read permission";
    TempFile f("locked");
    writeBytes(f.path(), "text");
    ASSERT_TRUE(QFile::setPermissions(f.path(), QFileDevice::WriteOwner));
    QByteArray bytes;
    const RegularFileRead r = readRegularFile(f.path(), bytes);
    EXPECT_EQ(r.status, Status::Unreadable);
    EXPECT_EQ(r.reason, QStringLiteral("アクセスが拒否されました (Permission denied)"));
}
