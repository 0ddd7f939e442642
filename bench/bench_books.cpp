// Time to load the product list as the list window shows it: 5,000 products, 10 vitamins (one
// generated column each), ordered by name; and the reload that follows the save of one product
// in the record editor. Prints the best and the median of N runs in milliseconds.
//
//   bench_books [runs]    (20 runs when not given)

#include "BenchDatabase.h"
#include "BenchScan.h"
#include "BenchTiming.h"
#include "core/Database.h"
#include "core/Prompt.h"
#include "refbooks/BookList.h"
#include "refbooks/RecordEditor.h"

#include <QCoreApplication>
#include <QRandomGenerator>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

using namespace rat;
using namespace rat::books;

namespace {

constexpr int kProducts = 5000;
constexpr int kVitamins = 10;
constexpr int kGroups = 15;

using bench::Figures;
using bench::report;
using bench::time;

QString randomName(QRandomGenerator& rng, int n)
{
    static const QStringList first = {QStringLiteral("Молоко"), QStringLiteral("Ёжевика"), QStringLiteral("Яблоки"),
                                      QStringLiteral("картофель"), QStringLiteral("Морковь"), QStringLiteral("Свекла"),
                                      QStringLiteral("Крупа"), QStringLiteral("Масло"), QStringLiteral("Сыр"),
                                      QStringLiteral("Apple"), QStringLiteral("Говядина"), QStringLiteral("Рыба")};
    static const QStringList second = {QStringLiteral("сливочное"), QStringLiteral("свежие"), QStringLiteral("гречневая"),
                                       QStringLiteral("пастеризованное"), QStringLiteral("замороженная"),
                                       QStringLiteral("Российский"), QStringLiteral("1 сорт")};
    return first[rng.bounded(int(first.size()))] + QLatin1Char(' ') + second[rng.bounded(int(second.size()))] +
           QStringLiteral(" №") + QString::number(n);
}

void fill(Database& db)
{
    QRandomGenerator rng(20240501);
    Transaction tx(db);
    for (int v = 5; v < kVitamins; ++v)
        db.exec(QStringLiteral("INSERT INTO vitamin (vname, shname, ispCard) VALUES (?1, ?2, 0)"),
                {QStringLiteral("Витамин %1").arg(v), QStringLiteral("V%1").arg(v)});
    for (int g = 0; g < kGroups; ++g)
        db.exec(QStringLiteral("INSERT INTO product_group (pname) VALUES (?1)"), {QStringLiteral("Группа %1").arg(g)});
    for (const char* unit : {"кг", "л", "шт.", "г", "уп."})
        db.exec(QStringLiteral("INSERT INTO ed_izmer (ename, koef) VALUES (?1, 1000)"), {QString::fromUtf8(unit)});
    Statement product(db, QStringLiteral(
                              "INSERT INTO products (pname, id_product_group, id_ed_izmer, protein, fat, carbohyd, "
                              "calories, time_storage, time_period, rule_okr, schif, plpris, procNe, P_NDS, trueVit, "
                              "trueLak) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12, ?13, ?14, ?15, ?16)"));
    Statement content(db, QStringLiteral("INSERT INTO vitamin_quantity (id_product, id_vitamin, quantity) "
                                         "VALUES (?1, ?2, ?3)"));
    for (int p = 1; p <= kProducts; ++p) {
        product.reset();
        product.bindAll({randomName(rng, p), 1 + rng.bounded(kGroups), 1 + rng.bounded(5), rng.bounded(2000) / 100.0,
                         rng.bounded(3000) / 100.0, rng.bounded(8000) / 100.0, rng.bounded(90000) / 100.0,
                         1 + rng.bounded(30), 1 + rng.bounded(5), 1 + rng.bounded(4), QString::number(1000 + p),
                         rng.bounded(100000) / 100.0, rng.bounded(30), 0, p % 3 == 0, p % 7 == 0});
        product.exec();
        const qint64 id = db.lastInsertId();
        for (int v = 1; v <= kVitamins; ++v) {
            if (rng.bounded(10) < 7) {
                content.reset();
                content.bindAll({id, v, rng.bounded(100000) / 1000.0});
                content.exec();
            }
        }
    }
    tx.commit();
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const int runs = bench::runsArg(argc, argv, 20);
    bench::BenchDatabase file;
    if (!file.create(QStringLiteral("books.db")))
        return 1;
    Database& db = file.db();
    SilentPrompt& prompt = file.prompt;
    fill(db);
    const qint64 vitaminCount = db.scalar(QStringLiteral("SELECT COUNT(*) FROM vitamin")).toLongLong();
    const BookList first = loadList(db, entryProducts);
    std::printf("products: %d rows, %d columns (%lld vitamin columns)\n", first.rowCount(), first.columnCount(),
                vitaminCount);

    // The rows the list reads: every product with its group and unit, and the vitamin contents.
    const auto scan = [&] {
        bench::scanRows(db, {QStringLiteral("SELECT p.*, g.pname, e.ename FROM products p "
                                            "LEFT JOIN product_group g ON g.id = p.id_product_group "
                                            "LEFT JOIN ed_izmer e ON e.id = p.id_ed_izmer"),
                             QStringLiteral("SELECT id_product, id_vitamin, quantity FROM vitamin_quantity")});
    };
    bench::reportAgainstScan("product list, load", bench::timeAgainstScan(runs, [&] { loadList(db, entryProducts); }, scan));

    const qint64 edited = first.ids[first.ids.size() / 2];
    int step = 0;
    bench::reportAgainstScan("product list, save of one product + reload", bench::timeAgainstScan(runs, [&] {
               RecordEditor editor(db, prompt, entryProducts);
               editor.open(EditMode::Edit, edited);
               editor.setValue(QStringLiteral("protein"), QString::number(10 + (step++ % 50)) + QStringLiteral(",5"));
               const auto id = editor.save();
               const BookList list = loadList(db, entryProducts);
               if (!id || list.rowOf(*id) < 0)
                   std::fprintf(stderr, "the saved row was not found again\n");
           }, scan));
    bench::reportAgainstScan("product list of one group, load",
                             bench::timeAgainstScan(runs, [&] { loadList(db, entryProducts, qint64(3)); }, scan));
    return 0;
}
