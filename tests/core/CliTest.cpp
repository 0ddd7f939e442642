// The headless tool run as a separate process: exit codes, one line per message, refusals that
// leave the file as it was, and the exclusive use of a file across processes.

#include "core/Database.h"
#include "support/TestEnv.h"
#include "support/ToolRun.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QList>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// A hang guard only: no test depends on how fast the tool is.
constexpr int kHangGuardMs = 120000;

using rat::test::ToolRun;
using CliRun = ToolRun;

class CliTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(tmp.isValid()); }

    QString dbPath() const { return tmp.filePath(QStringLiteral("столовая.db")); }

    void prepare(QProcess& p, const QStringList& args) const { rat::test::prepareTool(p, tmp.path(), dbPath(), args); }

    CliRun run(const QStringList& args) const { return rat::test::runTool(tmp.path(), dbPath(), args); }

    static std::string dump(const CliRun& r) { return (r.lines.join('\n') + QStringLiteral("\n--\n") + r.err).toStdString(); }

    static QStringList messageLines(const QStringList& lines)
    {
        QStringList out;
        for (const QString& l : lines)
            if (!l.startsWith(QLatin1String("status: ")))
                out << l;
        return out;
    }

    QTemporaryDir tmp;
};

TEST_F(CliTest, CreateThenOpen)
{
    const CliRun created = run({QStringLiteral("create")});
    EXPECT_EQ(created.exitCode, 0) << dump(created);
    EXPECT_TRUE(messageLines(created.lines).isEmpty()) << dump(created);
    ASSERT_TRUE(QFileInfo(dbPath()).isFile());

    const CliRun opened = run({QStringLiteral("open")});
    EXPECT_EQ(opened.exitCode, 0) << dump(opened);
    EXPECT_TRUE(messageLines(opened.lines).isEmpty()) << dump(opened);

    // The settings went to the child's own store, and the application folder got its working
    // folders; the installation's own ones are read where they are.
    EXPECT_TRUE(QFileInfo(tmp.filePath(QStringLiteral("app/Архив"))).isDir());
    EXPECT_FALSE(QFileInfo(tmp.filePath(QStringLiteral("app/Шаблоны"))).exists());
}

TEST_F(CliTest, OpenStartsLikeTheDesktopProgram)
{
    // The seasonal-loss periods the desktop program adds at start come with the tool's open too,
    // once, while the book is empty.
    ASSERT_EQ(run({QStringLiteral("create")}).exitCode, 0);
    {
        rat::Database db(dbPath(), false);
        db.exec(QStringLiteral("INSERT INTO products (pname) VALUES ('Картофель'), ('Капуста')"));
    }
    const CliRun first = run({QStringLiteral("open")});
    EXPECT_EQ(first.exitCode, 0) << dump(first);
    EXPECT_EQ(messageLines(first.lines),
              QStringList(QStringLiteral("info: Проверьте, пожалуйста, справочник \"Сезонные проценты потерь\" на "
                                         "ввод корректных данных, если Вы будете использовать при расчетах "
                                         "сезонность.")))
        << dump(first);
    {
        rat::Database db(dbPath(), false);
        EXPECT_EQ(db.scalar(QStringLiteral("SELECT COUNT(*) FROM SEZON")).toLongLong(), 5);
    }
    const CliRun second = run({QStringLiteral("open")});
    EXPECT_EQ(second.exitCode, 0) << dump(second);
    EXPECT_TRUE(messageLines(second.lines).isEmpty()) << dump(second);
}

TEST_F(CliTest, CreateRefusesAnExistingFile)
{
    ASSERT_EQ(run({QStringLiteral("create")}).exitCode, 0);
    const QByteArray before = rat::test::fileBytes(dbPath());
    const CliRun again = run({QStringLiteral("create")});
    EXPECT_EQ(again.exitCode, 1) << dump(again);
    EXPECT_EQ(messageLines(again.lines),
              QStringList(QStringLiteral("critical: Файл базы данных ") + dbPath() +
                          QStringLiteral(" уже существует. Выберите другое имя файла.")))
        << dump(again);
    EXPECT_EQ(rat::test::fileBytes(dbPath()), before);
}

TEST_F(CliTest, VersionIsPrinted)
{
    const CliRun r = run({QStringLiteral("version")});
    EXPECT_EQ(r.exitCode, 0) << dump(r);
    EXPECT_EQ(r.lines, QStringList(QStringLiteral("10.4.4"))) << dump(r);
    EXPECT_FALSE(QFileInfo::exists(dbPath()));
}

TEST_F(CliTest, MissingFileIsReported)
{
    const CliRun r = run({QStringLiteral("open")});
    EXPECT_EQ(r.exitCode, 1) << dump(r);
    EXPECT_EQ(r.lines, QStringList(QStringLiteral("critical: Файл базы данных ") + dbPath() + QStringLiteral(" не найден!")))
        << dump(r);
    EXPECT_FALSE(QFileInfo::exists(dbPath()));
}

