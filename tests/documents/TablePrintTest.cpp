// Lists printed as shown: the header cell and the row cell repeated across and down, bold lines,
// red cells, numbers kept as numbers; a plan-menu analysis printed with its rows as the window
// has them.

#include "PrintFixture.h"
#include "menu/DayMenuFixture.h"

#include "documents/AnalysisPrint.h"
#include "documents/XlsxReader.h"

using namespace rat;
using namespace rat::documents;

namespace {

class TablePrintTest : public test::DayMenuFixture {
protected:
    void SetUp() override
    {
        DayMenuFixture::SetUp();
        ASSERT_TRUE(test::installTemplate(QStringLiteral("Список")));
    }
};

} // namespace

TEST_F(TablePrintTest, RowsAsShown)
{
    PrintedTable table;
    table.title = QStringLiteral("Остатки: склад/кладовая");
    table.columns = {QStringLiteral("Продукт"), QStringLiteral("Количество"), QStringLiteral("Ед.изм.")};
    table.rows.push_back({{QStringLiteral("Мука"), 12.5, QStringLiteral("кг")}, false, {}});
    table.rows.push_back({{QStringLiteral("Сахар"), 0.25, QVariant()}, false, {1}});
    table.rows.push_back({{QStringLiteral("Итого"), 12.75, QVariant()}, true, {}});
    const QString path = PrintTable(db(), prompt, table);
    ASSERT_TRUE(path.endsWith(QStringLiteral("Документы/Остатки  склад кладовая.xlsx"))) << path.toStdString();
    XlsxReader r;
    ASSERT_TRUE(r.open(path));
    EXPECT_EQ(r.rowTexts(1), QStringList{"Сад"});  // the title stays single over the columns
    EXPECT_EQ(r.rowTexts(3), QStringList{"Остатки: склад/кладовая"});
    EXPECT_GE(r.columnWidths.at(2), 12);          // "Количество" fits whole
    EXPECT_EQ(r.rowTexts(5), (QStringList{"Продукт", "Количество", "Ед.изм."}));
    EXPECT_EQ(r.rowTexts(6), (QStringList{"Мука", "12.5", "кг"}));
    EXPECT_EQ(r.rowTexts(7), (QStringList{"Сахар", "0.25"}));
    EXPECT_TRUE(r.cell(6, 2)->isNumber);
    EXPECT_TRUE(r.cell(7, 3)->border);  // the row cell's look carried to every cell
    EXPECT_EQ(r.cell(7, 2)->fontColor, "FFFF0000");
    EXPECT_TRUE(r.cell(7, 2)->bold);
    EXPECT_FALSE(r.cell(7, 1)->bold);
    EXPECT_TRUE(r.cell(8, 1)->bold && r.cell(8, 3)->bold);
    EXPECT_EQ(r.printTitles, "'Лист1'!$5:$5");
    EXPECT_TRUE(r.cell(5, 3)->bold);
}

TEST_F(TablePrintTest, RepeatsAnalysisPrintedAsTheWindowShowsIt)
{
    const qint64 plan = planMenu(QStringLiteral("Зима"), 2);
    eaterType(plan, QStringLiteral("Сад"));
    const qint64 breakfast = meal(QStringLiteral("Завтрак"));
    const qint64 porridge = card(QStringLiteral("Каша"));
    const qint64 soup = card(QStringLiteral("Суп"));
    const qint64 d1 = day(plan, QStringLiteral("День 1"));
    const qint64 d2 = day(plan, QStringLiteral("День 2"));
    planRow(d1, porridge, breakfast);
    planRow(d2, porridge, breakfast);
    planRow(d2, soup, breakfast);
    prompt.clear();
    const menu::AnalysisTable shown = menu::analyseRepeats(db(), plan);
    const QString path = PrintAnalysis(db(), prompt, menu::AnalysisKind::Repeats, plan);
    ASSERT_FALSE(path.isEmpty()) << prompt.messages().join(u'\n').toStdString();
    XlsxReader r;
    ASSERT_TRUE(r.open(path));
    EXPECT_EQ(r.text(3, 1), shown.caption);
    EXPECT_EQ(r.rowTexts(5), shown.columns);
    ASSERT_FALSE(shown.rows.empty());
    for (size_t i = 0; i < shown.rows.size(); ++i)
        for (int c = 0; c < int(shown.columns.size()); ++c) {
            QString expected = menu::analysisCellText(shown.rows[i], c);
            expected.remove(QStringLiteral("**")).remove(u'!');
            EXPECT_EQ(r.text(6 + int(i), c + 1), expected) << i << ' ' << c;
            if (shown.rows[i].isRed(c))
                EXPECT_EQ(r.cell(6 + int(i), c + 1)->fontColor, "FFFF0000");
        }
}
