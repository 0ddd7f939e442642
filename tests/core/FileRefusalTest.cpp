// Files the program must refuse before any verification: missing, not a database, damaged,
// foreign, in use by someone else, or a new file that cannot be made. Each refusal is one
// message, and whatever is on disk stays exactly as it was.

#include "core/Database.h"
#include "core/DatabaseSession.h"
#include "support/ScriptedPrompt.h"
#include "support/TestEnv.h"

#include <QDir>
#include <QFile>
#include <QStringList>
#include <gtest/gtest.h>

using namespace rat;

static void PrintTo(const QString& s, std::ostream* os)
{
    *os << '"' << s.toStdString() << '"';
}

namespace {

QString damaged(const QString& path)
{
    return QStringLiteral("critical: Файл ") + QDir::toNativeSeparators(path) +
           QStringLiteral(" не является файлом базы данных или поврежден. Продолжение работы с этим файлом невозможно.");
}

class FileRefusal : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder = env.path(QStringLiteral("files"));
        ASSERT_TRUE(QDir().mkpath(folder));
    }

    QString file(const QString& name) const { return folder + QLatin1Char('/') + name; }

    QStringList filesInFolder() const
    {
        return QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    }

    void write(const QString& path, const QByteArray& bytes)
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        ASSERT_EQ(f.write(bytes), bytes.size());
    }

    QString finishedFile(const QString& name)
    {
        const QString path = file(name);
        test::ScriptedPrompt prompt;
        DatabaseSession session(prompt);
        EXPECT_TRUE(session.createDatabase(path));
        EXPECT_EQ(prompt.messages(), QStringList());
        return path;
    }

    // Opens an existing file and expects exactly `messages`, the file unchanged and nothing
    // new beside it.
    void expectRefused(const QString& path, const QStringList& messages)
    {
        const QByteArray before = test::fileBytes(path);
        const QStringList filesBefore = filesInFolder();
        test::ScriptedPrompt prompt;
        DatabaseSession session(prompt);
        EXPECT_FALSE(session.openDatabase(path, false));
        EXPECT_FALSE(session.isOpen());
        EXPECT_EQ(prompt.messages(), messages);
        EXPECT_TRUE(test::fileBytes(path) == before) << "the refused file was changed";
        EXPECT_EQ(filesInFolder(), filesBefore);
    }

    test::TestEnv env;
    QString folder;
};

} // namespace

TEST_F(FileRefusal, MissingFile)
{
    const QString path = file(QStringLiteral("нет такого.db"));
    expectRefused(path, {QStringLiteral("critical: Файл базы данных ") + QDir::toNativeSeparators(path) +
                         QStringLiteral(" не найден!")});
    EXPECT_FALSE(QFile::exists(path));
}

TEST_F(FileRefusal, NotADatabase)
{
    const QString text = file(QStringLiteral("заметки.db"));
    write(text, QStringLiteral("Меню на понедельник: суп, каша, компот.\n").toUtf8().repeated(20));
    expectRefused(text, {damaged(text)});

    const QString empty = file(QStringLiteral("empty.db"));
    write(empty, QByteArray());
    expectRefused(empty, {damaged(empty)});
}

TEST_F(FileRefusal, DamagedDatabase)
{
    const QByteArray whole = test::fileBytes(finishedFile(QStringLiteral("whole.db")));
    ASSERT_GT(whole.size(), 3 * 4096);

    // Cut in the middle of a page, and cut at a page boundary (the header counts more pages).
    const QString halfPage = file(QStringLiteral("half-page.db"));
    write(halfPage, whole.left(whole.size() / 2 + 100));
    expectRefused(halfPage, {damaged(halfPage)});

    const QString pages = file(QStringLiteral("two-pages.db"));
    write(pages, whole.left(2 * 4096));
    expectRefused(pages, {damaged(pages)});

    // A header that is not SQLite's.
    QByteArray scrambled = whole;
    scrambled.replace(0, 6, "SQLITE");
    const QString header = file(QStringLiteral("header.db"));
    write(header, scrambled);
    expectRefused(header, {damaged(header)});
}

