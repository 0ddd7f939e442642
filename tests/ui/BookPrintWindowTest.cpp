// The print commands of a list window offscreen: PrintV on the seasonal-loss book asks its
// question and prints the chosen product's periods; PrintV1 prints the selected rows only.

#include "documents/PrintFixture.h"
#include "menu/DayMenuFixture.h"

#include "documents/XlsxReader.h"
#include "refbooks/BookCatalogue.h"
#include "ui/BookListWindow.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QItemSelectionModel>
#include <QTableView>
#include <QToolBar>

using namespace rat;

namespace {

class BookPrintWin : public test::DayMenuFixture {
protected:
    void SetUp() override
    {
        DayMenuFixture::SetUp();
        ASSERT_TRUE(test::installTemplate(QStringLiteral("Список")));
    }
    QString savedPath() const
    {
        const QStringList m = prompt.messages();
        const QString saved = m.isEmpty() ? QString() : m.back();
        const qsizetype q = saved.indexOf(u'"');
        return q < 0 ? QString() : saved.mid(q + 1, saved.size() - q - 3);
    }
};

} // namespace

TEST_F(BookPrintWin, SeasonalBookPrintsTheChosenProductOnNo)
{
    db().exec(QStringLiteral("DELETE FROM SEZON"));
    const qint64 potato = product(QStringLiteral("Картофель"));
    const qint64 carrot = product(QStringLiteral("Морковь"));
    insert(QStringLiteral("INSERT INTO SEZON (id_PRODUCT, DAY_N, MES_N, DAY_O, MES_O, PROZ) VALUES (?1, 1, 8, 31, 9, 20), "
                          "(?2, 1, 0, 28, 1, 30)"),
           {potato, carrot});
    ui::BookListWindow w(db(), prompt, books::entrySeasonalLosses);
    w.show();
    QAction* print = w.action(QStringLiteral("PrintV"));
    ASSERT_NE(print, nullptr);
    EXPECT_EQ(print->text(), QStringLiteral("Печать"));
    EXPECT_TRUE(w.toolBar()->actions().contains(print));
    ASSERT_NE(w.parentFilter(), nullptr);
    w.parentFilter()->setCurrentIndex(w.parentFilter()->findText(QStringLiteral("Морковь")));

    prompt.clear();
    prompt.answers = {Answer::No};
    print->trigger();
    ASSERT_EQ(prompt.messages().size(), 2) << prompt.messages().join(u'\n').toStdString();
    EXPECT_TRUE(prompt.messages()[0].endsWith(QStringLiteral("\"Отмена\" - не печатать. => Нет")));
    documents::XlsxReader r;
    ASSERT_TRUE(r.open(savedPath())) << savedPath().toStdString();
    EXPECT_EQ(r.rowTexts(6), (QStringList{"Морковь", "1.01", "28.02", "30"}));
    EXPECT_EQ(r.lastRow(), 6);

    prompt.clear();
    prompt.answers = {Answer::Cancel};
    print->trigger();
    EXPECT_EQ(prompt.messages().size(), 1);
}

TEST_F(BookPrintWin, PrintSelectedRowsOnly)
{
    category(QStringLiteral("Супы"));
    category(QStringLiteral("Каши"));
    category(QStringLiteral("Напитки"));
    ui::BookListWindow w(db(), prompt, books::entryDishCategories);
    w.show();
    ASSERT_EQ(w.grid()->model()->rowCount(), 3);  // Каши, Напитки, Супы
    w.selectRow(2);
    w.grid()->selectionModel()->select(w.grid()->model()->index(0, 0),
                                       QItemSelectionModel::Select | QItemSelectionModel::Rows);
    QAction* selected = w.action(QStringLiteral("PrintV1"));
    ASSERT_NE(selected, nullptr);
    prompt.clear();
    selected->trigger();
    documents::XlsxReader r;
    ASSERT_TRUE(r.open(savedPath())) << prompt.messages().join(u'\n').toStdString();
    EXPECT_EQ(r.rowTexts(3), QStringList{"Категории блюд"});
    EXPECT_EQ(r.rowTexts(5), QStringList{"Наименование"});
    EXPECT_EQ(r.rowTexts(6), QStringList{"Каши"});
    EXPECT_EQ(r.rowTexts(7), QStringList{"Супы"});
    EXPECT_EQ(r.lastRow(), 7);

    // PrintV: the whole list, without the hidden key column.
    prompt.clear();
    w.action(QStringLiteral("PrintV"))->trigger();
    ASSERT_TRUE(r.open(savedPath()));
    EXPECT_EQ(r.rowTexts(5), QStringList{"Наименование"});
    EXPECT_EQ(r.lastRow(), 8);
}
