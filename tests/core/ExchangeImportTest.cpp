// The import of the standard data: the products package's collections, the norms package's
// sections, the choice among several norms packages, and packages that fail: a file the
// parser refuses and a package the engine stops part-way leave nothing of themselves, and the
// import goes on with the next package.

#include "ExchangeTestSupport.h"
#include "core/AppState.h"
#include "core/DatabaseSession.h"
#include "core/Startup.h"
#include "exchange/StandardData.h"
#include "exchange/Unpack.h"
#include "support/ScriptedPrompt.h"
#include "support/TestEnv.h"

#include <QDir>
#include <QFileInfo>
#include <gtest/gtest.h>

using namespace rat;
using namespace rat::exchange;
using rat::test::ZipEntry;

namespace {

const QString kRegulation = QStringLiteral("СанПиН 2.3/2.4.3590-20");

QString productsPackage()
{
    return QStringLiteral(
        "<entities>"
        "<vitamins>"
        "<vitamin><vname>Витамин С</vname><shname>C</shname><ispCard>false</ispCard></vitamin>"
        "<vitamin><vname>Каротин</vname><shname>Car</shname><ispCard>true</ispCard></vitamin>"
        "</vitamins>"
        "<ed_izmers><ed_izmer><ename>кг</ename><koef>1000,0</koef></ed_izmer>"
        "<ed_izmer><ename>шт</ename><koef>40.5</koef></ed_izmer></ed_izmers>"
        "<eatings><eating><ename>Завтрак</ename><time>08:30</time></eating>"
        "<eating><ename>Обед</ename><time>12:00</time></eating></eatings>"
        "<type_culinarys><type_culinary><cname>Варка</cname></type_culinary></type_culinarys>"
        "<products>"
        "<product><pname>Картофель</pname><ename>кг</ename><products_group>Овощи</products_group>"
        "<fat>0,4</fat><protein>2.0</protein><carbohyd>16,3</carbohyd><calories>77</calories>"
        "<time_storage>5,6</time_storage><time_period>2</time_period><schif>0101</schif><plpris>180,50</plpris>"
        "<rule_okr>3</rule_okr><procNe>25</procNe><trueVit>True</trueVit><trueLak>1</trueLak>"
        "<vitamin_quantitys><vitamin_quantity><shname>C</shname><quantity>20,5</quantity></vitamin_quantity>"
        "<vitamin_quantity><shname>B12</shname><quantity>0.1</quantity></vitamin_quantity></vitamin_quantitys>"
        "<sezons><sezon><day_n>1</day_n><mes_n>9</mes_n><day_o>31</day_o><mes_o>10</mes_o><proz>20</proz></sezon></sezons>"
        "</product>"
        "<product><pname>Молоко 3,2%</pname><ename>л</ename><products_group>Молочные</products_group><fat>3,2</fat></product>"
        "<product><pname>Молоко 3.2%</pname><ename>л</ename><products_group>Молочные</products_group><fat>3.2</fat></product>"
        "<product><pname>Соль</pname><ename>кг</ename><products_group>овощи</products_group><fat></fat></product>"
        "</products>"
        "</entities>");
}

// A norms package; `nfat` of the nursery type tells the packages apart.
QString normsPackage(const QString& sanpin, const QString& time, int mark)
{
    return QStringLiteral(
               "<entities><sanpin>%1</sanpin><time>%2</time>"
               "<replaces>"
               "<replace><pname>Картофель</pname><pname_replace>Соль</pname_replace><pr_weight>100</pr_weight>"
               "<repl_weight>80,5</repl_weight></replace>"
               "<replace><pname>Нет такого</pname><pname_replace>Соль</pname_replace><pr_weight>1</pr_weight></replace>"
               "</replaces>"
               "<type_eating><shname>Ясли</shname><ename>Дети от 1 до 3 лет</ename><status>true</status><pes>false</pes>"
               "<kod>1</kod><type_menu><tname>Основное</tname><sezon>0</sezon></type_menu>"
               "<fnorms><nfat>%3</nfat><nprotein>42</nprotein><ncarbohyd>203</ncarbohyd><ncalories>1400</ncalories>"
               "<nC>45</nC></fnorms>"
               "<fnorms_vits><fnorms_vit><shname>C</shname><kol>45</kol></fnorms_vit>"
               "<fnorms_vit><shname>Неизвестный</shname><kol>1</kol></fnorms_vit></fnorms_vits>"
               "<sobbluds><sobblud><ename>Завтрак</ename><objemmin>350</objemmin><objemmax>450</objemmax></sobblud>"
               "<sobblud><ename>Ужин</ename><objemmin>400</objemmin></sobblud></sobbluds>"
               "<normss><norms><gname>Овощи</gname><norm>350</norm><pname>Картофель</pname>"
               "<norms_points><norms_point><ename>Обед</ename><kol>100</kol></norms_point>"
               "<norms_point><ename>Ужин</ename><kol>50,5</kol></norms_point></norms_points></norms>"
               "<norms><gname>Овощи</gname><norm>350</norm><pname>Неизвестный продукт</pname></norms></normss>"
               "</type_eating>"
               "<type_eatings><type_eating><shname>Сотрудники</shname><ename>Сотрудники</ename><status>true</status>"
               "<pes>true</pes><kod>3</kod></type_eating></type_eatings>"
               "<rasps_calls>"
               "<rasps_call><eating><ename>Завтрак</ename><time>07:00</time></eating><status>true</status>"
               "<proz1>20</proz1><proz2>25</proz2></rasps_call>"
               "<rasps_call><eating><ename>Полдник</ename><time>15:30</time></eating><status>1</status>"
               "<proz1>10</proz1></rasps_call>"
               "</rasps_calls>"
               "<vitamins><vitamin><vname>витамин с</vname><ispCard>true</ispCard></vitamin>"
               "<vitamin><vname>Каротин</vname><ispCard>нет</ispCard></vitamin>"
               "<vitamin><vname>Витамин Д</vname><ispCard>true</ispCard></vitamin></vitamins>"
               "</entities>")
        .arg(sanpin, time)
        .arg(mark);
}

QString collectionPackage(const QString& brokenComment = QString())
{
    return QStringLiteral(
               "<entities><name>Сборник для проверки</name>"
               "<type_eating><shname>Ясли</shname><ename>Ясли</ename><status>true</status><pes>false</pes><kod>1</kod>"
               "<type_menu><tname>Основное</tname><sezon>0</sezon></type_menu></type_eating>"
               "<recipe><name>Картофель отварной</name><number>12</number><type>Гарниры</type><sub-type>Варка</sub-type>"
               "<author><namev>Сборник для проверки</namev><namesh>СП</namesh></author>"
               "<weight><type>Ясли</type><output1>150</output1></weight>"
               "<ingredient><name>Картофель</name><brutto>130</brutto><netto>100</netto></ingredient></recipe>"
               "<recipe><name>Пюре</name><number>13</number><type>Гарниры</type>"
               "<author><namev>Сборник для проверки</namev><namesh>СП</namesh></author>"
               "<ingredient><name>Картофель</name><brutto>130</brutto><netto>100</netto></ingredient>"
               "<ingredient><isComment>true</isComment><comment>%1</comment></ingredient></recipe>"
               "<plans><planStr><type_menu_Name>Основное</type_menu_Name><day>1 день</day>"
               "<eating><ename>Обед</ename></eating><type_meal><tname>Гарниры</tname></type_meal>"
               "<cards><cname>Пюре</cname><number>13</number></cards></planStr></plans>"
               "</entities>")
        .arg(brokenComment.isEmpty() ? QStringLiteral("можно с маслом") : brokenComment);
}

class Import : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(createAndFillDatabase(session, env.path(QStringLiteral("d.db"))));
        prompt.clear();
    }

    Database& db() { return session.db(); }

    QString archive(const std::vector<ZipEntry>& entries)
    {
        const QString path = env.path(QStringLiteral("пакет.zip"));
        EXPECT_TRUE(test::writeZip(path, entries));
        return path;
    }

    ImportSummary import(const QString& zip, const QString& stay = QStringLiteral("12"))
    {
        StandardDataOptions options;
        options.regulation = kRegulation;
        options.stayTime = stay;
        return ImportStandardData(db(), prompt, zip, options);
    }

    QVariant one(const QString& sql, const std::vector<QVariant>& params = {}) { return db().scalar(sql, params); }
    QVariant joined(const QString& sql, const std::vector<QVariant>& params = {}, const QString& sep = QStringLiteral(" "))
    {
        return test::joinedRows(db(), sql, params, sep);
    }
    qint64 rows(const QString& table) { return test::rows(db(), table); }

    test::TestEnv env;
    test::ScriptedPrompt prompt;
    DatabaseSession session{prompt};
};

