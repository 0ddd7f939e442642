// The approval commands of the headless tool, run as a separate process: a menu-requirement
// opened and issued, closed, re-issued from a date, and the write-off of expired lots.

#include "support/ToolFileTest.h"

#include <QString>
#include <QStringList>
#include <gtest/gtest.h>

namespace {

using rat::test::ToolRun;

inline void PrintTo(const QStringList& l, std::ostream* os)
{
    *os << l.join(QStringLiteral(" | ")).toStdString();
}

class ApprovalCli : public rat::test::ToolFileTest {
protected:
    ApprovalCli() : ToolFileTest(QStringLiteral("утверждение.db")) {}

    void SetUp() override
    {
        createFile(QStringLiteral(
            "DELETE FROM type_menu; DELETE FROM type_eating; DELETE FROM output; DELETE FROM card_recipes; "
            "DELETE FROM recipes; DELETE FROM products; DELETE FROM day_menu; DELETE FROM day_menu_point; "
            "DELETE FROM quantity_eating; DELETE FROM eating; DELETE FROM MENUTM; DELETE FROM MENUTR; "
            "DELETE FROM storage; DELETE FROM receipt; DELETE FROM INF; DELETE FROM ed_izmer; DELETE FROM STORAGES;"
            "INSERT INTO INF (Naim, VestSkl, Sezonnost, AvtSpis, NDS) VALUES ('Сад', -1, 0, 0, 0);"
            "INSERT INTO ed_izmer (id, ename, koef) VALUES (1, 'кг', 1000), (2, 'г', 1);"
            "INSERT INTO STORAGES (IDSS, name) VALUES (1, 'Основной');"
            "INSERT INTO type_menu (id, tname, status) VALUES (3, 'Основное', 2);"
            "INSERT INTO type_eating (id, ename, shname, status, id_type_menu) VALUES (1, 'Сад', 'Сад', -1, 3);"
            "INSERT INTO eating (id, ename) VALUES (1, 'Обед');"
            "INSERT INTO products (id, pname, id_ed_izmer, rule_okr) VALUES (1, 'Масло', 1, 4), (2, 'Маргарин', 1, 4);"
            "INSERT INTO card_recipes (id, cname) VALUES (1, 'Каша');"
            "INSERT INTO recipes (id_card_recipes, id_product, brutto, netto, isCard, isComment, isVariant) "
            "VALUES (1, 1, 10, 10, 0, 0, 0);"
            "INSERT INTO output (id_card_recipe, id_type_eating, output1, output2, output3) VALUES (1, 1, 200, 0, 0);"
            "INSERT INTO day_menu (id, ddate, nom, id_type_menu, status, sum, filtr, idd_tm) "
            "VALUES (1, '2026-12-05', '7', 3, 0, 55, 0, '');"
            "INSERT INTO day_menu_point (id, id_day_menu, id_card_recipe, id_eating) VALUES (1, 1, 1, 1);"
            "INSERT INTO quantity_eating (id_day_menu_point, id_type_eating, quantity) VALUES (1, 1, 10);"
            "INSERT INTO replace (id_product, id_product_replace, pr_weight, repl_weight) VALUES (1, 2, 100, 50);"));
    }

