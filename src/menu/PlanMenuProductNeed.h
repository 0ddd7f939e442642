#pragma once
// The product need of a plan-menu ("Расход продуктов питания"): for a plan day or the whole
// cycle and the number of eaters of each eater type, the quantity of every product each type
// needs, their total and the store's remnant beside it. The remnants come from the caller,
// which sits above the stock module.

#include "menu/PlanMenuAnalysis.h"

#include <QDate>
#include <map>
#include <optional>
#include <vector>

namespace rat::menu {

// The store on the date: nothing when it holds no product at all; otherwise the remnant of
// each product in its own unit (a product missing from the map has none).
using StockRemnants = std::optional<std::map<qint64, double>>;

// The dishes served on the plan days, each with the number of times (a day listed twice counts
// twice).
std::map<qint64, int> servedCards(Database& db, const std::vector<qint64>& days);

// One product line of a served dish for one eater type: the gross grams of one portion
// (brutto × the type's yield / 100, nested dishes expanded), served `times` times.
struct PortionLine {
    qint64 eaterType = 0;
    qint64 productId = 0;
    double grams = 0;
    int times = 0;
};
// The product lines of the dishes for each eater type; a dish without a yield for a type gives
// that type nothing.
std::vector<PortionLine> portionLines(Database& db, const std::map<qint64, int>& served,
                                      const std::vector<qint64>& eaterTypes);

// PlanMenuProductNeed: `day` nothing for "Все дни"; `eaters` by eater type (types not on
// allowance are left out). Nothing when refused (the message has been shown).
std::optional<AnalysisTable> planMenuProductNeed(Database& db, Prompt& prompt, qint64 planMenu,
                                                 std::optional<qint64> day, const std::map<qint64, int>& eaters,
                                                 const StockRemnants& stock);

} // namespace rat::menu
