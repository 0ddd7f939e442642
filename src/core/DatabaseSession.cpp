// The one open database of the run: exclusive opening, creation, verification and upgrade.

#include "core/DatabaseSession.h"
#include "core/AppState.h"
#include "core/Clock.h"
#include "core/DatabaseErrors.h"
#include "core/UpgradeBackup.h"
#include "core/Prompt.h"
#include "core/NewDatabaseFile.h"
#include "core/RunMarker.h"
#include "core/SchemaCatalogue.h"
#include "core/SchemaUpgrade.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <sqlite3.h>

namespace rat {

QString nativePath(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

namespace {

const QString kAppTitle = QStringLiteral("Рационарий");

quint32 be32(const uchar* p)
{
    return (quint32(p[0]) << 24) | (quint32(p[1]) << 16) | (quint32(p[2]) << 8) | quint32(p[3]);
}

// Reads the file's header without SQLite: a file that is no database, or that has lost its
// tail, is refused before anything could be written to it.
bool looksLikeWholeDatabase(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return false;
    const qint64 size = f.size();
    const QByteArray h = f.read(100);
    if (h.size() < 100 || !h.startsWith(QByteArrayLiteral("SQLite format 3\0")))
        return false;
    const auto* p = reinterpret_cast<const uchar*>(h.constData());
    quint32 pageSize = (quint32(p[16]) << 8) | p[17];
    if (pageSize == 1)
        pageSize = 65536;
    if (pageSize < 512 || (pageSize & (pageSize - 1)) != 0)
        return false;
    if (size % pageSize != 0)
        return false;
    const quint32 pages = be32(p + 28);
    const bool pagesValid = pages != 0 && be32(p + 24) == be32(p + 92);
    return !pagesValid || qint64(pages) * pageSize <= size;
}

QString errorSentence(const QString& what, const DbError& e)
{
    return what + QStringLiteral(" Ошибка: ") + QString::number(e.code()) + QLatin1Char(' ') + e.text() + QLatin1Char('.');
}

} // namespace

bool DatabaseSession::lockExclusive(Database& db, const QString& path)
{
    // The lock is taken and then held for the whole run: no other program may use the file.
    // A copy that only glanced at the file (another copy finding it already made) lets go within
    // a moment: that moment is waited for rather than refused.
    try {
        sqlite3_busy_timeout(db.handle(), 1000);
        db.execScript(QStringLiteral("PRAGMA locking_mode = EXCLUSIVE; BEGIN EXCLUSIVE; COMMIT;"));
        sqlite3_busy_timeout(db.handle(), 0);
        return true;
    } catch (const DbError& e) {
        if (e.code() == SQLITE_BUSY || e.code() == SQLITE_LOCKED) {
            prompt_.critical(QStringLiteral("Для открытия базы данных: ") + nativePath(path) +
                             QStringLiteral(" требуется монопольный доступ. Закройте все программы, использующие "
                                            "эту базу данных, после чего запустите программу \"") +
                             kAppTitle + QStringLiteral("\" заново."));
            return false;
        }
        throw;
    }
}

bool DatabaseSession::openDatabase(const QString& path, bool create)
{
    close();
    if (!create)
        return openExisting(path);

    if (QFileInfo::exists(path)) {
        prompt_.critical(fileExistsText(path));
        return false;
    }
    try {
        auto db = std::make_unique<Database>(path, true);
        if (!lockExclusive(*db, path))
            return false;
        Transaction tx(*db);
        upgrade::createBaseTables(*db);
        tx.commit();
        db_ = std::move(db);
        return true;
    } catch (const DbError& e) {
        prompt_.warning(errorSentence(QStringLiteral("Произошла ошибка при создании файла базы данных."), e));
        QFile::remove(path);
        return false;
    }
}

bool DatabaseSession::openExisting(const QString& path)
{
    if (!QFileInfo(path).isFile()) {
        prompt_.critical(QStringLiteral("Файл базы данных ") + nativePath(path) + QStringLiteral(" не найден!"));
        return false;
    }
    const QString damaged = QStringLiteral("Файл ") + nativePath(path) +
                            QStringLiteral(" не является файлом базы данных или поврежден. "
                                           "Продолжение работы с этим файлом невозможно.");
    // A file with a rollback journal beside it was left in the middle of a write (a kill, a
    // power cut): its header may describe pages that only the journal's rollback puts right, so
    // the engine opens it first and the quick check below judges it.
    const QFileInfo journal(path + QStringLiteral("-journal"));
    const bool interrupted = journal.isFile() && journal.size() > 0;
    if (!interrupted && !looksLikeWholeDatabase(path)) {
        prompt_.critical(damaged);
        return false;
    }
    try {
        auto db = std::make_unique<Database>(path, false);
        if (!lockExclusive(*db, path))
            return false;
        // The run before did not end: the file is checked before anything is written to it.
        if ((interrupted || !previousRunEndedCleanly(path)) && !passesQuickCheck(*db)) {
            prompt_.critical(damaged);
            return false;
        }
        if (sqlite3_db_readonly(db->handle(), "main") == 1)
            throw DbError(SQLITE_READONLY, QString::fromUtf8(sqlite3_errstr(SQLITE_READONLY)));
#ifndef Q_OS_WIN
        // Every change needs a rollback journal beside the file. An ordinary start writes
        // nothing, so a folder that takes no new file is told at once, as a read-only file is,
        // rather than at the first save. (Windows marks many writable folders read-only, so
        // there the first write tells.)
        if (!QFileInfo(QFileInfo(path).absolutePath()).isWritable())
            throw DbError(SQLITE_CANTOPEN, QString::fromUtf8(sqlite3_errstr(SQLITE_CANTOPEN)));
#endif
        if (!prepareOpened(*db))
            return false;
        db_ = std::move(db);
        setRunMarker(path);
        markedPath_ = path;
        return true;
    } catch (const DbError& e) {
        if (e.code() == SQLITE_NOTADB || e.code() == SQLITE_CORRUPT) {
            prompt_.critical(damaged);
            return false;
        }
        if (isWriteRefusal(e)) {
            prompt_.critical(writeRefusalMessage(path, e));
            return false;
        }
        prompt_.critical(errorSentence(QStringLiteral("Произошла ошибка при открытии файла базы данных."), e));
        return false;
    }
}

bool DatabaseSession::prepareOpened(Database& db)
{
    bool newer = false;
    const long long stamp = upgrade::fileVersion(db);
    const long long program = schema::versionNumber(schema::versionMajor, schema::versionMinor,
                                                    schema::versionRevision);
    if (stamp > program) {
        prompt_.info(QStringLiteral("Версия базы данных новее, чем версия программы. Для работы с этой "
                                    "базой рекомендуется обновить программу."));
        newer = true;
    }
    if (!upgrade::verifyBaseTables(db, prompt_))
        return false;
    // An older program's file: its copy goes to the archive before anything of it changes.
    if (stamp > 0 && stamp < program)
        backupBeforeUpgrade(db, prompt_, app().appDir, Clock::today());

    Transaction tx(db);
    if (!upgrade::upgradeFile(db, prompt_, !newer))
        return false;
    tx.commit();
    return true;
}

bool DatabaseSession::createDatabase(const QString& path)
{
    return beginNewFile(path) && commitNewFile();
}

} // namespace rat
