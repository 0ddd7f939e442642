// Deleting selected rows: the confirmation, per-row refusals with the question about the rest,
// the status texts, the refusal rules of the books, and eater types: the copy of yields and
// norms for a new type and the cascade of a deleted one.

#include "core/Database.h"
#include "core/DatabaseSession.h"
#include "refbooks/BookActions.h"
#include "refbooks/RecordEditor.h"
#include "support/FileTest.h"
#include "support/ScriptedPrompt.h"
#include "support/TestEnv.h"

#include <gtest/gtest.h>

using namespace rat;
using namespace rat::books;

namespace {

class BookDelete : public test::FileTest {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(session.createDatabase(env.path(QStringLiteral("delete.db"))));
        prompt.clear();
    }
};

TEST_F(BookDelete, SecondOfThreeRefusedThenTheRestOnYes)
{
    const qint64 fruit = insert(QStringLiteral("INSERT INTO product_group (pname) VALUES ('Фрукты')"));
    const qint64 dairy = insert(QStringLiteral("INSERT INTO product_group (pname) VALUES ('Молочные')"));
    const qint64 fish = insert(QStringLiteral("INSERT INTO product_group (pname) VALUES ('Рыба')"));
    insert(QStringLiteral("INSERT INTO products (pname, id_product_group) VALUES ('Молоко', ?1)"), {dairy});

    prompt.answers = {Answer::Yes, Answer::Yes};
    const DeleteResult r = deleteRows(db(), prompt, entryProductGroups, {fruit, dairy, fish});
    EXPECT_EQ(r.deleted, 2);
    EXPECT_EQ(prompt.events,
              QStringList({QStringLiteral("question: Удалить выделенные строки? => Да"),
                           QStringLiteral("status: Идет удаление строк..."),
                           QStringLiteral("question: Невозможно удалить группу продуктов \"Молочные\", так как она "
                                          "используется в справочнике продуктов.\n\nУдалить остальные выделенные "
                                          "строки? => Да"),
                           QStringLiteral("status: Удалено строк: 2")}));
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM product_group")), 1);
    EXPECT_EQ(count(QStringLiteral("SELECT id FROM product_group")), dairy);
}

TEST_F(BookDelete, NoAfterARefusalEndsTheDeletion)
{
    const qint64 soups = insert(QStringLiteral("INSERT INTO type_meal (tname) VALUES ('Супы')"));
    const qint64 hot = insert(QStringLiteral("INSERT INTO type_meal (tname) VALUES ('Горячие')"));
    const qint64 drinks = insert(QStringLiteral("INSERT INTO type_meal (tname) VALUES ('Напитки')"));
    insert(QStringLiteral("INSERT INTO card_recipes (cname, id_type_meal) VALUES ('Рассольник', ?1)"), {hot});

    prompt.answers = {Answer::Yes, Answer::No};
    EXPECT_EQ(deleteRows(db(), prompt, entryDishCategories, {soups, hot, drinks}).deleted, 1);
    EXPECT_EQ(prompt.events.value(2),
              QStringLiteral("question: Невозможно удалить категорию блюд \"Горячие\", так как она используется в "
                             "справочнике технологических карт.\n\nУдалить остальные выделенные строки? => Нет"));
    EXPECT_EQ(prompt.events.value(3), QStringLiteral("status: Удалено строк: 1"));
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM type_meal")), 2);

    // A refusal of the last row is a message; nothing selected; the confirmation answered No.
    prompt.clear();
    prompt.answers = {Answer::Yes, Answer::No};
    deleteRows(db(), prompt, entryDishCategories, {hot});
    deleteRows(db(), prompt, entryDishCategories, {});
    deleteRows(db(), prompt, entryDishCategories, {drinks});
    EXPECT_EQ(prompt.events,
              QStringList({QStringLiteral("question: Удалить выделенную строку? => Да"),
                           QStringLiteral("status: Идет удаление строк..."),
                           QStringLiteral("critical: Невозможно удалить категорию блюд \"Горячие\", так как она "
                                          "используется в справочнике технологических карт."),
                           QStringLiteral("status: Удалено строк: 0"),
                           QStringLiteral("info: Нет строк для удаления."),
                           QStringLiteral("question: Удалить выделенную строку? => Нет")}));
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM type_meal")), 2);
}

