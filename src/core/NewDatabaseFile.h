#pragma once
// A new database file built under a claimed "<name>.creating" beside its target and renamed
// onto the target only when whole; and the refusal of a file that was never filled.

#include <QString>

namespace rat {

class Database;
class Prompt;

// The refusal of a new database at `path` when a file of that name is already there.
QString fileExistsText(const QString& path);

// The file a new database at `path` is built in until it is whole.
QString creatingPath(const QString& path);

// Removes "<path>.creating" when no copy of the program holds it (left by a run that died).
void removeStaleCreatingFile(const QString& path);

// A file with the layout but without the organisation row was made by nothing this program
// does (every new file gets the row before it takes its name): it is refused with a message.
bool refuseUnfilledFile(Database& db, Prompt& prompt);

} // namespace rat
