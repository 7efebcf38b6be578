// The two clip-save slots: opening them, saving the editor's selection,
// pasting back, and what survives a quick-save exit and a normal one.

#include "mainwindowfixture.h"

#include "core/cp932.h"
#include "core/filenames.h"
#include "mainwindow/clipsave.h"
#include "richtext/documentfile.h"
#include "richtext/richtext.h"
#include "richtext/softbreaks.h"

#include <QAbstractButton>
#include <QDir>
#include <QFileInfo>
#include <QListWidget>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <functional>

#ifdef Q_OS_UNIX
#include <sys/resource.h>

#include <csignal>
#endif

namespace tess::testing {
namespace {

using namespace Qt::StringLiterals;

const QString kTitle1 = QStringLiteral("［クリップセーブ１］");
const QString kTitle2 = QStringLiteral("［クリップセーブ２］");
const QString kNoCursor = QStringLiteral("メインエディタにカーソルがありません");

class ClipSaveTest : public MainWindowTest {
protected:
    void startShown() {
        start();
        showActive();
        ASSERT_TRUE(memo()->hasFocus());
    }
    void click(const char* name) { widget<QAbstractButton>(QString::fromLatin1(name))->click(); }
    void openSlot(int slot) { click(slot == 1 ? "SB9" : "SpeedButton13"); }
    void saveHere() { click("SpeedButton14"); }
    void pasteThis() { click("SpeedButton15"); }

    void select(int from, int to) {
        QTextCursor c(memo()->document());
        c.setPosition(from);
        c.setPosition(to, QTextCursor::KeepAnchor);
        memo()->setTextCursor(c);
    }
    void caretAt(int position) { select(position, position); }
    bool panelShown() { return visible(QStringLiteral("PnlCS")); }
    QString preview() { return widget<QPlainTextEdit>(QStringLiteral("CrpVew"))->toPlainText(); }
    QString panelTitle() { return labelText(QStringLiteral("Label4")); }
    QColor titleColour() { return widget(QStringLiteral("Label4"))->palette().color(QPalette::WindowText); }
    QString slotPath(int slot) { return path(slot == 1 ? files::kClipSave1 : files::kClipSave2); }

