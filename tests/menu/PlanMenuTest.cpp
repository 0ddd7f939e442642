// Plan-menus: titles with the season, the plan days of the first use, the rules of the plan
// days and plan-menus, the edit lock, the dishes a day may take, the copies, the moves of a
// dish within its meal, and the per-eater-type summary.

#include "core/Database.h"
#include "core/Settings.h"
#include "menu/MenuModule.h"
#include "menu/PlanMenu.h"
#include "refbooks/BookActions.h"
#include "refbooks/BookList.h"
#include "refbooks/RecordEditor.h"
#include "support/FileTest.h"

#include <gtest/gtest.h>

using namespace rat;
using namespace rat::menu;

namespace {

const QString kLocked = QStringLiteral(
    "warning: Извините, но план-меню запрещено редактировать. Для того чтобы разрешить редактирование план-меню, "
    "выполните команду \"Сервис - Параметры\" и снимите галочку \"Запретить изменения в план-меню\".");

QString closing(const QString& first)
{
    return QStringLiteral("question: ") + first +
           QStringLiteral(" Для корректной работы программы рекомендуется добавить типы довольствующихся для нового "
                          "плана-меню. При этом будут также добавлены (скопированы) выходы блюд и нормы питания. "
                          "Открыть справочник \"Типы довольствующихся\"? \"Да\" - открыть, \"Нет\" - не открывать. => ");
}

class PlanMenus : public test::FileTest {
protected:
    void SetUp() override
    {
        registerMenuModule();
        ASSERT_TRUE(session.createDatabase(env.path(QStringLiteral("plan.db"))));
        for (const char* t : {"plan_menu", "days", "day_menu", "type_eating", "type_menu", "output", "card_recipes",
                              "eating", "type_meal", "vitamin", "CARD_VITAMIN", "FNORMS", "FNORMS_VIT"})
            db().exec(QStringLiteral("DELETE FROM ") + QString::fromUtf8(t));
        Settings::setText(QStringLiteral("User"), QStringLiteral("zapretPlM"), QStringLiteral("False"));
        breakfast = insert(QStringLiteral("INSERT INTO eating (ename) VALUES ('Завтрак')"));
        lunch = insert(QStringLiteral("INSERT INTO eating (ename) VALUES ('Обед')"));
        porridges = insert(QStringLiteral("INSERT INTO type_meal (tname) VALUES ('Каши')"));
        soups = insert(QStringLiteral("INSERT INTO type_meal (tname) VALUES ('Супы')"));
        drinks = insert(QStringLiteral("INSERT INTO type_meal (tname) VALUES ('Напитки')"));
        menu = planMenu(QStringLiteral("Основное"), 2, 1);
        nursery = eaterType(QStringLiteral("Ясли"), menu, -1);
        garden = eaterType(QStringLiteral("Сад"), menu, -1);
        staff = eaterType(QStringLiteral("Сотр"), menu, 0);
        // Per 100 g: protein, fat, carbohydrates, energy.
        porridge = card(QStringLiteral("Каша манная"), porridges, 3, 4, 20, 130);
        soup = card(QStringLiteral("Суп овощной"), soups, 2, 1.5, 8, 55);
        compote = card(QStringLiteral("Компот"), drinks, 0, 0, 12, 50);
        stray = card(QStringLiteral("Плов"), porridges, 8, 9, 30, 230);  // no yield for this plan-menu
        yield(porridge, nursery, 150);
        yield(soup, nursery, 180);
        yield(compote, nursery, 150);
        yield(porridge, garden, 200);
        yield(soup, garden, 250);
        yield(porridge, staff, 300);
        prompt.clear();
    }

    void TearDown() override
    {
        Settings::setText(QStringLiteral("User"), QStringLiteral("zapretPlM"), QStringLiteral("False"));
    }

    qint64 planMenu(const QString& name, int status, const QVariant& sezon)
    {
        return insert(QStringLiteral("INSERT INTO type_menu (tname, status, sezon) VALUES (?1, ?2, ?3)"),
                      {name, status, sezon});
    }
    qint64 eaterType(const QString& name, qint64 planMenuId, int status)
    {
        return insert(QStringLiteral("INSERT INTO type_eating (ename, shname, status, id_type_menu) "
                                     "VALUES (?1, ?1, ?2, ?3)"),
                      {name, status, planMenuId});
    }
    qint64 card(const QString& name, qint64 category, double p, double f, double c, double e)
    {
        return insert(QStringLiteral("INSERT INTO card_recipes (cname, id_type_meal, protein, fat, carbohyd, calories) "
                                     "VALUES (?1, ?2, ?3, ?4, ?5, ?6)"),
                      {name, category, p, f, c, e});
    }
    void yield(qint64 cardId, qint64 type, int grams)
    {
        insert(QStringLiteral("INSERT INTO output (id_card_recipe, id_type_eating, output1) VALUES (?1, ?2, ?3)"),
               {cardId, type, grams});
    }
    qint64 day(qint64 planMenuId, const QString& name)
    {
        return insert(QStringLiteral("INSERT INTO days (dname, id_type_menu) VALUES (?1, ?2)"), {name, planMenuId});
    }
    qint64 dish(qint64 dayId, qint64 cardId, const QVariant& meal, const QVariant& category = {})
    {
        return insert(QStringLiteral("INSERT INTO plan_menu (id_day, id_card_recipes, id_eating, id_type_meal) "
                                     "VALUES (?1, ?2, ?3, ?4)"),
                      {dayId, cardId, meal, category});
    }
    // The dishes of a day as "card name/meal id/category id", in key order.
    QStringList dishesOf(qint64 dayId)
    {
        QStringList out;
        Statement st(db(), QStringLiteral("SELECT c.cname, p.id_eating, p.id_type_meal FROM plan_menu p JOIN "
                                          "card_recipes c ON c.id = p.id_card_recipes WHERE p.id_day = ?1 ORDER BY p.id"));
        st.bind(1, dayId);
        while (st.next())
            out << st.toString(0) + QLatin1Char('/') + st.toString(1) + QLatin1Char('/') + st.toString(2);
        return out;
    }
    QStringList dayNames(qint64 planMenuId)
    {
        QStringList out;
        Statement st(db(), QStringLiteral("SELECT dname FROM days WHERE id_type_menu = ?1 ORDER BY id"));
        st.bind(1, planMenuId);
        while (st.next())
            out << st.toString(0);
        return out;
    }
    void lock() { Settings::setText(QStringLiteral("User"), QStringLiteral("zapretPlM"), QStringLiteral("True")); }

