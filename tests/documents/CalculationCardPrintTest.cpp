// The printed calculation card: per eater type the norms in kilograms, the price of a kilogram of
// the latest delivery not later than the date, the sums as formulas with their values, the cost
// of a portion and of 100 portions; the date asked in the card windows; the headless form.

#include "PrintFixture.h"
#include "menu/DayMenuFixture.h"
#include "support/ToolFileTest.h"

#include "documents/CalculationCardPrint.h"
#include "documents/XlsxReader.h"

using namespace rat;
using namespace rat::documents;

namespace {

class CalcCardPrint : public test::DayMenuFixture {
protected:
    void SetUp() override
    {
        DayMenuFixture::SetUp();
        ASSERT_TRUE(test::installTemplate(QStringLiteral("Калькуляционная карточка")));
        db().exec(QStringLiteral("UPDATE INF SET Naim = 'Детский сад №7', FamDir = 'Иванова', ImDir = 'Мария', "
                                 "OtchDir = 'Петровна', famP = 'Козлова', ImP = 'Анна', OtchP = 'Юрьевна', "
                                 "famB = 'Орлова', ImB = 'Вера', OtchB = 'Ильинична'"));
        const qint64 plan = planMenu(QStringLiteral("Зима"), 2);
        small = eaterType(plan, QStringLiteral("Ясли"));
        big = eaterType(plan, QStringLiteral("Сад"));
        porridge = card(QStringLiteral("Каша гречневая"));  // Крупа 60 g gross, 50 g net per 100 g
        milk = product(QStringLiteral("Молоко"));
        line(porridge, milk, 30, 30);
        db().exec(QStringLiteral("UPDATE card_recipes SET number1 = '12', numRec = '185', cost = 10 WHERE id = ?1"),
                  {porridge});
        yield(porridge, small, 150, 10);
        yield(porridge, big, 200);
        // Крупа: 90 a kilogram on 1 November, 200 after the date; Молоко: 60 and 80 on 20 November.
        lot(lineProduct, QStringLiteral("2026-11-01"), 90);
        lot(lineProduct, QStringLiteral("2026-12-10"), 200);
        const qint64 r = lot(milk, QStringLiteral("2026-11-20"), 60);
        db().exec(QStringLiteral("INSERT INTO storage (id_product, quantity, id_receipt, cost, id_ed_izmer, status) "
                                 "VALUES (?1, 1, ?2, 80, 901, 0)"),
                  {milk, r});
    }
    qint64 lot(qint64 productId, const QString& date, double cost)
    {
        const qint64 r = insert(QStringLiteral("INSERT INTO receipt (rdate, status) VALUES (?1, -1)"), {date});
        db().exec(QStringLiteral("INSERT INTO storage (id_product, quantity, id_receipt, cost, id_ed_izmer, status) "
                                 "VALUES (?1, 1, ?2, ?3, 901, 0)"),
                  {productId, r, cost});
        return r;
    }
    qint64 small = 0, big = 0, porridge = 0, milk = 0;
};

} // namespace

