#pragma once
// The store's remnants the product need of a plan-menu shows beside the need. Until the lots
// and their remnant chain are in place every product shows 0; only whether the store holds
// any lot at all is read.

#include "core/Database.h"
#include "menu/PlanMenuProductNeed.h"

#include <QDate>

namespace rat::stock {

inline menu::StockRemnants planMenuRemnants(Database& db, const QDate&)
{
    if (db.scalar(QStringLiteral("SELECT COUNT(*) FROM storage")).toLongLong() == 0)
        return std::nullopt;
    return std::map<qint64, double>{};
}

} // namespace rat::stock