    std::optional<qint64> saveRow(int entry, std::optional<qint64> parent,
                                  const std::vector<std::pair<QString, QString>>& values)
    {
        books::RecordEditor editor(db(), prompt, entry);
        if (!editor.open(books::EditMode::Add, {}, parent))
            return std::nullopt;
        for (const auto& [field, text] : values)
            EXPECT_TRUE(editor.setText(field, text)) << field.toStdString();
        return editor.save();
    }

    qint64 breakfast = 0, lunch = 0, porridges = 0, soups = 0, drinks = 0;
    qint64 menu = 0, nursery = 0, garden = 0, staff = 0;
    qint64 porridge = 0, soup = 0, compote = 0, stray = 0;
};

TEST_F(PlanMenus, TitleCarriesTheSeasonSuffix)
{
    EXPECT_EQ(planMenuTitle(QStringLiteral("Основное"), QVariant()), QStringLiteral("Основное"));
    EXPECT_EQ(planMenuTitle(QStringLiteral("Основное"), QVariant(QString())), QStringLiteral("Основное"));
    EXPECT_EQ(planMenuTitle(QStringLiteral("Основное"), 0), QStringLiteral("Основное"));
    EXPECT_EQ(planMenuTitle(db(), menu), QStringLiteral("Основное (осенне-зимний)"));
    // Code 8, and any code outside 0-8, read as the summer-autumn season.
    const qint64 eight = planMenu(QStringLiteral("Летнее"), 2, 8);
    const qint64 nine = planMenu(QStringLiteral("Странное"), 2, 9);
    const qint64 negative = planMenu(QStringLiteral("Отрицательное"), 2, -3);
    EXPECT_EQ(planMenuTitle(db(), eight), QStringLiteral("Летнее (летне-осенний)"));
    EXPECT_EQ(planMenuTitle(db(), nine), QStringLiteral("Странное (летне-осенний)"));
    EXPECT_EQ(planMenuTitle(db(), negative), QStringLiteral("Отрицательное (летне-осенний)"));
    EXPECT_EQ(planMenuTitle(db(), 999999), QString());

    // The plan-menu list shows the same titles and the mode text.
    const qint64 byCat = planMenu(QStringLiteral("Диетическое"), 1, QVariant());
    const books::BookList list = books::loadList(db(), entryMenuTypes);
    QStringList rows;
    for (const QStringList& r : list.rows)
        rows << r.value(0) + QLatin1Char('|') + r.value(1);
    EXPECT_EQ(rows, QStringList({QStringLiteral("Диетическое|по категориям блюд"),
                                 QStringLiteral("Летнее (летне-осенний)|по приемам пищи"),
                                 QStringLiteral("Основное (осенне-зимний)|по приемам пищи"),
                                 QStringLiteral("Отрицательное (летне-осенний)|по приемам пищи"),
                                 QStringLiteral("Странное (летне-осенний)|по приемам пищи")}));
    EXPECT_EQ(list.ids.front(), byCat);
}

TEST_F(PlanMenus, FirstUseMakesTheDaysOfEveryPlanMenu)
{
    const qint64 other = planMenu(QStringLiteral("Летнее"), 2, 4);
    const QString question = QStringLiteral(
        "Введите количество дней, на которое Вы будете составлять план-меню (например, для 10-дневного меню введите 10).");

    // An empty answer makes nothing and offers the plan-days list.
    prompt.inputs = {QString()};
    prompt.answers = {Answer::No};
    EXPECT_FALSE(runPlanDaysCommand(db(), prompt));
    EXPECT_EQ(prompt.messages(),
              QStringList({QStringLiteral("input: ") + question + QStringLiteral(" => "),
                           QStringLiteral("question: Не введено количество дней! Открыть справочник плановых дней? => Нет")}));
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM days")), 0);

    // Text that is not a number counts as no answer.
    prompt.clear();
    prompt.inputs = {QStringLiteral("десять")};
    prompt.answers = {Answer::Yes};
    EXPECT_TRUE(runPlanDaysCommand(db(), prompt));
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM days")), 0);

    prompt.clear();
    prompt.inputs = {QStringLiteral("10")};
    EXPECT_TRUE(runPlanDaysCommand(db(), prompt));
    EXPECT_EQ(prompt.messages(), QStringList({QStringLiteral("input: ") + question + QStringLiteral(" => 10")}));
    QStringList ten;
    for (int d = 1; d <= 10; ++d)
        ten << QStringLiteral("День %1").arg(d);
    EXPECT_EQ(dayNames(menu), ten);
    EXPECT_EQ(dayNames(other), ten);

    // With days present the command opens the list and asks nothing.
    prompt.clear();
    EXPECT_TRUE(runPlanDaysCommand(db(), prompt));
    EXPECT_TRUE(prompt.messages().isEmpty());
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM days")), 20);
}

TEST_F(PlanMenus, PlanDayNamesAreUniqueWithinTheirPlanMenuAndDaysWithDishesStay)
{
    const qint64 first = day(menu, QStringLiteral("День 1"));
    const qint64 other = planMenu(QStringLiteral("Летнее"), 2, 4);
    const QStringList before = dump(QStringLiteral("days"));

    EXPECT_FALSE(saveRow(entryPlanDays, menu, {{QStringLiteral("dname"), QStringLiteral("дЕНЬ 1")}}));
    EXPECT_EQ(prompt.messages(),
              QStringList({QStringLiteral("warning: Для типа меню \"Основное (осенне-зимний)\" уже добавлен день "
                                          "\"дЕНЬ 1\". Измените выбранные значения.")}));
    EXPECT_EQ(dump(QStringLiteral("days")), before);

    // The same name in another plan-menu, and a renamed day keeping its own name, are fine.
    prompt.clear();
    EXPECT_TRUE(saveRow(entryPlanDays, other, {{QStringLiteral("dname"), QStringLiteral("День 1")}}));
    books::RecordEditor edit(db(), prompt, entryPlanDays);
    ASSERT_TRUE(edit.open(books::EditMode::Edit, first, menu));
    EXPECT_TRUE(edit.save());
    EXPECT_TRUE(prompt.messages().isEmpty()) << prompt.messages().join('\n').toStdString();

    // A day with dishes cannot go; an empty one can.
    dish(first, porridge, breakfast);
    const qint64 empty = day(menu, QStringLiteral("День 2"));
    prompt.clear();
    prompt.answers = {Answer::Yes, Answer::Yes};
    const books::DeleteResult r = books::deleteRows(db(), prompt, entryPlanDays, {first, empty});
    EXPECT_EQ(r.deleted, 1);
    EXPECT_EQ(prompt.messages(),
              QStringList({QStringLiteral("question: Удалить выделенные строки? => Да"),
                           QStringLiteral("question: Невозможно удалить плановый день \"День 1\", так как для него "
                                          "составлено плановое меню.\n\nУдалить остальные выделенные строки? => Да")}));
    EXPECT_EQ(dayNames(menu), QStringList({QStringLiteral("День 1")}));
}

TEST_F(PlanMenus, PlanMenuDeletionRefusalsComeInTheirOrder)
{
    // Days, day menu and eater types: the days are named first.
    day(menu, QStringLiteral("День 1"));
    db().exec(QStringLiteral("INSERT INTO day_menu (ddate, id_type_menu) VALUES ('2026-12-01', ?1)"), {menu});
    // Day menu and eater types: the day menu.
    const qint64 withDayMenu = planMenu(QStringLiteral("Летнее"), 2, 4);
    eaterType(QStringLiteral("Л1"), withDayMenu, -1);
    db().exec(QStringLiteral("INSERT INTO day_menu (ddate, id_type_menu) VALUES ('2026-12-02', ?1)"), {withDayMenu});
    // Eater types only.
    const qint64 withTypes = planMenu(QStringLiteral("Зимнее"), 2, QVariant());
    eaterType(QStringLiteral("З1"), withTypes, 0);
    const qint64 free = planMenu(QStringLiteral("Пустое"), 1, 3);
    const QStringList kept = dump(QStringLiteral("days")) + dump(QStringLiteral("type_eating"));

    prompt.answers = {Answer::Yes, Answer::Yes, Answer::Yes, Answer::Yes};
    const books::DeleteResult r = books::deleteRows(db(), prompt, entryMenuTypes, {menu, withDayMenu, withTypes, free});
    EXPECT_EQ(r.deleted, 1);
    const QString more = QStringLiteral("\n\nУдалить остальные выделенные строки? => Да");
    EXPECT_EQ(prompt.events,
              QStringList({QStringLiteral("question: Удалить выделенные меню? => Да"),
                           QStringLiteral("status: Идет удаление меню..."),
                           QStringLiteral("question: Невозможно удалить тип меню \"Основное (осенне-зимний)\", так как "
                                          "для него введены плановые дни.") + more,
                           QStringLiteral("question: Невозможно удалить тип меню \"Летнее (летний)\", так как для него "
                                          "составлено меню на день.") + more,
                           QStringLiteral("question: Невозможно удалить тип меню \"Зимнее\", так как для него "
                                          "определен(ы) тип(ы) довольствующихся.") + more,
                           QStringLiteral("status: Удалено меню: 1")}));
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM type_menu WHERE id = ?1"), {free}), 0);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM type_menu")), 3);
    EXPECT_EQ(dump(QStringLiteral("days")) + dump(QStringLiteral("type_eating")), kept);

    // No to the continuation ends the deletion: the plan-menu after it stays.
    const qint64 another = planMenu(QStringLiteral("Ещё одно"), 2, 0);
    prompt.clear();
    prompt.answers = {Answer::Yes, Answer::No};
    EXPECT_EQ(books::deleteRows(db(), prompt, entryMenuTypes, {withTypes, another}).deleted, 0);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM type_menu WHERE id = ?1"), {another}), 1);

    // One row refused: the message alone.
    prompt.clear();
    prompt.answers = {Answer::Yes};
    books::deleteRows(db(), prompt, entryMenuTypes, {withTypes});
    EXPECT_EQ(prompt.messages(),
              QStringList({QStringLiteral("question: Удалить выделенное меню? => Да"),
                           QStringLiteral("critical: Невозможно удалить тип меню \"Зимнее\", так как для него "
                                          "определен(ы) тип(ы) довольствующихся.")}));
}

