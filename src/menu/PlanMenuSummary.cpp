// The per-eater-type summary of a plan-menu: nutrients over the dishes' yields, for one day or
// as the average day of the whole cycle, each with the eater type's norm.

#include "menu/PlanMenu.h"
#include "menu/Norms.h"
#include "core/Database.h"
#include "core/Rounding.h"
#include "refbooks/BookList.h"

namespace rat::menu {

namespace {

std::optional<double> optionalNumber(const QVariant& v)
{
    if (v.isNull() || !v.isValid() || v.toString().trimmed().isEmpty())
        return std::nullopt;
    return v.toDouble();
}

} // namespace

PlanSummary planMenuSummary(Database& db, qint64 planMenuId, std::optional<qint64> dayId, int digits)
{
    PlanSummary out;
    out.days = int(db.scalar(QStringLiteral("SELECT COUNT(*) FROM days WHERE id_type_menu = ?1"), {planMenuId})
                       .toLongLong());
    // The whole plan-menu is shown as its average day; one day as it is.
    const double divisor = !dayId && out.days > 0 ? double(out.days) : 1.0;

    // The dishes counted: one day's, or every day's of the plan-menu.
    const QString rows = dayId ? QStringLiteral("SELECT id_card_recipes, id_eating FROM plan_menu WHERE id_day = ?2")
                               : QStringLiteral("SELECT p.id_card_recipes, p.id_eating FROM plan_menu p JOIN days d "
                                                "ON d.id = p.id_day WHERE d.id_type_menu = ?2");
    const bool byMeal = !planMenuByCategories(db, planMenuId);
    const QVariant scope = dayId ? QVariant(*dayId) : QVariant(planMenuId);

    const std::vector<std::pair<qint64, QString>> vitamins = books::vitaminsOf(db, books::VitaminSet::ForCards);

    Statement types(db, QStringLiteral("SELECT id, shname FROM type_eating WHERE id_type_menu = ?1 AND "
                                       "COALESCE(status, 0) <> 0 ORDER BY id"));
    types.bind(1, planMenuId);
    Statement totals(db, QStringLiteral("SELECT SUM(o.output1 * c.protein / 100.0), SUM(o.output1 * c.fat / 100.0), "
                                        "SUM(o.output1 * c.carbohyd / 100.0), SUM(o.output1 * c.calories / 100.0), "
                                        "SUM(o.output1) FROM (") +
                             rows +
                             QStringLiteral(") r JOIN output o ON o.id_card_recipe = r.id_card_recipes "
                                            "JOIN card_recipes c ON c.id = r.id_card_recipes "
                                            "WHERE o.id_type_eating = ?1"));
    Statement vitaminTotal(db, QStringLiteral("SELECT SUM(o.output1 * cv.kol / 100.0) FROM (") + rows +
                                   QStringLiteral(") r JOIN output o ON o.id_card_recipe = r.id_card_recipes "
                                                  "JOIN CARD_VITAMIN cv ON cv.id_card_recipes = r.id_card_recipes "
                                                  "WHERE o.id_type_eating = ?1 AND cv.id_vitamin = ?3"));
    Statement norms(db, QStringLiteral("SELECT nprotein, nfat, ncarbohyd, ncalories, IDF FROM FNORMS "
                                       "WHERE id_type_eating = ?1 ORDER BY IDF LIMIT 1"));
    Statement vitaminNorm(db, QStringLiteral("SELECT kol FROM FNORMS_VIT WHERE idf = ?1 AND id_vitamin = ?2 "
                                             "ORDER BY idfv LIMIT 1"));

    // Each meal's yield, for the recommended portion volume beside it.
    Statement mealTotals(db, QStringLiteral("SELECT e.id, e.ename, SUM(o.output1) FROM (") + rows +
                                 QStringLiteral(") r JOIN output o ON o.id_card_recipe = r.id_card_recipes "
                                                "JOIN eating e ON e.id = r.id_eating "
                                                "WHERE o.id_type_eating = ?1 GROUP BY e.id, e.ename ORDER BY e.id"));

    auto figure = [&](const QString& caption, double total, std::optional<double> norm) {
        return SummaryFigure{caption, roundHalfEven(total / divisor, digits), norm};
    };

    while (types.next()) {
        EaterSummary s;
        s.eaterTypeId = types.toInt64(0);
        s.eaterType = types.toString(1);

        norms.reset();
        norms.bind(1, s.eaterTypeId);
        std::optional<double> norm[4];
        std::optional<qint64> normRow;
        if (norms.next()) {
            for (int k = 0; k < 4; ++k)
                norm[k] = optionalNumber(norms.value(k));
            normRow = norms.toInt64(4);
        }

        totals.reset();
        totals.bindAll({s.eaterTypeId, scope});
        totals.next();
        s.figures.push_back(figure(QStringLiteral("Белки, г"), totals.toDouble(0), norm[0]));
        s.figures.push_back(figure(QStringLiteral("Жиры, г"), totals.toDouble(1), norm[1]));
        s.figures.push_back(figure(QStringLiteral("Углеводы, г"), totals.toDouble(2), norm[2]));
        s.figures.push_back(figure(QStringLiteral("Калорийность, ккал"), totals.toDouble(3), norm[3]));
        const double yield = totals.toDouble(4);

        for (const auto& [vitamin, shname] : vitamins) {
            vitaminTotal.reset();
            vitaminTotal.bindAll({s.eaterTypeId, scope, vitamin});
            vitaminTotal.next();
            std::optional<double> vnorm;
            if (normRow) {
                vitaminNorm.reset();
                vitaminNorm.bindAll({*normRow, vitamin});
                if (vitaminNorm.next())
                    vnorm = optionalNumber(vitaminNorm.value(0));
            }
            s.figures.push_back(figure(shname + QStringLiteral(", мг"), vitaminTotal.toDouble(0), vnorm));
        }
        s.figures.push_back(figure(QStringLiteral("Выход, г"), yield, std::nullopt));
        if (byMeal) {
            mealTotals.reset();
            mealTotals.bindAll({s.eaterTypeId, scope});
            while (mealTotals.next()) {
                const qint64 meal = mealTotals.toInt64(0);
                s.meals.push_back({meal, mealTotals.toString(1), roundHalfEven(mealTotals.toDouble(2) / divisor, digits),
                                   portionVolumeText(db, s.eaterTypeId, meal)});
            }
        }
        out.types.push_back(std::move(s));
    }
    return out;
}

QString mealYieldCaption(const MealYield& m)
{
    return QStringLiteral("Выход (") + m.meal + QStringLiteral("), г");
}

QString mealYieldText(const MealYield& m, int digits)
{
    return books::displayNumber(m.yield, digits) + m.volume;
}

QString figureText(const SummaryFigure& f, int digits)
{
    QString text = books::displayNumber(f.fact, digits);
    if (f.norm)
        text += QLatin1Char('(') + books::displayNumber(roundHalfEven(*f.norm, digits), digits) + QLatin1Char(')');
    return text;
}

} // namespace rat::menu