TEST_F(CalcCardPrint, SumsAndCostsPerEaterType)
{
    const QString path = PrintCalculationCard(db(), prompt, porridge, QDate(2026, 12, 5));
    ASSERT_TRUE(path.endsWith(QStringLiteral("Документы/Калькуляционная карточка Каша гречневая.xlsx"))) << path.toStdString();
    EXPECT_EQ(prompt.events, (QStringList{"status: Идет создание печатной формы документа...",
                                          "status: Идет создание печатной формы документа...10%",
                                          "status: Идет создание печатной формы документа...80%",
                                          "status: Идет создание печатной формы документа...100%",
                                          "info: Печатная форма документа выполнена и сохранена в файле \"" +
                                              QDir::toNativeSeparators(path) + "\"."}));
    XlsxReader r;
    ASSERT_TRUE(r.open(path));
    EXPECT_EQ(r.text(1, 1), "Детский сад №7");
    EXPECT_EQ(r.text(2, 4), "Заведующий ________ Иванова М.П.");
    EXPECT_EQ(r.text(4, 1), "Калькуляционная карточка № 12");
    EXPECT_EQ(r.text(5, 1), "Наименование блюда: Каша гречневая");
    EXPECT_EQ(r.text(6, 1), "Номер рецептуры: 185");
    EXPECT_EQ(r.text(7, 1), "Цены последней поставки на 05.12.2026");

    // Ясли at 150 g: Крупа 90 g at 90 a kg = 8.10, Молоко 45 g at 80 a kg = 3.60; portion 11.70.
    EXPECT_EQ(r.text(9, 1), "Ясли, выход 150/10 г");
    EXPECT_EQ(r.rowTexts(11), (QStringList{"1", "Крупа", "кг", "0.09", "90", "8.1"}));
    EXPECT_EQ(r.formula(11, 6), "ROUND(D11*E11,2)");
    EXPECT_EQ(r.rowTexts(12), (QStringList{"2", "Молоко", "кг", "0.045", "80", "3.6"}));
    EXPECT_EQ(r.formula(13, 6), "SUM(F11,F12)");
    EXPECT_DOUBLE_EQ(*r.number(13, 6), 11.7);
    EXPECT_EQ(r.formula(14, 6), "F13*100");
    EXPECT_DOUBLE_EQ(*r.number(14, 6), 1170.0);
    EXPECT_DOUBLE_EQ(*r.number(15, 6), 15.0);  // planned: 10 per 100 g × 150 g

    // Сад at 200 g: Крупа 120 g = 10.80, Молоко 60 g = 4.80; portion 15.60.
    EXPECT_EQ(r.text(17, 1), "Сад, выход 200 г");
    EXPECT_EQ(r.rowTexts(19), (QStringList{"1", "Крупа", "кг", "0.12", "90", "10.8"}));
    EXPECT_EQ(r.formula(20, 6), "ROUND(D20*E20,2)");
    EXPECT_DOUBLE_EQ(*r.number(20, 6), 4.8);
    EXPECT_EQ(r.formula(21, 6), "SUM(F19,F20)");
    EXPECT_DOUBLE_EQ(*r.number(21, 6), 15.6);
    EXPECT_EQ(r.formula(22, 6), "F21*100");
    EXPECT_DOUBLE_EQ(*r.number(22, 6), 1560.0);
    EXPECT_DOUBLE_EQ(*r.number(23, 6), 20.0);

    EXPECT_EQ(r.text(26, 5), "Козлова А.Ю.");
    EXPECT_EQ(r.text(28, 5), "Орлова В.И.");
    EXPECT_TRUE(r.merges.contains("A17:F17"));
    EXPECT_FALSE(r.find(QStringLiteral("{")));
}

TEST_F(CalcCardPrint, EarlierDateTakesNoLotAndVariantStaysOutOfTheSum)
{
    // Before any delivery nothing has a price: the sums are 0.
    const QString early = PrintCalculationCard(db(), prompt, porridge, QDate(2026, 10, 1));
    XlsxReader r;
    ASSERT_TRUE(r.open(early));
    EXPECT_EQ(r.rowTexts(11), (QStringList{"1", "Крупа", "кг", "0.09", "0", "0"}));
    EXPECT_DOUBLE_EQ(*r.number(13, 6), 0.0);

    // A variant of Молоко shows its own sum but the portion adds the main lines only.
    const qint64 cream = product(QStringLiteral("Сливки"));
    lot(cream, QStringLiteral("2026-11-01"), 300);
    const qint64 milkLine = db().scalar(QStringLiteral("SELECT id FROM recipes WHERE id_product = ?1"), {milk}).toLongLong();
    db().exec(QStringLiteral("INSERT INTO recipes (id_card_recipes, id_product, brutto, netto, isVariant, id_MainCard) "
                             "VALUES (?1, ?2, 10, 10, -1, ?3)"),
              {porridge, cream, milkLine});
    db().exec(QStringLiteral("DELETE FROM output WHERE id_type_eating = ?1"), {big});
    prompt.clear();
    ASSERT_TRUE(r.open(PrintCalculationCard(db(), prompt, porridge, QDate(2026, 12, 5))));
    EXPECT_EQ(r.rowTexts(13), (QStringList{"3", "   или Сливки", "кг", "0.015", "300", "4.5"}));
    EXPECT_TRUE(r.formula(13, 6).isEmpty());
    EXPECT_EQ(r.formula(14, 6), "SUM(F11,F12)");
    EXPECT_DOUBLE_EQ(*r.number(14, 6), 11.7);
    EXPECT_FALSE(r.find(QStringLiteral("Сад, выход")));
}

