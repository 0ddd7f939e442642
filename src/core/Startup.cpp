// The start-up sequence of both programs: settings, password, the file opened or made, the
// consistency check and the default seasonal rows.

#include "core/Startup.h"
#include "core/AppState.h"
#include "core/DatabaseErrors.h"
#include "core/DatabaseSession.h"
#include "core/NewDatabaseFile.h"
#include "core/Prompt.h"
#include "core/SchemaCatalogue.h"
#include "core/SeasonDefaults.h"
#include "core/Settings.h"
#include "core/ShippedFolders.h"
#include "core/StartupCheck.h"

#include <QDir>
#include <QFileInfo>
#include <QString>

namespace rat {

void readStartupSettings(const QString& explicitDbPath)
{
    AppState& a = app();
    a.roundingDigits = int(leadingNumber(Settings::text(QStringLiteral("Settings"), QStringLiteral("Округление"),
                                                        QStringLiteral("2"))));
    a.helpPath = QDir(shippedFolder(QStringLiteral("Помощник"))).filePath(QStringLiteral("index.htm"));
    a.dbPath = !explicitDbPath.isEmpty()
                   ? explicitDbPath
                   : Settings::text(QStringLiteral("User"), QStringLiteral("DB"), defaultDatabasePath(a.appDir));
}

namespace {

DatabaseFill& installedFill()
{
    static DatabaseFill fill;
    return fill;
}

} // namespace

void setDatabaseFill(DatabaseFill fill)
{
    installedFill() = std::move(fill);
}

bool createAndFillDatabase(DatabaseSession& session, const QString& path)
{
    if (installedFill())
        return installedFill()(session, path);
    if (!session.beginNewFile(path))
        return false;
    Database& db = session.db();
    try {
        Transaction tx(db);
        db.exec(QStringLiteral("DELETE FROM INF"));
        db.exec(QStringLiteral(
                    "INSERT INTO INF (Naim, FamDir, ImDir, OtchDir, REF, appMajor, appMinor, appRevision, AREF, "
                    "ASEC, norms, eatings, [5week]) VALUES (?1, ?2, ?3, ?4, 0, ?5, ?6, ?7, 0, 0, -1, -1, -1)"),
                {QStringLiteral("Детский сад №2"), QStringLiteral("Иванова"), QStringLiteral("Мария"),
                 QStringLiteral("Петровна"), schema::versionMajor, schema::versionMinor, schema::versionRevision});
        Statement users(db, QStringLiteral("INSERT INTO USERS (NAIM, ROLE, PSSW, MEMO) VALUES (?1, ?2, '', '')"));
        users.bindAll({QStringLiteral("Оператор"), 1}).exec();
        users.reset();
        users.bindAll({QStringLiteral("Пользователь"), 2}).exec();
        tx.commit();
        runStartupCheck(db, session.prompt());
    } catch (const DbError& e) {
        session.prompt().warning(QStringLiteral("Произошла ошибка при создании файла базы данных. Ошибка: ") +
                                 QString::number(e.code()) + QLatin1Char(' ') + e.text() + QLatin1Char('.'));
        session.close();
        return false;
    }
    return session.commitNewFile();
}

StartupResult startUp(DatabaseSession& session, Prompt& prompt, const StartupWay& way)
{
    if (way.askPassword) {
        const QString password = Settings::text(QStringLiteral("User"), QStringLiteral("Passw"));
        if (!password.isEmpty() && !(way.login && way.login()))
            return StartupResult::LoginRefused;
    }

    const QString& path = app().dbPath;
    if (way.createMissing && !QFileInfo::exists(path)) {
        // A new file has had its check in the fill.
        if (!createAndFillDatabase(session, path))
            return StartupResult::Failed;
    } else {
        removeStaleCreatingFile(path);
        if (!session.openDatabase(path, false))
            return StartupResult::Failed;
        try {
            // Scripts make files with the layout only (the headless "create"); the desktop refuses them.
            if (way.refuseUnfilled && refuseUnfilledFile(session.db(), prompt)) {
                session.close();
                return StartupResult::Failed;
            }
            runStartupCheck(session.db(), prompt);
        } catch (const DbError& e) {
            prompt.critical(databaseErrorMessage(QStringLiteral("проверке базы данных"), e, path));
            session.close();
            return StartupResult::Failed;
        }
    }
    ensureDefaultSeasonRows(session.db(), prompt);
    return StartupResult::Ready;
}

StartupResult startUp(DatabaseSession& session, Prompt& prompt, const std::function<bool()>& login)
{
    StartupWay way;
    way.login = login;
    return startUp(session, prompt, way);
}

} // namespace rat