    // The slot file's text as the program reads it back, with the document.
    QString fileText(int slot, QTextDocument* into = nullptr) {
        QTextDocument own;
        QTextDocument& doc = into ? *into : own;
        if (!LoadDocument(slotPath(slot), doc).ok()) return QStringLiteral("<unreadable>");
        return documentPlainText(doc);
    }
    // Puts `text` into a slot through the panel, as the user does.
    void keep(int slot, const QString& text) {
        memo()->clear();
        type(text);
        memo()->selectAll();
        openSlot(slot);
        saveHere();
        ASSERT_EQ(fileText(slot), text);
    }
};

TEST_F(ClipSaveTest, OpeningNeedsTheCursorInTheEditor) {
    startShown();
    w().PGFClick();
    widget(QStringLiteral("PanelPass"))->setFocus();
    openSlot(1);
    EXPECT_EQ(prompter.messages(), QStringList{kNoCursor});
    EXPECT_FALSE(panelShown());

    memo()->setFocus();
    openSlot(1);
    ASSERT_TRUE(panelShown());
    EXPECT_EQ(panelTitle(), kTitle1);
    EXPECT_EQ(titleColour(), QColor(0, 128, 0));
    EXPECT_TRUE(memo()->hasFocus()) << "the buttons take no focus";

    // Focus in the slot's own preview: the open panel stays as it was.
    widget(QStringLiteral("CrpVew"))->setFocus();
    openSlot(2);
    EXPECT_EQ(prompter.messages(), (QStringList{kNoCursor, kNoCursor}));
    EXPECT_TRUE(panelShown());
    EXPECT_EQ(panelTitle(), kTitle1);
}

TEST_F(ClipSaveTest, FormattedSelectionIsKeptPlainAndPastedBackAsAnEdit) {
    startShown();
    QTextCursor c(memo()->document());
    c.insertText(QStringLiteral("普通の行"));
    QTextCharFormat loud;
    loud.setFontWeight(QFont::Bold);
    loud.setFontItalic(true);
    loud.setForeground(QColor(200, 0, 0));
    c.insertText(QStringLiteral("太字の語"), loud);
    c.insertText(QStringLiteral("\n終わり"), QTextCharFormat());
    select(4, 8);

    openSlot(1);
    EXPECT_TRUE(preview().isEmpty());
    saveHere();
    EXPECT_FALSE(panelShown());
    EXPECT_TRUE(memo()->hasFocus());
    EXPECT_EQ(w().state().LblCS1, QStringLiteral("X"));
    EXPECT_TRUE(w().state().LblCS2.isEmpty());
    EXPECT_TRUE(readFile(slotPath(1)).startsWith("{\\rtf"));
    QTextDocument stored;
    EXPECT_EQ(fileText(1, &stored), QStringLiteral("太字の語"));
    const QTextCharFormat storedFormat = stored.begin().begin().fragment().charFormat();
    EXPECT_NE(storedFormat.fontWeight(), QFont::Bold);
    EXPECT_FALSE(storedFormat.fontItalic());
    EXPECT_FALSE(storedFormat.hasProperty(QTextFormat::ForegroundBrush));
    EXPECT_FALSE(QFile::exists(slotPath(2)));

    // Pasted after the plain text: it takes that text's plain attributes.
    w().MarkClean();
    caretAt(4);
    openSlot(1);
    EXPECT_EQ(preview(), QStringLiteral("太字の語"));
    pasteThis();
    EXPECT_FALSE(panelShown());
    EXPECT_EQ(memo()->toPlainText(), QStringLiteral("普通の行太字の語太字の語\n終わり"));
    EXPECT_TRUE(modified());
    EXPECT_EQ(title(), QStringLiteral("Tessarine  // NewFile (更新)"));
    QTextCursor pasted(memo()->document());
    pasted.setPosition(6);
    EXPECT_NE(pasted.charFormat().fontWeight(), QFont::Bold);
    EXPECT_TRUE(memo()->hasFocus());
}

TEST_F(ClipSaveTest, NothingSelectedSavesNothingAndAnEmptySlotDeletesTheSelection) {
    startShown();
    type(QStringLiteral("abcdef"));
    openSlot(1);
    saveHere();
    EXPECT_TRUE(panelShown());
    EXPECT_TRUE(w().state().LblCS1.isEmpty());
    EXPECT_FALSE(QFile::exists(slotPath(1)));
    EXPECT_TRUE(prompter.shown.isEmpty());

    // Empty slot, nothing selected: nothing changes.
    w().MarkClean();
    pasteThis();
    EXPECT_FALSE(panelShown());
    EXPECT_EQ(memo()->toPlainText(), QStringLiteral("abcdef"));
    EXPECT_FALSE(modified());

    select(2, 4);
    openSlot(2);
    pasteThis();
    EXPECT_EQ(memo()->toPlainText(), QStringLiteral("abef"));
    EXPECT_TRUE(modified());
    EXPECT_EQ(title(), QStringLiteral("Tessarine  // NewFile (更新)"));
}

TEST_F(ClipSaveTest, OpeningTheOtherSlotSwitchesThePanelAndTheSaveGoesThere) {
    startShown();
    keep(1, QStringLiteral("一番目"));
    memo()->clear();
    type(QStringLiteral("一行目\n二行目"));
    select(1, 5);

    openSlot(1);
    EXPECT_EQ(preview(), QStringLiteral("一番目"));
    openSlot(2);
    EXPECT_TRUE(panelShown());
    EXPECT_EQ(panelTitle(), kTitle2);
    EXPECT_EQ(titleColour(), QColor(128, 0, 128));
    EXPECT_TRUE(preview().isEmpty());
    saveHere();
    EXPECT_EQ(w().state().LblCS2, QStringLiteral("X"));
    EXPECT_EQ(fileText(2), QStringLiteral("行目\n二"));
    EXPECT_EQ(fileText(1), QStringLiteral("一番目"));

    openSlot(1);
    EXPECT_EQ(preview(), QStringLiteral("一番目"));
    openSlot(2);
    EXPECT_EQ(preview(), QStringLiteral("行目\n二"));
    // The line break comes back as a paragraph of its own.
    caretAt(0);
    pasteThis();
    EXPECT_EQ(memo()->document()->blockCount(), 3);
    EXPECT_EQ(memo()->toPlainText(), QStringLiteral("行目\n二一行目\n二行目"));

    const QString before = memo()->toPlainText();
    openSlot(1);
    click("SpeedButton18");
    EXPECT_FALSE(panelShown());
    EXPECT_EQ(memo()->toPlainText(), before);
}

TEST_F(ClipSaveTest, OnlyAQuickSaveExitCarriesTheSlotsIntoTheNextRun) {
    startShown();
    keep(1, QStringLiteral("持ち越す文"));
    widget<QAbstractButton>(QStringLiteral("SpeedButton11"))->click();
    EXPECT_EQ(setting(ini::kQuickSave, ini::kCS1).value, QStringLiteral("X"));
    EXPECT_FALSE(setting(ini::kQuickSave, ini::kCS2).found);

    startShown();
    EXPECT_EQ(w().state().LblCS1, QStringLiteral("X"));
    EXPECT_TRUE(w().state().LblCS2.isEmpty());
    openSlot(1);
    EXPECT_EQ(preview(), QStringLiteral("持ち越す文"));
    openSlot(2);
    EXPECT_TRUE(preview().isEmpty());

    // A normal exit leaves the old key in the file; the next run ignores it.
    w().MarkClean();
    ASSERT_TRUE(requestClose());
    EXPECT_EQ(setting(ini::kQuickSave, ini::kQSSystem).value, QStringLiteral("OFF"));
    startShown();
    EXPECT_TRUE(w().state().LblCS1.isEmpty());
    openSlot(1);
    EXPECT_TRUE(panelShown());
    EXPECT_TRUE(preview().isEmpty());
    EXPECT_EQ(fileText(1), QStringLiteral("持ち越す文")) << "the slot file is never deleted";
    EXPECT_TRUE(prompter.shown.isEmpty()) << qPrintable(prompter.shown.join(u'|'));
}

TEST_F(ClipSaveTest, PlainTextSlotFileShowsAsItsText) {
    startShown();
    writeFile(slotPath(1), cp932::encode(QStringLiteral("外で書いた\r\n{メモ}")));
    w().state().LblCS1 = flag::kSet;
    openSlot(1);
    EXPECT_EQ(preview(), QStringLiteral("外で書いた\n{メモ}"));
    pasteThis();
    EXPECT_EQ(memo()->toPlainText(), QStringLiteral("外で書いた\n{メモ}"));
}

// A slot file cut short or emptied since it was written, or one that cannot
// be read, is told, kept under another name and the slot is empty after it;
// the next clip-save then writes a new file beside the kept one.
TEST_F(ClipSaveTest, DamagedSlotFileIsToldKeptAsideAndTheSlotEmptied) {
    const struct {
        const char* label;
        std::function<void(const QString&)> damage;
        QString told;  // the first line
    } cases[] = {
        {"cut short", [](const QString& p) { QFile(p).resize(QFileInfo(p).size() - 4); },
         u"message: ｸﾘｯﾌﾟｾｰﾌﾞのﾌｧｲﾙ \"ClipSave1\" は途中で切れているため読み込みませんでした。"_s},
        {"emptied", [](const QString& p) { QFile(p).resize(0); },
         u"message: ｸﾘｯﾌﾟｾｰﾌﾞのﾌｧｲﾙ \"ClipSave1\" は途中で切れているため読み込みませんでした。"_s},
        {"a folder", [](const QString& p) { QFile::remove(p); QDir().mkdir(p); },
         QString()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        for (const QString& name : QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot)) {
            QFile::remove(path(name));
            QDir(path(name)).removeRecursively();
        }
        startShown();
        type(u"残したい文"_s);
        select(0, 5);
        openSlot(1);
        saveHere();
        c.damage(slotPath(1));
        prompter.shown.clear();
        caretAt(0);
        openSlot(1);
        ASSERT_EQ(prompter.shown.size(), 1);
        const QStringList lines = prompter.shown.first().split(u'\n');
        if (c.told.isEmpty())
            EXPECT_EQ(lines.first(), u"error: "_s + slotPath(1) + u": フォルダです (Is a directory)"_s);
        else
            EXPECT_EQ(lines.first(), c.told);
        EXPECT_EQ(lines.last(), u"元のﾌｧｲﾙは \"ClipSave1.damaged\" として残してあります。"_s);
        EXPECT_FALSE(panelShown());
        EXPECT_TRUE(w().state().LblCS1.isEmpty());
        EXPECT_TRUE(QFileInfo::exists(slotPath(1) + u".damaged"_s));
    }
}

// The slot file cannot be created at all: the flag stays empty, so a
// quick-save exit cannot announce it.
TEST_F(ClipSaveTest, FailedWriteNamesTheFileAndKeepsTheFlagEmpty) {
    ASSERT_TRUE(QDir(folder).mkdir(files::kClipSave1));
    startShown();
    type(QStringLiteral("新しい文"));
    memo()->selectAll();
    openSlot(1);
    saveHere();
    EXPECT_EQ(prompter.errors(), QStringList{slotPath(1) + QStringLiteral(": フォルダです (Is a directory)")});
    EXPECT_TRUE(w().state().LblCS1.isEmpty());
    EXPECT_TRUE(panelShown());
    EXPECT_TRUE(preview().isEmpty());

    widget<QAbstractButton>(QStringLiteral("SpeedButton11"))->click();
    EXPECT_FALSE(setting(ini::kQuickSave, ini::kCS1).found);
    startShown();
    EXPECT_TRUE(w().state().LblCS1.isEmpty());
}

#ifdef Q_OS_UNIX
// Files may grow no larger than `bytes` while it lives; a longer write fails
// (with EFBIG, not the signal) even for root.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &old_);
        rlimit lower = old_;
        lower.rlim_cur = bytes;
        active_ = setrlimit(RLIMIT_FSIZE, &lower) == 0;
        signal_ = std::signal(SIGXFSZ, SIG_IGN);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &old_);
        std::signal(SIGXFSZ, signal_);
    }
    bool active() const { return active_; }

