#pragma once
// What follows a change to the store's lots outside the issue: the date from which a lot counts,
// and the deletion of a document's lines (a receipt's lots with the issues made from them) with
// the re-issue of the later approved menu-requirements.

#include "stock/StockDocuments.h"

#include <QDate>
#include <QtGlobal>
#include <optional>
#include <vector>

namespace rat {
class Database;
class Prompt;
}

namespace rat::stock {

// The date from which lot `lotId` counts (its receipt's date, its own date when entered directly,
// 1990-01-01 without one); nothing when it does not count (a draft receipt's lot, no such lot).
std::optional<QDate> countedLotDate(Database& db, qint64 lotId);

// Removes lines of a stock document (the receipt's lots with them) and recomputes its sum. A lot
// that a write-off or an expense document of its own took from stays, and the person is told; a
// lot only the issue of menu-requirements took from goes with those expense lines, and the
// approved menu-requirements from its date are issued again. One transaction.
int deleteStockLines(Database& db, Prompt& prompt, StockKind kind, qint64 documentId,
                     const std::vector<qint64>& lineIds);

// True when lot `lotId` can go: nothing but the issue of menu-requirements took from it.
bool lotRemovable(Database& db, qint64 lotId);

} // namespace rat::stock
