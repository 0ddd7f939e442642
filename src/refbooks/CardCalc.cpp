// The calculations of a technological card: its expansion into products, its nutrient value
// and cost, and the card calculation view per eater type.

#include "refbooks/CardCalc.h"

#include "core/AppState.h"
#include "core/Clock.h"
#include "core/Database.h"
#include "core/Parameters.h"
#include "core/Prompt.h"
#include "core/Rounding.h"
#include "refbooks/BookCatalogue.h"
#include "refbooks/BookList.h"
#include "refbooks/BookRules.h"
#include "refbooks/SeasonalLosses.h"

#include <algorithm>
#include <map>
#include <set>

namespace rat::books {

namespace {

double r(double x, int digits) { return roundHalfEven(x, digits); }

double num(const Statement& st, int col) { return st.isNull(col) ? 0.0 : st.toDouble(col); }

// A counted recipe line (neither comment nor variant).
struct Line {
    qint64 id = 0;
    qint64 item = 0;  // product, or card for a nested dish
    bool isCard = false;
    double brutto = 0, netto = 0;
};

struct CardInfo {
    bool exists = false;
    QString name;
    double prFat = 0, prProtein = 0, prCarbohyd = 0, prCalories = 0;
    int vih = 100;
    std::map<qint64, double> kolpr;  // by vitamin, as stored (a missing loss counts as 0)
    std::map<qint64, bool> kolprStored;
    std::vector<Line> lines;
};

struct ProductInfo {
    QString name;
    double fat = 0, protein = 0, carbohyd = 0, calories = 0, procNe = 0;
    double plannedPricePerGram = 0;  // plpris / koef; 0 without a price or a unit weight
    bool hasVitamins = false;
    std::vector<std::pair<qint64, double>> vitamins;
    bool hasPeriods = false;
    std::vector<SeasonPeriod> periods;
};

// Columns from `at` on: pname, fat, protein, carbohyd, calories, procNe, plpris, unit koef.
void readProduct(const Statement& st, int at, ProductInfo& p)
{
    p.name = st.toString(at);
    p.fat = num(st, at + 1);
    p.protein = num(st, at + 2);
    p.carbohyd = num(st, at + 3);
    p.calories = num(st, at + 4);
    p.procNe = num(st, at + 5);
    const double koef = num(st, at + 7);
    p.plannedPricePerGram = koef != 0 ? num(st, at + 6) / koef : 0.0;
}

struct CycleError {
    qint64 cardId;
};

} // namespace

QString nestingCycleMessage(const QString& cardName)
{
    return QStringLiteral("Технологическая карта \"%1\" содержит саму себя среди вложенных блюд. "
                          "Расчет невозможен, исправьте рецептуру.")
        .arg(cardName);
}

int moneyPrecision()
{
    return app().roundingDigits;
}

struct CardCalculator::Impl {
    Database& db;
    Prompt* prompt;
    Statement cardSt, linesSt, kolprSt, productSt, productVitSt;
    Statement updateSt, deleteVitSt, insertVitSt, costSt;
    std::map<qint64, CardInfo> cards;
    std::map<qint64, ProductInfo> products;
    std::map<qint64, double> costs;
    std::vector<std::pair<qint64, QString>> cardVitamins;
    bool seasonal = false;
    QDate today;

