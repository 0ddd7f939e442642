#pragma once
// What every package loader shares while it writes into the open file: the file's own tables
// (column names and types, for turning package texts into typed values), rows found by their
// name (and created when missing), and prepared statements kept for the whole import.

#include "core/Database.h"
#include "core/FileSchema.h"

#include <QHash>
#include <QString>
#include <QVariant>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

namespace pugi {
class xml_node;
}

namespace rat {
class Prompt;
}

namespace rat::exchange {

using ColumnValues = std::vector<std::pair<QString, QVariant>>;

class ImportContext {
public:
    ImportContext(Database& db, Prompt& prompt);
    ~ImportContext();

    Database& db() { return db_; }
    Prompt& prompt() { return prompt_; }

    // The table as the file has it; throws DbError when the file lacks it.
    const FileTable& table(const QString& name);
    const FileField* column(const QString& table, const QString& column);

    // A package text as the value the column takes: flags "true" -> -1, whole numbers
    // rounded, decimals with point or comma, times of day on the base date, texts cut to the
    // column's size. An empty text is no value (a null QVariant).
    QVariant value(const QString& table, const QString& column, const QString& text);

    // Every child element of `item` named like a column of the table (letter case aside),
    // except the names in `skip`, as typed values.
    ColumnValues sameNamedColumns(const pugi::xml_node& item, const QString& table, const QStringList& skip = {});

    // The id of the first row (lowest id) whose `nameColumn` equals `name` (letter case
    // aside, blanks around ignored); 0 when there is none.
    qint64 find(const QString& table, const QString& nameColumn, const QString& name);
    // The same, adding a row with that name (and `extra` columns) when there is none.
    qint64 findOrCreate(const QString& table, const QString& nameColumn, const QString& name,
                        const ColumnValues& extra = {});

    // Adds a row; the values of name columns already looked up are remembered for find().
    qint64 insert(const QString& table, const ColumnValues& values);
    void update(const QString& table, qint64 id, const ColumnValues& values);
    // Runs a statement, kept prepared by its text.
    void run(const QString& sql, const std::vector<QVariant>& params);
    // The first column of the first row of a query kept prepared; null when there is no row.
    QVariant scalar(const QString& sql, const std::vector<QVariant>& params);
    // Rows of a table were deleted: names looked up in it are read again.
    void forget(const QString& table);
    // A package was rolled back: every name is read again.
    void forgetAll() { names_.clear(); }

    // The key column of a table (the first field: id, IDF, idSEZ...).
    QString keyColumn(const QString& table);

private:
    using NameIndex = QHash<QString, qint64>;
    NameIndex& index(const QString& table, const QString& nameColumn);
    Statement& statement(const QString& sql);

    Database& db_;
    Prompt& prompt_;
    std::map<QString, FileTable> tables_;                  // by upper-cased name
    std::map<QString, NameIndex> names_;                   // "TABLE|COLUMN" upper-cased
    std::map<QString, std::unique_ptr<Statement>> statements_;
};

// Folded form of a name for comparisons.
QString nameKey(const QString& name);

} // namespace rat::exchange
