// The plan-menu analyses on small hand-checked plan-menus: compliance with the norms (nested
// dishes, rounding by the product rule, never-served groups, a norm of 0), the energy share of
// each meal with the plan-menu's share of the daily need, repeats across the cycle's ends, and
// the refusals of the entry dialog.

#include "DayMenuFixture.h"
#include "menu/PlanMenuAnalysis.h"
#include "exchange/StandardData.h"

#include <QDir>
#include <QFileInfo>

using namespace rat;
using namespace rat::menu;

namespace {

class PlanMenuAnalysisTest : public test::DayMenuFixture {
protected:
    void SetUp() override
    {
        DayMenuFixture::SetUp();
        db().execScript(QStringLiteral("DELETE FROM norms; DELETE FROM NORMS_POINT; DELETE FROM RASPS_CALL"));
        prompt.clear();
    }

    qint64 productRule(const QString& name, int rule)
    {
        const qint64 id = product(name);
        db().exec(QStringLiteral("UPDATE products SET rule_okr = ?1 WHERE id = ?2"), {rule, id});
        return id;
    }
    void nest(qint64 cardId, qint64 nestedCard, double netto)
    {
        db().exec(QStringLiteral("INSERT INTO recipes (id_card_recipes, id_product, brutto, netto, isCard, isComment, "
                                 "isVariant, id_MainCard) VALUES (?1, ?2, ?3, ?3, -1, 0, 0, 0)"),
                  {cardId, nestedCard, netto});
    }
    void norm(qint64 type, const QString& group, double value, qint64 productId)
    {
        db().exec(QStringLiteral("INSERT INTO norms (id_type_eating, gname, norm, id_product) VALUES (?1, ?2, ?3, ?4)"),
                  {type, group, value, productId});
    }
    // Rows as the headless tool prints them.
    static QStringList text(const AnalysisTable& t)
    {
        QStringList out;
        for (const AnalysisRow& r : t.rows) {
            QStringList cells;
            for (int c = 0; c < int(t.columns.size()); ++c)
                cells << analysisCellText(r, c);
            out << cells.join(QLatin1Char('|'));
        }
        return out;
    }
};

TEST_F(PlanMenuAnalysisTest, NormComplianceOfTheAverageDay)
{
    const qint64 menu = planMenu(QStringLiteral("Осень"), 2);
    const qint64 d1 = day(menu, QStringLiteral("День 1")), d2 = day(menu, QStringLiteral("День 2"));
    const qint64 nursery = eaterType(menu, QStringLiteral("Ясли"));
    eaterType(menu, QStringLiteral("Сад"));  // no norms: no block
    eaterType(menu, QStringLiteral("Гости"), false);
    const qint64 breakfast = meal(QStringLiteral("Завтрак"));
    const qint64 milk = productRule(QStringLiteral("Молоко"), 2);    // tenths
    const qint64 groats = productRule(QStringLiteral("Крупа"), 0);   // thousandths
    const qint64 butter = productRule(QStringLiteral("Масло"), 3);   // hundredths
    const qint64 kefir = product(QStringLiteral("Кефир")), potato = product(QStringLiteral("Картофель")),
                 carrot = product(QStringLiteral("Морковь"));

    const qint64 dressing = card(QStringLiteral("Заправка"), 0, false);
    line(dressing, butter, 40, 33.333);
    const qint64 porridge = card(QStringLiteral("Каша"), 0, false);
    line(porridge, milk, 55, 50.03);
    line(porridge, groats, 10, 10.0004);
    nest(porridge, dressing, 20);
    // Comment and variant lines count for nothing.
    db().exec(QStringLiteral("INSERT INTO recipes (id_card_recipes, id_product, netto, isCard, isComment, isVariant) "
                             "VALUES (?1, ?2, 500, 0, -1, 0), (?1, ?2, 500, 0, 0, -1)"),
              {porridge, milk});
    yield(porridge, nursery, 150);
    planRow(d1, porridge, breakfast);
    planRow(d2, porridge, breakfast);

    norm(nursery, QStringLiteral("Молочные"), 100, milk);
    norm(nursery, QStringLiteral("Молочные"), 100, kefir);
    norm(nursery, QStringLiteral("Крупы"), 20, groats);
    norm(nursery, QStringLiteral("Жиры"), 0, butter);
    norm(nursery, QStringLiteral("Овощи"), 50, potato);
    norm(nursery, QStringLiteral("Овощи"), 50, carrot);

    const AnalysisTable t = analyseNormCompliance(db(), prompt, menu);
    EXPECT_EQ(t.caption, QStringLiteral("Анализ плана-меню \"Осень\" на соответствие нормам питания"));
    EXPECT_EQ(t.columns, (QStringList{QStringLiteral("Продукт"), QStringLiteral("План, г"), QStringLiteral("Норма, г"),
                                      QStringLiteral("Отклонение, +/-"), QStringLiteral("План к норме, %")}));
    // Milk: 50.03 × 150 / 100 = 75.045 -> 75.0 a day (tenths), two days 150.0, average 75.
    // Groats: 15.0006 -> 15.001, two days 30.002 -> 30, average 15.
    // Butter in the 30 g of dressing: 33.333 / 100 -> 0.33, × 30 = 9.9, average 9.9.
    EXPECT_EQ(text(t), (QStringList{
                           QStringLiteral("**Ясли||||"),
                           QStringLiteral("**Жиры||0||"),
                           QStringLiteral("Масло|9.9|0|0|0"),
                           QStringLiteral("**Итог|9.9|0|0|0"),
                           QStringLiteral("**Крупы||20||"),
                           QStringLiteral("Крупа|15|20|-5|75"),
                           QStringLiteral("**Итог|15|20|-5|75"),
                           QStringLiteral("**Молочные||100||"),
                           QStringLiteral("Молоко|75|100|-25|75"),
                           QStringLiteral("**Итог|75|100|-25|75"),
                           QStringLiteral("**Овощи||50||"),
                           QStringLiteral("Картофель|0|50|-50|0"),
                           QStringLiteral("Морковь|0|50|-50|0"),
                           QStringLiteral("**Итог|0|50|-50|0"),
                       }));
    EXPECT_EQ(prompt.events.value(0), QStringLiteral("status: Анализ плана-меню выполнен."));
}

TEST_F(PlanMenuAnalysisTest, EnergyShareScaledByTheDailyNeed)
{
    const qint64 menu = planMenu(QStringLiteral("Зима"), 2);
    db().exec(QStringLiteral("UPDATE type_menu SET sumdolpotr = 70 WHERE id = ?1"), {menu});
    const qint64 d1 = day(menu, QStringLiteral("День 1")), d2 = day(menu, QStringLiteral("День 2"));
    const qint64 nursery = eaterType(menu, QStringLiteral("Ясли"));
    const qint64 breakfast = meal(QStringLiteral("Завтрак")), lunch = meal(QStringLiteral("Обед")),
                 dinner = meal(QStringLiteral("Ужин"));
    meal(QStringLiteral("Полдник"));  // no share row: not listed
    const qint64 porridge = card(QStringLiteral("Каша")), soup = card(QStringLiteral("Суп"));
    db().exec(QStringLiteral("UPDATE card_recipes SET calories = 100"));
    yield(porridge, nursery, 150);
    yield(soup, nursery, 450);
    planRow(d1, porridge, breakfast);
    planRow(d1, soup, lunch);
    planRow(d2, porridge, breakfast);
    db().exec(QStringLiteral("INSERT INTO RASPS_CALL (id_eating, status, proz1, proz2) VALUES (?1, 0, 25, 30), "
                             "(?2, -1, 35, 40), (?3, 0, 20, 0)"),
              {breakfast, lunch, dinner});

    const AnalysisTable t = analyseEnergyDistribution(db(), menu);
    EXPECT_EQ(t.caption, QStringLiteral("Анализ распределения калорийности плана-меню \"Зима\""));
    // Day 1: breakfast 150 of 600 kcal, a quarter: 25 % of the 70 % the menu covers.
    EXPECT_EQ(text(t), (QStringList{
                           QStringLiteral("**Ясли||"),
                           QStringLiteral("Завтрак|28|25"),  // 300 of 750
                           QStringLiteral("Обед|42|35 - 40"),
                           QStringLiteral("Ужин||20"),
                           QStringLiteral("**День 1||"),
                           QStringLiteral("**Ясли||"),
                           QStringLiteral("Завтрак|17.5|25"),
                           QStringLiteral("Обед|52.5|35 - 40"),
                           QStringLiteral("Ужин||20"),
                           QStringLiteral("**День 2||"),
                           QStringLiteral("**Ясли||"),
                           QStringLiteral("Завтрак|70|25"),
                           QStringLiteral("Обед||35 - 40"),
                           QStringLiteral("Ужин||20"),
                       }));
}

TEST_F(PlanMenuAnalysisTest, RepeatsWithinThreeDaysAcrossTheCycleEnds)
{
    const qint64 menu = planMenu(QStringLiteral("Лето"), 2);
    std::vector<qint64> d;
    for (int i = 1; i <= 6; ++i)
        d.push_back(day(menu, QStringLiteral("День %1").arg(i)));
    const qint64 breakfast = meal(QStringLiteral("Завтрак"));
    auto serve = [&](const QString& name, std::vector<int> days) {
        const qint64 c = card(name);
        db().exec(QStringLiteral("UPDATE card_recipes SET number1 = ?1, numRec = ?2 WHERE id = ?3"),
                  {QString::number(c), name == QStringLiteral("Ватрушка") ? QStringLiteral("12") : QString(), c});
        for (int k : days)
            planRow(d[size_t(k - 1)], c, breakfast);
        return c;
    };
    const qint64 a = serve(QStringLiteral("Ватрушка"), {1, 6});     // last and first day
    const qint64 b = serve(QStringLiteral("Борщ"), {1, 5});         // L1 and F1
    serve(QStringLiteral("Гуляш"), {2, 6});                         // L2 and F2
    serve(QStringLiteral("Компот"), {2, 5});                        // three days apart
    serve(QStringLiteral("Запеканка"), {3, 5});                     // two days apart
    serve(QStringLiteral("Омлет"), {4});

    const AnalysisTable t = analyseRepeats(db(), menu);
    EXPECT_EQ(t.caption, QStringLiteral("Анализ плана-меню \"Лето\" на повтор блюд в разрезе 3х дней"));
    EXPECT_EQ(t.columns.mid(0, 3), (QStringList{QStringLiteral("№ карты/№ рецептуры"), QStringLiteral("Блюдо"),
                                                QStringLiteral("День 1")}));
    EXPECT_EQ(text(t), (QStringList{
                           QString::number(b) + QStringLiteral("|Борщ|!+||||!+|"),
                           QString::number(a) + QStringLiteral("/12|Ватрушка|!+|||||!+"),
                           QStringLiteral("%1|Гуляш||!+||||!+").arg(a + 2),
                           QStringLiteral("%1|Запеканка|||!+||!+|").arg(a + 4),
                           QStringLiteral("%1|Компот||+|||+|").arg(a + 3),
                           QStringLiteral("%1|Омлет||||+||").arg(a + 5),
                       }));
}

TEST_F(PlanMenuAnalysisTest, EntryDialogRefusalsInOrder)
{
    EXPECT_FALSE(choosePlanMenuForAnalysis(db(), prompt, AnalysisKind::Norms));
    EXPECT_EQ(prompt.messages(), QStringList{QStringLiteral("critical: Не заполнен справочник \"Типы меню\". Анализ "
                                                            "меню невозможен.")});

    const qint64 byCategory = planMenu(QStringLiteral("Весна"), 1);
    const qint64 menu = planMenu(QStringLiteral("Осень"), 2);
    const qint64 d1 = day(menu, QStringLiteral("День 1"));
    const qint64 type = eaterType(menu, QStringLiteral("Ясли"));
    prompt.clear();
    prompt.choices = {1};
    EXPECT_FALSE(choosePlanMenuForAnalysis(db(), prompt, AnalysisKind::Norms));
    EXPECT_EQ(prompt.messages().value(1), QStringLiteral("critical: Невозможно выполнить анализ, так как выбранное "
                                                         "Вами план-меню не заполнено."));

    planRow(d1, card(QStringLiteral("Каша")), meal(QStringLiteral("Завтрак")));
    prompt.clear();
    prompt.choices = {1};
    EXPECT_FALSE(choosePlanMenuForAnalysis(db(), prompt, AnalysisKind::Norms));
    EXPECT_EQ(prompt.messages().value(1), QStringLiteral("critical: Невозможно выполнить анализ плана-меню, так как на "
                                                         "выбранный Вами тип меню не введены нормы питания."));
    norm(type, QStringLiteral("Крупы"), 20, lineProduct);
    prompt.clear();
    prompt.choices = {1};
    EXPECT_EQ(choosePlanMenuForAnalysis(db(), prompt, AnalysisKind::Norms), menu);

    // The energy distribution offers only the plan-menus kept by meals; the choice is remembered.
    const std::optional<AnalysisChoice> c = planMenusForAnalysis(db(), prompt, AnalysisKind::Energy);
    ASSERT_TRUE(c);
    EXPECT_EQ(c->ids, std::vector<qint64>{menu});
    EXPECT_EQ(c->remembered, 0);
    EXPECT_EQ(planMenusForAnalysis(db(), prompt, AnalysisKind::Norms)->ids, (std::vector<qint64>{byCategory, menu}));
    prompt.clear();
    prompt.choices = {0};
    EXPECT_FALSE(choosePlanMenuForAnalysis(db(), prompt, AnalysisKind::Energy));
    EXPECT_EQ(prompt.messages().value(1),
              QStringLiteral("critical: Невозможно выполнить анализ распределения калорийности плана-меню, так как "
                             "справочник распределения калорийности не заполнен."));
}

} // namespace

