#include "core/pathstyle.h"
#include "core/programfolder.h"
#include "dialogs/TSGName.h"
#include "dialogs/TSExplorer.h"
#include "dialogs/TSGSet.h"
#include "dialogs/TSSave.h"
#include "mainwindow/TSAbout.h"
#include "mainwindow/TSMain.h"
#include "mainwindow/fonts.h"
#include "japanese.h"
#include "realprompter.h"
#include "singleinstance.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QTimer>

#include <cstdio>
#include <cstdlib>

namespace {

// Qt aborts when it cannot reach a display; say so plainly instead.
bool displayAvailable() {
#if defined(Q_OS_LINUX) || defined(Q_OS_FREEBSD)
    const auto set = [](const char* name) {
        const char* v = std::getenv(name);
        return v && *v;
    };
    return set("DISPLAY") || set("WAYLAND_DISPLAY") || set("QT_QPA_PLATFORM");
#else
    return true;
#endif
}

} // namespace

int main(int argc, char* argv[]) {
    if (!displayAvailable()) {
        std::fprintf(stderr,
                     "tessarine: no display found (neither DISPLAY nor WAYLAND_DISPLAY is set).\n"
                     "Start it from a desktop session, or set QT_QPA_PLATFORM (for example "
                     "QT_QPA_PLATFORM=offscreen) to run it without one.\n");
        return 2;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tessarine"));
    tess::installJapanese(app);
    tess::fonts::installFontSubstitutions();

    // The per-user folder is named explicitly: the application name is the
    // capitalised title, and the folder must not follow it.
    const tess::PathStyle style = tess::PathStyle::native();
    const QString executableDir = QDir::toNativeSeparators(QCoreApplication::applicationDirPath());
    const QString programFolder = tess::resolveProgramFolder(
        tess::isInstalledCopy(executableDir) ? QString() : executableDir, style, tess::userDataFolder());
    // A renamed copy keeps its own settings beside it.
    const QString settingsFile = tess::settingsFileName(
        QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName());

    // A second start on this folder hands its file to the running program
    // and ends.
    const QString file = tess::fileToOpen(QCoreApplication::arguments(), QDir::currentPath());
    tess::SingleInstance single(programFolder);
    if (single.claim(file) == tess::SingleInstance::Claim::Handed) return 0;

    // The five windows, in this order; each reads what the ones before it set
    // (the registration window reads the group store the main window's
    // settings asked for).
    tess::RealPrompter prompter;
    prompter.setStartFolder(programFolder);
    tess::TfrmTSMain main(prompter, programFolder, style, nullptr, settingsFile);
    prompter.setParentWindow(&main);
    tess::TfrmGSet groupSet(main, prompter, &main);
    tess::TfrmGName groupPicker(main, &main);
    tess::TfrmSave saveAs(main, prompter, &main);
    tess::TfrmTSAbout about(&main);
    prompter.setGroupRegistration(&groupSet);
    prompter.setSaveAs(&saveAs);
    prompter.setAbout(&about);
    main.setGroupPicker(&groupPicker);
    // The explorer is a panel over the main window, not a window of its own.
    tess::TfrmExplorer explorer(main, prompter, &main, main.findChild<QWidget*>(QStringLiteral("Memo1")));
    main.setGroupExplorer(&explorer);

    QObject::connect(&single, &tess::SingleInstance::openRequested, &main, &tess::TfrmTSMain::anotherStart);

    main.show();
    // "tessarine FILE" (the file manager's open): once the window is up, as
    // the open dialog's choice.
    if (!file.isEmpty()) QTimer::singleShot(0, &main, [&main, file] { main.openFromOutside(file); });
    return app.exec();
}
