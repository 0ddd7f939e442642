// The record editor's save: the order of its checks and every message, on product groups,
// products, vitamins, vitamin content, substitutions and meals; refusals leave the tables as
// they were; a failed write leaves nothing half-written.

#include "core/Database.h"
#include "core/DatabaseSession.h"
#include "refbooks/RecordEditor.h"
#include "support/FileTest.h"
#include "support/ScriptedPrompt.h"
#include "support/TestEnv.h"

#include <gtest/gtest.h>

using namespace rat;
using namespace rat::books;

namespace {

class BookSave : public test::FileTest {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(session.createDatabase(env.path(QStringLiteral("save.db"))));
        prompt.clear();
    }

    std::optional<qint64> save(int entry, const std::vector<std::pair<QString, QString>>& values,
                               EditMode mode = EditMode::Add, std::optional<qint64> id = {},
                               std::optional<qint64> parent = {})
    {
        RecordEditor editor(db(), prompt, entry);
        if (!editor.open(mode, id, parent))
            return std::nullopt;
        for (const auto& [field, text] : values)
            EXPECT_TRUE(editor.setText(field, text)) << field.toStdString();
        return editor.save();
    }
};

TEST_F(BookSave, NameUniqueWithoutRegardToLetterCaseCyrillicIncluded)
{
    const auto milk = save(entryProductGroups, {{QStringLiteral("pname"), QStringLiteral("Молоко")}});
    ASSERT_TRUE(milk);
    EXPECT_TRUE(prompt.messages().isEmpty());
    const QStringList before = dump(QStringLiteral("product_group"));

    EXPECT_FALSE(save(entryProductGroups, {{QStringLiteral("pname"), QStringLiteral("молоко")}}));
    EXPECT_FALSE(save(entryProductGroups, {{QStringLiteral("pname"), QStringLiteral("МОЛОКО")}}));
    EXPECT_FALSE(save(entryProductGroups, {{QStringLiteral("pname"), QStringLiteral("   ")}}));
    EXPECT_EQ(prompt.messages(),
              QStringList({QStringLiteral("warning: Значение \"молоко\" поля \"Наименование\" уже имеется в другой "
                                          "строке справочника. Измените введенное значение."),
                           QStringLiteral("warning: Значение \"МОЛОКО\" поля \"Наименование\" уже имеется в другой "
                                          "строке справочника. Измените введенное значение."),
                           QStringLiteral("warning: Необходимо обязательно заполнить поле \"Наименование\".")}));
    EXPECT_EQ(dump(QStringLiteral("product_group")), before);

    // Editing the row itself may change the letter case of its own name; a copy may not.
    prompt.clear();
    EXPECT_EQ(save(entryProductGroups, {{QStringLiteral("pname"), QStringLiteral("МОЛОКО")}}, EditMode::Edit, milk),
              milk);
    EXPECT_EQ(db().scalar(QStringLiteral("SELECT pname FROM product_group WHERE id = ?1"), {*milk}).toString(),
              QStringLiteral("МОЛОКО"));
    EXPECT_FALSE(save(entryProductGroups, {}, EditMode::Copy, milk));
    EXPECT_EQ(prompt.messages(),
              QStringList(QStringLiteral("warning: Значение \"МОЛОКО\" поля \"Наименование\" уже имеется в другой "
                                         "строке справочника. Измените введенное значение.")));
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM product_group")), 1);
}

TEST_F(BookSave, UniquenessTellsYoFromYeButNotLetterCase)
{
    ASSERT_TRUE(save(entryProductGroups, {{QStringLiteral("pname"), QStringLiteral("Ёжики")}}));
    // "Ежики" is another word as typed; only a change of letter case is the same name.
    EXPECT_TRUE(save(entryProductGroups, {{QStringLiteral("pname"), QStringLiteral("Ежики")}}));
    EXPECT_FALSE(save(entryProductGroups, {{QStringLiteral("pname"), QStringLiteral("ёЖИКИ")}}));
    EXPECT_EQ(prompt.messages(),
              QStringList(QStringLiteral("warning: Значение \"ёЖИКИ\" поля \"Наименование\" уже имеется в другой "
                                         "строке справочника. Измените введенное значение.")));
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM product_group")), 2);
}

