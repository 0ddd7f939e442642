// The plan-menu commands of the headless tool, run as a separate process: the plan days of the
// first use, the copies with their choices through --choose, and the summary lines.

#include "core/Database.h"
#include "support/ToolFileTest.h"

#include <QString>
#include <QStringList>
#include <gtest/gtest.h>

namespace {

using rat::test::ToolRun;

class PlanMenuCli : public rat::test::ToolFileTest {
protected:
    PlanMenuCli() : ToolFileTest(QStringLiteral("план.db")) {}

    void SetUp() override
    {
        createFile(QStringLiteral(
            "DELETE FROM plan_menu; DELETE FROM days; DELETE FROM type_eating; DELETE FROM type_menu;"
            "DELETE FROM output; DELETE FROM card_recipes; DELETE FROM eating; DELETE FROM FNORMS;"
            "DELETE FROM FNORMS_VIT; DELETE FROM CARD_VITAMIN; UPDATE vitamin SET ispCard = 0;"
            "INSERT INTO type_menu (id, tname, status, sezon) VALUES (1, 'Основное', 2, 1), (2, 'Летнее', 1, 4);"
            "INSERT INTO type_eating (id, ename, shname, status, id_type_menu) VALUES (1, 'Ясли', 'Ясли', -1, 1);"
            "INSERT INTO eating (id, ename) VALUES (1, 'Завтрак'), (2, 'Обед');"
            "INSERT INTO card_recipes (id, cname, protein, fat, carbohyd, calories) VALUES "
            "(1, 'Каша', 3, 4, 20, 130), (2, 'Суп', 2, 1.5, 8, 55);"
            "INSERT INTO output (id_card_recipe, id_type_eating, output1) VALUES (1, 1, 150), (2, 1, 180);"
            "INSERT INTO FNORMS (id_type_eating, nprotein, nfat, ncarbohyd, ncalories) VALUES (1, 10, 9, 50, 400);"));
    }

    QStringList rows(const QString& sql) const
    {
        rat::Database db(path(), false);
        QStringList out;
        rat::Statement st(db, sql);
        while (st.next()) {
            QStringList cells;
            for (int c = 0; c < st.columnCount(); ++c)
                cells << st.toString(c);
            out << cells.join(QLatin1Char('|'));
        }
        return out;
    }
};

TEST_F(PlanMenuCli, FirstUseDaysCopiesAndSummary)
{
    const QString ask = QStringLiteral(
        "input: Введите количество дней, на которое Вы будете составлять план-меню (например, для 10-дневного меню "
        "введите 10). => ");
    // An empty answer: nothing made, the question answered by its default (Да: open the list).
    ToolRun r = run({QStringLiteral("plan-days"), QString()});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.lines.contains(ask));
    EXPECT_TRUE(r.lines.contains(
        QStringLiteral("question: Не введено количество дней! Открыть справочник плановых дней? => Да")));
    EXPECT_EQ(rows(QStringLiteral("SELECT COUNT(*) FROM days")), QStringList(QStringLiteral("0")));

    r = run({QStringLiteral("plan-days"), QStringLiteral("2")});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_TRUE(r.lines.contains(ask + QStringLiteral("2")));
    EXPECT_EQ(r.lines.mid(r.lines.size() - 4),
              QStringList({QStringLiteral("1\tДень 1\tОсновное (осенне-зимний)"),
                           QStringLiteral("2\tДень 2\tОсновное (осенне-зимний)"),
                           QStringLiteral("3\tДень 1\tЛетнее (летний)"), QStringLiteral("4\tДень 2\tЛетнее (летний)")}));
    // Days present: no second input.
    r = run({QStringLiteral("plan-days"), QStringLiteral("5")});
    EXPECT_FALSE(r.lines.join('\n').contains(QStringLiteral("input:")));
    EXPECT_EQ(rows(QStringLiteral("SELECT COUNT(*) FROM days")), QStringList(QStringLiteral("4")));

    {
        rat::Database db(path(), false);
        db.execScript(QStringLiteral("INSERT INTO plan_menu (id_day, id_eating, id_card_recipes) VALUES "
                                     "(1, 1, 1), (1, 2, 2), (2, 2, 2);"
                                     "INSERT INTO days (dname, id_type_menu) VALUES ('День 3', 1);"));
    }

