// The recipe collection the program ships: loaded with the products and norms of its archive
// into a fresh database, every card states the nutrition our own card calculation gives for it,
// and the collection holds what a kitchen starts with (nested semi-finished dishes, variants,
// comments, yields for each eater type, the 10-day plan-menu by meals).

#include "core/Database.h"
#include "core/DatabaseSession.h"
#include "core/Startup.h"
#include "exchange/StandardData.h"
#include "refbooks/CardCalc.h"
#include "support/ScriptedPrompt.h"
#include "support/TestEnv.h"

#include "ExchangeTestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

#include <map>
#include <vector>

using namespace rat;
using namespace rat::exchange;

namespace {

const QString kArchiveName = QStringLiteral("Сборник_ясли_сад");

// The package folder of the source tree.
QString sourceFolder()
{
    return QDir(QString::fromUtf8(RAT_PACKAGES_DIR)).absoluteFilePath(kArchiveName);
}

// The archive the build puts into the application folder beside the programs.
QString builtArchive()
{
    return QFileInfo(QString::fromUtf8(RAT_CLI_PATH)).dir().filePath(QStringLiteral("Примеры/") + kArchiveName +
                                                                     QStringLiteral(".zip"));
}

struct Stated {
    QString name;
    double protein = 0, fat = 0, carbohyd = 0, calories = 0;
    std::map<QString, double> vitamins;  // by short name: kol per 100 g
    std::map<QString, double> losses;    // by short name: kolpr
};

class ShippedCards : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(createAndFillDatabase(session, env.path(QStringLiteral("shipped.db"))));
        prompt.clear();
    }

    Database& db() { return session.db(); }
    QVariant one(const QString& sql, const std::vector<QVariant>& params = {}) { return db().scalar(sql, params); }

    // The archive made from the package files of the source tree.
    QString archiveFromSource()
    {
        const QDir dir(sourceFolder());
        std::vector<test::ZipEntry> entries;
        for (const QString& name : dir.entryList({QStringLiteral("*.xml")}, QDir::Files, QDir::Name)) {
            QFile f(dir.filePath(name));
            EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << name.toStdString();
            entries.emplace_back(name.toUtf8(), f.readAll());
        }
        EXPECT_GE(entries.size(), 5u) << sourceFolder().toStdString();
        const QString zip = env.path(kArchiveName + QStringLiteral(".zip"));
        EXPECT_TRUE(test::writeZip(zip, entries));
        return zip;
    }

    void load(const QString& zip)
    {
        StandardDataOptions options;
        options.regulation = defaultRegulation();
        options.stayTime = QStringLiteral("12");
        const ImportSummary s = ImportStandardData(db(), prompt, zip, options);
        ASSERT_TRUE(s.productsLoaded);
        ASSERT_TRUE(s.normsLoaded);
        ASSERT_TRUE(s.collectionLoaded);
        EXPECT_TRUE(prompt.messages().isEmpty()) << prompt.messages().join('\n').toStdString();
    }

    std::map<qint64, Stated> stated()
    {
        std::map<qint64, Stated> out;
        Statement cards(db(), QStringLiteral("SELECT id, cname, protein, fat, carbohyd, calories FROM card_recipes ORDER BY id"));
        while (cards.next()) {
            Stated s;
            s.name = cards.toString(1);
            s.protein = cards.toDouble(2);
            s.fat = cards.toDouble(3);
            s.carbohyd = cards.toDouble(4);
            s.calories = cards.toDouble(5);
            out[cards.toInt64(0)] = s;
        }
        Statement vits(db(), QStringLiteral("SELECT cv.id_card_recipes, v.shname, cv.kol, cv.kolpr FROM card_vitamin cv "
                                            "JOIN vitamin v ON v.id = cv.id_vitamin"));
        while (vits.next()) {
            Stated& s = out[vits.toInt64(0)];
            s.vitamins[vits.toString(1)] = vits.toDouble(2);
            s.losses[vits.toString(1)] = vits.toDouble(3);
        }
        return out;
    }

    // Every card computed by the card calculation agrees with what the package states; with
    // `batch`, the way "recalculate all cards" reads everything at once.
    void expectStatedEqualsCalculated(bool batch = false)
    {
        const std::map<qint64, Stated> before = stated();
        ASSERT_FALSE(before.empty());
        books::CardCalculator calc(db(), &prompt);
        if (batch)
            calc.preload();
        for (const auto& [id, s] : before) {
            SCOPED_TRACE(s.name.toStdString());
            const auto v = calc.calculateNutrients(id);
            ASSERT_TRUE(v.has_value());
            EXPECT_DOUBLE_EQ(v->protein, s.protein);
            EXPECT_DOUBLE_EQ(v->fat, s.fat);
            EXPECT_DOUBLE_EQ(v->carbohyd, s.carbohyd);
            EXPECT_DOUBLE_EQ(v->calories, s.calories);
            ASSERT_EQ(v->vitamins.size(), 5u);
            ASSERT_EQ(s.vitamins.size(), 5u);
            for (const books::VitaminValue& x : v->vitamins) {
                SCOPED_TRACE(x.shname.toStdString());
                ASSERT_TRUE(s.vitamins.count(x.shname));
                EXPECT_DOUBLE_EQ(x.kol, s.vitamins.at(x.shname));
                EXPECT_DOUBLE_EQ(x.kolpr, s.losses.at(x.shname));
            }
        }
        EXPECT_TRUE(prompt.messages().isEmpty()) << prompt.messages().join('\n').toStdString();
    }

    test::TestEnv env;
    test::ScriptedPrompt prompt;
    DatabaseSession session{prompt};
};

