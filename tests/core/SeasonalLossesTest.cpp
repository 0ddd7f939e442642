// Seasonal losses: the gross weight of a recipe on a date, the periods put into an empty book
// at start, the overlap check of the book's editor and the copy of a product's periods.

#include "core/Database.h"
#include "core/DatabaseSession.h"
#include "core/SeasonDefaults.h"
#include "core/Startup.h"
#include "refbooks/RecordEditor.h"
#include "refbooks/SeasonalLosses.h"
#include "support/ScriptedPrompt.h"
#include "support/TestEnv.h"

#include <algorithm>
#include <gtest/gtest.h>

using namespace rat;
using namespace rat::books;

namespace {

const QString kCheckMessage = QStringLiteral(
    "info: Проверьте, пожалуйста, справочник \"Сезонные проценты потерь\" на ввод корректных данных, если Вы будете "
    "использовать при расчетах сезонность.");

class Seasons : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(createAndFillDatabase(session, env.path(QStringLiteral("seasons.db"))));
        db().exec(QStringLiteral("DELETE FROM SEZON"));
        prompt.clear();
    }

    Database& db() { return session.db(); }

    qint64 product(const QString& name)
    {
        db().exec(QStringLiteral("INSERT INTO products (pname) VALUES (?1)"), {name});
        return db().lastInsertId();
    }

    void period(qint64 p, int dayN, int mesN, int dayO, int mesO, double proz)
    {
        db().exec(QStringLiteral("INSERT INTO SEZON (id_PRODUCT, DAY_N, MES_N, DAY_O, MES_O, PROZ) VALUES "
                                 "(?1, ?2, ?3, ?4, ?5, ?6)"),
                  {p, dayN, mesN, dayO, mesO, proz});
    }

    // The periods of a product as "day.month-day.month proz", in the order entered.
    QStringList periods(qint64 p)
    {
        QStringList out;
        Statement st(db(), QStringLiteral("SELECT DAY_N, MES_N, DAY_O, MES_O, PROZ FROM SEZON WHERE id_PRODUCT = ?1 "
                                          "ORDER BY idSEZ"));
        st.bind(1, p);
        while (st.next())
            out << QStringLiteral("%1.%2-%3.%4 %5")
                       .arg(st.toString(0), st.toString(1), st.toString(2), st.toString(3))
                       .arg(st.toDouble(4));
        return out;
    }

    std::optional<qint64> saveRow(qint64 p, int dayN, int mesN, int dayO, int mesO, const QString& proz,
                                  std::optional<qint64> id = {})
    {
        RecordEditor e(db(), prompt, entrySeasonalLosses);
        if (!e.open(id ? EditMode::Edit : EditMode::Add, id, p))
            return std::nullopt;
        e.setText(QStringLiteral("DAY_N"), QString::number(dayN));
        e.setText(QStringLiteral("MES_N"), QString::number(mesN));
        e.setText(QStringLiteral("DAY_O"), QString::number(dayO));
        e.setText(QStringLiteral("MES_O"), QString::number(mesO));
        e.setText(QStringLiteral("PROZ"), proz);
        return e.save();
    }

    test::TestEnv env;
    test::ScriptedPrompt prompt;
    DatabaseSession session{prompt};
};

TEST_F(Seasons, DefaultRowsAtStartForPotatoesCarrotsAndBeets)
{
    const qint64 young = product(QStringLiteral("Картофель молодой"));
    const qint64 beet = product(QStringLiteral("Свёкла столовая"));
    const qint64 carrot = product(QStringLiteral("МОРКОВЬ"));
    const qint64 cabbage = product(QStringLiteral("Капуста"));
    EXPECT_EQ(ensureDefaultSeasonRows(db(), prompt), 9);
    EXPECT_EQ(prompt.events, QStringList(kCheckMessage));
    EXPECT_EQ(periods(young), QStringList({QStringLiteral("1.7-31.7 20"), QStringLiteral("1.8-31.9 25"),
                                           QStringLiteral("1.2-31.6 40"), QStringLiteral("1.0-29.1 35"),
                                           QStringLiteral("1.10-31.11 30")}));
    const QStringList roots = {QStringLiteral("1.8-31.11 20"), QStringLiteral("1.0-31.7 25")};
    EXPECT_EQ(periods(beet), roots);
    EXPECT_EQ(periods(carrot), roots);
    EXPECT_TRUE(periods(cabbage).isEmpty());
    // Products are walked in name order: Картофель, МОРКОВЬ, Свёкла.
    std::vector<qint64> order;
    Statement st(db(), QStringLiteral("SELECT id_PRODUCT FROM SEZON ORDER BY idSEZ"));
    while (st.next())
        order.push_back(st.toInt64(0));
    EXPECT_EQ(order, std::vector<qint64>({young, young, young, young, young, carrot, carrot, beet, beet}));

    // The next start finds rows and leaves the book alone, as it does when nothing matches.
    prompt.clear();
    db().exec(QStringLiteral("DELETE FROM SEZON WHERE id_PRODUCT <> ?1"), {beet});
    EXPECT_EQ(ensureDefaultSeasonRows(db(), prompt), 0);
    db().exec(QStringLiteral("DELETE FROM SEZON"));
    db().exec(QStringLiteral("DELETE FROM products WHERE id <> ?1"), {cabbage});
    EXPECT_EQ(ensureDefaultSeasonRows(db(), prompt), 0);
    EXPECT_TRUE(prompt.events.isEmpty());
    EXPECT_EQ(db().scalar(QStringLiteral("SELECT COUNT(*) FROM SEZON")).toLongLong(), 0);
}

