// Filling a menu-requirement from a day menu: rounding by each product's rule, nested dishes at
// any depth, comment and variant lines left out, one line per dish, the seasonal gross weight,
// the remnant before the day's own issue; storing it as not approved.

#include "stock/StockFixture.h"

#include "stock/MenuRequirement.h"
#include "stock/StockModule.h"

namespace rat::test {
namespace {

class MenuRequirementFill : public StockFixture {
protected:
    void SetUp() override
    {
        StockFixture::SetUp();
        pm = planMenu(QStringLiteral("Основное"), 2);
        garden = eaterType(pm, QStringLiteral("Сад"));
        lunch = meal(QStringLiteral("Обед"));
        dm = dayMenu(pm, QStringLiteral("1"));
    }
    // A dish with its yield for the eater type, served to `n` eaters at lunch.
    qint64 dish(const QString& name, double yieldGrams, qint64 n)
    {
        const qint64 c = card(name, 0, false);
        yield(c, garden, yieldGrams);
        eaters(point(dm, c, lunch), garden, n);
        return c;
    }
    qint64 fill()
    {
        const auto idm1 = stock::fillFromDayMenu(db(), prompt, dm);
        EXPECT_TRUE(idm1.has_value());
        return idm1.value_or(0);
    }

    qint64 pm = 0, garden = 0, lunch = 0, dm = 0;
};

TEST_F(MenuRequirementFill, RoundingByTheProductsRule)
{
    const qint64 tea = stockProduct(QStringLiteral("Чай"), gram, 1);       // whole grams
    const qint64 vanilla = stockProduct(QStringLiteral("Ванилин"), kg, 3); // two places
    const qint64 salt = stockProduct(QStringLiteral("Соль"), kg, 0);       // three places
    const qint64 c = dish(QStringLiteral("Напиток"), 100, 1);
    recipeLine(c, tea, 0.3, 0.3);
    recipeLine(c, vanilla, 0.4, 0.4);
    const qint64 s = dish(QStringLiteral("Каша"), 100, 10);
    recipeLine(s, salt, 1.234567, 1.2);
    const qint64 idm1 = fill();
    EXPECT_EQ(prompt.events, QStringList({QStringLiteral("status: Идет заполнение меню-требования..."),
                                          QStringLiteral("status: Готово")}));
    // 0.3 g rounds up to 1; 0.4 g for one eater is 0.0004 kg, shown with four places; 1.234567 g
    // is 1.235 at three places and 12.34567 g for ten eaters 0.012 kg.
    EXPECT_EQ(workingLines(idm1), QStringList({QStringLiteral("Чай:Сад:Напиток=1/1 ост 0"),
                                               QStringLiteral("Ванилин:Сад:Напиток=0.4/0.0004 ост 0"),
                                               QStringLiteral("Соль:Сад:Каша=1.235/0.012 ост 0")}));
}

TEST_F(MenuRequirementFill, NestedDishesToAnyDepthWithoutCommentsAndVariants)
{
    const qint64 p1 = stockProduct(QStringLiteral("Мясо"), gram), p2 = stockProduct(QStringLiteral("Лук"), gram),
                 p3 = stockProduct(QStringLiteral("Мука"), gram), p4 = stockProduct(QStringLiteral("Перец"), gram);
    const qint64 inner = card(QStringLiteral("Загуститель"), 0, false);
    recipeLine(inner, p3, 30, 25);
    const qint64 middle = card(QStringLiteral("Соус"), 0, false);
    recipeLine(middle, p2, 20, 18);
    recipeLine(middle, inner, 45, 40, true);
    const qint64 top = dish(QStringLiteral("Гуляш"), 200, 2);
    recipeLine(top, p1, 10, 8);
    recipeLine(top, middle, 55, 50, true);
    recipeLine(top, p4, 5, 5, false, true);         // a comment
    recipeLine(top, p4, 5, 5, false, false, true);  // a variant
    const qint64 idm1 = fill();
    // Мясо 10 × 200 / 100 = 20; Соус 50 × 2 = 100 g: Лук 20; Загуститель 40 g: Мука 12.
    EXPECT_EQ(workingLines(idm1), QStringList({QStringLiteral("Мясо:Сад:Гуляш=20/40 ост 0"),
                                               QStringLiteral("Лук:Сад:Гуляш=20/40 ост 0"),
                                               QStringLiteral("Мука:Сад:Гуляш=12/24 ост 0")}));
}

TEST_F(MenuRequirementFill, TwoDishesSharingAProductGiveTwoLines)
{
    const qint64 milk = stockProduct(QStringLiteral("Молоко"), kg, 4);
    recipeLine(dish(QStringLiteral("Каша"), 200, 10), milk, 50, 50);
    recipeLine(dish(QStringLiteral("Какао"), 180, 10), milk, 80, 80);
    const qint64 idm1 = fill();
    EXPECT_EQ(workingLines(idm1), QStringList({QStringLiteral("Молоко:Сад:Каша=100/1 ост 0"),
                                               QStringLiteral("Молоко:Сад:Какао=144/1.44 ост 0")}));
}

TEST_F(MenuRequirementFill, SeasonalGrossWeightWhenSwitchedOn)
{
    const qint64 potato = stockProduct(QStringLiteral("Картофель"), kg, 4);
    recipeLine(dish(QStringLiteral("Пюре"), 100, 10), potato, 60, 50);
    db().exec(QStringLiteral("INSERT INTO SEZON (id_PRODUCT, DAY_N, MES_N, DAY_O, MES_O, PROZ) VALUES "
                             "(?1, 1, 5, 31, 7, 10), (?1, 1, 8, 31, 11, 25)"),
              {potato});
    EXPECT_EQ(workingLines(fill()), QStringList({QStringLiteral("Картофель:Сад:Пюре=60/0.6 ост 0")}));
    db().exec(QStringLiteral("UPDATE INF SET Sezonnost = -1"));
    // December loses 25 % against the smallest 10 %: 60 × 90 / 75 = 72 g.
    EXPECT_EQ(workingLines(fill()), QStringList({QStringLiteral("Картофель:Сад:Пюре=72/0.72 ост 0")}));
}

TEST_F(MenuRequirementFill, RefillOfAnApprovedDayShowsTheStockBeforeItsOwnIssue)
{
    const qint64 rice = stockProduct(QStringLiteral("Рис"), kg, 4);
    recipeLine(dish(QStringLiteral("Плов"), 100, 10), rice, 100, 100);
    const qint64 l = lot(receipt(QStringLiteral("2026-11-01")), rice, 10, QStringLiteral("2027-01-01"));
    // This day's own issue (3 kg), another issue of the day (1 kg), and last year's day menu of the
    // same number with its approved issue (2 kg): only the first is left out.
    const qint64 own = expenseDoc(QStringLiteral("2026-12-05"));
    expenseLine(own, l, 3);
    expenseLine(expenseDoc(QStringLiteral("2026-12-05")), l, 1);
    storedRequirement(dm, true, own);
    const qint64 lastYear = dayMenu(pm, QStringLiteral("1"), QStringLiteral("2025-12-05"));
    const qint64 old = expenseDoc(QStringLiteral("2026-11-02"));
    expenseLine(old, l, 2);
    storedRequirement(lastYear, true, old);
    EXPECT_EQ(workingLines(fill()), QStringList({QStringLiteral("Рис:Сад:Плов=100/1 ост 7")}));
}

TEST_F(MenuRequirementFill, NoYieldNoEatersNoLines)
{
    const qint64 bread = stockProduct(QStringLiteral("Хлеб"), kg, 4);
    const qint64 c = card(QStringLiteral("Бутерброд"), 0, false);
    recipeLine(c, bread, 30, 30);
    eaters(point(dm, c, lunch), garden, 5);                       // no yield for the eater type
    recipeLine(dish(QStringLiteral("Тост"), 50, 0), bread, 30, 30);  // no eaters
    EXPECT_EQ(workingLines(fill()), QStringList());
}

TEST_F(MenuRequirementFill, StoredAsNotApprovedInOneGo)
{
    const qint64 milk = stockProduct(QStringLiteral("Молоко"), kg, 4);
    recipeLine(dish(QStringLiteral("Каша"), 200, 10), milk, 50, 50);
    db().exec(QStringLiteral("UPDATE day_menu SET [sum] = 123.5 WHERE id = ?1"), {dm});
    const qint64 expense = expenseDoc(QStringLiteral("2026-12-05"));
    const qint64 old = storedRequirement(dm, true, expense);
    const qint64 idm1 = stock::loadIntoWorkingCopy(db(), prompt, dm, old).value();
    const auto header = stock::readWorkingHeader(db(), idm1);
    ASSERT_TRUE(header);
    EXPECT_EQ(stock::menuRequirementCaption(*header), QStringLiteral(" № 1 от 05.12.2026"));
    stock::clearWorkingCopy(db(), idm1);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM MENUTR1")) + count(QStringLiteral("SELECT COUNT(*) FROM MENUTM1")), 0);

    // Storing an approved document again as not approved stops its issue counting.
    const qint64 again = stock::loadIntoWorkingCopy(db(), prompt, dm, old).value();
    EXPECT_EQ(stock::storeWorkingCopy(db(), again, old, 99.5), old);
    EXPECT_EQ(dump(QStringLiteral("MENUTR")).value(0).section(QLatin1Char('|'), 0, 6),
              QStringLiteral("%1|2026-12-05|0|%2|2026-12-05|1|99.5").arg(old).arg(expense));
    EXPECT_EQ(count(QStringLiteral("SELECT status FROM expence_docum WHERE id = ?1"), {expense}), 0);

    // The day menu's way: a new one filled and stored, the working copy gone.
    menu::setMenuRequirementGateway(stock::headlessGateway());
    prompt.answers = {Answer::Yes, Answer::Yes};
    EXPECT_EQ(menu::confirmDayMenu(db(), prompt, dm), menu::ConfirmResult::MenuRequirementOpened);
    menu::setMenuRequirementGateway({});
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM MENUTM WHERE ID_day_menu = ?1"), {dm}), 2);
    const qint64 made = count(QStringLiteral("SELECT MAX(IDM) FROM MENUTR"));
    EXPECT_EQ(count(QStringLiteral("SELECT status FROM MENUTR WHERE IDM = ?1"), {made}), 0);
    EXPECT_DOUBLE_EQ(db().scalar(QStringLiteral("SELECT stoim FROM MENUTR WHERE IDM = ?1"), {made}).toDouble(), 123.5);
    EXPECT_EQ(dump(QStringLiteral("MENUTR_POINT")).size(), 1);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM MENUTR_POINT1")), 0);
}

} // namespace
} // namespace rat::test
