// The rows of a day-menu document: one per dish and eater type with its yield, nutrients and
// cost at the chosen basis, the captions, the total and its label.

#include "menu/DayMenu.h"
#include "menu/DayMenuShared.h"

#include "core/Database.h"
#include "core/DataHelpers.h"
#include "core/Parameters.h"
#include "core/Rounding.h"
#include "refbooks/BookCatalogue.h"
#include "refbooks/BookList.h"
#include "refbooks/CardCalc.h"

#include <QString>
#include <map>
#include <tuple>

namespace rat::menu {

namespace {

const QString kLatestDelivery = QStringLiteral("По последней поставке");
const QString kPlannedProducts = QStringLiteral("По плановой цене продуктов");
const QString kPlannedCards = QStringLiteral("По плановой цене тех.карт");

// The joins and order of the grid in a mode. A dish without a yield for an eater type has no
// row for it.
QString rowSql(MenuMode mode)
{
    const QString groupJoin = mode == MenuMode::ByMeals
                                  ? QStringLiteral("LEFT JOIN eating g ON g.id = p.id_eating ")
                                  : QStringLiteral("LEFT JOIN type_meal g ON g.id = c.id_type_meal ");
    const QString group = mode == MenuMode::ByMeals ? QStringLiteral("g.ename") : QStringLiteral("g.tname");
    const QString order = mode == MenuMode::ByMeals ? QStringLiteral("p.id_eating, p.id, t.id, q.id")
                                                    : QStringLiteral("p.id, c.id_type_meal, t.id, q.id");
    return QStringLiteral("SELECT p.id, q.id, q.id_type_eating, p.id_card_recipe, p.id_eating, t.shname, "
                          "COALESCE(q.quantity, 0), ") +
           group +
           QStringLiteral(", c.cname, c.number1, c.numRec, o.output1, o.output2, o.output3, "
                          "c.fat, c.protein, c.carbohyd, c.calories, c.b1, c.b2, c.c, c.ca, c.fe, c.cost "
                          "FROM day_menu_point p "
                          "JOIN quantity_eating q ON q.id_day_menu_point = p.id "
                          "JOIN type_eating t ON t.id = q.id_type_eating "
                          "JOIN card_recipes c ON c.id = p.id_card_recipe "
                          "JOIN output o ON o.id_card_recipe = p.id_card_recipe AND o.id_type_eating = q.id_type_eating ") +
           groupJoin + QStringLiteral("WHERE p.id_day_menu = ?1 ORDER BY ") + order;
}

QString dishName(const QString& name, const QString& number, const QString& numrec)
{
    QString s = name;
    if (!number.trimmed().isEmpty())
        s += QStringLiteral(" №") + number;
    if (!numrec.trimmed().isEmpty())
        s += QLatin1Char('/') + numrec;
    return s;
}

double perPortion(double per100, double yield, int digits)
{
    return roundHalfEven(per100 * yield / 100.0, digits);
}

struct RowRead {
    DayMenuRow row;
    double output1 = 0;
    double cardCost = 0;  // the card's planned cost of 100 g
};

// The yield a card is costed at for an eater type: its first yield row for it.
std::map<std::pair<qint64, qint64>, double> firstYields(Database& db, qint64 dayMenuId)
{
    std::map<std::pair<qint64, qint64>, double> out;
    Statement st(db, QStringLiteral("SELECT id_card_recipe, id_type_eating, output1 FROM output WHERE id_card_recipe IN "
                                    "(SELECT id_card_recipe FROM day_menu_point WHERE id_day_menu = ?1) ORDER BY id"));
    st.bind(1, dayMenuId);
    while (st.next())
        out.try_emplace({st.toInt64(0), st.toInt64(1)}, st.isNull(2) ? 0.0 : st.toDouble(2));
    return out;
}

std::vector<RowRead> readRows(Database& db, qint64 dayMenuId, bool withValues)
{
    std::vector<RowRead> out;
    Statement st(db, rowSql(dayMenuMode(db, dayMenuId)));
    st.bind(1, dayMenuId);
    const auto n = [&](int col) { return st.isNull(col) ? 0.0 : st.toDouble(col); };
    while (st.next()) {
        RowRead r;
        DayMenuRow& row = r.row;
        row.pointId = st.toInt64(0);
        row.quantityId = st.toInt64(1);
        row.eaterTypeId = st.toInt64(2);
        row.cardId = st.toInt64(3);
        row.eatingKey = st.toInt64(4);
        row.eaterType = st.toString(5);
        row.quantity = st.toInt64(6);
        row.group = st.toString(7);
        row.dish = dishName(st.toString(8), st.toString(9), st.toString(10));
        r.output1 = n(11);
        if (withValues) {
            const double o2 = n(12), o3 = n(13);
            // Every part with the decimal comma of the grid's other figures.
            const auto part = [](double x) { return plainNumber(x).replace(QLatin1Char('.'), QLatin1Char(',')); };
            if (o3 > 0)
                row.yield = part(r.output1) + QLatin1Char('/') + part(o2) + QLatin1Char('/') + part(o3);
            else if (o2 > 0)
                row.yield = part(r.output1) + QStringLiteral(" / ") + part(o2);
            else
                row.yield = part(r.output1);
            row.fat = perPortion(n(14), r.output1, 2);
            row.protein = perPortion(n(15), r.output1, 2);
            row.carbohydrates = perPortion(n(16), r.output1, 2);
            row.calories = perPortion(n(17), r.output1, 2);
            row.b1 = perPortion(n(18), r.output1, 3);
            row.b2 = perPortion(n(19), r.output1, 3);
            row.c = perPortion(n(20), r.output1, 3);
            row.ca = perPortion(n(21), r.output1, 3);
            row.fe = perPortion(n(22), r.output1, 3);
            r.cardCost = n(23);
        }
        out.push_back(std::move(r));
    }
    return out;
}

// The item of a code; an unknown code or none selects the first item.
size_t basisIndex(const std::vector<CostBasisItem>& items, std::optional<int> code)
{
    if (code)
        for (size_t i = 0; i < items.size(); ++i)
            if (items[i].code == *code)
                return i;
    return 0;
}

books::CostBasis basisOf(const QString& text)
{
    if (text == kLatestDelivery)
        return books::CostBasis::LatestDelivery;
    if (text == kPlannedProducts)
        return books::CostBasis::PlannedProductPrice;
    return books::CostBasis::PlannedCardPrice;
}

QString totalText(double total)
{
    return plainNumber(total).replace(QLatin1Char('.'), QLatin1Char(','));
}

} // namespace

namespace detail {

std::vector<DayMenuRow> dayMenuRowKeys(Database& db, qint64 dayMenuId)
{
    std::vector<DayMenuRow> rows;
    for (RowRead& r : readRows(db, dayMenuId, false))
        rows.push_back(std::move(r.row));
    return rows;
}

} // namespace detail

std::vector<CostBasisItem> costBasisItems(Database& db)
{
    if (detail::stockAccountingOn(db))
        return {{kLatestDelivery, 0}, {kPlannedProducts, 1}, {kPlannedCards, 2}};
    return {{kPlannedProducts, 0}, {kPlannedCards, 1}};
}

DayMenuRows dayMenuRows(Database& db, qint64 dayMenuId, std::optional<int> basisCode, const QDate& date)
{
    DayMenuRows result;
    const QString currency = books::currencyShortName(db);
    const std::vector<CostBasisItem> items = costBasisItems(db);
    const CostBasisItem& item = items[basisIndex(items, basisCode)];
    const books::CostBasis basis = basisOf(item.text);
    result.basisCode = item.code;
    const MenuMode mode = dayMenuMode(db, dayMenuId);

    result.captions = {QStringLiteral("Тип довольствующихся"),
                       QStringLiteral("Количество"),
                       mode == MenuMode::ByMeals ? QStringLiteral("Прием пищи") : QStringLiteral("Категория блюда"),
                       QStringLiteral("Блюдо"),
                       QStringLiteral("Выход, г"),
                       QStringLiteral("Стоимость ") + item.text.toLower() + QStringLiteral(", ") + currency,
                       QStringLiteral("Сумма, ") + currency,
                       QStringLiteral("Жиры, г"),
                       QStringLiteral("Белки, г"),
                       QStringLiteral("Углеводы, г"),
                       QStringLiteral("Калорийность, ккал"),
                       QStringLiteral("В1, мг"),
                       QStringLiteral("В2, мг"),
                       QStringLiteral("С, мг"),
                       QStringLiteral("Са, мг"),
                       QStringLiteral("Fe, мг")};

    const int money = moneyDecimals();
    // A card costs the same at the same yield for every eater type and point; the prices and
    // the cards are read once for the whole menu.
    std::vector<RowRead> read = readRows(db, dayMenuId, true);
    std::vector<qint64> cards;
    for (const RowRead& r : read)
        cards.push_back(r.row.cardId);
    books::MenuCosting costing(db, basis, date, cards);
    const auto yields = firstYields(db, dayMenuId);
    std::map<std::pair<qint64, double>, double> costs;
    for (RowRead& r : read) {
        DayMenuRow& row = r.row;
        const auto y = yields.find({row.cardId, row.eaterTypeId});
        const double yield = y == yields.end() ? r.output1 : y->second;
        const auto key = std::make_pair(row.cardId, yield);
        auto it = costs.find(key);
        if (it == costs.end()) {
            const auto cost = costing.portionCost(row.cardId, yield, r.cardCost);
            it = costs.emplace(key, roundHalfEven(cost.value_or(0.0), money)).first;
        }
        row.portionCost = it->second;
        row.sum = roundHalfEven(row.portionCost * double(row.quantity), money);
        result.total += row.sum;
        result.rows.push_back(std::move(row));
    }
    result.total = roundHalfEven(result.total, money);

    if (result.rows.empty())
        result.totalLabel = QStringLiteral("Итого: 0 ") + currency;
    else if (basis == books::CostBasis::LatestDelivery)
        result.totalLabel = QStringLiteral("Итого (c учетом округлений по каждому блюду): ") + totalText(result.total) +
                            QLatin1Char(' ') + currency;
    else
        result.totalLabel = QStringLiteral("Итого: ") + totalText(result.total) + QLatin1Char(' ') + currency;
    return result;
}

QStringList rowCells(const DayMenuRow& row)
{
    const int money = moneyDecimals();
    return {row.eaterType,
            QString::number(row.quantity),
            row.group,
            row.dish,
            row.yield,
            books::displayNumber(row.portionCost, money),
            books::displayNumber(row.sum, money),
            books::displayNumber(row.fat, 2),
            books::displayNumber(row.protein, 2),
            books::displayNumber(row.carbohydrates, 2),
            books::displayNumber(row.calories, 2),
            books::displayNumber(row.b1, 3),
            books::displayNumber(row.b2, 3),
            books::displayNumber(row.c, 3),
            books::displayNumber(row.ca, 3),
            books::displayNumber(row.fe, 3)};
}

DayMenuRows updateDayMenuTotal(Database& db, qint64 dayMenuId, std::optional<int> basisCode, const QDate& date)
{
    DayMenuRows rows = dayMenuRows(db, dayMenuId, basisCode, date);
    db.exec(QStringLiteral("UPDATE day_menu SET sum = ?1, filtr = ?2 WHERE id = ?3"),
            {rows.total, rows.basisCode, dayMenuId});
    return rows;
}

} // namespace rat::menu
