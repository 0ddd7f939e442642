// The card calculator: reads the cards, recipe lines, products and losses once (per card when
// a single card is asked for, in one pass each for a batch), expands each card once into a flat
// list of product lines with the chain of nested net weights that scales them, and computes the
// nutrient values and costs from it in memory; the batch runs over many cards.

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
    std::set<qint64> kolprRead;      // the vitamins whose first row has been read
    std::vector<std::pair<qint64, qint64>> vitaminRows;  // the card's card_vitamin rows: key, vitamin
    std::vector<Line> lines;
};

struct ProductInfo {
    QString name;
    double fat = 0, protein = 0, carbohyd = 0, calories = 0, procNe = 0;
    double plannedPricePerGram = 0;  // plpris / koef; 0 without a price or a unit weight
    bool hasVitamins = false;
    std::vector<std::pair<qint64, double>> vitamins;
    bool hasSlots = false;
    std::vector<std::pair<size_t, double>> cardSlots;  // the vitamins as positions among the card vitamins
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

// A nested dish within an expansion: its line's net weight and the frame it stands in (-1: the
// expanded card itself). A frame's factor at yield Y is netto × (its parent's factor, or Y) / 100.
struct Frame {
    double netto = 0;
    int parent = -1;
};

// A product line of an expansion with the frame whose factor scales it.
struct FlatLine {
    qint64 lineId = 0, productId = 0, owner = 0;
    int depth = 0, frame = -1;
    double brutto = 0, netto = 0;
};

// A card expanded once, for any yield: the frames come before the frames nested in them.
struct Flat {
    std::vector<Frame> frames;
    std::vector<FlatLine> lines;

    // The factor of every frame at yield `y`, in the order the walk through the nested dishes
    // multiplies them.
    void factors(double y, std::vector<double>& out) const
    {
        out.resize(frames.size());
        for (size_t k = 0; k < frames.size(); ++k)
            out[k] = frames[k].netto * (frames[k].parent < 0 ? y : out[size_t(frames[k].parent)]) / 100.0;
    }
};

double factorOf(const FlatLine& l, double y, const std::vector<double>& f)
{
    return l.frame < 0 ? y : f[size_t(l.frame)];
}

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
    Statement updateSt, deleteVitSt, insertVitSt, updateVitSt, costSt;
    std::map<qint64, CardInfo> cards;
    std::map<qint64, ProductInfo> products;
    std::map<qint64, Flat> flats;
    std::map<qint64, double> costs;
    std::vector<std::pair<qint64, QString>> cardVitamins;
    bool seasonal = false;
    bool batch = false;  // preloaded: the caller's transaction holds the whole batch
    QDate today;
    std::vector<double> scratch;
    std::optional<std::map<qint64, std::vector<SeasonPeriod>>> allPeriods;  // every product's, when read at once

    Impl(Database& d, Prompt* p)
        : db(d), prompt(p),
          cardSt(d, QStringLiteral("SELECT cname, pr_fat, pr_protein, pr_carbohyd, pr_calories, vih FROM card_recipes "
                                   "WHERE id = ?1")),
          linesSt(d, QStringLiteral("SELECT id, id_product, isCard, brutto, netto FROM recipes WHERE id_card_recipes = ?1 "
                                    "AND COALESCE(isComment, 0) = 0 AND COALESCE(isVariant, 0) = 0 ORDER BY id")),
          kolprSt(d, QStringLiteral("SELECT id_vitamin, kolpr, rowid FROM card_vitamin WHERE id_card_recipes = ?1 "
                                    "ORDER BY IDcv")),
          productSt(d, QStringLiteral("SELECT p.pname, p.fat, p.protein, p.carbohyd, p.calories, p.procNe, p.plpris, e.koef "
                                      "FROM products p LEFT JOIN ed_izmer e ON e.id = p.id_ed_izmer WHERE p.id = ?1")),
          productVitSt(d, QStringLiteral("SELECT id_vitamin, quantity FROM vitamin_quantity WHERE id_product = ?1 "
                                         "ORDER BY id")),
          updateSt(d, QStringLiteral("UPDATE card_recipes SET fat = ?1, protein = ?2, carbohyd = ?3, calories = ?4, "
                                     "fat_vih = ?5, protein_vih = ?6, carbohyd_vih = ?7, calories_vih = ?8 WHERE id = ?9")),
          deleteVitSt(d, QStringLiteral("DELETE FROM card_vitamin WHERE rowid = ?1")),
          insertVitSt(d, QStringLiteral("INSERT INTO card_vitamin (id_vitamin, id_card_recipes, kol, kol_vih, kolpr, vih) "
                                        "VALUES (?1, ?2, ?3, ?4, ?5, ?6)")),
          updateVitSt(d, QStringLiteral("UPDATE card_vitamin SET kol = ?1, kol_vih = ?2, kolpr = ?3, vih = ?4 "
                                        "WHERE rowid = ?5")),
          costSt(d, QStringLiteral("UPDATE card_recipes SET cost = ?1 WHERE id = ?2"))
    {
        cardVitamins = vitaminsOf(d, VitaminSet::ForCards);
        seasonal = readOrganisationSwitches(d).sezonnost;
        today = Clock::today();
    }

