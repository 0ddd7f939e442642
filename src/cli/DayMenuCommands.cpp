// Day menus without windows: numbering, a day menu made from plan-menu days, its rows as the
// document shows them, counts with their copy question, moving a dish, deleting and copying
// day menus. Questions are answered with --answer; the date of a new menu is --today.

#include "cli/Commands.h"
#include "core/Clock.h"
#include "core/Database.h"
#include "menu/DayMenu.h"

#include <QTextStream>

namespace rat::cli {

namespace {

// day-menu-create PLAN_ID:DAY_ID ...: the new menu's id and number, or the pending days after "Нет".
int runCreate(Context& ctx)
{
    std::vector<menu::PlanDayPair> pairs;
    for (const QString& a : ctx.args) {
        const QStringList parts = a.split(QLatin1Char(':'));
        bool okMenu = false, okDay = false;
        const qint64 pm = parts.value(0).toLongLong(&okMenu);
        const qint64 day = parts.value(1).toLongLong(&okDay);
        if (parts.size() != 2 || !okMenu || !okDay)
            return exitUsage;
        pairs.emplace_back(pm, day);
    }
    if (pairs.empty())
        return exitUsage;
    if (!ctx.openForWork())
        return exitRefused;
    Database& db = ctx.session.db();
    const menu::CreatedDayMenu made = menu::createDayMenuFromPlan(db, ctx.prompt, pairs);
    if (made.id) {
        const auto h = menu::readDayMenu(db, *made.id);
        ctx.out << *made.id << '\t' << h->number << '\t' << h->iddTm << '\n';
        return exitOk;
    }
    if (!made.pendingIddTm.isEmpty()) {
        ctx.out << made.pendingIddTm << '\n';
        return exitOk;
    }
    return exitRefused;
}

// day-menu-rows ID [--basis CODE]: captions, the rows, then the total label.
int runRows(Context& ctx)
{
    QStringList args = ctx.args;
    std::optional<int> basis;
    const qsizetype at = args.indexOf(QStringLiteral("--basis"));
    if (at >= 0) {
        bool ok = false;
        const int code = args.value(at + 1).toInt(&ok);
        if (!ok || code < 0)
            return exitUsage;
        basis = code;
        args.remove(at, 2);
    }
    const auto id = positiveIdArg(args.value(0));
    if (args.size() != 1 || !id)
        return exitUsage;
    if (!ctx.openWithRow(QStringLiteral("day_menu"), *id))
        return exitRefused;
    Database& db = ctx.session.db();
    const menu::DayMenuRows rows = menu::dayMenuRows(db, *id, basis, Clock::today());
    ctx.out << rows.captions.join(QLatin1Char('\t')) << '\n';
    for (const menu::DayMenuRow& r : rows.rows) {
        QStringList cells = menu::rowCells(r);
        // The yield and the figures after the dish.
        for (qsizetype c = 4; c < cells.size(); ++c)
            cells[c] = toolNumber(cells[c]);
        ctx.out << cells.join(QLatin1Char('\t')) << '\n';
    }
    ctx.out << toolNumber(rows.totalLabel) << '\n';
    return exitOk;
}

// set-count POINT_ID EATER_TYPE_ID QTY
int runSetCount(Context& ctx)
{
    const auto point = positiveIdArg(ctx.args.value(0));
    const auto type = positiveIdArg(ctx.args.value(1));
    bool ok = false;
    const qint64 qty = ctx.args.value(2).toLongLong(&ok);
    if (ctx.args.size() != 3 || !point || !type || !ok || qty < 0)
        return exitUsage;
    if (!ctx.openForWork())
        return exitRefused;
    Database& db = ctx.session.db();
    const QVariant row = db.scalar(QStringLiteral("SELECT id FROM quantity_eating WHERE id_day_menu_point = ?1 AND "
                                                  "id_type_eating = ?2 ORDER BY id"),
                                   {*point, *type});
    if (row.isNull())
        return exitRefused;
    menu::setEaterCount(db, ctx.prompt, row.toLongLong(), qty);
    return exitOk;
}

// move-row DAY_MENU_ID ROW up|down: the row of the dish afterwards (0-based; -1 without a row).
int runMove(Context& ctx)
{
    const auto id = positiveIdArg(ctx.args.value(0));
    bool ok = false;
    const int row = ctx.args.value(1).toInt(&ok);
    const QString dir = ctx.args.value(2);
    if (ctx.args.size() != 3 || !id || !ok || row < -1 || (dir != QLatin1String("up") && dir != QLatin1String("down")))
        return exitUsage;
    if (!ctx.openWithRow(QStringLiteral("day_menu"), *id))
        return exitRefused;
    Database& db = ctx.session.db();
    const int moved = menu::moveDayMenuRow(db, ctx.prompt, *id, row, dir == QLatin1String("up") ? -1 : 1, Clock::today());
    ctx.out << moved << '\n';
    return moved == row ? exitRefused : exitOk;
}

int runNextNumber(Context& ctx)
{
    static const QStringList tables = {QStringLiteral("day_menu"), QStringLiteral("spisanie"),
                                       QStringLiteral("expence_docum"), QStringLiteral("receipt"),
                                       QStringLiteral("orders")};
    if (ctx.args.size() != 1 || !tables.contains(ctx.args[0]))
        return exitUsage;
    if (!ctx.openForWork())
        return exitRefused;
    ctx.out << menu::nextDocumentNumber(ctx.session.db(), ctx.args[0]) << '\n';
    return exitOk;
}

int runIncrement(Context& ctx)
{
    if (ctx.args.size() != 1)
        return exitUsage;
    ctx.out << menu::incrementDocumentNumber(ctx.args[0]) << '\n';
    return exitOk;
}

// delete-day-menu ID ...: the confirmation and the question after a refusal by --answer.
int runDelete(Context& ctx)
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
    if (!ctx.openForWork())
        return exitRefused;
    const int deleted = menu::deleteDayMenus(ctx.session.db(), ctx.prompt, ids);
    return deleted == int(ids.size()) ? exitOk : exitRefused;
}

// copy-day-menu ID: a new day menu from the source's header with the next number; its rows
// after the copy question. Prints the new id and number.
int runCopy(Context& ctx)
{
    const auto id = positiveIdArg(ctx.args.value(0));
    if (ctx.args.size() != 1 || !id)
        return exitUsage;
    if (!ctx.openForWork())
        return exitRefused;
    Database& db = ctx.session.db();
    auto h = menu::readDayMenu(db, *id);
    if (!h)
        return exitRefused;
    const bool hasRows =
        db.scalar(QStringLiteral("SELECT COUNT(*) FROM day_menu_point WHERE id_day_menu = ?1"), {*id}).toLongLong() > 0;
    Transaction tx(db);
    menu::DayMenuHeader copy = *h;
    copy.id.reset();
    copy.number = menu::nextDayMenuNumber(db);
    copy.done = false;
    copy.sum = 0;  // the copy's own rows make its sum
    const qint64 newId = menu::saveDayMenuHeader(db, copy);
    if (hasRows && ctx.prompt.ask(QStringLiteral("Копируемое меню на день уже составлено. Копировать строки меню?"),
                                  Buttons::YesNo, Answer::Yes) == Answer::Yes) {
        menu::copyDayMenuRows(db, *id, newId);
        menu::updateDayMenuTotal(db, newId, copy.basisCode, Clock::today());
    }
    tx.commit();
    ctx.out << newId << '\t' << copy.number << '\n';
    return exitOk;
}

} // namespace

void registerDayMenuCommands()
{
    auto& c = commands();
    c[QStringLiteral("day-menu-create")] = {QStringLiteral("ПЛАН:ДЕНЬ [ПЛАН:ДЕНЬ ...]"), runCreate};
    c[QStringLiteral("day-menu-rows")] = {QStringLiteral("ID [--basis КОД]"), runRows};
    c[QStringLiteral("set-count")] = {QStringLiteral("СТРОКА_МЕНЮ ТИП_ДОВОЛЬСТВУЮЩИХСЯ КОЛИЧЕСТВО"), runSetCount};
    c[QStringLiteral("move-row")] = {QStringLiteral("ID_МЕНЮ СТРОКА up|down"), runMove};
    c[QStringLiteral("next-number")] = {QStringLiteral("day_menu|spisanie|expence_docum|receipt|orders"), runNextNumber};
    c[QStringLiteral("increment-number")] = {QStringLiteral("ТЕКСТ"), runIncrement};
    c[QStringLiteral("delete-day-menu")] = {QStringLiteral("ID [ID ...]"), runDelete};
    c[QStringLiteral("copy-day-menu")] = {QStringLiteral("ID"), runCopy};
}

} // namespace rat::cli
