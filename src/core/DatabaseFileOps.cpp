// Copies, compaction and checks of the open database file, and switching the session to
// another file.

#include "core/DatabaseFileOps.h"
#include "core/AppState.h"
#include "core/Database.h"
#include "core/DatabaseErrors.h"
#include "core/DatabaseSession.h"
#include "core/NewDatabaseFile.h"
#include "core/Prompt.h"
#include "core/Settings.h"
#include "core/Startup.h"
#include "core/StartupCheck.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <filesystem>
#include <sqlite3.h>
#include <system_error>

namespace rat {

namespace {

void setError(QString* error, const QString& text)
{
    if (error)
        *error = text;
}

// Moves `from` over `to` in one step (an existing `to` is replaced).
bool replaceFile(const QString& from, const QString& to)
{
    std::error_code ec;
    std::filesystem::rename(std::filesystem::path(from.toStdU16String()),
                            std::filesystem::path(to.toStdU16String()), ec);
    return !ec;
}

QString currentPath(DatabaseSession& session)
{
    return session.isOpen() ? session.db().path() : app().dbPath;
}

// Opens the file that was open before a refused switch; it was sound a moment ago.
void reopen(DatabaseSession& session, const QString& path)
{
    if (!session.isOpen() && !path.isEmpty() && QFileInfo::exists(path))
        session.openDatabase(path, false);
}

} // namespace

bool sameFile(const QString& a, const QString& b)
{
    const QFileInfo fa(a), fb(b);
    if (fa.exists() && fb.exists())
        return fa.canonicalFilePath() == fb.canonicalFilePath();
    return QDir::cleanPath(fa.absoluteFilePath()) == QDir::cleanPath(fb.absoluteFilePath());
}

bool backupDatabase(Database& db, const QString& target, QString* error)
{
    if (target.isEmpty()) {
        setError(error, QStringLiteral("не указан файл"));
        return false;
    }
    if (sameFile(target, db.path())) {
        setError(error, QStringLiteral("файл открыт программой"));
        return false;
    }
    const QFileInfo info(target);
    if (!info.dir().exists()) {
        setError(error, QStringLiteral("папка не найдена"));
        return false;
    }
    const QString part = target + QStringLiteral(".part");
    QFile::remove(part);

    sqlite3* dest = nullptr;
    int rc = sqlite3_open_v2(part.toUtf8().constData(), &dest, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    if (rc == SQLITE_OK) {
        sqlite3_backup* backup = sqlite3_backup_init(dest, "main", db.handle(), "main");
        if (backup) {
            do {
                rc = sqlite3_backup_step(backup, -1);
            } while (rc == SQLITE_OK || rc == SQLITE_BUSY || rc == SQLITE_LOCKED);
            sqlite3_backup_finish(backup);
            if (rc == SQLITE_DONE)
                rc = SQLITE_OK;
        }
        if (rc == SQLITE_OK)
            rc = sqlite3_errcode(dest);
    }
    const QString engineText = dest ? QString::fromUtf8(sqlite3_errmsg(dest)) : QString();
    sqlite3_close(dest);
    if (rc != SQLITE_OK) {
        QFile::remove(part);
        setError(error, engineText);
        return false;
    }
    if (!replaceFile(part, target)) {
        QFile::remove(part);
        setError(error, QStringLiteral("файл не может быть записан"));
        return false;
    }
    return true;
}

QString archiveFilePath(const QString& dbPath, const QString& archiveDir, const QDate& day)
{
    const QFileInfo info(dbPath);
    const QString base = info.completeBaseName() + QLatin1Char('_') + day.toString(QStringLiteral("yyyy-MM-dd"));
    const QString ext = info.suffix().isEmpty() ? QString() : QLatin1Char('.') + info.suffix();
    const QDir dir(archiveDir);
    QString path = dir.filePath(base + ext);
    for (int n = 2; QFileInfo::exists(path); ++n)
        path = dir.filePath(base + QLatin1Char('_') + QString::number(n) + ext);
    return path;
}

QString archiveDatabase(Database& db, const QString& appDir, const QDate& day, QString* error)
{
    const QString folder = QDir(appDir).filePath(QStringLiteral("Архив"));
    if (!QDir().mkpath(folder)) {
        setError(error, QStringLiteral("папка не может быть создана"));
        return {};
    }
    const QString path = archiveFilePath(db.path(), folder, day);
    return backupDatabase(db, path, error) ? path : QString();
}

QString copyDatabaseToFolder(Database& db, const QString& folder, QString* error)
{
    if (folder.isEmpty() || !QFileInfo(folder).isDir()) {
        setError(error, QStringLiteral("папка не найдена"));
        return {};
    }
    const QString path = QDir(folder).filePath(QFileInfo(db.path()).fileName());
    return backupDatabase(db, path, error) ? path : QString();
}

bool compactDatabase(Database& db, QString* error)
{
    if (db.inTransaction()) {
        setError(error, QStringLiteral("идет запись в базу данных"));
        return false;
    }
    try {
        db.execScript(QStringLiteral("VACUUM;"));
        return true;
    } catch (const DbError& e) {
        setError(error, e.text());
        return false;
    }
}

QStringList integrityProblems(Database& db)
{
    QStringList problems;
    try {
        Statement st(db, QStringLiteral("PRAGMA integrity_check"));
        while (st.next()) {
            const QString row = st.toString(0);
            if (row != QLatin1String("ok"))
                problems << row;
        }
    } catch (const DbError& e) {
        problems << e.text();
    }
    return problems;
}

bool switchDatabase(DatabaseSession& session, const QString& path)
{
    const QString previous = currentPath(session);
    if (session.openDatabase(path, false)) {
        try {
            if (refuseUnfilledFile(session.db(), session.prompt())) {
                session.close();
                reopen(session, previous);
                return false;
            }
            runStartupCheck(session.db(), session.prompt());
            return true;
        } catch (const DbError& e) {
            session.prompt().critical(databaseErrorMessage(QStringLiteral("проверке базы данных"), e, path));
            session.close();
        }
    }
    reopen(session, previous);
    return false;
}

bool createAndSwitchDatabase(DatabaseSession& session, const QString& path)
{
    const QString previous = currentPath(session);
    if (createAndFillDatabase(session, path))
        return true;
    session.close();
    reopen(session, previous);
    return false;
}

bool restoreDatabase(DatabaseSession& session, const QString& candidate)
{
    const QString current = currentPath(session);
    if (candidate.isEmpty() || current.isEmpty() || sameFile(candidate, current))
        return false;
    if (!QFileInfo(candidate).isFile()) {
        session.prompt().critical(QStringLiteral("Файл базы данных ") + nativePath(candidate) +
                                  QStringLiteral(" не найден!"));
        return false;
    }

    // The candidate is copied beside the working file and checked there.
    const QString staged = current + QStringLiteral(".restore");
    QFile::remove(staged);
    if (!QFile::copy(candidate, staged))
        return false;
    {
        DatabaseSession probe(session.prompt());
        if (!probe.openDatabase(staged, false)) {
            QFile::remove(staged);
            return false;
        }
    }

    // Only now is the working file closed; it stays aside until the copy is open in its place.
    session.close();
    const QString aside = current + QStringLiteral(".prev");
    QFile::remove(aside);
    if (!replaceFile(current, aside)) {
        QFile::remove(staged);
        reopen(session, current);
        return false;
    }
    if (!replaceFile(staged, current)) {
        replaceFile(aside, current);
        QFile::remove(staged);
        reopen(session, current);
        return false;
    }
    bool opened = session.openDatabase(current, false);
    if (opened) {
        try {
            runStartupCheck(session.db(), session.prompt());
        } catch (const DbError&) {
            opened = false;
        }
    }
    if (!opened) {
        session.close();
        QFile::remove(current);
        replaceFile(aside, current);
        reopen(session, current);
        return false;
    }
    QFile::remove(aside);
    return true;
}

void rememberDatabase(const QString& path)
{
    const QString absolute = QFileInfo(path).absoluteFilePath();
    app().dbPath = absolute;
    Settings::setText(QStringLiteral("User"), QStringLiteral("DB"), absolute);
}

} // namespace rat
