// The consistency check of a file opened for work: orphaned menu-requirements, working copies,
// duplicate recipe lines and plan-menu entries.

#include "core/StartupCheck.h"
#include "core/Database.h"
#include "core/Prompt.h"

#include <QSet>
#include <sqlite3.h>
#include <QStringList>
#include <algorithm>
#include <limits>
#include <optional>
#include <array>
#include <vector>

namespace rat {
namespace {

// Removes whole menu-requirements, one statement per table however many there are.
void deleteRequirements(Database& db, const QSet<qint64>& idms)
{
    if (idms.isEmpty())
        return;
    QStringList ids;
    for (qint64 idm : idms)
        ids << QString::number(idm);
    const QString list = QLatin1Char('[') + ids.join(QLatin1Char(',')) + QLatin1Char(']');
    for (const char* table : {"MENUTR_POINT", "MENUTM", "MENUTR"})
        db.exec(QStringLiteral("DELETE FROM %1 WHERE IDM IN (SELECT value FROM json_each(?1))").arg(QLatin1String(table)),
                {list});
}

// The keys of a column read in one pass over its table (NULL left out), and whether the table
// has any row at all.
struct KeyScan {
    QSet<qint64> ids;
    bool anyRow = false;
};

// A C function known to SQL for the life of the guard, also when a query throws.
class ScopedFunction {
public:
    ScopedFunction(Database& db, const char* name, int args, void* state,
                   void (*fn)(sqlite3_context*, int, sqlite3_value**))
        : db_(db), name_(name), args_(args)
    {
        sqlite3_create_function(db_.handle(), name_, args_, SQLITE_UTF8, state, fn, nullptr, nullptr);
    }
    ~ScopedFunction() { sqlite3_create_function(db_.handle(), name_, args_, SQLITE_UTF8, nullptr, nullptr, nullptr, nullptr); }
    ScopedFunction(const ScopedFunction&) = delete;
    ScopedFunction& operator=(const ScopedFunction&) = delete;

private:
    Database& db_;
    const char* name_;
    int args_;
};

// SQL function newkey(x): 1 when x differs from the value of the row before, else 0. The rows
// of one key mostly stand together, so that only the first of each run leaves the engine.
void newKey(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    auto* last = static_cast<std::optional<qint64>*>(sqlite3_user_data(ctx));
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) {
        last->reset();
        sqlite3_result_int(ctx, 0);
        return;
    }
    const qint64 v = sqlite3_value_int64(argv[0]);
    const bool changed = !last->has_value() || **last != v;
    *last = v;
    sqlite3_result_int(ctx, changed ? 1 : 0);
}

KeyScan scanKeys(Database& db, const QString& table, const QString& column)
{
    KeyScan k;
    k.anyRow = db.scalar(QStringLiteral("SELECT EXISTS (SELECT 1 FROM %1)").arg(table)).toLongLong() != 0;
    if (!k.anyRow)
        return k;
    std::optional<qint64> last;
    const ScopedFunction fn(db, "newkey", 1, &last, newKey);
    Statement st(db, QStringLiteral("SELECT %2 FROM %1 WHERE %2 IS NOT NULL AND newkey(%2)").arg(table, column));
    while (st.next())
        k.ids.insert(st.toInt64(0));
    return k;
}

// The name of an index of the table that holds every row's value of the column first, in the
// column's own order (not partial, plain comparison); empty when there is none.
QString keyIndexOf(Database& db, const QString& table, const QString& column)
{
    return db.scalar(QStringLiteral("SELECT l.name FROM pragma_index_list(?1) AS l, pragma_index_xinfo(l.name) AS c "
                                    "WHERE l.partial = 0 AND c.seqno = 0 AND c.name = ?2 COLLATE NOCASE "
                                    "AND c.coll = 'BINARY' ORDER BY l.name LIMIT 1"),
                     {table, column})
        .toString();
}

// The keys of a large table: walked from key to key along an index of the column when it has
// one (a step per distinct key, however many rows each has), else read from every row.
KeyScan readKeys(Database& db, const QString& table, const QString& column)
{
    const QString index = keyIndexOf(db, table, column);
    if (index.isEmpty())
        return scanKeys(db, table, column);
    QString quoted = index;
    quoted.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    const QString from = table + QStringLiteral(" INDEXED BY \"") + quoted + QLatin1Char('"');
    std::optional<Statement> st;
    try {
        st.emplace(db, QStringLiteral("WITH RECURSIVE k(v) AS (SELECT (SELECT min(%2) FROM %1) UNION ALL "
                                      "SELECT (SELECT min(%2) FROM %1 WHERE %2 > k.v) FROM k WHERE k.v IS NOT NULL) "
                                      "SELECT v FROM k WHERE v IS NOT NULL").arg(from, column));
    } catch (const DbError&) {
        return scanKeys(db, table, column);  // an index the engine will not walk this way
    }
    KeyScan k;
    while (st->next())
        k.ids.insert(st->toInt64(0));
    k.anyRow = !k.ids.isEmpty() ||
               db.scalar(QStringLiteral("SELECT EXISTS (SELECT 1 FROM %1)").arg(table)).toLongLong() != 0;
    return k;
}

// SQL function digest(a, b, ...): appends the row's digest to the list it was registered with
// and returns 0, so that the rows never leave the engine one by one.
void digestRow(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    quint64 h = 0x9e3779b97f4a7c15ull;
    for (int c = 0; c < argc; ++c) {
        // One step of a 64-bit mix (splitmix) per value.
        quint64 x = h ^ quint64(sqlite3_value_int64(argv[c]));
        x = (x ^ (x >> 30)) * 0xbf58476d1ce4e5b9ull;
        x = (x ^ (x >> 27)) * 0x94d049bb133111ebull;
        h = x ^ (x >> 31);
    }
    static_cast<std::vector<quint64>*>(sqlite3_user_data(ctx))->push_back(h);
    sqlite3_result_int(ctx, 0);
}

// True when some value stands more than `limit` times among the digests. They are first dealt
// into buckets by their top bits, a single pass, and each small bucket is sorted on its own
// (equal digests always share a bucket): a fraction of the time of one sort of them all.
bool anyRunLongerThan(const std::vector<quint64>& keys, int limit)
{
    constexpr int kBits = 16;
    std::vector<quint32> start((size_t(1) << kBits) + 1, 0);
    for (quint64 k : keys)
        ++start[size_t(k >> (64 - kBits)) + 1];
    for (size_t b = 1; b < start.size(); ++b)
        start[b] += start[b - 1];
    std::vector<quint64> dealt(keys.size());
    {
        std::vector<quint32> next(start.begin(), start.end() - 1);
        for (quint64 k : keys)
            dealt[next[size_t(k >> (64 - kBits))]++] = k;
    }
    for (size_t b = 0; b + 1 < start.size(); ++b) {
        const auto first = dealt.begin() + start[b], last = dealt.begin() + start[b + 1];
        if (last - first <= limit)
            continue;
        std::sort(first, last);
        int run = 0;
        for (auto it = first; it != last; ++it) {
            run = it != first && *it == *(it - 1) ? run + 1 : 1;
            if (run > limit)
                return true;
        }
    }
    return false;
}

// True when some combination of the columns of `table` may stand more than `limit` times. Each
// row is read as one 64-bit digest of its values taken as integers: equal rows always give equal
// digests, and anything that merges rows (texts or fractions read as integers, NULL read as 0,
// two digests alike) can only make more rows equal, so a false answer is sure; a true one is
// confirmed by the caller.
bool anyRepeated(Database& db, const QString& table, const QString& columnList, int limit)
{
    std::vector<quint64> keys;
    {
        const ScopedFunction fn(db, "digest", -1, &keys, digestRow);
        db.scalar(QStringLiteral("SELECT COUNT(*) FROM ") + table + QStringLiteral(" WHERE digest(") + columnList +
                  QStringLiteral(")"));
    }
    return anyRunLongerThan(keys, limit);
}

// Empties the working copies of a menu-requirement. Emptying an empty table still rewrites
// its page, so tables already empty are left as they are: an ordinary start writes nothing.
void emptyWorkingCopies(Database& db)
{
    for (const char* table : {"MENUTR1", "MENUTM1", "MENUTR_POINT1"}) {
        const QString name = QLatin1String(table);
        if (db.scalar(QStringLiteral("SELECT EXISTS (SELECT 1 FROM %1)").arg(name)).toLongLong() != 0)
            db.exec(QStringLiteral("DELETE FROM %1").arg(name));
    }
}

} // namespace