TEST_F(PlanMenus, LockRefusesEveryChangeOfTheDishes)
{
    const qint64 d1 = day(menu, QStringLiteral("День 1"));
    const qint64 d2 = day(menu, QStringLiteral("День 2"));
    const qint64 row = dish(d1, porridge, breakfast);
    dish(d1, soup, breakfast);
    lock();
    const QStringList before = dump(QStringLiteral("plan_menu")) + dump(QStringLiteral("days"));
    const QStringList refused({kLocked});

    EXPECT_EQ(checkDishAdd(db(), prompt, d1), DishAddCheck::Refused);
    EXPECT_EQ(prompt.messages(), refused);
    prompt.clear();
    EXPECT_FALSE(saveRow(entryPlanDishes, d1,
                         {{QStringLiteral("id_eating"), QString::number(lunch)},
                          {QStringLiteral("id_card_recipes"), QString::number(compote)}}));
    EXPECT_EQ(prompt.messages(), refused);
    prompt.clear();
    EXPECT_EQ(movePlanDish(db(), prompt, row, +1), row);
    EXPECT_EQ(prompt.messages(), refused);
    prompt.clear();
    EXPECT_FALSE(copyPlanDay(db(), prompt, d1));
    EXPECT_EQ(prompt.messages(), refused);
    prompt.clear();
    EXPECT_EQ(copyPlanMenu(db(), prompt, menu, planMenu(QStringLiteral("Копия"), 2, 0)), CopyResult::Refused);
    EXPECT_EQ(prompt.messages(), refused);
    prompt.clear();
    prompt.answers = {Answer::Yes};
    EXPECT_EQ(books::deleteRows(db(), prompt, entryPlanDishes, {row}).deleted, 0);
    EXPECT_EQ(prompt.messages(),
              QStringList({QStringLiteral("question: Удалить выделенное блюдо? => Да"), QString(kLocked).replace(
                                                                                        QStringLiteral("warning: "),
                                                                                        QStringLiteral("critical: "))}));
    // The document window's short form.
    prompt.clear();
    EXPECT_TRUE(refuseLockedPlanMenu(prompt, true));
    EXPECT_EQ(prompt.messages(),
              QStringList({QStringLiteral("warning: Извините, но план-меню запрещено редактировать.")}));
    EXPECT_EQ(dump(QStringLiteral("plan_menu")) + dump(QStringLiteral("days")), before);
    EXPECT_EQ(dishesOf(d2), QStringList());
}

