#pragma once

namespace rat {
class Database;
class Prompt;

// The consistency check made each time a file is opened for work: menu-requirements whose
// day menu is gone or whose parts are missing are removed, the working copies are emptied,
// and duplicated recipe lines and plan-menu entries are reduced to one.
void runStartupCheck(Database& db, Prompt& prompt);

// Empties the working copies of a menu-requirement (also done when the program ends).
void clearWorkingCopies(Database& db);

} // namespace rat
