#pragma once
// The line editors of the stock documents: the lot editor of a receipt (and of a lot entered
// directly, an opening balance, with its own date), the expense and write-off lines taken from a
// lot, and the order line. Each shows the line editor, hands the typed values to the stock
// module's checks and keeps the editor open after a refusal.

#include "stock/StockDocuments.h"

#include <QDate>
#include <QDialog>
#include <functional>
#include <optional>

class QWidget;

namespace rat {
class Database;
class Prompt;
}

namespace rat::ui {

struct StockLineContext {
    QWidget* parent = nullptr;
    Database* db = nullptr;
    Prompt* prompt = nullptr;
    std::function<void(QDialog&)> show;   // exec, or a test's hand
};

// A line of document `documentId` of `kind` (dated `date`): a new one, an existing one changed,
// or a copy of one. Returns the line written; nothing when the editor was cancelled.
std::optional<qint64> editStockLine(const StockLineContext& c, stock::StockKind kind, qint64 documentId,
                                    const QDate& date, std::optional<qint64> lineId, bool copy = false);

// A lot entered directly (no receipt), new or changed, with its own date (`date` for a new one).
std::optional<qint64> editDirectLot(const StockLineContext& c, std::optional<qint64> lotId, const QDate& date);

// Removes lines of a stock document (the receipt's lots with them): stock::deleteStockLines.
int deleteStockLines(Database& db, Prompt& prompt, stock::StockKind kind, qint64 documentId,
                     const std::vector<qint64>& lineIds);

// A number typed with "," or "."; nothing (after "Значение ... не корректно.") when it is not one.
std::optional<double> typedNumber(Prompt& prompt, const QString& text, const QString& caption);

} // namespace rat::ui
