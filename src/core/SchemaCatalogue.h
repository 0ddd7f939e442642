#pragma once
// The layout of the database file as data: every table with its fields (name, type, size,
// attributes), its index, and, for columns added to older files, the value existing rows
// receive. Creation, verification and upgrade all walk this catalogue.

#include <QString>
#include <QStringList>
#include <vector>

namespace rat {

// Field type codes as the file layout numbers them.
enum FieldType : int {
    dbBoolean = 1,
    dbByte = 2,
    dbInteger = 3,
    dbLong = 4,
    dbSingle = 6,
    dbDouble = 7,
    dbDate = 8,
    dbText = 10,
    dbMemo = 12,
};

// Field attributes: fixed size, variable size, auto-increment (+ fixed = 17).
enum FieldAttr : int { attrNone = 0, attrFixed = 1, attrVariable = 2, attrAutoIncrement = 17 };

struct FieldDef {
    QString name;
    int type = dbLong;
    int size = 0;        // characters of a Text field; the fixed byte size of other types
    int attributes = 0;
    bool hasInit = false;
    QString init;        // value written into existing rows when the column is added
};

struct IndexDef {
    QString name;
    QStringList fields;  // "+id" ascending, "-id" descending
};

struct TableDef {
    QString name;
    std::vector<FieldDef> fields;
    std::vector<IndexDef> indexes;

    const FieldDef* field(const QString& name) const;  // case-insensitive
};

struct RepairColumn {
    QString table;
    QString field;
    int type;
    int size;
};

namespace schema {

constexpr int baseGroup = 1;
constexpr int addedTablesGroup = 2;
constexpr int addedColumnsGroup = 3;

// The version this program stamps on a file it has verified and upgraded.
constexpr int versionMajor = 10;
constexpr int versionMinor = 4;
constexpr int versionRevision = 4;
constexpr qint64 versionNumber(qint64 major, qint64 minor, qint64 revision)
{
    return major * 1000000 + minor * 1000 + revision;
}

const std::vector<TableDef>& baseTables();     // 35, created by a new file
const std::vector<TableDef>& addedTables();    // 34, created when missing
const std::vector<TableDef>& addedColumns();   // 29 column groups added to existing tables
// Columns of this program's own (the mark-up switch and rate of the organisation), added to
// older files right after the inherited ones.
const std::vector<TableDef>& ownColumns();
// Indexes of this program's own on a key column that rows are looked up by, added to every
// file when it is opened; the start-up check reads the keys of a large table from them.
struct KeyIndex {
    QString table;
    QString column;  // also the index's name, stored as "<table>.<column>"
};
const std::vector<KeyIndex>& ownIndexes();
const std::vector<RepairColumn>& repairSums();   // document sums, recognised by type
const std::vector<RepairColumn>& repairMemos();  // long texts, recognised by size

// Entry `entry` (1-based) of group 1, 2 or 3; nullptr outside the group.
const TableDef* lookup(int group, int entry);

// Byte size the layout gives a field of a fixed-size type; 0 for Memo.
int fixedSize(int type);
// Attributes a field of this type carries by default.
int defaultAttributes(int type);

// Column titles of reference-book lists written into a new NAMETABLE: (title, book, column).
struct ColumnTitle {
    QString title;
    int book;
    int column;
};
const std::vector<ColumnTitle>& initialColumnTitles();

} // namespace schema
} // namespace rat
