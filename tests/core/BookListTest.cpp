// The list as the window shows it (order, number texts, money captions, generated vitamin
// columns, parent filter, plan-menu titles) and the search with its end messages.

#include "core/Database.h"
#include "core/DatabaseSession.h"
#include "refbooks/BookActions.h"
#include "refbooks/BookList.h"
#include "support/FileTest.h"
#include "support/ScriptedPrompt.h"
#include "support/TestEnv.h"

#include <gtest/gtest.h>

using namespace rat;
using namespace rat::books;

namespace {

class BookListing : public test::FileTest {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(session.createDatabase(env.path(QStringLiteral("list.db"))));
        prompt.clear();
    }

    static QStringList column(const BookList& list, int c)
    {
        QStringList out;
        for (const QStringList& row : list.rows)
            out << row.value(c);
        return out;
    }
};

TEST_F(BookListing, RussianOrderIgnoringLetterCaseAndNumbersWithTheirDecimals)
{
    for (const char* name : {"яблоки", "Ёрш", "арбуз", "Банан", "ель", "ЕЖЕВИКА", "Apple", "дыня"})
        insert(QStringLiteral("INSERT INTO product_group (pname) VALUES (?1)"), {QString::fromUtf8(name)});
    const BookList groups = loadList(db(), entryProductGroups);
    EXPECT_EQ(groups.title, QStringLiteral("Группы продуктов"));
    EXPECT_EQ(groups.captions, QStringList(QStringLiteral("Наименование")));
    // ё is read as е: "ёрш" sorts as "ерш", after "ель".
    EXPECT_EQ(column(groups, 0), QStringList({QStringLiteral("Apple"), QStringLiteral("арбуз"), QStringLiteral("Банан"),
                                              QStringLiteral("дыня"), QStringLiteral("ЕЖЕВИКА"), QStringLiteral("ель"),
                                              QStringLiteral("Ёрш"), QStringLiteral("яблоки")}));
    EXPECT_EQ(groups.rowCount(), 8);
    EXPECT_EQ(groups.ids[size_t(groups.rowOf(groups.ids[3]))], groups.ids[3]);

    insert(QStringLiteral("INSERT INTO ed_izmer (ename, koef) VALUES ('кг', 1000)"));
    insert(QStringLiteral("INSERT INTO ed_izmer (ename, koef) VALUES ('банка', 0.4)"));
    insert(QStringLiteral("INSERT INTO ed_izmer (ename, koef) VALUES ('упак.', NULL)"));
    const BookList units = loadList(db(), entryUnits);
    EXPECT_EQ(units.captions,
              QStringList({QStringLiteral("Наименование"), QStringLiteral("Коэффициент пересчета в граммы")}));
    EXPECT_EQ(units.rows[0], QStringList({QStringLiteral("банка"), QStringLiteral("0,400")}));
    EXPECT_EQ(units.rows[1], QStringList({QStringLiteral("кг"), QStringLiteral("1000,000")}));
    EXPECT_EQ(units.rows[2], QStringList({QStringLiteral("упак."), QString()}));

    EXPECT_EQ(displayNumber(12.5, 2), QStringLiteral("12,50"));
    EXPECT_EQ(displayNumber(-0.001, 2), QStringLiteral("0,00"));
    EXPECT_EQ(displayNumber(2.4, 0), QStringLiteral("2"));
    // An exact half rounds away from zero; a value just under a half does not.
    EXPECT_EQ(displayNumber(2.5, 0), QStringLiteral("3"));
    EXPECT_EQ(displayNumber(0.125, 2), QStringLiteral("0,13"));
    EXPECT_EQ(displayNumber(-0.125, 2), QStringLiteral("-0,13"));
    EXPECT_EQ(displayNumber(0.145, 2), QStringLiteral("0,14"));
    EXPECT_EQ(displayNumber(1234567.891, 1), QStringLiteral("1234567,9"));
    EXPECT_EQ(displayNumber(QVariant(), 2), QString());
}