namespace {

// The shipped 10-day plan-menu against the shipped norms, three groups of the 1-3 years block
// worked out by hand from the cards, their yields and the days they are served on.
TEST(PlanMenuAnalysisData, ShippedPlanMenuAgainstShippedNorms)
{
    menu::registerMenuModule();
    test::TestEnv env;
    test::ScriptedPrompt prompt;
    DatabaseSession session{prompt};
    ASSERT_TRUE(session.createDatabase(env.path(QStringLiteral("std.db"))));
    Database& db = session.db();
    const QString archive = QFileInfo(QString::fromUtf8(RAT_CLI_PATH))
                                .dir()
                                .filePath(QStringLiteral("Примеры/Сборник_ясли_сад.zip"));
    exchange::StandardDataOptions options;
    options.regulation = exchange::defaultRegulation();
    options.stayTime = QStringLiteral("12");
    ASSERT_TRUE(exchange::ImportStandardData(db, prompt, archive, options).collectionLoaded);
    const qint64 menu = db.scalar(QStringLiteral("SELECT MIN(id) FROM type_menu")).toLongLong();
    ASSERT_EQ(db.scalar(QStringLiteral("SELECT COUNT(*) FROM days WHERE id_type_menu = ?1"), {menu}).toLongLong(), 10);

    const AnalysisTable t = analyseNormCompliance(db, prompt, menu);
    QStringList rows;
    for (const AnalysisRow& r : t.rows) {
        QStringList cells;
        for (int c = 0; c < 5; ++c)
            cells << analysisCellText(r, c);
        rows << cells.join(QLatin1Char('|'));
    }
    const int block = int(rows.indexOf(QStringLiteral("**1-3||||")));
    const int next = int(rows.indexOf(QStringLiteral("**3-7||||")));
    ASSERT_GE(block, 0);
    ASSERT_GT(next, block);
    const QStringList young = rows.mid(block, next - block);
    auto group = [&young](const QString& head, int lines) {
        const int at = int(young.indexOf(head));
        return at < 0 ? QStringList() : young.mid(at, lines);
    };
    // Potatoes (hundredths): soups at 150 g and sides at 110 g or 40 g on all ten days make
    // 751.4 g, and the potato casserole of day 6 nests 105 g of mash, 1.07 × 105 = 112.35 g:
    // 863.75 g in ten days.
    EXPECT_EQ(group(QStringLiteral("**Картофель||120||"), 3),
              (QStringList{QStringLiteral("**Картофель||120||"), QStringLiteral("Картофель|86.38|120|-33.62|71.98"),
                           QStringLiteral("**Итог|86.38|120|-33.62|71.98")}));
    // Cocoa: 2 g per 100 g of the 150 g cocoa drink on six days, 18 g.
    EXPECT_EQ(group(QStringLiteral("**Какао-порошок||0.5||"), 3),
              (QStringList{QStringLiteral("**Какао-порошок||0.5||"), QStringLiteral("Какао-порошок|1.8|0.5|1.3|360"),
                           QStringLiteral("**Итог|1.8|0.5|1.3|360")}));
    // Cheese: the 40 g sandwich on four days (8 g each) and the baked fish of day 3 (1.8 g);
    // the two cheeses never served stay out.
    EXPECT_EQ(group(QStringLiteral("**Сыр||4||"), 3),
              (QStringList{QStringLiteral("**Сыр||4||"), QStringLiteral("Сыр твердый Российский 50%|3.38|4|-0.62|84.5"),
                           QStringLiteral("**Итог|3.38|4|-0.62|84.5")}));
}

} // namespace
