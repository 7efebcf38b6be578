#include "support.h"
#include "core/pathstyle.h"
#include "core/textfold.h"

using namespace tess;

TEST(Folding, FoldsAsciiOnlyAndRemovesBothKindsOfBlank) {
    EXPECT_EQ(foldUpper(u"memo.txt"), QStringLiteral("MEMO.TXT"));
    const QString kana = QString::fromUtf8("めも漢字ｶﾅ１２ａｂ");  // full-width letters stay
    EXPECT_EQ(foldUpper(kana), kana);
    EXPECT_EQ(RemoveBlanks(QString::fromUtf8(" M Y　G ")), QStringLiteral("MYG"));
    EXPECT_TRUE(isBlank(QString::fromUtf8(" 　 ")));
    EXPECT_FALSE(isBlank(QString::fromUtf8("ＡＢ　")));
}

struct PathCase {
    PathStyle style;
    const char* path;
    bool full;
    bool folderGroup;
    const char* folder;
    const char* name;
};

class PathStyles : public ::testing::TestWithParam<PathCase> {};

TEST_P(PathStyles, SplitAndClassify) {
    const PathCase& c = GetParam();
    const QString path = QString::fromUtf8(c.path);
    EXPECT_EQ(c.style.isFullPath(path), c.full);
    EXPECT_EQ(c.style.isValidFolderGroupPath(path), c.folderGroup);
    EXPECT_EQ(c.style.folderPart(path), QString::fromUtf8(c.folder));
    EXPECT_EQ(c.style.fileName(path), QString::fromUtf8(c.name));
}

INSTANTIATE_TEST_SUITE_P(
    Table, PathStyles,
    ::testing::Values(
        PathCase{PathStyle::windows(), "C:\\DOCS\\A.TXT", true, true, "C:\\DOCS\\", "A.TXT"},
        PathCase{PathStyle::windows(), "C:\\", true, false, "C:\\", ""},
        PathCase{PathStyle::windows(), "C:\\A", true, true, "C:\\", "A"},
        PathCase{PathStyle::windows(), "\\\\SERVER\\SHARE", false, false, "\\\\SERVER\\", "SHARE"},
        PathCase{PathStyle::windows(), "MEMO.TXT", false, false, "", "MEMO.TXT"},
        PathCase{PathStyle::windows(), "C:MEMO.TXT", false, false, "C:", "MEMO.TXT"},
        PathCase{PathStyle::posix(), "/home/u/Docs/a.txt", true, true, "/home/u/Docs/", "a.txt"},
        PathCase{PathStyle::posix(), "/", true, false, "/", ""},
        PathCase{PathStyle::posix(), "/a", true, true, "/", "a"},
        PathCase{PathStyle::posix(), "memo.txt", false, false, "", "memo.txt"},
        PathCase{PathStyle::posix(), "C:\\DOCS", false, false, "", "C:\\DOCS"},
        PathCase{PathStyle::posix(), "a:b.txt", false, false, "", "a:b.txt"}));

TEST(PathStyle, FoldingRichTextAndJoinFollowTheStyle) {
    const PathStyle win = PathStyle::windows(), posix = PathStyle::posix();
    EXPECT_EQ(win.foldPath(u"c:\\docs\\a.rtf"), QStringLiteral("C:\\DOCS\\A.RTF"));
    EXPECT_EQ(posix.foldPath(u"/home/u/a.rtf"), QStringLiteral("/home/u/a.rtf"));
    EXPECT_TRUE(win.isRichTextPath(u"C:\\A.RTF"));
    EXPECT_TRUE(win.isRichTextPath(u"NOTESRTF"));
    EXPECT_FALSE(win.isRichTextPath(u"A.TXT"));
    EXPECT_TRUE(posix.isRichTextPath(u"/x/a.rtf"));
    EXPECT_TRUE(posix.isRichTextPath(u"/x/a.Rtf"));
    EXPECT_FALSE(posix.isRichTextPath(u"rt"));
    EXPECT_EQ(win.join(u"C:\\WORK", u"A.TXT"), QStringLiteral("C:\\WORK\\A.TXT"));
    EXPECT_EQ(win.join(u"C:\\WORK\\", u"A.TXT"), QStringLiteral("C:\\WORK\\A.TXT"));
    EXPECT_EQ(posix.join(u"/work", u"a.txt"), QStringLiteral("/work/a.txt"));
}