TEST_F(BookListing, MoneyCaptionsFollowTheCurrentCurrency)
{
    auto priceCaption = [&] {
        const BookList products = loadList(db(), entryProducts);
        return products.captions.filter(QStringLiteral("Плановая цена")).value(0);
    };
    EXPECT_EQ(priceCaption(), QStringLiteral("Плановая цена, тг."));
    const qint64 rouble = insert(QStringLiteral("INSERT INTO VALUTA (namev, shnamev, status) VALUES ('Рубль', 'руб.', 0)"));
    db().exec(QStringLiteral("UPDATE VALUTA SET status = CASE WHEN IDVAL = ?1 THEN -1 ELSE 0 END"), {rouble});
    EXPECT_EQ(priceCaption(), QStringLiteral("Плановая цена, руб."));
    EXPECT_EQ(loadList(db(), entryCards).captions.value(4), QStringLiteral("Плановая стоимость на 100 г., руб."));
    const BookList currencies = loadList(db(), entryCurrencies);
    EXPECT_EQ(currencies.rows, std::vector<QStringList>({{QStringLiteral("Рубль"), QStringLiteral("руб."), QStringLiteral("Основная")},
                                                         {QStringLiteral("Тенге"), QStringLiteral("тг."), QString()}}));
}

TEST_F(BookListing, VitaminColumnsOfProductsAndOfCards)
{
    // A new file holds Ca, Fe, B1, B2, C, all counted on cards; iodine is not.
    const qint64 iodine = insert(QStringLiteral("INSERT INTO vitamin (vname, shname, ispCard) VALUES ('Йод', 'I', 0)"));
    const qint64 calcium = db().scalar(QStringLiteral("SELECT id FROM vitamin WHERE shname = 'Ca'")).toLongLong();
    const qint64 group = insert(QStringLiteral("INSERT INTO product_group (pname) VALUES ('Рыба')"));
    const qint64 cod = insert(
        QStringLiteral("INSERT INTO products (pname, id_product_group, protein, time_storage, time_period, rule_okr, "
                       "trueVit) VALUES ('Треска', ?1, 16, 2, 2, 3, -1)"),
        {group});
    insert(QStringLiteral("INSERT INTO products (pname, id_product_group) VALUES ('Минтай', ?1)"), {group});
    insert(QStringLiteral("INSERT INTO products (pname) VALUES ('Хлеб')"));
    insert(QStringLiteral("INSERT INTO vitamin_quantity (id_product, id_vitamin, quantity) VALUES (?1, ?2, 0.15)"),
           {cod, iodine});
    insert(QStringLiteral("INSERT INTO vitamin_quantity (id_product, id_vitamin, quantity) VALUES (?1, ?2, 25)"),
           {cod, calcium});
    // Of two rows of one vitamin the larger shows; a row of no product shows nowhere.
    insert(QStringLiteral("INSERT INTO vitamin_quantity (id_product, id_vitamin, quantity) VALUES (?1, ?2, 0.05)"),
           {cod, iodine});
    insert(QStringLiteral("INSERT INTO vitamin_quantity (id_product, id_vitamin, quantity) VALUES (NULL, ?1, 7)"),
           {calcium});

    const BookList products = loadList(db(), entryProducts, group);
    EXPECT_EQ(products.captions.mid(6, 7),
              QStringList({QStringLiteral("Калорийность, ккал"), QStringLiteral("Ca, мг"), QStringLiteral("Fe, мг"),
                           QStringLiteral("B1, мг"), QStringLiteral("B2, мг"), QStringLiteral("C, мг"),
                           QStringLiteral("I, мг")}));
    ASSERT_EQ(products.rowCount(), 2);  // the bread is in no group
    EXPECT_EQ(products.rows[0].value(0), QStringLiteral("Минтай"));
    const QStringList& codRow = products.rows[1];
    EXPECT_EQ(codRow.value(0), QStringLiteral("Треска"));
    EXPECT_EQ(codRow.value(3), QStringLiteral("16,00"));
    EXPECT_EQ(codRow.value(7), QStringLiteral("25,000"));
    EXPECT_EQ(codRow.value(8), QString());
    EXPECT_EQ(codRow.value(12), QStringLiteral("0,150"));
    EXPECT_EQ(codRow.value(13), QStringLiteral("2 сут."));
    EXPECT_EQ(codRow.value(14), QStringLiteral("сотых (1,55)"));
    EXPECT_EQ(codRow.value(18), QStringLiteral("Да"));
    EXPECT_EQ(products.ids[1], cod);

    const BookList cards = loadList(db(), entryCardsWithComposition);
    EXPECT_FALSE(cards.captions.contains(QStringLiteral("I мг")));
    EXPECT_FALSE(cards.captions.contains(QStringLiteral("I%")));
    EXPECT_TRUE(cards.captions.contains(QStringLiteral("Ca мг")));
    EXPECT_TRUE(cards.captions.contains(QStringLiteral("C%")));

    // Including every vitamin (asked with No as the default) brings iodine onto the cards.
    prompt.answers = {Answer::No, Answer::Yes};
    EXPECT_FALSE(includeAllVitamins(db(), prompt));
    EXPECT_FALSE(loadList(db(), entryCardsWithComposition).captions.contains(QStringLiteral("I мг")));
    EXPECT_TRUE(includeAllVitamins(db(), prompt));
    EXPECT_TRUE(loadList(db(), entryCardsWithComposition).captions.contains(QStringLiteral("I мг")));
    EXPECT_EQ(prompt.messages(), QStringList({QStringLiteral("question: Включить в рассчет все витамины? => Нет"),
                                              QStringLiteral("question: Включить в рассчет все витамины? => Да")}));
}

