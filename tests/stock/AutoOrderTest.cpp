// Automatic ordering on a ten-day plan-menu: the covered days wrapping over the cycle and the
// note of the first-day choice, the portion rounding, the need of two eater types with a nested
// dish against the stock of one warehouse, the order written (status, sum, costs, ZAKAZ), the
// refusals that write nothing, the set-ups reconciled and saved, and the start-up reminder.

#include "stock/StockFixture.h"

#include "stock/AutoOrder.h"
#include "stock/AutoOrderParameters.h"

namespace rat::test {
namespace {

class AutoOrder : public StockFixture {
protected:
    void SetUp() override
    {
        StockFixture::SetUp();
        db().execScript(QStringLiteral("DELETE FROM AVTZAK; DELETE FROM AVTZAK_POINT; DELETE FROM AVTZAK1; DELETE FROM ZAKAZ;"));
        plan = planMenu(QStringLiteral("Основное"), 2);
        for (int i = 1; i <= 10; ++i)
            days.push_back(day(plan, QStringLiteral("День %1").arg(i)));
        nursery = eaterType(plan, QStringLiteral("Ясли"));
        garden = eaterType(plan, QStringLiteral("Сад"));
        diet = eaterType(plan, QStringLiteral("Диета"), false);
        lunch = meal(QStringLiteral("Обед"));

        groats = stockProduct(QStringLiteral("Крупа"));
        milk = stockProduct(QStringLiteral("Молоко"));
        sugar = stockProduct(QStringLiteral("Сахар"), gram, 1);
        salt = stockProduct(QStringLiteral("Соль"), gram, 1);
        db().exec(QStringLiteral("UPDATE products SET plpris = 0.5 WHERE id = ?1"), {sugar});

        // Porridge: 60 g of groats per 100 g and a milk base nested at 50 g; the base is milk only.
        const qint64 base = insert(QStringLiteral("INSERT INTO card_recipes (cname) VALUES ('Молочная основа')"));
        recipeLine(base, milk, 100, 100);
        const qint64 porridge = insert(QStringLiteral("INSERT INTO card_recipes (cname) VALUES ('Каша')"));
        recipeLine(porridge, groats, 60, 50);
        recipeLine(porridge, base, 50, 50, true);
        recipeLine(porridge, salt, 99, 99, false, true);  // a comment line counts nothing
        yield(porridge, nursery, 150);
        yield(porridge, garden, 200);
        yield(porridge, diet, 100);
        // Tea: 2.3 g of sugar and 0.3 g of salt a portion of 100 g.
        const qint64 tea = insert(QStringLiteral("INSERT INTO card_recipes (cname) VALUES ('Чай')"));
        recipeLine(tea, sugar, 2.3, 2.3);
        recipeLine(tea, salt, 0.3, 0.3);
        yield(tea, nursery, 100);
        yield(tea, garden, 100);
        planRow(days[9], porridge, lunch);
        planRow(days[0], tea, lunch);
        planRow(days[5], tea, lunch);  // not covered
    }

