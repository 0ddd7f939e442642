// The headless tool's printing: amount-words, and print with the saved path as the last line.

#include "documents/XlsxReader.h"
#include "support/ToolFileTest.h"

#include <QFileInfo>

using namespace rat;

namespace {

class PrintCli : public test::ToolFileTest {
protected:
    PrintCli() : ToolFileTest(QStringLiteral("print.db")) {}
    void SetUp() override
    {
        createFile(QStringLiteral(
            "DELETE FROM VALUTA; INSERT INTO VALUTA (namev, shnamev, status) VALUES ('Рубль', 'руб.', -1);"
            "DELETE FROM products; DELETE FROM storage; DELETE FROM receipt;"
            "INSERT INTO ed_izmer (id, ename, koef) VALUES (901, 'кг', 1000);"
            "INSERT INTO products (id, pname, id_ed_izmer, rule_okr) VALUES (1, 'Мука', 901, 4), (2, 'Сахар', 901, 4);"
            "INSERT INTO receipt (id, [№docum], rdate, status, [sum]) VALUES (5, 'П-5', '2026-12-01', -1, 0);"
            "INSERT INTO storage (id_product, quantity, cost, id_ed_izmer, status, id_receipt, IDSS, date_realization) "
            "VALUES (1, 2.5, 40, 901, 0, 5, 1, '2026-12-30'), (2, 1, 95.5, 901, 0, 5, 1, '2026-12-30');"));
    }
    test::ToolRun tool(QStringList args) const
    {
        test::ToolRun r = run(args);
        if (r.lines.value(0) == QStringLiteral("status: Выполняется проверка базы данных..."))
            r.lines = r.lines.mid(r.lines.indexOf(QStringLiteral("status: Готово")) + 1);
        return r;
    }
};

} // namespace

TEST_F(PrintCli, AmountInWords)
{
    EXPECT_EQ(tool({"amount-words", "1021.05", "--currency", "руб."}).lines, QStringList{"Одна тысяча двадцать один руб. 05 коп."});
    EXPECT_EQ(tool({"amount-words", "300000", "--currency", "тг.", "--always-fraction"}).lines, QStringList{"Триста тысяч тг. 00"});
    EXPECT_EQ(tool({"amount-words", "12,5"}).lines, QStringList{"Двенадцать руб. 50 коп."});  // the file's currency
    EXPECT_EQ(tool({"amount-words", "много", "--currency", "тг."}).exitCode, 2);
}

TEST_F(PrintCli, PrintStockDocumentEndsWithThePath)
{
    const test::ToolRun r = tool({"print", "stock", "receipt", "5"});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString() << r.lines.join('\n').toStdString();
    ASSERT_GE(r.lines.size(), 3);
    EXPECT_EQ(r.lines.first(), "question: Печатать документ прихода в Excel? => Да");
    const QString path = r.lines.last();
    EXPECT_TRUE(path.endsWith(QStringLiteral("Документы/Приход №П-5 от 01.12.2026.xlsx"))) << path.toStdString();
    EXPECT_EQ(r.lines[r.lines.size() - 2], "info: Печатная форма документа выполнена и сохранена в файле \"" + path + "\".");
    documents::XlsxReader x;
    ASSERT_TRUE(x.open(path));
    const auto total = x.find(QStringLiteral("Итого:"));
    ASSERT_TRUE(total);
    EXPECT_DOUBLE_EQ(*x.number(total->first, 6), 195.5);
    EXPECT_TRUE(x.find(QStringLiteral("Сто девяносто пять руб. 50 коп.")));

    EXPECT_EQ(tool({"print", "stock", "receipt", "6"}).exitCode, 1);
    EXPECT_EQ(tool({"print", "stock", "return", "5"}).exitCode, 2);
    EXPECT_EQ(tool({"print", "nothing"}).exitCode, 2);
    // "Нет" to the question: nothing saved, refused.
    const test::ToolRun no = tool({"--answer", "Нет", "print", "stock", "receipt", "5"});
    EXPECT_EQ(no.exitCode, 1);
    EXPECT_EQ(no.lines, QStringList{"question: Печатать документ прихода в Excel? => Нет"});
}

TEST_F(PrintCli, PrintReportsEndWithThePath)
{
    const test::ToolRun r = tool({"print", "report", "obrob", "--from", "2026-12-01", "--to", "2026-12-31", "--warehouse", "1"});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString() << r.lines.join('\n').toStdString();
    const QString path = r.lines.last();
    EXPECT_TRUE(path.endsWith(QStringLiteral("Документы/Оборотно-сальдовая ведомость с 01.12.2026 по 31.12.2026.xlsx")))
        << path.toStdString();
    EXPECT_EQ(r.lines[r.lines.size() - 2], "info: Печатная форма документа выполнена и сохранена в файле \"" + path + "\".");
    documents::XlsxReader x;
    ASSERT_TRUE(x.open(path));
    const auto total = x.find(QStringLiteral("Итого"));
    ASSERT_TRUE(total);
    EXPECT_DOUBLE_EQ(*x.number(total->first, 7), 195.5);  // received: 2.5 × 40 + 1 × 95.5

    const test::ToolRun rem = tool({"print", "report", "remnants", "--date", "2026-12-02"});
    ASSERT_EQ(rem.exitCode, 0);
    EXPECT_TRUE(rem.lines.last().endsWith(QStringLiteral("Документы/Остатки продуктов на 02.12.2026.xlsx")));
    const test::ToolRun ledger = tool({"print", "report", "receipt-ledger", "--from", "2026-12-01", "--to", "2026-12-07"});
    ASSERT_EQ(ledger.exitCode, 0);
    EXPECT_TRUE(ledger.lines.last().endsWith(
        QStringLiteral("Документы/Накопительная ведомость прихода продуктов с 01.12.2026 по 07.12.2026.xlsx")));

    // A wrong period is told and refused; bad arguments are usage errors; a warehouse not in the file is refused.
    const test::ToolRun wrong = tool({"print", "report", "expense-ledger", "--from", "2026-12-09", "--to", "2026-12-01"});
    EXPECT_EQ(wrong.exitCode, 1);
    EXPECT_EQ(wrong.lines, QStringList{"warning: Дата начала периода не может быть позже даты его окончания."});
    EXPECT_EQ(tool({"print", "report", "obrob", "--from", "2026-12-01"}).exitCode, 2);
    EXPECT_EQ(tool({"print", "report", "remnants", "--date", "2026-12-01", "--to", "2026-12-02"}).exitCode, 2);
    EXPECT_EQ(tool({"print", "report", "expense-ledger", "--from", "2026-12-01", "--to", "2026-12-02", "--warehouse", "1"}).exitCode, 2);
    EXPECT_EQ(tool({"print", "report", "turnover", "--from", "2026-12-01", "--to", "2026-12-02"}).exitCode, 2);
    EXPECT_EQ(tool({"print", "report", "obrob", "--from", "2026-12-01", "--to", "2026-12-02", "--warehouse", "9"}).exitCode, 1);
}
