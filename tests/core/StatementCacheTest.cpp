// Prepared statements kept by the connection: a text in use by one statement still works for a
// second at the same time, nothing bound or half-read is carried into the next use, a read
// stopped after its first row does not keep other connections from writing, a changed table
// shows its new columns, and a statement may outlive its connection.

#include "core/Database.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <optional>

using namespace rat;

namespace {

class StatementCacheTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        path = dir.filePath(QStringLiteral("cache.db"));
        db.emplace(path, true);
        db->execScript(QStringLiteral("CREATE TABLE t (id INTEGER PRIMARY KEY, v TEXT); "
                                      "INSERT INTO t (v) VALUES ('a'), ('b'), ('c');"));
    }

    QTemporaryDir dir;
    QString path;
    std::optional<Database> db;
};

TEST_F(StatementCacheTest, SameTextNestedGivesTwoIndependentStatements)
{
    const QString sql = QStringLiteral("SELECT v FROM t WHERE id >= ?1 ORDER BY id");
    QStringList seen;
    Statement outer(*db, sql);
    outer.bind(1, 1);
    while (outer.next()) {
        Statement inner(*db, sql);
        inner.bind(1, 3);
        ASSERT_TRUE(inner.next());
        seen << outer.toString(0) + inner.toString(0);
    }
    EXPECT_EQ(seen, (QStringList{QStringLiteral("ac"), QStringLiteral("bc"), QStringLiteral("cc")}));
    // Both given back: the text runs again from its first row.
    EXPECT_EQ(db->scalar(sql, {2}).toString(), QStringLiteral("b"));
}

TEST_F(StatementCacheTest, BindingsAndRowsDoNotCarryOver)
{
    const QString sql = QStringLiteral("SELECT COUNT(*) FROM t WHERE ?1 IS NULL OR id = ?1");
    EXPECT_EQ(db->scalar(sql, {2}).toLongLong(), 1);
    EXPECT_EQ(db->scalar(sql).toLongLong(), 3);  // nothing bound this time: NULL, not the 2 before
    const QString insert = QStringLiteral("INSERT INTO t (v) VALUES (?1)");
    EXPECT_EQ(db->exec(insert, {QStringLiteral("d")}), 1);
    EXPECT_EQ(db->exec(insert), 1);
    EXPECT_EQ(db->scalar(QStringLiteral("SELECT COUNT(*) FROM t WHERE v IS NULL")).toLongLong(), 1);
    // A read stopped at its first row starts over on the next use.
    EXPECT_EQ(db->scalar(QStringLiteral("SELECT v FROM t ORDER BY id")).toString(), QStringLiteral("a"));
    EXPECT_EQ(db->scalar(QStringLiteral("SELECT v FROM t ORDER BY id")).toString(), QStringLiteral("a"));
}

TEST_F(StatementCacheTest, StoppedReadLeavesTheFileFreeAndTablesDroppable)
{
    EXPECT_EQ(db->scalar(QStringLiteral("SELECT v FROM t ORDER BY id")).toString(), QStringLiteral("a"));
    {
        Database other(path, false);
        EXPECT_NO_THROW(other.exec(QStringLiteral("INSERT INTO t (v) VALUES ('x')")));
    }
    EXPECT_NO_THROW(db->execScript(QStringLiteral("DROP TABLE t; CREATE TABLE t (id INTEGER PRIMARY KEY, w TEXT, v TEXT); "
                                                  "INSERT INTO t (w, v) VALUES ('1', 'z');")));
    // The kept statement follows the new table.
    EXPECT_EQ(db->scalar(QStringLiteral("SELECT v FROM t ORDER BY id")).toString(), QStringLiteral("z"));
}

TEST_F(StatementCacheTest, ColumnsFollowAChangedTableBeforeTheFirstRow)
{
    const QString sql = QStringLiteral("SELECT * FROM t");
    EXPECT_EQ(Statement(*db, sql).columnCount(), 2);
    db->execScript(QStringLiteral("ALTER TABLE t ADD COLUMN w TEXT"));
    Statement st(*db, sql);
    EXPECT_EQ(st.columnCount(), 3);
    EXPECT_EQ(st.columnName(2), QStringLiteral("w"));
}

TEST_F(StatementCacheTest, PragmaRunsAfreshAndStatementsMayOutliveTheConnection)
{
    db->exec(QStringLiteral("PRAGMA user_version = 5"));
    EXPECT_EQ(db->scalar(QStringLiteral("PRAGMA user_version")).toLongLong(), 5);
    db->exec(QStringLiteral("PRAGMA user_version = 7"));
    EXPECT_EQ(db->scalar(QStringLiteral("PRAGMA user_version")).toLongLong(), 7);

    db->scalar(QStringLiteral("SELECT v FROM t"));  // kept idle
    std::optional<Statement> lent;
    lent.emplace(*db, QStringLiteral("SELECT v FROM t"));
    ASSERT_TRUE(lent->next());
    db.reset();   // the connection closes with the statement still lent
    lent.reset(); // which then finalizes on its own
    Database again(path, false);
    EXPECT_EQ(again.scalar(QStringLiteral("SELECT COUNT(*) FROM t")).toLongLong(), 3);
}

} // namespace
