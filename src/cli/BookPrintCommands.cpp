// "print book N [--selected ID]": reference book N printed as its list shows it, ID the row
// chosen in the book's parent filter (the product of the seasonal-loss book, whose question is
// answered with the tool's answers: "Да" every product, "Нет" the chosen one). The saved file's
// path is printed last.

#include "cli/Commands.h"
#include "cli/PrintCommands.h"
#include "documents/BookPrint.h"
#include "refbooks/BookCatalogue.h"

namespace rat::cli {

namespace {

int runPrintBook(Context& ctx)
{
    QStringList a = ctx.args;
    std::optional<qint64> selected;
    if (const qsizetype at = a.indexOf(QStringLiteral("--selected")); at >= 0) {
        selected = positiveIdArg(a.value(at + 1));
        if (!selected)
            return exitUsage;
        a.remove(at, 2);
    }
    if (a.size() != 1)
        return exitUsage;
    bool ok = false;
    const int entry = a.front().toInt(&ok);
    const books::BookDef* def = ok ? books::findBook(entry) : nullptr;
    if (!def)
        return exitUsage;
    if (!ctx.openForWork())
        return exitRefused;
    const QString path = documents::PrintBook(ctx.session.db(), ctx.prompt, entry, selected);
    if (path.isEmpty())
        return exitRefused;
    ctx.out << path << '\n';
    return exitOk;
}

} // namespace

void registerBookPrintCommands()
{
    printSubcommands()[QStringLiteral("book")] = {QStringLiteral("N [--selected ID]"), runPrintBook};
    if (auto it = commands().find(QStringLiteral("print")); it != commands().end())
        it->second.usage += QStringLiteral(" | book N [--selected ID]");
}

} // namespace rat::cli
