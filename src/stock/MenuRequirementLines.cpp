// The working lines of a menu-requirement as its window shows and edits them: the two views, a
// quantity typed in, the shortage list, and the replacement of a product by a substitute or by an
// alternative of the dish's recipe.

#include "stock/MenuRequirement.h"
#include "stock/StockLots.h"
#include "stock/StockShared.h"

#include "core/DataHelpers.h"
#include "core/Database.h"
#include "core/Prompt.h"
#include "core/Rounding.h"
#include "core/TextFold.h"

#include <algorithm>
#include <map>

namespace rat::stock {

using detail::num;

QString viewName(WorkingView view)
{
    return view == WorkingView::AllEaters ? QStringLiteral("Все довольствующиеся")
                                          : QStringLiteral("По типам довольствующихся");
}

std::vector<WorkingLine> workingLines(Database& db, qint64 idm1, WorkingView view)
{
    std::vector<WorkingLine> lines;
    Statement st(db, QStringLiteral(
        "SELECT m.IDMP1, m.id_product, p.pname, e.ename, p.rule_okr, COALESCE(m.id_type_eating, 0), t.shname, "
        "COALESCE(m.id_eating, 0), ea.ename, COALESCE(m.id_card, 0), c.cname, m.kol, m.kolv, m.output, m.ost "
        "FROM MENUTR_POINT1 m LEFT JOIN products p ON p.id = m.id_product LEFT JOIN ed_izmer e ON e.id = p.id_ed_izmer "
        "LEFT JOIN type_eating t ON t.id = m.id_type_eating LEFT JOIN eating ea ON ea.id = m.id_eating "
        "LEFT JOIN card_recipes c ON c.id = m.id_card WHERE m.IDM1 = ?1 ORDER BY m.IDMP1"));
    st.bind(1, idm1);
    std::map<qint64, size_t> byProduct;
    while (st.next()) {
        WorkingLine l;
        l.lineIds = {st.toInt64(0)};
        l.productId = st.toInt64(1);
        l.product = st.toString(2);
        l.unit = st.toString(3);
        l.decimals = quantityDecimals(st.value(4));
        l.kolv = num(st, 12);
        l.ost = num(st, 14);
        if (view == WorkingView::AllEaters) {
            const auto it = byProduct.find(l.productId);
            if (it != byProduct.end()) {
                lines[it->second].lineIds.push_back(l.lineIds.front());
                lines[it->second].kolv += l.kolv;
                continue;
            }
            byProduct[l.productId] = lines.size();
        } else {
            l.eaterTypeId = st.toInt64(5);
            l.eaterType = st.toString(6);
            l.mealId = st.toInt64(7);
            l.meal = st.toString(8);
            l.cardId = st.toInt64(9);
            l.dish = st.toString(10);
            l.kol = num(st, 11);
            l.output = num(st, 13);
        }
        lines.push_back(std::move(l));
    }
    for (WorkingLine& l : lines)
        if (view == WorkingView::AllEaters)
            l.kolv = roundHalfEven(l.kolv, std::max(l.decimals, 0) + 5);
    std::stable_sort(lines.begin(), lines.end(), [view](const WorkingLine& a, const WorkingLine& b) {
        if (view == WorkingView::ByEaterTypes) {
            if (int c = compareRussian(a.eaterType, b.eaterType))
                return c < 0;
            if (a.mealId != b.mealId)
                return a.mealId < b.mealId;
            if (int c = compareRussian(a.dish, b.dish))
                return c < 0;
        }
        return compareRussian(a.product, b.product) < 0;
    });
    return lines;
}

namespace {

struct LineRow {
    qint64 id = 0, product = 0, type = 0, meal = 0, card = 0;
    double kol = 0, kolv = 0, output = 0;
    int decimals = 3;
    double koef = 0;
    QString name;
};

std::optional<LineRow> readLine(Database& db, qint64 idm1, qint64 lineId)
{
    Statement st(db, QStringLiteral("SELECT m.IDMP1, m.id_product, COALESCE(m.id_type_eating, 0), COALESCE(m.id_eating, 0), "
                                    "COALESCE(m.id_card, 0), m.kol, m.kolv, m.output, p.rule_okr, e.koef, p.pname "
                                    "FROM MENUTR_POINT1 m LEFT JOIN products p ON p.id = m.id_product "
                                    "LEFT JOIN ed_izmer e ON e.id = p.id_ed_izmer WHERE m.IDM1 = ?1 AND m.IDMP1 = ?2"));
    st.bind(1, idm1).bind(2, lineId);
    if (!st.next())
        return std::nullopt;
    return LineRow{st.toInt64(0), st.toInt64(1), st.toInt64(2), st.toInt64(3), st.toInt64(4),
                   num(st, 5), num(st, 6), num(st, 7), quantityDecimals(st.value(8)), num(st, 9), st.toString(10)};
}

} // namespace

bool setLineQuantity(Database& db, Prompt& prompt, qint64 idm1, qint64 lineId, double kolv)
{
    const auto line = readLine(db, idm1, lineId);
    if (!line) {
        prompt.warning(detail::editedRowMissing());
        return false;
    }
    if (kolv < 0) {
        prompt.warning(detail::notValid(plainNumber(kolv), QStringLiteral("Количество")));
        return false;
    }
    db.exec(QStringLiteral("UPDATE MENUTR_POINT1 SET kolv = ?1 WHERE IDMP1 = ?2"),
            {RoundQuantity(kolv, line->decimals), lineId});
    return true;
}

bool setProductTotal(Database& db, Prompt& prompt, qint64 idm1, qint64 productId, double total)
{
    const QVariant last = db.scalar(QStringLiteral("SELECT MAX(IDMP1) FROM MENUTR_POINT1 WHERE IDM1 = ?1 AND id_product = ?2"),
                                    {idm1, productId});
    if (last.isNull()) {
        prompt.warning(detail::editedRowMissing());
        return false;
    }
    const double others = db.scalar(QStringLiteral("SELECT COALESCE(SUM(kolv), 0) FROM MENUTR_POINT1 WHERE IDM1 = ?1 AND "
                                                   "id_product = ?2 AND IDMP1 <> ?3"),
                                    {idm1, productId, last})
                              .toDouble();
    if (total < 0 || total - others < 0) {
        prompt.warning(detail::notValid(plainNumber(total), QStringLiteral("Количество")));
        return false;
    }
    return setLineQuantity(db, prompt, idm1, last.toLongLong(), total - others);
}

std::vector<ShortageLine> shortageList(Database& db, qint64 idm1)
{
    std::vector<ShortageLine> out;
    Statement st(db, QStringLiteral("SELECT m.id_product, p.pname, p.rule_okr, m.ost - SUM(m.kolv) FROM MENUTR_POINT1 m "
                                    "JOIN products p ON p.id = m.id_product WHERE m.IDM1 = ?1 "
                                    "GROUP BY m.id_product, p.pname, m.ost, p.rule_okr"));
    st.bind(1, idm1);
    while (st.next()) {
        const double raz = roundHalfEven(num(st, 3), quantityDecimals(st.value(2)));
        if (raz < 0)
            out.push_back({st.toInt64(0), st.toString(1), raz});
    }
    std::stable_sort(out.begin(), out.end(),
                     [](const ShortageLine& a, const ShortageLine& b) { return compareRussian(a.product, b.product) < 0; });
    return out;
}

QStringList shortageTexts(const std::vector<ShortageLine>& shortage)
{
    QStringList out;
    for (const ShortageLine& s : shortage)
        out << s.product + QLatin1Char(' ') + plainNumber(s.difference);
    return out;
}

std::optional<ReplacementOffer> replacementOffer(Database& db, qint64 idm1, qint64 lineId)
{
    const auto line = readLine(db, idm1, lineId);
    if (!line)
        return std::nullopt;
    ReplacementOffer offer;
    offer.product = line->name;
    offer.caption = QStringLiteral("Замена продукта ") + line->name;
    offer.meal = db.scalar(QStringLiteral("SELECT ename FROM eating WHERE id = ?1"), {line->meal}).toString();
    offer.dish = db.scalar(QStringLiteral("SELECT cname FROM card_recipes WHERE id = ?1"), {line->card}).toString();
    offer.category = db.scalar(QStringLiteral("SELECT t.tname FROM card_recipes c JOIN type_meal t ON t.id = c.id_type_meal "
                                              "WHERE c.id = ?1"),
                               {line->card})
                         .toString();
    offer.eaterType = line->type == 0
                          ? QStringLiteral("Все довольствующиеся")
                          : db.scalar(QStringLiteral("SELECT shname FROM type_eating WHERE id = ?1"), {line->type}).toString();

    // The dish's eaters of the line's eater type (and meal) in the day menu.
    const double eaters =
        db.scalar(QStringLiteral("SELECT q.quantity FROM MENUTM1 tm JOIN day_menu_point d ON d.id_day_menu = tm.ID_day_menu "
                                 "JOIN quantity_eating q ON q.id_day_menu_point = d.id WHERE tm.IDM1 = ?1 "
                                 "AND d.id_card_recipe = ?2 AND q.id_type_eating = ?3 AND (?4 = 0 OR d.id_eating = ?4) "
                                 "ORDER BY d.id LIMIT 1"),
                  {idm1, line->card, line->type, line->meal})
            .toDouble();
    auto candidate = [&](qint64 product, const QString& name, const QVariant& rule, double koef, double kolRaw) {
        ReplacementCandidate c;
        c.productId = product;
        c.product = name;
        const int d = quantityDecimals(rule);
        c.kol = RoundQuantity(kolRaw, d);
        c.kolv = koef != 0 ? RoundQuantity(c.kol * eaters / koef, d) : 0.0;
        return c;
    };
    Statement subs(db, QStringLiteral("SELECT r.id_product_replace, p.pname, p.rule_okr, e.koef, r.pr_weight, r.repl_weight "
                                      "FROM replace r JOIN products p ON p.id = r.id_product_replace "
                                      "LEFT JOIN ed_izmer e ON e.id = p.id_ed_izmer WHERE r.id_product = ?1 ORDER BY r.id"));
    subs.bind(1, line->product);
    while (subs.next()) {
        const double pr = num(subs, 4), repl = num(subs, 5);
        if (pr <= 0)
            continue;
        ReplacementCandidate c = candidate(subs.toInt64(0), subs.toString(1), subs.value(2), num(subs, 3), line->kol * repl / pr);
        c.productWeight = pr;
        c.substituteWeight = repl;
        offer.candidates.push_back(c);
    }
    // The alternatives the dish's recipe gives for the replaced product's line.
    Statement alt(db, QStringLiteral(
        "SELECT a.id_product, p.pname, p.rule_okr, e.koef, SUM(a.brutto) FROM recipes a "
        "JOIN recipes m ON m.id = a.id_MainCard JOIN products p ON p.id = a.id_product "
        "LEFT JOIN ed_izmer e ON e.id = p.id_ed_izmer "
        "WHERE a.id_card_recipes = ?1 AND m.id_card_recipes = ?1 AND m.id_product = ?2 AND COALESCE(m.isCard, 0) = 0 "
        "AND COALESCE(a.isCard, 0) = 0 AND a.id_product <> ?2 "
        "GROUP BY a.id_product, p.pname, p.rule_okr, e.koef ORDER BY MIN(a.id)"));
    alt.bind(1, line->card).bind(2, line->product);
    while (alt.next()) {
        ReplacementCandidate c =
            candidate(alt.toInt64(0), alt.toString(1), alt.value(2), num(alt, 3), num(alt, 4) * line->output / 100.0);
        c.fromCard = true;
        offer.candidates.push_back(c);
    }
    return offer;
}

std::optional<qint64> replaceProduct(Database& db, Prompt& prompt, qint64 idm1, qint64 lineId,
                                     const ReplacementCandidate& candidate)
{
    const auto line = readLine(db, idm1, lineId);
    if (!line) {
        prompt.warning(detail::editedRowMissing());
        return std::nullopt;
    }
    if (db.scalar(QStringLiteral("SELECT COUNT(*) FROM products WHERE id = ?1"), {candidate.productId}).toLongLong() == 0 ||
        candidate.productId == line->product) {
        prompt.warning(detail::mustChoose(QStringLiteral("Продукт")));
        return std::nullopt;
    }
    const auto h = readWorkingHeader(db, idm1);
    double ost = 0;
    if (h) {
        const QVariant menuDate = db.scalar(QStringLiteral("SELECT substr(ddate, 1, 10) FROM day_menu WHERE id = ?1"),
                                            {h->dayMenuId});
        const QDate date = menuDate.isNull() ? h->dayMenuDate : parseIsoDate(menuDate.toString());
        for (const ProductRemnant& p : productRemnants(lotRemnants(
                 db, date, h->warehouse != 0 ? std::optional<qint64>(h->warehouse) : std::nullopt,
                 approvedExpenseOfDayMenu(db, h->dayMenuId))))
            if (p.productId == candidate.productId)
                ost = p.quantity;
    }

    Transaction tx(db);
    db.exec(QStringLiteral("DELETE FROM MENUTR_POINT1 WHERE id_card = ?1 AND id_eating = ?2 AND id_product = ?3 AND "
                           "id_type_eating = ?4 AND IDM1 = ?5"),
            {line->card, line->meal, line->product, line->type, idm1});
    const QVariant existing = db.scalar(QStringLiteral("SELECT MIN(IDMP1) FROM MENUTR_POINT1 WHERE IDM1 = ?1 AND "
                                                       "id_product = ?2 AND id_type_eating = ?3 AND id_card = ?4 AND "
                                                       "id_eating = ?5"),
                                        {idm1, candidate.productId, line->type, line->card, line->meal});
    qint64 id = 0;
    if (!existing.isNull()) {
        id = existing.toLongLong();
        db.exec(QStringLiteral("UPDATE MENUTR_POINT1 SET kol = kol + ?1, kolv = kolv + ?2 WHERE IDMP1 = ?3"),
                {candidate.kol, candidate.kolv, id});
    } else {
        db.exec(QStringLiteral("INSERT INTO MENUTR_POINT1 (id_product, id_type_eating, id_eating, id_card, kol, kolv, output, "
                               "ost, IDM1) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9)"),
                {candidate.productId, line->type, line->meal, line->card, candidate.kol, candidate.kolv, line->output, ost,
                 idm1});
        id = db.lastInsertId();
    }
    tx.commit();
    return id;
}

} // namespace rat::stock
