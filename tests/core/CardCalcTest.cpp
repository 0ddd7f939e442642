// Technological card calculations: the expansion into products through nested dishes, the
// nutrient value with inedible parts and each card's own losses, the planned cost with seasonal
// gross weights, the questions after a recipe change, the batch commands, the calculation view,
// the cost of a card in a menu, and a nesting loop in a damaged file. Every figure is worked
// out by hand in the comments.

#include "core/Clock.h"
#include "core/Database.h"
#include "core/DatabaseSession.h"
#include "core/Settings.h"
#include "refbooks/CardCalc.h"
#include "support/FileTest.h"
#include "support/ScriptedPrompt.h"
#include "support/TestEnv.h"
#include "support/ToolRun.h"

#include <QRegularExpression>
#include <gtest/gtest.h>

using namespace rat;
using namespace rat::books;

namespace {

class CardCalc : public test::FileTest {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(session.createDatabase(env.path(QStringLiteral("cards.db"))));
        db().execScript(QStringLiteral("DELETE FROM vitamin; DELETE FROM vitamin_quantity; DELETE FROM card_vitamin; "
                                       "DELETE FROM SEZON; DELETE FROM products; DELETE FROM card_recipes; "
                                       "DELETE FROM recipes; DELETE FROM output; DELETE FROM type_eating; "
                                       "UPDATE INF SET Sezonnost = 0"));
        if (db().scalar(QStringLiteral("SELECT COUNT(*) FROM INF")).toInt() == 0)
            db().exec(QStringLiteral("INSERT INTO INF (Sezonnost) VALUES (0)"));
        db().exec(QStringLiteral("INSERT INTO ed_izmer (id, ename, koef) VALUES (901, 'кг', 1000)"));
        vitC = insert(QStringLiteral("INSERT INTO vitamin (vname, shname, ispCard) VALUES ('Витамин C', 'C', -1)"));
        vitB1 = insert(QStringLiteral("INSERT INTO vitamin (vname, shname, ispCard) VALUES ('Тиамин', 'B1', -1)"));
        vitK = insert(QStringLiteral("INSERT INTO vitamin (vname, shname, ispCard) VALUES ('Калий', 'K', 0)"));
        prompt.clear();
    }
    void TearDown() override { Clock::setToday(QDate()); }

    qint64 product(const QString& name, double fat, double procNe = 0, double plpris = 0, qint64 id = 0)
    {
        return insert(QStringLiteral("INSERT INTO products (id, pname, fat, protein, carbohyd, calories, procNe, plpris, "
                                     "id_ed_izmer) VALUES (?1, ?2, ?3, 0, 0, 0, ?4, ?5, 901)"),
                      {id ? QVariant(id) : QVariant(), name, fat, procNe, plpris});
    }

    qint64 card(const QString& name, double prFat = 0, QVariant vih = {}, qint64 id = 0)
    {
        return insert(QStringLiteral("INSERT INTO card_recipes (id, cname, pr_fat, vih, number1) VALUES (?1, ?2, ?3, ?4, '1')"),
                      {id ? QVariant(id) : QVariant(), name, prFat, vih});
    }

    qint64 line(qint64 cardId, qint64 item, double brutto, double netto, bool isCard = false)
    {
        return insert(QStringLiteral("INSERT INTO recipes (id_card_recipes, id_product, brutto, netto, isCard, isComment, "
                                     "isVariant, id_MainCard) VALUES (?1, ?2, ?3, ?4, ?5, 0, 0, 0)"),
                      {cardId, item, brutto, netto, isCard ? -1 : 0});
    }

    qint64 variant(qint64 cardId, qint64 item, double brutto, double netto, qint64 mainLine)
    {
        return insert(QStringLiteral("INSERT INTO recipes (id_card_recipes, id_product, brutto, netto, isCard, isComment, "
                                     "isVariant, id_MainCard) VALUES (?1, ?2, ?3, ?4, 0, 0, -1, ?5)"),
                      {cardId, item, brutto, netto, mainLine});
    }