TEST_F(BookDelete, RefusalsOfTheReferenceBooks)
{
    auto refusal = [&](int entry, qint64 id) {
        prompt.clear();
        prompt.answers = {Answer::Yes};
        deleteRows(db(), prompt, entry, {id});
        return prompt.messages().value(1);
    };
    const qint64 gram = insert(QStringLiteral("INSERT INTO ed_izmer (ename, koef) VALUES ('г', 1)"));
    const qint64 kilo = insert(QStringLiteral("INSERT INTO ed_izmer (ename, koef) VALUES ('Кг.', 1000)"));
    const qint64 litre = insert(QStringLiteral("INSERT INTO ed_izmer (ename, koef) VALUES ('л', 1000)"));
    const qint64 piece = insert(QStringLiteral("INSERT INTO ed_izmer (ename, koef) VALUES ('шт.', 50)"));
    const qint64 pack = insert(QStringLiteral("INSERT INTO ed_izmer (ename, koef) VALUES ('упак.', 200)"));
    insert(QStringLiteral("INSERT INTO products (pname, id_ed_izmer) VALUES ('Молоко', ?1)"), {litre});
    insert(QStringLiteral("INSERT INTO storage (id_product, id_ed_izmer, quantity) VALUES (1, ?1, 3)"), {piece});
    EXPECT_EQ(refusal(entryUnits, gram),
              QStringLiteral("critical: Невозможно удалить единицу измерения \"г\", так как она является базовой."));
    EXPECT_EQ(refusal(entryUnits, kilo),
              QStringLiteral("critical: Невозможно удалить единицу измерения \"Кг.\", так как она является базовой."));
    EXPECT_EQ(refusal(entryUnits, litre), QStringLiteral("critical: Невозможно удалить единицу измерения \"л\", так как "
                                                         "она используется в справочнике продуктов."));
    EXPECT_EQ(refusal(entryUnits, piece), QStringLiteral("critical: Невозможно удалить единицу измерения \"шт.\", так "
                                                         "как она используется на складе."));
    EXPECT_EQ(refusal(entryUnits, pack), QString());
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM ed_izmer")), 4);

    const qint64 euro = insert(QStringLiteral("INSERT INTO VALUTA (namev, shnamev, status) VALUES ('Евро', 'евро', -1)"));
    db().exec(QStringLiteral("UPDATE VALUTA SET status = 0 WHERE IDVAL <> ?1"), {euro});
    const qint64 rouble = insert(QStringLiteral("INSERT INTO VALUTA (namev, shnamev, status) VALUES ('Рубль', 'р.', 0)"));
    EXPECT_EQ(refusal(entryCurrencies, 1),
              QStringLiteral("critical: Невозможно удалить валюту \"Тенге\", так как она является базовой."));
    EXPECT_EQ(refusal(entryCurrencies, euro),
              QStringLiteral("critical: Невозможно удалить валюту \"Евро\", так как она является основной."));
    EXPECT_EQ(refusal(entryCurrencies, rouble), QString());

    const qint64 collection = insert(QStringLiteral("INSERT INTO RECEPTUR (namev, namesh) VALUES ('Сборник 2011', 'С11')"));
    const qint64 stewing = insert(QStringLiteral("INSERT INTO type_culinary (cname) VALUES ('Тушение')"));
    insert(QStringLiteral("INSERT INTO card_recipes (cname, id_receptur, id_type_culinary) VALUES ('Рагу', ?1, ?2)"),
           {collection, stewing});
    EXPECT_EQ(refusal(entryCollections, collection),
              QStringLiteral("critical: Невозможно удалить сборник \"Сборник 2011\", так как он используется в "
                             "справочнике технологических карт."));
    EXPECT_EQ(refusal(entryCulinaryKinds, stewing),
              QStringLiteral("critical: Невозможно удалить вид кулинарной обработки \"Тушение\", так как он "
                             "используется в справочнике технологических карт."));

    const qint64 calcium = db().scalar(QStringLiteral("SELECT id FROM vitamin WHERE shname = 'Ca'")).toLongLong();
    const qint64 iodine = insert(QStringLiteral("INSERT INTO vitamin (vname, shname) VALUES ('Йод', 'I')"));
    const qint64 zinc = insert(QStringLiteral("INSERT INTO vitamin (vname, shname) VALUES ('Цинк', 'Zn')"));
    const qint64 selenium = insert(QStringLiteral("INSERT INTO vitamin (vname, shname) VALUES ('Селен', 'Se')"));
    insert(QStringLiteral("INSERT INTO vitamin_quantity (id_product, id_vitamin, quantity) VALUES (1, ?1, 1)"), {iodine});
    insert(QStringLiteral("INSERT INTO vitamin_report (id_vitamin, quantity_eatings) VALUES (?1, 10)"), {zinc});
    insert(QStringLiteral("INSERT INTO CARD_VITAMIN (id_vitamin, id_card_recipes, kol) VALUES (?1, 1, 2)"), {selenium});
    EXPECT_EQ(refusal(entryVitamins, calcium),
              QStringLiteral("critical: Невозможно удалить базовый витамин/минерал \"Кальций\"!"));
    EXPECT_EQ(refusal(entryVitamins, iodine),
              QStringLiteral("critical: Невозможно удалить витамин/минерал \"Йод\", так как он используется в "
                             "справочнике \"Содержание витаминов\"."));
    EXPECT_EQ(refusal(entryVitamins, zinc),
              QStringLiteral("critical: Невозможно удалить витамин/минерал \"Цинк\", так как он используется в журнале "
                             "витаминизации. Сначала удалите все записи из журнала витаминизации для данного "
                             "витамина."));
    EXPECT_EQ(refusal(entryVitamins, selenium), QString());
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM CARD_VITAMIN WHERE id_vitamin = ?1"), {selenium}), 0);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM vitamin")), 7);
}

