// A new database made ready for work: the answers about the institution (remembered, summed
// up), the organisation row and users, the collection and regulation chosen, the stay time
// choosing the norms, the plan-menu filled or left empty and cut to the cycle, the sample
// documents of a few working days; through the headless tool on a fresh folder, and through the
// start-up of a missing file.

#include "ExchangeTestSupport.h"
#include "core/AppState.h"
#include "core/DatabaseSession.h"
#include "core/Settings.h"
#include "core/Startup.h"
#include "exchange/NewDatabase.h"
#include "support/ScriptedPrompt.h"
#include "support/TestEnv.h"
#include "support/ToolRun.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace rat;
using namespace rat::exchange;

namespace {


QByteArray products()
{
    return test::xml(QStringLiteral(
        "<entities><ed_izmers><ed_izmer><ename>кг</ename><koef>1000</koef></ed_izmer></ed_izmers>"
        "<eatings><eating><ename>Завтрак</ename><time>08:30</time></eating><eating><ename>Обед</ename><time>12:00</time></eating></eatings>"
        "<products><product><pname>Крупа манная</pname><ename>кг</ename><products_group>Крупы</products_group>"
        "<protein>10,3</protein></product>"
        "<product><pname>Молоко</pname><ename>кг</ename><products_group>Молочные</products_group><plpris>800</plpris></product>"
        "<product><pname>Масло сливочное</pname><ename>кг</ename><products_group>Молочные</products_group>"
        "<plpris>3500</plpris></product></products>"
        "</entities>"));
}

QByteArray norms(const QString& time, int nfat)
{
    return test::xml(QStringLiteral("<entities><sanpin>СанПиН 2.3/2.4.3590-20</sanpin><time>%1</time>"
                                    "<type_eating><shname>Сад</shname><ename>Дети от 3 до 7 лет</ename><status>true</status>"
                                    "<type_menu><tname>Основное меню</tname><sezon>0</sezon></type_menu>"
                                    "<fnorms><nfat>%2</nfat></fnorms>"
                                    "<normss><norms><gname>Крупы</gname><norm>43</norm><pname>Крупа манная</pname></norms></normss>"
                                    "</type_eating></entities>")
                         .arg(time)
                         .arg(nfat));
}

// A collection of two cards and a ten-day plan-menu, one dish a day.
QByteArray collection(const QString& name)
{
    QString plans;
    for (int day = 1; day <= 10; ++day)
        plans += QStringLiteral("<planStr><type_menu_Name>Основное меню</type_menu_Name><day>%1 день</day>"
                                "<eating><ename>Завтрак</ename></eating><type_meal><tname>Каши</tname></type_meal>"
                                "<cards><cname>%2</cname><number>%3</number></cards></planStr>")
                     .arg(day)
                     .arg(day % 2 ? QStringLiteral("Каша манная") : QStringLiteral("Молоко кипяченое"))
                     .arg(day % 2 ? 1 : 2);
    return test::xml(QStringLiteral("<entities><name>%1</name>"
                                    "<type_eating><shname>Сад</shname><ename>Дети от 3 до 7 лет</ename><status>true</status>"
                                    "<type_menu><tname>Основное меню</tname><sezon>0</sezon></type_menu></type_eating>"
                                    "<recipe><name>Каша манная</name><number>1</number><type>Каши</type>"
                                    "<author><namev>%1</namev><namesh>%1</namesh></author>"
                                    "<weight><type>Сад</type><output1>200</output1></weight>"
                                    "<ingredient><name>Крупа манная</name><brutto>6</brutto><netto>6</netto></ingredient>"
                                    "<ingredient><name>Молоко</name><brutto>70</brutto><netto>70</netto></ingredient></recipe>"
                                    "<recipe><name>Молоко кипяченое</name><number>2</number><type>Напитки</type>"
                                    "<author><namev>%1</namev><namesh>%1</namesh></author>"
                                    "<ingredient><name>Молоко</name><brutto>100</brutto><netto>100</netto></ingredient></recipe>"
                                    "<plans>%2</plans></entities>")
                         .arg(name, plans));
}

bool writeStandardArchive(const QString& path, const QString& collectionName)
{
    return test::writeZip(path, {{"Продукты.xml", products()},
                                 {"СанПиН_9.xml", norms(QStringLiteral("9"), 9)},
                                 {"СанПиН_12.xml", norms(QStringLiteral("12"), 12)},
                                 {"СанПиН_24.xml", norms(QStringLiteral("24"), 24)},
                                 {"Сборник.xml", collection(collectionName)}});
}

QStringList messageLines(const QStringList& lines)
{
    QStringList out;
    for (const QString& l : lines)
        if (!l.startsWith(QLatin1String("status: ")))
            out << l;
    return out;
}

class NewDatabaseTool : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(tmp.isValid());
        ASSERT_TRUE(QDir().mkpath(examples()));
    }

    QString examples() const { return tmp.filePath(QStringLiteral("app/Примеры")); }
    QString dbPath() const { return tmp.filePath(QStringLiteral("новая.db")); }
    test::ToolRun run(const QStringList& args) const
    {
        return test::runTool(tmp.path(), dbPath(), QStringList{QStringLiteral("new-database")} + args);
    }
    static std::string dump(const test::ToolRun& r) { return (r.lines.join('\n') + "\n--\n" + r.err).toStdString(); }

    // The new file, opened as the program opens a file for work.
    struct Opened {
        test::ScriptedPrompt prompt;
        DatabaseSession session{prompt};
    };
    std::unique_ptr<Opened> open() const
    {
        auto o = std::make_unique<Opened>();
        EXPECT_TRUE(o->session.openDatabase(dbPath(), false)) << o->prompt.messages().join('\n').toStdString();
        return o;
    }

    QTemporaryDir tmp;
};

