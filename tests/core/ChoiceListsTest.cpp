// The fixed choice lists: entries and codes, the two lists that depend on the organisation's
// switches, the stored values of lists 5 and 25, and the season suffix of a plan-menu.

#include "core/ChoiceLists.h"
#include "core/Database.h"
#include "core/DatabaseSession.h"
#include "support/ScriptedPrompt.h"
#include "support/TestEnv.h"
#include "support/ToolRun.h"

#include <QFile>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace rat;

namespace {

// "code text" per entry, for compact comparisons.
QStringList entries(int listNumber, const ChoiceFlags& flags = {})
{
    QStringList out;
    for (const ChoiceItem& item : choiceList(listNumber, flags))
        out << QString::number(item.code) + QLatin1Char(' ') + item.text;
    return out;
}

ChoiceFlags flagsOf(bool eatings, bool vestSkl)
{
    ChoiceFlags f;
    f.eatings = eatings;
    f.vestSkl = vestSkl;
    return f;
}

} // namespace

TEST(ChoiceLists, FixedListsInOrderWithTheirCodes)
{
    EXPECT_EQ(entries(44), (QStringList{"0 По приемам пищи", "1 По категориям блюд"}));
    EXPECT_EQ(entries(5), (QStringList{"0 час.", "1 сут.", "2 нед.", "3 мес.", "4 г."}));
    EXPECT_EQ(entries(16), (QStringList{"0 Администратор", "1 Оператор", "2 Пользователь"}));
    EXPECT_EQ(entries(25),
              (QStringList{"0 целых (1)", "1 десятых (1,5)", "2 сотых (1,55)", "3 тысячных (1,555)"}));
    EXPECT_EQ(entries(29), (QStringList{"0 Вперед", "1 Назад"}));
    EXPECT_EQ(entries(32), (QStringList{"1 Основная"}));
    EXPECT_EQ(entries(40), (QStringList{"0 Все", "1 Недостаток", "2 В достатке"}));
    EXPECT_EQ(entries(101), (QStringList{"0 Меню-требование №299", "1 Меню-требование №299-мех",
                                         "2 Меню-требование по ОКУД 0504202"}));
    EXPECT_EQ(entries(103), (QStringList{"0 Январь", "1 Февраль", "2 Март", "3 Апрель", "4 Май", "5 Июнь", "6 Июль",
                                         "7 Август", "8 Сентябрь", "9 Октябрь", "10 Ноябрь", "11 Декабрь"}));
    // The regulation in force comes first with code 4; the older third one has code 3: there is no code 2.
    EXPECT_EQ(entries(250), (QStringList{"4 СанПиН 2.3/2.4.3590-20", "0 СанПиН 2.4.5.2409-08", "1 СанПиН 2.4.4.3155-13",
                                         "3 СанПиН 2.4.2.3286-15"}));
    EXPECT_EQ(entries(251), (QStringList{"0 Детский сад", "1 Школа"}));
    EXPECT_EQ(entries(253), (QStringList{"0 Осенне-зимний", "1 Весенне-летний", "2 Весенний", "3 Летний",
                                         "4 Зимний", "5 Осенний", "6 Зимне-весенний", "7 Летне-осенний"}));
}

TEST(ChoiceLists, DaysOfAMonthCarryTheirOwnNumber)
{
    const auto days = choiceList(102, {});
    ASSERT_EQ(days.size(), 31u);
    for (int i = 0; i < 31; ++i) {
        EXPECT_EQ(days[i].code, i + 1);
        EXPECT_EQ(days[i].text, QString::number(i + 1));
    }
}

TEST(ChoiceLists, UnknownNumberGivesNoEntries)
{
    for (int n : {0, 1, 6, 100, 104, 249, 254, -5})
        EXPECT_TRUE(choiceList(n, flagsOf(true, true)).empty()) << n;
}