    qint64 comment(qint64 cardId, const QString& text, double brutto, double netto)
    {
        return insert(QStringLiteral("INSERT INTO recipes (id_card_recipes, id_product, brutto, netto, isCard, isComment, "
                                     "isVariant, id_MainCard, comment) VALUES (?1, 0, ?2, ?3, 0, -1, 0, 0, ?4)"),
                      {cardId, brutto, netto, text});
    }

    double field(qint64 cardId, const QString& name)
    {
        return db().scalar(QStringLiteral("SELECT %1 FROM card_recipes WHERE id = ?1").arg(name), {cardId}).toDouble();
    }

    QStringList vitaminRows(qint64 cardId)
    {
        QStringList out;
        Statement st(db(), QStringLiteral("SELECT v.shname, cv.kol, cv.kol_vih, cv.kolpr, cv.vih FROM card_vitamin cv "
                                          "JOIN vitamin v ON v.id = cv.id_vitamin WHERE cv.id_card_recipes = ?1 "
                                          "ORDER BY v.id"));
        st.bind(1, cardId);
        while (st.next())
            out << QStringLiteral("%1 %2 %3 %4 %5")
                       .arg(st.toString(0))
                       .arg(st.toDouble(1))
                       .arg(st.toDouble(2))
                       .arg(st.toDouble(3))
                       .arg(st.toDouble(4));
        return out;
    }

    static QStringList lines(const CardExpansion& e)
    {
        QStringList out;
        for (const ExpandedLine& l : e.lines)
            out << QStringLiteral("%1 %2 %3 c%4 d%5").arg(l.productName).arg(l.gross).arg(l.net).arg(l.ownerCardId).arg(l.depth);
        return out;
    }

    qint64 vitC = 0, vitB1 = 0, vitK = 0;
};

// 50 g net of a product with 10 g fat per 100 g, 20 % inedible, 10 % fat lost in cooking:
// 0.8 × 10 × 50 / 100 × 0.9 = 3.6 per 100 g; with vih 250, 3.6 × 2.5 = 9.
// Variant and comment lines carry weights that must change nothing.
TEST_F(CardCalc, NutrientsOfOneCardWithInediblePartAndLossesVariantsAndCommentsIgnored)
{
    const qint64 oil = product(QStringLiteral("Масло"), 10, 20);
    const qint64 lard = product(QStringLiteral("Сало"), 90);
    const qint64 c = card(QStringLiteral("Каша"), 10, 250);
    const qint64 main = line(c, oil, 55, 50);
    variant(c, lard, 100, 100, main);
    comment(c, QStringLiteral("Подавать горячим"), 70, 70);

    const auto v = calculateCardNutrients(db(), c, &prompt);
    ASSERT_TRUE(v);
    EXPECT_DOUBLE_EQ(v->fat, 3.6);
    EXPECT_DOUBLE_EQ(v->fatVih, 9.0);
    EXPECT_DOUBLE_EQ(field(c, "fat"), 3.6);
    EXPECT_DOUBLE_EQ(field(c, "fat_vih"), 9.0);
    EXPECT_DOUBLE_EQ(field(c, "protein"), 0.0);
    EXPECT_TRUE(prompt.messages().isEmpty());

    // Without vih the second column is stated for 100 g.
    db().exec(QStringLiteral("UPDATE card_recipes SET vih = NULL WHERE id = ?1"), {c});
    calculateCardNutrients(db(), c);
    EXPECT_DOUBLE_EQ(field(c, "fat_vih"), 3.6);
}

