#pragma once
// The desktop's trash where freedesktop.org's desktops keep it:
// the home trash "$XDG_DATA_HOME/Trash" (by default ~/.local/share/Trash),
// made when missing, and for a file on another volume the trash at that
// volume's top folder (".Trash/$uid" when an administrator provides a safe
// ".Trash", else ".Trash-$uid").  We move the file ourselves because
// QFile::moveToTrash in Qt 6.4, finding no data folder, puts "files" and
// "info" into the working folder instead.  Windows and macOS keep their own
// trash, reached through Qt.

#include <QString>

namespace tess {

// Where a file may be trashed.
struct TrashPlaces {
    QString homeTrash;      // the home trash folder
    QString volumeTop;      // the top folder of the file's volume
    bool onHomeVolume = true;  // the home trash lies on the file's volume
};

// The places for `path` from the environment: $XDG_DATA_HOME when it is an
// absolute path, else $HOME/.local/share; the file's volume by its mount.
TrashPlaces trashPlacesFor(const QString& path);

struct TrashResult {
    enum class Status {
        Trashed,  // the file is in a trash, `trashedAs` names it there
        NoTrash,  // no trash can take it; the file is untouched
        Failed,   // the file cannot be moved at all; the file is untouched
    };
    Status status = Status::Failed;
    QString trashedAs;
    QString reason;  // for NoTrash and Failed, in the user's words
};

// Moves `path` into the first trash of `places` that takes it, with its
// ".trashinfo" (original path, deletion time) written first.  A file on
// another volume than the home trash goes to its volume's trash or nowhere:
// moving it home would be a copy, not a move.
TrashResult moveToTrash(const QString& path, const TrashPlaces& places);
inline TrashResult moveToTrash(const QString& path) { return moveToTrash(path, trashPlacesFor(path)); }

} // namespace tess
