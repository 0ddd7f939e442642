// "print calculation-card CARD YYYY-MM-DD": the calculation card of a technological card with the
// prices of the latest delivery not later than the date. The saved file's path is printed last.

#include "cli/Commands.h"
#include "cli/PrintCommands.h"
#include "documents/CalculationCardPrint.h"

#include <QDate>

namespace rat::cli {

namespace {

int runPrintCalculationCard(Context& ctx)
{
    const auto card = ctx.args.size() == 2 ? positiveIdArg(ctx.args[0]) : std::nullopt;
    const QDate date = QDate::fromString(ctx.args.value(1), Qt::ISODate);
    if (!card || !date.isValid())
        return exitUsage;
    if (!ctx.openWithRow(QStringLiteral("card_recipes"), *card))
        return exitRefused;
    const QString path = documents::PrintCalculationCard(ctx.session.db(), ctx.prompt, *card, date);
    if (path.isEmpty())
        return exitRefused;
    ctx.out << path << '\n';
    return exitOk;
}

} // namespace

void registerCalculationCardPrintCommands()
{
    printSubcommands()[QStringLiteral("calculation-card")] = {QStringLiteral("CARD YYYY-MM-DD"),
                                                              runPrintCalculationCard};
    if (auto it = commands().find(QStringLiteral("print")); it != commands().end())
        it->second.usage += QStringLiteral(" | calculation-card CARD YYYY-MM-DD");
}

} // namespace rat::cli
