// Time of printing a menu-requirement of 30 dishes × 5 eater types × 60 products (150 dish rows,
// 60 product columns) into the shipped templates: the whole print of the form № 299 and of the
// cook's copy, and its parts (the data read, the template filled and saved). Prints the best and
// the median of N runs in milliseconds.
//
//   bench_menu_requirement_print [runs]    (10 runs when not given)

#include "BenchDatabase.h"
#include "BenchTiming.h"
#include "core/AppState.h"
#include "core/ShippedFolders.h"
#include "documents/MenuRequirementPrintForm.h"
#include "documents/MenuRequirementPrinting.h"
#include "documents/PrintFrame.h"
#include "documents/XlsxTemplate.h"
#include "menu/MenuModule.h"
#include "stock/MenuRequirement.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <cstdio>

using namespace rat;
using namespace rat::documents;

namespace {

constexpr int kDishes = 30, kTypes = 5, kProducts = 60, kMeals = 4, kLinesPerDish = 8;

qint64 requirement(Database& db, Prompt& prompt)
{
    db.execScript(QStringLiteral(
        "DELETE FROM products; DELETE FROM card_recipes; DELETE FROM recipes; DELETE FROM output; DELETE FROM type_eating; "
        "DELETE FROM type_menu; DELETE FROM eating; DELETE FROM day_menu; DELETE FROM day_menu_point; "
        "DELETE FROM quantity_eating; DELETE FROM MENUTR; DELETE FROM MENUTM; DELETE FROM MENUTR_POINT; "
        "INSERT OR REPLACE INTO ed_izmer (id, ename, koef) VALUES (901, 'кг', 1000);"
        "INSERT INTO type_menu (id, tname, status) VALUES (1, 'Основное', 2);"
        "INSERT INTO day_menu (id, ddate, nom, id_type_menu, status, sum, filtr, idd_tm) "
        "VALUES (1, '2026-12-05', '12', 1, 0, 0, 0, '');"));
    Transaction tx(db);
    std::vector<qint64> products, types, meals;
    for (int i = 0; i < kProducts; ++i) {
        db.exec(QStringLiteral("INSERT INTO products (pname, id_ed_izmer, rule_okr, schif, plpris) VALUES (?1, 901, ?2, ?3, ?4)"),
                {QStringLiteral("Продукт питания № %1").arg(i + 1), 1 + i % 4, QString::number(1000 + i), 50 + i});
        products.push_back(db.lastInsertId());
    }
    for (int t = 0; t < kTypes; ++t) {
        db.exec(QStringLiteral("INSERT INTO type_eating (ename, shname, status, id_type_menu, Pes) VALUES (?1, ?1, -1, 1, ?2)"),
                {QStringLiteral("Группа %1").arg(t + 1), t == kTypes - 1 ? -1 : 0});
        types.push_back(db.lastInsertId());
        db.exec(QStringLiteral("INSERT INTO plstoim (id_type_eating, pldate, stoim) VALUES (?1, '2026-01-01', 150)"),
                {types.back()});
    }
    for (int m = 0; m < kMeals; ++m) {
        db.exec(QStringLiteral("INSERT INTO eating (ename) VALUES (?1)"), {QStringLiteral("Прием пищи %1").arg(m + 1)});
        meals.push_back(db.lastInsertId());
    }
    for (int d = 0; d < kDishes; ++d) {
        db.exec(QStringLiteral("INSERT INTO card_recipes (cname) VALUES (?1)"), {QStringLiteral("Блюдо %1").arg(d + 1)});
        const qint64 card = db.lastInsertId();
        for (int l = 0; l < kLinesPerDish; ++l)
            db.exec(QStringLiteral("INSERT INTO recipes (id_card_recipes, id_product, brutto, netto, isCard, isComment, "
                                   "isVariant, id_MainCard) VALUES (?1, ?2, ?3, ?3, 0, 0, 0, 0)"),
                    {card, products[size_t((d * kLinesPerDish + l) % kProducts)], 5.0 + l});
        db.exec(QStringLiteral("INSERT INTO day_menu_point (id_day_menu, id_card_recipe, id_eating) VALUES (1, ?1, ?2)"),
                {card, meals[size_t(d % kMeals)]});
        const qint64 point = db.lastInsertId();
        for (int t = 0; t < kTypes; ++t) {
            db.exec(QStringLiteral("INSERT INTO output (id_card_recipe, id_type_eating, output1, output2, output3) "
                                   "VALUES (?1, ?2, ?3, 0, 0)"),
                    {card, types[size_t(t)], 150 + 10 * t});
            db.exec(QStringLiteral("INSERT INTO quantity_eating (id_day_menu_point, id_type_eating, quantity) VALUES (?1, ?2, ?3)"),
                    {point, types[size_t(t)], 10 + t});
        }
    }
    tx.commit();
    return stock::createMenuRequirement(db, prompt, 1).value_or(0);
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const int runs = bench::runsArg(argc, argv, 10);
    bench::BenchDatabase file;
    if (!file.create(QStringLiteral("print.db")))
        return 1;
    menu::registerMenuModule();
    Database& db = file.db();
    rat::app().appDir = file.dir.path();
    setInstallationFolder(QCoreApplication::applicationDirPath());
    const QString templatePath = PrintFrame::templatePath(templateName(MenuRequirementLayout::Form299));
    if (!QFileInfo(templatePath).isFile()) {
        std::fprintf(stderr, "no template %s\n", qPrintable(templatePath));
        return 1;
    }
    SilentPrompt prompt;
    const qint64 idm = requirement(db, prompt);
    const MenuRequirementPrintSettings settings;
    {
        const auto d = readMenuRequirementPrint(db, prompt, {false, idm}, MenuRequirementLayout::Form299, settings);
        std::printf("document: %d dish rows, %zu product columns, %d lines\n", d ? d->rowCount() : 0,
                    d ? d->products.size() : 0,
                    db.scalar(QStringLiteral("SELECT COUNT(*) FROM MENUTR_POINT WHERE IDM = ?1"), {idm}).toInt());
    }

    for (auto [what, layout] : {std::pair{"print, form № 299", MenuRequirementLayout::Form299},
                                std::pair{"print, cook's copy (two columns per product)", MenuRequirementLayout::Products},
                                std::pair{"print, ОКУД 0504202", MenuRequirementLayout::Okud0504202}})
        bench::report(what, bench::time(runs, [&, layout = layout] {
            const auto out = printMenuRequirement(db, prompt, {false, idm}, layout, settings);
            if (!out || out->path.isEmpty())
                std::fprintf(stderr, "not printed\n");
        }));
    bench::report("data read only (form № 299)", bench::time(runs, [&] {
        readMenuRequirementPrint(db, prompt, {false, idm}, MenuRequirementLayout::Form299, settings);
    }));
    const auto data = readMenuRequirementPrint(db, prompt, {false, idm}, MenuRequirementLayout::Form299, settings);
    const QString out = QDir(file.dir.path()).filePath(QStringLiteral("out.xlsx"));
    bench::report("template filled only (form № 299)", bench::time(runs, [&] {
        XlsxTemplate t;
        t.open(templatePath);
        fillMenuRequirementForm(t, *data, settings);
    }));
    bench::report("template filled and saved (form № 299)", bench::time(runs, [&] {
        XlsxTemplate t;
        t.open(templatePath);
        fillMenuRequirementForm(t, *data, settings);
        t.save(out);
    }));
    return 0;
}
