#pragma once
// Ten years of a store-room for the stock benchmarks: 300 products in kilograms, 30,000 lots of
// approved receipts every six days, 2,500 approved expense documents of 60 lines and 250
// write-offs of 10 lines, from December 2016 on.

#include <QtGlobal>

namespace rat {
class Database;
}

namespace rat::bench {

constexpr int kYearProducts = 300;
constexpr int kYearLots = 30000;
constexpr int kExpenseDocs = 2500;
constexpr int kLinesPerExpense = 60;
constexpr int kWriteOffs = 250;

// Empties the tables the stock benchmarks fill and writes one organisation row (stock
// accounting on, seasonality off).
void clearStockTables(Database& db);
// A unit "кг" of 1,000 g; returns its id.
qint64 addKilogram(Database& db);

// Clears the stock tables and fills the ten years (products 1 to 300), in one transaction.
void fillTenYearsOfStock(Database& db);

} // namespace rat::bench
