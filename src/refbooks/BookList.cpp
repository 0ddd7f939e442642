// Loading a reference book's rows as the list window shows them: display texts per cell and
// the row keys.

#include "refbooks/BookList.h"
#include "refbooks/BookRules.h"
#include "core/Database.h"
#include "core/TextFold.h"

#include <QDateTime>
#include <algorithm>
#include <charconv>
#include <cmath>
#include <map>
#include <unordered_map>

namespace rat::books {

namespace {

std::map<int, ListLoader>& loaders()
{
    static std::map<int, ListLoader> l;
    return l;
}

QString displayCell(const Statement& st, int col, const ResolvedColumn& c)
{
    if (st.isNull(col))
        return {};
    if (c.decimals >= 0)
        return displayNumber(st.toDouble(col), c.decimals);
    switch (c.format) {
    case Control::Date: {
        const QDate d = parseIsoDate(st.toString(col));
        return d.isValid() ? d.toString(QStringLiteral("dd.MM.yyyy")) : QString();
    }
    case Control::DateTime: {
        const QString s = st.toString(col);
        const QDate d = parseIsoDate(s);
        if (!d.isValid())
            return {};
        const QString time = s.mid(11, 5);
        return d.toString(QStringLiteral("dd.MM.yyyy")) + (time.isEmpty() ? QString() : QLatin1Char(' ') + time);
    }
    case Control::Time: {
        const QString s = st.toString(col);
        return s.size() >= 16 ? s.mid(11, 5) : QString();
    }
    default: return st.toString(col);
    }
}

// The visible column whose text alone orders the rows ("<its source> COLLATE RU"), or -1.
int nameOrderColumn(const BookDef& def, const ResolvedBook& book)
{
    static const QString suffix = QStringLiteral(" COLLATE RU");
    if (!def.orderBy.endsWith(suffix))
        return -1;
    const QString source = def.orderBy.left(def.orderBy.size() - suffix.size());
    for (size_t i = 0; i < book.columns.size(); ++i)
        if (book.columns[i].storeIndex < 0 && book.columns[i].decimals < 0 && book.columns[i].format == Control::Text &&
            book.columns[i].source == source)
            return int(i);
    return -1;
}

// Russian alphabetical order of one column, letter case ignored, ё with е; equal names keep
// the order of their keys.
void sortByName(BookList& list, int column)
{
    const size_t n = list.ids.size();
    std::vector<QString> keys(n);
    std::vector<size_t> order(n);
    for (size_t i = 0; i < n; ++i) {
        keys[i] = foldText(list.rows[i].value(column));
        order[i] = i;
    }
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
        const int c = keys[a].compare(keys[b]);
        if (c != 0)
            return c < 0;
        return list.rows[a].value(column).compare(list.rows[b].value(column)) < 0;
    });
    std::vector<qint64> ids(n);
    std::vector<QStringList> rows(n);
    for (size_t i = 0; i < n; ++i) {
        ids[i] = list.ids[order[i]];
        rows[i] = std::move(list.rows[order[i]]);
    }
    list.ids = std::move(ids);
    list.rows = std::move(rows);
}

