// One running program per program folder: a later start hands its file to
// the running one, which comes to the front and opens it after the save
// question, and the later start ends.

#include "mainwindowfixture.h"

#include "app/singleinstance.h"

#include <QSignalSpy>

#include <atomic>
#include <thread>

namespace tess::testing {
namespace {

using namespace Qt::StringLiterals;

// A later start, in a thread of its own: its claim waits for the running
// program's answer, which needs this thread's event loop.
SingleInstance::Claim laterStart(const QString& folder, const QString& file) {
    SingleInstance::Claim claimed = SingleInstance::Claim::First;
    std::atomic<bool> done{false};
    std::thread other([&] {
        claimed = SingleInstance(folder).claim(file);
        done = true;
    });
    EXPECT_TRUE(QTest::qWaitFor([&] { return done.load(); }, 2 * SingleInstance::kWaitMs));
    other.join();
    return claimed;
}

TEST_F(MainWindowTest, ALaterStartOnTheFolderHandsItsFileToTheRunningProgram) {
    start();
    SingleInstance running(folder);
    ASSERT_EQ(running.claim(QString()), SingleInstance::Claim::First);
    QObject::connect(&running, &SingleInstance::openRequested, &w(), &TfrmTSMain::anotherStart);
    QSignalSpy asked(&running, &SingleInstance::openRequested);

    // Another folder is another program.
    QTemporaryDir elsewhere;
    EXPECT_EQ(SingleInstance(elsewhere.path()).claim(QString()), SingleInstance::Claim::First);

    const QString file = path(u"メモ.TXT"_s);
    writeFile(file, "handed over");
    type(u"unsaved"_s);
    prompter.yesNoCancel.push_back(Prompter::Answer::No);
    EXPECT_EQ(laterStart(folder, file), SingleInstance::Claim::Handed);
    ASSERT_TRUE(QTest::qWaitFor([&] { return memo()->toPlainText() == u"handed over"_s; }, 5000));
    EXPECT_EQ(asked.size(), 1);
    EXPECT_EQ(asked.first().first().toString(), file);
    EXPECT_EQ(prompter.shown, QStringList{kSaveQuestion});
    EXPECT_EQ(w().state().LblFullName(), u"メモ.TXT"_s);

    // Without a file the window only comes to the front.
    prompter.shown.clear();
    EXPECT_EQ(laterStart(folder, QString()), SingleInstance::Claim::Handed);
    ASSERT_TRUE(QTest::qWaitFor([&] { return asked.size() == 2; }, 5000));
    EXPECT_EQ(asked.last().first().toString(), QString());
    EXPECT_TRUE(prompter.shown.isEmpty());
}

} // namespace
} // namespace tess::testing
