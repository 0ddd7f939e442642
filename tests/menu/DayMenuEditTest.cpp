// Changing a day menu's rows: counts and their copies in both modes, moving a dish, deleting
// the selected rows or all of them, copying rows to another menu; every question and message
// in order, and a No that leaves the data as it was.

#include "DayMenuFixture.h"

using namespace rat;
using namespace rat::menu;

namespace {

// A menu by categories: Суп and Борщ in Супы, Чай in Напитки; eater types Я and С.
class DayMenuEdit : public test::DayMenuFixture {
protected:
    void SetUp() override
    {
        DayMenuFixture::SetUp();
        pm = planMenu(QStringLiteral("Категорийное"), 1);
        ya = eaterType(pm, QStringLiteral("Я"));
        sa = eaterType(pm, QStringLiteral("С"));
        soups = category(QStringLiteral("Супы"));
        drinks = category(QStringLiteral("Напитки"));
        soup = card(QStringLiteral("Суп"), soups);
        borscht = card(QStringLiteral("Борщ"), soups);
        tea = card(QStringLiteral("Чай"), drinks);
        for (qint64 c : {soup, borscht, tea})
            for (qint64 t : {ya, sa})
                yield(c, t, 200);
        menu = dayMenu(pm, QStringLiteral("7"));
        p1 = point(menu, soup, soups);
        p2 = point(menu, borscht, soups);
        p3 = point(menu, tea, drinks);
        for (qint64 p : {p1, p2, p3}) {
            eaters(p, ya, 0);
            eaters(p, sa, 0);
        }
    }

    qint64 quantityRow(qint64 pointId, qint64 type)
    {
        return count(QStringLiteral("SELECT id FROM quantity_eating WHERE id_day_menu_point = ?1 AND id_type_eating = ?2"),
                     {pointId, type});
    }

