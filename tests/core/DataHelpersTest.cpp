// One value and the row count of a query, SQL literals, quantity rounding by the product's
// rule, worksheet and file names, the plain number form, and the tool's helper commands.

#include "core/Database.h"
#include "core/DataHelpers.h"
#include "core/DatabaseSession.h"
#include "support/ScriptedPrompt.h"
#include "support/TestEnv.h"
#include "support/ToolRun.h"

#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <cmath>
#include <gtest/gtest.h>

using namespace rat;

TEST(RoundQuantity, WholeRuleRoundsUp)
{
    EXPECT_EQ(RoundQuantity(2.01, 0), 3.0);
    EXPECT_EQ(RoundQuantity(2.0, 0), 2.0);
    EXPECT_EQ(RoundQuantity(0.001, 0), 1.0);
    EXPECT_EQ(RoundQuantity(0.0, 0), 0.0);
    // The binary noise of a computed whole number is no fractional part: (0.1 + 0.2) * 10 is
    // 3.0000000000000004 in binary.
    EXPECT_EQ(RoundQuantity((0.1 + 0.2) * 10, 0), 3.0);
    // Negative quantities round up as well (toward plus infinity), never to "-0".
    EXPECT_EQ(RoundQuantity(-2.5, 0), -2.0);
    EXPECT_EQ(RoundQuantity(-2.0, 0), -2.0);
    EXPECT_EQ(RoundQuantity(-0.5, 0), 0.0);
    EXPECT_FALSE(std::signbit(RoundQuantity(-0.5, 0)));
}

TEST(RoundQuantity, DecimalRulesKeepSmallQuantitiesVisible)
{
    EXPECT_EQ(RoundQuantity(0.125, 2), 0.12);  // half to the even neighbour
    EXPECT_EQ(RoundQuantity(0.135, 2), 0.14);
    EXPECT_EQ(RoundQuantity(2.675, 2), 2.68);  // the typed value, not its binary neighbour
    EXPECT_EQ(RoundQuantity(1.555, 2), 1.56);
    EXPECT_EQ(RoundQuantity(1.0005, 3), 1.0);
    EXPECT_EQ(RoundQuantity(1.26, 1), 1.3);
    EXPECT_EQ(RoundQuantity(0.0, 2), 0.0);
    // 2 and 3 places give 0, 4 places 0.0004.
    EXPECT_EQ(RoundQuantity(0.0004, 2), 0.0004);
    EXPECT_EQ(RoundQuantity(-0.0004, 2), -0.0004);
    // 0.005 to 2 places is 0 (half to even 0.00); 3 places show it.
    EXPECT_EQ(RoundQuantity(0.005, 2), 0.005);
    // 0.0000041 to 2..6 places: 0, 0, 0, 0, 0.000004.
    EXPECT_EQ(RoundQuantity(0.0000041, 2), 0.000004);
    // All five are zero: rounded to 7 places.
    EXPECT_EQ(RoundQuantity(0.00000041, 2), 0.0000004);
    EXPECT_EQ(RoundQuantity(0.00000004, 2), 0.0);
    EXPECT_EQ(RoundQuantity(0.000000051, 2), 0.0000001);
}

TEST(PlainNumber, ShortestDecimalFormWithoutExponent)
{
    EXPECT_EQ(plainNumber(3), QStringLiteral("3"));
    EXPECT_EQ(plainNumber(0.12), QStringLiteral("0.12"));
    EXPECT_EQ(plainNumber(0.0004), QStringLiteral("0.0004"));
    EXPECT_EQ(plainNumber(-1.5), QStringLiteral("-1.5"));
    EXPECT_EQ(plainNumber(0.0), QStringLiteral("0"));
    EXPECT_EQ(plainNumber(-0.0), QStringLiteral("0"));
    EXPECT_EQ(plainNumber(1234567), QStringLiteral("1234567"));
    EXPECT_EQ(plainNumber(1e20), QStringLiteral("100000000000000000000"));
    EXPECT_EQ(plainNumber(0.0000001), QStringLiteral("0.0000001"));
    EXPECT_EQ(plainNumber(123456.789), QStringLiteral("123456.789"));
    EXPECT_EQ(plainNumber(0.1 + 0.2), QStringLiteral("0.3"));
    EXPECT_EQ(plainNumber(1.0 / 3.0), QStringLiteral("0.333333333333333"));
    EXPECT_EQ(plainNumber(-2.0 / 3.0), QStringLiteral("-0.666666666666667"));
}