class BookEaterTypes : public BookDelete {
protected:
    void SetUp() override
    {
        BookDelete::SetUp();
        menu = insert(QStringLiteral("INSERT INTO type_menu (tname, sezon) VALUES ('Основное', 1)"));
        nursery = insert(QStringLiteral("INSERT INTO type_eating (ename, shname, status, id_type_menu) "
                                        "VALUES ('Ясельная группа', 'Ясли', -1, ?1)"),
                         {menu});
        garden = insert(QStringLiteral("INSERT INTO type_eating (ename, shname, status, id_type_menu) "
                                       "VALUES ('Садовая группа', 'Сад', -1, ?1)"),
                        {menu});
        insert(QStringLiteral("INSERT INTO type_eating (ename, shname, status, id_type_menu) "
                              "VALUES ('Группа выходного дня', 'Выходной', 0, ?1)"),
               {menu});
        porridge = insert(QStringLiteral("INSERT INTO card_recipes (cname) VALUES ('Каша')"));
        tea = insert(QStringLiteral("INSERT INTO card_recipes (cname) VALUES ('Чай')"));
        insert(QStringLiteral("INSERT INTO output (id_card_recipe, id_type_eating, output1, output2, output3) "
                              "VALUES (?1, ?2, 150, 10, 0)"),
               {porridge, garden});
        insert(QStringLiteral("INSERT INTO output (id_card_recipe, id_type_eating, output1, output2, output3) "
                              "VALUES (?1, ?2, 180, 0, 0)"),
               {tea, garden});
        insert(QStringLiteral("INSERT INTO output (id_card_recipe, id_type_eating, output1) VALUES (?1, ?2, 120)"),
               {porridge, nursery});
        const qint64 norm = insert(QStringLiteral("INSERT INTO norms (id_type_eating, norm, id_product, gname) "
                                                  "VALUES (?1, 350, 7, 'Молоко и молочные')"),
                                   {garden});
        insert(QStringLiteral("INSERT INTO NORMS_POINT (id_norms, id_eating, kol) VALUES (?1, 1, 200)"), {norm});
        insert(QStringLiteral("INSERT INTO NORMS_POINT (id_norms, id_eating, kol) VALUES (?1, 2, 150)"), {norm});
        const qint64 fnorm = insert(QStringLiteral("INSERT INTO FNORMS (id_type_eating, nprotein, nfat, ncarbohyd, "
                                                   "ncalories) VALUES (?1, 54, 60, 261, 1800)"),
                                    {garden});
        insert(QStringLiteral("INSERT INTO FNORMS_VIT (idf, id_vitamin, kol) VALUES (?1, 1, 900)"), {fnorm});
    }

    qint64 menu = 0, nursery = 0, garden = 0, porridge = 0, tea = 0;
};

