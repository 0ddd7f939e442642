#pragma once
// A test with its own database file: a temporary application folder, the scripted Prompt, an
// open session, and small helpers for arranging rows and checking that a refusal left a table
// as it was.

#include "core/Database.h"
#include "core/DatabaseSession.h"
#include "support/ScriptedPrompt.h"
#include "support/TestEnv.h"

#include <QString>
#include <QStringList>
#include <QVariant>
#include <gtest/gtest.h>
#include <vector>

namespace rat::test {

class FileTest : public ::testing::Test {
protected:
    Database& db() { return session.db(); }

    // Runs an INSERT and returns the new row's key.
    qint64 insert(const QString& sql, const std::vector<QVariant>& params = {})
    {
        db().exec(sql, params);
        return db().lastInsertId();
    }

    // The first column of the first row as a number (a COUNT(*), say).
    qint64 count(const QString& sql, const std::vector<QVariant>& params = {})
    {
        return db().scalar(sql, params).toLongLong();
    }

    // Every row of a table, cell by cell, for "left unchanged" checks.
    QStringList dump(const QString& table)
    {
        QStringList rows;
        Statement st(db(), QStringLiteral("SELECT * FROM [") + table + QStringLiteral("] ORDER BY rowid"));
        while (st.next()) {
            QStringList cells;
            for (int c = 0; c < st.columnCount(); ++c)
                cells << (st.isNull(c) ? QStringLiteral("<null>") : st.toString(c));
            rows << cells.join(QLatin1Char('|'));
        }
        return rows;
    }

    TestEnv env;
    ScriptedPrompt prompt;
    DatabaseSession session{prompt};
};

} // namespace rat::test
