// The remnant on a date: which lots count and from when, approved expense and write-off up to
// the date, an excluded expense document, grams through each lot's own unit, whole grams, the
// product's unit, warehouses; and the lot prices of the latest delivery.

#include "refbooks/CardCalc.h"
#include "stock/StockFixture.h"

#include "stock/ProductPrices.h"
#include "stock/StockLots.h"

namespace rat::test {
namespace {

using stock::lotRemnants;
using stock::productRemnants;

class StockRemnants : public StockFixture {
protected:
    // "name grams quantity" per product.
    QStringList products(const QString& date, std::optional<qint64> warehouse = {}, std::optional<qint64> exclude = {})
    {
        QStringList out;
        for (const stock::ProductRemnant& p : productRemnants(db(), QDate::fromString(date, Qt::ISODate), warehouse, exclude))
            out << QStringLiteral("%1 %2 %3").arg(p.name).arg(p.grams).arg(p.quantity);
        return out;
    }
};

TEST_F(StockRemnants, ReceiptCountsFromItsDateAndOnlyWhenApproved)
{
    const qint64 milk = stockProduct(QStringLiteral("Молоко"));
    lot(receipt(QStringLiteral("2026-03-10")), milk, 5, QStringLiteral("2026-03-20"));
    lot(receipt(QStringLiteral("2026-03-01"), false), milk, 7, QStringLiteral("2026-03-20"));
    EXPECT_EQ(products(QStringLiteral("2026-03-09")), QStringList());
    EXPECT_EQ(products(QStringLiteral("2026-03-10")), QStringList({QStringLiteral("Молоко 5000 5")}));
}

TEST_F(StockRemnants, DirectLotCountsFromItsOwnDateOr1990)
{
    const qint64 salt = stockProduct(QStringLiteral("Соль"));
    directLot(salt, 2, QStringLiteral("2026-02-01"));
    directLot(salt, 1, QVariant());
    EXPECT_EQ(products(QStringLiteral("1990-01-01")), QStringList({QStringLiteral("Соль 1000 1")}));
    EXPECT_EQ(products(QStringLiteral("2026-02-01")), QStringList({QStringLiteral("Соль 3000 3")}));
    const auto lots = lotRemnants(db(), QDate(2026, 2, 1));
    ASSERT_EQ(lots.size(), 2u);
    EXPECT_EQ(lots[0].lotDate, QDate(1990, 1, 1));
    EXPECT_EQ(lots[0].document, QStringLiteral("-"));
}

TEST_F(StockRemnants, ApprovedExpenseAndWriteOffUpToTheDate)
{
    const qint64 rice = stockProduct(QStringLiteral("Рис"));
    const qint64 l = lot(receipt(QStringLiteral("2026-03-01")), rice, 10, QStringLiteral("2026-06-01"));
    expenseLine(expenseDoc(QStringLiteral("2026-03-05")), l, 2);
    expenseLine(expenseDoc(QStringLiteral("2026-03-08")), l, 3);          // later than the date asked
    expenseLine(expenseDoc(QStringLiteral("2026-03-04"), false), l, 4);   // not approved
    writeOff(QStringLiteral("2026-03-06"), l, 1);
    writeOff(QStringLiteral("2026-03-06"), l, 1, false);
    EXPECT_EQ(products(QStringLiteral("2026-03-07")), QStringList({QStringLiteral("Рис 7000 7")}));
    EXPECT_EQ(products(QStringLiteral("2026-03-08")), QStringList({QStringLiteral("Рис 4000 4")}));
    const qint64 x = count(QStringLiteral("SELECT id FROM expence_docum WHERE ddate = '2026-03-05'"));
    EXPECT_EQ(products(QStringLiteral("2026-03-08"), {}, x), QStringList({QStringLiteral("Рис 6000 6")}));
}

TEST_F(StockRemnants, GramsThroughEachLotsUnitRoundedToWholeGrams)
{
    // A product kept in grams with one lot in kilograms and one in grams.
    const qint64 yeast = stockProduct(QStringLiteral("Дрожжи"), gram);
    const qint64 r = receipt(QStringLiteral("2026-01-10"));
    lot(r, yeast, 1.5, QStringLiteral("2026-02-01"), 300, kg);
    lot(r, yeast, 250.4, QStringLiteral("2026-02-01"), 1, gram);
    EXPECT_EQ(products(QStringLiteral("2026-01-10")), QStringList({QStringLiteral("Дрожжи 1750 1750")}));
    // 0.0004 kg is 0.4 g: less than half a gram holds nothing.
    const qint64 vanilla = stockProduct(QStringLiteral("Ванилин"));
    lot(r, vanilla, 0.0004, QStringLiteral("2026-02-01"));
    EXPECT_EQ(products(QStringLiteral("2026-01-10")).value(0), QStringLiteral("Ванилин 0 0"));
}

TEST_F(StockRemnants, WarehouseFilterAndNegativeLotAfterShortage)
{
    const qint64 beet = stockProduct(QStringLiteral("Свекла"));
    const qint64 r = receipt(QStringLiteral("2026-01-10"));
    const qint64 a = lot(r, beet, 4, QStringLiteral("2026-02-01"), 50, kg, 1);
    lot(r, beet, 6, QStringLiteral("2026-02-01"), 50, kg, 2);
    expenseLine(expenseDoc(QStringLiteral("2026-01-11")), a, 7);
    EXPECT_EQ(products(QStringLiteral("2026-01-12"), 2), QStringList({QStringLiteral("Свекла 6000 6")}));
    EXPECT_EQ(products(QStringLiteral("2026-01-12")), QStringList({QStringLiteral("Свекла 3000 3")}));
    const auto lots = lotRemnants(db(), QDate(2026, 1, 12), 1);
    ASSERT_EQ(lots.size(), 1u);
    EXPECT_DOUBLE_EQ(lots[0].remnant, -3);
    EXPECT_EQ(lots[0].warehouseName, QStringLiteral("Основной"));
}

TEST_F(StockRemnants, WarehouseListOffersAllFirst)
{
    const auto list = stock::warehouses(db(), true);
    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(list[0], std::make_pair(qint64(0), QStringLiteral("Все склады")));
    EXPECT_EQ(list[1].second, QStringLiteral("Овощной"));
}

TEST_F(StockRemnants, PricesOfTheLatestDeliveryNotAfterTheDate)
{
    const qint64 oil = stockProduct(QStringLiteral("Масло"));
    const qint64 flour = stockProduct(QStringLiteral("Мука"), gram);
    const qint64 none = stockProduct(QStringLiteral("Сахар"));
    const qint64 early = receipt(QStringLiteral("2026-01-10"));
    const qint64 late = receipt(QStringLiteral("2026-02-10"));
    lot(early, oil, 1, QStringLiteral("2026-05-01"), 900);
    lot(late, oil, 1, QStringLiteral("2026-05-01"), 1000);
    lot(late, oil, 1, QStringLiteral("2026-05-01"), 1200, kg, 2);  // the largest of the latest date
    lot(receipt(QStringLiteral("2026-03-10"), false), oil, 1, QStringLiteral("2026-05-01"), 5000);
    lot(early, flour, 2, QStringLiteral("2026-05-01"), 50, kg);    // a kilogram lot of a gram product
    const qint64 newest = directLot(flour, 100, QStringLiteral("2025-01-01"), QStringLiteral("2026-05-01"), 0.07, gram);

    // A lot without a price is left out, even when it is the latest.
    db().exec(QStringLiteral("INSERT INTO storage (id_product, quantity, id_receipt, cost, id_ed_izmer, status, IDSS) "
                             "VALUES (?1, 1, ?2, NULL, ?3, 0, 1)"),
              {oil, receipt(QStringLiteral("2026-02-10")), kg});
    auto prices = stock::productPrices(db(), {oil, flour, none}, QDate(2026, 2, 10));
    EXPECT_DOUBLE_EQ(prices.at(oil), 1.2);
    EXPECT_DOUBLE_EQ(prices.at(flour), 0.05);
    EXPECT_FALSE(prices.count(none));
    prices = stock::productPrices(db(), {oil}, QDate(2026, 2, 9));
    EXPECT_DOUBLE_EQ(prices.at(oil), 0.9);
    prices = stock::productPrices(db(), {oil}, QDate(2026, 2, 10), 1);
    EXPECT_DOUBLE_EQ(prices.at(oil), 1.0);
    // The empty date takes the newest lot entered.
    prices = stock::productPrices(db(), {flour}, QDate(1790, 1, 1));
    EXPECT_NEAR(prices.at(flour), 0.07, 1e-9);
    EXPECT_GT(newest, 0);

    // The costing of cards and menus reads the same prices: a lot received on the costing day
    // counts, a later one without a price does not hide it.
    db().exec(QStringLiteral("INSERT INTO storage (id_product, quantity, id_receipt, cost, id_ed_izmer, status, IDSS) "
                             "VALUES (?1, 1, ?2, NULL, ?3, 0, 1)"),
              {oil, receipt(QStringLiteral("2026-02-11")), kg});
    for (const QDate& day : {QDate(2026, 2, 9), QDate(2026, 2, 10), QDate(2026, 2, 11)}) {
        SCOPED_TRACE(day.toString(Qt::ISODate).toStdString());
        const auto stockPrices = stock::productPrices(db(), {oil, flour, none}, day);
        const books::MenuPriceCache menuPrices = books::menuPrices(db(), books::CostBasis::LatestDelivery, day);
        for (const qint64 product : {oil, flour, none}) {
            const auto one = books::latestDeliveryPricePerGram(db(), product, day);
            EXPECT_EQ(one.has_value(), stockPrices.count(product) == 1);
            EXPECT_EQ(menuPrices.count(product), stockPrices.count(product));
            if (one) {
                EXPECT_DOUBLE_EQ(*one, stockPrices.at(product));
                EXPECT_DOUBLE_EQ(menuPrices.at(product), stockPrices.at(product));
            }
        }
    }
    EXPECT_DOUBLE_EQ(books::latestDeliveryPricePerGram(db(), oil, QDate(2026, 2, 11)).value_or(0), 1.2);
}

} // namespace
} // namespace rat::test
