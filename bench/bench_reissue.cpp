// Time of the re-issue of a year: 250 approved menu-requirements (one a working day, 5 dishes of
// 4 products for 2 eater types) over 60 products and 2,000 lots, all expense documents refilled
// in date order in one transaction, beside a bare prepared insert of as many expense lines.
// Prints the best and the median of N runs in milliseconds.
//
//   bench_reissue [runs]    (5 runs when not given)

#include "BenchDatabase.h"
#include "BenchTiming.h"
#include "core/Database.h"
#include "core/Prompt.h"
#include "menu/MenuModule.h"
#include "stock/MenuRequirement.h"
#include "stock/MenuRequirementApproval.h"

#include <QCoreApplication>
#include <QRandomGenerator>
#include <algorithm>
#include <cstdio>

using namespace rat;

namespace {

constexpr int kProducts = 60;
constexpr int kLots = 2000;
constexpr int kDays = 250;
constexpr int kCards = 20;
constexpr int kDishesADay = 5;

using bench::report;
using bench::time;

// The products, lots, cards and 250 day menus; returns the day menus in date order.
std::vector<qint64> fillYear(Database& db)
{
    QRandomGenerator rng(20260112);
    Transaction tx(db);
    db.execScript(QStringLiteral("DELETE FROM card_recipes; DELETE FROM recipes; DELETE FROM products; DELETE FROM output; "
                                 "DELETE FROM type_menu; DELETE FROM type_eating; DELETE FROM day_menu; "
                                 "DELETE FROM day_menu_point; DELETE FROM quantity_eating; DELETE FROM receipt; "
                                 "DELETE FROM storage; DELETE FROM eating; DELETE FROM expense; DELETE FROM expence_docum; "
                                 "DELETE FROM spisanie; DELETE FROM spisanie_point; DELETE FROM INF; DELETE FROM MENUTR; "
                                 "DELETE FROM MENUTM; DELETE FROM MENUTR_POINT"));
    db.exec(QStringLiteral("INSERT INTO INF (Naim, VestSkl, Sezonnost, AvtSpis) VALUES ('Сад', -1, 0, 0)"));
    db.exec(QStringLiteral("INSERT INTO ed_izmer (ename, koef) VALUES ('кг', 1000)"));
    const qint64 unit = db.lastInsertId();
    for (int p = 1; p <= kProducts; ++p)
        db.exec(QStringLiteral("INSERT INTO products (id, pname, id_ed_izmer, rule_okr) VALUES (?1, ?2, ?3, 4)"),
                {p, QStringLiteral("Продукт %1").arg(p), unit});
    Statement receipt(db, QStringLiteral("INSERT INTO receipt (rdate, status) VALUES (?1, -1)"));
    Statement lot(db, QStringLiteral("INSERT INTO storage (id_product, quantity, id_receipt, cost, id_ed_izmer, status, "
                                     "date_realization, IDSS) VALUES (?1, 10, ?2, ?3, ?4, 0, ?5, 1)"));
    qint64 receiptId = 0;
    const QDate start(2025, 12, 20);
    for (int i = 0; i < kLots; ++i) {
        const QDate d = start.addDays(i / 8 * 3 / 2);
        if (i % 8 == 0) {
            receipt.reset();
            receipt.bind(1, d);
            receipt.exec();
            receiptId = db.lastInsertId();
        }
        lot.reset();
        lot.bindAll({1 + rng.bounded(kProducts), receiptId, rng.bounded(100000) / 100.0, unit, d.addDays(20 + rng.bounded(40))});
        lot.exec();
    }
    db.exec(QStringLiteral("INSERT INTO type_menu (tname, status) VALUES ('Основное', 2)"));
    const qint64 pm = db.lastInsertId();
    std::vector<qint64> types;
    for (const char* name : {"Ясли", "Сад"}) {
        db.exec(QStringLiteral("INSERT INTO type_eating (ename, shname, status, id_type_menu) VALUES (?1, ?1, -1, ?2)"),
                {QString::fromUtf8(name), pm});
        types.push_back(db.lastInsertId());
    }
    Statement card(db, QStringLiteral("INSERT INTO card_recipes (cname) VALUES (?1)"));
    Statement line(db, QStringLiteral("INSERT INTO recipes (id_card_recipes, id_product, brutto, netto, isCard, isComment, "
                                      "isVariant, id_MainCard) VALUES (?1, ?2, ?3, ?3, 0, 0, 0, 0)"));
    Statement yield(db, QStringLiteral("INSERT INTO output (id_card_recipe, id_type_eating, output1, output2, output3) "
                                       "VALUES (?1, ?2, 100, 0, 0)"));
    std::vector<qint64> cards;
    for (int c = 0; c < kCards; ++c) {
        card.reset();
        card.bind(1, QStringLiteral("Блюдо %1").arg(c + 1));
        card.exec();
        cards.push_back(db.lastInsertId());
        for (int k = 0; k < 4; ++k) {
            line.reset();
            line.bindAll({cards.back(), 1 + (c * 4 + k) % kProducts, 5 + rng.bounded(200) / 10.0});
            line.exec();
        }
        for (qint64 t : types) {
            yield.reset();
            yield.bindAll({cards.back(), t});
            yield.exec();
        }
    }
    db.exec(QStringLiteral("INSERT INTO eating (ename) VALUES ('Обед')"));
    const qint64 meal = db.lastInsertId();
    std::vector<qint64> menus;
    QDate day(2026, 1, 12);
    for (int d = 0; d < kDays; ++d) {
        while (day.dayOfWeek() > 5)
            day = day.addDays(1);
        db.exec(QStringLiteral("INSERT INTO day_menu (ddate, nom, id_type_menu, status, sum, filtr) VALUES (?1, ?2, ?3, 0, 0, 0)"),
                {day, QString::number(d + 1), pm});
        menus.push_back(db.lastInsertId());
        for (int k = 0; k < kDishesADay; ++k) {
            db.exec(QStringLiteral("INSERT INTO day_menu_point (id_day_menu, id_card_recipe, id_eating) VALUES (?1, ?2, ?3)"),
                    {menus.back(), cards[size_t((d * kDishesADay + k) % kCards)], meal});
            const qint64 point = db.lastInsertId();
            for (qint64 t : types)
                db.exec(QStringLiteral("INSERT INTO quantity_eating (id_day_menu_point, id_type_eating, quantity) "
                                       "VALUES (?1, ?2, 20)"),
                        {point, t});
        }
        day = day.addDays(1);
    }
    tx.commit();
    return menus;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const int runs = bench::runsArg(argc, argv, 5);
    bench::BenchDatabase file;
    if (!file.create(QStringLiteral("reissue.db")))
        return 1;
    Database& db = file.db();
    menu::registerMenuModule();
    SilentPrompt prompt;  // every question takes its default "Да"

    const std::vector<qint64> menus = fillYear(db);
    const bench::Figures approve = time(1, [&] {
        for (qint64 m : menus) {
            const auto idm1 = stock::fillFromDayMenu(db, prompt, m);
            std::optional<qint64> idm = stock::storeWorkingCopy(db, *idm1, std::nullopt, 0);
            stock::issueAndApprove(db, prompt, *idm1, *idm, false);
            stock::clearWorkingCopy(db, *idm1);
        }
    });
    report("approval of 250 menu-requirements one by one", approve);
    const qint64 lines = db.scalar(QStringLiteral("SELECT COUNT(*) FROM expense")).toLongLong();
    std::printf("  %lld expense lines, %lld approved expense documents\n", lines,
                db.scalar(QStringLiteral("SELECT COUNT(*) FROM expence_docum WHERE status = -1")).toLongLong());

    const bench::Figures reissue = time(runs, [&] { stock::reissueFromDate(db, prompt, QDate(2026, 1, 1)); });
    report("re-issue of the year", reissue);
    // What the re-issue wrote, to compare the figures of two builds.
    std::printf("  expense lines %s, sums %s\n",
                qPrintable(db.scalar(QStringLiteral("SELECT COUNT(*) || ' / ' || printf('%.9f', SUM(quantity)) || ' / ' || "
                                                    "SUM(id_storage * 7 + id_type_eating * 3 + id_expence_docum) FROM expense"))
                               .toString()),
                qPrintable(db.scalar(QStringLiteral("SELECT printf('%.9f', SUM(sum)) || ' / ' || "
                                                    "printf('%.9f', SUM(sum * id)) FROM expence_docum"))
                               .toString()));
    const bench::Figures insert = time(runs, [&] {
        Transaction tx(db);
        Statement ins(db, QStringLiteral("INSERT INTO expense (id_storage, quantity, id_expence_docum, id_type_eating) "
                                         "VALUES (?1, 1.5, 999999, 1)"));
        for (qint64 i = 0; i < lines; ++i) {
            ins.reset();
            ins.bind(1, 1 + i % kLots);
            ins.exec();
        }
        tx.commit();
        db.exec(QStringLiteral("DELETE FROM expense WHERE id_expence_docum = 999999"));
    });
    report("bare prepared insert of as many expense lines", insert);
    std::vector<double> a = reissue.wall, b = insert.wall;
    std::sort(a.begin(), a.end());
    std::sort(b.begin(), b.end());
    std::printf("  ratio re-issue / bare insert (best): %.1f\n", a.front() / b.front());
    return 0;
}
