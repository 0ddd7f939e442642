// The kill harness: each long write of the headless tool is started and killed at a random
// moment (and, where strace is present, at a random one of the engine's writes), then the file
// is reopened and checked: the engine's integrity check, the start-up, every document whole or
// absent, every package loaded whole or not at all, every issue of an approved menu-requirement
// whole and every document sum what its lines give. CTest runs the short form; the long form is
// RAT_KILL_TRIALS=<trials per operation> (and RAT_KILL_SEED to repeat a run, RAT_KILL_OPS=a,b to
// run only the operations named) by hand.

#include "ExchangeTestSupport.h"
#include "core/AppState.h"
#include "core/Database.h"
#include "core/DatabaseFileOps.h"
#include "core/DatabaseSession.h"
#include "core/Startup.h"
#include "support/ScriptedPrompt.h"
#include "support/TestEnv.h"
#include "support/ToolRun.h"

#include <QDir>
#include <QDateTime>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

#include <functional>

using namespace rat;

namespace {

const QString kRegulation = QStringLiteral("СанПиН 2.3/2.4.3590-20");

struct Operation {
    QString name;
    QStringList args;        // the tool's command and arguments
    bool fromNothing = false;  // the file does not exist before (new-database)
    QStringList tables;      // counted before and after (or a SELECT read): each must be one or the other
};

// Counts of the tables (or the value of a SELECT), and whether every document has its lines.
QString snapshot(Database& db, const QStringList& tables)
{
    QStringList parts;
    for (const QString& t : tables)
        parts << t + QLatin1Char('=') +
                     db.scalar(t.startsWith(QLatin1String("SELECT")) ? t
                                                                     : QStringLiteral("SELECT count(*) FROM [") + t +
                                                                           QLatin1Char(']'))
                         .toString();
    return parts.join(QLatin1Char(' '));
}

// Approved menu-requirements whose issue is not whole (the expense document missing, not approved,
// or its lines not the requirement's quantities), and expense and write-off documents whose sum
// is not what their lines give.
qint64 brokenStock(Database& db)
{
    return db.scalar(QStringLiteral(
                         "SELECT (SELECT count(*) FROM MENUTR r LEFT JOIN expence_docum e ON e.id = r.id_ex WHERE "
                         "r.status = -1 AND (e.id IS NULL OR e.status <> -1 OR abs(COALESCE((SELECT sum(quantity) FROM "
                         "expense WHERE id_expence_docum = e.id), 0) - COALESCE((SELECT sum(kolv) FROM MENUTR_POINT p "
                         "WHERE p.IDM = r.IDM), 0)) > 0.001)) + "
                         "(SELECT count(*) FROM expence_docum e WHERE abs(COALESCE(e.sum, 0) - COALESCE((SELECT "
                         "sum(s.cost * x.quantity) FROM expense x JOIN storage s ON s.id = x.id_storage WHERE "
                         "x.id_expence_docum = e.id), 0)) > 0.01) + "
                         "(SELECT count(*) FROM spisanie w WHERE abs(COALESCE(w.sum, 0) - COALESCE((SELECT "
                         "sum(s.cost * x.quantity) FROM spisanie_point x JOIN storage s ON s.id = x.id_storage WHERE "
                         "x.id_spisanie = w.id), 0)) > 0.01)"))
        .toLongLong();
}

// Every line of the expense and write-off documents, in one text.
const QString kIssueLines = QStringLiteral(
    "SELECT group_concat(x, ',') FROM (SELECT id_expence_docum || ':' || id_storage || ':' || quantity AS x FROM expense "
    "ORDER BY id_expence_docum, id_storage, quantity)");
const QString kWriteOffLines = QStringLiteral(
    "SELECT group_concat(x, ',') FROM (SELECT id_spisanie || ':' || id_storage || ':' || quantity AS x FROM "
    "spisanie_point ORDER BY id_spisanie, id_storage, quantity)");

// A day menu made from the plan has rows; one without them is half-written.
qint64 halfDayMenus(Database& db)
{
    return db.scalar(QStringLiteral("SELECT count(*) FROM day_menu d WHERE NOT EXISTS (SELECT 1 FROM day_menu_point p "
                                    "WHERE p.id_day_menu = d.id)"))
        .toLongLong();
}

class KillHarness : public ::testing::Test {
protected:
    void SetUp() override
    {
        const QString packages = QStringLiteral(RAT_PACKAGES_DIR) + QStringLiteral("/Сборник_ясли_сад");
        std::vector<test::ZipEntry> entries;
        for (const QString& f : QDir(packages).entryList({QStringLiteral("*.xml")}, QDir::Files, QDir::Name))
            entries.emplace_back(f.toUtf8(), test::fileBytes(QDir(packages).filePath(f)));
        ASSERT_FALSE(entries.empty());
        ASSERT_TRUE(QDir().mkpath(tmp.filePath(QStringLiteral("app/Примеры"))));
        archive = tmp.filePath(QStringLiteral("app/Примеры/Сборник_ясли_сад.zip"));
        ASSERT_TRUE(test::writeZip(archive, entries));
        base = tmp.filePath(QStringLiteral("base.db"));
        const test::ToolRun r = test::runTool(tmp.path(), base, {QStringLiteral("new-database")});
        ASSERT_EQ(r.exitCode, 0) << r.lines.join('\n').toStdString();
        // A day menu of the base, for the copy.
        const test::ToolRun made = test::runTool(tmp.path(), base, {QStringLiteral("day-menu-create"), QStringLiteral("1:1")});
        ASSERT_EQ(made.exitCode, 0) << made.lines.join('\n').toStdString();
        // The plan-menu with most days is copied into a new, empty one.
        {
            Database db(base, false);
            planSource = db.scalar(QStringLiteral("SELECT id_type_menu FROM days GROUP BY id_type_menu "
                                                  "ORDER BY count(*) DESC LIMIT 1"))
                             .toLongLong();
            db.exec(QStringLiteral("INSERT INTO type_menu (tname, sezon) VALUES ('Копия для проверки', 0)"));
            planTarget = db.lastInsertId();
        }
        ASSERT_GT(planSource, 0);
        prepareStock();
        bool seeded = false;
        quint32 seed = qEnvironmentVariable("RAT_KILL_SEED").toUInt(&seeded);
        if (!seeded)
            seed = quint32(QDateTime::currentMSecsSinceEpoch());
        rng.seed(seed);
        std::printf("kill harness seed %u (RAT_KILL_SEED repeats it)\n", seed);
    }

