// Rules of technological cards: the checks of recipe lines and yields, the yields a new yield
// row is copied to, and the deletion of whole cards with their refusals and dependent rows.

#include "core/Database.h"
#include "core/DatabaseSession.h"
#include "refbooks/BookActions.h"
#include "refbooks/BookCatalogue.h"
#include "refbooks/CardRules.h"
#include "refbooks/RecordEditor.h"
#include "support/FileTest.h"
#include "support/ScriptedPrompt.h"
#include "support/TestEnv.h"

#include <gtest/gtest.h>
#include <algorithm>

using namespace rat;
using namespace rat::books;

namespace {

class CardRules : public test::FileTest {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(session.createDatabase(env.path(QStringLiteral("cards.db"))));
        db().exec(QStringLiteral("DELETE FROM output"));
        db().exec(QStringLiteral("DELETE FROM type_eating"));
        const qint64 meal = insert(QStringLiteral("INSERT INTO type_meal (tname) VALUES ('Супы')"));
        a = card(QStringLiteral("Борщ"), meal);
        b = card(QStringLiteral("Суп с фрикадельками"), meal);
        c = card(QStringLiteral("Фрикадельки"), meal);
        d = card(QStringLiteral("Фарш"), meal);
        beet = insert(QStringLiteral("INSERT INTO products (pname) VALUES ('Свекла')"));
        prompt.clear();
    }

    qint64 card(const QString& name, qint64 meal)
    {
        return insert(QStringLiteral("INSERT INTO card_recipes (cname, id_type_meal) VALUES (?1, ?2)"), {name, meal});
    }

    qint64 eaterType(const QString& name, const QString& shortName, int status)
    {
        return insert(QStringLiteral("INSERT INTO type_eating (ename, shname, status) VALUES (?1, ?2, ?3)"),
                      {name, shortName, status});
    }

    void yield(qint64 cardId, qint64 type, int output1)
    {
        insert(QStringLiteral("INSERT INTO output (id_card_recipe, id_type_eating, output1) VALUES (?1, ?2, ?3)"),
               {cardId, type, output1});
    }

    void nest(qint64 into, qint64 dish)
    {
        insert(QStringLiteral("INSERT INTO recipes (id_card_recipes, id_product, isCard, brutto, netto) "
                              "VALUES (?1, ?2, -1, 20, 20)"),
               {into, dish});
    }

    std::optional<qint64> save(int entry, qint64 parent, const std::vector<std::pair<QString, QString>>& values)
    {
        RecordEditor editor(db(), prompt, entry);
        if (!editor.open(EditMode::Add, {}, parent))
            return std::nullopt;
        for (const auto& [field, text] : values)
            EXPECT_TRUE(editor.setText(field, text)) << field.toStdString();
        return editor.save();
    }

    qint64 a = 0, b = 0, c = 0, d = 0, beet = 0;
};

TEST_F(CardRules, RecipeLineCommentNeedsItsText)
{
    const QStringList before = dump(QStringLiteral("recipes"));
    EXPECT_FALSE(save(entryRecipeLines, a,
                      {{QStringLiteral("id_product"), QString::number(beet)},
                       {QStringLiteral("isComment"), QStringLiteral("1")},
                       {QStringLiteral("comment"), QStringLiteral("   ")}}));
    EXPECT_EQ(prompt.messages(), QStringList({QStringLiteral("warning: Необходимо обязательно ввести комментарий.")}));
    EXPECT_EQ(dump(QStringLiteral("recipes")), before);

    prompt.clear();
    prompt.answers = {Answer::No};
    EXPECT_TRUE(save(entryRecipeLines, a,
                     {{QStringLiteral("id_product"), QString::number(beet)},
                      {QStringLiteral("isComment"), QStringLiteral("1")},
                      {QStringLiteral("comment"), QStringLiteral("Подавать горячим")}}));
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM recipes WHERE id_card_recipes = ?1 AND comment = ?2"),
                    {a, QStringLiteral("Подавать горячим")}),
              1);
}

TEST_F(CardRules, DishNestedIntoItselfAtAnyDepthIsRefused)
{
    // Борщ <- nothing; Суп contains Фрикадельки, which contain Фарш.
    nest(b, c);
    nest(c, d);
    const QStringList before = dump(QStringLiteral("recipes"));
    auto nestByEditor = [&](qint64 into, qint64 dish) {
        prompt.clear();
        return save(entryRecipeLines, into,
                    {{QStringLiteral("isCard"), QStringLiteral("1")},
                     {QStringLiteral("id_product"), QString::number(dish)},
                     {QStringLiteral("brutto"), QStringLiteral("10")},
                     {QStringLiteral("netto"), QStringLiteral("10")}});
    };
    const QStringList refused({QStringLiteral("warning: Нельзя вложить блюдо в себя!")});
    // The card itself, a dish that holds it directly, and one that holds it two levels down.
    EXPECT_FALSE(nestByEditor(d, d));
    EXPECT_EQ(prompt.messages(), refused);
    EXPECT_FALSE(nestByEditor(d, c));
    EXPECT_EQ(prompt.messages(), refused);
    EXPECT_FALSE(nestByEditor(d, b));
    EXPECT_EQ(prompt.messages(), refused);
    EXPECT_EQ(dump(QStringLiteral("recipes")), before);

    // Фарш into Борщ is fine: Фарш holds no dish.
    prompt.clear();
    prompt.answers = {Answer::No};
    EXPECT_TRUE(save(entryRecipeLines, a,
                     {{QStringLiteral("isCard"), QStringLiteral("1")},
                      {QStringLiteral("id_product"), QString::number(d)},
                      {QStringLiteral("brutto"), QStringLiteral("10")},
                      {QStringLiteral("netto"), QStringLiteral("10")}}));
    EXPECT_EQ(prompt.messages().size(), 1);  // the recalculation question only
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM recipes WHERE id_card_recipes = ?1 AND id_product = ?2 "
                                   "AND isCard <> 0"),
                    {a, d}),
              1);
}

