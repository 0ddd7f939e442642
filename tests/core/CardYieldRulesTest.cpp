// Yields of a whole dish category set through their editor, the yields of a card added through
// the plain card editor, and the recipe-line editor's fields as a line's boxes make them apply.

#include "core/Database.h"
#include "refbooks/BookCatalogue.h"
#include "refbooks/CardYieldRules.h"
#include "refbooks/RecordEditor.h"
#include "support/FileTest.h"

#include <gtest/gtest.h>

using namespace rat;
using namespace rat::books;

namespace {

// Records the title of every input box besides what the scripted prompt records.
class TitledPrompt : public test::ScriptedPrompt {
public:
    QStringList titles;
    std::optional<QString> input(const QString& title, const QString& prompt, const QString& defaultText) override
    {
        titles << title;
        return ScriptedPrompt::input(title, prompt, defaultText);
    }
};

class CardYields : public test::FileTest {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(session.createDatabase(env.path(QStringLiteral("yields.db"))));
        db().exec(QStringLiteral("DELETE FROM output"));
        db().exec(QStringLiteral("DELETE FROM type_eating"));
        soups = insert(QStringLiteral("INSERT INTO type_meal (tname) VALUES ('Супы')"));
        porridges = insert(QStringLiteral("INSERT INTO type_meal (tname) VALUES ('Каши')"));
        nursery = insert(QStringLiteral("INSERT INTO type_eating (ename, shname, status) VALUES ('Ясли', '1-3', -1)"));
        garden = insert(QStringLiteral("INSERT INTO type_eating (ename, shname, status) VALUES ('Сад', '3-7', -1)"));
        staff = insert(QStringLiteral("INSERT INTO type_eating (ename, shname, status) VALUES ('Сотрудники', 'Сотр', 0)"));
        borscht = card(QStringLiteral("Борщ"), soups);
        shchi = card(QStringLiteral("Щи"), soups);
        porridge = card(QStringLiteral("Каша манная"), porridges);
        prompt.clear();
    }

    qint64 card(const QString& name, qint64 category)
    {
        return insert(QStringLiteral("INSERT INTO card_recipes (cname, id_type_meal) VALUES (?1, ?2)"), {name, category});
    }

    qint64 yield(qint64 cardId, qint64 type, int o1, int o2 = 0, int o3 = 0)
    {
        return insert(QStringLiteral("INSERT INTO output (id_card_recipe, id_type_eating, output1, output2, output3) "
                                     "VALUES (?1, ?2, ?3, ?4, ?5)"),
                      {cardId, type, o1, o2, o3});
    }

    // The yields of a card as "type:o1/o2/o3", by eater type.
    QStringList yieldsOf(qint64 cardId)
    {
        QStringList out;
        Statement st(db(), QStringLiteral("SELECT e.shname, o.output1, o.output2, o.output3 FROM output o JOIN "
                                          "type_eating e ON e.id = o.id_type_eating WHERE o.id_card_recipe = ?1 "
                                          "ORDER BY e.id, o.id"));
        st.bind(1, cardId);
        while (st.next())
            out << QStringLiteral("%1:%2/%3/%4")
                       .arg(st.toString(0), st.isNull(1) ? QStringLiteral("-") : st.toString(1),
                            st.isNull(2) ? QStringLiteral("-") : st.toString(2),
                            st.isNull(3) ? QStringLiteral("-") : st.toString(3));
        return out;
    }

    std::optional<qint64> saveCategoryYields(const std::vector<std::pair<QString, QString>>& values)
    {
        RecordEditor editor(db(), prompt, entryCategoryYields);
        EXPECT_TRUE(editor.open(EditMode::Add));
        for (const auto& [field, text] : values)
            EXPECT_TRUE(editor.setText(field, text)) << field.toStdString();
        return editor.save();
    }

    TitledPrompt prompt;
    qint64 soups = 0, porridges = 0, nursery = 0, garden = 0, staff = 0;
    qint64 borscht = 0, shchi = 0, porridge = 0;
};

