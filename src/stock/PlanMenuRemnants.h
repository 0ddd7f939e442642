#pragma once
// The store's remnants the product need of a plan-menu shows beside the need: the remnant
// chain on the date, per product in its own unit.

#include "menu/PlanMenuProductNeed.h"

#include <QDate>

namespace rat {
class Database;
}

namespace rat::stock {

// Nothing when no product has a counted lot on the date (the store is empty).
menu::StockRemnants planMenuRemnants(Database& db, const QDate& date);

} // namespace rat::stock
