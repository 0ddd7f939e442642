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

    // Creates a new file with the base tables (create) or opens an existing one, verifies it
    // and brings it up to the current layout. Every refusal is told to the person here; the
    // caller learns only the failure. A refused file is left exactly as it was.
    bool openDatabase(const QString& path, bool create);

    // A new file made ready for work: the base tables, then the full layout on a second pass.
    bool createDatabase(const QString& path);

    bool isOpen() const { return db_ != nullptr; }
    Database& db() { return *db_; }
    Prompt& prompt() { return prompt_; }
    void close() { db_.reset(); }

private:
    bool openExisting(const QString& path);
    bool lockExclusive(Database& db, const QString& path);

    Prompt& prompt_;
    std::unique_ptr<Database> db_;
};

QString nativePath(const QString& path);

} // namespace rat
