// Printing plan-menu analyses.

#include "documents/AnalysisPrint.h"

namespace rat::documents {

PrintedTable printedTable(const menu::AnalysisTable& table)
{
    PrintedTable out;
    out.title = table.caption;
    out.columns = table.columns;
    for (const menu::AnalysisRow& r : table.rows)
        out.rows.push_back(PrintedRow{r.cells, r.bold, r.redCells});
    return out;
}

QString PrintAnalysis(Database& db, Prompt& prompt, menu::AnalysisKind kind, qint64 planMenu)
{
    if (!menu::checkPlanMenuForAnalysis(db, prompt, kind, planMenu))
        return {};
    return PrintTable(db, prompt, printedTable(menu::runAnalysis(db, prompt, kind, planMenu)));
}

} // namespace rat::documents
