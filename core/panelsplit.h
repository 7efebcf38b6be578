#pragma once
// How far the file list and the preview may take the editor's room: a panel
// is never narrower than a grip the user can still drag, and never so wide
// that the editor beside it becomes unusable.

#include <algorithm>

namespace tess::split {

constexpr int kPanelMinimum = 30;    // a dragged panel never vanishes
constexpr int kEditorMinimum = 100;  // what the editor keeps of the width or height

// The size a panel gets of `space` (the room it shares with the editor,
// splitter excluded), `wanted` being what the user dragged or stored.
constexpr int bounded(int wanted, int space) {
    return std::clamp(wanted, kPanelMinimum, std::max(kPanelMinimum, space - kEditorMinimum));
}

} // namespace tess::split
