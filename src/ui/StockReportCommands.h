#pragma once
// The main window's stock reports: each command asks its parameters in the report parameters
// dialog and, on OK, prints the report (the turnover sheet, the accumulative ledgers of expense
// and of receipts, the remnants on a date).

namespace rat {
class DatabaseSession;
}

namespace rat::ui {

class MainWindow;

void installStockReportCommands(MainWindow& main, DatabaseSession& session);

} // namespace rat::ui
