// The product commands of the headless tool, run as a separate process: the sell-by date, the
// seasonal gross weight, the copies of seasonal losses and substitutes with --choose, and the
// product book's save and delete reaching the product rules.

#include "core/Database.h"
#include "core/SeasonDefaults.h"
#include "support/ToolFileTest.h"

#include <QString>
#include <QStringList>
#include <gtest/gtest.h>

namespace {

using rat::test::ToolRun;

class ProductCli : public rat::test::ToolFileTest {
protected:
    ProductCli() : ToolFileTest(QStringLiteral("продукты.db")) {}

    void SetUp() override
    {
        ASSERT_NO_FATAL_FAILURE(createFile(QStringLiteral(
            "INSERT INTO product_group (pname) VALUES ('Овощи');"
            "INSERT INTO ed_izmer (ename, koef) VALUES ('кг', 1000);"
            "INSERT INTO products (pname, id_product_group, id_ed_izmer, time_storage, time_period, rule_okr) "
            "VALUES ('Картофель', 1, 1, 5, 2, 3), ('Морковь', 1, 1, 1, 4, 3), ('Лук', 1, 1, NULL, 4, 3);"
            "INSERT INTO [replace] (id_product, id_product_replace, pr_weight, repl_weight) VALUES (2, 1, 100, 120);"
            "INSERT INTO norms (id_type_eating, norm, id_product) VALUES (1, 50, 1);")));
        rat::Database db(path(), false);
        rat::addDefaultSeasonRows(db);
    }
};

TEST_F(ProductCli, SellByAndSeasonalGross)
{
    ToolRun r = run({QStringLiteral("sell-by"), QStringLiteral("1"), QStringLiteral("2023-03-01")});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.lines, QStringList(QStringLiteral("2023-03-06")));
    r = run({QStringLiteral("sell-by"), QStringLiteral("2"), QStringLiteral("2023-01-31")});
    EXPECT_EQ(r.lines, QStringList(QStringLiteral("2023-02-28")));
    // No storage time, no such product: no date.
    EXPECT_EQ(run({QStringLiteral("sell-by"), QStringLiteral("3"), QStringLiteral("2023-03-01")}).exitCode, 1);
    EXPECT_EQ(run({QStringLiteral("sell-by"), QStringLiteral("9"), QStringLiteral("2023-03-01")}).lines, QStringList());
    EXPECT_EQ(run({QStringLiteral("sell-by"), QStringLiteral("1"), QStringLiteral("01.03.2023")}).exitCode, 2);

    r = run({QStringLiteral("seasonal-gross"), QStringLiteral("1"), QStringLiteral("100"), QStringLiteral("2023-03-15")});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.lines, QStringList(QStringLiteral("133.33")));
    r = run({QStringLiteral("seasonal-gross"), QStringLiteral("1"), QStringLiteral("100"), QStringLiteral("2023-12-01")});
    EXPECT_EQ(r.lines, QStringList(QStringLiteral("114.29")));
    // Carrots: 20 % from September, 25 % until August; 150,5 g in May is 80 × 150.5 / 75.
    r = run({QStringLiteral("seasonal-gross"), QStringLiteral("2"), QStringLiteral("150,5"), QStringLiteral("2023-05-20")});
    EXPECT_EQ(r.lines, QStringList(QStringLiteral("160.53")));
    r = run({QStringLiteral("seasonal-gross"), QStringLiteral("3"), QStringLiteral("100"), QStringLiteral("2023-05-20")});
    EXPECT_EQ(r.lines, QStringList(QStringLiteral("100")));
    EXPECT_EQ(run({QStringLiteral("seasonal-gross"), QStringLiteral("1"), QStringLiteral("сто"),
                   QStringLiteral("2023-05-20")})
                  .exitCode,
              2);
}