    // Three more day menus with eaters on the three days before today, lots of every product, some
    // expired; the first two issued. Then a cheaper lot of every product dated before them, which
    // a re-issue from that date moves the issues to.
    void prepareStock()
    {
        const QDate today = QDate::currentDate();
        for (const QString& day : {QStringLiteral("1:2"), QStringLiteral("1:3"), QStringLiteral("1:4")}) {
            const test::ToolRun r = test::runTool(tmp.path(), base, {QStringLiteral("day-menu-create"), day});
            ASSERT_EQ(r.exitCode, 0) << r.lines.join('\n').toStdString();
        }
        {
            Database db(base, false);
            db.exec(QStringLiteral("UPDATE quantity_eating SET quantity = 20"));
            Statement menus(db, QStringLiteral("SELECT id FROM day_menu ORDER BY id DESC LIMIT 3"));
            std::vector<qint64> ids;
            while (menus.next())
                ids.push_back(menus.toInt64(0));
            ASSERT_EQ(ids.size(), 3u);
            for (size_t i = 0; i < ids.size(); ++i)
                db.exec(QStringLiteral("UPDATE day_menu SET ddate = ?1 WHERE id = ?2"), {today.addDays(-1 - int(i)), ids[i]});
            stockMenus = {ids[2], ids[1], ids[0]};
            const QString lots = QStringLiteral(
                "INSERT INTO storage (id_product, quantity, date_realization, cost, id_ed_izmer, status, IDSS, rddate) "
                "SELECT p.id, ?1, ?2, ?3, p.id_ed_izmer, -1, 1, ?4 FROM products p WHERE p.id IN "
                "(SELECT id_product FROM recipes WHERE COALESCE(isCard, 0) = 0)");
            db.exec(lots, {100, today.addDays(30), 100, today.addDays(-20)});
            db.exec(lots, {0.5, today.addDays(-1), 90, today.addDays(-20)});
        }
        const auto approved = [&] {
            Database db(base, false);
            return db.scalar(QStringLiteral("SELECT count(*) FROM MENUTR WHERE status = -1")).toLongLong();
        };
        const qint64 approvedBefore = approved();
        for (qint64 m : {stockMenus[0], stockMenus[1]}) {
            const test::ToolRun r = test::runTool(tmp.path(), base,
                                                  {QStringLiteral("--answer"), QStringLiteral("Да"), QStringLiteral("--answer"),
                                                   QStringLiteral("Да"), QStringLiteral("menu-requirement"),
                                                   QString::number(m)});
            ASSERT_EQ(r.exitCode, 0) << r.lines.join('\n').toStdString();
        }
        ASSERT_EQ(approved(), approvedBefore + 2);
        Database db(base, false);
        db.exec(QStringLiteral("INSERT INTO storage (id_product, quantity, date_realization, cost, id_ed_izmer, status, "
                               "IDSS, rddate) SELECT p.id, 100, ?1, 50, p.id_ed_izmer, -1, 1, ?2 FROM products p WHERE p.id "
                               "IN (SELECT id_product FROM recipes WHERE COALESCE(isCard, 0) = 0)"),
                {today.addDays(10), today.addDays(-10)});
        ASSERT_EQ(brokenStock(db), 0);
    }

