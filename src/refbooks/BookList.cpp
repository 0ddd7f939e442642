// Loading a reference book's rows as the list window shows them: display texts per cell and
// the row keys.

#include "refbooks/BookList.h"
#include "refbooks/BookRules.h"
#include "core/Database.h"
#include "core/TextFold.h"

#include <QDateTime>
#include <QStringBuilder>
#include <algorithm>
#include <charconv>
#include <cmath>
#include <map>
#include <optional>
#include <unordered_map>

namespace rat::books {

namespace {

std::map<int, ListLoader>& loaders()
{
    static std::map<int, ListLoader> l;
    return l;
}

// The digits of `value` with `places` decimals when scaling by 10^places settles them beyond
// doubt: the scaled value below 1e12, whose product is then off by less than 1e-4, and its
// fraction farther than 1e-3 from a half. Nothing otherwise (the caller formats exactly).
std::optional<QString> scaledDigits(double value, int places)
{
    static const double scale[] = {1, 10, 100, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9};
    if (places > 9)
        return std::nullopt;
    const double scaled = std::abs(value) * scale[places];
    if (!(scaled < 1e12))  // also a NaN
        return std::nullopt;
    const double whole = std::floor(scaled);
    const double fraction = scaled - whole;
    if (std::abs(fraction - 0.5) <= 1e-3)
        return std::nullopt;
    const auto units = quint64(whole) + (fraction > 0.5 ? 1 : 0);
    const bool negative = std::signbit(value);
    if (negative && units == 0)
        return std::nullopt;  // "-0,00" is the exact formatting's to give
    char16_t text[32];  // written from the end: the last decimal first
    char16_t* const end = text + std::size(text);
    char16_t* first = end;
    auto rest = units;
    for (int place = 0; rest != 0 || place <= places; ++place) {
        if (place == places && places > 0)
            *--first = u',';
        *--first = char16_t(u'0' + rest % 10);
        rest /= 10;
    }
    if (negative)
        *--first = u'-';
    return QString(reinterpret_cast<const QChar*>(first), end - first);
}

// The texts of one list column that repeat (a unit, "Да" and "Нет", a rounding rule): its rows
// share one copy of each while the column keeps to a few distinct values, which spares
// thousands of conversions and copies; a column of names soon stops looking.
class RepeatedTexts {
public:
    QString take(QByteArrayView utf8)
    {
        if (utf8.isNull())
            return {};
        if (varied_)
            return QString::fromUtf8(utf8);
        for (const auto& [bytes, text] : seen_)
            if (bytes == utf8)
                return text;
        QString text = QString::fromUtf8(utf8);
        if (seen_.size() < kFew)
            seen_.emplace_back(utf8.toByteArray(), text);
        else
            varied_ = true;
        return text;
    }

private:
    static constexpr size_t kFew = 16;
    std::vector<std::pair<QByteArray, QString>> seen_;
    bool varied_ = false;
};

// The codes of a column of coded texts (ResolvedColumn::choices), ready for matching a cell as
// "CASE <cell> WHEN <code> THEN <text> ... ELSE <otherwise> END" matches it: a number by its
// value, a text by the code's digits, NULL by nothing.
class ChoiceCodes {
public:
    explicit ChoiceCodes(const ResolvedColumn& c)
    {
        for (const ListItem& it : c.choices) {
            numbers_.push_back(it.value.toDouble());
            digits_.push_back(it.value.toString().toUtf8());
        }
    }

    QString textOf(const Statement& st, int col, const ResolvedColumn& c) const
    {
        switch (st.stored(col)) {
        case Statement::Stored::Number: {
            const double v = st.toDouble(col);
            for (size_t i = 0; i < numbers_.size(); ++i)
                if (numbers_[i] == v)
                    return c.choices[i].text;
            break;
        }
        case Statement::Stored::Text: {
            const QByteArrayView text = st.utf8(col);
            for (size_t i = 0; i < digits_.size(); ++i)
                if (digits_[i] == text)
                    return c.choices[i].text;
            break;
        }
        case Statement::Stored::Null: break;
        }
        return c.otherwise;
    }

