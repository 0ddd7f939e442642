// Strict verification of the base tables of an existing file: the first deviation in catalogue
// order is named, the open fails, and the refused file is left exactly as it was.

#include "core/Database.h"
#include "core/DatabaseSession.h"
#include "core/FileSchema.h"
#include "core/SchemaCatalogue.h"
#include "support/ScriptedPrompt.h"
#include "support/TestEnv.h"

#include <QDir>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <functional>
#include <memory>

using namespace rat;

static void PrintTo(const QString& s, std::ostream* os)
{
    *os << '"' << s.toStdString() << '"';
}

namespace {

const QString kStructure = QStringLiteral("critical: Обнаружены ошибки в структуре файла базы данных! ");
const QString kStop = QStringLiteral(". Продолжение работы с этим файлом невозможно.");

QString missingTable(const QString& table)
{
    return kStructure + QStringLiteral("Отсутствует таблица: ") + table + kStop;
}
QString missingField(const QString& table, const QString& field)
{
    return kStructure + QStringLiteral("В таблице: ") + table + QStringLiteral(" отсутствует поле: ") + field + kStop;
}
QString missingIndex(const QString& table, const QString& index)
{
    return kStructure + QStringLiteral("В таблице: ") + table + QStringLiteral(" отсутствует индекс: ") + index + kStop;
}
QString wrongType(const QString& table, const QString& field)
{
    return QStringLiteral("critical: Тип данных поля ") + field + QStringLiteral(" таблицы ") + table +
           QStringLiteral(" не соответствует формату. Продолжение работы невозможно.");
}
QString wrongSize(const QString& table, const QString& field)
{
    return QStringLiteral("critical: Размер поля ") + field + QStringLiteral(" таблицы ") + table +
           QStringLiteral(" не соответствует формату. Продолжение работы невозможно.");
}
QString wrongAttributes(const QString& table, const QString& field)
{
    return QStringLiteral("critical: Параметры поля ") + field + QStringLiteral(" таблицы ") + table +
           QStringLiteral(" не соответствуют формату. Продолжение работы невозможно.");
}
QString wrongIndex(const QString& table, const QString& index)
{
    return QStringLiteral("critical: Параметры индекса ") + index + QStringLiteral(" таблицы ") + table +
           QStringLiteral(" не соответствует формату. Продолжение работы невозможно.");
}

TableDef baseTable(const QString& name)
{
    for (const TableDef& t : schema::baseTables())
        if (t.name == name)
            return t;
    ADD_FAILURE() << "no base table " << name.toStdString();
    return {};
}

FieldDef& fieldOf(TableDef& t, const QString& name)
{
    for (FieldDef& f : t.fields)
        if (f.name == name)
            return f;
    ADD_FAILURE() << "no field " << name.toStdString();
    static FieldDef none;
    return none;
}

// The table rebuilt from a changed definition, with its rows gone.
void replaceTable(Database& db, const TableDef& t)
{
    db.execScript(QStringLiteral("DROP TABLE ") + fileschema::quoteName(t.name));
    db.execScript(fileschema::createTableSql(t));
}

void replaceTableSql(Database& db, const QString& table, const QString& createSql)
{
    db.execScript(QStringLiteral("DROP TABLE ") + fileschema::quoteName(table));
    db.execScript(createSql);
}

class Verification : public ::testing::Test {
protected:
    // One finished file with a stamp and a few rows; every case changes a copy of it.
    static void SetUpTestSuite()
    {
        dir_ = new QTemporaryDir;
        templatePath_ = dir_->filePath(QStringLiteral("template.db"));
        test::ScriptedPrompt prompt;
        {
            DatabaseSession session(prompt);
            ASSERT_TRUE(session.createDatabase(templatePath_));
        }
        Database db(templatePath_, false);
        db.exec(QStringLiteral("INSERT INTO INF (Naim, appMajor, appMinor, appRevision) VALUES (?1, 10, 4, 4)"),
                {QStringLiteral("Детский сад №2")});
        db.exec(QStringLiteral("INSERT INTO type_meal (tname) VALUES (?1)"), {QStringLiteral("Первые блюда")});
        db.exec(QStringLiteral("INSERT INTO products (pname, fat) VALUES (?1, ?2)"), {QStringLiteral("Картофель"), 0.4});
    }
    static void TearDownTestSuite()
    {
        delete dir_;
        dir_ = nullptr;
    }