    Impl(Database& d, Prompt* p)
        : db(d), prompt(p),
          cardSt(d, QStringLiteral("SELECT cname, pr_fat, pr_protein, pr_carbohyd, pr_calories, vih FROM card_recipes "
                                   "WHERE id = ?1")),
          linesSt(d, QStringLiteral("SELECT id, id_product, isCard, brutto, netto FROM recipes WHERE id_card_recipes = ?1 "
                                    "AND COALESCE(isComment, 0) = 0 AND COALESCE(isVariant, 0) = 0 ORDER BY id")),
          kolprSt(d, QStringLiteral("SELECT id_vitamin, kolpr FROM card_vitamin WHERE id_card_recipes = ?1 ORDER BY IDcv")),
          productSt(d, QStringLiteral("SELECT p.pname, p.fat, p.protein, p.carbohyd, p.calories, p.procNe, p.plpris, e.koef "
                                      "FROM products p LEFT JOIN ed_izmer e ON e.id = p.id_ed_izmer WHERE p.id = ?1")),
          productVitSt(d, QStringLiteral("SELECT id_vitamin, quantity FROM vitamin_quantity WHERE id_product = ?1 "
                                         "ORDER BY id")),
          updateSt(d, QStringLiteral("UPDATE card_recipes SET fat = ?1, protein = ?2, carbohyd = ?3, calories = ?4, "
                                     "fat_vih = ?5, protein_vih = ?6, carbohyd_vih = ?7, calories_vih = ?8 WHERE id = ?9")),
          deleteVitSt(d, QStringLiteral("DELETE FROM card_vitamin WHERE id_card_recipes = ?1")),
          insertVitSt(d, QStringLiteral("INSERT INTO card_vitamin (id_vitamin, id_card_recipes, kol, kol_vih, kolpr, vih) "
                                        "VALUES (?1, ?2, ?3, ?4, ?5, ?6)")),
          costSt(d, QStringLiteral("UPDATE card_recipes SET cost = ?1 WHERE id = ?2"))
    {
        cardVitamins = vitaminsOf(d, VitaminSet::ForCards);
        seasonal = d.scalar(QStringLiteral("SELECT Sezonnost FROM INF")).toInt() != 0;
        today = Clock::today();
    }

    const CardInfo& card(qint64 id)
    {
        auto it = cards.find(id);
        if (it != cards.end())
            return it->second;
        CardInfo c;
        cardSt.reset();
        cardSt.bind(1, id);
        if (cardSt.next()) {
            c.exists = true;
            c.name = cardSt.toString(0);
            c.prFat = num(cardSt, 1);
            c.prProtein = num(cardSt, 2);
            c.prCarbohyd = num(cardSt, 3);
            c.prCalories = num(cardSt, 4);
            c.vih = cardSt.isNull(5) ? 100 : int(cardSt.toInt64(5));
        }
        cardSt.reset();
        if (c.exists) {
            linesSt.reset();
            linesSt.bind(1, id);
            while (linesSt.next())
                c.lines.push_back({linesSt.toInt64(0), linesSt.toInt64(1), linesSt.toBool(2), num(linesSt, 3),
                                   num(linesSt, 4)});
            linesSt.reset();
            kolprSt.reset();
            kolprSt.bind(1, id);
            while (kolprSt.next()) {
                const qint64 v = kolprSt.toInt64(0);
                if (c.kolprStored.count(v))
                    continue;
                c.kolpr[v] = num(kolprSt, 1);
                c.kolprStored[v] = !kolprSt.isNull(1);
            }
            kolprSt.reset();
        }
        return cards.emplace(id, std::move(c)).first->second;
    }

    ProductInfo& product(qint64 id)
    {
        auto it = products.find(id);
        if (it != products.end())
            return it->second;
        ProductInfo p;
        productSt.reset();
        productSt.bind(1, id);
        if (productSt.next())
            readProduct(productSt, 0, p);
        productSt.reset();
        return products.emplace(id, std::move(p)).first->second;
    }