void clearWorkingCopies(Database& db)
{
    Transaction tx(db);
    emptyWorkingCopies(db);
    tx.commit();
}

void runStartupCheck(Database& db, Prompt& prompt)
{
    if (db.scalar(QStringLiteral("SELECT appMajor FROM INF LIMIT 1")).isNull())
        return;
    prompt.status(QStringLiteral("Выполняется проверка базы данных..."));
    const QString repairing = QStringLiteral("Выполняется устранение ошибок в базе данных...");

    Transaction tx(db);
    // Each table of the menu-requirements is read once; what is whole is worked out here.
    std::vector<std::pair<std::optional<qint64>, std::optional<qint64>>> links;  // MENUTM: IDM, day menu
    {
        Statement st(db, QStringLiteral("SELECT IDM, ID_day_menu FROM MENUTM"));
        while (st.next())
            links.emplace_back(st.isNull(0) ? std::nullopt : std::optional<qint64>(st.toInt64(0)),
                               st.isNull(1) ? std::nullopt : std::optional<qint64>(st.toInt64(1)));
    }
    KeyScan headers = scanKeys(db, QStringLiteral("MENUTR"), QStringLiteral("IDM"));
    KeyScan lines = readKeys(db, QStringLiteral("MENUTR_POINT"), QStringLiteral("IDM"));
    if (!links.empty() || headers.anyRow || lines.anyRow) {
        // Menu-requirements of day menus that no longer exist.
        QSet<qint64> dayMenus;
        if (!links.empty())
            dayMenus = scanKeys(db, QStringLiteral("day_menu"), QStringLiteral("id")).ids;
        QSet<qint64> orphans, menus;
        for (const auto& [idm, dayMenu] : links) {
            if (!idm)
                continue;
            menus.insert(*idm);
            if (!dayMenu || !dayMenus.contains(*dayMenu))
                orphans.insert(*idm);
        }
        prompt.status(repairing);
        deleteRequirements(db, orphans);
        menus.subtract(orphans);
        headers.ids.subtract(orphans);
        lines.ids.subtract(orphans);

        // A menu-requirement is whole only when its header, its day menus and its lines are all
        // there; whatever part of it is left alone is removed.
        QSet<qint64> whole = headers.ids;
        whole.intersect(menus).intersect(lines.ids);
        QSet<qint64> removed;
        for (const QSet<qint64>* part : {&headers.ids, &menus, &lines.ids}) {
            prompt.status(repairing);
            QSet<qint64> broken = *part;
            broken.subtract(whole).subtract(removed);
            deleteRequirements(db, broken);
            removed.unite(broken);
        }
    }
    emptyWorkingCopies(db);

    // Recipe lines are cleaned only when some line stands more than five times: a few equal
    // lines may be meant; many are the trace of an old fault.
    const QString recipeGroup = QStringLiteral(
        "id_card_recipes, id_product, brutto, netto, isComment, isVariant, id_MainCard, comment, isCard");
    // A line can stand more than five times only where its card and product do: one pass over
    // the lines spares the full test on an ordinary file.
    const bool suspect = anyRepeated(db, QStringLiteral("recipes"), QStringLiteral("id_card_recipes, id_product"), 5);
    if (suspect && !db.scalar(QStringLiteral("SELECT 1 FROM recipes GROUP BY ") + recipeGroup +
                              QStringLiteral(" HAVING count(id) > 5 LIMIT 1")).isNull()) {
        prompt.status(repairing);
        db.exec(QStringLiteral("DELETE FROM recipes WHERE id NOT IN (SELECT min(id) FROM recipes GROUP BY ") +
                recipeGroup + QLatin1Char(')'));
    }
    const QString planGroup = QStringLiteral("id_day, id_eating, id_card_recipes, id_type_meal");
    if (anyRepeated(db, QStringLiteral("plan_menu"), planGroup, 1) &&
        !db.scalar(QStringLiteral("SELECT 1 FROM plan_menu GROUP BY ") + planGroup +
                   QStringLiteral(" HAVING count(id) > 1 LIMIT 1")).isNull()) {
        prompt.status(repairing);
        db.exec(QStringLiteral("DELETE FROM plan_menu WHERE id NOT IN (SELECT min(id) FROM plan_menu GROUP BY ") +
                planGroup + QLatin1Char(')'));
    }
    tx.commit();
    prompt.status(QStringLiteral("Готово"));
}

} // namespace rat