private:
    rlimit old_{};
    bool active_ = false;
    void (*signal_)(int) = SIG_DFL;
};

// A write that fails over a slot that holds text keeps the old file whole.
TEST_F(ClipSaveTest, FailedWriteKeepsTheSlotsOldText) {
    startShown();
    keep(1, QStringLiteral("古い文"));
    const QByteArray oldBytes = readFile(slotPath(1));
    memo()->clear();
    type(QStringLiteral("新しい文"));
    memo()->selectAll();
    openSlot(1);
    {
        const FileSizeLimit limit(16);
        ASSERT_TRUE(limit.active());
        saveHere();
    }
    EXPECT_EQ(prompter.errors(), QStringList{slotPath(1) + QStringLiteral(": ファイルが大きすぎます (File too large)")});
    EXPECT_EQ(readFile(slotPath(1)), oldBytes);
    EXPECT_EQ(w().state().LblCS1, QStringLiteral("X"));
    EXPECT_TRUE(panelShown());
    EXPECT_EQ(preview(), QStringLiteral("古い文"));
    pasteThis();
    EXPECT_EQ(memo()->toPlainText(), QStringLiteral("古い文"));
}
#endif

TEST_F(ClipSaveTest, UnreadableSlotFileNamesTheFileAndChangesNothing) {
    startShown();
    w().state().LblCS1 = flag::kSet;
    openSlot(1);
    EXPECT_EQ(prompter.errors(), QStringList{slotPath(1) + QStringLiteral(": ファイルまたはフォルダが見つかりません (No such file or directory)")});
    EXPECT_FALSE(panelShown());
    EXPECT_EQ(w().state().LblCS1, QStringLiteral("X"));

    // With the panel open on the other slot, it stays on that slot.
    openSlot(2);
    openSlot(1);
    EXPECT_EQ(prompter.errors().size(), 2);
    EXPECT_TRUE(panelShown());
    EXPECT_EQ(panelTitle(), kTitle2);
    EXPECT_EQ(titleColour(), QColor(128, 0, 128));
}


