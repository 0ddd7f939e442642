// Products without windows: the sell-by date of a delivery, the seasonal gross weight of a
// recipe weight, and the copies of a product's seasonal losses and substitutes to a product
// chosen with --choose.

#include "cli/Commands.h"
#include "core/DataHelpers.h"
#include "core/Parameters.h"
#include "refbooks/ProductRules.h"
#include "refbooks/SeasonalLosses.h"
#include "refbooks/Substitutes.h"

#include <QDate>
#include <QDateTime>
#include <QTextStream>

namespace rat::cli {

namespace {

std::optional<qint64> productArg(const QString& text)
{
    bool ok = false;
    const qint64 id = text.toLongLong(&ok);
    return ok ? std::optional<qint64>(id) : std::nullopt;
}

QDate dateArg(const QString& text)
{
    return QDate::fromString(text, Qt::ISODate);
}

int runSellBy(Context& ctx)
{
    const auto product = productArg(ctx.args.value(0));
    const QDate received = dateArg(ctx.args.value(1));
    if (ctx.args.size() != 2 || !product || !received.isValid())
        return exitUsage;
    if (!ctx.openForWork())
        return exitRefused;
    const auto date = books::sellByDate(ctx.session.db(), *product, QDateTime(received, QTime(0, 0), Qt::UTC));
    if (!date)
        return exitRefused;  // no such product, or no storage time
    ctx.out << (date->time() == QTime(0, 0) ? date->date().toString(Qt::ISODate)
                                             : date->toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")))
            << '\n';
    return exitOk;
}

int runSeasonalGross(Context& ctx)
{
    const auto product = productArg(ctx.args.value(0));
    bool gramsOk = false;
    const double grams = parseDecimal(ctx.args.value(1), &gramsOk);
    const QDate date = dateArg(ctx.args.value(2));
    if (ctx.args.size() != 3 || !product || !gramsOk || !date.isValid())
        return exitUsage;
    if (!ctx.openForWork())
        return exitRefused;
    ctx.out << plainNumber(books::seasonalGross(ctx.session.db(), *product, grams, date)) << '\n';
    return exitOk;
}

int runCopySeasons(Context& ctx)
{
    const auto product = productArg(ctx.args.value(0));
    if (ctx.args.size() != 1 || !product)
        return exitUsage;
    if (!ctx.openForWork())
        return exitRefused;
    return books::copySeasonPeriods(ctx.session.db(), ctx.prompt, *product) ? exitOk : exitRefused;
}

int runCopySubstitutes(Context& ctx)
{
    const auto product = productArg(ctx.args.value(0));
    if (ctx.args.size() != 1 || !product)
        return exitUsage;
    if (!ctx.openForWork())
        return exitRefused;
    return books::copySubstitutes(ctx.session.db(), ctx.prompt, *product) >= 0 ? exitOk : exitRefused;
}

} // namespace

void registerProductCommands()
{
    auto& c = commands();
    c[QStringLiteral("sell-by")] = {QStringLiteral("ПРОДУКТ ГГГГ-ММ-ДД"), runSellBy};
    c[QStringLiteral("seasonal-gross")] = {QStringLiteral("ПРОДУКТ ГРАММЫ ГГГГ-ММ-ДД"), runSeasonalGross};
    c[QStringLiteral("copy-seasons")] = {QStringLiteral("ПРОДУКТ (куда: --choose N)"), runCopySeasons};
    c[QStringLiteral("copy-substitutes")] = {QStringLiteral("ПРОДУКТ (куда: --choose N)"), runCopySubstitutes};
}

} // namespace rat::cli
