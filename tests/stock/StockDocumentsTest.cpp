// Stock documents: the lot editor (sell-by date from the storage time, VAT, refusals that write
// nothing), lots entered directly, expense, write-off and order lines with their checks, the
// document total, the lines as the window lists them and the confirmation question.

#include "stock/StockFixture.h"

#include "stock/StockDocuments.h"
#include "stock/StockLots.h"

namespace rat::test {
namespace {

using stock::StockKind;

class StockDocuments : public StockFixture {
protected:
    void SetUp() override
    {
        StockFixture::SetUp();
        milk = stockProduct(QStringLiteral("Молоко"));
        db().exec(QStringLiteral("UPDATE products SET time_storage = 5, time_period = 2 WHERE id = ?1"), {milk});
        stock::StockDocumentHeader h;
        h.date = QDate(2026, 3, 10);
        receiptId = stock::saveStockDocument(db(), StockKind::Receipt, h);
    }
    QStringList stockTables()
    {
        QStringList all;
        for (const char* t : {"storage", "receipt", "expense", "expence_docum", "spisanie_point", "order_point"})
            all << QString::fromLatin1(t) << dump(QString::fromLatin1(t));
        return all;
    }

    qint64 milk = 0, receiptId = 0;
};

TEST_F(StockDocuments, LotOfAReceiptWithSellByDateVatAndTotal)
{
    EXPECT_EQ(stock::readStockDocument(db(), StockKind::Receipt, receiptId)->number, QStringLiteral("1"));
    db().exec(QStringLiteral("UPDATE INF SET NDS = -1, NDS_PR = 12"));
    const auto defaults = stock::lotDefaults(db(), milk, QDate(2026, 3, 10));
    EXPECT_EQ(defaults.sellBy, QDate(2026, 3, 15));
    EXPECT_DOUBLE_EQ(defaults.vatRate, 12);
    EXPECT_DOUBLE_EQ(stock::priceWithVat(10.01, 12), 11.21);  // 11.2112
    db().exec(QStringLiteral("UPDATE products SET P_NDS = 10 WHERE id = ?1"), {milk});
    EXPECT_DOUBLE_EQ(stock::lotDefaults(db(), milk, QDate(2026, 3, 10)).vatRate, 10);

    stock::LotInput lot;
    lot.receiptId = receiptId;
    lot.productId = milk;
    lot.quantity = 3;
    lot.cost = 80.5;
    lot.temperature = 4;
    const auto id = stock::saveLot(db(), prompt, lot);
    ASSERT_TRUE(id);
    const auto lines = stock::documentLines(db(), StockKind::Receipt, receiptId);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].sellBy, QDate(2026, 3, 15));
    EXPECT_DOUBLE_EQ(lines[0].sum, 241.5);
    EXPECT_DOUBLE_EQ(lines[0].sumWithVat, 241.5 + 24.15);  // 88.55 - 80.5 = 8.05 a kilogram
    EXPECT_EQ(lines[0].warehouse, QStringLiteral("Основной"));
    EXPECT_DOUBLE_EQ(stock::readStockDocument(db(), StockKind::Receipt, receiptId)->sum, 241.5);
    // Not counted until the receipt is approved.
    EXPECT_TRUE(stock::lotRemnants(db(), QDate(2026, 3, 10)).empty());
    prompt.answers = {Answer::Yes};
    EXPECT_EQ(stock::confirmStockDocument(db(), prompt, StockKind::Receipt, receiptId), stock::StockConfirm::Approved);
    EXPECT_EQ(prompt.messages().value(0), QStringLiteral("question: Утвердить приход? \"Да\" - утвердить, \"Нет\" - "
                                                         "сохранить как черновик, \"Отмена\" - вернуться. => Да"));
    EXPECT_EQ(stock::lotRemnants(db(), QDate(2026, 3, 10)).size(), 1u);
}

TEST_F(StockDocuments, LotRefusalsWriteNothing)
{
    const QStringList before = stockTables();
    struct Case {
        qint64 product;
        double quantity, cost;
        std::optional<qint64> unit;
        qint64 warehouse;
        QString message;
    };
    const std::vector<Case> cases = {
        {0, 1, 1, {}, 1, QStringLiteral("Необходимо обязательно выбрать строку в списке \"Продукт\".")},
        {milk, 0, 1, {}, 1, QStringLiteral("Значение \"0\" поля \"Количество\" не корректно. Измените введенное значение.")},
        {milk, 1, -2, {}, 1, QStringLiteral("Значение \"-2\" поля \"Цена\" не корректно. Измените введенное значение.")},
        {milk, 1, 1, 777, 1, QStringLiteral("Необходимо обязательно выбрать строку в списке \"Ед.изм.\".")},
        {milk, 1, 1, {}, 9, QStringLiteral("Необходимо обязательно выбрать строку в списке \"Склад\".")},
    };
    for (const Case& c : cases) {
        prompt.clear();
        stock::LotInput lot;
        lot.receiptId = receiptId;
        lot.productId = c.product;
        lot.quantity = c.quantity;
        lot.cost = c.cost;
        lot.unitId = c.unit;
        lot.warehouse = c.warehouse;
        EXPECT_FALSE(stock::saveLot(db(), prompt, lot));
        EXPECT_EQ(prompt.messages(), QStringList({QStringLiteral("warning: ") + c.message}));
    }
    EXPECT_EQ(stockTables(), before);
}

