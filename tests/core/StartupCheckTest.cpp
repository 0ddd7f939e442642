// The consistency check made when a file is opened for work, and the start-up sequence around
// it: settings read, password asked, file opened or created.

#include "core/AppState.h"
#include "core/Database.h"
#include "core/DatabaseSession.h"
#include "core/Settings.h"
#include "core/Startup.h"
#include "core/StartupCheck.h"
#include "support/ScriptedPrompt.h"
#include "support/TestEnv.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QList>
#include <QString>
#include <QStringList>
#include <gtest/gtest.h>
#include <sqlite3.h>

using namespace rat;

namespace {

const QString kChecking = QStringLiteral("status: Выполняется проверка базы данных...");
const QString kRepairing = QStringLiteral("status: Выполняется устранение ошибок в базе данных...");

QList<qint64> column(Database& db, const QString& sql)
{
    QList<qint64> out;
    Statement st(db, sql);
    while (st.next())
        out << st.toInt64(0);
    return out;
}

qint64 count(Database& db, const QString& table)
{
    return db.scalar(QStringLiteral("SELECT count(*) FROM ") + table).toLongLong();
}

// The status texts of the check only, in the order shown.
QStringList checkStatuses(const QStringList& events)
{
    QStringList out;
    for (const QString& e : events)
        if (e == kChecking || e == kRepairing)
            out << e;
    return out;
}

class StartupCheckTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(createAndFillDatabase(session, env.path(QStringLiteral("check.db"))))
            << prompt.messages().join('\n').toStdString();
        prompt.clear();
    }

    Database& db() { return session.db(); }

    void dayMenu(qint64 id)
    {
        db().exec(QStringLiteral("INSERT INTO day_menu (id, ddate, status) VALUES (?1, '2024-03-11', 0)"), {id});
    }
    void header(qint64 idm)
    {
        db().exec(QStringLiteral("INSERT INTO MENUTR (IDM, date, status) VALUES (?1, '2024-03-11', 0)"), {idm});
    }
    void menu(qint64 idtm, qint64 idm, qint64 dayMenuId)
    {
        db().exec(QStringLiteral("INSERT INTO MENUTM (IDTM, IDM, ID_day_menu) VALUES (?1, ?2, ?3)"),
                  {idtm, idm, dayMenuId});
    }
    void line(qint64 idmp, qint64 idm)
    {
        db().exec(QStringLiteral("INSERT INTO MENUTR_POINT (IDMP, IDM, id_product, kol) VALUES (?1, ?2, 1, 1.5)"),
                  {idmp, idm});
    }
    void workingCopies()
    {
        db().exec(QStringLiteral("INSERT INTO MENUTR1 (IDM1, date, status) VALUES (1, '2024-03-11', 0)"));
        db().exec(QStringLiteral("INSERT INTO MENUTM1 (IDTM1, IDM1, ID_day_menu) VALUES (1, 1, 1)"));
        db().exec(QStringLiteral("INSERT INTO MENUTR_POINT1 (IDMP1, IDM1, id_product, kol) VALUES (1, 1, 1, 2)"));
        db().exec(QStringLiteral("INSERT INTO MENUTR_POINT1 (IDMP1, IDM1, id_product, kol) VALUES (2, 1, 2, 3)"));
    }
    void recipe(qint64 id, qint64 card, qint64 product, double brutto, double netto, const QVariant& comment)
    {
        db().exec(QStringLiteral("INSERT INTO recipes (id, id_card_recipes, id_product, brutto, netto, isComment, "
                                 "isVariant, id_MainCard, comment, isCard) VALUES (?1, ?2, ?3, ?4, ?5, 0, 0, NULL, ?6, 0)"),
                  {id, card, product, brutto, netto, comment});
    }
    void plan(qint64 id, qint64 day, qint64 eating, qint64 card, qint64 typeMeal)
    {
        db().exec(QStringLiteral("INSERT INTO plan_menu (id, id_day, id_eating, id_card_recipes, id_type_meal) "
                                 "VALUES (?1, ?2, ?3, ?4, ?5)"),
                  {id, day, eating, card, typeMeal});
    }

    QList<qint64> recipeIds() { return column(db(), QStringLiteral("SELECT id FROM recipes ORDER BY id")); }
    QList<qint64> planIds() { return column(db(), QStringLiteral("SELECT id FROM plan_menu ORDER BY id")); }

    test::TestEnv env;
    test::ScriptedPrompt prompt;
    DatabaseSession session{prompt};
};