TEST_F(PlanMenus, DishNeedsAChosenDayAndItsMealOrCategory)
{
    prompt.answers = {Answer::Yes};
    EXPECT_EQ(checkDishAdd(db(), prompt, std::nullopt), DishAddCheck::OpenPlanDays);
    EXPECT_EQ(prompt.messages(),
              QStringList({QStringLiteral(
                  "question: Список плановых дней пуст. Сначала заполните справочник \"Плановые дни\", после чего можно "
                  "будет создавать и/или редактировать план-меню. Открыть справочник плановых дней? => Да")}));

    const qint64 d1 = day(menu, QStringLiteral("День 1"));
    prompt.clear();
    EXPECT_EQ(checkDishAdd(db(), prompt, std::nullopt), DishAddCheck::Refused);
    EXPECT_EQ(prompt.messages(), QStringList({QStringLiteral(
                                     "warning: Сначала выберите плановый день, для которого необходимо добавить блюдо.")}));
    prompt.clear();
    EXPECT_EQ(checkDishAdd(db(), prompt, d1), DishAddCheck::Allowed);
    EXPECT_TRUE(prompt.messages().isEmpty());

    // By meals the meal must be chosen; the day comes from the chosen day.
    EXPECT_FALSE(saveRow(entryPlanDishes, d1, {{QStringLiteral("id_card_recipes"), QString::number(soup)}}));
    EXPECT_EQ(prompt.messages(),
              QStringList({QStringLiteral("warning: Необходимо обязательно выбрать строку в списке \"Прием пищи\".")}));
    EXPECT_TRUE(saveRow(entryPlanDishes, d1,
                        {{QStringLiteral("id_card_recipes"), QString::number(soup)},
                         {QStringLiteral("id_eating"), QString::number(lunch)}}));
    EXPECT_EQ(dishesOf(d1), QStringList({QStringLiteral("Суп овощной/%1/").arg(lunch)}));

    // By categories the category.
    db().exec(QStringLiteral("UPDATE type_menu SET status = 1 WHERE id = ?1"), {menu});
    prompt.clear();
    EXPECT_FALSE(saveRow(entryPlanDishes, d1, {{QStringLiteral("id_card_recipes"), QString::number(soup)}}));
    EXPECT_EQ(prompt.messages(), QStringList({QStringLiteral(
                                     "warning: Необходимо обязательно выбрать строку в списке \"Категория блюд\".")}));
}

