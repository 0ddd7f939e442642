#pragma once
// Stock documents: expense (22), receipt (24), write-off (25) and order (28) headers, their lines
// as the document window lists them, the expense, write-off and order line editors with their
// checks, the document total and the confirmation question.

#include "stock/StockLots.h"

#include <QDate>
#include <QString>
#include <QtGlobal>
#include <optional>
#include <vector>

namespace rat {
class Database;
class Prompt;
}

namespace rat::stock {

enum class StockKind { Expense = 22, Receipt = 24, WriteOff = 25, Order = 28 };

// The kind of a document window code; nothing for a code that is not a stock document.
std::optional<StockKind> stockKind(int code);
QString documentTable(StockKind kind);   // expence_docum, receipt, spisanie, orders
QString lineTable(StockKind kind);       // expense, storage, spisanie_point, order_point
QString dateColumn(StockKind kind);      // ddate, rdate, wdate, odate
QString documentKey(StockKind kind);     // the line column naming the document: id_expence_docum, ...

struct StockDocumentHeader {
    std::optional<qint64> id;
    QString number;                    // №docum; empty: the next number (NextDocumentNumber)
    QDate date;
    QString comment;
    bool approved = false;             // status -1
    std::optional<qint64> supplierId;  // receipt, order
    QString deliveryNote;              // receipt: nomerNaklText
    bool delivered = false;            // order: status1 ("Поставка по заказу")
    double sum = 0;
};
std::optional<StockDocumentHeader> readStockDocument(Database& db, StockKind kind, qint64 id);
// Adds or updates the header (an empty number gets the next one; the header keeps it). Returns the id.
qint64 saveStockDocument(Database& db, StockKind kind, StockDocumentHeader& header);

// One line of a stock document as the document window shows it (fields not of the kind stay empty).
struct StockLineRow {
    qint64 lineId = 0;        // expense.id, storage.id, spisanie_point.id, order_point.id
    qint64 lotId = 0;         // the lot (expense, write-off), the lot itself (receipt)
    qint64 productId = 0;
    QString product;
    double quantity = 0;
    QString unit;
    double price = 0;
    double sum = 0;           // price × quantity
    QString eaterType;        // expense
    QString delivery;         // expense: the receipt's №docum or "Без № поставки"
    double temperature = 0;   // receipt
    QDate sellBy;             // receipt
    double sumWithVat = 0;    // receipt: sum + sum_NDS
    QString reason;           // write-off
    QString warehouse;
};
// The lines by product name (an expense shows only quantities above 0).
std::vector<StockLineRow> documentLines(Database& db, StockKind kind, qint64 id);

// Recomputes the document's `sum` from its lines (expense and write-off: the lots' cost × line
// quantity; receipt: its lots' cost × quantity; order: cost × quantity1), stores and returns it.
double documentSum(Database& db, StockKind kind, qint64 id);

// An expense or write-off line: a quantity taken from a lot.
struct LotLineInput {
    std::optional<qint64> id;           // an existing line to change
    qint64 documentId = 0;
    qint64 lotId = 0;
    double quantity = 0;                // in the lot's unit, above 0
    std::optional<qint64> eaterTypeId;  // expense: the eater type issued for
    QString reason;                     // write-off: why
};
// Checks (document and counted lot exist, quantity above 0 and not above the lot's remnant on the
// document date, the line's own earlier quantity given back) and writes the line and the document
// sum in one transaction. Returns the line id; nothing after a refusal told through the prompt.
std::optional<qint64> saveLotLine(Database& db, Prompt& prompt, StockKind kind, const LotLineInput& line);

struct OrderLineInput {
    std::optional<qint64> id;
    qint64 documentId = 0;
    qint64 productId = 0;
    double quantity = 0;                // quantity1, above 0
    std::optional<qint64> unitId;       // nothing: the product's unit
    double cost = 0;
    qint64 warehouse = 1;
};
std::optional<qint64> saveOrderLine(Database& db, Prompt& prompt, const OrderLineInput& line);

// The question of the document window's OK: "Выполнить расход? ..." for an expense, "Утвердить
// приход? ...", "Утвердить списание? ...", "Утвердить заказ? ..." for the others, each followed by
// " "Да" - выполнить|утвердить, "Нет" - сохранить как черновик, "Отмена" - вернуться.".
QString confirmQuestion(StockKind kind);
enum class StockConfirm { Approved, Draft, Returned };
// Asks the question (default "Да"); Yes stores status -1, No status 0, Cancel changes nothing.
// After Yes or No, a receipt, expense or write-off re-issues the approved menu-requirements from its date.
StockConfirm confirmStockDocument(Database& db, Prompt& prompt, StockKind kind, qint64 id);

} // namespace rat::stock
