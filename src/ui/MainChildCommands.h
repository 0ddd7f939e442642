#pragma once
// Commands of the main window that act on the active child window (print, clipboard, search,
// refresh, row operations). A child window that can carry them out implements this.

#include <QString>

namespace rat::ui {

class ChildCommands {
public:
    virtual ~ChildCommands() = default;
    // True when the window carried out the command `name` (a main-window command name).
    virtual bool runCommand(const QString& name) = 0;
};

} // namespace rat::ui
