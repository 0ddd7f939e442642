// A new file is whole or absent: built under "<name>.creating" and renamed when done, a claim
// held by another copy refused with a message, a claim left by a dead run removed, a file
// without the organisation row refused at start, and the headless tool killed while it fills.

#include "core/AppState.h"
#include "core/Database.h"
#include "core/DatabaseFileOps.h"
#include "core/DatabaseSession.h"
#include "core/Startup.h"
#include "support/ScriptedPrompt.h"
#include "support/TestEnv.h"
#include "support/ToolRun.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

using namespace rat;

namespace {

const QString kHeld = QStringLiteral(
    "critical: Файл базы данных %1 создается другой копией программы. Дождитесь окончания его создания, после чего "
    "запустите программу \"Рационарий\" заново.");

// Another copy of the program in the middle of creating `path`: it holds the claim.
std::unique_ptr<Database> holdClaim(const QString& path)
{
    auto db = std::make_unique<Database>(path + QStringLiteral(".creating"), true);
    db->execScript(QStringLiteral("PRAGMA locking_mode = EXCLUSIVE; BEGIN EXCLUSIVE; CREATE TABLE half (a); COMMIT;"));
    return db;
}

TEST(NewFileClaim, ASecondCopyIsToldTheFileIsBeingCreatedAndWritesNothing)
{
    test::TestEnv env;
    test::ScriptedPrompt prompt;
    const QString path = env.path(QStringLiteral("сад.db"));
    auto other = holdClaim(path);

    DatabaseSession session(prompt);
    EXPECT_FALSE(createAndFillDatabase(session, path));
    EXPECT_EQ(prompt.messages(), QStringList{kHeld.arg(path)});
    EXPECT_FALSE(QFileInfo::exists(path));
    EXPECT_FALSE(session.isOpen());
    // The other copy's work is untouched and still its own.
    EXPECT_EQ(other->scalar(QStringLiteral("SELECT count(*) FROM sqlite_master WHERE name = 'half'")).toInt(), 1);
    EXPECT_TRUE(QFileInfo::exists(path + QStringLiteral(".creating")));
}

TEST(NewFileClaim, AClaimLeftByADeadRunIsRemovedAndTheFileMadeWhole)
{
    test::TestEnv env;
    test::ScriptedPrompt prompt;
    const QString path = env.path(QStringLiteral("сад.db"));
    holdClaim(path).reset();  // the run died: nobody holds it now
    ASSERT_TRUE(QFileInfo::exists(path + QStringLiteral(".creating")));

    DatabaseSession session(prompt);
    ASSERT_TRUE(createAndFillDatabase(session, path)) << prompt.messages().join('\n').toStdString();
    EXPECT_EQ(prompt.messages(), QStringList());
    EXPECT_FALSE(QFileInfo::exists(path + QStringLiteral(".creating")));
    EXPECT_EQ(session.db().path(), path);
    EXPECT_EQ(session.db().scalar(QStringLiteral("SELECT count(*) FROM INF")).toInt(), 1);
    EXPECT_EQ(session.db().scalar(QStringLiteral("SELECT count(*) FROM sqlite_master WHERE name = 'half'")).toInt(), 0);

    // Beside an existing file a dead claim goes at the next start.
    session.close();
    holdClaim(path).reset();
    app().dbPath = path;
    DatabaseSession again(prompt);
    EXPECT_EQ(startUp(again, prompt, StartupWay{}), StartupResult::Ready) << prompt.messages().join('\n').toStdString();
    EXPECT_FALSE(QFileInfo::exists(path + QStringLiteral(".creating")));
}

TEST(NewFileClaim, AFillThatFailsLeavesNeitherFileNorClaim)
{
    test::TestEnv env;
    test::ScriptedPrompt prompt;
    const QString path = env.path(QStringLiteral("сад.db"));
    setDatabaseFill([](DatabaseSession& s, const QString& p) {
        if (!s.beginNewFile(p))
            return false;
        s.close();  // the fill gave up half-way
        return false;
    });
    DatabaseSession session(prompt);
    EXPECT_FALSE(createAndFillDatabase(session, path));
    setDatabaseFill({});
    EXPECT_FALSE(QFileInfo::exists(path));
    EXPECT_FALSE(QFileInfo::exists(path + QStringLiteral(".creating")));
    // And the name is free for the next start.
    EXPECT_TRUE(createAndFillDatabase(session, path)) << prompt.messages().join('\n').toStdString();
}

TEST(NewFileClaim, AFileWithTheLayoutButNoOrganisationRowIsRefusedAtStart)
{
    test::TestEnv env;
    test::ScriptedPrompt prompt;
    const QString path = env.path(QStringLiteral("пустой.db"));
    {
        DatabaseSession maker(prompt);
        ASSERT_TRUE(maker.createDatabase(path));
    }
    const QByteArray before = test::fileBytes(path);
    app().dbPath = path;
    DatabaseSession session(prompt);
    EXPECT_EQ(startUp(session, prompt, StartupWay{}), StartupResult::Failed);
    EXPECT_EQ(prompt.messages(),
              QStringList{QStringLiteral("critical: В файле базы данных ") + path +
                          QStringLiteral(" нет сведений об учреждении: файл не был заполнен до конца. Выберите другой "
                                         "файл базы данных или удалите этот файл, и программа создаст новый.")});
    EXPECT_FALSE(session.isOpen());
    EXPECT_EQ(test::fileBytes(path), before);

    // Switching to it from the main window is refused the same way.
    prompt.clear();
    const QString good = env.path(QStringLiteral("сад.db"));
    ASSERT_TRUE(createAndFillDatabase(session, good));
    EXPECT_FALSE(switchDatabase(session, path));
    EXPECT_EQ(prompt.messages().size(), 1);
    EXPECT_EQ(session.db().path(), good);
}

// The headless tool's new-database killed at moments spread over its run: every time the file
// is absent (no claim blocks the next try) or whole.
TEST(NewFileClaim, KilledWhileFillingTheFileIsWholeOrAbsent)
{
    test::TestEnv env;
    QTemporaryDir tmp;
    const QString path = tmp.filePath(QStringLiteral("новая.db"));
    QElapsedTimer timer;
    timer.start();
    test::ToolRun full = test::runTool(tmp.path(), path, {QStringLiteral("new-database")});
    const qint64 duration = std::max<qint64>(timer.elapsed(), 20);
    ASSERT_EQ(full.exitCode, 0) << full.lines.join('\n').toStdString();
    QFile::remove(path);

    const int trials = 12;
    int absent = 0;
    for (int i = 0; i < trials; ++i) {
        QProcess p;
        test::prepareTool(p, tmp.path(), path, {QStringLiteral("new-database")});
        p.start();
        ASSERT_TRUE(p.waitForStarted());
        QThread::msleep(static_cast<unsigned long>(duration * i / trials));
        p.kill();
        p.waitForFinished();
        if (!QFileInfo::exists(path)) {
            ++absent;
            continue;
        }
        test::ScriptedPrompt prompt;
        app().dbPath = path;
        DatabaseSession session(prompt);
        ASSERT_EQ(startUp(session, prompt, StartupWay{}), StartupResult::Ready) << i << prompt.messages().join('\n').toStdString();
        EXPECT_EQ(integrityProblems(session.db()), QStringList());
        EXPECT_EQ(session.db().scalar(QStringLiteral("SELECT count(*) FROM USERS")).toInt(), 2);
        session.close();
        QFile::remove(path);
    }
    // A killed run never leaves a claim that stops the next one.
    const test::ToolRun again = test::runTool(tmp.path(), path, {QStringLiteral("new-database")});
    EXPECT_EQ(again.exitCode, 0) << again.lines.join('\n').toStdString();
    EXPECT_GT(absent, 0);
}

// Two copies of the headless tool started together on the same missing file: one creates it,
// the other is told the file is being made (or, when it comes late, that it is already there);
// the file is whole and no claim is left, round after round.
TEST(NewFileClaim, TwoCopiesStartedTogetherOneCreatesTheOtherSaysSo)
{
    test::TestEnv env;
    QTemporaryDir tmp;
    const QString path = tmp.filePath(QStringLiteral("общая.db"));
    const QString held = QStringLiteral("critical: Файл базы данных ") + path + QStringLiteral(" создается другой копией");
    for (int round = 0; round < 5; ++round) {
        SCOPED_TRACE(round);
        QProcess first, second;
        test::prepareTool(first, tmp.path(), path, {QStringLiteral("new-database")});
        test::prepareTool(second, tmp.path(), path, {QStringLiteral("new-database")});
        first.start();
        second.start();
        ASSERT_TRUE(first.waitForFinished(120000));
        ASSERT_TRUE(second.waitForFinished(120000));
        ASSERT_EQ(first.exitStatus(), QProcess::NormalExit);
        ASSERT_EQ(second.exitStatus(), QProcess::NormalExit);
        const QString out1 = QString::fromUtf8(first.readAllStandardOutput());
        const QString out2 = QString::fromUtf8(second.readAllStandardOutput());
        // Exactly one made the file; the other refused with a message and wrote nothing.
        ASSERT_EQ((first.exitCode() == 0) + (second.exitCode() == 0), 1) << out1.toStdString() << out2.toStdString();
        const QString& loser = first.exitCode() == 0 ? out2 : out1;
        EXPECT_TRUE(loser.contains(held) || loser.contains(QStringLiteral("уже существует")))
            << loser.toStdString();
        EXPECT_FALSE(QFileInfo::exists(path + QStringLiteral(".creating")));

        test::ScriptedPrompt prompt;
        app().dbPath = path;
        DatabaseSession session(prompt);
        ASSERT_EQ(startUp(session, prompt, StartupWay{}), StartupResult::Ready) << prompt.messages().join('\n').toStdString();
        EXPECT_EQ(integrityProblems(session.db()), QStringList());
        EXPECT_EQ(session.db().scalar(QStringLiteral("SELECT count(*) FROM USERS")).toInt(), 2);
        EXPECT_EQ(session.db().scalar(QStringLiteral("SELECT count(*) FROM INF")).toInt(), 1);
        session.close();
        QFile::remove(path);
    }
}

} // namespace
