// Products: the sell-by date of a delivery, the deletion of a product with its refusals and
// questions in their order, and the product window's logic (caption and marker, checks in the
// window's order, vitamin rows, the norms question, the VAT default, closing with changes).

#include "core/Database.h"
#include "core/DatabaseSession.h"
#include "core/Startup.h"
#include "refbooks/BookActions.h"
#include "refbooks/ProductEditor.h"
#include "refbooks/ProductRules.h"
#include "support/FileTest.h"
#include "support/ScriptedPrompt.h"
#include "support/TestEnv.h"

#include <gtest/gtest.h>

using namespace rat;
using namespace rat::books;

namespace {

class Products : public test::FileTest {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(createAndFillDatabase(session, env.path(QStringLiteral("products.db"))));
        prompt.clear();
        dairy = insert(QStringLiteral("INSERT INTO product_group (pname) VALUES ('Молочные')"));
        litre = insert(QStringLiteral("INSERT INTO ed_izmer (ename, koef) VALUES ('л', 1000)"));
    }

    qint64 product(const QString& name, QVariant storage = {}, QVariant period = {})
    {
        return insert(QStringLiteral("INSERT INTO products (pname, id_product_group, id_ed_izmer, time_storage, "
                                     "time_period, rule_okr) VALUES (?1, ?2, ?3, ?4, ?5, 3)"),
                      {name, dairy, litre, storage, period});
    }

    qint64 vitamin(const char* code)
    {
        return count(QStringLiteral("SELECT id FROM vitamin WHERE shname = ?1"), {QString::fromLatin1(code)});
    }

    // Every table a product's deletion may touch.
    QStringList everything()
    {
        QStringList all;
        for (const char* t : {"products", "norms", "NORMS_POINT", "replace", "vitamin_quantity", "SEZON", "recipes",
                              "storage", "order_point"})
            all << dump(QString::fromLatin1(t));
        return all;
    }

    qint64 dairy = 0, litre = 0;
};

QDateTime at(int y, int m, int d, int h = 0)
{
    return QDateTime(QDate(y, m, d), QTime(h, 0), Qt::UTC);
}

TEST_F(Products, SellByDateFollowsTheCalendar)
{
    const qint64 days = product(QStringLiteral("Кефир"), 5, 2);
    const qint64 weeks = product(QStringLiteral("Сыр"), 5, 3);
    const qint64 month = product(QStringLiteral("Масло"), 1, 4);
    const qint64 hours = product(QStringLiteral("Молоко парное"), 30, 1);
    const qint64 year = product(QStringLiteral("Сухое молоко"), 1, 5);
    const qint64 none = product(QStringLiteral("Творог"));

    EXPECT_EQ(sellByDate(db(), days, at(2023, 3, 1)), at(2023, 3, 6));
    EXPECT_EQ(sellByDate(db(), weeks, at(2023, 3, 1)), at(2023, 4, 5));
    // 31 January + 1 month is the last day of February, in a leap year too.
    EXPECT_EQ(sellByDate(db(), month, at(2023, 1, 31)), at(2023, 2, 28));
    EXPECT_EQ(sellByDate(db(), month, at(2024, 1, 31)), at(2024, 2, 29));
    EXPECT_EQ(sellByDate(db(), month, at(2023, 12, 15)), at(2024, 1, 15));
    EXPECT_EQ(sellByDate(db(), hours, at(2023, 3, 1, 20)), at(2023, 3, 3, 2));
    EXPECT_EQ(sellByDate(db(), year, at(2024, 2, 29)), at(2025, 2, 28));
    // No storage time, no such product: no date.
    EXPECT_FALSE(sellByDate(db(), none, at(2023, 3, 1)));
    EXPECT_FALSE(sellByDate(db(), 999, at(2023, 3, 1)));
    EXPECT_FALSE(advanceByStorage(at(2023, 3, 1), 5, 0));
    EXPECT_FALSE(advanceByStorage(at(2023, 3, 1), 5, 6));
    // A local time across the spring change of clocks still advances by the calendar.
    const QDateTime local(QDate(2023, 3, 25), QTime(12, 0), Qt::LocalTime);
    EXPECT_EQ(advanceByStorage(local, 24, 1), QDateTime(QDate(2023, 3, 26), QTime(12, 0), Qt::LocalTime));
    EXPECT_TRUE(prompt.events.isEmpty());
}

