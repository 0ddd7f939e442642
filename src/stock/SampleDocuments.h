#pragma once
// The sample documents of a new database: a few days of a working month made by the program's own
// operations, so a new user sees every kind of document filled in.

#include <QDate>

namespace rat {
class Database;
}

namespace rat::stock {

// From the plan-menu with the most days, its first three days become day menus dated two days
// before `today`, the day before and `today`, with 20 eaters of every eater type on allowance.
// Their products are ordered four days before (an order from a sample supplier, delivered) and
// received three days before (an approved receipt, a lot per product at its planned price, 20 %
// over the need, good for a week, and one lot of a product the menus do not use that expired the
// day before). The menu-requirements of the first two days are issued from stock (their expense
// documents approved), today's is stored not approved, and the expired lot is written off today.
// Nothing is made without a plan-menu day. Engine errors go to the caller.
void buildSampleDocuments(Database& db, const QDate& today);

} // namespace rat::stock
