// What a user would lose when a write fails or a stored file is damaged:
// every case keeps the data and tells the user.

#include "mainwindowfixture.h"

#include "core/atomicfile.h"
#include "core/caption.h"
#include "core/filenames.h"
#include "core/groupstore.h"
#include "richtext/richtext.h"
#include "core/settingsfile.h"

#include <QListWidget>
#include <QTextCursor>

#include <functional>

#include <sys/stat.h>

#include <cerrno>

namespace tess::testing {
namespace {

using Answer = Prompter::Answer;
using namespace Qt::StringLiterals;

// Every whole-file write fails as on a full disk while one of these lives.
struct FullDisk {
    FullDisk() { faults::setAtomicFault([](AtomicStep s) { return s == AtomicStep::Write ? ENOSPC : 0; }); }
    ~FullDisk() { faults::setAtomicFault(nullptr); }
};

TEST_F(MainWindowTest, CloseOntoAFullDiskRefusesAndKeepsEveryFile) {
    start();
    type(QStringLiteral("本文"));
    w().MarkClean();
    ASSERT_TRUE(requestClose());
    const auto before = snapshot();

    start();
    type(QStringLiteral("新しい本文"));
    {
        FullDisk full;
        // The quick-save exit cannot write: it says why and nothing changes.
        w().SpeedButton11Click();
        ASSERT_EQ(prompter.errors().size(), 1);
        EXPECT_EQ(prompter.errors().first(),
                  path(files::kQuickSave) + QStringLiteral(": ディスクの空き容量が足りません (No space left on device)"));
        EXPECT_EQ(snapshot(), before);

        // The next close is an ordinary one: it asks about the document,
        // says once why the settings cannot be written, and leaves the user
        // the choice; "No" keeps the program running.
        prompter.shown.clear();
        prompter.yesNoCancel.push_back(Answer::No);
        prompter.yesNo.push_back(false);
        EXPECT_FALSE(requestClose());
        EXPECT_EQ(prompter.shown,
                  (QStringList{kSaveQuestion,
                               u"error: "_s + settingsPath() + u": ディスクの空き容量が足りません (No space left on device)"_s,
                               u"yesno: "_s + main_text::kEndWithoutSaving}));
        EXPECT_EQ(snapshot(), before);
    }
    // Once the disk has room, the same close goes ahead.
    prompter.yesNoCancel.push_back(Answer::No);
    EXPECT_TRUE(requestClose());
    EXPECT_EQ(setting(ini::kQuickSave, ini::kQSSystem).value, flag::kOff);
}

TEST_F(MainWindowTest, OverwriteSaveOntoAFullDiskKeepsTheDocumentAndStaysModified) {
    writeFile(path(QStringLiteral("A.TXT")), "old text");
    start();
    nameDocument(QStringLiteral("A.TXT"));
    type(QStringLiteral("new text"));
    {
        FullDisk full;
        w().SpeedButton1Click();
    }
    EXPECT_EQ(prompter.errors(),
              QStringList{QStringLiteral("ﾌｧｲﾙ ") + path(QStringLiteral("A.TXT")) +
                          QStringLiteral(" を作成できません\n") + path(QStringLiteral("A.TXT")) +
                          QStringLiteral(": ディスクの空き容量が足りません (No space left on device)")});
    EXPECT_EQ(readFile(path(QStringLiteral("A.TXT"))), "old text");
    EXPECT_TRUE(modified());
    EXPECT_TRUE(title().endsWith(caption::kModifiedMarker));
}

// A settings file that cannot be read whole is told once, kept aside, and
// the run starts from defaults; the next close writes a fresh file beside it.
TEST_F(MainWindowTest, DamagedSettingsAreKeptAsideAndTheRunStartsFromDefaults) {
    const QByteArray damaged = "[System]\r\nPAL=Lower\r\nPLWidth=1\0\r\n[GroupFiles]\r\nFiles=o\r\n"
                               "[OpendFile]\r\nCount=1\r\nOpend1=A.TXT\r\n"_ba;
    writeFile(settingsPath(), damaged);
    start();
    EXPECT_EQ(prompter.messages(),
              QStringList{damagedSettingsMessage(QStringLiteral("tessarine.ini"),
                                                 QStringLiteral("tessarine.ini.damaged"))});
    EXPECT_FALSE(w().alarmOn());
    EXPECT_TRUE(w().state().GrdR.entries().isEmpty());
    EXPECT_EQ(readFile(settingsPath() + QStringLiteral(".damaged")), damaged);

    ASSERT_TRUE(requestClose());
    EXPECT_EQ(readFile(settingsPath() + QStringLiteral(".damaged")), damaged);
    prompter.shown.clear();
    start();
    EXPECT_TRUE(prompter.shown.isEmpty());
}

// A document whose path Shift-JIS cannot hold: the quick-save record brings
// the path back exactly, so the next save goes to the document itself.
TEST_F(MainWindowTest, PathShiftJisCannotHoldSurvivesAQuickSaveExit) {
    const QString document = path(QStringLiteral("café_ü.txt"));
    writeFile(document, "old");
    start();
    prompter.openFiles.push_back(document);
    w().SpeedButton7Click();
    memo()->moveCursor(QTextCursor::End);
    type(QStringLiteral(" and new"));
    w().SpeedButton11Click();

    start();
    EXPECT_EQ(w().state().LblFullName(), QStringLiteral("café_ü.txt"));
    w().SpeedButton1Click();
    EXPECT_EQ(readFile(document), "old and new");
    EXPECT_EQ(QDir(folder).entryList({QStringLiteral("caf*")}, QDir::Files), QStringList{QStringLiteral("café_ü.txt")});
    EXPECT_EQ(w().state().GrdR.place(1), QStringLiteral("café_ü.txt"));
}


// A store written by an earlier run: one folder group and one inner group
// with a file.
QByteArray earlierStore(const QString& folder) {
    GroupRegistry stored(PathStyle::posix(), folder);
    ScriptedPrompter answers;
    answers.yesNo = {false};
    stored.Touroku(kind::kFolder, u"DOCS"_s, u"/home/u/docs"_s, FileHistory(), answers);
    stored.Touroku(kind::kInner, u"メモ"_s, u"X"_s, FileHistory(), answers);
    stored.FileGroupSet(u"メモ"_s, u"A.TXT"_s);
    return serializeGroupStore(stored);
}

const QStringList kEarlierGroups{u"DOCS"_s, u"メモ"_s};

// Whatever is wrong with the settings file, the groups of the store beside
// it come back, run after run, and the store keeps its bytes.
TEST_F(MainWindowTest, SettingsTheReaderSkipsOrSetsAsideNeverCostTheGroups) {
    const QByteArray tail = "[GroupFiles]\r\nFiles=o\r\n[OpendFile]\r\nCount=1\r\nOpend1=A.TXT\r\n";
    const std::pair<const char*, QByteArray> cases[] = {
        {"a stray line", "[System]\r\nPAL=Lower\r\nthis line is no key\r\n" + tail},
        {"a byte-order mark", "\xEF\xBB\xBF[System]\r\nPAL=Lower\r\n" + tail},
        {"a NUL", "[System]\r\nPAL=Lo\0wer\r\n"_ba + tail},
    };
    for (const auto& [label, settings] : cases) {
        SCOPED_TRACE(label);
        for (const QString& name : QDir(folder).entryList(QDir::Files)) QFile::remove(path(name));
        const QByteArray store = earlierStore(folder);
        writeFile(path(files::kGroupStore), store);
        writeFile(settingsPath(), settings);
        for (int run = 1; run <= 2; ++run) {
            SCOPED_TRACE(run);
            prompter.shown.clear();
            start();
            createGroupSet();
            EXPECT_EQ(w().registry().groupList(), kEarlierGroups);
            EXPECT_EQ(w().registry().filesOf(u"メモ"_s), QStringList{u"A.TXT"_s});
            ASSERT_TRUE(requestClose());
            EXPECT_EQ(setting(ini::kGroupFiles, ini::kFiles).value, flag::kStoreWritten);
            EXPECT_EQ(readFile(path(files::kGroupStore)), store);
        }
        // Only the file that could not be read as text was set aside.
        EXPECT_EQ(QFileInfo::exists(settingsPath() + u".damaged"_s), QByteArray(label) == "a NUL");
    }
}

// A store that cannot be read is told with its reason, keeps its flag and
// its file, and its groups are back once it can be read again.  Groups
// registered meanwhile are stored without writing over it.
TEST_F(MainWindowTest, StoreThatCannotBeReadIsKeptUntilItCanBeReadAgain) {
    const QString store = path(files::kGroupStore);
    const QString real = path(u"kept"_s);
    writeFile(real, earlierStore(folder));
    writeSettings({{{ini::kGroupFiles, ini::kFiles, flag::kStoreWritten}}});
    ASSERT_TRUE(QFile::link(store, store));  // a link to itself

    start();
    createGroupSet();
    EXPECT_EQ(prompter.messages(),
              QStringList{unreadableStoreMessage(
                  store, u"シンボリックリンクの参照が多すぎます (Too many levels of symbolic links)"_s)});
    EXPECT_FALSE(w().registry().hasGroups());
    ASSERT_TRUE(requestClose());
    EXPECT_EQ(setting(ini::kGroupFiles, ini::kFiles).value, flag::kStoreWritten);
    EXPECT_EQ(QFileInfo(store).symLinkTarget(), store);

    // A second run that registers a group: the unreadable store is kept
    // under another name, the new one holds the new group.
    prompter.shown.clear();
    start();
    createGroupSet();
    registerGroup(u"NEW"_s);
    ASSERT_TRUE(requestClose());
    EXPECT_EQ(QFileInfo(store + u".damaged"_s).symLinkTarget(), store);
    EXPECT_EQ(setting(ini::kGroupFiles, ini::kFiles).value, flag::kStoreWritten);

    // The earlier store, readable again, brings its groups back.
    ASSERT_TRUE(QFile::remove(store));
    ASSERT_TRUE(QFile::rename(real, store));
    prompter.shown.clear();
    start();
    createGroupSet();
    EXPECT_TRUE(prompter.shown.isEmpty());
    EXPECT_EQ(w().registry().groupList(), kEarlierGroups);
}

// A close that cannot write the settings or the store says why once, in
// one box, and lets the user end the program anyway.
TEST_F(MainWindowTest, CloseThatCannotWriteLetsTheUserEndAnyway) {
    start();
    registerGroup(u"G"_s);
    ASSERT_TRUE(requestClose());
    const auto before = snapshot();

    start();
    registerGroup(u"H"_s);
    FullDisk full;
    const QString reason = u": ディスクの空き容量が足りません (No space left on device)"_s;
    const QStringList asked{u"error: "_s + path(files::kGroupStore) + reason + u'\n' + settingsPath() + reason,
                            u"yesno: "_s + main_text::kEndWithoutSaving};
    prompter.yesNo = {false, true};
    EXPECT_FALSE(requestClose());
    EXPECT_EQ(prompter.shown, asked);
    prompter.shown.clear();
    EXPECT_TRUE(requestClose());
    EXPECT_EQ(prompter.shown, asked);
    EXPECT_EQ(snapshot(), before);

    // A quick-save exit that cannot record itself is refused without the
    // question: ending would lose the document.
    start();
    type(u"本文"_s);
    prompter.shown.clear();
    w().SpeedButton11Click();
    EXPECT_EQ(prompter.shown.size(), 1);
    EXPECT_TRUE(prompter.shown.first().startsWith(u"error: "_s + path(files::kQuickSave)));
    EXPECT_EQ(snapshot(), before);
}


// The record names a document only together with that document's text: a
// quick-save exit that stopped after writing some of its files (a write that
// failed, a kill) leaves files the record does not claim.  Their text comes
// back under no name, so 上書き保存 cannot put it over the named document.
TEST_F(MainWindowTest, QuickSaveRecordIsWholeOrItsTextComesBackUnnamed) {
    const QString fileA = path(u"A.TXT"_s);
    for (const QString& failing : {files::kQuickSave, files::kQuickPrevew, files::kQuickLists, QString()}) {
        SCOPED_TRACE(failing.isEmpty() ? "killed after the text" : qPrintable(failing));
        for (const QString& file : snapshot().keys()) QFile::remove(path(file));
        writeFile(fileA, "A");
        start();
        prompter.openFiles.push_back(fileA);
        w().SpeedButton7Click();
        type(u"a quick-saved "_s);
        w().SpeedButton11Click();

        // The next run works on another text and its quick-save exit stops
        // part-way; then the program dies.
        start();
        memo()->selectAll();
        type(u"other text"_s);
        if (failing.isEmpty()) {
            // What a kill between the text and the settings leaves.
            ASSERT_TRUE(writeFileAtomically(path(files::kQuickSave), writeRichText(*memo()->document())));
        } else {
            const QString aside = path(u"held"_s);
            ASSERT_TRUE(QFile::rename(path(failing), aside));
            ASSERT_TRUE(QDir(folder).mkdir(failing));
            prompter.shown.clear();
            w().SpeedButton11Click();
            EXPECT_EQ(prompter.errors().size(), 1);
            ASSERT_TRUE(QDir(folder).rmdir(failing));
            ASSERT_TRUE(QFile::rename(aside, path(failing)));
        }

        prompter.shown.clear();
        start();
        if (failing == files::kQuickSave) {
            // Nothing of the record was replaced: it comes back whole.
            EXPECT_TRUE(prompter.shown.isEmpty()) << qPrintable(prompter.shown.join(u'|'));
            EXPECT_EQ(memo()->toPlainText(), u"a quick-saved A"_s);
            EXPECT_EQ(w().state().LblFullName(), u"A.TXT"_s);
            continue;
        }
        ASSERT_FALSE(prompter.messages().isEmpty());
        EXPECT_EQ(prompter.messages().first(),
                  u"ｸｲｯｸｾｰﾌﾞﾌｧｲﾙ \"QuickSave\" は前回の状況保存終了で書いたものと一致しません"
                  u"（書き込みが途中で終わったか、壊れています）。\n内容は名前のない文書として開きます。\n"
                  u"元のﾌｧｲﾙは \"QuickSave.damaged\" として残してあります。"_s);
        EXPECT_EQ(memo()->toPlainText(), u"other text"_s);
        EXPECT_EQ(title(), caption::kNewFile + caption::kModifiedMarker);
        EXPECT_TRUE(modified());
        w().SpeedButton1Click();  // no path: save-as, never A.TXT
        EXPECT_EQ(prompter.shown.last(), u"saveas"_s);
        EXPECT_EQ(readFile(fileA), "A");
    }
}

// Files of the record damaged since it was written (cut short, emptied, not
// readable as a file) are told and kept aside; the next quick-save exit then
// writes new ones instead of replacing them.  The program's own files are
// always written so that it can read them back.
TEST_F(MainWindowTest, DamagedQuickSaveFilesAreToldAndKeptAside) {
    const struct {
        const char* label;
        QString file;
        std::function<void(const QString&)> damage;
        bool error;  // told as an error rather than a mismatch
    } cases[] = {
        {"text cut short", files::kQuickSave, [](const QString& p) { QFile(p).resize(QFileInfo(p).size() / 2); }, false},
        {"preview emptied", files::kQuickPrevew, [](const QString& p) { QFile(p).resize(0); }, false},
        {"list cut short", files::kQuickLists, [](const QString& p) { QFile(p).resize(QFileInfo(p).size() - 3); }, false},
        {"text a pipe", files::kQuickSave,
         [](const QString& p) {
             QFile::remove(p);
             ASSERT_EQ(::mkfifo(QFile::encodeName(p).constData(), 0600), 0);
         },
         true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        for (const QString& file : QDir(folder).entryList(QDir::Files | QDir::System)) QFile::remove(path(file));
        start();
        type(u"本文"_s);
        w().state().GrdR.RirekiSet(u"B.TXT"_s);
        w().PGFClick();
        w().SpeedButton11Click();
        c.damage(path(c.file));

        prompter.shown.clear();
        start();
        ASSERT_EQ(prompter.shown.size(), 1) << qPrintable(prompter.shown.join(u'|'));
        EXPECT_TRUE(prompter.shown.first().startsWith(c.error ? u"error: "_s : u"message: "_s));
        EXPECT_TRUE(prompter.shown.first().endsWith(u"元のﾌｧｲﾙは \""_s + c.file + u".damaged\" として残してあります。"_s));
        EXPECT_TRUE(QFileInfo::exists(path(c.file + u".damaged"_s)));
        EXPECT_FALSE(QFileInfo::exists(path(c.file)));
        EXPECT_EQ(widget<QListWidget>(u"PanelPass"_s)->count(), c.file == files::kQuickLists ? 0 : 1);
    }

    // A quick-save file its owner cannot read is written readable again.
    start();
    w().SpeedButton11Click();
    for (const QString& file : {files::kQuickSave, files::kQuickPrevew, files::kQuickLists})
        ASSERT_TRUE(QFile::setPermissions(path(file), QFileDevice::Permissions()));
    start();
    w().SpeedButton11Click();
    for (const QString& file : {files::kQuickSave, files::kQuickPrevew, files::kQuickLists, u"tessarine.ini"_s})
        EXPECT_TRUE(QFileInfo(path(file)).permissions().testFlags(QFileDevice::ReadOwner | QFileDevice::WriteOwner))
            << qPrintable(file);
}

} // namespace
} // namespace tess::testing
