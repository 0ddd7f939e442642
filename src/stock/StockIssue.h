#pragma once
// The issue of a menu-requirement from stock: lots walked first-expired-first-out, eater types
// served in turn from what the earlier ones left, a shortage charged to the last lot used.

#include "stock/StockLots.h"

#include <QDate>
#include <QtGlobal>
#include <map>
#include <optional>
#include <vector>

namespace rat {
class Database;
}

namespace rat::stock {

// What one eater type needs of one product, in grams.
struct IssueNeed {
    qint64 eaterTypeId = 0;
    qint64 productId = 0;
    double grams = 0;
};

struct IssueLine {
    qint64 lotId = 0;
    qint64 eaterTypeId = 0;
    double quantity = 0;      // in the lot's unit, unrounded
};

// The walk without the database: for each eater type in `eaterOrder`, the lots of each product
// in the order of `lots` (product, sell-by date, lot date), taking what is left of each lot;
// what a product still needs when its lots end is added to the last line written for it (that
// eater type and product). A product without lots gets no line.
std::vector<IssueLine> planIssue(const std::vector<LotRemnant>& lots, const std::vector<qint64>& eaterOrder,
                                 const std::vector<IssueNeed>& needs);

// Writes the expense lines of the working copy `idm1` into expense document `expenseId` (its old
// lines are kept: the caller deletes them first): the needs are the working lines' kolv per
// product and eater type × the product unit's koef, the lots those on `date` in `warehouse`
// (all when nothing or 0) with `excludedExpense` left out; eater types as the day menu has them
// with eaters, by short name. Joins the caller's transaction. Returns the number of lines written.
int issueForMenuRequirement(Database& db, qint64 idm1, qint64 expenseId, const QDate& date,
                            std::optional<qint64> warehouse, std::optional<qint64> excludedExpense);
// The same over lots already computed (on the issue's date, in the walk's order, any product):
// the re-issue keeps them in memory, and may give the eater types of the day menu in their order
// (eaterOrder of dayMenuEaterTypes). Returns the lines written.
std::vector<IssueLine> issueFromLots(Database& db, qint64 idm1, qint64 expenseId, std::vector<LotRemnant> lots,
                                     const std::vector<qint64>* eaterOrder = nullptr);

// The eater types with eaters of every day menu (one read), each day menu's in the order the
// issue serves them: by short name in Russian order, then by id.
std::map<qint64, std::vector<qint64>> dayMenuEaterTypes(Database& db);

} // namespace rat::stock
