// The three analyses of a plan-menu and the choice of the plan-menu they run for: compliance
// with the product norms, the energy distribution over meals, repeated dishes.

#include "menu/PlanMenuAnalysis.h"
#include "core/DataHelpers.h"
#include "core/Database.h"
#include "core/Prompt.h"
#include "core/Rounding.h"
#include "core/Settings.h"
#include "menu/Norms.h"
#include "menu/PlanMenu.h"

#include <algorithm>
#include <map>
#include <set>
#include <unordered_map>

namespace rat::menu {

namespace {

const QString kChoiceKey = QStringLiteral("an");

struct RecipeLine {
    qint64 item = 0;  // the product, or the nested card
    double netto = 0;
    bool isCard = false;
};

// The recipes of every card, comment and variant lines left out, in line order.
std::unordered_map<qint64, std::vector<RecipeLine>> readRecipes(Database& db)
{
    std::unordered_map<qint64, std::vector<RecipeLine>> out;
    Statement st(db, QStringLiteral("SELECT id_card_recipes, COALESCE(id_product, 0), COALESCE(netto, 0), "
                                    "COALESCE(isCard, 0) FROM recipes WHERE COALESCE(isComment, 0) = 0 AND "
                                    "COALESCE(isVariant, 0) = 0 ORDER BY id_card_recipes, id"));
    while (st.next())
        out[st.toInt64(0)].push_back({st.toInt64(1), st.toDouble(2), st.toInt64(3) != 0});
    return out;
}

// The decimal places a product's planned grams are rounded to.
std::unordered_map<qint64, int> readProductDigits(Database& db)
{
    std::unordered_map<qint64, int> out;
    Statement st(db, QStringLiteral("SELECT id, COALESCE(rule_okr, 0) FROM products"));
    while (st.next()) {
        const int rule = int(st.toInt64(1));
        out.emplace(st.toInt64(0), rule > 0 ? rule - 1 : 3);
    }
    return out;
}

struct Expander {
    const std::unordered_map<qint64, std::vector<RecipeLine>>& recipes;
    const std::unordered_map<qint64, int>& digits;
    std::unordered_map<qint64, double>& planned;  // by product

    int digitsOf(qint64 product) const
    {
        const auto it = digits.find(product);
        return it == digits.end() ? 3 : it->second;
    }

    // A dish at its yield: its own lines at netto × yield / 100.
    void dish(qint64 card, double yield)
    {
        const auto it = recipes.find(card);
        if (it == recipes.end())
            return;
        for (const RecipeLine& l : it->second) {
            if (l.isCard) {
                nested(l.item, roundHalfEven(l.netto * yield / 100.0, 4), 0);
            } else {
                const int d = digitsOf(l.item);
                planned[l.item] += roundHalfEven(l.netto * yield / 100.0, d);
            }
        }
    }

