#pragma once
// Automatic ordering in the desktop program: "Параметры автозаказа" of the service menu, the
// command "Автоматический заказ..." in the warehouse menu and on the orders journal's toolbar
// (the order written opens in the document window), and the reminder after start-up.

namespace rat {
class Database;
class DatabaseSession;
class Prompt;
}

namespace rat::ui {

class MainWindow;

void installAutoOrderWindows(MainWindow& main, DatabaseSession& session);

// MakeAutomaticOrder from a window: the order written is shown in the orders journal when it is
// open and opened in the document window.
void runAutomaticOrder(MainWindow& main, Database& db, Prompt& prompt);

// OrderingReminder at the desktop program's start; a write-off document it wrote is opened for
// viewing.
void remindAboutOrdering(MainWindow& main, DatabaseSession& session);

} // namespace rat::ui
