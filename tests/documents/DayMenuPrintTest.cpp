// The printed day menu: dishes under their meals, the eaters with portions only, costs on request
// (their column removed otherwise), the questions of the document's print command.

#include "PrintFixture.h"
#include "menu/DayMenuFixture.h"

#include "documents/DayMenuPrint.h"
#include "documents/XlsxReader.h"

using namespace rat;
using namespace rat::documents;

namespace {

class DayMenuPrintTest : public test::DayMenuFixture {
protected:
    void SetUp() override
    {
        DayMenuFixture::SetUp();
        ASSERT_TRUE(test::installTemplate(QStringLiteral("Меню на день")));
        db().exec(QStringLiteral("UPDATE INF SET Naim = 'Детский сад №7', famMS = 'Белова', ImMS = 'Ирина', OtchMS = 'Олеговна', "
                                 "famP = 'Кузнецова', ImP = 'Вера', OtchP = 'Львовна'"));
        const qint64 plan = planMenu(QStringLiteral("Зима"), 2);
        const qint64 small = eaterType(plan, QStringLiteral("Ясли"));
        const qint64 big = eaterType(plan, QStringLiteral("Сад"));
        const qint64 breakfast = meal(QStringLiteral("Завтрак"));
        const qint64 lunch = meal(QStringLiteral("Обед"));
        const qint64 porridge = card(QStringLiteral("Каша гречневая"));
        const qint64 soup = card(QStringLiteral("Суп овощной"));
        db().exec(QStringLiteral("UPDATE card_recipes SET calories = 120"));
        yield(porridge, small, 150);
        yield(porridge, big, 200);
        yield(soup, small, 180);
        yield(soup, big, 250);
        menuId = dayMenu(plan, QStringLiteral("12"), QStringLiteral("2026-12-03"));
        const qint64 p1 = point(menuId, porridge, breakfast);
        eaters(p1, small, 10);
        eaters(p1, big, 20);
        const qint64 p2 = point(menuId, soup, lunch);
        eaters(p2, small, 0);  // nobody: not printed
        eaters(p2, big, 20);
    }
    qint64 menuId = 0;
};

} // namespace

TEST_F(DayMenuPrintTest, MenuForParentsWithAndWithoutCosts)
{
    const QString path = PrintDayMenu(db(), prompt, menuId, true);
    ASSERT_TRUE(path.endsWith(QStringLiteral("Документы/Меню на 03.12.2026 (12).xlsx"))) << path.toStdString();
    XlsxReader r;
    ASSERT_TRUE(r.open(path));
    EXPECT_EQ(r.text(1, 1), "Детский сад №7");
    EXPECT_EQ(r.text(4, 1), "Меню на 03.12.2026");
    EXPECT_EQ(r.rowTexts(7), (QStringList{"Наименование блюда", "Тип довольствующихся", "Выход, г",
                                          "Энергетическая ценность, ккал", "Цена порции, руб."}));
    EXPECT_EQ(r.text(8, 1), "Завтрак");
    EXPECT_EQ(r.rowTexts(9).mid(0, 4), (QStringList{"Каша гречневая", "Ясли", "150", "180"}));
    EXPECT_EQ(r.rowTexts(10).mid(0, 4), (QStringList{"Каша гречневая", "Сад", "200", "240"}));
    EXPECT_EQ(r.text(11, 1), "Обед");
    EXPECT_EQ(r.rowTexts(12).mid(0, 4), (QStringList{"Суп овощной", "Сад", "250", "300"}));
    EXPECT_TRUE(r.text(13, 1).isEmpty());
    EXPECT_EQ(r.text(14, 1), "Медицинская сестра (диетсестра)");
    EXPECT_EQ(r.text(14, 4), "Белова И.О.");
    EXPECT_TRUE(r.merges.contains("A8:E8"));
    EXPECT_TRUE(r.merges.contains("A11:E11"));
    EXPECT_TRUE(r.cell(12, 5)->isNumber);

    const QString plain = PrintDayMenu(db(), prompt, menuId, false);
    XlsxReader w;
    ASSERT_TRUE(w.open(plain));
    EXPECT_EQ(w.rowTexts(7), (QStringList{"Наименование блюда", "Тип довольствующихся", "Выход, г",
                                          "Энергетическая ценность, ккал"}));
    EXPECT_EQ(w.rowTexts(12), (QStringList{"Суп овощной", "Сад", "250", "300"}));
    EXPECT_TRUE(w.merges.contains("A11:D11"));
}

TEST_F(DayMenuPrintTest, QuestionsOfThePrintCommand)
{
    prompt.answers = {Answer::Yes, Answer::Cancel};
    EXPECT_EQ(askAndPrintDayMenu(db(), prompt, menuId), QString());
    prompt.answers = {Answer::No};
    EXPECT_EQ(askAndPrintDayMenu(db(), prompt, menuId), QString());
    const QString parents = "question: Печатать меню для родителей в Excel? \"Да\" - меню для родителей с калькуляцией, "
                            "\"Нет\" - меню для родителей без калькуляции, \"Отмена\" - не печатать.";
    EXPECT_EQ(prompt.messages(), (QStringList{"question: Печатать меню в Excel? => Да", parents + " => Отмена",
                                              "question: Печатать меню в Excel? => Нет"}));
    prompt.clear();
    prompt.answers = {Answer::Yes, Answer::No};
    const QString path = askAndPrintDayMenu(db(), prompt, menuId);
    XlsxReader r;
    ASSERT_TRUE(r.open(path));
    EXPECT_EQ(r.lastColumn(), 4);  // without costs

    db().exec(QStringLiteral("UPDATE quantity_eating SET quantity = 0"));
    prompt.clear();
    EXPECT_EQ(PrintDayMenu(db(), prompt, menuId, true), QString());
    EXPECT_EQ(prompt.messages(), (QStringList{"warning: Невозможно сформировать меню! Укажите количество довольствующихся!"}));
}
