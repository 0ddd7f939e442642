// The printed technological card: weights per portion and per 100 portions for each eater type,
// the portion's nutrient value, the switches for yields, requisites and one card a page.

#include "PrintFixture.h"
#include "menu/DayMenuFixture.h"

#include "documents/CardPrint.h"
#include "documents/XlsxReader.h"

using namespace rat;
using namespace rat::documents;

namespace {

class CardPrintTest : public test::DayMenuFixture {
protected:
    void SetUp() override
    {
        DayMenuFixture::SetUp();
        ASSERT_TRUE(test::installTemplate(QStringLiteral("Технологическая карта")));
        db().exec(QStringLiteral("UPDATE INF SET Naim = 'Детский сад №7', FamDir = 'Иванова', ImDir = 'Мария', "
                                 "OtchDir = 'Петровна', famMS = 'Белова', ImMS = 'Ирина', OtchMS = 'Олеговна', "
                                 "Galka = -1, DopRekvizit = -1, TKlist = -1"));
        const qint64 plan = planMenu(QStringLiteral("Зима"), 2);
        small = eaterType(plan, QStringLiteral("Ясли"));
        big = eaterType(plan, QStringLiteral("Сад"));
        porridge = card(QStringLiteral("Каша гречневая"));  // Крупа 60 g gross, 50 g net per 100 g
        milk = product(QStringLiteral("Молоко"));
        line(porridge, milk, 30, 30);
        db().exec(QStringLiteral("UPDATE card_recipes SET number1 = '12', numRec = '185', description = 'Крупу перебрать.', "
                                 "protein = 4, fat = 3, carbohyd = 20, calories = 120 WHERE id = ?1"),
                  {porridge});
        yield(porridge, small, 150, 10);
        yield(porridge, big, 200);
        soup = card(QStringLiteral("Суп"));
        yield(soup, big, 250);
    }
    qint64 small = 0, big = 0, porridge = 0, milk = 0, soup = 0;
};

} // namespace

TEST_F(CardPrintTest, WeightsPerPortionAndPerHundredPortions)
{
    const QString path = PrintCards(db(), prompt, {porridge});
    ASSERT_TRUE(path.endsWith(QStringLiteral("Документы/Технологическая карта Каша гречневая.xlsx"))) << path.toStdString();
    XlsxReader r;
    ASSERT_TRUE(r.open(path));
    EXPECT_EQ(r.text(1, 1), "Детский сад №7");
    EXPECT_EQ(r.text(2, 3), "Заведующий ________ Иванова М.П.");
    EXPECT_EQ(r.text(4, 1), "Технологическая карта № 12");
    EXPECT_EQ(r.text(5, 1), "Наименование блюда: Каша гречневая");
    EXPECT_EQ(r.text(6, 1), "Номер рецептуры: 185");
    // Ясли at 150 g: Крупа 90 / 75 g, 9 / 7.5 kg per 100 portions; Молоко 45 / 45 g.
    EXPECT_EQ(r.text(8, 1), "Выход: 150/10 г (Ясли)");
    EXPECT_EQ(r.rowTexts(10), (QStringList{"Крупа", "90", "75", "9", "7.5"}));
    EXPECT_EQ(r.rowTexts(11), (QStringList{"Молоко", "45", "45", "4.5", "4.5"}));
    EXPECT_EQ(r.text(12, 1), "Пищевая ценность одной порции: белки 6 г, жиры 4.5 г, углеводы 30 г, энергетическая "
                             "ценность 180 ккал");
    EXPECT_EQ(r.text(14, 1), "Выход: 200 г (Сад)");
    EXPECT_EQ(r.rowTexts(16), (QStringList{"Крупа", "120", "100", "12", "10"}));
    EXPECT_EQ(r.text(18, 1).left(45), "Пищевая ценность одной порции: белки 8 г, жир");
    EXPECT_EQ(r.text(20, 1), "Технология приготовления:");
    EXPECT_EQ(r.text(21, 1), "Крупу перебрать.");
    EXPECT_EQ(r.text(23, 4), "Белова И.О.");
    EXPECT_TRUE(r.merges.contains("A14:E14"));
    EXPECT_FALSE(r.find(QStringLiteral("{")));
}

TEST_F(CardPrintTest, SwitchesAndSeveralCards)
{
    db().exec(QStringLiteral("UPDATE INF SET Galka = 0, DopRekvizit = 0"));
    const QString path = PrintCards(db(), prompt, {porridge, soup});
    ASSERT_TRUE(path.endsWith(QStringLiteral("Документы/Технологические карты.xlsx")));
    XlsxReader r;
    ASSERT_TRUE(r.open(path));
    EXPECT_TRUE(r.text(1, 1).isEmpty());
    EXPECT_TRUE(r.text(2, 3).isEmpty());
    EXPECT_EQ(r.text(8, 1), "Ясли");
    const auto second = r.find(QStringLiteral("Наименование блюда: Суп"));
    ASSERT_TRUE(second);
    EXPECT_EQ(r.text(second->first - 1, 1), "Технологическая карта № ");
    EXPECT_EQ(r.text(second->first + 3, 1), "Сад");
    EXPECT_EQ(r.rowTexts(second->first + 5), (QStringList{"Крупа", "150", "125", "15", "12.5"}));
    EXPECT_FALSE(r.find(QStringLiteral("{")));
}
