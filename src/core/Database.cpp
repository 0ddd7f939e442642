// The SQLite connection, prepared statements with bound values and the transaction guard,
// with Unicode-aware lower/upper/fold functions registered on the connection.

#include "core/Database.h"
#include "core/TextFold.h"

#include <sqlite3.h>

#include <QHash>

namespace rat {

// The prepared statements of one connection by their text, each lent to one Statement at a time:
// a second user of a text already lent prepares a statement of its own. Only reads and writes of
// rows are kept (a pragma may act while it is prepared); a full cache lets go of the idle ones.
class StatementCache {
public:
    static constexpr int kLimit = 256;

    // The idle statement of this text, now lent; nullptr when there is none.
    sqlite3_stmt* borrow(const QByteArray& sql)
    {
        const auto it = entries_.find(sql);
        if (it == entries_.end() || it->lent)
            return nullptr;
        if (it->generation != generation_ || sqlite3_expired(it->stmt)) {
            // The tables may have changed since: prepared anew, so the columns a caller reads
            // before the first row are the table's as it stands now.
            sqlite3_finalize(it->stmt);
            entries_.erase(it);
            return nullptr;
        }
        it->lent = true;
        return it->stmt;
    }

    // Keeps a statement just prepared, as lent; false when its text is already kept.
    bool keep(const QByteArray& sql, sqlite3_stmt* stmt)
    {
        if (closed_ || entries_.contains(sql))
            return false;
        if (entries_.size() >= kLimit)
            dropIdle();
        entries_.insert(sql, Entry{stmt, true, generation_});
        return true;
    }

    // Takes a lent statement back reset and without bindings; false once the connection is
    // closing, when the user finalizes it instead.
    bool giveBack(const QByteArray& sql)
    {
        const auto it = entries_.find(sql);
        if (it == entries_.end())
            return false;
        if (closed_) {
            entries_.erase(it);
            return false;
        }
        sqlite3_reset(it->stmt);
        sqlite3_clear_bindings(it->stmt);
        it->lent = false;
        return true;
    }

    // Finalizes the idle statements before the connection closes; the lent ones are finalized by
    // their users.
    void close()
    {
        closed_ = true;
        dropIdle();
    }

    bool closed() const { return closed_; }
    // Something other than a read or write of rows ran: a table may have changed.
    void tablesMayChange() { ++generation_; }

private:
    // Finalizes the statements nobody has borrowed.
    void dropIdle()
    {
        for (auto it = entries_.begin(); it != entries_.end();) {
            if (it->lent) {
                ++it;
            } else {
                sqlite3_finalize(it->stmt);
                it = entries_.erase(it);
            }
        }
    }

