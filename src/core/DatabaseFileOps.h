#pragma once
// The database file commands of the main window without their dialogs: copies of the open
// file (save as, archive, removable disk), compaction, the check, and switching the session
// to another file (open, create, restore). Every switch that fails leaves the previous file
// open again.

#include <QDate>
#include <QString>
#include <QStringList>

namespace rat {

class Database;
class DatabaseSession;

// A consistent copy of the open file written to `target` with SQLite's online backup. The
// copy is written beside the target first and takes its place only when it is whole, so a
// failed copy leaves an existing target as it was. The open file itself is refused as target.
bool backupDatabase(Database& db, const QString& target, QString* error = nullptr);

// "<base>_<yyyy-MM-dd>.<ext>" in `archiveDir`; a second copy of the same day gets "_2", "_3"...
QString archiveFilePath(const QString& dbPath, const QString& archiveDir, const QDate& day);

// An archive copy of the open file in the folder "Архив" of the application folder.
// Returns the written file, or an empty text when the copy failed.
QString archiveDatabase(Database& db, const QString& appDir, const QDate& day, QString* error = nullptr);

// A copy of the open file under its own name in `folder` (an older copy there is replaced).
// Returns the written file, or an empty text when the copy failed.
QString copyDatabaseToFolder(Database& db, const QString& folder, QString* error = nullptr);

// VACUUM: the file is rebuilt without its free pages.
bool compactDatabase(Database& db, QString* error = nullptr);

// The engine's own integrity check. An empty list means the file is sound.
QStringList integrityProblems(Database& db);

// Opens another existing file for the session (verification and upgrade, then the start-up
// check). When it is refused, the file that was open before is open again.
bool switchDatabase(DatabaseSession& session, const QString& path);

// Creates and fills a new file and keeps it open; on failure the previous file is open again.
bool createAndSwitchDatabase(DatabaseSession& session, const QString& path);

// Replaces the open file by a copy of `candidate`. The copy is verified (and brought up to
// date) in a session of its own before the working file is touched; the working file is put
// back when the copy cannot be opened in its place. The candidate itself is never written.
bool restoreDatabase(DatabaseSession& session, const QString& candidate);

// The file becomes the database of the run and of the next start ("User", "DB").
void rememberDatabase(const QString& path);

// Same file, whatever the spelling of the path.
bool sameFile(const QString& a, const QString& b);

} // namespace rat
