// "print menu-requirement IDM [--layout N] [--cook]": the printed form of a stored
// menu-requirement (N a value of the form list: 0 "№299", 1 "№299-мех", 2 "ОКУД 0504202";
// without it the organisation's choice), the cook's copy with --cook. The saved file's path is
// printed last.

#include "cli/Commands.h"
#include "cli/PrintCommands.h"
#include "documents/MenuRequirementPrinting.h"

#include <QTextStream>

namespace rat::cli {

namespace {

int runPrintMenuRequirement(Context& ctx)
{
    std::optional<qint64> idm;
    std::optional<int> layout;
    bool cook = false;
    for (qsizetype i = 0; i < ctx.args.size(); ++i) {
        const QString& a = ctx.args[i];
        if (a == QLatin1String("--cook")) {
            cook = true;
        } else if (a == QLatin1String("--layout")) {
            bool ok = false;
            const int n = ctx.args.value(++i).toInt(&ok);
            if (!ok || n < 0 || n > 2)
                return exitUsage;
            layout = n;
        } else if (!idm) {
            idm = positiveIdArg(a);
            if (!idm)
                return exitUsage;
        } else {
            return exitUsage;
        }
    }
    if (!idm)
        return exitUsage;
    if (!ctx.openForWork())
        return exitRefused;
    const auto outcome = documents::printStoredMenuRequirement(ctx.session.db(), ctx.prompt, *idm, layout, cook);
    if (!outcome || outcome->path.isEmpty())
        return exitRefused;
    ctx.out << "Файл\n" << outcome->path << '\n';
    return exitOk;
}

} // namespace

void registerMenuRequirementPrintCommands()
{
    printSubcommands()[QStringLiteral("menu-requirement")] = {QStringLiteral("IDM [--layout N] [--cook]"),
                                                              runPrintMenuRequirement};
}

} // namespace rat::cli
