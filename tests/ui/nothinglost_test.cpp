// What a user would lose when a write fails or a stored file is damaged:
// every case keeps the data and tells the user.

#include "mainwindowfixture.h"

#include "core/atomicfile.h"
#include "core/caption.h"
#include "core/filenames.h"
#include "core/settingsfile.h"

#include <QTextCursor>

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

        // The next close is an ordinary one: it asks, and a No still cannot
        // end the run while the settings cannot be written.
        prompter.shown.clear();
        prompter.yesNoCancel.push_back(Answer::No);
        EXPECT_FALSE(requestClose());
        EXPECT_EQ(prompter.shown.first(), kSaveQuestion);
        EXPECT_EQ(prompter.errors(),
                  QStringList{settingsPath() + QStringLiteral(": ディスクの空き容量が足りません (No space left on device)")});
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

} // namespace
} // namespace tess::testing