// Nested card B: 50 g net of a product with 10 g fat, B loses 20 % of fat. A nests 40 g of B
// and has 30 g of its own product with 10 g fat; A loses 50 %.
// B's product in A: 50 × 40 / 100 = 20 g -> 10 × 20 / 100 = 2 g, less B's 20 % = 1.6.
// A's own: 10 × 30 / 100 = 3 g, less A's 50 % = 1.5. A's fat = 3.1.
TEST_F(CardCalc, NestedDishKeepsItsOwnLosses)
{
    const qint64 butter = product(QStringLiteral("Масло"), 10);
    const qint64 b = card(QStringLiteral("Соус"), 20);
    line(b, butter, 60, 50);
    const qint64 a = card(QStringLiteral("Котлета с соусом"), 50);
    line(a, b, 45, 40, true);
    line(a, butter, 35, 30);

    const CardExpansion e = expandCard(db(), a, 100);
    EXPECT_EQ(lines(e), QStringList({QStringLiteral("Масло 24 20 c%1 d1").arg(b),
                                     QStringLiteral("Масло 35 30 c%1 d0").arg(a)}));

    const auto v = calculateCardNutrients(db(), a);
    ASSERT_TRUE(v);
    EXPECT_DOUBLE_EQ(v->fat, 3.1);
    EXPECT_DOUBLE_EQ(field(a, "fat"), 3.1);
    // The nested card itself is not written by the outer card's calculation.
    EXPECT_DOUBLE_EQ(field(b, "fat"), 0.0);
}

// Vitamin C 40 mg per 100 g, 50 g net, 25 % lost: 40 × 50 / 100 × 0.75 = 15 per 100 g, per
// vih 250: 37.5. B1 has no content row: 0, its stored loss 5 kept. Potassium is not a card
// vitamin: its old row is removed and not rewritten.
TEST_F(CardCalc, VitaminRowsRewrittenWithLossesKept)
{
    const qint64 apple = product(QStringLiteral("Яблоко"), 0);
    db().exec(QStringLiteral("INSERT INTO vitamin_quantity (id_product, id_vitamin, quantity) VALUES (?1, ?2, 40), "
                             "(?1, ?3, 300)"),
              {apple, vitC, vitK});
    const qint64 c = card(QStringLiteral("Компот"), 0, 250);
    line(c, apple, 60, 50);
    db().exec(QStringLiteral("INSERT INTO card_vitamin (id_vitamin, id_card_recipes, kol, kol_vih, kolpr, vih) VALUES "
                             "(?1, ?4, 1, 1, 25, 100), (?2, ?4, 7, 7, 5, 100), (?3, ?4, 9, 9, 9, 100)"),
              {vitC, vitB1, vitK, c});

    calculateCardNutrients(db(), c);
    EXPECT_EQ(vitaminRows(c), QStringList({"C 15 37.5 25 250", "B1 0 0 5 250"}));
    // Run again: the same rows, the losses still kept.
    calculateCardNutrients(db(), c);
    EXPECT_EQ(vitaminRows(c), QStringList({"C 15 37.5 25 250", "B1 0 0 5 250"}));
}