TEST(ChoiceLists, SwitchesOfTheOrganisationShapeTwoLists)
{
    // Costing: with stock accounting the latest delivery comes first and shifts the codes.
    EXPECT_EQ(entries(252, flagsOf(false, true)),
              (QStringList{"0 По последней поставке", "1 По плановой цене продуктов", "2 По плановой цене тех.карт"}));
    EXPECT_EQ(entries(252, flagsOf(true, false)),
              (QStringList{"0 По плановой цене продуктов", "1 По плановой цене тех.карт"}));
    // Documents by meals only when the organisation forms them so.
    EXPECT_EQ(entries(20, flagsOf(false, true)), QStringList{"0 категориям блюд"});
    EXPECT_EQ(entries(20, flagsOf(true, false)), (QStringList{"0 категориям блюд", "1 приемам пищи"}));
    // The other lists ignore the switches.
    EXPECT_EQ(entries(16, flagsOf(true, true)), entries(16, flagsOf(false, false)));
}

TEST(ChoiceLists, StorageUnitAndRoundingRuleStoreCodePlusOne)
{
    EXPECT_EQ(listCodeToStored(5, 0), 1);
    EXPECT_EQ(listCodeToStored(5, 4), 5);
    EXPECT_EQ(storedCodeToListCode(5, 5), 4);
    EXPECT_EQ(listCodeToStored(25, 0), 1);
    EXPECT_EQ(storedCodeToListCode(25, 4), 3);
    EXPECT_EQ(storedCodeToListCode(25, 1), 0);
    // Roles, months, forms and costing store the code itself.
    for (int list : {16, 103, 101, 252, 250}) {
        EXPECT_EQ(listCodeToStored(list, 3), 3) << list;
        EXPECT_EQ(storedCodeToListCode(list, 3), 3) << list;
    }
}

TEST(ChoiceLists, SeasonSuffixOfAPlanMenu)
{
    EXPECT_EQ(seasonSuffix(0), QString());
    EXPECT_EQ(seasonSuffix(1), QStringLiteral(" (осенне-зимний)"));
    EXPECT_EQ(seasonSuffix(2), QStringLiteral(" (весенне-летний)"));
    EXPECT_EQ(seasonSuffix(3), QStringLiteral(" (весенний)"));
    EXPECT_EQ(seasonSuffix(4), QStringLiteral(" (летний)"));
    EXPECT_EQ(seasonSuffix(5), QStringLiteral(" (зимний)"));
    EXPECT_EQ(seasonSuffix(6), QStringLiteral(" (осенний)"));
    EXPECT_EQ(seasonSuffix(7), QStringLiteral(" (зимне-весенний)"));
    EXPECT_EQ(seasonSuffix(8), QStringLiteral(" (летне-осенний)"));
    EXPECT_EQ(seasonSuffix(9), QStringLiteral(" (летне-осенний)"));
    EXPECT_EQ(seasonSuffix(-1), QStringLiteral(" (летне-осенний)"));
    // As read from the file: NULL and an empty text are no season.
    EXPECT_EQ(seasonSuffix(QVariant()), QString());
    EXPECT_EQ(seasonSuffix(QVariant(QString())), QString());
    EXPECT_EQ(seasonSuffix(QVariant(qint64(0))), QString());
    EXPECT_EQ(seasonSuffix(QVariant(qint64(4))), QStringLiteral(" (летний)"));
}

class ChoiceFlagsFile : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(session.createDatabase(env.path(QStringLiteral("flags.db"))));
        session.db().exec(QStringLiteral("DELETE FROM INF"));
    }

    void setFlags(const QVariant& eatings, const QVariant& vestSkl)
    {
        Database& db = session.db();
        db.exec(QStringLiteral("DELETE FROM INF"));
        db.exec(QStringLiteral("INSERT INTO INF (eatings, VestSkl) VALUES (?1, ?2)"), {eatings, vestSkl});
    }

    test::TestEnv env;
    test::ScriptedPrompt prompt;
    DatabaseSession session{prompt};
};