TEST_F(BookSave, ProductChecksRunInFieldOrderAndTheFirstFailureStops)
{
    const qint64 group = insert(QStringLiteral("INSERT INTO product_group (pname) VALUES ('Молочные')"));
    const qint64 unit = insert(QStringLiteral("INSERT INTO ed_izmer (ename, koef) VALUES ('кг', 1000)"));
    insert(QStringLiteral("INSERT INTO products (pname, schif, id_product_group) VALUES ('Кефир', 'A1', ?1)"), {group});
    const QStringList before = dump(QStringLiteral("products"));
    const QString g = QString::number(group), u = QString::number(unit);

    // Each save fixes the previous failure and meets the next one.
    EXPECT_FALSE(save(entryProducts, {{QStringLiteral("pname"), QStringLiteral("Молоко")},
                                      {QStringLiteral("time_storage"), QStringLiteral("x")}}));
    EXPECT_FALSE(save(entryProducts, {{QStringLiteral("id_product_group"), g},
                                      {QStringLiteral("time_storage"), QStringLiteral("x")}}));
    EXPECT_FALSE(save(entryProducts, {{QStringLiteral("id_product_group"), g},
                                      {QStringLiteral("pname"), QStringLiteral("кефир")}}));
    EXPECT_FALSE(save(entryProducts, {{QStringLiteral("id_product_group"), g},
                                      {QStringLiteral("pname"), QStringLiteral("Молоко")},
                                      {QStringLiteral("id_ed_izmer"), u},
                                      {QStringLiteral("protein"), QStringLiteral("2,8,1")}}));
    EXPECT_FALSE(save(entryProducts, {{QStringLiteral("id_product_group"), g},
                                      {QStringLiteral("pname"), QStringLiteral("Молоко")},
                                      {QStringLiteral("id_ed_izmer"), u},
                                      {QStringLiteral("time_storage"), QStringLiteral("5,5")}}));
    EXPECT_EQ(prompt.messages(),
              QStringList({
                  QStringLiteral("warning: Необходимо обязательно выбрать строку в списке \"Группа продуктов\"."),
                  QStringLiteral("warning: Необходимо обязательно заполнить поле \"Наименование\"."),
                  QStringLiteral("warning: Значение \"кефир\" поля \"Наименование\" уже имеется в другой строке "
                                 "справочника. Измените введенное значение."),
                  QStringLiteral("warning: Значение \"2.8.1\" поля \"Белки, г\" не корректно. Измените введенное "
                                 "значение."),
                  QStringLiteral("warning: Значение \"5.5\" поля \"Срок хранения\" не корректно. Измените введенное "
                                 "значение."),
              }));
    EXPECT_EQ(dump(QStringLiteral("products")), before);

    // A code another product has only warns; No keeps the tables as they were, Yes saves.
    const std::vector<std::pair<QString, QString>> milk = {
        {QStringLiteral("id_product_group"), g}, {QStringLiteral("pname"), QStringLiteral("Молоко")},
        {QStringLiteral("id_ed_izmer"), u},      {QStringLiteral("schif"), QStringLiteral("a1")},
        {QStringLiteral("protein"), QStringLiteral("12,5")}, {QStringLiteral("time_storage"), QStringLiteral("5")},
        {QStringLiteral("time_period"), QStringLiteral("2")}, {QStringLiteral("rule_okr"), QStringLiteral("3")},
        {QStringLiteral("plpris"), QStringLiteral("1234,56")}, {QStringLiteral("$Ca"), QStringLiteral("120,5")}};
    prompt.clear();
    prompt.answers = {Answer::No};
    EXPECT_FALSE(save(entryProducts, milk));
    EXPECT_EQ(dump(QStringLiteral("products")), before);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM vitamin_quantity")), 0);
    prompt.answers = {Answer::Yes};
    const auto id = save(entryProducts, milk);
    ASSERT_TRUE(id);
    const QString warning = QStringLiteral("question: Значение \"a1\" поля \"Шифр продукта\" уже имеется в другой "
                                           "строке справочника. Продолжить сохранение?");
    EXPECT_EQ(prompt.messages(), QStringList({warning + QStringLiteral(" => Нет"), warning + QStringLiteral(" => Да")}));

    // Typed with a decimal comma, stored as numbers.
    Statement st(db(), QStringLiteral("SELECT protein, plpris, time_storage, typeof(protein) FROM products WHERE id = ?1"));
    st.bind(1, *id);
    ASSERT_TRUE(st.next());
    EXPECT_DOUBLE_EQ(st.toDouble(0), 12.5);
    EXPECT_DOUBLE_EQ(st.toDouble(1), 1234.56);
    EXPECT_EQ(st.toInt64(2), 5);
    EXPECT_EQ(st.toString(3), QStringLiteral("real"));
    EXPECT_DOUBLE_EQ(db().scalar(QStringLiteral("SELECT q.quantity FROM vitamin_quantity q JOIN vitamin v ON "
                                                "v.id = q.id_vitamin WHERE v.shname = 'Ca' AND q.id_product = ?1"),
                                 {*id})
                         .toDouble(),
                     120.5);

    // Saving again (edit) never leaves two content rows of one vitamin; an emptied field none.
    // The shared code warns at every save.
    prompt.clear();
    prompt.answers = {Answer::Yes, Answer::Yes};
    EXPECT_EQ(save(entryProducts, {{QStringLiteral("$Ca"), QStringLiteral("99")}, {QStringLiteral("$Fe"), QStringLiteral("1,5")}},
                   EditMode::Edit, id),
              id);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM vitamin_quantity WHERE id_product = ?1"), {*id}), 2);
    EXPECT_EQ(save(entryProducts, {{QStringLiteral("$Ca"), QString()}}, EditMode::Edit, id), id);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM vitamin_quantity WHERE id_product = ?1"), {*id}), 1);
    EXPECT_EQ(prompt.messages(), QStringList({warning + QStringLiteral(" => Да"), warning + QStringLiteral(" => Да")}));
}