// Three levels, worked out by hand.
// C: X 60/50, Y 30/25.  B: Z 40/30, C nested 55/50 (and a variant and a comment).  A: X 20/16,
// B nested 70/60.
// A at 200 g: X 40/32; B at 60 × 200 / 100 = 120 g: Z 48/36; C at 50 × 120 / 100 = 60 g:
// X 36/30, Y 18/15.
// Nutrients at 100 g: B at F = 60: Z w = 18; C at F = 30: X w = 15, Y w = 7.5; A's X w = 16.
// Fat X 10 (10 % inedible), Y 6, Z 20; losses A 10 %, B 20 %, C 50 %.
// A: 0.9 × 10 × 16 / 100 = 1.44 -> × 0.9 = 1.296 -> T = 1.30;
// B: 20 × 18 / 100 = 3.6 -> × 0.8 = 2.88 -> T = 4.18;
// C: 0.9 × 10 × 15 / 100 + 6 × 7.5 / 100 = 1.35 + 0.45 = 1.8 -> × 0.5 = 0.9 -> T = 5.08.
// Planned prices per kg X 100, Y 60, Z 200: C = 6 + 1.8 = 7.80; B = 8 + 50 × 7.80 / 100 = 11.90;
// A = 2 + 60 × 11.90 / 100 = 9.14.
TEST_F(CardCalc, ThreeLevelCardByHand)
{
    const qint64 x = product(QStringLiteral("Икс"), 10, 10, 100);
    const qint64 y = product(QStringLiteral("Игрек"), 6, 0, 60);
    const qint64 z = product(QStringLiteral("Зет"), 20, 0, 200);
    const qint64 c = card(QStringLiteral("Вложенное 2"), 50);
    line(c, x, 60, 50);
    line(c, y, 30, 25);
    const qint64 b = card(QStringLiteral("Вложенное 1"), 20);
    const qint64 zLine = line(b, z, 40, 30);
    line(b, c, 55, 50, true);
    variant(b, x, 500, 500, zLine);
    comment(b, QStringLiteral("или по вкусу"), 300, 300);
    const qint64 a = card(QStringLiteral("Верхнее"), 10);
    line(a, x, 20, 16);
    line(a, b, 70, 60, true);

    const CardExpansion e = expandCard(db(), a, 200);
    EXPECT_FALSE(e.cycle);
    EXPECT_EQ(lines(e), QStringList({QStringLiteral("Икс 40 32 c%1 d0").arg(a), QStringLiteral("Зет 48 36 c%1 d1").arg(b),
                                     QStringLiteral("Икс 36 30 c%1 d2").arg(c),
                                     QStringLiteral("Игрек 18 15 c%1 d2").arg(c)}));

    const auto v = calculateCardNutrients(db(), a);
    ASSERT_TRUE(v);
    EXPECT_DOUBLE_EQ(v->fat, 5.08);

    EXPECT_EQ(calculateCardCost(db(), c), 7.80);
    EXPECT_EQ(calculateCardCost(db(), b), 11.90);
    EXPECT_EQ(storeCardCost(db(), a), 9.14);
    EXPECT_DOUBLE_EQ(field(a, "cost"), 9.14);

    // In a menu at a yield of 200 g. Planned product prices over the expanded gross weights:
    // X 40 × 0.1 = 4.00, Z 48 × 0.2 = 9.60, X 36 × 0.1 = 3.60, Y 18 × 0.06 = 1.08 -> 18.28.
    const qint64 eater = insert(QStringLiteral("INSERT INTO type_eating (ename, shname, status) VALUES ('Ясли', 'Я', -1)"));
    db().exec(QStringLiteral("INSERT INTO output (id_card_recipe, id_type_eating, output1, output2, output3) VALUES "
                             "(?1, ?2, 200, 0, 0)"),
              {a, eater});
    const QDate day(2024, 6, 1);
    EXPECT_DOUBLE_EQ(*cardMenuCost(db(), a, eater, CostBasis::PlannedProductPrice, day), 18.28);
    // Planned card price: 9.14 × 200 / 100.
    EXPECT_DOUBLE_EQ(*cardMenuCost(db(), a, eater, CostBasis::PlannedCardPrice, day), 18.28);
    // Latest delivery of X not later than 1 June: the 1 May receipt, largest lot 150 per kg; a
    // later receipt and an unreceived one do not count; Y and Z have no lots.
    // X 40 × 0.15 + 36 × 0.15 = 6.00 + 5.40 = 11.40.
    const auto receipt = [&](const QString& date, int status) {
        return insert(QStringLiteral("INSERT INTO receipt (rdate, status) VALUES (?1, ?2)"), {date, status});
    };
    const auto lot = [&](qint64 r, double cost) {
        db().exec(QStringLiteral("INSERT INTO storage (id_product, quantity, id_receipt, cost, id_ed_izmer, status) "
                                 "VALUES (?1, 1, ?2, ?3, 901, 0)"),
                  {x, r, cost});
    };
    lot(receipt(QStringLiteral("2024-03-01"), -1), 120);
    const qint64 may = receipt(QStringLiteral("2024-05-01"), -1);
    lot(may, 130);
    lot(may, 150);
    lot(receipt(QStringLiteral("2024-05-20"), 0), 900);
    lot(receipt(QStringLiteral("2024-07-01"), -1), 500);
    EXPECT_DOUBLE_EQ(*latestDeliveryPricePerGram(db(), x, day), 0.15);
    EXPECT_FALSE(latestDeliveryPricePerGram(db(), y, day));
    EXPECT_DOUBLE_EQ(*cardMenuCost(db(), a, eater, CostBasis::LatestDelivery, day), 11.40);
    EXPECT_FALSE(cardMenuCost(db(), a, eater + 1, CostBasis::LatestDelivery, day));
    // A receipt on the costing date itself is the latest delivery: 100 per kg.
    lot(receipt(QStringLiteral("2024-06-01"), -1), 100);
    EXPECT_DOUBLE_EQ(*latestDeliveryPricePerGram(db(), x, day), 0.10);
    EXPECT_DOUBLE_EQ(*cardMenuCost(db(), a, eater, CostBasis::LatestDelivery, day), 7.60);
}

