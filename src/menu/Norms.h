#pragma once
// Nutrition norms: the product norms of an eater type grouped by product group, the group
// rules of saving a norm row with their questions, copying and deleting norms, the norms list
// with its group lines and the recommended portion volume of a meal. Every question and
// message goes through the Prompt.

#include <QString>
#include <QVariant>
#include <optional>
#include <vector>

namespace rat {
class Database;
class Prompt;
}

namespace rat::menu {

// Catalogue entry of the product norms book ("Нормы питания").
inline constexpr int entryNorms = 8;

// One norms row as it is about to be saved.
struct NormRow {
    std::optional<qint64> id;  // the stored row being edited; nothing for a new row
    qint64 eaterType = 0;
    QString group;             // gname
    std::optional<double> norm;
    qint64 product = 0;
};

// Where a row is saved from: the wording of the duplicate-product refusals differs.
enum class NormForm {
    Editor,          // the record editor (and the generic save of the headless tool)
    Document,        // the norms document
    DocumentTyped,   // the norms document, naming the eater type in the refusal
};

// What saving a row does besides writing it, decided by the questions of the group rules.
struct NormSavePlan {
    std::optional<double> norm;     // the norm written into the row
    std::optional<QString> renameFrom;  // every row of the type with this group name takes the new one
    bool groupNorm = false;         // the norm is written into every row of the group and type
};

// The group rules in their order: no group name, a second row of the same product and group,
// the product under another group, a new group name, a renamed group, a changed group norm.
// Nothing when a rule refused or a question was cancelled (nothing is to be written).
std::optional<NormSavePlan> planNormSave(Database& db, Prompt& prompt, const NormRow& row, NormForm form);
// The rows besides the saved one that the plan changes; inside the caller's transaction.
void applyNormSave(Database& db, const NormRow& row, const NormSavePlan& plan);
// SaveNormRow: the rules, then the row and the group changes in one transaction. Returns the
// saved row's key, nothing when nothing was saved.
std::optional<qint64> saveNormRow(Database& db, Prompt& prompt, NormRow row, NormForm form);

// A number typed with a decimal point or a comma; nothing for an empty text or not a number.
std::optional<double> normNumber(const QString& text);

// CopyNorms: the norms of `fromType`, each with its meal split, into `toType`. Returns the
// number of norm rows copied; nothing when refused.
std::optional<int> copyNorms(Database& db, Prompt& prompt, qint64 fromType, qint64 toType);
// The same with the target chosen in a list of the other eater types.
std::optional<int> copyNormsToChosen(Database& db, Prompt& prompt, qint64 fromType);

// DeleteNormsOfType, DeleteNormGroup, DeleteNormProduct: each asks first; true when deleted.
bool deleteNormsOfType(Database& db, Prompt& prompt, qint64 eaterType);
bool deleteNormGroup(Database& db, Prompt& prompt, qint64 eaterType, const QString& group);
bool deleteNormProduct(Database& db, Prompt& prompt, qint64 normId);

// One line of the norms list of an eater type: a group line, then its product lines.
struct NormListLine {
    bool isGroup = false;
    qint64 id = 0;        // the norms row of a product line; the group's first row for a group line
    QString group;
    QString text;         // the group name or the product name
    std::optional<double> norm;  // the group norm, on the group line
    QString eaterType;    // shname, on a product line
};
std::vector<NormListLine> normsList(Database& db, qint64 eaterType);

// PortionVolumeText: " (min - max)", " (min)" or empty.
QString portionVolumeText(Database& db, qint64 eaterType, qint64 meal);

// The share of a meal in the energy-distribution table: proz1, or proz1 + separator + proz2
// when the row is a range.
QString energyShareText(const QVariant& status, const QVariant& proz1, const QVariant& proz2,
                        const QString& separator);

} // namespace rat::menu
