// The norms and analysis commands of the headless tool, run as a separate process: a norm
// saved with the group question answered, the generic save of the norms book, the copy with
// its target chosen, an analysis printed with its bold and red marks, and the product need.

#include "core/Database.h"
#include "support/ToolFileTest.h"

#include <QString>
#include <QStringList>
#include <gtest/gtest.h>

namespace {

using rat::test::ToolRun;

class NormsCli : public rat::test::ToolFileTest {
protected:
    NormsCli() : ToolFileTest(QStringLiteral("нормы.db")) {}

    void SetUp() override
    {
        createFile(QStringLiteral(
            "DELETE FROM plan_menu; DELETE FROM days; DELETE FROM type_eating; DELETE FROM type_menu;"
            "DELETE FROM output; DELETE FROM card_recipes; DELETE FROM recipes; DELETE FROM eating; "
            "DELETE FROM products; DELETE FROM norms; DELETE FROM NORMS_POINT; DELETE FROM storage; DELETE FROM spisanie; "
            "DELETE FROM spisanie_point; DELETE FROM receipt;"
            "INSERT INTO type_menu (id, tname, status) VALUES (1, 'Основное', 2);"
            "INSERT INTO type_eating (id, ename, shname, status, id_type_menu) VALUES (1, 'Ясли', 'Ясли', -1, 1), "
            "(2, 'Сад', 'Сад', -1, 1);"
            "INSERT INTO eating (id, ename) VALUES (1, 'Завтрак');"
            "INSERT OR REPLACE INTO ed_izmer (id, ename, koef) VALUES (901, 'кг', 1000);"
            "INSERT INTO products (id, pname, rule_okr, id_ed_izmer) VALUES (1, 'Молоко', 2, 901), (2, 'Кефир', 2, 901);"
            "INSERT INTO card_recipes (id, cname, number1) VALUES (1, 'Каша', '7');"
            "INSERT INTO recipes (id_card_recipes, id_product, brutto, netto, isCard, isComment, isVariant) VALUES "
            "(1, 1, 60, 50, 0, 0, 0);"
            "INSERT INTO output (id_card_recipe, id_type_eating, output1) VALUES (1, 1, 200), (1, 2, 100);"
            "INSERT INTO days (id, dname, id_type_menu) VALUES (1, 'День 1', 1), (2, 'День 2', 1);"
            "INSERT INTO plan_menu (id_day, id_card_recipes, id_eating) VALUES (1, 1, 1), (2, 1, 1);"
            "INSERT INTO norms (id, id_type_eating, gname, norm, id_product) VALUES (1, 1, 'Молочные', 300, 1);"));
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

TEST_F(NormsCli, SaveCopyAndAnalyse)
{
    // The document's save: a new norm for the group, "Да" for the whole group.
    ToolRun r = run({QStringLiteral("norms-save"), QStringLiteral("1"), QStringLiteral("Молочные"), QStringLiteral("250,5"),
                     QStringLiteral("2"), QStringLiteral("--answer"), QStringLiteral("Да")});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.lines.contains(QStringLiteral(
        "question: Вы изменили норму для группы продуктов \"Молочные\"! Сохранить для всей группы продуктов? \"Да\" - "
        "сохранить, \"Нет\" - сохранить прежнее значение, \"Отмена\" - не сохранять. => Да")));
    EXPECT_EQ(rows(QStringLiteral("SELECT id_product, norm FROM norms ORDER BY id")),
              (QStringList{QStringLiteral("1|250.5"), QStringLiteral("2|250.5")}));

    // The same product again is refused in the document's words, naming the eater type.
    r = run({QStringLiteral("norms-save"), QStringLiteral("1"), QStringLiteral("Прочие"), QStringLiteral("10"),
             QStringLiteral("2")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.lines.contains(QStringLiteral("warning: Продукт \"Кефир\" уже добавлен в нормы в группу \"Молочные\" "
                                                "для типа довольствующихся \"Ясли\".")));

    // Copy to the chosen type ("Сад" is the only other one).
    r = run({QStringLiteral("norms-copy"), QStringLiteral("1"), QStringLiteral("--choose"), QStringLiteral("1")});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.lines.mid(r.lines.size() - 2), (QStringList{QStringLiteral("Скопировано норм"), QStringLiteral("2")}));

    // Compliance: 50 × 200 / 100 = 100 g of milk a day for the nursery.
    r = run({QStringLiteral("analyse"), QStringLiteral("norms"), QStringLiteral("1")});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    const int head = int(r.lines.indexOf(QStringLiteral("Анализ плана-меню \"Основное\" на соответствие нормам питания")));
    ASSERT_GE(head, 0);
    EXPECT_EQ(r.lines.mid(head + 1, 6),
              (QStringList{QStringLiteral("Продукт\tПлан, г\tНорма, г\tОтклонение, +/-\tПлан к норме, %"),
                           QStringLiteral("**Сад\t\t\t\t"), QStringLiteral("**Молочные\t\t250.5\t\t"),
                           QStringLiteral("Молоко\t50\t250.5\t-200.5\t19.96"),
                           QStringLiteral("**Итог\t50\t250.5\t-200.5\t19.96"), QStringLiteral("**Ясли\t\t\t\t")}));

    r = run({QStringLiteral("analyse"), QStringLiteral("repeats"), QStringLiteral("1")});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.lines.mid(r.lines.size() - 2),
              (QStringList{QStringLiteral("№ карты/№ рецептуры\tБлюдо\tДень 1\tДень 2"), QStringLiteral("7\tКаша\t!+\t!+")}));

