// The stock reports: hand-computed figures of the turnover sheet and of the accumulative ledgers
// on a small stock crossing the period's edges, their agreement with the remnants, the forms read
// back from the saved workbooks, an empty period, refusals of a wrong period.

#include "PrintFixture.h"
#include "stock/StockFixture.h"

#include "core/Clock.h"
#include "documents/CellNames.h"
#include "documents/StockReports.h"
#include "documents/XlsxReader.h"
#include "stock/StockLots.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

using namespace rat;
using namespace rat::documents;

namespace {

QDate on(const char* iso) { return QDate::fromString(QString::fromLatin1(iso), Qt::ISODate); }

class StockReportTest : public test::StockFixture {
protected:
    void SetUp() override
    {
        StockFixture::SetUp();
        db().exec(QStringLiteral("UPDATE INF SET Naim = 'Детский сад №7', famK = 'Сидорова', ImK = 'Анна', OtchK = '', "
                                 "famB = 'Орлова', ImB = 'Нина', OtchB = 'Юрьевна'"));
        for (const QString& name : {turnoverTitle(), ledgerTitle(LedgerKind::Expense), ledgerTitle(LedgerKind::Receipt),
                                    remnantsTitle()})
            ASSERT_TRUE(test::installTemplate(name)) << name.toStdString();
        milk = stockProduct(QStringLiteral("Молоко"));
        apples = stockProduct(QStringLiteral("Яблоки"));
        sugar = stockProduct(QStringLiteral("Сахар"), gram);  // kept in grams, received in kilograms
        const qint64 milkLot = directLot(milk, 10, QStringLiteral("2026-11-20"), QStringLiteral("2027-01-01"), 80);
        const qint64 apple1 = lot(receipt(QStringLiteral("2026-11-25")), apples, 5, QStringLiteral("2026-12-20"), 120);
        const qint64 december = receipt(QStringLiteral("2026-12-03"), true, QStringLiteral("П-2"));
        const qint64 apple2 = lot(december, apples, 4, QStringLiteral("2026-12-25"), 130);
        const qint64 sugarLot = lot(december, sugar, 2, QStringLiteral("2027-06-01"), 90, kg, 2);
        lot(receipt(QStringLiteral("2026-12-04"), false), apples, 100, QStringLiteral("2026-12-25"));  // not approved
        lot(receipt(QStringLiteral("2026-12-11")), milk, 3, QStringLiteral("2026-12-30"), 85);         // after the period

        expenseLine(expenseDoc(QStringLiteral("2026-11-28")), milkLot, 2);  // before the period
        const qint64 issued = expenseDoc(QStringLiteral("2026-12-05"));    // the day's menu-requirement
        expenseLine(issued, milkLot, 1.5, 1);
        expenseLine(issued, apple1, 3, 1);
        expenseLine(issued, sugarLot, 0.25, 1);
        const qint64 next = expenseDoc(QStringLiteral("2026-12-06"));
        expenseLine(next, apple1, 1);
        expenseLine(next, apple2, 0.5);
        expenseLine(expenseDoc(QStringLiteral("2026-12-06"), false), milkLot, 5);  // not approved
        writeOff(QStringLiteral("2026-12-07"), milkLot, 0.5);
        expenseLine(expenseDoc(QStringLiteral("2026-12-12")), apple2, 1);  // after the period
    }

    static QString row(const TurnoverRow& r)
    {
        QStringList f{r.name, r.unit};
        for (double v : {r.openingQuantity, r.openingSum, r.receivedQuantity, r.receivedSum, r.issuedQuantity,
                         r.issuedSum, r.closingQuantity, r.closingSum})
            f << plainNumber(v);
        return f.join(QLatin1Char('|'));
    }
    static QString row(const LedgerRow& r)
    {
        QStringList days;
        for (double q : r.days)
            days << (q != 0 ? plainNumber(q) : QStringLiteral("-"));
        return QStringList{r.name, r.unit, days.join(QLatin1Char(' ')), plainNumber(r.total), plainNumber(r.price),
                           plainNumber(r.sum)}
            .join(QLatin1Char('|'));
    }
    template <class Rows>
    static QStringList rows(const Rows& in)
    {
        QStringList out;
        for (const auto& r : in)
            out << row(r);
        return out;
    }

    // RAT_REPORT_KEEP=<folder> keeps a copy of the form for a look in a spreadsheet program.
    static void keep(const QString& path)
    {
        if (const QByteArray to = qgetenv("RAT_REPORT_KEEP"); !to.isEmpty())
            QFile::copy(path, QDir(QString::fromLocal8Bit(to)).filePath(QFileInfo(path).fileName()));
    }

    qint64 milk = 0, apples = 0, sugar = 0;
};

} // namespace