    // A copy of the finished file in a folder of its own, changed by `change`.
    QString craft(const std::function<void(Database&)>& change)
    {
        folder_ = env.path(QStringLiteral("case"));
        QDir(folder_).removeRecursively();
        QDir().mkpath(folder_);
        const QString path = folder_ + QStringLiteral("/vektas.db");
        EXPECT_TRUE(QFile::copy(templatePath_, path));
        {
            Database db(path, false);
            change(db);
        }
        return path;
    }

    // Opens the file and expects it refused with exactly `messages`, the file untouched and
    // nothing left beside it.
    void expectRefused(const QString& path, const QStringList& messages)
    {
        const QByteArray before = test::fileBytes(path);
        ASSERT_FALSE(before.isEmpty());
        test::ScriptedPrompt prompt;
        DatabaseSession session(prompt);
        EXPECT_FALSE(session.openDatabase(path, false));
        EXPECT_FALSE(session.isOpen());
        EXPECT_EQ(prompt.messages(), messages);
        EXPECT_TRUE(test::fileBytes(path) == before) << "the refused file was changed";
        EXPECT_EQ(QDir(folder_).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("vektas.db")});
    }

    void expectAccepted(const QString& path)
    {
        test::ScriptedPrompt prompt;
        DatabaseSession session(prompt);
        EXPECT_TRUE(session.openDatabase(path, false));
        EXPECT_EQ(prompt.messages(), QStringList());
    }

    test::TestEnv env;
    QString folder_;
    static inline QTemporaryDir* dir_ = nullptr;
    static inline QString templatePath_;
};

} // namespace

TEST_F(Verification, TheFinishedFileItselfPasses)
{
    expectAccepted(craft([](Database&) {}));
}

TEST_F(Verification, MissingTable)
{
    expectRefused(craft([](Database& db) { db.execScript(QStringLiteral("DROP TABLE days")); }),
                  {missingTable(QStringLiteral("days"))});
    expectRefused(craft([](Database& db) { db.execScript(QStringLiteral("DROP TABLE USERS")); }),
                  {missingTable(QStringLiteral("USERS"))});
}

TEST_F(Verification, MissingField)
{
    expectRefused(craft([](Database& db) { db.execScript(QStringLiteral("ALTER TABLE type_meal DROP COLUMN tname")); }),
                  {missingField(QStringLiteral("type_meal"), QStringLiteral("tname"))});
    expectRefused(craft([](Database& db) { db.execScript(QStringLiteral("ALTER TABLE INF DROP COLUMN [5week]")); }),
                  {missingField(QStringLiteral("INF"), QStringLiteral("5week"))});
    expectRefused(craft([](Database& db) { db.execScript(QStringLiteral("ALTER TABLE receipt DROP COLUMN [№docum]")); }),
                  {missingField(QStringLiteral("receipt"), QStringLiteral("№docum"))});
}

TEST_F(Verification, TypeDiffers)
{
    expectRefused(craft([](Database& db) {
                      TableDef t = baseTable(QStringLiteral("USERS"));
                      fieldOf(t, QStringLiteral("ROLE")).type = dbInteger;
                      fieldOf(t, QStringLiteral("ROLE")).size = 2;
                      replaceTable(db, t);
                  }),
                  {wrongType(QStringLiteral("USERS"), QStringLiteral("ROLE"))});
    // A memo where a text is due.
    expectRefused(craft([](Database& db) {
                      TableDef t = baseTable(QStringLiteral("eating"));
                      FieldDef& f = fieldOf(t, QStringLiteral("ename"));
                      f.type = dbMemo;
                      f.size = 0;
                      replaceTable(db, t);
                  }),
                  {wrongType(QStringLiteral("eating"), QStringLiteral("ename"))});
    // A declared type this program does not know is no text field either.
    expectRefused(craft([](Database& db) {
                      replaceTableSql(db, QStringLiteral("type_meal"),
                                      QStringLiteral("CREATE TABLE type_meal ([id] INTEGER PRIMARY KEY AUTOINCREMENT, "
                                                     "[tname] STRING(255))"));
                  }),
                  {wrongType(QStringLiteral("type_meal"), QStringLiteral("tname"))});
}