TEST_F(BookListing, EaterTypesShowThePlanMenuWithItsSeason)
{
    const qint64 winter = insert(QStringLiteral("INSERT INTO type_menu (tname, sezon) VALUES ('Основное', 5)"));
    const qint64 plain = insert(QStringLiteral("INSERT INTO type_menu (tname, sezon) VALUES ('Диета', 0)"));
    insert(QStringLiteral("INSERT INTO type_eating (ename, shname, Kod, status, Pes, id_type_menu) "
                          "VALUES ('Ясли', 'Я', '1', -1, 0, ?1)"),
           {winter});
    insert(QStringLiteral("INSERT INTO type_eating (ename, shname, Kod, status, Pes, id_type_menu) "
                          "VALUES ('Сотрудники', 'С', '3', 0, -1, ?1)"),
           {plain});
    const BookList all = loadList(db(), entryEaterTypes);
    EXPECT_EQ(all.rows, std::vector<QStringList>({{QStringLiteral("Сотрудники"), QStringLiteral("С"), QStringLiteral("3"),
                                                   QStringLiteral("Да"), QStringLiteral("Диета"), QStringLiteral("Нет")},
                                                  {QStringLiteral("Ясли"), QStringLiteral("Я"), QStringLiteral("1"),
                                                   QStringLiteral("Нет"), QStringLiteral("Основное (зимний)"),
                                                   QStringLiteral("Да")}}));
    EXPECT_EQ(loadList(db(), entryEaterTypes, winter).rowCount(), 1);
    const auto menus = parentItems(db(), entryEaterTypes);
    ASSERT_EQ(menus.size(), 2u);
    EXPECT_EQ(menus[1].text, QStringLiteral("Основное (зимний)"));
    EXPECT_EQ(findBook(entryEaterTypes)->parentPrompt, QStringLiteral("Выберите Тип меню"));
}

TEST_F(BookListing, UsersShowTheNameOfTheirRole)
{
    for (int role : {0, 1, 2, 5, 255})
        insert(QStringLiteral("INSERT INTO USERS (NAIM, ROLE) VALUES (?1, ?2)"), {QStringLiteral("u%1").arg(role), role});
    const BookList users = loadList(db(), entryUsers);
    ASSERT_EQ(users.captions.value(1), QStringLiteral("Роль"));
    // Codes beyond the three named ones are plain users.
    EXPECT_EQ(column(users, 1), QStringList({QStringLiteral("Администратор"), QStringLiteral("Оператор"),
                                             QStringLiteral("Пользователь"), QStringLiteral("Пользователь"),
                                             QStringLiteral("Пользователь")}));
}