TEST_F(Products, DeletionRefusalsComeBeforeQuestionsAndHoldWhateverElseTheProductHas)
{
    const qint64 milk = product(QStringLiteral("Молоко"));
    const qint64 kefir = product(QStringLiteral("Кефир"));
    const qint64 cream = product(QStringLiteral("Сливки"));
    // Each of them also has norms, substitutes and vitamins, which would otherwise ask.
    for (const qint64 p : {milk, kefir, cream}) {
        insert(QStringLiteral("INSERT INTO norms (id_type_eating, norm, id_product) VALUES (1, 100, ?1)"), {p});
        insert(QStringLiteral("INSERT INTO vitamin_quantity (id_product, id_vitamin, quantity) VALUES (?1, ?2, 1)"),
               {p, vitamin("Ca")});
    }
    insert(QStringLiteral("INSERT INTO [replace] (id_product, id_product_replace) VALUES (?1, ?2)"), {milk, kefir});
    insert(QStringLiteral("INSERT INTO recipes (id_card_recipes, id_product, brutto, isCard) VALUES (1, ?1, 200, 0)"),
           {milk});
    insert(QStringLiteral("INSERT INTO storage (id_product, quantity) VALUES (?1, 3)"), {kefir});
    insert(QStringLiteral("INSERT INTO order_point (id_product, id_orders) VALUES (?1, 1)"), {cream});
    const QStringList before = everything();

    prompt.answers = {Answer::Yes, Answer::Yes, Answer::Yes};
    EXPECT_EQ(deleteRows(db(), prompt, entryProducts, {milk, kefir, cream}).deleted, 0);
    const QString rest = QStringLiteral("\n\nУдалить остальные выделенные строки? => Да");
    EXPECT_EQ(prompt.events,
              QStringList({QStringLiteral("question: Удалить выделенные строки? => Да"),
                           QStringLiteral("status: Идет удаление строк..."),
                           QStringLiteral("question: Невозможно удалить продукт \"Молоко\", так как он используется в "
                                          "справочнике рецептур.") + rest,
                           QStringLiteral("question: Невозможно удалить продукт \"Кефир\", так как он используется в "
                                          "справочнике поступлений.") + rest,
                           QStringLiteral("critical: Невозможно удалить продукт \"Сливки\", так как он используется в "
                                          "справочнике заказов."),
                           QStringLiteral("status: Удалено строк: 0")}));
    EXPECT_EQ(everything(), before);
}