    struct Entry {
        sqlite3_stmt* stmt = nullptr;
        bool lent = false;
        quint64 generation = 0;
    };
    QHash<QByteArray, Entry> entries_;
    bool closed_ = false;
    quint64 generation_ = 0;
};

DbError::DbError(int code, const QString& message)
    : std::runtime_error(message.toStdString()), code_(code), text_(message)
{
}

QString isoDate(const QDate& d)
{
    return d.toString(Qt::ISODate);
}

QDate parseIsoDate(const QString& text)
{
    return QDate::fromString(text.left(10), Qt::ISODate);
}

namespace {

QString argText(sqlite3_value* v)
{
    const auto* p = reinterpret_cast<const char*>(sqlite3_value_text(v));
    return QString::fromUtf8(p, sqlite3_value_bytes(v));
}

void resultText(sqlite3_context* ctx, const QString& s)
{
    const QByteArray u = s.toUtf8();
    sqlite3_result_text(ctx, u.constData(), int(u.size()), SQLITE_TRANSIENT);
}

void fnLower(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    resultText(ctx, argText(argv[0]).toLower());
}

void fnUpper(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    resultText(ctx, argText(argv[0]).toUpper());
}

void fnFold(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    resultText(ctx, foldText(argText(argv[0])));
}

bool startsWithOneOf(const QByteArray& sql, std::initializer_list<const char*> words)
{
    qsizetype i = 0;
    while (i < sql.size() && (sql[i] == ' ' || sql[i] == '\n' || sql[i] == '\t' || sql[i] == '\r'))
        ++i;
    const QByteArray word = sql.mid(i, 9).toUpper();
    for (const char* w : words)
        if (word.startsWith(w))
            return true;
    return false;
}

// A read or write of rows, which is safe to keep prepared.
bool cacheable(const QByteArray& sql)
{
    return startsWithOneOf(sql, {"SELECT", "INSERT", "UPDATE", "DELETE", "WITH", "REPLACE"});
}

int collateRu(void*, int n1, const void* p1, int n2, const void* p2)
{
    const QString a = QString::fromUtf8(static_cast<const char*>(p1), n1);
    const QString b = QString::fromUtf8(static_cast<const char*>(p2), n2);
    return compareRussian(a, b);
}

} // namespace

Database::Database(const QString& path, bool create) : path_(path)
{
    int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX;
    if (create)
        flags |= SQLITE_OPEN_CREATE;
    const int rc = sqlite3_open_v2(path.toUtf8().constData(), &db_, flags, nullptr);
    if (rc != SQLITE_OK) {
        const QString msg = db_ ? QString::fromUtf8(sqlite3_errmsg(db_)) : QString();
        sqlite3_close(db_);
        db_ = nullptr;
        throw DbError(rc, msg);
    }
    sqlite3_extended_result_codes(db_, 0);
    // Text comparisons fold Cyrillic as well as Latin; SQLite's own functions fold ASCII only.
    const int enc = SQLITE_UTF8 | SQLITE_DETERMINISTIC;
    sqlite3_create_function(db_, "lower", 1, enc, nullptr, fnLower, nullptr, nullptr);
    sqlite3_create_function(db_, "upper", 1, enc, nullptr, fnUpper, nullptr, nullptr);
    sqlite3_create_function(db_, "fold", 1, enc, nullptr, fnFold, nullptr, nullptr);
    sqlite3_create_collation(db_, "RU", SQLITE_UTF8, nullptr, collateRu);
    // Pages are read through a memory map rather than copied into the page cache one by one:
    // the start-up check and the lists read whole tables, and the copies were half their time.
    sqlite3_exec(db_, "PRAGMA mmap_size = 268435456", nullptr, nullptr, nullptr);
    cache_ = std::make_shared<StatementCache>();
}

Database::~Database()
{
    cache_->close();
    sqlite3_close_v2(db_);
}

void Database::raise(int rc) const
{
    throw DbError(rc, QString::fromUtf8(sqlite3_errmsg(db_)));
}

void Database::execScript(const QString& sql)
{
    const QByteArray u = sql.toUtf8();
    if (!startsWithOneOf(u, {"SAVEPOINT", "RELEASE", "ROLLBACK", "BEGIN", "COMMIT", "END"}))
        cache_->tablesMayChange();
    char* err = nullptr;
    const int rc = sqlite3_exec(db_, u.constData(), nullptr, nullptr, &err);
    if (rc != SQLITE_OK) {
        const QString msg = QString::fromUtf8(err ? err : sqlite3_errstr(rc));
        sqlite3_free(err);
        throw DbError(rc, msg);
    }
}

int Database::exec(const QString& sql, const std::vector<QVariant>& params)
{
    Statement st(*this, sql);
    st.bindAll(params);
    st.exec();
    return sqlite3_changes(db_);
}

QVariant Database::scalar(const QString& sql, const std::vector<QVariant>& params)
{
    Statement st(*this, sql);
    st.bindAll(params);
    if (!st.next())
        return {};
    return st.value(0);
}

qint64 Database::lastInsertId() const
{
    return sqlite3_last_insert_rowid(db_);
}

bool Database::textInUtf8() const
{
    if (textInUtf8_ < 0) {
        sqlite3_stmt* st = nullptr;
        if (sqlite3_prepare_v2(db_, "PRAGMA encoding", -1, &st, nullptr) == SQLITE_OK && sqlite3_step(st) == SQLITE_ROW)
            textInUtf8_ = qstrcmp(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)), "UTF-8") == 0 ? 1 : 0;
        sqlite3_finalize(st);
    }
    return textInUtf8_ == 1;
}

