#pragma once
// Prices of products from stock lots, batched: one read of the lots for all products of a
// document.

#include <QDate>
#include <QtGlobal>
#include <map>
#include <optional>
#include <vector>

namespace rat {
class Database;
}

namespace rat::stock {

// The price of a gram of each product at its latest delivery (books::latestDeliveryPrices, the
// rule the card and menu costing use): among its counted lots (of `warehouse` when given) of the
// latest lot date not after `date`, the largest cost / koef of the lot's unit; lots without a
// price are left out. When `date` is the empty-date value (01.01.1790 or earlier, or invalid) the
// newest lot by id is taken instead. A product without such a lot is absent from the result.
std::map<qint64, double> productPrices(Database& db, const std::vector<qint64>& products, const QDate& date,
                                       std::optional<qint64> warehouse = {});

// True for the empty-date value.
bool isEmptyDate(const QDate& date);

} // namespace rat::stock