TEST_F(StockReportTest, TurnoverFiguresByHand)
{
    // name|unit|opening q|sum|received q|sum|expense and write-off q|sum|closing q|sum
    struct Case {
        const char* from;
        const char* to;
        std::optional<qint64> warehouse;
        QStringList expected;
    } cases[] = {
        {"2026-12-01", "2026-12-10", std::nullopt,
         {"Молоко|кг|8|640|0|0|2|160|6|480", "Сахар|г|0|0|2000|180|250|22.5|1750|157.5",
          "Яблоки|кг|5|600|4|520|4.5|545|4.5|575"}},
        {"2026-12-01", "2026-12-10", 1, {"Молоко|кг|8|640|0|0|2|160|6|480", "Яблоки|кг|5|600|4|520|4.5|545|4.5|575"}},
        {"2026-12-11", "2026-12-31", std::nullopt,
         {"Молоко|кг|6|480|3|255|0|0|9|735", "Сахар|г|1750|157.5|0|0|0|0|1750|157.5",
          "Яблоки|кг|4.5|575|0|0|1|130|3.5|445"}},
        {"2026-01-01", "2026-01-31", std::nullopt, {}},  // before any stock: no rows
    };
    for (const Case& c : cases)
        EXPECT_EQ(rows(turnoverRows(db(), on(c.from), on(c.to), c.warehouse)), c.expected) << c.from << " " << c.to;
}

TEST_F(StockReportTest, BalancesAgreeWithTheRemnantsAndFollowOnePeriodToTheNext)
{
    const QDate start = on("2026-11-15");
    for (const char* end : {"2026-11-27", "2026-12-03", "2026-12-05", "2026-12-06", "2026-12-09", "2026-12-31"}) {
        const std::vector<TurnoverRow> period = turnoverRows(db(), start, on(end));
        const std::vector<TurnoverRow> after = turnoverRows(db(), on(end).addDays(1), on("2027-01-31"));
        std::map<qint64, double> closing, opening, remnant;
        for (const TurnoverRow& r : period)
            closing[r.productId] = r.closingQuantity;
        for (const TurnoverRow& r : after)
            opening[r.productId] = r.openingQuantity;
        for (const stock::ProductRemnant& p : stock::productRemnants(db(), on(end)))
            remnant[p.productId] = p.quantity;
        for (const auto& [id, q] : remnant) {
            EXPECT_NEAR(closing[id], q, 0.0005) << end << " product " << id;
            EXPECT_NEAR(opening[id], q, 0.0005) << end << " product " << id;
        }
        for (const TurnoverRow& r : period)
            EXPECT_NEAR(r.openingSum + r.receivedSum - r.issuedSum, r.closingSum, 0.005) << end;
    }
}

TEST_F(StockReportTest, LedgerFiguresByHand)
{
    // name|unit|days 01.12..10.12|total|price|sum; one line per product and price.
    EXPECT_EQ(rows(ledgerRows(db(), LedgerKind::Expense, on("2026-12-01"), on("2026-12-10"))),
              (QStringList{"Молоко|кг|- - - - 1.5 - - - - -|1.5|80|120",
                           "Сахар|г|- - - - 250 - - - - -|250|0.09|22.5",
                           "Яблоки|кг|- - - - 3 1 - - - -|4|120|480",
                           "Яблоки|кг|- - - - - 0.5 - - - -|0.5|130|65"}));
    EXPECT_EQ(rows(ledgerRows(db(), LedgerKind::Receipt, on("2026-12-01"), on("2026-12-05"))),
              (QStringList{"Сахар|г|- - 2000 - -|2000|0.09|180", "Яблоки|кг|- - 4 - -|4|130|520"}));
    EXPECT_TRUE(ledgerRows(db(), LedgerKind::Expense, on("2027-06-01"), on("2027-06-30")).empty());
}