TEST_F(CardYields, CategoryAndEaterTypeMustBeChosenAndTheChangeConfirmed)
{
    yield(borscht, nursery, 150, 30);
    const QStringList before = dump(QStringLiteral("output"));
    const QString category = QString::number(soups), type = QString::number(nursery);
    const std::pair<QString, QString> yield1{QStringLiteral("output1"), QStringLiteral("180")};

    // Each missing value is told in the field order and nothing is asked or written.
    EXPECT_FALSE(saveCategoryYields({yield1}));
    EXPECT_FALSE(saveCategoryYields({{QStringLiteral("id_type_meal"), category}, yield1}));
    EXPECT_FALSE(saveCategoryYields({{QStringLiteral("id_type_meal"), category},
                                     {QStringLiteral("id_type_eating"), type}}));
    EXPECT_EQ(prompt.messages(),
              QStringList({QStringLiteral("warning: Необходимо обязательно заполнить категорию блюда."),
                           QStringLiteral("warning: Необходимо обязательно заполнить тип довольствующихся."),
                           QStringLiteral("warning: Необходимо обязательно заполнить поле \"Выход основного блюда, "
                                          "г\".")}));

    // A yield that is not a whole number is refused before anything else.
    prompt.clear();
    EXPECT_FALSE(saveCategoryYields({{QStringLiteral("output1"), QStringLiteral("150,5")}}));
    EXPECT_EQ(prompt.messages(), QStringList(QStringLiteral("warning: Значение \"150.5\" поля \"Выход основного блюда, "
                                                            "г\" не корректно. Измените введенное значение.")));

    // No to the warning (its default) changes nothing.
    prompt.clear();
    prompt.answers = {Answer::No};
    EXPECT_FALSE(saveCategoryYields({{QStringLiteral("id_type_meal"), category},
                                     {QStringLiteral("id_type_eating"), type},
                                     yield1}));
    EXPECT_EQ(prompt.messages(),
              QStringList(QStringLiteral("question: Внимание! Будут изменены выходы для всех блюд категории \"Супы\" "
                                         "для типа довольствующегося \"1-3\". Отменить изменения невозможно! "
                                         "Продолжить? => Нет")));
    EXPECT_EQ(dump(QStringLiteral("output")), before);
}

TEST_F(CardYields, EveryCardOfTheCategoryGetsTheYieldOfTheEaterType)
{
    // Борщ has both yields, Щи only the garden's; Каша is of another category.
    const qint64 borschtNursery = yield(borscht, nursery, 150, 30, 10);
    yield(borscht, garden, 200);
    yield(shchi, garden, 250, 20);
    yield(porridge, nursery, 100);

    prompt.answers = {Answer::Yes};
    const auto saved = saveCategoryYields({{QStringLiteral("id_type_meal"), QString::number(soups)},
                                           {QStringLiteral("id_type_eating"), QString::number(nursery)},
                                           {QStringLiteral("output1"), QStringLiteral("180")},
                                           {QStringLiteral("output2"), QStringLiteral("40")}});
    ASSERT_TRUE(saved);
    EXPECT_EQ(*saved, 0);  // no row of its own
    EXPECT_EQ(prompt.messages().size(), 1);

    // Борщ's nursery row is updated in place (the empty third yield replaces 10); Щи gets one.
    EXPECT_EQ(yieldsOf(borscht), QStringList({QStringLiteral("1-3:180/40/-"), QStringLiteral("3-7:200/0/0")}));
    EXPECT_EQ(count(QStringLiteral("SELECT output1 FROM output WHERE id = ?1"), {borschtNursery}), 180);
    EXPECT_EQ(yieldsOf(shchi), QStringList({QStringLiteral("1-3:180/40/-"), QStringLiteral("3-7:250/20/0")}));
    EXPECT_EQ(yieldsOf(porridge), QStringList(QStringLiteral("1-3:100/0/0")));
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM output")), 5);

    // The same again changes the values and adds nothing.
    prompt.clear();
    prompt.answers = {Answer::Yes};
    ASSERT_TRUE(saveCategoryYields({{QStringLiteral("id_type_meal"), QString::number(soups)},
                                    {QStringLiteral("id_type_eating"), QString::number(nursery)},
                                    {QStringLiteral("output1"), QStringLiteral("160")}}));
    EXPECT_EQ(yieldsOf(shchi), QStringList({QStringLiteral("1-3:160/-/-"), QStringLiteral("3-7:250/20/0")}));
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM output")), 5);
}