    // "<quantity> <unit text>" of a quantity column (ResolvedColumn::unitSource), the unit's
    // code in the query column after the quantity; nothing when the quantity is not set.
    QString quantityWithUnit(const Statement& st, int col, const ResolvedColumn& c) const
    {
        const QByteArrayView quantity = st.utf8(col);  // a number as SQLite writes it in a text
        if (quantity.isNull())
            return QStringLiteral("");
        const QString unit = textOf(st, col + 1, c);
        const bool digits = std::all_of(quantity.begin(), quantity.end(), [](char ch) { return uchar(ch) < 0x80; });
        if (digits)
            return QLatin1StringView(quantity.data(), quantity.size()) % QLatin1Char(' ') % unit;
        return QString::fromUtf8(quantity) % QLatin1Char(' ') % unit;
    }

private:
    std::vector<double> numbers_;
    std::vector<QByteArray> digits_;
};

QString displayCell(const Statement& st, int col, const ResolvedColumn& c, RepeatedTexts& texts)
{
    // A NULL reads as 0 and as a null text: only a 0 needs asking whether it was one.
    if (c.decimals >= 0) {
        const double v = st.toDouble(col);
        return v == 0.0 && st.isNull(col) ? QString() : displayNumber(v, c.decimals);
    }
    if (c.format == Control::Text)
        return texts.take(st.utf8(col));
    if (st.isNull(col))
        return {};
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
    // Each name folded once, all into one text: a row's key is its stretch of it.
    QString folded;
    qsizetype length = 0;
    for (const QStringList& row : list.rows)
        length += row.at(column).size();
    folded.reserve(length);
    std::vector<qsizetype> start(n + 1);
    std::vector<size_t> order(n);
    for (size_t i = 0; i < n; ++i) {
        start[i] = folded.size();
        appendFolded(list.rows[i].at(column), folded);
        order[i] = i;
    }
    start[n] = folded.size();
    const auto key = [&](size_t i) { return QStringView(folded).sliced(start[i], start[i + 1] - start[i]); };
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
        const int c = key(a).compare(key(b));
        if (c != 0)
            return c < 0;
        return list.rows[a].at(column).compare(list.rows[b].at(column)) < 0;
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

// The row of each key: a table over the range of the keys when they lie close together, as the
// ids of a table mostly do, else a hash.
class RowsByKey {
public:
    explicit RowsByKey(const std::vector<qint64>& keys)
    {
        if (keys.empty())
            return;
        const auto [low, high] = std::minmax_element(keys.begin(), keys.end());
        low_ = *low;
        const quint64 range = quint64(*high) - quint64(*low);
        if (range < 4 * quint64(keys.size()) + 64) {
            table_.assign(size_t(range) + 1, -1);
            for (size_t i = 0; i < keys.size(); ++i)
                if (int& row = table_[size_t(quint64(keys[i]) - quint64(low_))]; row < 0)
                    row = int(i);
        } else {
            hash_.reserve(keys.size());
            for (size_t i = 0; i < keys.size(); ++i)
                hash_.emplace(keys[i], int(i));
        }
    }

    // The row of a key; -1 when no row has it.
    int find(qint64 key) const
    {
        if (!table_.empty()) {
            const quint64 at = quint64(key) - quint64(low_);
            return at < table_.size() ? table_[size_t(at)] : -1;
        }
        const auto it = hash_.find(key);
        return it == hash_.end() ? -1 : it->second;
    }

private:
    qint64 low_ = 0;
    std::vector<int> table_;
    std::unordered_map<qint64, int> hash_;
};

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
    const RowsByKey rowOfKey(list.ids);

    // The largest value so far of each cell: numbers below texts, as SQLite orders them.
    enum : char { unset, number, text };
    for (const Read& r : reads) {
        const size_t width = r.targets.size();
        std::vector<char> kind(list.ids.size() * width, unset);
        std::vector<double> value(kind.size(), 0.0);
        std::unordered_map<size_t, QString> texts;  // the cells whose largest value is a text
        Statement st(db, QStringLiteral("SELECT %1, id_vitamin, %2 FROM [%3]")
                             .arg(r.store->ownerField, r.valueFields.join(QStringLiteral(", ")), r.store->table));
        while (st.next()) {
            // A NULL reads as 0: only a 0 needs asking whether it was one.
            const qint64 owner = st.toInt64(0);
            const qint64 vitamin = st.toInt64(1);
            if ((owner == 0 && st.isNull(0)) || (vitamin == 0 && st.isNull(1)))
                continue;
            const int row = rowOfKey.find(owner);
            if (row < 0)
                continue;
            for (size_t t = 0; t < width; ++t) {
                const Target& target = r.targets[t];
                if (target.vitamin != vitamin)
                    continue;
                const int col = 2 + target.value;
                const Statement::Stored stored = st.stored(col);  // before the number read converts it
                if (stored == Statement::Stored::Null)
                    continue;
                const size_t cell = size_t(row) * width + t;
                const double v = st.toDouble(col);
                if (stored == Statement::Stored::Text) {
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
    return ok ? displayNumber(v, decimals) : value.toString();
}

QString displayNumber(double value, int decimals)
{
    const int places = qMax(0, decimals);
    // A value that rounds to zero shows as 0, never as "-0".
    static const double halfUnit[] = {0.5, 0.05, 0.005, 5e-4, 5e-5, 5e-6, 5e-7, 5e-8, 5e-9, 5e-10};
    const double shown = places < 10 && std::abs(value) < halfUnit[places] ? 0.0 : value;
    // A list formats tens of thousands of numbers. Most round plainly: scaled to whole units of
    // the last place, they lie clearly off a half, and the nearest whole is the shown digits.
    if (const auto digits = scaledDigits(shown, places))
        return *digits;
    // Else the standard library's formatting prints the correctly rounded digits, except on an
    // exact half, which Qt rounds away from zero.
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
    const int n = int(book.columns.size());
    std::vector<int> queryColumn(size_t(n), -1);  // a visible column's place in the query; -1 a vitamin
    for (int i = 0; i < n; ++i) {
        const ResolvedColumn& c = book.columns[size_t(i)];
        if (c.storeIndex >= 0)
            continue;
        queryColumn[size_t(i)] = int(select.size());
        select << (c.source.isEmpty() ? QStringLiteral("NULL") : c.source);
        if (!c.unitSource.isEmpty())
            select << c.unitSource;
        params.insert(params.end(), c.params.begin(), c.params.end());
    }
    const int keyColumn = int(select.size());
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
    std::vector<RepeatedTexts> texts(book.columns.size());
    std::vector<ChoiceCodes> codes;
    for (const ResolvedColumn& c : book.columns)
        codes.emplace_back(c);
    while (st.next()) {
        QStringList cells(n);  // a vitamin's cell stays empty until its values are read
        QString* cell = cells.data();
        for (int i = 0; i < n; ++i, ++cell) {
            const ResolvedColumn& c = book.columns[size_t(i)];
            const int q = queryColumn[size_t(i)];
            if (q < 0)
                continue;
            if (c.shownAs)
                *cell = c.shownAs(db, st.toString(q));
            else if (!c.unitSource.isEmpty())
                *cell = codes[size_t(i)].quantityWithUnit(st, q, c);
            else if (!c.choices.empty())
                *cell = codes[size_t(i)].textOf(st, q, c);
            else
                *cell = displayCell(st, q, c, texts[size_t(i)]);
        }
        list.rows.push_back(std::move(cells));
        list.ids.push_back(st.toInt64(keyColumn));
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
