// A child process for the recovery tests: the real main window over the
// folder given, typing a numbered line every few milliseconds and saving
// every so often, until it is killed.  It reports each step on stdout:
//   "typed N" once line N is in the editor, "saved N" once the save of the
//   first N lines returned.
// Usage: recovery_driver <program folder>

#include "mainwindow/TSMain.h"
#include "mainwindow/prompter.h"

#include "recoverylines.h"

#include <QApplication>
#include <QPlainTextEdit>
#include <QTextCursor>
#include <QTimer>

#include <cstdio>

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

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    if (argc < 2) return 2;
    NoPrompter prompter;
    tess::TfrmTSMain window(prompter, QString::fromLocal8Bit(argv[1]), tess::PathStyle::posix());
    window.state().setLblFullName(tess::testing::kDriverDocument);
    window.state().setLblFName(tess::testing::kDriverDocument);
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
