// Engine errors told, not fatal: the headless tool on a file with a damaged page names the
// command and the engine's error; a run that did not end cleanly has the file checked at the
// next open; a read-only file or folder gets a sentence saying what to do.

#include "core/AppState.h"
#include "core/Clock.h"
#include "core/Database.h"
#include "core/DatabaseErrors.h"
#include "core/DatabaseSession.h"
#include "core/RunMarker.h"
#include "core/Startup.h"
#include "support/ScriptedPrompt.h"
#include "support/TestEnv.h"
#include "support/ToolRun.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace rat;

namespace {

// A filled file with enough products for several pages; returns the products' root page.
void makeFile(const QString& path)
{
    test::ScriptedPrompt prompt;
    DatabaseSession session(prompt);
    ASSERT_TRUE(createAndFillDatabase(session, path));
    Database& db = session.db();
    Transaction tx(db);
    for (int i = 0; i < 400; ++i)
        db.exec(QStringLiteral("INSERT INTO products (pname, fat) VALUES (?1, 1)"),
                {QStringLiteral("Продукт номер %1 с длинным наименованием для нескольких страниц").arg(i)});
    tx.commit();
}

// Overwrites the first page of the products table with garbage.
void damageProducts(const QString& path)
{
    qint64 root = 0, pageSize = 0;
    {
        Database db(path, false);
        root = db.scalar(QStringLiteral("SELECT rootpage FROM sqlite_master WHERE name = 'products'")).toLongLong();
        pageSize = db.scalar(QStringLiteral("PRAGMA page_size")).toLongLong();
    }
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    ASSERT_TRUE(f.seek((root - 1) * pageSize));
    f.write(QByteArray(int(pageSize), '\x5A'));
}

const QString kDamaged = QStringLiteral(
    "critical: Файл %1 не является файлом базы данных или поврежден. Продолжение работы с этим файлом невозможно.");

TEST(DatabaseErrors, ADamagedPageIsToldWithTheCommandAndTheToolKeepsItsExitCode)
{
    test::TestEnv env;
    QTemporaryDir tmp;
    const QString path = tmp.filePath(QStringLiteral("сад.db"));
    makeFile(path);
    damageProducts(path);

    const test::ToolRun opened = test::runTool(tmp.path(), path, {QStringLiteral("open")});
    EXPECT_EQ(opened.exitCode, 0) << opened.lines.join('\n').toStdString() << opened.err.toStdString();
    const test::ToolRun listed = test::runTool(tmp.path(), path, {QStringLiteral("list"), QStringLiteral("12")});
    ASSERT_EQ(listed.exitCode, 1) << listed.lines.join('\n').toStdString() << listed.err.toStdString();
    EXPECT_EQ(listed.lines.value(listed.lines.size() - 1),
              QStringLiteral("critical: Произошла ошибка при выполнении команды \"list\". Ошибка: 11 database disk image "
                             "is malformed."));
    // Each command ended normally: the next open makes no check.
    EXPECT_TRUE(previousRunEndedCleanly(path));

    // After a run that did not end, the open checks the file first and refuses it.
    QFile marker(runMarkerPath(path));
    ASSERT_TRUE(marker.open(QIODevice::WriteOnly));
    marker.close();
    const test::ToolRun checked = test::runTool(tmp.path(), path, {QStringLiteral("open")});
    EXPECT_EQ(checked.exitCode, 1);
    EXPECT_EQ(checked.lines, QStringList{kDamaged.arg(path)});
}

TEST(DatabaseErrors, ASoundFileAfterAKilledRunOpensAndTheMarkGoesAtANormalEnd)
{
    test::TestEnv env;
    QTemporaryDir tmp;
    const QString path = tmp.filePath(QStringLiteral("сад.db"));
    makeFile(path);
    EXPECT_TRUE(previousRunEndedCleanly(path));

    QProcess held;
    test::prepareTool(held, tmp.path(), path, {QStringLiteral("hold"), QStringLiteral("30")});
    held.start();
    ASSERT_TRUE(held.waitForReadyRead(60000));
    EXPECT_FALSE(previousRunEndedCleanly(path));
    held.kill();
    held.waitForFinished();
    EXPECT_FALSE(previousRunEndedCleanly(path));

    const test::ToolRun opened = test::runTool(tmp.path(), path, {QStringLiteral("open")});
    EXPECT_EQ(opened.exitCode, 0) << opened.lines.join('\n').toStdString();
    EXPECT_TRUE(previousRunEndedCleanly(path));
}

TEST(DatabaseErrors, SentencesNameTheOperationOrSayWhatToDo)
{
    const DbError corrupt(11, QStringLiteral("database disk image is malformed"));
    EXPECT_EQ(databaseErrorMessage(QStringLiteral("выполнении команды \"Сохранить\""), corrupt, QStringLiteral("/a/сад.db")),
              QStringLiteral("Произошла ошибка при выполнении команды \"Сохранить\". Ошибка: 11 database disk image is "
                             "malformed."));
    EXPECT_EQ(databaseErrorMessage(QString(), corrupt, QString()),
              QStringLiteral("Возникла ошибка при работе с базой данных. Ошибка: 11 database disk image is malformed."));
    const DbError readOnly(8, QStringLiteral("attempt to write a readonly database"));
    EXPECT_EQ(databaseErrorMessage(QStringLiteral("выполнении команды \"save\""), readOnly, QStringLiteral("/a/сад.db")),
              QStringLiteral("Файл базы данных /a/сад.db или папка, в которой он находится, доступны только для чтения, и "
                             "изменения не могут быть записаны. Разрешите запись в файл и в его папку (снимите атрибут "
                             "\"Только чтение\") или скопируйте файл в папку, где запись разрешена, и откройте его "
                             "оттуда. Ошибка: 8 attempt to write a readonly database."));
}

// Read-only even for the superuser: the immutable attribute of the file system.
bool setImmutable(const QString& path, bool on)
{
    return QProcess::execute(QStringLiteral("chattr"), {on ? QStringLiteral("+i") : QStringLiteral("-i"), path}) == 0;
}

TEST(DatabaseErrors, AReadOnlyFileOrFolderGetsASentenceSayingWhatToDo)
{
    test::TestEnv env;
    QTemporaryDir tmp;
    const QString folder = tmp.filePath(QStringLiteral("только-чтение"));
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString path = folder + QStringLiteral("/сад.db");
    makeFile(path);
    const QString sentence = QStringLiteral(
        "critical: Файл базы данных %1 или папка, в которой он находится, доступны только для чтения, и изменения не "
        "могут быть записаны. Разрешите запись в файл и в его папку (снимите атрибут \"Только чтение\") или скопируйте "
        "файл в папку, где запись разрешена, и откройте его оттуда. Ошибка: ");
    const QByteArray before = test::fileBytes(path);

    if (!setImmutable(path, true))
        GTEST_SKIP() << "no chattr here";
    const test::ToolRun file = test::runTool(tmp.path(), path, {QStringLiteral("open")});
    setImmutable(path, false);
    EXPECT_EQ(file.exitCode, 1);
    ASSERT_EQ(file.lines.size(), 1) << file.lines.join('\n').toStdString();
    EXPECT_TRUE(file.lines[0].startsWith(sentence.arg(path))) << file.lines[0].toStdString();
    EXPECT_EQ(test::fileBytes(path), before);

    ASSERT_TRUE(setImmutable(folder, true));
    const test::ToolRun saved = test::runTool(
        tmp.path(), path, {QStringLiteral("save"), QStringLiteral("10"), QStringLiteral("pname=Крупы")});
    setImmutable(folder, false);
    EXPECT_EQ(saved.exitCode, 1);
    ASSERT_FALSE(saved.lines.isEmpty());
    EXPECT_TRUE(saved.lines.last().startsWith(sentence.arg(path))) << saved.lines.join('\n').toStdString();
    EXPECT_EQ(test::fileBytes(path), before);
}

} // namespace

