// The cost of cards in a menu and the calculation view of a card: the latest-delivery price of
// a product, the prices of every product for a whole menu, the portion cost of a card, and the
// view's lines per eater type with their actual costs.

#include "refbooks/CardCalc.h"

#include "core/Parameters.h"
#include "core/Database.h"
#include "core/Rounding.h"
#include "refbooks/LatestDeliveryPrices.h"
#include "refbooks/SeasonalLosses.h"

#include <algorithm>
#include <map>

namespace rat::books {

namespace {

double r(double x, int digits) { return roundHalfEven(x, digits); }

double num(const Statement& st, int col) { return st.isNull(col) ? 0.0 : st.toDouble(col); }

} // namespace

qint64 recipeNumberValue(const QString& text)
{
    qint64 n = 0;
    for (const QChar c : text.trimmed()) {
        if (!c.isDigit())
            break;
        n = n * 10 + c.digitValue();
    }
    return n;
}

QString yieldText(double output1, double output2, double output3)
{
    const auto t = [](double x) { return QString::number(x, 'g', 15); };
    if (output3 > 0)
        return t(output1) + QLatin1Char('/') + t(output2) + QLatin1Char('/') + t(output3);
    if (output2 > 0)
        return t(output1) + QLatin1Char('/') + t(output2);
    return t(output1);
}

std::optional<double> latestDeliveryPricePerGram(Database& db, qint64 productId, const QDate& date)
{
    const std::map<qint64, double> prices = latestDeliveryPrices(db, date, {productId});
    const auto it = prices.find(productId);
    if (it == prices.end())
        return std::nullopt;
    return it->second;
}

std::vector<CalcBlock> cardCalculation(Database& db, qint64 cardId, std::optional<qint64> eaterTypeId,
                                       const QDate& date)
{
    std::vector<CalcBlock> blocks;
    Statement head(db, QStringLiteral("SELECT fat, protein, carbohyd, calories, cost FROM card_recipes WHERE id = ?1"));
    head.bind(1, cardId);
    if (!head.next())
        return blocks;
    const double fat = num(head, 0), protein = num(head, 1), carbohyd = num(head, 2), calories = num(head, 3),
                 cost = num(head, 4);

    std::vector<std::pair<QString, double>> vitamins;
    Statement vit(db, QStringLiteral("SELECT v.shname, cv.kol FROM vitamin v LEFT JOIN card_vitamin cv ON "
                                     "cv.id_vitamin = v.id AND cv.id_card_recipes = ?1 "
                                     "WHERE COALESCE(v.ispCard, 0) <> 0 ORDER BY v.id"));
    vit.bind(1, cardId);
    while (vit.next())
        vitamins.emplace_back(vit.toString(0), num(vit, 1));

    struct Row {
        qint64 id, item, mainLine;
        bool isCard, isComment, isVariant;
        QString comment, name, unit, number, numrec;
        double brutto, netto, fat, protein, carbohyd, calories;
        double key;
    };
    std::vector<Row> rows;
    Statement lines(db, QStringLiteral(
                            "SELECT r.id, r.id_product, COALESCE(r.id_MainCard, 0), COALESCE(r.isCard, 0), "
                            "COALESCE(r.isComment, 0), COALESCE(r.isVariant, 0), r.comment, "
                            "CASE WHEN COALESCE(r.isCard, 0) <> 0 THEN c.cname ELSE p.pname END, "
                            "CASE WHEN COALESCE(r.isCard, 0) <> 0 THEN '' ELSE e.ename END, c.number1, c.numrec, "
                            "r.brutto, r.netto, "
                            "CASE WHEN COALESCE(r.isCard, 0) <> 0 THEN c.fat ELSE p.fat END, "
                            "CASE WHEN COALESCE(r.isCard, 0) <> 0 THEN c.protein ELSE p.protein END, "
                            "CASE WHEN COALESCE(r.isCard, 0) <> 0 THEN c.carbohyd ELSE p.carbohyd END, "
                            "CASE WHEN COALESCE(r.isCard, 0) <> 0 THEN c.calories ELSE p.calories END "
                            "FROM recipes r LEFT JOIN products p ON p.id = r.id_product "
                            "LEFT JOIN ed_izmer e ON e.id = p.id_ed_izmer "
                            "LEFT JOIN card_recipes c ON c.id = r.id_product "
                            "WHERE r.id_card_recipes = ?1 ORDER BY r.id"));
    lines.bind(1, cardId);
    while (lines.next()) {
        Row x{lines.toInt64(0), lines.toInt64(1), lines.toInt64(2), lines.toBool(3), lines.toBool(4),
              lines.toBool(5), lines.toString(6), lines.toString(7), lines.toString(8), lines.toString(9),
              lines.toString(10), num(lines, 11), num(lines, 12), num(lines, 13), num(lines, 14), num(lines, 15),
              num(lines, 16), 0.0};
        // A main line sorts at its id, its variants right behind it: main 12, variant 15 -> 12.1215.
        x.key = x.mainLine != 0
                    ? QStringLiteral("%1.%1%2").arg(x.mainLine).arg(x.id).toDouble()
                    : double(x.id);
        rows.push_back(std::move(x));
    }
    std::stable_sort(rows.begin(), rows.end(), [](const Row& a, const Row& b) { return a.key < b.key; });

    const int money = moneyPrecision();
    const bool seasonal = readOrganisationSwitches(db).sezonnost;
    std::map<qint64, std::optional<double>> lotPrice;  // product -> largest rounded price of a gram

    Statement yields(db, QStringLiteral(
                             "SELECT t.id, t.shname, o.output1, o.output2, o.output3 FROM output o "
                             "JOIN type_eating t ON t.id = o.id_type_eating "
                             "WHERE o.id_card_recipe = ?1 AND COALESCE(t.status, 0) <> 0 AND (?2 IS NULL OR t.id = ?2) "
                             "ORDER BY t.id"));
    yields.bind(1, cardId);
    yields.bind(2, eaterTypeId ? QVariant(*eaterTypeId) : QVariant());
    while (yields.next()) {
        CalcBlock b;
        b.eaterTypeId = yields.toInt64(0);
        b.eaterName = yields.toString(1);
        b.yield = num(yields, 2);
        b.yieldText = yieldText(b.yield, num(yields, 3), num(yields, 4));
        const double y = b.yield;
        b.fat = r(y * fat / 100.0, 2);
        b.protein = r(y * protein / 100.0, 2);
        b.carbohyd = r(y * carbohyd / 100.0, 2);
        b.calories = r(y * calories / 100.0, 2);
        for (const auto& [shname, kol] : vitamins)
            b.vitamins.emplace_back(shname, r(y * kol / 100.0, 3));
        b.plannedCost = cost * y / 100.0;
        for (const Row& x : rows) {
            CalcLine l;
            l.lineId = x.id;
            l.comment = x.isComment;
            l.productLine = !x.isComment && !x.isCard;
            l.variant = x.isVariant;
            if (x.isComment) {
                l.text = x.comment;
            } else {
                QString name = x.name;
                if (x.isCard) {
                    name += QStringLiteral(" №") + x.number;
                    const qint64 numrec = recipeNumberValue(x.numrec);
                    if (numrec != 0)
                        name += QStringLiteral(" (%1)").arg(numrec);
                }
                l.text = x.isVariant ? QStringLiteral("   или ") + name : name;
                l.unit = x.unit;
            }
            l.gross = r(x.brutto * y / 100.0, 2);
            l.net = r(x.netto * y / 100.0, 2);
            if (!x.isComment) {
                l.protein = r(x.protein * l.net / 100.0, 2);
                l.fat = r(x.fat * l.net / 100.0, 2);
                l.carbohyd = r(x.carbohyd * l.net / 100.0, 2);
                l.calories = r(x.calories * l.net / 100.0, 2);
            }
            if (l.productLine) {
                auto it = lotPrice.find(x.item);
                if (it == lotPrice.end()) {
                    // The largest price rounded is the largest of the rounded prices.
                    std::optional<double> best = latestDeliveryPricePerGram(db, x.item, date);
                    if (best)
                        best = r(*best, money);
                    it = lotPrice.emplace(x.item, best).first;
                }
                if (it->second) {
                    const double gross = seasonal ? seasonalGross(db, x.item, l.gross, date) : l.gross;
                    l.price = *it->second;
                    l.costGross = r(gross, money);
                    l.actualCost = r(l.price * l.costGross, money);
                }
            }
            b.lines.push_back(std::move(l));
        }
        blocks.push_back(std::move(b));
    }
    return blocks;
}

std::optional<double> cardMenuCost(Database& db, qint64 cardId, qint64 eaterTypeId, CostBasis basis,
                                   const QDate& date, Prompt* prompt, MenuPriceCache* cache)
{
    Statement st(db, QStringLiteral("SELECT o.output1, c.cost FROM output o JOIN card_recipes c ON c.id = o.id_card_recipe "
                                    "WHERE o.id_card_recipe = ?1 AND o.id_type_eating = ?2 ORDER BY o.id"));
    st.bindAll({cardId, eaterTypeId});
    if (!st.next())
        return std::nullopt;
    const double y = num(st, 0);
    if (basis == CostBasis::PlannedCardPrice)
        return num(st, 1) * y / 100.0;

    CardCalculator calc(db, prompt);
    const CardExpansion e = calc.expand(cardId, y);
    if (e.cycle)
        return std::nullopt;
    const int money = moneyPrecision();
    const bool seasonal = readOrganisationSwitches(db).sezonnost;
    MenuPriceCache own;
    MenuPriceCache& prices = cache ? *cache : own;
    double sum = 0;
    for (const ExpandedLine& l : e.lines) {
        auto it = prices.find(l.productId);
        if (it == prices.end()) {
            double price = 0;
            if (basis == CostBasis::LatestDelivery) {
                price = latestDeliveryPricePerGram(db, l.productId, date).value_or(0.0);
            } else {
                const QVariant v = db.scalar(QStringLiteral("SELECT p.plpris / e.koef FROM products p JOIN ed_izmer e ON "
                                                            "e.id = p.id_ed_izmer WHERE p.id = ?1 AND e.koef <> 0"),
                                             {l.productId});
                price = v.isNull() ? 0.0 : v.toDouble();
            }
            it = prices.emplace(l.productId, price).first;
        }
        const double gross = seasonal ? seasonalGross(db, l.productId, l.gross, date) : l.gross;
        sum += r(it->second * gross, money);
    }
    return r(sum, money);
}


MenuPriceCache menuPrices(Database& db, CostBasis basis, const QDate& date)
{
    MenuPriceCache prices;
    if (basis == CostBasis::PlannedProductPrice) {
        Statement st(db, QStringLiteral("SELECT p.id, p.plpris / e.koef FROM products p JOIN ed_izmer e ON "
                                        "e.id = p.id_ed_izmer WHERE e.koef <> 0"));
        while (st.next())
            prices[st.toInt64(0)] = num(st, 1);
        return prices;
    }
    if (basis != CostBasis::LatestDelivery)
        return prices;
    return latestDeliveryPrices(db, date);
}

MenuCosting::MenuCosting(Database& db, CostBasis basis, const QDate& date, const std::vector<qint64>& cards)
    : basis_(basis), date_(date), calc_(db, nullptr)
{
    if (basis_ == CostBasis::PlannedCardPrice)
        return;
    prices_ = menuPrices(db, basis, date);
    calc_.preloadCards(cards);
}

std::optional<double> MenuCosting::portionCost(qint64 cardId, double yieldGrams, double plannedCardCost)
{
    if (basis_ == CostBasis::PlannedCardPrice)
        return plannedCardCost * yieldGrams / 100.0;
    return calc_.portionCost(cardId, yieldGrams, prices_, date_);
}

} // namespace rat::books