TEST_F(StockReportTest, TurnoverSheetReadBack)
{
    test::RecordingOpener opener;
    const QString path = PrintTurnoverSheet(db(), prompt, on("2026-12-01"), on("2026-12-10"));
    ASSERT_FALSE(path.isEmpty());
    EXPECT_TRUE(path.endsWith(QStringLiteral("Документы/Оборотно-сальдовая ведомость с 01.12.2026 по 10.12.2026.xlsx")));
    EXPECT_EQ(prompt.messages(), QStringList{"info: Печатная форма документа выполнена и сохранена в файле \"" +
                                             nativePath(path) + "\"."});
    EXPECT_TRUE(prompt.events.contains("status: Идет создание печатной формы документа...100%"));
    EXPECT_EQ(opener.opened, QStringList{path});
    keep(path);
    XlsxReader r;
    ASSERT_TRUE(r.open(path));
    EXPECT_EQ(r.text(1, 1), "Детский сад №7");
    EXPECT_EQ(r.text(4, 1), "за период с 01.12.2026 по 10.12.2026");
    EXPECT_EQ(r.text(5, 1), "Склад: Все склады");
    EXPECT_EQ(r.text(7, 4), "Остаток на 01.12.2026");
    EXPECT_EQ(r.text(7, 10), "Остаток на 10.12.2026");
    EXPECT_EQ(r.rowTexts(9), (QStringList{"1", "Молоко", "кг", "8", "640", "", "", "2", "160", "6", "480"}));  // zeros left empty
    EXPECT_EQ(r.rowTexts(11), (QStringList{"3", "Яблоки", "кг", "5", "600", "4", "520", "4.5", "545", "4.5", "575"}));
    EXPECT_EQ(r.text(12, 1), "Итого");
    const std::pair<int, double> totals[] = {{5, 1240}, {7, 700}, {9, 727.5}, {11, 1212.5}};
    for (const auto& [col, value] : totals) {
        EXPECT_DOUBLE_EQ(*r.number(12, col), value) << col;
        EXPECT_EQ(r.formula(12, col), QStringLiteral("SUM(%1:%2)").arg(cellName(9, col), cellName(11, col)));
    }
    EXPECT_EQ(r.text(14, 6), "Сидорова А.");
    EXPECT_EQ(r.text(17, 6), "Орлова Н.Ю.");
    EXPECT_EQ(r.printTitles, "'Лист1'!$7:$8");
    EXPECT_FALSE(r.find(QStringLiteral("{")));

    // One warehouse named in the header; a period before any stock: no rows and zero totals.
    prompt.clear();
    XlsxReader w;
    ASSERT_TRUE(w.open(PrintTurnoverSheet(db(), prompt, on("2026-01-01"), on("2026-01-31"), 2)));
    EXPECT_EQ(w.text(5, 1), "Склад: Овощной");
    EXPECT_EQ(w.text(9, 1), "Итого");
    EXPECT_DOUBLE_EQ(*w.number(9, 5), 0);
    EXPECT_DOUBLE_EQ(*w.number(9, 11), 0);
}

TEST_F(StockReportTest, LedgerReadBackWithADayColumnPerDay)
{
    const QString path = PrintLedger(db(), prompt, LedgerKind::Expense, on("2026-12-01"), on("2026-12-10"));
    EXPECT_TRUE(path.endsWith(QStringLiteral("Документы/Накопительная ведомость расхода продуктов с 01.12.2026 по 10.12.2026.xlsx")));
    keep(path);
    XlsxReader r;
    ASSERT_TRUE(r.open(path));
    EXPECT_EQ(r.text(3, 1), "Накопительная ведомость расхода продуктов");
    // Header: №, name, unit, 01.12 … 10.12 (columns D..M), total, price, sum (N, O, P).
    QStringList head{"№", "Наименование продукта", "Ед. изм."};
    for (int d = 1; d <= 10; ++d)
        head << QStringLiteral("%1.12").arg(d, 2, 10, QLatin1Char('0'));
    head << "Всего количество" << "Цена" << "Сумма";
    EXPECT_EQ(r.rowTexts(6), head);
    EXPECT_EQ(r.text(9, 2), "Яблоки");
    EXPECT_DOUBLE_EQ(*r.number(9, 8), 3);   // 05.12
    EXPECT_DOUBLE_EQ(*r.number(9, 9), 1);   // 06.12
    EXPECT_EQ(r.text(9, 10), QString());
    EXPECT_EQ(r.formula(9, 14), "SUM(D9:M9)");
    EXPECT_DOUBLE_EQ(*r.number(9, 14), 4);
    EXPECT_DOUBLE_EQ(*r.number(8, 15), 0.09);
    EXPECT_EQ(r.cell(8, 15)->numberFormat, "0.00##");
    EXPECT_EQ(r.formula(10, 16), "ROUND(N10*O10,2)");
    EXPECT_DOUBLE_EQ(*r.number(10, 16), 65);
    EXPECT_EQ(r.text(11, 1), "Итого");
    EXPECT_EQ(r.formula(11, 16), "SUM(P7:P10)");
    EXPECT_DOUBLE_EQ(*r.number(11, 16), 687.5);
    EXPECT_TRUE(r.merges.contains("A11:O11")) << r.merges.join(' ').toStdString();
    EXPECT_EQ(r.text(13, 2), "Кладовщик  ______________  Сидорова А.");
    EXPECT_FALSE(r.find(QStringLiteral("{")));

    // The receipts, and an empty period: a form with no rows and a zero total.
    XlsxReader in;
    ASSERT_TRUE(in.open(PrintLedger(db(), prompt, LedgerKind::Receipt, on("2026-12-01"), on("2026-12-31"))));
    EXPECT_EQ(in.text(7, 2), "Молоко");
    EXPECT_DOUBLE_EQ(*in.number(10, 37), 955);  // 180 + 520 + 255
    XlsxReader none;
    ASSERT_TRUE(none.open(PrintLedger(db(), prompt, LedgerKind::Expense, on("2027-06-01"), on("2027-06-30"))));
    EXPECT_EQ(none.text(7, 1), "Итого");
    EXPECT_DOUBLE_EQ(*none.number(7, 36), 0);
}