TEST_F(Products, DeletionQuestionsInTheirOrderAndWhatYesTakesAlong)
{
    const qint64 milk = product(QStringLiteral("Молоко"));
    const qint64 kefir = product(QStringLiteral("Кефир"));
    const qint64 cream = product(QStringLiteral("Сливки"));
    const qint64 curd = product(QStringLiteral("Творог"));
    const qint64 butter = product(QStringLiteral("Масло"));
    // Milk: norms (with their per-meal rows), vitamins and a substitute; kefir is only named
    // as a substitute; cream has vitamins only; curd has nothing but seasonal rows; butter
    // is a nested dish's number in a recipe, which is no use of the product.
    const qint64 norm = insert(QStringLiteral("INSERT INTO norms (id_type_eating, norm, id_product) VALUES (1, 100, ?1)"),
                               {milk});
    insert(QStringLiteral("INSERT INTO NORMS_POINT (id_norms, id_eating, kol) VALUES (?1, 1, 50)"), {norm});
    const qint64 other = insert(QStringLiteral("INSERT INTO NORMS_POINT (id_norms, id_eating, kol) VALUES (99, 1, 50)"));
    insert(QStringLiteral("INSERT INTO vitamin_quantity (id_product, id_vitamin, quantity) VALUES (?1, ?2, 1)"),
           {milk, vitamin("Ca")});
    insert(QStringLiteral("INSERT INTO [replace] (id_product, id_product_replace) VALUES (?1, ?2)"), {milk, kefir});
    insert(QStringLiteral("INSERT INTO [replace] (id_product, id_product_replace) VALUES (?1, ?2)"), {cream, milk});
    insert(QStringLiteral("INSERT INTO vitamin_quantity (id_product, id_vitamin, quantity) VALUES (?1, ?2, 1)"),
           {cream, vitamin("C")});
    insert(QStringLiteral("INSERT INTO SEZON (id_PRODUCT, DAY_N, MES_N, DAY_O, MES_O, PROZ) VALUES (?1, 1, 0, 31, 11, 5)"),
           {curd});
    insert(QStringLiteral("INSERT INTO recipes (id_card_recipes, id_product, isCard) VALUES (1, ?1, -1)"), {butter});

    // No to every question keeps every row.
    const QStringList before = everything();
    prompt.answers = {Answer::Yes, Answer::No, Answer::No};
    EXPECT_EQ(deleteRows(db(), prompt, entryProducts, {milk, kefir}).deleted, 0);
    EXPECT_EQ(prompt.messages(),
              QStringList({QStringLiteral("question: Удалить выделенные строки? => Да"),
                           QStringLiteral("question: Для продукта \"Молоко\" заполнен справочник \"Нормы питания\". "
                                          "Удалить продукт со всеми данными? => Нет"),
                           QStringLiteral("question: Для продукта \"Кефир\" заполнен справочник \"Замен\". Удалить "
                                          "продукт со всеми данными? => Нет")}));
    EXPECT_EQ(everything(), before);

    prompt.clear();
    prompt.answers = {Answer::Yes, Answer::Yes, Answer::Yes};
    EXPECT_EQ(deleteRows(db(), prompt, entryProducts, {milk, cream, curd, butter}).deleted, 4);
    EXPECT_EQ(prompt.messages(),
              QStringList({QStringLiteral("question: Удалить выделенные строки? => Да"),
                           QStringLiteral("question: Для продукта \"Молоко\" заполнен справочник \"Нормы питания\". "
                                          "Удалить продукт со всеми данными? => Да"),
                           // Cream's substitution row went with milk.
                           QStringLiteral("question: Для продукта \"Сливки\" заполнен справочник \"Содержание "
                                          "витаминов\". Удалить продукт со всеми данными? => Да")}));
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM products")), 1);
    EXPECT_EQ(count(QStringLiteral("SELECT id FROM products")), kefir);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM norms")), 0);
    EXPECT_EQ(count(QStringLiteral("SELECT IDNP FROM NORMS_POINT")), other);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM [replace]")), 0);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM vitamin_quantity")), 0);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM SEZON")), 0);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM recipes")), 1);
}

class ProductWindow : public Products {
protected:
    std::unique_ptr<ProductEditor> editor(EditMode mode, std::optional<qint64> id = {},
                                          std::optional<qint64> group = {})
    {
        auto e = std::make_unique<ProductEditor>(db(), prompt);
        opened = e->open(mode, id, group);
        return e;
    }

    QString value(const ProductEditor& e, const char* field)
    {
        return e.value(e.fieldIndex(QString::fromLatin1(field))).toString();
    }

    bool opened = false;
};

TEST_F(ProductWindow, FieldsInTheWindowsOrderWithEveryVitamin)
{
    insert(QStringLiteral("INSERT INTO vitamin (vname, shname, ispCard) VALUES ('Йод', 'I', 0)"));
    const auto e = editor(EditMode::Add);
    QStringList captions;
    for (const EditorField& f : e->fields())
        captions << f.caption;
    EXPECT_EQ(captions, QStringList({QStringLiteral("Группа продуктов"), QStringLiteral("Наименование"),
                                     QStringLiteral("Ед.изм."), QStringLiteral("Шифр продукта"),
                                     QStringLiteral("Срок хранения"), QStringLiteral("Период срока хранения"),
                                     QStringLiteral("Округлять до"), QStringLiteral("% несъедобной части"),
                                     QStringLiteral("Плановая цена, тг. за единицу измерения"),
                                     QStringLiteral("Процент НДС, %"),
                                     QStringLiteral("Обогащен витаминами и микроэлементами"),
                                     QStringLiteral("Обогащен лакто и бифидобактериями"), QStringLiteral("Белки, г"),
                                     QStringLiteral("Жиры, г"), QStringLiteral("Углеводы, г"),
                                     QStringLiteral("Калорий, ккал"), QStringLiteral("Ca, мг"), QStringLiteral("Fe, мг"),
                                     QStringLiteral("B1, мг"), QStringLiteral("B2, мг"), QStringLiteral("C, мг"),
                                     QStringLiteral("I, мг")}));
    EXPECT_EQ(e->fields()[size_t(e->nutrientStart())].field, QStringLiteral("protein"));
    EXPECT_EQ(e->fields()[size_t(e->vitaminStart())].field, QStringLiteral("$Ca"));
    // The storage-period and rounding lists offer their captions with the stored codes.
    const auto periods = e->items(e->fieldIndex(QStringLiteral("time_period")));
    ASSERT_EQ(periods.size(), 5u);
    EXPECT_EQ(periods.front().text, QStringLiteral("час."));
    EXPECT_EQ(periods.front().value.toInt(), 1);
    EXPECT_EQ(periods.back().text, QStringLiteral("г."));
    EXPECT_EQ(periods.back().value.toInt(), 5);
    const auto rules = e->items(e->fieldIndex(QStringLiteral("rule_okr")));
    ASSERT_EQ(rules.size(), 4u);
    EXPECT_EQ(rules[2].text, QStringLiteral("сотых (1,55)"));
    EXPECT_EQ(rules[2].value.toInt(), 3);
}

