// The recipe-collection package: eater types with their plan-menus, cards read in two passes
// (nested dishes and variants naming cards further on), the plan-menu rows with the season of
// their plan-menu's name; the list of collections and the import of a model plan-menu.

#include "ExchangeTestSupport.h"
#include "core/AppState.h"
#include "core/DatabaseSession.h"
#include "core/Startup.h"
#include "exchange/ImportContext.h"
#include "exchange/PackageLoaders.h"
#include "exchange/StandardData.h"
#include "support/ScriptedPrompt.h"
#include "support/TestEnv.h"

#include <QDir>
#include <gtest/gtest.h>

using namespace rat;
using namespace rat::exchange;

namespace {

const char* const kCollection = R"(<entities>
<name>Сборник детского сада</name>
<type_eatings>
  <type_eating><shname>Ясли</shname><ename>Дети от 1 до 3 лет</ename><status>true</status><pes>false</pes><kod>1</kod>
    <SanPinTip>1</SanPinTip><type_menu><tname>Основное меню</tname><sezon>5</sezon></type_menu></type_eating>
  <type_eating><shname>Сад</shname><ename>Дети от 3 до 7 лет</ename><status>true</status><pes>false</pes><kod>2</kod>
    <type_menu><tname>Основное меню</tname><sezon>5</sezon></type_menu></type_eating>
</type_eatings>
<recipe>
  <id>1</id><name>Каша рисовая молочная</name><number>7</number><numrec>180</numrec>
  <type>Каши</type><sub-type>Варка</sub-type>
  <author><namev>Сборник детского сада</namev><namesh>СДС</namesh></author>
  <instructions>Рис варят в молоке.</instructions>
  <nutrition><protein>3,1</protein><fat>4.2</fat><carbohyd>15</carbohyd><calories>110</calories>
    <pr_fat>10</pr_fat><pr_call>5</pr_call><vih>200</vih>
    <vitamin><shname>C</shname><kol>0,6</kol><kolpr>60</kolpr></vitamin>
    <vitamin><shname>B1</shname><kol>0.04</kol><kolpr>20</kolpr></vitamin></nutrition>
  <weight><type>Ясли</type><period>1</period><output1>150</output1><output2>0</output2><output3>0</output3></weight>
  <weight><type>Сад</type><output1>200</output1><output2>20</output2></weight>
  <complect></complect>
  <ingredient><name>Молоко</name><isCard>0</isCard><isComment>false</isComment><isVariant>false</isVariant>
    <brutto>70</brutto><netto>70</netto><brutto2>140</brutto2><netto2>140</netto2><vih_kol>200</vih_kol>
    <product><ed_izmer><ename>л</ename><koef>1000</koef></ed_izmer>
      <product_group><pname>Молочные</pname></product_group><fat>3,2</fat><rule_okr>3</rule_okr>
      <vitamin_quantitys><vitamin_quantity><shname>C</shname><quantity>1,3</quantity></vitamin_quantity></vitamin_quantitys>
    </product></ingredient>
  <ingredient><name>Соус молочный</name><isCard>1</isCard><Vloj_Number>95</Vloj_Number><Vloj_Numrec>450</Vloj_Numrec>
    <brutto>20</brutto><netto>20</netto></ingredient>
  <ingredient><name>Сливки 10%</name><isVariant>true</isVariant>
    <MainCard>Соус молочный</MainCard><MainCard_Number>95</MainCard_Number><MainCard_Numrec>450</MainCard_Numrec>
    <brutto>10</brutto><netto>10</netto></ingredient>
  <ingredient><name>Молоко сухое</name><isVariant>true</isVariant>
    <MainCard>Молоко</MainCard><MainCard_Number></MainCard_Number><MainCard_Numrec></MainCard_Numrec>
    <brutto>9</brutto><netto>9</netto></ingredient>
  <ingredient><isComment>true</isComment><comment>Рис перебрать и промыть</comment></ingredient>
  <ingredient><name>Нет такой карты</name><isCard>1</isCard><brutto>5</brutto><netto>5</netto></ingredient>
</recipe>
<recipe><name>Соус молочный</name><number>96</number><numrec>451</numrec><type>Соусы</type>
  <author><namev>Сборник детского сада</namev><namesh>СДС</namesh></author>
  <ingredient><name>Молоко</name><brutto>90</brutto><netto>90</netto></ingredient></recipe>
<recipe><name>Соус молочный</name><number>95</number><numrec>450</numrec><type>Соусы</type>
  <author><namev>Сборник детского сада</namev><namesh>СДС</namesh></author><orgocen>Однородный</orgocen>
  <ingredient><name>Молоко</name><brutto>80</brutto><netto>80</netto></ingredient></recipe>
<recipe><name>Чай</name><type>Напитки</type>
  <author><namev>Сборник детского сада</namev><namesh>СДС</namesh></author></recipe>
<plans>
  <planStr><type_menu_Name>Основное меню Сезон: (зимний)</type_menu_Name><day>1 день</day>
    <eating><ename>Завтрак</ename><time>08:30</time></eating><type_meal><tname>Каши</tname></type_meal>
    <cards><cname>Каша рисовая молочная</cname><number>7</number><numrec>180</numrec></cards></planStr>
  <planStr><type_menu_Name>Основное меню Сезон: (зимний)</type_menu_Name><day>1 день</day>
    <eating><ename>Обед</ename><time>12:00</time></eating><type_meal><tname>Соусы</tname></type_meal>
    <cards><cname>Соус молочный</cname><number>96</number><numrec>451</numrec></cards></planStr>
  <planStr><type_menu_Name>Основное меню Сезон: (зимний)</type_menu_Name><day>2 день</day>
    <eating><ename>Завтрак</ename></eating><type_meal><tname>Напитки</tname></type_meal>
    <cards><cname>Чай</cname></cards></planStr>
  <planStr><type_menu_Name>Диетическое меню</type_menu_Name><day>1 день</day>
    <eating><ename>Завтрак</ename></eating><type_meal><tname>Напитки</tname></type_meal>
    <cards><cname>Чай</cname><number></number></cards></planStr>
  <planStr><type_menu_Name>Основное меню Сезон: (зимний)</type_menu_Name><day>2 день</day>
    <eating><ename>Обед</ename></eating><cards><cname>Компот</cname></cards></planStr>
</plans>
</entities>)";