// Cost with seasonal losses on 15 October: product P (80 per kg) has 20 % loss in January to
// August and 25 % in September to December, so its 75 g gross becomes 80 × 75 / 75 = 80 g:
// 80 × 0.08 = 6.40 instead of 6.00. The nested dish B (200 g of Q at 50 per kg = 10.00 per 100 g)
// comes in at its 40 g net, unadjusted, although a product with B's id has seasonal periods:
// 4.00. Total 10.40.
TEST_F(CardCalc, SeasonalGrossOnProductLinesButNotOnNestedShare)
{
    const qint64 b = card(QStringLiteral("Гарнир"), 0, {}, 7);
    const qint64 p = product(QStringLiteral("Картофель"), 0, 0, 80, 7);
    const qint64 q = product(QStringLiteral("Рис"), 0, 0, 50);
    line(b, q, 200, 180);
    const qint64 a = card(QStringLiteral("Рагу"));
    line(a, p, 75, 60);
    line(a, b, 45, 40, true);
    db().exec(QStringLiteral("INSERT INTO SEZON (id_PRODUCT, DAY_N, MES_N, DAY_O, MES_O, PROZ) VALUES "
                             "(?1, 1, 0, 31, 7, 20), (?1, 1, 8, 31, 11, 25)"),
              {p});
    Clock::setToday(QDate(2024, 10, 15));

    EXPECT_EQ(calculateCardCost(db(), a), 10.00);  // switch off
    db().exec(QStringLiteral("UPDATE INF SET Sezonnost = -1"));
    EXPECT_EQ(calculateCardCost(db(), a), 10.40);
    Clock::setToday(QDate(2024, 3, 15));  // the smallest loss: the recipe's own weight
    EXPECT_EQ(calculateCardCost(db(), a), 10.00);
}

// The questions after a recipe change: both with No as the default, in order; none with the
// setting at 0; the cost question only when some product has a planned price.
TEST_F(CardCalc, RecalculationQuestionsAfterRecipeChange)
{
    const qint64 oil = product(QStringLiteral("Масло"), 10, 20, 120);
    const qint64 c = card(QStringLiteral("Каша \"Дружба\""), 10, 250);
    line(c, oil, 50, 50);
    const QString q1 = QStringLiteral(
        "question: Вы изменили рецептуру. Пересчитать пищевую ценность технологической карты \"Каша \"Дружба\"\" с учетом "
        "химического состава продуктов и  \"% несъедобной части\" продукта  из справочника \"Продукты\", а также с "
        "учетом \"Потери при тепловой обработке, %\"? => ");
    const QString q2 =
        QStringLiteral("question: Вы изменили рецептуру, пересчитать стоимость технологической карты \"Каша \"Дружба\"\"? => ");

    Settings::setText(QStringLiteral("User"), QStringLiteral("ispAvtRas"), QStringLiteral("0"));
    askRecalculationAfterRecipeChange(db(), prompt, c);
    EXPECT_TRUE(prompt.events.isEmpty());
    EXPECT_DOUBLE_EQ(field(c, "fat"), 0.0);

    Settings::setText(QStringLiteral("User"), QStringLiteral("ispAvtRas"), QString());
    prompt.answers = {Answer::No, Answer::Yes};
    askRecalculationAfterRecipeChange(db(), prompt, c);
    EXPECT_EQ(prompt.events, QStringList({q1 + "Нет", q2 + "Да"}));
    EXPECT_DOUBLE_EQ(field(c, "fat"), 0.0);
    EXPECT_DOUBLE_EQ(field(c, "cost"), 6.0);  // 50 g × 0.12

    Settings::setText(QStringLiteral("User"), QStringLiteral("ispAvtRas"), QStringLiteral("1"));
    db().exec(QStringLiteral("UPDATE products SET plpris = 0"));
    prompt.clear();
    prompt.answers = {Answer::Yes};
    askRecalculationAfterRecipeChange(db(), prompt, c);
    EXPECT_EQ(prompt.events, QStringList({q1 + "Да"}));
    EXPECT_DOUBLE_EQ(field(c, "fat"), 3.6);
}