// The vitamin columns of the rows: per vitamin table one read of its rows, each value set into
// the row of its owner; of several values of one vitamin the largest counts, as MAX would take.
void fillVitaminColumns(Database& db, const ResolvedBook& book, BookList& list)
{
    struct Target {
        int column;
        qint64 vitamin;
        int value;  // index of the value field in the read
    };
    struct Read {
        const VitaminStore* store;
        QStringList valueFields;
        std::vector<Target> targets;
    };
    std::vector<Read> reads;
    for (size_t k = 0; k < book.columns.size(); ++k) {
        const ResolvedColumn& c = book.columns[k];
        if (c.storeIndex < 0)
            continue;
        const VitaminStore& store = book.stores[size_t(c.storeIndex)];
        auto read = std::find_if(reads.begin(), reads.end(), [&](const Read& r) {
            return r.store->table == store.table && r.store->ownerField == store.ownerField;
        });
        if (read == reads.end()) {
            reads.push_back({&store, {}, {}});
            read = reads.end() - 1;
        }
        int value = int(read->valueFields.indexOf(store.valueField));
        if (value < 0) {
            read->valueFields << store.valueField;
            value = int(read->valueFields.size()) - 1;
        }
        read->targets.push_back({int(k), c.vitaminId, value});
    }
    if (reads.empty() || list.ids.empty())
        return;
    std::unordered_map<qint64, size_t> rowOfKey;
    rowOfKey.reserve(list.ids.size());
    for (size_t i = 0; i < list.ids.size(); ++i)
        rowOfKey.emplace(list.ids[i], i);

    // The largest value so far of each cell: numbers below texts, as SQLite orders them.
    enum : char { unset, number, text };
    for (const Read& r : reads) {
        const size_t width = r.targets.size();
        std::vector<char> kind(list.ids.size() * width, unset);
        std::vector<double> value(kind.size(), 0.0);
        std::unordered_map<size_t, QString> texts;  // the cells whose largest value is a text
        QStringList fields;
        for (const QString& f : r.valueFields)
            fields << f << QStringLiteral("typeof(%1) IN ('text', 'blob')").arg(f);
        Statement st(db, QStringLiteral("SELECT %1, id_vitamin, %2 FROM [%3] WHERE %1 IS NOT NULL AND "
                                        "id_vitamin IS NOT NULL")
                             .arg(r.store->ownerField, fields.join(QStringLiteral(", ")), r.store->table));
        while (st.next()) {
            const auto row = rowOfKey.find(st.toInt64(0));
            if (row == rowOfKey.end())
                continue;
            const qint64 vitamin = st.toInt64(1);
            for (size_t t = 0; t < width; ++t) {
                const Target& target = r.targets[t];
                const int col = 2 + 2 * target.value;
                if (target.vitamin != vitamin || st.isNull(col))
                    continue;
                const size_t cell = row->second * width + t;
                const double v = st.toDouble(col);
                if (st.toInt64(col + 1) != 0) {
                    const QString s = st.toString(col);
                    auto [it, added] = texts.try_emplace(cell, s);
                    if (added || kind[cell] != text || s > it->second) {
                        it->second = s;
                        value[cell] = v;
                    }
                    kind[cell] = text;
                } else if (kind[cell] == unset || (kind[cell] == number && v > value[cell])) {
                    value[cell] = v;
                    kind[cell] = number;
                }
            }
        }
        for (size_t i = 0; i < list.ids.size(); ++i)
            for (size_t t = 0; t < width; ++t)
                if (kind[i * width + t] != unset)
                    list.rows[i][r.targets[t].column] =
                        displayNumber(value[i * width + t], book.columns[size_t(r.targets[t].column)].decimals);
    }
}

} // namespace

int BookList::rowOf(qint64 id) const
{
    for (size_t i = 0; i < ids.size(); ++i)
        if (ids[i] == id)
            return int(i);
    return -1;
}

QString displayNumber(const QVariant& value, int decimals)
{
    if (value.isNull() || !value.isValid())
        return {};
    bool ok = false;
    const double v = value.toDouble(&ok);
    if (!ok)
        return value.toString();
    const int places = qMax(0, decimals);
    // A value that rounds to zero shows as 0, never as "-0".
    static const double halfUnit[] = {0.5, 0.05, 0.005, 5e-4, 5e-5, 5e-6, 5e-7, 5e-8, 5e-9, 5e-10};
    const double shown = places < 10 && std::abs(v) < halfUnit[places] ? 0.0 : v;
    // A list formats tens of thousands of numbers: the standard library's formatting is quicker
    // and prints the same digits, except on an exact half, which Qt rounds away from zero.
    if (std::isfinite(shown) && std::abs(shown) < 1e15) {
        const double twice = std::ldexp(shown, places + 1);
        const bool half = twice == std::trunc(twice) && std::fmod(twice, 2.0) != 0;
        char buffer[48];
        const auto r = std::to_chars(buffer, buffer + sizeof buffer, shown, std::chars_format::fixed, places);
        if (!half && r.ec == std::errc()) {
            for (char* c = buffer; c < r.ptr; ++c)
                if (*c == '.')
                    *c = ',';
            return QString::fromLatin1(buffer, r.ptr - buffer);
        }
    }
    QString s = QString::number(shown, 'f', places);
    s.replace(QLatin1Char('.'), QLatin1Char(','));
    return s;
}

