#pragma once
// A database of its own for day-menu tests: plan-menus, days, eater types, cards with lines and
// yields, meals and dish categories made to order, the currency "руб.", today fixed at
// 5 December 2026.

#include "core/Clock.h"
#include "core/Database.h"
#include "menu/DayMenu.h"
#include "menu/MenuModule.h"
#include "support/FileTest.h"

#include <QDate>
#include <gtest/gtest.h>

namespace rat::test {

class DayMenuFixture : public FileTest {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(session.createDatabase(env.path(QStringLiteral("menu.db"))));
        menu::registerMenuModule();
        db().execScript(QStringLiteral(
            "DELETE FROM type_menu; DELETE FROM days; DELETE FROM plan_menu; DELETE FROM type_eating; "
            "DELETE FROM output; DELETE FROM card_recipes; DELETE FROM recipes; DELETE FROM products; "
            "DELETE FROM day_menu; DELETE FROM day_menu_point; DELETE FROM quantity_eating; DELETE FROM eating; "
            "DELETE FROM type_meal; DELETE FROM VALUTA; DELETE FROM MENUTM; DELETE FROM MENUTR; "
            "DELETE FROM receipt; DELETE FROM storage; DELETE FROM spisanie; DELETE FROM expence_docum; "
            "DELETE FROM orders; DELETE FROM SEZON; DELETE FROM card_vitamin"));
        if (count(QStringLiteral("SELECT COUNT(*) FROM INF")) == 0)
            db().exec(QStringLiteral("INSERT INTO INF (Naim) VALUES ('Сад')"));
        db().exec(QStringLiteral("UPDATE INF SET VestSkl = -1, Sezonnost = 0, AvtSpis = 0"));
        db().exec(QStringLiteral("INSERT INTO VALUTA (namev, shnamev, status) VALUES ('Рубль', 'руб.', -1)"));
        db().exec(QStringLiteral("INSERT OR REPLACE INTO ed_izmer (id, ename, koef) VALUES (901, 'кг', 1000)"));
        Clock::setToday(QDate(2026, 12, 5));
        prompt.clear();
    }
    void TearDown() override { Clock::setToday(QDate()); }

