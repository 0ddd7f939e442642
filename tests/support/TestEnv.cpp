// A fresh application folder and an isolated settings store for each test.

#include "support/TestEnv.h"
#include "core/AppState.h"
#include "core/Settings.h"

#include <QDir>
#include <QFile>

namespace rat::test {

TestEnv::TestEnv()
{
    Settings::useFolder(tmp_.filePath(QStringLiteral("settings")));
    app() = AppState{};
    app().appDir = prepareApplicationFolder(tmp_.filePath(QStringLiteral("app")), QString());
    // The folders an installation brings, in the application folder as a fresh copy has them.
    for (const QString& shipped : {QStringLiteral("Примеры"), QStringLiteral("Шаблоны"), QStringLiteral("Помощник")})
        QDir(app().appDir).mkpath(shipped);
    app().dbPath = defaultDatabasePath(app().appDir);
}

QByteArray fileBytes(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

} // namespace rat::test
