#pragma once
// A database of its own for stock tests: the day-menu fixture plus grams and kilograms, two
// warehouses, and helpers for products with a rounding rule, receipts, lots entered directly,
// expense and write-off documents with their lines, and a day menu of one dish.

#include "menu/DayMenuFixture.h"

#include "core/DataHelpers.h"

#include <QVariant>
#include <ostream>

// Readable texts in the failures of this executable.
inline void PrintTo(const QString& s, std::ostream* os)
{
    *os << '"' << s.toStdString() << '"';
}

namespace rat::test {

class StockFixture : public DayMenuFixture {
protected:
    static constexpr qint64 kg = 901;
    static constexpr qint64 gram = 902;

    void SetUp() override
    {
        DayMenuFixture::SetUp();
        db().execScript(QStringLiteral(
            "DELETE FROM STORAGES; INSERT INTO STORAGES (IDSS, name) VALUES (1, 'Основной'), (2, 'Овощной');"
            "INSERT OR REPLACE INTO ed_izmer (id, ename, koef) VALUES (902, 'г', 1);"
            "DELETE FROM expense; DELETE FROM spisanie_point; DELETE FROM order_point; DELETE FROM replace;"
            "DELETE FROM MENUTR_POINT; DELETE FROM MENUTR1; DELETE FROM MENUTM1; DELETE FROM MENUTR_POINT1;"));
    }

    qint64 stockProduct(const QString& name, qint64 unit = kg, QVariant ruleOkr = 4)
    {
        return insert(QStringLiteral("INSERT INTO products (pname, id_ed_izmer, rule_okr) VALUES (?1, ?2, ?3)"),
                      {name, unit, ruleOkr});
    }
    qint64 receipt(const QString& date, bool approved = true, const QString& number = QStringLiteral("П-1"))
    {
        return insert(QStringLiteral("INSERT INTO receipt ([№docum], rdate, status, [sum]) VALUES (?1, ?2, ?3, 0)"),
                      {number, date, approved ? -1 : 0});
    }
    // A lot of a receipt.
    qint64 lot(qint64 receiptId, qint64 productId, double quantity, const QString& sellBy, double cost = 100,
               qint64 unit = kg, qint64 warehouse = 1)
    {
        return insert(QStringLiteral("INSERT INTO storage (id_product, quantity, date_realization, id_receipt, cost, "
                                     "id_ed_izmer, status, IDSS) VALUES (?1, ?2, ?3, ?4, ?5, ?6, 0, ?7)"),
                      {productId, quantity, sellBy, receiptId, cost, unit, warehouse});
    }
    // A lot entered directly; without a date it counts from 1990-01-01.
    qint64 directLot(qint64 productId, double quantity, QVariant date, const QString& sellBy = QStringLiteral("2027-01-01"),
                     double cost = 100, qint64 unit = kg, qint64 warehouse = 1)
    {
        return insert(QStringLiteral("INSERT INTO storage (id_product, quantity, date_realization, cost, id_ed_izmer, "
                                     "status, IDSS, rddate) VALUES (?1, ?2, ?3, ?4, ?5, -1, ?6, ?7)"),
                      {productId, quantity, sellBy, cost, unit, warehouse, date});
    }
    qint64 expenseDoc(const QString& date, bool approved = true)
    {
        return insert(QStringLiteral("INSERT INTO expence_docum ([№docum], ddate, status, [sum]) VALUES ('Р-1', ?1, ?2, 0)"),
                      {date, approved ? -1 : 0});
    }
    qint64 expenseLine(qint64 doc, qint64 lotId, double quantity, qint64 eaterType = 0)
    {
        return insert(QStringLiteral("INSERT INTO expense (id_storage, quantity, id_expence_docum, id_type_eating) "
                                     "VALUES (?1, ?2, ?3, ?4)"),
                      {lotId, quantity, doc, eaterType});
    }
    qint64 writeOff(const QString& date, qint64 lotId, double quantity, bool approved = true)
    {
        const qint64 doc = insert(QStringLiteral("INSERT INTO spisanie ([№docum], wdate, status, [sum]) VALUES ('С-1', ?1, ?2, 0)"),
                                  {date, approved ? -1 : 0});
        insert(QStringLiteral("INSERT INTO spisanie_point (id_spisanie, id_storage, quantity, why) VALUES (?1, ?2, ?3, '')"),
               {doc, lotId, quantity});
        return doc;
    }
    // A stored menu-requirement of a day menu, approved with its expense document when given.
    qint64 storedRequirement(qint64 dayMenuId, bool approved, qint64 expenseId)
    {
        const qint64 idm = insert(QStringLiteral("INSERT INTO MENUTR (date, status, id_ex, nom_m, date_m, stoim) "
                                                 "VALUES ('2026-12-05', ?1, ?2, '1', '2026-12-05', 0)"),
                                  {approved ? -1 : 0, expenseId});
        insert(QStringLiteral("INSERT INTO MENUTM (IDM, ID_day_menu, IDSkl) VALUES (?1, ?2, 0)"), {idm, dayMenuId});
        return idm;
    }
    void recipeLine(qint64 card, qint64 item, double brutto, double netto, bool isCard = false, bool comment = false,
                    bool variant = false, qint64 mainLine = 0)
    {
        db().exec(QStringLiteral("INSERT INTO recipes (id_card_recipes, id_product, brutto, netto, isCard, isComment, "
                                 "isVariant, id_MainCard) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8)"),
                  {card, item, brutto, netto, isCard ? -1 : 0, comment ? -1 : 0, variant ? -1 : 0, mainLine});
    }
    qint64 lastId() { return db().lastInsertId(); }

    // kol / kolv of the working lines, "product:type:card=kol/kolv", in line order.
    QStringList workingLines(qint64 idm1)
    {
        QStringList out;
        Statement st(db(), QStringLiteral("SELECT p.pname, t.shname, c.cname, m.kol, m.kolv, m.ost FROM MENUTR_POINT1 m "
                                          "JOIN products p ON p.id = m.id_product LEFT JOIN type_eating t ON t.id = m.id_type_eating "
                                          "LEFT JOIN card_recipes c ON c.id = m.id_card WHERE m.IDM1 = ?1 ORDER BY m.IDMP1"));
        st.bind(1, idm1);
        while (st.next())
            out << QStringLiteral("%1:%2:%3=%4/%5 ост %6")
                       .arg(st.toString(0), st.toString(1), st.toString(2), plainNumber(st.toDouble(3)),
                            plainNumber(st.toDouble(4)), plainNumber(st.toDouble(5)));
        return out;
    }
    // "lot:type=quantity" of an expense document's lines in their order.
    QStringList expenseLines(qint64 doc)
    {
        QStringList out;
        Statement st(db(), QStringLiteral("SELECT id_storage, id_type_eating, quantity FROM expense "
                                          "WHERE id_expence_docum = ?1 ORDER BY id"));
        st.bind(1, doc);
        while (st.next())
            out << QStringLiteral("%1:%2=%3").arg(st.toInt64(0)).arg(st.toInt64(1)).arg(st.toDouble(2));
        return out;
    }
};

} // namespace rat::test