TEST_F(ShippedCards, EveryCardStatesTheNutritionOurCalculationGives)
{
    load(archiveFromSource());
    EXPECT_GE(one(QStringLiteral("SELECT COUNT(*) FROM card_recipes")).toInt(), 60);

    // Two cards worked out by hand from the products package.
    // «Кефир»: 100 g of kefir 2,5 % (protein 2.8, fat 2.5, carbohydrates 3.9, 50 kcal, Ca 120),
    // nothing lost.
    // «Банан»: 100 g of bananas (protein 1.5, fat 0.2, carbohydrates 21.8, 95 kcal, C 10) of
    // which 40 % is peel: protein 0.9, fat 0.12, carbohydrates 13.08, 57 kcal, C 6.
    const auto figures = [&](const QString& card) {
        return test::joinedRows(db(),
                                QStringLiteral("SELECT protein || ' ' || fat || ' ' || carbohyd || ' ' || calories FROM "
                                               "card_recipes WHERE cname = ?1"),
                                {card}, QStringLiteral(" "));
    };
    EXPECT_EQ(figures(QStringLiteral("Кефир")).toString(), QStringLiteral("2.8 2.5 3.9 50.0"));
    EXPECT_EQ(figures(QStringLiteral("Банан")).toString(), QStringLiteral("0.9 0.12 13.08 57.0"));
    EXPECT_DOUBLE_EQ(one(QStringLiteral("SELECT cv.kol FROM card_vitamin cv JOIN vitamin v ON v.id = cv.id_vitamin "
                                        "JOIN card_recipes c ON c.id = cv.id_card_recipes "
                                        "WHERE c.cname = 'Банан' AND v.shname = 'C'"))
                         .toDouble(),
                     6.0);

    expectStatedEqualsCalculated();
    expectStatedEqualsCalculated(true);
}

