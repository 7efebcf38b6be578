// tessarine-doc as scripts use it: exit status, output and messages.

#include "testsupport.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <csignal>
#include <sys/resource.h>

namespace {

using tess::test::readAll;
using tess::test::writeBytes;

struct Outcome {
    int exit = -1;
    QByteArray out;
    QString err;
};

// `fileSizeLimit` > 0 runs the tool as on a disk that takes no more bytes
// than that per file: writes past it fail with EFBIG.
Outcome runTool(const QStringList& args, rlim_t fileSizeLimit = 0) {
    QProcess p;
    if (fileSizeLimit > 0) {
        p.setChildProcessModifier([fileSizeLimit] {
            ::signal(SIGXFSZ, SIG_IGN);
            const rlimit rl{fileSizeLimit, fileSizeLimit};
            ::setrlimit(RLIMIT_FSIZE, &rl);
        });
    }
    p.start(QStringLiteral(TESS_DOC_TOOL), args);
    EXPECT_TRUE(p.waitForFinished(30000));
    return {p.exitCode(), p.readAllStandardOutput(), QString::fromUtf8(p.readAllStandardError())};
}

class Tool : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString path(const char* name) const { return dir.filePath(QString::fromUtf8(name)); }
};

TEST_F(Tool, TextPrintsUtf8ByTheReadingRule) {
    ASSERT_TRUE(writeBytes(path("a.rtf"), "{\\rtf1\\ansi\\ansicpg932 \\'82\\'a0\\par b}"));
    ASSERT_TRUE(writeBytes(path("b.txt"), "\x82\xa2\r\nx"));
    const Outcome rich = runTool({"text", path("a.rtf")});
    EXPECT_EQ(rich.exit, 0);
    EXPECT_EQ(rich.out, "あ\nb\n");
    const Outcome plain = runTool({"text", path("b.txt")});
    EXPECT_EQ(plain.exit, 0);
    EXPECT_EQ(plain.out, "い\nx\n");
}

TEST_F(Tool, ReadsPlainTextInTheEncodingItIsIn) {
    ASSERT_TRUE(writeBytes(path("utf8.txt"), "\xe6\x97\xa5\xe6\x9c\xac\n"));
    ASSERT_TRUE(writeBytes(path("euc.txt"), "\xc6\xfc\xcb\xdc\r\n"));
    EXPECT_EQ(runTool({"text", path("utf8.txt")}).out, "日本\n");
    EXPECT_EQ(runTool({"text", path("euc.txt")}).out, "日本\n");
    // Converted to plain text, it is the program's own Shift-JIS with CR LF.
    ASSERT_EQ(runTool({"txt", path("utf8.txt"), path("out.txt")}).exit, 0);
    EXPECT_EQ(readAll(path("out.txt")), "\x93\xfa\x96\x7b\r\n");
}

TEST_F(Tool, ConvertsBothWays) {
    ASSERT_TRUE(writeBytes(path("in.txt"), "\x93\xfa\x96\x7b\r\nline2"));
    ASSERT_EQ(runTool({"rtf", path("in.txt"), path("out.rtf")}).exit, 0);
    EXPECT_TRUE(readAll(path("out.rtf")).contains("\\uc2\\u26085\\'93\\'fa\\u26412\\'96\\'7b\\par"));
    ASSERT_EQ(runTool({"txt", path("out.rtf"), path("back.txt")}).exit, 0);
    EXPECT_EQ(readAll(path("back.txt")), "\x93\xfa\x96\x7b\r\nline2");
}

TEST_F(Tool, RefusesLossUnlessAsked) {
    ASSERT_TRUE(writeBytes(path("in.rtf"), "{\\rtf1\\ansi a\\~b\\par c\\u233?d}"));
    const Outcome refused = runTool({"txt", path("in.rtf"), path("out.txt")});
    EXPECT_EQ(refused.exit, 4);
    EXPECT_EQ(refused.err,
              QString::fromUtf8("tessarine-doc: 2 characters cannot be written in Shift-JIS "
                                "(nothing written; --lossy writes '?', or a blank for a no-break space):\n"
                                "  line 1, column 2: U+00a0 \u00A0\n"
                                "  line 2, column 2: U+00e9 é\n"));
    EXPECT_FALSE(QFile::exists(path("out.txt")));
    EXPECT_EQ(runTool({"txt", "--lossy", path("in.rtf"), path("out.txt")}).exit, 0);
    EXPECT_EQ(readAll(path("out.txt")), "a b\r\nc?d");
}

TEST_F(Tool, MissingInputAndBadUsage) {
    const Outcome missing = runTool({"text", path("none.txt")});
    EXPECT_EQ(missing.exit, 2);
    EXPECT_TRUE(missing.err.startsWith("tessarine-doc: cannot read " + path("none.txt") + ": "))
        << missing.err.toStdString();
    EXPECT_TRUE(missing.out.isEmpty());
    const Outcome usage = runTool({"convert"});
    EXPECT_EQ(usage.exit, 1);
    EXPECT_TRUE(usage.err.startsWith("usage: tessarine-doc text FILE\n"));
    ASSERT_TRUE(writeBytes(path("in.txt"), "x"));
    const Outcome cannotWrite = runTool({"rtf", path("in.txt"), path("no/dir/out.rtf")});
    EXPECT_EQ(cannotWrite.exit, 3);
    EXPECT_TRUE(cannotWrite.err.startsWith("tessarine-doc: cannot write " + path("no/dir/out.rtf")));
}

TEST_F(Tool, WriteThatCannotFinishFailsAndKeepsTheOldFile) {
    QByteArray text;
    for (int i = 0; i < 300; ++i) text += "\x93\xfa\x96\x7b line\r\n";
    ASSERT_TRUE(writeBytes(path("in.txt"), text));
    const QByteArray old(3600, 'o');
    ASSERT_TRUE(writeBytes(path("OUT.txt"), old));
    const Outcome full = runTool({"txt", path("in.txt"), path("OUT.txt")}, 1024);
    EXPECT_EQ(full.exit, 3);
    EXPECT_EQ(full.err, "tessarine-doc: cannot write " + path("OUT.txt") + ": ファイルが大きすぎます (File too large)\n");
    EXPECT_EQ(readAll(path("OUT.txt")), old);
}

} // namespace
