#pragma once

namespace rat {
class Database;
class Prompt;

// Adds the usual seasonal-loss periods for every potato, carrot and beet product (the name
// contains "картофель", "морковь" or "свекла" in any letter case, ё read as е). Products are
// walked in name order (by id when byName is false). Returns the number of rows added.
int addDefaultSeasonRows(Database& db, bool byName = true);

// At start: when the seasonal-loss book is empty, the usual periods are added for potatoes,
// carrots and beets, and the person is asked to check them. Returns the number of rows added.
int ensureDefaultSeasonRows(Database& db, Prompt& prompt);

} // namespace rat
