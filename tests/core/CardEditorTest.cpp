// The card window's logic: the ingredient grid's order and nested dishes, the yield texts, the
// save with its messages in order, a copy with its variants re-pointed, the line commands'
// conditions, the deletion of grid rows with its refusals and questions, and closing.

#include "core/Database.h"
#include "refbooks/CardEditor.h"
#include "support/FileTest.h"

#include <gtest/gtest.h>

using namespace rat;
using namespace rat::books;

namespace {

class CardEditorTest : public test::FileTest {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(session.createDatabase(env.path(QStringLiteral("cards.db"))));
        db().execScript(QStringLiteral(
            "DELETE FROM output; DELETE FROM type_eating; DELETE FROM type_menu; DELETE FROM RECEPTUR;"
            "INSERT INTO type_meal (id, tname) VALUES (1, 'Супы');"
            "INSERT INTO type_culinary (id, cname) VALUES (1, 'Варка');"
            "INSERT INTO RECEPTUR (ID, namev, namesh) VALUES (1, 'Сборник 2011', 'Сб.2011');"
            "INSERT INTO products (id, pname) VALUES (1, 'Свекла'), (2, 'Морковь'), (3, 'Мясо'), (4, 'Лук');"
            "INSERT INTO card_recipes (id, cname, number1, numRec, id_type_meal, id_type_culinary, id_receptur, vih) "
            "VALUES (1, 'Борщ', '5', '', 1, 1, 1, 250), (2, 'Фрикадельки', '12', '105а', 1, 1, 1, 100), "
            "(3, 'Фарш', '7', '0', 1, 1, 1, 100);"));
        prompt.clear();
    }

    qint64 line(qint64 id, qint64 card, qint64 item, double brutto, double netto, const QString& extra = {},
                const QString& values = {})
    {
        return insert(QStringLiteral("INSERT INTO recipes (id, id_card_recipes, id_product, brutto, netto") + extra +
                          QStringLiteral(") VALUES (?1, ?2, ?3, ?4, ?5") + values + QLatin1Char(')'),
                      {id, card, item, brutto, netto});
    }

    QStringList ingredientTexts(qint64 card)
    {
        QStringList out;
        for (const CardIngredientRow& r : cardIngredientRows(db(), card))
            out << QStringLiteral("%1|%2|%3|%4").arg(r.kind, r.text).arg(r.brutto).arg(r.netto);
        return out;
    }

    // The card's own lines, cell by cell, and its yields: for "left unchanged" checks.
    QStringList cardData() { return dump(QStringLiteral("card_recipes")) + dump(QStringLiteral("recipes")) +
                                    dump(QStringLiteral("output")) + dump(QStringLiteral("card_vitamin")); }
};

TEST_F(CardEditorTest, IngredientGridOrderKindsAndNestedDishes)
{
    // Борщ: main line 12 with variants 15 and 16, line 13, a comment 14, the nested dish 20.
    line(12, 1, 1, 50, 40);
    line(13, 1, 2, 20, 16);
    line(14, 1, 0, 0, 0, QStringLiteral(", isComment, comment"), QStringLiteral(", -1, 'Подавать со сметаной'"));
    line(15, 1, 4, 30, 25, QStringLiteral(", isVariant, id_MainCard"), QStringLiteral(", -1, 12"));
    line(16, 1, 2, 45, 38, QStringLiteral(", isVariant, id_MainCard"), QStringLiteral(", -1, 12"));
    line(20, 1, 2, 33, 33, QStringLiteral(", isCard"), QStringLiteral(", -1"));
    // Фрикадельки: meat, a variant and a comment (not expanded), and the nested Фарш.
    line(30, 2, 3, 81.3, 60.25);
    line(31, 2, 4, 5, 5, QStringLiteral(", isVariant, id_MainCard"), QStringLiteral(", -1, 30"));
    line(32, 2, 0, 0, 0, QStringLiteral(", isComment, comment"), QStringLiteral(", -1, 'Жарить'"));
    line(33, 2, 3, 10, 7.4, QStringLiteral(", isCard"), QStringLiteral(", -1"));

    EXPECT_EQ(ingredientTexts(1),
              QStringList({QStringLiteral("|Свекла|50|40"), QStringLiteral("или|Лук|30|25"),
                           QStringLiteral("или|Морковь|45|38"), QStringLiteral("|Морковь|20|16"),
                           QStringLiteral("Комментарий|Подавать со сметаной|0|0"),
                           QStringLiteral("|Фрикадельки №12 (105):|33|33"),
                           // 81.3 × 33 / 100 = 26.829, 60.25 × 33 / 100 = 19.8825; 7.4 × 0.33 = 2.442.
                           QStringLiteral("|    >Мясо|26.83|19.88"), QStringLiteral("|      >Фарш №7|3.3|2.44")}));
    const auto rows = cardIngredientRows(db(), 1);
    ASSERT_EQ(rows.size(), 8u);
    EXPECT_EQ(rows[1].lineId, 15);
    EXPECT_EQ(rows[1].itemId, 4);
    EXPECT_FALSE(rows[5].nested);
    EXPECT_TRUE(rows[5].isCard);
    EXPECT_EQ(rows[5].itemId, 2);
    EXPECT_TRUE(rows[6].nested);
    EXPECT_EQ(rows[6].lineId, 30);
    EXPECT_TRUE(rows[7].nested && rows[7].isCard);
    EXPECT_EQ(rows[7].name, QStringLiteral("Фарш №7"));
}