TEST_F(BookListing, SearchDownwardToItsEndMessages)
{
    const auto columns = searchColumns(db(), entryVitamins);
    ASSERT_EQ(columns.size(), 2u);
    EXPECT_EQ(columns[1].caption, QStringLiteral("Краткое наименование"));
    EXPECT_EQ(columns[1].column, 1);
    EXPECT_TRUE(searchColumns(db(), entryCurrencies).empty());

    // Empty book: no search at all.
    EXPECT_FALSE(BookSearch::canStart(db(), prompt, entryProductGroups, loadList(db(), entryProductGroups)));

    for (const char* name : {"Молоко цельное", "Кефир", "МОЛОКО сгущённое", "Сметана", "молоко топлёное"})
        insert(QStringLiteral("INSERT INTO product_group (pname) VALUES (?1)"), {QString::fromUtf8(name)});
    const BookList list = loadList(db(), entryProductGroups);
    // Кефир, МОЛОКО сгущённое, молоко топлёное, Молоко цельное, Сметана
    ASSERT_TRUE(BookSearch::canStart(db(), prompt, entryProductGroups, list));
    BookSearch milk(0, QStringLiteral("молоко"));
    EXPECT_EQ(milk.findNext(prompt, list, -1), 1);
    EXPECT_EQ(milk.findNext(prompt, list, 1), 2);
    EXPECT_EQ(milk.findNext(prompt, list, 2), 3);
    EXPECT_EQ(milk.findNext(prompt, list, 3), std::nullopt);
    // ё is found as е, in either letter case.
    BookSearch boiled(0, QStringLiteral("ТОПЛЕН"));
    EXPECT_EQ(boiled.findNext(prompt, list, 0), 2);
    BookSearch none(0, QStringLiteral("творог"));
    EXPECT_EQ(none.findNext(prompt, list, -1), std::nullopt);
    // The search starts after the current row.
    BookSearch kefir(0, QStringLiteral("кефир"));
    EXPECT_EQ(kefir.findNext(prompt, list, 0), std::nullopt);
    BookSearch onEmpty(0, QStringLiteral("x"));
    EXPECT_EQ(onEmpty.findNext(prompt, BookList{}, -1), std::nullopt);
    EXPECT_EQ(prompt.messages(), QStringList({QStringLiteral("info: Справочник пуст! Поиск невозможен."),
                                              QStringLiteral("info: Поиск завершен."),
                                              QStringLiteral("info: Поиск завершен. Образец не найден"),
                                              QStringLiteral("info: Поиск завершен. Образец не найден"),
                                              QStringLiteral("info: Поиск завершен. Справочник пуст.")}));
}

TEST_F(BookListing, ABookWhoseParentBookIsEmptyOffersToFillItFirst)
{
    prompt.answers = {Answer::Yes, Answer::No};
    EXPECT_EQ(offerPrerequisite(db(), prompt, entryProducts), std::optional<int>(entryProductGroups));
    EXPECT_EQ(offerPrerequisite(db(), prompt, entryRecipeLines), std::nullopt);
    insert(QStringLiteral("INSERT INTO product_group (pname) VALUES ('Овощи')"));
    EXPECT_EQ(offerPrerequisite(db(), prompt, entryProducts), std::nullopt);
    EXPECT_EQ(offerPrerequisite(db(), prompt, entryVitamins), std::nullopt);
    EXPECT_EQ(prompt.messages(),
              QStringList({QStringLiteral("question: Сначала необходимо заполнить данные в справочнике \"Группы "
                                          "продуктов\". Открыть справочник? => Да"),
                           QStringLiteral("question: Сначала необходимо заполнить данные в справочнике \"Блюда\". "
                                          "Открыть справочник? => Нет")}));
}

TEST_F(BookListing, EveryBookLoads)
{
    // Every definition's query runs on a new file, and its captions are unique per book.
    for (const int entry : bookEntries()) {
        const BookDef* def = findBook(entry);
        ASSERT_NE(def, nullptr);
        EXPECT_FALSE(def->listTitle.isEmpty()) << entry;
        BookList list;
        EXPECT_NO_THROW(list = loadList(db(), entry, qint64(1))) << entry;
        EXPECT_NO_THROW(list = loadList(db(), entry)) << entry;
        EXPECT_EQ(list.captions.removeDuplicates(), 0) << entry;
    }
    EXPECT_EQ(bookEntries().size(), 34u);  // with the institution's own row
}

} // namespace
