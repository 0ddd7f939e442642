// Time of printing a receipt of 100 lines into the shipped template "Приход": the whole print
// (lines read, template opened, block repeated and filled, workbook saved), beside the template
// engine alone filling the same 100 rows, and beside only reading and saving the template; and
// the engine on a sheet the size of a large menu-requirement: 150 rows by 60 repeated product
// columns (two cells each), every cell written, with a sum formula per column.
// Prints the best and the median of N runs in milliseconds.
//
//   bench_print [runs]    (10 runs when not given)

#include "BenchDatabase.h"
#include "BenchTiming.h"
#include "core/AppState.h"
#include "core/ShippedFolders.h"
#include "documents/CellNames.h"
#include "documents/PrintFrame.h"
#include "documents/StockDocumentPrint.h"
#include "documents/XlsxTemplate.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <cstdio>

using namespace rat;
using namespace rat::documents;

namespace {

constexpr int kLines = 100;

qint64 receiptOfLines(Database& db)
{
    db.execScript(QStringLiteral("DELETE FROM products; DELETE FROM receipt; DELETE FROM storage; DELETE FROM supplier"));
    db.exec(QStringLiteral("INSERT INTO ed_izmer (ename, koef) VALUES ('кг', 1000)"));
    const qint64 unit = db.lastInsertId();
    db.exec(QStringLiteral("INSERT INTO supplier (sname) VALUES ('Поставщик')"));
    db.exec(QStringLiteral("INSERT INTO receipt ([№docum], rdate, status, id_supplier) VALUES ('100', '2026-12-01', -1, ?1)"),
            {db.lastInsertId()});
    const qint64 receipt = db.lastInsertId();
    Transaction tx(db);
    for (int i = 0; i < kLines; ++i) {
        db.exec(QStringLiteral("INSERT INTO products (pname, id_ed_izmer, rule_okr) VALUES (?1, ?2, 4)"),
                {QStringLiteral("Продукт %1").arg(i + 1, 3, 10, QLatin1Char('0')), unit});
        db.exec(QStringLiteral("INSERT INTO storage (id_product, quantity, cost, id_ed_izmer, status, id_receipt, IDSS, "
                               "date_realization) VALUES (?1, ?2, ?3, ?4, 0, ?5, 1, '2026-12-30')"),
                {db.lastInsertId(), 1.5 + i * 0.25, 10.0 + i, unit, receipt});
    }
    tx.commit();
    return receipt;
}

// Answers the one question of the print; shows nothing.
class YesPrompt : public SilentPrompt {
public:
    Answer ask(const QString&, Buttons, Answer) override { return Answer::Yes; }
};

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const int runs = bench::runsArg(argc, argv, 10);
    bench::BenchDatabase file;
    if (!file.create(QStringLiteral("print.db")))
        return 1;
    Database& db = file.db();
    rat::app().appDir = file.dir.path();
    setInstallationFolder(QCoreApplication::applicationDirPath());
    const QString templatePath = PrintFrame::templatePath(QStringLiteral("Приход"));
    if (!QFileInfo(templatePath).isFile()) {
        std::fprintf(stderr, "no template %s\n", qPrintable(templatePath));
        return 1;
    }
    const qint64 receipt = receiptOfLines(db);
    YesPrompt prompt;

    bench::report("print, receipt of 100 lines", bench::time(runs, [&] {
        if (PrintStockDocument(db, prompt, stock::StockKind::Receipt, receipt).isEmpty())
            std::fprintf(stderr, "not printed\n");
    }));
    const QString out = QDir(file.dir.path()).filePath(QStringLiteral("out.xlsx"));
    bench::report("engine only: 100 rows filled and saved", bench::time(runs, [&] {
        XlsxTemplate t;
        t.open(templatePath);
        const int row = t.findRow(QStringLiteral("{name}"));
        t.repeatRows(row, 1, kLines);
        for (int i = 0; i < kLines; ++i) {
            const int r = row + i;
            t.fillRow(r, {{QStringLiteral("no"), CellValue::num(i + 1)},
                          {QStringLiteral("name"), CellValue::str(QStringLiteral("Продукт"))},
                          {QStringLiteral("unit"), CellValue::str(QStringLiteral("кг"))},
                          {QStringLiteral("quantity"), CellValue::num(1.5)},
                          {QStringLiteral("price"), CellValue::num(10)},
                          {QStringLiteral("sum"), CellValue::formulaNum(cellName(r, 4) + u'*' + cellName(r, 5), 15)}});
        }
        t.clearPlaceholders();
        t.save(out);
    }));
    bench::report("engine: 150 rows x 60 columns x 2 cells", bench::time(runs, [&] {
        XlsxTemplate t;
        t.openBlank();
        t.setText(1, 1, QStringLiteral("Блюдо"));
        t.setText(1, 2, QStringLiteral("{product}"));
        t.merge(CellRange{1, 2, 1, 3});
        t.setText(2, 1, QStringLiteral("{dish}"));
        t.setText(2, 2, QStringLiteral("{kol}"));
        t.setText(2, 3, QStringLiteral("{kolv}"));
        t.setStyle(CellRange{2, 1, 2, 3}, CellStyle().borders());
        t.setText(3, 1, QStringLiteral("Всего"));
        t.repeatColumns(2, 2, 60);
        t.repeatRows(2, 1, 150);
        for (int r = 2; r < 152; ++r) {
            t.setText(r, 1, QStringLiteral("Блюдо"));
            for (int p = 0; p < 60; ++p) {
                t.setNumber(r, 2 + 2 * p, 12.5);
                t.setNumber(r, 3 + 2 * p, 250);
            }
        }
        for (int p = 0; p < 60; ++p)
            t.setFormula(152, 3 + 2 * p, QStringLiteral("SUM(%1)").arg(rangeName(2, 3 + 2 * p, 151, 3 + 2 * p)), 37500);
        t.save(out);
    }));
    bench::report("template read and saved, nothing filled", bench::time(runs, [&] {
        XlsxTemplate t;
        t.open(templatePath);
        t.save(out);
    }));
    return 0;
}
