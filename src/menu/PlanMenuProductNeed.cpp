// The product need of a plan-menu: every chosen dish expanded into products at each eater
// type's yield, times the eaters, in the product's unit, rounded by the product's rule.

#include "menu/PlanMenuProductNeed.h"
#include "core/DataHelpers.h"
#include "core/Database.h"
#include "core/Prompt.h"
#include "core/Rounding.h"
#include "refbooks/CardCalc.h"

namespace rat::menu {

std::map<qint64, int> servedCards(Database& db, const std::vector<qint64>& days)
{
    std::map<qint64, int> dayTimes;
    for (qint64 d : days)
        ++dayTimes[d];
    std::map<qint64, int> served;  // card -> times on the chosen days
    Statement dishes(db, QStringLiteral("SELECT id_card_recipes FROM plan_menu WHERE id_day = ?1 ORDER BY id"));
    for (const auto& [d, times] : dayTimes) {
        dishes.reset();
        dishes.bind(1, d);
        while (dishes.next())
            served[dishes.toInt64(0)] += times;
    }
    return served;
}

std::vector<PortionLine> portionLines(Database& db, const std::map<qint64, int>& served,
                                      const std::vector<qint64>& eaterTypes)
{
    std::vector<PortionLine> out;
    books::CardCalculator calc(db);
    Statement yieldSt(db, QStringLiteral("SELECT output1 FROM output WHERE id_card_recipe = ?1 AND id_type_eating = ?2 "
                                         "ORDER BY id LIMIT 1"));
    for (qint64 type : eaterTypes)
        for (const auto& [card, times] : served) {
            yieldSt.reset();
            yieldSt.bindAll({card, type});
            if (!yieldSt.next())
                continue;
            const books::CardExpansion e = calc.expand(card, yieldSt.toDouble(0));
            for (const books::ExpandedLine& l : e.lines)
                out.push_back({type, l.productId, l.gross, times});
        }
    return out;
}

std::optional<AnalysisTable> planMenuProductNeed(Database& db, Prompt& prompt, qint64 planMenu,
                                                 std::optional<qint64> day, const std::map<qint64, int>& eaters,
                                                 const StockRemnants& stock)
{
    std::vector<qint64> days;
    if (day) {
        if (db.scalar(QStringLiteral("SELECT COUNT(*) FROM days WHERE id = ?1 AND id_type_menu = ?2"), {*day, planMenu})
                .toLongLong() > 0)
            days.push_back(*day);
    } else {
        Statement all(db, QStringLiteral("SELECT id FROM days WHERE id_type_menu = ?1 ORDER BY id"));
        all.bind(1, planMenu);
        while (all.next())
            days.push_back(all.toInt64(0));
    }
    const std::map<qint64, int> served = servedCards(db, days);
    if (served.empty()) {
        prompt.warning(QStringLiteral("Нет данных для расчета расхода продуктов!"));
        return std::nullopt;
    }
    if (!stock) {
        prompt.warning(QStringLiteral("На складе нет наименований продуктов! Сначала добавьте продукты на склад."));
        return std::nullopt;
    }

    struct Type {
        qint64 id;
        QString name;
        int eaters;
    };
    std::vector<Type> types;
    {
        Statement st(db, QStringLiteral("SELECT id, shname FROM type_eating WHERE COALESCE(status, 0) <> 0 "
                                        "ORDER BY shname COLLATE RU, id"));
        while (st.next()) {
            const auto it = eaters.find(st.toInt64(0));
            if (it != eaters.end() && it->second > 0)
                types.push_back({st.toInt64(0), st.toString(1), it->second});
        }
    }

    // Grams per product and type.
    std::vector<qint64> typeIds;
    std::map<qint64, int> eatersOf;
    for (const Type& t : types) {
        typeIds.push_back(t.id);
        eatersOf[t.id] = t.eaters;
    }
    std::map<qint64, std::map<qint64, double>> grams;
    for (const PortionLine& l : portionLines(db, served, typeIds))
        grams[l.productId][l.eaterType] += l.grams * l.times * eatersOf[l.eaterType];

    AnalysisTable out;
    out.caption = QStringLiteral("Расход продуктов питания");
    out.columns = {QStringLiteral("Продукт"), QStringLiteral("Тип довольствующихся"),
                   QStringLiteral("Необходимое количество по типу"), QStringLiteral("Необходимое количество, всего"),
                   QStringLiteral("Остаток на складе")};
    Statement products(db, QStringLiteral("SELECT p.id, p.pname, COALESCE(p.rule_okr, 0), COALESCE(e.koef, 0) "
                                          "FROM products p LEFT JOIN ed_izmer e ON e.id = p.id_ed_izmer "
                                          "ORDER BY p.pname COLLATE RU, p.id"));
    while (products.next()) {
        const auto g = grams.find(products.toInt64(0));
        if (g == grams.end())
            continue;
        const int rule = int(products.toInt64(2));
        const double koef = products.toDouble(3) > 0 ? products.toDouble(3) : 1.0;
        const auto round = [rule](double x) { return rule > 0 ? RoundQuantity(x, rule - 1) : roundHalfEven(x, 4); };
        std::vector<AnalysisRow> rows;
        double total = 0;
        for (const Type& t : types) {
            const auto q = g->second.find(t.id);
            if (q == g->second.end())
                continue;
            const double need = round(q->second / koef);
            total += need;
            AnalysisRow r;
            r.cells = {products.toString(1), t.name, need, QVariant(), QVariant()};
            rows.push_back(r);
        }
        const auto rem = stock->find(products.toInt64(0));
        for (AnalysisRow& r : rows) {
            r.cells[3] = roundHalfEven(total, 4);
            r.cells[4] = rem == stock->end() ? 0.0 : rem->second;
            out.rows.push_back(r);
        }
    }
    return out;
}

} // namespace rat::menu
