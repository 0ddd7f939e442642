// The working copy as its window edits it: the two views, a quantity typed in, the shortage list,
// the replacement of a product (substitutes and the card's alternatives, added to a line of the
// same key), re-creation, the remnant refreshed, and the day menus offered for a new document.

#include "stock/StockFixture.h"

#include "stock/MenuRequirement.h"

namespace rat::test {
namespace {

class MenuRequirementEdit : public StockFixture {
protected:
    void SetUp() override
    {
        StockFixture::SetUp();
        const qint64 pm = planMenu(QStringLiteral("Основное"), 2);
        garden = eaterType(pm, QStringLiteral("Сад"));
        nursery = eaterType(pm, QStringLiteral("Ясли"));
        lunch = meal(QStringLiteral("Обед"));
        dm = dayMenu(pm, QStringLiteral("7"));
        butter = stockProduct(QStringLiteral("Масло"), kg, 4);
        margarine = stockProduct(QStringLiteral("Маргарин"), kg, 4);
        oil = stockProduct(QStringLiteral("Масло растительное"), kg, 4);
        porridge = card(QStringLiteral("Каша"), 0, false);
        recipeLine(porridge, butter, 10, 10);
        mainLine = lastId();
        recipeLine(porridge, margarine, 4, 4);
        recipeLine(porridge, oil, 6, 6, false, false, true, mainLine);  // the card's alternative to butter
        yield(porridge, garden, 200);
        yield(porridge, nursery, 150);
        const qint64 p = point(dm, porridge, lunch);
        eaters(p, garden, 10);
        eaters(p, nursery, 4);
        // Butter 100 g may be replaced by 50 g of margarine.
        db().exec(QStringLiteral("INSERT INTO replace (id_product, id_product_replace, pr_weight, repl_weight) "
                                 "VALUES (?1, ?2, 100, 50)"),
                  {butter, margarine});
        lot(receipt(QStringLiteral("2026-12-01")), butter, 0.1, QStringLiteral("2027-01-01"));
        lot(receipt(QStringLiteral("2026-12-01")), margarine, 5, QStringLiteral("2027-01-01"));
        idm1 = stock::fillFromDayMenu(db(), prompt, dm).value();
    }
    qint64 lineOf(qint64 product, qint64 type)
    {
        return count(QStringLiteral("SELECT IDMP1 FROM MENUTR_POINT1 WHERE IDM1 = ?1 AND id_product = ?2 AND "
                                    "id_type_eating = ?3"),
                     {idm1, product, type});
    }

