#pragma once
// What the day-menu sources share and nobody else needs.

#include "menu/DayMenu.h"

#include <QString>
#include <QtGlobal>
#include <vector>

namespace rat {
class Database;
}

namespace rat::menu::detail {

// The eater types of a plan-menu on allowance (status -1), by id.
std::vector<qint64> eaterTypesOnAllowance(Database& db, qint64 planMenuId);

// INF.VestSkl: stock accounting, and with it costing by the latest delivery.
bool stockAccountingOn(Database& db);

// The grid rows of a day menu without costs: points, counts and the keys of their order.
std::vector<DayMenuRow> dayMenuRowKeys(Database& db, qint64 dayMenuId);

// The stored cost basis of a day menu (filtr), 0 when none.
int storedBasisCode(Database& db, qint64 dayMenuId);

} // namespace rat::menu::detail
