// The headless tool's printing: the command "print" and its forms, and the amount in words.

#include "cli/PrintCommands.h"
#include "core/Database.h"
#include "documents/AmountInWords.h"
#include "documents/AnalysisPrint.h"
#include "documents/CardPrint.h"
#include "documents/DayMenuPrint.h"
#include "documents/StockDocumentPrint.h"
#include "refbooks/BookCatalogue.h"

#include <cmath>

namespace rat::cli {

std::map<QString, Command>& printSubcommands()
{
    static std::map<QString, Command> forms;
    return forms;
}

namespace {

// The saved file's path as the command's result; a form that was not saved is a refusal.
int printedPath(Context& ctx, const QString& path)
{
    if (path.isEmpty())
        return exitRefused;
    ctx.out << path << '\n';
    return exitOk;
}

int runPrintStock(Context& ctx)
{
    static const std::map<QString, stock::StockKind> kinds{
        {QStringLiteral("receipt"), stock::StockKind::Receipt}, {QStringLiteral("order"), stock::StockKind::Order},
        {QStringLiteral("write-off"), stock::StockKind::WriteOff}, {QStringLiteral("expense"), stock::StockKind::Expense}};
    if (ctx.args.size() != 2 || !kinds.count(ctx.args[0]))
        return exitUsage;
    const auto id = positiveIdArg(ctx.args[1]);
    if (!id)
        return exitUsage;
    const stock::StockKind kind = kinds.at(ctx.args[0]);
    if (!ctx.openWithRow(stock::documentTable(kind), *id))
        return exitRefused;
    return printedPath(ctx, documents::PrintStockDocument(ctx.session.db(), ctx.prompt, kind, *id));
}

int runPrintDayMenu(Context& ctx)
{
    QStringList a = ctx.args;
    const bool costs = a.removeAll(QStringLiteral("--costs")) > 0;
    const auto id = a.size() == 1 ? positiveIdArg(a.front()) : std::nullopt;
    if (!id)
        return exitUsage;
    if (!ctx.openWithRow(QStringLiteral("day_menu"), *id))
        return exitRefused;
    return printedPath(ctx, documents::PrintDayMenu(ctx.session.db(), ctx.prompt, *id, costs));
}

int runPrintCard(Context& ctx)
{
    std::vector<qint64> ids;
    for (const QString& a : ctx.args) {
        const auto id = positiveIdArg(a);
        if (!id)
            return exitUsage;
        ids.push_back(*id);
    }
    if (ids.empty())
        return exitUsage;
    for (qint64 id : ids)
        if (!ctx.openWithRow(QStringLiteral("card_recipes"), id))
            return exitRefused;
    return printedPath(ctx, documents::PrintCards(ctx.session.db(), ctx.prompt, ids));
}

int runPrintAnalysis(Context& ctx)
{
    static const std::map<QString, menu::AnalysisKind> kinds{{QStringLiteral("norms"), menu::AnalysisKind::Norms},
                                                            {QStringLiteral("energy"), menu::AnalysisKind::Energy},
                                                            {QStringLiteral("repeats"), menu::AnalysisKind::Repeats}};
    if (ctx.args.size() != 2 || !kinds.count(ctx.args[0]))
        return exitUsage;
    const auto plan = positiveIdArg(ctx.args[1]);
    if (!plan)
        return exitUsage;
    if (!ctx.openWithRow(QStringLiteral("type_menu"), *plan))
        return exitRefused;
    return printedPath(ctx, documents::PrintAnalysis(ctx.session.db(), ctx.prompt, kinds.at(ctx.args[0]), *plan));
}

int runAmountWords(Context& ctx)
{
    QStringList a = ctx.args;
    const bool always = a.removeAll(QStringLiteral("--always-fraction")) > 0;
    QString currency;
    bool currencyGiven = false;
    if (const qsizetype at = a.indexOf(QStringLiteral("--currency")); at >= 0) {
        if (at + 1 >= a.size())
            return exitUsage;
        currency = a[at + 1];
        currencyGiven = true;
        a.remove(at, 2);
    }
    if (a.size() != 1)
        return exitUsage;
    bool ok = false;
    const double amount = QString(a.front()).replace(QLatin1Char(','), QLatin1Char('.')).toDouble(&ok);
    if (!ok || !std::isfinite(amount))
        return exitUsage;
    if (!currencyGiven) {
        // The active currency of the file of the run.
        if (!ctx.openForWork())
            return exitRefused;
        currency = books::currencyShortName(ctx.session.db());
    }
    ctx.out << documents::AmountInWords(amount, always, currency) << '\n';
    return exitOk;
}

} // namespace

void registerPrintCommands()
{
    auto& forms = printSubcommands();
    forms[QStringLiteral("stock")] = {QStringLiteral("receipt|order|write-off|expense ID"), runPrintStock};
    forms[QStringLiteral("day-menu")] = {QStringLiteral("ID [--costs]"), runPrintDayMenu};
    forms[QStringLiteral("card")] = {QStringLiteral("ID [ID ...]"), runPrintCard};
    forms[QStringLiteral("analysis")] = {QStringLiteral("norms|energy|repeats ID_ПЛАН-МЕНЮ"), runPrintAnalysis};

    commands()[QStringLiteral("print")] = {
        QStringLiteral("stock receipt|order|write-off|expense ID | day-menu ID [--costs] | card ID [ID ...] | "
                       "analysis norms|energy|repeats ID_ПЛАН-МЕНЮ | menu-requirement IDM [--layout N] [--cook]"),
        [](Context& ctx) {
            if (ctx.args.isEmpty())
                return int(exitUsage);
            const auto it = printSubcommands().find(ctx.args.front());
            if (it == printSubcommands().end())
                return int(exitUsage);
            Context sub{ctx.session, ctx.prompt, ctx.out, ctx.args.mid(1)};
            return it->second.run(sub);
        }};
    commands()[QStringLiteral("amount-words")] = {QStringLiteral("СУММА [--always-fraction] [--currency КРАТКОЕ_ИМЯ]"),
                                                  runAmountWords};
}

} // namespace rat::cli