TEST_F(ProductWindow, CaptionsAndTheUnsavedMarker)
{
    const qint64 milk = product(QStringLiteral("Молоко"), 5, 2);
    insert(QStringLiteral("INSERT INTO products (pname, id_ed_izmer, time_period, rule_okr) VALUES ('x', ?1, 2, 3)"),
           {litre});
    auto added = editor(EditMode::Add, {}, dairy);
    ASSERT_TRUE(opened);
    EXPECT_EQ(added->caption(), QStringLiteral("Продукты: Новый продукт"));
    // A new product takes the group of the list and what most products have.
    EXPECT_EQ(added->value(added->fieldIndex(QStringLiteral("id_product_group"))).toLongLong(), dairy);
    EXPECT_EQ(added->value(added->fieldIndex(QStringLiteral("id_ed_izmer"))).toLongLong(), litre);
    EXPECT_EQ(added->value(added->fieldIndex(QStringLiteral("time_period"))).toLongLong(), 2);
    EXPECT_EQ(added->value(added->fieldIndex(QStringLiteral("rule_okr"))).toLongLong(), 3);
    added->setText(QStringLiteral("pname"), QStringLiteral("Ряженка"));
    EXPECT_EQ(added->caption(), QStringLiteral("Продукты: Новый продукт *"));
    added->setText(QStringLiteral("schif"), QStringLiteral("R1"));
    EXPECT_EQ(added->caption(), QStringLiteral("Продукты: Новый продукт *"));

    auto edited = editor(EditMode::Edit, milk);
    EXPECT_EQ(edited->caption(), QStringLiteral("Продукты: Молоко"));
    EXPECT_FALSE(edited->isChanged());
    auto copy = editor(EditMode::Copy, milk);
    EXPECT_EQ(copy->caption(), QStringLiteral("Продукты: Молоко *"));
    EXPECT_TRUE(copy->isChanged());
    EXPECT_EQ(value(*copy, "time_storage"), QStringLiteral("5"));

    db().exec(QStringLiteral("DELETE FROM products WHERE id = ?1"), {milk});
    editor(EditMode::Edit, milk);
    EXPECT_FALSE(opened);
    editor(EditMode::Copy, milk);
    EXPECT_FALSE(opened);
    EXPECT_EQ(prompt.messages(),
              QStringList({QStringLiteral("warning: Не найдена редактируемая запись. Обновите окно (F5), выделите "
                                          "другую строку."),
                           QStringLiteral("warning: Не найдена копируемая запись. Обновите окно (F5), выделите другую "
                                          "строку.")}));
}

