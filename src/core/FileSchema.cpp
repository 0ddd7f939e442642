// Reading the tables, fields and indexes a database file actually holds, and the DDL that
// makes them.

#include "core/FileSchema.h"
#include "core/Database.h"
#include "core/TextFold.h"

#include <QRegularExpression>

namespace rat {

const FileField* FileTable::field(const QString& n) const
{
    for (const FileField& f : fields)
        if (sameText(f.name, n))
            return &f;
    return nullptr;
}

const FileIndex* FileTable::index(const QString& n) const
{
    for (const FileIndex& i : indexes)
        if (sameText(i.name, n))
            return &i;
    return nullptr;
}

namespace fileschema {

QString quoteName(const QString& name)
{
    return QLatin1Char('[') + name + QLatin1Char(']');
}

QStringList tableNames(Database& db)
{
    QStringList names;
    Statement st(db, QStringLiteral(
        "SELECT name FROM sqlite_schema WHERE type='table' AND name NOT LIKE 'sqlite\\_%' ESCAPE '\\'"));
    while (st.next())
        names << st.toString(0);
    return names;
}

namespace {

// Attribute words that may stand before a type: only needed where a field's attributes
// differ from its type's default.
struct AttrWord {
    const char* word;
    int attributes;
};
constexpr AttrWord kAttrWords[] = {{"FIXED", attrFixed}, {"VARIABLE", attrVariable}, {"PLAIN", attrNone}};

const char* baseTypeName(int type)
{
    switch (type) {
    case dbBoolean: return "BOOLEAN";
    case dbByte: return "TINYINT";
    case dbInteger: return "SMALLINT";
    case dbLong: return "INTEGER";
    case dbSingle: return "FLOAT";
    case dbDouble: return "DOUBLE";
    case dbDate: return "DATETIME";
    case dbText: return "VARCHAR";
    case dbMemo: return "TEXT";
    default: return "";
    }
}

} // namespace

QString declaredType(const FieldDef& f)
{
    QString t = QString::fromLatin1(baseTypeName(f.type));
    if (f.type == dbText)
        t += QStringLiteral("(%1)").arg(f.size);
    if (f.attributes != attrAutoIncrement && f.attributes != schema::defaultAttributes(f.type)) {
        for (const AttrWord& w : kAttrWords)
            if (w.attributes == f.attributes)
                t = QString::fromLatin1(w.word) + QLatin1Char(' ') + t;
    }
    return t;
}

FileField parseDeclaredType(const QString& name, const QString& declared, bool rowidKey)
{
    FileField f;
    f.name = name;
    QString t = declared.trimmed().toUpper();
    int attrs = -1;
    for (const AttrWord& w : kAttrWords) {
        const QString prefix = QString::fromLatin1(w.word) + QLatin1Char(' ');
        if (t.startsWith(prefix)) {
            attrs = w.attributes;
            t = t.mid(prefix.size()).trimmed();
        }
    }
    static const QRegularExpression sized(QStringLiteral("^VARCHAR\\s*\\(\\s*(\\d+)\\s*\\)$"));
    if (const auto m = sized.match(t); m.hasMatch()) {
        f.type = dbText;
        f.size = m.captured(1).toInt();
    } else if (t == QLatin1String("COUNTER")) {
        f.type = dbLong;
        f.size = schema::fixedSize(dbLong);
        attrs = attrAutoIncrement;
    } else {
        for (int code : {int(dbBoolean), int(dbByte), int(dbInteger), int(dbLong), int(dbSingle),
                         int(dbDouble), int(dbDate), int(dbMemo)}) {
            if (t == QLatin1String(baseTypeName(code)))
                f.type = code;
        }
        f.size = schema::fixedSize(f.type);
    }
    if (f.type == dbLong && rowidKey)
        attrs = attrAutoIncrement;
    f.attributes = attrs >= 0 ? attrs : (f.type ? schema::defaultAttributes(f.type) : 0);
    return f;
}

std::optional<FileTable> readTable(Database& db, const QString& name)
{
    QString actual;
    for (const QString& n : tableNames(db))
        if (sameText(n, name))
            actual = n;
    if (actual.isEmpty())
        return std::nullopt;

    FileTable t;
    t.name = actual;
    Statement st(db, QStringLiteral("SELECT name, type, pk FROM pragma_table_info(?1)"));
    st.bind(1, actual);
    QStringList keyFields;
    struct Raw {
        QString name, type;
        int pk;
    };
    std::vector<Raw> raw;
    while (st.next()) {
        raw.push_back({st.toString(0), st.toString(1), int(st.toInt64(2))});
        if (raw.back().pk > 0)
            keyFields << raw.back().name;
    }
    // Only a lone INTEGER PRIMARY KEY is SQLite's auto-numbered row key.
    const bool singleKey = keyFields.size() == 1;
    for (const Raw& r : raw) {
        const bool rowid = singleKey && r.pk == 1 && r.type.compare(QLatin1String("INTEGER"), Qt::CaseInsensitive) == 0;
        t.fields.push_back(parseDeclaredType(r.name, r.type, rowid));
    }
    if (!keyFields.isEmpty()) {
        FileIndex pk;
        pk.name = QStringLiteral("PrimaryKey");
        for (const QString& k : keyFields)
            pk.fields << QLatin1Char('+') + k;
        t.indexes.push_back(pk);
    }
    Statement idx(db, QStringLiteral(
        "SELECT name FROM pragma_index_list(?1) WHERE origin = 'c'"));
    idx.bind(1, actual);
    while (idx.next()) {
        FileIndex fi;
        fi.name = idx.toString(0);
        // Index names are global in SQLite, so an index is stored as "<table>.<name>".
        const QString prefix = actual + QLatin1Char('.');
        if (fi.name.startsWith(prefix, Qt::CaseInsensitive))
            fi.name = fi.name.mid(prefix.size());
        Statement cols(db, QStringLiteral("SELECT name, desc FROM pragma_index_xinfo(?1) WHERE key = 1 ORDER BY seqno"));
        cols.bind(1, idx.toString(0));
        while (cols.next())
            fi.fields << (cols.toInt64(1) ? QLatin1Char('-') : QLatin1Char('+')) + cols.toString(0);
        t.indexes.push_back(fi);
    }
    return t;
}

QString createTableSql(const TableDef& t)
{
    QStringList defs;
    for (const FieldDef& f : t.fields) {
        if (f.attributes == attrAutoIncrement)
            defs << quoteName(f.name) + QStringLiteral(" INTEGER PRIMARY KEY AUTOINCREMENT");
        else
            defs << quoteName(f.name) + QLatin1Char(' ') + declaredType(f);
    }
    return QStringLiteral("CREATE TABLE ") + quoteName(t.name) + QStringLiteral(" (") +
           defs.join(QStringLiteral(", ")) + QStringLiteral(")");
}

QString addColumnSql(const QString& table, const FieldDef& f)
{
    return QStringLiteral("ALTER TABLE ") + quoteName(table) + QStringLiteral(" ADD COLUMN ") +
           quoteName(f.name) + QLatin1Char(' ') + declaredType(f);
}

} // namespace fileschema
} // namespace rat
