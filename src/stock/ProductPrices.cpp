// Prices of a gram of products from their latest delivery, read for many products at once: the
// stock documents' name for the one rule of the reference books.

#include "stock/ProductPrices.h"

#include "refbooks/LatestDeliveryPrices.h"

namespace rat::stock {

bool isEmptyDate(const QDate& date)
{
    return books::isEmptyDate(date);
}

std::map<qint64, double> productPrices(Database& db, const std::vector<qint64>& products, const QDate& date,
                                       std::optional<qint64> warehouse)
{
    if (products.empty())
        return {};
    return books::latestDeliveryPrices(db, date, products, warehouse);
}

} // namespace rat::stock