TEST_F(CardEditorTest, YieldTextsAndOrder)
{
    db().execScript(QStringLiteral(
        "INSERT INTO type_menu (id, tname) VALUES (1, 'Сад'), (2, 'Ясли');"
        "INSERT INTO type_eating (id, ename, shname, status, id_type_menu) VALUES "
        "(1, 'Ясли 12 часов', 'Я12', -1, 2), (2, 'Сад 24 часа', 'С24', -1, 1), (3, 'Сад 12 часов', 'С12', -1, 1),"
        "(4, 'Санаторная', 'Сан', 0, 1);"
        "INSERT INTO output (id_card_recipe, id_type_eating, output1, output2, output3) VALUES "
        "(1, 1, 150, 30, 0), (1, 2, 150, 0, 0), (1, 3, 200, 20, 10), (1, 4, 100, 0, 0), (2, 1, 90, 0, 0);"));
    QStringList texts;
    for (const CardYieldRow& y : cardYieldRows(db(), 1))
        texts << y.eaterType + QLatin1Char('|') + y.text;
    // By plan-menu (Сад before Ясли), then eater type name; the type not on the allowance left out.
    EXPECT_EQ(texts, QStringList({QStringLiteral("С12|200/20/10"), QStringLiteral("С24|150"),
                                  QStringLiteral("Я12|150/30")}));
}

