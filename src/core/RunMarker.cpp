// The file-in-use mark beside the database and the quick check made when a run did not end.

#include "core/RunMarker.h"
#include "core/Database.h"

#include <QFile>
#include <QFileInfo>

namespace rat {

QString runMarkerPath(const QString& dbPath)
{
    return dbPath + QStringLiteral(".inuse");
}

bool previousRunEndedCleanly(const QString& dbPath)
{
    return !QFileInfo::exists(runMarkerPath(dbPath));
}

void setRunMarker(const QString& dbPath)
{
    QFile f(runMarkerPath(dbPath));
    // A folder that cannot take the mark only loses the check after a crash.
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        f.close();
}

void clearRunMarker(const QString& dbPath)
{
    QFile::remove(runMarkerPath(dbPath));
}

bool passesQuickCheck(Database& db)
{
    try {
        Statement st(db, QStringLiteral("PRAGMA quick_check"));
        while (st.next())
            if (st.toString(0) != QLatin1String("ok"))
                return false;
        return true;
    } catch (const DbError&) {
        return false;
    }
}

} // namespace rat