TEST_F(PlanMenus, DayOffersOnlyCardsWithAYieldForItsPlanMenu)
{
    const qint64 d1 = day(menu, QStringLiteral("День 1"));
    auto names = [](const std::vector<books::ListItem>& items) {
        QStringList out;
        for (const books::ListItem& it : items)
            out << it.text.trimmed();
        return out;
    };
    // Плов has no yield for an eater type of this plan-menu.
    EXPECT_EQ(names(planMenuCards(db(), d1, std::nullopt)),
              QStringList({QStringLiteral("Каша манная"), QStringLiteral("Компот"), QStringLiteral("Суп овощной")}));
    EXPECT_EQ(names(planMenuCards(db(), d1, soups)), QStringList({QStringLiteral("Суп овощной")}));

    // By categories: only the chosen category, nothing before one is chosen.
    db().exec(QStringLiteral("UPDATE type_menu SET status = 1 WHERE id = ?1"), {menu});
    EXPECT_EQ(names(planMenuCards(db(), d1, std::nullopt)), QStringList());
    EXPECT_EQ(names(planMenuCards(db(), d1, porridges)), QStringList({QStringLiteral("Каша манная")}));

    // The editor's card list follows the day and the category it shows.
    books::RecordEditor editor(db(), prompt, entryPlanDishes);
    ASSERT_TRUE(editor.open(books::EditMode::Add, {}, d1));
    const int cardField = editor.fieldIndex(QStringLiteral("id_card_recipes"));
    EXPECT_TRUE(names(editor.items(cardField)).isEmpty());
    editor.setText(QStringLiteral("id_type_meal"), QString::number(drinks));
    EXPECT_EQ(names(editor.items(cardField)), QStringList({QStringLiteral("Компот")}));

    // A plan-menu without eater types offers no card.
    const qint64 bare = planMenu(QStringLiteral("Пустое"), 2, 0);
    EXPECT_TRUE(names(planMenuCards(db(), day(bare, QStringLiteral("День 1")), std::nullopt)).isEmpty());
}

TEST_F(PlanMenus, CopyKeepsASameNamedDayOfTheTargetUnchanged)
{
    const qint64 s1 = day(menu, QStringLiteral("День 1"));
    const qint64 s2 = day(menu, QStringLiteral("День 2"));
    dish(s1, porridge, breakfast, porridges);
    dish(s1, compote, breakfast, drinks);
    dish(s2, soup, lunch, soups);
    const qint64 target = planMenu(QStringLiteral("Новое"), 1, 0);
    const qint64 t1 = day(target, QStringLiteral("день 1"));
    dish(t1, stray, lunch);
    const QStringList t1Before = dishesOf(t1);

    prompt.answers = {Answer::No};
    EXPECT_EQ(copyPlanMenu(db(), prompt, menu, target), CopyResult::Copied);
    EXPECT_EQ(prompt.messages(), QStringList({closing(QStringLiteral("Копирование выполнено.")) + QStringLiteral("Нет")}));
    // The target's own day stays as it was; the missing day came with its dishes; the mode too.
    EXPECT_EQ(dayNames(target), QStringList({QStringLiteral("день 1"), QStringLiteral("День 2")}));
    EXPECT_EQ(dishesOf(t1), t1Before);
    const qint64 t2 = count(QStringLiteral("SELECT id FROM days WHERE id_type_menu = ?1 AND dname = 'День 2'"), {target});
    EXPECT_EQ(dishesOf(t2), QStringList({QStringLiteral("Суп овощной/%1/%2").arg(lunch).arg(soups)}));
    EXPECT_EQ(count(QStringLiteral("SELECT status FROM type_menu WHERE id = ?1"), {target}), 2);
    // The source is as it was.
    EXPECT_EQ(dayNames(menu), QStringList({QStringLiteral("День 1"), QStringLiteral("День 2")}));

    // The list's command offers the other plan-menus by title; Yes asks for the eater-types book.
    const qint64 third = planMenu(QStringLiteral("Третье"), 2, 0);
    prompt.clear();
    prompt.choices = {std::nullopt};
    EXPECT_EQ(copyPlanMenuToChosen(db(), prompt, menu), CopyResult::Refused);
    EXPECT_EQ(prompt.messages(),
              QStringList({QStringLiteral("choose: Копирование плана-меню => "),
                           QStringLiteral("warning: Не был выбран план-меню. Копирование невозможно.")}));
    prompt.clear();
    prompt.choices = {1};  // "Новое", "Третье"
    prompt.answers = {Answer::Yes};
    EXPECT_EQ(copyPlanMenuToChosen(db(), prompt, menu), CopyResult::OpenEaterTypes);
    EXPECT_EQ(prompt.messages().value(0), QStringLiteral("choose: Копирование плана-меню => Третье"));
    EXPECT_EQ(dayNames(third), QStringList({QStringLiteral("День 1"), QStringLiteral("День 2")}));

    // A source without days: the message, nothing changed (the mode neither).
    const qint64 empty = planMenu(QStringLiteral("Пустое"), 1, 0);
    const QStringList before = dump(QStringLiteral("type_menu")) + dump(QStringLiteral("days")) +
                               dump(QStringLiteral("plan_menu"));
    prompt.clear();
    EXPECT_EQ(copyPlanMenu(db(), prompt, empty, target), CopyResult::Refused);
    EXPECT_EQ(prompt.messages(),
              QStringList({QStringLiteral(
                  "warning: У выбранного плана-меню не заполнены плановые дни. Копирование не возможно.")}));
    EXPECT_EQ(dump(QStringLiteral("type_menu")) + dump(QStringLiteral("days")) + dump(QStringLiteral("plan_menu")),
              before);
}

