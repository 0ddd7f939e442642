// Loading a reference book's rows as the list window shows them: display texts per cell and
// the row keys.

#include "refbooks/BookList.h"
#include "refbooks/BookRules.h"
#include "core/Database.h"
#include "core/TextFold.h"

#include <QDateTime>
#include <algorithm>
#include <cmath>
#include <map>

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

    // One query: the plain columns, the vitamin columns from one pivot per vitamin table (its
    // rows grouped by owner, one conditional aggregate per vitamin), the key last.
    std::vector<QVariant> params;
    QStringList select;
    std::vector<int> storeJoin(book.stores.size(), -1);  // store -> pivot number
    std::vector<const VitaminStore*> joins;
    for (size_t i = 0; i < book.stores.size(); ++i) {
        for (size_t j = 0; j < joins.size(); ++j)
            if (joins[j]->table == book.stores[i].table && joins[j]->ownerField == book.stores[i].ownerField)
                storeJoin[i] = int(j);
        if (storeJoin[i] < 0) {
            joins.push_back(&book.stores[i]);
            storeJoin[i] = int(joins.size()) - 1;
        }
    }
    std::vector<QStringList> pivotColumns(joins.size());
    std::vector<QVariant> pivotParams;
    for (size_t k = 0; k < book.columns.size(); ++k) {
        const ResolvedColumn& c = book.columns[k];
        if (c.storeIndex >= 0) {
            const int j = storeJoin[size_t(c.storeIndex)];
            select << QStringLiteral("v%1.c%2").arg(j).arg(k);
            pivotColumns[size_t(j)] << QStringLiteral("MAX(%1) FILTER (WHERE id_vitamin = ?) AS c%2")
                                           .arg(book.stores[size_t(c.storeIndex)].valueField)
                                           .arg(k);
            pivotParams.push_back(c.vitaminId);
        } else {
            select << (c.source.isEmpty() ? QStringLiteral("NULL") : c.source);
            params.insert(params.end(), c.params.begin(), c.params.end());
        }
    }
    const QString key = def->alias + QLatin1Char('.') + def->key;
    select << key;

    QString from = def->from;
    for (size_t j = 0; j < joins.size(); ++j)
        from += QStringLiteral(" LEFT JOIN (SELECT %1 AS owner, %2 FROM [%3] GROUP BY %1) v%4 ON v%4.owner = %5")
                    .arg(joins[j]->ownerField, pivotColumns[j].join(QStringLiteral(", ")), joins[j]->table)
                    .arg(j)
                    .arg(key);
    // The pivots' values come after the columns' in the text, and so in binding order.
    params.insert(params.end(), pivotParams.begin(), pivotParams.end());

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