TEST_F(CardRules, PlainFormAsksBeforeSavingANumberTheCollectionAlreadyHas)
{
    const qint64 collection = insert(QStringLiteral("INSERT INTO RECEPTUR (namev, namesh) VALUES ('Сборник', 'СДС')"));
    db().exec(QStringLiteral("UPDATE card_recipes SET number1 = '12', id_receptur = ?1 WHERE id = ?2"), {collection, a});
    const qint64 meal = count(QStringLiteral("SELECT id_type_meal FROM card_recipes WHERE id = ?1"), {a});
    const QStringList before = dump(QStringLiteral("card_recipes"));
    const QString question = QStringLiteral("question: Технологическая карта с номером \"12\" из сборника рецептур "
                                            "\"СДС\" уже добавлена. Продолжить сохранение?");
    auto saveCard = [&](const QString& name, const QString& number) {
        prompt.clear();
        prompt.inputs = {std::nullopt};  // a saved new card asks for its yield: left for later
        return save(entryCards, meal,
                    {{QStringLiteral("cname"), name},
                     {QStringLiteral("id_type_meal"), QString::number(meal)},
                     {QStringLiteral("number1"), number},
                     {QStringLiteral("id_receptur"), QString::number(collection)}});
    };
    prompt.answers = {Answer::No};
    EXPECT_FALSE(saveCard(QStringLiteral("Щи"), QStringLiteral("12")));
    EXPECT_EQ(prompt.messages().value(0), question + QStringLiteral(" => Нет"));
    EXPECT_EQ(dump(QStringLiteral("card_recipes")), before);

    // Another number of the collection is saved without a word about it; the same one after Yes.
    prompt.answers = {Answer::Yes};
    EXPECT_TRUE(saveCard(QStringLiteral("Щи"), QStringLiteral("12")));
    EXPECT_EQ(prompt.messages().value(0), question + QStringLiteral(" => Да"));
    EXPECT_TRUE(saveCard(QStringLiteral("Уха"), QStringLiteral("13")));
    EXPECT_FALSE(prompt.messages().join('\n').contains(QStringLiteral("уже добавлена")));
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM card_recipes WHERE cname IN ('Щи', 'Уха')")), 2);
}

TEST_F(CardRules, NewYieldIsCopiedToEveryEaterTypeWithoutOne)
{
    const qint64 nursery = eaterType(QStringLiteral("Ясли"), QStringLiteral("Ясли"), -1);
    const qint64 garden = eaterType(QStringLiteral("Сад"), QStringLiteral("Сад"), -1);
    const qint64 staff = eaterType(QStringLiteral("Сотрудники"), QStringLiteral("Сотр"), 0);
    // Сад already has its own yield for Борщ; it stays as it is.
    yield(a, garden, 200);

    const auto saved = save(entryYields, a,
                            {{QStringLiteral("id_type_eating"), QString::number(nursery)},
                             {QStringLiteral("output1"), QStringLiteral("150")},
                             {QStringLiteral("output2"), QStringLiteral("30")}});
    ASSERT_TRUE(saved);
    EXPECT_EQ(prompt.messages(),
              QStringList({QStringLiteral("info: Вы добавили выход блюда \"Борщ\". Для корректной работы программы "
                                          "необходимо ввести выходы для всех типов довольствующихся. Программа "
                                          "выполнит это автоматически, скопировав введенный Вами выход, и Вы затем "
                                          "сможете при необходимости отредактировать строки.")}));
    QStringList yields;
    Statement st(db(), QStringLiteral("SELECT id_type_eating, output1, COALESCE(output2, 0), COALESCE(output3, 0) "
                                      "FROM output WHERE id_card_recipe = ?1 ORDER BY id_type_eating"));
    st.bind(1, a);
    while (st.next())
        yields << QStringLiteral("%1:%2/%3/%4").arg(st.toString(0), st.toString(1), st.toString(2), st.toString(3));
    EXPECT_EQ(yields, QStringList({QStringLiteral("%1:150/30/0").arg(nursery), QStringLiteral("%1:200/0/0").arg(garden),
                                   QStringLiteral("%1:150/30/0").arg(staff)}));
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM output WHERE id_card_recipe <> ?1"), {a}), 0);

    // Editing a yield neither copies nor tells anything, and its own row is no duplicate.
    prompt.clear();
    RecordEditor editor(db(), prompt, entryYields);
    ASSERT_TRUE(editor.open(EditMode::Edit, *saved, a));
    EXPECT_TRUE(editor.setText(QStringLiteral("output1"), QStringLiteral("180")));
    EXPECT_TRUE(editor.save());
    EXPECT_TRUE(prompt.messages().isEmpty());
    EXPECT_EQ(count(QStringLiteral("SELECT output1 FROM output WHERE id = ?1"), {*saved}), 180);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM output")), 3);
}

