#pragma once
// Runs the headless tool as a separate process with its own settings store, so a person's
// settings are never read or written by a test.

#include <QProcess>
#include <QString>
#include <QStringList>

namespace rat::test {

struct ToolRun {
    int exitCode = -1;   // -1 when the tool crashed or hung
    QStringList lines;   // standard output, non-empty lines
    QString err;
};

// Prepares `p` to run ratsionariy-cli with --app-dir <dir>/app --db <dbPath> and `args`;
// its settings live in <dir>/config.
void prepareTool(QProcess& p, const QString& dir, const QString& dbPath, const QStringList& args);

// Runs the tool to its end (a hang guard of two minutes fails the test, it does not time it).
ToolRun runTool(const QString& dir, const QString& dbPath, const QStringList& args);

} // namespace rat::test