TEST_F(StartupCheckTest, FileWithoutVersionStampIsLeftAlone)
{
    dayMenu(1);
    menu(1, 5, 99);  // an orphan that the check would otherwise remove
    header(6);
    workingCopies();
    for (qint64 id : {1, 2, 3, 4, 5, 6})
        recipe(id, 1, 1, 0.1, 0.08, QVariant());
    plan(1, 1, 1, 1, 1);
    plan(2, 1, 1, 1, 1);

    for (const QString& clearStamp : {QStringLiteral("UPDATE INF SET appMajor = NULL"), QStringLiteral("DELETE FROM INF")}) {
        SCOPED_TRACE(clearStamp.toStdString());
        db().exec(clearStamp);
        runStartupCheck(db(), prompt);
        EXPECT_TRUE(prompt.events.isEmpty()) << prompt.events.join('\n').toStdString();
        EXPECT_EQ(count(db(), QStringLiteral("MENUTM")), 1);
        EXPECT_EQ(count(db(), QStringLiteral("MENUTR")), 1);
        EXPECT_EQ(count(db(), QStringLiteral("MENUTR1")), 1);
        EXPECT_EQ(count(db(), QStringLiteral("MENUTM1")), 1);
        EXPECT_EQ(count(db(), QStringLiteral("MENUTR_POINT1")), 2);
        EXPECT_EQ(recipeIds().size(), 6);
        EXPECT_EQ(planIds().size(), 2);
    }
}

TEST_F(StartupCheckTest, BrokenRequirementsAreRemovedWholeOnesKept)
{
    dayMenu(1);
    dayMenu(2);
    // 10: whole, over two day menus.
    header(10);
    menu(100, 10, 1);
    menu(101, 10, 2);
    line(1000, 10);
    line(1001, 10);
    // 20: whole in its parts, but one of its day menus is gone.
    header(20);
    menu(200, 20, 2);
    menu(201, 20, 77);
    line(2000, 20);
    // 30: header and day menu, no lines.
    header(30);
    menu(300, 30, 1);
    // 40: day menu and lines, no header.
    menu(400, 40, 2);
    line(4000, 40);
    // 50: lines only.
    line(5000, 50);
    // 60: header and lines, no day menu.
    header(60);
    line(6000, 60);
    // 70: a header alone.
    header(70);
    workingCopies();

    runStartupCheck(db(), prompt);

    EXPECT_EQ(column(db(), QStringLiteral("SELECT IDM FROM MENUTR ORDER BY IDM")), QList<qint64>({10}));
    EXPECT_EQ(column(db(), QStringLiteral("SELECT IDTM FROM MENUTM ORDER BY IDTM")), QList<qint64>({100, 101}));
    EXPECT_EQ(column(db(), QStringLiteral("SELECT IDMP FROM MENUTR_POINT ORDER BY IDMP")),
              QList<qint64>({1000, 1001}));
    EXPECT_EQ(count(db(), QStringLiteral("day_menu")), 2);  // day menus themselves are not touched
    EXPECT_EQ(count(db(), QStringLiteral("MENUTR1")), 0);
    EXPECT_EQ(count(db(), QStringLiteral("MENUTM1")), 0);
    EXPECT_EQ(count(db(), QStringLiteral("MENUTR_POINT1")), 0);

    EXPECT_TRUE(prompt.messages().isEmpty()) << prompt.messages().join('\n').toStdString();
    // One repair status before each of the four orphan repairs; the clean-ups of equal lines
    // had nothing to do.
    EXPECT_EQ(checkStatuses(prompt.events), QStringList({kChecking, kRepairing, kRepairing, kRepairing, kRepairing}))
        << prompt.events.join('\n').toStdString();
}

TEST_F(StartupCheckTest, LinesOfOneRequirementFoundWhereverTheyStand)
{
    dayMenu(1);
    header(10);
    menu(100, 10, 1);
    // The lines of the orphan 0 stand after lines without a requirement and between the lines
    // of a whole one: every one of them is found.
    line(1000, 10);
    db().exec(QStringLiteral("INSERT INTO MENUTR_POINT (IDMP, IDM, id_product, kol) VALUES (1001, NULL, 1, 1)"));
    line(1002, 0);
    line(1003, 10);
    line(1004, 0);
    line(1005, 10);

    runStartupCheck(db(), prompt);

    EXPECT_EQ(column(db(), QStringLiteral("SELECT IDMP FROM MENUTR_POINT ORDER BY IDMP")),
              QList<qint64>({1000, 1001, 1003, 1005}));
}