TEST_F(FileRefusal, ForeignDatabase)
{
    const QString path = file(QStringLiteral("foreign.db"));
    {
        Database db(path, true);
        db.execScript(QStringLiteral("CREATE TABLE notes (id INTEGER PRIMARY KEY, txt TEXT)"));
        db.exec(QStringLiteral("INSERT INTO notes (txt) VALUES (?1)"), {QStringLiteral("не наша база")});
    }
    expectRefused(path, {QStringLiteral("critical: Обнаружены ошибки в структуре файла базы данных! Отсутствует "
                                        "таблица: type_meal. Продолжение работы с этим файлом невозможно.")});
}

TEST_F(FileRefusal, FileInUseElsewhere)
{
    const QString path = finishedFile(QStringLiteral("vektas.db"));
    test::ScriptedPrompt firstPrompt;
    DatabaseSession first(firstPrompt);
    ASSERT_TRUE(first.openDatabase(path, false));

    expectRefused(path, {QStringLiteral("critical: Для открытия базы данных: ") + QDir::toNativeSeparators(path) +
                         QStringLiteral(" требуется монопольный доступ. Закройте все программы, использующие эту "
                                        "базу данных, после чего запустите программу \"Рационарий\" заново.")});
    // The holder goes on working undisturbed, and once it lets go the file opens.
    EXPECT_EQ(first.db().scalar(QStringLiteral("SELECT count(*) FROM type_meal")).toInt(), 0);
    first.close();
    test::ScriptedPrompt prompt;
    DatabaseSession second(prompt);
    EXPECT_TRUE(second.openDatabase(path, false));
    EXPECT_EQ(prompt.messages(), QStringList());
    EXPECT_EQ(firstPrompt.messages(), QStringList());
}

TEST_F(FileRefusal, AFailedOpenClosesTheDatabaseOpenBefore)
{
    const QString path = finishedFile(QStringLiteral("vektas.db"));
    test::ScriptedPrompt prompt;
    DatabaseSession session(prompt);
    ASSERT_TRUE(session.openDatabase(path, false));
    EXPECT_FALSE(session.openDatabase(file(QStringLiteral("другая.db")), false));
    EXPECT_FALSE(session.isOpen());

    // Closed, so no longer held.
    test::ScriptedPrompt otherPrompt;
    DatabaseSession other(otherPrompt);
    EXPECT_TRUE(other.openDatabase(path, false));
    EXPECT_EQ(otherPrompt.messages(), QStringList());
}

TEST_F(FileRefusal, NewFileOverAnExistingOne)
{
    const QString path = finishedFile(QStringLiteral("vektas.db"));
    const QByteArray before = test::fileBytes(path);
    test::ScriptedPrompt prompt;
    DatabaseSession session(prompt);
    EXPECT_FALSE(session.openDatabase(path, true));
    EXPECT_FALSE(session.createDatabase(path));
    const QString exists = QStringLiteral("critical: Файл базы данных ") + QDir::toNativeSeparators(path) +
                           QStringLiteral(" уже существует. Выберите другое имя файла.");
    EXPECT_EQ(prompt.messages(), (QStringList{exists, exists}));
    EXPECT_TRUE(test::fileBytes(path) == before);
    EXPECT_EQ(filesInFolder(), QStringList{QStringLiteral("vektas.db")});
}

TEST_F(FileRefusal, NewFileWhereNoneCanBeMade)
{
    const QString path = file(QStringLiteral("нет папки/vektas.db"));
    test::ScriptedPrompt prompt;
    DatabaseSession session(prompt);
    EXPECT_FALSE(session.createDatabase(path));
    EXPECT_FALSE(session.isOpen());
    EXPECT_EQ(prompt.messages(), QStringList{QStringLiteral("warning: Произошла ошибка при создании файла базы данных. "
                                                            "Ошибка: 14 unable to open database file.")});
    EXPECT_EQ(filesInFolder(), QStringList());
    EXPECT_FALSE(QFile::exists(path));
}