TEST_F(Import, ProductsPackageFillsEachCollectionAndResolvesNames)
{
    const ImportSummary s = import(archive({{"Продукты.xml", test::xml(productsPackage())}}));
    EXPECT_TRUE(s.productsLoaded);
    EXPECT_TRUE(prompt.messages().isEmpty()) << prompt.messages().join('\n').toStdString();

    // An existing vitamin of the same short name is updated, a new one added, and a name that
    // only a product's quantities give is made.
    EXPECT_EQ(one("SELECT ispCard FROM vitamin WHERE shname = 'C'").toInt(), 0);
    EXPECT_EQ(one("SELECT count(*) FROM vitamin WHERE upper(shname) = 'C'").toInt(), 1);
    EXPECT_EQ(one("SELECT vname || '/' || ispCard FROM vitamin WHERE shname = 'Car'").toString(), QStringLiteral("Каротин/-1"));
    EXPECT_EQ(one("SELECT vname FROM vitamin WHERE shname = 'B12'").toString(), QStringLiteral("B12"));

    EXPECT_DOUBLE_EQ(one("SELECT koef FROM ed_izmer WHERE ename = 'кг'").toDouble(), 1000.0);
    EXPECT_DOUBLE_EQ(one("SELECT koef FROM ed_izmer WHERE ename = 'шт'").toDouble(), 40.5);
    EXPECT_EQ(one("SELECT koef IS NULL FROM ed_izmer WHERE ename = 'л'").toInt(), 1);  // named by a product only
    EXPECT_EQ(one("SELECT TIME FROM eating WHERE ename = 'Завтрак'").toString(), QStringLiteral("1899-12-30 08:30:00"));
    EXPECT_EQ(rows("type_culinary"), 1);

    Statement p(db(), QStringLiteral(
                          "SELECT e.ename, g.pname, p.fat, p.protein, p.carbohyd, p.calories, p.time_storage, p.time_period, "
                          "p.schif, p.plpris, p.rule_okr, p.procNe, p.trueVit, p.trueLak FROM products p "
                          "JOIN ed_izmer e ON e.id = p.id_ed_izmer JOIN product_group g ON g.id = p.id_product_group "
                          "WHERE p.pname = 'Картофель'"));
    ASSERT_TRUE(p.next());
    EXPECT_EQ(p.toString(0), QStringLiteral("кг"));
    EXPECT_EQ(p.toString(1), QStringLiteral("Овощи"));
    EXPECT_DOUBLE_EQ(p.toDouble(2), 0.4);
    EXPECT_DOUBLE_EQ(p.toDouble(3), 2.0);
    EXPECT_DOUBLE_EQ(p.toDouble(4), 16.3);
    EXPECT_DOUBLE_EQ(p.toDouble(5), 77.0);
    EXPECT_EQ(p.toInt64(6), 6);  // a whole-number column rounds 5,6
    EXPECT_EQ(p.toInt64(7), 2);
    EXPECT_EQ(p.toString(8), QStringLiteral("0101"));
    EXPECT_DOUBLE_EQ(p.toDouble(9), 180.5);
    EXPECT_EQ(p.toInt64(10), 3);
    EXPECT_DOUBLE_EQ(p.toDouble(11), 25.0);
    EXPECT_EQ(p.toInt64(12), -1);  // "True"
    EXPECT_EQ(p.toInt64(13), 0);   // "1" is not yes

    // A decimal comma and a decimal point give the same number.
    EXPECT_EQ(one("SELECT count(DISTINCT fat) FROM products WHERE pname LIKE 'Молоко%'").toInt(), 1);
    EXPECT_DOUBLE_EQ(one("SELECT fat FROM products WHERE pname = 'Молоко 3,2%'").toDouble(), 3.2);
    // Group names are matched without regard to letter case; an empty figure stays empty.
    EXPECT_EQ(rows("product_group"), 2);
    EXPECT_EQ(one("SELECT fat IS NULL FROM products WHERE pname = 'Соль'").toInt(), 1);

    EXPECT_EQ(joined("SELECT v.shname || '=' || q.quantity FROM vitamin_quantity q "
                  "JOIN vitamin v ON v.id = q.id_vitamin ORDER BY q.id")
                  .toString(),
              QStringLiteral("C=20.5 B12=0.1"));
    EXPECT_EQ(one("SELECT DAY_N || '.' || MES_N || '-' || DAY_O || '.' || MES_O || ' ' || PROZ FROM SEZON").toString(),
              QStringLiteral("1.9-31.10 20.0"));

    // The same package once more replaces a product's vitamins and seasons instead of adding
    // them a second time.
    import(archive({{"Продукты.xml", test::xml(productsPackage())}}));
    EXPECT_EQ(one("SELECT count(*) FROM products WHERE pname = 'Картофель'").toInt(), 1);
    EXPECT_EQ(joined("SELECT v.shname || '=' || q.quantity FROM vitamin_quantity q "
                  "JOIN vitamin v ON v.id = q.id_vitamin ORDER BY q.id")
                  .toString(),
              QStringLiteral("C=20.5 B12=0.1"));
    EXPECT_EQ(rows("SEZON"), 1);
}

