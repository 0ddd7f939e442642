#pragma once
// A copy of the file in "Архив" before this program upgrades an older file or issues the approved
// menu-requirements again from a date, so the file as it was can always be put back. Only the
// last copies of each kind are kept.

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

// The same before a re-issue from a date: "<base>_перед_перерасчетом_<yyyy-MM-dd>.<ext>", the last
// kUpgradeBackupsKept kept, the status bar told. Nothing without an application folder.
QString backupBeforeReissue(Database& db, Prompt& prompt, const QString& appDir, const QDate& day);

} // namespace rat