TEST_F(CalcCardPrint, DateAskedBeforePrinting)
{
    prompt.inputs = {std::nullopt, QStringLiteral("31.02.2026"), QStringLiteral("01.12.2026")};
    EXPECT_TRUE(AskAndPrintCalculationCard(db(), prompt, porridge).isEmpty());
    EXPECT_TRUE(AskAndPrintCalculationCard(db(), prompt, porridge).isEmpty());
    const QString path = AskAndPrintCalculationCard(db(), prompt, porridge);
    ASSERT_FALSE(path.isEmpty());
    const QStringList m = prompt.messages();
    ASSERT_EQ(m.size(), 5) << m.join(u'\n').toStdString();
    EXPECT_EQ(m[0], "input: Дата => ");
    EXPECT_EQ(m[1], "input: Дата => 31.02.2026");
    EXPECT_EQ(m[2], "warning: Неверная дата.");
    EXPECT_EQ(m[3], "input: Дата => 01.12.2026");
    XlsxReader r;
    ASSERT_TRUE(r.open(path));
    EXPECT_EQ(r.text(7, 1), "Цены последней поставки на 01.12.2026");
}

namespace {

class CalcCardCli : public test::ToolFileTest {
protected:
    CalcCardCli() : ToolFileTest(QStringLiteral("calc.db")) {}
};

} // namespace

TEST_F(CalcCardCli, PrintEndsWithThePath)
{
    createFile(QStringLiteral(
        "DELETE FROM products; DELETE FROM storage; DELETE FROM receipt; DELETE FROM card_recipes; DELETE FROM recipes;"
        "DELETE FROM output; DELETE FROM type_eating;"
        "INSERT INTO ed_izmer (id, ename, koef) VALUES (901, 'кг', 1000);"
        "INSERT INTO products (id, pname, id_ed_izmer) VALUES (1, 'Мука', 901);"
        "INSERT INTO card_recipes (id, cname) VALUES (3, 'Блины');"
        "INSERT INTO recipes (id_card_recipes, id_product, brutto, netto) VALUES (3, 1, 40, 40);"
        "INSERT INTO type_eating (id, ename, shname, status) VALUES (2, 'Сад', 'Сад', -1);"
        "INSERT INTO output (id_card_recipe, id_type_eating, output1) VALUES (3, 2, 150);"
        "INSERT INTO receipt (id, rdate, status) VALUES (5, '2026-12-01', -1);"
        "INSERT INTO storage (id_product, quantity, cost, id_ed_izmer, status, id_receipt) VALUES (1, 1, 50, 901, 0, 5);"));
    test::ToolRun r = run({"print", "calculation-card", "3", "2026-12-05"});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString() << r.lines.join('\n').toStdString();
    const QString path = r.lines.last();
    EXPECT_TRUE(path.endsWith(QStringLiteral("Документы/Калькуляционная карточка Блины.xlsx"))) << path.toStdString();
    EXPECT_EQ(r.lines[r.lines.size() - 2], "info: Печатная форма документа выполнена и сохранена в файле \"" + path + "\".");
    documents::XlsxReader x;
    ASSERT_TRUE(x.open(path));
    // 60 g of Мука at 50 a kilogram: 3.00 a portion.
    EXPECT_EQ(x.rowTexts(11), (QStringList{"1", "Мука", "кг", "0.06", "50", "3"}));
    EXPECT_DOUBLE_EQ(*x.number(12, 6), 3.0);
    EXPECT_DOUBLE_EQ(*x.number(13, 6), 300.0);

    EXPECT_EQ(run({"print", "calculation-card", "3", "05.12.2026"}).exitCode, 2);
    EXPECT_EQ(run({"print", "calculation-card", "3"}).exitCode, 2);
    EXPECT_EQ(run({"print", "calculation-card", "99", "2026-12-05"}).exitCode, 1);
}
