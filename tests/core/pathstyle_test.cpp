#include "core/pathstyle.h"
#include "core/textfold.h"

#include <gtest/gtest.h>

using namespace tess;

TEST(Folding, FoldsAsciiOnly) {
    EXPECT_EQ(foldUpper(u"memo.txt"), QStringLiteral("MEMO.TXT"));
    const QString kana = QString::fromUtf8("めも漢字ｶﾅ１２");
    EXPECT_EQ(foldUpper(kana), kana);
    // Full-width letters are left as they are.
    EXPECT_EQ(foldUpper(QString::fromUtf8("ａｂ")), QString::fromUtf8("ａｂ"));
}

TEST(Folding, RemoveBlanksDropsBothKindsOfSpace) {
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

TEST(PathStyle, FoldingAndRichTextFollowTheStyle) {
    EXPECT_EQ(PathStyle::windows().foldPath(u"c:\\docs\\a.rtf"), QStringLiteral("C:\\DOCS\\A.RTF"));
    EXPECT_EQ(PathStyle::posix().foldPath(u"/home/u/a.rtf"), QStringLiteral("/home/u/a.rtf"));

    EXPECT_TRUE(PathStyle::windows().isRichTextPath(u"C:\\A.RTF"));
    EXPECT_TRUE(PathStyle::windows().isRichTextPath(u"NOTESRTF"));
    EXPECT_FALSE(PathStyle::windows().isRichTextPath(u"A.TXT"));
    EXPECT_TRUE(PathStyle::posix().isRichTextPath(u"/x/a.rtf"));
    EXPECT_TRUE(PathStyle::posix().isRichTextPath(u"/x/a.Rtf"));
    EXPECT_FALSE(PathStyle::posix().isRichTextPath(u"rt"));
}

TEST(PathStyle, JoinAddsOneSeparator) {
    EXPECT_EQ(PathStyle::windows().join(u"C:\\WORK", u"A.TXT"), QStringLiteral("C:\\WORK\\A.TXT"));
    EXPECT_EQ(PathStyle::windows().join(u"C:\\WORK\\", u"A.TXT"), QStringLiteral("C:\\WORK\\A.TXT"));
    EXPECT_EQ(PathStyle::posix().join(u"/work", u"a.txt"), QStringLiteral("/work/a.txt"));
}
