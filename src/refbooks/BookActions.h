#pragma once
// Commands of the list window besides add and edit: deleting the selected rows, searching a
// column, and including every vitamin in the card calculations.

#include "refbooks/BookList.h"

#include <QString>
#include <optional>
#include <vector>

namespace rat {
class Database;
class Prompt;
}

namespace rat::books {

// keyDel: deletes the selected rows of a book, each with its dependent rows in its own
// transaction, after the confirmation and the per-row rules of the book. Status texts go to
// the prompt ("Идет удаление строк...", then "Удалено строк: N").
struct DeleteResult {
    int deleted = 0;
    bool confirmed = false;  // the person said Yes to the confirmation
};
DeleteResult deleteRows(Database& db, Prompt& prompt, int entry, const std::vector<qint64>& ids);

// Searchable columns of a book (the NAMETABLE rows of its entry, by namePole).
struct SearchColumn {
    QString caption;  // namePole
    int column = 0;   // 0-based visible column of the list (xpole - 1)
};
std::vector<SearchColumn> searchColumns(Database& db, int entry);

// One search of the list window: a column and a sample; "Найти далее" continues from the row
// last found. A row matches when its text in the column contains the sample, letter case
// ignored and ё read as е.
class BookSearch {
public:
    BookSearch(int column, const QString& sample) : column_(column), sample_(sample) {}

    // Before the search dialog: a book without rows gives "Справочник пуст! Поиск невозможен."
    // and false.
    static bool canStart(Database& db, Prompt& prompt, int entry, const BookList& list);

    // Scans downward from the row after `currentRow` (-1: from the first row). Returns the
    // found row, or nothing after the end message: "Поиск завершен." when this search found a
    // row before, "Поиск завершен. Образец не найден" when it never did, "Поиск завершен.
    // Справочник пуст." for an empty list.
    std::optional<int> findNext(Prompt& prompt, const BookList& list, int currentRow);

    // Marks the search as having found a row already (a search continued from a found row).
    void setFoundBefore(bool found) { foundBefore_ = found; }
    bool matches(const BookList& list, int row) const;

private:
    int column_;
    QString sample_;
    bool foundBefore_ = false;
};

// Opening a book whose parent book is still empty (products without product groups, ...):
// asks "Сначала необходимо заполнить данные в справочнике "<book>". Открыть справочник?" and
// returns the entry of the book to open instead on Yes; nothing when the book can be used.
std::optional<int> offerPrerequisite(Database& db, Prompt& prompt, int entry);

// keyVich: asks "Включить в рассчет все витамины?" (default No) and, on Yes, sets ispCard of
// every vitamin. True when the vitamins were changed.
bool includeAllVitamins(Database& db, Prompt& prompt);

} // namespace rat::books