bool Database::inTransaction() const
{
    return sqlite3_get_autocommit(db_) == 0;
}

// --- Statement -------------------------------------------------------------------------

Statement::Statement(Database& db, const QString& sql) : db_(&db)
{
    const QByteArray u = sql.toUtf8();
    const bool keepable = !db.cache_->closed() && cacheable(u);
    if (!keepable)
        db.cache_->tablesMayChange();
    if (keepable) {
        stmt_ = db.cache_->borrow(u);
        if (stmt_) {
            cache_ = db.cache_;
            key_ = u;
            return;
        }
    }
    const int rc = sqlite3_prepare_v2(db.handle(), u.constData(), int(u.size()), &stmt_, nullptr);
    if (rc != SQLITE_OK)
        db.raise(rc);
    if (keepable && stmt_ && db.cache_->keep(u, stmt_)) {
        cache_ = db.cache_;
        key_ = u;
    }
}

Statement::Statement(Statement&& other) noexcept
    : db_(other.db_), stmt_(other.stmt_), cache_(std::move(other.cache_)), key_(std::move(other.key_))
{
    other.stmt_ = nullptr;
    other.cache_.reset();
}

Statement::~Statement()
{
    if (cache_ && cache_->giveBack(key_))
        return;
    sqlite3_finalize(stmt_);
}

Statement& Statement::bind(int index, const QVariant& v)
{
    int rc = SQLITE_OK;
    if (!v.isValid() || v.isNull()) {
        rc = sqlite3_bind_null(stmt_, index);
    } else {
        switch (v.typeId()) {
        case QMetaType::Bool:
            rc = sqlite3_bind_int(stmt_, index, v.toBool() ? -1 : 0);
            break;
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::Short:
        case QMetaType::UShort:
        case QMetaType::Char:
        case QMetaType::UChar:
        case QMetaType::SChar:
        case QMetaType::Long:
        case QMetaType::LongLong:
        case QMetaType::ULongLong:
        case QMetaType::ULong:
            rc = sqlite3_bind_int64(stmt_, index, v.toLongLong());
            break;
        case QMetaType::Double:
        case QMetaType::Float:
            rc = sqlite3_bind_double(stmt_, index, v.toDouble());
            break;
        case QMetaType::QDate: {
            const QByteArray u = isoDate(v.toDate()).toUtf8();
            rc = sqlite3_bind_text(stmt_, index, u.constData(), int(u.size()), SQLITE_TRANSIENT);
            break;
        }
        case QMetaType::QDateTime: {
            const QByteArray u = v.toDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")).toUtf8();
            rc = sqlite3_bind_text(stmt_, index, u.constData(), int(u.size()), SQLITE_TRANSIENT);
            break;
        }
        default: {
            const QByteArray u = v.toString().toUtf8();
            rc = sqlite3_bind_text(stmt_, index, u.constData(), int(u.size()), SQLITE_TRANSIENT);
            break;
        }
        }
    }
    if (rc != SQLITE_OK)
        db_->raise(rc);
    return *this;
}

Statement& Statement::bindAll(const std::vector<QVariant>& values)
{
    for (size_t i = 0; i < values.size(); ++i)
        bind(int(i) + 1, values[i]);
    return *this;
}