    // A nested dish of `weight` grams: its lines per gram rounded first, then times the weight.
    void nested(qint64 card, double weight, int depth)
    {
        const auto it = recipes.find(card);
        if (it == recipes.end() || depth > 30)  // a damaged file that nests a card in itself
            return;
        for (const RecipeLine& l : it->second) {
            if (l.isCard) {
                nested(l.item, roundHalfEven(l.netto * weight / 100.0, 4), depth + 1);
            } else {
                const int d = digitsOf(l.item);
                planned[l.item] += roundHalfEven(roundHalfEven(l.netto / 100.0, d) * weight, d);
            }
        }
    }
};

struct EaterType {
    qint64 id;
    QString shname;
};

std::vector<EaterType> eaterTypesOf(Database& db, qint64 planMenu)
{
    std::vector<EaterType> out;
    Statement st(db, QStringLiteral("SELECT id, shname FROM type_eating WHERE id_type_menu = ?1 AND "
                                    "COALESCE(status, 0) <> 0 ORDER BY shname COLLATE RU, id"));
    st.bind(1, planMenu);
    while (st.next())
        out.push_back({st.toInt64(0), st.toString(1)});
    return out;
}

AnalysisRow boldRow(int columns, const QString& text)
{
    AnalysisRow r;
    r.bold = true;
    r.cells.assign(size_t(columns), QVariant());
    r.cells[0] = text;
    return r;
}

QString quotedTitle(Database& db, qint64 planMenu)
{
    return quoted(planMenuTitle(db, planMenu));
}

} // namespace

bool AnalysisRow::isRed(int column) const
{
    return std::find(redCells.begin(), redCells.end(), column) != redCells.end();
}

QString analysisCellText(const AnalysisRow& row, int column)
{
    const QVariant v = column < int(row.cells.size()) ? row.cells[size_t(column)] : QVariant();
    QString text;
    if (v.typeId() == QMetaType::Double)
        text = plainNumber(v.toDouble());
    else if (!v.isNull())
        text = v.toString();
    if (row.isRed(column))
        text.prepend(QLatin1Char('!'));
    if (row.bold && column == 0)
        text.prepend(QStringLiteral("**"));
    return text;
}

// ---- the choice ----

std::optional<AnalysisChoice> planMenusForAnalysis(Database& db, Prompt& prompt, AnalysisKind kind)
{
    AnalysisChoice c;
    Statement st(db, QStringLiteral("SELECT id, tname, sezon, status FROM type_menu ORDER BY tname COLLATE RU, sezon, id"));
    while (st.next()) {
        if (kind == AnalysisKind::Energy && st.toInt64(3) != byMeals)
            continue;
        c.ids.push_back(st.toInt64(0));
        c.titles << planMenuTitle(st.toString(1), st.value(2));
    }
    if (c.ids.empty()) {
        prompt.critical(QStringLiteral("Не заполнен справочник \"Типы меню\". Анализ меню невозможен."));
        return std::nullopt;
    }
    const qint64 last = Settings::value(QStringLiteral("User"), kChoiceKey).toLongLong();
    const auto it = std::find(c.ids.begin(), c.ids.end(), last);
    c.remembered = it == c.ids.end() ? -1 : int(it - c.ids.begin());
    return c;
}

bool checkPlanMenuForAnalysis(Database& db, Prompt& prompt, AnalysisKind kind, qint64 planMenu)
{
    Settings::setValue(QStringLiteral("User"), kChoiceKey, planMenu);
    if (db.scalar(QStringLiteral("SELECT COUNT(*) FROM plan_menu p JOIN days d ON d.id = p.id_day "
                                 "WHERE d.id_type_menu = ?1"),
                  {planMenu})
            .toLongLong() == 0) {
        prompt.critical(QStringLiteral("Невозможно выполнить анализ, так как выбранное Вами план-меню не заполнено."));
        return false;
    }
    if (kind == AnalysisKind::Norms &&
        db.scalar(QStringLiteral("SELECT COUNT(*) FROM norms n JOIN type_eating t ON t.id = n.id_type_eating "
                                 "WHERE t.id_type_menu = ?1 AND COALESCE(t.status, 0) <> 0 AND "
                                 "COALESCE(n.id_product, 0) <> 0"),
                  {planMenu})
                .toLongLong() == 0) {
        prompt.critical(QStringLiteral("Невозможно выполнить анализ плана-меню, так как на выбранный Вами тип меню не "
                                       "введены нормы питания."));
        return false;
    }
    if (kind == AnalysisKind::Energy &&
        db.scalar(QStringLiteral("SELECT COUNT(*) FROM RASPS_CALL r JOIN eating e ON e.id = r.id_eating")).toLongLong() == 0) {
        prompt.critical(QStringLiteral("Невозможно выполнить анализ распределения калорийности плана-меню, так как "
                                       "справочник распределения калорийности не заполнен."));
        return false;
    }
    return true;
}

std::optional<qint64> choosePlanMenuForAnalysis(Database& db, Prompt& prompt, AnalysisKind kind)
{
    const std::optional<AnalysisChoice> c = planMenusForAnalysis(db, prompt, kind);
    if (!c)
        return std::nullopt;
    const std::optional<int> i = prompt.choose(QStringLiteral("Анализ плана-меню"), QStringLiteral("Выберите план-меню"),
                                               c->titles);
    if (!i || *i < 0 || *i >= int(c->ids.size()))
        return std::nullopt;
    const qint64 id = c->ids[size_t(*i)];
    if (!checkPlanMenuForAnalysis(db, prompt, kind, id))
        return std::nullopt;
    return id;
}

// ---- compliance with the norms ----

AnalysisTable analyseNormCompliance(Database& db, Prompt& prompt, qint64 planMenu)
{
    AnalysisTable t;
    t.caption = QStringLiteral("Анализ плана-меню ") + quotedTitle(db, planMenu) +
                QStringLiteral(" на соответствие нормам питания");
    t.columns = {QStringLiteral("Продукт"), QStringLiteral("План, г"), QStringLiteral("Норма, г"),
                 QStringLiteral("Отклонение, +/-"), QStringLiteral("План к норме, %")};
    const int width = int(t.columns.size());

    const auto recipes = readRecipes(db);
    const auto digits = readProductDigits(db);
    const std::vector<EaterType> types = eaterTypesOf(db, planMenu);
    const int days = int(db.scalar(QStringLiteral("SELECT COUNT(*) FROM days WHERE id_type_menu = ?1"), {planMenu})
                             .toLongLong());

    // The dishes of the cycle with their yields per eater type.
    struct Dish {
        qint64 card;
        std::unordered_map<qint64, double> yields;
    };
    std::vector<Dish> dishes;
    {
        std::map<qint64, size_t> cardIndex;
        Statement st(db, QStringLiteral("SELECT p.id_card_recipes FROM plan_menu p JOIN days d ON d.id = p.id_day "
                                        "WHERE d.id_type_menu = ?1 ORDER BY d.id, p.id"));
        st.bind(1, planMenu);
        while (st.next())
            dishes.push_back({st.toInt64(0), {}});
        Statement y(db, QStringLiteral("SELECT o.id_card_recipe, o.id_type_eating, COALESCE(o.output1, 0) FROM output o "
                                       "JOIN type_eating t ON t.id = o.id_type_eating WHERE t.id_type_menu = ?1 "
                                       "ORDER BY o.id"));
        y.bind(1, planMenu);
        std::map<std::pair<qint64, qint64>, double> yields;
        while (y.next())
            yields.emplace(std::make_pair(y.toInt64(0), y.toInt64(1)), y.toDouble(2));
        for (Dish& d : dishes)
            for (const EaterType& type : types) {
                const auto it = yields.find({d.card, type.id});
                if (it != yields.end())
                    d.yields[type.id] = it->second;
            }
    }

    Statement normsSt(db, QStringLiteral("SELECT n.gname, n.norm, COALESCE(n.id_product, 0), p.pname FROM norms n "
                                         "LEFT JOIN products p ON p.id = n.id_product WHERE n.id_type_eating = ?1 AND "
                                         "n.norm IS NOT NULL AND n.norm <> '' "
                                         "ORDER BY n.gname COLLATE RU, p.pname COLLATE RU, n.id"));
    for (const EaterType& type : types) {
        // p: per product, the whole cycle's planned grams.
        std::unordered_map<qint64, double> planned;
        Expander ex{recipes, digits, planned};
        for (const Dish& d : dishes) {
            const auto it = d.yields.find(type.id);
            if (it != d.yields.end())
                ex.dish(d.card, it->second);
        }

        struct Line {
            QString group, product;
            double norm, plan, deviation, percent;
        };
        std::vector<Line> lines;
        normsSt.reset();
        normsSt.bind(1, type.id);
        while (normsSt.next()) {
            const auto it = planned.find(normsSt.toInt64(2));
            const double p = it == planned.end() ? 0.0 : roundHalfEven(it->second, 2);
            const double norm = normsSt.toDouble(1);
            Line l{normsSt.toString(0), normsSt.toString(3), norm, days > 0 ? roundHalfEven(p / days, 2) : 0.0, 0, 0};
            if (norm > 0 && days > 0) {
                l.percent = roundHalfEven(p / norm / days * 100.0, 2);
                l.deviation = roundHalfEven(p / days - norm, 2);
            }
            lines.push_back(l);
        }
        if (lines.empty())
            continue;

        t.rows.push_back(boldRow(width, type.shname));
        for (size_t i = 0; i < lines.size();) {
            size_t end = i;
            bool served = false;
            while (end < lines.size() && lines[end].group.compare(lines[i].group, Qt::CaseInsensitive) == 0) {
                served = served || lines[end].plan > 0;
                ++end;
            }
            const double norm = lines[i].norm;
            AnalysisRow head = boldRow(width, lines[i].group);
            head.cells[2] = norm;
            t.rows.push_back(head);
            double total = 0;
            for (size_t k = i; k < end; ++k) {
                const Line& l = lines[k];
                if (served && !(l.plan > 0))
                    continue;
                total += l.plan;
                AnalysisRow r;
                r.cells = {l.product, l.plan, l.norm, l.deviation, l.percent};
                t.rows.push_back(r);
            }
            total = roundHalfEven(total, 2);
            AnalysisRow sum = boldRow(width, QStringLiteral("Итог"));
            sum.cells[1] = total;
            sum.cells[2] = norm;
            sum.cells[3] = norm > 0 ? roundHalfEven(total - norm, 2) : 0.0;
            sum.cells[4] = norm > 0 ? roundHalfEven(total / norm * 100.0, 2) : 0.0;
            t.rows.push_back(sum);
            i = end;
        }
    }
    prompt.status(QStringLiteral("Анализ плана-меню выполнен."));
    return t;
}

// ---- energy distribution ----

AnalysisTable analyseEnergyDistribution(Database& db, qint64 planMenu, std::optional<qint64> onlyDay)
{
    AnalysisTable t;
    t.caption = QStringLiteral("Анализ распределения калорийности плана-меню ") + quotedTitle(db, planMenu);
    t.columns = {QStringLiteral("Прием пищи"), QStringLiteral("План, %"), QStringLiteral("Норма, %")};
    const int width = int(t.columns.size());

    double share = db.scalar(QStringLiteral("SELECT sumdolpotr FROM type_menu WHERE id = ?1"), {planMenu}).toDouble();
    if (share == 0)
        share = 100;

    struct Meal {
        qint64 id;
        QString name, norm;
    };
    std::vector<Meal> meals;
    {
        std::set<qint64> seen;
        Statement st(db, QStringLiteral("SELECT e.id, e.ename, r.status, r.proz1, r.proz2 FROM RASPS_CALL r "
                                        "JOIN eating e ON e.id = r.id_eating ORDER BY e.id, r.IDRC"));
        while (st.next())
            if (seen.insert(st.toInt64(0)).second)
                meals.push_back({st.toInt64(0), st.toString(1),
                                 energyShareText(st.value(2), st.value(3), st.value(4), QStringLiteral(" - "))});
    }
    const std::vector<EaterType> types = eaterTypesOf(db, planMenu);

    // Energy per (day, type, meal) of the dish rows, at their yields.
    struct Key {
        qint64 day, type, meal;
        bool operator<(const Key& o) const { return std::tie(day, type, meal) < std::tie(o.day, o.type, o.meal); }
    };
    std::map<Key, double> energy;
    Statement st(db, QStringLiteral("SELECT p.id_day, o.id_type_eating, COALESCE(p.id_eating, 0), "
                                    "COALESCE(o.output1, 0) * COALESCE(c.calories, 0) / 100.0 FROM plan_menu p "
                                    "JOIN days d ON d.id = p.id_day JOIN output o ON o.id_card_recipe = p.id_card_recipes "
                                    "JOIN card_recipes c ON c.id = p.id_card_recipes WHERE d.id_type_menu = ?1"));
    st.bind(1, planMenu);
    while (st.next())
        energy[{st.toInt64(0), st.toInt64(1), st.toInt64(2)}] += st.toDouble(3);

    // One table: the eater types, each with its meals, over the days `inDay` accepts.
    auto block = [&](auto inDay) {
        for (const EaterType& type : types) {
            double all = 0;
            std::map<qint64, double> byMeal;
            std::set<qint64> served;
            for (const auto& [k, v] : energy)
                if (k.type == type.id && inDay(k.day)) {
                    all += v;
                    byMeal[k.meal] += v;
                    served.insert(k.meal);
                }
            const double calf = roundHalfEven(all, 1);
            t.rows.push_back(boldRow(width, type.shname));
            for (const Meal& m : meals) {
                AnalysisRow r;
                r.cells = {m.name, QVariant(), m.norm};
                if (served.count(m.id) && calf != 0)
                    r.cells[1] = roundHalfEven(roundHalfEven(byMeal[m.id], 1) / calf * share, 1);
                t.rows.push_back(r);
            }
        }
    };

    if (!onlyDay)
        block([](qint64) { return true; });
    Statement days(db, QStringLiteral("SELECT id, dname FROM days WHERE id_type_menu = ?1 ORDER BY id"));
    days.bind(1, planMenu);
    while (days.next()) {
        const qint64 day = days.toInt64(0);
        if (onlyDay && *onlyDay != day)
            continue;
        t.rows.push_back(boldRow(width, days.toString(1)));
        block([day](qint64 d) { return d == day; });
    }
    return t;
}

// ---- repeats ----

AnalysisTable analyseRepeats(Database& db, qint64 planMenu)
{
    AnalysisTable t;
    t.caption = QStringLiteral("Анализ плана-меню ") + quotedTitle(db, planMenu) +
                QStringLiteral(" на повтор блюд в разрезе 3х дней");
    t.columns = {QStringLiteral("№ карты/№ рецептуры"), QStringLiteral("Блюдо")};

    std::vector<qint64> days;
    {
        Statement st(db, QStringLiteral("SELECT id, dname FROM days WHERE id_type_menu = ?1 ORDER BY id"));
        st.bind(1, planMenu);
        while (st.next()) {
            days.push_back(st.toInt64(0));
            t.columns << st.toString(1);
        }
    }
    const int n = int(days.size());

    // Days are compared by their ids; the cycle's first two and last two days also meet.
    auto repeat = [&](int a, int b) {
        if (a == b)
            return false;
        if (a > b)
            std::swap(a, b);
        if (days[size_t(b)] - days[size_t(a)] <= 2)
            return true;
        if (n < 2)
            return false;
        const int f1 = 0, f2 = 1, l1 = n - 2, l2 = n - 1;
        return (a == f1 && b == l2) || (a == f1 && b == l1) || (a == f2 && b == l2);
    };

    Statement st(db, QStringLiteral("SELECT c.id, c.cname, c.number1, c.numRec, p.id_day FROM plan_menu p "
                                    "JOIN days d ON d.id = p.id_day JOIN card_recipes c ON c.id = p.id_card_recipes "
                                    "WHERE d.id_type_menu = ?1 ORDER BY c.cname COLLATE RU, c.id, d.id"));
    st.bind(1, planMenu);
    qint64 current = -1;
    std::set<int> served;
    AnalysisRow row;
    auto finish = [&] {
        if (current < 0)
            return;
        for (int a : served) {
            row.cells[size_t(a + 2)] = QStringLiteral("+");
            for (int b : served)
                if (repeat(a, b)) {
                    row.redCells.push_back(a + 2);
                    break;
                }
        }
        t.rows.push_back(row);
    };
    while (st.next()) {
        const qint64 card = st.toInt64(0);
        if (card != current) {
            finish();
            current = card;
            served.clear();
            row = AnalysisRow();
            row.cells.assign(size_t(2 + n), QVariant());
            QString number = st.toString(2);
            if (!st.toString(3).isEmpty())
                number += QLatin1Char('/') + st.toString(3);
            row.cells[0] = number;
            row.cells[1] = st.toString(1);
        }
        const auto it = std::find(days.begin(), days.end(), st.toInt64(4));
        if (it != days.end())
            served.insert(int(it - days.begin()));
    }
    finish();
    return t;
}

AnalysisTable runAnalysis(Database& db, Prompt& prompt, AnalysisKind kind, qint64 planMenu)
{
    switch (kind) {
    case AnalysisKind::Norms: return analyseNormCompliance(db, prompt, planMenu);
    case AnalysisKind::Energy: return analyseEnergyDistribution(db, planMenu);
    default: return analyseRepeats(db, planMenu);
    }
}

} // namespace rat::menu
