// A new day menu from plan-menu days: one point per card and key, a zero count per eater type
// on allowance, the cards that cannot be served named in one message.

#include "menu/DayMenu.h"
#include "menu/DayMenuShared.h"

#include "core/Clock.h"
#include "core/Database.h"
#include "core/Prompt.h"

#include <QStringList>
#include <set>

namespace rat::menu {

namespace {

QString pairText(const PlanDayPair& p)
{
    return QString::number(p.first) + QLatin1Char('*') + QString::number(p.second);
}

QString skippedMessage(const QStringList& names)
{
    const bool one = names.size() == 1;
    return (one ? QStringLiteral("Блюдо ") : QStringLiteral("Блюда ")) + names.join(QStringLiteral(", ")) +
           QStringLiteral(" не добавлен") + (one ? QStringLiteral("о") : QStringLiteral("ы")) +
           QStringLiteral(", так как нет данных о выходах и рецептур") + (one ? QStringLiteral("е") : QStringLiteral("ах")) +
           QLatin1Char('.');
}

} // namespace

CreatedDayMenu createDayMenuFromPlan(Database& db, Prompt& prompt, const std::vector<PlanDayPair>& pairs)
{
    CreatedDayMenu result;
    const bool fill = prompt.ask(QStringLiteral("Заполнить меню из плана-меню?"), Buttons::YesNo, Answer::Yes) ==
                      Answer::Yes;
    std::vector<PlanDayPair> chosen;
    for (const PlanDayPair& p : pairs)
        if (p.first > 0 && p.second > 0)
            chosen.push_back(p);
    if (chosen.empty()) {
        prompt.info(QStringLiteral("Не были выбраны план-меню. Меню на день не создано."));
        return result;
    }
    prompt.status(QStringLiteral("Идет заполнение меню на день..."));
    result.filled = fill;
    result.firstPlanMenu = chosen.front().first;

    if (!fill) {
        QStringList texts;
        for (const PlanDayPair& p : chosen)
            texts << pairText(p);
        result.pendingIddTm = texts.join(QLatin1Char('/'));
        return result;
    }

    QStringList skipped;
    std::set<qint64> skippedCards;
    try {
        Transaction tx(db);
        qint64 menuId = 0;
        Statement planRows(db, QStringLiteral("SELECT pm.id_card_recipes, pm.id_eating, pm.id_type_meal, c.cname "
                                              "FROM plan_menu pm LEFT JOIN card_recipes c ON c.id = pm.id_card_recipes "
                                              "WHERE pm.id_day = ?1 ORDER BY pm.id_eating, pm.id, pm.id_card_recipes"));
        // Yields for the eater types of the plan-menu that are served (status not 0).
        Statement yields(db, QStringLiteral("SELECT COUNT(*) FROM output WHERE id_card_recipe = ?1 AND id_type_eating IN "
                                            "(SELECT id FROM type_eating WHERE id_type_menu = ?2 AND "
                                            "COALESCE(status, 0) <> 0)"));
        Statement recipeCount(db, QStringLiteral("SELECT COUNT(*) FROM recipes WHERE id_card_recipes = ?1"));
        Statement findPoint(db, QStringLiteral("SELECT id FROM day_menu_point WHERE id_day_menu = ?1 AND "
                                               "id_card_recipe = ?2 AND id_eating = ?3 ORDER BY id"));
        Statement addPoint(db, QStringLiteral("INSERT INTO day_menu_point (id_card_recipe, id_eating, id_day_menu) "
                                              "VALUES (?1, ?2, ?3)"));
        Statement hasCount(db, QStringLiteral("SELECT COUNT(*) FROM quantity_eating WHERE id_day_menu_point = ?1 AND "
                                              "id_type_eating = ?2"));
        Statement addCount(db, QStringLiteral("INSERT INTO quantity_eating (id_day_menu_point, id_type_eating, quantity) "
                                              "VALUES (?1, ?2, 0)"));

        for (const PlanDayPair& p : chosen) {
            if (menuId == 0) {
                db.exec(QStringLiteral("INSERT INTO day_menu (ddate, id_type_menu, sum, nom, idd_tm, status, filtr) "
                                       "VALUES (?1, ?2, 0, ?3, ?4, 0, 0)"),
                        {Clock::today(), p.first, nextDayMenuNumber(db), pairText(p)});
                menuId = db.lastInsertId();
            } else {
                db.exec(QStringLiteral("UPDATE day_menu SET idd_tm = COALESCE(idd_tm, '') || '/' || ?1 WHERE id = ?2"),
                        {pairText(p), menuId});
            }
            const MenuMode mode = planMenuMode(db, p.first);
            const std::vector<qint64> onAllowance = detail::eaterTypesOnAllowance(db, p.first);
            planRows.reset();
            planRows.bind(1, p.second);
            while (planRows.next()) {
                const qint64 card = planRows.toInt64(0);
                yields.reset();
                yields.bindAll({card, p.first});
                yields.next();
                recipeCount.reset();
                recipeCount.bind(1, card);
                recipeCount.next();
                if (yields.toInt64(0) == 0 || recipeCount.toInt64(0) == 0) {
                    if (skippedCards.insert(card).second)
                        skipped << QLatin1Char('"') + planRows.toString(3) + QLatin1Char('"');
                    continue;
                }
                const qint64 key = mode == MenuMode::ByMeals ? planRows.toInt64(1) : planRows.toInt64(2);
                findPoint.reset();
                findPoint.bindAll({menuId, card, key});
                qint64 point = 0;
                if (findPoint.next()) {
                    point = findPoint.toInt64(0);
                } else {
                    addPoint.reset();
                    addPoint.bindAll({card, key, menuId});
                    addPoint.exec();
                    point = db.lastInsertId();
                }
                for (qint64 type : onAllowance) {
                    // A card twice under one key of one day gets its count once.
                    hasCount.reset();
                    hasCount.bindAll({point, type});
                    if (hasCount.next() && hasCount.toInt64(0) > 0)
                        continue;
                    addCount.reset();
                    addCount.bindAll({point, type});
                    addCount.exec();
                }
            }
        }
        tx.commit();
        result.id = menuId;
    } catch (const DbError& e) {
        prompt.critical(QStringLiteral("Возникла ошибка при заполнении меню на день. Ошибка: ") + e.text());
        return result;
    }
    if (!skipped.isEmpty())
        prompt.info(skippedMessage(skipped));
    prompt.status(QStringLiteral("Готово"));
    return result;
}

} // namespace rat::menu
