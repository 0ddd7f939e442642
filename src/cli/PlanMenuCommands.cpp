// Plan-menus without windows: the plan days of the first use, the copies of a plan-menu, of the
// days of another plan-menu and of one plan day (the choices through --choose), and the
// per-eater-type summary.

#include "cli/Commands.h"
#include "core/AppState.h"
#include "core/Database.h"
#include "menu/PlanMenu.h"

#include <QTextStream>

namespace rat::cli {

namespace {

// The days of every plan-menu: id, name, plan-menu title.
void printDays(Context& ctx)
{
    Database& db = ctx.session.db();
    Statement st(db, QStringLiteral("SELECT d.id, d.dname, d.id_type_menu FROM days d ORDER BY d.id_type_menu, d.id"));
    while (st.next())
        ctx.out << st.toInt64(0) << '\t' << st.toString(1) << '\t'
                << menu::planMenuTitle(db, st.toInt64(2)) << '\n';
}

// plan-days N: the answer to the number-of-days input ("" for an empty answer).
int runPlanDays(Context& ctx)
{
    if (ctx.args.size() != 1)
        return exitUsage;
    if (!ctx.openForWork())
        return exitRefused;
    ctx.prompt.inputs.push_front(ctx.args[0]);
    const bool open = menu::runPlanDaysCommand(ctx.session.db(), ctx.prompt);
    printDays(ctx);
    return open ? exitOk : exitRefused;
}

int copyOutcome(menu::CopyResult r)
{
    return r == menu::CopyResult::Refused ? exitRefused : exitOk;
}

int runCopyPlanMenu(Context& ctx)
{
    const auto source = positiveIdArg(ctx.args.value(0));
    const auto target = positiveIdArg(ctx.args.value(1));
    if (ctx.args.size() != 2 || !source || !target)
        return exitUsage;
    if (!ctx.openWithRow(QStringLiteral("type_menu"), *source))
        return exitRefused;
    Database& db = ctx.session.db();
    if (!rowExists(db, QStringLiteral("type_menu"), *target))
        return exitRefused;
    return copyOutcome(menu::copyPlanMenu(db, ctx.prompt, *source, *target));
}

int runAppendPlanDays(Context& ctx)
{
    const auto target = positiveIdArg(ctx.args.value(0));
    if (ctx.args.size() != 1 || !target)
        return exitUsage;
    if (!ctx.openWithRow(QStringLiteral("type_menu"), *target))
        return exitRefused;
    Database& db = ctx.session.db();
    return copyOutcome(menu::appendPlanMenuDays(db, ctx.prompt, *target));
}

int runCopyPlanDay(Context& ctx)
{
    const auto day = positiveIdArg(ctx.args.value(0));
    if (ctx.args.size() != 1 || !day)
        return exitUsage;
    if (!ctx.openWithRow(QStringLiteral("days"), *day))
        return exitRefused;
    Database& db = ctx.session.db();
    return menu::copyPlanDay(db, ctx.prompt, *day) ? exitOk : exitRefused;
}

// plan-summary PLAN [DAY]: one line per eater type and figure, "Факт(норма)" last.
int runPlanSummary(Context& ctx)
{
    const auto plan = positiveIdArg(ctx.args.value(0));
    const auto day = ctx.args.size() == 2 ? positiveIdArg(ctx.args[1]) : std::nullopt;
    if (ctx.args.isEmpty() || ctx.args.size() > 2 || !plan || (ctx.args.size() == 2 && !day))
        return exitUsage;
    if (!ctx.openForWork())
        return exitRefused;
    Database& db = ctx.session.db();
    if (!rowExists(db, QStringLiteral("type_menu"), *plan) || (day && menu::planMenuOfDay(db, *day) != plan))
        return exitRefused;
    const int digits = app().roundingDigits;
    const menu::PlanSummary s = menu::planMenuSummary(db, *plan, day, digits);
    ctx.out << menu::planMenuTitle(db, *plan) << '\t'
            << (day ? db.scalar(QStringLiteral("SELECT dname FROM days WHERE id = ?1"), {*day}).toString()
                    : QStringLiteral("в среднем за день, дней: ") + QString::number(s.days))
            << '\n';
    ctx.out << "Тип довольствующихся\tПоказатель\tФакт(норма)\n";
    for (const menu::EaterSummary& t : s.types)
        for (const menu::SummaryFigure& f : t.figures)
            ctx.out << t.eaterType << '\t' << f.caption << '\t' << menu::figureText(f, digits) << '\n';
    return exitOk;
}

} // namespace

void registerPlanMenuCommands()
{
    auto& c = commands();
    c[QStringLiteral("plan-days")] = {QStringLiteral("ЧИСЛО_ДНЕЙ"), runPlanDays};
    c[QStringLiteral("copy-plan-menu")] = {QStringLiteral("ОТКУДА КУДА"), runCopyPlanMenu};
    c[QStringLiteral("append-plan-days")] = {QStringLiteral("КУДА (откуда: --choose N)"), runAppendPlanDays};
    c[QStringLiteral("copy-plan-day")] = {QStringLiteral("ДЕНЬ (план-меню и день: --choose N --choose M)"),
                                          runCopyPlanDay};
    c[QStringLiteral("plan-summary")] = {QStringLiteral("ПЛАН-МЕНЮ [ДЕНЬ]"), runPlanSummary};
}

} // namespace rat::cli
