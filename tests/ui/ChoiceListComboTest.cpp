// Drop-down lists filled with a fixed choice list.

#include "ui/ChoiceListCombo.h"

#include <QComboBox>
#include <gtest/gtest.h>

using namespace rat;

namespace {

ChoiceFlags stockAccounting()
{
    ChoiceFlags f;
    f.vestSkl = true;
    return f;
}

} // namespace

TEST(ChoiceListCombo, EntriesCarryTheirCodesAsItemData)
{
    QComboBox box;
    FillChoiceList(&box, 250, false, {});
    ASSERT_EQ(box.count(), 4);
    EXPECT_EQ(box.itemText(3), QStringLiteral("СанПиН 2.4.2.3286-15"));
    EXPECT_EQ(box.itemData(0).toInt(), 4);
    EXPECT_EQ(box.itemData(1).toInt(), 0);
    EXPECT_EQ(box.itemData(2).toInt(), 1);
    EXPECT_EQ(box.itemData(3).toInt(), 3);

    selectCode(&box, 3);
    EXPECT_EQ(box.currentIndex(), 3);
    EXPECT_EQ(box.currentText(), QStringLiteral("СанПиН 2.4.2.3286-15"));
    selectCode(&box, 2);  // no entry has code 2
    EXPECT_EQ(box.currentIndex(), -1);
}

TEST(ChoiceListCombo, RefillingReplacesUnlessKeepingTheEntries)
{
    QComboBox box;
    box.addItem(QStringLiteral("Все склады"), -1);
    FillChoiceList(&box, 252, false, stockAccounting());
    ASSERT_EQ(box.count(), 3);
    EXPECT_EQ(box.itemText(0), QStringLiteral("По последней поставке"));
    EXPECT_EQ(box.itemText(2), QStringLiteral("По плановой цене тех.карт"));
    EXPECT_EQ(box.itemData(2).toInt(), 2);

    // Without stock accounting the same entry has code 1.
    FillChoiceList(&box, 252, false, {});
    ASSERT_EQ(box.count(), 2);
    EXPECT_EQ(box.itemText(1), QStringLiteral("По плановой цене тех.карт"));
    EXPECT_EQ(box.itemData(1).toInt(), 1);

    // Keeping the entries appends after them.
    QComboBox kept;
    kept.addItem(QStringLiteral("Все склады"), -1);
    FillChoiceList(&kept, 29, true, {});
    ASSERT_EQ(kept.count(), 3);
    EXPECT_EQ(kept.itemText(0), QStringLiteral("Все склады"));
    EXPECT_EQ(kept.itemData(0).toInt(), -1);
    EXPECT_EQ(kept.itemText(1), QStringLiteral("Вперед"));
    EXPECT_EQ(kept.itemData(1).toInt(), 0);
    EXPECT_EQ(kept.itemText(2), QStringLiteral("Назад"));
    EXPECT_EQ(kept.itemData(2).toInt(), 1);
    FillChoiceList(&kept, 29, true, {});
    EXPECT_EQ(kept.count(), 5);

    // An unknown list empties the box and adds nothing.
    FillChoiceList(&kept, 7, false, {});
    EXPECT_EQ(kept.count(), 0);
}