// The keys of the requirement lines are read from their index; an index that is missing or
// that cannot hold every line's key (made or changed behind the program's back) is not trusted,
// and the lines themselves are read: orphan lines are found all the same.
TEST_F(StartupCheckTest, OrphanLinesAreFoundWhateverBecameOfTheLinesIndex)
{
    const QString drop = QStringLiteral("DROP INDEX [MENUTR_POINT.IDM]");
    const struct {
        const char* what;
        QString change;
    } cases[] = {
        {"the program's index", QString()},
        {"no index", drop},
        {"a partial index in its place",
         drop + QStringLiteral("; CREATE INDEX [MENUTR_POINT.IDM] ON MENUTR_POINT (IDM) WHERE IDM < 40")},
        {"an index of another column in its place",
         drop + QStringLiteral("; CREATE INDEX [MENUTR_POINT.IDM] ON MENUTR_POINT (id_product, IDM)")},
        {"an index of the keys as texts in its place",
         drop + QStringLiteral("; CREATE INDEX [MENUTR_POINT.IDM] ON MENUTR_POINT (IDM COLLATE NOCASE)")},
        {"an index of an expression in its place",
         drop + QStringLiteral("; CREATE INDEX [MENUTR_POINT.IDM] ON MENUTR_POINT (IDM + 0)")},
        {"a descending index in its place",
         drop + QStringLiteral("; CREATE INDEX [MENUTR_POINT.IDM] ON MENUTR_POINT (IDM DESC)")},
        {"the index and a partial one beside it",
         QStringLiteral("CREATE INDEX [MENUTR_POINT.A] ON MENUTR_POINT (IDM) WHERE IDM < 40")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        db().execScript(QStringLiteral("DELETE FROM MENUTR; DELETE FROM MENUTM; DELETE FROM MENUTR_POINT; "
                                       "DELETE FROM day_menu; DROP INDEX IF EXISTS [MENUTR_POINT.A]; "
                                       "DROP INDEX IF EXISTS [MENUTR_POINT.IDM]; "
                                       "CREATE INDEX [MENUTR_POINT.IDM] ON MENUTR_POINT (IDM)"));
        if (!c.change.isEmpty())
            db().execScript(c.change);
        dayMenu(1);
        header(10);
        menu(100, 10, 1);
        line(1000, 10);
        line(1001, 50);  // lines without a requirement, beyond what a partial index holds
        line(1002, 10);
        line(1003, 60);
        line(1004, 0);
        header(30);  // a header whose lines are gone
        menu(300, 30, 1);
        db().exec(QStringLiteral("INSERT INTO MENUTR_POINT (IDMP, IDM, id_product, kol) VALUES (1005, NULL, 1, 1)"));

        runStartupCheck(db(), prompt);

        EXPECT_EQ(column(db(), QStringLiteral("SELECT IDMP FROM MENUTR_POINT ORDER BY IDMP")),
                  QList<qint64>({1000, 1002, 1005}));
        EXPECT_EQ(column(db(), QStringLiteral("SELECT IDM FROM MENUTR ORDER BY IDM")), QList<qint64>({10}));
        EXPECT_EQ(column(db(), QStringLiteral("SELECT IDTM FROM MENUTM ORDER BY IDTM")), QList<qint64>({100}));
    }
}

// Pages this connection has written to the file since the last call.
int pagesWritten(Database& db)
{
    int current = 0, highest = 0;
    sqlite3_db_status(db.handle(), SQLITE_DBSTATUS_CACHE_WRITE, &current, &highest, 1);
    return current;
}

// An ordinary start with nothing to repair and the working copies already empty writes
// nothing to the file (emptying an empty table would still rewrite its page).
TEST_F(StartupCheckTest, CleanFileIsNotWrittenByTheCheck)
{
    dayMenu(1);
    header(10);
    menu(100, 10, 1);
    line(1000, 10);
    recipe(1, 1, 1, 0.1, 0.08, QVariant());
    plan(1, 1, 1, 1, 1);
    pagesWritten(db());

    runStartupCheck(db(), prompt);
    EXPECT_EQ(pagesWritten(db()), 0);

    workingCopies();
    pagesWritten(db());
    runStartupCheck(db(), prompt);
    EXPECT_GT(pagesWritten(db()), 0);
    EXPECT_EQ(count(db(), QStringLiteral("MENUTR_POINT1")), 0);
    EXPECT_EQ(count(db(), QStringLiteral("MENUTR_POINT")), 1);
}

TEST_F(StartupCheckTest, WholeRequirementsAndFewEqualLinesAreKept)
{
    dayMenu(1);
    header(10);
    menu(100, 10, 1);
    line(1000, 10);
    recipe(1, 1, 1, 0.1, 0.08, QVariant());
    recipe(2, 1, 1, 0.1, 0.08, QVariant());  // a pair of equal lines may be meant
    recipe(3, 1, 2, 0.05, 0.04, QVariant());
    plan(1, 1, 1, 1, 1);
    plan(2, 1, 2, 1, 1);

    runStartupCheck(db(), prompt);

    EXPECT_TRUE(prompt.messages().isEmpty());
    EXPECT_EQ(count(db(), QStringLiteral("MENUTR")), 1);
    EXPECT_EQ(count(db(), QStringLiteral("MENUTM")), 1);
    EXPECT_EQ(count(db(), QStringLiteral("MENUTR_POINT")), 1);
    EXPECT_EQ(recipeIds(), QList<qint64>({1, 2, 3}));
    EXPECT_EQ(planIds(), QList<qint64>({1, 2}));
}

TEST_F(StartupCheckTest, EmptyRequirementTablesSkipRepairsButStillCleanUp)
{
    workingCopies();
    for (qint64 id : {16, 11, 14, 12, 15, 13})
        recipe(id, 4, 7, 0.2, 0.15, QStringLiteral("нарезать"));
    plan(9, 3, 1, 4, 1);
    plan(5, 3, 1, 4, 1);

    runStartupCheck(db(), prompt);

    EXPECT_EQ(count(db(), QStringLiteral("MENUTR1")), 0);
    EXPECT_EQ(count(db(), QStringLiteral("MENUTM1")), 0);
    EXPECT_EQ(count(db(), QStringLiteral("MENUTR_POINT1")), 0);
    EXPECT_EQ(recipeIds(), QList<qint64>({11}));
    EXPECT_EQ(planIds(), QList<qint64>({5}));
    EXPECT_TRUE(prompt.messages().isEmpty());
    const QStringList statuses = checkStatuses(prompt.events);
    ASSERT_FALSE(statuses.isEmpty());
    EXPECT_EQ(statuses.front(), kChecking);
}

TEST_F(StartupCheckTest, NothingToRepairShowsNoRepairStatus)
{
    workingCopies();
    recipe(1, 1, 1, 0.1, 0.08, QVariant());
    plan(1, 1, 1, 1, 1);

    runStartupCheck(db(), prompt);

    EXPECT_EQ(checkStatuses(prompt.events), QStringList({kChecking})) << prompt.events.join('\n').toStdString();
    EXPECT_EQ(count(db(), QStringLiteral("MENUTR_POINT1")), 0);
}

TEST_F(StartupCheckTest, RecipeLineFiveTimesIsNotCleaned)
{
    for (qint64 id : {7, 3, 9, 4, 8})
        recipe(id, 1, 1, 0.1, 0.08, QVariant());
    recipe(12, 2, 5, 0.3, 0.25, QStringLiteral("отварить"));
    recipe(11, 2, 5, 0.3, 0.25, QStringLiteral("отварить"));

    runStartupCheck(db(), prompt);

    EXPECT_EQ(recipeIds(), QList<qint64>({3, 4, 7, 8, 9, 11, 12}));
    EXPECT_EQ(checkStatuses(prompt.events), QStringList({kChecking}));
}

TEST_F(StartupCheckTest, RecipeLineSixTimesReducesEveryDuplicateGroup)
{
    for (qint64 id : {7, 3, 9, 4, 8, 10})
        recipe(id, 1, 1, 0.1, 0.08, QVariant());
    recipe(12, 2, 5, 0.3, 0.25, QStringLiteral("отварить"));  // a pair
    recipe(11, 2, 5, 0.3, 0.25, QStringLiteral("отварить"));
    recipe(13, 1, 1, 0.1, 0.09, QVariant());                    // differs in netto only
    recipe(14, 1, 1, 0.1, 0.08, QStringLiteral("очистить"));    // differs in the comment only
    recipe(15, 3, 1, 0.1, 0.08, QVariant());                    // the same line on another card
    recipe(21, 2, 6, 0.02, 0.02, QVariant());                   // a pair with empty fields
    recipe(20, 2, 6, 0.02, 0.02, QVariant());
    plan(1, 1, 1, 1, 1);

    runStartupCheck(db(), prompt);

    EXPECT_EQ(recipeIds(), QList<qint64>({3, 11, 13, 14, 15, 20}));
    EXPECT_EQ(planIds(), QList<qint64>({1}));
    EXPECT_TRUE(prompt.messages().isEmpty());
    const QStringList statuses = checkStatuses(prompt.events);
    EXPECT_EQ(statuses, QStringList({kChecking, kRepairing})) << prompt.events.join('\n').toStdString();
}

TEST_F(StartupCheckTest, DuplicatePlanMenuEntriesKeepTheSmallestId)
{
    plan(8, 1, 1, 5, 1);
    plan(2, 1, 1, 5, 1);
    plan(6, 1, 1, 5, 1);
    plan(3, 1, 1, 6, 1);  // another dish
    plan(4, 1, 2, 5, 1);  // another meal
    plan(7, 1, 1, 5, 2);  // another dish type
    plan(10, 2, 1, 5, 1);
    plan(9, 2, 1, 5, 1);
    // Equal recipe pairs stay: the plan-menu clean-up does not reach the recipes.
    recipe(2, 1, 1, 0.1, 0.08, QVariant());
    recipe(1, 1, 1, 0.1, 0.08, QVariant());

    runStartupCheck(db(), prompt);

    EXPECT_EQ(planIds(), QList<qint64>({2, 3, 4, 7, 9}));
    EXPECT_EQ(recipeIds(), QList<qint64>({1, 2}));
    EXPECT_EQ(checkStatuses(prompt.events), QStringList({kChecking, kRepairing}))
        << prompt.events.join('\n').toStdString();
}

// ---- Start-up sequence --------------------------------------------------------------------

TEST(StartupSettings, RoundingDigitsComeFromTheSettingWithDefaultTwo)
{
    test::TestEnv env;
    app().roundingDigits = 7;
    readStartupSettings(QString());
    EXPECT_EQ(app().roundingDigits, 2);

    Settings::setText(QStringLiteral("Settings"), QStringLiteral("Округление"), QStringLiteral("3"));
    readStartupSettings(QString());
    EXPECT_EQ(app().roundingDigits, 3);

    // The setting is read like a typed number: only its leading digits count.
    Settings::setText(QStringLiteral("Settings"), QStringLiteral("Округление"), QStringLiteral("0 знаков"));
    readStartupSettings(QString());
    EXPECT_EQ(app().roundingDigits, 0);
}

TEST(StartupSettings, DatabasePathDefaultsToTheApplicationFolder)
{
    test::TestEnv env;
    app().dbPath.clear();
    readStartupSettings(QString());
    EXPECT_EQ(app().dbPath, app().appDir + QStringLiteral("/vektas.db"));
    EXPECT_EQ(app().helpPath, app().appDir + QStringLiteral("/Помощник/index.htm"));

    const QString configured = env.path(QStringLiteral("Базы/столовая.db"));
    Settings::setText(QStringLiteral("User"), QStringLiteral("DB"), configured);
    readStartupSettings(QString());
    EXPECT_EQ(app().dbPath, configured);

    const QString given = env.path(QStringLiteral("другая.db"));
    readStartupSettings(given);
    EXPECT_EQ(app().dbPath, given);
}

TEST(StartUp, NoPasswordSkipsLoginAndCreatesTheFile)
{
    for (const bool setEmpty : {false, true}) {
        SCOPED_TRACE(setEmpty ? "empty password set" : "no password setting");
        test::TestEnv env;
        if (setEmpty)
            Settings::setText(QStringLiteral("User"), QStringLiteral("Passw"), QString());
        readStartupSettings(QString());
        test::ScriptedPrompt prompt;
        DatabaseSession session(prompt);
        int asked = 0;
        EXPECT_EQ(startUp(session, prompt, [&] { ++asked; return false; }), StartupResult::Ready);
        EXPECT_EQ(asked, 0);
        EXPECT_TRUE(session.isOpen());
        EXPECT_TRUE(QFileInfo::exists(app().appDir + QStringLiteral("/vektas.db")));
        EXPECT_TRUE(prompt.messages().isEmpty()) << prompt.messages().join('\n').toStdString();
    }
}

TEST(StartUp, RefusedLoginLeavesTheFileAlone)
{
    test::TestEnv env;
    Settings::setText(QStringLiteral("User"), QStringLiteral("Passw"), QStringLiteral("секрет"));
    readStartupSettings(QString());
    test::ScriptedPrompt prompt;
    int asked = 0;
    const auto refuse = [&] { ++asked; return false; };

    // No file yet: none is created.
    {
        DatabaseSession session(prompt);
        EXPECT_EQ(startUp(session, prompt, refuse), StartupResult::LoginRefused);
        EXPECT_FALSE(session.isOpen());
    }
    EXPECT_EQ(asked, 1);
    EXPECT_FALSE(QFileInfo::exists(app().dbPath));
    EXPECT_TRUE(QDir(app().appDir).entryList({QStringLiteral("vektas*")}, QDir::Files).isEmpty());

    // An existing file: not opened, not a byte changed.
    {
        DatabaseSession maker(prompt);
        ASSERT_TRUE(createAndFillDatabase(maker, app().dbPath));
        maker.db().exec(QStringLiteral("INSERT INTO MENUTR1 (IDM1, status) VALUES (1, 0)"));
    }
    const QByteArray before = test::fileBytes(app().dbPath);
    ASSERT_FALSE(before.isEmpty());
    prompt.clear();
    {
        DatabaseSession session(prompt);
        EXPECT_EQ(startUp(session, prompt, refuse), StartupResult::LoginRefused);
        EXPECT_FALSE(session.isOpen());
    }
    EXPECT_EQ(asked, 2);
    EXPECT_TRUE(prompt.events.isEmpty()) << prompt.events.join('\n').toStdString();
    EXPECT_EQ(test::fileBytes(app().dbPath), before);
}

TEST(StartUp, ConfirmedLoginOpensAndChecksTheExistingFile)
{
    test::TestEnv env;
    Settings::setText(QStringLiteral("User"), QStringLiteral("Passw"), QStringLiteral("секрет"));
    readStartupSettings(QString());
    test::ScriptedPrompt prompt;
    {
        DatabaseSession maker(prompt);
        ASSERT_TRUE(createAndFillDatabase(maker, app().dbPath));
        maker.db().exec(QStringLiteral("INSERT INTO MENUTR1 (IDM1, status) VALUES (1, 0)"));
        maker.db().exec(QStringLiteral("INSERT INTO MENUTM1 (IDTM1, IDM1, ID_day_menu) VALUES (1, 1, 1)"));
    }
    prompt.clear();

    DatabaseSession session(prompt);
    int asked = 0;
    ASSERT_EQ(startUp(session, prompt, [&] { ++asked; return true; }), StartupResult::Ready);
    EXPECT_EQ(asked, 1);
    ASSERT_TRUE(session.isOpen());
    EXPECT_EQ(count(session.db(), QStringLiteral("MENUTR1")), 0);
    EXPECT_EQ(count(session.db(), QStringLiteral("MENUTM1")), 0);
    EXPECT_TRUE(prompt.messages().isEmpty()) << prompt.messages().join('\n').toStdString();
    EXPECT_EQ(checkStatuses(prompt.events).value(0), kChecking);
}

TEST(StartUp, NewFileCarriesTheOrganisationAndFirstUsers)
{
    test::TestEnv env;
    readStartupSettings(QString());
    test::ScriptedPrompt prompt;
    DatabaseSession session(prompt);
    ASSERT_EQ(startUp(session, prompt, StartupWay{}), StartupResult::Ready);
    Database& db = session.db();

    Statement inf(db, QStringLiteral("SELECT Naim, appMajor, appMinor, appRevision FROM INF"));
    ASSERT_TRUE(inf.next());
    EXPECT_EQ(inf.toString(0), QStringLiteral("Детский сад №2"));
    EXPECT_EQ(inf.toInt64(1), 10);
    EXPECT_EQ(inf.toInt64(2), 4);
    EXPECT_EQ(inf.toInt64(3), 4);
    EXPECT_FALSE(inf.next());

    Statement users(db, QStringLiteral("SELECT NAIM, ROLE FROM USERS ORDER BY ROLE"));
    QStringList rows;
    while (users.next())
        rows << users.toString(0) + QLatin1Char('/') + QString::number(users.toInt64(1));
    EXPECT_EQ(rows, QStringList({QStringLiteral("Оператор/1"), QStringLiteral("Пользователь/2")}));
    // The check ran on the new file.
    EXPECT_EQ(checkStatuses(prompt.events).value(0), kChecking);
}

} // namespace