    // A stored set-up of the plan-menu: nursery 10, garden 20 (and 50 of the type off allowance).
    void setUpOrdering(int dayCount = 2, qint64 warehouse = 1)
    {
        const qint64 a = insert(QStringLiteral("INSERT INTO AVTZAK (id_storge, id_type_menu, day) VALUES (?1, ?2, ?3)"),
                                {warehouse, plan, dayCount});
        for (const auto& [type, count] : std::vector<std::pair<qint64, int>>{{nursery, 10}, {garden, 20}, {diet, 50}})
            insert(QStringLiteral("INSERT INTO AVTZAK_POINT (IDAvt, id_type_eating, kol) VALUES (?1, ?2, ?3)"),
                   {a, type, count});
    }
    QStringList orderLines(qint64 order)
    {
        QStringList out;
        Statement st(db(), QStringLiteral("SELECT p.pname, o.id_ed_izmer, o.IDSS, o.cost, o.quantity1 FROM order_point o "
                                          "JOIN products p ON p.id = o.id_product WHERE o.id_orders = ?1 ORDER BY o.id"));
        st.bind(1, order);
        while (st.next())
            out << QStringLiteral("%1 ед%2 скл%3 %4 x %5")
                       .arg(st.toString(0))
                       .arg(st.toInt64(1))
                       .arg(st.toInt64(2))
                       .arg(plainNumber(st.toDouble(3)), plainNumber(st.toDouble(4)));
        return out;
    }
    QStringList zakaz()
    {
        QStringList out;
        Statement st(db(), QStringLiteral("SELECT d.dname, z.id_type_menu, z.id_orders FROM ZAKAZ z JOIN days d ON d.id = z.id_day "
                                          "ORDER BY z.IDZ"));
        while (st.next())
            out << QStringLiteral("%1:%2:%3").arg(st.toString(0)).arg(st.toInt64(1)).arg(st.toInt64(2));
        return out;
    }
    QStringList orderState()
    {
        return dump(QStringLiteral("orders")) + dump(QStringLiteral("order_point")) + dump(QStringLiteral("ZAKAZ"));
    }