TEST(SqlText, QuotesDoubledAndNumberSuffixCut)
{
    EXPECT_EQ(SqlText(QStringLiteral("Каша \"Дружба\""), false), QStringLiteral("Каша \"\"Дружба\"\""));
    EXPECT_EQ(SqlText(QStringLiteral("\""), false), QStringLiteral("\"\""));
    EXPECT_EQ(SqlText(QStringLiteral("Меню №3"), false), QStringLiteral("Меню №3"));
    // The blank in front of "№" and everything from it on are dropped; then quotes doubled.
    EXPECT_EQ(SqlText(QStringLiteral("Меню №3"), true), QStringLiteral("Меню"));
    EXPECT_EQ(SqlText(QStringLiteral("Суп \"Лесной\" №12 от 01.09"), true), QStringLiteral("Суп \"\"Лесной\"\""));
    // Only the first "№" counts.
    EXPECT_EQ(SqlText(QStringLiteral("Акт №1 к №2"), true), QStringLiteral("Акт"));
    // Without "№" the text is kept whole.
    EXPECT_EQ(SqlText(QStringLiteral("Завтрак"), true), QStringLiteral("Завтрак"));
    // "№" at the first or second place leaves nothing.
    EXPECT_EQ(SqlText(QStringLiteral("№5"), true), QString());
    EXPECT_EQ(SqlText(QStringLiteral("А№5"), true), QString());
    EXPECT_EQ(SqlText(QString(), true), QString());
}

TEST(SheetName, ForbiddenCharactersRemovedAndCutTo31)
{
    const QString text = QStringLiteral("Меню-требование: группа Солнышко №1/2024");
    ASSERT_EQ(text.size(), 40);
    const QString name = SheetName(text);
    EXPECT_EQ(name, QStringLiteral("Меню-требование группа Солнышко"));
    EXPECT_EQ(name.size(), 31);
    EXPECT_FALSE(name.contains(QLatin1Char(':')));

    const QString forty = QStringLiteral("Ведомость: расход продуктов за сентябрь");
    ASSERT_EQ(forty.size(), 39);
    EXPECT_EQ(SheetName(forty + QLatin1Char('!')), QStringLiteral("Ведомость расход продуктов за с"));

    EXPECT_EQ(SheetName(QStringLiteral("a/b\\c?d:e*f[g]")), QStringLiteral("abcdef[g]"));
    EXPECT_EQ(SheetName(QStringLiteral("Лист")), QStringLiteral("Лист"));
}

TEST(FileNameText, EachForbiddenCharacterBecomesABlank)
{
    EXPECT_EQ(FileNameText(QStringLiteral("a*b|c\\d:e\"f<g>h?i/j")), QStringLiteral("a b c d e f g h i j"));
    EXPECT_EQ(FileNameText(QStringLiteral("Меню-требование №3 от 01.09.2024")),
              QStringLiteral("Меню-требование №3 от 01.09.2024"));
    EXPECT_EQ(FileNameText(QStringLiteral("**")), QStringLiteral("  "));
}

class QueryHelpers : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(session.createDatabase(env.path(QStringLiteral("helpers.db"))));
        Database& db = session.db();
        db.execScript(QStringLiteral("CREATE TABLE probe (id INTEGER, name TEXT, qty REAL, note TEXT)"));
        const char* insert = "INSERT INTO probe (id, name, qty, note) VALUES (?1, ?2, ?3, ?4)";
        db.exec(QString::fromUtf8(insert), {1, QStringLiteral("Каша \"Дружба\""), 0.12, QVariant()});
        db.exec(QString::fromUtf8(insert), {2, QStringLiteral("Суп"), 3.0, QStringLiteral("")});
        db.exec(QString::fromUtf8(insert), {3, QStringLiteral("Соль"), 0.00001, QStringLiteral("йод.")});
    }

    test::TestEnv env;
    test::ScriptedPrompt prompt;
    DatabaseSession session{prompt};
};

TEST_F(QueryHelpers, GetValueGivesTheFirstRowsFieldAsText)
{
    Database& db = session.db();
    const QString byId = QStringLiteral("SELECT * FROM probe WHERE id = ?1");
    EXPECT_EQ(GetValue(db, byId, QStringLiteral("name"), {1}), QStringLiteral("Каша \"Дружба\""));
    EXPECT_EQ(GetValue(db, byId, QStringLiteral("qty"), {1}), QStringLiteral("0.12"));
    EXPECT_EQ(GetValue(db, byId, QStringLiteral("qty"), {2}), QStringLiteral("3"));
    EXPECT_EQ(GetValue(db, byId, QStringLiteral("qty"), {3}), QStringLiteral("0.00001"));
    EXPECT_EQ(GetValue(db, byId, QStringLiteral("id"), {3}), QStringLiteral("3"));
    EXPECT_EQ(GetValue(db, byId, QStringLiteral("NOTE"), {3}), QStringLiteral("йод."));  // any case
    // The first row of several.
    EXPECT_EQ(GetValue(db, QStringLiteral("SELECT name FROM probe ORDER BY id DESC"), QStringLiteral("name")),
              QStringLiteral("Соль"));
    // A computed field by its alias.
    EXPECT_EQ(GetValue(db, QStringLiteral("SELECT SUM(qty) AS s FROM probe"), QStringLiteral("s")),
              QStringLiteral("3.12001"));
}