    // Reads every card, line, card loss and product with its vitamins in one pass each: the
    // lines have no index by card, so a batch reads them once instead of once per card.
    void preload()
    {
        Statement heads(db, QStringLiteral("SELECT id, cname, pr_fat, pr_protein, pr_carbohyd, pr_calories, vih "
                                           "FROM card_recipes"));
        while (heads.next()) {
            CardInfo& c = cards[heads.toInt64(0)];
            c = CardInfo{};
            c.exists = true;
            c.name = heads.toString(1);
            c.prFat = num(heads, 2);
            c.prProtein = num(heads, 3);
            c.prCarbohyd = num(heads, 4);
            c.prCalories = num(heads, 5);
            c.vih = heads.isNull(6) ? 100 : int(heads.toInt64(6));
        }
        Statement all(db, QStringLiteral("SELECT id_card_recipes, id, id_product, isCard, brutto, netto FROM recipes "
                                         "WHERE COALESCE(isComment, 0) = 0 AND COALESCE(isVariant, 0) = 0 ORDER BY id"));
        while (all.next()) {
            const auto it = cards.find(all.toInt64(0));
            if (it != cards.end())
                it->second.lines.push_back({all.toInt64(1), all.toInt64(2), all.toBool(3), num(all, 4), num(all, 5)});
        }
        Statement losses(db, QStringLiteral("SELECT id_card_recipes, id_vitamin, kolpr FROM card_vitamin ORDER BY IDcv"));
        while (losses.next()) {
            const auto it = cards.find(losses.toInt64(0));
            if (it == cards.end() || it->second.kolprStored.count(losses.toInt64(1)))
                continue;
            it->second.kolpr[losses.toInt64(1)] = num(losses, 2);
            it->second.kolprStored[losses.toInt64(1)] = !losses.isNull(2);
        }
        Statement prods(db, QStringLiteral("SELECT p.id, p.pname, p.fat, p.protein, p.carbohyd, p.calories, p.procNe, "
                                           "p.plpris, e.koef FROM products p LEFT JOIN ed_izmer e ON e.id = p.id_ed_izmer"));
        while (prods.next()) {
            ProductInfo& p = products[prods.toInt64(0)];
            p = ProductInfo{};
            readProduct(prods, 1, p);
            p.hasVitamins = true;
        }
        Statement vits(db, QStringLiteral("SELECT id_product, id_vitamin, quantity FROM vitamin_quantity ORDER BY id"));
        while (vits.next()) {
            const auto it = products.find(vits.toInt64(0));
            if (it == products.end())
                continue;
            auto& list = it->second.vitamins;
            const qint64 v = vits.toInt64(1);
            if (std::none_of(list.begin(), list.end(), [v](const auto& x) { return x.first == v; }))
                list.emplace_back(v, num(vits, 2));
        }
    }

    const std::vector<std::pair<qint64, double>>& productVitamins(qint64 id)
    {
        ProductInfo& p = product(id);
        if (!p.hasVitamins) {
            p.hasVitamins = true;
            productVitSt.reset();
            productVitSt.bind(1, id);
            std::set<qint64> seen;
            while (productVitSt.next())
                if (seen.insert(productVitSt.toInt64(0)).second)
                    p.vitamins.emplace_back(productVitSt.toInt64(0), num(productVitSt, 1));
            productVitSt.reset();
        }
        return p.vitamins;
    }

    // The gross weight a cost uses: seasonally adjusted while the switch is on.
    double costGross(qint64 productId, double grams, const QDate& date)
    {
        if (!seasonal)
            return grams;
        ProductInfo& p = product(productId);
        if (!p.hasPeriods) {
            p.hasPeriods = true;
            p.periods = seasonPeriods(db, productId);
        }
        return seasonalGross(p.periods, grams, date);
    }

    void tellCycle(qint64 cardId, QString* message)
    {
        const QString text = nestingCycleMessage(card(cardId).name);
        if (message)
            *message = text;
        if (prompt)
            prompt->critical(text);
    }

    // Walks the counted product lines of `cardId` at factor F (the yield in grams; nested lines
    // at netto × F / 100). `visit(line, owner, F, depth)`. Throws CycleError.
    template <class Visit>
    void walk(qint64 cardId, double f, int depth, std::vector<qint64>& path, Visit&& visit)
    {
        if (std::find(path.begin(), path.end(), cardId) != path.end())
            throw CycleError{cardId};
        path.push_back(cardId);
        // The lines are copied: reading a nested card may grow the cache.
        const std::vector<Line> lines = card(cardId).lines;
        for (const Line& l : lines) {
            if (l.isCard)
                walk(l.item, l.netto * f / 100.0, depth + 1, path, visit);
            else
                visit(l, cardId, f, depth);
        }
        path.pop_back();
    }

    CardExpansion expand(qint64 cardId, double y)
    {
        CardExpansion e;
        std::vector<qint64> path;
        try {
            walk(cardId, y, 0, path, [&](const Line& l, qint64 owner, double f, int depth) {
                e.lines.push_back({l.id, l.item, product(l.item).name, owner, depth, l.brutto * f / 100.0,
                                   l.netto * f / 100.0});
            });
        } catch (const CycleError& c) {
            e.lines.clear();
            e.cycle = true;
            tellCycle(c.cardId, &e.message);
        }
        return e;
    }

