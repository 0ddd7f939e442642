#pragma once
// The headless tool's stock and approval tests share one small kitchen: a product with a
// substitute, a card, a day menu of ten eaters, a warehouse; the tool runs on a given today.

#include "support/ToolFileTest.h"

#include <QString>
#include <QStringList>
#include <gtest/gtest.h>

namespace rat::test {

class StockToolTest : public rat::test::ToolFileTest {
protected:
    explicit StockToolTest(const QString& fileName) : ToolFileTest(fileName) {}

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

} // namespace rat::test