class Collection : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(createAndFillDatabase(session, env.path(QStringLiteral("d.db"))));
        // A plan-menu the package names without a season.
        db().exec(QStringLiteral("INSERT INTO type_menu (tname, status, sezon) VALUES ('Диетическое меню', 2, 3)"));
        prompt.clear();
        ASSERT_EQ(doc.load_string(kCollection).status, pugi::status_ok);
    }

    Database& db() { return session.db(); }
    QVariant one(const QString& sql, const std::vector<QVariant>& params = {}) { return db().scalar(sql, params); }
    QVariant joined(const QString& sql, const std::vector<QVariant>& params = {}, const QString& sep = QStringLiteral(" "))
    {
        return test::joinedRows(db(), sql, params, sep);
    }
    qint64 card(const QString& name, const QString& number)
    {
        return one(QStringLiteral("SELECT id FROM card_recipes WHERE cname = ?1 AND number1 = ?2"), {name, number}).toLongLong();
    }

    void loadAll(int cycleDays = 0)
    {
        ImportContext ctx(db(), prompt);
        const pugi::xml_node root = doc.document_element();
        loadCollectionEaterTypes(ctx, root);
        EXPECT_EQ(loadRecipes(ctx, root), 4);
        loadPlans(ctx, root, cycleDays);
    }

    test::TestEnv env;
    test::ScriptedPrompt prompt;
    DatabaseSession session{prompt};
    pugi::xml_document doc;
};