TEST_F(NewDatabaseTool, AFreshFolderGetsAFilledFileWithTheChosenAnswers)
{
    ASSERT_TRUE(writeStandardArchive(QDir(examples()).filePath(QStringLiteral("a.zip")), QStringLiteral("Другой сборник")));
    ASSERT_TRUE(writeStandardArchive(QDir(examples()).filePath(QStringLiteral("b.zip")), QStringLiteral("Сборник сада")));
    const test::ToolRun r = run({"--week", "6", "--stay", "9", "--cycle", "7", "--plan", "filled", "--collection", "2"});
    ASSERT_EQ(r.exitCode, 0) << dump(r);
    EXPECT_EQ(messageLines(r.lines),
              QStringList{"info: База данных создана с параметрами: 6-рабочая неделя учреждения, время пребывания детей "
                          "равно 9-10,5 часов, план-меню будет заполнен."})
        << dump(r);

    const auto o = open();
    Database& db = o->session.db();
    EXPECT_EQ(db.scalar("SELECT appMajor || '.' || appMinor || '.' || appRevision FROM INF").toString(), QStringLiteral("10.4.4"));
    EXPECT_EQ(db.scalar("SELECT Naim || '|' || FamDir || '|' || REF || '|' || AREF || '|' || ASEC || '|' || norms || '|' || "
                        "eatings || '|' || [5week] || '|' || NewSanpin FROM INF")
                  .toString(),
              QStringLiteral("Детский сад №2|Иванова|0|0|0|-1|-1|0|4"));
    EXPECT_EQ(test::rows(db, QStringLiteral("INF")), 1);
    EXPECT_EQ(test::joinedRows(db, "SELECT NAIM || ':' || ROLE || ':' || PSSW FROM USERS ORDER BY IDU", {}, " ").toString(),
              QStringLiteral("Оператор:1: Пользователь:2:"));
    EXPECT_EQ(db.scalar("SELECT count(*) FROM USERS WHERE ROLE = 0").toInt(), 0);

    // The second collection, the norms of the 9-hour stay, seven of the ten plan days.
    EXPECT_EQ(test::joinedRows(db, "SELECT namev FROM RECEPTUR ORDER BY ID", {}, ", ").toString(), QStringLiteral("Сборник сада"));
    EXPECT_EQ(test::rows(db, QStringLiteral("products")), 3);
    EXPECT_EQ(test::rows(db, QStringLiteral("card_recipes")), 2);
    EXPECT_EQ(test::rows(db, QStringLiteral("norms")), 1);
    EXPECT_EQ(db.scalar("SELECT nfat FROM FNORMS").toInt(), 9);
    EXPECT_EQ(test::rows(db, QStringLiteral("days")), 7);
    EXPECT_EQ(test::rows(db, QStringLiteral("plan_menu")), 7);
}

