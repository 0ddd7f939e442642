#pragma once
// Approval of a menu-requirement: opening one for a day menu, the save and close questions in both
// stock-accounting modes, the issue from stock with its expense document, and the re-issue of every
// later approved menu-requirement after an earlier stock document changes.

#include "stock/StockIssue.h"

#include <QDate>
#include <QtGlobal>
#include <functional>
#include <optional>
#include <vector>

namespace rat {
class Database;
class Prompt;
}

namespace rat::stock {

// INF.VestSkl: approving a menu-requirement issues it from stock.
bool stockAccountingOn(Database& db);

// A working copy open in the menu-requirement window; idm is the stored document it came from
// (nothing for a new one until it is first stored).
struct OpenedRequirement {
    qint64 idm1 = 0;
    std::optional<qint64> idm;
};

// Opens a menu-requirement for a day menu: the automatic write-off first when INF.AvtSpis is on
// (`today` its date, the program's today when invalid), "Сначала введите количество питающихся." for a menu without eaters, the
// choice between a new document and an existing one ("Уже есть составленные меню-требования.
// Создать новый документ меню-требования?", then "Выберите меню-требование"), and the working
// copy filled or loaded. Nothing when it stops.
std::optional<OpenedRequirement> openForDayMenu(Database& db, Prompt& prompt, qint64 dayMenuId,
                                                const QDate& today = {});

enum class SaveOutcome { Cancelled, StoredNotApproved, Approved, Issued };

// The window's save command and OK: "Выполнить расход?" (stock accounting on) or "Утвердить
// меню-требование?" (off), default "Да". Yes stores and issues (or stores approved), No stores as
// not approved, Cancel changes nothing. `idm` becomes the stored document. The working copy stays.
SaveOutcome saveMenuRequirement(Database& db, Prompt& prompt, qint64 idm1, std::optional<qint64>& idm, double cost);

enum class CloseOutcome { ClosedWithoutStoring, StoredNotApproved, Approved, Issued, ClosedNotApproved };

// Closing the window: with unsaved changes (`changed`) the question of storing and approving,
// without them the question for a stored document that is not approved. The working copy is
// deleted in every case; the window closes after any outcome.
CloseOutcome closeMenuRequirement(Database& db, Prompt& prompt, qint64 idm1, std::optional<qint64>& idm, double cost,
                                  bool changed);

// The issue of the stored menu-requirement `idm` from its working copy `idm1`: the shortage
// question when `ask` (No: nothing is issued, false), the expense document reused (its lines
// deleted) or added with the next number, dated the day menu's date, the FEFO lines, its sum,
// both approved; every other menu-requirement of the same day menu and its expense document
// back to 0; the day menu marked "Выполнен расход". One transaction.
bool issueAndApprove(Database& db, Prompt& prompt, qint64 idm1, qint64 idm, bool ask = true);

// The lots an issue walks on a date in a warehouse (nothing: all), the day's own approved issue
// (the excluded expense document) left out.
using LotSource = std::function<std::vector<LotRemnant>(const QDate& date, std::optional<qint64> warehouse,
                                                         std::optional<qint64> excludedExpense)>;
// The issue and approval without questions over lots from `lots` (the re-issue keeps them in
// memory). The re-issue has already removed the expense document's lines (`linesCleared`) and
// may give the day menu's eater types in their order. Returns the expense lines written.
std::vector<IssueLine> issueAndApproveFrom(Database& db, qint64 idm1, qint64 idm, const LotSource& lots,
                                           bool linesCleared = false, const std::vector<qint64>* eaterOrder = nullptr);

// Refills and re-approves, in date order, the expense documents of all approved menu-requirements
// dated `from` or later (of other day menus than `exceptDayMenu`), each seeing the lots the earlier
// ones left; two questions first, one transaction for all. False when nothing was re-issued.
bool reissueFromDate(Database& db, Prompt& prompt, const QDate& from, std::optional<qint64> exceptDayMenu = {});

} // namespace rat::stock
