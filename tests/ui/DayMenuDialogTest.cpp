// The day-menu creation dialog offscreen: a day list open only while its box is ticked, the
// boxes of the other organisation locked while one is ticked, the day required for every ticked
// plan-menu, and the pairs in the order the boxes were ticked.

#include "menu/DayMenuFixture.h"

#include "ui/DayMenuCreateDialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QPushButton>

using namespace rat;

namespace {

class DayMenuDialog : public test::DayMenuFixture {
protected:
    void SetUp() override
    {
        DayMenuFixture::SetUp();
        a = planMenu(QStringLiteral("Весна"), 2);
        b = planMenu(QStringLiteral("Лето"), 2);
        c = planMenu(QStringLiteral("Категории"), 1);
        planMenu(QStringLiteral("Без дней"), 2);  // not offered
        a1 = day(a, QStringLiteral("День 1"));
        a2 = day(a, QStringLiteral("День 2"));
        b1 = day(b, QStringLiteral("Понедельник"));
        c1 = day(c, QStringLiteral("День 1"));
        prompt.clear();
    }

    std::vector<bool> enabled(const ui::DayMenuCreateDialog& d) const
    {
        std::vector<bool> out;
        for (const QCheckBox* box : d.checkBoxes())
            out.push_back(box->isEnabled());
        return out;
    }

    qint64 a = 0, b = 0, c = 0, a1 = 0, a2 = 0, b1 = 0, c1 = 0;
};

TEST_F(DayMenuDialog, OneBoxAndOneDayListPerPlanMenuWithDays)
{
    ui::DayMenuCreateDialog d(prompt, menu::planMenuOffers(db()));
    d.show();
    EXPECT_EQ(d.windowTitle(), QStringLiteral("Создание меню на день"));
    EXPECT_EQ(d.findChild<QGroupBox*>()->title(), QStringLiteral("Выберите плановые меню и день"));
    QStringList captions;
    for (const QCheckBox* box : d.checkBoxes())
        captions << box->text();
    EXPECT_EQ(captions, QStringList({QStringLiteral("Весна по приемам пищи"),
                                     QStringLiteral("Категории по категориям блюд"),
                                     QStringLiteral("Лето по приемам пищи")}));
    ASSERT_EQ(d.dayLists().size(), 3u);
    EXPECT_EQ(d.dayLists()[0]->count(), 2);
    EXPECT_EQ(d.dayLists()[0]->itemText(1), QStringLiteral("День 2"));
    for (const QComboBox* list : d.dayLists()) {
        EXPECT_FALSE(list->isEnabled());
        EXPECT_EQ(list->currentIndex(), -1);
    }
}

TEST_F(DayMenuDialog, TickingLocksTheOtherOrganisation)
{
    ui::DayMenuCreateDialog d(prompt, menu::planMenuOffers(db()));
    d.show();
    // Order: Весна (meals), Категории (categories), Лето (meals).
    d.checkBoxes()[0]->click();
    EXPECT_TRUE(d.dayLists()[0]->isEnabled());
    EXPECT_EQ(enabled(d), std::vector<bool>({true, false, true}));
    d.checkBoxes()[2]->click();
    EXPECT_EQ(enabled(d), std::vector<bool>({true, false, true}));
    d.checkBoxes()[0]->click();
    EXPECT_FALSE(d.dayLists()[0]->isEnabled());
    EXPECT_EQ(enabled(d), std::vector<bool>({true, false, true}));  // Лето still ticked
    d.checkBoxes()[2]->click();
    EXPECT_EQ(enabled(d), std::vector<bool>({true, true, true}));
    d.checkBoxes()[1]->click();
    EXPECT_EQ(enabled(d), std::vector<bool>({false, true, false}));
    EXPECT_TRUE(prompt.events.isEmpty());
}

TEST_F(DayMenuDialog, EveryTickedPlanMenuNeedsADay)
{
    ui::DayMenuCreateDialog d(prompt, menu::planMenuOffers(db()));
    d.show();
    QApplication::setActiveWindow(&d);
    d.checkBoxes()[2]->click();  // Лето first
    d.checkBoxes()[0]->click();
    d.dayLists()[2]->setCurrentIndex(0);
    d.okButton()->click();
    EXPECT_TRUE(d.isVisible());
    EXPECT_NE(d.result(), QDialog::Accepted);
    EXPECT_EQ(prompt.messages(),
              QStringList(QStringLiteral("warning: Необходимо обязательно выбрат из списка день у плана меню "
                                         "\"Весна по приемам пищи\" .")));
    EXPECT_EQ(QApplication::focusWidget(), d.dayLists()[0]);

    d.dayLists()[0]->setCurrentIndex(1);
    d.okButton()->click();
    EXPECT_EQ(d.result(), QDialog::Accepted);
    EXPECT_EQ(d.pairs(), (std::vector<menu::PlanDayPair>{{b, b1}, {a, a2}}));
    // An untick drops its pair.
    d.checkBoxes()[2]->click();
    EXPECT_EQ(d.pairs(), (std::vector<menu::PlanDayPair>{{a, a2}}));
}

} // namespace
