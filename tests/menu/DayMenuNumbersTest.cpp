// Document numbers: the increment with its carry, the next day-menu number of today's year
// after the last one by key skipping numbers taken, and the same for the stock documents.

#include "DayMenuFixture.h"

using namespace rat;
using namespace rat::menu;

namespace {

using DayMenuNumbers = test::DayMenuFixture;

TEST(DayMenuIncrement, TrailingDigitsCarryAndKeepTheirWidth)
{
    EXPECT_EQ(incrementDocumentNumber(QStringLiteral("0")), QStringLiteral("1"));
    EXPECT_EQ(incrementDocumentNumber(QStringLiteral("15")), QStringLiteral("16"));
    EXPECT_EQ(incrementDocumentNumber(QStringLiteral("9")), QStringLiteral("10"));
    EXPECT_EQ(incrementDocumentNumber(QStringLiteral("099")), QStringLiteral("100"));
    EXPECT_EQ(incrementDocumentNumber(QStringLiteral("0099")), QStringLiteral("0100"));
    EXPECT_EQ(incrementDocumentNumber(QStringLiteral("A-15")), QStringLiteral("A-16"));
    EXPECT_EQ(incrementDocumentNumber(QStringLiteral("12-99")), QStringLiteral("12-100"));
    EXPECT_EQ(incrementDocumentNumber(QStringLiteral("7/09")), QStringLiteral("7/10"));
    // No trailing digits: "1" appended.
    EXPECT_EQ(incrementDocumentNumber(QStringLiteral("")), QStringLiteral("1"));
    EXPECT_EQ(incrementDocumentNumber(QStringLiteral("Б")), QStringLiteral("Б1"));
    EXPECT_EQ(incrementDocumentNumber(QStringLiteral("15а")), QStringLiteral("15а1"));
}

TEST_F(DayMenuNumbers, FirstOfTheYearIsOneThenAfterTheLastByKeySkippingTakenNumbers)
{
    const qint64 pm = planMenu(QStringLiteral("Основное"), 2);
    // Menus of last year and of next year do not count, whatever their keys.
    dayMenu(pm, QStringLiteral("40"), QStringLiteral("2025-12-31"), 50);
    dayMenu(pm, QStringLiteral("41"), QStringLiteral("2027-01-01"), 51);
    EXPECT_EQ(nextDayMenuNumber(db()), QStringLiteral("1"));

    dayMenu(pm, QStringLiteral("15 "), QStringLiteral("2026-03-01"), 10);
    EXPECT_EQ(nextDayMenuNumber(db()), QStringLiteral("16"));

    // The last by key is "0099" even though "0100" carries a later date; "0100" is taken.
    dayMenu(pm, QStringLiteral("0100"), QStringLiteral("2026-12-01"), 11);
    dayMenu(pm, QStringLiteral("0099"), QStringLiteral("2026-01-02"), 12);
    EXPECT_EQ(nextDayMenuNumber(db()), QStringLiteral("0101"));

    // The year is today's, not the document's.
    Clock::setToday(QDate(2025, 6, 1));
    EXPECT_EQ(nextDayMenuNumber(db()), QStringLiteral("41"));
}

TEST_F(DayMenuNumbers, StockDocumentsByTheirOwnDateFields)
{
    db().exec(QStringLiteral("INSERT INTO receipt (id, [№docum], rdate) VALUES (1, 'П-9', '2026-02-01')"));
    db().exec(QStringLiteral("INSERT INTO receipt (id, [№docum], rdate) VALUES (2, '3', '2025-02-01')"));
    db().exec(QStringLiteral("INSERT INTO spisanie (id, [№docum], wdate) VALUES (1, '0099', '2026-02-01')"));
    db().exec(QStringLiteral("INSERT INTO expence_docum (id, [№docum], ddate) VALUES (1, '5', '2026-02-01')"));
    db().exec(QStringLiteral("INSERT INTO expence_docum (id, [№docum], ddate) VALUES (2, '6', '2026-02-03')"));
    db().exec(QStringLiteral("INSERT INTO orders (id, [№docum], odate) VALUES (1, '12', '2026-04-01 10:30:00')"));
    EXPECT_EQ(nextDocumentNumber(db(), QStringLiteral("receipt")), QStringLiteral("П-10"));
    EXPECT_EQ(nextDocumentNumber(db(), QStringLiteral("spisanie")), QStringLiteral("0100"));
    EXPECT_EQ(nextDocumentNumber(db(), QStringLiteral("expence_docum")), QStringLiteral("7"));
    EXPECT_EQ(nextDocumentNumber(db(), QStringLiteral("orders")), QStringLiteral("13"));
    EXPECT_EQ(nextDocumentNumber(db(), QStringLiteral("day_menu")), QStringLiteral("1"));
    EXPECT_EQ(nextDocumentNumber(db(), QStringLiteral("products")), QString());
}

// Saving a number another day menu holds offers the increment of the highest by value.
TEST_F(DayMenuNumbers, NumberCheckOffersTheNextAfterTheHighestByValue)
{
    const qint64 pm = planMenu(QStringLiteral("Основное"), 2);
    dayMenu(pm, QStringLiteral("9"));
    dayMenu(pm, QStringLiteral("10"));
    const qint64 own = dayMenu(pm, QStringLiteral("2"));

    DayMenuHeader h = *readDayMenu(db(), own);
    EXPECT_TRUE(checkDayMenuNumber(db(), prompt, h));  // its own number is no clash
    EXPECT_TRUE(prompt.events.isEmpty());

    h.number = QStringLiteral("9");
    prompt.answers = {Answer::No};
    EXPECT_FALSE(checkDayMenuNumber(db(), prompt, h));
    EXPECT_EQ(h.number, QStringLiteral("9"));
    prompt.answers = {Answer::Yes};
    EXPECT_TRUE(checkDayMenuNumber(db(), prompt, h));
    EXPECT_EQ(h.number, QStringLiteral("11"));
    const QString q = QStringLiteral("question: Значение \"9\" поля \"Номер\" уже имеется в другом документе. Следующий "
                                     "номер документа \"11\"? \"Да\" - заменить автоматически, \"Нет\" - изменить "
                                     "вручную. => ");
    EXPECT_EQ(prompt.events, QStringList({q + QStringLiteral("Нет"), q + QStringLiteral("Да")}));

    // Numbers restart each year: the "9" of last year is no clash for a menu of this one, and a
    // clash this year offers the next after this year's highest.
    db().exec(QStringLiteral("UPDATE day_menu SET ddate = '2025-12-30' WHERE TRIM(nom) = '10'"));
    prompt.clear();
    DayMenuHeader january;
    january.date = QDate(2026, 1, 9);
    january.number = QStringLiteral("10");
    EXPECT_TRUE(checkDayMenuNumber(db(), prompt, january));
    EXPECT_TRUE(prompt.events.isEmpty());
    january.number = QStringLiteral("2");
    prompt.answers = {Answer::Yes};
    EXPECT_TRUE(checkDayMenuNumber(db(), prompt, january));
    EXPECT_EQ(january.number, QStringLiteral("10"));
    prompt.clear();

    // A new header (no key yet) with a free number passes; the save writes every field.
    DayMenuHeader fresh;
    fresh.date = QDate(2026, 12, 6);
    fresh.number = QStringLiteral("12");
    fresh.comment = QStringLiteral("Праздник");
    fresh.planMenuId = pm;
    fresh.iddTm = QStringLiteral("1*2");
    fresh.basisCode = 2;
    fresh.sum = 10.5;
    EXPECT_TRUE(checkDayMenuNumber(db(), prompt, fresh));
    const qint64 id = saveDayMenuHeader(db(), fresh);
    const auto back = readDayMenu(db(), id);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->date, QDate(2026, 12, 6));
    EXPECT_EQ(back->number, QStringLiteral("12"));
    EXPECT_EQ(back->comment, QStringLiteral("Праздник"));
    EXPECT_EQ(back->planMenuId, pm);
    EXPECT_EQ(back->iddTm, QStringLiteral("1*2"));
    EXPECT_EQ(back->basisCode, 2);
    EXPECT_DOUBLE_EQ(back->sum, 10.5);
    EXPECT_FALSE(back->done);
    EXPECT_EQ(dayMenuCaption(*back), QStringLiteral("Меню на день №12 от 06.12.2026"));
    fresh.id = id;
    fresh.done = true;
    EXPECT_EQ(saveDayMenuHeader(db(), fresh), id);
    EXPECT_EQ(count(QStringLiteral("SELECT status FROM day_menu WHERE id = ?1"), {id}), -1);
    EXPECT_FALSE(readDayMenu(db(), id + 100));
}

// "5" and "05" have the same value: the first read is the highest, so the offer is "6".
TEST_F(DayMenuNumbers, NumberCheckAmongEqualValuesFollowsTheFirstRead)
{
    const qint64 pm = planMenu(QStringLiteral("Основное"), 2);
    dayMenu(pm, QStringLiteral("5"));
    dayMenu(pm, QStringLiteral("05"));
    const qint64 own = dayMenu(pm, QStringLiteral("2"));
    DayMenuHeader h = *readDayMenu(db(), own);
    h.number = QStringLiteral("05");
    prompt.answers = {Answer::Yes};
    EXPECT_TRUE(checkDayMenuNumber(db(), prompt, h));
    EXPECT_EQ(h.number, QStringLiteral("6"));
}

} // namespace