    // The summary of day 1: protein 4.5 + 3.6, fat 6 + 2.7, carbohydrates 30 + 14.4,
    // energy 195 + 99, yield 330.
    r = run({QStringLiteral("plan-summary"), QStringLiteral("1"), QStringLiteral("1")});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.lines.mid(r.lines.indexOf(QStringLiteral("Основное (осенне-зимний)\tДень 1"))),
              QStringList({QStringLiteral("Основное (осенне-зимний)\tДень 1"),
                           QStringLiteral("Тип довольствующихся\tПоказатель\tФакт(норма)"),
                           QStringLiteral("Ясли\tБелки, г\t8,10(10,00)"), QStringLiteral("Ясли\tЖиры, г\t8,70(9,00)"),
                           QStringLiteral("Ясли\tУглеводы, г\t44,40(50,00)"),
                           QStringLiteral("Ясли\tКалорийность, ккал\t294,00(400,00)"),
                           QStringLiteral("Ясли\tВыход, г\t330,00")}));
    // The cycle of three days: (8.1 + 3.6) / 3 = 3.9, (294 + 99) / 3 = 131, 510 / 3 = 170.
    r = run({QStringLiteral("plan-summary"), QStringLiteral("1")});
    EXPECT_TRUE(r.lines.contains(QStringLiteral("Основное (осенне-зимний)\tв среднем за день, дней: 3")));
    EXPECT_TRUE(r.lines.contains(QStringLiteral("Ясли\tБелки, г\t3,90(10,00)")));
    EXPECT_TRUE(r.lines.contains(QStringLiteral("Ясли\tКалорийность, ккал\t131,00(400,00)")));
    EXPECT_TRUE(r.lines.contains(QStringLiteral("Ясли\tВыход, г\t170,00")));
    // A day of another plan-menu, a bad number.
    EXPECT_EQ(run({QStringLiteral("plan-summary"), QStringLiteral("2"), QStringLiteral("1")}).exitCode, 1);
    EXPECT_EQ(run({QStringLiteral("plan-summary"), QStringLiteral("x")}).exitCode, 2);

    // Day 1 of "Основное" appended to day 2 of "Летнее": plan-menus by title, then its days.
    r = run({QStringLiteral("--choose"), QStringLiteral("1"), QStringLiteral("--choose"), QStringLiteral("2"),
             QStringLiteral("copy-plan-day"), QStringLiteral("1")});
    EXPECT_EQ(r.exitCode, 0) << r.lines.join('\n').toStdString();
    EXPECT_TRUE(r.lines.contains(QStringLiteral("choose: Выберите план-меню куда копировать => Летнее (летний)")));
    EXPECT_TRUE(r.lines.contains(QStringLiteral("choose: Выберите, в какой день копировать => День 2")));
    EXPECT_EQ(rows(QStringLiteral("SELECT id_eating, id_card_recipes FROM plan_menu WHERE id_day = 4 ORDER BY id")),
              QStringList({QStringLiteral("1|1"), QStringLiteral("2|2")}));
    // No choice: refused.
    r = run({QStringLiteral("copy-plan-day"), QStringLiteral("1")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.lines.contains(QStringLiteral("warning: Не был выбран план-меню. Копирование невозможно.")));

    // The whole of "Основное" into "Летнее": its days 1 and 2 are there already, day 3 is new.
    r = run({QStringLiteral("--answer"), QStringLiteral("Нет"), QStringLiteral("copy-plan-menu"), QStringLiteral("1"),
             QStringLiteral("2")});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(rows(QStringLiteral("SELECT dname FROM days WHERE id_type_menu = 2 ORDER BY id")),
              QStringList({QStringLiteral("День 1"), QStringLiteral("День 2"), QStringLiteral("День 3")}));
    EXPECT_EQ(rows(QStringLiteral("SELECT status FROM type_menu WHERE id = 2")), QStringList(QStringLiteral("2")));
    // Its own day 2 kept the dishes copied into it before.
    EXPECT_EQ(rows(QStringLiteral("SELECT COUNT(*) FROM plan_menu WHERE id_day = 4")), QStringList(QStringLiteral("2")));

    // The days of "Летнее" appended to "Основное", chosen as the only other plan-menu.
    r = run({QStringLiteral("--choose"), QStringLiteral("1"), QStringLiteral("--answer"), QStringLiteral("Нет"),
             QStringLiteral("append-plan-days"), QStringLiteral("1")});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_TRUE(r.lines.contains(QStringLiteral("choose: Выбор плана-меню => Летнее (летний)")));
    EXPECT_EQ(rows(QStringLiteral("SELECT COUNT(*) FROM days WHERE id_type_menu = 1")), QStringList(QStringLiteral("6")));
    EXPECT_EQ(run({QStringLiteral("append-plan-days"), QStringLiteral("99")}).exitCode, 1);
    EXPECT_EQ(run({QStringLiteral("copy-plan-menu"), QStringLiteral("1")}).exitCode, 2);
}

} // namespace