    QProcess* start(QProcess& p, const QString& db, const QStringList& args, int killAtWrite)
    {
        test::prepareTool(p, tmp.path(), db, args);
        if (killAtWrite > 0) {
            // The engine's n-th write kills the tool: the file is cut exactly between two writes.
            const QString program = p.program();
            p.setProgram(strace);
            p.setArguments(QStringList{QStringLiteral("-f"), QStringLiteral("-o"), QStringLiteral("/dev/null"),
                                       QStringLiteral("-e"),
                                       QStringLiteral("inject=pwrite64,write,fsync,fdatasync:signal=KILL:when=%1")
                                           .arg(killAtWrite),
                                       program} +
                           p.arguments());
        }
        p.start();
        return &p;
    }

    // One operation: the time of a whole run, then `trials` kills at moments spread over it.
    void exercise(const Operation& op, int trials)
    {
        const QString work = tmp.filePath(QStringLiteral("work.db"));
        auto fresh = [&] {
            QFile::remove(work);
            QFile::remove(work + QStringLiteral(".creating"));
            QFile::remove(work + QStringLiteral(".inuse"));
            if (!op.fromNothing) {
                ASSERT_TRUE(QFile::copy(base, work));
            }
        };
        QString before, after;
        auto counts = [&](QString& into) {
            test::ScriptedPrompt prompt;
            DatabaseSession s(prompt);
            ASSERT_TRUE(s.openDatabase(work, false)) << prompt.messages().join('\n').toStdString();
            into = snapshot(s.db(), op.tables);
        };
        fresh();
        if (!op.fromNothing)
            counts(before);
        QElapsedTimer timer;
        timer.start();
        const test::ToolRun whole = test::runTool(tmp.path(), work, op.args);
        const qint64 duration = std::max<qint64>(timer.elapsed(), 10);
        ASSERT_EQ(whole.exitCode, 0) << op.name.toStdString() << '\n' << whole.lines.join('\n').toStdString();
        counts(after);
        // A run that changes nothing would prove nothing.
        EXPECT_NE(before, after) << op.name.toStdString();

        for (int i = 0; i < trials; ++i) {
            fresh();
            const bool atWrite = !strace.isEmpty() && i % 2 == 1;
            QProcess p;
            start(p, work, op.args, atWrite ? int(rng.bounded(1, 400)) : 0);
            ASSERT_TRUE(p.waitForStarted());
            if (!atWrite) {
                QThread::msleep(static_cast<unsigned long>(rng.bounded(qint64(duration * 11 / 10) + 1)));
                p.kill();
            }
            p.waitForFinished(120000);
            ++kills;
            SCOPED_TRACE(op.name.toStdString() + " trial " + std::to_string(i));
            if (op.fromNothing && !QFileInfo::exists(work))
                continue;
            test::ScriptedPrompt prompt;
            app().dbPath = work;
            DatabaseSession s(prompt);
            if (startUp(s, prompt, StartupWay{}) != StartupResult::Ready) {
                ++failures;
                ADD_FAILURE() << "start-up refused: " << prompt.messages().join('\n').toStdString();
                continue;
            }
            const QStringList problems = integrityProblems(s.db());
            const QString now = snapshot(s.db(), op.tables);
            const bool whole = op.fromNothing ? now == after : (now == before || now == after);
            if (!problems.isEmpty() || !whole || halfDayMenus(s.db()) != 0 || brokenStock(s.db()) != 0) {
                ++failures;
                ADD_FAILURE() << "integrity: " << problems.join('\n').toStdString() << "\nbefore " << before.toStdString()
                              << "\nafter " << after.toStdString() << "\nnow " << now.toStdString();
            }
        }
    }

