// The copies of plan-menus: a whole plan-menu into another, the days of another plan-menu
// added to one, the dishes of one plan day appended to another day. Each copy is one
// transaction.

#include "menu/PlanMenu.h"
#include "core/Database.h"
#include "core/Prompt.h"

#include <QStringList>
#include <functional>
#include <optional>

namespace rat::menu {

namespace {

struct Day {
    qint64 id = 0;
    QString name;
};

std::vector<Day> daysOf(Database& db, qint64 planMenuId)
{
    std::vector<Day> out;
    Statement st(db, QStringLiteral("SELECT id, dname FROM days WHERE id_type_menu = ?1 ORDER BY id"));
    st.bind(1, planMenuId);
    while (st.next())
        out.push_back({st.toInt64(0), st.toString(1)});
    return out;
}

struct Menu {
    qint64 id = 0;
    QString title;
};

std::vector<Menu> planMenus(Database& db, std::optional<qint64> except)
{
    std::vector<Menu> out;
    Statement st(db, QStringLiteral("SELECT id, tname, sezon FROM type_menu ORDER BY tname COLLATE RU, id"));
    while (st.next())
        if (!except || st.toInt64(0) != *except)
            out.push_back({st.toInt64(0), planMenuTitle(st.toString(1), st.value(2))});
    return out;
}

QString noDaysText()
{
    return QStringLiteral("У выбранного плана-меню не заполнены плановые дни. Копирование не возможно.");
}

// The closing question of both plan-menu copies; `done` is their first sentence.
CopyResult closingQuestion(Prompt& prompt, const QString& done)
{
    const Answer a = prompt.ask(
        done + QStringLiteral(" Для корректной работы программы рекомендуется добавить типы довольствующихся для "
                              "нового плана-меню. При этом будут также добавлены (скопированы) выходы блюд и нормы "
                              "питания. Открыть справочник \"Типы довольствующихся\"? \"Да\" - открыть, \"Нет\" - не "
                              "открывать."),
        Buttons::YesNo, Answer::Yes);
    return a == Answer::Yes ? CopyResult::OpenEaterTypes : CopyResult::Copied;
}

qint64 addDay(Database& db, const QString& name, qint64 planMenuId)
{
    db.exec(QStringLiteral("INSERT INTO days (dname, id_type_menu) VALUES (?1, ?2)"), {name, planMenuId});
    return db.lastInsertId();
}

// The dishes of one day appended to another, in the source's key order.
int copyDishes(Database& db, qint64 from, qint64 to)
{
    return db.exec(QStringLiteral("INSERT INTO plan_menu (id_day, id_eating, id_card_recipes, id_type_meal) "
                                  "SELECT ?2, id_eating, id_card_recipes, id_type_meal FROM plan_menu "
                                  "WHERE id_day = ?1 ORDER BY id"),
                   {from, to});
}

// The course of both plan-menu copies: refused while the plan-menus are locked or when the
// source has no days; `copyDays` writes in one transaction, then the closing question.
CopyResult copyDaysOf(Database& db, Prompt& prompt, qint64 source, const QString& done,
                      const std::function<void(const std::vector<Day>&)>& copyDays)
{
    if (refuseLockedPlanMenu(prompt))
        return CopyResult::Refused;
    const std::vector<Day> days = daysOf(db, source);
    if (days.empty()) {
        prompt.warning(noDaysText());
        return CopyResult::Refused;
    }
    {
        Transaction tx(db);
        copyDays(days);
        tx.commit();
    }
    return closingQuestion(prompt, done);
}

// The plan-menu chosen from the others (all of them without `except`); nothing, with
// `refusal` shown, when none was chosen.
std::optional<qint64> choosePlanMenu(Database& db, Prompt& prompt, std::optional<qint64> except, const QString& title,
                                     const QString& label, const QString& refusal)
{
    const std::vector<Menu> menus = planMenus(db, except);
    QStringList titles;
    for (const Menu& m : menus)
        titles << m.title;
    const std::optional<int> picked = prompt.choose(title, label, titles);
    if (!picked || *picked < 0 || *picked >= int(menus.size())) {
        prompt.warning(refusal);
        return std::nullopt;
    }
    return menus[size_t(*picked)].id;
}

} // namespace

CopyResult copyPlanMenu(Database& db, Prompt& prompt, qint64 source, qint64 target)
{
    return copyDaysOf(db, prompt, source, QStringLiteral("Копирование выполнено."), [&](const std::vector<Day>& days) {
        db.exec(QStringLiteral("UPDATE type_menu SET status = (SELECT status FROM type_menu WHERE id = ?1) "
                               "WHERE id = ?2 AND COALESCE(status, 0) <> COALESCE((SELECT status FROM type_menu "
                               "WHERE id = ?1), 0)"),
                {source, target});
        for (const Day& d : days) {
            // A day the target already has keeps its own dishes.
            const bool present =
                db.scalar(QStringLiteral("SELECT COUNT(*) FROM days WHERE id_type_menu = ?1 AND lower(dname) = lower(?2)"),
                          {target, d.name})
                    .toLongLong() > 0;
            if (present)
                continue;
            copyDishes(db, d.id, addDay(db, d.name, target));
        }
    });
}

CopyResult copyPlanMenuToChosen(Database& db, Prompt& prompt, qint64 source)
{
    if (refuseLockedPlanMenu(prompt))
        return CopyResult::Refused;
    const auto target = choosePlanMenu(db, prompt, source, QStringLiteral("Копирование плана-меню"),
                                       QStringLiteral("Выберите план-меню, в который копировать:"),
                                       QStringLiteral("Не был выбран план-меню. Копирование невозможно."));
    return target ? copyPlanMenu(db, prompt, source, *target) : CopyResult::Refused;
}

CopyResult appendPlanMenuDays(Database& db, Prompt& prompt, qint64 target)
{
    if (refuseLockedPlanMenu(prompt))
        return CopyResult::Refused;
    const auto source =
        choosePlanMenu(db, prompt, target, QStringLiteral("Выбор плана-меню"), QStringLiteral("Выберите план-меню:"),
                       QStringLiteral("Не был выбран план-меню. Заполнение плана-меню невозможно."));
    return source ? appendPlanMenuDaysFrom(db, prompt, *source, target) : CopyResult::Refused;
}

CopyResult appendPlanMenuDaysFrom(Database& db, Prompt& prompt, qint64 source, qint64 target)
{
    return copyDaysOf(db, prompt, source, QStringLiteral("Добавление (копирование) выполнено."),
                      [&](const std::vector<Day>& days) {
                          for (const Day& d : days)
                              copyDishes(db, d.id, addDay(db, d.name, target));
                      });
}

int copyPlanDayRows(Database& db, qint64 dayId, qint64 targetDayId)
{
    Transaction tx(db);
    const int copied = copyDishes(db, dayId, targetDayId);
    tx.commit();
    return copied;
}

bool copyPlanDay(Database& db, Prompt& prompt, qint64 dayId)
{
    if (refuseLockedPlanMenu(prompt))
        return false;
    if (db.scalar(QStringLiteral("SELECT COUNT(*) FROM plan_menu WHERE id_day = ?1"), {dayId}).toLongLong() == 0) {
        prompt.warning(QStringLiteral("На выбранный день нет данных. Копирование невозможно."));
        return false;
    }
    const auto menu = choosePlanMenu(db, prompt, std::nullopt, QStringLiteral("Выберите план-меню куда копировать"),
                                     QStringLiteral("План-меню:"),
                                     QStringLiteral("Не был выбран план-меню. Копирование невозможно."));
    if (!menu)
        return false;
    const std::vector<Day> days = daysOf(db, *menu);
    if (days.empty()) {
        prompt.warning(QStringLiteral("Не заполнен справочник \"Плановые дни\". Выбор планового дня невозможен."));
        return false;
    }
    QStringList names;
    for (const Day& d : days)
        names << d.name;
    const std::optional<int> day =
        prompt.choose(QStringLiteral("Выберите, в какой день копировать"), QStringLiteral("Плановый день:"), names);
    if (!day || *day < 0 || *day >= int(days.size())) {
        prompt.warning(QStringLiteral("Не был выбран плановый день. Копирование невозможно."));
        return false;
    }
    return copyPlanDayRows(db, dayId, days[size_t(*day)].id) > 0;
}

} // namespace rat::menu