TEST_F(BookSave, EditorShowsTheRowAndItsCaption)
{
    const qint64 group = insert(QStringLiteral("INSERT INTO product_group (pname) VALUES ('Молочные')"));
    const qint64 id = insert(
        QStringLiteral("INSERT INTO products (pname, id_product_group, protein, time_storage) VALUES ('Сметана', ?1, 2.5, 3)"),
        {group});
    insert(QStringLiteral("INSERT INTO vitamin_quantity (id_product, id_vitamin, quantity) SELECT ?1, id, 0.25 FROM "
                          "vitamin WHERE shname = 'C'"),
           {id});
    RecordEditor editor(db(), prompt, entryProducts);
    ASSERT_TRUE(editor.open(EditMode::Edit, id));
    EXPECT_EQ(editor.caption(), QStringLiteral("Продукт: Сметана"));
    EXPECT_EQ(editor.value(editor.fieldIndex(QStringLiteral("protein"))).toString(), QStringLiteral("2,5"));
    EXPECT_EQ(editor.value(editor.fieldIndex(QStringLiteral("time_storage"))).toString(), QStringLiteral("3"));
    EXPECT_EQ(editor.value(editor.fieldIndex(QStringLiteral("$C"))).toString(), QStringLiteral("0,25"));
    EXPECT_EQ(editor.value(editor.fieldIndex(QStringLiteral("id_product_group"))).toLongLong(), group);
    EXPECT_EQ(editor.fields()[size_t(editor.fieldIndex(QStringLiteral("plpris")))].caption,
              QStringLiteral("Плановая цена, тг., на ед. измер."));

    RecordEditor added(db(), prompt, entryProducts);
    ASSERT_TRUE(added.open(EditMode::Add));
    EXPECT_EQ(added.caption(), QStringLiteral("Продукт: Новая"));
    EXPECT_TRUE(prompt.messages().isEmpty());
}

TEST_F(BookSave, NewProductTakesTheMostUsedUnitPeriodAndRoundingRule)
{
    for (const char* row : {"1, 2, NULL", "2, 2, NULL", "2, 4, NULL", "2, 3, 3", "3, 3, 3", "1, 3, 1"})
        db().execScript(QStringLiteral("INSERT INTO products (id_ed_izmer, time_period, rule_okr) VALUES (") +
                        QString::fromLatin1(row) + QStringLiteral(");"));
    // Units: 2 three times. Periods: 3 three times. Rules: NULL thrice is not counted, so 3.
    RecordEditor editor(db(), prompt, entryProducts);
    ASSERT_TRUE(editor.open(EditMode::Add, {}, qint64(7)));
    EXPECT_EQ(editor.value(editor.fieldIndex(QStringLiteral("id_ed_izmer"))).toLongLong(), 2);
    EXPECT_EQ(editor.value(editor.fieldIndex(QStringLiteral("time_period"))).toLongLong(), 3);
    EXPECT_EQ(editor.value(editor.fieldIndex(QStringLiteral("rule_okr"))).toLongLong(), 3);
    EXPECT_EQ(editor.value(editor.fieldIndex(QStringLiteral("id_product_group"))).toLongLong(), 7);
}

