// Time of the rows of a day-menu document: a day menu of 30 dishes for 5 eater types (150 grid
// rows, each eater type with its own yield), each dish with 8 product lines, every third one
// nesting another card, in a file of 300 products with 2,000 stock lots and 200 cards. The rows
// are built at each cost basis (the latest delivery reads the lots of every product). Prints
// the best and the median of N runs in milliseconds.
//
//   bench_daymenu [runs]    (10 runs when not given)

#include "BenchDatabase.h"
#include "BenchScan.h"
#include "BenchTiming.h"
#include "core/Clock.h"
#include "core/Database.h"
#include "core/Prompt.h"
#include "menu/DayMenu.h"
#include "menu/MenuModule.h"

#include <QCoreApplication>
#include <QRandomGenerator>
#include <cstdio>

using namespace rat;

namespace {

constexpr int kProducts = 300;
constexpr int kCards = 200;
constexpr int kLots = 2000;
constexpr int kDishes = 30;
constexpr int kEaterTypes = 5;

using bench::report;
using bench::time;

qint64 fill(Database& db)
{
    QRandomGenerator rng(20261205);
    Transaction tx(db);
    db.execScript(QStringLiteral("DELETE FROM card_recipes; DELETE FROM recipes; DELETE FROM products; DELETE FROM output; "
                                 "DELETE FROM type_menu; DELETE FROM type_eating; DELETE FROM day_menu; "
                                 "DELETE FROM day_menu_point; DELETE FROM quantity_eating; DELETE FROM receipt; "
                                 "DELETE FROM storage; DELETE FROM eating; DELETE FROM VALUTA; DELETE FROM INF"));
    db.exec(QStringLiteral("INSERT INTO INF (Naim, VestSkl, Sezonnost) VALUES ('Сад', -1, 0)"));
    db.exec(QStringLiteral("INSERT INTO VALUTA (namev, shnamev, status) VALUES ('Рубль', 'руб.', -1)"));
    db.exec(QStringLiteral("INSERT INTO ed_izmer (ename, koef) VALUES ('кг', 1000)"));
    const qint64 unit = db.lastInsertId();

    Statement product(db, QStringLiteral("INSERT INTO products (id, pname, id_ed_izmer, plpris) VALUES (?1, ?2, ?3, ?4)"));
    for (int p = 1; p <= kProducts; ++p) {
        product.reset();
        product.bindAll({p, QStringLiteral("Продукт %1").arg(p), unit, rng.bounded(100000) / 100.0});
        product.exec();
    }
    Statement receipt(db, QStringLiteral("INSERT INTO receipt (rdate, status) VALUES (?1, -1)"));
    Statement lot(db, QStringLiteral("INSERT INTO storage (id_product, quantity, id_receipt, cost, id_ed_izmer, status) "
                                     "VALUES (?1, 10, ?2, ?3, ?4, 0)"));
    qint64 receiptId = 0;
    for (int i = 0; i < kLots; ++i) {
        if (i % 20 == 0) {
            receipt.reset();
            receipt.bind(1, QDate(2026, 1, 1).addDays(i / 20 * 3));
            receipt.exec();
            receiptId = db.lastInsertId();
        }
        lot.reset();
        lot.bindAll({1 + rng.bounded(kProducts), receiptId, rng.bounded(100000) / 100.0, unit});
        lot.exec();
    }

    Statement card(db, QStringLiteral("INSERT INTO card_recipes (cname, number1, cost, fat, protein, carbohyd, calories, "
                                      "b1, b2, c, ca, fe) VALUES (?1, ?2, ?3, 3, 4, 10, 90, 0.01, 0.02, 1.5, 20, 0.3)"));
    Statement line(db, QStringLiteral("INSERT INTO recipes (id_card_recipes, id_product, brutto, netto, isCard, isComment, "
                                      "isVariant, id_MainCard) VALUES (?1, ?2, ?3, ?4, ?5, 0, 0, 0)"));
    std::vector<qint64> cards;
    for (int i = 0; i < kCards; ++i) {
        card.reset();
        card.bindAll({QStringLiteral("Блюдо %1").arg(i + 1), QString::number(i + 1), rng.bounded(2000) / 100.0});
        card.exec();
        const qint64 c = db.lastInsertId();
        for (int k = 0; k < 8; ++k) {
            const double netto = 5 + rng.bounded(400) / 10.0;
            line.reset();
            line.bindAll({c, 1 + rng.bounded(kProducts), netto * 1.2, netto, 0});
            line.exec();
        }
        if (i >= 100 && i % 3 == 0) {
            line.reset();
            line.bindAll({c, cards[size_t(rng.bounded(100))], 30, 25, -1});
            line.exec();
        }
        cards.push_back(c);
    }

    db.exec(QStringLiteral("INSERT INTO type_menu (tname, status) VALUES ('Основное', 2)"));
    const qint64 pm = db.lastInsertId();
    std::vector<qint64> types;
    for (int t = 0; t < kEaterTypes; ++t) {
        db.exec(QStringLiteral("INSERT INTO type_eating (ename, shname, status, id_type_menu) VALUES (?1, ?1, -1, ?2)"),
                {QStringLiteral("Тип %1").arg(t + 1), pm});
        types.push_back(db.lastInsertId());
    }
    std::vector<qint64> meals;
    for (const char* m : {"Завтрак", "Обед", "Полдник", "Ужин"}) {
        db.exec(QStringLiteral("INSERT INTO eating (ename) VALUES (?1)"), {QString::fromUtf8(m)});
        meals.push_back(db.lastInsertId());
    }
    Statement yield(db, QStringLiteral("INSERT INTO output (id_card_recipe, id_type_eating, output1, output2, output3) "
                                       "VALUES (?1, ?2, ?3, 0, 0)"));
    for (qint64 c : cards)
        for (size_t t = 0; t < types.size(); ++t) {
            yield.reset();
            yield.bindAll({c, types[t], 100 + 20 * int(t)});
            yield.exec();
        }

    db.exec(QStringLiteral("INSERT INTO day_menu (ddate, nom, id_type_menu, status, sum, filtr) VALUES "
                           "('2026-12-05', '1', ?1, 0, 0, 0)"),
            {pm});
    const qint64 menu = db.lastInsertId();
    for (int d = 0; d < kDishes; ++d) {
        db.exec(QStringLiteral("INSERT INTO day_menu_point (id_day_menu, id_card_recipe, id_eating) VALUES (?1, ?2, ?3)"),
                {menu, cards[size_t(100 + d * 3)], meals[size_t(d % 4)]});
        const qint64 point = db.lastInsertId();
        for (qint64 t : types)
            db.exec(QStringLiteral("INSERT INTO quantity_eating (id_day_menu_point, id_type_eating, quantity) "
                                   "VALUES (?1, ?2, ?3)"),
                    {point, t, 5 + rng.bounded(30)});
    }
    tx.commit();
    return menu;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const int runs = bench::runsArg(argc, argv, 10);
    bench::BenchDatabase file;
    if (!file.create(QStringLiteral("menu.db")))
        return 1;
    Database& db = file.db();
    menu::registerMenuModule();
    const qint64 menuId = fill(db);
    const QDate today(2026, 12, 5);
    Clock::setToday(today);

    menu::DayMenuRows rows;
    const char* names[] = {"rows at the latest delivery, 30 dishes x 5 types", "rows at planned product prices",
                           "rows at planned card prices"};
    // The rows the grid reads: the menu's points, counts and yields with their cards, the
    // recipe lines, the products and the stock lots with their receipts.
    const auto scan = [&] {
        bench::scanRows(db, {QStringLiteral("SELECT p.id, q.id, q.id_type_eating, q.quantity, t.shname, c.cname, "
                                            "o.output1 FROM day_menu_point p "
                                            "JOIN quantity_eating q ON q.id_day_menu_point = p.id "
                                            "JOIN type_eating t ON t.id = q.id_type_eating "
                                            "JOIN card_recipes c ON c.id = p.id_card_recipe "
                                            "JOIN output o ON o.id_card_recipe = p.id_card_recipe "
                                            "AND o.id_type_eating = q.id_type_eating"),
                             QStringLiteral("SELECT id_card_recipes, id, id_product, isCard, brutto, netto FROM recipes"),
                             QStringLiteral("SELECT id, pname, plpris, id_ed_izmer FROM products"),
                             QStringLiteral("SELECT s.id_product, s.cost, s.id_ed_izmer, s.status, r.rdate, r.status "
                                            "FROM storage s LEFT JOIN receipt r ON r.id = s.id_receipt")});
    };
    for (int code = 0; code < 3; ++code) {
        bench::reportAgainstScan(
            names[code], bench::timeAgainstScan(runs, [&] { rows = menu::dayMenuRows(db, menuId, code, today); }, scan));
        std::printf("  %zu rows, %s\n", rows.rows.size(), qPrintable(rows.totalLabel));
    }
    bench::reportAgainstScan("total stored, latest delivery",
                             bench::timeAgainstScan(runs, [&] { menu::updateDayMenuTotal(db, menuId, 0, today); }, scan));
    return 0;
}