TEST_F(CardRules, YieldCopiesThatCannotBeWrittenAreReportedAndNoneIsAdded)
{
    const qint64 nursery = eaterType(QStringLiteral("Ясли"), QStringLiteral("Ясли"), -1);
    eaterType(QStringLiteral("Сад"), QStringLiteral("Сад"), -1);
    const qint64 staff = eaterType(QStringLiteral("Сотрудники"), QStringLiteral("Сотр"), 0);
    // The file refuses a yield for the staff, the last of the copies.
    db().exec(QStringLiteral("CREATE TRIGGER no_staff_yield BEFORE INSERT ON output WHEN NEW.id_type_eating = %1 "
                             "BEGIN SELECT RAISE(ABORT, 'refused'); END")
                  .arg(staff));

    const auto saved = save(entryYields, a,
                            {{QStringLiteral("id_type_eating"), QString::number(nursery)},
                             {QStringLiteral("output1"), QStringLiteral("150")}});
    // The yield typed in is saved; the person is told, then learns the copies failed.
    ASSERT_TRUE(saved);
    const QStringList shown = prompt.messages();
    ASSERT_EQ(shown.size(), 2);
    EXPECT_TRUE(shown[0].startsWith(QStringLiteral("info: Вы добавили выход блюда \"Борщ\".")));
    EXPECT_EQ(shown[1], QStringLiteral("warning: Данные не добавлены. Возможна некорректная работа программы."));
    // Not one copy: the row for Сад went with the refused one.
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM output WHERE id_card_recipe = ?1"), {a}), 1);
    EXPECT_EQ(count(QStringLiteral("SELECT id_type_eating FROM output WHERE id = ?1"), {*saved}), nursery);
}

TEST_F(CardRules, SecondYieldAndEaterTypeNotServed)
{
    const qint64 nursery = eaterType(QStringLiteral("Ясли"), QStringLiteral("Ясли"), -1);
    const qint64 staff = eaterType(QStringLiteral("Сотрудники"), QStringLiteral("Сотр"), 0);
    yield(a, nursery, 200);
    const QStringList before = dump(QStringLiteral("output"));

    EXPECT_FALSE(save(entryYields, a,
                      {{QStringLiteral("id_type_eating"), QString::number(nursery)},
                       {QStringLiteral("output1"), QStringLiteral("150")}}));
    EXPECT_EQ(prompt.messages(),
              QStringList({QStringLiteral("warning: На блюдо \"Борщ\" для типа \"Ясли\" уже добавлен выход.")}));
    EXPECT_EQ(dump(QStringLiteral("output")), before);

    // A type not served: No leaves everything as it was, Yes saves and copies.
    prompt.clear();
    prompt.answers = {Answer::No};
    EXPECT_FALSE(save(entryYields, b,
                      {{QStringLiteral("id_type_eating"), QString::number(staff)},
                       {QStringLiteral("output1"), QStringLiteral("250")}}));
    EXPECT_EQ(prompt.messages(),
              QStringList({QStringLiteral("question: Выбранный тип \"Сотр\" не стоит на довольствии! Продолжить? => Нет")}));
    EXPECT_EQ(dump(QStringLiteral("output")), before);

    prompt.clear();
    prompt.answers = {Answer::Yes};
    EXPECT_TRUE(save(entryYields, b,
                     {{QStringLiteral("id_type_eating"), QString::number(staff)},
                      {QStringLiteral("output1"), QStringLiteral("250")}}));
    EXPECT_EQ(prompt.messages().size(), 2);
    EXPECT_EQ(prompt.messages().value(0),
              QStringLiteral("question: Выбранный тип \"Сотр\" не стоит на довольствии! Продолжить? => Да"));
    EXPECT_TRUE(prompt.messages().value(1).startsWith(QStringLiteral("info: Вы добавили выход блюда \"Суп с фрикадельками\".")));
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM output WHERE id_card_recipe = ?1 AND output1 = 250"), {b}), 2);
}

