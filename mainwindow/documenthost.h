#pragma once
// What the dialogs that act on the open document need from the main window.

#include "core/editorstate.h"
#include "core/groupregistry.h"

#include <QString>

namespace tess {

class DocumentHost {
public:
    virtual ~DocumentHost() = default;

    virtual EditorState& state() = 0;
    virtual GroupRegistry& registry() = 0;
    // Ends with the path style's separator.
    virtual QString programFolder() const = 0;

    enum class WriteOutcome {
        Written,
        Declined,      // plain text would lose characters and the user said No
        CannotCreate,  // the file cannot be created there (missing folder, invalid name)
        Failed,        // created, but writing failed; `error` says why for both
    };
    // Writes the editor's document to `path`: rich text when the path ends in
    // "RTF", Shift-JIS plain text otherwise (asking before losing characters).
    virtual WriteOutcome writeDocument(const QString& path, QString* error) = 0;

    // Records LblFullName in the history, refreshes the list in history mode
    // and rebuilds the caption.
    virtual void RirekiSet() = 0;
    // Clears the modified flag and LblUpdate, and the caption's marker.
    virtual void MarkClean() = 0;
    // Lists the files of the current group (LblGName) and shows the list.
    virtual void GourpFileSet() = 0;
};

} // namespace tess
