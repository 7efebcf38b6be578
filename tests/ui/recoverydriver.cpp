// A child process for the recovery tests: the real main window over the
// folder given, typing a numbered line every few milliseconds and saving
// every so often, until it is killed.  It reports each step on stdout:
//   "typed N" once line N is in the editor, "saved N" once the save of the
//   first N lines returned.
// Usage: recovery_driver <program folder>
//
// With "save-kill <step>" after the folder it instead types two pieces of
// text, lets the recovery copy take the first, and saves; the process kills
// itself with SIGKILL at the given step of the document's write ("rename":
// just before the file is put in place, "sync-folder": just after).

#include "core/atomicfile.h"
#include "core/recovery.h"
#include "mainwindow/TSMain.h"
#include "mainwindow/prompter.h"
#include "mainwindow/recovery.h"

#include "recoverylines.h"

#include <QApplication>
#include <QFile>
#include <QPlainTextEdit>
#include <QTextCursor>
#include <QTimer>

#include <csignal>
#include <cstdio>
#include <thread>

namespace {

class NoPrompter : public tess::Prompter {
public:
    void message(const QString& t) override { std::fprintf(stderr, "message: %s\n", qPrintable(t)); }
    bool askYesNo(const QString&) override { return false; }
    Answer askYesNoCancel(const QString&) override { return Answer::No; }
    bool askOkCancel(const QString&) override { return false; }
    void errorBox(const QString& t) override { std::fprintf(stderr, "error: %s\n", qPrintable(t)); }
    QString openFile(const QString&) override { return {}; }
    std::optional<FontChoice> chooseFont(const FontChoice&) override { return std::nullopt; }
    void showSaveAs() override {}
    void showGroupRegistration() override {}
    void showAbout() override {}
};

std::thread::id g_uiThread;
tess::AtomicStep g_killStep = tess::AtomicStep::Rename;
QString g_waitFor;  // the step counts once this file exists

int killAtStep(tess::AtomicStep step) {
    if (std::this_thread::get_id() == g_uiThread && step == g_killStep && QFile::exists(g_waitFor)) std::raise(SIGKILL);
    return 0;
}

int saveAndKill(tess::TfrmTSMain& window, const QString& folder, const QString& step) {
    using namespace tess::testing;
    QPlainTextEdit* memo = window.editor();
    memo->insertPlainText(kSaveKillCopied);
    window.recovery().copyNow();
    window.recovery().flush();
    memo->insertPlainText(kSaveKillTypedAfter);
    g_uiThread = std::this_thread::get_id();
    if (step == QLatin1String("rename")) {
        // The mark the save writes first is on disk: the next rename is the
        // document's.
        g_killStep = tess::AtomicStep::Rename;
        g_waitFor = folder + tess::recovery::kSaveMarkFileName;
    } else {
        g_killStep = tess::AtomicStep::SyncFolder;
        g_waitFor = folder + kDriverDocument;
    }
    tess::faults::setAtomicFault(killAtStep);
    window.SpeedButton1Click();
    std::printf("saved\n");
    return 0;
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    if (argc < 2) return 2;
    NoPrompter prompter;
    const QString folder = QString::fromLocal8Bit(argv[1]);
    tess::TfrmTSMain window(prompter, folder, tess::PathStyle::posix());
    window.state().setLblFullName(tess::testing::kDriverDocument);
    window.state().setLblFName(tess::testing::kDriverDocument);
    if (argc == 4 && QByteArray(argv[2]) == "save-kill") return saveAndKill(window, folder, QString::fromLocal8Bit(argv[3]));
    window.show();

    int n = 0;
    QTimer typing;
    typing.setInterval(tess::testing::kDriverStepMs);
    QObject::connect(&typing, &QTimer::timeout, [&] {
        ++n;
        QTextCursor c(window.editor()->document());
        c.movePosition(QTextCursor::End);
        c.insertText(tess::testing::driverLine(n), tess::testing::driverFormat(n));
        std::printf("typed %d\n", n);
        std::fflush(stdout);
        if (n % tess::testing::kDriverSaveEvery == 0) {
            window.SpeedButton1Click();
            std::printf("saved %d\n", n);
            std::fflush(stdout);
        }
    });
    typing.start();
    return app.exec();
}
