#pragma once
// A small RAII layer over the SQLite C API: the connection, prepared statements with bound
// values, and a transaction guard. Booleans are stored as -1 / 0, dates as ISO text.

#include <QByteArrayView>
#include <QDate>
#include <QDateTime>
#include <QString>
#include <QVariant>
#include <initializer_list>
#include <memory>
#include <stdexcept>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

namespace rat {

class DbError : public std::runtime_error {
public:
    DbError(int code, const QString& message);
    int code() const { return code_; }
    QString text() const { return text_; }

private:
    int code_;
    QString text_;
};

class Database;
class StatementCache;

// A statement prepared from SQL text. Plain reads and writes are borrowed from the connection's
// cache of prepared statements, so a statement run again for every document of a long operation
// is compiled once; it goes back reset and with its bindings cleared when this object ends.
class Statement {
public:
    Statement(Database& db, const QString& sql);
    ~Statement();
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;
    Statement(Statement&& other) noexcept;

    // Binds by 1-based position. A null QVariant binds NULL; bool binds -1/0; QDate binds
    // 'YYYY-MM-DD'; QDateTime binds 'YYYY-MM-DD HH:MM:SS'.
    Statement& bind(int index, const QVariant& value);
    Statement& bindAll(const std::vector<QVariant>& values);

    // Advances to the next row; false when the statement is done.
    bool next();
    // Runs a statement that returns no rows.
    void exec();
    void reset();

    int columnCount() const;
    QString columnName(int col) const;
    int columnIndex(const QString& name) const;  // case-insensitive; -1 when absent
    bool isNull(int col) const;
    // How the value is stored, asked before a read converts it; a blob counts as a text.
    enum class Stored { Null, Number, Text };
    Stored stored(int col) const;
    QVariant value(int col) const;
    QVariant value(const QString& name) const;
    qint64 toInt64(int col) const;
    double toDouble(int col) const;
    QString toString(int col) const;
    // The value as UTF-8 text, valid until the next step; a null view for NULL.
    QByteArrayView utf8(int col) const;
    bool toBool(int col) const;  // any non-zero number is true

private:
    Database* db_;
    sqlite3_stmt* stmt_ = nullptr;
    std::shared_ptr<StatementCache> cache_;  // set while the statement is borrowed from it
    QByteArray key_;                         // its text in the cache
};

class Database {
public:
    // Opens (or with create set, creates) the file. Throws DbError when SQLite refuses it.
    Database(const QString& path, bool create);
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    const QString& path() const { return path_; }
    sqlite3* handle() const { return db_; }

    // Runs one or more statements without parameters.
    void execScript(const QString& sql);
    // Runs one statement with bound parameters; returns the number of changed rows.
    int exec(const QString& sql, const std::vector<QVariant>& params = {});
    // First column of the first row, or a null QVariant when there is no row.
    QVariant scalar(const QString& sql, const std::vector<QVariant>& params = {});
    qint64 lastInsertId() const;

    bool inTransaction() const;
    // The file keeps its texts in UTF-8, the encoding SQLite gives a new file (asked once).
    bool textInUtf8() const;

    [[noreturn]] void raise(int rc) const;

private:
    friend class Statement;
    QString path_;
    sqlite3* db_ = nullptr;
    std::shared_ptr<StatementCache> cache_;
    mutable int textInUtf8_ = -1;  // not yet known
};

// Commits only when commit() is called; a guard that goes out of scope otherwise (an
// exception in flight, an early return) rolls the work back. Nested guards join the
// outermost transaction through savepoints.
class Transaction {
public:
    explicit Transaction(Database& db);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    void commit();

private:
    Database& db_;
    QString savepoint_;
    bool done_ = false;
};

// Bool as the file stores it.
inline int boolValue(bool b) { return b ? -1 : 0; }

QString isoDate(const QDate& d);
QDate parseIsoDate(const QString& text);

} // namespace rat
