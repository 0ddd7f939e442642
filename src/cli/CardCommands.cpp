// Technological cards without windows: nutrient value and cost computed and stored, the
// expansion of a card into products, the calculation view of a card per eater type and the cost
// of a card in a menu.

#include "cli/Commands.h"
#include "core/DataHelpers.h"
#include "core/Parameters.h"
#include "refbooks/CardCalc.h"

#include <QDate>
#include <QTextStream>

namespace rat::cli {

namespace {

std::optional<qint64> idArg(const QString& text)
{
    bool ok = false;
    const qint64 id = text.toLongLong(&ok);
    return ok ? std::optional<qint64>(id) : std::nullopt;
}

// The cards an "ID|all" argument names; nothing when the argument is neither.
std::optional<std::vector<qint64>> cardsArg(Database& db, const QString& text)
{
    std::vector<qint64> ids;
    if (text == QLatin1String("all")) {
        Statement st(db, QStringLiteral("SELECT id FROM card_recipes ORDER BY id"));
        while (st.next())
            ids.push_back(st.toInt64(0));
        return ids;
    }
    const auto id = idArg(text);
    if (!id)
        return std::nullopt;
    ids.push_back(*id);
    return ids;
}

QString n(const QVariant& v)
{
    return plainNumber(v.isNull() ? 0.0 : v.toDouble());
}

int runNutrients(Context& ctx)
{
    if (ctx.args.size() != 1 || (ctx.args[0] != QLatin1String("all") && !idArg(ctx.args[0])))
        return exitUsage;
    if (!ctx.openForWork())
        return exitRefused;
    Database& db = ctx.session.db();
    const auto cards = cardsArg(db, ctx.args[0]);
    const int done = books::calculateNutrientsOfCards(db, ctx.prompt, *cards);
    // The stored values: the card, then one line per vitamin row.
    Statement head(db, QStringLiteral("SELECT cname, protein, fat, carbohyd, calories, vih, protein_vih, fat_vih, "
                                      "carbohyd_vih, calories_vih FROM card_recipes WHERE id = ?1"));
    Statement vit(db, QStringLiteral("SELECT v.shname, cv.kol, cv.kol_vih, cv.kolpr FROM card_vitamin cv "
                                     "JOIN vitamin v ON v.id = cv.id_vitamin WHERE cv.id_card_recipes = ?1 ORDER BY v.id"));
    for (qint64 id : *cards) {
        head.reset();
        head.bind(1, id);
        if (!head.next())
            continue;
        ctx.out << id << '\t' << head.toString(0);
        for (int c = 1; c <= 9; ++c)
            ctx.out << '\t' << n(head.value(c));
        ctx.out << '\n';
        vit.reset();
        vit.bind(1, id);
        while (vit.next())
            ctx.out << '\t' << vit.toString(0) << '\t' << n(vit.value(1)) << '\t' << n(vit.value(2)) << '\t'
                    << n(vit.value(3)) << '\n';
    }
    return done == int(cards->size()) ? exitOk : exitRefused;
}

int runCost(Context& ctx)
{
    if (ctx.args.size() != 1 || (ctx.args[0] != QLatin1String("all") && !idArg(ctx.args[0])))
        return exitUsage;
    if (!ctx.openForWork())
        return exitRefused;
    Database& db = ctx.session.db();
    const auto cards = cardsArg(db, ctx.args[0]);
    const int done = books::storeCostsOfCards(db, ctx.prompt, *cards);
    Statement head(db, QStringLiteral("SELECT cname, cost FROM card_recipes WHERE id = ?1"));
    for (qint64 id : *cards) {
        head.reset();
        head.bind(1, id);
        if (head.next())
            ctx.out << id << '\t' << head.toString(0) << '\t' << n(head.value(1)) << '\n';
    }
    return done == int(cards->size()) ? exitOk : exitRefused;
}

int runExpand(Context& ctx)
{
    const auto card = idArg(ctx.args.value(0));
    bool ok = false;
    const double y = parseDecimal(ctx.args.value(1), &ok);
    if (ctx.args.size() != 2 || !card || !ok)
        return exitUsage;
    if (!ctx.openForWork())
        return exitRefused;
    const books::CardExpansion e = books::expandCard(ctx.session.db(), *card, y, &ctx.prompt);
    if (e.cycle)
        return exitRefused;
    for (const books::ExpandedLine& l : e.lines)
        ctx.out << l.productId << '\t' << l.productName << '\t' << plainNumber(l.gross) << '\t' << plainNumber(l.net)
                << '\n';
    return exitOk;
}

int runCalc(Context& ctx)
{
    const auto card = idArg(ctx.args.value(0));
    const auto eater = idArg(ctx.args.value(1));
    const QDate date = QDate::fromString(ctx.args.value(2), Qt::ISODate);
    if (ctx.args.size() != 3 || !card || !eater || !date.isValid())
        return exitUsage;
    if (!ctx.openForWork())
        return exitRefused;
    const auto blocks = books::cardCalculation(ctx.session.db(), *card, *eater, date);
    if (blocks.empty())
        return exitRefused;  // no such card, or no yield for an active eater type
    for (const books::CalcBlock& b : blocks) {
        // The yield header: eater type, yield, nutrients and vitamins of a portion, planned price.
        ctx.out << b.eaterName << '\t' << b.yieldText << '\t' << plainNumber(b.protein) << '\t' << plainNumber(b.fat)
                << '\t' << plainNumber(b.carbohyd) << '\t' << plainNumber(b.calories);
        for (const auto& [shname, value] : b.vitamins)
            ctx.out << '\t' << shname << ' ' << plainNumber(value);
        ctx.out << '\t' << plainNumber(b.plannedCost) << '\n';
        for (const books::CalcLine& l : b.lines) {
            ctx.out << l.text << '\t' << l.unit << '\t' << plainNumber(l.gross) << '\t' << plainNumber(l.net);
            if (l.comment)
                ctx.out << "\t-\t-\t-\t-\t-";
            else
                ctx.out << '\t' << plainNumber(l.protein) << '\t' << plainNumber(l.fat) << '\t'
                        << plainNumber(l.carbohyd) << '\t' << plainNumber(l.calories) << '\t'
                        << (l.productLine ? plainNumber(l.actualCost) : QString());
            ctx.out << '\n';
        }
    }
    return exitOk;
}

int runMenuCost(Context& ctx)
{
    const auto card = idArg(ctx.args.value(0));
    const auto eater = idArg(ctx.args.value(1));
    const QString basisText = ctx.args.value(2);
    const QDate date = QDate::fromString(ctx.args.value(3), Qt::ISODate);
    // The basis by its position in the full list (0, 1, 2) or by its text.
    const QStringList bases = {QStringLiteral("По последней поставке"), QStringLiteral("По плановой цене продуктов"),
                               QStringLiteral("По плановой цене тех.карт")};
    int basis = bases.indexOf(basisText);
    if (basis < 0) {
        bool ok = false;
        basis = basisText.toInt(&ok);
        if (!ok)
            basis = -1;
    }
    if (ctx.args.size() != 4 || !card || !eater || !date.isValid() || basis < 0 || basis > 2)
        return exitUsage;
    if (!ctx.openForWork())
        return exitRefused;
    const auto cost =
        books::cardMenuCost(ctx.session.db(), *card, *eater, books::CostBasis(basis), date, &ctx.prompt);
    if (!cost)
        return exitRefused;
    ctx.out << plainNumber(*cost) << '\n';
    return exitOk;
}

} // namespace

void registerCardCommands()
{
    books::registerCardCalculation();
    auto& c = commands();
    c[QStringLiteral("card-nutrients")] = {QStringLiteral("КАРТА|all"), runNutrients};
    c[QStringLiteral("card-cost")] = {QStringLiteral("КАРТА|all"), runCost};
    c[QStringLiteral("card-expand")] = {QStringLiteral("КАРТА ВЫХОД"), runExpand};
    c[QStringLiteral("card-calc")] = {QStringLiteral("КАРТА ТИП_ДОВОЛЬСТВУЮЩИХСЯ ГГГГ-ММ-ДД"), runCalc};
    c[QStringLiteral("card-menu-cost")] = {QStringLiteral("КАРТА ТИП_ДОВОЛЬСТВУЮЩИХСЯ ОСНОВА ГГГГ-ММ-ДД"), runMenuCost};
}

} // namespace rat::cli
