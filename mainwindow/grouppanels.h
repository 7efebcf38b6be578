#pragma once
// The group file explorer as the main window sees it: a panel over its
// client area that lives with the group dialogs and is handed in once it is
// created, after the main window.

class QWidget;

namespace tess {

class GroupExplorer {
public:
    virtual ~GroupExplorer() = default;
    virtual QWidget* panel() = 0;
    // Fills the group choice and the grid, shows the panel and focuses the
    // group choice.
    virtual void open() = 0;
};

} // namespace tess
