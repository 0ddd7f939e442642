#pragma once
// The list window of a plan-menu analysis (frmSprav under the analysis's caption): its rows as
// the analysis gives them, bold heading and total lines, red bold repeats; the main window's
// analysis commands, the plan-menu list's analysis keys and the norms list's own commands.

#include "menu/PlanMenuAnalysis.h"
#include "ui/MainChildCommands.h"

#include <QWidget>
#include <optional>

class QStandardItemModel;
class QTableView;

namespace rat {
class Database;
class DatabaseSession;
class Prompt;
}

namespace rat::ui {

class MainWindow;

class AnalysisWindow : public QWidget, public ChildCommands {
    Q_OBJECT
public:
    explicit AnalysisWindow(const menu::AnalysisTable& table, QWidget* parent = nullptr);

    // The main menu's "Печать...": the analysis printed with its rows as shown.
    bool runCommand(const QString& name) override;
    void setPrinting(Database* db, Prompt* prompt)
    {
        db_ = db;
        prompt_ = prompt;
    }

    QTableView* grid() const { return grid_; }
    QStandardItemModel* model() const { return model_; }
    const menu::AnalysisTable& table() const { return table_; }

    QSize sizeHint() const override;

private:
    menu::AnalysisTable table_;
    Database* db_ = nullptr;
    Prompt* prompt_ = nullptr;
    QTableView* grid_;
    QStandardItemModel* model_;
};

// Runs the analysis of `planMenu` (its refusals first) and shows it in a new list window.
AnalysisWindow* openAnalysis(MainWindow& main, Database& db, Prompt& prompt, menu::AnalysisKind kind, qint64 planMenu);
// The main window's command: the plan-menu chosen in the dialog "Анализ плана-меню", then the
// analysis.
AnalysisWindow* chooseAndOpenAnalysis(MainWindow& main, Database& db, Prompt& prompt, menu::AnalysisKind kind);

// The main-window commands mnuPM, mnuAnKall and mnuPMPovtor, the keys keyAn, keyAnPr and
// keyAnPrPov of the plan-menu lists, and the norms list's group deletion and copy. Call after
// installPlanMenuWindows.
void installAnalysisWindows(MainWindow& main, DatabaseSession& session);

} // namespace rat::ui