TEST_F(Import, NormsPackageSectionsLoadInTheirOrder)
{
    db().exec(QStringLiteral("INSERT INTO eating (ename) VALUES ('Ужин')"));
    db().exec(QStringLiteral("INSERT INTO RASPS_CALL (id_eating, status, proz1) VALUES (1, 0, 99), (1, 0, 98), (1, -1, 97)"));
    const ImportSummary s = import(archive({{"Продукты.xml", test::xml(productsPackage())},
                                            {"СанПиН.xml", test::xml(normsPackage(kRegulation, "12", 47))}}));
    EXPECT_TRUE(s.normsLoaded);
    EXPECT_TRUE(prompt.messages().isEmpty()) << prompt.messages().join('\n').toStdString();

    // Substitutes: a row naming an unknown product is left out.
    EXPECT_EQ(rows("replace"), 1);
    EXPECT_DOUBLE_EQ(one("SELECT repl_weight FROM [replace]").toDouble(), 80.5);

    // Eater types, their plan-menu and their norms.
    EXPECT_EQ(joined("SELECT shname || ':' || status || ':' || Pes || ':' || Kod FROM type_eating ORDER BY id")
                  .toString(),
              QStringLiteral("Ясли:-1:0:1 Сотрудники:-1:-1:3"));
    EXPECT_EQ(one("SELECT tname || ':' || sezon || ':' || status FROM type_menu").toString(), QStringLiteral("Основное:0:2"));
    EXPECT_EQ(one("SELECT nfat || '/' || nprotein || '/' || ncalories || '/' || nC FROM FNORMS").toString(),
              QStringLiteral("47.0/42.0/1400.0/45.0"));
    EXPECT_EQ(rows("FNORMS_VIT"), 1);  // an unknown vitamin is not made here
    EXPECT_EQ(one("SELECT m.ename || ' ' || s.objemMin || '-' || coalesce(s.objemMax, '') FROM SOBBLUD s "
                  "JOIN eating m ON m.id = s.id_eating ORDER BY s.idSO LIMIT 1 OFFSET 1")
                  .toString(),
              QStringLiteral("Ужин 400.0-"));
    EXPECT_EQ(rows("norms"), 1);
    EXPECT_EQ(joined("SELECT m.ename || '=' || p.kol FROM NORMS_POINT p JOIN eating m ON m.id = p.id_eating ORDER BY p.IDNP")
                  .toString(),
              QStringLiteral("Обед=100.0 Ужин=50.5"));

    // The energy distribution holds only the file's rows; a meal it names is made with its time.
    EXPECT_EQ(joined("SELECT m.ename || ':' || r.status || ':' || r.proz1 || ':' || coalesce(r.proz2, '') "
                  "FROM RASPS_CALL r JOIN eating m ON m.id = r.id_eating ORDER BY r.IDRC")
                  .toString(),
              QStringLiteral("Завтрак:-1:20:25 Полдник:0:10:"));
    EXPECT_EQ(one("SELECT TIME FROM eating WHERE ename = 'Полдник'").toString(), QStringLiteral("1899-12-30 15:30:00"));
    // An existing meal keeps its own time.
    EXPECT_EQ(one("SELECT TIME FROM eating WHERE ename = 'Завтрак'").toString(), QStringLiteral("1899-12-30 08:30:00"));

    // Vitamins are matched by name and only updated.
    EXPECT_EQ(one("SELECT ispCard FROM vitamin WHERE shname = 'C'").toInt(), -1);
    EXPECT_EQ(one("SELECT ispCard FROM vitamin WHERE shname = 'Car'").toInt(), 0);
    EXPECT_EQ(one("SELECT count(*) FROM vitamin WHERE vname = 'Витамин Д'").toInt(), 0);
}