TEST_F(QueryHelpers, GetValueIsEmptyWhenNothingIsFound)
{
    Database& db = session.db();
    const QString byId = QStringLiteral("SELECT * FROM probe WHERE id = ?1");
    EXPECT_EQ(GetValue(db, byId, QStringLiteral("name"), {99}), QString());   // no row
    EXPECT_EQ(GetValue(db, byId, QStringLiteral("note"), {1}), QString());    // NULL
    EXPECT_EQ(GetValue(db, byId, QStringLiteral("absent"), {1}), QString());  // no such field
    EXPECT_EQ(GetValue(db, QStringLiteral("SELECT * FROM no_such_table"), QStringLiteral("name")), QString());
    EXPECT_EQ(GetValue(db, QStringLiteral("SELEKT name FROM probe"), QStringLiteral("name")), QString());
    // The connection stays usable after a failed query.
    EXPECT_EQ(GetValue(db, byId, QStringLiteral("name"), {2}), QStringLiteral("Суп"));
}

TEST_F(QueryHelpers, CountRowsCountsTheQueryRows)
{
    Database& db = session.db();
    EXPECT_EQ(CountRows(db, QStringLiteral("SELECT * FROM probe")), 3);
    EXPECT_EQ(CountRows(db, QStringLiteral("SELECT * FROM probe WHERE qty < ?1"), {1.0}), 2);
    EXPECT_EQ(CountRows(db, QStringLiteral("SELECT * FROM probe WHERE name = ?1"), {QStringLiteral("Хлеб")}), 0);
    EXPECT_EQ(CountRows(db, QStringLiteral("SELECT * FROM no_such_table")), 0);
    EXPECT_EQ(CountRows(db, QStringLiteral("SELECT * FROM probe WHERE")), 0);
    EXPECT_EQ(CountRows(db, QStringLiteral("SELECT * FROM probe WHERE id >= ?1"), {2}), 2);
}

// The tool's helper commands, run as a separate process.
namespace {

using HelperRun = rat::test::ToolRun;

HelperRun runTool(const QTemporaryDir& tmp, const QStringList& args)
{
    return rat::test::runTool(tmp.path(), tmp.filePath(QStringLiteral("none.db")), args);
}

} // namespace

TEST(HelperCommands, RoundPrintsOneResultPerPair)
{
    QTemporaryDir tmp;
    const HelperRun r = runTool(tmp, {QStringLiteral("round"), QStringLiteral("2.01"), QStringLiteral("0"),
                                      QStringLiteral("0.125"), QStringLiteral("2"), QStringLiteral("0.0004"),
                                      QStringLiteral("2"), QStringLiteral("-2.5"), QStringLiteral("0")});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.lines, (QStringList{"3", "0.12", "0.0004", "-2"}));

    for (const QStringList& bad : {QStringList{"round", "2,5", "1"}, QStringList{"round", "abc", "2"},
                                   QStringList{"round", "2.5", "x"}, QStringList{"round", "2.5"},
                                   QStringList{"round", "1", "0", "nan", "0"}, QStringList{"round"}}) {
        const HelperRun b = runTool(tmp, bad);
        EXPECT_EQ(b.exitCode, 2) << bad.join(' ').toStdString();
        EXPECT_TRUE(b.lines.isEmpty()) << bad.join(' ').toStdString();  // no partial results
    }
}

TEST(HelperCommands, NamesAndSqlText)
{
    QTemporaryDir tmp;
    EXPECT_EQ(runTool(tmp, {"sheet-name", "Меню-требование: группа Солнышко №1/2024"}).lines,
              QStringList{"Меню-требование группа Солнышко"});
    EXPECT_EQ(runTool(tmp, {"file-name", "Акт: \"Склад\" 1/2"}).lines, QStringList{"Акт   Склад  1 2"});
    EXPECT_EQ(runTool(tmp, {"sql-text", "Суп \"Лесной\" №12"}).lines, QStringList{"Суп \"\"Лесной\"\" №12"});
    EXPECT_EQ(runTool(tmp, {"sql-text", "Суп \"Лесной\" №12", "--cut"}).lines, QStringList{"Суп \"\"Лесной\"\""});
    EXPECT_EQ(runTool(tmp, {"sheet-name"}).exitCode, 2);
    EXPECT_EQ(runTool(tmp, {"file-name", "a", "b"}).exitCode, 2);
    EXPECT_EQ(runTool(tmp, {"sql-text", "--cut"}).exitCode, 2);
}