TEST_F(Seasons, GrossWeightOfPotatoesThroughTheYear)
{
    const qint64 potato = product(QStringLiteral("Картофель"));
    ensureDefaultSeasonRows(db(), prompt);
    // The recipe's weight stands for the smallest loss, 20 %.
    EXPECT_DOUBLE_EQ(seasonalGross(db(), potato, 100, QDate(2023, 3, 15)), 133.33);   // 80 × 100 / 60
    EXPECT_DOUBLE_EQ(seasonalGross(db(), potato, 100, QDate(2023, 8, 1)), 100.0);     // 80 × 100 / 80
    EXPECT_DOUBLE_EQ(seasonalGross(db(), potato, 100, QDate(2023, 12, 31)), 114.29);  // 80 × 100 / 70
    EXPECT_DOUBLE_EQ(seasonalGross(db(), potato, 100, QDate(2023, 10, 31)), 106.67);  // 80 × 100 / 75
    EXPECT_DOUBLE_EQ(seasonalGross(db(), potato, 100, QDate(2024, 2, 29)), 123.08);   // 80 × 100 / 65
    EXPECT_DOUBLE_EQ(seasonalGross(db(), potato, 250, QDate(2023, 3, 1)), 333.33);    // 80 × 250 / 60

    // Without the November–December period, December is covered by none: 80 × 100 / 100.
    db().exec(QStringLiteral("DELETE FROM SEZON WHERE MES_N = 10"));
    EXPECT_DOUBLE_EQ(seasonalGross(db(), potato, 100, QDate(2023, 12, 10)), 80.0);
    // A product without periods keeps its weight on every date.
    const qint64 onion = product(QStringLiteral("Лук"));
    EXPECT_DOUBLE_EQ(seasonalGross(db(), onion, 100, QDate(2023, 3, 15)), 100.0);
}

TEST_F(Seasons, SmallerPercentageWinsAndAPeriodOverTheNewYearNeverMatches)
{
    // Whole months: the days of a period do not narrow it.
    const std::vector<SeasonPeriod> rows = {{1, 0, 31, 11, 10}, {15, 2, 20, 2, 30}, {1, 2, 31, 4, 25}};
    std::vector<SeasonPeriod> ascending = rows;
    std::sort(ascending.begin(), ascending.end(), [](auto& a, auto& b) { return a.proz < b.proz; });
    // March is held by all three: the first in ascending percentage (10 %) wins.
    EXPECT_DOUBLE_EQ(seasonalGross(ascending, 100, QDate(2023, 3, 2)), 100.0);
    ascending.erase(ascending.begin());
    // Without it, 25 % is the smallest and wins over 30 % in March: 75 × 100 / 75.
    EXPECT_DOUBLE_EQ(seasonalGross(ascending, 100, QDate(2023, 3, 2)), 100.0);
    EXPECT_DOUBLE_EQ(seasonalGross(ascending, 100, QDate(2023, 6, 1)), 75.0);

    // November to February written as one period matches neither December nor January.
    const std::vector<SeasonPeriod> winter = {{1, 7, 31, 7, 20}, {1, 10, 28, 1, 35}};
    EXPECT_DOUBLE_EQ(seasonalGross(winter, 100, QDate(2023, 12, 15)), 80.0);
    EXPECT_DOUBLE_EQ(seasonalGross(winter, 100, QDate(2023, 1, 15)), 80.0);
    EXPECT_DOUBLE_EQ(seasonalGross({}, 100, QDate(2023, 1, 15)), 100.0);

    // A period that loses the whole weight leaves nothing to scale by: the weight stays.
    const std::vector<SeasonPeriod> whole = {{1, 0, 31, 4, 10}, {1, 5, 30, 5, 100}};
    EXPECT_DOUBLE_EQ(seasonalGross(whole, 100, QDate(2023, 6, 10)), 100.0);
    EXPECT_DOUBLE_EQ(seasonalGross(whole, 100, QDate(2023, 3, 10)), 100.0);
}

