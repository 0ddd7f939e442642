// The copy of an older file made before its upgrade, and the pruning of such copies to the last ten.

#include "core/UpgradeBackup.h"
#include "core/Database.h"
#include "core/DatabaseFileOps.h"
#include "core/Prompt.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>

namespace rat {

QString backupBeforeUpgrade(Database& db, Prompt& prompt, const QString& appDir, const QDate& day)
{
    if (appDir.isEmpty())
        return {};
    const QString folder = QDir(appDir).filePath(QStringLiteral("Архив"));
    const QFileInfo info(db.path());
    const QString stem = info.completeBaseName() + QStringLiteral("_перед_обновлением");
    const QString ext = info.suffix().isEmpty() ? QString() : QLatin1Char('.') + info.suffix();
    QString error;
    QString copy;
    if (QDir().mkpath(folder)) {
        copy = archiveFilePath(QDir(info.absolutePath()).filePath(stem + ext), folder, day);
        if (!backupDatabase(db, copy, &error))
            copy.clear();
    }
    if (copy.isEmpty()) {
        prompt.status(QStringLiteral("Копия базы данных перед обновлением не создана в папке Архив."));
        return {};
    }

    // Only copies of this kind and of this file are pruned; the person's own archive copies stay.
    QFileInfoList kept = QDir(folder).entryInfoList({stem + QStringLiteral("_*") + ext}, QDir::Files);
    std::sort(kept.begin(), kept.end(), [](const QFileInfo& a, const QFileInfo& b) {
        return a.lastModified() != b.lastModified() ? a.lastModified() > b.lastModified() : a.fileName() > b.fileName();
    });
    for (qsizetype i = kUpgradeBackupsKept; i < kept.size(); ++i)
        QFile::remove(kept[i].absoluteFilePath());

    prompt.status(QStringLiteral("Перед обновлением база данных сохранена в папке Архив: ") + QFileInfo(copy).fileName() +
                  QStringLiteral(" (хранятся ") + QString::number(kUpgradeBackupsKept) +
                  QStringLiteral(" последних копий)."));
    return copy;
}

} // namespace rat
