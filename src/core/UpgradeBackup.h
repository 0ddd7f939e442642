#pragma once
// A copy of an older file in "Архив" before this program upgrades it, so the file as the older
// program left it can always be put back. Only the last copies of this kind are kept.

#include <QDate>
#include <QString>

namespace rat {

class Database;
class Prompt;

constexpr int kUpgradeBackupsKept = 10;

// Writes "<base>_перед_обновлением_<yyyy-MM-dd>.<ext>" into "Архив" of `appDir`, removes the
// oldest such copies of the file beyond the last kUpgradeBackupsKept and says so in the status
// bar. Returns the copy, or an empty text when it could not be written (the status bar says so).
QString backupBeforeUpgrade(Database& db, Prompt& prompt, const QString& appDir, const QDate& day);

} // namespace rat
