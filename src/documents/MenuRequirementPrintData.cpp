// Reads a menu-requirement for printing: header, eaters with their planned cost, the dish rows
// by meal with one column per product, the totals per eater type, prices and signatures.

#include "documents/MenuRequirementPrint.h"

#include "core/DataHelpers.h"
#include "core/Database.h"
#include "core/Parameters.h"
#include "core/Prompt.h"
#include "core/TextFold.h"
#include "documents/Organisation.h"
#include "menu/DayMenu.h"
#include "stock/MenuRequirement.h"
#include "stock/ProductPrices.h"

#include <algorithm>
#include <map>
#include <tuple>

namespace rat::documents {

namespace {

double num(const Statement& st, int col)
{
    return st.isNull(col) ? 0.0 : st.toDouble(col);
}

struct Tables {
    QString header, link, lines, key;
};

Tables tablesOf(const RequirementSource& source)
{
    if (source.working)
        return {QStringLiteral("MENUTR1"), QStringLiteral("MENUTM1"), QStringLiteral("MENUTR_POINT1"),
                QStringLiteral("IDM1")};
    return {QStringLiteral("MENUTR"), QStringLiteral("MENUTM"), QStringLiteral("MENUTR_POINT"), QStringLiteral("IDM")};
}

QString text(const Statement& st, int col)
{
    return st.isNull(col) ? QString() : st.toString(col).trimmed();
}

bool readHeader(Database& db, const RequirementSource& source, MenuRequirementHeader& h)
{
    const Tables t = tablesOf(source);
    {
        Statement st(db, QStringLiteral("SELECT h.date_m, h.nom_m, l.ID_day_menu, COALESCE(l.IDSkl, 0), h.date FROM ") +
                             t.header + QStringLiteral(" h JOIN ") + t.link + QStringLiteral(" l ON l.") + t.key +
                             QStringLiteral(" = h.") + t.key + QStringLiteral(" WHERE h.") + t.key +
                             QStringLiteral(" = ?1 ORDER BY l.") + (source.working ? QStringLiteral("IDTM1") : QStringLiteral("IDTM")) +
                             QStringLiteral(" LIMIT 1"));
        st.bind(1, source.id);
        if (!st.next())
            return false;
        h.date = parseIsoDate(text(st, 0).left(10));
        if (!h.date.isValid())
            h.date = parseIsoDate(text(st, 4).left(10));
        h.number = text(st, 1);
        h.dayMenuId = st.toInt64(2);
        h.warehouse = st.toInt64(3);
    }
    {
        Statement st(db, QStringLiteral("SELECT ddate, nom, sum FROM day_menu WHERE id = ?1"));
        st.bind(1, h.dayMenuId);
        if (!st.next())
            return false;
        if (!h.date.isValid())
            h.date = parseIsoDate(text(st, 0).left(10));
        if (h.number.isEmpty())
            h.number = text(st, 1);
        h.menuSum = num(st, 2);
    }
    const Organisation o = readOrganisation(db);
    h.organisation = o.name;
    h.director = o.director;
    h.okpo = o.okpo;
    h.structure = GetValue(db, QStringLiteral("SELECT struktur FROM INF"), QStringLiteral("struktur")).trimmed();
    h.currency = GetValue(db, QStringLiteral("SELECT shnamev FROM valuta WHERE status = -1"), QStringLiteral("shnamev"));
    return true;
}

// The planned cost per eater of a type on a date: the latest plstoim row not after it, 0 without one.
double plannedCostOn(Database& db, qint64 typeId, const QDate& date)
{
    const QVariant v = db.scalar(QStringLiteral("SELECT COALESCE(stoim, 0) FROM plstoim WHERE id_type_eating = ?1 "
                                                "AND substr(pldate, 1, 10) <= ?2 ORDER BY pldate DESC LIMIT 1"),
                                 {typeId, isoDate(date)});
    return v.isNull() ? 0.0 : v.toDouble();
}

void readEaters(Database& db, MenuRequirementPrintData& d)
{
    Statement st(db, QStringLiteral("SELECT t.id, t.shname, MAX(qe.quantity), COALESCE(t.Pes, 0) FROM type_eating t "
                                    "JOIN quantity_eating qe ON qe.id_type_eating = t.id "
                                    "JOIN day_menu_point dmp ON dmp.id = qe.id_day_menu_point "
                                    "WHERE dmp.id_day_menu = ?1 GROUP BY t.id, t.shname ORDER BY t.id"));
    st.bind(1, d.header.dayMenuId);
    while (st.next()) {
        EaterLine e;
        e.typeId = st.toInt64(0);
        e.shortName = text(st, 1);
        e.count = st.toInt64(2);
        e.staff = st.toInt64(3) != 0;
        if (e.count <= 0)
            continue;
        d.eaters.push_back(e);
    }
    for (EaterLine& e : d.eaters) {
        e.plannedCost = plannedCostOn(db, e.typeId, d.header.date);
        e.cost = e.plannedCost * double(e.count);
        d.eaterCount += e.count;
        d.plannedCost += e.cost;
        (e.staff ? d.staffCount : d.childCount) += e.count;
    }
}

void readProducts(Database& db, const RequirementSource& source, const MenuRequirementPrintSettings& settings,
                  MenuRequirementPrintData& d)
{
    const Tables t = tablesOf(source);
    Statement st(db, QStringLiteral("SELECT DISTINCT p.id, trim(p.pname), trim(COALESCE(e.ename, '')), "
                                    "trim(COALESCE(p.schif, '')), p.rule_okr FROM ") +
                         t.lines + QStringLiteral(" m JOIN products p ON p.id = m.id_product "
                                                  "LEFT JOIN ed_izmer e ON e.id = p.id_ed_izmer WHERE m.") +
                         t.key + QStringLiteral(" = ?1"));
    st.bind(1, source.id);
    while (st.next()) {
        ProductColumn p;
        p.id = st.toInt64(0);
        p.name = text(st, 1);
        p.unit = text(st, 2);
        p.code = text(st, 3);
        p.decimals = stock::quantityDecimals(st.value(4));
        d.products.push_back(p);
    }
    std::stable_sort(d.products.begin(), d.products.end(), [&](const ProductColumn& a, const ProductColumn& b) {
        if (settings.sortByCode)
            if (int c = compareRussian(a.code, b.code))
                return c < 0;
        return compareRussian(a.name, b.name) < 0;
    });
}

struct RowKey {
    qint64 meal, type, card;
    bool operator<(const RowKey& o) const { return std::tie(meal, type, card) < std::tie(o.meal, o.type, o.card); }
};

void readRows(Database& db, const RequirementSource& source, const MenuRequirementPrintSettings& settings,
              MenuRequirementPrintData& d)
{
    const Tables t = tablesOf(source);
    const bool byCategories = menu::dayMenuMode(db, d.header.dayMenuId) == menu::MenuMode::ByCategories;
    std::map<qint64, size_t> column;
    for (size_t i = 0; i < d.products.size(); ++i)
        column[d.products[i].id] = i;

    // Portions: the largest count of the type for the dish in that meal.
    std::map<RowKey, qint64> portions;
    {
        Statement st(db, QStringLiteral("SELECT p.id_eating, q.id_type_eating, p.id_card_recipe, MAX(q.quantity) "
                                        "FROM day_menu_point p JOIN quantity_eating q ON q.id_day_menu_point = p.id "
                                        "WHERE p.id_day_menu = ?1 GROUP BY 1, 2, 3"));
        st.bind(1, d.header.dayMenuId);
        while (st.next())
            portions[{st.toInt64(0), st.toInt64(1), st.toInt64(2)}] = st.toInt64(3);
    }

    struct Building {
        DishRow row;
        qint64 representative = -1;
        QString mealTitle;
    };
    std::map<RowKey, Building> rows;
    const QString mealTitle = byCategories
                                  ? QStringLiteral("COALESCE(tm.tname, ctm.tname)")
                                  : QStringLiteral("g.ename");
    Statement st(db, QStringLiteral("SELECT m.") + (source.working ? QStringLiteral("IDMP1") : QStringLiteral("IDMP")) +
                         QStringLiteral(", COALESCE(m.id_eating, 0), COALESCE(m.id_type_eating, 0), COALESCE(m.id_card, 0), "
                                        "m.id_product, m.kol, m.kolv, m.output, t.shname, COALESCE(t.Pes, 0), c.cname, ") +
                         mealTitle + QStringLiteral(" FROM ") + t.lines +
                         QStringLiteral(" m LEFT JOIN type_eating t ON t.id = m.id_type_eating "
                                        "LEFT JOIN card_recipes c ON c.id = m.id_card "
                                        "LEFT JOIN eating g ON g.id = m.id_eating "
                                        "LEFT JOIN type_meal tm ON tm.id = m.id_eating "
                                        "LEFT JOIN type_meal ctm ON ctm.id = c.id_type_meal WHERE m.") +
                         t.key + QStringLiteral(" = ?1"));
    st.bind(1, source.id);
    while (st.next()) {
        const RowKey key{st.toInt64(1), st.toInt64(2), st.toInt64(3)};
        Building& b = rows[key];
        if (b.representative < 0) {
            b.row.mealId = key.meal;
            b.row.eaterTypeId = key.type;
            b.row.cardId = key.card;
            b.row.kol.assign(d.products.size(), std::nullopt);
            b.row.kolv.assign(d.products.size(), std::nullopt);
            const auto p = portions.find(key);
            b.row.portions = p == portions.end() ? 0 : p->second;
        }
        const qint64 lineId = st.toInt64(0);
        if (lineId > b.representative) {
            b.representative = lineId;
            b.row.output = num(st, 7);
            b.row.eaterType = text(st, 8);
            b.row.staff = st.toInt64(9) != 0;
            b.row.dish = text(st, 10);
            b.mealTitle = text(st, 11);
        }
        const auto c = column.find(st.toInt64(4));
        if (c == column.end())
            continue;
        const int dec = d.products[c->second].decimals;
        const double kol = RoundQuantity(num(st, 5), dec);
        const double kolv = RoundQuantity(num(st, 6), dec);
        auto& k = b.row.kol[c->second];
        auto& v = b.row.kolv[c->second];
        k = k ? std::max(*k, kol) : kol;
        v = v ? *v + kolv : kolv;
    }

    std::vector<Building*> ordered;
    for (auto& [key, b] : rows)
        ordered.push_back(&b);
    std::map<qint64, size_t> typeOrder;
    for (size_t i = 0; i < d.eaters.size(); ++i)
        typeOrder[d.eaters[i].typeId] = i;
    auto typeRank = [&](qint64 type) {
        const auto it = typeOrder.find(type);
        return it == typeOrder.end() ? d.eaters.size() + size_t(type) : it->second;
    };
    std::stable_sort(ordered.begin(), ordered.end(), [&](const Building* a, const Building* b) {
        if (a->row.mealId != b->row.mealId)
            return a->row.mealId < b->row.mealId;
        const size_t ta = typeRank(a->row.eaterTypeId), tb = typeRank(b->row.eaterTypeId);
        if (!settings.groupByDish && ta != tb)
            return ta < tb;
        if (int c = compareRussian(a->row.dish, b->row.dish))
            return c < 0;
        if (a->row.cardId != b->row.cardId)
            return a->row.cardId < b->row.cardId;
        return ta < tb;
    });
    for (Building* b : ordered) {
        if (d.meals.empty() || d.meals.back().mealId != b->row.mealId)
            d.meals.push_back({b->row.mealId, b->mealTitle, {}});
        d.meals.back().rows.push_back(std::move(b->row));
    }
}

void computeTotals(MenuRequirementPrintData& d)
{
    const size_t n = d.products.size();
    for (const EaterLine& e : d.eaters)
        d.totals.push_back({e.typeId, e.shortName, e.staff, {}, std::vector<double>(n, 0.0)});
    int index = 0;
    for (const MealGroup& g : d.meals)
        for (const DishRow& r : g.rows) {
            auto it = std::find_if(d.totals.begin(), d.totals.end(),
                                   [&](const EaterTypeTotal& t) { return t.typeId == r.eaterTypeId; });
            if (it == d.totals.end()) {
                // Lines of a type without eaters in the day menu (changed since) still get their total.
                d.totals.push_back({r.eaterTypeId, r.eaterType, r.staff, {}, std::vector<double>(n, 0.0)});
                it = d.totals.end() - 1;
            }
            it->rowIndexes.push_back(index++);
            for (size_t c = 0; c < n; ++c)
                if (r.kolv[c]) {
                    it->kolv[c] += *r.kolv[c];
                    d.products[c].total += *r.kolv[c];
                    (r.staff ? d.products[c].staff : d.products[c].children) += *r.kolv[c];
                }
        }
    d.totals.erase(std::remove_if(d.totals.begin(), d.totals.end(),
                                  [](const EaterTypeTotal& t) { return t.rowIndexes.empty(); }),
                   d.totals.end());
    for (ProductColumn& p : d.products)
        p.perStaffEater = d.staffCount > 0 ? p.staff / double(d.staffCount) : 0.0;
}

const QString kPlannedCardWarning = QStringLiteral(
    "В Меню на день установлен расчет цен по плановым ценам технологических карт, однако данный тип расчета цен "
    "неприменим для меню-требования. Расчет цен будет выполнен по плановым ценам продуктов.");

void readPrices(Database& db, Prompt& prompt, MenuRequirementPrintData& d)
{
    d.priced = true;
    const int filtr = int(db.scalar(QStringLiteral("SELECT COALESCE(filtr, 0) FROM day_menu WHERE id = ?1"),
                                    {d.header.dayMenuId}).toLongLong());
    QString basis;
    for (const menu::CostBasisItem& item : menu::costBasisItems(db))
        if (item.code == filtr)
            basis = item.text;
    if (basis.isEmpty()) {
        const auto items = menu::costBasisItems(db);
        basis = items.empty() ? QString() : items.front().text;
    }
    std::vector<qint64> ids;
    for (const ProductColumn& p : d.products)
        ids.push_back(p.id);
    std::map<qint64, double> koef;
    {
        Statement st(db, QStringLiteral("SELECT p.id, COALESCE(e.koef, 0), COALESCE(p.plpris, 0) FROM products p "
                                        "LEFT JOIN ed_izmer e ON e.id = p.id_ed_izmer"));
        std::map<qint64, double> planned;
        while (st.next()) {
            koef[st.toInt64(0)] = num(st, 1);
            planned[st.toInt64(0)] = num(st, 2);
        }
        if (basis == QStringLiteral("По последней поставке")) {
            const auto prices = stock::productPrices(
                db, ids, d.header.date, d.header.warehouse ? std::optional<qint64>(d.header.warehouse) : std::nullopt);
            for (ProductColumn& p : d.products) {
                const auto it = prices.find(p.id);
                p.price = it == prices.end() ? 0.0 : it->second * koef[p.id];
            }
        } else {
            if (basis == QStringLiteral("По плановой цене тех.карт"))
                prompt.warning(kPlannedCardWarning);
            d.plannedPrices = true;
            for (ProductColumn& p : d.products)
                p.price = planned[p.id];
        }
    }
    for (ProductColumn& p : d.products) {
        p.sum = p.total * p.price;
        d.sum += p.sum;
    }
}

void readSignatures(Database& db, MenuRequirementPrintData& d)
{
    const Organisation o = readOrganisation(db);
    d.signatures = {{QStringLiteral("Бухгалтер"), o.accountant},
                    {QStringLiteral("Врач (диетсестра)"), o.nurse},
                    {QStringLiteral("Материально ответственное лицо"), o.responsible},
                    {QStringLiteral("Повар"), o.cook},
                    {QStringLiteral("Кладовщик"), o.keeper}};
}

} // namespace

int MenuRequirementPrintData::rowCount() const
{
    int n = 0;
    for (const MealGroup& g : meals)
        n += int(g.rows.size());
    return n;
}

const DishRow& MenuRequirementPrintData::row(int index) const
{
    for (const MealGroup& g : meals) {
        if (index < int(g.rows.size()))
            return g.rows[size_t(index)];
        index -= int(g.rows.size());
    }
    return meals.back().rows.back();
}

std::optional<MenuRequirementPrintData> readMenuRequirementPrint(Database& db, Prompt& prompt,
                                                                 const RequirementSource& source,
                                                                 MenuRequirementLayout layout,
                                                                 const MenuRequirementPrintSettings& settings)
{
    MenuRequirementPrintData d;
    d.layout = layout;
    if (!readHeader(db, source, d.header))
        return std::nullopt;
    readEaters(db, d);
    readProducts(db, source, settings, d);
    readRows(db, source, settings, d);
    computeTotals(d);
    if (layout == MenuRequirementLayout::Form299 || layout == MenuRequirementLayout::Okud0504202)
        readPrices(db, prompt, d);
    readSignatures(db, d);
    return d;
}

QString menuRequirementFileName(const QDate& date, const QString& number)
{
    return QStringLiteral("Меню-требование на ") + date.toString(QStringLiteral("dd.MM.yyyy")) + QStringLiteral(" (") +
           number + QStringLiteral(")");
}

} // namespace rat::documents