    // status: 1 by dish categories, 2 by meals.
    qint64 planMenu(const QString& title, int status, QVariant sezon = {}, qint64 id = 0)
    {
        return insert(QStringLiteral("INSERT INTO type_menu (id, tname, status, sezon) VALUES (?1, ?2, ?3, ?4)"),
                      {id ? QVariant(id) : QVariant(), title, status, sezon});
    }
    qint64 day(qint64 planMenuId, const QString& name, qint64 id = 0)
    {
        return insert(QStringLiteral("INSERT INTO days (id, dname, id_type_menu) VALUES (?1, ?2, ?3)"),
                      {id ? QVariant(id) : QVariant(), name, planMenuId});
    }
    qint64 eaterType(qint64 planMenuId, const QString& shname, bool onAllowance = true)
    {
        return insert(QStringLiteral("INSERT INTO type_eating (ename, shname, status, id_type_menu) VALUES (?1, ?1, ?2, ?3)"),
                      {shname, onAllowance ? -1 : 0, planMenuId});
    }
    qint64 meal(const QString& name)
    {
        return insert(QStringLiteral("INSERT INTO eating (ename) VALUES (?1)"), {name});
    }
    qint64 category(const QString& name)
    {
        return insert(QStringLiteral("INSERT INTO type_meal (tname) VALUES (?1)"), {name});
    }
    qint64 product(const QString& name, double plpris = 0)
    {
        return insert(QStringLiteral("INSERT INTO products (pname, plpris, id_ed_izmer) VALUES (?1, ?2, 901)"),
                      {name, plpris});
    }
    // A card with one product line (60 g gross, 50 g net per 100 g of dish) unless withLine is off.
    qint64 card(const QString& name, qint64 categoryId = 0, bool withLine = true)
    {
        const qint64 c = insert(QStringLiteral("INSERT INTO card_recipes (cname, id_type_meal) VALUES (?1, ?2)"),
                                {name, categoryId ? QVariant(categoryId) : QVariant()});
        if (withLine) {
            if (!lineProduct)
                lineProduct = product(QStringLiteral("Крупа"));
            line(c, lineProduct, 60, 50);
        }
        return c;
    }
    void line(qint64 cardId, qint64 productId, double brutto, double netto)
    {
        db().exec(QStringLiteral("INSERT INTO recipes (id_card_recipes, id_product, brutto, netto, isCard, isComment, "
                                 "isVariant, id_MainCard) VALUES (?1, ?2, ?3, ?4, 0, 0, 0, 0)"),
                  {cardId, productId, brutto, netto});
    }
    void yield(qint64 cardId, qint64 typeId, double o1, double o2 = 0, double o3 = 0)
    {
        db().exec(QStringLiteral("INSERT INTO output (id_card_recipe, id_type_eating, output1, output2, output3) "
                                 "VALUES (?1, ?2, ?3, ?4, ?5)"),
                  {cardId, typeId, o1, o2, o3});
    }
    void planRow(qint64 dayId, qint64 cardId, qint64 mealId, qint64 categoryId = 0)
    {
        db().exec(QStringLiteral("INSERT INTO plan_menu (id_day, id_card_recipes, id_eating, id_type_meal) "
                                 "VALUES (?1, ?2, ?3, ?4)"),
                  {dayId, cardId, mealId, categoryId});
    }
    qint64 dayMenu(qint64 planMenuId, const QString& nom, const QString& date = QStringLiteral("2026-12-05"),
                   qint64 id = 0)
    {
        return insert(QStringLiteral("INSERT INTO day_menu (id, ddate, nom, id_type_menu, status, sum, filtr, idd_tm) "
                                     "VALUES (?1, ?2, ?3, ?4, 0, 0, 0, '')"),
                      {id ? QVariant(id) : QVariant(), date, nom, planMenuId});
    }
    qint64 point(qint64 dayMenuId, qint64 cardId, qint64 key)
    {
        return insert(QStringLiteral("INSERT INTO day_menu_point (id_day_menu, id_card_recipe, id_eating) VALUES (?1, ?2, ?3)"),
                      {dayMenuId, cardId, key});
    }
    qint64 eaters(qint64 pointId, qint64 typeId, qint64 quantity)
    {
        return insert(QStringLiteral("INSERT INTO quantity_eating (id_day_menu_point, id_type_eating, quantity) "
                                     "VALUES (?1, ?2, ?3)"),
                      {pointId, typeId, quantity});
    }
    // "card:type=quantity" of every count of a day menu, by point and type.
    QStringList counts(qint64 dayMenuId)
    {
        QStringList out;
        Statement st(db(), QStringLiteral("SELECT c.cname, t.shname, q.quantity, p.id_eating FROM day_menu_point p "
                                          "JOIN quantity_eating q ON q.id_day_menu_point = p.id "
                                          "JOIN card_recipes c ON c.id = p.id_card_recipe "
                                          "JOIN type_eating t ON t.id = q.id_type_eating "
                                          "WHERE p.id_day_menu = ?1 ORDER BY p.id, t.id"));
        st.bind(1, dayMenuId);
        while (st.next())
            out << QStringLiteral("%1:%2=%3").arg(st.toString(0), st.toString(1)).arg(st.toInt64(2));
        return out;
    }
    // Every table a day-menu command may touch, for "left unchanged" checks.
    QStringList state()
    {
        QStringList all;
        for (const char* t : {"day_menu", "day_menu_point", "quantity_eating", "MENUTM", "MENUTR", "expence_docum"})
            all << QString::fromLatin1(t) << dump(QString::fromLatin1(t));
        return all;
    }

    qint64 lineProduct = 0;
};

} // namespace rat::test
