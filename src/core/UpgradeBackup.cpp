// The copy of an older file made before its upgrade, and the pruning of such copies to the last ten.

#include "core/UpgradeBackup.h"
#include "core/Database.h"
#include "core/DatabaseFileOps.h"
#include "core/Prompt.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>

namespace rat {

namespace {

// A copy named "<base>_<kind>_<date>" in "Архив"; the oldest copies of that kind of this file beyond
// the last kUpgradeBackupsKept are removed. `done` and `failed` go to the status bar.
QString keptArchiveCopy(Database& db, Prompt& prompt, const QString& appDir, const QDate& day, const QString& kind,
                        const QString& done, const QString& failed)
{
    if (appDir.isEmpty())
        return {};
    const QString folder = QDir(appDir).filePath(QStringLiteral("Архив"));
    const QFileInfo info(db.path());
    const QString stem = info.completeBaseName() + QLatin1Char('_') + kind;
    const QString ext = info.suffix().isEmpty() ? QString() : QLatin1Char('.') + info.suffix();
    QString error;
    QString copy;
    // The engine copies no file in the middle of a write of the same connection.
    if (!db.inTransaction() && QDir().mkpath(folder)) {
        copy = archiveFilePath(QDir(info.absolutePath()).filePath(stem + ext), folder, day);
        if (!backupDatabase(db, copy, &error))
            copy.clear();
    }
    if (copy.isEmpty()) {
        prompt.status(failed);
        return {};
    }

    // Only copies of this kind and of this file are pruned; the person's own archive copies stay.
    QFileInfoList kept = QDir(folder).entryInfoList({stem + QStringLiteral("_*") + ext}, QDir::Files);
    std::sort(kept.begin(), kept.end(), [](const QFileInfo& a, const QFileInfo& b) {
        return a.lastModified() != b.lastModified() ? a.lastModified() > b.lastModified() : a.fileName() > b.fileName();
    });
    for (qsizetype i = kUpgradeBackupsKept; i < kept.size(); ++i)
        QFile::remove(kept[i].absoluteFilePath());

    prompt.status(done + QFileInfo(copy).fileName() + QStringLiteral(" (хранятся ") +
                  QString::number(kUpgradeBackupsKept) + QStringLiteral(" последних копий)."));
    return copy;
}

} // namespace

QString backupBeforeUpgrade(Database& db, Prompt& prompt, const QString& appDir, const QDate& day)
{
    return keptArchiveCopy(db, prompt, appDir, day, QStringLiteral("перед_обновлением"),
                           QStringLiteral("Перед обновлением база данных сохранена в папке Архив: "),
                           QStringLiteral("Копия базы данных перед обновлением не создана в папке Архив."));
}

QString backupBeforeReissue(Database& db, Prompt& prompt, const QString& appDir, const QDate& day)
{
    return keptArchiveCopy(db, prompt, appDir, day, QStringLiteral("перед_перерасчетом"),
                           QStringLiteral("Перед перерасчетом партий база данных сохранена в папке Архив: "),
                           QStringLiteral("Копия базы данных перед перерасчетом партий не создана в папке Архив."));
}

} // namespace rat
