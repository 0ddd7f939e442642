// The automatic order: the covered plan days of each set-up expanded into products for its
// eaters, compared with today's remnant chain, the shortages written as one order; and the
// reminder at start-up.

#include "stock/AutoOrder.h"
#include "core/DataHelpers.h"
#include "core/Database.h"
#include "core/Parameters.h"
#include "core/Prompt.h"
#include "core/Rounding.h"
#include "core/TextFold.h"
#include "menu/PlanMenuProductNeed.h"
#include "refbooks/SeasonalLosses.h"
#include "stock/AutoOrderParameters.h"
#include "stock/MenuRequirement.h"
#include "stock/StockDocuments.h"
#include "stock/StockLots.h"
#include "stock/StockShared.h"
#include "stock/WriteOff.h"

#include <QStringList>
#include <algorithm>
#include <limits>
#include <map>
#include <tuple>
#include <unordered_map>

namespace rat::stock {

using detail::num;

namespace {

struct ProductInfo {
    QString name;
    qint64 unitId = 0;
    QString unit;
    double koef = 0;     // grams in the product's unit
    int ruleOkr = 0;
    double plannedPrice = 0;
};

std::unordered_map<qint64, ProductInfo> readProducts(Database& db)
{
    std::unordered_map<qint64, ProductInfo> out;
    Statement st(db, QStringLiteral("SELECT p.id, p.pname, COALESCE(p.id_ed_izmer, 0), e.ename, e.koef, "
                                    "COALESCE(p.rule_okr, 0), COALESCE(p.plpris, 0) FROM products p "
                                    "LEFT JOIN ed_izmer e ON e.id = p.id_ed_izmer"));
    while (st.next())
        out[st.toInt64(0)] = {st.toString(1), st.toInt64(2), st.toString(3), num(st, 4), int(st.toInt64(5)), num(st, 6)};
    return out;
}

// Today's remnant of each product in its own unit, per warehouse: the lots summed per warehouse,
// unit and product and rounded to 3 places, then brought into the product's unit through grams.
std::map<std::pair<qint64, qint64>, double> remnantsByWarehouse(Database& db, const QDate& today)
{
    struct Key {
        qint64 warehouse, unit, product;
        bool operator<(const Key& o) const
        {
            return std::tie(warehouse, unit, product) < std::tie(o.warehouse, o.unit, o.product);
        }
    };
    std::map<Key, std::pair<double, double>> sums;  // remnant, koef of the unit over the product's
    for (const LotRemnant& l : lotRemnants(db, today)) {
        auto& s = sums[{l.warehouse, l.unitId, l.productId}];
        s.first += l.remnant;
        s.second = (l.koef > 0 && l.productKoef > 0) ? l.koef / l.productKoef : 1.0;
    }
    std::map<std::pair<qint64, qint64>, double> out;  // (product, warehouse)
    for (const auto& [k, s] : sums)
        out[{k.product, k.warehouse}] += roundHalfEven(s.first, 3) * s.second;
    return out;
}

// The cost of each product's most recent lot (by lot date, then sell-by date, then the lot
// entered last), in the product's unit.
std::map<qint64, double> latestLotCosts(Database& db, const std::vector<qint64>& products)
{
    std::map<qint64, double> out;
    if (products.empty())
        return out;
    struct Best {
        QString date, sellBy;
        qint64 id = 0;
        double cost = 0;
    };
    std::map<qint64, Best> best;
    const size_t chunk = 400;
    for (size_t from = 0; from < products.size(); from += chunk) {
        const size_t n = std::min(chunk, products.size() - from);
        QStringList marks;
        std::vector<QVariant> params;
        for (size_t i = 0; i < n; ++i) {
            marks << QStringLiteral("?") + QString::number(i + 1);
            params.push_back(products[from + i]);
        }
        Statement st(db, QStringLiteral(
            "SELECT s.id_product, s.id, COALESCE(s.cost, 0), lu.koef, pu.koef, "
            "CASE WHEN s.status = -1 THEN COALESCE(substr(s.rddate, 1, 10), '1990-01-01') "
            "ELSE COALESCE(substr(rc.rdate, 1, 10), '') END, COALESCE(substr(s.date_realization, 1, 10), '') "
            "FROM storage s LEFT JOIN receipt rc ON rc.id = s.id_receipt LEFT JOIN products p ON p.id = s.id_product "
            "LEFT JOIN ed_izmer pu ON pu.id = p.id_ed_izmer "
            "LEFT JOIN ed_izmer lu ON lu.id = COALESCE(s.id_ed_izmer, p.id_ed_izmer) "
            "WHERE s.id_product IN (") + marks.join(QLatin1Char(',')) + QStringLiteral(")"));
        st.bindAll(params);
        while (st.next()) {
            const qint64 product = st.toInt64(0);
            Best c{st.toString(5), st.toString(6), st.toInt64(1), num(st, 2)};
            const double lotKoef = num(st, 3), productKoef = num(st, 4);
            if (lotKoef > 0 && productKoef > 0)
                c.cost = c.cost * productKoef / lotKoef;
            auto it = best.find(product);
            if (it == best.end() || std::tie(c.date, c.sellBy, c.id) > std::tie(it->second.date, it->second.sellBy, it->second.id))
                best[product] = c;
        }
    }
    for (const auto& [product, b] : best)
        out[product] = b.cost;
    return out;
}

qint64 lastOrderedDay(Database& db, qint64 planMenu, bool first)
{
    const QVariant v = db.scalar(
        first ? QStringLiteral("SELECT z.id_day FROM ZAKAZ z JOIN orders o ON o.id = z.id_orders WHERE z.id_type_menu = ?1 "
                               "ORDER BY o.odate DESC, o.id DESC, z.IDZ ASC LIMIT 1")
              : QStringLiteral("SELECT z.id_day FROM ZAKAZ z JOIN orders o ON o.id = z.id_orders WHERE z.id_type_menu = ?1 "
                               "ORDER BY o.odate DESC, o.id DESC, z.IDZ DESC LIMIT 1"),
        {planMenu});
    return v.isNull() ? 0 : v.toLongLong();
}

} // namespace

double orderPortionGrams(double grams, int ruleOkr)
{
    if (ruleOkr <= 0)
        return roundHalfEven(grams, 5);
    const double first = roundHalfEven(grams, ruleOkr - 1);
    if (first != 0.0)
        return ruleOkr == 1 ? RoundQuantity(grams, 0) : first;
    for (int d = ruleOkr; d <= ruleOkr + 4; ++d)
        if (const double r = roundHalfEven(grams, d); r != 0.0)
            return r;
    return 0.0;
}

std::vector<qint64> coveredDays(const std::vector<qint64>& days, qint64 first, int count)
{
    std::vector<qint64> out;
    const auto at = std::find(days.begin(), days.end(), first);
    if (at == days.end())
        return out;
    size_t i = size_t(at - days.begin());
    for (int k = 0; k < count; ++k, i = (i + 1) % days.size())
        out.push_back(days[i]);
    return out;
}

FirstDayChoice firstDayChoice(Database& db, qint64 planMenu)
{
    FirstDayChoice c;
    Statement st(db, QStringLiteral("SELECT id, dname FROM days WHERE id_type_menu = ?1 ORDER BY id"));
    st.bind(1, planMenu);
    while (st.next()) {
        c.days.push_back(st.toInt64(0));
        c.names << st.toString(1);
    }
    if (c.days.empty())
        return c;
    const auto indexOf = [&c](qint64 day) { return int(std::find(c.days.begin(), c.days.end(), day) - c.days.begin()); };
    const int from = indexOf(lastOrderedDay(db, planMenu, true));
    const int to = indexOf(lastOrderedDay(db, planMenu, false));
    if (from < int(c.days.size()) && to < int(c.days.size())) {
        // Go on where the last order stopped.
        c.recommended = (to + 1) % int(c.days.size());
        c.note = QStringLiteral("Примечание: Последний заказ рассчитывался с ") + c.names[from] +
                 QStringLiteral(". Рекомендуем начать с ") + c.names[c.recommended] + QStringLiteral(".");
    } else {
        c.note = QStringLiteral("Примечание: Рекомендуем начать с ") + c.names[0] + QStringLiteral(".");
    }
    return c;
}

QString stockSufficientText()
{
    return QStringLiteral("На указанные дни продуктов на складе достаточное количество. Автозаказ не выполнен.");
}

QString planMenuEmptyText()
{
    return QStringLiteral("Невозможно выполнить автоматический заказ продуктов питания, так как не заполнен справочник "
                          "\"План-меню\".");
}

QString orderNeededText()
{
    return QStringLiteral("Необходимо выполнить заказ продуктов.");
}

QString noOrderingSetupText()
{
    return QStringLiteral("Не заданы параметры автоматического заказа (Сервис - Параметры автозаказа).");
}

std::optional<AutoOrderResult> makeAutomaticOrder(Database& db, Prompt& prompt, const QDate& today)
{
    std::vector<OrderingSetup> setups = storedOrderingSetups(db);
    std::erase_if(setups, [](const OrderingSetup& s) {
        return std::none_of(s.eaters.begin(), s.eaters.end(), [](const OrderingEaters& e) { return e.active && e.count > 0; });
    });
    if (setups.empty()) {
        prompt.warning(noOrderingSetupText());
        return std::nullopt;
    }
    if (db.scalar(QStringLiteral("SELECT COUNT(id) FROM plan_menu")).toLongLong() == 0) {
        prompt.warning(planMenuEmptyText());
        return std::nullopt;
    }

    // The first day of each set-up, asked before anything is computed.
    std::vector<std::vector<qint64>> covered;
    for (const OrderingSetup& s : setups) {
        const FirstDayChoice c = firstDayChoice(db, s.planMenu);
        if (c.days.empty()) {
            covered.emplace_back();
            continue;
        }
        const auto chosen =
            prompt.choose(s.title, QStringLiteral("Выберите день из плана-меню:\n") + c.note, c.names, c.recommended);
        if (!chosen || *chosen < 0 || *chosen >= int(c.days.size()))
            return std::nullopt;
        covered.push_back(coveredDays(c.days, c.days[size_t(*chosen)], std::max(s.days, 0)));
    }

    const auto products = readProducts(db);
    const bool seasonal = readOrganisationSwitches(db).sezonnost;
    const auto seasons = seasonal ? books::allSeasonPeriods(db) : std::map<qint64, std::vector<books::SeasonPeriod>>{};
    static const std::vector<books::SeasonPeriod> noSeasons;

    // The need of each product per warehouse, in the product's unit.
    std::map<std::pair<qint64, qint64>, double> need;  // (product, warehouse)
    for (size_t i = 0; i < setups.size(); ++i) {
        if (covered[i].empty())
            continue;
        const OrderingSetup& s = setups[i];
        std::vector<qint64> types;
        std::map<qint64, int> eaters;
        for (const OrderingEaters& e : s.eaters)
            if (e.active && e.count > 0) {
                types.push_back(e.typeId);
                eaters[e.typeId] = e.count;
            }
        const auto served = menu::servedCards(db, covered[i]);
        for (const menu::PortionLine& l : menu::portionLines(db, served, types)) {
            const auto p = products.find(l.productId);
            if (p == products.end() || p->second.koef == 0)
                continue;
            double grams = orderPortionGrams(l.grams, p->second.ruleOkr);
            if (seasonal) {
                const auto ps = seasons.find(l.productId);
                grams = books::seasonalGross(ps == seasons.end() ? noSeasons : ps->second, grams, today);
            }
            const double q = RoundQuantity(grams * eaters[l.eaterType] / p->second.koef,
                                           quantityDecimals(p->second.ruleOkr));
            need[{l.productId, s.warehouse}] += q * l.times;
        }
    }

    // Against today's stock of the set-up's warehouse (of all warehouses for warehouse 0).
    const auto remnants = remnantsByWarehouse(db, today);
    std::vector<AutoOrderLine> lines;
    for (const auto& [key, needed] : need) {
        const auto& [product, warehouse] = key;
        double os = 0;
        for (auto it = remnants.lower_bound({product, warehouse == 0 ? std::numeric_limits<qint64>::min() : warehouse});
             it != remnants.end() && it->first.first == product && (warehouse == 0 || it->first.second == warehouse); ++it)
            os += it->second;
        // Sums of rounded figures carry binary noise; the comparison is of the figures as shown.
        const double d = roundHalfEven(os - needed, 9);
        if (d >= 0)
            continue;
        const ProductInfo& p = products.at(product);
        AutoOrderLine line;
        line.productId = product;
        line.product = p.name;
        line.unitId = p.unitId;
        line.unit = p.unit;
        line.warehouse = warehouse == 0 ? 1 : warehouse;
        line.quantity1 = -d;
        line.quantity = RoundQuantity(-d, quantityDecimals(p.ruleOkr));
        lines.push_back(line);
    }
    if (lines.empty()) {
        prompt.info(stockSufficientText());
        return std::nullopt;
    }

    std::vector<qint64> ids;
    for (const AutoOrderLine& l : lines)
        ids.push_back(l.productId);
    const auto costs = latestLotCosts(db, ids);
    for (AutoOrderLine& l : lines) {
        const auto c = costs.find(l.productId);
        l.cost = c != costs.end() ? c->second : products.at(l.productId).plannedPrice;
    }
    std::stable_sort(lines.begin(), lines.end(), [](const AutoOrderLine& a, const AutoOrderLine& b) {
        const int c = compareRussian(a.product, b.product);
        return c != 0 ? c < 0 : std::tie(a.productId, a.warehouse) < std::tie(b.productId, b.warehouse);
    });

    AutoOrderResult result;
    Transaction tx(db);
    StockDocumentHeader h;
    h.date = today;
    h.approved = false;  // the store-keeper checks the order and confirms it
    result.orderId = saveStockDocument(db, StockKind::Order, h);
    result.number = h.number;
    Statement ins(db, QStringLiteral("INSERT INTO order_point (id_product, id_orders, id_ed_izmer, cost, IDSS, quantity1) "
                                     "VALUES (?1, ?2, ?3, ?4, ?5, ?6)"));
    for (const AutoOrderLine& l : lines) {
        ins.reset();
        ins.bindAll({l.productId, result.orderId, l.unitId ? QVariant(l.unitId) : QVariant(), l.cost, l.warehouse,
                     l.quantity1});
        ins.exec();
    }
    result.sum = documentSum(db, StockKind::Order, result.orderId);
    Statement zakaz(db, QStringLiteral("INSERT INTO ZAKAZ (id_type_menu, id_day, id_orders) VALUES (?1, ?2, ?3)"));
    for (size_t i = 0; i < setups.size(); ++i)
        for (qint64 day : covered[i]) {
            zakaz.reset();
            zakaz.bindAll({setups[i].planMenu, day, result.orderId});
            zakaz.exec();
        }
    tx.commit();
    result.lines = std::move(lines);
    return result;
}

std::optional<qint64> orderingReminder(Database& db, Prompt& prompt, const QDate& today)
{
    const ProgramParameters p = readOrganisationSwitches(db);
    if (!p.vestSkl)
        return std::nullopt;
    const int n = int(db.scalar(QStringLiteral("SELECT day FROM AVTZAK ORDER BY IDAvt LIMIT 1")).toLongLong());
    if (db.scalar(QStringLiteral("SELECT COUNT(*) FROM AVTZAK a JOIN AVTZAK_POINT pt ON pt.IDAvt = a.IDAvt "
                                 "WHERE pt.kol > 0")).toLongLong() == 0)
        return std::nullopt;
    const QVariant v = db.scalar(QStringLiteral("SELECT MAX(substr(o.odate, 1, 10)) FROM ZAKAZ z, orders o "
                                                "WHERE o.id = z.id_orders AND o.status = -1"));
    const QDate last = v.isNull() ? QDate() : parseIsoDate(v.toString());
    if (last.isValid() && today < last.addDays(n))
        return std::nullopt;
    if (db.scalar(QStringLiteral("SELECT COUNT(id) FROM plan_menu")).toLongLong() == 0) {
        prompt.warning(planMenuEmptyText());
        return std::nullopt;
    }
    prompt.info(orderNeededText());
    if (!p.avtSpis)
        return std::nullopt;
    return autoWriteOffExpired(db, prompt, today);
}

} // namespace rat::stock
