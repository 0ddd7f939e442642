// Time of the norm-compliance analysis of a plan-menu: a 10-day plan-menu of 6 dishes a day
// (60 dish rows) for 3 eater types, each dish with 8 product lines and every third one nesting
// another card, in a file of 300 products and 200 cards, against norms of 120 products in 15
// groups per eater type. Prints the best and the median of N runs in milliseconds.
//
//   bench_analysis [runs]    (10 runs when not given)

#include "BenchDatabase.h"
#include "BenchTiming.h"
#include "core/Database.h"
#include "core/Prompt.h"
#include "menu/MenuModule.h"
#include "menu/PlanMenuAnalysis.h"

#include <QCoreApplication>
#include <QRandomGenerator>
#include <cstdio>

using namespace rat;

namespace {

constexpr int kProducts = 300;
constexpr int kCards = 200;
constexpr int kDays = 10;
constexpr int kDishesADay = 6;
constexpr int kEaterTypes = 3;
constexpr int kNormProducts = 120;

qint64 fill(Database& db)
{
    QRandomGenerator rng(20261206);
    Transaction tx(db);
    db.execScript(QStringLiteral("DELETE FROM card_recipes; DELETE FROM recipes; DELETE FROM products; DELETE FROM output; "
                                 "DELETE FROM type_menu; DELETE FROM type_eating; DELETE FROM days; DELETE FROM plan_menu; "
                                 "DELETE FROM norms; DELETE FROM eating"));
    Statement product(db, QStringLiteral("INSERT INTO products (id, pname, rule_okr) VALUES (?1, ?2, ?3)"));
    for (int p = 1; p <= kProducts; ++p) {
        product.reset();
        product.bindAll({p, QStringLiteral("Продукт %1").arg(p), int(rng.bounded(5))});
        product.exec();
    }
    Statement card(db, QStringLiteral("INSERT INTO card_recipes (cname, calories) VALUES (?1, 90)"));
    Statement line(db, QStringLiteral("INSERT INTO recipes (id_card_recipes, id_product, brutto, netto, isCard, isComment, "
                                      "isVariant, id_MainCard) VALUES (?1, ?2, ?3, ?4, ?5, 0, 0, 0)"));
    std::vector<qint64> cards;
    for (int i = 0; i < kCards; ++i) {
        card.reset();
        card.bind(1, QStringLiteral("Блюдо %1").arg(i + 1));
        card.exec();
        const qint64 c = db.lastInsertId();
        for (int k = 0; k < 8; ++k) {
            const double netto = 5 + rng.bounded(400) / 10.0;
            line.reset();
            line.bindAll({c, 1 + rng.bounded(kProducts), netto * 1.2, netto, 0});
            line.exec();
        }
        if (i % 3 == 2 && !cards.empty()) {
            line.reset();
            line.bindAll({c, cards[size_t(rng.bounded(int(cards.size())))], 30, 30, -1});
            line.exec();
        }
        cards.push_back(c);
    }
    db.exec(QStringLiteral("INSERT INTO type_menu (tname, status) VALUES ('Осень', 2)"));
    const qint64 menu = db.lastInsertId();
    for (const char* meal : {"Завтрак", "Обед", "Полдник", "Ужин"})
        db.exec(QStringLiteral("INSERT INTO eating (ename) VALUES (?1)"), {QString::fromUtf8(meal)});
    std::vector<qint64> types;
    for (int t = 0; t < kEaterTypes; ++t) {
        db.exec(QStringLiteral("INSERT INTO type_eating (ename, shname, status, id_type_menu) VALUES (?1, ?1, -1, ?2)"),
                {QStringLiteral("Тип %1").arg(t + 1), menu});
        types.push_back(db.lastInsertId());
    }
    Statement output(db, QStringLiteral("INSERT INTO output (id_card_recipe, id_type_eating, output1) VALUES (?1, ?2, ?3)"));
    for (qint64 c : cards)
        for (qint64 t : types) {
            output.reset();
            output.bindAll({c, t, 100 + rng.bounded(150)});
            output.exec();
        }
    Statement dish(db, QStringLiteral("INSERT INTO plan_menu (id_day, id_card_recipes, id_eating) VALUES (?1, ?2, ?3)"));
    for (int d = 1; d <= kDays; ++d) {
        db.exec(QStringLiteral("INSERT INTO days (dname, id_type_menu) VALUES (?1, ?2)"),
                {QStringLiteral("День %1").arg(d), menu});
        const qint64 day = db.lastInsertId();
        for (int k = 0; k < kDishesADay; ++k) {
            dish.reset();
            dish.bindAll({day, cards[size_t(rng.bounded(kCards))], 1 + k % 4});
            dish.exec();
        }
    }
    Statement norm(db, QStringLiteral("INSERT INTO norms (id_type_eating, gname, norm, id_product) VALUES (?1, ?2, ?3, ?4)"));
    for (qint64 t : types)
        for (int p = 1; p <= kNormProducts; ++p) {
            norm.reset();
            norm.bindAll({t, QStringLiteral("Группа %1").arg(p % 15), 20 + (p % 15) * 10, p});
            norm.exec();
        }
    tx.commit();
    return menu;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const int runs = bench::runsArg(argc, argv, 10);
    bench::BenchDatabase base;
    if (!base.create(QStringLiteral("analysis.db")))
        return 1;
    menu::registerMenuModule();
    const qint64 menu = fill(base.db());
    size_t rows = 0;
    bench::report("norm compliance, 10 days x 3 eater types", bench::time(runs, [&] {
                      rows = menu::analyseNormCompliance(base.db(), base.prompt, menu).rows.size();
                  }));
    bench::report("energy distribution, 10 days x 3 eater types",
                  bench::time(runs, [&] { menu::analyseEnergyDistribution(base.db(), menu); }));
    bench::report("repeats, 10 days", bench::time(runs, [&] { menu::analyseRepeats(base.db(), menu); }));
    std::printf("compliance rows shown: %zu\n", rows);
    return 0;
}