TEST_F(BookSave, RowGoneMeanwhile)
{
    const qint64 id = insert(QStringLiteral("INSERT INTO type_meal (tname) VALUES ('Супы')"));
    RecordEditor editor(db(), prompt, entryDishCategories);
    ASSERT_TRUE(editor.open(EditMode::Edit, id));
    editor.setText(QStringLiteral("tname"), QStringLiteral("Первые блюда"));
    db().exec(QStringLiteral("DELETE FROM type_meal"));
    EXPECT_FALSE(editor.save());
    EXPECT_FALSE(editor.open(EditMode::Edit, id));
    EXPECT_FALSE(editor.open(EditMode::Copy, id));
    EXPECT_EQ(prompt.messages(),
              QStringList({QStringLiteral("critical: Возникла ошибка при сохранении данных. Проверьте, изменились ли "
                                          "данные в справочнике. Ошибка: запись не найдена."),
                           QStringLiteral("warning: Не найдена редактируемая запись. Обновите окно (F5), выделите "
                                          "другую строку."),
                           QStringLiteral("warning: Не найдена копируемая запись. Обновите окно (F5), выделите другую "
                                          "строку.")}));
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM type_meal")), 0);
}

TEST_F(BookSave, FailedWriteLeavesNothingHalfWritten)
{
    const qint64 group = insert(QStringLiteral("INSERT INTO product_group (pname) VALUES ('Молочные')"));
    const qint64 unit = insert(QStringLiteral("INSERT INTO ed_izmer (ename, koef) VALUES ('кг', 1000)"));
    // The product row goes in, then the database refuses its vitamin row.
    db().execScript(QStringLiteral("CREATE TRIGGER no_content BEFORE INSERT ON vitamin_quantity "
                                   "BEGIN SELECT RAISE(ABORT, 'запись запрещена'); END;"));
    EXPECT_FALSE(save(entryProducts, {{QStringLiteral("id_product_group"), QString::number(group)},
                                      {QStringLiteral("pname"), QStringLiteral("Молоко")},
                                      {QStringLiteral("id_ed_izmer"), QString::number(unit)},
                                      {QStringLiteral("time_storage"), QStringLiteral("5")},
                                      {QStringLiteral("time_period"), QStringLiteral("2")},
                                      {QStringLiteral("rule_okr"), QStringLiteral("3")},
                                      {QStringLiteral("$B1"), QStringLiteral("0,04")}}));
    EXPECT_EQ(prompt.messages(),
              QStringList(QStringLiteral("critical: Возникла ошибка при сохранении данных. Проверьте, изменились ли "
                                         "данные в справочнике. Ошибка: запись запрещена")));
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM products")), 0);
}

TEST_F(BookSave, VitaminCodeWithADotIsStoredWithAnUnderscore)
{
    const auto id = save(entryVitamins, {{QStringLiteral("vname"), QStringLiteral("Витамин В1 (второй)")},
                                         {QStringLiteral("shname"), QStringLiteral("B.1")}});
    ASSERT_TRUE(id);
    EXPECT_EQ(db().scalar(QStringLiteral("SELECT shname FROM vitamin WHERE id = ?1"), {*id}).toString(),
              QStringLiteral("B_1"));
    // The replaced code must still be unique.
    EXPECT_FALSE(save(entryVitamins, {{QStringLiteral("vname"), QStringLiteral("Ещё один")},
                                      {QStringLiteral("shname"), QStringLiteral("b.1")}}));
    const QString dot = QStringLiteral("warning: В кратком наименовании витамина обнаружены недопустимые символы. "
                                       "Программа автоматически заменит их на символ \"_\".");
    EXPECT_EQ(prompt.messages(),
              QStringList({dot, dot,
                           QStringLiteral("warning: Значение \"b_1\" поля \"Краткое наименование\" уже имеется в "
                                          "другой строке справочника. Измените введенное значение.")}));
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM vitamin")), 6);
}