    // A card vitamin row as read: the first row of a vitamin gives its loss.
    static void addLoss(CardInfo& c, qint64 rowKey, qint64 vitaminId, const Statement& st, int lossCol)
    {
        c.vitaminRows.emplace_back(rowKey, vitaminId);
        if (!c.kolprRead.insert(vitaminId).second)
            return;
        c.kolpr[vitaminId] = num(st, lossCol);
    }

    CardInfo& card(qint64 id)
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
            while (kolprSt.next())
                addLoss(c, kolprSt.toInt64(2), kolprSt.toInt64(0), kolprSt, 1);
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

    // Reads every card, line, card loss and product with its vitamins (and, while seasonality
    // is on, its seasonal periods) in one pass each: the lines have no index by card, so a
    // batch reads them once instead of once per card.
    void preload()
    {
        batch = true;
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
        flats.clear();
        Statement all(db, QStringLiteral("SELECT id_card_recipes, id, id_product, isCard, brutto, netto FROM recipes "
                                         "WHERE COALESCE(isComment, 0) = 0 AND COALESCE(isVariant, 0) = 0 ORDER BY id"));
        while (all.next()) {
            const auto it = cards.find(all.toInt64(0));
            if (it != cards.end())
                it->second.lines.push_back({all.toInt64(1), all.toInt64(2), all.toBool(3), num(all, 4), num(all, 5)});
        }
        Statement losses(db, QStringLiteral("SELECT id_card_recipes, id_vitamin, kolpr, rowid FROM card_vitamin "
                                            "ORDER BY IDcv"));
        while (losses.next()) {
            const auto it = cards.find(losses.toInt64(0));
            if (it != cards.end())
                addLoss(it->second, losses.toInt64(3), losses.toInt64(1), losses, 2);
        }
        Statement prods(db, QStringLiteral("SELECT p.id, p.pname, p.fat, p.protein, p.carbohyd, p.calories, p.procNe, "
                                           "p.plpris, e.koef FROM products p LEFT JOIN ed_izmer e ON e.id = p.id_ed_izmer"));
        while (prods.next()) {
            ProductInfo& p = products[prods.toInt64(0)];
            p = ProductInfo{};
            readProduct(prods, 1, p);
            p.hasVitamins = true;
            p.hasPeriods = seasonal;
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
        if (seasonal)
            for (auto& [id, periods] : allSeasonPeriods(db)) {
                const auto it = products.find(id);
                if (it != products.end())
                    it->second.periods = std::move(periods);
            }
    }

    void preloadCards(std::vector<qint64> ids)
    {
        Statement heads(db, QStringLiteral("SELECT id, cname, pr_fat, pr_protein, pr_carbohyd, pr_calories, vih "
                                           "FROM card_recipes WHERE id IN (SELECT value FROM json_each(?1))"));
        Statement lines(db, QStringLiteral("SELECT id_card_recipes, id, id_product, isCard, brutto, netto FROM recipes "
                                           "WHERE id_card_recipes IN (SELECT value FROM json_each(?1)) "
                                           "AND COALESCE(isComment, 0) = 0 AND COALESCE(isVariant, 0) = 0 ORDER BY id"));
        Statement losses(db, QStringLiteral("SELECT id_card_recipes, id_vitamin, kolpr, rowid FROM card_vitamin "
                                            "WHERE id_card_recipes IN (SELECT value FROM json_each(?1)) ORDER BY IDcv"));
        while (!ids.empty()) {
            QStringList fresh;
            for (qint64 id : ids)
                if (cards.emplace(id, CardInfo{}).second)
                    fresh << QString::number(id);
            ids.clear();
            if (fresh.isEmpty())
                break;
            const QString list = QLatin1Char('[') + fresh.join(QLatin1Char(',')) + QLatin1Char(']');
            heads.reset();
            heads.bind(1, list);
            while (heads.next()) {
                CardInfo& c = cards[heads.toInt64(0)];
                c.exists = true;
                c.name = heads.toString(1);
                c.prFat = num(heads, 2);
                c.prProtein = num(heads, 3);
                c.prCarbohyd = num(heads, 4);
                c.prCalories = num(heads, 5);
                c.vih = heads.isNull(6) ? 100 : int(heads.toInt64(6));
            }
            lines.reset();
            lines.bind(1, list);
            while (lines.next()) {
                CardInfo& c = cards[lines.toInt64(0)];
                if (!c.exists)
                    continue;
                c.lines.push_back({lines.toInt64(1), lines.toInt64(2), lines.toBool(3), num(lines, 4), num(lines, 5)});
                if (c.lines.back().isCard)
                    ids.push_back(c.lines.back().item);
            }
            losses.reset();
            losses.bind(1, list);
            while (losses.next()) {
                CardInfo& c = cards[losses.toInt64(0)];
                if (c.exists)
                    addLoss(c, losses.toInt64(3), losses.toInt64(1), losses, 2);
            }
        }
        if (seasonal && !allPeriods)
            allPeriods = allSeasonPeriods(db);
    }

    const std::vector<std::pair<qint64, double>>& productVitamins(ProductInfo& p, qint64 id)
    {
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

    // The product's vitamins that belong on a card, as positions among the card vitamins.
    const std::vector<std::pair<size_t, double>>& vitaminSlots(ProductInfo& p, qint64 id)
    {
        if (!p.hasSlots) {
            p.hasSlots = true;
            for (const auto& [vitaminId, q] : productVitamins(p, id))
                for (size_t i = 0; i < cardVitamins.size(); ++i)
                    if (cardVitamins[i].first == vitaminId)
                        p.cardSlots.emplace_back(i, q);
        }
        return p.cardSlots;
    }

    // The gross weight a cost uses: seasonally adjusted while the switch is on.
    double costGross(qint64 productId, double grams, const QDate& date)
    {
        if (!seasonal)
            return grams;
        ProductInfo& p = product(productId);
        if (!p.hasPeriods) {
            p.hasPeriods = true;
            if (allPeriods) {
                const auto it = allPeriods->find(productId);
                if (it != allPeriods->end())
                    p.periods = it->second;
            } else {
                p.periods = seasonPeriods(db, productId);
            }
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

    // The expansion of a card, made once: its own product lines, and each nested dish's
    // expansion in a frame of its own where the dish stands. Throws CycleError naming the first
    // card met again on the way down, as a walk through the nested dishes would.
    const Flat& flat(qint64 cardId, std::vector<qint64>& path)
    {
        const auto known = flats.find(cardId);
        if (known != flats.end())
            return known->second;
        if (std::find(path.begin(), path.end(), cardId) != path.end())
            throw CycleError{cardId};
        path.push_back(cardId);
        Flat f;
        for (const Line& l : card(cardId).lines) {
            if (!l.isCard) {
                f.lines.push_back({l.id, l.item, cardId, 0, -1, l.brutto, l.netto});
                continue;
            }
            const Flat& sub = flat(l.item, path);
            const int base = int(f.frames.size());
            f.frames.push_back({l.netto, -1});
            for (const Frame& x : sub.frames)
                f.frames.push_back({x.netto, x.parent < 0 ? base : x.parent + base + 1});
            for (FlatLine x : sub.lines) {
                ++x.depth;
                x.frame = x.frame < 0 ? base : x.frame + base + 1;
                f.lines.push_back(x);
            }
        }
        path.pop_back();
        return flats.emplace(cardId, std::move(f)).first->second;
    }

    // The flat expansion, or nothing after telling the cycle.
    const Flat* flatOrTell(qint64 cardId, QString* message)
    {
        std::vector<qint64> path;
        try {
            return &flat(cardId, path);
        } catch (const CycleError& c) {
            tellCycle(c.cardId, message);
            return nullptr;
        }
    }

    CardExpansion expand(qint64 cardId, double y)
    {
        CardExpansion e;
        const Flat* f = flatOrTell(cardId, &e.message);
        if (!f) {
            e.cycle = true;
            return e;
        }
        f->factors(y, scratch);
        e.lines.reserve(f->lines.size());
        for (const FlatLine& l : f->lines) {
            const double k = factorOf(l, y, scratch);
            e.lines.push_back({l.lineId, l.productId, product(l.productId).name, l.owner, l.depth, l.brutto * k / 100.0,
                               l.netto * k / 100.0});
        }
        return e;
    }

    std::optional<NutrientValues> nutrients(qint64 cardId)
    {
        if (!card(cardId).exists)
            return std::nullopt;

        // The expansion at 100 g: the card's own lines at their net weight, nested ones at
        // Round(netto × F / 100, 3), grouped by the card that owns them in the order the owners
        // first appear.
        const Flat* f = flatOrTell(cardId, nullptr);
        if (!f)
            return std::nullopt;
        f->factors(100.0, scratch);
        std::vector<qint64> owners;
        std::vector<std::vector<std::pair<qint64, double>>> rows;  // per owner: (product, w)
        for (const FlatLine& l : f->lines) {
            const double w = l.depth == 0 ? l.netto : r(l.netto * factorOf(l, 100.0, scratch) / 100.0, 3);
            size_t k = 0;
            while (k < owners.size() && owners[k] != l.owner)
                ++k;
            if (k == owners.size()) {
                owners.push_back(l.owner);
                rows.emplace_back();
            }
            rows[k].emplace_back(l.productId, w);
        }

        const size_t nv = cardVitamins.size();
        double tFat = 0, tProtein = 0, tCarbohyd = 0, tCalories = 0;
        std::vector<double> tVit(nv, 0.0), aVit(nv, 0.0);
        for (size_t o = 0; o < owners.size(); ++o) {
            double aFat = 0, aProtein = 0, aCarbohyd = 0, aCalories = 0;
            std::fill(aVit.begin(), aVit.end(), 0.0);
            for (const auto& [productId, w] : rows[o]) {
                ProductInfo& p = product(productId);
                const double edible = (100.0 - p.procNe) / 100.0;
                aFat += edible * p.fat * w / 100.0;
                aProtein += edible * p.protein * w / 100.0;
                aCarbohyd += edible * p.carbohyd * w / 100.0;
                aCalories += edible * p.calories * w / 100.0;
                for (const auto& [i, q] : vitaminSlots(p, productId))
                    aVit[i] = r(aVit[i] + edible * q * w / 100.0, 4);
            }
            const CardInfo& k = card(owners[o]);
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

        CardInfo& top = card(cardId);
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

        // A single card is written in a transaction of its own; a batch in its caller's.
        std::optional<Transaction> t;
        if (!batch)
            t.emplace(db);
        write(cardId, top, v);
        if (t)
            t->commit();
        return v;
    }

    // The card's values and its card vitamin rows, replaced by the computed ones (by key: the
    // rows have no index by card).
    void write(qint64 cardId, CardInfo& c, const NutrientValues& v)
    {
        updateSt.reset();
        updateSt.bindAll({v.fat, v.protein, v.carbohyd, v.calories, v.fatVih, v.proteinVih, v.carbohydVih,
                          v.caloriesVih, cardId});
        updateSt.exec();
        updateSt.reset();
        if (v.vitamins.empty())
            return;
        // Rows that already stand one per card vitamin in their order take the new values in
        // place: the same rows a rewrite would leave.
        bool inPlace = c.vitaminRows.size() == v.vitamins.size();
        for (size_t i = 0; inPlace && i < v.vitamins.size(); ++i)
            inPlace = c.vitaminRows[i].second == v.vitamins[i].vitaminId;
        if (inPlace) {
            for (size_t i = 0; i < v.vitamins.size(); ++i) {
                const VitaminValue& x = v.vitamins[i];
                updateVitSt.reset();
                updateVitSt.bindAll({x.kol, x.kolVih, x.kolpr, v.vih, c.vitaminRows[i].first});
                updateVitSt.exec();
            }
            updateVitSt.reset();
            return;
        }
        for (const auto& row : c.vitaminRows) {
            deleteVitSt.reset();
            deleteVitSt.bind(1, row.first);
            deleteVitSt.exec();
        }
        deleteVitSt.reset();
        c.vitaminRows.clear();
        for (const VitaminValue& x : v.vitamins) {
            insertVitSt.reset();
            insertVitSt.bindAll({x.vitaminId, cardId, x.kol, x.kolVih, x.kolpr, v.vih});
            insertVitSt.exec();
            c.vitaminRows.emplace_back(db.lastInsertId(), x.vitaminId);
        }
        insertVitSt.reset();
    }

    double costOf(qint64 cardId, std::vector<qint64>& path)
    {
        const auto known = costs.find(cardId);
        if (known != costs.end())
            return known->second;
        if (std::find(path.begin(), path.end(), cardId) != path.end())
            throw CycleError{cardId};
        path.push_back(cardId);
        double sum = 0;
        for (const Line& l : card(cardId).lines) {
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

    std::optional<double> portionCost(qint64 cardId, double y, const MenuPriceCache& prices, const QDate& date)
    {
        const Flat* f = flatOrTell(cardId, nullptr);
        if (!f)
            return std::nullopt;
        f->factors(y, scratch);
        const int money = moneyPrecision();
        double sum = 0;
        for (const FlatLine& l : f->lines) {
            const auto price = prices.find(l.productId);
            const double gross = costGross(l.productId, l.brutto * factorOf(l, y, scratch) / 100.0, date);
            sum += r((price == prices.end() ? 0.0 : price->second) * gross, money);
        }
        return r(sum, money);
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

void CardCalculator::preloadCards(const std::vector<qint64>& cards)
{
    d->preloadCards(cards);
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

std::optional<double> CardCalculator::portionCost(qint64 cardId, double yieldGrams, const MenuPriceCache& prices,
                                                  const QDate& date)
{
    return d->portionCost(cardId, yieldGrams, prices, date);
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