TEST_F(Import, TheFirstNormsPackageOfTheRegulationAndStayTimeIsUsed)
{
    const QString zip = archive({
        {"Продукты.xml", test::xml(productsPackage())},
        {"a_СанПиН_другой.xml", test::xml(normsPackage(QStringLiteral("СанПиН 2.4.1.3049-13"), "12", 1))},
        {"b_санпин_9.xml", test::xml(normsPackage(kRegulation, "9", 2))},
        {"c_СанПиН_12.xml", test::xml(normsPackage(kRegulation, "12", 3))},
        {"d_СанПиН_12_второй.xml", test::xml(normsPackage(kRegulation, "12", 4))},
        {"e_нормы_12.xml", test::xml(normsPackage(kRegulation, "12", 5))},
    });
    for (const QString& stay : {QStringLiteral("12"), QStringLiteral("9")}) {
        ASSERT_EQ(UnpackArchive(zip, prompt), unpackOk);
        EXPECT_EQ(QFileInfo(FindPackage(QStringLiteral("СанПиН"), kRegulation, stay)).fileName().left(1),
                  stay == "12" ? QStringLiteral("c") : QStringLiteral("b"));
    }
    EXPECT_EQ(FindPackage(QStringLiteral("СанПиН"), kRegulation, QStringLiteral("24")), QString());
    EXPECT_EQ(QFileInfo(FindPackage(QStringLiteral("СанПиН"), QString(), QStringLiteral("12"))).fileName().left(1),
              QStringLiteral("a"));
    EXPECT_EQ(QFileInfo(FindPackage(QStringLiteral("сАнПиН"), QString(), QString())).fileName().left(1), QStringLiteral("a"));

    import(zip, QStringLiteral("12"));
    EXPECT_EQ(joined("SELECT nfat FROM FNORMS").toString(), QStringLiteral("3.0"));

    // A stay time no package has: no norms at all, and nothing said about it.
    prompt.clear();
    db().exec(QStringLiteral("DELETE FROM FNORMS"));
    EXPECT_FALSE(import(zip, QStringLiteral("24")).normsLoaded);
    EXPECT_EQ(rows("FNORMS"), 0);
    EXPECT_TRUE(prompt.messages().isEmpty()) << prompt.messages().join('\n').toStdString();
}