TEST_F(CardEditorTest, NewCardSaveMessagesInOrder)
{
    CardEditor card(db(), prompt);
    ASSERT_TRUE(card.open(EditMode::Add));
    EXPECT_EQ(card.caption(), QStringLiteral("Технологические карты: Новая карта *"));
    EXPECT_EQ(card.nutrientCaption(), QStringLiteral("Химический состав на 100 г:"));
    // The block: four macronutrients, then one row per vitamin counted on cards.
    QStringList captions;
    for (const auto& r : card.nutrientRows())
        captions << r.caption;
    EXPECT_EQ(captions, QStringList({QStringLiteral("Белки, г"), QStringLiteral("Жиры, г"), QStringLiteral("Углеводы, г"),
                                     QStringLiteral("Калорий, ккал"), QStringLiteral("Ca, мг"), QStringLiteral("Fe, мг"),
                                     QStringLiteral("B1, мг"), QStringLiteral("B2, мг"), QStringLiteral("C, мг")}));
    EXPECT_EQ(card.fields()[size_t(card.fieldIndex(QStringLiteral("cost")))].caption, QStringLiteral("План. стоимость, тг."));

    // The collection every file has is preset.
    EXPECT_EQ(card.value(card.fieldIndex(QStringLiteral("id_receptur"))).toLongLong(), 1);
    card.setText(QStringLiteral("id_receptur"), QString());

    const QStringList before = cardData();
    const std::vector<std::pair<QString, QString>> steps = {
        {QStringLiteral("id_type_meal"), QStringLiteral("1")},
        {QStringLiteral("number1"), QStringLiteral("8")},
        {QStringLiteral("cname"), QStringLiteral("Щи")},
        {QStringLiteral("id_type_culinary"), QStringLiteral("1")},
        {QStringLiteral("id_receptur"), QStringLiteral("1")},
    };
    const QStringList refusals = {
        QStringLiteral("warning: Необходимо обязательно выбрать строку в списке \"Категория блюда\"."),
        QStringLiteral("warning: Необходимо обязательно заполнить поле \"Номер\"."),
        QStringLiteral("warning: Необходимо обязательно заполнить поле \"Наименование\"."),
        QStringLiteral("warning: Необходимо обязательно выбрать строку в списке \"Вид обработки\"."),
        QStringLiteral("warning: Необходимо обязательно выбрать строку в списке \"Сборник рецептур\"."),
    };
    for (size_t i = 0; i < steps.size(); ++i) {
        prompt.clear();
        EXPECT_FALSE(card.save());
        EXPECT_EQ(prompt.messages(), QStringList(refusals[int(i)]));
        ASSERT_TRUE(card.setText(steps[i].first, steps[i].second));
    }
    card.setText(QStringLiteral("cost"), QStringLiteral("12,5x"));
    prompt.clear();
    EXPECT_FALSE(card.save());
    EXPECT_EQ(prompt.messages(), QStringList(QStringLiteral("warning: Значение \"12.5x\" поля \"План. стоимость, тг.\" "
                                                            "не корректно. Измените введенное значение.")));
    card.setText(QStringLiteral("cost"), QStringLiteral("12,5"));
    card.setText(QStringLiteral("vih"), QStringLiteral("0"));
    EXPECT_EQ(card.nutrientCaption(), QStringLiteral("Химический состав на 0 г:"));
    prompt.clear();
    EXPECT_FALSE(card.save());
    EXPECT_EQ(prompt.messages(), QStringList(QStringLiteral("warning: Укажите количество грамм отличное от нуля в поле "
                                                            "\"Химический состав на:\"!")));
    EXPECT_EQ(cardData(), before);
    EXPECT_FALSE(card.cardId());

    // A name and a number already used: No to the name stops, Yes goes on to the number.
    card.setText(QStringLiteral("vih"), QStringLiteral("200"));
    card.setText(QStringLiteral("cname"), QStringLiteral("борщ"));
    card.setText(QStringLiteral("number1"), QStringLiteral("5"));
    card.setText(QStringLiteral("protein"), QStringLiteral("2,5"));
    card.setText(QStringLiteral("protein_vih"), QStringLiteral("5"));
    card.setText(QStringLiteral("pr_calories"), QStringLiteral("10"));
    card.setText(QStringLiteral("$Ca"), QStringLiteral("12,25"));
    card.setText(QStringLiteral("$pr_C"), QStringLiteral("60"));
    const QString nameQuestion = QStringLiteral("question: Значение \"борщ\" поля \"Наименование\" уже имеется в другой "
                                                "строке справочника. Продолжить сохранение? => ");
    const QString numberQuestion = QStringLiteral("question: Технологическая карта с номером \"5\" из сборника рецептур "
                                                  "\"Сб.2011\" уже добавлена. Продолжить сохранение? => ");
    prompt.clear();
    prompt.answers = {Answer::No};
    EXPECT_FALSE(card.save());
    prompt.answers = {Answer::Yes, Answer::No};
    EXPECT_FALSE(card.save());
    EXPECT_EQ(prompt.messages(), QStringList({nameQuestion + QStringLiteral("Нет"), nameQuestion + QStringLiteral("Да"),
                                              numberQuestion + QStringLiteral("Нет")}));
    EXPECT_EQ(cardData(), before);

    prompt.clear();
    prompt.answers = {Answer::Yes, Answer::Yes};
    const auto saved = card.save();
    ASSERT_TRUE(saved);
    EXPECT_EQ(prompt.messages().size(), 2);
    EXPECT_EQ(card.cardId(), saved);
    EXPECT_EQ(card.caption(), QStringLiteral("Технологическая карта: борщ"));
    Statement st(db(), QStringLiteral("SELECT cname, number1, COALESCE(numRec, '<null>'), id_type_meal, cost, vih, "
                                      "protein, protein_vih, pr_calories, fat FROM card_recipes WHERE id = ?1"));
    st.bind(1, *saved);
    ASSERT_TRUE(st.next());
    EXPECT_EQ(st.toString(0), QStringLiteral("борщ"));
    EXPECT_EQ(st.toString(1), QStringLiteral("5"));
    EXPECT_EQ(st.toString(2), QStringLiteral("<null>"));
    EXPECT_EQ(st.toInt64(3), 1);
    EXPECT_DOUBLE_EQ(st.toDouble(4), 12.5);
    EXPECT_EQ(st.toInt64(5), 200);
    EXPECT_DOUBLE_EQ(st.toDouble(6), 2.5);
    EXPECT_DOUBLE_EQ(st.toDouble(7), 5);
    EXPECT_DOUBLE_EQ(st.toDouble(8), 10);
    EXPECT_TRUE(st.isNull(9));
    // One vitamin row per vitamin of the block, each with the card's vih.
    QStringList vitamins;
    Statement v(db(), QStringLiteral("SELECT x.shname, cv.kol, cv.kolpr, cv.vih FROM card_vitamin cv JOIN vitamin x "
                                     "ON x.id = cv.id_vitamin WHERE cv.id_card_recipes = ?1 ORDER BY x.id"));
    v.bind(1, *saved);
    auto shown = [&](int c) { return v.isNull(c) ? QStringLiteral("-") : QString::number(v.toDouble(c)); };
    while (v.next())
        vitamins << QStringLiteral("%1 %2 %3 %4").arg(v.toString(0), shown(1), shown(2), shown(3));
    EXPECT_EQ(vitamins, QStringList({QStringLiteral("Ca 12.25 - 200"), QStringLiteral("Fe - - 200"),
                                     QStringLiteral("B1 - - 200"), QStringLiteral("B2 - - 200"),
                                     QStringLiteral("C - 60 200")}));

    // Saved again after a change: the same row, vitamin rows written anew.
    card.setText(QStringLiteral("$Ca"), QString());
    EXPECT_EQ(card.caption(), QStringLiteral("Технологическая карта: борщ *"));
    prompt.clear();
    prompt.answers = {Answer::Yes, Answer::Yes};
    EXPECT_EQ(card.save(), saved);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM card_recipes")), 4);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM card_vitamin WHERE id_card_recipes = ?1"), {*saved}), 5);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM card_vitamin WHERE id_card_recipes = ?1 AND kol IS NULL"),
                    {*saved}),
              5);
}