TEST_F(PlanMenus, DaysOfAnotherPlanMenuAreAddedWithTheirDishes)
{
    const qint64 s1 = day(menu, QStringLiteral("День 1"));
    dish(s1, porridge, breakfast);
    dish(s1, soup, lunch);
    const qint64 target = planMenu(QStringLiteral("Новое"), 2, 0);
    day(target, QStringLiteral("День 1"));
    const qint64 empty = planMenu(QStringLiteral("Ёмкое"), 2, 0);

    // Offered: the other plan-menus by title; none chosen.
    prompt.choices = {std::nullopt};
    EXPECT_EQ(appendPlanMenuDays(db(), prompt, target), CopyResult::Refused);
    EXPECT_EQ(prompt.messages(),
              QStringList({QStringLiteral("choose: Выбор плана-меню => "),
                           QStringLiteral("warning: Не был выбран план-меню. Заполнение плана-меню невозможно.")}));

    prompt.clear();
    prompt.choices = {0};  // "Ёмкое" sorts with "Е", before "Основное"
    EXPECT_EQ(appendPlanMenuDays(db(), prompt, target), CopyResult::Refused);
    EXPECT_EQ(prompt.messages(),
              QStringList({QStringLiteral("choose: Выбор плана-меню => Ёмкое"),
                           QStringLiteral("warning: У выбранного плана-меню не заполнены плановые дни. Копирование "
                                          "не возможно.")}));
    EXPECT_EQ(dayNames(empty), QStringList());

    prompt.clear();
    prompt.choices = {1};
    prompt.answers = {Answer::No};
    EXPECT_EQ(appendPlanMenuDays(db(), prompt, target), CopyResult::Copied);
    EXPECT_EQ(prompt.messages(),
              QStringList({QStringLiteral("choose: Выбор плана-меню => Основное (осенне-зимний)"),
                           closing(QStringLiteral("Добавление (копирование) выполнено.")) + QStringLiteral("Нет")}));
    // Every source day is added as a new day, whatever the target has.
    EXPECT_EQ(dayNames(target), QStringList({QStringLiteral("День 1"), QStringLiteral("День 1")}));
    const qint64 added = count(QStringLiteral("SELECT MAX(id) FROM days WHERE id_type_menu = ?1"), {target});
    EXPECT_EQ(dishesOf(added), dishesOf(s1));
}

TEST_F(PlanMenus, OneDayIsAppendedToAChosenDay)
{
    const qint64 s1 = day(menu, QStringLiteral("День 1"));
    const qint64 s2 = day(menu, QStringLiteral("День 2"));
    dish(s1, porridge, breakfast);
    dish(s1, compote, lunch);
    dish(s2, soup, lunch);
    const qint64 bare = planMenu(QStringLiteral("Без дней"), 2, 0);
    Q_UNUSED(bare);

    EXPECT_FALSE(copyPlanDay(db(), prompt, day(menu, QStringLiteral("День 3"))));
    EXPECT_EQ(prompt.messages(),
              QStringList({QStringLiteral("warning: На выбранный день нет данных. Копирование невозможно.")}));

    // Plan-menus by title: "Без дней", "Основное".
    prompt.clear();
    prompt.choices = {std::nullopt};
    EXPECT_FALSE(copyPlanDay(db(), prompt, s1));
    EXPECT_EQ(prompt.messages(),
              QStringList({QStringLiteral("choose: Выберите план-меню куда копировать => "),
                           QStringLiteral("warning: Не был выбран план-меню. Копирование невозможно.")}));
    prompt.clear();
    prompt.choices = {0};
    EXPECT_FALSE(copyPlanDay(db(), prompt, s1));
    EXPECT_EQ(prompt.messages(),
              QStringList({QStringLiteral("choose: Выберите план-меню куда копировать => Без дней"),
                           QStringLiteral("warning: Не заполнен справочник \"Плановые дни\". Выбор планового дня "
                                          "невозможен.")}));
    prompt.clear();
    prompt.choices = {1, std::nullopt};
    EXPECT_FALSE(copyPlanDay(db(), prompt, s1));
    EXPECT_EQ(prompt.messages().last(),
              QStringLiteral("warning: Не был выбран плановый день. Копирование невозможно."));

    const QStringList s1Before = dishesOf(s1);
    prompt.clear();
    prompt.choices = {1, 1};
    EXPECT_TRUE(copyPlanDay(db(), prompt, s1));
    EXPECT_EQ(prompt.messages(),
              QStringList({QStringLiteral("choose: Выберите план-меню куда копировать => Основное (осенне-зимний)"),
                           QStringLiteral("choose: Выберите, в какой день копировать => День 2")}));
    EXPECT_EQ(dishesOf(s2), QStringList({QStringLiteral("Суп овощной/%1/").arg(lunch)}) + s1Before);
    EXPECT_EQ(dishesOf(s1), s1Before);
}