TEST_F(Import, ABrokenFileIsToldAndSkippedAndTheOtherPackagesStillLoad)
{
    const QString zip = archive({
        {"Продукты.xml", test::xml(QStringLiteral("<entities><products><product><pname>Картофель</pname></products></entities>"))},
        {"СанПиН.xml", test::xml(normsPackage(kRegulation, "12", 47))},
        {"Сборник.xml", test::xml(collectionPackage())},
    });
    const ImportSummary s = import(zip);
    EXPECT_FALSE(s.productsLoaded);
    EXPECT_TRUE(s.normsLoaded);
    EXPECT_TRUE(s.collectionLoaded);
    EXPECT_EQ(prompt.messages(),
              QStringList{"warning: Обнаружены ошибки в формате файла. 14 Start-end tags mismatch Файл не был открыт."});
    // Nothing of the broken file; the next packages made what they name themselves.
    EXPECT_EQ(rows("ed_izmer"), 0);
    EXPECT_EQ(joined("SELECT pname FROM products ORDER BY id", {}, ", ").toString(), QStringLiteral("Картофель"));
    EXPECT_EQ(rows("type_eating"), 2);
    EXPECT_EQ(rows("card_recipes"), 2);
    EXPECT_EQ(rows("plan_menu"), 1);

    // A document of another kind is not loaded either.
    prompt.clear();
    const QString foreign = archive({{"Продукты.xml", test::xml(QStringLiteral("<products/>"))},
                                     {"Сборник.xml", test::xml(QStringLiteral("<recipes/>"))}});
    import(foreign);
    EXPECT_EQ(prompt.messages(), (QStringList{"warning: Не заполнены справочники.",
                                              "warning: Не заполнены справочники технологических карт."}));
}

