// "print report obrob|expense-ledger|receipt-ledger --from YYYY-MM-DD --to YYYY-MM-DD
// [--warehouse ID]" and "print report remnants --date YYYY-MM-DD [--warehouse ID]": the stock
// reports of the main window. The saved file's path is printed last.

#include "cli/Commands.h"
#include "cli/PrintCommands.h"
#include "core/Database.h"
#include "documents/StockReports.h"

#include <QDate>

namespace rat::cli {

namespace {

int runPrintReport(Context& ctx)
{
    QStringList a = ctx.args;
    if (a.isEmpty())
        return exitUsage;
    const QString kind = a.takeFirst();
    QString fromText, toText, dateText, warehouseText;
    if (!takeOption(a, QStringLiteral("--from"), fromText) || !takeOption(a, QStringLiteral("--to"), toText) ||
        !takeOption(a, QStringLiteral("--date"), dateText) || !takeOption(a, QStringLiteral("--warehouse"), warehouseText) ||
        !a.isEmpty())
        return exitUsage;
    std::optional<qint64> warehouse;
    if (!warehouseText.isEmpty()) {
        warehouse = positiveIdArg(warehouseText);
        if (!warehouse)
            return exitUsage;
    }
    const bool remnants = kind == QLatin1String("remnants");
    const bool ledger = kind == QLatin1String("expense-ledger") || kind == QLatin1String("receipt-ledger");
    if (!remnants && !ledger && kind != QLatin1String("obrob"))
        return exitUsage;
    const QDate from = QDate::fromString(remnants ? dateText : fromText, Qt::ISODate);
    const QDate to = remnants ? from : QDate::fromString(toText, Qt::ISODate);
    if (!from.isValid() || !to.isValid() || (remnants ? !fromText.isEmpty() || !toText.isEmpty() : !dateText.isEmpty()) ||
        (ledger && warehouse))
        return exitUsage;
    if (!ctx.openForWork())
        return exitRefused;
    Database& db = ctx.session.db();
    if (warehouse && db.scalar(QStringLiteral("SELECT COUNT(*) FROM STORAGES WHERE IDSS = ?1"), {*warehouse}).toLongLong() == 0)
        return exitRefused;
    QString path;
    if (remnants)
        path = documents::PrintRemnantsOnDate(db, ctx.prompt, from, warehouse);
    else if (ledger)
        path = documents::PrintLedger(db, ctx.prompt,
                                      kind == QLatin1String("expense-ledger") ? documents::LedgerKind::Expense
                                                                               : documents::LedgerKind::Receipt,
                                      from, to);
    else
        path = documents::PrintTurnoverSheet(db, ctx.prompt, from, to, warehouse);
    if (path.isEmpty())
        return exitRefused;
    ctx.out << path << '\n';
    return exitOk;
}

} // namespace

void registerReportPrintCommands()
{
    const QString usage = QStringLiteral("obrob|expense-ledger|receipt-ledger --from ГГГГ-ММ-ДД --to ГГГГ-ММ-ДД "
                                         "[--warehouse ID] | remnants --date ГГГГ-ММ-ДД [--warehouse ID]");
    printSubcommands()[QStringLiteral("report")] = {usage, runPrintReport};
    if (auto it = commands().find(QStringLiteral("print")); it != commands().end())
        it->second.usage += QStringLiteral(" | report ") + usage;
}

} // namespace rat::cli