TEST_F(CardRules, CardUsedInMenusIsNotDeleted)
{
    // Борщ is in a plan-menu (and everywhere else: the plan-menu is named first), Суп in a day
    // menu, Фрикадельки in a menu-requirement.
    insert(QStringLiteral("INSERT INTO plan_menu (id_card_recipes) VALUES (?1)"), {a});
    insert(QStringLiteral("INSERT INTO day_menu_point (id_card_recipe) VALUES (?1)"), {a});
    insert(QStringLiteral("INSERT INTO MENUTR_POINT (id_card) VALUES (?1)"), {a});
    insert(QStringLiteral("INSERT INTO day_menu_point (id_card_recipe) VALUES (?1)"), {b});
    insert(QStringLiteral("INSERT INTO MENUTR_POINT (id_card) VALUES (?1)"), {c});
    const QStringList before = dump(QStringLiteral("card_recipes"));

    prompt.answers = {Answer::Yes, Answer::Yes, Answer::Yes};
    EXPECT_EQ(deleteRows(db(), prompt, entryCards, {a, b, c}).deleted, 0);
    const QString more = QStringLiteral("\n\nУдалить остальные выделенные строки? => Да");
    EXPECT_EQ(prompt.messages(),
              QStringList({QStringLiteral("question: Удалить выделенные строки? => Да"),
                           QStringLiteral("question: Невозможно удалить технологическую карту \"Борщ\", так как она "
                                          "используется в плане-меню. Сначала удалите строки с картой из плана-меню.") +
                               more,
                           QStringLiteral("question: Невозможно удалить технологическую карту \"Суп с фрикадельками\", "
                                          "так как она используется в меню на день. Сначала удалите все строки с "
                                          "картой из меню на день.") +
                               more,
                           QStringLiteral("critical: Невозможно удалить технологическую карту \"Фрикадельки\", так как "
                                          "она используется в меню-требовании. Сначала удалите все строки с картой из "
                                          "меню-требования.")}));
    EXPECT_EQ(dump(QStringLiteral("card_recipes")), before);

    // The list of cards with composition refuses the same way.
    prompt.clear();
    prompt.answers = {Answer::Yes};
    EXPECT_EQ(deleteRows(db(), prompt, entryCardsWithComposition, {b}).deleted, 0);
    EXPECT_EQ(prompt.messages().value(1),
              QStringLiteral("critical: Невозможно удалить технологическую карту \"Суп с фрикадельками\", так как она "
                             "используется в меню на день. Сначала удалите все строки с картой из меню на день."));
    EXPECT_EQ(dump(QStringLiteral("card_recipes")), before);
}

TEST_F(CardRules, CardGoesWithItsLinesYieldsVitaminsAndNestedUses)
{
    // Фрикадельки: two lines of their own, a yield, a vitamin value; nested in Суп, which has
    // a line of its own too.
    insert(QStringLiteral("INSERT INTO recipes (id_card_recipes, id_product, brutto, netto) VALUES (?1, ?2, 50, 40)"),
           {c, beet});
    nest(c, d);
    nest(b, c);
    insert(QStringLiteral("INSERT INTO recipes (id_card_recipes, id_product, brutto, netto) VALUES (?1, ?2, 30, 25)"),
           {b, beet});
    const qint64 nursery = eaterType(QStringLiteral("Ясли"), QStringLiteral("Ясли"), -1);
    yield(c, nursery, 60);
    yield(b, nursery, 200);
    const qint64 vitamin = count(QStringLiteral("SELECT MIN(id) FROM vitamin"));
    insert(QStringLiteral("INSERT INTO CARD_VITAMIN (id_vitamin, id_card_recipes, kol) VALUES (?1, ?2, 1.5)"),
           {vitamin, c});
    insert(QStringLiteral("INSERT INTO CARD_VITAMIN (id_vitamin, id_card_recipes, kol) VALUES (?1, ?2, 2.5)"),
           {vitamin, b});
    const QStringList tables = {QStringLiteral("card_recipes"), QStringLiteral("recipes"), QStringLiteral("output"),
                                QStringLiteral("CARD_VITAMIN")};
    auto dumpAll = [&] {
        QStringList all;
        for (const QString& t : tables)
            all << dump(t);
        return all;
    };
    const QStringList before = dumpAll();
    const QString question = QStringLiteral("question: Технологическая карта \"Фрикадельки\" используется в качестве "
                                            "вложенного блюда. Удалить вложенное блюдо из всех рецептур, где оно "
                                            "используется?");

    // No keeps the card and everything around it.
    prompt.answers = {Answer::Yes, Answer::No};
    EXPECT_EQ(deleteRows(db(), prompt, entryCards, {c}).deleted, 0);
    EXPECT_EQ(prompt.messages(), QStringList({QStringLiteral("question: Удалить выделенную строку? => Да"),
                                              question + QStringLiteral(" => Нет")}));
    EXPECT_EQ(dumpAll(), before);

    prompt.clear();
    prompt.answers = {Answer::Yes, Answer::Yes};
    EXPECT_EQ(deleteRows(db(), prompt, entryCards, {c}).deleted, 1);
    EXPECT_EQ(prompt.messages(), QStringList({QStringLiteral("question: Удалить выделенную строку? => Да"),
                                              question + QStringLiteral(" => Да")}));
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM card_recipes WHERE id = ?1"), {c}), 0);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM recipes WHERE id_card_recipes = ?1"), {c}), 0);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM output WHERE id_card_recipe = ?1"), {c}), 0);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM CARD_VITAMIN WHERE id_card_recipes = ?1"), {c}), 0);
    // Суп keeps its own product line, yield and vitamin value; only the nested line went.
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM recipes WHERE id_card_recipes = ?1"), {b}), 1);
    EXPECT_EQ(count(QStringLiteral("SELECT id_product FROM recipes WHERE id_card_recipes = ?1"), {b}), beet);
    EXPECT_EQ(count(QStringLiteral("SELECT output1 FROM output WHERE id_card_recipe = ?1"), {b}), 200);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM CARD_VITAMIN WHERE id_card_recipes = ?1"), {b}), 1);
    // Фарш, which Фрикадельки held, is its own card and stays.
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM card_recipes WHERE id = ?1"), {d}), 1);

    // A card nested nowhere goes without the question.
    prompt.clear();
    prompt.answers = {Answer::Yes};
    EXPECT_EQ(deleteRows(db(), prompt, entryCards, {d}).deleted, 1);
    EXPECT_EQ(prompt.messages(), QStringList({QStringLiteral("question: Удалить выделенную строку? => Да")}));
}

