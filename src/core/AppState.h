#pragma once
// Process-wide state set once at start-up and read everywhere.

#include <QString>
#include <QStringList>

namespace rat {

struct AppState {
    int roundingDigits = 2;
    QString appTitle = QStringLiteral("Рационарий");
    QString portionMassCaption = QStringLiteral("Масса порции");
    QString organolepticTitle = QStringLiteral("Журнал органолептической оценки");
    QString appDir;    // the application folder
    QString helpPath;  // the built-in help page
    QString dbPath;    // the database file of the run
};

AppState& app();

// Base name of the default database file.
inline const QString kDefaultDbBaseName = QStringLiteral("vektas");

// The folders the program keeps beside itself.
QStringList applicationFolders();

// Chooses the application folder: the given one, else the executable's folder; a read-only
// folder gives way to the person's own data folder. Creates the program's folders in it.
QString prepareApplicationFolder(const QString& requested, const QString& executableDir);

QString defaultDatabasePath(const QString& appDir);

} // namespace rat
