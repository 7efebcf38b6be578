#pragma once
// Where the program keeps its files: the executable's folder, or the per-user
// data folder when that one is not writable (an installed copy).  Found once
// at start-up and handed to whatever needs it.

#include "pathstyle.h"

#include <QString>

namespace tess {

// The program folder for an executable in `executableDir`, always ending with
// the style's separator; falls back to `fallbackDir` (created when missing,
// normally userDataFolder()) when `executableDir` cannot be written.  The
// fallback is passed in so it does not follow the application name, which is
// the title the user sees.
QString resolveProgramFolder(const QString& executableDir, const PathStyle& style,
                             const QString& fallbackDir);

// The per-user fallback: "tessarine" in the user's data folder
// (~/.local/share/tessarine on Linux).
QString userDataFolder();

// The settings file name: the executable's base name with ".ini".
QString settingsFileName(const QString& executableBaseName);

} // namespace tess