    const QString kCategoriesQuestion = QStringLiteral(
        "question: Скопировать введенное Вами количество на весь день - нажмите \"Да\", на всю категорию блюд - нажмите "
        "\"Нет\", не копировать - нажмите \"Отмена\"? => ");
    qint64 pm = 0, ya = 0, sa = 0, soups = 0, drinks = 0, soup = 0, borscht = 0, tea = 0, menu = 0;
    qint64 p1 = 0, p2 = 0, p3 = 0;
};

TEST_F(DayMenuEdit, CountCopiedWithNoInAMenuByCategoriesReachesOnlyThatCategory)
{
    prompt.answers = {Answer::No};
    setEaterCount(db(), prompt, quantityRow(p1, ya), 25);
    EXPECT_EQ(prompt.events, QStringList({kCategoriesQuestion + QStringLiteral("Нет")}));
    EXPECT_EQ(counts(menu), QStringList({QStringLiteral("Суп:Я=25"), QStringLiteral("Суп:С=0"),
                                         QStringLiteral("Борщ:Я=25"), QStringLiteral("Борщ:С=0"),
                                         QStringLiteral("Чай:Я=0"), QStringLiteral("Чай:С=0")}));

    // Yes: the whole day for the eater type.
    prompt.answers = {Answer::Yes};
    setEaterCount(db(), prompt, quantityRow(p3, sa), 7);
    EXPECT_EQ(counts(menu), QStringList({QStringLiteral("Суп:Я=25"), QStringLiteral("Суп:С=7"),
                                         QStringLiteral("Борщ:Я=25"), QStringLiteral("Борщ:С=7"),
                                         QStringLiteral("Чай:Я=0"), QStringLiteral("Чай:С=7")}));

    // Cancel: the row alone.
    prompt.answers = {Answer::Cancel};
    setEaterCount(db(), prompt, quantityRow(p2, sa), 3);
    EXPECT_EQ(counts(menu), QStringList({QStringLiteral("Суп:Я=25"), QStringLiteral("Суп:С=7"),
                                         QStringLiteral("Борщ:Я=25"), QStringLiteral("Борщ:С=3"),
                                         QStringLiteral("Чай:Я=0"), QStringLiteral("Чай:С=7")}));
}

TEST_F(DayMenuEdit, CountQuestionByMealsNamesTheMeal)
{
    db().exec(QStringLiteral("UPDATE type_menu SET status = 2 WHERE id = ?1"), {pm});
    prompt.answers = {Answer::No};
    setEaterCount(db(), prompt, quantityRow(p3, ya), 4);
    EXPECT_EQ(prompt.events,
              QStringList({QStringLiteral("question: Скопировать введенное Вами количество на весь день - нажмите "
                                          "\"Да\", на весь прием пищи - нажмите \"Нет\", не копировать - нажмите "
                                          "\"Отмена\"? => Нет")}));
    EXPECT_EQ(counts(menu).filter(QStringLiteral("=4")), QStringList({QStringLiteral("Чай:Я=4")}));
}

// Two eater types on allowance: a dish is two grid rows. The dishes exchange places; the counts
// stay where they were in the grid.
TEST_F(DayMenuEdit, MovingADishExchangesItWithItsNeighbourAndLeavesTheCounts)
{
    db().exec(QStringLiteral("UPDATE quantity_eating SET quantity = id_day_menu_point * 10 + id_type_eating - ?1"), {ya});
    const QStringList before = counts(menu);
    const QStringList untouched = state();

    // Up from the first dish and down from the last change nothing.
    EXPECT_EQ(moveDayMenuRow(db(), prompt, menu, 1, -1, QDate()), 1);
    EXPECT_EQ(moveDayMenuRow(db(), prompt, menu, 4, +1, QDate()), 4);
    EXPECT_EQ(state(), untouched);
    EXPECT_TRUE(prompt.events.isEmpty());

    // Row 3 (Борщ, С) up by one dish: row 1.
    EXPECT_EQ(moveDayMenuRow(db(), prompt, menu, 3, -1, QDate()), 1);
    const QStringList after = counts(menu);
    EXPECT_EQ(after[0], QStringLiteral("Борщ:Я=%1").arg(p1 * 10));
    EXPECT_EQ(after[1], QStringLiteral("Борщ:С=%1").arg(p1 * 10 + 1));
    EXPECT_EQ(after[2], QStringLiteral("Суп:Я=%1").arg(p2 * 10));
    EXPECT_EQ(after[3], QStringLiteral("Суп:С=%1").arg(p2 * 10 + 1));
    EXPECT_EQ(after.mid(4), before.mid(4));

    // Down across categories: the dish and its key go together.
    EXPECT_EQ(moveDayMenuRow(db(), prompt, menu, 2, +1, QDate()), 4);
    EXPECT_EQ(count(QStringLiteral("SELECT id_card_recipe FROM day_menu_point WHERE id = ?1"), {p3}), soup);
    EXPECT_EQ(count(QStringLiteral("SELECT id_eating FROM day_menu_point WHERE id = ?1"), {p3}), soups);
    EXPECT_EQ(count(QStringLiteral("SELECT id_card_recipe FROM day_menu_point WHERE id = ?1"), {p2}), tea);
    EXPECT_EQ(count(QStringLiteral("SELECT id_eating FROM day_menu_point WHERE id = ?1"), {p2}), drinks);
    EXPECT_TRUE(prompt.events.isEmpty());
}

TEST_F(DayMenuEdit, MovingStepsOverTheDishsOwnRows)
{
    // Борщ has no yield for С: one row. Rows: Суп Я, Суп С, Борщ Я, Чай Я, Чай С.
    db().exec(QStringLiteral("DELETE FROM output WHERE id_card_recipe = ?1 AND id_type_eating = ?2"), {borscht, sa});
    auto dishes = [&] {
        QStringList out;
        for (const DayMenuRow& r : dayMenuRows(db(), menu, std::nullopt, QDate(2026, 12, 5)).rows)
            out << r.dish.section(QLatin1Char(' '), 0, 0) + QLatin1Char(':') + r.eaterType;
        return out;
    };
    ASSERT_EQ(dishes(), QStringList({QStringLiteral("Суп:Я"), QStringLiteral("Суп:С"), QStringLiteral("Борщ:Я"),
                                     QStringLiteral("Чай:Я"), QStringLiteral("Чай:С")}));
    // Чай (its second row) up over Борщ alone, not into Суп.
    EXPECT_EQ(moveDayMenuRow(db(), prompt, menu, 4, -1, QDate()), 3);
    EXPECT_EQ(dishes(), QStringList({QStringLiteral("Суп:Я"), QStringLiteral("Суп:С"), QStringLiteral("Чай:Я"),
                                     QStringLiteral("Чай:С"), QStringLiteral("Борщ:Я")}));
    // Борщ, now last, up over Чай; then up again over Суп.
    EXPECT_EQ(moveDayMenuRow(db(), prompt, menu, 4, -1, QDate()), 2);
    EXPECT_EQ(moveDayMenuRow(db(), prompt, menu, 2, -1, QDate()), 0);
    EXPECT_EQ(dishes(), QStringList({QStringLiteral("Борщ:Я"), QStringLiteral("Суп:Я"), QStringLiteral("Суп:С"),
                                     QStringLiteral("Чай:Я"), QStringLiteral("Чай:С")}));
    // And down again past Суп's two rows.
    EXPECT_EQ(moveDayMenuRow(db(), prompt, menu, 0, +1, QDate()), 2);
    EXPECT_TRUE(prompt.events.isEmpty());
}

TEST_F(DayMenuEdit, MovingWithoutASelectedRowOnlyTells)
{
    const QStringList untouched = state();
    EXPECT_EQ(moveDayMenuRow(db(), prompt, menu, -1, +1, QDate()), -1);
    EXPECT_EQ(prompt.events, QStringList({QStringLiteral(
                                 "info: Не выделена строка. Сначала выделите строку, которую нужно переместить.")}));
    EXPECT_EQ(state(), untouched);
}

TEST_F(DayMenuEdit, DeletingSelectedRowsAsksTellsAndTakesTheCounts)
{
    const QStringList untouched = state();
    prompt.answers = {Answer::No};
    EXPECT_EQ(deleteSelectedRows(db(), prompt, {p1, p1}), 0);  // two grid rows of one dish
    EXPECT_EQ(prompt.events, QStringList({QStringLiteral("question: Удалить выделенную строку? => Нет")}));
    EXPECT_EQ(state(), untouched);

    prompt.clear();
    prompt.answers = {Answer::Yes};
    EXPECT_EQ(deleteSelectedRows(db(), prompt, {p1, p3}), 2);
    EXPECT_EQ(prompt.events, QStringList({QStringLiteral("question: Удалить выделенные строки? => Да"),
                                          QStringLiteral("status: Идет удаление строк..."),
                                          QStringLiteral("info: Удалено строк: 2")}));
    EXPECT_EQ(counts(menu), QStringList({QStringLiteral("Борщ:Я=0"), QStringLiteral("Борщ:С=0")}));
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM quantity_eating")), 2);

    // Deleting the only dish left: the label reads zero with the currency.
    prompt.clear();
    prompt.answers = {Answer::Yes};
    db().exec(QStringLiteral("UPDATE day_menu SET sum = 5 WHERE id = ?1"), {menu});
    EXPECT_EQ(deleteSelectedRows(db(), prompt, {p2}), 1);
    EXPECT_EQ(dayMenuRows(db(), menu, std::nullopt, QDate(2026, 12, 5)).totalLabel, QStringLiteral("Итого: 0 руб."));
    EXPECT_DOUBLE_EQ(readDayMenu(db(), menu)->sum, 0);
}

TEST_F(DayMenuEdit, DeletingAllRows)
{
    const QStringList untouched = state();
    prompt.answers = {Answer::No};
    EXPECT_FALSE(deleteAllRows(db(), prompt, menu));
    EXPECT_EQ(state(), untouched);
    prompt.answers = {Answer::Yes};
    EXPECT_TRUE(deleteAllRows(db(), prompt, menu));
    EXPECT_EQ(prompt.events, QStringList({QStringLiteral("question: Удалить все строки? => Нет"),
                                          QStringLiteral("question: Удалить все строки? => Да")}));
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM day_menu_point")), 0);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM quantity_eating")), 0);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM day_menu")), 1);
}

TEST_F(DayMenuEdit, CopyingRowsBringsEveryPointWithItsCounts)
{
    db().exec(QStringLiteral("UPDATE quantity_eating SET quantity = id"));
    const QStringList source = counts(menu);
    const qint64 target = dayMenu(pm, QStringLiteral("8"));
    copyDayMenuRows(db(), menu, target);
    EXPECT_EQ(counts(target), source);
    EXPECT_EQ(counts(menu), source);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM day_menu_point WHERE id_day_menu = ?1 AND id_eating = ?2"),
                    {target, soups}),
              2);
}

} // namespace
