#pragma once
// The rows of one reference book as the list window shows them: captions, display texts per
// cell (numbers with the column's decimals and a decimal comma), and the row keys.

#include "refbooks/BookCatalogue.h"

#include <QDate>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>
#include <vector>

namespace rat {
class Database;
}

namespace rat::books {

struct BookList {
    int entry = -1;
    QString title;                    // the book's list title
    QStringList captions;             // visible columns; the key is not among them
    std::vector<int> widths;
    std::vector<int> decimals;        // -1 text
    std::vector<Control> formats;     // how a text column shows (a date, a date and time)
    std::vector<qint64> ids;          // row keys, parallel to rows
    std::vector<QStringList> rows;    // display texts, one per visible column

    int rowCount() const { return int(ids.size()); }
    int columnCount() const { return int(captions.size()); }
    // Row index of a key, or -1 (for reselecting a row after a reload).
    int rowOf(qint64 id) const;
};

struct ListFilter {
    std::optional<qint64> parent;  // the chosen parent row; nothing shows every row
    std::optional<qint64> second;  // a second parameter (the eater type of a card calculation)
    // The period of a journal (BookDef::periodColumn), both days included; open when unset.
    std::optional<QDate> from;
    std::optional<QDate> to;
};

// Loads the rows of a book. Rows ordered by name follow the Russian alphabet, letter case
// ignored. Throws DbError when the database refuses the query.
BookList loadList(Database& db, int entry, std::optional<qint64> parentId = {});
BookList loadList(Database& db, int entry, const ListFilter& filter);

// Items of the parent filter list of a book (empty when the book has none).
std::vector<ListItem> parentItems(Database& db, int entry, const QVariant& grandParent = {});

// A number as a list shows it: `decimals` places, a comma as the decimal sign; empty for a
// null value.
QString displayNumber(const QVariant& value, int decimals);
QString displayNumber(double value, int decimals);

// Rows of a book the catalogue does not build with one query (the card calculation view): the
// module that computes them registers the loader.
using ListLoader = std::function<void(Database&, const ListFilter&, BookList&)>;
void registerListLoader(int entry, ListLoader loader);

} // namespace rat::books
