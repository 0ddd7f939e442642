#pragma once
// The one open database of the run: opening for exclusive use, creation of a new file,
// verification and upgrade, and the consistency check at start-up.

#include "core/Database.h"

#include <QString>
#include <memory>

namespace rat {

class Prompt;

class DatabaseSession {
public:
    explicit DatabaseSession(Prompt& prompt) : prompt_(prompt) {}
    ~DatabaseSession() { close(); }
    DatabaseSession(const DatabaseSession&) = delete;
    DatabaseSession& operator=(const DatabaseSession&) = delete;

    // Creates a new file with the base tables (create) or opens an existing one, verifies it
    // and brings it up to the current layout. Every refusal is told to the person here; the
    // caller learns only the failure. A refused file is left exactly as it was.
    bool openDatabase(const QString& path, bool create);

    // A new file made ready for work: the base tables, then the full layout. The file is
    // built as "<path>.creating" and takes its name only when whole (beginNewFile, then
    // commitNewFile), so a kill or a second copy of the program never leaves a half file.
    bool createDatabase(const QString& path);

    // Claims "<path>.creating" for this copy of the program and gives it the full layout; the
    // session is open on it until commitNewFile or close. A claim held by another copy is
    // told and refused; one that nobody holds (a run that died) is emptied and reused.
    bool beginNewFile(const QString& path);
    // The begun file takes its target name (only when the target is still absent) and is
    // opened there as any existing file.
    bool commitNewFile();
    bool creatingNewFile() const { return !newFileTarget_.isEmpty(); }

    bool isOpen() const { return db_ != nullptr; }
    Database& db() { return *db_; }
    Prompt& prompt() { return prompt_; }
    // A begun new file that was not committed is removed.
    void close();

private:
    bool openExisting(const QString& path);
    bool lockExclusive(Database& db, const QString& path);
    // Verification and upgrade of a file open and locked in `db`.
    bool prepareOpened(Database& db);
    std::unique_ptr<Database> claimCreatingFile(const QString& work, const QString& target);
    QString newFileTarget_;
    QString markedPath_;  // the file this session marked as in use

    Prompt& prompt_;
    std::unique_ptr<Database> db_;
};

QString nativePath(const QString& path);

} // namespace rat