TEST_F(Verification, SizeDiffers)
{
    expectRefused(craft([](Database& db) {
                      TableDef t = baseTable(QStringLiteral("type_meal"));
                      fieldOf(t, QStringLiteral("tname")).size = 100;
                      replaceTable(db, t);
                  }),
                  {QStringLiteral("critical: Размер поля tname таблицы type_meal не соответствует формату. "
                                  "Продолжение работы невозможно.")});
    expectRefused(craft([](Database& db) {
                      TableDef t = baseTable(QStringLiteral("spisanie"));
                      fieldOf(t, QStringLiteral("№docum")).size = 50;
                      replaceTable(db, t);
                  }),
                  {wrongSize(QStringLiteral("spisanie"), QStringLiteral("№docum"))});
}

TEST_F(Verification, AttributesDiffer)
{
    // A key that is a plain number, not auto-increment.
    expectRefused(craft([](Database& db) {
                      replaceTableSql(db, QStringLiteral("type_meal"),
                                      QStringLiteral("CREATE TABLE type_meal ([id] INTEGER, [tname] VARCHAR(255))"));
                  }),
                  {wrongAttributes(QStringLiteral("type_meal"), QStringLiteral("id"))});
    // A text declared with fixed size.
    expectRefused(craft([](Database& db) {
                      TableDef t = baseTable(QStringLiteral("type_meal"));
                      fieldOf(t, QStringLiteral("tname")).attributes = attrFixed;
                      ASSERT_EQ(fileschema::declaredType(fieldOf(t, QStringLiteral("tname"))),
                                QStringLiteral("FIXED VARCHAR(255)"));
                      replaceTable(db, t);
                  }),
                  {wrongAttributes(QStringLiteral("type_meal"), QStringLiteral("tname"))});
    // A Boolean declared variable.
    expectRefused(craft([](Database& db) {
                      TableDef t = baseTable(QStringLiteral("day_menu"));
                      fieldOf(t, QStringLiteral("status")).attributes = attrVariable;
                      replaceTable(db, t);
                  }),
                  {wrongAttributes(QStringLiteral("day_menu"), QStringLiteral("status"))});
}

TEST_F(Verification, MissingPrimaryKey)
{
    // The key is still auto-increment, but no primary key stands on it.
    expectRefused(craft([](Database& db) {
                      replaceTableSql(db, QStringLiteral("type_meal"),
                                      QStringLiteral("CREATE TABLE type_meal ([id] COUNTER, [tname] VARCHAR(255))"));
                  }),
                  {missingIndex(QStringLiteral("type_meal"), QStringLiteral("PrimaryKey"))});
    expectRefused(craft([](Database& db) {
                      replaceTableSql(db, QStringLiteral("USERS"),
                                      QStringLiteral("CREATE TABLE USERS ([IDU] COUNTER, [NAIM] VARCHAR(50), "
                                                     "[ROLE] TINYINT, [PSSW] VARCHAR(15), [MEMO] TEXT)"));
                  }),
                  {missingIndex(QStringLiteral("USERS"), QStringLiteral("PrimaryKey"))});
}

TEST_F(Verification, PrimaryKeyOnTheWrongFields)
{
    const QStringList expected{wrongIndex(QStringLiteral("type_meal"), QStringLiteral("PrimaryKey"))};
    expectRefused(craft([](Database& db) {
                      replaceTableSql(db, QStringLiteral("type_meal"),
                                      QStringLiteral("CREATE TABLE type_meal ([id] COUNTER, [tname] VARCHAR(255) PRIMARY KEY)"));
                  }),
                  expected);
    expectRefused(craft([](Database& db) {
                      replaceTableSql(db, QStringLiteral("type_meal"),
                                      QStringLiteral("CREATE TABLE type_meal ([id] COUNTER, [tname] VARCHAR(255), "
                                                     "PRIMARY KEY ([id], [tname]))"));
                  }),
                  expected);
    // An index of that name, descending.
    expectRefused(craft([](Database& db) {
                      replaceTableSql(db, QStringLiteral("type_meal"),
                                      QStringLiteral("CREATE TABLE type_meal ([id] COUNTER, [tname] VARCHAR(255))"));
                      db.execScript(QStringLiteral("CREATE UNIQUE INDEX [type_meal.PrimaryKey] ON type_meal ([id] DESC)"));
                  }),
                  expected);
}

