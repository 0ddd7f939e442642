// A day menu made from plan-menu days: the question, the status texts, one point per card and
// key shared by plan-menus, zero counts per eater type on allowance, the cards that cannot be
// served named in one message, the plan-menus offered, and "Нет" keeping only the pending days.

#include "DayMenuFixture.h"

using namespace rat;
using namespace rat::menu;

namespace {

class DayMenuCreate : public test::DayMenuFixture {
protected:
    const QString kQuestion = QStringLiteral("question: Заполнить меню из плана-меню? => ");
    const QString kFilling = QStringLiteral("status: Идет заполнение меню на день...");
    const QString kDone = QStringLiteral("status: Готово");
};

// Plan-menus A (types Я and С on allowance, Ж not) and B (type Ш) both serve card Каша at
// breakfast: one point with the counts of Я, С and Ш. Суп (only a yield for Я) still gets a
// count per type on allowance. Чай has no yield, Сок no lines: both named.
TEST_F(DayMenuCreate, TwoPlanMenusSharingACardGiveOnePointWithBothPlanMenusEaterTypes)
{
    const qint64 a = planMenu(QStringLiteral("Основное"), 2, 1, 3);
    const qint64 b = planMenu(QStringLiteral("Летнее"), 2, {}, 5);
    const qint64 a1 = day(a, QStringLiteral("День 1"), 17);
    const qint64 b1 = day(b, QStringLiteral("День 4"), 40);
    const qint64 ya = eaterType(a, QStringLiteral("Я")), sa = eaterType(a, QStringLiteral("С"));
    const qint64 zh = eaterType(a, QStringLiteral("Ж"), false);
    const qint64 sh = eaterType(b, QStringLiteral("Ш"));
    const qint64 breakfast = meal(QStringLiteral("Завтрак")), lunch = meal(QStringLiteral("Обед"));
    const qint64 porridge = card(QStringLiteral("Каша")), soup = card(QStringLiteral("Суп"));
    const qint64 tea = card(QStringLiteral("Чай")), juice = card(QStringLiteral("Сок"), 0, false);
    for (qint64 t : {ya, sa, zh, sh})
        yield(porridge, t, 150);
    yield(soup, ya, 200);
    yield(tea, zh, 180);  // only for a type not served
    yield(juice, sh, 100);
    planRow(a1, soup, lunch);
    planRow(a1, porridge, breakfast);
    planRow(a1, tea, breakfast);
    planRow(b1, porridge, breakfast);
    planRow(b1, juice, lunch);

    prompt.answers = {Answer::Yes};
    const CreatedDayMenu made = createDayMenuFromPlan(db(), prompt, {{a, a1}, {0, 99}, {b, b1}});
    ASSERT_TRUE(made.id);
    EXPECT_TRUE(made.filled);
    EXPECT_EQ(prompt.events,
              QStringList({kQuestion + QStringLiteral("Да"), kFilling,
                           QStringLiteral("info: Блюда \"Чай\", \"Сок\" не добавлены, так как нет данных о выходах и "
                                          "рецептурах."),
                           kDone}));

    const auto h = readDayMenu(db(), *made.id);
    ASSERT_TRUE(h);
    EXPECT_EQ(h->date, QDate(2026, 12, 5));
    EXPECT_EQ(h->number, QStringLiteral("1"));
    EXPECT_EQ(h->iddTm, QStringLiteral("3*17/5*40"));
    EXPECT_EQ(h->planMenuId, a);
    EXPECT_DOUBLE_EQ(h->sum, 0);
    // Breakfast before lunch (plan rows by meal); the shared point has all three types.
    EXPECT_EQ(counts(*made.id), QStringList({QStringLiteral("Каша:Я=0"), QStringLiteral("Каша:С=0"),
                                             QStringLiteral("Каша:Ш=0"), QStringLiteral("Суп:Я=0"),
                                             QStringLiteral("Суп:С=0")}));
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM day_menu_point WHERE id_day_menu = ?1"), {*made.id}), 2);
    EXPECT_EQ(count(QStringLiteral("SELECT id_eating FROM day_menu_point WHERE id_card_recipe = ?1"), {porridge}),
              breakfast);
    EXPECT_EQ(iddTmLines(db(), h->iddTm),
              QStringList({QStringLiteral("Основное (осенне-зимний) (День 1)"), QStringLiteral("Летнее (День 4)")}));

    // The next menu of the year gets the next number.
    prompt.clear();
    prompt.answers = {Answer::Yes};
    const CreatedDayMenu second = createDayMenuFromPlan(db(), prompt, {{b, b1}});
    EXPECT_EQ(readDayMenu(db(), *second.id)->number, QStringLiteral("2"));
}

// By dish categories the key is the plan row's category.
TEST_F(DayMenuCreate, ByCategoriesThePointKeyIsTheCategory)
{
    const qint64 pm = planMenu(QStringLiteral("Категорийное"), 1);
    const qint64 d = day(pm, QStringLiteral("День 1"));
    const qint64 t = eaterType(pm, QStringLiteral("Я"));
    const qint64 soups = category(QStringLiteral("Супы")), m = meal(QStringLiteral("Обед"));
    const qint64 soup = card(QStringLiteral("Суп"), soups);
    yield(soup, t, 200);
    planRow(d, soup, m, soups);
    prompt.answers = {Answer::Yes};
    const CreatedDayMenu made = createDayMenuFromPlan(db(), prompt, {{pm, d}});
    ASSERT_TRUE(made.id);
    EXPECT_EQ(count(QStringLiteral("SELECT id_eating FROM day_menu_point WHERE id_day_menu = ?1"), {*made.id}), soups);
    EXPECT_EQ(prompt.messages(), QStringList({kQuestion + QStringLiteral("Да")}));
}

TEST_F(DayMenuCreate, ADayWhoseCardsAllLackYieldsLeavesAMenuWithoutPoints)
{
    const qint64 pm = planMenu(QStringLiteral("Основное"), 2);
    const qint64 d = day(pm, QStringLiteral("День 1"));
    eaterType(pm, QStringLiteral("Я"));
    const qint64 m = meal(QStringLiteral("Обед"));
    const qint64 soup = card(QStringLiteral("Суп"));
    planRow(d, soup, m);
    planRow(d, soup, m);  // the same card twice is named once
    prompt.answers = {Answer::Yes};
    const CreatedDayMenu made = createDayMenuFromPlan(db(), prompt, {{pm, d}});
    ASSERT_TRUE(made.id);
    EXPECT_EQ(readDayMenu(db(), *made.id)->iddTm, QStringLiteral("%1*%2").arg(pm).arg(d));
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM day_menu_point")), 0);
    EXPECT_EQ(prompt.events,
              QStringList({kQuestion + QStringLiteral("Да"), kFilling,
                           QStringLiteral("info: Блюдо \"Суп\" не добавлено, так как нет данных о выходах и рецептуре."),
                           kDone}));
}

TEST_F(DayMenuCreate, NoKeepsThePendingDaysAndWritesNothing)
{
    const qint64 a = planMenu(QStringLiteral("Основное"), 2, {}, 3);
    const qint64 b = planMenu(QStringLiteral("Летнее"), 2, {}, 5);
    day(a, QStringLiteral("День 1"), 17);
    day(b, QStringLiteral("День 4"), 40);
    prompt.answers = {Answer::No};
    const CreatedDayMenu made = createDayMenuFromPlan(db(), prompt, {{3, 17}, {5, 40}});
    EXPECT_FALSE(made.id);
    EXPECT_FALSE(made.filled);
    EXPECT_EQ(made.pendingIddTm, QStringLiteral("3*17/5*40"));
    EXPECT_EQ(made.firstPlanMenu, 3);
    EXPECT_EQ(prompt.events, QStringList({kQuestion + QStringLiteral("Нет"), kFilling}));
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM day_menu")), 0);
}

TEST_F(DayMenuCreate, NoPairChosenCreatesNothing)
{
    for (const Answer answer : {Answer::Yes, Answer::No}) {
        prompt.clear();
        prompt.answers = {answer};
        const CreatedDayMenu made = createDayMenuFromPlan(db(), prompt, {{0, 0}});
        EXPECT_FALSE(made.id);
        EXPECT_TRUE(made.pendingIddTm.isEmpty());
        EXPECT_EQ(prompt.events, QStringList({kQuestion + answerText(answer),
                                              QStringLiteral("info: Не были выбраны план-меню. Меню на день не создано.")}));
    }
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM day_menu")), 0);
}

// Only plan-menus with days, by caption; a mode other than 1 or 2 groups by meals but reads
// "по категориям блюд" in the caption.
TEST_F(DayMenuCreate, OffersPlanMenusWithDaysByCaption)
{
    const qint64 z = planMenu(QStringLiteral("Зимнее"), 1, 9);
    const qint64 a = planMenu(QStringLiteral("аптечное"), 2);
    planMenu(QStringLiteral("Пустое"), 2);
    const qint64 odd = planMenu(QStringLiteral("Старое"), 0);
    const qint64 z2 = day(z, QStringLiteral("День 2"));
    const qint64 z1 = day(z, QStringLiteral("День 1"));
    day(a, QStringLiteral("Д"));
    day(odd, QStringLiteral("Д"));
    const auto offers = planMenuOffers(db());
    ASSERT_EQ(offers.size(), 3u);
    EXPECT_EQ(offers[0].caption, QStringLiteral("аптечное по приемам пищи"));
    EXPECT_EQ(offers[0].mode, MenuMode::ByMeals);
    EXPECT_EQ(offers[1].caption, QStringLiteral("Зимнее (летне-осенний) по категориям блюд"));
    EXPECT_EQ(offers[1].mode, MenuMode::ByCategories);
    EXPECT_EQ(offers[1].days, (std::vector<std::pair<qint64, QString>>{{z2, QStringLiteral("День 2")},
                                                                        {z1, QStringLiteral("День 1")}}));
    EXPECT_EQ(offers[2].caption, QStringLiteral("Старое по категориям блюд"));
    EXPECT_EQ(offers[2].mode, MenuMode::ByMeals);
}

} // namespace
