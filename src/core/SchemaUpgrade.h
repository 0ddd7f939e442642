#pragma once
// Creation, strict verification and in-place upgrade of the database file, walking the
// table catalogue.

namespace rat {
class Database;
class Prompt;

namespace upgrade {

// The base tables of a new file with their primary keys.
void createBaseTables(Database& db);

// Checks every base table, field and index against the catalogue, in catalogue order, and
// names the first deviation. Reads only.
bool verifyBaseTables(Database& db, Prompt& prompt);

// Brings a verified file up to the current layout: added tables with their first contents,
// added columns with their values for existing rows, the plan-menu energy totals and the
// repair of old column types; stamps the version unless `stamp` is false. Returns false
// (after its message) when a table the repair needs is missing. Runs inside the caller's
// transaction.
bool upgradeFile(Database& db, Prompt& prompt, bool stamp);

// Version stamp of the file as one number (0 when the file has none).
long long fileVersion(Database& db);

} // namespace upgrade
} // namespace rat