TEST_F(StockDocuments, DirectLotWithItsOwnDate)
{
    stock::LotInput lot;
    lot.productId = milk;
    lot.quantity = 2;
    lot.cost = 70;
    lot.date = QDate(2026, 1, 1);
    lot.warehouse = 2;
    const auto id = stock::saveLot(db(), prompt, lot);
    ASSERT_TRUE(id);
    EXPECT_EQ(count(QStringLiteral("SELECT status FROM storage WHERE id = ?1"), {*id}), -1);
    const auto lots = stock::lotRemnants(db(), QDate(2026, 1, 1));
    ASSERT_EQ(lots.size(), 1u);
    EXPECT_EQ(lots[0].lotDate, QDate(2026, 1, 1));
    EXPECT_EQ(lots[0].sellBy, QDate(2026, 1, 6));
    EXPECT_TRUE(stock::lotRemnants(db(), QDate(2025, 12, 31)).empty());
}

TEST_F(StockDocuments, ExpenseAndWriteOffLinesWithinTheLotsRemnant)
{
    const qint64 l = directLot(milk, 5, QStringLiteral("2026-01-01"), QStringLiteral("2026-02-01"), 60);
    stock::StockDocumentHeader h;
    h.date = QDate(2026, 1, 5);
    const qint64 doc = stock::saveStockDocument(db(), StockKind::Expense, h);
    stock::LotLineInput line;
    line.documentId = doc;
    line.lotId = l;
    line.quantity = 6;
    const QStringList before = stockTables();
    EXPECT_FALSE(stock::saveLotLine(db(), prompt, StockKind::Expense, line));
    EXPECT_EQ(prompt.messages(), QStringList({QStringLiteral("warning: Количество превышает остаток партии на складе: 5 кг.")}));
    EXPECT_EQ(stockTables(), before);
    line.quantity = 2;
    const auto id = stock::saveLotLine(db(), prompt, StockKind::Expense, line);
    ASSERT_TRUE(id);
    EXPECT_DOUBLE_EQ(stock::readStockDocument(db(), StockKind::Expense, doc)->sum, 120);
    prompt.clear();
    prompt.answers = {Answer::Yes};
    stock::confirmStockDocument(db(), prompt, StockKind::Expense, doc);
    EXPECT_EQ(prompt.messages().value(0), QStringLiteral("question: Выполнить расход? \"Да\" - выполнить, \"Нет\" - "
                                                         "сохранить как черновик, \"Отмена\" - вернуться. => Да"));
    // Editing the approved line: its own 2 kg are given back before the check.
    line.id = id;
    line.quantity = 5;
    EXPECT_TRUE(stock::saveLotLine(db(), prompt, StockKind::Expense, line));
    const auto rows = stock::documentLines(db(), StockKind::Expense, doc);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].delivery, QStringLiteral("Без № поставки"));

    stock::StockDocumentHeader w;
    w.date = QDate(2026, 1, 6);
    const qint64 off = stock::saveStockDocument(db(), StockKind::WriteOff, w);
    stock::LotLineInput spoil;
    spoil.documentId = off;
    spoil.lotId = l;
    spoil.quantity = 0.5;
    spoil.reason = QStringLiteral("Порча");
    prompt.clear();
    EXPECT_FALSE(stock::saveLotLine(db(), prompt, StockKind::WriteOff, spoil));  // nothing left after 5 kg
    EXPECT_EQ(prompt.messages(), QStringList({QStringLiteral("warning: Количество превышает остаток партии на складе: 0 кг.")}));
}

TEST_F(StockDocuments, OrderLinesAndTotal)
{
    stock::StockDocumentHeader h;
    h.date = QDate(2026, 1, 5);
    const qint64 order = stock::saveStockDocument(db(), StockKind::Order, h);
    stock::OrderLineInput line;
    line.documentId = order;
    line.productId = milk;
    line.quantity = 4;
    line.cost = 2.5;
    ASSERT_TRUE(stock::saveOrderLine(db(), prompt, line));
    EXPECT_DOUBLE_EQ(stock::readStockDocument(db(), StockKind::Order, order)->sum, 10);
    EXPECT_EQ(stock::documentLines(db(), StockKind::Order, order).at(0).unit, QStringLiteral("кг"));
    prompt.answers = {Answer::Cancel};
    EXPECT_EQ(stock::confirmStockDocument(db(), prompt, StockKind::Order, order), stock::StockConfirm::Returned);
    EXPECT_EQ(count(QStringLiteral("SELECT status FROM orders WHERE id = ?1"), {order}), 0);
    EXPECT_EQ(stock::confirmQuestion(StockKind::WriteOff),
              QStringLiteral("Утвердить списание? \"Да\" - утвердить, \"Нет\" - сохранить как черновик, \"Отмена\" - вернуться."));
}

} // namespace
} // namespace rat::test