TEST_F(ChoiceFlagsFile, ReadFromTheOrganisationRecord)
{
    Database& db = session.db();
    // No organisation row: the switches' initial values, stock accounting on.
    ChoiceFlags f = readChoiceFlags(db);
    EXPECT_FALSE(f.eatings);
    EXPECT_TRUE(f.vestSkl);

    setFlags(true, false);  // stored -1 / 0
    f = readChoiceFlags(db);
    EXPECT_TRUE(f.eatings);
    EXPECT_FALSE(f.vestSkl);

    setFlags(0, 1);  // any non-zero is on
    f = readChoiceFlags(db);
    EXPECT_FALSE(f.eatings);
    EXPECT_TRUE(f.vestSkl);

    setFlags(QVariant(), -1);  // NULL is off
    f = readChoiceFlags(db);
    EXPECT_FALSE(f.eatings);
    EXPECT_TRUE(f.vestSkl);
}

// The tool's choice-list command, run as a separate process.
namespace {

using ListRun = rat::test::ToolRun;

ListRun runChoiceList(const QTemporaryDir& tmp, const QString& dbPath, const QStringList& args)
{
    ListRun r = rat::test::runTool(tmp.path(), dbPath, QStringList{QStringLiteral("choice-list")} + args);
    // The list only: the progress lines of opening the file are left out.
    r.lines.removeIf([](const QString& line) { return line.startsWith(QLatin1String("status: ")); });
    return r;
}

} // namespace

TEST(ChoiceListCommand, SwitchesFromOptionsOrFromTheFile)
{
    QTemporaryDir tmp;
    const QString missing = tmp.filePath(QStringLiteral("нет.db"));

    ListRun r = runChoiceList(tmp, missing, {"253"});
    EXPECT_EQ(r.exitCode, 0);
    ASSERT_EQ(r.lines.size(), 8);
    EXPECT_EQ(r.lines[0], QStringLiteral("0\tОсенне-зимний"));
    EXPECT_EQ(r.lines[7], QStringLiteral("7\tЛетне-осенний"));

    // Without a file both switches are off, and no file is made.
    EXPECT_EQ(runChoiceList(tmp, missing, {"252"}).lines,
              (QStringList{"0\tПо плановой цене продуктов", "1\tПо плановой цене тех.карт"}));
    EXPECT_FALSE(QFile::exists(missing));
    EXPECT_EQ(runChoiceList(tmp, missing, {"252", "--vestskl"}).lines,
              (QStringList{"0\tПо последней поставке", "1\tПо плановой цене продуктов", "2\tПо плановой цене тех.карт"}));
    EXPECT_EQ(runChoiceList(tmp, missing, {"--eatings", "20"}).lines,
              (QStringList{"0\tкатегориям блюд", "1\tприемам пищи"}));
    EXPECT_EQ(runChoiceList(tmp, missing, {"20"}).lines, QStringList{"0\tкатегориям блюд"});

    // An unknown list prints nothing; a list number that is no number is a usage error.
    r = runChoiceList(tmp, missing, {"999"});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_TRUE(r.lines.isEmpty());
    EXPECT_EQ(runChoiceList(tmp, missing, {"двадцать"}).exitCode, 2);
    EXPECT_EQ(runChoiceList(tmp, missing, {}).exitCode, 2);
    EXPECT_EQ(runChoiceList(tmp, missing, {"20", "252"}).exitCode, 2);

    // A file whose organisation works with stock accounting and documents by meals.
    const QString file = tmp.filePath(QStringLiteral("сад.db"));
    {
        test::ScriptedPrompt prompt;
        DatabaseSession session(prompt);
        ASSERT_TRUE(session.createDatabase(file));
        session.db().exec(QStringLiteral("DELETE FROM INF"));
        session.db().exec(QStringLiteral("INSERT INTO INF (eatings, VestSkl) VALUES (-1, -1)"));
    }
    r = runChoiceList(tmp, file, {"252"});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.lines,
              (QStringList{"0\tПо последней поставке", "1\tПо плановой цене продуктов", "2\tПо плановой цене тех.карт"}));
    EXPECT_EQ(runChoiceList(tmp, file, {"20"}).lines, (QStringList{"0\tкатегориям блюд", "1\tприемам пищи"}));
}
