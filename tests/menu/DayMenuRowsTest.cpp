// The rows of a day-menu document: columns and captions in both modes, their order, the cost
// of a portion by all three bases with a stock-lot price, the total and its label, and the
// stored sum and basis. Every figure is worked out by hand in the comments.

#include "DayMenuFixture.h"

#include "core/Settings.h"

using namespace rat;
using namespace rat::menu;

namespace {

class DayMenuRowsTest : public test::DayMenuFixture {
protected:
    // A lunch menu of one soup for three eater types. The soup: 60 g gross of a product per
    // 100 g of dish; the product's planned price 80 per kg, its latest delivery 123.4 per kg;
    // the card's planned cost 7.77 per 100 g.
    void SetUp() override
    {
        DayMenuFixture::SetUp();
        pm = planMenu(QStringLiteral("Основное"), 2);
        ya = eaterType(pm, QStringLiteral("Ясли"));
        sad = eaterType(pm, QStringLiteral("Сад"));
        st = eaterType(pm, QStringLiteral("Сотр"));
        lunch = meal(QStringLiteral("Обед"));
        soups = category(QStringLiteral("Супы"));
        const qint64 grain = product(QStringLiteral("Крупа"), 80);
        soup = insert(QStringLiteral("INSERT INTO card_recipes (cname, number1, numRec, id_type_meal, cost, fat, protein, "
                                     "carbohyd, calories, b1, b2, c, ca, fe) VALUES ('Суп', '12', '3а', ?1, 7.77, 3.5, "
                                     "4.25, 10, 90.5, 0.0123, 0.5, 1.2345, 20, 0.333)"),
                      {soups});
        line(soup, grain, 60, 50);
        yield(soup, ya, 150);
        yield(soup, sad, 200, 30);
        yield(soup, st, 120, 30, 20);
        const qint64 r = insert(QStringLiteral("INSERT INTO receipt (rdate, status) VALUES ('2026-11-01', -1)"));
        db().exec(QStringLiteral("INSERT INTO storage (id_product, quantity, id_receipt, cost, id_ed_izmer, status) "
                                 "VALUES (?1, 5, ?2, 123.4, 901, 0)"),
                  {grain, r});
        menu = dayMenu(pm, QStringLiteral("1"));
        const qint64 p = point(menu, soup, lunch);
        eaters(p, ya, 10);
        eaters(p, sad, 15);
        eaters(p, st, 2);
    }

    static QStringList column(const DayMenuRows& rows, int col)
    {
        QStringList out;
        for (const DayMenuRow& r : rows.rows)
            out << rowCells(r).value(col);
        return out;
    }