// The batch commands: their questions, the status texts after each card and the end messages.
TEST_F(CardCalc, BatchCommands)
{
    const qint64 oil = product(QStringLiteral("Масло"), 10, 0, 100);
    const qint64 soup = insert(QStringLiteral("INSERT INTO type_meal (tname) VALUES ('Супы')"));
    const qint64 c1 = card(QStringLiteral("Первое"));
    const qint64 c2 = card(QStringLiteral("Второе"));
    db().exec(QStringLiteral("UPDATE card_recipes SET id_type_meal = ?1 WHERE id = ?2"), {soup, c2});
    const qint64 lard = product(QStringLiteral("Сало"), 90, 0, 100);
    const qint64 main1 = line(c1, oil, 10, 10);
    line(c2, oil, 20, 20);
    // A variant line, which the batch over all cards must leave out as a single card does.
    variant(c1, lard, 50, 50, main1);
    comment(c1, QStringLiteral("Подавать горячим"), 30, 30);
    const QString ask =
        QStringLiteral("question: Рассчитывать химический состав всех блюд? \"Да\" - все блюда, \"Нет\" - выделенное "
                       "блюдо, \"Отмена\" - не рассчитывать. => ");

    prompt.answers = {Answer::Cancel};
    batchNutrientCommand(db(), prompt, c1, true);
    EXPECT_EQ(prompt.events, QStringList({ask + "Отмена"}));
    EXPECT_DOUBLE_EQ(field(c1, "fat"), 0.0);

    prompt.clear();
    prompt.answers = {Answer::No};
    batchNutrientCommand(db(), prompt, c2, false);
    EXPECT_EQ(prompt.events,
              QStringList({ask + "Нет", "status: Пересчитано 1 технологических карт",
                           "info: Расчет химического состава завершен. Данные можно посмотреть в справочнике "
                           "\"Технологические карты\"."}));
    EXPECT_DOUBLE_EQ(field(c1, "fat"), 0.0);
    EXPECT_DOUBLE_EQ(field(c2, "fat"), 2.0);

    prompt.clear();
    prompt.answers = {Answer::Yes};
    batchNutrientCommand(db(), prompt, c2, true);
    EXPECT_EQ(prompt.events, QStringList({ask + "Да", "status: Пересчитано 1 технологических карт",
                                          "status: Пересчитано 2 технологических карт",
                                          "info: Расчет химического состава завершен."}));
    EXPECT_DOUBLE_EQ(field(c1, "fat"), 1.0);

    const QString askCost = QStringLiteral(
        "question: Пересчитать стоимость технологических карт категории \"Супы\"? \"Да\" - пересчет стоимости карт только "
        "выбранной категории, \"Нет\" - пересчет стоимости всех технологических карт, \"Отмена\" - не пересчитывать. => ");
    prompt.clear();
    prompt.answers = {Answer::Yes};
    batchCostCommand(db(), prompt, soup);
    EXPECT_EQ(prompt.events, QStringList({askCost + "Да", "status: Пересчитана стоимость карт 1 из 1",
                                          "info: Пересчет выполнен.", "status: Готово."}));
    EXPECT_DOUBLE_EQ(field(c1, "cost"), 0.0);
    EXPECT_DOUBLE_EQ(field(c2, "cost"), 2.0);
    prompt.clear();
    prompt.answers = {Answer::No};
    batchCostCommand(db(), prompt, soup);
    EXPECT_EQ(prompt.events,
              QStringList({askCost + "Нет", "status: Пересчитана стоимость карт 1 из 2",
                           "status: Пересчитана стоимость карт 2 из 2", "info: Пересчет выполнен.", "status: Готово."}));
    EXPECT_DOUBLE_EQ(field(c1, "cost"), 1.0);
}

