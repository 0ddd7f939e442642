// The session's new files: the "<name>.creating" claim held through the whole fill, its rename
// onto the target, and the removal of a claim left by a run that died.

#include "core/DatabaseSession.h"
#include "core/NewDatabaseFile.h"
#include "core/Prompt.h"
#include "core/RunMarker.h"
#include "core/SchemaUpgrade.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QThread>
#include <QRandomGenerator>
#include <QElapsedTimer>
#include <cerrno>
#include <cstdio>
#include <sqlite3.h>

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

namespace rat {

namespace {

const QString kAppTitle = QStringLiteral("Рационарий");

bool isBusy(const DbError& e)
{
    return e.code() == SQLITE_BUSY || e.code() == SQLITE_LOCKED;
}

bool isDamaged(const DbError& e)
{
    return e.code() == SQLITE_NOTADB || e.code() == SQLITE_CORRUPT;
}

// Takes the engine's exclusive lock and keeps it until the connection is closed.
void takeLock(Database& db)
{
    db.execScript(QStringLiteral("PRAGMA locking_mode = EXCLUSIVE; BEGIN EXCLUSIVE; COMMIT;"));
}

void removeWithJournal(const QString& path)
{
    QFile::remove(path);
    QFile::remove(path + QStringLiteral("-journal"));
}

// Moves `from` onto `to` only when `to` does not exist, in one step.
bool moveNoReplace(const QString& from, const QString& to)
{
#ifdef Q_OS_WIN
    return MoveFileExW(reinterpret_cast<const wchar_t*>(QDir::toNativeSeparators(from).utf16()),
                       reinterpret_cast<const wchar_t*>(QDir::toNativeSeparators(to).utf16()), 0) != 0;
#else
    const QByteArray a = QFile::encodeName(from);
    const QByteArray b = QFile::encodeName(to);
#if defined(Q_OS_LINUX) && defined(RENAME_NOREPLACE)
    if (::renameat2(AT_FDCWD, a.constData(), AT_FDCWD, b.constData(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno != EINVAL && errno != ENOSYS)
        return false;
#endif
    // A hard link fails when the target exists; file systems without links refuse it too.
    if (::link(a.constData(), b.constData()) != 0)
        return false;
    ::unlink(a.constData());
    return true;
#endif
}

QString errorSentence(const QString& what, const DbError& e)
{
    return what + QStringLiteral(" Ошибка: ") + QString::number(e.code()) + QLatin1Char(' ') + e.text() + QLatin1Char('.');
}

} // namespace

QString fileExistsText(const QString& path)
{
    return QStringLiteral("Файл базы данных ") + nativePath(path) + QStringLiteral(" уже существует. Выберите другое имя файла.");
}

QString creatingPath(const QString& path)
{
    return path + QStringLiteral(".creating");
}

void removeStaleCreatingFile(const QString& path)
{
    const QString work = creatingPath(path);
    if (!QFileInfo::exists(work))
        return;
    try {
        Database db(work, false);
        takeLock(db);
        removeWithJournal(work);  // removed while this copy holds it
    } catch (const DbError& e) {
        if (isDamaged(e))
            removeWithJournal(work);
        // Held by another copy of the program: that copy is creating the file.
    }
}

bool refuseUnfilledFile(Database& db, Prompt& prompt)
{
    if (db.scalar(QStringLiteral("SELECT count(*) FROM INF")).toLongLong() > 0)
        return false;
    prompt.critical(QStringLiteral("В файле базы данных ") + nativePath(db.path()) +
                    QStringLiteral(" нет сведений об учреждении: файл не был заполнен до конца. Выберите другой файл "
                                   "базы данных или удалите этот файл, и программа создаст новый."));
    return true;
}

std::unique_ptr<Database> DatabaseSession::claimCreatingFile(const QString& work, const QString& target)
{
    QElapsedTimer waited;
    waited.start();
    for (int attempt = 0;; ++attempt) {
        try {
            auto db = std::make_unique<Database>(work, true);
            try {
                sqlite3_busy_timeout(db->handle(), 300);
                takeLock(*db);
                sqlite3_busy_timeout(db->handle(), 0);
            } catch (const DbError& e) {
                if (!isBusy(e))
                    throw;
                // Two copies started together can each hold the shared lock the other needs gone,
                // and waiting alone would never end it: the connection is closed, which lets the
                // other copy have the file, and the claim is asked for again a moment later.
                db.reset();
                if (waited.elapsed() < 4000 && !QFileInfo::exists(target)) {
                    QThread::msleep(50 + QRandomGenerator::global()->bounded(150));
                    --attempt;
                    continue;
                }
                if (QFileInfo::exists(target)) {
                    prompt_.critical(fileExistsText(target));
                    return nullptr;
                }
                prompt_.critical(QStringLiteral("Файл базы данных ") + nativePath(target) +
                                 QStringLiteral(" создается другой копией программы. Дождитесь окончания его "
                                                "создания, после чего запустите программу \"") +
                                 kAppTitle + QStringLiteral("\" заново."));
                return nullptr;
            }
            // The copy that held it may have finished meanwhile and renamed this very file onto
            // the target: then it is the finished file, not a claim, and is left alone.
            if (QFileInfo::exists(target)) {
                // An empty claim is one this copy has just made after the other copy's rename:
                // it is removed while held, so nothing is left behind.
                const bool ownEmptyClaim =
                    db->scalar(QStringLiteral("SELECT count(*) FROM sqlite_master")).toLongLong() == 0;
                if (ownEmptyClaim)
                    removeWithJournal(work);
                db.reset();
                prompt_.critical(fileExistsText(target));
                return nullptr;
            }
            // Nobody else holds it: whatever it holds was left by a run that died.
            if (db->scalar(QStringLiteral("SELECT count(*) FROM sqlite_master")).toLongLong() > 0) {
                sqlite3_db_config(db->handle(), SQLITE_DBCONFIG_RESET_DATABASE, 1, nullptr);
                db->execScript(QStringLiteral("VACUUM;"));
                sqlite3_db_config(db->handle(), SQLITE_DBCONFIG_RESET_DATABASE, 0, nullptr);
            }
            return db;
        } catch (const DbError& e) {
            // Not even a database: no copy of the program writes such a file.
            if (!isDamaged(e) || attempt > 0)
                throw;
            removeWithJournal(work);
        }
    }
}

bool DatabaseSession::beginNewFile(const QString& path)
{
    close();
    if (QFileInfo::exists(path)) {
        prompt_.critical(QStringLiteral("Файл базы данных ") + nativePath(path) +
                         QStringLiteral(" уже существует. Выберите другое имя файла."));
        return false;
    }
    const QString work = creatingPath(path);
    std::unique_ptr<Database> db;
    try {
        db = claimCreatingFile(work, path);
        if (!db)
            return false;
        {
            Transaction tx(*db);
            upgrade::createBaseTables(*db);
            tx.commit();
        }
        if (!prepareOpened(*db)) {
            removeWithJournal(work);
            return false;
        }
    } catch (const DbError& e) {
        prompt_.warning(errorSentence(QStringLiteral("Произошла ошибка при создании файла базы данных."), e));
        if (db)
            removeWithJournal(work);
        return false;
    }
    db_ = std::move(db);
    newFileTarget_ = path;
    return true;
}

bool DatabaseSession::commitNewFile()
{
    if (!db_ || newFileTarget_.isEmpty())
        return false;
    const QString target = newFileTarget_;
    const QString work = db_->path();
#ifdef Q_OS_WIN
    // An open file cannot be renamed here: it is closed first.
    db_.reset();
    newFileTarget_.clear();
    if (!moveNoReplace(work, target)) {
        removeWithJournal(work);
#else
    // Renamed while still held, so no other copy can take the finished file for a stale one.
    if (!moveNoReplace(work, target)) {
        close();
#endif
        prompt_.critical(QStringLiteral("Файл базы данных ") + nativePath(target) +
                         QStringLiteral(" уже существует. Выберите другое имя файла."));
        return false;
    }
    db_.reset();
    newFileTarget_.clear();
    QFile::remove(work + QStringLiteral("-journal"));
    return openExisting(target);
}

void DatabaseSession::close()
{
    if (db_ && !newFileTarget_.isEmpty()) {
        const QString work = db_->path();
#ifdef Q_OS_WIN
        db_.reset();
#endif
        // A new file that was not finished goes; on most systems while still held.
        removeWithJournal(work);
    }
    db_.reset();
    newFileTarget_.clear();
    // A normal end: the next open needs no check.
    if (!markedPath_.isEmpty()) {
        clearRunMarker(markedPath_);
        markedPath_.clear();
    }
}

} // namespace rat
