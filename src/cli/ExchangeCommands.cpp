// The headless tool's standard-data commands: a new database with the first-start answers,
// the import of packages and recipe collections.

#include "cli/Commands.h"
#include "core/AppState.h"
#include "exchange/NewDatabase.h"
#include "exchange/StandardData.h"

#include <QFileInfo>

namespace rat::cli {

namespace {

// The answers of the questions window given as options; false for an unknown option or value.
bool readNewDatabaseOptions(const QStringList& args, exchange::NewDatabaseRequest& r)
{
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& name = args[i];
        if (i + 1 >= args.size())
            return false;
        const QString v = args[++i];
        if (name == QLatin1String("--week")) {
            if (v != QLatin1String("5") && v != QLatin1String("6"))
                return false;
            r.answers.fiveDayWeek = v == QLatin1String("5");
        } else if (name == QLatin1String("--stay")) {
            if (v == QLatin1String("9"))
                r.answers.stayCode = 0;
            else if (v == QLatin1String("12"))
                r.answers.stayCode = 1;
            else if (v == QLatin1String("24"))
                r.answers.stayCode = 2;
            else
                return false;
        } else if (name == QLatin1String("--cycle")) {
            if (v != QLatin1String("7") && v != QLatin1String("10"))
                return false;
            r.answers.cycleDays = v.toInt();
        } else if (name == QLatin1String("--plan")) {
            if (v != QLatin1String("filled") && v != QLatin1String("empty"))
                return false;
            r.answers.fillPlanMenu = v == QLatin1String("filled");
        } else if (name == QLatin1String("--collection")) {
            bool ok = false;
            const int n = v.toInt(&ok);
            if (!ok || n < 1)
                return false;
            r.collection = n - 1;
        } else if (name == QLatin1String("--regulation")) {
            if (v.trimmed().isEmpty())
                return false;
            r.regulation = v.trimmed();
        } else {
            return false;
        }
    }
    return true;
}

} // namespace

void registerExchangeCommands()
{
    auto& c = commands();
    // Creates and fills the file of --db as the desktop program does for a new file; the
    // answers of its questions window are the options (12 hours, 5 days, 10 days, filled).
    c[QStringLiteral("new-database")] = {
        QStringLiteral("[--week 5|6] [--stay 24|12|9] [--cycle 7|10] [--plan filled|empty] [--collection N] "
                       "[--regulation ПРАВОВОЙ_АКТ]"),
        [](Context& ctx) {
            exchange::NewDatabaseRequest request;
            if (!readNewDatabaseOptions(ctx.args, request))
                return int(exitUsage);
            request.prompt = &ctx.prompt;
            request.askQuestions = [&ctx](exchange::NewDatabaseAnswers& a) {
                ctx.prompt.info(exchange::answersSummary(a));
            };
            return exchange::createAndFillNewDatabase(ctx.session, app().dbPath, request) ? int(exitOk)
                                                                                        : int(exitRefused);
        }};
    c[QStringLiteral("import-standard-data")] = {
        QStringLiteral("АРХИВ ПРАВОВОЙ_АКТ ВРЕМЯ_ПРЕБЫВАНИЯ(9|12|24)"), [](Context& ctx) {
            if (ctx.args.size() != 3)
                return int(exitUsage);
            if (!ctx.openForWork())
                return int(exitRefused);
            exchange::StandardDataOptions options;
            options.regulation = ctx.args[1];
            options.stayTime = ctx.args[2];
            const exchange::ImportSummary s =
                exchange::ImportStandardData(ctx.session.db(), ctx.prompt, QFileInfo(ctx.args[0]).absoluteFilePath(), options);
            ctx.out << "Продукты: " << (s.productsLoaded ? "да" : "нет") << ", нормы: " << (s.normsLoaded ? "да" : "нет")
                    << ", сборник: " << (s.collectionLoaded ? "да" : "нет") << ", карт: " << s.cards
                    << ", строк план-меню: " << s.planRows << '\n';
            return int(exitOk);
        }};
    c[QStringLiteral("list-collections")] = {QString(), [](Context& ctx) {
        const std::vector<exchange::RecipeCollection> list = exchange::listRecipeCollections(ctx.prompt);
        int n = 0;
        for (const exchange::RecipeCollection& col : list)
            ctx.out << ++n << ". " << col.name << " (" << QFileInfo(col.archive).fileName() << ")\n";
        return list.empty() ? int(exitRefused) : int(exitOk);
    }};
    c[QStringLiteral("import-plan-menu")] = {QStringLiteral("АРХИВ"), [](Context& ctx) {
        if (ctx.args.size() != 1)
            return int(exitUsage);
        if (!ctx.openForWork())
            return int(exitRefused);
        const int rows = exchange::ImportPlanMenuPackage(ctx.session.db(), ctx.prompt, QFileInfo(ctx.args[0]).absoluteFilePath());
        if (rows < 0)
            return int(exitRefused);
        ctx.out << "Строк план-меню: " << rows << '\n';
        return int(exitOk);
    }};
}

} // namespace rat::cli