TEST_F(NewDatabaseTool, SampleDocumentsOfAFewWorkingDays)
{
    ASSERT_TRUE(writeStandardArchive(QDir(examples()).filePath(QStringLiteral("a.zip")), QStringLiteral("Сборник")));
    const test::ToolRun r = run({"--today", "2026-03-10"});
    ASSERT_EQ(r.exitCode, 0) << dump(r);
    const auto o = open();
    Database& db = o->session.db();
    const auto rows = [&](const char* sql) { return test::joinedRows(db, QString::fromUtf8(sql), {}, " ").toString().toStdString(); };
    // The first three plan days with a dish served (days 1, 3 and 5: semolina porridge, 200 g for
    // 20 children), the two before today issued.
    EXPECT_EQ(rows("SELECT ddate || ':' || status || ':' || printf('%g', sum) FROM day_menu ORDER BY ddate"),
              std::string("2026-03-08:-1:2264 2026-03-09:-1:2264 2026-03-10:0:2264"));
    EXPECT_EQ(rows("SELECT idd_tm FROM day_menu ORDER BY ddate"), std::string("1*1 1*3 1*5"));
    EXPECT_EQ(rows("SELECT SUM(quantity) FROM quantity_eating"), std::string("60"));
    EXPECT_EQ(rows("SELECT r.date || ':' || r.status || ':' || printf('%g', r.stoim) FROM MENUTR r ORDER BY r.date"),
              std::string("2026-03-08:-1:2264 2026-03-09:-1:2264 2026-03-10:0:2264"));
    // Semolina 12 g and milk 140 g a portion: 0.24 and 2.8 kg a day, 0.72 and 8.4 for three, 20 % more ordered.
    EXPECT_EQ(rows("SELECT o.odate || ':' || o.status || ':' || o.status1 || ':' || printf('%g', o.sum) FROM orders o"),
              std::string("2026-03-06:-1:-1:8170"));
    EXPECT_EQ(rows("SELECT p.pname || '=' || printf('%g', l.quantity1) || '*' || printf('%g', l.cost) FROM order_point l JOIN products p ON "
                   "p.id = l.id_product ORDER BY p.pname"),
              std::string("Крупа манная=0.9*100 Молоко=10.1*800"));
    EXPECT_EQ(rows("SELECT r.rdate || ':' || r.status || ':' || printf('%g', r.sum) FROM receipt r"), std::string("2026-03-07:-1:15170"));
    EXPECT_EQ(rows("SELECT p.pname || '=' || printf('%g', s.quantity) || '*' || printf('%g', s.cost) || ':' || s.date_realization FROM storage s "
                   "JOIN products p ON p.id = s.id_product ORDER BY p.pname"),
              std::string("Крупа манная=0.9*100:2026-03-17 Масло сливочное=2*3500:2026-03-09 "
                             "Молоко=10.1*800:2026-03-17"));
    // Each issued day: 0.24 × 100 + 2.8 × 800.
    EXPECT_EQ(rows("SELECT d.ddate || ':' || d.status || ':' || printf('%g', d.sum) || ':' || (SELECT group_concat(printf('%g', x.quantity), '+') FROM "
                   "expense x WHERE x.id_expence_docum = d.id) FROM expence_docum d ORDER BY d.ddate"),
              std::string("2026-03-08:-1:2264:0.24+2.8 2026-03-09:-1:2264:0.24+2.8"));
    // The butter expired yesterday: written off today.
    EXPECT_EQ(rows("SELECT w.wdate || ':' || w.status || ':' || printf('%g', w.sum) || ':' || printf('%g', x.quantity) || ':' || x.why FROM spisanie w "
                   "JOIN spisanie_point x ON x.id_spisanie = w.id"),
              std::string("2026-03-10:-1:7000:2:Истек срок реализации"));
    EXPECT_EQ(test::rows(db, QStringLiteral("MENUTR1")), 0);
}