// A slot of several megabytes is read beside the window and pasted a part at
// a time: the paste waits for the read, brings the whole text, long line and
// all, and one undo takes it back.
TEST_F(ClipSaveTest, LargeSlotIsReadBesideTheWindowAndPastedWhole) {
    startShown();
    QString text;
    for (int i = 0; text.size() < 400 * 1000; ++i) text += QStringLiteral("クリップの%1行目\n").arg(i);
    text += QString(20000, QChar(u'長')) + QStringLiteral("\n終わり");
    QTextDocument slot;
    slot.setPlainText(text);
    ASSERT_TRUE(WriteDocumentAs(slotPath(1), slot, DocumentFormat::RichText, LossPolicy::Refuse).ok());
    ASSERT_GT(QFileInfo(slotPath(1)).size(), 1024 * 1024);
    w().state().LblCS1 = QStringLiteral("X");

    type(QStringLiteral("前"));
    openSlot(1);
    pasteThis();
    EXPECT_EQ(soft_breaks::plainText(*memo()->document()), QStringLiteral("前") + text);
    for (QTextBlock b = memo()->document()->begin(); b.isValid(); b = b.next())
        EXPECT_LE(b.length() - 1, soft_breaks::kLongParagraph);
    memo()->undo();
    EXPECT_EQ(memo()->toPlainText(), QStringLiteral("前"));

    // Opened and left alone, the panel shows the text once it is read.
    openSlot(1);
    for (int i = 0; i < 500 && preview().isEmpty(); ++i) QTest::qWait(10);
    EXPECT_EQ(soft_breaks::plainText(*widget<QPlainTextEdit>(QStringLiteral("CrpVew"))->document()), text);
}

} // namespace
} // namespace tess::testing