TEST_F(CliTest, FilesThatAreNoDatabaseAreRefusedUnchanged)
{
    const QList<QByteArray> contents = {
        QByteArrayLiteral("Картофель;0,25;кг\nМорковь;0,1;кг\n"),
        QByteArray(),
        QByteArrayLiteral("SQLite format 3"),  // a header cut short
    };
    for (const QByteArray& content : contents) {
        SCOPED_TRACE(content.toStdString());
        QFile f(dbPath());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(content);
        f.close();

        const CliRun r = run({QStringLiteral("open")});
        EXPECT_EQ(r.exitCode, 1) << dump(r);
        const QStringList messages = messageLines(r.lines);
        ASSERT_EQ(messages.size(), 1) << dump(r);
        EXPECT_TRUE(messages.front().startsWith(QLatin1String("critical: "))) << dump(r);
        if (!content.isEmpty()) {
            EXPECT_TRUE(messages.front().contains(dbPath())) << dump(r);
        }
        EXPECT_EQ(rat::test::fileBytes(dbPath()), content);
        EXPECT_EQ(QDir(tmp.path()).entryList({QStringLiteral("столовая.db*")}, QDir::Files),
                  QStringList(QStringLiteral("столовая.db")));
    }
}

TEST_F(CliTest, BadCommandLinesAreUsageErrors)
{
    const QList<QStringList> cases = {
        {QStringLiteral("удалить")},
        {},
        {QStringLiteral("hold")},
        {QStringLiteral("hold"), QStringLiteral("долго")},
        {QStringLiteral("--today"), QStringLiteral("2024-13-45"), QStringLiteral("version")},
    };
    for (const QStringList& args : cases) {
        SCOPED_TRACE(args.join(' ').toStdString());
        const CliRun r = run(args);
        EXPECT_EQ(r.exitCode, 2) << dump(r);
        EXPECT_TRUE(messageLines(r.lines).isEmpty()) << dump(r);
        EXPECT_FALSE(r.err.isEmpty());
    }
    EXPECT_FALSE(QFileInfo::exists(dbPath()));
}

TEST_F(CliTest, SecondProcessIsRefusedWhileTheFileIsHeld)
{
    ASSERT_EQ(run({QStringLiteral("create")}).exitCode, 0);

    QProcess holder;
    prepare(holder, {QStringLiteral("hold"), QStringLiteral("300")});
    holder.start();
    ASSERT_TRUE(holder.waitForStarted(kHangGuardMs));
    QByteArray held;
    while (!held.contains("\nheld\n") && !held.startsWith("held\n")) {
        if (!holder.waitForReadyRead(kHangGuardMs)) {
            holder.kill();
            holder.waitForFinished();
            FAIL() << "the holder never held the file: " << held.toStdString();
        }
        held += holder.readAllStandardOutput();
    }
    EXPECT_TRUE(messageLines(QString::fromUtf8(held).split(QLatin1Char('\n'), Qt::SkipEmptyParts)) == QStringList(QStringLiteral("held"))) << held.toStdString();

    const QByteArray before = rat::test::fileBytes(dbPath());
    const CliRun refused = run({QStringLiteral("open")});
    EXPECT_EQ(refused.exitCode, 1) << dump(refused);
    EXPECT_EQ(refused.lines,
              QStringList(QStringLiteral("critical: Для открытия базы данных: ") + dbPath() +
                          QStringLiteral(" требуется монопольный доступ. Закройте все программы, использующие эту "
                                         "базу данных, после чего запустите программу \"Рационарий\" заново.")))
        << dump(refused);
    EXPECT_EQ(rat::test::fileBytes(dbPath()), before);
    EXPECT_EQ(holder.state(), QProcess::Running);

    holder.kill();
    ASSERT_TRUE(holder.waitForFinished(kHangGuardMs));

    const CliRun opened = run({QStringLiteral("open")});
    EXPECT_EQ(opened.exitCode, 0) << dump(opened);
    EXPECT_TRUE(messageLines(opened.lines).isEmpty()) << dump(opened);
}

TEST_F(CliTest, FileIsFreeAgainWhenTheHolderEnds)
{
    ASSERT_EQ(run({QStringLiteral("create")}).exitCode, 0);
    const CliRun held = run({QStringLiteral("hold"), QStringLiteral("0")});
    EXPECT_EQ(held.exitCode, 0) << dump(held);
    EXPECT_TRUE(held.lines.contains(QStringLiteral("held"))) << dump(held);

    const CliRun opened = run({QStringLiteral("open")});
    EXPECT_EQ(opened.exitCode, 0) << dump(opened);
    EXPECT_TRUE(messageLines(opened.lines).isEmpty()) << dump(opened);
}

} // namespace
