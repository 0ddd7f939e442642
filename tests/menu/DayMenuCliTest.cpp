// The day-menu commands of the headless tool, run as a separate process: a menu made from a
// plan day, a count with its copy question, the rows as the document shows them, numbers, a
// move without a row, a copy with its rows and a deletion refused by a menu-requirement.

#include "support/ToolFileTest.h"

#include <QString>
#include <QStringList>
#include <gtest/gtest.h>

namespace {

using rat::test::ToolRun;

class DayMenuCli : public rat::test::ToolFileTest {
protected:
    DayMenuCli() : ToolFileTest(QStringLiteral("меню.db")) {}

    // A plan-menu by meals (3) with day 17; Суп for eater types 1 (150 g) and 2 (200 g), planned
    // cost 7.77 per 100 g; Чай without a yield.
    void SetUp() override
    {
        createFile(QStringLiteral(
            "DELETE FROM type_menu; DELETE FROM days; DELETE FROM plan_menu; DELETE FROM type_eating; "
            "DELETE FROM output; DELETE FROM card_recipes; DELETE FROM recipes; DELETE FROM products; "
            "DELETE FROM day_menu; DELETE FROM day_menu_point; DELETE FROM quantity_eating; DELETE FROM eating; "
            "DELETE FROM VALUTA; DELETE FROM MENUTM; DELETE FROM MENUTR;"
            "DELETE FROM INF; DELETE FROM ed_izmer;"
            "INSERT INTO INF (Naim, VestSkl, Sezonnost, AvtSpis) VALUES ('Сад', -1, 0, 0);"
            "INSERT INTO ed_izmer (id, ename, koef) VALUES (1, 'кг', 1000);"
            "INSERT INTO VALUTA (namev, shnamev, status) VALUES ('Рубль', 'руб.', -1);"
            "INSERT INTO type_menu (id, tname, status) VALUES (3, 'Основное', 2);"
            "INSERT INTO days (id, dname, id_type_menu) VALUES (17, 'День 1', 3);"
            "INSERT INTO type_eating (id, ename, shname, status, id_type_menu) VALUES (1, 'Ясли', 'Ясли', -1, 3), "
            "(2, 'Сад', 'Сад', -1, 3);"
            "INSERT INTO eating (id, ename) VALUES (1, 'Обед');"
            "INSERT INTO products (id, pname, plpris, id_ed_izmer) VALUES (1, 'Крупа', 80, 1);"
            "INSERT INTO card_recipes (id, cname, cost, fat) VALUES (1, 'Суп', 7.77, 2), (2, 'Чай', 1, 0);"
            "INSERT INTO recipes (id_card_recipes, id_product, brutto, netto, isCard, isComment, isVariant) "
            "VALUES (1, 1, 60, 50, 0, 0, 0), (2, 1, 1, 1, 0, 0, 0);"
            "INSERT INTO output (id_card_recipe, id_type_eating, output1, output2, output3) VALUES (1, 1, 150, 0, 0), "
            "(1, 2, 200, 0, 0);"
            "INSERT INTO plan_menu (id_day, id_card_recipes, id_eating, id_type_meal) VALUES (17, 1, 1, 0), "
            "(17, 2, 1, 0);"));
    }

    // The lines of the command itself: the start-up check's two status lines are dropped.
    ToolRun run(QStringList args) const override
    {
        args << QStringLiteral("--today") << QStringLiteral("2026-12-05");
        ToolRun r = rat::test::runTool(tmp.path(), path(), args);
        if (r.lines.value(0) == QStringLiteral("status: Выполняется проверка базы данных...") &&
            r.lines.value(1) == QStringLiteral("status: Готово"))
            r.lines = r.lines.mid(2);
        return r;
    }
};

TEST_F(DayMenuCli, MenuFromAPlanDayCountsRowsAndNumbers)
{
    ToolRun r = run({QStringLiteral("day-menu-create"), QStringLiteral("3:17"), QStringLiteral("--answer"),
                     QStringLiteral("Да")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.lines, QStringList({QStringLiteral("question: Заполнить меню из плана-меню? => Да"),
                                    QStringLiteral("status: Идет заполнение меню на день..."),
                                    QStringLiteral("info: Блюдо \"Чай\" не добавлено, так как нет данных о выходах и "
                                                   "рецептуре."),
                                    QStringLiteral("status: Готово"), QStringLiteral("1\t1\t3*17")}));

    r = run({QStringLiteral("set-count"), QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("12"),
             QStringLiteral("--answer"), QStringLiteral("Отмена")});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.lines, QStringList({QStringLiteral("question: Скопировать введенное Вами количество на весь день - "
                                                   "нажмите \"Да\", на весь прием пищи - нажмите \"Нет\", не "
                                                   "копировать - нажмите \"Отмена\"? => Отмена")}));
    EXPECT_EQ(run({QStringLiteral("set-count"), QStringLiteral("1"), QStringLiteral("9"), QStringLiteral("1")}).exitCode,
              1);

    // By the planned card price: 7.77 × 1.5 = 11.655 -> 11.66; 7.77 × 2 = 15.54 × 12 = 186.48.
    r = run({QStringLiteral("day-menu-rows"), QStringLiteral("1"), QStringLiteral("--basis"), QStringLiteral("2")});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.lines,
              QStringList({QStringLiteral("Тип довольствующихся\tКоличество\tПрием пищи\tБлюдо\tВыход, г\tСтоимость по "
                                          "плановой цене тех.карт, руб.\tСумма, руб.\tЖиры, г\tБелки, г\tУглеводы, "
                                          "г\tКалорийность, ккал\tВ1, мг\tВ2, мг\tС, мг\tСа, мг\tFe, мг"),
                           QStringLiteral("Ясли\t0\tОбед\tСуп\t150\t11.66\t0.00\t3.00\t0.00\t0.00\t0.00\t0.000\t0.000\t"
                                          "0.000\t0.000\t0.000"),
                           QStringLiteral("Сад\t12\tОбед\tСуп\t200\t15.54\t186.48\t4.00\t0.00\t0.00\t0.00\t0.000\t0.000\t"
                                          "0.000\t0.000\t0.000"),
                           QStringLiteral("Итого: 186.48 руб.")}));
    EXPECT_EQ(run({QStringLiteral("day-menu-rows"), QStringLiteral("1"), QStringLiteral("--basis")}).exitCode, 2);
    EXPECT_EQ(run({QStringLiteral("day-menu-rows"), QStringLiteral("5")}).exitCode, 1);