bool Statement::next()
{
    const int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_ROW)
        return true;
    if (rc == SQLITE_DONE)
        return false;
    const int code = sqlite3_errcode(db_->handle());
    sqlite3_reset(stmt_);
    db_->raise(code ? code : rc);
}

void Statement::exec()
{
    while (next()) {
    }
}

void Statement::reset()
{
    sqlite3_reset(stmt_);
    sqlite3_clear_bindings(stmt_);
}

int Statement::columnCount() const
{
    return sqlite3_column_count(stmt_);
}

QString Statement::columnName(int col) const
{
    return QString::fromUtf8(sqlite3_column_name(stmt_, col));
}

int Statement::columnIndex(const QString& name) const
{
    const int n = columnCount();
    for (int i = 0; i < n; ++i)
        if (columnName(i).compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

bool Statement::isNull(int col) const
{
    return sqlite3_column_type(stmt_, col) == SQLITE_NULL;
}

Statement::Stored Statement::stored(int col) const
{
    switch (sqlite3_column_type(stmt_, col)) {
    case SQLITE_NULL: return Stored::Null;
    case SQLITE_INTEGER:
    case SQLITE_FLOAT: return Stored::Number;
    default: return Stored::Text;
    }
}

QVariant Statement::value(int col) const
{
    switch (sqlite3_column_type(stmt_, col)) {
    case SQLITE_INTEGER: return QVariant(qint64(sqlite3_column_int64(stmt_, col)));
    case SQLITE_FLOAT: return QVariant(sqlite3_column_double(stmt_, col));
    case SQLITE_NULL: return QVariant();
    default: return QVariant(toString(col));
    }
}

QVariant Statement::value(const QString& name) const
{
    const int i = columnIndex(name);
    return i < 0 ? QVariant() : value(i);
}

qint64 Statement::toInt64(int col) const
{
    return sqlite3_column_int64(stmt_, col);
}

double Statement::toDouble(int col) const
{
    return sqlite3_column_double(stmt_, col);
}

QString Statement::toString(int col) const
{
    return QString::fromUtf8(utf8(col));
}

QByteArrayView Statement::utf8(int col) const
{
    // A stored text is read in place: sqlite3_column_text would first copy it to terminate it.
    if (sqlite3_column_type(stmt_, col) == SQLITE_TEXT && db_->textInUtf8()) {
        const auto* p = static_cast<const char*>(sqlite3_column_blob(stmt_, col));
        const int n = sqlite3_column_bytes(stmt_, col);
        return p ? QByteArrayView(p, n) : QByteArrayView("", 0);
    }
    const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, col));
    return p ? QByteArrayView(p, sqlite3_column_bytes(stmt_, col)) : QByteArrayView();
}

bool Statement::toBool(int col) const
{
    return sqlite3_column_double(stmt_, col) != 0.0;
}

// --- Transaction -----------------------------------------------------------------------

Transaction::Transaction(Database& db) : db_(db)
{
    if (db.inTransaction()) {
        static int counter = 0;
        savepoint_ = QStringLiteral("sp%1").arg(++counter);
        db.execScript(QStringLiteral("SAVEPOINT ") + savepoint_);
    } else {
        db.execScript(QStringLiteral("BEGIN IMMEDIATE"));
    }
}

Transaction::~Transaction()
{
    if (done_)
        return;
    try {
        if (savepoint_.isEmpty()) {
            db_.execScript(QStringLiteral("ROLLBACK"));
        } else {
            db_.execScript(QStringLiteral("ROLLBACK TO ") + savepoint_);
            db_.execScript(QStringLiteral("RELEASE ") + savepoint_);
        }
    } catch (const DbError&) {
        // The engine has already rolled back on its own (for example after an I/O error).
    }
}

void Transaction::commit()
{
    db_.execScript(savepoint_.isEmpty() ? QStringLiteral("COMMIT")
                                        : QStringLiteral("RELEASE ") + savepoint_);
    done_ = true;
}

} // namespace rat
