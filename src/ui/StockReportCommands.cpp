// The stock report commands of the warehouse menu and of the accumulative ledgers' submenu.

#include "ui/StockReportCommands.h"
#include "ui/MainWindow.h"
#include "ui/ReportParametersDialog.h"

#include "core/DatabaseSession.h"
#include "documents/StockReports.h"

#include <QApplication>
#include <QCursor>

namespace rat::ui {

namespace {

using documents::LedgerKind;
using Dates = ReportParametersDialog::Dates;

// The dialog, then the report under a waiting cursor.
template <class Print>
void askAndPrint(MainWindow& main, DatabaseSession& session, const QString& title, Dates dates, bool withWarehouse,
                 int maxDays, Print print)
{
    if (!session.isOpen())
        return;
    ReportParametersDialog dlg(session.db(), session.prompt(), title, dates, withWarehouse, maxDays, &main);
    if (dlg.exec() != QDialog::Accepted)
        return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    print(session.db(), session.prompt(), dlg);
    QApplication::restoreOverrideCursor();
}

} // namespace

void installStockReportCommands(MainWindow& main, DatabaseSession& session)
{
    MainWindow* frame = &main;
    DatabaseSession* s = &session;
    main.setCommandHandler(QStringLiteral("mnuObrOb"), [frame, s] {
        askAndPrint(*frame, *s, documents::turnoverTitle(), Dates::Period, true, 0,
                    [](Database& db, Prompt& prompt, const ReportParametersDialog& d) {
                        documents::PrintTurnoverSheet(db, prompt, d.from(), d.to(), d.warehouse());
                    });
    });
    const std::pair<const char*, LedgerKind> ledgers[] = {{"mnuOtN2", LedgerKind::Expense},
                                                           {"mnuVed1", LedgerKind::Expense},
                                                           {"mnuOtN4", LedgerKind::Receipt},
                                                           {"mnuVed3", LedgerKind::Receipt}};
    for (const auto& [name, kind] : ledgers)
        main.setCommandHandler(QString::fromLatin1(name), [frame, s, kind = kind] {
            askAndPrint(*frame, *s, documents::ledgerTitle(kind), Dates::Period, false, documents::kLedgerMaxDays,
                        [kind](Database& db, Prompt& prompt, const ReportParametersDialog& d) {
                            documents::PrintLedger(db, prompt, kind, d.from(), d.to());
                        });
        });
    main.setCommandHandler(QStringLiteral("mnuObr"), [frame, s] {
        askAndPrint(*frame, *s, documents::remnantsTitle(), Dates::OneDate, true, 0,
                    [](Database& db, Prompt& prompt, const ReportParametersDialog& d) {
                        documents::PrintRemnantsOnDate(db, prompt, d.from(), d.warehouse());
                    });
    });
}

} // namespace rat::ui