    qint64 plan = 0, nursery = 0, garden = 0, diet = 0, lunch = 0;
    qint64 groats = 0, milk = 0, sugar = 0, salt = 0;
    std::vector<qint64> days;
};

TEST_F(AutoOrder, PortionGramsFollowTheProductRule)
{
    struct Case {
        double grams;
        int rule;
        double expected;
    };
    for (const Case& c : std::vector<Case>{{0.3, 1, 0.3},        // the zero check comes before the rounding up
                                           {2.3, 1, 3},
                                           {2, 1, 2},
                                           {0.04, 2, 0.04},
                                           {2.345, 2, 2.3},
                                           {0.00004, 3, 0.00004},
                                           {1.23456789, 0, 1.23457},
                                           {0.0000001, 1, 0}})
        EXPECT_DOUBLE_EQ(stock::orderPortionGrams(c.grams, c.rule), c.expected) << c.grams << " rule " << c.rule;
}

TEST_F(AutoOrder, CoveredDaysWrapOverTheCycleAndTheNoteFollowsTheLastOrder)
{
    EXPECT_EQ(stock::coveredDays(days, days[9], 5), std::vector<qint64>({days[9], days[0], days[1], days[2], days[3]}));
    EXPECT_EQ(stock::coveredDays(days, days[2], 2), std::vector<qint64>({days[2], days[3]}));
    EXPECT_TRUE(stock::coveredDays(days, 99999, 5).empty());

    stock::FirstDayChoice c = stock::firstDayChoice(db(), plan);
    EXPECT_EQ(c.note, QStringLiteral("Примечание: Рекомендуем начать с День 1."));
    EXPECT_EQ(c.recommended, 0);
    EXPECT_EQ(c.names.size(), 10);

    setUpOrdering(5);
    prompt.choices = {9};
    const auto order = stock::makeAutomaticOrder(db(), prompt, QDate(2026, 12, 5));
    ASSERT_TRUE(order);
    EXPECT_EQ(prompt.messages(), QStringList({QStringLiteral("choose: Основное => День 10")}));
    const QString o = QString::number(order->orderId);
    EXPECT_EQ(zakaz(), QStringList({"День 10:" + QString::number(plan) + ":" + o, "День 1:" + QString::number(plan) + ":" + o,
                                    "День 2:" + QString::number(plan) + ":" + o, "День 3:" + QString::number(plan) + ":" + o,
                                    "День 4:" + QString::number(plan) + ":" + o}));
    c = stock::firstDayChoice(db(), plan);
    EXPECT_EQ(c.note, QStringLiteral("Примечание: Последний заказ рассчитывался с День 10. Рекомендуем начать с День 5."));
    EXPECT_EQ(c.recommended, 4);
    // The recommended day is the one the choice shows first: the first day, then the one after
    // the last order.
    prompt.choices = {4};
    ASSERT_TRUE(stock::makeAutomaticOrder(db(), prompt, QDate(2026, 12, 6)));
    EXPECT_EQ(prompt.preselections, std::vector<int>({0, 4}));
}

TEST_F(AutoOrder, ShortagesBecomeOneUnconfirmedOrder)
{
    setUpOrdering(2);
    // Groats: need 0.9 + 2.4 = 3.3 kg, exactly in stock. Milk: need 0.75 + 2 = 2.75 kg, 1 kg in
    // warehouse 1 (5 kg in warehouse 2 do not count); the newest lot gives the price.
    const qint64 r = receipt(QStringLiteral("2026-11-01"));
    lot(r, groats, 3, QStringLiteral("2027-01-01"), 40);
    directLot(groats, 0.3, QStringLiteral("2026-11-02"), QStringLiteral("2027-01-01"), 41);
    lot(r, milk, 1, QStringLiteral("2027-01-01"), 80);
    directLot(milk, 5, QStringLiteral("2026-11-20"), QStringLiteral("2027-01-01"), 90, kg, 2);
    // Sugar (3 g a portion, rule 1) and salt (0.3 g) are not in stock at all.

    prompt.choices = {9};
    const auto order = stock::makeAutomaticOrder(db(), prompt, QDate(2026, 12, 5));
    ASSERT_TRUE(order);
    EXPECT_EQ(orderLines(order->orderId),
              QStringList({QStringLiteral("Молоко ед901 скл1 90 x 1.75"), QStringLiteral("Сахар ед902 скл1 0.5 x 90"),
                           QStringLiteral("Соль ед902 скл1 0 x 9")}));
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM orders")), 1);
    Statement h(db(), QStringLiteral("SELECT odate, status, status1, [sum], [№docum] FROM orders WHERE id = ?1"));
    h.bind(1, order->orderId);
    ASSERT_TRUE(h.next());
    EXPECT_EQ(h.toString(0).left(10), QStringLiteral("2026-12-05"));
    EXPECT_EQ(h.toInt64(1), 0);
    EXPECT_EQ(h.toInt64(2), 0);
    EXPECT_DOUBLE_EQ(h.toDouble(3), 1.75 * 90 + 90 * 0.5);
    EXPECT_FALSE(h.toString(4).isEmpty());
    EXPECT_EQ(order->number, h.toString(4));
    ASSERT_EQ(order->lines.size(), 3u);
    EXPECT_DOUBLE_EQ(order->lines[1].quantity, 90);
    EXPECT_EQ(zakaz().size(), 2);
}

TEST_F(AutoOrder, RoundedQuantityBesideTheExactShortage)
{
    setUpOrdering(2);
    db().exec(QStringLiteral("UPDATE products SET rule_okr = 2 WHERE id = ?1"), {milk});  // one decimal
    const qint64 r = receipt(QStringLiteral("2026-11-01"));
    lot(r, groats, 4, QStringLiteral("2027-01-01"));
    lot(r, milk, 1.23, QStringLiteral("2027-01-01"));
    db().exec(QStringLiteral("UPDATE products SET id_ed_izmer = 901 WHERE id IN (?1, ?2)"), {sugar, salt});
    // In kilograms with rule 1 each eater type's need rounds up to a whole kilogram: 1 + 1.
    lot(r, sugar, 2, QStringLiteral("2027-01-01"));
    lot(r, salt, 2, QStringLiteral("2027-01-01"));
    prompt.choices = {9};
    const auto order = stock::makeAutomaticOrder(db(), prompt, QDate(2026, 12, 5));
    ASSERT_TRUE(order);
    ASSERT_EQ(order->lines.size(), 1u);
    EXPECT_EQ(order->lines[0].product, QStringLiteral("Молоко"));
    // Need 0.8 (0.75 to one decimal, half to even) + 2 = 2.8 against 1.23.
    EXPECT_DOUBLE_EQ(order->lines[0].quantity1, 1.57);
    EXPECT_DOUBLE_EQ(order->lines[0].quantity, 1.6);
}

TEST_F(AutoOrder, SeasonalWeightsAndStockInAnotherUnit)
{
    setUpOrdering(2);
    // Milk loses 20 % in December and nothing in summer: 75 g become 93.75 g, 100 g become 125 g.
    db().exec(QStringLiteral("INSERT INTO SEZON (id_PRODUCT, DAY_N, MES_N, DAY_O, MES_O, PROZ) "
                             "VALUES (?1, 1, 11, 31, 11, 20), (?1, 1, 5, 31, 7, 0)"),
              {milk});
    db().exec(QStringLiteral("UPDATE INF SET Sezonnost = -1"));
    const qint64 r = receipt(QStringLiteral("2026-11-01"));
    lot(r, groats, 4, QStringLiteral("2027-01-01"));
    lot(r, salt, 9, QStringLiteral("2027-01-01"), 1, gram);
    // Sugar is kept in grams, this lot in kilograms: 0.05 kg are 50 g of the 90 g needed.
    lot(r, sugar, 0.05, QStringLiteral("2027-01-01"), 800, kg);  // 0.8 a gram
    prompt.choices = {9};
    const auto order = stock::makeAutomaticOrder(db(), prompt, QDate(2026, 12, 5));
    ASSERT_TRUE(order);
    // 0.9375 kg to three places (half to even) and 2.5 kg.
    EXPECT_EQ(orderLines(order->orderId),
              QStringList({QStringLiteral("Молоко ед901 скл1 0 x 3.438"), QStringLiteral("Сахар ед902 скл1 0.8 x 40")}));
}

TEST_F(AutoOrder, RefusalsWriteNothing)
{
    const QDate today(2026, 12, 5);
    const QStringList before = orderState();
    // No set-up with eaters.
    EXPECT_FALSE(stock::makeAutomaticOrder(db(), prompt, today));
    EXPECT_EQ(prompt.messages(), QStringList({"warning: " + stock::noOrderingSetupText()}));

    // Everything in stock.
    setUpOrdering(2);
    directLot(groats, 10, QStringLiteral("2026-11-01"));
    directLot(milk, 10, QStringLiteral("2026-11-01"));
    directLot(sugar, 1000, QStringLiteral("2026-11-01"), QStringLiteral("2027-01-01"), 1, gram);
    directLot(salt, 9, QStringLiteral("2026-11-01"), QStringLiteral("2027-01-01"), 1, gram);
    prompt.clear();
    prompt.choices = {9};
    EXPECT_FALSE(stock::makeAutomaticOrder(db(), prompt, today));
    EXPECT_EQ(prompt.messages(), QStringList({QStringLiteral("choose: Основное => День 10"),
                                              QStringLiteral("info: На указанные дни продуктов на складе достаточное "
                                                             "количество. Автозаказ не выполнен.")}));
    // The first day not chosen.
    prompt.clear();
    prompt.choices = {std::nullopt};
    EXPECT_FALSE(stock::makeAutomaticOrder(db(), prompt, today));
    // No dish in any plan-menu.
    db().exec(QStringLiteral("DELETE FROM plan_menu"));
    prompt.clear();
    EXPECT_FALSE(stock::makeAutomaticOrder(db(), prompt, today));
    EXPECT_EQ(prompt.messages(),
              QStringList({QStringLiteral("warning: Невозможно выполнить автоматический заказ продуктов питания, так как "
                                          "не заполнен справочник \"План-меню\".")}));
    EXPECT_EQ(orderState(), before);
}

TEST_F(AutoOrder, ReminderSilentWhileTheLastConfirmedOrderCovers)
{
    const QString needed = QStringLiteral("info: Необходимо выполнить заказ продуктов.");
    // No set-up: silent.
    EXPECT_FALSE(stock::orderingReminder(db(), prompt, QDate(2026, 12, 5)));
    EXPECT_TRUE(prompt.messages().isEmpty());

    setUpOrdering(5);
    const qint64 confirmed = insert(QStringLiteral("INSERT INTO orders ([№docum], odate, status, [sum]) VALUES ('1', '2026-12-01', -1, 0)"));
    insert(QStringLiteral("INSERT INTO ZAKAZ (id_type_menu, id_day, id_orders) VALUES (?1, ?2, ?3)"), {plan, days[0], confirmed});
    // An unconfirmed later order does not count.
    const qint64 draft = insert(QStringLiteral("INSERT INTO orders ([№docum], odate, status, [sum]) VALUES ('2', '2026-12-04', 0, 0)"));
    insert(QStringLiteral("INSERT INTO ZAKAZ (id_type_menu, id_day, id_orders) VALUES (?1, ?2, ?3)"), {plan, days[1], draft});

    EXPECT_FALSE(stock::orderingReminder(db(), prompt, QDate(2026, 12, 5)));
    EXPECT_TRUE(prompt.messages().isEmpty());
    EXPECT_FALSE(stock::orderingReminder(db(), prompt, QDate(2026, 12, 6)));
    EXPECT_EQ(prompt.messages(), QStringList({needed}));

    // Stock accounting off: silent.
    db().exec(QStringLiteral("UPDATE INF SET VestSkl = 0"));
    prompt.clear();
    EXPECT_FALSE(stock::orderingReminder(db(), prompt, QDate(2026, 12, 9)));
    EXPECT_TRUE(prompt.messages().isEmpty());

    // No dish in the plan-menus: the warning instead.
    db().exec(QStringLiteral("UPDATE INF SET VestSkl = -1"));
    db().exec(QStringLiteral("DELETE FROM plan_menu"));
    EXPECT_FALSE(stock::orderingReminder(db(), prompt, QDate(2026, 12, 9)));
    EXPECT_EQ(prompt.messages(), QStringList({QStringLiteral("warning: Невозможно выполнить автоматический заказ продуктов "
                                                             "питания, так как не заполнен справочник \"План-меню\".")}));
}

TEST_F(AutoOrder, ReminderFollowedByTheAutomaticWriteOff)
{
    setUpOrdering(5);
    directLot(milk, 2, QStringLiteral("2026-11-01"), QStringLiteral("2026-12-01"));
    db().exec(QStringLiteral("UPDATE INF SET AvtSpis = -1"));
    prompt.answers = {Answer::Yes};
    const auto doc = stock::orderingReminder(db(), prompt, QDate(2026, 12, 5));
    ASSERT_TRUE(doc);
    EXPECT_EQ(prompt.messages(),
              QStringList({QStringLiteral("info: Необходимо выполнить заказ продуктов."),
                           QStringLiteral("question: На складе имеются продукты, у которых вышел срок годности. Необходимо "
                                          "утвердить документ списания! \"Да\" - выполнить, \"Нет\" - не выполнять "
                                          "списание. => Да")}));
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM spisanie_point WHERE id_spisanie = ?1"), {*doc}), 1);
}

TEST_F(AutoOrder, SetUpsReconciledWithTheEaterTypesAndSaved)
{
    // A stored set-up lacking two types and holding a type that is gone; another whose only
    // point is of a type gone (its plan-menu's own type joins it); one of a plan-menu without
    // eater types, left without points.
    const qint64 a = insert(QStringLiteral("INSERT INTO AVTZAK (id_storge, id_type_menu, day) VALUES (2, ?1, 3)"), {plan});
    insert(QStringLiteral("INSERT INTO AVTZAK_POINT (IDAvt, id_type_eating, kol) VALUES (?1, ?2, 12)"), {a, nursery});
    insert(QStringLiteral("INSERT INTO AVTZAK_POINT (IDAvt, id_type_eating, kol) VALUES (?1, 99999, 7)"), {a});
    const qint64 other = planMenu(QStringLiteral("Летнее"), 2);
    const qint64 summer = eaterType(other, QStringLiteral("Лагерь"));
    const qint64 b = insert(QStringLiteral("INSERT INTO AVTZAK (id_storge, id_type_menu, day) VALUES (1, ?1, 4)"), {other});
    insert(QStringLiteral("INSERT INTO AVTZAK_POINT (IDAvt, id_type_eating, kol) VALUES (?1, 88888, 7)"), {b});
    const qint64 empty = planMenu(QStringLiteral("Пустое"), 2);
    const qint64 c = insert(QStringLiteral("INSERT INTO AVTZAK (id_storge, id_type_menu, day) VALUES (1, ?1, 4)"), {empty});
    insert(QStringLiteral("INSERT INTO AVTZAK_POINT (IDAvt, id_type_eating, kol) VALUES (?1, 77777, 7)"), {c});

    auto setups = stock::openOrderingParameters(db(), prompt);
    ASSERT_TRUE(setups);
    ASSERT_EQ(setups->size(), 2u);
    const stock::OrderingSetup& main = (*setups)[1];
    EXPECT_EQ(main.title, QStringLiteral("Основное"));
    EXPECT_TRUE(main.used);
    EXPECT_EQ(main.warehouse, 2);
    EXPECT_EQ(main.days, 3);
    QStringList eaters;
    for (const auto& e : main.eaters)
        eaters << QStringLiteral("%1=%2%3").arg(e.name).arg(e.count).arg(e.active ? "" : " (не на довольствии)");
    EXPECT_EQ(eaters, QStringList({"Диета=0 (не на довольствии)", "Сад=0", "Ясли=12"}));
    stock::OrderingSetup& summerSetup = (*setups)[0];
    EXPECT_EQ(summerSetup.title, QStringLiteral("Летнее"));
    EXPECT_TRUE(summerSetup.used);
    EXPECT_EQ(summerSetup.days, 4);
    ASSERT_EQ(summerSetup.eaters.size(), 1u);
    EXPECT_EQ(summerSetup.eaters[0].typeId, summer);
    EXPECT_EQ(summerSetup.eaters[0].count, 0);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM AVTZAK WHERE IDAvt = ?1"), {c}), 0);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM AVTZAK_POINT WHERE id_type_eating IN (99999, 88888, 77777)")), 0);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM AVTZAK1 WHERE status = -1")), 4);

    // A used set-up with a zero count: No keeps it as it is, Yes takes it out.
    stock::OrderingSetup garden0 = main;
    prompt.answers = {Answer::No, Answer::Yes};
    EXPECT_FALSE(stock::settleZeroCounts(prompt, garden0));
    EXPECT_TRUE(garden0.used);
    EXPECT_TRUE(stock::settleZeroCounts(prompt, garden0));
    EXPECT_FALSE(garden0.used);
    EXPECT_EQ(prompt.messages().size(), 2);
    EXPECT_EQ(prompt.messages()[0], "question: " + stock::zeroCountQuestion() + " => Нет");

    summerSetup.used = true;
    summerSetup.eaters[0].count = 30;
    stock::saveOrderingParameters(db(), *setups);
    const auto stored = stock::storedOrderingSetups(db());
    ASSERT_EQ(stored.size(), 2u);
    EXPECT_EQ(stored[0].planMenu, other);
    EXPECT_EQ(stored[0].eaters.size(), 1u);
    EXPECT_EQ(stored[0].eaters[0].count, 30);
    EXPECT_EQ(stored[1].planMenu, plan);
    EXPECT_EQ(stored[1].eaters.size(), 3u);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM AVTZAK1")), 0);
}

TEST_F(AutoOrder, NoPlanMenuWithEatersOnAllowance)
{
    db().exec(QStringLiteral("UPDATE type_eating SET status = 0"));
    const QStringList before = dump(QStringLiteral("AVTZAK"));
    EXPECT_FALSE(stock::openOrderingParameters(db(), prompt));
    EXPECT_EQ(prompt.messages(),
              QStringList({QStringLiteral("warning: Для создания параметров автоматического заказа необходимо сначала "
                                          "внести данные о плане-меню.")}));
    EXPECT_EQ(dump(QStringLiteral("AVTZAK")), before);
}

} // namespace
} // namespace rat::test