// A variant line saved as a non-variant: Yes makes it the main line of its group (the former
// main line and its other variants follow it), No makes it a separate line.
TEST_F(CardRules, VariantLineMadeNonVariant)
{
    const qint64 carrot = insert(QStringLiteral("INSERT INTO products (pname) VALUES ('Морковь')"));
    const qint64 onion = insert(QStringLiteral("INSERT INTO products (pname) VALUES ('Лук')"));
    auto line = [&](qint64 cardId, qint64 product, bool isCard, qint64 mainLine) {
        return insert(QStringLiteral("INSERT INTO recipes (id_card_recipes, id_product, isCard, isVariant, id_MainCard, "
                                     "brutto, netto) VALUES (?1, ?2, ?3, ?4, ?5, 10, 8)"),
                      {cardId, product, isCard ? -1 : 0, mainLine ? -1 : 0, mainLine});
    };
    auto state = [&](qint64 id) {
        Statement st(db(), QStringLiteral("SELECT COALESCE(isVariant, 0), COALESCE(id_MainCard, 0) FROM recipes "
                                          "WHERE id = ?1"));
        st.bind(1, id);
        return st.next() ? QStringLiteral("%1:%2").arg(st.toInt64(0)).arg(st.toInt64(1)) : QString();
    };
    auto unvariant = [&](qint64 id, Answer answer) {
        prompt.clear();
        prompt.answers = {answer, Answer::No};
        RecordEditor editor(db(), prompt, entryRecipeLines);
        EXPECT_TRUE(editor.open(EditMode::Edit, id, a));
        EXPECT_TRUE(editor.setText(QStringLiteral("isVariant"), QStringLiteral("0")));
        return editor.save().has_value();
    };
    const QString product = QStringLiteral("question: Сделать продукт основным для вариантов или отдельным? \"Да\" - "
                                           "основным, \"Нет\" - отдельным.");

    // Свекла is the main line of Морковь and Лук; Морковь becomes the main line.
    const qint64 main = line(a, beet, false, 0);
    const qint64 first = line(a, carrot, false, main);
    const qint64 second = line(a, onion, false, main);
    // Another card's lines stay as they are.
    const qint64 otherMain = line(b, beet, false, 0);
    const qint64 otherVariant = line(b, carrot, false, otherMain);
    ASSERT_TRUE(unvariant(first, Answer::Yes));
    ASSERT_GE(prompt.messages().size(), 1);
    EXPECT_EQ(prompt.messages().value(0), product + QStringLiteral(" => Да"));
    EXPECT_EQ(state(first), QStringLiteral("0:0"));
    EXPECT_EQ(state(main), QStringLiteral("-1:%1").arg(first));
    EXPECT_EQ(state(second), QStringLiteral("-1:%1").arg(first));
    EXPECT_EQ(state(otherMain), QStringLiteral("0:0"));
    EXPECT_EQ(state(otherVariant), QStringLiteral("-1:%1").arg(otherMain));

    // Лук, now a variant of Морковь, is made a separate line: the group keeps its main line.
    ASSERT_TRUE(unvariant(second, Answer::No));
    EXPECT_EQ(prompt.messages().value(0), product + QStringLiteral(" => Нет"));
    EXPECT_EQ(state(second), QStringLiteral("0:0"));
    EXPECT_EQ(state(first), QStringLiteral("0:0"));
    EXPECT_EQ(state(main), QStringLiteral("-1:%1").arg(first));

    // A nested dish is named as such.
    const qint64 dishMain = line(a, d, true, 0);
    const qint64 dishVariant = line(a, c, true, dishMain);
    ASSERT_TRUE(unvariant(dishVariant, Answer::Yes));
    EXPECT_EQ(prompt.messages().value(0),
              QStringLiteral("question: Сделать вложенное блюдо основным для вариантов или отдельным? \"Да\" - "
                             "основным, \"Нет\" - отдельным. => Да"));
    EXPECT_EQ(state(dishVariant), QStringLiteral("0:0"));
    EXPECT_EQ(state(dishMain), QStringLiteral("-1:%1").arg(dishVariant));

    // A line that was no variant is saved without the question.
    prompt.clear();
    prompt.answers = {Answer::No};
    RecordEditor editor(db(), prompt, entryRecipeLines);
    ASSERT_TRUE(editor.open(EditMode::Edit, first, a));
    EXPECT_TRUE(editor.setText(QStringLiteral("netto"), QStringLiteral("7")));
    EXPECT_TRUE(editor.save());
    for (const QString& m : prompt.messages())
        EXPECT_FALSE(m.contains(QStringLiteral("основным для вариантов"))) << m.toStdString();
    EXPECT_EQ(state(main), QStringLiteral("-1:%1").arg(first));

    // A line refused for another reason is not asked about and changes nothing.
    const qint64 lastVariant = line(a, c, true, dishVariant);
    const QStringList before = dump(QStringLiteral("recipes"));
    prompt.clear();
    prompt.answers = {Answer::Yes, Answer::No};
    RecordEditor refused(db(), prompt, entryRecipeLines);
    ASSERT_TRUE(refused.open(EditMode::Edit, lastVariant, a));
    EXPECT_TRUE(refused.setText(QStringLiteral("isVariant"), QStringLiteral("0")));
    EXPECT_TRUE(refused.setText(QStringLiteral("id_product"), QString::number(a)));
    EXPECT_FALSE(refused.save());
    EXPECT_EQ(prompt.messages(), QStringList({QStringLiteral("warning: Нельзя вложить блюдо в себя!")}));
    EXPECT_EQ(dump(QStringLiteral("recipes")), before);
}