namespace {

TEST(UpgradeBackup, AnOlderFileIsCopiedToTheArchiveFirstAndOnlyTheLastTenCopiesStay)
{
    test::TestEnv env;
    test::ScriptedPrompt prompt;
    const QString path = env.path(QStringLiteral("сад.db"));
    {
        DatabaseSession s(prompt);
        ASSERT_TRUE(createAndFillDatabase(s, path));
        s.db().exec(QStringLiteral("UPDATE INF SET appMajor = 10, appMinor = 3, appRevision = 0"));
    }
    const QString archive = QDir(app().appDir).filePath(QStringLiteral("Архив"));
    ASSERT_TRUE(QDir().mkpath(archive));
    // Ten older copies of this kind and one the person made.
    for (int i = 1; i <= 10; ++i) {
        const QString old = archive + QStringLiteral("/сад_перед_обновлением_2020-01-%1.db").arg(i, 2, 10, QLatin1Char('0'));
        ASSERT_TRUE(QFile::copy(path, old));
        QFile f(old);
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        f.setFileTime(QDateTime(QDate(2020, 1, i), QTime(12, 0)), QFileDevice::FileModificationTime);
    }
    ASSERT_TRUE(QFile::copy(path, archive + QStringLiteral("/сад_2020-01-01.db")));

    prompt.clear();
    DatabaseSession session(prompt);
    ASSERT_TRUE(session.openDatabase(path, false)) << prompt.messages().join('\n').toStdString();
    EXPECT_EQ(session.db().scalar(QStringLiteral("SELECT appMinor FROM INF")).toInt(), 4);
    const QString copy = QStringLiteral("сад_перед_обновлением_") + Clock::today().toString(Qt::ISODate) + QStringLiteral(".db");
    EXPECT_TRUE(prompt.events.contains(QStringLiteral("status: Перед обновлением база данных сохранена в папке Архив: ") +
                                       copy + QStringLiteral(" (хранятся 10 последних копий).")))
        << prompt.events.join('\n').toStdString();
    QStringList files = QDir(archive).entryList(QDir::Files, QDir::Name);
    EXPECT_EQ(files.size(), 11);
    EXPECT_FALSE(files.contains(QStringLiteral("сад_перед_обновлением_2020-01-01.db")));
    EXPECT_TRUE(files.contains(QStringLiteral("сад_2020-01-01.db")));
    EXPECT_TRUE(files.contains(copy));
    // The copy is the file as the older program left it.
    Database old(QDir(archive).filePath(copy), false);
    EXPECT_EQ(old.scalar(QStringLiteral("SELECT appMinor FROM INF")).toInt(), 3);

    // An up-to-date file is not copied again.
    session.close();
    prompt.clear();
    ASSERT_TRUE(session.openDatabase(path, false));
    EXPECT_EQ(QDir(archive).entryList(QDir::Files).size(), 11);
}

} // namespace
