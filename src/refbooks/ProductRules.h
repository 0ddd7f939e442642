#pragma once
// Products beyond the generic record editor: the deletion of a product with its refusals and
// questions, and the sell-by date of a product received on a date.

#include "refbooks/BookCatalogue.h"

#include <QDateTime>
#include <optional>

namespace rat {
class Prompt;
class Database;
}

namespace rat::books {

// Registers the deletion rule of the product book (called once with the module's other rules).
void registerProductRules();

// The sell-by date of a product received at `received`: advanced by time_storage units of
// time_period (1 hours, 2 days, 3 weeks, 4 months, 5 years) the way a calendar does it, so
// 31 January + 1 month is the last day of February. Nothing when the product does not exist or
// its storage time or unit is missing.
// The product another product's rows are copied to, picked in "Выберите продукт, в который
// копировать..." among all other products; nothing picked gives "Не был выбран продукт.
// Копирование невозможно." and nothing.
std::optional<ListItem> chooseCopyTarget(Database& db, Prompt& prompt, qint64 productId);

std::optional<QDateTime> sellByDate(Database& db, qint64 productId, const QDateTime& received);

// The same date advanced without the database (the storage time and its unit as stored).
std::optional<QDateTime> advanceByStorage(const QDateTime& received, qint64 timeStorage, int timePeriod);

} // namespace rat::books