TEST_F(Collection, CardsWithNestedDishesVariantsAndCommentsOfCardsFurtherOn)
{
    loadAll();
    EXPECT_TRUE(prompt.messages().isEmpty()) << prompt.messages().join('\n').toStdString();

    const qint64 porridge = card("Каша рисовая молочная", "7");
    const qint64 sauce95 = card("Соус молочный", "95");
    ASSERT_TRUE(porridge && sauce95 && card("Соус молочный", "96"));

    Statement lines(db(), QStringLiteral("SELECT id, id_product, isCard, isVariant, isComment, id_MainCard, brutto, netto, "
                                         "brutto2, netto2, vih_kol, comment FROM recipes WHERE id_card_recipes = ?1 ORDER BY id"));
    lines.bind(1, porridge);
    std::vector<std::vector<QVariant>> got;
    while (lines.next()) {
        std::vector<QVariant> row;
        for (int i = 0; i < 12; ++i)
            row.push_back(lines.value(i));
        got.push_back(row);
    }
    ASSERT_EQ(got.size(), 5u);  // the line naming a card that is nowhere is left out
    const qint64 milk = one("SELECT id FROM products WHERE pname = 'Молоко'").toLongLong();
    const qint64 cream = one("SELECT id FROM products WHERE pname = 'Сливки 10%'").toLongLong();
    const qint64 dryMilk = one("SELECT id FROM products WHERE pname = 'Молоко сухое'").toLongLong();
    // Product line with the weights as entered.
    EXPECT_EQ(got[0][1].toLongLong(), milk);
    EXPECT_EQ(got[0][2].toInt(), 0);
    EXPECT_DOUBLE_EQ(got[0][8].toDouble(), 140.0);
    EXPECT_EQ(got[0][10].toInt(), 200);
    // Nested dish: the card of that number, though it comes later in the file.
    EXPECT_EQ(got[1][1].toLongLong(), sauce95);
    EXPECT_EQ(got[1][2].toInt(), -1);
    EXPECT_EQ(got[1][10].toInt(), 100);
    EXPECT_DOUBLE_EQ(got[1][8].toDouble(), 0.0);
    // A variant of the nested dish is linked to the nested line, one of the milk to the milk line.
    EXPECT_EQ(got[2][1].toLongLong(), cream);
    EXPECT_EQ(got[2][3].toInt(), -1);
    EXPECT_EQ(got[2][5].toLongLong(), got[1][0].toLongLong());
    EXPECT_EQ(got[3][1].toLongLong(), dryMilk);
    EXPECT_EQ(got[3][5].toLongLong(), got[0][0].toLongLong());
    // Comment line.
    EXPECT_EQ(got[4][1].toLongLong(), 0);
    EXPECT_EQ(got[4][4].toInt(), -1);
    EXPECT_EQ(got[4][11].toString(), QStringLiteral("Рис перебрать и промыть"));
    EXPECT_EQ(got[0][5].toLongLong(), 0);

    // The card's header, texts and nutrition.
    Statement h(db(), QStringLiteral(
                          "SELECT c.numRec, m.tname, k.cname, r.namesh || '/' || r.namev, c.description, c.orgOc, c.protein, c.fat, "
                          "c.pr_fat, c.pr_call, c.pr_calories, c.vih, c.fat_vih, c.calories_vih, c.c, c.pr_c, c.b1 "
                          "FROM card_recipes c JOIN type_meal m ON m.id = c.id_type_meal "
                          "JOIN type_culinary k ON k.id = c.id_type_culinary JOIN RECEPTUR r ON r.ID = c.id_receptur WHERE c.id = ?1"));
    h.bind(1, porridge);
    ASSERT_TRUE(h.next());
    EXPECT_EQ(h.toString(0), QStringLiteral("180"));
    EXPECT_EQ(h.toString(1), QStringLiteral("Каши"));
    EXPECT_EQ(h.toString(2), QStringLiteral("Варка"));
    EXPECT_EQ(h.toString(3), QStringLiteral("СДС/Сборник детского сада"));
    EXPECT_EQ(h.toString(4), QStringLiteral("Рис варят в молоке."));
    EXPECT_EQ(h.toString(5), QStringLiteral(" "));
    EXPECT_DOUBLE_EQ(h.toDouble(6), 3.1);
    EXPECT_DOUBLE_EQ(h.toDouble(7), 4.2);
    EXPECT_DOUBLE_EQ(h.toDouble(8), 10.0);
    EXPECT_DOUBLE_EQ(h.toDouble(9), 5.0);
    EXPECT_DOUBLE_EQ(h.toDouble(10), 5.0);
    EXPECT_EQ(h.toInt64(11), 200);
    EXPECT_DOUBLE_EQ(h.toDouble(12), 8.4);    // 4.2 per 100 g -> 200 g
    EXPECT_DOUBLE_EQ(h.toDouble(13), 220.0);
    EXPECT_DOUBLE_EQ(h.toDouble(14), 0.6);
    EXPECT_DOUBLE_EQ(h.toDouble(15), 60.0);
    EXPECT_DOUBLE_EQ(h.toDouble(16), 0.04);
    EXPECT_EQ(joined("SELECT v.shname || ':' || cv.kol || ':' || cv.kolpr || ':' || cv.kol_vih || ':' || cv.vih "
                  "FROM CARD_VITAMIN cv JOIN vitamin v ON v.id = cv.id_vitamin WHERE cv.id_card_recipes = ?1 ORDER BY cv.IDcv",
                  {porridge})
                  .toString(),
              QStringLiteral("C:0.6:60.0:1.2:200 B1:0.04:20.0:0.08:200"));
    EXPECT_EQ(joined("SELECT e.shname || ':' || o.output1 || ':' || coalesce(o.output2, '') FROM output o "
                  "JOIN type_eating e ON e.id = o.id_type_eating WHERE o.id_card_recipe = ?1 ORDER BY o.id",
                  {porridge})
                  .toString(),
              QStringLiteral("Ясли:150:0 Сад:200:20"));
    EXPECT_EQ(one("SELECT orgOc FROM card_recipes WHERE id = ?1", {sauce95}).toString(), QStringLiteral("Однородный"));
    EXPECT_EQ(one("SELECT number1 FROM card_recipes WHERE cname = 'Чай'").toString(), QStringLiteral("б/н"));
    EXPECT_EQ(one("SELECT count(*) FROM RECEPTUR").toInt(), 1);

    // A product a line describes is made with its unit, group and vitamins.
    EXPECT_EQ(one("SELECT e.ename || ':' || e.koef || ':' || g.pname || ':' || p.fat || ':' || p.rule_okr FROM products p "
                  "JOIN ed_izmer e ON e.id = p.id_ed_izmer JOIN product_group g ON g.id = p.id_product_group WHERE p.id = ?1",
                  {milk})
                  .toString(),
              QStringLiteral("л:1000.0:Молочные:3.2:3"));
    EXPECT_EQ(one("SELECT quantity FROM vitamin_quantity WHERE id_product = ?1", {milk}).toDouble(), 1.3);
    EXPECT_EQ(one("SELECT count(*) FROM products").toInt(), 3);

    // Eater types belong to the plan-menu of their package.
    EXPECT_EQ(joined("SELECT e.shname || ':' || e.ename || ':' || e.Kod || ':' || m.tname || ':' || m.sezon "
                  "FROM type_eating e JOIN type_menu m ON m.id = e.id_type_menu ORDER BY e.id")
                  .toString(),
              QStringLiteral("Ясли:Дети от 1 до 3 лет:1:Основное меню:5 Сад:Дети от 3 до 7 лет:2:Основное меню:5"));
}

