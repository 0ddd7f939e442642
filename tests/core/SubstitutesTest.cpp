// Substitutes: the copy of every substitute of a product to another product.

#include "core/Database.h"
#include "core/DatabaseSession.h"
#include "refbooks/Substitutes.h"
#include "support/ScriptedPrompt.h"
#include "support/TestEnv.h"

#include <gtest/gtest.h>

using namespace rat;
using namespace rat::books;

namespace {

class Substitutes : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(session.createDatabase(env.path(QStringLiteral("replace.db"))));
        prompt.clear();
    }

    Database& db() { return session.db(); }

    qint64 product(const QString& name)
    {
        db().exec(QStringLiteral("INSERT INTO products (pname) VALUES (?1)"), {name});
        return db().lastInsertId();
    }

    void substitute(qint64 p, qint64 s, double prWeight, double replWeight)
    {
        db().exec(QStringLiteral("INSERT INTO [replace] (id_product, id_product_replace, pr_weight, repl_weight) "
                                 "VALUES (?1, ?2, ?3, ?4)"),
                  {p, s, prWeight, replWeight});
    }

    // The substitutes of a product as "name pr_weight/repl_weight", in the order entered.
    QStringList substitutes(qint64 p)
    {
        QStringList out;
        Statement st(db(), QStringLiteral("SELECT s.pname, r.pr_weight, r.repl_weight FROM [replace] r JOIN products s "
                                          "ON s.id = r.id_product_replace WHERE r.id_product = ?1 ORDER BY r.id"));
        st.bind(1, p);
        while (st.next())
            out << QStringLiteral("%1 %2/%3").arg(st.toString(0)).arg(st.toDouble(1)).arg(st.toDouble(2));
        return out;
    }

    test::TestEnv env;
    test::ScriptedPrompt prompt;
    DatabaseSession session{prompt};
};

TEST_F(Substitutes, CopyAddsWhatTheTargetLacks)
{
    const qint64 milk = product(QStringLiteral("Молоко"));
    const qint64 kefir = product(QStringLiteral("Кефир"));
    const qint64 powder = product(QStringLiteral("Молоко сухое"));
    const qint64 condensed = product(QStringLiteral("Молоко сгущённое"));
    const qint64 yoghurt = product(QStringLiteral("Йогурт"));
    substitute(milk, powder, 100, 12.5);
    substitute(milk, condensed, 100, 40);
    substitute(milk, kefir, 100, 110);
    // The yoghurt already has condensed milk (its own weights stay) ...
    substitute(yoghurt, condensed, 100, 55);

    // Offered: Йогурт, Кефир, Молоко сгущённое, Молоко сухое.
    prompt.choices = {0};
    EXPECT_EQ(copySubstitutes(db(), prompt, milk), 2);
    EXPECT_EQ(substitutes(yoghurt), QStringList({QStringLiteral("Молоко сгущённое 100/55"),
                                                 QStringLiteral("Молоко сухое 100/12.5"),
                                                 QStringLiteral("Кефир 100/110")}));
    // ... and kefir never becomes its own substitute.
    prompt.choices = {1};
    EXPECT_EQ(copySubstitutes(db(), prompt, milk), 2);
    EXPECT_EQ(substitutes(kefir), QStringList({QStringLiteral("Молоко сухое 100/12.5"),
                                               QStringLiteral("Молоко сгущённое 100/40")}));
    EXPECT_EQ(prompt.messages(),
              QStringList({QStringLiteral("choose: Выберите продукт, в который копировать... => Йогурт"),
                           QStringLiteral("info: Копирование выполнено! Скопировано продуктов-заменителей - 2."),
                           QStringLiteral("choose: Выберите продукт, в который копировать... => Кефир"),
                           QStringLiteral("info: Копирование выполнено! Скопировано продуктов-заменителей - 2.")}));
    EXPECT_EQ(substitutes(milk).size(), 3);

    // Copied again: nothing new, and the count says so.
    prompt.clear();
    prompt.choices = {0};
    EXPECT_EQ(copySubstitutes(db(), prompt, milk), 0);
    EXPECT_EQ(prompt.messages().value(1),
              QStringLiteral("info: Копирование выполнено! Скопировано продуктов-заменителей - 0."));
}

TEST_F(Substitutes, NothingToCopyOrNobodyChosen)
{
    const qint64 milk = product(QStringLiteral("Молоко"));
    const qint64 kefir = product(QStringLiteral("Кефир"));
    substitute(milk, kefir, 100, 110);
    prompt.choices = {std::nullopt};
    EXPECT_EQ(copySubstitutes(db(), prompt, kefir), -1);
    EXPECT_EQ(copySubstitutes(db(), prompt, milk), -1);
    EXPECT_EQ(prompt.messages(),
              QStringList({QStringLiteral("info: Нет строк для копирования!"),
                           QStringLiteral("choose: Выберите продукт, в который копировать... => "),
                           QStringLiteral("warning: Не был выбран продукт. Копирование невозможно.")}));
    EXPECT_EQ(db().scalar(QStringLiteral("SELECT COUNT(*) FROM [replace]")).toLongLong(), 1);
}

} // namespace