    EXPECT_EQ(run({QStringLiteral("next-number"), QStringLiteral("day_menu")}).lines, QStringList(QStringLiteral("2")));
    EXPECT_EQ(run({QStringLiteral("next-number"), QStringLiteral("receipt")}).lines, QStringList(QStringLiteral("1")));
    EXPECT_EQ(run({QStringLiteral("next-number"), QStringLiteral("products")}).exitCode, 2);
    EXPECT_EQ(run({QStringLiteral("increment-number"), QStringLiteral("0099")}).lines,
              QStringList(QStringLiteral("0100")));

    r = run({QStringLiteral("move-row"), QStringLiteral("1"), QStringLiteral("-1"), QStringLiteral("up")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.lines, QStringList({QStringLiteral("info: Не выделена строка. Сначала выделите строку, которую нужно "
                                                   "переместить."),
                                    QStringLiteral("-1")}));
}

TEST_F(DayMenuCli, ACopyWithoutItsRowsCarriesNoSum)
{
    ASSERT_EQ(run({QStringLiteral("day-menu-create"), QStringLiteral("3:17"), QStringLiteral("--answer"),
                   QStringLiteral("Да")})
                  .exitCode,
              0);
    {
        rat::Database db(path(), false);
        db.exec(QStringLiteral("UPDATE day_menu SET sum = 99.5 WHERE id = 1"));
    }
    const ToolRun r = run({QStringLiteral("copy-day-menu"), QStringLiteral("1"), QStringLiteral("--answer"),
                           QStringLiteral("Нет")});
    EXPECT_EQ(r.exitCode, 0);
    rat::Database db(path(), false);
    EXPECT_EQ(db.scalar(QStringLiteral("SELECT COUNT(*) FROM day_menu_point WHERE id_day_menu = 2")).toInt(), 0);
    EXPECT_DOUBLE_EQ(db.scalar(QStringLiteral("SELECT sum FROM day_menu WHERE id = 2")).toDouble(), 0.0);
}

TEST_F(DayMenuCli, CopyWithRowsAndADeletionRefused)
{
    ASSERT_EQ(run({QStringLiteral("day-menu-create"), QStringLiteral("3:17"), QStringLiteral("--answer"),
                   QStringLiteral("Да")})
                  .exitCode,
              0);
    ToolRun r = run({QStringLiteral("copy-day-menu"), QStringLiteral("1"), QStringLiteral("--answer"),
                     QStringLiteral("Да")});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.lines, QStringList({QStringLiteral("question: Копируемое меню на день уже составлено. Копировать строки "
                                                   "меню? => Да"),
                                    QStringLiteral("2\t2")}));
    {
        rat::Database db(path(), false);
        EXPECT_EQ(db.scalar(QStringLiteral("SELECT COUNT(*) FROM quantity_eating q JOIN day_menu_point p ON "
                                           "p.id = q.id_day_menu_point WHERE p.id_day_menu = 2"))
                      .toInt(),
                  2);
        // A whole menu-requirement (header, day menu, line): the start-up check keeps it.
        db.exec(QStringLiteral("INSERT INTO MENUTR (IDM, date, status) VALUES (1, '2026-12-05', 0)"));
        db.exec(QStringLiteral("INSERT INTO MENUTM (IDM, ID_day_menu) VALUES (1, 1)"));
        db.exec(QStringLiteral("INSERT INTO MENUTR_POINT (IDM, id_product, kol) VALUES (1, 1, 90)"));
    }
    r = run({QStringLiteral("delete-day-menu"), QStringLiteral("1"), QStringLiteral("--answer"), QStringLiteral("Да")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.lines.contains(QStringLiteral("critical: Невозможно удалить документ меню на день №\"1\", так как на "
                                                "него составлено меню-требование.")))
        << r.lines.join(QLatin1Char('\n')).toStdString();
    r = run({QStringLiteral("delete-day-menu"), QStringLiteral("2"), QStringLiteral("--answer"), QStringLiteral("Да")});
    EXPECT_EQ(r.exitCode, 0);
    rat::Database db(path(), false);
    EXPECT_EQ(db.scalar(QStringLiteral("SELECT COUNT(*) FROM day_menu")).toInt(), 1);
    EXPECT_EQ(db.scalar(QStringLiteral("SELECT COUNT(*) FROM day_menu_point")).toInt(), 1);
    EXPECT_EQ(db.scalar(QStringLiteral("SELECT COUNT(*) FROM quantity_eating")).toInt(), 2);
}

} // namespace