TEST_F(CardYields, NewCardThroughThePlainEditorGetsAYieldForEveryEaterType)
{
    auto addCard = [&](int entry, const QString& name) {
        RecordEditor editor(db(), prompt, entry);
        EXPECT_TRUE(editor.open(EditMode::Add, {}, soups));
        EXPECT_TRUE(editor.setText(QStringLiteral("cname"), name));
        return editor.save();
    };
    const QString added = QStringLiteral("info: Вы добавили технологическую карту. Необходимо добавить выходы для "
                                         "каждого типа довольствующихся.");
    const QString recipes = QStringLiteral("info: Для корректной работы программы необходимо добавить ингредиенты в "
                                           "справочник \"Рецептуры\".");

    // Letters and a fraction are refused and asked again; the eater type not served gets one too.
    prompt.inputs = {QStringLiteral("сто"), QStringLiteral("150,5"), QStringLiteral(" 150 ")};
    const auto rassolnik = addCard(entryCards, QStringLiteral("Рассольник"));
    ASSERT_TRUE(rassolnik);
    EXPECT_EQ(prompt.messages(),
              QStringList({added, QStringLiteral("input: Введите выход блюда => сто"),
                           QStringLiteral("warning: Введите целое или дробное число. Здесь можно вводить только "
                                          "цифры, а целая часть от дробной отделяется запятой!"),
                           QStringLiteral("input: Введите выход блюда => 150,5"),
                           QStringLiteral("warning: Значение \"150,5\" поля \"Выход основного блюда, г\" не "
                                          "корректно. Измените введенное значение."),
                           QStringLiteral("input: Введите выход блюда =>  150 "), recipes}));
    EXPECT_EQ(prompt.titles, QStringList(3, QStringLiteral("Выход блюда")));
    EXPECT_EQ(yieldsOf(*rassolnik),
              QStringList({QStringLiteral("1-3:150/-/-"), QStringLiteral("3-7:150/-/-"), QStringLiteral("Сотр:150/-/-")}));

    // The card list with composition adds the same way; a cancelled box adds no yield and says so.
    prompt.clear();
    prompt.inputs = {std::nullopt};
    const auto solyanka = addCard(entryCardsWithComposition, QStringLiteral("Солянка"));
    ASSERT_TRUE(solyanka);
    EXPECT_EQ(prompt.messages(),
              QStringList({added, QStringLiteral("input: Введите выход блюда => "),
                           QStringLiteral("warning: Выходы блюда не добавлены. Добавьте их в справочнике \"Выходы "
                                          "блюд\"."),
                           recipes}));
    EXPECT_TRUE(yieldsOf(*solyanka).isEmpty());

    // An empty answer is taken as no answer.
    prompt.clear();
    prompt.inputs = {QStringLiteral("  ")};
    const auto ukha = addCard(entryCards, QStringLiteral("Уха"));
    ASSERT_TRUE(ukha);
    EXPECT_EQ(prompt.messages().size(), 4);
    EXPECT_TRUE(yieldsOf(*ukha).isEmpty());

    // Editing a card asks nothing.
    prompt.clear();
    RecordEditor editor(db(), prompt, entryCards);
    ASSERT_TRUE(editor.open(EditMode::Edit, *rassolnik));
    EXPECT_TRUE(editor.setText(QStringLiteral("cname"), QStringLiteral("Рассольник ленинградский")));
    EXPECT_TRUE(editor.save());
    EXPECT_TRUE(prompt.messages().isEmpty()) << prompt.messages().join('|').toStdString();
    EXPECT_EQ(yieldsOf(*rassolnik).size(), 3);
}