TEST_F(Seasons, OnlyWithSeasonalityOn)
{
    const qint64 potato = product(QStringLiteral("Картофель"));
    ensureDefaultSeasonRows(db(), prompt);
    db().exec(QStringLiteral("UPDATE INF SET Sezonnost = 0"));
    EXPECT_DOUBLE_EQ(grossOnDate(db(), potato, 100, QDate(2023, 3, 15)), 100.0);
    db().exec(QStringLiteral("UPDATE INF SET Sezonnost = -1"));
    EXPECT_DOUBLE_EQ(grossOnDate(db(), potato, 100, QDate(2023, 3, 15)), 133.33);
}

TEST_F(Seasons, OverlappingPeriodRefused)
{
    const qint64 potato = product(QStringLiteral("Картофель"));
    const qint64 carrot = product(QStringLiteral("Морковь"));
    ASSERT_TRUE(saveRow(potato, 1, 0, 29, 1, QStringLiteral("35")));
    // Days overlap (1 in 1..29) but months do not: accepted.
    const auto spring = saveRow(potato, 1, 2, 31, 6, QStringLiteral("40"));
    ASSERT_TRUE(spring);
    // Another product's periods do not count.
    ASSERT_TRUE(saveRow(carrot, 1, 0, 31, 7, QStringLiteral("25")));
    const QStringList before = periods(potato);

    // 15 April – 20 May lies within March–July.
    EXPECT_FALSE(saveRow(potato, 15, 3, 20, 4, QStringLiteral("30")));
    // The last day and month fall within the first period: 10 December – 10 January.
    EXPECT_FALSE(saveRow(potato, 30, 11, 10, 0, QStringLiteral("30")));
    EXPECT_EQ(prompt.messages(),
              QStringList(2, QStringLiteral("warning: Для продукта \"Картофель\" в выбранный период уже введено "
                                            "значение процента потерь. Выберите другой период.")));
    EXPECT_EQ(periods(potato), before);

    // A row saved again is not compared with itself.
    prompt.clear();
    EXPECT_EQ(saveRow(potato, 1, 2, 30, 6, QStringLiteral("41,5"), spring), spring);
    EXPECT_TRUE(prompt.messages().isEmpty());
    EXPECT_EQ(periods(potato), QStringList({QStringLiteral("1.0-29.1 35"), QStringLiteral("1.2-30.6 41.5")}));
}

TEST_F(Seasons, CopySkipsAPeriodTheTargetAlreadyHas)
{
    const qint64 potato = product(QStringLiteral("Картофель"));
    const qint64 early = product(QStringLiteral("Ранний картофель"));
    const qint64 onion = product(QStringLiteral("Лук"));
    period(potato, 1, 7, 31, 7, 20);
    period(potato, 1, 8, 31, 9, 25.5);
    period(potato, 1, 2, 31, 6, 40);
    // Within August and within September–October.
    period(early, 1, 7, 15, 7, 10);
    period(early, 1, 9, 31, 9, 12);

    // Offered: the other products by name, Лук then Ранний картофель.
    prompt.choices = {1};
    EXPECT_TRUE(copySeasonPeriods(db(), prompt, potato));
    EXPECT_EQ(prompt.messages(),
              QStringList({QStringLiteral("choose: Выберите продукт, в который копировать... => Ранний картофель"),
                           QStringLiteral("info: Процент сезонных отходов 20% на период с 1.08 по 31.08 не будет "
                                          "скопирован, так как в продукте \"Ранний картофель\" уже добавлен процент."),
                           QStringLiteral("info: Процент сезонных отходов 25,5% на период с 1.09 по 31.10 не будет "
                                          "скопирован, так как в продукте \"Ранний картофель\" уже добавлен процент."),
                           QStringLiteral("info: Копирование выполнено.")}));
    EXPECT_EQ(periods(early), QStringList({QStringLiteral("1.7-15.7 10"), QStringLiteral("1.9-31.9 12"),
                                           QStringLiteral("1.2-31.6 40")}));
    EXPECT_EQ(periods(potato).size(), 3);

    // Nothing to copy; nobody chosen.
    prompt.clear();
    prompt.choices = {std::nullopt};
    EXPECT_FALSE(copySeasonPeriods(db(), prompt, onion));
    EXPECT_FALSE(copySeasonPeriods(db(), prompt, potato));
    EXPECT_EQ(prompt.messages(),
              QStringList({QStringLiteral("warning: У выбранного продукта \"Лук\" нет данных о сезонности. Копирование "
                                          "невозможно."),
                           QStringLiteral("choose: Выберите продукт, в который копировать... => "),
                           QStringLiteral("warning: Не был выбран продукт. Копирование невозможно.")}));
    EXPECT_TRUE(periods(onion).isEmpty());
}

} // namespace
