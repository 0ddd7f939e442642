// The remnant chain on a date (counted lots, approved expense and write-off up to the date, grams
// through each lot's unit), the warehouse list and the lot editor.

#include "stock/StockLots.h"
#include "stock/StockDocuments.h"
#include "stock/StockShared.h"

#include "core/DataHelpers.h"
#include "core/Database.h"
#include "core/Prompt.h"
#include "core/Rounding.h"
#include "core/TextFold.h"
#include "refbooks/ProductRules.h"

#include <QDateTime>
#include <algorithm>
#include <unordered_map>

namespace rat::stock {

namespace detail {

QString mustChoose(const QString& caption)
{
    return QStringLiteral("Необходимо обязательно выбрать строку в списке \"") + caption + QStringLiteral("\".");
}

QString notValid(const QString& value, const QString& caption)
{
    return QStringLiteral("Значение \"") + value + QStringLiteral("\" поля \"") + caption +
           QStringLiteral("\" не корректно. Измените введенное значение.");
}

QString editedRowMissing()
{
    return QStringLiteral("Не найдена редактируемая запись. Обновите окно (F5), выделите другую строку.");
}

} // namespace detail

using detail::dateOf;
using detail::num;

namespace {

// Per lot, the sum of the approved lines of `lineTable` whose document is dated up to `date`.
std::unordered_map<qint64, double> takenByLot(Database& db, const QString& sql, const std::vector<QVariant>& params)
{
    std::unordered_map<qint64, double> out;
    Statement st(db, sql);
    st.bindAll(params);
    while (st.next())
        out[st.toInt64(0)] = num(st, 1);
    return out;
}

} // namespace

std::vector<LotRemnant> lotRemnants(Database& db, const QDate& date, std::optional<qint64> warehouse,
                                    std::optional<qint64> excludedExpense)
{
    const QString d = isoDate(date);
    const QVariant w = detail::orNull(warehouse);
    std::vector<LotRemnant> lots;
    Statement st(db, QStringLiteral(
        "SELECT s.id, s.id_product, p.pname, COALESCE(s.id_ed_izmer, p.id_ed_izmer), u.ename, u.koef, pu.koef, "
        "s.quantity, s.cost, s.date_realization, "
        "CASE WHEN s.status = -1 THEN COALESCE(substr(s.rddate, 1, 10), '1990-01-01') ELSE substr(rc.rdate, 1, 10) END AS ld, "
        "s.IDSS, w.name, CASE WHEN s.status = -1 THEN '-' ELSE rc.[№docum] END, s.id_receipt "
        "FROM storage s LEFT JOIN receipt rc ON rc.id = s.id_receipt "
        "LEFT JOIN products p ON p.id = s.id_product "
        "LEFT JOIN ed_izmer pu ON pu.id = p.id_ed_izmer "
        "LEFT JOIN ed_izmer u ON u.id = COALESCE(s.id_ed_izmer, p.id_ed_izmer) "
        "LEFT JOIN STORAGES w ON w.IDSS = s.IDSS "
        "WHERE (CASE WHEN s.status = -1 THEN -1 ELSE rc.status END) = -1 AND ld <= ?1 "
        "AND (?2 IS NULL OR s.IDSS = ?2)"));
    st.bind(1, d).bind(2, w);
    while (st.next()) {
        LotRemnant l;
        l.lotId = st.toInt64(0);
        l.productId = st.toInt64(1);
        l.productName = st.toString(2);
        l.unitId = st.toInt64(3);
        l.unitName = st.toString(4);
        l.koef = num(st, 5);
        l.productKoef = num(st, 6);
        l.quantity = num(st, 7);
        l.cost = num(st, 8);
        l.sellBy = dateOf(st, 9);
        l.lotDate = dateOf(st, 10);
        l.warehouse = st.toInt64(11);
        l.warehouseName = st.toString(12);
        l.document = st.toString(13);
        if (!st.isNull(14) && st.toString(13) != QLatin1String("-"))
            l.receiptId = st.toInt64(14);
        lots.push_back(std::move(l));
    }
    if (lots.empty())
        return lots;

    const auto expensed = takenByLot(
        db, QStringLiteral("SELECT x.id_storage, SUM(x.quantity) FROM expense x "
                           "JOIN expence_docum e ON e.id = x.id_expence_docum "
                           "WHERE e.status = -1 AND substr(e.ddate, 1, 10) <= ?1 AND (?2 IS NULL OR e.id <> ?2) "
                           "GROUP BY x.id_storage"),
        {d, detail::orNull(excludedExpense)});
    const auto writtenOff = takenByLot(
        db, QStringLiteral("SELECT x.id_storage, SUM(x.quantity) FROM spisanie_point x "
                           "JOIN spisanie e ON e.id = x.id_spisanie "
                           "WHERE e.status = -1 AND substr(e.wdate, 1, 10) <= ?1 GROUP BY x.id_storage"),
        {d});
    for (LotRemnant& l : lots) {
        double r = 0, s = 0;
        if (auto it = expensed.find(l.lotId); it != expensed.end())
            r = it->second;
        if (auto it = writtenOff.find(l.lotId); it != writtenOff.end())
            s = it->second;
        // A sum that is missing or not positive takes nothing from the lot.
        l.remnant = l.quantity - (r > 0 ? r : 0) - (s > 0 ? s : 0);
    }
    std::sort(lots.begin(), lots.end(), [](const LotRemnant& a, const LotRemnant& b) {
        if (a.productId != b.productId)
            return a.productId < b.productId;
        if (a.sellBy != b.sellBy)
            return a.sellBy < b.sellBy;
        if (a.lotDate != b.lotDate)
            return a.lotDate < b.lotDate;
        return a.lotId < b.lotId;
    });
    return lots;
}

std::vector<ProductRemnant> productRemnants(const std::vector<LotRemnant>& lots)
{
    std::vector<ProductRemnant> out;
    std::unordered_map<qint64, size_t> at;
    std::vector<double> koefs;
    for (const LotRemnant& l : lots) {
        auto it = at.find(l.productId);
        if (it == at.end()) {
            it = at.emplace(l.productId, out.size()).first;
            ProductRemnant p;
            p.productId = l.productId;
            p.name = l.productName;
            out.push_back(p);
            koefs.push_back(l.productKoef);
        }
        out[it->second].grams += l.remnant * l.koef;
    }
    for (size_t i = 0; i < out.size(); ++i) {
        out[i].grams = roundHalfEven(out[i].grams, 0);
        out[i].quantity = koefs[i] != 0 ? out[i].grams / koefs[i] : 0.0;
    }
    std::sort(out.begin(), out.end(), [](const ProductRemnant& a, const ProductRemnant& b) {
        const int c = compareRussian(a.name, b.name);
        return c != 0 ? c < 0 : a.productId < b.productId;
    });
    return out;
}

std::vector<ProductRemnant> productRemnants(Database& db, const QDate& date, std::optional<qint64> warehouse,
                                            std::optional<qint64> excludedExpense)
{
    std::vector<ProductRemnant> out = productRemnants(lotRemnants(db, date, warehouse, excludedExpense));
    if (out.empty())
        return out;
    std::unordered_map<qint64, QString> units;
    Statement st(db, QStringLiteral("SELECT p.id, e.ename FROM products p JOIN ed_izmer e ON e.id = p.id_ed_izmer"));
    while (st.next())
        units[st.toInt64(0)] = st.toString(1);
    for (ProductRemnant& p : out)
        p.unit = units[p.productId];
    return out;
}

std::vector<std::pair<qint64, QString>> warehouses(Database& db, bool withAll)
{
    std::vector<std::pair<qint64, QString>> out;
    Statement st(db, QStringLiteral("SELECT IDSS, name FROM STORAGES"));
    while (st.next())
        out.emplace_back(st.toInt64(0), st.toString(1));
    std::sort(out.begin(), out.end(), [](const auto& a, const auto& b) {
        const int c = compareRussian(a.second, b.second);
        return c != 0 ? c < 0 : a.first < b.first;
    });
    if (withAll)
        out.insert(out.begin(), {0, QStringLiteral("Все склады")});
    return out;
}

LotDefaults lotDefaults(Database& db, qint64 productId, const QDate& date)
{
    LotDefaults d;
    Statement st(db, QStringLiteral("SELECT id_ed_izmer, P_NDS FROM products WHERE id = ?1"));
    st.bind(1, productId);
    double own = 0;
    if (st.next()) {
        d.unitId = st.toInt64(0);
        own = num(st, 1);
    }
    if (date.isValid())
        if (const auto sell = books::sellByDate(db, productId, QDateTime(date, QTime(0, 0))))
            d.sellBy = sell->date();
    Statement inf(db, QStringLiteral("SELECT COALESCE(NDS, 0), COALESCE(NDS_PR, 0) FROM INF LIMIT 1"));
    if (inf.next()) {
        d.vatOn = inf.toInt64(0) != 0;
        d.vatRate = own > 0 ? own : num(inf, 1);
    }
    return d;
}

double priceWithVat(double price, double rate)
{
    return roundHalfEven(price + price * rate / 100.0, 2);
}

std::optional<qint64> saveLot(Database& db, Prompt& prompt, const LotInput& lot)
{
    auto refuse = [&](const QString& text) {
        prompt.warning(text);
        return std::optional<qint64>();
    };
    const auto exists = [&](const QString& sql, qint64 id) { return db.scalar(sql, {id}).toLongLong() > 0; };
    if (lot.id && !exists(QStringLiteral("SELECT COUNT(*) FROM storage WHERE id = ?1"), *lot.id))
        return refuse(detail::editedRowMissing());
    QDate receiptDate;
    if (lot.receiptId) {
        const QVariant d = db.scalar(QStringLiteral("SELECT substr(rdate, 1, 10) FROM receipt WHERE id = ?1"), {*lot.receiptId});
        if (!exists(QStringLiteral("SELECT COUNT(*) FROM receipt WHERE id = ?1"), *lot.receiptId))
            return refuse(detail::editedRowMissing());
        receiptDate = parseIsoDate(d.toString());
    }
    if (lot.productId <= 0 || !exists(QStringLiteral("SELECT COUNT(*) FROM products WHERE id = ?1"), lot.productId))
        return refuse(detail::mustChoose(QStringLiteral("Продукт")));
    if (!(lot.quantity > 0))
        return refuse(detail::notValid(plainNumber(lot.quantity), QStringLiteral("Количество")));
    if (lot.cost < 0)
        return refuse(detail::notValid(plainNumber(lot.cost), QStringLiteral("Цена")));
    const LotDefaults defaults = lotDefaults(db, lot.productId, lot.receiptId ? receiptDate : lot.date);
    const qint64 unit = lot.unitId.value_or(defaults.unitId);
    if (unit <= 0 || !exists(QStringLiteral("SELECT COUNT(*) FROM ed_izmer WHERE id = ?1"), unit))
        return refuse(detail::mustChoose(QStringLiteral("Ед.изм.")));
    if (!exists(QStringLiteral("SELECT COUNT(*) FROM STORAGES WHERE IDSS = ?1"), lot.warehouse))
        return refuse(detail::mustChoose(QStringLiteral("Склад")));

    QDate sellBy = lot.sellBy.value_or(defaults.sellBy);
    if (!sellBy.isValid())
        sellBy = lot.receiptId ? receiptDate : lot.date;
    QVariant vatRate, vatSum = 0.0;
    if (defaults.vatOn) {
        vatRate = defaults.vatRate;
        vatSum = roundHalfEven((priceWithVat(lot.cost, defaults.vatRate) - lot.cost) * lot.quantity, 2);
    }
    const bool direct = !lot.receiptId;
    const std::vector<QVariant> values = {
        lot.productId, lot.quantity, sellBy.isValid() ? QVariant(sellBy) : QVariant(), detail::orNull(lot.receiptId),
        lot.cost, unit, vatRate, direct ? -1 : 0, lot.warehouse, vatSum, lot.note, lot.temperature,
        direct && lot.date.isValid() ? QVariant(lot.date) : QVariant()};

    Transaction tx(db);
    qint64 id = 0;
    if (lot.id) {
        std::vector<QVariant> params = values;
        params.push_back(*lot.id);
        db.exec(QStringLiteral("UPDATE storage SET id_product = ?1, quantity = ?2, date_realization = ?3, id_receipt = ?4, "
                               "cost = ?5, id_ed_izmer = ?6, nds = ?7, status = ?8, IDSS = ?9, sum_NDS = ?10, OrgOc = ?11, "
                               "tempHr = ?12, rddate = ?13 WHERE id = ?14"),
                params);
        id = *lot.id;
    } else {
        db.exec(QStringLiteral("INSERT INTO storage (id_product, quantity, date_realization, id_receipt, cost, id_ed_izmer, "
                               "nds, status, IDSS, sum_NDS, OrgOc, tempHr, rddate) "
                               "VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12, ?13)"),
                values);
        id = db.lastInsertId();
    }
    if (lot.receiptId)
        documentSum(db, StockKind::Receipt, *lot.receiptId);
    tx.commit();
    return id;
}

} // namespace rat::stock