// The lines of a card as "product:isCard:isComment:isVariant:main line:brutto/netto:comment", in id order.
QStringList linesOf(Database& db, qint64 cardId)
{
    QStringList lines;
    Statement st(db, QStringLiteral("SELECT id_product, COALESCE(isCard, 0), COALESCE(isComment, 0), "
                                    "COALESCE(isVariant, 0), COALESCE(id_MainCard, 0), brutto, netto, "
                                    "COALESCE(comment, '') FROM recipes WHERE id_card_recipes = ?1 ORDER BY id"));
    st.bind(1, cardId);
    const auto weight = [&](int col) { return st.isNull(col) ? QString() : QString::number(st.value(col).toDouble()); };
    while (st.next())
        lines << QStringLiteral("%1:%2:%3:%4:%5:%6/%7:%8")
                     .arg(st.toString(0), st.toString(1), st.toString(2), st.toString(3), st.toString(4), weight(5),
                          weight(6), st.toString(7));
    return lines;
}

class CardCopies : public CardRules {
protected:
    QStringList dumpAll()
    {
        QStringList all;
        for (const QString& t : {QStringLiteral("card_recipes"), QStringLiteral("recipes"), QStringLiteral("output"),
                                 QStringLiteral("CARD_VITAMIN")})
            all << t << dump(t);
        return all;
    }

    qint64 line(qint64 cardId, qint64 product, int isCard, qint64 mainLine, double brutto, double netto)
    {
        return insert(QStringLiteral("INSERT INTO recipes (id_card_recipes, id_product, isCard, isVariant, "
                                     "id_MainCard, brutto, netto) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7)"),
                      {cardId, product, isCard, mainLine ? -1 : 0, mainLine, brutto, netto});
    }
};