TEST_F(Collection, PlanRowsFindTheirPlanMenuBySeasonOrByName)
{
    loadAll();
    // "Основное меню Сезон: (зимний)" is the winter plan-menu the eater types made; "Диетическое
    // меню" is found by its whole name whatever its season.
    EXPECT_EQ(one("SELECT count(*) FROM type_menu").toInt(), 2);
    EXPECT_EQ(joined("SELECT m.tname || '/' || m.sezon || '/' || d.dname || '/' || e.ename || '/' || t.tname || '/' || "
                  "c.cname || ' ' || c.number1 FROM plan_menu p JOIN days d ON d.id = p.id_day "
                  "JOIN type_menu m ON m.id = d.id_type_menu JOIN eating e ON e.id = p.id_eating "
                  "JOIN type_meal t ON t.id = p.id_type_meal JOIN card_recipes c ON c.id = p.id_card_recipes ORDER BY p.id", {}, "; ")
                  .toString(),
              QStringLiteral("Основное меню/5/1 день/Завтрак/Каши/Каша рисовая молочная 7; "
                             "Основное меню/5/1 день/Обед/Соусы/Соус молочный 96; "
                             "Основное меню/5/2 день/Завтрак/Напитки/Чай б/н; "
                             "Диетическое меню/3/1 день/Завтрак/Напитки/Чай б/н"));
    EXPECT_EQ(one("SELECT count(*) FROM days").toInt(), 3);
    EXPECT_EQ(one("SELECT TIME FROM eating WHERE ename = 'Обед'").toString(), QStringLiteral("1899-12-30 12:00:00"));
}

TEST_F(Collection, AShorterCycleKeepsTheFirstDaysOfEachPlanMenu)
{
    loadAll(1);
    EXPECT_EQ(joined("SELECT d.dname || ' ' || m.tname FROM days d JOIN type_menu m ON m.id = d.id_type_menu "
                  "ORDER BY d.id", {}, "; ")
                  .toString(),
              QStringLiteral("1 день Основное меню; 1 день Диетическое меню"));
    EXPECT_EQ(one("SELECT count(*) FROM plan_menu").toInt(), 3);
}