// A damaged file where A nests B and B nests A: every calculation stops with the message and
// leaves the card's values as they were.
TEST_F(CardCalc, NestingLoopEndsWithMessage)
{
    const qint64 oil = product(QStringLiteral("Масло"), 10, 0, 100);
    const qint64 a = card(QStringLiteral("Первое"));
    const qint64 b = card(QStringLiteral("Второе"));
    line(a, oil, 10, 10);
    line(a, b, 10, 10, true);
    line(b, a, 10, 10, true);
    db().exec(QStringLiteral("UPDATE card_recipes SET fat = 7, cost = 5"));
    const QString msg = QStringLiteral("critical: ") + nestingCycleMessage(QStringLiteral("Первое"));

    const CardExpansion e = expandCard(db(), a, 100, &prompt);
    EXPECT_TRUE(e.cycle);
    EXPECT_TRUE(e.lines.empty());
    EXPECT_EQ(e.message, nestingCycleMessage(QStringLiteral("Первое")));
    EXPECT_FALSE(calculateCardNutrients(db(), a, &prompt));
    EXPECT_FALSE(storeCardCost(db(), a, &prompt));
    EXPECT_EQ(prompt.events, QStringList({msg, msg, msg}));
    EXPECT_DOUBLE_EQ(field(a, "fat"), 7.0);
    EXPECT_DOUBLE_EQ(field(a, "cost"), 5.0);
    // A card nested in itself directly.
    const qint64 c = card(QStringLiteral("Третье"));
    line(c, c, 10, 10, true);
    EXPECT_TRUE(expandCard(db(), c, 100).cycle);
}