TEST_F(CardCopies, RecipeIsAppendedToAnotherCardInGridOrder)
{
    const qint64 carrot = insert(QStringLiteral("INSERT INTO products (pname) VALUES ('Морковь')"));
    const qint64 onion = insert(QStringLiteral("INSERT INTO products (pname) VALUES ('Лук')"));
    // Борщ: Свекла, a comment, Морковь, the nested Фарш; then Лук as a variant of Свекла and
    // Фрикадельки as a variant of Фарш, entered last.
    const qint64 beetLine = line(a, beet, 0, 0, 50, 40);
    insert(QStringLiteral("INSERT INTO recipes (id_card_recipes, id_product, isComment, comment) "
                          "VALUES (?1, 0, -1, 'Подавать со сметаной')"),
           {a});
    line(a, carrot, 0, 0, 12.5, 10);
    const qint64 dishLine = line(a, d, -1, 0, 30, 30);
    line(a, onion, 0, beetLine, 45, 38);
    line(a, c, -1, dishLine, 25, 25);
    // Суп already has a line of its own, which stays first.
    line(b, carrot, 0, 0, 5, 4);
    const QStringList sourceLines = linesOf(db(), a);
    const QStringList before = dumpAll();

    // Nothing to copy, and a card into itself: refused, nothing written.
    EXPECT_FALSE(copyRecipe(db(), prompt, c, b));
    EXPECT_EQ(prompt.messages(),
              QStringList({QStringLiteral("warning: На выбранное блюдо нет данных. Копирование невозможно.")}));
    prompt.clear();
    EXPECT_FALSE(copyRecipe(db(), prompt, a, a));
    EXPECT_EQ(prompt.messages(), QStringList({QStringLiteral("warning: Невозможно копировать ингредиенты блюда самого "
                                                             "в себя. Выберите другое блюдо куда копировать.")}));
    EXPECT_EQ(dumpAll(), before);

    // A write that fails half way leaves nothing behind.
    db().exec(QStringLiteral("CREATE TEMP TRIGGER stop_copy BEFORE INSERT ON recipes WHEN NEW.id_product = ") +
              QString::number(d) + QStringLiteral(" BEGIN SELECT RAISE(ABORT, 'stopped'); END"));
    prompt.clear();
    EXPECT_THROW(copyRecipe(db(), prompt, a, b), DbError);
    EXPECT_EQ(dumpAll(), before);
    db().exec(QStringLiteral("DROP TRIGGER stop_copy"));

    EXPECT_EQ(copyRecipe(db(), prompt, a, b), 6);
    EXPECT_TRUE(prompt.messages().isEmpty());
    EXPECT_EQ(linesOf(db(), a), sourceLines);
    const qint64 first = count(QStringLiteral("SELECT MIN(id) FROM recipes WHERE id_card_recipes = ?1 AND "
                                              "id_product = ?2 AND isCard = 0"),
                               {b, beet});
    // Grid order: Свекла with Лук right behind it, the comment, Морковь, Фарш with Фрикадельки;
    // each variant points at the copy of its main line.
    EXPECT_EQ(linesOf(db(), b),
              QStringList({QStringLiteral("%1:0:0:0:0:5/4:").arg(carrot),
                           QStringLiteral("%1:0:0:0:0:50/40:").arg(beet),
                           QStringLiteral("%1:0:0:-1:%2:45/38:").arg(onion).arg(first),
                           QStringLiteral("0:0:-1:0:0:/:Подавать со сметаной"),
                           QStringLiteral("%1:0:0:0:0:12.5/10:").arg(carrot),
                           QStringLiteral("%1:-1:0:0:0:30/30:").arg(d),
                           QStringLiteral("%1:-1:0:-1:%2:25/25:").arg(c).arg(first + 4)}));
}

