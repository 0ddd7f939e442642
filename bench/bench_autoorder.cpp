// Time of the automatic order: 5 days (from the last, wrapping over the cycle) of a 10-day
// plan-menu of 12 dishes a day (8 product lines a dish, every third nesting another card) for 3
// eater types over 360 products (60 never in stock), against ten years of stock (30,000 lots,
// 150,000 expense lines, 2,500 write-off lines); the order written is removed between
// runs, outside the timing. Beside it, the remnant chain on the same day that the order reads. Prints the best and the median of N runs in
// milliseconds.
//
//   bench_autoorder [runs]    (10 runs when not given)

#include "BenchDatabase.h"
#include "BenchTiming.h"
#include "TenYearStock.h"
#include "core/Database.h"
#include "core/Prompt.h"
#include "menu/MenuModule.h"
#include "stock/AutoOrder.h"
#include "stock/StockLots.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <cstdio>

using namespace rat;

namespace {

constexpr int kPlanDays = 10;
constexpr int kDishesADay = 12;
constexpr int kCards = 60;
constexpr int kEaterTypes = 3;
constexpr int kProducts = bench::kYearProducts + 60;

// Takes every question's default and always starts from the last plan day.
class LastDayPrompt : public SilentPrompt {
public:
    void message(const QString& text, Icon) override { std::fprintf(stderr, "%s\n", qPrintable(text)); }
    std::optional<int> choose(const QString&, const QString&, const QStringList& items, int) override
    {
        return items.isEmpty() ? std::nullopt : std::optional<int>(int(items.size()) - 1);
    }
};

void fillPlanMenu(Database& db)
{
    QRandomGenerator rng(20261206);
    Transaction tx(db);
    db.execScript(QStringLiteral("DELETE FROM AVTZAK; DELETE FROM AVTZAK_POINT; DELETE FROM days; DELETE FROM plan_menu; "
                                 "DELETE FROM ZAKAZ; DELETE FROM orders; DELETE FROM order_point"));
    Statement card(db, QStringLiteral("INSERT INTO card_recipes (cname) VALUES (?1)"));
    Statement line(db, QStringLiteral("INSERT INTO recipes (id_card_recipes, id_product, brutto, netto, isCard, isComment, "
                                      "isVariant, id_MainCard) VALUES (?1, ?2, ?3, ?4, ?5, 0, 0, 0)"));
    // Products the store has never held: the order has something to write.
    const qint64 unit = db.scalar(QStringLiteral("SELECT id_ed_izmer FROM products WHERE id = 1")).toLongLong();
    for (int p = bench::kYearProducts + 1; p <= kProducts; ++p)
        db.exec(QStringLiteral("INSERT INTO products (id, pname, id_ed_izmer, rule_okr, plpris) VALUES (?1, ?2, ?3, ?4, 12.5)"),
                {p, QStringLiteral("Продукт %1").arg(p), unit, 1 + p % 4});
    std::vector<qint64> cards;
    for (int i = 0; i < kCards; ++i) {
        card.reset();
        card.bind(1, QStringLiteral("Блюдо %1").arg(i + 1));
        card.exec();
        const qint64 c = db.lastInsertId();
        for (int k = 0; k < 8; ++k) {
            const double netto = 2 + rng.bounded(300) / 10.0;
            line.reset();
            line.bindAll({c, 1 + rng.bounded(kProducts), netto * 1.2, netto, 0});
            line.exec();
        }
        if (i >= 10 && i % 3 == 0) {
            line.reset();
            line.bindAll({c, cards[size_t(rng.bounded(10))], 30, 25, -1});
            line.exec();
        }
        cards.push_back(c);
    }
    db.exec(QStringLiteral("INSERT INTO type_menu (tname, status) VALUES ('Основное', 2)"));
    const qint64 pm = db.lastInsertId();
    db.exec(QStringLiteral("INSERT INTO eating (ename) VALUES ('Обед')"));
    const qint64 meal = db.lastInsertId();
    std::vector<qint64> types;
    for (int t = 0; t < kEaterTypes; ++t) {
        db.exec(QStringLiteral("INSERT INTO type_eating (ename, shname, status, id_type_menu) VALUES (?1, ?1, -1, ?2)"),
                {QStringLiteral("Тип %1").arg(t + 1), pm});
        types.push_back(db.lastInsertId());
    }
    Statement yield(db, QStringLiteral("INSERT INTO output (id_card_recipe, id_type_eating, output1, output2, output3) "
                                       "VALUES (?1, ?2, ?3, 0, 0)"));
    for (qint64 c : cards)
        for (size_t t = 0; t < types.size(); ++t) {
            yield.reset();
            yield.bindAll({c, types[t], 100 + 50 * int(t)});
            yield.exec();
        }
    Statement plan(db, QStringLiteral("INSERT INTO plan_menu (id_day, id_eating, id_card_recipes) VALUES (?1, ?2, ?3)"));
    for (int d = 0; d < kPlanDays; ++d) {
        db.exec(QStringLiteral("INSERT INTO days (dname, id_type_menu) VALUES (?1, ?2)"),
                {QStringLiteral("День %1").arg(d + 1), pm});
        const qint64 day = db.lastInsertId();
        for (int k = 0; k < kDishesADay; ++k) {
            plan.reset();
            plan.bindAll({day, meal, cards[size_t(10 + rng.bounded(kCards - 10))]});
            plan.exec();
        }
    }
    db.exec(QStringLiteral("INSERT INTO AVTZAK (id_storge, id_type_menu, day) VALUES (1, ?1, 5)"), {pm});
    const qint64 setup = db.lastInsertId();
    for (size_t t = 0; t < types.size(); ++t)
        db.exec(QStringLiteral("INSERT INTO AVTZAK_POINT (IDAvt, id_type_eating, kol) VALUES (?1, ?2, ?3)"),
                {setup, types[t], 20 + 40 * int(t)});
    tx.commit();
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const int runs = bench::runsArg(argc, argv, 10);
    bench::BenchDatabase file;
    if (!file.create(QStringLiteral("autoorder.db")))
        return 1;
    Database& db = file.db();
    menu::registerMenuModule();
    bench::fillTenYearsOfStock(db);
    fillPlanMenu(db);
    const QDate today(2026, 12, 5);
    LastDayPrompt prompt;

    bench::Figures order;
    size_t lines = 0;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer t;
        t.start();
        const double c = bench::cpuMs();
        const auto r = stock::makeAutomaticOrder(db, prompt, today);
        order.cpu.push_back(bench::cpuMs() - c);
        order.wall.push_back(double(t.nsecsElapsed()) / 1e6);
        if (!r) {
            std::fprintf(stderr, "no order was written\n");
            return 1;
        }
        lines = r->lines.size();
        db.exec(QStringLiteral("DELETE FROM order_point"));
        db.exec(QStringLiteral("DELETE FROM ZAKAZ"));
        db.exec(QStringLiteral("DELETE FROM orders"));
    }
    bench::report("automatic order, 5 of 10 days, 3 types", order);
    std::printf("  %zu order lines\n", lines);
    bench::report("lot remnants on the day, ten years", bench::time(runs, [&] { stock::lotRemnants(db, today); }));
    return 0;
}
