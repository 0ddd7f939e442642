// The remnant chain on a date (counted lots, approved expense and write-off up to the date, grams
// through each lot's unit), the warehouse list and the lot editor.

#include "stock/StockLots.h"
#include "stock/StockDocuments.h"
#include "stock/MenuRequirementApproval.h"
#include "stock/StockChanges.h"
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
#include <unordered_set>

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
    return missingRowText();
}

} // namespace detail

using detail::dateOf;
using detail::num;

namespace {

// A stored date ("YYYY-MM-DD", a time may follow) read without the general parser: the remnant
// reads every lot's dates.
QDate storedDate(const Statement& st, int col)
{
    if (st.isNull(col))
        return QDate();
    const QString s = st.toString(col);
    if (s.size() < 10 || s[4] != QLatin1Char('-') || s[7] != QLatin1Char('-'))
        return parseIsoDate(s);
    int parts[3] = {0, 0, 0};
    const int from[3] = {0, 5, 8}, len[3] = {4, 2, 2};
    for (int k = 0; k < 3; ++k)
        for (int i = from[k]; i < from[k] + len[k]; ++i) {
            const int c = s[i].unicode() - '0';
            if (c < 0 || c > 9)
                return parseIsoDate(s);
            parts[k] = parts[k] * 10 + c;
        }
    return QDate(parts[0], parts[1], parts[2]);
}

struct ReceiptInfo {
    bool approved = false;
    QDate date;
    QString number;
};

struct UnitInfo {
    QString name;
    double koef = 0;
};

// Per lot of `at`, the sum of the lines of approved documents dated up to the date: the documents
// are read first, then the lines once, summed here rather than grouped by the database.
void addTaken(Database& db, const QString& docSql, const std::vector<QVariant>& docParams, const QString& lineSql,
              const std::unordered_map<qint64, size_t>& at, std::vector<double>& taken)
{
    std::unordered_set<qint64> docs;
    Statement d(db, docSql);
    d.bindAll(docParams);
    while (d.next())
        docs.insert(d.toInt64(0));
    if (docs.empty())
        return;
    Statement st(db, lineSql);
    while (st.next()) {
        if (!docs.count(st.toInt64(2)))
            continue;
        const auto it = at.find(st.toInt64(0));
        if (it != at.end())
            taken[it->second] += num(st, 1);
    }
}

} // namespace