    test::TestEnv env;
    QTemporaryDir tmp;
    QString archive, base;
    qint64 planSource = 0, planTarget = 0;
    std::vector<qint64> stockMenus;  // day menus of the three days before today
    QRandomGenerator rng;
    QString strace = QStandardPaths::findExecutable(QStringLiteral("strace"));
    int kills = 0;
    int failures = 0;
};

TEST_F(KillHarness, EveryLongWriteLeavesTheFileAsBeforeOrAsAfter)
{
    const int asked = qEnvironmentVariableIntValue("RAT_KILL_TRIALS");
    const int trials = asked > 0 ? asked : 2;
    const QStringList documents = {QStringLiteral("day_menu"), QStringLiteral("day_menu_point"),
                                   QStringLiteral("quantity_eating")};
    const std::vector<Operation> ops = {
        {QStringLiteral("new-database"), {QStringLiteral("new-database")}, true,
         {QStringLiteral("INF"), QStringLiteral("USERS"), QStringLiteral("products"), QStringLiteral("card_recipes"),
          QStringLiteral("recipes"), QStringLiteral("plan_menu"), QStringLiteral("day_menu")}},
        {QStringLiteral("import-standard-data"),
         {QStringLiteral("import-standard-data"), archive, kRegulation, QStringLiteral("12")},
         false,
         {QStringLiteral("products"), QStringLiteral("vitamin_quantity"), QStringLiteral("card_recipes"),
          QStringLiteral("recipes"), QStringLiteral("plan_menu")}},
        {QStringLiteral("import-plan-menu"), {QStringLiteral("import-plan-menu"), archive}, false,
         {QStringLiteral("plan_menu"), QStringLiteral("days")}},
        {QStringLiteral("copy-plan-menu"),
         {QStringLiteral("copy-plan-menu"), QString::number(planSource), QString::number(planTarget)},
         false, {QStringLiteral("plan_menu"), QStringLiteral("days")}},
        {QStringLiteral("day-menu-create"), {QStringLiteral("day-menu-create"), QStringLiteral("1:2")}, false, documents},
        {QStringLiteral("copy-day-menu"), {QStringLiteral("--answer"), QStringLiteral("Да"), QStringLiteral("copy-day-menu"),
                                           QStringLiteral("1")},
         false, documents},
    };
    const QStringList yes = {QStringLiteral("--answer"), QStringLiteral("Да"), QStringLiteral("--answer"),
                             QStringLiteral("Да"), QStringLiteral("--answer"), QStringLiteral("Да")};
    const QStringList issue = {QStringLiteral("expence_docum"), kIssueLines};
    const std::vector<Operation> stockOps = {
        {QStringLiteral("menu-requirement"), yes + QStringList{QStringLiteral("menu-requirement"), QString::number(stockMenus[2])},
         false, issue},
        {QStringLiteral("reissue-from"),
         yes + QStringList{QStringLiteral("reissue-from"), QDate::currentDate().addDays(-10).toString(Qt::ISODate)}, false,
         issue},
        {QStringLiteral("auto-writeoff"), yes + QStringList{QStringLiteral("auto-writeoff")}, false,
         {QStringLiteral("spisanie"), kWriteOffLines}},
    };
    const QStringList only = qEnvironmentVariable("RAT_KILL_OPS").split(QLatin1Char(','), Qt::SkipEmptyParts);
    for (const auto* list : {&ops, &stockOps})
        for (const Operation& op : *list)
            if (only.isEmpty() || only.contains(op.name))
                exercise(op, trials);
    std::printf("kill harness: %d kills, %d failures\n", kills, failures);
    EXPECT_EQ(failures, 0);
}

} // namespace