void registerListLoader(int entry, ListLoader loader)
{
    loaders()[entry] = std::move(loader);
}

BookList loadList(Database& db, int entry, std::optional<qint64> parentId)
{
    return loadList(db, entry, ListFilter{parentId, {}, {}, {}});
}

BookList loadList(Database& db, int entry, const ListFilter& filter)
{
    BookList list;
    list.entry = entry;
    const BookDef* def = findBook(entry);
    if (!def)
        return list;
    const ResolvedBook book = resolveBook(db, *def);
    list.title = def->listTitle;
    for (const ResolvedColumn& c : book.columns) {
        list.captions << c.caption;
        list.widths.push_back(c.width);
        list.decimals.push_back(c.decimals);
        list.formats.push_back(c.format);
    }

    ensureStandardRules();
    const auto loader = loaders().find(entry);
    if (loader != loaders().end()) {
        loader->second(db, filter, list);
        return list;
    }
    if (def->readOnly)
        return list;

    // One query for the plain columns, the key last; the vitamin columns come from one read of
    // each vitamin table, set into the rows by owner (a pivot in SQL grouped and sorted every
    // vitamin row first, and took twice as long as the list itself).
    std::vector<QVariant> params;
    QStringList select;
    for (const ResolvedColumn& c : book.columns) {
        if (c.storeIndex >= 0) {
            select << QStringLiteral("NULL");
        } else {
            select << (c.source.isEmpty() ? QStringLiteral("NULL") : c.source);
            params.insert(params.end(), c.params.begin(), c.params.end());
        }
    }
    const QString key = def->alias + QLatin1Char('.') + def->key;
    select << key;
    const QString from = def->from;

    QString sql = QStringLiteral("SELECT ") + select.join(QStringLiteral(", ")) + QStringLiteral(" FROM ") + from;
    QStringList where;
    if (!def->parentColumn.isEmpty() && filter.parent) {
        where << def->parentColumn + QStringLiteral(" = ?");
        params.push_back(*filter.parent);
    }
    if (!def->periodColumn.isEmpty()) {
        // Dates may carry a time; the day is what counts.
        if (filter.from) {
            where << QStringLiteral("substr(") + def->periodColumn + QStringLiteral(", 1, 10) >= ?");
            params.push_back(filter.from->toString(Qt::ISODate));
        }
        if (filter.to) {
            where << QStringLiteral("substr(") + def->periodColumn + QStringLiteral(", 1, 10) <= ?");
            params.push_back(filter.to->toString(Qt::ISODate));
        }
    }
    if (!where.isEmpty())
        sql += QStringLiteral(" WHERE ") + where.join(QStringLiteral(" AND "));
    // A list ordered by one name column is sorted here, each name folded once; the database's
    // collation would fold both names of every comparison.
    const int nameColumn = nameOrderColumn(*def, book);
    sql += QStringLiteral(" ORDER BY ") + (nameColumn >= 0 ? key : def->orderBy);

    Statement st(db, sql);
    st.bindAll(params);
    const int n = int(book.columns.size());
    while (st.next()) {
        QStringList cells;
        cells.reserve(n);
        for (int i = 0; i < n; ++i) {
            const ResolvedColumn& c = book.columns[size_t(i)];
            cells << (c.shownAs ? c.shownAs(db, st.toString(i)) : displayCell(st, i, c));
        }
        list.rows.push_back(std::move(cells));
        list.ids.push_back(st.toInt64(n));
    }
    fillVitaminColumns(db, book, list);
    if (nameColumn >= 0)
        sortByName(list, nameColumn);
    return list;
}

std::vector<ListItem> parentItems(Database& db, int entry, const QVariant& grandParent)
{
    const BookDef* def = findBook(entry);
    if (!def || def->parentSource == ListSource::None)
        return {};
    if (def->grandParentSource != ListSource::None && !grandParent.isNull() && def->parentSource == ListSource::Cards)
        return listItems(db, ListSource::CardsOfCategory, grandParent);
    return listItems(db, def->parentSource, grandParent);
}

} // namespace rat::books