TEST_F(CardEditorTest, EditReadsTheCardAndItsVitamins)
{
    db().exec(QStringLiteral("UPDATE card_recipes SET cost = 31.5, protein = 1.25 WHERE id = 1"));
    db().exec(QStringLiteral("INSERT INTO card_vitamin (id_vitamin, id_card_recipes, kol, kol_vih, kolpr, vih) "
                             "SELECT id, 1, 3.5, 8.75, 20, 250 FROM vitamin WHERE shname = 'Fe'"));
    CardEditor card(db(), prompt, QStringLiteral("Блюда"));
    ASSERT_TRUE(card.open(EditMode::Edit, 1));
    EXPECT_EQ(card.caption(), QStringLiteral("Блюда: Борщ"));
    EXPECT_EQ(card.nutrientCaption(), QStringLiteral("Химический состав на 250 г:"));
    EXPECT_EQ(card.value(card.fieldIndex(QStringLiteral("cost"))).toString(), QStringLiteral("31,50"));
    EXPECT_EQ(card.value(card.fieldIndex(QStringLiteral("protein"))).toString(), QStringLiteral("1,25"));
    EXPECT_EQ(card.value(card.fieldIndex(QStringLiteral("$Fe_vih"))).toString(), QStringLiteral("8,75"));
    EXPECT_EQ(card.value(card.fieldIndex(QStringLiteral("$pr_Fe"))).toString(), QStringLiteral("20,00"));
    EXPECT_FALSE(card.isChanged());
    // The figures recalculated by the line editor come back without marking a change.
    db().exec(QStringLiteral("UPDATE card_recipes SET cost = 40.1, fat = 2.345678 WHERE id = 1"));
    card.reload();
    EXPECT_EQ(card.value(card.fieldIndex(QStringLiteral("cost"))).toString(), QStringLiteral("40,10"));
    EXPECT_EQ(card.value(card.fieldIndex(QStringLiteral("fat"))).toString(), QStringLiteral("2,35"));
    EXPECT_EQ(card.caption(), QStringLiteral("Блюда: Борщ"));

    prompt.clear();
    CardEditor gone(db(), prompt);
    EXPECT_FALSE(gone.open(EditMode::Copy, 99));
    EXPECT_EQ(prompt.messages(), QStringList(QStringLiteral("warning: Не найдена копируемая запись. Обновите окно "
                                                            "(F5), выделите другую строку.")));
}