std::vector<LotRemnant> lotRemnants(Database& db, const QDate& date, std::optional<qint64> warehouse,
                                    std::optional<qint64> excludedExpense)
{
    std::unordered_map<qint64, ReceiptInfo> receipts;
    {
        Statement st(db, QStringLiteral("SELECT id, status, rdate, [№docum] FROM receipt"));
        while (st.next())
            receipts[st.toInt64(0)] = {st.toInt64(1) == -1, storedDate(st, 2), st.toString(3)};
    }
    std::unordered_map<qint64, UnitInfo> units;
    {
        Statement st(db, QStringLiteral("SELECT id, ename, koef FROM ed_izmer"));
        while (st.next())
            units[st.toInt64(0)] = {st.toString(1), num(st, 2)};
    }
    std::unordered_map<qint64, std::pair<QString, qint64>> products;
    {
        Statement st(db, QStringLiteral("SELECT id, pname, id_ed_izmer FROM products"));
        while (st.next())
            products[st.toInt64(0)] = {st.toString(1), st.toInt64(2)};
    }
    std::unordered_map<qint64, QString> stores;
    {
        Statement st(db, QStringLiteral("SELECT IDSS, name FROM STORAGES"));
        while (st.next())
            stores[st.toInt64(0)] = st.toString(1);
    }

    std::vector<LotRemnant> lots;
    std::unordered_map<qint64, size_t> at;
    Statement st(db, QStringLiteral("SELECT id, id_product, id_ed_izmer, quantity, cost, date_realization, id_receipt, "
                                    "status, rddate, IDSS FROM storage WHERE ?1 IS NULL OR IDSS = ?1"));
    st.bind(1, detail::orNull(warehouse));
    while (st.next()) {
        const bool direct = !st.isNull(7) && st.toInt64(7) == -1;
        LotRemnant l;
        if (direct) {
            l.lotDate = st.isNull(8) ? directLotDefaultDate() : storedDate(st, 8);
            l.document = QStringLiteral("-");
        } else {
            const auto r = st.isNull(6) ? receipts.end() : receipts.find(st.toInt64(6));
            if (r == receipts.end() || !r->second.approved)
                continue;
            l.lotDate = r->second.date;
            l.document = r->second.number;
            l.receiptId = r->first;
        }
        if (!l.lotDate.isValid() || l.lotDate > date)
            continue;
        l.lotId = st.toInt64(0);
        l.productId = st.toInt64(1);
        const auto p = products.find(l.productId);
        qint64 productUnit = 0;
        if (p != products.end()) {
            l.productName = p->second.first;
            productUnit = p->second.second;
        }
        l.unitId = st.isNull(2) ? productUnit : st.toInt64(2);
        if (const auto u = units.find(l.unitId); u != units.end()) {
            l.unitName = u->second.name;
            l.koef = u->second.koef;
        }
        if (const auto u = units.find(productUnit); u != units.end())
            l.productKoef = u->second.koef;
        l.quantity = num(st, 3);
        l.cost = num(st, 4);
        l.sellBy = storedDate(st, 5);
        l.warehouse = st.toInt64(9);
        if (const auto w = stores.find(l.warehouse); w != stores.end())
            l.warehouseName = w->second;
        at[l.lotId] = lots.size();
        lots.push_back(std::move(l));
    }
    if (lots.empty())
        return lots;

    const QString d = isoDate(date);
    std::vector<double> expensed(lots.size(), 0.0), writtenOff(lots.size(), 0.0);
    addTaken(db,
             QStringLiteral("SELECT id FROM expence_docum WHERE status = -1 AND substr(ddate, 1, 10) <= ?1 "
                            "AND (?2 IS NULL OR id <> ?2)"),
             {d, detail::orNull(excludedExpense)},
             QStringLiteral("SELECT id_storage, quantity, id_expence_docum FROM expense"), at, expensed);
    addTaken(db, QStringLiteral("SELECT id FROM spisanie WHERE status = -1 AND substr(wdate, 1, 10) <= ?1"), {d},
             QStringLiteral("SELECT id_storage, quantity, id_spisanie FROM spisanie_point"), at, writtenOff);
    for (size_t i = 0; i < lots.size(); ++i) {
        const double r = expensed[i], s = writtenOff[i];
        // A sum that is not positive takes nothing from the lot.
        lots[i].remnant = lots[i].quantity - (r > 0 ? r : 0) - (s > 0 ? s : 0);
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
    // Folded once per product rather than at every comparison.
    std::vector<std::pair<QString, size_t>> keys;
    for (size_t i = 0; i < out.size(); ++i)
        keys.emplace_back(foldText(out[i].name), i);
    std::sort(keys.begin(), keys.end(), [&](const auto& a, const auto& b) {
        if (const int c = a.first.compare(b.first))
            return c < 0;
        if (const int c = out[a.second].name.compare(out[b.second].name))
            return c < 0;
        return out[a.second].productId < out[b.second].productId;
    });
    std::vector<ProductRemnant> sorted;
    sorted.reserve(out.size());
    for (const auto& k : keys)
        sorted.push_back(std::move(out[k.second]));
    return sorted;
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

    // A changed lot that counted, or counts now, changes what the issues from the earlier of its two
    // dates could take.
    std::optional<QDate> before;
    if (lot.id)
        before = countedLotDate(db, *lot.id);

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
    std::optional<QDate> from = before;
    if (lot.id)
        if (const auto after = countedLotDate(db, id); after && (!from || *after < *from))
            from = after;
    tx.commit();
    // The re-issue is a transaction of its own after a copy of the file with the lot changed.
    if (from)
        reissueFromDate(db, prompt, *from);
    return id;
}

} // namespace rat::stock
