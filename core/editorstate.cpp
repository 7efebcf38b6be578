#include "editorstate.h"

#include "textfold.h"

namespace tess {

// Group names fold on every platform; file names and paths only where the
// file system ignores letter case.
void EditorState::setLblGName(const QString& group) { gname_ = foldUpper(group); }
void EditorState::setLblFName(const QString& name) { fname_ = style_.foldPath(name); }
void EditorState::setLblFullName(const QString& path) { fullName_ = style_.foldPath(path); }
void EditorState::setUpEdt(const QString& text) { upEdt_ = style_.foldPath(text); }

} // namespace tess
