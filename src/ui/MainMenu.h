#pragma once
// The main window's command set as a table: menus in order, each command with its name
// (the QAction's objectName), caption and, for the commands that open a reference book,
// the catalogue entry it opens.

#include <QHash>
#include <QString>
#include <functional>
#include <vector>

class QAction;
class QMenu;
class QMenuBar;

namespace rat::ui {

enum class RowKind { Menu, Command, Separator };

struct MenuRow {
    RowKind kind;
    const char* parent;   // objectName of the menu the row belongs to; "" for the menu bar
    const char* name;     // objectName of the menu or command; may be "" for a separator
    const char* caption;  // with & accelerators
    int entry = -1;       // catalogue entry opened by the command
};

const std::vector<MenuRow>& mainMenuRows();

// The catalogue entry a command opens, or -1.
int commandEntry(const QString& name);

struct BuiltMenus {
    QHash<QString, QAction*> commands;  // by command name
    QHash<QString, QMenu*> menus;       // by menu name
};

// Fills the menu bar from the table; every command calls `run` with its name.
BuiltMenus buildMainMenus(QMenuBar* bar, const std::function<void(const QString&)>& run);

// A reference book or journal as the simple table view shows it until its own window exists.
struct EntryTable {
    QString table;
    QString title;  // the book's list title
};

// Nothing for entries the table view does not show (new-card mode, views of several tables).
bool entryTable(int entry, EntryTable* out);

} // namespace rat::ui
