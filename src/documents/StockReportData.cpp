// The figures of the stock reports: the turnover sheet from the lot remnants on two dates, the
// accumulative ledgers from approved expense lines and counted lots, the remnants on a date.

#include "documents/StockReports.h"

#include "core/AppState.h"
#include "core/Database.h"
#include "core/Rounding.h"
#include "core/TextFold.h"
#include "stock/StockLots.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <unordered_map>

namespace rat::documents {

QString turnoverTitle() { return QStringLiteral("Оборотно-сальдовая ведомость"); }
QString remnantsTitle() { return QStringLiteral("Остатки продуктов на выбранную дату"); }
QString ledgerTitle(LedgerKind kind)
{
    return kind == LedgerKind::Expense ? QStringLiteral("Накопительная ведомость расхода продуктов")
                                       : QStringLiteral("Накопительная ведомость прихода продуктов");
}

namespace {

double money(double x) { return roundHalfEven(x, app().roundingDigits); }

std::unordered_map<qint64, QString> productUnitNames(Database& db)
{
    std::unordered_map<qint64, QString> units;
    Statement st(db, QStringLiteral("SELECT p.id, e.ename FROM products p JOIN ed_izmer e ON e.id = p.id_ed_izmer"));
    while (st.next())
        units[st.toInt64(0)] = st.toString(1);
    return units;
}

// Sorted by the folded name, then the name, then the price where rows have one.
template <class Row, class Extra>
void sortByName(std::vector<Row>& rows, Extra extra)
{
    std::stable_sort(rows.begin(), rows.end(), [&](const Row& a, const Row& b) {
        if (const int c = foldText(a.name).compare(foldText(b.name)))
            return c < 0;
        if (const int c = a.name.compare(b.name))
            return c < 0;
        if (a.productId != b.productId)
            return a.productId < b.productId;
        return extra(a) < extra(b);
    });
}

} // namespace

std::vector<TurnoverRow> turnoverRows(Database& db, const QDate& from, const QDate& to, std::optional<qint64> warehouse)
{
    const std::vector<stock::LotRemnant> before = stock::lotRemnants(db, from.addDays(-1), warehouse);
    const std::vector<stock::LotRemnant> after = stock::lotRemnants(db, to, warehouse);
    // Quantities as the remnants list has them: grams of the lots, whole grams per product.
    std::map<qint64, double> opening, closing;  // grams
    for (const auto& p : stock::productRemnants(before))
        opening[p.productId] = p.grams;
    for (const auto& p : stock::productRemnants(after))
        closing[p.productId] = p.grams;

    struct Acc {
        double openSum = 0, closeSum = 0, inGrams = 0, inSum = 0, productKoef = 0;
        QString name;
    };
    std::map<qint64, Acc> acc;
    for (const stock::LotRemnant& l : before)
        acc[l.productId].openSum += l.remnant * l.cost;
    for (const stock::LotRemnant& l : after) {
        Acc& a = acc[l.productId];
        a.closeSum += l.remnant * l.cost;
        a.name = l.productName;
        a.productKoef = l.productKoef;
        if (l.lotDate >= from) {
            a.inGrams += l.quantity * l.koef;
            a.inSum += l.quantity * l.cost;
        }
    }
    const auto units = productUnitNames(db);
    std::vector<TurnoverRow> rows;
    for (const auto& [id, a] : acc) {
        TurnoverRow r;
        r.productId = id;
        r.name = a.name;
        if (const auto u = units.find(id); u != units.end())
            r.unit = u->second;
        const double openGrams = opening.count(id) ? opening[id] : 0.0;
        const double closeGrams = closing.count(id) ? closing[id] : 0.0;
        const double inGrams = roundHalfEven(a.inGrams, 0);
        const double outGrams = openGrams + inGrams - closeGrams;
        if (openGrams == 0 && inGrams == 0 && outGrams == 0 && closeGrams == 0 && money(a.openSum) == 0 &&
            money(a.closeSum) == 0 && money(a.inSum) == 0)
            continue;
        auto inUnit = [&](double grams) { return a.productKoef != 0 ? grams / a.productKoef : 0.0; };
        // Three places, the issue being what the balances leave, so that every row adds up.
        r.openingQuantity = roundHalfEven(inUnit(openGrams), 3);
        r.closingQuantity = roundHalfEven(inUnit(closeGrams), 3);
        r.receivedQuantity = roundHalfEven(inUnit(inGrams), 3);
        r.issuedQuantity = roundHalfEven(r.openingQuantity + r.receivedQuantity - r.closingQuantity, 3);
        r.openingSum = money(a.openSum);
        r.receivedSum = money(a.inSum);
        r.closingSum = money(a.closeSum);
        r.issuedSum = money(r.openingSum + r.receivedSum - r.closingSum);
        rows.push_back(std::move(r));
    }
    sortByName(rows, [](const TurnoverRow&) { return 0; });
    return rows;
}

std::vector<LedgerRow> ledgerRows(Database& db, LedgerKind kind, const QDate& from, const QDate& to)
{
    const int days = int(from.daysTo(to)) + 1;
    if (days <= 0)
        return {};
    // (product, price in ten-thousandths of the product's unit) -> row
    std::map<std::pair<qint64, qint64>, LedgerRow> rows;
    const auto units = productUnitNames(db);
    auto add = [&](qint64 product, const QString& name, const QDate& date, double quantity, double koef,
                   double productKoef, double cost) {
        if (productKoef == 0 || koef == 0 || date < from || date > to)
            return;
        const double q = quantity * koef / productKoef;       // in the product's unit
        const double price = cost * productKoef / koef;       // of one unit of the product's unit
        LedgerRow& r = rows[{product, std::llround(price * 10000)}];
        if (r.days.empty()) {
            r.productId = product;
            r.name = name;
            if (const auto u = units.find(product); u != units.end())
                r.unit = u->second;
            r.price = roundHalfEven(price, 4);
            r.days.assign(size_t(days), 0.0);
        }
        r.days[size_t(from.daysTo(date))] += q;
    };
    if (kind == LedgerKind::Receipt) {
        for (const stock::LotRemnant& l : stock::lotRemnants(db, to))
            add(l.productId, l.productName, l.lotDate, l.quantity, l.koef, l.productKoef, l.cost);
    } else {
        std::unordered_map<qint64, double> koefs;
        {
            Statement st(db, QStringLiteral("SELECT id, koef FROM ed_izmer"));
            while (st.next())
                koefs[st.toInt64(0)] = st.toDouble(1);
        }
        Statement st(db, QStringLiteral(
            "SELECT substr(d.ddate, 1, 10), e.quantity, s.id_product, p.pname, s.cost, "
            "COALESCE(s.id_ed_izmer, p.id_ed_izmer), p.id_ed_izmer "
            "FROM expense e JOIN expence_docum d ON d.id = e.id_expence_docum "
            "JOIN storage s ON s.id = e.id_storage JOIN products p ON p.id = s.id_product "
            "WHERE d.status = -1 AND substr(d.ddate, 1, 10) BETWEEN ?1 AND ?2"));
        st.bind(1, from.toString(Qt::ISODate));
        st.bind(2, to.toString(Qt::ISODate));
        while (st.next())
            add(st.toInt64(2), st.toString(3), QDate::fromString(st.toString(0), Qt::ISODate), st.toDouble(1),
                koefs[st.toInt64(5)], koefs[st.toInt64(6)], st.toDouble(4));
    }
    std::vector<LedgerRow> out;
    for (auto& [key, r] : rows) {
        for (double& q : r.days)
            q = roundHalfEven(q, 3);
        for (double q : r.days)
            r.total += q;
        r.total = roundHalfEven(r.total, 3);
        r.sum = money(r.total * r.price);
        out.push_back(std::move(r));
    }
    sortByName(out, [](const LedgerRow& r) { return r.price; });
    return out;
}

std::vector<RemnantReportRow> remnantReportRows(Database& db, const QDate& date, std::optional<qint64> warehouse)
{
    const std::vector<stock::LotRemnant> lots = stock::lotRemnants(db, date, warehouse);
    std::unordered_map<qint64, double> sums;
    for (const stock::LotRemnant& l : lots)
        sums[l.productId] += l.remnant * l.cost;
    const auto units = productUnitNames(db);
    std::vector<RemnantReportRow> out;
    for (const stock::ProductRemnant& p : stock::productRemnants(lots)) {
        const double sum = money(sums[p.productId]);
        if (p.grams == 0 && sum == 0)
            continue;
        RemnantReportRow r;
        r.name = p.name;
        if (const auto u = units.find(p.productId); u != units.end())
            r.unit = u->second;
        r.quantity = roundHalfEven(p.quantity, 3);
        r.sum = sum;
        r.price = p.quantity != 0 ? roundHalfEven(sum / p.quantity, 2) : 0.0;
        out.push_back(std::move(r));
    }
    return out;
}

} // namespace rat::documents
