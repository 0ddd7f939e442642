#pragma once
// The standard reference data shipped as XML packages in ZIP archives of the folder "Примеры":
// its import into a new database, the choice of a package, the list of recipe collections,
// and the import of a model plan-menu.

#include <QString>
#include <QStringList>
#include <vector>

namespace rat {
class Database;
class Prompt;
}

namespace rat::exchange {

// The label of the progress window while the fill and the imports run.
QString fillingLabel();

// The regulations the program knows, the one in force first.
QStringList knownRegulations();
QString defaultRegulation();

// Stay-time code of a new database -> the `time` text of the norms packages: 0 -> "9",
// 1 -> "12", any other -> "24".
QString stayTimeText(int stayCode);

struct StandardDataOptions {
    QString regulation;     // empty: no norms package
    QString stayTime;       // "9", "12" or "24"
    bool withPlans = true;  // the collection's plan-menu rows
    int cycleDays = 0;      // > 0: only that many plan days of each plan-menu
};

// What one import did, for the caller's own report.
struct ImportSummary {
    bool productsLoaded = false;
    bool normsLoaded = false;
    bool collectionLoaded = false;
    int cards = 0;
    int planRows = 0;
};

// Unpacks the archive and loads its products, norms and collection packages, each in a
// transaction of its own: a package that fails part-way leaves nothing of itself, and the
// next one is still loaded. Problems are told to the person; nothing is returned to act on.
ImportSummary ImportStandardData(Database& db, Prompt& prompt, const QString& archive, const StandardDataOptions& options);

// The first unpacked *.xml of `folder` ("Tempp" when none is given), in name order, whose name
// holds the kind word and whose `sanpin` and `time` fit the regulation and stay time given;
// empty when none does.
QString FindPackage(const QString& kind, const QString& regulation, const QString& stayTime, Prompt* prompt = nullptr,
                    const QString& folder = QString());

struct RecipeCollection {
    QString archive;  // full path of the .zip
    QString name;
};

// The archives of "Примеры" that hold a collection package, the main collection first, then
// by file name. "Не найдена папка Примеры." or the message of an empty folder when there is
// nothing to offer.
std::vector<RecipeCollection> listRecipeCollections(Prompt& prompt);
// The collections' names as one text, the entries separated by "***/".
QString ListRecipeCollections(Prompt& prompt);
QString joinCollectionNames(const std::vector<RecipeCollection>& list);

// Imports the `plans` section of the archive's collection package (the model menu) in one
// transaction. Returns the number of plan-menu rows added, or -1 when nothing was imported.
int ImportPlanMenuPackage(Database& db, Prompt& prompt, const QString& archive);

} // namespace rat::exchange
