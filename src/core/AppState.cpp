// The process-wide state of the run and the application folder beside the program.

#include "core/AppState.h"
#include "core/ShippedFolders.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace rat {

AppState& app()
{
    static AppState state;
    return state;
}

QStringList applicationFolders()
{
    return {QStringLiteral("Архив"), QStringLiteral("Документы"), QStringLiteral("Импорт"), QStringLiteral("Экспорт")};
}

QString prepareApplicationFolder(const QString& requested, const QString& executableDir)
{
    setInstallationFolder(executableDir);
    QString dir = requested.isEmpty() ? executableDir : requested;
    QDir().mkpath(dir);
    if (!QFileInfo(dir).isWritable()) {
        const QString own = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
        if (!own.isEmpty())
            dir = own;
    }
    QDir base(dir);
    for (const QString& f : applicationFolders())
        base.mkpath(f);
    return QDir::cleanPath(base.absolutePath());
}

QString defaultDatabasePath(const QString& appDir)
{
    return appDir + QLatin1Char('/') + kDefaultDbBaseName + QStringLiteral(".db");
}

} // namespace rat
