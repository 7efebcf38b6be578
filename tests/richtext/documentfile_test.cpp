// LoadDocument and WriteDocument: the format rules, plain-text line ends and
// code page, loss reporting and failures that keep the old file.

#include "testsupport.h"

#include "core/atomicfile.h"

#include "richtext/documentfile.h"

#include <gtest/gtest.h>

#include <cerrno>

#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTextCursor>

namespace tess {
namespace {

using test::readAll;
using test::writeBytes;

class DocumentFile : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString path(const char* name) const { return dir.filePath(QString::fromUtf8(name)); }
};

// Rich text is taken by content, not by name; plain text is Shift-JIS with
// any line ends.
TEST_F(DocumentFile, LoadsByContent) {
    const struct {
        const char* name;
        QByteArray bytes;
        bool rich;
        QString text;
    } cases[] = {
        {"a.txt", "one\r\ntwo\nthree\rfour\r\n\x82\xa0", false, QString::fromUtf8("one\ntwo\nthree\nfour\nあ")},
        {"memo.txt", "{\\rtf1\\ansi{\\b bold}}", true, "bold"},
        {"plain.rtf", "just text", false, "just text"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(writeBytes(path(c.name), c.bytes));
        QTextDocument doc;
        const LoadResult r = LoadDocument(path(c.name), doc);
        ASSERT_TRUE(r.ok());
        EXPECT_EQ(r.richText, c.rich);
        EXPECT_EQ(doc.toRawText().replace(QChar::ParagraphSeparator, u'\n'), c.text);
        EXPECT_EQ(doc.begin().begin().fragment().charFormat().font().bold(), c.rich);
        EXPECT_FALSE(doc.isModified());
    }
}

TEST_F(DocumentFile, MissingFileCannotBeOpenedAndDocumentKept) {
    QTextDocument doc;
    doc.setPlainText("mine");
    const LoadResult r = LoadDocument(path("nope.txt"), doc);
    EXPECT_EQ(r.status, LoadResult::Status::CannotOpen);
    EXPECT_FALSE(r.error.isEmpty());
    EXPECT_EQ(doc.toPlainText(), "mine");
    QTextDocument doc2;
    EXPECT_EQ(LoadDocument(dir.path(), doc2).status, LoadResult::Status::CannotOpen);
}

TEST_F(DocumentFile, PlainWriteIsShiftJisWithCrLfAndNoBom) {
    QTextDocument doc;
    QTextCursor c(&doc);
    c.insertText(QString::fromUtf8("あいう"));
    c.insertBlock();
    c.insertText(QString("x") + QChar::LineSeparator + "yz");
    c.insertBlock();
    const WriteResult r = WriteDocument(path("out.txt"), doc, PathStyle::posix());
    ASSERT_TRUE(r.ok()) << r.error.toStdString();
    EXPECT_EQ(readAll(path("out.txt")), QByteArray("\x82\xa0\x82\xa2\x82\xa4\r\nx\r\nyz\r\n"));
}

TEST_F(DocumentFile, FormatChosenByTheLastThreeCharacters) {
    QTextDocument doc;
    doc.setPlainText("text");
    struct Case {
        PathStyle style;
        const char* name;
        bool rich;
    } cases[] = {
        {PathStyle::posix(), "A.RTF", true},   {PathStyle::posix(), "a.rtf", true},
        {PathStyle::posix(), "NOTESRTF", true}, {PathStyle::posix(), "A.DOC", false},
        {PathStyle::posix(), "NOTES", false},  {PathStyle::posix(), "A.RTF.TXT", false},
        {PathStyle::windows(), "B.RTF", true}, {PathStyle::windows(), "b.rtf", false},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(WriteDocument(path(c.name), doc, c.style).ok());
        const QByteArray bytes = readAll(path(c.name));
        EXPECT_EQ(bytes.startsWith("{\\rtf1"), c.rich) << c.name;
        if (!c.rich) {
            EXPECT_EQ(bytes, "text") << c.name;
        }
        QFile::remove(path(c.name));
    }
}

TEST_F(DocumentFile, UnencodableCharactersRefusedWithPositions) {
    ASSERT_TRUE(writeBytes(path("keep.txt"), "old"));
    QTextDocument doc;
    QTextCursor c(&doc);
    c.insertText(QString::fromUtf8("a\u00A0é"));  // a no-break space is no exception
    c.insertBlock();
    c.insertText(QString::fromUtf8("b") + QString::fromUcs4(U"\U0001F600") + "c");
    const WriteResult r = WriteDocument(path("keep.txt"), doc, PathStyle::posix());
    EXPECT_EQ(r.status, WriteResult::Status::Unencodable);
    const QList<cp932::Unencodable> want{{1, U'\u00A0'}, {2, U'é'}, {5, U'\U0001F600'}};
    EXPECT_EQ(r.unencodable, want);
    EXPECT_EQ(readAll(path("keep.txt")), "old");  // nothing written

    const WriteResult lossy = WriteDocument(path("keep.txt"), doc, PathStyle::posix(),
                                            LossPolicy::Replace);
    ASSERT_TRUE(lossy.ok());
    EXPECT_EQ(readAll(path("keep.txt")), "a ?\r\nb?c");  // the no-break space as a blank
    // Rich text loses nothing, so there is nothing to refuse.
    EXPECT_TRUE(WriteDocument(path("keep.rtf"), doc, PathStyle::posix()).ok());
}

TEST_F(DocumentFile, FileThatCannotBeCreatedNamesThePathAndKeepsTheOldFile) {
    QTextDocument doc;
    doc.setPlainText("new");
    const QString target = dir.filePath("no/such/folder/x.txt");
    const WriteResult r = WriteDocument(target, doc, PathStyle::posix());
    EXPECT_EQ(r.status, WriteResult::Status::CannotCreate);
    EXPECT_TRUE(r.error.startsWith(target + ": ")) << r.error.toStdString();
    // A file standing where a folder should be fails the same way, even for root.
    ASSERT_TRUE(writeBytes(path("plainfile"), "x"));
    const WriteResult r3 = WriteDocument(path("plainfile/a.rtf"), doc, PathStyle::posix());
    EXPECT_EQ(r3.status, WriteResult::Status::CannotCreate);
    EXPECT_TRUE(r3.error.startsWith(path("plainfile/a.rtf") + ": ")) << r3.error.toStdString();
    EXPECT_EQ(readAll(path("plainfile")), "x");
}

// A folder the user may not write, or a read-only disk, is a place no file
// can be created in; the old file stays.  Root writes anywhere, so the real
// folder is tried only as a user, the system's answers are injected always.
TEST_F(DocumentFile, ReadOnlyFolderKeepsTheOldFile) {
    QTextDocument doc;
    doc.setPlainText("new");
    QDir(dir.path()).mkdir("ro");
    const QString old = dir.filePath("ro/old.txt");
    ASSERT_TRUE(writeBytes(old, "old"));
    for (const int err : {EACCES, EROFS, EPERM}) {
        faults::setAtomicFault(err == EACCES   ? [](AtomicStep s) { return s == AtomicStep::Create ? EACCES : 0; }
                               : err == EROFS ? [](AtomicStep s) { return s == AtomicStep::Create ? EROFS : 0; }
                                              : [](AtomicStep s) { return s == AtomicStep::Create ? EPERM : 0; });
        const WriteResult r = WriteDocument(old, doc, PathStyle::posix());
        faults::setAtomicFault(nullptr);
        EXPECT_EQ(r.status, WriteResult::Status::CannotCreate) << err;
        EXPECT_EQ(readAll(old), "old");
    }
    if (::geteuid() == 0) return;
    QFile::setPermissions(dir.filePath("ro"), QFile::ReadOwner | QFile::ExeOwner);
    const WriteResult r2 = WriteDocument(old, doc, PathStyle::posix());
    QFile::setPermissions(dir.filePath("ro"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    EXPECT_EQ(r2.status, WriteResult::Status::CannotCreate);
    EXPECT_EQ(r2.error, old + QStringLiteral(": アクセスが拒否されました (Permission denied)"));
    EXPECT_EQ(readAll(old), "old");
}

// Quick-save and clip-save files have no extension but hold rich text.
TEST_F(DocumentFile, RichTextWithoutAnExtension) {
    QTextDocument doc;
    QTextCharFormat f;
    f.setFontFamilies({QString::fromUtf8("ＭＳ Ｐゴシック")});
    f.setFontPointSize(10);
    f.setFontWeight(QFont::Bold);
    QTextCursor(&doc).insertText(QString::fromUtf8("保存して読む"), f);
    ASSERT_TRUE(WriteDocumentAs(path("QuickSave"), doc, DocumentFormat::RichText).ok());
    QTextDocument quick;
    EXPECT_TRUE(LoadDocument(path("QuickSave"), quick).richText);
    EXPECT_EQ(test::runsOf(quick), test::runsOf(doc));
}

// A NUL typed or pasted into a document survives every way it is saved: the
// quick-save file, an ".RTF" document and a plain-text one.
TEST_F(DocumentFile, NulCharacterSurvivesEverySave) {
    const QString text = QStringLiteral("a") + QChar(0) + QStringLiteral("b\u65E5") + QChar(0);
    for (const char* name : {"QuickSave", "memo.RTF", "memo.TXT"}) {
        SCOPED_TRACE(name);
        QTextDocument doc;
        doc.setPlainText(text);
        ASSERT_TRUE(WriteDocument(path(name), doc, PathStyle::posix()).ok());
        QTextDocument back;
        ASSERT_TRUE(LoadDocument(path(name), back).ok());
        EXPECT_EQ(back.toPlainText(), text);
    }
}

} // namespace
} // namespace tess
