// Automatic ordering without windows: the set-up of one plan-menu, the order for the coming plan
// days (the first day chosen with --choose) and the start-up reminder. Questions are answered
// with --answer, today is --today.

#include "cli/Commands.h"
#include "core/Clock.h"
#include "core/DataHelpers.h"
#include "core/Database.h"
#include "stock/AutoOrder.h"
#include "stock/AutoOrderParameters.h"

#include <QTextStream>

namespace rat::cli {

namespace {

void printSetups(Context& ctx)
{
    ctx.out << "План-меню\tСклад\tДней\tТип довольствующихся\tКоличество\n";
    for (const stock::OrderingSetup& s : stock::storedOrderingSetups(ctx.session.db()))
        for (const stock::OrderingEaters& e : s.eaters)
            ctx.out << s.planMenu << '\t' << s.warehouse << '\t' << s.days << '\t' << e.typeId << '\t' << e.count << '\n';
}

// auto-order-params PLAN_ID TYPE_ID=COUNT... [--days N] [--warehouse ID] [--off]: the set-up of
// one plan-menu changed, the others kept; prints every stored set-up.
int runAutoOrderParams(Context& ctx)
{
    QStringList args = ctx.args;
    std::optional<int> days;
    std::optional<qint64> warehouse;
    bool off = false;
    for (qsizetype i = 0; i < args.size();) {
        const QString a = args[i];
        if (a == QLatin1String("--off")) {
            off = true;
            args.remove(i);
        } else if (a == QLatin1String("--days") || a == QLatin1String("--warehouse")) {
            bool ok = false;
            const qint64 v = args.value(i + 1).toLongLong(&ok);
            if (!ok || v <= 0)
                return exitUsage;
            if (a == QLatin1String("--days"))
                days = int(v);
            else
                warehouse = v;
            args.remove(i, 2);
        } else {
            ++i;
        }
    }
    const auto plan = positiveIdArg(args.value(0));
    if (!plan)
        return exitUsage;
    std::map<qint64, int> counts;
    for (const QString& a : args.mid(1)) {
        const qsizetype eq = a.indexOf(QLatin1Char('='));
        bool okId = false, okCount = false;
        const qint64 type = a.left(eq).toLongLong(&okId);
        const int count = a.mid(eq + 1).toInt(&okCount);
        if (eq <= 0 || !okId || !okCount || count < 0)
            return exitUsage;
        counts[type] = count;
    }
    if (!ctx.openForWork())
        return exitRefused;
    Database& db = ctx.session.db();
    if (warehouse && !rowExists(db, QStringLiteral("STORAGES"), *warehouse))
        return exitUsage;
    auto setups = stock::openOrderingParameters(db, ctx.prompt);
    if (!setups)
        return exitRefused;
    const auto it = std::find_if(setups->begin(), setups->end(),
                                 [&](const stock::OrderingSetup& s) { return s.planMenu == *plan; });
    if (it == setups->end()) {
        stock::closeOrderingParameters(db);
        return exitUsage;
    }
    for (const auto& [type, count] : counts) {
        const auto e = std::find_if(it->eaters.begin(), it->eaters.end(),
                                    [&](const stock::OrderingEaters& x) { return x.typeId == type && x.active; });
        if (e == it->eaters.end()) {
            stock::closeOrderingParameters(db);
            return exitUsage;
        }
        e->count = count;
    }
    it->used = !off;
    if (days)
        it->days = *days;
    if (warehouse)
        it->warehouse = *warehouse;
    if (!stock::settleZeroCounts(ctx.prompt, *it)) {
        stock::closeOrderingParameters(db);
        return exitRefused;
    }
    stock::saveOrderingParameters(db, *setups);
    printSetups(ctx);
    return exitOk;
}

// auto-order: the order for the coming plan days of every set-up; prints its lines with the
// rounded quantity beside the computed one.
int runAutoOrder(Context& ctx)
{
    if (!ctx.args.isEmpty())
        return exitUsage;
    if (!ctx.openForWork())
        return exitRefused;
    const auto order = stock::makeAutomaticOrder(ctx.session.db(), ctx.prompt, Clock::today());
    if (!order)
        return exitRefused;
    ctx.out << "Заказ\tНомер\tПродукт\tЕд.изм.\tСклад\tЦена\tКоличество\tКоличество без округления\n";
    for (const stock::AutoOrderLine& l : order->lines)
        ctx.out << order->orderId << '\t' << order->number << '\t' << l.product << '\t' << l.unit << '\t' << l.warehouse
                << '\t' << plainNumber(l.cost) << '\t' << plainNumber(l.quantity) << '\t' << plainNumber(l.quantity1)
                << '\n';
    return exitOk;
}

// reminder: the start-up reminder of the desktop program; prints the write-off it wrote.
int runReminder(Context& ctx)
{
    if (!ctx.args.isEmpty())
        return exitUsage;
    if (!ctx.openForWork())
        return exitRefused;
    Database& db = ctx.session.db();
    const auto doc = stock::orderingReminder(db, ctx.prompt, Clock::today());
    if (doc) {
        ctx.out << "Документ\tПартия\tКоличество\tПричина\n";
        Statement st(db, QStringLiteral("SELECT id_storage, quantity, why FROM spisanie_point WHERE id_spisanie = ?1 "
                                        "ORDER BY id"));
        st.bind(1, *doc);
        while (st.next())
            ctx.out << *doc << '\t' << st.toInt64(0) << '\t' << plainNumber(st.toDouble(1)) << '\t' << st.toString(2)
                    << '\n';
    }
    return exitOk;
}

} // namespace

void registerAutoOrderCommands()
{
    auto& c = commands();
    c[QStringLiteral("auto-order-params")] = {
        QStringLiteral("ID_ПЛАНА_МЕНЮ ID_ТИПА=КОЛИЧЕСТВО... [--days N] [--warehouse ID] [--off]"), runAutoOrderParams};
    c[QStringLiteral("auto-order")] = {QString(), runAutoOrder};
    c[QStringLiteral("reminder")] = {QString(), runReminder};
}

} // namespace rat::cli