TEST_F(CardEditorTest, CopyPointsVariantsAtTheCopiedMainLine)
{
    line(12, 1, 1, 50, 40);
    line(13, 1, 2, 20, 16, QStringLiteral(", vih_kol, brutto2"), QStringLiteral(", 250, 50"));
    line(15, 1, 4, 30, 25, QStringLiteral(", isVariant, id_MainCard"), QStringLiteral(", -1, 12"));
    db().execScript(QStringLiteral("INSERT INTO type_eating (id, ename, shname, status) VALUES (1, 'Ясли', 'Я', -1);"
                                   "INSERT INTO output (id_card_recipe, id_type_eating, output1, output2) VALUES "
                                   "(1, 1, 150, 30);"));
    const QStringList source = dump(QStringLiteral("recipes"));
    CardEditor card(db(), prompt);
    ASSERT_TRUE(card.open(EditMode::Copy, 1));
    EXPECT_EQ(card.caption(), QStringLiteral("Технологические карты: Борщ *"));
    EXPECT_TRUE(card.isChanged());
    EXPECT_FALSE(card.cardId());
    card.setText(QStringLiteral("cname"), QStringLiteral("Борщ с фасолью"));
    card.setText(QStringLiteral("number1"), QStringLiteral("6"));
    const auto saved = card.save();
    ASSERT_TRUE(saved);
    EXPECT_TRUE(prompt.messages().isEmpty()) << prompt.messages().join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(card.caption(), QStringLiteral("Технологическая карта: Борщ с фасолью"));

    const auto rows = cardIngredientRows(db(), *saved);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].text, QStringLiteral("Свекла"));
    EXPECT_EQ(rows[1].kind, QStringLiteral("или"));
    EXPECT_EQ(count(QStringLiteral("SELECT id_MainCard FROM recipes WHERE id = ?1"), {rows[1].lineId}), rows[0].lineId);
    EXPECT_NE(rows[0].lineId, 12);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM recipes WHERE id_card_recipes = ?1 AND vih_kol = 250 AND "
                                   "brutto2 = 50"),
                    {*saved}),
              1);
    const auto yields = cardYieldRows(db(), *saved);
    ASSERT_EQ(yields.size(), 1u);
    EXPECT_EQ(yields[0].text, QStringLiteral("150/30"));
    EXPECT_EQ(dump(QStringLiteral("recipes")).mid(0, 3), source);

    // Saved again it is an ordinary card: nothing is copied a second time.
    card.setText(QStringLiteral("numRec"), QStringLiteral("7"));
    EXPECT_EQ(card.save(), saved);
    EXPECT_EQ(cardIngredientRows(db(), *saved).size(), 3u);
}

