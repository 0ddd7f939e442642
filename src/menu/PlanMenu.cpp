// Plan-menu titles, the edit lock, the plan days of the first use, the dishes of a plan day and
// their moves.

#include "menu/PlanMenu.h"
#include "core/ChoiceLists.h"
#include "core/Database.h"
#include "core/Parameters.h"
#include "core/Prompt.h"

namespace rat::menu {

namespace {

std::optional<qint64> optionalId(const QVariant& v)
{
    if (v.isNull() || !v.isValid())
        return std::nullopt;
    return v.toLongLong();
}

} // namespace

QString planMenuTitle(const QString& tname, const QVariant& sezon)
{
    return tname + seasonSuffix(sezon);
}

QString planMenuTitle(Database& db, qint64 planMenuId)
{
    Statement st(db, QStringLiteral("SELECT tname, sezon FROM type_menu WHERE id = ?1"));
    st.bind(1, planMenuId);
    if (!st.next())
        return {};
    return planMenuTitle(st.toString(0), st.value(1));
}

QString planMenuModeText(const QVariant& status)
{
    return !status.isNull() && status.toInt() == byCategories ? QStringLiteral("по категориям блюд")
                                                               : QStringLiteral("по приемам пищи");
}

bool planMenuByCategories(Database& db, qint64 planMenuId)
{
    const QVariant status = db.scalar(QStringLiteral("SELECT status FROM type_menu WHERE id = ?1"), {planMenuId});
    return !status.isNull() && status.toInt() == byCategories;
}

std::optional<qint64> planMenuOfDay(Database& db, qint64 dayId)
{
    return optionalId(db.scalar(QStringLiteral("SELECT id_type_menu FROM days WHERE id = ?1"), {dayId}));
}

// ---- the edit lock ----

bool isPlanMenuLocked()
{
    return planMenuLocked();
}

QString planMenuLockedShortText()
{
    return QStringLiteral("Извините, но план-меню запрещено редактировать.");
}

QString planMenuLockedText()
{
    return planMenuLockedShortText() +
           QStringLiteral(" Для того чтобы разрешить редактирование план-меню, выполните команду \"Сервис - "
                          "Параметры\" и снимите галочку \"Запретить изменения в план-меню\".");
}

bool refuseLockedPlanMenu(Prompt& prompt, bool shortForm)
{
    if (!isPlanMenuLocked())
        return false;
    prompt.warning(shortForm ? planMenuLockedShortText() : planMenuLockedText());
    return true;
}

// ---- plan days ----

int createPlanDays(Database& db, int n)
{
    if (n <= 0)
        return 0;
    std::vector<qint64> menus;
    Statement st(db, QStringLiteral("SELECT id FROM type_menu ORDER BY id"));
    while (st.next())
        menus.push_back(st.toInt64(0));
    Transaction tx(db);
    Statement ins(db, QStringLiteral("INSERT INTO days (dname, id_type_menu) VALUES (?1, ?2)"));
    int added = 0;
    for (qint64 menu : menus)
        for (int d = 1; d <= n; ++d) {
            ins.reset();
            ins.bindAll({QStringLiteral("День ") + QString::number(d), menu});
            ins.exec();
            ++added;
        }
    tx.commit();
    return added;
}

bool runPlanDaysCommand(Database& db, Prompt& prompt)
{
    if (db.scalar(QStringLiteral("SELECT COUNT(*) FROM days")).toLongLong() > 0)
        return true;
    const std::optional<QString> answer =
        prompt.input(QStringLiteral("Плановые дни"),
                     QStringLiteral("Введите количество дней, на которое Вы будете составлять план-меню (например, "
                                    "для 10-дневного меню введите 10)."),
                     QString());
    bool ok = false;
    const int n = answer ? answer->trimmed().toInt(&ok) : 0;
    if (!ok || n <= 0)
        return prompt.ask(QStringLiteral("Не введено количество дней! Открыть справочник плановых дней?"),
                          Buttons::YesNo, Answer::Yes) == Answer::Yes;
    createPlanDays(db, n);
    return true;
}

bool askOpenPlanDays(Prompt& prompt)
{
    return prompt.ask(QStringLiteral("Плановые дни редактируются в справочнике плановых дней. Открыть справочник?"),
                      Buttons::YesNo, Answer::Yes) == Answer::Yes;
}

// ---- dishes of a plan day ----

DishAddCheck checkDishAdd(Database& db, Prompt& prompt, std::optional<qint64> dayId)
{
    if (refuseLockedPlanMenu(prompt))
        return DishAddCheck::Refused;
    if (db.scalar(QStringLiteral("SELECT COUNT(*) FROM days")).toLongLong() == 0) {
        const Answer a = prompt.ask(
            QStringLiteral("Список плановых дней пуст. Сначала заполните справочник \"Плановые дни\", после чего можно "
                           "будет создавать и/или редактировать план-меню. Открыть справочник плановых дней?"),
            Buttons::YesNo, Answer::Yes);
        return a == Answer::Yes ? DishAddCheck::OpenPlanDays : DishAddCheck::Refused;
    }
    if (!dayId || !planMenuOfDay(db, *dayId)) {
        prompt.warning(QStringLiteral("Сначала выберите плановый день, для которого необходимо добавить блюдо."));
        return DishAddCheck::Refused;
    }
    return DishAddCheck::Allowed;
}

std::vector<books::ListItem> planMenuCards(Database& db, std::optional<qint64> dayId, std::optional<qint64> category)
{
    const QString text = QStringLiteral("COALESCE(c.cname, '') || ' ' || COALESCE(c.number1, '') || ' ' || "
                                        "COALESCE(c.numRec, '')");
    std::vector<books::ListItem> out;
    std::optional<qint64> menu = dayId ? planMenuOfDay(db, *dayId) : std::nullopt;
    QString sql;
    std::vector<QVariant> params;
    if (!menu) {
        sql = QStringLiteral("SELECT c.id, ") + text + QStringLiteral(" FROM card_recipes c");
        if (category) {
            sql += QStringLiteral(" WHERE c.id_type_meal = ?1");
            params.push_back(*category);
        }
    } else {
        // A plan-menu by categories takes the dishes of the chosen category only.
        if (planMenuByCategories(db, *menu) && !category)
            return out;
        sql = QStringLiteral("SELECT c.id, ") + text +
              QStringLiteral(" FROM card_recipes c WHERE EXISTS (SELECT 1 FROM output o JOIN type_eating e "
                             "ON e.id = o.id_type_eating WHERE o.id_card_recipe = c.id AND e.id_type_menu = ?1)");
        params.push_back(*menu);
        if (category) {
            sql += QStringLiteral(" AND c.id_type_meal = ?2");
            params.push_back(*category);
        }
    }
    sql += QStringLiteral(" ORDER BY c.cname COLLATE RU, c.id_type_meal, c.id");
    Statement st(db, sql);
    st.bindAll(params);
    while (st.next())
        out.push_back({st.value(0), st.toString(1)});
    return out;
}

std::vector<PlanDish> planDishes(Database& db, qint64 dayId)
{
    std::vector<PlanDish> out;
    const std::optional<qint64> menu = planMenuOfDay(db, dayId);
    const bool categories = menu && planMenuByCategories(db, *menu);
    const QString sql =
        categories
            ? QStringLiteral("SELECT p.id, COALESCE(p.id_type_meal, 0), g.tname, c.number1, c.cname, c.numRec "
                             "FROM plan_menu p LEFT JOIN type_meal g ON g.id = p.id_type_meal "
                             "LEFT JOIN card_recipes c ON c.id = p.id_card_recipes WHERE p.id_day = ?1 "
                             "ORDER BY g.id IS NOT NULL, g.tname COLLATE RU, g.id, p.id")
            : QStringLiteral("SELECT p.id, COALESCE(p.id_eating, 0), g.ename, c.number1, c.cname, c.numRec "
                             "FROM plan_menu p LEFT JOIN eating g ON g.id = p.id_eating "
                             "LEFT JOIN card_recipes c ON c.id = p.id_card_recipes WHERE p.id_day = ?1 "
                             "ORDER BY g.id IS NOT NULL, g.id, p.id");
    Statement st(db, sql);
    st.bind(1, dayId);
    while (st.next())
        out.push_back({st.toInt64(0), st.toInt64(1), st.toString(2), st.toString(3), st.toString(4),
                       st.toString(5)});
    return out;
}

std::optional<qint64> movePlanDish(Database& db, Prompt& prompt, qint64 rowId, int direction)
{
    const QVariant day = db.scalar(QStringLiteral("SELECT id_day FROM plan_menu WHERE id = ?1"), {rowId});
    if (day.isNull())
        return std::nullopt;
    if (refuseLockedPlanMenu(prompt))
        return rowId;
    const std::vector<PlanDish> dishes = planDishes(db, day.toLongLong());
    size_t at = 0;
    while (at < dishes.size() && dishes[at].id != rowId)
        ++at;
    if (at == dishes.size())
        return rowId;
    const long other = long(at) + (direction < 0 ? -1 : 1);
    // The first and the last dish of a meal stay where they are.
    if (other < 0 || other >= long(dishes.size()) || dishes[size_t(other)].group != dishes[at].group)
        return rowId;
    const qint64 otherId = dishes[size_t(other)].id;
    // The list keeps the rows in key order within a meal: the two rows exchange their dishes.
    struct Content {
        QVariant card, eating, category;
    };
    auto read = [&db](qint64 id) {
        Statement st(db, QStringLiteral("SELECT id_card_recipes, id_eating, id_type_meal FROM plan_menu WHERE id = ?1"));
        st.bind(1, id);
        st.next();
        return Content{st.value(0), st.value(1), st.value(2)};
    };
    const Content mine = read(rowId);
    const Content theirs = read(otherId);
    Transaction tx(db);
    const QString write = QStringLiteral(
        "UPDATE plan_menu SET id_card_recipes = ?2, id_eating = ?3, id_type_meal = ?4 WHERE id = ?1");
    db.exec(write, {rowId, theirs.card, theirs.eating, theirs.category});
    db.exec(write, {otherId, mine.card, mine.eating, mine.category});
    tx.commit();
    return otherId;
}

} // namespace rat::menu
