#pragma once
// The store's windows inside the main window: the journals of the stock documents open the
// document window, the journal of menu-requirements opens the menu-requirement window (and makes
// a new one from a chosen day menu), "Остатки на складе" opens the remnants list, and confirming
// a day menu opens its menu-requirement.

#include <functional>

class QDialog;

namespace rat {
class DatabaseSession;
}

namespace rat::ui {

class MainWindow;

void installStockWindows(MainWindow& main, DatabaseSession& session);

} // namespace rat::ui
