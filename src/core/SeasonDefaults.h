#pragma once

namespace rat {
class Database;

// Adds the usual seasonal-loss periods for every potato, carrot and beet product (the name
// contains "картофель", "морковь" or "свекла" in any letter case, ё read as е). Products are
// walked in name order (by id when byName is false). Returns the number of rows added.
int addDefaultSeasonRows(Database& db, bool byName = true);

} // namespace rat