TEST_F(Import, APackageStoppedPartWayLeavesNothingOfItselfAndTheNextOneLoads)
{
    // The engine refuses the second portion volume: the norms package stops after it has made
    // substitutes, eater types, a plan-menu and physiological norms.
    db().execScript(QStringLiteral("CREATE TRIGGER refuse BEFORE INSERT ON SOBBLUD WHEN NEW.objemMin = 400 "
                                   "BEGIN SELECT RAISE(ABORT, 'отказ'); END;"));
    const QString zip = archive({{"Продукты.xml", test::xml(productsPackage())},
                                 {"СанПиН.xml", test::xml(normsPackage(kRegulation, "12", 47))},
                                 {"Сборник.xml", test::xml(collectionPackage())}});
    const ImportSummary s = import(zip);
    EXPECT_TRUE(s.productsLoaded);
    EXPECT_FALSE(s.normsLoaded);
    EXPECT_TRUE(s.collectionLoaded);
    EXPECT_EQ(prompt.messages(), (QStringList{"warning: Произошла ошибка при загрузке файла СанПиН.xml. Ошибка: 19 отказ.",
                                              "warning: Не заполнены справочники технологических карт."}));
    for (const char* table : {"replace", "FNORMS", "FNORMS_VIT", "SOBBLUD", "norms", "NORMS_POINT"})
        EXPECT_EQ(rows(QString::fromLatin1(table)), 0) << table;
    EXPECT_EQ(one("SELECT count(*) FROM eating WHERE ename IN ('Ужин', 'Полдник')").toInt(), 0);
    // The collection made its own eater type and plan-menu again, not ones of the undone package.
    EXPECT_EQ(joined("SELECT shname FROM type_eating").toString(), QStringLiteral("Ясли"));
    EXPECT_EQ(one("SELECT count(*) FROM type_eating e JOIN type_menu m ON m.id = e.id_type_menu").toInt(), 1);
    EXPECT_EQ(one("SELECT count(*) FROM output o JOIN type_eating e ON e.id = o.id_type_eating").toInt(), 1);
    EXPECT_EQ(rows("products"), 4);

    // The same with the last package: the collection stops at its second card.
    prompt.clear();
    db().execScript(QStringLiteral("DROP TRIGGER refuse; DELETE FROM products; DELETE FROM card_recipes; DELETE FROM recipes;"
                                   "DELETE FROM output; DELETE FROM plan_menu; DELETE FROM type_meal; DELETE FROM RECEPTUR; DELETE FROM days;"
                                   "CREATE TRIGGER refuse BEFORE INSERT ON recipes WHEN NEW.comment = 'сломать' "
                                   "BEGIN SELECT RAISE(ABORT, 'отказ'); END;"));
    const ImportSummary again = import(archive({{"Продукты.xml", test::xml(productsPackage())},
                                                {"Сборник.xml", test::xml(collectionPackage(QStringLiteral("сломать")))}}));
    EXPECT_TRUE(again.productsLoaded);
    EXPECT_FALSE(again.collectionLoaded);
    EXPECT_EQ(again.cards, 0);
    EXPECT_EQ(prompt.messages(), (QStringList{"warning: Произошла ошибка при загрузке файла Сборник.xml. Ошибка: 19 отказ.",
                                              "warning: Не заполнены справочники технологических карт."}));
    for (const char* table : {"card_recipes", "recipes", "output", "plan_menu", "type_meal", "RECEPTUR", "days"})
        EXPECT_EQ(rows(QString::fromLatin1(table)), 0) << table;
    EXPECT_EQ(rows("products"), 4);
}

TEST_F(Import, AMissingArchiveIsToldAndNothingIsImported)
{
    const ImportSummary s = import(env.path(QStringLiteral("нет.zip")));
    EXPECT_FALSE(s.productsLoaded || s.normsLoaded || s.collectionLoaded);
    EXPECT_EQ(prompt.events, (QStringList{"status: Не заполнены справочники технологических карт.",
                                          "warning: Файл не был найден."}));
}

} // namespace