TEST_F(ProductWindow, ChecksInTheWindowsOrderThenTheNormsQuestion)
{
    product(QStringLiteral("Кефир"));
    db().exec(QStringLiteral("UPDATE products SET schif = 'K-1'"));
    const QStringList before = everything();
    auto e = editor(EditMode::Add);
    // Every field filled wrong or not at all; each save fixes the failure the previous one met.
    e->setValue(e->fieldIndex(QStringLiteral("id_ed_izmer")), QVariant());
    e->setValue(e->fieldIndex(QStringLiteral("time_period")), QVariant());
    e->setValue(e->fieldIndex(QStringLiteral("rule_okr")), QVariant());
    e->setText(QStringLiteral("P_NDS"), QStringLiteral("1,2,3"));
    e->setText(QStringLiteral("protein"), QStringLiteral("2,8,1"));
    e->setText(QStringLiteral("$B1"), QStringLiteral("0,0,4"));
    const std::vector<std::pair<const char*, QString>> fixes = {
        {"id_product_group", QString::number(dairy)}, {"pname", QStringLiteral("КЕФИР")},
        {"pname", QStringLiteral("Молоко")},          {"id_ed_izmer", QString::number(litre)},
        {"time_storage", QStringLiteral("1,5")},      {"time_storage", QStringLiteral("5")},
        {"time_period", QStringLiteral("2")},         {"rule_okr", QStringLiteral("3")},
        {"P_NDS", QStringLiteral("12")},              {"protein", QStringLiteral("2,8")},
        {"$B1", QStringLiteral("0,04")}};
    for (const auto& [field, text] : fixes) {
        EXPECT_FALSE(e->save());
        e->setText(QString::fromLatin1(field), text);
    }
    EXPECT_EQ(everything(), before);
    EXPECT_EQ(prompt.messages(),
              QStringList({
                  QStringLiteral("warning: Необходимо обязательно выбрать строку в списке \"Группа продуктов\"."),
                  QStringLiteral("warning: Необходимо обязательно заполнить поле \"Наименование\"."),
                  QStringLiteral("warning: Значение \"КЕФИР\" поля \"Наименование\" уже имеется в другой строке "
                                 "справочника. Измените введенное значение."),
                  QStringLiteral("warning: Необходимо обязательно выбрать строку в списке \"Ед.изм.\"."),
                  QStringLiteral("warning: Необходимо обязательно заполнить поле \"Срок хранения\"."),
                  QStringLiteral("warning: Значение \"1.5\" поля \"Срок хранения\" не корректно. Измените введенное "
                                 "значение."),
                  QStringLiteral("warning: Необходимо обязательно выбрать строку в списке \"Период срока хранения\"."),
                  QStringLiteral("warning: Необходимо обязательно выбрать строку в списке \"Округлять до\"."),
                  QStringLiteral("warning: Значение \"1.2.3\" поля \"Процент НДС, %\" не корректно. Измените "
                                 "введенное значение."),
                  QStringLiteral("warning: Значение \"2.8.1\" поля \"Белки, г\" не корректно. Измените введенное "
                                 "значение."),
                  QStringLiteral("warning: Значение \"0.0.4\" поля \"B1, мг\" не корректно. Измените введенное "
                                 "значение."),
              }));

    // A code another product has only warns: No stops, Yes saves; then the norms question.
    prompt.clear();
    e->setText(QStringLiteral("schif"), QStringLiteral("k-1"));
    bool normsOpened = false;
    e->onOpenNorms = [&] { normsOpened = true; };
    prompt.answers = {Answer::No};
    EXPECT_FALSE(e->save());
    EXPECT_EQ(everything(), before);
    prompt.answers = {Answer::Yes, Answer::Yes};
    const auto id = e->save();
    ASSERT_TRUE(id);
    EXPECT_TRUE(normsOpened);
    const QString code = QStringLiteral("question: Значение \"k-1\" поля \"Шифр продукта\" уже имеется в другой строке "
                                        "справочника. Продолжить сохранение?");
    const QString norms = QStringLiteral(
        "question: Рекомендуется добавить продукт в справочник \"Нормы питания\" по всем типам довольствующихся для "
        "корректного выполнения различных отчетов, например \"Анализа плана меню на соответствие нормам питания\". "
        "Открыть справочник \"Нормы питания\"?");
    EXPECT_EQ(prompt.messages(), QStringList({code + QStringLiteral(" => Нет"), code + QStringLiteral(" => Да"),
                                              norms + QStringLiteral(" => Да")}));
    EXPECT_EQ(e->caption(), QStringLiteral("Продукты: Молоко"));
    EXPECT_EQ(e->mode(), EditMode::Edit);

    Statement st(db(), QStringLiteral("SELECT pname, schif, time_storage, time_period, rule_okr, P_NDS, protein, "
                                      "trueVit, trueLak, id_product_group, id_ed_izmer FROM products WHERE id = ?1"));
    st.bind(1, *id);
    ASSERT_TRUE(st.next());
    EXPECT_EQ(st.toString(0), QStringLiteral("Молоко"));
    EXPECT_EQ(st.toString(1), QStringLiteral("k-1"));
    EXPECT_EQ(st.toInt64(2), 5);
    EXPECT_EQ(st.toInt64(3), 2);
    EXPECT_EQ(st.toInt64(4), 3);
    EXPECT_DOUBLE_EQ(st.toDouble(5), 12.0);
    EXPECT_DOUBLE_EQ(st.toDouble(6), 2.8);
    EXPECT_EQ(st.toInt64(7), 0);
    EXPECT_EQ(st.toInt64(8), 0);
    EXPECT_EQ(st.toInt64(9), dairy);
    EXPECT_EQ(st.toInt64(10), litre);
    EXPECT_DOUBLE_EQ(db().scalar(QStringLiteral("SELECT quantity FROM vitamin_quantity WHERE id_product = ?1 AND "
                                                "id_vitamin = ?2"),
                                 {*id, vitamin("B1")})
                         .toDouble(),
                     0.04);

    // With norms for the product the question is not asked; a check box is stored as -1.
    insert(QStringLiteral("INSERT INTO norms (id_type_eating, norm, id_product) VALUES (1, 100, ?1)"), {*id});
    prompt.clear();
    prompt.answers = {Answer::Yes};
    e->setText(QStringLiteral("trueVit"), QStringLiteral("1"));
    EXPECT_EQ(e->save(), id);
    EXPECT_EQ(prompt.messages(), QStringList(code + QStringLiteral(" => Да")));
    EXPECT_EQ(count(QStringLiteral("SELECT trueVit FROM products WHERE id = ?1"), {*id}), -1);
}

