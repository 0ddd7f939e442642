// The menu-requirement's working copy: filled from a day menu (dishes expanded into products per
// eater type, rounded by each product's rule, beside the stock remnant), loaded from a stored
// document, refreshed, cleared, and stored back in one transaction.

#include "stock/MenuRequirement.h"
#include "stock/StockLots.h"
#include "stock/StockShared.h"

#include "core/DataHelpers.h"
#include "core/Database.h"
#include "core/Parameters.h"
#include "core/Prompt.h"
#include "core/TextFold.h"
#include "refbooks/SeasonalLosses.h"

#include <algorithm>
#include <map>
#include <unordered_map>

namespace rat::stock {

using detail::dateOf;
using detail::num;

int quantityDecimals(const QVariant& ruleOkr)
{
    const int d = int(ruleOkr.toLongLong()) - 1;
    return d == -1 ? 3 : d;
}

std::optional<qint64> approvedExpenseOfDayMenu(Database& db, qint64 dayMenuId)
{
    const QVariant v = db.scalar(QStringLiteral("SELECT r.id_ex FROM MENUTR r JOIN MENUTM tm ON tm.IDM = r.IDM "
                                                "WHERE tm.ID_day_menu = ?1 AND r.status = -1 AND COALESCE(r.id_ex, 0) <> 0 "
                                                "ORDER BY r.IDM DESC LIMIT 1"),
                                 {dayMenuId});
    return v.isNull() ? std::nullopt : std::optional<qint64>(v.toLongLong());
}

namespace {

const QString fillingText = QStringLiteral("Идет заполнение меню-требования...");

// The remnant of each product in its unit, as the working lines show it.
std::unordered_map<qint64, double> remnantByProduct(Database& db, const QDate& date, qint64 warehouse, qint64 dayMenuId)
{
    std::unordered_map<qint64, double> out;
    for (const ProductRemnant& p : productRemnants(lotRemnants(db, date, warehouse != 0 ? std::optional<qint64>(warehouse)
                                                                                       : std::nullopt,
                                                               approvedExpenseOfDayMenu(db, dayMenuId))))
        out[p.productId] = p.quantity;
    return out;
}

qint64 nextNk(Database& db)
{
    return db.scalar(QStringLiteral("SELECT COALESCE(MAX(nk), 0) FROM MENUTR1")).toLongLong() + 1;
}

// A recipe line as the expansion reads it.
struct RecipeLine {
    qint64 item = 0;    // product, or the nested card
    bool isCard = false;
    double brutto = 0, netto = 0;
};

// The recipes of the day menu's dishes and of every card nested in them, at any depth, in one read;
// comment and variant lines left out.
std::unordered_map<qint64, std::vector<RecipeLine>> readRecipes(Database& db, qint64 dayMenuId)
{
    std::unordered_map<qint64, std::vector<RecipeLine>> out;
    Statement st(db, QStringLiteral(
        "WITH RECURSIVE cards(id) AS ("
        " SELECT id_card_recipe FROM day_menu_point WHERE id_day_menu = ?1"
        " UNION SELECT r.id_product FROM recipes r JOIN cards c ON r.id_card_recipes = c.id"
        " WHERE COALESCE(r.isCard, 0) <> 0 AND COALESCE(r.isComment, 0) = 0 AND COALESCE(r.isVariant, 0) = 0) "
        "SELECT r.id_card_recipes, r.id_product, COALESCE(r.isCard, 0), r.brutto, r.netto FROM recipes r "
        "WHERE r.id_card_recipes IN (SELECT id FROM cards) AND COALESCE(r.isComment, 0) = 0 "
        "AND COALESCE(r.isVariant, 0) = 0 ORDER BY r.id"));
    st.bind(1, dayMenuId);
    while (st.next())
        out[st.toInt64(0)].push_back({st.toInt64(1), st.toInt64(2) != 0, num(st, 3), num(st, 4)});
    return out;
}

// Grams of each product per portion of `card` whose portion of nested dish is `grams` (the dish's
// own lines are taken per 100 g of it). A card met again inside itself adds nothing more.
void expand(const std::unordered_map<qint64, std::vector<RecipeLine>>& recipes, qint64 card, double grams,
            std::vector<qint64>& path, std::map<qint64, double>& out)
{
    if (std::find(path.begin(), path.end(), card) != path.end())
        return;
    const auto it = recipes.find(card);
    if (it == recipes.end())
        return;
    path.push_back(card);
    for (const RecipeLine& l : it->second) {
        if (l.isCard)
            expand(recipes, l.item, l.netto * grams / 100.0, path, out);
        else
            out[l.item] += l.brutto * grams / 100.0;
    }
    path.pop_back();
}

struct ProductInfo {
    double koef = 0;
    int decimals = 3;
};

} // namespace

std::optional<qint64> fillFromDayMenu(Database& db, Prompt& prompt, qint64 dayMenuId, qint64 warehouse)
{
    Statement dm(db, QStringLiteral("SELECT ddate, nom, COALESCE([sum], 0) FROM day_menu WHERE id = ?1"));
    dm.bind(1, dayMenuId);
    if (!dm.next())
        return std::nullopt;
    const QDate date = dateOf(dm, 0);
    const QString number = dm.toString(1);
    const double cost = num(dm, 2);
    prompt.status(fillingText);

    const bool seasonal = readParameters(db).sezonnost;
    Transaction tx(db);
    const qint64 nk = nextNk(db);
    db.exec(QStringLiteral("INSERT INTO MENUTR1 (date, stoim, status, id_ex, nom_m, date_m, nk) "
                           "VALUES (?1, ?2, 0, 0, ?3, ?1, ?4)"),
            {date.isValid() ? QVariant(date) : QVariant(), cost, number, nk});
    const qint64 idm1 = db.scalar(QStringLiteral("SELECT IDM1 FROM MENUTR1 WHERE nk = ?1"), {nk}).toLongLong();
    db.exec(QStringLiteral("INSERT INTO MENUTM1 (IDM1, ID_day_menu, IDSkl) VALUES (?1, ?2, ?3)"),
            {idm1, dayMenuId, warehouse});

    // The stock before this day's own issue, over all warehouses.
    const auto remnant = remnantByProduct(db, date, 0, dayMenuId);

    const auto recipes = readRecipes(db, dayMenuId);
    std::unordered_map<qint64, ProductInfo> info;
    {
        Statement p(db, QStringLiteral("SELECT p.id, e.koef, p.rule_okr FROM products p "
                                       "LEFT JOIN ed_izmer e ON e.id = p.id_ed_izmer"));
        while (p.next())
            info[p.toInt64(0)] = {num(p, 1), quantityDecimals(p.value(2))};
    }
    std::unordered_map<qint64, std::vector<books::SeasonPeriod>> seasons;
    if (seasonal) {
        Statement s(db, QStringLiteral("SELECT id_PRODUCT, DAY_N, MES_N, DAY_O, MES_O, PROZ FROM SEZON "
                                       "ORDER BY COALESCE(PROZ, 0), idSEZ"));
        while (s.next())
            seasons[s.toInt64(0)].push_back({int(s.toInt64(1)), int(s.toInt64(2)), int(s.toInt64(3)),
                                             int(s.toInt64(4)), num(s, 5)});
    }

    Statement rows(db, QStringLiteral(
        "SELECT d.id_card_recipe, d.id_eating, q.id_type_eating, q.quantity, o.output1 FROM day_menu_point d "
        "JOIN quantity_eating q ON q.id_day_menu_point = d.id "
        "LEFT JOIN output o ON o.id = (SELECT MIN(o2.id) FROM output o2 WHERE o2.id_card_recipe = d.id_card_recipe "
        "AND o2.id_type_eating = q.id_type_eating) "
        "WHERE d.id_day_menu = ?1 AND q.quantity > 0 ORDER BY d.id, q.id"));
    rows.bind(1, dayMenuId);
    Statement ins(db, QStringLiteral("INSERT INTO MENUTR_POINT1 (id_product, id_type_eating, id_eating, id_card, kol, kolv, "
                                     "output, ost, IDM1) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9)"));
    std::vector<qint64> path;
    while (rows.next()) {
        if (rows.isNull(4))
            continue;  // no yield for this eater type: the dish gives nothing for it
        const qint64 card = rows.toInt64(0);
        const double eaters = num(rows, 3);
        const double output1 = num(rows, 4);
        std::map<qint64, double> perPortion;
        expand(recipes, card, output1, path, perPortion);
        for (const auto& [product, ww] : perPortion) {
            const ProductInfo& p = info[product];
            const double x = seasonal ? books::seasonalGross(seasons[product], ww, date) : ww;
            const double kol = RoundQuantity(x, p.decimals);
            const double kolv = p.koef != 0 ? RoundQuantity(x * eaters / p.koef, p.decimals) : 0.0;
            const auto r = remnant.find(product);
            ins.reset();
            ins.bind(1, product).bind(2, rows.toInt64(2)).bind(3, rows.toInt64(1)).bind(4, card).bind(5, kol);
            ins.bind(6, kolv).bind(7, output1).bind(8, r == remnant.end() ? 0.0 : r->second).bind(9, idm1);
            ins.exec();
        }
    }
    tx.commit();
    prompt.status(QStringLiteral("Готово"));
    return idm1;
}

std::optional<qint64> loadIntoWorkingCopy(Database& db, Prompt& prompt, qint64 dayMenuId, qint64 idm)
{
    Statement h(db, QStringLiteral("SELECT date, COALESCE(stoim, 0), COALESCE(status, 0), COALESCE(id_ex, 0), date_m, nom_m "
                                   "FROM MENUTR WHERE IDM = ?1"));
    h.bind(1, idm);
    if (!h.next())
        return std::nullopt;
    prompt.status(fillingText);
    Transaction tx(db);
    const qint64 nk = nextNk(db);
    db.exec(QStringLiteral("INSERT INTO MENUTR1 (date, stoim, status, id_ex, date_m, nom_m, nk) "
                           "VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7)"),
            {h.value(0), h.value(1), h.value(2), h.value(3), h.value(4), h.value(5), nk});
    const qint64 idm1 = db.scalar(QStringLiteral("SELECT IDM1 FROM MENUTR1 WHERE nk = ?1"), {nk}).toLongLong();
    const QVariant warehouse = db.scalar(QStringLiteral("SELECT COALESCE(IDSkl, 0) FROM MENUTM WHERE ID_day_menu = ?1 "
                                                        "AND IDM = ?2"),
                                         {dayMenuId, idm});
    db.exec(QStringLiteral("INSERT INTO MENUTM1 (IDM1, ID_day_menu, IDSkl) VALUES (?1, ?2, ?3)"),
            {idm1, dayMenuId, warehouse.isNull() ? QVariant(0) : warehouse});
    db.exec(QStringLiteral("INSERT INTO MENUTR_POINT1 (id_product, id_type_eating, id_eating, id_card, kol, kolv, output, "
                           "ost, IDM1) SELECT id_product, id_type_eating, id_eating, id_card, kol, kolv, output, 0, ?2 "
                           "FROM MENUTR_POINT WHERE IDM = ?1 ORDER BY IDMP"),
            {idm, idm1});
    refreshRemnants(db, idm1);
    tx.commit();
    prompt.status(QStringLiteral("Готово"));
    return idm1;
}

void clearWorkingCopy(Database& db, qint64 idm1)
{
    Transaction tx(db);
    db.exec(QStringLiteral("DELETE FROM MENUTR1 WHERE IDM1 = ?1"), {idm1});
    db.exec(QStringLiteral("DELETE FROM MENUTM1 WHERE IDM1 = ?1"), {idm1});
    db.exec(QStringLiteral("DELETE FROM MENUTR_POINT1 WHERE IDM1 = ?1"), {idm1});
    tx.commit();
}

void clearAllWorkingCopies(Database& db)
{
    Transaction tx(db);
    db.exec(QStringLiteral("DELETE FROM MENUTR1"));
    db.exec(QStringLiteral("DELETE FROM MENUTM1"));
    db.exec(QStringLiteral("DELETE FROM MENUTR_POINT1"));
    tx.commit();
}

std::optional<WorkingHeader> readWorkingHeader(Database& db, qint64 idm1)
{
    Statement st(db, QStringLiteral("SELECT r.date, COALESCE(r.stoim, 0), COALESCE(r.status, 0), COALESCE(r.id_ex, 0), "
                                    "r.nom_m, r.date_m, COALESCE(tm.ID_day_menu, 0), COALESCE(tm.IDSkl, 0) FROM MENUTR1 r "
                                    "LEFT JOIN MENUTM1 tm ON tm.IDM1 = r.IDM1 WHERE r.IDM1 = ?1"));
    st.bind(1, idm1);
    if (!st.next())
        return std::nullopt;
    WorkingHeader h;
    h.idm1 = idm1;
    h.date = dateOf(st, 0);
    h.cost = num(st, 1);
    h.approved = st.toInt64(2) != 0;
    h.expenseId = st.toInt64(3);
    h.dayMenuNumber = st.toString(4);
    h.dayMenuDate = dateOf(st, 5);
    h.dayMenuId = st.toInt64(6);
    h.warehouse = st.toInt64(7);
    return h;
}

QString menuRequirementCaption(const WorkingHeader& header)
{
    return QStringLiteral(" № ") + header.dayMenuNumber + QStringLiteral(" от ") +
           header.dayMenuDate.toString(QStringLiteral("dd.MM.yyyy"));
}

void refreshRemnants(Database& db, qint64 idm1)
{
    const auto h = readWorkingHeader(db, idm1);
    if (!h)
        return;
    const QVariant menuDate = db.scalar(QStringLiteral("SELECT substr(ddate, 1, 10) FROM day_menu WHERE id = ?1"),
                                        {h->dayMenuId});
    const QDate date = menuDate.isNull() ? h->dayMenuDate : parseIsoDate(menuDate.toString());
    const auto remnant = remnantByProduct(db, date, h->warehouse, h->dayMenuId);
    Transaction tx(db);
    db.exec(QStringLiteral("UPDATE MENUTR_POINT1 SET ost = 0 WHERE IDM1 = ?1"), {idm1});
    Statement up(db, QStringLiteral("UPDATE MENUTR_POINT1 SET ost = ?1 WHERE IDM1 = ?2 AND id_product = ?3"));
    std::vector<qint64> products;
    Statement st(db, QStringLiteral("SELECT DISTINCT id_product FROM MENUTR_POINT1 WHERE IDM1 = ?1"));
    st.bind(1, idm1);
    while (st.next())
        products.push_back(st.toInt64(0));
    for (const qint64 p : products) {
        const auto r = remnant.find(p);
        if (r == remnant.end())
            continue;
        up.reset();
        up.bind(1, r->second).bind(2, idm1).bind(3, p);
        up.exec();
    }
    tx.commit();
}

std::optional<qint64> recreateWorkingCopy(Database& db, Prompt& prompt, qint64 idm1)
{
    if (prompt.ask(QStringLiteral("Создать заново меню-требование по меню на день?"), Buttons::YesNo, Answer::No) !=
        Answer::Yes)
        return std::nullopt;
    const auto h = readWorkingHeader(db, idm1);
    if (!h)
        return std::nullopt;
    clearWorkingCopy(db, idm1);
    return fillFromDayMenu(db, prompt, h->dayMenuId, h->warehouse);
}

qint64 storeWorkingCopy(Database& db, qint64 idm1, std::optional<qint64> idm, double cost)
{
    const auto h = readWorkingHeader(db, idm1);
    if (!h)
        throw DbError(0, QStringLiteral("no working copy"));
    Transaction tx(db);
    const std::vector<QVariant> header = {h->date.isValid() ? QVariant(h->date) : QVariant(), cost, h->expenseId,
                                          h->dayMenuNumber, h->dayMenuDate.isValid() ? QVariant(h->dayMenuDate) : QVariant()};
    qint64 id = 0;
    if (idm && db.scalar(QStringLiteral("SELECT COUNT(*) FROM MENUTR WHERE IDM = ?1"), {*idm}).toLongLong() > 0) {
        id = *idm;
        std::vector<QVariant> p = header;
        p.push_back(id);
        db.exec(QStringLiteral("UPDATE MENUTR SET date = ?1, stoim = ?2, status = 0, id_ex = ?3, nom_m = ?4, date_m = ?5 "
                               "WHERE IDM = ?6"),
                p);
        db.exec(QStringLiteral("DELETE FROM MENUTM WHERE IDM = ?1"), {id});
    } else {
        db.exec(QStringLiteral("INSERT INTO MENUTR (date, stoim, status, id_ex, nom_m, date_m) "
                               "VALUES (?1, ?2, 0, ?3, ?4, ?5)"),
                header);
        id = db.lastInsertId();
    }
    db.exec(QStringLiteral("INSERT INTO MENUTM (IDM, ID_day_menu, IDSkl) VALUES (?1, ?2, ?3)"),
            {id, h->dayMenuId, h->warehouse});
    db.exec(QStringLiteral("DELETE FROM MENUTR_POINT WHERE IDM = ?1"), {id});
    // One stored line per key: lines of a dish that stands twice in a meal are added together.
    db.exec(QStringLiteral("INSERT INTO MENUTR_POINT (id_product, id_type_eating, id_eating, id_card, kol, kolv, output, IDM) "
                           "SELECT id_product, id_type_eating, id_eating, id_card, MIN(kol), SUM(kolv), MIN(output), ?2 "
                           "FROM MENUTR_POINT1 WHERE IDM1 = ?1 GROUP BY id_product, id_type_eating, id_card, id_eating "
                           "ORDER BY MIN(IDMP1)"),
            {idm1, id});
    if (h->expenseId != 0)
        db.exec(QStringLiteral("UPDATE expence_docum SET status = 0 WHERE id = ?1"), {h->expenseId});
    db.exec(QStringLiteral("UPDATE MENUTR1 SET status = 0, stoim = ?2 WHERE IDM1 = ?1"), {idm1, cost});
    tx.commit();
    return id;
}

std::optional<qint64> createMenuRequirement(Database& db, Prompt& prompt, qint64 dayMenuId, qint64 warehouse)
{
    const auto idm1 = fillFromDayMenu(db, prompt, dayMenuId, warehouse);
    if (!idm1)
        return std::nullopt;
    const auto h = readWorkingHeader(db, *idm1);
    const qint64 idm = storeWorkingCopy(db, *idm1, std::nullopt, h ? h->cost : 0.0);
    clearWorkingCopy(db, *idm1);
    return idm;
}

std::vector<DayMenuOffer> dayMenusForNewRequirement(Database& db)
{
    std::vector<DayMenuOffer> out;
    Statement st(db, QStringLiteral("SELECT id, nom, ddate FROM day_menu ORDER BY ddate DESC, id DESC"));
    while (st.next())
        out.push_back({st.toInt64(0), QStringLiteral("№ ") + st.toString(1) + QStringLiteral(" от ") +
                                          dateOf(st, 2).toString(QStringLiteral("dd.MM.yyyy"))});
    return out;
}

std::optional<qint64> chooseDayMenuForNewRequirement(Database& db, Prompt& prompt)
{
    const std::vector<DayMenuOffer> offers = dayMenusForNewRequirement(db);
    if (offers.empty()) {
        prompt.info(QStringLiteral("Нет документов меню на день. Создание меню-требования невозможно."));
        return std::nullopt;
    }
    QStringList items;
    for (const DayMenuOffer& o : offers)
        items << o.text;
    const auto chosen = prompt.choose(QStringLiteral("Выберите меню на день:"), QStringLiteral("Выберите меню на день:"), items);
    if (!chosen || *chosen < 0 || *chosen >= int(offers.size()))
        return std::nullopt;
    return offers[size_t(*chosen)].id;
}

} // namespace rat::stock