TEST_F(Verification, TheFirstDeviationInCatalogueOrderIsNamed)
{
    // Table 1 before table 32.
    expectRefused(craft([](Database& db) {
                      db.execScript(QStringLiteral("DROP TABLE days"));
                      TableDef t = baseTable(QStringLiteral("type_meal"));
                      fieldOf(t, QStringLiteral("tname")).size = 100;
                      replaceTable(db, t);
                  }),
                  {wrongSize(QStringLiteral("type_meal"), QStringLiteral("tname"))});
    // Within a table, the fields in their order, and the fields before the index.
    expectRefused(craft([](Database& db) {
                      TableDef t = baseTable(QStringLiteral("card_recipes"));
                      fieldOf(t, QStringLiteral("calories")).type = dbDouble;
                      fieldOf(t, QStringLiteral("calories")).size = 8;
                      t.fields.pop_back();  // fe
                      replaceTable(db, t);
                  }),
                  {wrongType(QStringLiteral("card_recipes"), QStringLiteral("calories"))});
    expectRefused(craft([](Database& db) {
                      replaceTableSql(db, QStringLiteral("type_meal"),
                                      QStringLiteral("CREATE TABLE type_meal ([id] COUNTER, [tname] VARCHAR(10))"));
                  }),
                  {wrongSize(QStringLiteral("type_meal"), QStringLiteral("tname"))});
}

TEST_F(Verification, ANewerFileIsToldAboutAndStillRefused)
{
    expectRefused(craft([](Database& db) {
                      db.exec(QStringLiteral("UPDATE INF SET appRevision = 5"));
                      db.execScript(QStringLiteral("DROP TABLE supplier"));
                  }),
                  {QStringLiteral("info: Версия базы данных новее, чем версия программы. Для работы с этой базой "
                                  "рекомендуется обновить программу."),
                   missingTable(QStringLiteral("supplier"))});
}

TEST_F(Verification, VerificationPrecedesEveryChange)
{
    // An old file (tables and columns to add) with a deviating base table: nothing is added.
    expectRefused(craft([](Database& db) {
                      db.execScript(QStringLiteral("DROP TABLE VALUTA; DROP TABLE NAMETABLE; "
                                                   "ALTER TABLE INF DROP COLUMN TaimOut; "
                                                   "ALTER TABLE day_menu DROP COLUMN [SUM]"));
                      db.exec(QStringLiteral("UPDATE INF SET appMajor = 9"));
                      TableDef t = baseTable(QStringLiteral("USERS"));
                      fieldOf(t, QStringLiteral("PSSW")).size = 20;
                      replaceTable(db, t);
                  }),
                  {wrongSize(QStringLiteral("USERS"), QStringLiteral("PSSW"))});
}

TEST_F(Verification, UnlistedFieldsIndexesAndTablesPass)
{
    // products.pname and any other field the catalogue does not list for a base table.
    expectAccepted(craft([](Database& db) {
        db.execScript(QStringLiteral("ALTER TABLE type_meal ADD COLUMN extra VARCHAR(3)"));
        db.execScript(QStringLiteral("ALTER TABLE products ADD COLUMN [старое поле] INTEGER"));
        db.execScript(QStringLiteral("CREATE INDEX [type_meal.byName] ON type_meal (tname)"));
        db.execScript(QStringLiteral("CREATE TABLE notes (id INTEGER PRIMARY KEY, txt TEXT)"));
    }));
    expectAccepted(craft([](Database& db) {
        db.execScript(QStringLiteral("ALTER TABLE products DROP COLUMN pname"));
    }));
}

TEST_F(Verification, NamesCompareWithoutLetterCase)
{
    const QString path = craft([](Database& db) {
        db.execScript(QStringLiteral("ALTER TABLE products RENAME TO tmp_products; "
                                     "ALTER TABLE tmp_products RENAME TO PRODUCTS; "
                                     "ALTER TABLE type_meal RENAME COLUMN tname TO TNAME; "
                                     "ALTER TABLE INF RENAME TO tmp_inf; ALTER TABLE tmp_inf RENAME TO inf"));
    });
    expectAccepted(path);
    Database db(path, false);
    // The upgrade found them under their file names and stamped the one INF row.
    EXPECT_TRUE(fileschema::tableNames(db).contains(QStringLiteral("PRODUCTS")));
    EXPECT_EQ(db.scalar(QStringLiteral("SELECT TNAME FROM type_meal")), QVariant(QStringLiteral("Первые блюда")));
    EXPECT_EQ(db.scalar(QStringLiteral("SELECT count(*) FROM inf")).toInt(), 1);
}
