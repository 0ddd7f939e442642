#pragma once
// The plan-menu books in their list windows: the copy commands, the moves of a dish, the edit
// lock and the chosen-day rule before a change, the per-eater-type summary under the dishes,
// and the main window's plan-days command with its first-use question.

#include <QWidget>
#include <optional>

class QGroupBox;
class QTableWidget;

namespace rat {
class DatabaseSession;
}

namespace rat::ui {

class BookListWindow;
class MainWindow;

void installPlanMenuWindows(MainWindow& main, DatabaseSession& session);

// The summary under the dishes of a plan day: for the chosen day and for the whole plan-menu
// (its average day), one block of rows per eater type, "Факт(норма)" in the last column.
class PlanSummaryPanel : public QWidget {
    Q_OBJECT
public:
    explicit PlanSummaryPanel(BookListWindow& list);

    QTableWidget* dayTable() const { return day_; }
    QTableWidget* averageTable() const { return average_; }
    QGroupBox* dayBox() const { return dayBox_; }
    QGroupBox* averageBox() const { return averageBox_; }

    // Reads the figures of the window's chosen plan-menu and day again.
    void refresh();

private:
    BookListWindow& list_;
    QGroupBox* dayBox_;
    QGroupBox* averageBox_;
    QTableWidget* day_;
    QTableWidget* average_;
};

} // namespace rat::ui
