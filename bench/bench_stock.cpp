// Time of the stock module's two heavy reads and writes, each beside a bare statement over the
// same number of rows:
// - a menu-requirement filled from a day menu of 30 dishes for 5 eater types (8 product lines a
//   dish, every third nesting another card) over 60 products with 2,000 stock lots, against
//   inserting the same number of working lines with one prepared statement;
// - the remnant of every product on a date over ten years of stock: 30,000 lots, 2,500 expense
//   documents of 60 lines, 250 write-offs, against a plain scan of those lots and lines.
// Prints the best and the median of N runs in milliseconds.
//
//   bench_stock [runs]    (10 runs when not given)

#include "BenchDatabase.h"
#include "BenchTiming.h"
#include "TenYearStock.h"
#include "core/Database.h"
#include "core/Prompt.h"
#include "menu/MenuModule.h"
#include "stock/MenuRequirement.h"
#include "stock/StockLots.h"

#include <QCoreApplication>
#include <QRandomGenerator>
#include <cstdio>

using namespace rat;

namespace {

constexpr int kFillProducts = 60;
constexpr int kFillLots = 2000;
constexpr int kDishes = 30;
constexpr int kEaterTypes = 5;

using bench::report;
using bench::time;

// The day menu of the fill; returns its id.
qint64 fillMenuData(Database& db)
{
    QRandomGenerator rng(20261205);
    Transaction tx(db);
    bench::clearStockTables(db);
    const qint64 unit = bench::addKilogram(db);
    for (int p = 1; p <= kFillProducts; ++p)
        db.exec(QStringLiteral("INSERT INTO products (id, pname, id_ed_izmer, rule_okr) VALUES (?1, ?2, ?3, ?4)"),
                {p, QStringLiteral("Продукт %1").arg(p), unit, 1 + p % 4});
    Statement receipt(db, QStringLiteral("INSERT INTO receipt (rdate, status) VALUES (?1, -1)"));
    Statement lot(db, QStringLiteral("INSERT INTO storage (id_product, quantity, id_receipt, cost, id_ed_izmer, status, "
                                     "date_realization, IDSS) VALUES (?1, 10, ?2, ?3, ?4, 0, ?5, 1)"));
    qint64 receiptId = 0;
    for (int i = 0; i < kFillLots; ++i) {
        const QDate d = QDate(2026, 1, 1).addDays(i / 20 * 3);
        if (i % 20 == 0) {
            receipt.reset();
            receipt.bind(1, d);
            receipt.exec();
            receiptId = db.lastInsertId();
        }
        lot.reset();
        lot.bindAll({1 + rng.bounded(kFillProducts), receiptId, rng.bounded(100000) / 100.0, unit, d.addDays(20)});
        lot.exec();
    }
    Statement card(db, QStringLiteral("INSERT INTO card_recipes (cname) VALUES (?1)"));
    Statement line(db, QStringLiteral("INSERT INTO recipes (id_card_recipes, id_product, brutto, netto, isCard, isComment, "
                                      "isVariant, id_MainCard) VALUES (?1, ?2, ?3, ?4, ?5, 0, 0, 0)"));
    std::vector<qint64> cards;
    for (int i = 0; i < kDishes + 10; ++i) {
        card.reset();
        card.bind(1, QStringLiteral("Блюдо %1").arg(i + 1));
        card.exec();
        const qint64 c = db.lastInsertId();
        for (int k = 0; k < 8; ++k) {
            const double netto = 5 + rng.bounded(400) / 10.0;
            line.reset();
            line.bindAll({c, 1 + rng.bounded(kFillProducts), netto * 1.2, netto, 0});
            line.exec();
        }
        // The first ten cards are semi-finished items the dishes nest.
        if (i >= 10 && i % 3 == 0) {
            line.reset();
            line.bindAll({c, cards[size_t(rng.bounded(10))], 30, 25, -1});
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
    Statement yield(db, QStringLiteral("INSERT INTO output (id_card_recipe, id_type_eating, output1, output2, output3) "
                                       "VALUES (?1, ?2, ?3, 0, 0)"));
    for (qint64 c : cards)
        for (size_t t = 0; t < types.size(); ++t) {
            yield.reset();
            yield.bindAll({c, types[t], 100 + 20 * int(t)});
            yield.exec();
        }
    db.exec(QStringLiteral("INSERT INTO eating (ename) VALUES ('Обед')"));
    const qint64 meal = db.lastInsertId();
    db.exec(QStringLiteral("INSERT INTO day_menu (ddate, nom, id_type_menu, status, sum, filtr) VALUES "
                           "('2026-12-05', '1', ?1, 0, 0, 0)"),
            {pm});
    const qint64 menu = db.lastInsertId();
    for (int d = 0; d < kDishes; ++d) {
        db.exec(QStringLiteral("INSERT INTO day_menu_point (id_day_menu, id_card_recipe, id_eating) VALUES (?1, ?2, ?3)"),
                {menu, cards[size_t(10 + d)], meal});
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
    if (!file.create(QStringLiteral("stock.db")))
        return 1;
    Database& db = file.db();
    menu::registerMenuModule();
    SilentPrompt prompt;

    const qint64 menuId = fillMenuData(db);
    qint64 lines = 0;
    const bench::Figures fill = time(runs, [&] {
        const auto idm1 = stock::fillFromDayMenu(db, prompt, menuId);
        lines = db.scalar(QStringLiteral("SELECT COUNT(*) FROM MENUTR_POINT1")).toLongLong();
        stock::clearWorkingCopy(db, *idm1);
    });
    report("fill, 30 dishes x 5 types, 2,000 lots", fill);
    std::printf("  %lld working lines\n", lines);
    const bench::Figures insert = time(runs, [&] {
        Transaction tx(db);
        Statement ins(db, QStringLiteral("INSERT INTO MENUTR_POINT1 (id_product, id_type_eating, id_eating, id_card, kol, "
                                         "kolv, output, ost, IDM1) VALUES (?1, 1, 1, 1, 1.5, 2.5, 100, 3, 999)"));
        for (qint64 i = 0; i < lines; ++i) {
            ins.reset();
            ins.bind(1, i);
            ins.exec();
        }
        tx.commit();
        db.exec(QStringLiteral("DELETE FROM MENUTR_POINT1"));
    });
    report("bare insert of as many working lines", insert);
    std::vector<double> fillBest = fill.wall, insertBest = insert.wall;
    std::sort(fillBest.begin(), fillBest.end());
    std::sort(insertBest.begin(), insertBest.end());
    std::printf("  ratio fill / bare insert (best): %.1f\n", fillBest.front() / insertBest.front());
    report("fill and store as not approved", time(runs, [&] { stock::createMenuRequirement(db, prompt, menuId); }));

    bench::fillTenYearsOfStock(db);
    const QDate day(2022, 6, 15);
    size_t products = 0;
    const bench::Figures remnants = time(runs, [&] { products = stock::productRemnants(db, day).size(); });
    report("product remnants on a date, ten years", remnants);
    std::printf("  %zu products\n", products);
    report("lot remnants on a date, ten years", time(runs, [&] { stock::lotRemnants(db, day); }));
    const qint64 rows = db.scalar(QStringLiteral("SELECT (SELECT COUNT(*) FROM storage) + (SELECT COUNT(*) FROM expense) + "
                                                 "(SELECT COUNT(*) FROM spisanie_point)")).toLongLong();
    const bench::Figures scan = time(runs, [&] {
        double sum = 0;
        for (const char* sql : {"SELECT id, quantity FROM storage", "SELECT id_storage, quantity FROM expense",
                                "SELECT id_storage, quantity FROM spisanie_point"}) {
            Statement st(db, QString::fromLatin1(sql));
            while (st.next())
                sum += st.toDouble(1);
        }
        if (sum < 0)
            std::printf("?");
    });
    report("bare scan of the same lots and lines", scan);
    std::vector<double> a = remnants.wall, b = scan.wall;
    std::sort(a.begin(), a.end());
    std::sort(b.begin(), b.end());
    std::printf("  %lld rows; ratio remnants / bare scan (best): %.1f\n", rows, a.front() / b.front());
    return 0;
}
