// The ten-year store-room of the stock benchmarks.

#include "TenYearStock.h"
#include "core/Database.h"

#include <QDate>
#include <QRandomGenerator>
#include <algorithm>

namespace rat::bench {

void clearStockTables(Database& db)
{
    db.execScript(QStringLiteral("DELETE FROM card_recipes; DELETE FROM recipes; DELETE FROM products; DELETE FROM output; "
                                 "DELETE FROM type_menu; DELETE FROM type_eating; DELETE FROM day_menu; "
                                 "DELETE FROM day_menu_point; DELETE FROM quantity_eating; DELETE FROM receipt; "
                                 "DELETE FROM storage; DELETE FROM eating; DELETE FROM expense; DELETE FROM expence_docum; "
                                 "DELETE FROM spisanie; DELETE FROM spisanie_point; DELETE FROM INF; DELETE FROM MENUTR; "
                                 "DELETE FROM MENUTM; DELETE FROM MENUTR_POINT"));
    db.exec(QStringLiteral("INSERT INTO INF (Naim, VestSkl, Sezonnost) VALUES ('Сад', -1, 0)"));
}

qint64 addKilogram(Database& db)
{
    db.exec(QStringLiteral("INSERT INTO ed_izmer (ename, koef) VALUES ('кг', 1000)"));
    return db.lastInsertId();
}

void fillTenYearsOfStock(Database& db)
{
    QRandomGenerator rng(20161205);
    Transaction tx(db);
    clearStockTables(db);
    const qint64 unit = addKilogram(db);
    for (int p = 1; p <= kYearProducts; ++p)
        db.exec(QStringLiteral("INSERT INTO products (id, pname, id_ed_izmer, rule_okr) VALUES (?1, ?2, ?3, 4)"),
                {p, QStringLiteral("Продукт %1").arg(p), unit});
    const QDate start(2016, 12, 1);
    Statement receipt(db, QStringLiteral("INSERT INTO receipt (rdate, status) VALUES (?1, -1)"));
    Statement lot(db, QStringLiteral("INSERT INTO storage (id_product, quantity, id_receipt, cost, id_ed_izmer, status, "
                                     "date_realization, IDSS) VALUES (?1, 50, ?2, ?3, ?4, 0, ?5, 1)"));
    qint64 receiptId = 0;
    for (int i = 0; i < kYearLots; ++i) {
        const QDate d = start.addDays(i / 50 * 6);
        if (i % 50 == 0) {
            receipt.reset();
            receipt.bind(1, d);
            receipt.exec();
            receiptId = db.lastInsertId();
        }
        lot.reset();
        lot.bindAll({1 + rng.bounded(kYearProducts), receiptId, rng.bounded(100000) / 100.0, unit, d.addDays(30)});
        lot.exec();
    }
    Statement doc(db, QStringLiteral("INSERT INTO expence_docum ([№docum], ddate, status) VALUES ('1', ?1, -1)"));
    Statement line(db, QStringLiteral("INSERT INTO expense (id_storage, quantity, id_expence_docum, id_type_eating) "
                                      "VALUES (?1, ?2, ?3, 1)"));
    for (int e = 0; e < kExpenseDocs; ++e) {
        const QDate d = start.addDays(e * 365 * 10 / kExpenseDocs);
        doc.reset();
        doc.bind(1, d);
        doc.exec();
        const qint64 docId = db.lastInsertId();
        // Lots received shortly before the day.
        const int newest = std::min(kYearLots, int(start.daysTo(d) / 6 * 50) + 50);
        for (int k = 0; k < kLinesPerExpense; ++k) {
            line.reset();
            line.bindAll({1 + rng.bounded(newest), rng.bounded(300) / 100.0, docId});
            line.exec();
        }
    }
    Statement off(db, QStringLiteral("INSERT INTO spisanie ([№docum], wdate, status) VALUES ('1', ?1, -1)"));
    Statement offLine(db, QStringLiteral("INSERT INTO spisanie_point (id_spisanie, id_storage, quantity, why) "
                                         "VALUES (?1, ?2, 1, '')"));
    for (int w = 0; w < kWriteOffs; ++w) {
        const QDate d = start.addDays(w * 365 * 10 / kWriteOffs);
        off.reset();
        off.bind(1, d);
        off.exec();
        const qint64 offId = db.lastInsertId();
        for (int k = 0; k < 10; ++k) {
            offLine.reset();
            offLine.bindAll({offId, 1 + rng.bounded(kYearLots)});
            offLine.exec();
        }
    }
    tx.commit();
}

} // namespace rat::bench
