// Time of the batch commands of the card list over 1,000 technological cards: the nutrient value
// of every card (expansion, vitamins, writing the card and its vitamin rows) and the planned
// cost of every card (with seasonal gross weights switched on). 400 cards hold products only,
// 400 nest one of them, 200 nest one of those and one plain card, so the deepest cards have two
// nesting levels. Each card also has a variant line and a comment line. Prints the best and the
// median of N runs in milliseconds.
//
//   bench_cards [runs]    (10 runs when not given)

#include "BenchDatabase.h"
#include "BenchScan.h"
#include "BenchTiming.h"
#include "core/Clock.h"
#include "core/Database.h"
#include "core/Prompt.h"
#include "refbooks/CardCalc.h"

#include <QCoreApplication>
#include <QRandomGenerator>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

using namespace rat;
using namespace rat::books;

namespace {

constexpr int kProducts = 300;
constexpr int kVitamins = 10;  // the first five belong on a card
constexpr int kPlain = 400, kMiddle = 400, kTop = 200;

using bench::Figures;
using bench::report;
using bench::time;

std::vector<qint64> fill(Database& db)
{
    QRandomGenerator rng(20240601);
    Transaction tx(db);
    db.execScript(QStringLiteral("DELETE FROM vitamin; DELETE FROM card_recipes; DELETE FROM recipes; "
                                 "DELETE FROM card_vitamin; DELETE FROM SEZON"));
    if (db.scalar(QStringLiteral("SELECT COUNT(*) FROM INF")).toInt() == 0)
        db.exec(QStringLiteral("INSERT INTO INF (Sezonnost) VALUES (-1)"));
    db.exec(QStringLiteral("UPDATE INF SET Sezonnost = -1"));
    for (int v = 1; v <= kVitamins; ++v)
        db.exec(QStringLiteral("INSERT INTO vitamin (id, vname, shname, ispCard) VALUES (?1, ?2, ?3, ?4)"),
                {v, QStringLiteral("Витамин %1").arg(v), QStringLiteral("V%1").arg(v), v <= 5 ? -1 : 0});
    db.exec(QStringLiteral("INSERT INTO ed_izmer (ename, koef) VALUES ('кг', 1000)"));
    const qint64 unit = db.lastInsertId();
    Statement product(db, QStringLiteral("INSERT INTO products (id, pname, id_ed_izmer, protein, fat, carbohyd, calories, "
                                         "plpris, procNe) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9)"));
    Statement content(db, QStringLiteral("INSERT INTO vitamin_quantity (id_product, id_vitamin, quantity) VALUES (?1, ?2, ?3)"));
    Statement season(db, QStringLiteral("INSERT INTO SEZON (id_PRODUCT, DAY_N, MES_N, DAY_O, MES_O, PROZ) VALUES "
                                        "(?1, 1, ?2, 28, ?3, ?4)"));
    for (int p = 1; p <= kProducts; ++p) {
        product.reset();
        product.bindAll({p, QStringLiteral("Продукт %1").arg(p), unit, rng.bounded(2000) / 100.0, rng.bounded(3000) / 100.0,
                         rng.bounded(8000) / 100.0, rng.bounded(90000) / 100.0, rng.bounded(100000) / 100.0,
                         rng.bounded(30)});
        product.exec();
        for (int v = 1; v <= kVitamins; ++v)
            if (rng.bounded(10) < 7) {
                content.reset();
                content.bindAll({p, v, rng.bounded(100000) / 1000.0});
                content.exec();
            }
        if (p % 6 == 0)
            for (const auto& [from, to, proz] : {std::tuple{0, 5, 20}, std::tuple{6, 8, 10}, std::tuple{9, 11, 25}}) {
                season.reset();
                season.bindAll({p, from, to, proz});
                season.exec();
            }
    }
    Statement card(db, QStringLiteral("INSERT INTO card_recipes (cname, number1, vih, pr_fat, pr_protein, pr_carbohyd, "
                                      "pr_calories) VALUES (?1, ?2, 250, ?3, ?4, ?5, ?6)"));
    Statement line(db, QStringLiteral("INSERT INTO recipes (id_card_recipes, id_product, brutto, netto, isCard, isComment, "
                                      "isVariant, id_MainCard, comment) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9)"));
    Statement loss(db, QStringLiteral("INSERT INTO card_vitamin (id_vitamin, id_card_recipes, kolpr) VALUES (?1, ?2, ?3)"));
    std::vector<qint64> cards;
    const auto addLine = [&](qint64 c, qint64 item, bool isCard, bool isComment, qint64 mainLine) {
        const double netto = 5 + rng.bounded(400) / 10.0;
        line.reset();
        line.bindAll({c, item, netto * 1.2, netto, isCard ? -1 : 0, isComment ? -1 : 0, mainLine ? -1 : 0, mainLine,
                      isComment ? QStringLiteral("Подавать горячим") : QString()});
        line.exec();
        return db.lastInsertId();
    };
    for (int i = 0; i < kPlain + kMiddle + kTop; ++i) {
        card.reset();
        card.bindAll({QStringLiteral("Блюдо %1").arg(i + 1), QString::number(i + 1), rng.bounded(20), rng.bounded(20),
                      rng.bounded(20), rng.bounded(20)});
        card.exec();
        const qint64 c = db.lastInsertId();
        const int products = i < kPlain ? 8 : i < kPlain + kMiddle ? 6 : 5;
        qint64 first = 0;
        for (int k = 0; k < products; ++k) {
            const qint64 id = addLine(c, 1 + rng.bounded(kProducts), false, false, 0);
            if (!first)
                first = id;
        }
        addLine(c, 1 + rng.bounded(kProducts), false, false, first);  // a variant
        addLine(c, 0, false, true, 0);                                  // a comment
        if (i >= kPlain)  // a plain card nested
            addLine(c, cards[size_t(rng.bounded(kPlain))], true, false, 0);
        if (i >= kPlain + kMiddle)  // a card that itself nests one
            addLine(c, cards[size_t(kPlain + rng.bounded(kMiddle))], true, false, 0);
        for (int v = 1; v <= 5; ++v) {
            loss.reset();
            loss.bindAll({v, c, rng.bounded(30)});
            loss.exec();
        }
        cards.push_back(c);
    }
    tx.commit();
    return cards;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const int runs = bench::runsArg(argc, argv, 10);
    bench::BenchDatabase file;
    if (!file.create(QStringLiteral("cards.db")))
        return 1;
    Database& db = file.db();
    SilentPrompt& prompt = file.prompt;
    const std::vector<qint64> cards = fill(db);
    Clock::setToday(QDate(2024, 10, 15));
    std::printf("cards: %zu (%d plain, %d with one nested dish, %d with two nesting levels), recipe lines: %lld\n",
                cards.size(), kPlain, kMiddle, kTop,
                db.scalar(QStringLiteral("SELECT COUNT(*) FROM recipes")).toLongLong());

    // The rows both batches read: the cards, their lines and losses, the products with their
    // vitamins and seasons.
    const auto scan = [&] {
        bench::scanRows(db, {QStringLiteral("SELECT id, cname, pr_fat, pr_protein, pr_carbohyd, pr_calories, vih "
                                            "FROM card_recipes"),
                             QStringLiteral("SELECT id_card_recipes, id, id_product, isCard, brutto, netto, isComment, "
                                            "isVariant FROM recipes"),
                             QStringLiteral("SELECT IDcv, id_card_recipes, id_vitamin, kolpr FROM card_vitamin"),
                             QStringLiteral("SELECT id, pname, fat, protein, carbohyd, calories, procNe, plpris, "
                                            "id_ed_izmer FROM products"),
                             QStringLiteral("SELECT id_product, id_vitamin, quantity FROM vitamin_quantity"),
                             QStringLiteral("SELECT id_PRODUCT, DAY_N, MES_N, DAY_O, MES_O, PROZ FROM SEZON")});
    };
    int done = 0;
    bench::reportAgainstScan("batch nutrient value, 1,000 cards",
                             bench::timeAgainstScan(runs, [&] { done = calculateNutrientsOfCards(db, prompt, cards); },
                                                    scan));
    if (done != int(cards.size()))
        std::fprintf(stderr, "only %d cards calculated\n", done);
    bench::reportAgainstScan("batch cost, 1,000 cards",
                             bench::timeAgainstScan(runs, [&] { done = storeCostsOfCards(db, prompt, cards); }, scan));
    if (done != int(cards.size()))
        std::fprintf(stderr, "only %d cards costed\n", done);
    std::printf("card %lld: fat %s, cost %s\n", cards.back(),
                qPrintable(db.scalar(QStringLiteral("SELECT fat FROM card_recipes WHERE id = ?1"), {cards.back()}).toString()),
                qPrintable(db.scalar(QStringLiteral("SELECT cost FROM card_recipes WHERE id = ?1"), {cards.back()}).toString()));
    return 0;
}
