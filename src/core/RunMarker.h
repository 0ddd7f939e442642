#pragma once
// The mark of a file in use: set when the file is opened, cleared when it is closed normally.
// A mark found at the next open means the run before did not end cleanly (a crash, a kill, a
// power cut), and only then is the file given the engine's quick check.

#include <QString>

namespace rat {

class Database;

QString runMarkerPath(const QString& dbPath);
bool previousRunEndedCleanly(const QString& dbPath);
void setRunMarker(const QString& dbPath);
void clearRunMarker(const QString& dbPath);

// PRAGMA quick_check: true when the file is sound.
bool passesQuickCheck(Database& db);

} // namespace rat
