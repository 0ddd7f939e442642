#pragma once
// A reference book printed from its list window (PrintV, PrintV1): the rows as the list shows
// them through the printed-list form; the seasonal-loss book asks whether to print every
// product or only the chosen one.

#include "documents/TablePrint.h"

#include <optional>
#include <vector>

namespace rat::books {
struct BookList;
}

namespace rat::documents {

// The rows of a loaded list (all of them, or the given row indexes in list order) as a printed
// table: the list's captions, numbers of numeric columns as numbers, texts as they are shown.
PrintedTable bookTable(const books::BookList& list, const std::vector<int>* rows = nullptr);

// PrintV: the book `entry` as its list shows it for the chosen parent row (every row of a book
// without a parent filter). The seasonal-loss book asks first: Yes prints every product's
// periods, No those of the chosen product, Cancel nothing. Returns the saved path, empty when
// nothing was saved.
QString PrintBook(Database& db, Prompt& prompt, int entry, std::optional<qint64> parent);

// The seasonal-loss book without the question: every product that has periods (no product
// given) or the periods of one product, the product's name in the first column.
QString PrintSeasonalLosses(Database& db, Prompt& prompt, std::optional<qint64> product);

} // namespace rat::documents