    qint64 garden = 0, nursery = 0, lunch = 0, dm = 0, butter = 0, margarine = 0, oil = 0, porridge = 0, mainLine = 0,
           idm1 = 0;
};

TEST_F(MenuRequirementEdit, ViewsShortageAndTypedQuantities)
{
    // Butter: 20 g × 10 = 0.2 kg and 15 g × 4 = 0.06 kg against 0.1 kg held.
    const auto all = stock::workingLines(db(), idm1, stock::WorkingView::AllEaters);
    ASSERT_EQ(all.size(), 2u);
    EXPECT_EQ(all[0].product, QStringLiteral("Маргарин"));
    EXPECT_EQ(all[1].product, QStringLiteral("Масло"));
    EXPECT_DOUBLE_EQ(all[1].kolv, 0.26);
    EXPECT_DOUBLE_EQ(all[1].ost, 0.1);
    EXPECT_EQ(all[1].lineIds.size(), 2u);
    const auto byType = stock::workingLines(db(), idm1, stock::WorkingView::ByEaterTypes);
    ASSERT_EQ(byType.size(), 4u);
    EXPECT_EQ(byType[0].eaterType, QStringLiteral("Сад"));
    EXPECT_EQ(byType[0].dish, QStringLiteral("Каша"));
    EXPECT_EQ(byType[0].meal, QStringLiteral("Обед"));
    EXPECT_EQ(stock::viewName(stock::WorkingView::ByEaterTypes), QStringLiteral("По типам довольствующихся"));

    EXPECT_EQ(stock::shortageTexts(stock::shortageList(db(), idm1)), QStringList({QStringLiteral("Масло -0.16")}));
    // A total typed in the all-eaters view: the difference goes to the product's last line.
    EXPECT_TRUE(stock::setProductTotal(db(), prompt, idm1, butter, 0.25));
    EXPECT_DOUBLE_EQ(db().scalar(QStringLiteral("SELECT kolv FROM MENUTR_POINT1 WHERE IDMP1 = ?1"),
                                 {lineOf(butter, nursery)}).toDouble(), 0.05);
    EXPECT_EQ(stock::shortageTexts(stock::shortageList(db(), idm1)), QStringList({QStringLiteral("Масло -0.15")}));
    prompt.clear();
    EXPECT_FALSE(stock::setProductTotal(db(), prompt, idm1, butter, 0.1));
    EXPECT_FALSE(stock::setLineQuantity(db(), prompt, idm1, lineOf(butter, garden), -1));
    EXPECT_EQ(prompt.messages(), QStringList({QStringLiteral("warning: Значение \"0.1\" поля \"Количество\" не корректно. "
                                                             "Измените введенное значение."),
                                              QStringLiteral("warning: Значение \"-1\" поля \"Количество\" не корректно. "
                                                             "Измените введенное значение.")}));
}

TEST_F(MenuRequirementEdit, ReplacementAddsToTheLineOfTheSameKey)
{
    const qint64 line = lineOf(butter, garden);
    const auto offer = stock::replacementOffer(db(), idm1, line);
    ASSERT_TRUE(offer);
    EXPECT_EQ(offer->caption, QStringLiteral("Замена продукта Масло"));
    EXPECT_EQ(offer->meal, QStringLiteral("Обед"));
    EXPECT_EQ(offer->dish, QStringLiteral("Каша"));
    EXPECT_EQ(offer->eaterType, QStringLiteral("Сад"));
    ASSERT_EQ(offer->candidates.size(), 2u);
    // Margarine by `replace`: 20 g × 50 / 100 = 10 g, × 10 eaters = 0.1 kg.
    EXPECT_EQ(offer->candidates[0].productId, margarine);
    EXPECT_DOUBLE_EQ(offer->candidates[0].kol, 10);
    EXPECT_DOUBLE_EQ(offer->candidates[0].kolv, 0.1);
    // The card's alternative: 6 g per 100 g at a yield of 200 is 12 g, 0.12 kg.
    EXPECT_EQ(offer->candidates[1].productId, oil);
    EXPECT_TRUE(offer->candidates[1].fromCard);
    EXPECT_DOUBLE_EQ(offer->candidates[1].kol, 12);
    EXPECT_DOUBLE_EQ(offer->candidates[1].kolv, 0.12);

    const qint64 margarineLine = lineOf(margarine, garden);  // 4 × 2 = 8 g, 0.08 kg
    EXPECT_EQ(stock::replaceProduct(db(), prompt, idm1, line, offer->candidates[0]), margarineLine);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM MENUTR_POINT1 WHERE IDMP1 = ?1"), {line}), 0);
    EXPECT_DOUBLE_EQ(db().scalar(QStringLiteral("SELECT kol FROM MENUTR_POINT1 WHERE IDMP1 = ?1"), {margarineLine}).toDouble(), 18);
    EXPECT_DOUBLE_EQ(db().scalar(QStringLiteral("SELECT kolv FROM MENUTR_POINT1 WHERE IDMP1 = ?1"), {margarineLine}).toDouble(),
                     0.18);

    // The alternative goes on a new line with the old line's eater type, meal, dish and yield.
    const qint64 nurseryLine = lineOf(butter, nursery);
    const auto second = stock::replacementOffer(db(), idm1, nurseryLine);
    const auto added = stock::replaceProduct(db(), prompt, idm1, nurseryLine, second->candidates[1]);
    ASSERT_TRUE(added);
    EXPECT_EQ(workingLines(idm1).last(), QStringLiteral("Масло растительное:Ясли:Каша=9/0.036 ост 0"));
}

TEST_F(MenuRequirementEdit, RemnantRefreshedAndRecreation)
{
    lot(receipt(QStringLiteral("2026-12-02")), butter, 1, QStringLiteral("2027-01-01"));
    stock::refreshRemnants(db(), idm1);
    EXPECT_DOUBLE_EQ(stock::workingLines(db(), idm1, stock::WorkingView::AllEaters)[1].ost, 1.1);

    stock::setLineQuantity(db(), prompt, idm1, lineOf(butter, garden), 5);
    prompt.answers = {Answer::No};
    EXPECT_FALSE(stock::recreateWorkingCopy(db(), prompt, idm1));
    prompt.clear();
    prompt.answers = {Answer::Yes};
    const auto again = stock::recreateWorkingCopy(db(), prompt, idm1);
    ASSERT_TRUE(again);
    EXPECT_EQ(prompt.messages(), QStringList({QStringLiteral("question: Создать заново меню-требование по меню на день? => Да")}));
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM MENUTR1")), 1);
    idm1 = *again;
    EXPECT_DOUBLE_EQ(db().scalar(QStringLiteral("SELECT kolv FROM MENUTR_POINT1 WHERE IDMP1 = ?1"),
                                 {lineOf(butter, garden)}).toDouble(), 0.2);
}

TEST_F(MenuRequirementEdit, StoredAndLoadedBackWithTheRemnantOfItsWarehouse)
{
    stock::setLineQuantity(db(), prompt, idm1, lineOf(butter, garden), 0.5);
    const qint64 idm = stock::storeWorkingCopy(db(), idm1, std::nullopt, 10);
    stock::clearWorkingCopy(db(), idm1);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM MENUTR_POINT WHERE IDM = ?1"), {idm}), 4);
    db().exec(QStringLiteral("UPDATE MENUTM SET IDSkl = 2 WHERE IDM = ?1"), {idm});
    idm1 = stock::loadIntoWorkingCopy(db(), prompt, dm, idm).value();
    EXPECT_EQ(stock::readWorkingHeader(db(), idm1)->warehouse, 2);
    // The lots are in warehouse 1: nothing held in warehouse 2.
    EXPECT_EQ(workingLines(idm1), QStringList({QStringLiteral("Масло:Сад:Каша=20/0.5 ост 0"),
                                               QStringLiteral("Маргарин:Сад:Каша=8/0.08 ост 0"),
                                               QStringLiteral("Масло:Ясли:Каша=15/0.06 ост 0"),
                                               QStringLiteral("Маргарин:Ясли:Каша=6/0.024 ост 0")}));
    db().exec(QStringLiteral("UPDATE MENUTM1 SET IDSkl = 0 WHERE IDM1 = ?1"), {idm1});
    stock::refreshRemnants(db(), idm1);
    EXPECT_EQ(workingLines(idm1).value(1), QStringLiteral("Маргарин:Сад:Каша=8/0.08 ост 5"));
}

TEST_F(MenuRequirementEdit, DayMenusOfferedForANewDocument)
{
    dayMenu(planMenu(QStringLiteral("Второе"), 2), QStringLiteral("8"), QStringLiteral("2026-12-06"));
    prompt.choices = {1};
    EXPECT_EQ(stock::chooseDayMenuForNewRequirement(db(), prompt), dm);
    EXPECT_EQ(prompt.messages().value(0).left(37), QStringLiteral("choose: Выберите меню на день: => № 7"));
    db().exec(QStringLiteral("DELETE FROM day_menu"));
    prompt.clear();
    EXPECT_FALSE(stock::chooseDayMenuForNewRequirement(db(), prompt));
    EXPECT_EQ(prompt.messages(), QStringList({QStringLiteral("info: Нет документов меню на день. Создание "
                                                             "меню-требования невозможно.")}));
}

} // namespace
} // namespace rat::test
