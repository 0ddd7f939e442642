#include "refbooks/BookList.h"
#include "core/Database.h"

#include <QDateTime>
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
    const double shown = std::abs(v) < 0.5 * std::pow(10.0, -places) ? 0.0 : v;
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
    return loadList(db, entry, ListFilter{parentId, {}});
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
    }

    const auto loader = loaders().find(entry);
    if (loader != loaders().end()) {
        loader->second(db, filter, list);
        return list;
    }
    if (def->readOnly)
        return list;

    // One query: the plain columns, the vitamin columns from one pivot per vitamin store
    // (conditional aggregation), the key last.
    std::vector<QVariant> params;
    QStringList select;
    for (const ResolvedColumn& c : book.columns) {
        if (c.storeIndex >= 0) {
            select << QStringLiteral("v%1.c%2").arg(c.storeIndex).arg(c.vitaminId);
        } else {
            select << (c.source.isEmpty() ? QStringLiteral("NULL") : c.source);
            params.insert(params.end(), c.params.begin(), c.params.end());
        }
    }
    select << def->alias + QLatin1Char('.') + def->key;

    QString from = def->from;
    for (size_t i = 0; i < book.stores.size(); ++i) {
        const VitaminStore& s = book.stores[i];
        QStringList pivot;
        for (const ResolvedColumn& c : book.columns) {
            if (c.storeIndex != int(i))
                continue;
            pivot << QStringLiteral("MAX(CASE WHEN id_vitamin = ? THEN %1 END) AS c%2").arg(s.valueField).arg(c.vitaminId);
            params.push_back(c.vitaminId);
        }
        from += QStringLiteral(" LEFT JOIN (SELECT %1 AS owner, %2 FROM %3 GROUP BY %1) v%4 ON v%4.owner = %5.%6")
                    .arg(s.ownerField, pivot.join(QStringLiteral(", ")), s.table)
                    .arg(i)
                    .arg(def->alias, def->key);
    }

    QString sql = QStringLiteral("SELECT ") + select.join(QStringLiteral(", ")) + QStringLiteral(" FROM ") + from;
    if (!def->parentColumn.isEmpty() && filter.parent) {
        sql += QStringLiteral(" WHERE ") + def->parentColumn + QStringLiteral(" = ?");
        params.push_back(*filter.parent);
    }
    sql += QStringLiteral(" ORDER BY ") + def->orderBy;

    Statement st(db, sql);
    st.bindAll(params);
    const int n = int(book.columns.size());
    while (st.next()) {
        QStringList cells;
        cells.reserve(n);
        for (int i = 0; i < n; ++i)
            cells << displayCell(st, i, book.columns[size_t(i)]);
        list.rows.push_back(std::move(cells));
        list.ids.push_back(st.toInt64(n));
    }
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
