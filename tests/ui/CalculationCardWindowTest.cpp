// "Калькуляционная карточка" offscreen: the calculation view prints its chosen card and the card
// list its current card, each after asking the date of the prices.

#include "documents/PrintFixture.h"
#include "menu/DayMenuFixture.h"

#include "documents/XlsxReader.h"
#include "refbooks/BookCatalogue.h"
#include "ui/BookListWindow.h"
#include "ui/BookWindows.h"

#include <QAction>
#include <QComboBox>
#include <QToolBar>

using namespace rat;

namespace {

class CalcCardWin : public test::DayMenuFixture {
protected:
    void SetUp() override
    {
        DayMenuFixture::SetUp();
        ASSERT_TRUE(test::installTemplate(QStringLiteral("Калькуляционная карточка")));
        ui::installCardWindows();
        const qint64 plan = planMenu(QStringLiteral("Зима"), 2);
        const qint64 garden = eaterType(plan, QStringLiteral("Сад"));
        card(QStringLiteral("Блины"));
        porridge = card(QStringLiteral("Каша"), category(QStringLiteral("Каши")));  // Крупа 60 g gross per 100 g
        yield(porridge, garden, 200);
        const qint64 r = insert(QStringLiteral("INSERT INTO receipt (rdate, status) VALUES ('2026-11-01', -1)"));
        db().exec(QStringLiteral("INSERT INTO storage (id_product, quantity, id_receipt, cost, id_ed_izmer, status) "
                                 "VALUES (?1, 1, ?2, 90, 901, 0)"),
                  {lineProduct, r});
    }
    QString savedPath() const
    {
        const QStringList m = prompt.messages();
        const QString saved = m.isEmpty() ? QString() : m.back();
        const qsizetype q = saved.indexOf(u'"');
        return q < 0 ? QString() : saved.mid(q + 1, saved.size() - q - 3);
    }
    // Prints through the window's command and checks the Каша portion: 120 g at 90 a kg = 10.80.
    void printFrom(ui::BookListWindow& w)
    {
        QAction* print = w.action(QStringLiteral("keyKalk"));
        ASSERT_NE(print, nullptr);
        EXPECT_EQ(print->text(), QStringLiteral("Калькуляционная карточка"));
        EXPECT_TRUE(w.toolBar()->actions().contains(print));
        prompt.clear();
        prompt.inputs = {QStringLiteral("05.12.2026")};
        print->trigger();
        ASSERT_EQ(prompt.messages().size(), 2) << prompt.messages().join(u'\n').toStdString();
        EXPECT_EQ(prompt.messages()[0], "input: Дата => 05.12.2026");
        documents::XlsxReader r;
        ASSERT_TRUE(r.open(savedPath())) << savedPath().toStdString();
        EXPECT_EQ(r.text(5, 1), "Наименование блюда: Каша");
        EXPECT_EQ(r.rowTexts(11), (QStringList{"1", "Крупа", "кг", "0.12", "90", "10.8"}));
        EXPECT_DOUBLE_EQ(*r.number(12, 6), 10.8);
    }
    qint64 porridge = 0;
};

} // namespace

TEST_F(CalcCardWin, CalculationViewPrintsItsCard)
{
    ui::BookListWindow w(db(), prompt, books::entryCardCalculation);
    w.show();
    ASSERT_NE(w.parentFilter(), nullptr);
    for (int i = 0; i < w.parentFilter()->count(); ++i)
        if (w.parentFilter()->itemText(i).trimmed().startsWith(QStringLiteral("Каша")))
            w.parentFilter()->setCurrentIndex(i);
    ASSERT_EQ(w.parentId(), porridge);
    printFrom(w);
}

TEST_F(CalcCardWin, CardListPrintsTheCurrentCard)
{
    ui::BookListWindow w(db(), prompt, books::entryCards);
    w.show();
    ASSERT_NE(w.parentFilter(), nullptr);
    w.parentFilter()->setCurrentIndex(w.parentFilter()->findText(QStringLiteral("Каши")));
    ASSERT_TRUE(w.selectId(porridge));
    printFrom(w);
}
