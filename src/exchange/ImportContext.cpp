// What the package loaders share: typed values from package texts, rows found by name, and
// the messages of missing references.

#include "exchange/ImportContext.h"
#include "core/Prompt.h"
#include "core/SchemaCatalogue.h"
#include "exchange/PackageNumbers.h"
#include "exchange/PackageText.h"

#include <QStringList>
#include <cmath>

#include <pugixml.hpp>

namespace rat::exchange {

QString nameKey(const QString& name)
{
    return name.trimmed().toLower();
}

ImportContext::ImportContext(Database& db, Prompt& prompt) : db_(db), prompt_(prompt) {}

ImportContext::~ImportContext() = default;

const FileTable& ImportContext::table(const QString& name)
{
    const QString key = name.toUpper();
    auto it = tables_.find(key);
    if (it == tables_.end()) {
        std::optional<FileTable> t = fileschema::readTable(db_, name);
        if (!t)
            throw DbError(1, QStringLiteral("no such table: ") + name);
        it = tables_.emplace(key, std::move(*t)).first;
    }
    return it->second;
}

const FileField* ImportContext::column(const QString& tableName, const QString& columnName)
{
    return table(tableName).field(columnName);
}

QString ImportContext::keyColumn(const QString& tableName)
{
    const FileTable& t = table(tableName);
    return t.fields.empty() ? QStringLiteral("id") : t.fields.front().name;
}

QVariant ImportContext::value(const QString& tableName, const QString& columnName, const QString& text)
{
    const FileField* f = column(tableName, columnName);
    if (!f)
        return {};
    switch (f->type) {
    case dbBoolean:
        // A flag is always stored, so "any other text" reads as no.
        return QVariant(packageFlag(text) ? -1 : 0);
    default:
        break;
    }
    if (text.trimmed().isEmpty())
        return {};
    switch (f->type) {
    case dbByte:
    case dbInteger:
    case dbLong:
    case dbSingle:
    case dbDouble:
        return checkedNumber(f->type, columnName, text);
    case dbDate: {
        const QString t = packageTime(text);
        return t.isEmpty() ? QVariant() : QVariant(t);
    }
    case dbText:
        return QVariant(f->size > 0 ? text.left(f->size) : text);
    default:
        return QVariant(text);
    }
}

ColumnValues ImportContext::sameNamedColumns(const pugi::xml_node& item, const QString& tableName, const QStringList& skip)
{
    ColumnValues out;
    const QString key = keyColumn(tableName);
    for (pugi::xml_node child = item.first_child(); child; child = child.next_sibling()) {
        if (child.type() != pugi::node_element)
            continue;
        const QString name = QString::fromUtf8(child.name());
        if (skip.contains(name, Qt::CaseInsensitive) || name.compare(key, Qt::CaseInsensitive) == 0)
            continue;
        const FileField* f = column(tableName, name);
        if (!f)
            continue;
        bool seen = false;
        for (const auto& [c, v] : out)
            seen = seen || c.compare(f->name, Qt::CaseInsensitive) == 0;
        if (seen)
            continue;
        const QVariant v = value(tableName, f->name, nodeText(child));
        if (v.isValid())
            out.emplace_back(f->name, v);
    }
    return out;
}

ImportContext::NameIndex& ImportContext::index(const QString& tableName, const QString& nameColumn)
{
    const QString key = tableName.toUpper() + QLatin1Char('|') + nameColumn.toUpper();
    auto it = names_.find(key);
    if (it != names_.end())
        return it->second;
    NameIndex idx;
    const QString id = keyColumn(tableName);
    Statement st(db_, QStringLiteral("SELECT ") + fileschema::quoteName(id) + QStringLiteral(", ") +
                          fileschema::quoteName(nameColumn) + QStringLiteral(" FROM ") +
                          fileschema::quoteName(tableName) + QStringLiteral(" ORDER BY ") + fileschema::quoteName(id));
    while (st.next()) {
        const QString k = nameKey(st.toString(1));
        if (!idx.contains(k))
            idx.insert(k, st.toInt64(0));
    }
    return names_.emplace(key, std::move(idx)).first->second;
}

qint64 ImportContext::find(const QString& tableName, const QString& nameColumn, const QString& name)
{
    return index(tableName, nameColumn).value(nameKey(name), 0);
}

qint64 ImportContext::findOrCreate(const QString& tableName, const QString& nameColumn, const QString& name,
                                   const ColumnValues& extra)
{
    const qint64 id = find(tableName, nameColumn, name);
    if (id)
        return id;
    ColumnValues values{{nameColumn, value(tableName, nameColumn, name)}};
    values.insert(values.end(), extra.begin(), extra.end());
    return insert(tableName, values);
}

Statement& ImportContext::statement(const QString& sql)
{
    auto it = statements_.find(sql);
    if (it == statements_.end())
        it = statements_.emplace(sql, std::make_unique<Statement>(db_, sql)).first;
    Statement& st = *it->second;
    st.reset();
    return st;
}

void ImportContext::run(const QString& sql, const std::vector<QVariant>& params)
{
    Statement& st = statement(sql);
    st.bindAll(params);
    st.exec();
}

QVariant ImportContext::scalar(const QString& sql, const std::vector<QVariant>& params)
{
    Statement& st = statement(sql);
    st.bindAll(params);
    QVariant v = st.next() ? st.value(0) : QVariant();
    st.reset();
    return v;
}

qint64 ImportContext::insert(const QString& tableName, const ColumnValues& values)
{
    QStringList columns, marks;
    std::vector<QVariant> params;
    for (const auto& [c, v] : values) {
        columns << fileschema::quoteName(c);
        marks << QStringLiteral("?%1").arg(params.size() + 1);
        params.push_back(v);
    }
    const QString sql = columns.isEmpty()
                            ? QStringLiteral("INSERT INTO ") + fileschema::quoteName(tableName) + QStringLiteral(" DEFAULT VALUES")
                            : QStringLiteral("INSERT INTO ") + fileschema::quoteName(tableName) + QStringLiteral(" (") +
                                  columns.join(QStringLiteral(", ")) + QStringLiteral(") VALUES (") +
                                  marks.join(QStringLiteral(", ")) + QLatin1Char(')');
    run(sql, params);
    const qint64 id = db_.lastInsertId();
    const QString prefix = tableName.toUpper() + QLatin1Char('|');
    for (const auto& [c, v] : values) {
        auto it = names_.find(prefix + c.toUpper());
        if (it != names_.end() && !v.isNull()) {
            const QString k = nameKey(v.toString());
            if (!it->second.contains(k))
                it->second.insert(k, id);
        }
    }
    return id;
}

void ImportContext::update(const QString& tableName, qint64 id, const ColumnValues& values)
{
    if (values.empty())
        return;
    QStringList sets;
    std::vector<QVariant> params;
    for (const auto& [c, v] : values) {
        sets << fileschema::quoteName(c) + QStringLiteral(" = ?%1").arg(params.size() + 1);
        params.push_back(v);
    }
    params.push_back(id);
    run(QStringLiteral("UPDATE ") + fileschema::quoteName(tableName) + QStringLiteral(" SET ") +
            sets.join(QStringLiteral(", ")) + QStringLiteral(" WHERE ") + fileschema::quoteName(keyColumn(tableName)) +
            QStringLiteral(" = ?%1").arg(params.size()),
        params);
    // A renamed row: names are read again when next looked up.
    forget(tableName);
}

void ImportContext::forget(const QString& tableName)
{
    const QString prefix = tableName.toUpper() + QLatin1Char('|');
    for (auto it = names_.begin(); it != names_.end();) {
        if (it->first.startsWith(prefix))
            it = names_.erase(it);
        else
            ++it;
    }
}

} // namespace rat::exchange