TEST_F(PlanMenus, DishMovesWithinItsMealOnly)
{
    const qint64 d1 = day(menu, QStringLiteral("День 1"));
    // Inserted out of meal order: the list groups them by meal, then by key.
    const qint64 r1 = dish(d1, soup, lunch);
    const qint64 r2 = dish(d1, porridge, breakfast);
    const qint64 r3 = dish(d1, compote, lunch);
    const qint64 r4 = dish(d1, stray, breakfast);
    auto order = [&] {
        QStringList out;
        for (const PlanDish& d : planDishes(db(), d1))
            out << d.groupName + QLatin1Char(':') + d.card;
        return out;
    };
    EXPECT_EQ(order(), QStringList({QStringLiteral("Завтрак:Каша манная"), QStringLiteral("Завтрак:Плов"),
                                    QStringLiteral("Обед:Суп овощной"), QStringLiteral("Обед:Компот")}));

    EXPECT_EQ(movePlanDish(db(), prompt, r3, -1), r1);  // the compote now sits in the soup's row
    EXPECT_EQ(order(), QStringList({QStringLiteral("Завтрак:Каша манная"), QStringLiteral("Завтрак:Плов"),
                                    QStringLiteral("Обед:Компот"), QStringLiteral("Обед:Суп овощной")}));
    // The first dish of lunch does not climb into breakfast; the last of breakfast does not fall.
    const QStringList before = dump(QStringLiteral("plan_menu"));
    EXPECT_EQ(movePlanDish(db(), prompt, r1, -1), r1);
    EXPECT_EQ(movePlanDish(db(), prompt, r4, +1), r4);
    EXPECT_EQ(movePlanDish(db(), prompt, r3, +1), r3);
    EXPECT_EQ(dump(QStringLiteral("plan_menu")), before);
    EXPECT_EQ(movePlanDish(db(), prompt, r2, +1), r4);
    EXPECT_EQ(order(), QStringList({QStringLiteral("Завтрак:Плов"), QStringLiteral("Завтрак:Каша манная"),
                                    QStringLiteral("Обед:Компот"), QStringLiteral("Обед:Суп овощной")}));
    EXPECT_TRUE(prompt.messages().isEmpty());

    // By categories the category is the group.
    db().exec(QStringLiteral("UPDATE type_menu SET status = 1 WHERE id = ?1"), {menu});
    db().exec(QStringLiteral("UPDATE plan_menu SET id_type_meal = ?1"), {porridges});
    EXPECT_EQ(movePlanDish(db(), prompt, r2, -1), r1);  // all four in one category now
}

TEST_F(PlanMenus, SummaryPerEaterTypeWithNormsAndTheAverageDay)
{
    const qint64 vitC = insert(QStringLiteral("INSERT INTO vitamin (vname, shname, ispCard) VALUES ('Витамин C', 'C', -1)"));
    const qint64 vitB1 = insert(QStringLiteral("INSERT INTO vitamin (vname, shname, ispCard) VALUES ('Тиамин', 'B1', 0)"));
    db().exec(QStringLiteral("INSERT INTO CARD_VITAMIN (id_vitamin, id_card_recipes, kol) VALUES (?1, ?2, 1.5), "
                             "(?1, ?3, 4), (?4, ?2, 9)"),
              {vitC, porridge, soup, vitB1});
    // Nursery norms: no carbohydrate norm.
    const qint64 norm = insert(QStringLiteral("INSERT INTO FNORMS (id_type_eating, nprotein, nfat, ncalories) "
                                              "VALUES (?1, 10, 9, 400)"),
                               {nursery});
    db().exec(QStringLiteral("INSERT INTO FNORMS_VIT (idf, id_vitamin, kol) VALUES (?1, ?2, 15)"), {norm, vitC});

    const qint64 d1 = day(menu, QStringLiteral("День 1"));
    const qint64 d2 = day(menu, QStringLiteral("День 2"));
    day(menu, QStringLiteral("День 3"));  // no dishes, still a day of the cycle
    dish(d1, porridge, breakfast);
    dish(d1, soup, lunch);
    dish(d1, compote, lunch);
    dish(d2, soup, lunch);

    auto texts = [](const EaterSummary& s) {
        QStringList out;
        for (const SummaryFigure& f : s.figures)
            out << f.caption + QLatin1Char('=') + figureText(f, 2);
        return out;
    };

    // Day 1, nursery: porridge 150 g, soup 180 g, compote 150 g.
    //   protein 4.5 + 3.6 = 8.1; fat 6 + 2.7 = 8.7; carbohydrates 30 + 14.4 + 18 = 62.4;
    //   energy 195 + 99 + 75 = 369; C 2.25 + 7.2 = 9.45; yield 480.
    // Garden: porridge 200 g, soup 250 g (no yield for the compote): protein 6 + 5 = 11,
    //   fat 8 + 3.75 = 11.75, carbohydrates 40 + 20 = 60, energy 260 + 137.5 = 397.5, C 3 + 10 = 13.
    // The staff type is not served: no summary.
    const PlanSummary day1 = planMenuSummary(db(), menu, d1, 2);
    ASSERT_EQ(day1.types.size(), 2u);
    EXPECT_EQ(day1.types[0].eaterType, QStringLiteral("Ясли"));
    EXPECT_EQ(texts(day1.types[0]),
              QStringList({QStringLiteral("Белки, г=8,10(10,00)"), QStringLiteral("Жиры, г=8,70(9,00)"),
                           QStringLiteral("Углеводы, г=62,40"), QStringLiteral("Калорийность, ккал=369,00(400,00)"),
                           QStringLiteral("C, мг=9,45(15,00)"), QStringLiteral("Выход, г=480,00")}));
    EXPECT_EQ(texts(day1.types[1]),
              QStringList({QStringLiteral("Белки, г=11,00"), QStringLiteral("Жиры, г=11,75"),
                           QStringLiteral("Углеводы, г=60,00"), QStringLiteral("Калорийность, ккал=397,50"),
                           QStringLiteral("C, мг=13,00"), QStringLiteral("Выход, г=450,00")}));

    // The whole cycle, nursery: day 1 plus day 2 (soup: 3.6, 2.7, 14.4, 99, C 7.2, 180 g),
    // divided by three days: 11.7 / 3 = 3.9; 11.4 / 3 = 3.8; 76.8 / 3 = 25.6; 468 / 3 = 156;
    // C 16.65 / 3 = 5.55; 660 / 3 = 220.
    const PlanSummary cycle = planMenuSummary(db(), menu, std::nullopt, 2);
    EXPECT_EQ(cycle.days, 3);
    EXPECT_EQ(texts(cycle.types[0]),
              QStringList({QStringLiteral("Белки, г=3,90(10,00)"), QStringLiteral("Жиры, г=3,80(9,00)"),
                           QStringLiteral("Углеводы, г=25,60"), QStringLiteral("Калорийность, ккал=156,00(400,00)"),
                           QStringLiteral("C, мг=5,55(15,00)"), QStringLiteral("Выход, г=220,00")}));
    // Garden energy: (397.5 + 137.5) / 3 = 178.333... shown to the display digits.
    EXPECT_EQ(figureText(cycle.types[1].figures[3], 2), QStringLiteral("178,33"));
    EXPECT_EQ(figureText(planMenuSummary(db(), menu, std::nullopt, 0).types[1].figures[3], 0),
              QStringLiteral("178"));
}