TEST_F(CardEditorTest, LineCommandsNeedASavedCard)
{
    CardEditor card(db(), prompt);
    ASSERT_TRUE(card.open(EditMode::Add));
    EXPECT_FALSE(card.lineCommandAllowed(LineCommand::Add, 0));
    EXPECT_FALSE(card.lineCommandAllowed(LineCommand::Delete, 0));
    CardEditor copy(db(), prompt);
    ASSERT_TRUE(copy.open(EditMode::Copy, 1));
    EXPECT_FALSE(copy.lineCommandAllowed(LineCommand::Edit, 1));
    CardEditor edit(db(), prompt);
    ASSERT_TRUE(edit.open(EditMode::Edit, 1));
    EXPECT_FALSE(edit.lineCommandAllowed(LineCommand::Copy, 0));
    EXPECT_TRUE(edit.lineCommandAllowed(LineCommand::Add, 0));
    EXPECT_TRUE(edit.lineCommandAllowed(LineCommand::Delete, 2));
    edit.setText(QStringLiteral("description"), QStringLiteral("Варить"));
    EXPECT_FALSE(edit.lineCommandAllowed(LineCommand::Add, 2));
    EXPECT_FALSE(edit.lineCommandAllowed(LineCommand::Delete, 2));
    EXPECT_EQ(prompt.messages(),
              QStringList({QStringLiteral("warning: Сначала заполните данные о технологической карте, после чего можно "
                                          "будет вводить ингредиенты."),
                           QStringLiteral("warning: Необходимо сначала заполнить поля для технологической карты."),
                           QStringLiteral("warning: Есть несохраненные данные, необходимо сохранить карту."),
                           QStringLiteral("warning: Нет строк для копирования!"),
                           QStringLiteral("warning: Есть несохраненные данные, необходимо сохранить карту."),
                           QStringLiteral("warning: Карта не сохранена, сохраните карту и повторите действие "
                                          "удаления.")}));
}

TEST_F(CardEditorTest, IngredientDeletionRefusalsAndQuestions)
{
    line(12, 1, 1, 50, 40);
    line(13, 1, 2, 20, 16);
    line(15, 1, 4, 30, 25, QStringLiteral(", isVariant, id_MainCard"), QStringLiteral(", -1, 12"));
    line(20, 1, 2, 33, 33, QStringLiteral(", isCard"), QStringLiteral(", -1"));
    line(30, 2, 3, 80, 60);
    const auto rows = cardIngredientRows(db(), 1);  // 12, 15, 13, 20, expanded 30
    ASSERT_EQ(rows.size(), 5u);
    const QStringList before = cardData();
    const QString mainRefusal = QStringLiteral("Невозможно удалить основной продукт/блюдо \"Свекла\", так как для него "
                                               "добавлены варианты. Сначала удалите варианты.");
    const QString nestedRefusal = QStringLiteral("Невозможно удалить продукт/блюдо \"Мясо\", так как он/оно является "
                                                 "ингредиентом вложенного блюда. Удалите вложенное блюдо.");
    const QString more = QStringLiteral("\n\nУдалить остальные выделенные строки?");

    // No to the confirmation; then the main line refused and No to going on.
    prompt.answers = {Answer::No};
    EXPECT_EQ(deleteCardIngredientRows(db(), prompt, 1, {rows[0], rows[2]}), 0);
    prompt.answers = {Answer::Yes, Answer::No};
    EXPECT_EQ(deleteCardIngredientRows(db(), prompt, 1, {rows[0], rows[2]}), 0);
    prompt.answers = {Answer::Yes};
    EXPECT_EQ(deleteCardIngredientRows(db(), prompt, 1, {rows[4]}), 0);
    EXPECT_EQ(prompt.events,
              QStringList({QStringLiteral("question: Удалить выделенные строки? => Нет"),
                           QStringLiteral("question: Удалить выделенные строки? => Да"),
                           QStringLiteral("status: Идет удаление строк..."),
                           QStringLiteral("question: ") + mainRefusal + more + QStringLiteral(" => Нет"),
                           QStringLiteral("status: Удалено строк: 0"),
                           QStringLiteral("question: Удалить выделенную строку? => Да"),
                           QStringLiteral("status: Идет удаление строк..."),
                           QStringLiteral("critical: ") + nestedRefusal,
                           QStringLiteral("status: Удалено строк: 0")}));
    EXPECT_EQ(cardData(), before);

    // The main line refused, the rest goes on: the variant and line 13 go; then the questions
    // after a recipe change (no product has a planned price: no cost question).
    prompt.clear();
    prompt.answers = {Answer::Yes, Answer::Yes, Answer::No};
    EXPECT_EQ(deleteCardIngredientRows(db(), prompt, 1, {rows[0], rows[1], rows[2]}), 2);
    EXPECT_EQ(prompt.messages(),
              QStringList({QStringLiteral("question: Удалить выделенные строки? => Да"),
                           QStringLiteral("question: ") + mainRefusal + more + QStringLiteral(" => Да"),
                           QStringLiteral("question: Вы изменили рецептуру. Пересчитать пищевую ценность "
                                          "технологической карты \"Борщ\" с учетом химического состава продуктов и  "
                                          "\"% несъедобной части\" продукта  из справочника \"Продукты\", а также с "
                                          "учетом \"Потери при тепловой обработке, %\"? => Нет")}));
    EXPECT_TRUE(prompt.events.contains(QStringLiteral("status: Удалено строк: 2")));
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM recipes WHERE id IN (13, 15)")), 0);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM recipes")), 3);
}