// The calculation view: yield text, lines in the ingredient order (a variant right under its
// main line), portion nutrients and the actual cost of the latest delivery.
TEST_F(CardCalc, CalculationViewPerEaterType)
{
    EXPECT_EQ(yieldText(150, 30, 0), QStringLiteral("150/30"));
    EXPECT_EQ(yieldText(150, 0, 0), QStringLiteral("150"));
    EXPECT_EQ(yieldText(150, 30, 20), QStringLiteral("150/30/20"));

    const qint64 oil = product(QStringLiteral("Масло"), 10, 0, 100);
    const qint64 lard = product(QStringLiteral("Сало"), 90);
    const qint64 c = card(QStringLiteral("Каша"));
    db().exec(QStringLiteral("UPDATE card_recipes SET fat = 4, cost = 12 WHERE id = ?1"), {c});
    const qint64 main = line(c, oil, 25, 20);
    comment(c, QStringLiteral("Варить 10 минут"), 0, 0);
    variant(c, lard, 30, 30, main);
    const qint64 on = insert(QStringLiteral("INSERT INTO type_eating (ename, shname, status) VALUES ('Сад', 'С', -1)"));
    const qint64 off = insert(QStringLiteral("INSERT INTO type_eating (ename, shname, status) VALUES ('Лагерь', 'Л', 0)"));
    db().exec(QStringLiteral("INSERT INTO output (id_card_recipe, id_type_eating, output1, output2, output3) VALUES "
                             "(?1, ?2, 150, 30, 0), (?1, ?3, 200, 0, 0)"),
              {c, on, off});
    const qint64 r = insert(QStringLiteral("INSERT INTO receipt (rdate, status) VALUES ('2024-05-01', -1)"));
    db().exec(QStringLiteral("INSERT INTO storage (id_product, quantity, id_receipt, cost, id_ed_izmer, status) VALUES "
                             "(?1, 1, ?2, 200, 901, 0)"),
              {oil, r});

    const auto blocks = cardCalculation(db(), c, {}, QDate(2024, 6, 1));
    ASSERT_EQ(blocks.size(), 1u);  // the inactive eater type is left out
    const CalcBlock& b = blocks[0];
    EXPECT_EQ(b.yieldText, QStringLiteral("150/30"));
    EXPECT_DOUBLE_EQ(b.fat, 6.0);           // 150 × 4 / 100
    EXPECT_DOUBLE_EQ(b.plannedCost, 18.0);  // 12 × 150 / 100
    ASSERT_EQ(b.lines.size(), 3u);
    EXPECT_EQ(b.lines[0].text, QStringLiteral("Масло"));
    EXPECT_DOUBLE_EQ(b.lines[0].gross, 37.5);
    EXPECT_DOUBLE_EQ(b.lines[0].net, 30.0);
    EXPECT_DOUBLE_EQ(b.lines[0].fat, 3.0);          // 10 × 30 / 100
    EXPECT_DOUBLE_EQ(b.lines[0].actualCost, 7.5);   // 0.2 per g × 37.5
    EXPECT_EQ(b.lines[1].text, QStringLiteral("   или Сало"));
    EXPECT_DOUBLE_EQ(b.lines[1].fat, 40.5);         // 90 × 45 / 100
    EXPECT_EQ(b.lines[2].text, QStringLiteral("Варить 10 минут"));
    EXPECT_TRUE(b.lines[2].comment);

    // A nested dish with the whole number its recipe number starts with: "12а" is 12, "7.9" is 7.
    const qint64 sauce = card(QStringLiteral("Соус"));
    db().exec(QStringLiteral("UPDATE card_recipes SET number1 = '3', numRec = ?2 WHERE id = ?1"),
              {sauce, QStringLiteral("12а")});
    line(c, sauce, 10, 10, true);
    auto nestedLine = [&] { return cardCalculation(db(), c, {}, QDate(2024, 6, 1)).at(0).lines.at(3).text; };
    EXPECT_EQ(nestedLine(), QStringLiteral("Соус №3 (12)"));
    db().exec(QStringLiteral("UPDATE card_recipes SET numRec = '7.9' WHERE id = ?1"), {sauce});
    EXPECT_EQ(nestedLine(), QStringLiteral("Соус №3 (7)"));
    db().exec(QStringLiteral("UPDATE card_recipes SET numRec = 'б/н' WHERE id = ?1"), {sauce});
    EXPECT_EQ(nestedLine(), QStringLiteral("Соус №3"));
}

// The headless tool: the expansion as tab-separated lines, the stored values printed.
TEST_F(CardCalc, ToolCommands)
{
    const qint64 butter = product(QStringLiteral("Масло"), 10, 0, 100);
    const qint64 b = card(QStringLiteral("Соус"), 20);
    line(b, butter, 60, 50);
    const qint64 a = card(QStringLiteral("Котлета"), 50);
    line(a, b, 45, 40, true);
    const QString path = db().path();
    session.close();  // the tool opens the file alone

    test::ToolRun run = test::runTool(env.dir(), path, {QStringLiteral("card-expand"), QString::number(a), "150"});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    // The lines after the status texts of opening the file.
    const QStringList out = run.lines.filter(QRegularExpression(QStringLiteral("^(?!status: )")));
    EXPECT_EQ(out, QStringList({QStringLiteral("%1\tМасло\t36\t30").arg(butter)}));

    run = test::runTool(env.dir(), path, {QStringLiteral("card-cost"), QString::number(a)});
    EXPECT_EQ(run.exitCode, 0);
    // B: 60 × 0.1 = 6.00; A: 40 × 6 / 100 = 2.40.
    EXPECT_TRUE(run.lines.contains(QStringLiteral("%1\tКотлета\t2.4").arg(a))) << run.lines.join('\n').toStdString();
}

} // namespace
