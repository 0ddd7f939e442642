// The printed menu-requirement read back from the saved workbook: blocks, formulas and their
// cached values against hand-computed figures, the settings that change the form, the messages
// and status texts of the print.

#include "documents/MenuRequirementPrintFixture.h"

#include "documents/MenuRequirementPrinting.h"
#include "documents/PrintFixture.h"
#include "documents/XlsxReader.h"

#include <QDir>
#include <QFileInfo>

namespace rat::test {
namespace {

using documents::MenuRequirementLayout;
using documents::MenuRequirementPrintSettings;
using documents::XlsxReader;

class MenuRequirementPrintFormTest : public MenuRequirementPrintFixture {
protected:
    void SetUp() override
    {
        MenuRequirementPrintFixture::SetUp();
        for (auto l : {MenuRequirementLayout::Products, MenuRequirementLayout::Mechanised,
                       MenuRequirementLayout::Form299, MenuRequirementLayout::Okud0504202})
            ASSERT_TRUE(installTemplate(documents::templateName(l)));
    }
    std::optional<documents::MenuRequirementPrintOutcome> printed(MenuRequirementLayout layout,
                                                                  MenuRequirementPrintSettings s = {})
    {
        return documents::printMenuRequirement(db(), prompt, {false, document}, layout, s);
    }
    static QString saved(const QString& name)
    {
        return QDir::toNativeSeparators(QDir(app().appDir).filePath(QStringLiteral("Документы/") + name));
    }
    XlsxReader print(MenuRequirementLayout layout, MenuRequirementPrintSettings s = {})
    {
        const auto out = printed(layout, s);
        XlsxReader r;
        EXPECT_TRUE(out && r.open(out->path)) << prompt.events.join(QLatin1Char('\n')).toStdString();
        return r;
    }
    static int rowOf(const XlsxReader& r, const QString& text)
    {
        const auto at = r.find(text);
        return at ? at->first : 0;
    }
    // The texts of a row from `from` on, as many as given.
    static QStringList cells(const XlsxReader& r, int row, int from, int count)
    {
        QStringList out;
        for (int c = from; c < from + count; ++c)
            out << r.text(row, c);
        return out;
    }
    static double cached(const XlsxReader& r, int row, int col) { return r.number(row, col).value_or(-1); }
};

TEST_F(MenuRequirementPrintFormTest, CooksCopyHeaderEatersDishRowsAndTotals)
{
    const XlsxReader r = print(MenuRequirementLayout::Products);
    EXPECT_EQ(r.sheetName, QStringLiteral("Лист1"));
    EXPECT_TRUE(r.find(QStringLiteral("МЕНЮ-ТРЕБОВАНИЕ № 7 (для повара)")));
    EXPECT_TRUE(r.find(QStringLiteral("Заведующий: Иванова А.П.")));
    EXPECT_TRUE(r.find(QStringLiteral("ОКПО 12345678")));
    EXPECT_TRUE(r.find(QStringLiteral("Дата: 05.12.2026")));
    EXPECT_FALSE(r.find(QStringLiteral("{")));

    // Eaters: the cost of a type is a formula over its count and planned cost; Сад's planned
    // cost is dated after the day, so 0.
    const int e = rowOf(r, QStringLiteral("Тип довольствующихся")) + 1;
    EXPECT_EQ(cells(r, e, 1, 4), (QStringList{"Ясли", "12", "120", "1440"}));
    EXPECT_EQ(r.formula(e, 4), QStringLiteral("B%1*C%1").arg(e));
    EXPECT_EQ(cells(r, e + 1, 1, 4), (QStringList{"Сад", "20", "0", "0"}));
    EXPECT_EQ(r.text(e + 3, 1), QStringLiteral("Всего"));
    EXPECT_EQ(r.formula(e + 3, 2), QStringLiteral("SUM(B%1:B%2)").arg(e).arg(e + 2));
    EXPECT_DOUBLE_EQ(cached(r, e + 3, 2), 37);
    EXPECT_DOUBLE_EQ(cached(r, e + 3, 4), 1440);

    // Product columns in pairs (per portion, all portions), names merged over the pair; Сахар has
    // no code and keeps its column.
    const int names = rowOf(r, QStringLiteral("Наименование продуктов"));
    EXPECT_EQ(cells(r, names, 5, 6), (QStringList{"Крупа", "", "Молоко", "", "Сахар", ""}));
    EXPECT_EQ(cells(r, names + 2, 5, 6), (QStringList{"001", "", "002", "", "", ""}));
    EXPECT_TRUE(r.merges.contains(QStringLiteral("I%1:J%1").arg(names)));
    // The table's header rows repeat on every page and the dish columns on pages to the right.
    EXPECT_EQ(r.printTitles, QStringLiteral("'Лист1'!$A:$D,'Лист1'!$%1:$%2").arg(names).arg(names + 3));

    const int breakfast = rowOf(r, QStringLiteral("Завтрак"));
    EXPECT_EQ(r.text(breakfast, 1), QStringLiteral("Прием пищи"));
    EXPECT_EQ(r.rowTexts(breakfast + 1), (QStringList{"Ясли", "Каша", "10", "150", "30", "0.3", "75", "0.75", "8", "75"}));
    EXPECT_EQ(r.rowTexts(breakfast + 2), (QStringList{"Ясли", "Чай", "10", "150", "", "", "", "", "15", "150"}));
    const int dinner = rowOf(r, QStringLiteral("Обед"));
    EXPECT_EQ(dinner, breakfast + 5);
    EXPECT_EQ(r.rowTexts(dinner + 3).mid(0, 6), (QStringList{"Сотр", "Суп", "5", "300", "30", "0.15"}));

    // "Итого" per eater type adds that type's cells; "Всего" sums the "Итого" rows.
    const int total = dinner + 4;
    EXPECT_EQ(cells(r, total, 1, 2), (QStringList{"Итого", "Ясли"}));
    EXPECT_EQ(r.formula(total, 6), QStringLiteral("F%1+F%2+F%3").arg(breakfast + 1).arg(breakfast + 2).arg(dinner + 1));
    EXPECT_NEAR(cached(r, total, 6), 0.48, 1e-9);
    EXPECT_NEAR(cached(r, total + 1, 6), 1.3, 1e-9);
    EXPECT_NEAR(cached(r, total + 1, 10), 560, 1e-9);
    EXPECT_NEAR(cached(r, total + 2, 6), 0.15, 1e-9);
    EXPECT_EQ(r.text(total, 5), QString());
    EXPECT_EQ(r.text(total + 3, 1), QStringLiteral("Всего"));
    EXPECT_EQ(r.formula(total + 3, 6), QStringLiteral("SUM(F%1:F%2)").arg(total).arg(total + 2));
    EXPECT_NEAR(cached(r, total + 3, 6), 1.93, 1e-9);
    EXPECT_NEAR(cached(r, total + 3, 8), 2.75, 1e-9);
    EXPECT_NEAR(cached(r, total + 3, 10), 785, 1e-9);

    EXPECT_EQ(r.text(rowOf(r, QStringLiteral("Кладовщик")), 2), QStringLiteral("Петров И.С."));
    EXPECT_EQ(r.text(rowOf(r, QStringLiteral("Повар")), 2), QStringLiteral("Сидорова М."));
}

TEST_F(MenuRequirementPrintFormTest, Form299PricesChildrenAndStaff)
{
    const XlsxReader r = print(MenuRequirementLayout::Form299);
    const int out = rowOf(r, QStringLiteral("Отпуск продуктов питания со склада (дети)"));
    ASSERT_GT(out, 0);
    EXPECT_EQ(r.text(out - 1, 1), QStringLiteral("Сад"));  // the children's last dish row: Сад, Суп
    EXPECT_NEAR(cached(r, out, 5), 1.78, 1e-9);
    EXPECT_EQ(r.formula(out + 2, 5), QStringLiteral("E%1+E%2").arg(out).arg(out + 1));
    EXPECT_EQ(r.text(out + 1, 1), QStringLiteral("Снятие (-) добавление (+)"));
    EXPECT_EQ(r.text(out + 1, 5), QString());

    const int staff = rowOf(r, QStringLiteral("выдано продуктов питания на сотрудников"));
    EXPECT_EQ(r.text(staff - 1, 1), QStringLiteral("Сотр"));
    EXPECT_EQ(r.formula(staff, 5), QStringLiteral("E%1").arg(staff - 1));
    EXPECT_EQ(r.formula(staff + 1, 5), QStringLiteral("E%1/5").arg(staff));
    EXPECT_NEAR(cached(r, staff + 1, 5), 0.03, 1e-9);
    const int fact = staff + 3;
    EXPECT_EQ(r.formula(fact + 1, 5), QStringLiteral("E%1+E%2").arg(out + 2).arg(fact));
    EXPECT_NEAR(cached(r, fact + 1, 5), 1.93, 1e-9);
    EXPECT_EQ(cells(r, fact + 2, 5, 3), (QStringList{"95", "60", "0"}));
    EXPECT_EQ(r.formula(fact + 3, 5), QStringLiteral("E%1*E%2").arg(fact + 1).arg(fact + 2));
    EXPECT_NEAR(cached(r, fact + 3, 5), 183.35, 1e-9);
    EXPECT_NEAR(cached(r, fact + 3, 6), 165, 1e-9);
    const int sum = rowOf(r, QStringLiteral("Итого на сумму, руб."));
    EXPECT_EQ(r.formula(sum, 4), QStringLiteral("SUM(E%1:G%1)").arg(fact + 3));
    EXPECT_NEAR(cached(r, sum, 4), 348.35, 1e-9);
}

TEST_F(MenuRequirementPrintFormTest, Okud0504202MoneyPerDishAndTheStaffBlock)
{
    XlsxReader r = print(MenuRequirementLayout::Okud0504202);
    EXPECT_TRUE(r.find(QStringLiteral("0504202")));
    const int e = rowOf(r, QStringLiteral("Коды категорий довольствующихся (группы)")) + 1;
    EXPECT_EQ(cells(r, e + 2, 1, 6), (QStringList{"Сотр", "0", "5", "0", "", "5"}));
    const int price = rowOf(r, QStringLiteral("Цена, руб"));
    const int dish = rowOf(r, QStringLiteral("Каша"));
    // 0.3 kg × 95 + 0.75 kg × 60 + 75 g × 0 = 73.5 for ten portions.
    EXPECT_EQ(r.formula(dish, 6), QStringLiteral("G%1*G%2+H%1*H%2+I%1*I%2").arg(dish).arg(price));
    EXPECT_NEAR(cached(r, dish, 6), 73.5, 1e-9);
    EXPECT_NEAR(cached(r, dish, 5), 7.35, 1e-9);
    EXPECT_TRUE(r.find(QStringLiteral("Для обслуживающего персонала")));
    const int staff = rowOf(r, QStringLiteral("на персонал"));
    EXPECT_NEAR(cached(r, staff, 7), 0.15, 1e-9);
    EXPECT_NEAR(cached(r, staff - 1, 7), 1.78, 1e-9);

    // Without staff lines the staff block goes; the staff total stays, at 0.
    db().exec(QStringLiteral("DELETE FROM MENUTR_POINT WHERE id_type_eating = ?1"), {this->staff});
    r = print(MenuRequirementLayout::Okud0504202);
    EXPECT_FALSE(r.find(QStringLiteral("Для обслуживающего персонала")));
    const int staffRow = rowOf(r, QStringLiteral("на персонал"));
    EXPECT_EQ(r.formula(staffRow, 7), QStringLiteral("0"));
    EXPECT_NEAR(cached(r, staffRow + 1, 7), 1.78, 1e-9);
}

TEST_F(MenuRequirementPrintFormTest, SettingsChangeTheForm)
{
    MenuRequirementPrintSettings s;
    s.groupByDish = true;
    s.sortByCode = true;
    s.perPortion = true;
    s.productNamesInHeader = false;
    s.repeatHeader = false;
    s.fontSize = 9;
    s.totalFontSize = 11;
    s.productTotalFontSize = 12;
    XlsxReader r = print(MenuRequirementLayout::Mechanised, s);
    EXPECT_FALSE(r.find(QStringLiteral("Наименование продуктов")));
    EXPECT_EQ(r.printTitles, QStringLiteral("'Лист1'!$A:$D"));
    const int codes = rowOf(r, QStringLiteral("Шифр продукта"));
    EXPECT_EQ(cells(r, codes, 5, 6), (QStringList{"", "", "001", "", "002", ""}));
    const int breakfast = rowOf(r, QStringLiteral("Завтрак"));
    EXPECT_EQ(r.rowTexts(breakfast + 1), (QStringList{"Ясли", "Каша", "10", "150", "8", "75", "30", "0.3", "75", "0.75"}));
    EXPECT_EQ(cells(r, breakfast + 2, 1, 2), (QStringList{"Сад", "Каша"}));
    EXPECT_EQ(cells(r, breakfast + 3, 1, 2), (QStringList{"Ясли", "Чай"}));
    EXPECT_DOUBLE_EQ(r.cell(breakfast + 1, 2)->fontSize, 9);
    EXPECT_DOUBLE_EQ(r.cell(breakfast + 1, 6)->fontSize, 11);
    const int all = r.lastRow();
    int totalRow = 0;
    for (int row = 1; row <= all; ++row)
        if (r.text(row, 1) == QStringLiteral("Всего") && r.formula(row, 6).startsWith(QStringLiteral("SUM")))
            totalRow = row;
    ASSERT_GT(totalRow, 0);
    EXPECT_DOUBLE_EQ(r.cell(totalRow, 6)->fontSize, 12);
    EXPECT_TRUE(r.cell(totalRow, 6)->bold);
    EXPECT_NEAR(cached(r, totalRow, 6), 785, 1e-9);

    // Without the quantity per portion the mechanised form has one column per product.
    r = print(MenuRequirementLayout::Mechanised);
    EXPECT_EQ(cells(r, rowOf(r, QStringLiteral("Наименование продуктов")), 5, 3),
              (QStringList{"Крупа", "Молоко", "Сахар"}));
}

TEST_F(MenuRequirementPrintFormTest, MessagesStatusTextsAndTheFile)
{
    RecordingOpener opener;
    const auto out = printed(MenuRequirementLayout::Form299);
    ASSERT_TRUE(out);
    const QString status = QStringLiteral("status: Идет создание печатной формы меню-требования...");
    const QString file = saved(QStringLiteral("Меню-требование на 05.12.2026 (7).xlsx"));
    EXPECT_EQ(prompt.events, (QStringList{status, status + "1%", status + "3%", status + "10%", status + "15%",
                                          status + "80%", status + "95%", status + "100%",
                                          "info: Печатная форма меню-требования выполнена и сохранена в файле \"" +
                                              file + "\"."}));
    EXPECT_EQ(QDir::toNativeSeparators(out->path), file);
    EXPECT_EQ(opener.opened.size(), 1);

    // No template: nothing is produced, nothing opened.
    prompt.clear();
    QFile::remove(QDir(app().appDir).filePath(QStringLiteral("Шаблоны/Меню-требование (ОКУД 0504202).xltx")));
    EXPECT_FALSE(printed(MenuRequirementLayout::Okud0504202));
    EXPECT_EQ(prompt.messages(), QStringList{QStringLiteral(
                                     "critical: Шаблон Меню-требования не найден! Он должен находиться в файле "
                                     "\"Меню-требование (ОКУД 0504202).xltx\" в папке \"Шаблоны\". Печать невозможна")});
    EXPECT_EQ(opener.opened.size(), 1);

    // A day-menu number with a character a file name cannot hold: it becomes a blank.
    prompt.clear();
    db().exec(QStringLiteral("UPDATE MENUTR SET nom_m = '7/2' WHERE IDM = ?1"), {document});
    const auto cleaned = printed(MenuRequirementLayout::Products);
    ASSERT_TRUE(cleaned);
    EXPECT_EQ(QDir::toNativeSeparators(cleaned->path), saved(QStringLiteral("Меню-требование на 05.12.2026 (7 2).xlsx")));
    EXPECT_TRUE(XlsxReader().open(cleaned->path));

    // "Документы" cannot be written: the form is made (and shown), the file is not kept.
    prompt.clear();
    const QString documents = QDir(app().appDir).filePath(QStringLiteral("Документы"));
    QDir(documents).removeRecursively();
    {
        QFile blocker(documents);
        ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    }
    const auto unsaved = printed(MenuRequirementLayout::Products);
    ASSERT_TRUE(unsaved);
    EXPECT_TRUE(unsaved->produced);
    EXPECT_TRUE(unsaved->path.isEmpty());
    EXPECT_EQ(prompt.messages(),
              QStringList{QStringLiteral("warning: Печатная форма меню-требования выполнена, но не сохранена в файле.")});

    // No eaters: refused before anything else.
    prompt.clear();
    db().exec(QStringLiteral("UPDATE quantity_eating SET quantity = 0"));
    EXPECT_FALSE(printed(MenuRequirementLayout::Products));
    EXPECT_EQ(prompt.events, QStringList{QStringLiteral(
                                 "warning: Невозможно сформировать меню-требование! Укажите количество довольствующихся!")});
}

} // namespace
} // namespace rat::test
