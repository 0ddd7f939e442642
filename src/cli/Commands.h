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

// A row id given as an argument: a positive number, nothing for anything else.
std::optional<qint64> positiveIdArg(const QString& text);

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
}

} // namespace rat::cli
