#pragma once
// Rules of the file list that need no window: what a list entry names on
// disk, the document path of a file, and the group a file opened from the
// list belongs to.

#include "groupregistry.h"
#include "pathstyle.h"

#include <QString>

namespace tess {

// A name that stays inside its folder: not empty, no separator (nor a drive
// colon under Windows), not "." or "..".
bool isPlainFileName(QStringView name, const PathStyle& style);

struct ResolvedEntry {
    enum class Status {
        Path,         // `path` is the file
        NoSuchGroup,  // group mode, and the heading names no registered group
        Outside,      // the entry would reach outside its folder
    };
    Status status = Status::NoSuchGroup;
    QString path;
};

// History mode: a full path as it is, a bare name in the program folder.
// Group mode (`heading` names the group): the folder group's folder, a
// separator and the entry, else the program folder and the entry for an
// inner group.
ResolvedEntry ResolveListEntry(const QString& entry, bool historyMode, const QString& heading,
                               const GroupRegistry& registry);

// The document path of `path`: its bare file name when it lies in the
// program folder (folders compared as the path style folds them), otherwise
// the path itself; folded as the path style stores paths.  Every caller that
// names a document (the open dialog, the list, save-as) uses this one rule.
QString documentPathOf(const QString& path, const QString& programFolder, const PathStyle& style);

// The file a document path names: a full path as it is, a bare name in the
// program folder; empty for a never-saved document.
QString fileOfDocumentPath(const QString& documentPath, const QString& programFolder, const PathStyle& style);

// The group of a file opened from the list: outside the program folder the
// last folder group whose folder and a separator is the file's folder; in it
// the first inner group that lists the file.  Empty when none.
QString groupOfOpenedFile(const QString& path, const GroupRegistry& registry);

} // namespace tess