TEST_F(CardEditorTest, DeletionStopsAtARowTheFileRefuses)
{
    line(12, 1, 1, 50, 40);
    line(13, 1, 2, 20, 16);
    line(14, 1, 4, 30, 25);
    db().exec(QStringLiteral("CREATE TRIGGER keep_line_13 BEFORE DELETE ON recipes WHEN OLD.id = 13 "
                             "BEGIN SELECT RAISE(ABORT, 'refused'); END"));
    const auto rows = cardIngredientRows(db(), 1);
    ASSERT_EQ(rows.size(), 3u);
    // Line 12 goes, line 13 is refused by the file and the deletion stops before line 14.
    prompt.answers = {Answer::Yes, Answer::No};
    EXPECT_EQ(deleteCardIngredientRows(db(), prompt, 1, rows), 1);
    EXPECT_EQ(prompt.events.mid(0, 4),
              QStringList({QStringLiteral("question: Удалить выделенные строки? => Да"),
                           QStringLiteral("status: Идет удаление строк..."),
                           QStringLiteral("critical: Возникла ошибка при удалении строки. Ошибка: refused"),
                           QStringLiteral("status: Удалено строк: 1")}));
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM recipes WHERE id IN (13, 14)")), 2);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM recipes WHERE id = 12")), 0);
}

TEST_F(CardEditorTest, YieldDeletionRefusedWhileMenusUseTheCard)
{
    db().execScript(QStringLiteral(
        "INSERT INTO type_menu (id, tname) VALUES (1, 'Сад'), (2, 'Ясли'), (3, 'Лето');"
        "INSERT INTO type_eating (id, ename, shname, status, id_type_menu) VALUES "
        "(1, 'Сад', 'С', -1, 1), (2, 'Ясли', 'Я', -1, 2), (3, 'Лето', 'Л', -1, 3), (4, 'Группа', 'Г', -1, 3);"
        "INSERT INTO output (id, id_card_recipe, id_type_eating, output1, output2) VALUES "
        "(1, 1, 1, 200, 0), (2, 1, 2, 150, 30), (3, 1, 3, 180, 0), (4, 1, 4, 120, 0);"
        "INSERT INTO days (id, dname, id_type_menu) VALUES (1, 'День 1', 1);"
        "INSERT INTO plan_menu (id_day, id_eating, id_card_recipes) VALUES (1, 1, 1);"
        "INSERT INTO day_menu (id, ddate, id_type_menu) VALUES (1, '2026-12-01', 2);"
        "INSERT INTO day_menu_point (id_card_recipe, id_day_menu, id_eating) VALUES (1, 1, 1);"
        "INSERT INTO MENUTR_POINT (id_product, id_type_eating, id_eating, id_card) VALUES (1, 3, 1, 1);"));
    std::vector<CardYieldRow> rows = cardYieldRows(db(), 1);  // Г, Л (Лето), С (Сад), Я (Ясли)
    ASSERT_EQ(rows.size(), 4u);
    const std::vector<CardYieldRow> byType = {rows[2], rows[3], rows[1], rows[0]};  // С, Я, Л, Г
    ASSERT_EQ(byType[0].eaterType, QStringLiteral("С"));
    const QStringList before = cardData();
    const QString more = QStringLiteral("\n\nУдалить остальные выделенные строки?");
    const QString warning = QStringLiteral("question: Внимание! Для корректной работы в технологических картах должны "
                                           "быть введены выходы для каждого типа довольствующихся. Удалить выход? => ");

    // Used in a plan-menu, a day menu, a menu-requirement; the last one: No to the warning.
    prompt.answers = {Answer::Yes, Answer::Yes, Answer::Yes, Answer::Yes, Answer::No};
    EXPECT_EQ(deleteCardYieldRows(db(), prompt, 1, byType), 0);
    EXPECT_EQ(prompt.messages(),
              QStringList({QStringLiteral("question: Удалить выделенные строки? => Да"),
                           QStringLiteral("question: Невозможно удалить выход \"200\", так как блюдо используется в "
                                          "плане-меню.") + more + QStringLiteral(" => Да"),
                           QStringLiteral("question: Невозможно удалить выход \"150/30\", так как блюдо используется в "
                                          "меню на день.") + more + QStringLiteral(" => Да"),
                           QStringLiteral("question: Невозможно удалить выход \"180\", так как блюдо используется в "
                                          "меню на день.") + more + QStringLiteral(" => Да"),
                           warning + QStringLiteral("Нет")}));
    EXPECT_EQ(cardData(), before);

    prompt.clear();
    prompt.answers = {Answer::Yes, Answer::Yes};
    EXPECT_EQ(deleteCardYieldRows(db(), prompt, 1, {byType[3]}), 1);
    EXPECT_EQ(prompt.messages(), QStringList({QStringLiteral("question: Удалить выделенную строку? => Да"),
                                              warning + QStringLiteral("Да")}));
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM output WHERE id = 4")), 0);
}

