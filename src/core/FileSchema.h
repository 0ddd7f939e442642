#pragma once
// What the database file itself holds: its tables, their fields with type code, size and
// attributes, and their indexes, read back from SQLite's declared column types. Also the DDL
// that gives a catalogue field a declared type which reads back the same way.

#include "core/SchemaCatalogue.h"

#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

namespace rat {

class Database;

struct FileField {
    QString name;
    int type = 0;      // 0 when the declared type is none the layout knows
    int size = 0;
    int attributes = 0;
};

struct FileIndex {
    QString name;
    QStringList fields;  // "+id"
};

struct FileTable {
    QString name;
    std::vector<FileField> fields;
    std::vector<FileIndex> indexes;

    const FileField* field(const QString& name) const;  // case-insensitive
    const FileIndex* index(const QString& name) const;  // case-insensitive
};

namespace fileschema {

// Names of the file's own tables (SQLite's internal tables left out).
QStringList tableNames(Database& db);
// The table as the file has it, found case-insensitively.
std::optional<FileTable> readTable(Database& db, const QString& name);

// Declared type of a field: reads back as the same type code, size and attributes, and gives
// text fields TEXT affinity.
QString declaredType(const FieldDef& f);
FileField parseDeclaredType(const QString& name, const QString& declared, bool rowidKey);

QString quoteName(const QString& name);  // [name], safe for №docum and 5week

// CREATE TABLE for a whole catalogue table; the auto-increment key is the primary key,
// which the file presents as the table's PrimaryKey index.
QString createTableSql(const TableDef& t);
QString addColumnSql(const QString& table, const FieldDef& f);

} // namespace fileschema
} // namespace rat
