#pragma once
// Where the program keeps its files: the executable's folder, or the per-user
// data folder when that one is not writable (an installed copy).  Found once
// at start-up and handed to whatever needs it.

#include "pathstyle.h"

#include <QString>
#include <QStringList>

namespace tess {

// The program folder for an executable in `executableDir`, always ending with
// the style's separator; falls back to `fallbackDir` (created when missing,
// normally userDataFolder()) when `executableDir` cannot be written.  The
// fallback is passed in so it does not follow the application name, which is
// the title the user sees.
QString resolveProgramFolder(const QString& executableDir, const PathStyle& style,
                             const QString& fallbackDir);

// The installed program's desktop entry id (the .desktop file, the icon and
// the AppStream metadata are named after it).
inline const QString kDesktopId = QStringLiteral("org.tessarine.Tessarine");

// True for an installed copy: the executable lies in a "bin" folder whose
// "../share/applications" holds our desktop entry.  Such a copy keeps its
// files in the per-user folder even where it could write beside itself
// (an administrator's run must not write into /usr/local/bin).
bool isInstalledCopy(const QString& executableDir);

// The file a command line asks to open: the first argument after the
// program's name that is not an option ("--" ends the options), made
// absolute against `currentDir`; a file: URL is taken as its path.  Empty
// when there is none.
QString fileToOpen(const QStringList& arguments, const QString& currentDir);

// The per-user fallback: "tessarine" in the user's data folder
// (~/.local/share/tessarine on Linux).
QString userDataFolder();

// The settings file name: the executable's base name with ".ini".
QString settingsFileName(const QString& executableBaseName);

} // namespace tess