TEST_F(PlanMenus, SummaryGivesEachMealsYieldWithThePortionVolume)
{
    const qint64 d1 = day(menu, QStringLiteral("День 1"));
    const qint64 d2 = day(menu, QStringLiteral("День 2"));
    dish(d1, porridge, breakfast);
    dish(d1, soup, lunch);
    dish(d1, compote, lunch);
    dish(d2, soup, lunch);
    db().exec(QStringLiteral("INSERT INTO SOBBLUD (id_type_eating, id_eating, objemMin, objemMax) VALUES "
                             "(?1, ?2, 150, 200), (?1, ?3, 300, 0)"),
              {nursery, breakfast, lunch});
    auto texts = [](const EaterSummary& s) {
        QStringList out;
        for (const MealYield& m : s.meals)
            out << mealYieldCaption(m) + QLatin1Char('=') + mealYieldText(m, 2);
        return out;
    };

    // Day 1, nursery: porridge 150 g at breakfast; soup 180 g and compote 150 g at lunch. The
    // garden has no recommended volumes and no yield of the compote.
    const PlanSummary day1 = planMenuSummary(db(), menu, d1, 2);
    ASSERT_EQ(day1.types.size(), 2u);
    EXPECT_EQ(texts(day1.types[0]), QStringList({QStringLiteral("Выход (Завтрак), г=150,00 (150 - 200)"),
                                                 QStringLiteral("Выход (Обед), г=330,00 (300)")}));
    EXPECT_EQ(texts(day1.types[1]),
              QStringList({QStringLiteral("Выход (Завтрак), г=200,00"), QStringLiteral("Выход (Обед), г=250,00")}));
    // The cycle's average day: breakfast 150 / 2; lunch (330 + 180) / 2.
    EXPECT_EQ(texts(planMenuSummary(db(), menu, std::nullopt, 2).types[0]),
              QStringList({QStringLiteral("Выход (Завтрак), г=75,00 (150 - 200)"),
                           QStringLiteral("Выход (Обед), г=255,00 (300)")}));
    // A plan-menu by dish categories has no meals to show.
    db().exec(QStringLiteral("UPDATE type_menu SET status = 1 WHERE id = ?1"), {menu});
    EXPECT_TRUE(planMenuSummary(db(), menu, d1, 2).types[0].meals.empty());
}

TEST_F(PlanMenus, DishListGroupsByTheModeOfThePlanMenu)
{
    const qint64 d1 = day(menu, QStringLiteral("День 1"));
    dish(d1, soup, lunch, soups);
    dish(d1, porridge, breakfast, porridges);
    books::ListFilter filter;
    filter.parent = d1;
    books::BookList list = books::loadList(db(), entryPlanDishes, filter);
    EXPECT_EQ(list.captions.value(0), QStringLiteral("Прием пищи"));
    ASSERT_EQ(list.rowCount(), 2);
    EXPECT_EQ(list.rows[0].value(0), QStringLiteral("Завтрак"));
    EXPECT_EQ(list.rows[0].value(2), QStringLiteral("Каша манная"));

    db().exec(QStringLiteral("UPDATE type_menu SET status = 1 WHERE id = ?1"), {menu});
    list = books::loadList(db(), entryPlanDishes, filter);
    EXPECT_EQ(list.captions.value(0), QStringLiteral("Категория блюд"));
    EXPECT_EQ(list.rows[0].value(0), QStringLiteral("Каши"));
    EXPECT_EQ(list.rows[1].value(0), QStringLiteral("Супы"));

    // The days of the chosen plan-menu fill the window's day filter.
    std::vector<QString> days;
    for (const books::ListItem& it : books::parentItems(db(), entryPlanDishes, QVariant(menu)))
        days.push_back(it.text);
    EXPECT_EQ(days, std::vector<QString>({QStringLiteral("День 1")}));
}

} // namespace
