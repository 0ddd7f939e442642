#pragma once
// The stock reports of the main window: the turnover sheet (opening balance, receipts, expense
// and write-off, closing balance per product), the accumulative ledgers of expense and of receipts
// (products by days of a period) and the remnants on a chosen date, their figures and their forms.

#include <QDate>
#include <QString>
#include <optional>
#include <vector>

namespace rat {
class Database;
class Prompt;
}

namespace rat::documents {

// One product of the turnover sheet, in the product's unit; sums at the lots' prices, rounded to
// money. Opening = the remnant at the end of the day before `from`, closing = the remnant on `to`
// (the same figures as the remnants list), so closing + nothing = the next period's opening.
struct TurnoverRow {
    qint64 productId = 0;
    QString name;
    QString unit;
    double openingQuantity = 0, openingSum = 0;
    double receivedQuantity = 0, receivedSum = 0;
    double issuedQuantity = 0, issuedSum = 0;  // approved expense and write-off of the period
    double closingQuantity = 0, closingSum = 0;
};
// Products with anything to show (a balance or a movement), in alphabetical order.
std::vector<TurnoverRow> turnoverRows(Database& db, const QDate& from, const QDate& to,
                                      std::optional<qint64> warehouse = {});

// One line of an accumulative ledger: a product at one price (of its own unit), the quantity of
// each day of the period (index 0 = `from`), the total and the sum (total × price, in money).
struct LedgerRow {
    qint64 productId = 0;
    QString name;
    QString unit;
    std::vector<double> days;
    double total = 0;
    double price = 0;
    double sum = 0;
};
enum class LedgerKind { Expense, Receipt };
// Expense: the lines of approved expense documents dated in the period. Receipt: the counted lots
// (of approved receipts, or entered directly) dated in the period.
std::vector<LedgerRow> ledgerRows(Database& db, LedgerKind kind, const QDate& from, const QDate& to);

// One product of the remnants report: the remnant on the date as the remnants list shows it, the
// sum of its lots at their prices and the resulting average price.
struct RemnantReportRow {
    QString name;
    QString unit;
    double quantity = 0;
    double price = 0;
    double sum = 0;
};
std::vector<RemnantReportRow> remnantReportRows(Database& db, const QDate& date, std::optional<qint64> warehouse = {});

// The report titles, which are also their template names.
QString turnoverTitle();                 // "Оборотно-сальдовая ведомость"
QString ledgerTitle(LedgerKind kind);    // "Накопительная ведомость расхода продуктов", "...прихода..."
QString remnantsTitle();                 // "Остатки продуктов на выбранную дату"

// The longest period of a ledger, one column per day.
constexpr int kLedgerMaxDays = 31;

// Checks the period (start not after the end; a ledger not longer than kLedgerMaxDays); tells the
// person and returns false when it is not right.
bool checkReportPeriod(Database& db, Prompt& prompt, const QDate& from, const QDate& to, int maxDays = 0);

// The forms, in the printing frame: saved as "<title> с 01.12.2026 по 31.12.2026" (the remnants
// "Остатки продуктов на 15.12.2026") into "Документы". Each returns the saved path, empty when nothing was
// saved. A period without figures gives the form with no product rows and a zero total.
QString PrintTurnoverSheet(Database& db, Prompt& prompt, const QDate& from, const QDate& to,
                           std::optional<qint64> warehouse = {});
QString PrintLedger(Database& db, Prompt& prompt, LedgerKind kind, const QDate& from, const QDate& to);
QString PrintRemnantsOnDate(Database& db, Prompt& prompt, const QDate& date, std::optional<qint64> warehouse = {});

} // namespace rat::documents