TEST_F(ProductWindow, SavingNeverLeavesTwoRowsOfOneVitamin)
{
    const qint64 milk = product(QStringLiteral("Молоко"), 5, 2);
    insert(QStringLiteral("INSERT INTO norms (id_type_eating, norm, id_product) VALUES (1, 100, ?1)"), {milk});
    // An older file may already hold two rows of calcium; the window shows the later one.
    insert(QStringLiteral("INSERT INTO vitamin_quantity (id_product, id_vitamin, quantity) VALUES (?1, ?2, 100)"),
           {milk, vitamin("Ca")});
    insert(QStringLiteral("INSERT INTO vitamin_quantity (id_product, id_vitamin, quantity) VALUES (?1, ?2, 120)"),
           {milk, vitamin("Ca")});
    insert(QStringLiteral("INSERT INTO vitamin_quantity (id_product, id_vitamin, quantity) VALUES (?1, ?2, 1.5)"),
           {milk, vitamin("C")});
    auto e = editor(EditMode::Edit, milk);
    EXPECT_EQ(value(*e, "$Ca"), QStringLiteral("120"));
    EXPECT_EQ(value(*e, "$C"), QStringLiteral("1,5"));

    auto rows = [&](qint64 p) {
        QStringList out;
        Statement st(db(), QStringLiteral("SELECT v.shname, q.quantity FROM vitamin_quantity q JOIN vitamin v ON "
                                          "v.id = q.id_vitamin WHERE q.id_product = ?1 ORDER BY v.id"));
        st.bind(1, p);
        while (st.next())
            out << st.toString(0) + QLatin1Char('=') + QString::number(st.toDouble(1));
        return out;
    };
    for (int i = 0; i < 3; ++i)
        ASSERT_EQ(e->save(), milk);
    EXPECT_EQ(rows(milk), QStringList({QStringLiteral("Ca=120"), QStringLiteral("C=1.5")}));
    e->setText(QStringLiteral("$Fe"), QStringLiteral("0,7"));
    e->setText(QStringLiteral("$C"), QString());
    ASSERT_EQ(e->save(), milk);
    EXPECT_EQ(rows(milk), QStringList({QStringLiteral("Ca=120"), QStringLiteral("Fe=0.7")}));

    // A copy takes the vitamins along under its own key and leaves the source's alone.
    auto copy = editor(EditMode::Copy, milk);
    copy->setText(QStringLiteral("pname"), QStringLiteral("Молоко топлёное"));
    prompt.answers = {Answer::No};
    const auto baked = copy->save();
    ASSERT_TRUE(baked);
    EXPECT_NE(*baked, milk);
    EXPECT_EQ(rows(*baked), QStringList({QStringLiteral("Ca=120"), QStringLiteral("Fe=0.7")}));
    EXPECT_EQ(rows(milk), QStringList({QStringLiteral("Ca=120"), QStringLiteral("Fe=0.7")}));
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM (SELECT id_product, id_vitamin FROM vitamin_quantity "
                                   "GROUP BY id_product, id_vitamin HAVING COUNT(*) > 1)")),
              0);
}