TEST_F(ProductCli, CopiesWithTheChosenTarget)
{
    // Onion has no periods: all five potato periods go over.
    ToolRun r = run({QStringLiteral("--choose"), QStringLiteral("1"), QStringLiteral("copy-seasons"), QStringLiteral("1")});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.lines, QStringList({QStringLiteral("choose: Выберите продукт, в который копировать... => Лук"),
                                    QStringLiteral("info: Копирование выполнено.")}));
    // Carrots have September–December: potatoes' September–October lies within it, so does
    // November–December; the rest is added.
    r = run({QStringLiteral("--choose"), QStringLiteral("2"), QStringLiteral("copy-seasons"), QStringLiteral("1")});
    EXPECT_EQ(r.lines.size(), 2);
    EXPECT_EQ(r.lines.value(1), QStringLiteral("info: Копирование выполнено."));
    r = run({QStringLiteral("copy-seasons"), QStringLiteral("1")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.lines, QStringList({QStringLiteral("choose: Выберите продукт, в который копировать... => "),
                                    QStringLiteral("warning: Не был выбран продукт. Копирование невозможно.")}));

    r = run({QStringLiteral("--choose"), QStringLiteral("1"), QStringLiteral("copy-substitutes"), QStringLiteral("2")});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.lines, QStringList({QStringLiteral("choose: Выберите продукт, в который копировать... => Картофель"),
                                    QStringLiteral("info: Копирование выполнено! Скопировано продуктов-заменителей - "
                                                   "0.")}));
    r = run({QStringLiteral("--choose"), QStringLiteral("2"), QStringLiteral("copy-substitutes"), QStringLiteral("2")});
    EXPECT_EQ(r.lines.value(1), QStringLiteral("info: Копирование выполнено! Скопировано продуктов-заменителей - 1."));
    r = run({QStringLiteral("copy-substitutes"), QStringLiteral("1")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.lines, QStringList(QStringLiteral("info: Нет строк для копирования!")));
}

TEST_F(ProductCli, SaveAndDeleteReachTheProductRules)
{
    // A new product takes the unit, storage unit (months) and rounding rule most products have.
    ToolRun r = run({QStringLiteral("save"), QStringLiteral("12"), QStringLiteral("id_product_group=1"),
                     QStringLiteral("pname=Свёкла"), QStringLiteral("time_storage=10")});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.lines, QStringList(QStringLiteral("saved: 4")));
    r = run({QStringLiteral("sell-by"), QStringLiteral("4"), QStringLiteral("2023-03-01")});
    EXPECT_EQ(r.lines, QStringList(QStringLiteral("2024-01-01")));

    // Potatoes have norms: the question, and No keeps them.
    r = run({QStringLiteral("--answer"), QStringLiteral("Да"), QStringLiteral("--answer"), QStringLiteral("Нет"),
             QStringLiteral("delete"), QStringLiteral("12"), QStringLiteral("1")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.lines, QStringList({QStringLiteral("question: Удалить выделенную строку? => Да"),
                                    QStringLiteral("status: Идет удаление строк..."),
                                    QStringLiteral("question: Для продукта \"Картофель\" заполнен справочник \"Нормы "
                                                   "питания\". Удалить продукт со всеми данными? => Нет"),
                                    QStringLiteral("status: Удалено строк: 0")}));
    r = run({QStringLiteral("--answer"), QStringLiteral("Да"), QStringLiteral("--answer"), QStringLiteral("Да"),
             QStringLiteral("delete"), QStringLiteral("12"), QStringLiteral("1")});
    EXPECT_EQ(r.exitCode, 0);
    rat::Database db(path(), false);
    EXPECT_EQ(db.scalar(QStringLiteral("SELECT COUNT(*) FROM products")).toLongLong(), 3);
    EXPECT_EQ(db.scalar(QStringLiteral("SELECT COUNT(*) FROM SEZON WHERE id_PRODUCT = 1")).toLongLong(), 0);
    EXPECT_EQ(db.scalar(QStringLiteral("SELECT COUNT(*) FROM [replace]")).toLongLong(), 0);
}

} // namespace