TEST_F(NewDatabaseTool, DefaultAnswersAndAnEmptyPlanMenu)
{
    ASSERT_TRUE(writeStandardArchive(QDir(examples()).filePath(QStringLiteral("a.zip")), QStringLiteral("Первый")));
    ASSERT_TRUE(writeStandardArchive(QDir(examples()).filePath(QStringLiteral("b.zip")), QStringLiteral("Второй")));
    const test::ToolRun r = run({"--plan", "empty"});
    ASSERT_EQ(r.exitCode, 0) << dump(r);
    // With several collections and none named, the person is asked; no answer takes the first.
    EXPECT_EQ(messageLines(r.lines),
              (QStringList{"info: База данных создана с параметрами: 5-рабочая неделя учреждения, время пребывания детей "
                           "равно 12 часов, план-меню будет пуст.",
                           "choose: Сборник рецептур => "}))
        << dump(r);
    const auto o = open();
    Database& db = o->session.db();
    EXPECT_EQ(db.scalar("SELECT [5week] FROM INF").toInt(), -1);
    EXPECT_EQ(db.scalar("SELECT namev FROM RECEPTUR").toString(), QStringLiteral("Первый"));
    EXPECT_EQ(db.scalar("SELECT nfat FROM FNORMS").toInt(), 12);
    EXPECT_EQ(test::rows(db, QStringLiteral("card_recipes")), 2);
    EXPECT_EQ(test::rows(db, QStringLiteral("plan_menu")), 0);
    EXPECT_EQ(test::rows(db, QStringLiteral("days")), 0);

    // The file is not made a second time.
    const QByteArray before = test::fileBytes(dbPath());
    const test::ToolRun again = run({"--stay", "24"});
    EXPECT_EQ(again.exitCode, 1) << dump(again);
    EXPECT_EQ(messageLines(again.lines),
              QStringList("critical: Файл базы данных " + QDir::toNativeSeparators(dbPath()) +
                          " уже существует. Выберите другое имя файла."))
        << dump(again);
    EXPECT_EQ(test::fileBytes(dbPath()), before);
}

TEST_F(NewDatabaseTool, WithoutPackagesTheFileIsStillMadeAndTheMissingDataIsTold)
{
    const test::ToolRun r = run({"--stay", "24"});
    ASSERT_EQ(r.exitCode, 0) << dump(r);
    EXPECT_EQ(r.lines, (QStringList{"info: База данных создана с параметрами: 5-рабочая неделя учреждения, время пребывания "
                                    "детей равно 24 часа, план-меню будет заполнен.",
                                    "critical: В папке \"" + QDir::toNativeSeparators(examples()) +
                                        "\" нет ни одного подходящего файла!",
                                    "status: Не заполнены справочники технологических карт.",
                                    "warning: Файл не был найден.",
                                    "status: Выполняется проверка базы данных...",
                                    "status: Готово"}))
        << dump(r);
    const auto o = open();
    Database& db = o->session.db();
    EXPECT_EQ(db.scalar("SELECT appMajor * 1000000 + appMinor * 1000 + appRevision FROM INF").toLongLong(), 10004004);
    EXPECT_EQ(test::rows(db, QStringLiteral("USERS")), 2);
    EXPECT_EQ(test::rows(db, QStringLiteral("products")), 0);
}

TEST_F(NewDatabaseTool, UnknownAnswersAreRefused)
{
    for (const QStringList& args : {QStringList{"--stay", "10"}, QStringList{"--week", "7"}, QStringList{"--cycle", "14"},
                                    QStringList{"--plan", "half"}, QStringList{"--collection", "0"}, QStringList{"--plan"},
                                    QStringList{"--colour", "red"}}) {
        const test::ToolRun r = run(args);
        EXPECT_EQ(r.exitCode, 2) << args.join(' ').toStdString();
    }
    EXPECT_FALSE(QFileInfo::exists(dbPath()));
}