TEST_F(BookEaterTypes, NewTypeTakesYieldsAndNormsOfTheChosenType)
{
    RecordEditor editor(db(), prompt, entryEaterTypes);
    ASSERT_TRUE(editor.open(EditMode::Add, {}, menu));
    editor.setText(QStringLiteral("ename"), QStringLiteral("Санаторная группа"));
    editor.setText(QStringLiteral("shname"), QStringLiteral("Санаторий"));
    editor.setText(QStringLiteral("status"), QStringLiteral("1"));
    // The offered types: those on allowance, except the new one, by short name: Сад, Ясли.
    prompt.answers = {Answer::Yes, Answer::Yes};
    prompt.choices = {0};
    const auto id = editor.save();
    ASSERT_TRUE(id);
    EXPECT_EQ(prompt.messages(),
              QStringList({QStringLiteral("question: Скопировать выходы для нового типа довольствующихся в справочник "
                                          "\"Выходы блюд\"? => Да"),
                           QStringLiteral("choose: Добавление (копирование) типа довольствующихся => Сад"),
                           QStringLiteral("question: Выходы добавлены (скопированы). Добавить (скопировать) нормы "
                                          "питания и физиологические нормы для нового типа довольствующихся в "
                                          "справочники \"Нормы питания\" и \"Физиологические нормы\"? => Да")}));
    Statement st(db(), QStringLiteral("SELECT id_card_recipe, output1, output2, output3 FROM output "
                                      "WHERE id_type_eating = ?1 ORDER BY id"));
    st.bind(1, *id);
    QStringList yields;
    while (st.next())
        yields << QStringLiteral("%1:%2/%3/%4").arg(st.toInt64(0)).arg(st.toInt64(1)).arg(st.toInt64(2)).arg(st.toInt64(3));
    EXPECT_EQ(yields, QStringList({QStringLiteral("%1:150/10/0").arg(porridge), QStringLiteral("%1:180/0/0").arg(tea)}));
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM output")), 5);
    EXPECT_EQ(count(QStringLiteral("SELECT SUM(p.kol) FROM NORMS_POINT p JOIN norms n ON n.id = p.id_norms "
                                   "WHERE n.id_type_eating = ?1 AND n.norm = 350 AND n.gname = 'Молоко и молочные'"),
                    {*id}),
              350);
    EXPECT_EQ(count(QStringLiteral("SELECT SUM(v.kol) FROM FNORMS_VIT v JOIN FNORMS f ON f.IDF = v.idf "
                                   "WHERE f.id_type_eating = ?1 AND f.ncalories = 1800"),
                    {*id}),
              900);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM norms")), 2);
}

TEST_F(BookEaterTypes, NoTypeChosenCopiesNothing)
{
    RecordEditor editor(db(), prompt, entryEaterTypes);
    ASSERT_TRUE(editor.open(EditMode::Add, {}, menu));
    editor.setText(QStringLiteral("ename"), QStringLiteral("Санаторная группа"));
    editor.setText(QStringLiteral("shname"), QStringLiteral("Санаторий"));
    prompt.answers = {Answer::Yes};
    prompt.choices = {std::nullopt};
    EXPECT_TRUE(editor.save());
    EXPECT_EQ(prompt.messages().value(2),
              QStringLiteral("warning: Не был выбран тип довольствующихся. Добаление(копирование) невозможно."));
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM output")), 3);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM type_eating")), 4);
}

TEST_F(BookEaterTypes, DeletedTypeTakesItsRowsAlong)
{
    insert(QStringLiteral("INSERT INTO quantity_eating (id_day_menu_point, id_type_eating, quantity) VALUES (1, ?1, 20)"),
           {garden});
    // No keeps the type and everything of it.
    prompt.answers = {Answer::Yes, Answer::No, Answer::Yes, Answer::Yes, Answer::Yes};
    EXPECT_EQ(deleteRows(db(), prompt, entryEaterTypes, {garden}).deleted, 0);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM output WHERE id_type_eating = ?1"), {garden}), 2);
    EXPECT_EQ(deleteRows(db(), prompt, entryEaterTypes, {garden, nursery}).deleted, 2);
    const QString withMenus = QStringLiteral("question: Для типа довольствующихся Сад составлены меню на день. Удалить "
                                             "тип вместе с меню? Внимание! Восстановить данные будет невозможно!");
    EXPECT_EQ(prompt.messages(),
              QStringList({QStringLiteral("question: Удалить выделенную строку? => Да"), withMenus + QStringLiteral(" => Нет"),
                           QStringLiteral("question: Удалить выделенные строки? => Да"), withMenus + QStringLiteral(" => Да"),
                           QStringLiteral("question: Удалить тип довольтсвующегося вместе с выходами и нормами? => Да")}));
    for (const char* table : {"output", "norms", "NORMS_POINT", "FNORMS", "FNORMS_VIT", "quantity_eating"})
        EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM ") + QString::fromLatin1(table)), 0) << table;
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM type_eating")), 1);
}

} // namespace