TEST_F(BookSave, VitaminContentAndSubstitutionChecks)
{
    const qint64 milk = insert(QStringLiteral("INSERT INTO products (pname) VALUES ('Молоко')"));
    const qint64 kefir = insert(QStringLiteral("INSERT INTO products (pname) VALUES ('Кефир')"));
    const QString calcium = db().scalar(QStringLiteral("SELECT id FROM vitamin WHERE shname = 'Ca'")).toString();

    const auto first = save(entryVitaminContent, {{QStringLiteral("id_vitamin"), calcium},
                                                  {QStringLiteral("quantity"), QStringLiteral("120")}},
                            EditMode::Add, {}, milk);
    ASSERT_TRUE(first);
    EXPECT_FALSE(save(entryVitaminContent, {{QStringLiteral("id_vitamin"), calcium},
                                            {QStringLiteral("quantity"), QStringLiteral("1")}},
                      EditMode::Add, {}, milk));
    // The row itself may be saved again.
    EXPECT_EQ(save(entryVitaminContent, {{QStringLiteral("quantity"), QStringLiteral("121,5")}}, EditMode::Edit, first),
              first);

    EXPECT_FALSE(save(entrySubstitutions, {{QStringLiteral("id_product_replace"), QString::number(milk)},
                                           {QStringLiteral("repl_weight"), QStringLiteral("100")},
                                           {QStringLiteral("pr_weight"), QStringLiteral("100")}},
                      EditMode::Add, {}, milk));
    const std::vector<std::pair<QString, QString>> pair = {{QStringLiteral("id_product_replace"), QString::number(kefir)},
                                                           {QStringLiteral("repl_weight"), QStringLiteral("110")},
                                                           {QStringLiteral("pr_weight"), QStringLiteral("100")}};
    EXPECT_TRUE(save(entrySubstitutions, pair, EditMode::Add, {}, milk));
    EXPECT_FALSE(save(entrySubstitutions, pair, EditMode::Add, {}, milk));
    EXPECT_EQ(prompt.messages(),
              QStringList({QStringLiteral("warning: На продукт \"Молоко\" уже добавлен витамин \"Кальций\"."),
                           QStringLiteral("warning: Продукт и продукт-заменитель совпадают. Измените выбранные "
                                          "значения."),
                           QStringLiteral("warning: Значение \"Кефир\" поля \"Продукт-заменитель\" уже имеется в "
                                          "другой строке справочника. Измените введенное значение.")}));
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM vitamin_quantity")), 1);
    EXPECT_DOUBLE_EQ(db().scalar(QStringLiteral("SELECT quantity FROM vitamin_quantity")).toDouble(), 121.5);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM [replace]")), 1);
}

TEST_F(BookSave, TimesAndTyping)
{
    EXPECT_TRUE(save(entryMeals, {{QStringLiteral("ename"), QStringLiteral("Завтрак")},
                                  {QStringLiteral("TIME"), QStringLiteral("8:30")}}));
    EXPECT_FALSE(save(entryMeals, {{QStringLiteral("ename"), QStringLiteral("Обед")},
                                   {QStringLiteral("TIME"), QStringLiteral("25:00")}}));
    EXPECT_EQ(db().scalar(QStringLiteral("SELECT TIME FROM eating")).toString(), QStringLiteral("1899-12-30 08:30:00"));

    RecordEditor editor(db(), prompt, entryUnits);
    ASSERT_TRUE(editor.open(EditMode::Add));
    const int koef = editor.fieldIndex(QStringLiteral("koef"));
    EXPECT_TRUE(editor.acceptTyping(koef, QStringLiteral("1000,5")));
    EXPECT_FALSE(editor.acceptTyping(koef, QStringLiteral("10a")));
    EXPECT_FALSE(editor.acceptTyping(koef, QStringLiteral("-1")));
    // Digits of other scripts would pass as digits and then fail as a number: refused as typed.
    EXPECT_FALSE(editor.acceptTyping(koef, QString::fromUtf8("\u0663")));
    EXPECT_TRUE(editor.acceptTyping(koef, QStringLiteral("1000.5")));
    EXPECT_TRUE(editor.acceptTyping(editor.fieldIndex(QStringLiteral("ename")), QStringLiteral("кг")));

    // Cancel with changes asks; Cancel stays, No closes without saving.
    editor.setText(QStringLiteral("ename"), QStringLiteral("кг"));
    prompt.answers = {Answer::Cancel, Answer::No};
    EXPECT_FALSE(editor.confirmClose());
    EXPECT_TRUE(editor.confirmClose());
    EXPECT_EQ(prompt.messages(),
              QStringList({QStringLiteral("warning: Значение \"25:00\" поля \"Время\" не корректно. Измените "
                                          "введенное значение."),
                           QStringLiteral("warning: Введите целое или дробное число. Здесь можно вводить только "
                                          "цифры, а целая часть от дробной отделяется запятой!"),
                           QStringLiteral("warning: Вы ввели отрицательное значение!"),
                           QStringLiteral("warning: Введите целое или дробное число. Здесь можно вводить только "
                                          "цифры, а целая часть от дробной отделяется запятой!"),
                           QStringLiteral("question: Сохранить изменения? => Отмена"),
                           QStringLiteral("question: Сохранить изменения? => Нет")}));
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM ed_izmer")), 0);
}

} // namespace
