// The data of the printed menu-requirement against hand-computed figures: header, eaters and
// their planned cost, rows by meal in both groupings, product columns by name and by code,
// totals, prices, the children / staff split, the checks and their messages.

#include "documents/MenuRequirementPrintFixture.h"

#include "core/Settings.h"
#include "documents/MenuRequirementPrint.h"

namespace rat::test {
namespace {

using documents::MenuRequirementLayout;
using documents::MenuRequirementPrintData;
using documents::MenuRequirementPrintSettings;

class MenuRequirementPrintDataTest : public MenuRequirementPrintFixture {
protected:
    MenuRequirementPrintData read(MenuRequirementLayout layout = MenuRequirementLayout::Products,
                                  MenuRequirementPrintSettings s = {}, bool working = false, qint64 id = 0)
    {
        auto d = documents::readMenuRequirementPrint(db(), prompt, {working, id ? id : document}, layout, s);
        EXPECT_TRUE(d);
        return d ? *d : MenuRequirementPrintData{};
    }
    // "meal|type dish portions output|kolv kolv kolv" for every row, "-" for an empty cell.
    static QStringList rows(const MenuRequirementPrintData& d, bool kol = false)
    {
        QStringList out;
        for (const auto& g : d.meals)
            for (const auto& r : g.rows) {
                QStringList cells;
                for (const auto& v : kol ? r.kol : r.kolv)
                    cells << (v ? plainNumber(*v) : QStringLiteral("-"));
                out << QStringLiteral("%1|%2 %3 %4 %5|%6")
                           .arg(g.title, r.eaterType, r.dish)
                           .arg(r.portions)
                           .arg(plainNumber(r.output), cells.join(QLatin1Char(' ')));
            }
        return out;
    }
    static QStringList names(const MenuRequirementPrintData& d)
    {
        QStringList out;
        for (const auto& p : d.products)
            out << p.name + QLatin1Char('/') + p.unit + QLatin1Char('/') + p.code;
        return out;
    }
};

TEST_F(MenuRequirementPrintDataTest, HeaderEatersAndPlannedCost)
{
    const auto d = read();
    EXPECT_EQ(d.header.organisation, QStringLiteral("Детский сад № 5"));
    EXPECT_EQ(d.header.director, QStringLiteral("Иванова А.П."));
    EXPECT_EQ(d.header.okpo, QStringLiteral("12345678"));
    EXPECT_EQ(d.header.date, QDate(2026, 12, 5));
    EXPECT_EQ(d.header.number, QStringLiteral("7"));
    EXPECT_EQ(d.header.currency, QStringLiteral("руб."));

    QStringList eaters;
    for (const auto& e : d.eaters)
        eaters << QStringLiteral("%1 %2 %3 %4 %5")
                      .arg(e.shortName)
                      .arg(e.count)
                      .arg(plainNumber(e.plannedCost), plainNumber(e.cost))
                      .arg(e.staff ? QStringLiteral("сотр") : QStringLiteral("дети"));
    // Сад's only planned cost is dated after the day: 0; Сотр has none.
    EXPECT_EQ(eaters, (QStringList{"Ясли 12 120 1440 дети", "Сад 20 0 0 дети", "Сотр 5 0 0 сотр"}));
    EXPECT_EQ(d.eaterCount, 37);
    EXPECT_DOUBLE_EQ(d.plannedCost, 1440);
    EXPECT_EQ(d.childCount, 32);
    EXPECT_EQ(d.staffCount, 5);

    QStringList signatures;
    for (const auto& s : d.signatures)
        signatures << s.role + QLatin1Char('=') + s.name;
    EXPECT_EQ(signatures, (QStringList{"Бухгалтер=", "Врач (диетсестра)=", "Материально ответственное лицо=",
                                       "Повар=Сидорова М.", "Кладовщик=Петров И.С."}));
}

TEST_F(MenuRequirementPrintDataTest, RowsByMealThenEaterTypeWithRoundedQuantities)
{
    const auto d = read();
    EXPECT_EQ(names(d), (QStringList{"Крупа/кг/001", "Молоко/кг/002", "Сахар/г/"}));
    EXPECT_EQ(rows(d), (QStringList{
                           "Завтрак|Ясли Каша 10 150|0.3 0.75 75",
                           "Завтрак|Ясли Чай 10 150|- - 150",
                           "Завтрак|Сад Каша 20 200|0.8 2 200",
                           "Завтрак|Сад Чай 20 180|- - 360",
                           "Обед|Ясли Суп 12 150|0.18 - -",
                           "Обед|Сад Суп 20 250|0.5 - -",
                           "Обед|Сотр Суп 5 300|0.15 - -",
                       }));
    // Сахар is a whole-gram product: 7.5 g per portion rounds up to 8.
    EXPECT_EQ(rows(d, true).first(), QStringLiteral("Завтрак|Ясли Каша 10 150|30 75 8"));
    EXPECT_EQ(d.meals.size(), 2u);
}

TEST_F(MenuRequirementPrintDataTest, GroupedByDishThenEaterTypeAndTotalsPerType)
{
    MenuRequirementPrintSettings s;
    s.groupByDish = true;
    const auto d = read(MenuRequirementLayout::Products, s);
    EXPECT_EQ(rows(d), (QStringList{
                           "Завтрак|Ясли Каша 10 150|0.3 0.75 75",
                           "Завтрак|Сад Каша 20 200|0.8 2 200",
                           "Завтрак|Ясли Чай 10 150|- - 150",
                           "Завтрак|Сад Чай 20 180|- - 360",
                           "Обед|Ясли Суп 12 150|0.18 - -",
                           "Обед|Сад Суп 20 250|0.5 - -",
                           "Обед|Сотр Суп 5 300|0.15 - -",
                       }));
    ASSERT_EQ(d.totals.size(), 3u);
    EXPECT_EQ(d.totals[0].shortName, QStringLiteral("Ясли"));
    EXPECT_EQ(d.totals[0].rowIndexes, (std::vector<int>{0, 2, 4}));
    EXPECT_EQ(d.totals[1].rowIndexes, (std::vector<int>{1, 3, 5}));
    EXPECT_EQ(d.totals[2].rowIndexes, (std::vector<int>{6}));
    const std::vector<std::vector<double>> expected = {{0.48, 0.75, 225}, {1.3, 2, 560}, {0.15, 0, 0}};
    for (size_t t = 0; t < 3; ++t)
        for (size_t c = 0; c < 3; ++c)
            EXPECT_NEAR(d.totals[t].kolv[c], expected[t][c], 1e-9) << t << ":" << c;
    EXPECT_NEAR(d.products[0].total, 1.93, 1e-9);
    EXPECT_NEAR(d.products[1].total, 2.75, 1e-9);
    EXPECT_NEAR(d.products[2].total, 785, 1e-9);
    EXPECT_EQ(d.rowCount(), 7);
    EXPECT_EQ(d.row(6).eaterType, QStringLiteral("Сотр"));
}

TEST_F(MenuRequirementPrintDataTest, ProductsByCodeKeepTheOneWithoutCode)
{
    MenuRequirementPrintSettings s;
    s.sortByCode = true;
    const auto d = read(MenuRequirementLayout::Products, s);
    EXPECT_EQ(names(d), (QStringList{"Сахар/г/", "Крупа/кг/001", "Молоко/кг/002"}));
    EXPECT_EQ(rows(d).first(), QStringLiteral("Завтрак|Ясли Каша 10 150|75 0.3 0.75"));
}

TEST_F(MenuRequirementPrintDataTest, PricesFromLotsAndTheChildrenStaffSplit)
{
    const auto d = read(MenuRequirementLayout::Form299);
    EXPECT_TRUE(prompt.messages().isEmpty()) << prompt.messages().join(QLatin1Char('\n')).toStdString();
    ASSERT_TRUE(d.priced);
    EXPECT_FALSE(d.plannedPrices);
    // Крупа: the dearest lot of 04.12 (the lot of 06.12 is after the day); Молоко: the direct lot;
    // Сахар: no lot.
    EXPECT_DOUBLE_EQ(d.products[0].price, 95);
    EXPECT_DOUBLE_EQ(d.products[1].price, 60);
    EXPECT_DOUBLE_EQ(d.products[2].price, 0);
    EXPECT_NEAR(d.products[0].sum, 183.35, 1e-9);
    EXPECT_NEAR(d.products[1].sum, 165, 1e-9);
    EXPECT_NEAR(d.sum, 348.35, 1e-9);
    EXPECT_NEAR(d.products[0].children, 1.78, 1e-9);
    EXPECT_NEAR(d.products[0].staff, 0.15, 1e-9);
    EXPECT_NEAR(d.products[0].perStaffEater, 0.03, 1e-9);
    EXPECT_NEAR(d.products[2].children, 785, 1e-9);
    EXPECT_DOUBLE_EQ(d.products[2].staff, 0);

    // The products' layout has no prices.
    EXPECT_FALSE(read(MenuRequirementLayout::Products).priced);
}

TEST_F(MenuRequirementPrintDataTest, PlannedPricesAndTheWarningForCardPrices)
{
    db().exec(QStringLiteral("UPDATE day_menu SET filtr = 1 WHERE id = ?1"), {menuId});
    auto d = read(MenuRequirementLayout::Okud0504202);
    EXPECT_TRUE(prompt.messages().isEmpty());
    EXPECT_TRUE(d.plannedPrices);
    EXPECT_DOUBLE_EQ(d.products[0].price, 50);
    EXPECT_DOUBLE_EQ(d.products[1].price, 40);
    EXPECT_NEAR(d.sum, 1.93 * 50 + 2.75 * 40, 1e-9);

    db().exec(QStringLiteral("UPDATE day_menu SET filtr = 2 WHERE id = ?1"), {menuId});
    d = read(MenuRequirementLayout::Form299);
    EXPECT_EQ(prompt.messages(),
              QStringList{QStringLiteral("warning: В Меню на день установлен расчет цен по плановым ценам технологических "
                                         "карт, однако данный тип расчета цен неприменим для меню-требования. Расчет "
                                         "цен будет выполнен по плановым ценам продуктов.")});
    EXPECT_DOUBLE_EQ(d.products[0].price, 50);
}

TEST_F(MenuRequirementPrintDataTest, WorkingCopyReadsLikeTheStoredDocument)
{
    const auto idm1 = stock::loadIntoWorkingCopy(db(), prompt, menuId, document);
    ASSERT_TRUE(idm1);
    const auto stored = read();
    const auto working = read(MenuRequirementLayout::Products, {}, true, *idm1);
    EXPECT_EQ(rows(working), rows(stored));
    EXPECT_EQ(names(working), names(stored));
    EXPECT_EQ(working.header.number, QStringLiteral("7"));
    EXPECT_FALSE(documents::readMenuRequirementPrint(db(), prompt, {false, document + 100},
                                                     MenuRequirementLayout::Products, {}));
}

TEST_F(MenuRequirementPrintDataTest, ChecksBeforePrinting)
{
    EXPECT_TRUE(documents::checkPrintable(db(), prompt, menuId));
    EXPECT_TRUE(prompt.messages().isEmpty());

    // Counts only of an eater type that no longer exists.
    db().exec(QStringLiteral("DELETE FROM type_eating"));
    EXPECT_FALSE(documents::checkPrintable(db(), prompt, menuId));
    EXPECT_EQ(prompt.messages(),
              QStringList{QStringLiteral("critical: Печать невозможна! Нет активных типов довольствующихся!")});

    prompt.clear();
    db().exec(QStringLiteral("UPDATE quantity_eating SET quantity = 0"));
    EXPECT_FALSE(documents::checkPrintable(db(), prompt, menuId));
    EXPECT_FALSE(documents::checkPrintable(db(), prompt, menuId, documents::PrintKind::Menu));
    EXPECT_EQ(prompt.messages(),
              (QStringList{"warning: Невозможно сформировать меню-требование! Укажите количество довольствующихся!",
                           "warning: Невозможно сформировать меню! Укажите количество довольствующихся!"}));
}

TEST_F(MenuRequirementPrintDataTest, LayoutsTemplatesSettingsAndFileName)
{
    using documents::layoutFor;
    using documents::templateName;
    EXPECT_EQ(templateName(layoutFor(0, false)), QStringLiteral("Меню-требование№299"));
    EXPECT_EQ(templateName(layoutFor(1, false)), QStringLiteral("Меню-требование"));
    EXPECT_EQ(templateName(layoutFor(2, false)), QStringLiteral("Меню-требование (ОКУД 0504202)"));
    EXPECT_EQ(templateName(layoutFor(7, false)), QStringLiteral("Меню-требование№299"));
    EXPECT_EQ(templateName(layoutFor(2, true)), QStringLiteral("Меню-требованиеПродукты"));

    EXPECT_EQ(documents::menuRequirementFileName(QDate(2026, 12, 5), QStringLiteral("7")),
              QStringLiteral("Меню-требование на 05.12.2026 (7)"));

    MenuRequirementPrintSettings s;
    s.sortByCode = true;
    s.groupByDish = true;
    s.repeatHeader = false;
    s.fontSize = 10;
    s.totalFontSize = 11;
    s.productTotalFontSize = 12;
    documents::saveMenuRequirementPrintSettings(s);
    EXPECT_EQ(Settings::text(QStringLiteral("User"), QStringLiteral("SortShif")), QStringLiteral("True"));
    EXPECT_EQ(Settings::text(QStringLiteral("User"), QStringLiteral("Dub")), QStringLiteral("False"));
    const auto back = documents::readMenuRequirementPrintSettings();
    EXPECT_TRUE(back.sortByCode);
    EXPECT_TRUE(back.groupByDish);
    EXPECT_FALSE(back.repeatHeader);
    EXPECT_EQ(back.fontSize, 10);
    EXPECT_EQ(back.totalFontSize, 11);
    EXPECT_EQ(back.productTotalFontSize, 12);
    // A size nobody can print is taken as the default.
    Settings::setText(QStringLiteral("User"), QStringLiteral("Schrif"), QStringLiteral("abc"));
    EXPECT_EQ(documents::readMenuRequirementPrintSettings().fontSize, MenuRequirementPrintSettings{}.fontSize);
}

} // namespace
} // namespace rat::test