    std::optional<NutrientValues> nutrients(qint64 cardId)
    {
        const CardInfo top = card(cardId);
        if (!top.exists)
            return std::nullopt;

        // The expansion at 100 g: the card's own lines at their net weight, nested ones at
        // Round(netto × F / 100, 3), grouped by the card that owns them.
        std::vector<qint64> owners;
        std::map<qint64, std::vector<std::pair<qint64, double>>> rows;  // owner -> (product, w)
        std::vector<qint64> path;
        try {
            walk(cardId, 100.0, 0, path, [&](const Line& l, qint64 owner, double f, int depth) {
                const double w = depth == 0 ? l.netto : r(l.netto * f / 100.0, 3);
                if (!rows.count(owner))
                    owners.push_back(owner);
                rows[owner].emplace_back(l.item, w);
            });
        } catch (const CycleError& c) {
            tellCycle(c.cardId, nullptr);
            return std::nullopt;
        }

        const size_t nv = cardVitamins.size();
        double tFat = 0, tProtein = 0, tCarbohyd = 0, tCalories = 0;
        std::vector<double> tVit(nv, 0.0);
        for (qint64 owner : owners) {
            double aFat = 0, aProtein = 0, aCarbohyd = 0, aCalories = 0;
            std::vector<double> aVit(nv, 0.0);
            for (const auto& [productId, w] : rows[owner]) {
                const ProductInfo& p = product(productId);
                const double edible = (100.0 - p.procNe) / 100.0;
                aFat += edible * p.fat * w / 100.0;
                aProtein += edible * p.protein * w / 100.0;
                aCarbohyd += edible * p.carbohyd * w / 100.0;
                aCalories += edible * p.calories * w / 100.0;
                for (const auto& [vitaminId, q] : productVitamins(productId))
                    for (size_t i = 0; i < nv; ++i)
                        if (cardVitamins[i].first == vitaminId)
                            aVit[i] = r(aVit[i] + edible * q * w / 100.0, 4);
            }
            const CardInfo& k = card(owner);
            tFat = r(tFat + (100.0 - k.prFat) * aFat / 100.0, 2);
            tProtein = r(tProtein + (100.0 - k.prProtein) * aProtein / 100.0, 2);
            tCarbohyd = r(tCarbohyd + (100.0 - k.prCarbohyd) * aCarbohyd / 100.0, 2);
            tCalories = r(tCalories + (100.0 - k.prCalories) * aCalories / 100.0, 2);
            for (size_t i = 0; i < nv; ++i) {
                const auto loss = k.kolpr.find(cardVitamins[i].first);
                const double p = loss == k.kolpr.end() ? 0.0 : loss->second;
                tVit[i] = r(tVit[i] + (100.0 - p) * aVit[i] / 100.0, 4);
            }
        }

        NutrientValues v;
        v.vih = top.vih;
        const double vih = top.vih;
        v.fat = r(tFat, 2);
        v.protein = r(tProtein, 2);
        v.carbohyd = r(tCarbohyd, 2);
        v.calories = r(tCalories, 2);
        v.fatVih = r(v.fat * vih / 100.0, 2);
        v.proteinVih = r(v.protein * vih / 100.0, 2);
        v.carbohydVih = r(v.carbohyd * vih / 100.0, 2);
        v.caloriesVih = r(v.calories * vih / 100.0, 2);
        for (size_t i = 0; i < nv; ++i) {
            const auto loss = top.kolpr.find(cardVitamins[i].first);
            v.vitamins.push_back({cardVitamins[i].first, cardVitamins[i].second, tVit[i], r(tVit[i] * vih / 100.0, 2),
                                  loss == top.kolpr.end() ? 0.0 : loss->second});
        }

        Transaction t(db);
        updateSt.reset();
        updateSt.bindAll({v.fat, v.protein, v.carbohyd, v.calories, v.fatVih, v.proteinVih, v.carbohydVih,
                          v.caloriesVih, cardId});
        updateSt.exec();
        updateSt.reset();
        if (nv > 0) {
            deleteVitSt.reset();
            deleteVitSt.bind(1, cardId);
            deleteVitSt.exec();
            deleteVitSt.reset();
            for (const VitaminValue& x : v.vitamins) {
                insertVitSt.reset();
                insertVitSt.bindAll({x.vitaminId, cardId, x.kol, x.kolVih, x.kolpr, v.vih});
                insertVitSt.exec();
            }
            insertVitSt.reset();
        }
        t.commit();
        return v;
    }