TEST_F(ProductWindow, VatDefaultOnFocus)
{
    auto e = editor(EditMode::Add);
    // VAT not in use: the field stays as it is.
    db().exec(QStringLiteral("UPDATE INF SET NDS = 0, NDS_PR = 12"));
    EXPECT_FALSE(e->vatOnFocus(QString()));
    db().exec(QStringLiteral("UPDATE INF SET NDS = -1, NDS_PR = 12.5"));
    EXPECT_EQ(e->vatOnFocus(QString()), QStringLiteral("12,5"));
    EXPECT_EQ(e->vatOnFocus(QStringLiteral("0")), QStringLiteral("12,5"));
    EXPECT_EQ(e->vatOnFocus(QStringLiteral(" 0 ")), QStringLiteral("12,5"));
    EXPECT_FALSE(e->vatOnFocus(QStringLiteral("10")));
    EXPECT_FALSE(e->vatOnFocus(QStringLiteral("0,5")));
    db().exec(QStringLiteral("UPDATE INF SET NDS_PR = NULL"));
    EXPECT_EQ(e->vatOnFocus(QString()), QStringLiteral("0"));
    EXPECT_TRUE(prompt.events.isEmpty());
}

TEST_F(ProductWindow, ClosingWithChanges)
{
    const qint64 milk = product(QStringLiteral("Молоко"), 5, 2);
    insert(QStringLiteral("INSERT INTO norms (id_type_eating, norm, id_product) VALUES (1, 100, ?1)"), {milk});
    const QString question = QStringLiteral("question: Были внесены изменения. Сохранить и закрыть? \"Да\" – сохранить, "
                                            "\"Нет\" – не сохранять, \"Отмена\" – не выходить. => ");
    auto e = editor(EditMode::Edit, milk);
    EXPECT_TRUE(e->confirmClose());  // nothing changed: no question
    e->setText(QStringLiteral("pname"), QStringLiteral("Молоко 3,2%"));
    prompt.answers = {Answer::Cancel, Answer::No};
    EXPECT_FALSE(e->confirmClose());
    EXPECT_TRUE(e->confirmClose());
    EXPECT_EQ(db().scalar(QStringLiteral("SELECT pname FROM products WHERE id = ?1"), {milk}).toString(),
              QStringLiteral("Молоко"));
    // Yes saves; a save that fails keeps the window open.
    e->setText(QStringLiteral("time_storage"), QStringLiteral("пять"));
    prompt.answers = {Answer::Yes};
    EXPECT_FALSE(e->confirmClose());
    e->setText(QStringLiteral("time_storage"), QStringLiteral("7"));
    prompt.answers = {Answer::Yes};
    EXPECT_TRUE(e->confirmClose());
    EXPECT_EQ(prompt.messages(),
              QStringList({question + QStringLiteral("Отмена"), question + QStringLiteral("Нет"),
                           question + QStringLiteral("Да"),
                           QStringLiteral("warning: Значение \"пять\" поля \"Срок хранения\" не корректно. Измените "
                                          "введенное значение."),
                           question + QStringLiteral("Да")}));
    EXPECT_EQ(db().scalar(QStringLiteral("SELECT pname || ' ' || time_storage FROM products WHERE id = ?1"), {milk})
                  .toString(),
              QStringLiteral("Молоко 3,2% 7"));
}

} // namespace
