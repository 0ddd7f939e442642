#pragma once
// A benchmark's own database file: a new file in a temporary folder, made by the program's
// session with a prompt that shows nothing.

#include "core/Database.h"
#include "core/DatabaseSession.h"
#include "core/Prompt.h"

#include <QString>
#include <QTemporaryDir>
#include <cstdio>

namespace rat::bench {

struct BenchDatabase {
    // Creates `fileName` in the folder; says so on the error stream when it could not.
    bool create(const QString& fileName)
    {
        if (session.createDatabase(dir.filePath(fileName)))
            return true;
        std::fprintf(stderr, "could not create the database\n");
        return false;
    }

    Database& db() { return session.db(); }

    QTemporaryDir dir;
    SilentPrompt prompt;
    DatabaseSession session{prompt};
};

} // namespace rat::bench