TEST_F(CardEditorTest, ClosingQuestions)
{
    const QString unsaved = QStringLiteral("question: Были внесены изменения. Сохранить и закрыть? \"Да\" – сохранить, "
                                           "\"Нет\" – не сохранять, \"Отмена\" – не выходить. => ");
    const QString noLines = QStringLiteral("question: Вы не внесли данные об ингредиентах. Закрыть окно? => ");
    const QString noYields = QStringLiteral("question: Вы не внесли данные о выходах блюда. Закрыть окно? => ");
    // A new card: Cancel stays, No closes without asking about the empty grids.
    CardEditor fresh(db(), prompt);
    ASSERT_TRUE(fresh.open(EditMode::Add));
    prompt.answers = {Answer::Cancel, Answer::No};
    EXPECT_FALSE(fresh.confirmClose(0, 0));
    EXPECT_TRUE(fresh.confirmClose(0, 0));

    // A changed card: Yes saves, then the empty grids; No to the yields keeps the window.
    CardEditor edit(db(), prompt);
    ASSERT_TRUE(edit.open(EditMode::Edit, 1));
    edit.setText(QStringLiteral("cname"), QStringLiteral("Борщ украинский"));
    prompt.answers = {Answer::Yes, Answer::Yes, Answer::No};
    EXPECT_FALSE(edit.confirmClose(0, 0));
    EXPECT_EQ(db().scalar(QStringLiteral("SELECT cname FROM card_recipes WHERE id = 1")).toString(),
              QStringLiteral("Борщ украинский"));
    prompt.answers = {Answer::Yes};
    EXPECT_TRUE(edit.confirmClose(2, 0));
    EXPECT_TRUE(edit.confirmClose(2, 1));

    // A saved card changed again: No closes at once, the change unsaved and no grid asked about.
    edit.setText(QStringLiteral("cname"), QStringLiteral("Борщ"));
    prompt.answers = {Answer::No};
    EXPECT_TRUE(edit.confirmClose(0, 0));
    EXPECT_EQ(db().scalar(QStringLiteral("SELECT cname FROM card_recipes WHERE id = 1")).toString(),
              QStringLiteral("Борщ украинский"));
    EXPECT_EQ(prompt.messages(),
              QStringList({unsaved + QStringLiteral("Отмена"), unsaved + QStringLiteral("Нет"),
                           unsaved + QStringLiteral("Да"), noLines + QStringLiteral("Да"), noYields + QStringLiteral("Нет"),
                           noYields + QStringLiteral("Да"), unsaved + QStringLiteral("Нет")}));
}

} // namespace