    qint64 pm = 0, ya = 0, sad = 0, st = 0, lunch = 0, soups = 0, soup = 0, menu = 0;
    const QDate today{2026, 12, 5};
};

TEST_F(DayMenuRowsTest, EveryColumnOfARowWithItsCaption)
{
    const DayMenuRows rows = dayMenuRows(db(), menu, std::nullopt, today);
    EXPECT_EQ(rows.captions,
              QStringList({QStringLiteral("Тип довольствующихся"), QStringLiteral("Количество"),
                           QStringLiteral("Прием пищи"), QStringLiteral("Блюдо"), QStringLiteral("Выход, г"),
                           QStringLiteral("Стоимость по последней поставке, руб."), QStringLiteral("Сумма, руб."),
                           QStringLiteral("Жиры, г"), QStringLiteral("Белки, г"), QStringLiteral("Углеводы, г"),
                           QStringLiteral("Калорийность, ккал"), QStringLiteral("В1, мг"), QStringLiteral("В2, мг"),
                           QStringLiteral("С, мг"), QStringLiteral("Са, мг"), QStringLiteral("Fe, мг")}));
    ASSERT_EQ(rows.rows.size(), 3u);
    // At 150 g: latest delivery 90 g × 0.1234 = 11.106 -> 11.11, × 10 = 111.10; fat 3.5 × 1.5,
    // protein 4.25 × 1.5 = 6.375 -> 6.38 (half to even), B1 0.01845 -> 0.018, C 1.85175 -> 1.852,
    // Fe 0.4995 -> 0.500 (half to even).
    EXPECT_EQ(rowCells(rows.rows[0]),
              QStringList({QStringLiteral("Ясли"), QStringLiteral("10"), QStringLiteral("Обед"),
                           QStringLiteral("Суп №12/3а"), QStringLiteral("150"), QStringLiteral("11,11"),
                           QStringLiteral("111,10"), QStringLiteral("5,25"), QStringLiteral("6,38"),
                           QStringLiteral("15,00"), QStringLiteral("135,75"), QStringLiteral("0,018"),
                           QStringLiteral("0,750"), QStringLiteral("1,852"), QStringLiteral("30,000"),
                           QStringLiteral("0,500")}));
    EXPECT_EQ(rows.rows[0].pointId, rows.rows[1].pointId);
    EXPECT_EQ(rows.rows[0].eaterTypeId, ya);
    EXPECT_EQ(rows.rows[0].cardId, soup);
    EXPECT_EQ(rows.rows[0].eatingKey, lunch);
    EXPECT_EQ(column(rows, 4), QStringList({QStringLiteral("150"), QStringLiteral("200 / 30"),
                                            QStringLiteral("120/30/20")}));
    EXPECT_EQ(column(rows, 0), QStringList({QStringLiteral("Ясли"), QStringLiteral("Сад"), QStringLiteral("Сотр")}));

    // Fractions of any part of a yield with the grid's decimal comma.
    db().exec(QStringLiteral("UPDATE output SET output1 = 250, output2 = 0, output3 = 15.5 WHERE id_type_eating = ?1"),
              {st});
    db().exec(QStringLiteral("UPDATE output SET output2 = 30.5 WHERE id_type_eating = ?1"), {sad});
    EXPECT_EQ(column(dayMenuRows(db(), menu, std::nullopt, today), 4),
              QStringList({QStringLiteral("150"), QStringLiteral("200 / 30,5"), QStringLiteral("250/0/15,5")}));
}

TEST_F(DayMenuRowsTest, PortionCostsAndTotalsByEachBasis)
{
    // Latest delivery: 150 g 11.11 × 10 = 111.10; 200 g 120 × 0.1234 = 14.808 -> 14.81 × 15 =
    // 222.15; 120 g 72 × 0.1234 = 8.8848 -> 8.88 × 2 = 17.76. Total 351.01.
    DayMenuRows rows = dayMenuRows(db(), menu, 0, today);
    EXPECT_EQ(column(rows, 5), QStringList({QStringLiteral("11,11"), QStringLiteral("14,81"), QStringLiteral("8,88")}));
    EXPECT_EQ(column(rows, 6), QStringList({QStringLiteral("111,10"), QStringLiteral("222,15"), QStringLiteral("17,76")}));
    EXPECT_DOUBLE_EQ(rows.total, 351.01);
    EXPECT_EQ(rows.totalLabel, QStringLiteral("Итого (c учетом округлений по каждому блюду): 351,01 руб."));

    // Planned product price 0.08 a gram: 7.20 × 10 = 72; 9.60 × 15 = 144; 5.76 × 2 = 11.52.
    rows = dayMenuRows(db(), menu, 1, today);
    EXPECT_EQ(rows.captions[5], QStringLiteral("Стоимость по плановой цене продуктов, руб."));
    EXPECT_EQ(column(rows, 5), QStringList({QStringLiteral("7,20"), QStringLiteral("9,60"), QStringLiteral("5,76")}));
    EXPECT_DOUBLE_EQ(rows.total, 227.52);
    EXPECT_EQ(rows.totalLabel, QStringLiteral("Итого: 227,52 руб."));

    // Planned card price 7.77 per 100 g: 11.655 -> 11.66 × 10 = 116.60; 15.54 × 15 = 233.10;
    // 9.324 -> 9.32 × 2 = 18.64. Total 368.34.
    rows = dayMenuRows(db(), menu, 2, today);
    EXPECT_EQ(rows.captions[5], QStringLiteral("Стоимость по плановой цене тех.карт, руб."));
    EXPECT_EQ(column(rows, 5), QStringList({QStringLiteral("11,66"), QStringLiteral("15,54"), QStringLiteral("9,32")}));
    EXPECT_EQ(column(rows, 6), QStringList({QStringLiteral("116,60"), QStringLiteral("233,10"), QStringLiteral("18,64")}));
    EXPECT_DOUBLE_EQ(rows.total, 368.34);
    EXPECT_EQ(rows.totalLabel, QStringLiteral("Итого: 368,34 руб."));

    // Before the lot was received there is no latest delivery: every portion costs 0.
    rows = dayMenuRows(db(), menu, 0, QDate(2026, 10, 1));
    EXPECT_EQ(rows.totalLabel, QStringLiteral("Итого (c учетом округлений по каждому блюду): 0 руб."));

    // One decimal as the person's money precision: 11.655 -> 11.7, × 10 = 117; 15.5 × 15 =
    // 232.5; 9.3 × 2 = 18.6.
    Settings::setText(QStringLiteral("User"), QStringLiteral("tochOkrugl"), QStringLiteral("1"));
    rows = dayMenuRows(db(), menu, 2, today);
    EXPECT_EQ(column(rows, 5), QStringList({QStringLiteral("11,7"), QStringLiteral("15,5"), QStringLiteral("9,3")}));
    EXPECT_DOUBLE_EQ(rows.total, 368.1);
    EXPECT_EQ(rows.totalLabel, QStringLiteral("Итого: 368,1 руб."));
}

TEST_F(DayMenuRowsTest, WithoutStockAccountingTwoBasesAndThePlainLabel)
{
    db().exec(QStringLiteral("UPDATE INF SET VestSkl = 0"));
    const auto items = costBasisItems(db());
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(items[0].text, QStringLiteral("По плановой цене продуктов"));
    EXPECT_EQ(items[0].code, 0);
    EXPECT_EQ(items[1].text, QStringLiteral("По плановой цене тех.карт"));
    EXPECT_EQ(items[1].code, 1);
    // Nothing selected: the first item.
    DayMenuRows rows = dayMenuRows(db(), menu, std::nullopt, today);
    EXPECT_EQ(rows.captions[5], QStringLiteral("Стоимость по плановой цене продуктов, руб."));
    EXPECT_EQ(rows.totalLabel, QStringLiteral("Итого: 227,52 руб."));
    rows = updateDayMenuTotal(db(), menu, 1, today);
    EXPECT_EQ(rows.totalLabel, QStringLiteral("Итого: 368,34 руб."));
    const auto h = readDayMenu(db(), menu);
    EXPECT_DOUBLE_EQ(h->sum, 368.34);
    EXPECT_EQ(h->basisCode, 1);

    db().exec(QStringLiteral("UPDATE INF SET VestSkl = -1"));
    const auto all = costBasisItems(db());
    ASSERT_EQ(all.size(), 3u);
    EXPECT_EQ(all[0].text, QStringLiteral("По последней поставке"));
    EXPECT_EQ(all[2].code, 2);
}

// By meals: meal, then point; by categories: point, then the card's own category. A dish
// without a yield for an eater type has no row for it.
TEST_F(DayMenuRowsTest, OrderInBothModes)
{
    const qint64 breakfast = meal(QStringLiteral("Завтрак"));  // a later meal id than lunch
    const qint64 drinks = category(QStringLiteral("Напитки"));
    const qint64 tea = card(QStringLiteral("Чай"), drinks);
    yield(tea, ya, 180);
    const qint64 later = point(menu, tea, lunch);
    eaters(later, ya, 1);
    eaters(later, sad, 1);  // no yield for Сад: no row
    const qint64 early = point(menu, tea, breakfast);
    eaters(early, ya, 3);

    DayMenuRows rows = dayMenuRows(db(), menu, 1, today);
    EXPECT_EQ(column(rows, 3), QStringList({QStringLiteral("Суп №12/3а"), QStringLiteral("Суп №12/3а"),
                                            QStringLiteral("Суп №12/3а"), QStringLiteral("Чай"), QStringLiteral("Чай")}));
    EXPECT_EQ(column(rows, 2), QStringList({QStringLiteral("Обед"), QStringLiteral("Обед"), QStringLiteral("Обед"),
                                            QStringLiteral("Обед"), QStringLiteral("Завтрак")}));
    EXPECT_EQ(column(rows, 1), QStringList({QStringLiteral("10"), QStringLiteral("15"), QStringLiteral("2"),
                                            QStringLiteral("1"), QStringLiteral("3")}));

    db().exec(QStringLiteral("UPDATE type_menu SET status = 1 WHERE id = ?1"), {pm});
    rows = dayMenuRows(db(), menu, 1, today);
    EXPECT_EQ(rows.captions[2], QStringLiteral("Категория блюда"));
    EXPECT_EQ(column(rows, 2), QStringList({QStringLiteral("Супы"), QStringLiteral("Супы"), QStringLiteral("Супы"),
                                            QStringLiteral("Напитки"), QStringLiteral("Напитки")}));
    EXPECT_EQ(column(rows, 1), QStringList({QStringLiteral("10"), QStringLiteral("15"), QStringLiteral("2"),
                                            QStringLiteral("1"), QStringLiteral("3")}));
}

TEST_F(DayMenuRowsTest, AnEmptyMenuShowsZeroWithTheCurrencyAndStoresIt)
{
    const qint64 empty = dayMenu(pm, QStringLiteral("2"));
    db().exec(QStringLiteral("UPDATE day_menu SET sum = 99 WHERE id = ?1"), {empty});
    for (const int code : {0, 1, 2}) {
        const DayMenuRows rows = updateDayMenuTotal(db(), empty, code, today);
        EXPECT_TRUE(rows.rows.empty());
        EXPECT_EQ(rows.totalLabel, QStringLiteral("Итого: 0 руб."));
        EXPECT_DOUBLE_EQ(readDayMenu(db(), empty)->sum, 0);
        EXPECT_EQ(readDayMenu(db(), empty)->basisCode, code);
    }
}

} // namespace
