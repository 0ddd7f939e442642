#pragma once
// The analyses of a plan-menu: its average day against the product norms of each eater type,
// the distribution of its energy over the meals, and dishes repeated on neighbouring plan
// days; the choice of the plan-menu with its refusals. Each gives a table as its window shows
// it; every question and message goes through the Prompt.

#include <QString>
#include <QStringList>
#include <QVariant>
#include <optional>
#include <vector>

namespace rat {
class Database;
class Prompt;
}

namespace rat::menu {

// One row of an analysis: numbers as doubles, texts as strings, an empty cell as null.
struct AnalysisRow {
    std::vector<QVariant> cells;
    bool bold = false;
    std::vector<int> redCells;  // columns shown red and bold
    bool isRed(int column) const;
};

struct AnalysisTable {
    QString caption;
    QStringList columns;
    std::vector<AnalysisRow> rows;
};

// A cell as the headless tool prints it: a number with a decimal point, no thousands
// separator; "**" before the first cell of a bold row, "!" before a red cell.
QString analysisCellText(const AnalysisRow& row, int column);

enum class AnalysisKind { Norms, Energy, Repeats };

// The plan-menus the entry dialog offers (for the energy distribution only those kept by
// meals), with the remembered choice. Nothing when the plan-menus book is empty (the refusal
// has been shown).
struct AnalysisChoice {
    std::vector<qint64> ids;
    QStringList titles;
    int remembered = -1;  // index of the remembered plan-menu, -1 none
};
std::optional<AnalysisChoice> planMenusForAnalysis(Database& db, Prompt& prompt, AnalysisKind kind);
// The refusals that follow the choice; true when the analysis may run. Remembers the choice.
bool checkPlanMenuForAnalysis(Database& db, Prompt& prompt, AnalysisKind kind, qint64 planMenu);
// ChoosePlanMenuForAnalysis: the list "Выберите план-меню", then the refusals.
std::optional<qint64> choosePlanMenuForAnalysis(Database& db, Prompt& prompt, AnalysisKind kind);

// AnalyseNormCompliance: the average day of the plan-menu against the product norms.
AnalysisTable analyseNormCompliance(Database& db, Prompt& prompt, qint64 planMenu);
// AnalyseEnergyDistribution: the energy share of each meal, for the whole cycle, then per day
// (or only for `day` when given).
AnalysisTable analyseEnergyDistribution(Database& db, qint64 planMenu, std::optional<qint64> day = {});
// AnalyseRepeats: the days each dish is served on, repeats within three days marked.
AnalysisTable analyseRepeats(Database& db, qint64 planMenu);

AnalysisTable runAnalysis(Database& db, Prompt& prompt, AnalysisKind kind, qint64 planMenu);

} // namespace rat::menu
