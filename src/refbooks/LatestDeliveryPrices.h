#pragma once
// The price of a gram of products at their latest delivery: the one rule behind the costing of
// cards and menus and the prices of stock documents.

#include <QDate>
#include <QtGlobal>
#include <map>
#include <optional>
#include <vector>

namespace rat {
class Database;
}

namespace rat::books {

// True for the empty-date value (01.01.1790 or earlier, or no date at all).
bool isEmptyDate(const QDate& date);

// The price of a gram of each product: among its lots counted as received (their own status
// -1, or their receipt's), of `warehouse` when given, those of the latest lot day not after
// `date` (the lot's own receipt day when it carries its own status, 01.01.1990 when that is
// missing, else the receipt's day), the largest cost / koef of the lot's unit. Lots without a
// price or without a unit factor are left out. On the empty-date value the newest lot by id
// gives the price instead. `products` empty: every product. A product without such a lot is
// absent from the result.
std::map<qint64, double> latestDeliveryPrices(Database& db, const QDate& date, const std::vector<qint64>& products = {},
                                              std::optional<qint64> warehouse = {});

} // namespace rat::books