TEST(NewDatabaseAnswers, RememberedTextsAndTheSummary)
{
    test::TestEnv env;
    const NewDatabaseAnswers defaults = rememberedAnswers();
    EXPECT_EQ(answersSummary(defaults), QStringLiteral("База данных создана с параметрами: 5-рабочая неделя учреждения, "
                                                       "время пребывания детей равно 12 часов, план-меню будет заполнен."));
    EXPECT_EQ(cycleText(defaults), QStringLiteral("10 дней"));

    NewDatabaseAnswers a;
    a.fiveDayWeek = false;
    a.stayCode = 2;
    a.cycleDays = 7;
    a.fillPlanMenu = false;
    rememberAnswers(a);
    EXPECT_EQ(Settings::text("Settings", "ned"), QStringLiteral("6-рабочая неделя учреждения"));
    EXPECT_EQ(Settings::text("Settings", "vr"), QStringLiteral("24 часа"));
    EXPECT_EQ(Settings::text("Settings", "per"), QStringLiteral("7 дней"));
    EXPECT_EQ(Settings::text("Settings", "pl"), QStringLiteral("план-меню будет пуст"));
    const NewDatabaseAnswers back = rememberedAnswers();
    EXPECT_EQ(answersSummary(back), QStringLiteral("База данных создана с параметрами: 6-рабочая неделя учреждения, "
                                                   "время пребывания детей равно 24 часа, план-меню будет пуст."));
    EXPECT_EQ(back.cycleDays, 7);

    // The stay texts and the codes that choose the norms.
    EXPECT_TRUE(setStay(a, QStringLiteral("9-10,5 часов")));
    EXPECT_EQ(a.stayCode, 0);
    EXPECT_TRUE(setStay(a, QStringLiteral("12 часов")));
    EXPECT_EQ(a.stayCode, 1);
    EXPECT_FALSE(setStay(a, QStringLiteral("10 часов")));
    EXPECT_EQ(a.stayCode, 1);
    // An unknown remembered text leaves the default.
    Settings::setText("Settings", "vr", "сутки");
    EXPECT_EQ(rememberedAnswers().stayCode, 1);
}

TEST(NewDatabaseStartUp, AMissingFileIsMadeByTheInstalledFill)
{
    test::TestEnv env;
    ASSERT_TRUE(writeStandardArchive(QDir(app().appDir).filePath(QStringLiteral("Примеры/сад.zip")), QStringLiteral("Сборник сада")));
    test::ScriptedPrompt prompt;
    std::vector<NewDatabaseAnswers> asked;
    setDatabaseFill([&](DatabaseSession& s, const QString& path) {
        NewDatabaseRequest request;
        request.answers.stayCode = 2;
        request.askQuestions = [&](NewDatabaseAnswers& a) {
            asked.push_back(a);
            a.institutionName = QStringLiteral("  Детский сад «Солнышко» ");
        };
        return createAndFillNewDatabase(s, path, request);
    });
    DatabaseSession session(prompt);
    const StartupResult started = startUp(session, prompt, StartupWay{});
    setDatabaseFill({});
    ASSERT_EQ(started, StartupResult::Ready) << prompt.messages().join('\n').toStdString();
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_TRUE(prompt.messages().isEmpty()) << prompt.messages().join('\n').toStdString();
    EXPECT_TRUE(QFileInfo(app().dbPath).isFile());
    EXPECT_EQ(session.db().scalar("SELECT nfat FROM FNORMS").toInt(), 24);
    EXPECT_EQ(test::rows(session.db(), QStringLiteral("plan_menu")), 10);
    EXPECT_EQ(session.db().scalar("SELECT Naim FROM INF").toString(), QStringLiteral("Детский сад «Солнышко»"));

    // Without it a new file gets the plain fill.
    DatabaseSession plain(prompt);
    ASSERT_TRUE(createAndFillDatabase(plain, env.path(QStringLiteral("plain.db"))));
    EXPECT_EQ(test::rows(plain.db(), QStringLiteral("products")), 0);
    EXPECT_EQ(test::rows(plain.db(), QStringLiteral("USERS")), 2);
}

} // namespace