// The recipe-line editor: the item is a card while "Вложить блюдо" is ticked, a comment line
// needs no item, a variant needs its main line and a line is never its own main line.
TEST_F(CardYields, RecipeLineFieldsFollowTheLinesBoxes)
{
    const qint64 beet = insert(QStringLiteral("INSERT INTO products (pname) VALUES ('Свекла')"));
    const qint64 main = insert(QStringLiteral("INSERT INTO recipes (id_card_recipes, id_product, brutto, netto, isCard, "
                                              "isVariant, isComment, id_MainCard) VALUES (?1, ?2, 40, 32, 0, 0, 0, 0)"),
                               {borscht, beet});
    RecordEditor editor(db(), prompt, entryRecipeLines);
    ASSERT_TRUE(editor.open(EditMode::Add, {}, borscht));
    const int item = editor.fieldIndex(QStringLiteral("id_product"));
    const int mainLine = editor.fieldIndex(QStringLiteral("id_MainCard"));
    const int comment = editor.fieldIndex(QStringLiteral("comment"));
    auto texts = [&](int index) {
        QStringList out;
        for (const ListItem& it : editor.items(index))
            out << it.text.trimmed();
        return out;
    };
    EXPECT_EQ(editor.currentField(item).caption, QStringLiteral("Продукт"));
    EXPECT_TRUE(texts(item).contains(QStringLiteral("Свекла")));
    EXPECT_FALSE(editor.applies(mainLine));
    EXPECT_FALSE(editor.applies(comment));

    editor.setText(QStringLiteral("isCard"), QStringLiteral("1"));
    EXPECT_EQ(editor.currentField(item).caption, QStringLiteral("Вложенное блюдо"));
    EXPECT_EQ(texts(item), QStringList({QStringLiteral("Борщ"), QStringLiteral("Каша манная"), QStringLiteral("Щи")}));
    editor.setText(QStringLiteral("isCard"), QStringLiteral("0"));

    // A variant without its main line is refused with the words of a list that must be chosen.
    editor.setText(QStringLiteral("id_product"), QString::number(beet));
    editor.setText(QStringLiteral("isVariant"), QStringLiteral("1"));
    EXPECT_TRUE(editor.applies(mainLine));
    EXPECT_EQ(texts(mainLine), QStringList(QStringLiteral("Свекла")));
    const QStringList before = dump(QStringLiteral("recipes"));
    EXPECT_FALSE(editor.save());
    EXPECT_EQ(prompt.messages(), QStringList(QStringLiteral("warning: Необходимо обязательно выбрать строку в списке "
                                                            "\"Основной продукт/блюдо\".")));
    EXPECT_EQ(dump(QStringLiteral("recipes")), before);

    // A comment line: no item, weights or variant apply; it is saved with item 0 and no main line.
    editor.setText(QStringLiteral("id_MainCard"), QString::number(main));
    editor.setText(QStringLiteral("isComment"), QStringLiteral("1"));
    editor.setText(QStringLiteral("comment"), QStringLiteral("Подавать со сметаной"));
    for (const char* field : {"id_product", "brutto", "netto", "isCard", "isVariant", "id_MainCard"})
        EXPECT_FALSE(editor.applies(editor.fieldIndex(QString::fromLatin1(field)))) << field;
    EXPECT_TRUE(editor.applies(comment));
    prompt.clear();
    prompt.answers = {Answer::No};  // the recalculation question
    const auto line = editor.save();
    ASSERT_TRUE(line);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM recipes WHERE id = ?1 AND id_product = 0 AND id_MainCard = 0 "
                                   "AND isComment <> 0 AND comment = 'Подавать со сметаной'"),
                    {*line}),
              1);

    // Editing the main line: it is not offered as its own main line.
    RecordEditor edit(db(), prompt, entryRecipeLines);
    ASSERT_TRUE(edit.open(EditMode::Edit, main, borscht));
    edit.setText(QStringLiteral("isVariant"), QStringLiteral("1"));
    EXPECT_TRUE(edit.items(edit.fieldIndex(QStringLiteral("id_MainCard"))).empty());
}

} // namespace