TEST_F(StockReportTest, RemnantsOnADate)
{
    XlsxReader r;
    const QString path = PrintRemnantsOnDate(db(), prompt, on("2026-12-10"), 1);
    EXPECT_TRUE(path.endsWith(QStringLiteral("Документы/Остатки продуктов на 10.12.2026.xlsx")));
    keep(path);
    ASSERT_TRUE(r.open(path));
    EXPECT_EQ(r.text(3, 1), "Остатки продуктов на 10.12.2026");
    EXPECT_EQ(r.text(5, 1), "Склад: Основной");
    EXPECT_EQ(r.rowTexts(8), (QStringList{"1", "Молоко", "кг", "6", "80", "480"}));
    EXPECT_EQ(r.rowTexts(9), (QStringList{"2", "Яблоки", "кг", "4.5", "127.78", "575"}));
    EXPECT_DOUBLE_EQ(*r.number(10, 6), 1055);
}

TEST_F(StockReportTest, WrongPeriodRefusedWithoutAFile)
{
    struct Case {
        const char* from;
        const char* to;
        LedgerKind kind;
        QString message;
    } cases[] = {
        {"2026-12-10", "2026-12-01", LedgerKind::Expense, "warning: Дата начала периода не может быть позже даты его окончания."},
        {"2026-12-01", "2027-01-01", LedgerKind::Receipt, "warning: Период ведомости не может быть длиннее 31 дня."},
    };
    for (const Case& c : cases) {
        prompt.clear();
        EXPECT_EQ(PrintLedger(db(), prompt, c.kind, on(c.from), on(c.to)), QString());
        EXPECT_EQ(prompt.messages(), QStringList{c.message});
    }
    prompt.clear();
    EXPECT_EQ(PrintTurnoverSheet(db(), prompt, on("2026-12-10"), on("2026-12-01")), QString());
    EXPECT_TRUE(QDir(QDir(app().appDir).filePath(QStringLiteral("Документы"))).entryList(QDir::Files).isEmpty());
}

TEST_F(StockReportTest, PlainLayoutsWithoutTemplates)
{
    for (const QString& name : {turnoverTitle(), ledgerTitle(LedgerKind::Expense)})
        ASSERT_TRUE(QFile::remove(QDir(app().appDir).filePath(QStringLiteral("Шаблоны/") + name + QStringLiteral(".xltx"))));
    prompt.answers = {Answer::No};
    EXPECT_EQ(PrintTurnoverSheet(db(), prompt, on("2026-12-01"), on("2026-12-10")), QString());
    EXPECT_EQ(prompt.messages(), QStringList{
        "question: Шаблон документа не найден! Он должен находиться в файле \"Оборотно-сальдовая ведомость.xltx\" в папке "
        "\"Шаблоны\". Выполнить печать без шаблона? => Нет"});

    prompt.clear();
    prompt.answers = {Answer::Yes, Answer::Yes};
    const QString turnover = PrintTurnoverSheet(db(), prompt, on("2026-12-01"), on("2026-12-10"));
    const QString ledger = PrintLedger(db(), prompt, LedgerKind::Expense, on("2026-12-01"), on("2026-12-10"));
    keep(turnover);
    keep(ledger);
    XlsxReader t;
    ASSERT_TRUE(t.open(turnover));
    const auto milkRow = t.find(QStringLiteral("Молоко"));
    ASSERT_TRUE(milkRow);
    EXPECT_EQ(t.rowTexts(milkRow->first), (QStringList{"1", "Молоко", "кг", "8", "640", "", "", "2", "160", "6", "480"}));
    EXPECT_EQ(t.text(milkRow->first - 1, 4), "Остаток на 01.12.2026, количество");
    EXPECT_DOUBLE_EQ(*t.number(milkRow->first + 3, 11), 1212.5);
    XlsxReader l;
    ASSERT_TRUE(l.open(ledger));
    const auto apples = l.find(QStringLiteral("Яблоки"));
    ASSERT_TRUE(apples);
    EXPECT_EQ(l.text(apples->first - 3, 8), "05.12");
    EXPECT_DOUBLE_EQ(*l.number(apples->first, 8), 3);
    EXPECT_DOUBLE_EQ(*l.number(apples->first + 2, 16), 687.5);
    EXPECT_FALSE(l.find(QStringLiteral("{")));
}
