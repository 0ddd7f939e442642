#pragma once
// The printed analyses of a plan-menu: the rows as the analysis window shows them.

#include "documents/TablePrint.h"
#include "menu/PlanMenuAnalysis.h"

namespace rat::documents {

PrintedTable printedTable(const menu::AnalysisTable& table);

// The analysis's own refusals, then the table printed under its caption. Returns the saved path.
QString PrintAnalysis(Database& db, Prompt& prompt, menu::AnalysisKind kind, qint64 planMenu);

} // namespace rat::documents
