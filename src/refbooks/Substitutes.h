#pragma once
// Substitutes of a product: the copy of every substitute of one product to another.

#include <QtGlobal>

namespace rat {
class Database;
class Prompt;
}

namespace rat::books {

// "Копировать все продукты-заменители": every (substitute, product weight, substitute weight)
// of the product is added for a product the person chooses, unless the target already has that
// substitute (or is that substitute: a product never replaces itself). Returns the number of
// rows added, or -1 when nothing was copied (no rows, no choice).
int copySubstitutes(Database& db, Prompt& prompt, qint64 productId);

} // namespace rat::books
