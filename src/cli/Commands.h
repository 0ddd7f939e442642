#pragma once
// The headless tool's commands. Each later feature registers its own commands here.

#include "cli/CliPrompt.h"
#include "core/DatabaseSession.h"

#include <QStringList>
#include <QTextStream>
#include <functional>
#include <map>
#include <optional>

namespace rat::cli {

enum Exit { exitOk = 0, exitRefused = 1, exitUsage = 2 };

struct Context {
    DatabaseSession& session;
    CliPrompt& prompt;
    QTextStream& out;
    QStringList args;  // the command's own arguments

    // Opens the file of the run for work (verification, upgrade, start-up check).
    bool openForWork();
    // Opens it for work and checks that `table` (one of ours) holds the row `id`.
    bool openWithRow(const QString& table, qint64 id);
};

// The tool's results in their own forms, whatever the windows show: a decimal point, no
// thousands separator, YYYY-MM-DD dates. A window's number text ("48,00", "250/0/15,5",
// "Итого: 186,48 руб.") with its decimal commas made points; a window's date "02.03.2026" (with
// a time "02.03.2026 10:15") as "2026-03-02" ("2026-03-02 10:15"), other texts unchanged.
QString toolNumber(QString windowText);
QString toolDate(const QString& windowText);

// A row id given as an argument: a positive number, nothing for anything else.
std::optional<qint64> positiveIdArg(const QString& text);

// Takes "--name VALUE" out of the arguments into `value`; false when the option is there without
// a value (`value` is left as it was when the option is not there).
bool takeOption(QStringList& args, const QString& name, QString& value);

// Whether `table` (one of ours) holds the row `id`.
bool rowExists(Database& db, const QString& table, qint64 id);

struct Command {
    QString usage;  // arguments, for the help text
    std::function<int(Context&)> run;
};

std::map<QString, Command>& commands();

void registerCoreCommands();
void registerHelperCommands();  // rounding, names, SQL text, fixed lists
void registerUserCommands();    // program password
void registerBookCommands();    // reference books: list, save, delete, find
void registerCardCommands();    // technological cards: nutrient value, cost, expansion, calculation
void registerProductCommands(); // sell-by date, seasonal gross weight, copies of seasons and substitutes
void registerExchangeCommands();  // new database, standard data, collections, model plan-menu
void registerPlanMenuCommands();  // plan days, copies of plan-menus and days, the summary
void registerDayMenuCommands();   // day menus: numbering, creation, rows, counts, copies
void registerStockCommands();     // lots, stock documents, remnants, the menu-requirement, prices
void registerNormsCommands();
void registerApprovalCommands();  // menu-requirement approval and issue, re-issue, write-off of expired lots     // nutrition norms, plan-menu analyses, product need of a plan-menu
void registerAutoOrderCommands(); // automatic ordering: set-ups, the order, the start-up reminder
void registerPrintCommands();     // print (the printed forms, cli/PrintCommands.h), amount in words

void registerMenuRequirementPrintCommands();  // print menu-requirement IDM [--layout N] [--cook]
void registerBookPrintCommands();  // print book N [--selected ID]
void registerCalculationCardPrintCommands();  // print calculation-card CARD YYYY-MM-DD
void registerReportPrintCommands();  // print report obrob|expense-ledger|receipt-ledger|remnants ...

// All commands of the tool.
inline void registerAllCommands()
{
    registerCoreCommands();
    registerHelperCommands();
    registerUserCommands();
    registerBookCommands();
    registerCardCommands();
    registerProductCommands();
    registerExchangeCommands();
    registerPlanMenuCommands();
    registerDayMenuCommands();
    registerStockCommands();
    registerNormsCommands();
    registerApprovalCommands();
    registerAutoOrderCommands();
    registerPrintCommands();
    registerMenuRequirementPrintCommands();
    registerBookPrintCommands();
    registerCalculationCardPrintCommands();
    registerReportPrintCommands();
}

} // namespace rat::cli
