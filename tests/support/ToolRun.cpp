// Runs the headless tool as a separate process with its own settings store.

#include "support/ToolRun.h"

#include <QDir>
#include <QProcessEnvironment>
#include <gtest/gtest.h>

namespace rat::test {

void prepareTool(QProcess& p, const QString& dir, const QString& dbPath, const QStringList& args)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), QDir(dir).filePath(QStringLiteral("config")));
    env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    p.setProcessEnvironment(env);
    p.setProgram(QStringLiteral(RAT_CLI_PATH));
    p.setArguments(QStringList{QStringLiteral("--app-dir"), QDir(dir).filePath(QStringLiteral("app")),
                               QStringLiteral("--db"), dbPath} +
                   args);
}

ToolRun runTool(const QString& dir, const QString& dbPath, const QStringList& args)
{
    QProcess p;
    prepareTool(p, dir, dbPath, args);
    p.start();
    ToolRun r;
    if (!p.waitForFinished(120000)) {
        ADD_FAILURE() << "the tool did not finish";
        p.kill();
        p.waitForFinished();
        return r;
    }
    r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.lines = QString::fromUtf8(p.readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

} // namespace rat::test
