#pragma once
// What a book does once after a deletion of its rows, when some were deleted (the stock journals
// issue the later menu-requirements again).

#include <QtGlobal>
#include <functional>
#include <vector>

namespace rat {
class Database;
class Prompt;
}

namespace rat::books {

using DeletionFollowUp = std::function<void(Database&, Prompt&, const std::vector<qint64>& deletedIds)>;
// Replaces the follow-up of a book.
void setDeletionFollowUp(int entry, DeletionFollowUp followUp);
// Runs the book's follow-up with the rows deleted; nothing when none was.
void runDeletionFollowUp(int entry, Database& db, Prompt& prompt, const std::vector<qint64>& deletedIds);

} // namespace rat::books