    ToolRun run(QStringList args) const override
    {
        args << QStringLiteral("--today") << QStringLiteral("2026-12-05");
        ToolRun r = rat::test::runTool(tmp.path(), path(), args);
        // The start-up check's status lines come first; the command's own follow.
        if (r.lines.value(0) == QStringLiteral("status: Выполняется проверка базы данных..."))
            r.lines = r.lines.mid(r.lines.indexOf(QStringLiteral("status: Готово")) + 1);
        return r;
    }
    QStringList run1(const QString& cmd, QStringList args = {}, int exitCode = 0) const
    {
        args.prepend(cmd);
        const ToolRun r = run(args);
        EXPECT_EQ(r.exitCode, exitCode) << r.err.toStdString() << r.lines.join('\n').toStdString();
        return r.lines;
    }
};

TEST_F(ApprovalCli, IssueReissueAndWriteOff)
{
    run1(QStringLiteral("lot-add"), {QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("800"),
                                     QStringLiteral("2026-11-01"), QStringLiteral("--sell-by"), QStringLiteral("2026-12-20")});
    const QString filling = QStringLiteral("status: Идет заполнение меню-требования...");
    const QString done = QStringLiteral("status: Готово");
    const QString header = QStringLiteral("IDM\tСтатус\tРасход\tСтатус расхода\tСумма расхода");
    EXPECT_EQ(run1(QStringLiteral("menu-requirement"), {QStringLiteral("1"), QStringLiteral("--answer"), QStringLiteral("Да")}),
              QStringList({filling, done, QStringLiteral("question: Выполнить расход? => Да"), header,
                           QStringLiteral("1\tУтверждено\t1\tУтверждено\t160")}));
    // Cancel stores nothing.
    EXPECT_EQ(run1(QStringLiteral("menu-requirement"), {QStringLiteral("1"), QStringLiteral("--answer"), QStringLiteral("Да"),
                                                        QStringLiteral("--answer"), QStringLiteral("Отмена")}, 1)
                  .last(),
              QStringLiteral("question: Выполнить расход? => Отмена"));
    EXPECT_EQ(run1(QStringLiteral("menu-requirement-close"), {QStringLiteral("1")}),
              QStringList({filling, done, header, QStringLiteral("1\tУтверждено\t1\tУтверждено\t160")}));

    // A cheaper lot entered before the day: the issue moves to it.
    run1(QStringLiteral("lot-add"), {QStringLiteral("1"), QStringLiteral("1"), QStringLiteral("500"),
                                     QStringLiteral("2026-11-02"), QStringLiteral("--sell-by"), QStringLiteral("2026-12-10")});
    const QStringList reissued = run1(QStringLiteral("reissue-from"), {QStringLiteral("2026-11-02"), QStringLiteral("--answer"),
                                                                      QStringLiteral("Да"), QStringLiteral("--answer"),
                                                                      QStringLiteral("Да")});
    ASSERT_GE(reissued.size(), 2);
    EXPECT_EQ(reissued.mid(reissued.size() - 3),
              QStringList({QStringLiteral("info: Операция перерасчета остатков партий продуктов успешно выполнена."),
                           QStringLiteral("IDM\tДата\tРасход\tСумма расхода"), QStringLiteral("1\t2026-12-05\t1\t100")}));

    // Nothing expired before today: silent; a lot expired: written off with the one expiring today.
    EXPECT_EQ(run1(QStringLiteral("auto-writeoff")), QStringList());
    run1(QStringLiteral("lot-add"), {QStringLiteral("2"), QStringLiteral("3"), QStringLiteral("100"),
                                     QStringLiteral("2026-11-03"), QStringLiteral("--sell-by"), QStringLiteral("2026-12-04")});
    run1(QStringLiteral("lot-add"), {QStringLiteral("2"), QStringLiteral("1"), QStringLiteral("100"),
                                     QStringLiteral("2026-11-03"), QStringLiteral("--sell-by"), QStringLiteral("2026-12-05")});
    EXPECT_EQ(run1(QStringLiteral("auto-writeoff"), {QStringLiteral("--answer"), QStringLiteral("Да")}),
              QStringList({QStringLiteral("question: На складе имеются продукты, у которых вышел срок годности. Необходимо "
                                          "утвердить документ списания! \"Да\" - выполнить, \"Нет\" - не выполнять списание. => Да"),
                           QStringLiteral("Документ\tПартия\tКоличество\tПричина"),
                           QStringLiteral("1\t3\t3\tИстек срок реализации"), QStringLiteral("1\t4\t1\tИстек срок реализации")}));
    // Nothing left to write off into a new document of the same day.
    run1(QStringLiteral("document-new"), {QStringLiteral("25"), QStringLiteral("2026-12-05")});
    EXPECT_EQ(run1(QStringLiteral("writeoff-fill"), {QStringLiteral("2"), QStringLiteral("--answer"), QStringLiteral("Да")}, 1),
              QStringList({QStringLiteral("question: Выполнить автоматическое списание? => Да"),
                           QStringLiteral("info: Не найдено продуктов на списание.")}));
    EXPECT_EQ(run1(QStringLiteral("writeoff-fill"), {QStringLiteral("x")}, 2), QStringList());
}

} // namespace
