// The FEFO issue of a menu-requirement: earliest sell-by date first, ties by receipt date, the
// shortage on the last lot used, eater types sharing a lot in turn, lots in another unit.

#include "stock/StockFixture.h"

#include "stock/StockIssue.h"
#include "stock/StockLots.h"

namespace rat::test {
namespace {

class StockIssue : public StockFixture {
protected:
    void SetUp() override
    {
        StockFixture::SetUp();
        const qint64 pm = planMenu(QStringLiteral("Основное"), 2);
        nursery = eaterType(pm, QStringLiteral("Ясли"));
        garden = eaterType(pm, QStringLiteral("Сад"));
        dayMenuId = dayMenu(pm, QStringLiteral("1"), QStringLiteral("2026-03-12"));
        const qint64 soup = card(QStringLiteral("Суп"));
        const qint64 p = point(dayMenuId, soup, meal(QStringLiteral("Обед")));
        eaters(p, nursery, 10);
        eaters(p, garden, 10);
        idm1 = insert(QStringLiteral("INSERT INTO MENUTR1 (date, status, id_ex, nk) VALUES ('2026-03-12', 0, 0, 1)"));
        insert(QStringLiteral("INSERT INTO MENUTM1 (IDM1, ID_day_menu, IDSkl) VALUES (?1, ?2, 0)"), {idm1, dayMenuId});
        doc = expenseDoc(QStringLiteral("2026-03-12"));
    }
    void need(qint64 product, qint64 type, double kolv)
    {
        insert(QStringLiteral("INSERT INTO MENUTR_POINT1 (id_product, id_type_eating, id_eating, id_card, kol, kolv, output, "
                              "ost, IDM1) VALUES (?1, ?2, 0, 0, 0, ?3, 0, 0, ?4)"),
               {product, type, kolv, idm1});
    }
    int issue() { return stock::issueForMenuRequirement(db(), idm1, doc, QDate(2026, 3, 12), 0, std::nullopt); }
    QString line(qint64 lotId, qint64 type, double q) { return QStringLiteral("%1:%2=%3").arg(lotId).arg(type).arg(q); }

    qint64 nursery = 0, garden = 0, dayMenuId = 0, idm1 = 0, doc = 0;
};

TEST_F(StockIssue, EarliestSellByFirstThenEarlierReceipt)
{
    const qint64 milk = stockProduct(QStringLiteral("Молоко"));
    const qint64 later = lot(receipt(QStringLiteral("2026-03-01")), milk, 5, QStringLiteral("2026-03-10"));
    const qint64 sooner = lot(receipt(QStringLiteral("2026-03-02")), milk, 5, QStringLiteral("2026-03-05"));
    const qint64 butter = stockProduct(QStringLiteral("Масло"));
    const qint64 second = lot(receipt(QStringLiteral("2026-03-03")), butter, 1, QStringLiteral("2026-04-01"));
    const qint64 first = lot(receipt(QStringLiteral("2026-03-02")), butter, 1, QStringLiteral("2026-04-01"));
    need(milk, nursery, 2);
    need(butter, nursery, 0.5);
    EXPECT_EQ(issue(), 2);
    EXPECT_EQ(expenseLines(doc), QStringList({line(sooner, nursery, 2), line(first, nursery, 0.5)}));
    EXPECT_GT(later, 0);
    EXPECT_GT(second, 0);
}

TEST_F(StockIssue, ShortageChargedToTheLastLotUsed)
{
    // 12 kg from lots of 5 and 4: lines of 5 and 7, the second lot left at -3.
    const qint64 potato = stockProduct(QStringLiteral("Картофель"));
    const qint64 r = receipt(QStringLiteral("2026-03-01"));
    const qint64 a = lot(r, potato, 5, QStringLiteral("2026-03-20"));
    const qint64 b = lot(r, potato, 4, QStringLiteral("2026-03-25"));
    need(potato, nursery, 12);
    issue();
    EXPECT_EQ(expenseLines(doc), QStringList({line(a, nursery, 5), line(b, nursery, 7)}));
    const auto lots = stock::lotRemnants(db(), QDate(2026, 3, 12));
    ASSERT_EQ(lots.size(), 2u);
    EXPECT_DOUBLE_EQ(lots[1].remnant, -3);
}

TEST_F(StockIssue, EaterTypesShareALotInTurn)
{
    // "Сад" comes before "Ясли": it takes 3 kg; "Ясли" the 2 kg left plus its shortage of 1 kg.
    const qint64 carrot = stockProduct(QStringLiteral("Морковь"));
    const qint64 l = lot(receipt(QStringLiteral("2026-03-01")), carrot, 5, QStringLiteral("2026-03-20"));
    need(carrot, nursery, 3);
    need(carrot, garden, 3);
    issue();
    EXPECT_EQ(expenseLines(doc), QStringList({line(l, garden, 3), line(l, nursery, 3)}));
}

TEST_F(StockIssue, LotInKilogramsForAProductInGrams)
{
    const qint64 yeast = stockProduct(QStringLiteral("Дрожжи"), gram);
    const qint64 l = lot(receipt(QStringLiteral("2026-03-01")), yeast, 2, QStringLiteral("2026-03-20"), 300, kg);
    need(yeast, nursery, 1500);  // grams
    issue();
    EXPECT_EQ(expenseLines(doc), QStringList({line(l, nursery, 1.5)}));
}

TEST_F(StockIssue, EmptiedAndMissingLotsUnroundedQuantities)
{
    // A product without lots gets no line; lots emptied before the issue are passed over; the
    // quantities are not rounded.
    const qint64 salt = stockProduct(QStringLiteral("Соль"));
    const qint64 sugar = stockProduct(QStringLiteral("Сахар"));
    const qint64 r = receipt(QStringLiteral("2026-03-01"));
    const qint64 empty = lot(r, sugar, 1, QStringLiteral("2026-03-02"));
    const qint64 full = lot(r, sugar, 1, QStringLiteral("2026-03-20"));
    expenseLine(expenseDoc(QStringLiteral("2026-03-05")), empty, 1);
    need(salt, nursery, 1);
    need(sugar, nursery, 1.0 / 3);
    issue();
    EXPECT_EQ(expenseLines(doc), QStringList({line(full, nursery, 1.0 / 3)}));
}

TEST_F(StockIssue, ShortageWhenEarlierEaterTypesEmptiedEveryLot)
{
    const qint64 apple = stockProduct(QStringLiteral("Яблоки"));
    const qint64 l = lot(receipt(QStringLiteral("2026-03-01")), apple, 2, QStringLiteral("2026-03-20"));
    need(apple, garden, 2);
    need(apple, nursery, 1);
    issue();
    EXPECT_EQ(expenseLines(doc), QStringList({line(l, garden, 2), line(l, nursery, 1)}));
}

} // namespace
} // namespace rat::test