TEST(PlanMenuName, SeasonSuffixOfTheName)
{
    const auto check = [](const char* text, const char* name, std::optional<int> season) {
        const PlanMenuName p = parsePlanMenuName(QString::fromUtf8(text));
        EXPECT_EQ(p.name, QString::fromUtf8(name)) << text;
        EXPECT_EQ(p.season, season) << text;
    };
    check("Меню ясли Сезон: (зимний)", "Меню ясли", 5);
    check("Меню Сезон: (осенне-зимний)", "Меню", 1);
    check("Меню Сезон: (весенне-летний)", "Меню", 2);
    check("Меню Сезон: (весенний)", "Меню", 3);
    check("Меню Сезон: (летний)", "Меню", 4);
    check("Меню Сезон: (осенний)", "Меню", 6);
    check("Меню Сезон: (зимне-весенний)", "Меню", 7);
    check("Меню Сезон: (летне-осенний)", "Меню", 8);
    // The season is read 8 characters after " Сезон:": without the blank its bracket is lost.
    check("Меню Сезон:(зимний)", "Меню", 8);
    check("Меню Сезон: зимний", "Меню", 8);
    check("Меню на 10 дней", "Меню на 10 дней", std::nullopt);
    check("Сезон: (зимний)", "Сезон: (зимний)", std::nullopt);
}

// A card stating a reference mass of 0 is stated for 100 g: its per-portion values and its
// vitamins' are the per-100 g ones, never 0.
TEST_F(Collection, AReferenceMassOfZeroMeansOneHundredGrams)
{
    ImportContext ctx(db(), prompt);
    pugi::xml_document one;
    ASSERT_TRUE(one.load_string(R"(<entities><name>Сборник</name>
<recipe><name>Кисель</name><number>3</number><type>Напитки</type>
  <author><namev>Сборник</namev><namesh>С</namesh></author>
  <nutrition><fat>1,5</fat><calories>60</calories><vih>0</vih>
    <vitamin><shname>C</shname><kol>0,8</kol><kolpr>10</kolpr></vitamin></nutrition>
  <ingredient><name>Крахмал</name><brutto>5</brutto><netto>5</netto></ingredient></recipe></entities>)"));
    EXPECT_EQ(loadRecipes(ctx, one.document_element()), 1);
    EXPECT_EQ(this->one(QStringLiteral("SELECT vih || ':' || fat_vih || ':' || calories_vih FROM card_recipes "
                                       "WHERE cname = 'Кисель'"))
                  .toString(),
              QStringLiteral("100:1.5:60.0"));
    EXPECT_EQ(joined("SELECT cv.kol_vih || ':' || cv.vih FROM CARD_VITAMIN cv JOIN card_recipes c "
                     "ON c.id = cv.id_card_recipes WHERE c.cname = 'Кисель'")
                  .toString(),
              QStringLiteral("0.8:100"));
}

TEST_F(Collection, APackageWithoutCardsSaysSo)
{
    ImportContext ctx(db(), prompt);
    pugi::xml_document empty;
    ASSERT_TRUE(empty.load_string("<entities><name>Пустой</name></entities>"));
    EXPECT_EQ(loadRecipes(ctx, empty.document_element()), 0);
    EXPECT_EQ(prompt.messages(),
              (QStringList{"warning: В файле нет данных о технологических картах. Заполнение технологических карт невозможно.",
                           "info: База данных будет создана без справочника технологических карт."}));
}

class Collections : public ::testing::Test {
protected:
    QString examples() const { return QDir(app().appDir).filePath(QStringLiteral("Примеры")); }
    void zip(const QString& name, const std::vector<test::ZipEntry>& entries)
    {
        ASSERT_TRUE(test::writeZip(QDir(examples()).filePath(name), entries));
    }

    test::TestEnv env;
    test::ScriptedPrompt prompt;
};

TEST_F(Collections, ArchivesWithACollectionAreListedTheMainOneFirst)
{
    zip(QStringLiteral("a.zip"), {{"Продукты.xml", test::xml("<entities/>")},
                                  {"Сборник.xml", test::xml("<entities><name>Сборник А</name></entities>")}});
    zip(QStringLiteral("b.zip"), {{"Продукты.xml", test::xml("<entities/>")}});
    zip(QStringLiteral("c.zip"), {{"папка/сборник_178.xml",
                                   test::xml("<entities><recipe><name>Чай</name><author><namev>178 блюд, мет. указания, Москва, "
                                             "2007 г.</namev></author></recipe></entities>")}});
    zip(QStringLiteral("d.zip"), {{"Сборник.xml", test::xml("<entities/>")}});
    const std::vector<RecipeCollection> list = listRecipeCollections(prompt);
    EXPECT_TRUE(prompt.messages().isEmpty()) << prompt.messages().join('\n').toStdString();
    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(QFileInfo(list[0].archive).fileName(), QStringLiteral("c.zip"));
    EXPECT_EQ(joinCollectionNames(list), QStringLiteral("178 блюд, мет. указания, Москва, 2007 г.***/Сборник А***/d"));
    EXPECT_EQ(ListRecipeCollections(prompt), joinCollectionNames(list));
}

TEST_F(Collections, AFolderWithoutCollectionsOrNoFolderIsTold)
{
    zip(QStringLiteral("b.zip"), {{"Продукты.xml", test::xml("<entities/>")}});
    EXPECT_TRUE(listRecipeCollections(prompt).empty());
    ASSERT_TRUE(QDir(examples()).removeRecursively());
    EXPECT_TRUE(listRecipeCollections(prompt).empty());
    EXPECT_EQ(prompt.messages(), (QStringList{"critical: В папке \"" + QDir::toNativeSeparators(examples()) +
                                                  "\" нет ни одного подходящего файла!",
                                              "critical: Не найдена папка Примеры."}));
}

class PlanMenuPackage : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(createAndFillDatabase(session, env.path(QStringLiteral("d.db"))));
        ASSERT_TRUE(test::writeZip(archive, {{"Сборник.xml", test::xml(QString::fromUtf8(kCollection))}}));
        StandardDataOptions cardsOnly;
        cardsOnly.withPlans = false;
        ImportStandardData(session.db(), prompt, archive, cardsOnly);
        ASSERT_EQ(test::rows(session.db(), QStringLiteral("plan_menu")), 0);
        ASSERT_EQ(test::rows(session.db(), QStringLiteral("card_recipes")), 4);
        prompt.clear();
    }

    test::TestEnv env;
    test::ScriptedPrompt prompt;
    DatabaseSession session{prompt};
    QString archive = env.path(QStringLiteral("Menu_deti_3-7.zip"));
};