    double costOf(qint64 cardId, std::vector<qint64>& path)
    {
        const auto known = costs.find(cardId);
        if (known != costs.end())
            return known->second;
        if (std::find(path.begin(), path.end(), cardId) != path.end())
            throw CycleError{cardId};
        path.push_back(cardId);
        const std::vector<Line> lines = card(cardId).lines;
        double sum = 0;
        for (const Line& l : lines) {
            if (l.isCard)
                sum += l.netto * costOf(l.item, path) / 100.0;
            else
                sum += costGross(l.item, l.brutto, today) * product(l.item).plannedPricePerGram;
        }
        path.pop_back();
        const double c = r(sum, moneyPrecision());
        costs[cardId] = c;
        return c;
    }

    std::optional<double> cost(qint64 cardId)
    {
        if (!card(cardId).exists)
            return std::nullopt;
        std::vector<qint64> path;
        try {
            return costOf(cardId, path);
        } catch (const CycleError& c) {
            tellCycle(c.cardId, nullptr);
            return std::nullopt;
        }
    }
};

CardCalculator::CardCalculator(Database& db, Prompt* prompt) : d(std::make_unique<Impl>(db, prompt)) {}
CardCalculator::~CardCalculator() = default;

void CardCalculator::preload()
{
    d->preload();
}

CardExpansion CardCalculator::expand(qint64 cardId, double yieldGrams)
{
    return d->expand(cardId, yieldGrams);
}

std::optional<NutrientValues> CardCalculator::calculateNutrients(qint64 cardId)
{
    return d->nutrients(cardId);
}

std::optional<double> CardCalculator::cost(qint64 cardId)
{
    return d->cost(cardId);
}

std::optional<double> CardCalculator::storeCost(qint64 cardId)
{
    const auto c = d->cost(cardId);
    if (c) {
        d->costSt.reset();
        d->costSt.bindAll({*c, cardId});
        d->costSt.exec();
        d->costSt.reset();
    }
    return c;
}

CardExpansion expandCard(Database& db, qint64 cardId, double yieldGrams, Prompt* prompt)
{
    return CardCalculator(db, prompt).expand(cardId, yieldGrams);
}

std::optional<NutrientValues> calculateCardNutrients(Database& db, qint64 cardId, Prompt* prompt)
{
    return CardCalculator(db, prompt).calculateNutrients(cardId);
}

std::optional<double> calculateCardCost(Database& db, qint64 cardId, Prompt* prompt)
{
    return CardCalculator(db, prompt).cost(cardId);
}

std::optional<double> storeCardCost(Database& db, qint64 cardId, Prompt* prompt)
{
    return CardCalculator(db, prompt).storeCost(cardId);
}

void askRecalculationAfterRecipeChange(Database& db, Prompt& prompt, qint64 cardId)
{
    if (!autoRecalculationOn())
        return;
    const QVariant name = db.scalar(QStringLiteral("SELECT cname FROM card_recipes WHERE id = ?1"), {cardId});
    if (name.isNull())
        return;
    const QString n = name.toString();
    if (prompt.ask(QStringLiteral("Вы изменили рецептуру. Пересчитать пищевую ценность технологической карты \"%1\" с "
                                  "учетом химического состава продуктов и  \"% несъедобной части\" продукта  из "
                                  "справочника \"Продукты\", а также с учетом \"Потери при тепловой обработке, %\"?")
                       .arg(n),
                   Buttons::YesNo, Answer::No) == Answer::Yes)
        calculateCardNutrients(db, cardId, &prompt);
    const bool priced =
        !db.scalar(QStringLiteral("SELECT 1 FROM products WHERE plpris <> 0 LIMIT 1")).isNull();
    if (priced &&
        prompt.ask(QStringLiteral("Вы изменили рецептуру, пересчитать стоимость технологической карты \"%1\"?").arg(n),
                   Buttons::YesNo, Answer::No) == Answer::Yes)
        storeCardCost(db, cardId, &prompt);
}

int calculateNutrientsOfCards(Database& db, Prompt& prompt, const std::vector<qint64>& cards)
{
    CardCalculator calc(db, &prompt);
    if (cards.size() > 1)
        calc.preload();
    Transaction t(db);
    int done = 0;
    for (qint64 id : cards) {
        if (calc.calculateNutrients(id))
            ++done;
        prompt.status(QStringLiteral("Пересчитано %1 технологических карт").arg(done));
    }
    t.commit();
    return done;
}

int storeCostsOfCards(Database& db, Prompt& prompt, const std::vector<qint64>& cards)
{
    CardCalculator calc(db, &prompt);
    if (cards.size() > 1)
        calc.preload();
    Transaction t(db);
    int done = 0;
    const int total = int(cards.size());
    for (qint64 id : cards) {
        if (calc.storeCost(id))
            ++done;
        prompt.status(QStringLiteral("Пересчитана стоимость карт %1 из %2").arg(done).arg(total));
    }
    t.commit();
    return done;
}

namespace {

std::vector<qint64> idsOf(Database& db, const QString& sql, const std::vector<QVariant>& params = {})
{
    std::vector<qint64> ids;
    Statement st(db, sql);
    st.bindAll(params);
    while (st.next())
        ids.push_back(st.toInt64(0));
    return ids;
}

} // namespace

void batchNutrientCommand(Database& db, Prompt& prompt, std::optional<qint64> selectedCard, bool cardBookShown)
{
    const Answer a = prompt.ask(QStringLiteral("Рассчитывать химический состав всех блюд? \"Да\" - все блюда, \"Нет\" - "
                                               "выделенное блюдо, \"Отмена\" - не рассчитывать."),
                                Buttons::YesNoCancel, Answer::Cancel);
    std::vector<qint64> cards;
    if (a == Answer::Yes)
        cards = idsOf(db, QStringLiteral("SELECT id FROM card_recipes ORDER BY id"));
    else if (a == Answer::No && selectedCard)
        cards = {*selectedCard};
    else
        return;
    calculateNutrientsOfCards(db, prompt, cards);
    prompt.info(cardBookShown ? QStringLiteral("Расчет химического состава завершен.")
                              : QStringLiteral("Расчет химического состава завершен. Данные можно посмотреть в "
                                               "справочнике \"Технологические карты\"."));
}

void batchCostCommand(Database& db, Prompt& prompt, qint64 categoryId)
{
    const QString category =
        db.scalar(QStringLiteral("SELECT tname FROM type_meal WHERE id = ?1"), {categoryId}).toString();
    const Answer a = prompt.ask(
        QStringLiteral("Пересчитать стоимость технологических карт категории \"%1\"? \"Да\" - пересчет стоимости карт "
                       "только выбранной категории, \"Нет\" - пересчет стоимости всех технологических карт, "
                       "\"Отмена\" - не пересчитывать.")
            .arg(category),
        Buttons::YesNoCancel, Answer::Cancel);
    std::vector<qint64> cards;
    if (a == Answer::Yes)
        cards = idsOf(db, QStringLiteral("SELECT id FROM card_recipes WHERE id_type_meal = ?1 ORDER BY id"), {categoryId});
    else if (a == Answer::No)
        cards = idsOf(db, QStringLiteral("SELECT id FROM card_recipes ORDER BY id"));
    else
        return;
    storeCostsOfCards(db, prompt, cards);
    prompt.info(QStringLiteral("Пересчет выполнен."));
    prompt.status(QStringLiteral("Готово."));
}

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

namespace {

struct LotPrice {
    QString date;
    double pricePerGram;
};

// The lots of a product counted as received not later than `date` that belong to its latest
// delivery, each with its cost of a gram.
std::vector<double> latestDeliveryPrices(Database& db, qint64 productId, const QDate& date)
{
    Statement st(db, QStringLiteral(
                         "SELECT s.cost, COALESCE(u.koef, pu.koef), "
                         "CASE WHEN COALESCE(s.status, 0) <> 0 THEN COALESCE(substr(s.rddate, 1, 10), '1990-01-01') "
                         "ELSE substr(rc.rdate, 1, 10) END AS d "
                         "FROM storage s LEFT JOIN receipt rc ON rc.id = s.id_receipt "
                         "LEFT JOIN ed_izmer u ON u.id = s.id_ed_izmer "
                         "LEFT JOIN products p ON p.id = s.id_product LEFT JOIN ed_izmer pu ON pu.id = p.id_ed_izmer "
                         "WHERE s.id_product = ?1 AND (COALESCE(s.status, 0) <> 0 OR COALESCE(rc.status, 0) <> 0)"));
    st.bind(1, productId);
    const QString limit = isoDate(date);
    QString latest;
    std::vector<LotPrice> lots;
    while (st.next()) {
        const QString d = st.toString(2);
        if (d.isEmpty() || d > limit)
            continue;
        const double koef = num(st, 1);
        lots.push_back({d, koef != 0 ? num(st, 0) / koef : 0.0});
        latest = std::max(latest, d);
    }
    std::vector<double> prices;
    for (const LotPrice& l : lots)
        if (l.date == latest)
            prices.push_back(l.pricePerGram);
    return prices;
}

} // namespace

std::optional<double> latestDeliveryPricePerGram(Database& db, qint64 productId, const QDate& date)
{
    const std::vector<double> prices = latestDeliveryPrices(db, productId, date);
    if (prices.empty())
        return std::nullopt;
    return *std::max_element(prices.begin(), prices.end());
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
    const bool seasonal = db.scalar(QStringLiteral("SELECT Sezonnost FROM INF")).toInt() != 0;
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
                    std::optional<double> best;
                    for (double p : latestDeliveryPrices(db, x.item, date))
                        best = std::max(best.value_or(r(p, money)), r(p, money));
                    it = lotPrice.emplace(x.item, best).first;
                }
                if (it->second) {
                    const double gross = seasonal ? seasonalGross(db, x.item, l.gross, date) : l.gross;
                    l.actualCost = r(*it->second * r(gross, money), money);
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
    const bool seasonal = db.scalar(QStringLiteral("SELECT Sezonnost FROM INF")).toInt() != 0;
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

void registerCardCalculation()
{
    static bool done = false;
    if (done)
        return;
    done = true;

    BookRules recipeRules;
    recipeRules.followUp = [](SaveContext& ctx) {
        QVariant card = ctx.value(QStringLiteral("id_card_recipes"));
        if (card.isNull() && ctx.parentId)
            card = *ctx.parentId;
        if (!card.isNull())
            askRecalculationAfterRecipeChange(ctx.db, ctx.prompt, card.toLongLong());
    };
    addBookRules(entryRecipeLines, std::move(recipeRules));

    registerListLoader(entryCardCalculation, [](Database& db, const ListFilter& filter, BookList& list) {
        if (!filter.parent)
            return;
        const auto money = [&](double x) { return displayNumber(x, moneyPrecision()); };
        for (const CalcBlock& b : cardCalculation(db, *filter.parent, filter.second, Clock::today())) {
            list.ids.push_back(0);
            list.rows.push_back({b.eaterName + QStringLiteral(": выход ") + b.yieldText + QStringLiteral(" г"),
                                 QString(), QString(), QString(), displayNumber(b.protein, 2), displayNumber(b.fat, 2),
                                 displayNumber(b.carbohyd, 2), displayNumber(b.calories, 2), QString(),
                                 money(b.plannedCost)});
            for (const CalcLine& l : b.lines) {
                list.ids.push_back(l.lineId);
                if (l.comment) {
                    const QString dash = QStringLiteral("-");
                    list.rows.push_back({l.text, QString(), displayNumber(l.gross, 3), displayNumber(l.net, 3), dash,
                                         dash, dash, dash, dash, QString()});
                } else {
                    list.rows.push_back({l.text, l.unit, displayNumber(l.gross, 3), displayNumber(l.net, 3),
                                         displayNumber(l.protein, 2), displayNumber(l.fat, 2),
                                         displayNumber(l.carbohyd, 2), displayNumber(l.calories, 2),
                                         l.productLine ? money(l.actualCost) : QString(), QString()});
                }
            }
        }
    });
}

} // namespace rat::books