    r = run({QStringLiteral("analyse"), QStringLiteral("energy"), QStringLiteral("1")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.lines.contains(QStringLiteral("critical: Невозможно выполнить анализ распределения калорийности "
                                                "плана-меню, так как справочник распределения калорийности не заполнен.")));
}

TEST_F(NormsCli, GenericSaveOfTheNormsBookAsksTheGroupQuestions)
{
    const ToolRun r = run({QStringLiteral("save"), QStringLiteral("8"), QStringLiteral("id_type_eating=1"),
                           QStringLiteral("gname=Кисломолочные"), QStringLiteral("norm=150"),
                           QStringLiteral("id_product=2"), QStringLiteral("--answer"), QStringLiteral("Нет")});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString() << r.lines.join('\n').toStdString();
    EXPECT_TRUE(r.lines.contains(QStringLiteral(
        "question: Вы ввели новое наименование группы продуктов! Изменить группу продуктов или сохранить как новую? "
        "\"Да\" - изменить уже существующую группу, \"Нет\" - сохранить как новую, \"Отмена\" - не сохранять. => Нет")));
    EXPECT_EQ(rows(QStringLiteral("SELECT gname, norm FROM norms WHERE id_product = 2")),
              QStringList{QStringLiteral("Кисломолочные|150.0")});
}

TEST_F(NormsCli, ProductNeedOfADay)
{
    ToolRun r = run({QStringLiteral("plan-need"), QStringLiteral("1"), QStringLiteral("2026-12-05"),
                     QStringLiteral("1=10")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.lines.contains(
        QStringLiteral("warning: На складе нет наименований продуктов! Сначала добавьте продукты на склад.")));
    {
        rat::Database db(path(), false);
        // A lot entered directly: 5 kg of milk, 1.5 kg of it written off on an approved act.
        db.exec(QStringLiteral("INSERT INTO storage (id, id_product, quantity, id_ed_izmer, status, rddate, IDSS) "
                               "VALUES (1, 1, 5, 901, -1, '2026-12-01', 1)"));
        db.exec(QStringLiteral("INSERT INTO spisanie (id, wdate, status) VALUES (1, '2026-12-02', -1)"));
        db.exec(QStringLiteral("INSERT INTO spisanie_point (id_spisanie, id_storage, quantity) VALUES (1, 1, 1.5)"));
    }
    // 60 g gross × 200 / 100 × 10 eaters = 1200 g = 1.2 kg; the nursery only, day 1; 3.5 kg left.
    r = run({QStringLiteral("plan-need"), QStringLiteral("1"), QStringLiteral("2026-12-05"), QStringLiteral("--day"),
             QStringLiteral("1"), QStringLiteral("1=10"), QStringLiteral("2=0")});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.lines, (QStringList{QStringLiteral("Расход продуктов питания"),
                                    QStringLiteral("Продукт\tТип довольствующихся\tНеобходимое количество по типу\t"
                                                   "Необходимое количество, всего\tОстаток на складе"),
                                    QStringLiteral("Молоко\tЯсли\t1.2\t1.2\t3.5")}));
}

} // namespace