TEST_F(PlanMenuPackage, TheModelMenuIsAddedToTheCardsOfTheFile)
{
    EXPECT_EQ(ImportPlanMenuPackage(session.db(), prompt, archive), 4);
    EXPECT_TRUE(prompt.events.isEmpty()) << prompt.events.join('\n').toStdString();
    EXPECT_EQ(test::rows(session.db(), QStringLiteral("plan_menu")), 4);
}

TEST_F(PlanMenuPackage, AFileOfAnotherStructureIsRefused)
{
    const QString noPlans = env.path(QStringLiteral("no-plans.zip"));
    ASSERT_TRUE(test::writeZip(noPlans, {{"Сборник.xml", test::xml("<entities><plans/></entities>")}}));
    const QString noCollection = env.path(QStringLiteral("products.zip"));
    ASSERT_TRUE(test::writeZip(noCollection, {{"Продукты.xml", test::xml("<entities/>")}}));
    const QString otherRoot = env.path(QStringLiteral("other.zip"));
    ASSERT_TRUE(test::writeZip(otherRoot, {{"Сборник.xml", test::xml("<menu><plans><planStr/></plans></menu>")}}));

    for (const QString& zip : {noPlans, noCollection, otherRoot})
        EXPECT_EQ(ImportPlanMenuPackage(session.db(), prompt, zip), -1);
    EXPECT_EQ(ImportPlanMenuPackage(session.db(), prompt, env.path(QStringLiteral("нет.zip"))), -1);
    const QString refused = QStringLiteral("warning: Структура выбранного файла не соответствует файлу идеального меню. "
                                           "Выберите, пожалуйста, файл Menu_deti_3-7.zip");
    const QString status = QStringLiteral("status: Импорт идеального меню не выполнен");
    EXPECT_EQ(prompt.events, (QStringList{refused, status, refused, status, refused, status,
                                          "warning: Файл не был найден.", status}));
    EXPECT_EQ(test::rows(session.db(), QStringLiteral("plan_menu")), 0);
}

} // namespace