TEST_F(CardCopies, CardIsCopiedWithLinesYieldsAndVitamins)
{
    const qint64 carrot = insert(QStringLiteral("INSERT INTO products (pname) VALUES ('Морковь')"));
    db().exec(QStringLiteral("UPDATE card_recipes SET number1 = '12', cost = 14.5, fat = 3.6, vih = 250 "
                             "WHERE id = ?1"),
              {a});
    const qint64 beetLine = line(a, beet, 0, 0, 50, 40);
    db().exec(QStringLiteral("UPDATE recipes SET vih_kol = 250, brutto2 = 125, netto2 = 100 WHERE id = ?1"),
              {beetLine});
    const qint64 dishLine = line(a, d, -1, 0, 30, 30);
    line(a, carrot, 0, beetLine, 48, 40);
    line(a, c, -1, dishLine, 30, 30);
    const qint64 nursery = eaterType(QStringLiteral("Ясли"), QStringLiteral("Ясли"), -1);
    const qint64 garden = eaterType(QStringLiteral("Сад"), QStringLiteral("Сад"), -1);
    insert(QStringLiteral("INSERT INTO output (id_card_recipe, id_type_eating, output1, output2) "
                          "VALUES (?1, ?2, 150, 30)"),
           {a, nursery});
    yield(a, garden, 200);
    yield(b, garden, 250);
    const qint64 vitamin = count(QStringLiteral("SELECT MIN(id) FROM vitamin"));
    insert(QStringLiteral("INSERT INTO CARD_VITAMIN (id_vitamin, id_card_recipes, kol, kol_vih, kolpr, vih) "
                          "VALUES (?1, ?2, 1.5, 3.75, 10, 250)"),
           {vitamin, a});
    const QStringList sourceLines = linesOf(db(), a);
    const QStringList before = dumpAll();

    // A card that is gone is not copied; a write that fails at the yields leaves nothing.
    EXPECT_FALSE(copyCard(db(), 999999));
    EXPECT_EQ(dumpAll(), before);
    db().exec(QStringLiteral("CREATE TEMP TRIGGER stop_copy BEFORE INSERT ON output "
                             "BEGIN SELECT RAISE(ABORT, 'stopped'); END"));
    EXPECT_THROW(copyCard(db(), a), DbError);
    EXPECT_EQ(dumpAll(), before);
    db().exec(QStringLiteral("DROP TRIGGER stop_copy"));

    const auto copy = copyCard(db(), a);
    ASSERT_TRUE(copy);
    EXPECT_NE(*copy, a);
    Statement h(db(), QStringLiteral("SELECT cname, number1, cost, fat, vih FROM card_recipes WHERE id = ?1"));
    h.bind(1, *copy);
    ASSERT_TRUE(h.next());
    EXPECT_EQ(QStringLiteral("%1|%2|%3|%4|%5").arg(h.toString(0), h.toString(1), h.toString(2), h.toString(3),
                                                   h.toString(4)),
              QStringLiteral("Борщ|12|14.5|3.6|250"));

    // The variants point at the copied main lines, not at the source's.
    const qint64 newBeet = count(QStringLiteral("SELECT id FROM recipes WHERE id_card_recipes = ?1 AND id_product = ?2 "
                                                "AND isCard = 0"),
                                 {*copy, beet});
    const qint64 newDish = count(QStringLiteral("SELECT id FROM recipes WHERE id_card_recipes = ?1 AND id_product = ?2 "
                                                "AND isCard <> 0"),
                                 {*copy, d});
    EXPECT_EQ(linesOf(db(), *copy), QStringList({QStringLiteral("%1:0:0:0:0:50/40:").arg(beet),
                                                 QStringLiteral("%1:-1:0:0:0:30/30:").arg(d),
                                                 QStringLiteral("%1:0:0:-1:%2:48/40:").arg(carrot).arg(newBeet),
                                                 QStringLiteral("%1:-1:0:-1:%2:30/30:").arg(c).arg(newDish)}));
    EXPECT_NE(newBeet, beetLine);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM recipes WHERE id = ?1 AND vih_kol = 250 AND brutto2 = 125 "
                                   "AND netto2 = 100"),
                    {newBeet}),
              1);

    QStringList yields;
    Statement y(db(), QStringLiteral("SELECT id_type_eating, output1, COALESCE(output2, 0), COALESCE(output3, 0) "
                                     "FROM output WHERE id_card_recipe = ?1 ORDER BY id_type_eating"));
    y.bind(1, *copy);
    while (y.next())
        yields << QStringLiteral("%1:%2/%3/%4").arg(y.toString(0), y.toString(1), y.toString(2), y.toString(3));
    EXPECT_EQ(yields, QStringList({QStringLiteral("%1:150/30/0").arg(nursery), QStringLiteral("%1:200/0/0").arg(garden)}));
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM CARD_VITAMIN WHERE id_card_recipes = ?1 AND id_vitamin = ?2 "
                                   "AND kol = 1.5 AND kol_vih = 3.75 AND kolpr = 10 AND vih = 250"),
                    {*copy, vitamin}),
              1);

    // The source and every other card are as they were: the copy only added rows.
    EXPECT_EQ(linesOf(db(), a), sourceLines);
    const QStringList after = dumpAll();
    for (const QString& row : before)
        EXPECT_TRUE(after.contains(row)) << row.toStdString();
}


} // namespace

TEST_F(CardCopies, ListCommandRefusesAnEmptyCardBeforeAskingForTheTarget)
{
    line(a, beet, 0, 0, 50, 40);
    const QStringList before = dumpAll();

    // A card without lines: refused at once, no choice offered.
    EXPECT_FALSE(copyRecipeToChosenCard(db(), prompt, c));
    EXPECT_EQ(prompt.messages(),
              QStringList({QStringLiteral("warning: На выбранное блюдо нет данных. Копирование невозможно.")}));
    // A choice declined: nothing written, nothing said.
    prompt.clear();
    prompt.choices = {std::nullopt};
    EXPECT_FALSE(copyRecipeToChosenCard(db(), prompt, a));
    EXPECT_EQ(prompt.messages().size(), 1);
    EXPECT_TRUE(prompt.messages().front().startsWith(QStringLiteral("choose: Копирование рецептуры => ")));
    EXPECT_EQ(dumpAll(), before);
}

TEST_F(CardCopies, ListCommandReportsAFileThatRefusesTheCopy)
{
    line(a, beet, 0, 0, 50, 40);
    line(a, d, -1, 0, 30, 30);
    // The file refuses the second line in Суп; the first must not stay behind.
    db().exec(QStringLiteral("CREATE TRIGGER no_nested_in_soup BEFORE INSERT ON recipes WHEN NEW.id_card_recipes = "
                             "%1 AND NEW.isCard <> 0 BEGIN SELECT RAISE(ABORT, 'refused'); END")
                  .arg(b));
    const QStringList before = dumpAll();
    const std::vector<ListItem> cards = listItems(db(), ListSource::Cards);
    const auto soup = std::find_if(cards.begin(), cards.end(), [&](const ListItem& i) { return i.value == b; });
    ASSERT_NE(soup, cards.end());
    prompt.choices = {int(soup - cards.begin())};
    EXPECT_FALSE(copyRecipeToChosenCard(db(), prompt, a));
    ASSERT_EQ(prompt.messages().size(), 2);
    EXPECT_EQ(prompt.messages()[1], QStringLiteral("critical: Возникла ошибка при сохранении данных. Проверьте, "
                                                   "изменились ли данные в справочнике. Ошибка: refused"));
    EXPECT_EQ(dumpAll(), before);
}
