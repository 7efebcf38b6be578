#pragma once
// Where the save-as dialog puts a document, worked out without the window.

#include <QString>

namespace tess {

class GroupRegistry;
class PathStyle;

// The name with every ".TXT" and ".RTF" removed, wherever it stands, until
// none is left (letter case ignored where the path style ignores it).
QString stripDocumentExtensions(const QString& name, const PathStyle& style);

// The save path without extension for `name` in `group` (empty: no group):
// a folder group's registered folder, else the program folder (which ends
// with the separator).
QString BuildSavePath(const QString& name, const QString& group, const GroupRegistry& registry,
                      const QString& programFolder);

// The ending a save through the button for `extension` (".TXT" or ".RTF")
// gives the file: the name's own ending when it already is that extension in
// another letter case, so that "b.txt" saved as plain text stays "b.txt"
// rather than becoming a second file "b.TXT" beside it; else `extension`.
QString saveExtension(const QString& name, const QString& extension);

// Whether `name` would reach out of its folder under `style`: "\", "/" or a
// drive colon on Windows, "/" on POSIX (where "\" is an ordinary character).
bool nameHasSeparator(const QString& name, const PathStyle& style);

} // namespace tess
