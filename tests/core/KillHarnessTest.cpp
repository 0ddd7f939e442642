// The kill harness: each long write of the headless tool is started and killed at a random
// moment (and, where strace is present, at a random one of the engine's writes), then the file
// is reopened and checked: the engine's integrity check, the start-up, every document whole or
// absent, every package loaded whole or not at all. CTest runs the short form; the long form is
// RAT_KILL_TRIALS=<trials per operation> (and RAT_KILL_SEED to repeat a run) by hand.

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
    QStringList tables;      // counted before and after: each must be one or the other
};

// Counts of the tables, and whether every document has its lines.
QString snapshot(Database& db, const QStringList& tables)
{
    QStringList parts;
    for (const QString& t : tables)
        parts << t + QLatin1Char('=') + db.scalar(QStringLiteral("SELECT count(*) FROM [") + t + QLatin1Char(']')).toString();
    return parts.join(QLatin1Char(' '));
}

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
        bool seeded = false;
        quint32 seed = qEnvironmentVariable("RAT_KILL_SEED").toUInt(&seeded);
        if (!seeded)
            seed = quint32(QDateTime::currentMSecsSinceEpoch());
        rng.seed(seed);
        std::printf("kill harness seed %u (RAT_KILL_SEED repeats it)\n", seed);
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
            if (!problems.isEmpty() || !whole || halfDayMenus(s.db()) != 0) {
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
    for (const Operation& op : ops)
        exercise(op, trials);
    std::printf("kill harness: %d kills, %d failures\n", kills, failures);
    EXPECT_EQ(failures, 0);
}

} // namespace
