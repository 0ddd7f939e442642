// Nutrition norms and plan-menu analyses without windows: saving a norm row with the group
// rules, copying and deleting norms, the three analyses of a plan-menu as their window shows
// them, and the product need of a plan-menu.

#include "cli/Commands.h"
#include "core/DataHelpers.h"
#include "core/Database.h"
#include "menu/Norms.h"
#include "menu/PlanMenuAnalysis.h"
#include "menu/PlanMenuProductNeed.h"
#include "stock/PlanMenuRemnants.h"

#include <QDate>
#include <QTextStream>
#include <algorithm>
#include <map>

namespace rat::cli {

namespace {

// norms-save TYPE_ID GROUP NORM PRODUCT_ID [ROW_ID]: the norms document's save.
int runNormsSave(Context& ctx)
{
    if (ctx.args.size() != 4 && ctx.args.size() != 5)
        return exitUsage;
    const auto type = positiveIdArg(ctx.args[0]);
    const auto product = positiveIdArg(ctx.args[3]);
    const auto rowId = ctx.args.size() == 5 ? positiveIdArg(ctx.args[4]) : std::nullopt;
    const auto norm = menu::normNumber(ctx.args[2]);
    if (!type || !product || (ctx.args.size() == 5 && !rowId) || (!norm && !ctx.args[2].trimmed().isEmpty()))
        return exitUsage;
    if (!ctx.openForWork())
        return exitRefused;
    Database& db = ctx.session.db();
    if (!rowExists(db, QStringLiteral("type_eating"), *type) || !rowExists(db, QStringLiteral("products"), *product) ||
        (rowId && !rowExists(db, QStringLiteral("norms"), *rowId)))
        return exitRefused;
    menu::NormRow row;
    row.id = rowId;
    row.eaterType = *type;
    row.group = ctx.args[1];
    row.norm = norm;
    row.product = *product;
    const auto saved = menu::saveNormRow(db, ctx.prompt, row, menu::NormForm::DocumentTyped);
    if (!saved)
        return exitRefused;
    ctx.out << "id\n" << *saved << '\n';
    return exitOk;
}

// norms-copy FROM_TYPE: the target by --choose.
int runNormsCopy(Context& ctx)
{
    const auto from = positiveIdArg(ctx.args.value(0));
    if (ctx.args.size() != 1 || !from)
        return exitUsage;
    if (!ctx.openWithRow(QStringLiteral("type_eating"), *from))
        return exitRefused;
    const auto copied = menu::copyNormsToChosen(ctx.session.db(), ctx.prompt, *from);
    if (!copied)
        return exitRefused;
    ctx.out << "Скопировано норм\n" << *copied << '\n';
    return exitOk;
}

// norms-delete type TYPE_ID | group TYPE_ID GROUP | product NORM_ID
int runNormsDelete(Context& ctx)
{
    const QString what = ctx.args.value(0);
    const auto id = positiveIdArg(ctx.args.value(1));
    const bool shape = (what == QLatin1String("type") && ctx.args.size() == 2) ||
                       (what == QLatin1String("group") && ctx.args.size() == 3) ||
                       (what == QLatin1String("product") && ctx.args.size() == 2);
    if (!shape || !id)
        return exitUsage;
    const QString table = what == QLatin1String("product") ? QStringLiteral("norms") : QStringLiteral("type_eating");
    if (!ctx.openWithRow(table, *id))
        return exitRefused;
    Database& db = ctx.session.db();
    bool done = false;
    if (what == QLatin1String("type"))
        done = menu::deleteNormsOfType(db, ctx.prompt, *id);
    else if (what == QLatin1String("group"))
        done = menu::deleteNormGroup(db, ctx.prompt, *id, ctx.args[2]);
    else
        done = menu::deleteNormProduct(db, ctx.prompt, *id);
    return done ? exitOk : exitRefused;
}

void printTable(Context& ctx, const QString& caption, const QStringList& columns,
                const std::vector<menu::AnalysisRow>& rows)
{
    ctx.out << caption << '\n' << columns.join(QLatin1Char('\t')) << '\n';
    for (const menu::AnalysisRow& r : rows) {
        QStringList cells;
        for (int c = 0; c < int(columns.size()); ++c)
            cells << menu::analysisCellText(r, c);
        ctx.out << cells.join(QLatin1Char('\t')) << '\n';
    }
}

// analyse norms|energy|repeats PLAN_ID
int runAnalyse(Context& ctx)
{
    const QString kindText = ctx.args.value(0);
    const auto plan = positiveIdArg(ctx.args.value(1));
    menu::AnalysisKind kind;
    if (kindText == QLatin1String("norms"))
        kind = menu::AnalysisKind::Norms;
    else if (kindText == QLatin1String("energy"))
        kind = menu::AnalysisKind::Energy;
    else if (kindText == QLatin1String("repeats"))
        kind = menu::AnalysisKind::Repeats;
    else
        return exitUsage;
    if (ctx.args.size() != 2 || !plan)
        return exitUsage;
    if (!ctx.openForWork())
        return exitRefused;
    Database& db = ctx.session.db();
    const std::optional<menu::AnalysisChoice> offered = menu::planMenusForAnalysis(db, ctx.prompt, kind);
    if (!offered)
        return exitRefused;
    if (std::find(offered->ids.begin(), offered->ids.end(), *plan) == offered->ids.end())
        return exitRefused;
    if (!menu::checkPlanMenuForAnalysis(db, ctx.prompt, kind, *plan))
        return exitRefused;
    const menu::AnalysisTable t = menu::runAnalysis(db, ctx.prompt, kind, *plan);
    printTable(ctx, t.caption, t.columns, t.rows);
    return exitOk;
}

// plan-need PLAN_ID YYYY-MM-DD [--day ID] TYPE_ID=COUNT ...
int runPlanNeed(Context& ctx)
{
    const auto plan = positiveIdArg(ctx.args.value(0));
    const QDate date = QDate::fromString(ctx.args.value(1), Qt::ISODate);
    if (!plan || !date.isValid())
        return exitUsage;
    std::optional<qint64> day;
    std::map<qint64, int> counts;
    for (int i = 2; i < ctx.args.size(); ++i) {
        const QString a = ctx.args[i];
        if (a == QLatin1String("--day")) {
            day = positiveIdArg(ctx.args.value(++i));
            if (!day)
                return exitUsage;
            continue;
        }
        const QStringList parts = a.split(QLatin1Char('='));
        bool ok = false;
        const int n = parts.value(1).toInt(&ok);
        const auto type = positiveIdArg(parts.value(0));
        if (parts.size() != 2 || !type || !ok || n < 0)
            return exitUsage;
        counts[*type] = n;
    }
    if (!ctx.openWithRow(QStringLiteral("type_menu"), *plan))
        return exitRefused;
    Database& db = ctx.session.db();
    const std::optional<menu::AnalysisTable> need =
        menu::planMenuProductNeed(db, ctx.prompt, *plan, day, counts, stock::planMenuRemnants(db, date));
    if (!need)
        return exitRefused;
    printTable(ctx, need->caption, need->columns, need->rows);
    return exitOk;
}

} // namespace

void registerNormsCommands()
{
    auto& c = commands();
    c[QStringLiteral("norms-save")] = {QStringLiteral("ТИП ГРУППА НОРМА ПРОДУКТ [СТРОКА]"), runNormsSave};
    c[QStringLiteral("norms-copy")] = {QStringLiteral("ОТКУДА_ТИП (куда: --choose N)"), runNormsCopy};
    c[QStringLiteral("norms-delete")] = {QStringLiteral("type ТИП | group ТИП ГРУППА | product СТРОКА"), runNormsDelete};
    c[QStringLiteral("analyse")] = {QStringLiteral("norms|energy|repeats ПЛАН-МЕНЮ"), runAnalyse};
    c[QStringLiteral("plan-need")] = {QStringLiteral("ПЛАН-МЕНЮ ГГГГ-ММ-ДД [--day ДЕНЬ] ТИП=ЧИСЛО ..."), runPlanNeed};
}

} // namespace rat::cli
