#pragma once
// Stock lots: the remnant of every lot and every product on a date (computed in memory from a
// few grouped queries), the lot editor of a receipt and of lots entered directly, the warehouse
// list. A lot row is never changed by an issue: its remnant is derived from approved expense and
// write-off lines.

#include <QDate>
#include <QString>
#include <QtGlobal>
#include <map>
#include <optional>
#include <utility>
#include <vector>

namespace rat {
class Database;
class Prompt;
}

namespace rat::stock {

// The date of a lot entered directly without its own date.
inline QDate directLotDefaultDate() { return QDate(1990, 1, 1); }

// One counted lot (entered directly, or of an approved receipt) with its remnant on a date.
struct LotRemnant {
    qint64 lotId = 0;
    qint64 productId = 0;
    QString productName;
    qint64 unitId = 0;        // the lot's unit (the product's when the lot names none)
    QString unitName;
    double koef = 0;          // grams in one unit of the lot's unit
    double productKoef = 0;   // grams in one unit of the product's unit
    double quantity = 0;      // received, in the lot's unit
    double remnant = 0;       // on the date, in the lot's unit; below zero after an accepted shortage
    double cost = 0;          // price of one unit of the lot's unit
    QDate sellBy;             // date_realization
    QDate lotDate;            // receipt date; rddate, or 1990-01-01, for a lot entered directly
    qint64 warehouse = 0;     // IDSS
    QString warehouseName;
    QString document;         // the receipt's №docum, "-" for a lot entered directly
    std::optional<qint64> receiptId;
};

// The counted lots whose lot date is not after `date` (of `warehouse` only when given), each with
// its quantity less the approved expense lines dated up to `date` (without those of
// `excludedExpense`) and the approved write-off lines dated up to `date`. Ordered as an issue
// walks them: product, sell-by date, lot date, lot id.
std::vector<LotRemnant> lotRemnants(Database& db, const QDate& date, std::optional<qint64> warehouse = {},
                                    std::optional<qint64> excludedExpense = {});

// A product's remnant: the lots' remnants in grams (each through its own unit's koef), rounded to
// whole grams, and that in the product's unit.
struct ProductRemnant {
    qint64 productId = 0;
    QString name;
    QString unit;             // the product's unit name
    double grams = 0;         // whole grams
    double quantity = 0;      // grams / koef of the product's unit
};
// Per product with at least one counted lot on the date, in Russian alphabetical order of names.
std::vector<ProductRemnant> productRemnants(Database& db, const QDate& date, std::optional<qint64> warehouse = {},
                                            std::optional<qint64> excludedExpense = {});
// The same folded from already computed lot remnants (the fill and the window reuse one walk).
std::vector<ProductRemnant> productRemnants(const std::vector<LotRemnant>& lots);

// The warehouses for a filter box: (0, "Все склады") first when `withAll`, then STORAGES by name.
std::vector<std::pair<qint64, QString>> warehouses(Database& db, bool withAll);

// ---- the lot editor ----

// What the editor offers when a product is picked for a lot received (or entered) on `date`.
struct LotDefaults {
    qint64 unitId = 0;         // the product's unit
    QDate sellBy;              // the date advanced by the product's storage time; invalid when it has none
    bool vatOn = false;        // INF.NDS
    double vatRate = 0;        // the product's P_NDS when above 0, otherwise INF.NDS_PR
};
LotDefaults lotDefaults(Database& db, qint64 productId, const QDate& date);

// The price with VAT: price + price × rate / 100, rounded to 2 places.
double priceWithVat(double price, double rate);

struct LotInput {
    std::optional<qint64> id;          // an existing lot to change; nothing adds one
    std::optional<qint64> receiptId;   // the receipt; nothing for a lot entered directly (status -1)
    qint64 productId = 0;
    double quantity = 0;               // in the lot's unit, above 0
    std::optional<qint64> unitId;      // nothing: the product's unit
    double cost = 0;                   // price of one unit, without VAT, not below 0
    std::optional<QDate> sellBy;       // nothing: lotDefaults().sellBy (the lot date when the product has no storage time)
    qint64 warehouse = 1;              // STORAGES.IDSS
    double temperature = 0;            // tempHr, °C
    QDate date;                        // rddate of a lot entered directly; a receipt's lot takes the receipt date
    QString note;                      // OrgOc
};

// Checks the lot (product chosen, quantity above 0, price not below 0, unit, warehouse and receipt
// exist; each refusal told through the prompt in the document editor's words) and writes it in
// one transaction with its VAT (nds = the rate, sum_NDS = VAT of the whole lot, when VAT is on);
// then the receipt's sum is recomputed. Returns the lot id, nothing after a refusal (nothing written).
std::optional<qint64> saveLot(Database& db, Prompt& prompt, const LotInput& lot);

} // namespace rat::stock
