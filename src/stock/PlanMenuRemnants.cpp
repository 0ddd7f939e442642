// The remnants beside the product need of a plan-menu, from the remnant chain on the date.

#include "stock/PlanMenuRemnants.h"
#include "stock/StockLots.h"

namespace rat::stock {

menu::StockRemnants planMenuRemnants(Database& db, const QDate& date)
{
    const std::vector<ProductRemnant> remnants = productRemnants(db, date);
    if (remnants.empty())
        return std::nullopt;
    std::map<qint64, double> out;
    for (const ProductRemnant& r : remnants)
        out[r.productId] = r.quantity;
    return out;
}

} // namespace rat::stock
