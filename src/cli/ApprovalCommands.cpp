// Approval without windows: a menu-requirement opened for a day menu and saved, closed, the
// re-issue from a date, the automatic write-off and the fill of a write-off document. Questions
// are answered with --answer, choices with --choose, today is --today.

#include "cli/Commands.h"
#include "core/Clock.h"
#include "core/DataHelpers.h"
#include "core/Database.h"
#include "stock/MenuRequirement.h"
#include "stock/MenuRequirementApproval.h"
#include "stock/WriteOff.h"

#include <QTextStream>

namespace rat::cli {

namespace {

QString outcomeText(qint64 status)
{
    return status != 0 ? QStringLiteral("Утверждено") : QStringLiteral("Черновик");
}

// The stored menu-requirement as one row: IDM, status, the expense document and its sum.
void printRequirement(Context& ctx, qint64 idm)
{
    Database& db = ctx.session.db();
    Statement st(db, QStringLiteral("SELECT r.IDM, COALESCE(r.status, 0), COALESCE(r.id_ex, 0), COALESCE(e.status, 0), "
                                    "COALESCE(e.[sum], 0) FROM MENUTR r LEFT JOIN expence_docum e ON e.id = r.id_ex "
                                    "WHERE r.IDM = ?1"));
    st.bind(1, idm);
    ctx.out << "IDM\tСтатус\tРасход\tСтатус расхода\tСумма расхода\n";
    if (st.next())
        ctx.out << st.toInt64(0) << '\t' << outcomeText(st.toInt64(1)) << '\t' << st.toInt64(2) << '\t'
                << (st.toInt64(2) != 0 ? outcomeText(st.toInt64(3)) : QString()) << '\t' << plainNumber(st.toDouble(4))
                << '\n';
}

// menu-requirement DAY_MENU_ID: opened for the day menu, then saved; the working copy removed.
int runMenuRequirement(Context& ctx)
{
    const auto dayMenu = positiveIdArg(ctx.args.value(0));
    if (ctx.args.size() != 1 || !dayMenu)
        return exitUsage;
    if (!ctx.openWithRow(QStringLiteral("day_menu"), *dayMenu))
        return exitRefused;
    Database& db = ctx.session.db();
    const auto opened = stock::openForDayMenu(db, ctx.prompt, *dayMenu, Clock::today());
    if (!opened)
        return exitRefused;
    std::optional<qint64> idm = opened->idm;
    const auto h = stock::readWorkingHeader(db, opened->idm1);
    const stock::SaveOutcome r = stock::saveMenuRequirement(db, ctx.prompt, opened->idm1, idm, h ? h->cost : 0.0);
    stock::clearWorkingCopy(db, opened->idm1);
    if (r == stock::SaveOutcome::Cancelled || !idm)
        return exitRefused;
    printRequirement(ctx, *idm);
    return exitOk;
}

// menu-requirement-close IDM: the stored document loaded and its window closed without changes.
int runMenuRequirementClose(Context& ctx)
{
    const auto idm = positiveIdArg(ctx.args.value(0));
    if (ctx.args.size() != 1 || !idm)
        return exitUsage;
    if (!ctx.openForWork())
        return exitRefused;
    Database& db = ctx.session.db();
    const QVariant dayMenu = db.scalar(QStringLiteral("SELECT ID_day_menu FROM MENUTM WHERE IDM = ?1"), {*idm});
    if (dayMenu.isNull())
        return exitRefused;
    const auto idm1 = stock::loadIntoWorkingCopy(db, ctx.prompt, dayMenu.toLongLong(), *idm);
    if (!idm1)
        return exitRefused;
    std::optional<qint64> stored = idm;
    const auto h = stock::readWorkingHeader(db, *idm1);
    stock::closeMenuRequirement(db, ctx.prompt, *idm1, stored, h ? h->cost : 0.0, false);
    printRequirement(ctx, *idm);
    return exitOk;
}

// reissue-from YYYY-MM-DD: the re-issued menu-requirements in date order.
int runReissueFrom(Context& ctx)
{
    const QDate from = QDate::fromString(ctx.args.value(0), Qt::ISODate);
    if (ctx.args.size() != 1 || !from.isValid())
        return exitUsage;
    if (!ctx.openForWork())
        return exitRefused;
    Database& db = ctx.session.db();
    if (!stock::reissueFromDate(db, ctx.prompt, from))
        return exitRefused;
    ctx.out << "IDM\tДата\tРасход\tСумма расхода\n";
    Statement st(db, QStringLiteral("SELECT r.IDM, substr(r.date, 1, 10), COALESCE(r.id_ex, 0), COALESCE(e.[sum], 0) "
                                    "FROM MENUTR r LEFT JOIN expence_docum e ON e.id = r.id_ex WHERE r.status = -1 AND "
                                    "substr(r.date, 1, 10) >= ?1 ORDER BY substr(r.date, 1, 10), r.IDM"));
    st.bind(1, isoDate(from));
    while (st.next())
        ctx.out << st.toInt64(0) << '\t' << st.toString(1) << '\t' << st.toInt64(2) << '\t' << plainNumber(st.toDouble(3))
                << '\n';
    return exitOk;
}

// The lines of a write-off document: lot, quantity, why.
void printWriteOff(Context& ctx, qint64 doc)
{
    Database& db = ctx.session.db();
    ctx.out << "Документ\tПартия\tКоличество\tПричина\n";
    Statement st(db, QStringLiteral("SELECT id_storage, quantity, why FROM spisanie_point WHERE id_spisanie = ?1 ORDER BY id"));
    st.bind(1, doc);
    while (st.next())
        ctx.out << doc << '\t' << st.toInt64(0) << '\t' << plainNumber(st.toDouble(1)) << '\t' << st.toString(2) << '\n';
}

// auto-writeoff: the write-off of lots expired by --today; prints the document written.
int runAutoWriteOff(Context& ctx)
{
    if (!ctx.args.isEmpty())
        return exitUsage;
    if (!ctx.openForWork())
        return exitRefused;
    const auto doc = stock::autoWriteOffExpired(ctx.session.db(), ctx.prompt, Clock::today());
    if (doc)
        printWriteOff(ctx, *doc);
    return exitOk;
}

// writeoff-fill ID: the expired lots added to a write-off document.
int runWriteOffFill(Context& ctx)
{
    const auto doc = positiveIdArg(ctx.args.value(0));
    if (ctx.args.size() != 1 || !doc)
        return exitUsage;
    if (!ctx.openWithRow(QStringLiteral("spisanie"), *doc))
        return exitRefused;
    if (stock::fillWriteOffWithExpired(ctx.session.db(), ctx.prompt, *doc) == 0)
        return exitRefused;
    printWriteOff(ctx, *doc);
    return exitOk;
}

} // namespace

void registerApprovalCommands()
{
    auto& c = commands();
    c[QStringLiteral("menu-requirement")] = {QStringLiteral("ID_МЕНЮ_НА_ДЕНЬ"), runMenuRequirement};
    c[QStringLiteral("menu-requirement-close")] = {QStringLiteral("IDM"), runMenuRequirementClose};
    c[QStringLiteral("reissue-from")] = {QStringLiteral("ГГГГ-ММ-ДД"), runReissueFrom};
    c[QStringLiteral("auto-writeoff")] = {QString(), runAutoWriteOff};
    c[QStringLiteral("writeoff-fill")] = {QStringLiteral("ID_СПИСАНИЯ"), runWriteOffFill};
}

} // namespace rat::cli