TEST_F(ShippedCards, TheCollectionHoldsNestedDishesVariantsCommentsYieldsAndAPlanMenu)
{
    load(archiveFromSource());

    // The semi-finished dishes nested in other cards.
    const QVariant nested = test::joinedRows(
        db(),
        QStringLiteral("SELECT DISTINCT c.cname FROM recipes r JOIN card_recipes c ON c.id = r.id_product "
                       "WHERE r.isCard <> 0 AND COALESCE(r.isVariant, 0) = 0 ORDER BY c.cname"),
        {}, QStringLiteral("|"));
    EXPECT_EQ(nested.toString(), QStringLiteral("Бульон куриный|Бульон мясной|Пюре картофельное|Соус молочный"));

    // Variants: each linked to its main line, one of them to a nested broth.
    EXPECT_GE(one(QStringLiteral("SELECT COUNT(*) FROM recipes WHERE isVariant <> 0")).toInt(), 2);
    EXPECT_EQ(one(QStringLiteral("SELECT COUNT(*) FROM recipes WHERE isVariant <> 0 AND COALESCE(id_MainCard, 0) = 0")).toInt(), 0);
    EXPECT_EQ(one(QStringLiteral("SELECT m.isCard FROM recipes v JOIN recipes m ON m.id = v.id_MainCard "
                                 "JOIN card_recipes c ON c.id = v.id_card_recipes "
                                 "WHERE c.cname = 'Щи из свежей капусты с картофелем' AND v.isVariant <> 0"))
                  .toInt(),
              -1);
    EXPECT_GE(one(QStringLiteral("SELECT COUNT(*) FROM recipes WHERE isComment <> 0 AND comment <> ''")).toInt(), 20);

    // No product is made by the cards: every line names a product of the products package.
    EXPECT_EQ(one(QStringLiteral("SELECT COUNT(*) FROM products")).toInt(), 187);
    // The oats as the Russian composition tables give them (protein, fat, carbohydrates, kcal).
    EXPECT_EQ(test::joinedRows(db(),
                               QStringLiteral("SELECT pname || ' ' || protein || '/' || fat || '/' || carbohyd || '/' || "
                                              "calories FROM products WHERE pname IN ('Крупа овсяная', "
                                              "'Хлопья овсяные «Геркулес»') ORDER BY pname"),
                               {}, QStringLiteral("|"))
                  .toString(),
              QStringLiteral("Крупа овсяная 12.3/6.1/59.5/342.0|Хлопья овсяные «Геркулес» 12.3/6.2/61.8/352.0"));

    // A yield for each of the three eater types on every card, and organoleptic texts.
    EXPECT_EQ(one(QStringLiteral("SELECT COUNT(*) FROM card_recipes c WHERE (SELECT COUNT(*) FROM output o "
                                 "JOIN type_eating t ON t.id = o.id_type_eating WHERE o.id_card_recipe = c.id "
                                 "AND t.shname IN ('1-3', '3-7', 'Сотрудники') AND o.output1 > 0) <> 3"))
                  .toInt(),
              0);
    EXPECT_EQ(one(QStringLiteral("SELECT COUNT(*) FROM card_recipes WHERE TRIM(COALESCE(orgOc, '')) = ''")).toInt(), 0);
    EXPECT_EQ(test::joinedRows(db(),
                               QStringLiteral("SELECT t.shname || '=' || o.output1 FROM output o JOIN type_eating t ON "
                                              "t.id = o.id_type_eating JOIN card_recipes c ON c.id = o.id_card_recipe "
                                              "WHERE c.cname = 'Каша манная молочная жидкая' ORDER BY t.kod"),
                               {}, QStringLiteral(" "))
                  .toString(),
              QStringLiteral("1-3=150 3-7=200 Сотрудники=250"));

    // The plan-menu «Основное меню», autumn-winter, of 10 days, each with the five meals.
    const QVariant menu = one(QStringLiteral("SELECT id FROM type_menu WHERE tname = 'Основное меню' AND sezon = 1"));
    ASSERT_FALSE(menu.isNull());
    EXPECT_EQ(one(QStringLiteral("SELECT COUNT(*) FROM days WHERE id_type_menu = ?1"), {menu}).toInt(), 10);
    EXPECT_EQ(one(QStringLiteral("SELECT COUNT(*) FROM (SELECT d.id FROM days d JOIN plan_menu p ON p.id_day = d.id "
                                 "JOIN eating e ON e.id = p.id_eating WHERE d.id_type_menu = ?1 AND e.ename IN "
                                 "('Завтрак', 'Второй завтрак', 'Обед', 'Полдник', 'Ужин') "
                                 "GROUP BY d.id HAVING COUNT(DISTINCT e.id) = 5)"),
                  {menu})
                  .toInt(),
              10);
    EXPECT_EQ(one(QStringLiteral("SELECT COUNT(*) FROM type_eating WHERE shname IN ('1-3', '3-7', 'Сотрудники') "
                                 "AND id_type_menu = ?1"),
                  {menu})
                  .toInt(),
              3);
}

TEST_F(ShippedCards, TheArchiveOfTheApplicationFolderAgreesToo)
{
    const QString zip = builtArchive();
    if (!QFileInfo::exists(zip))
        GTEST_SKIP() << "no archive in the application folder of this build: " << zip.toStdString();
    load(zip);
    expectStatedEqualsCalculated();
}

} // namespace
