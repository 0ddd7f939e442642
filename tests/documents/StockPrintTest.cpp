// Printed stock documents: the lines grouped and rounded, sums as formulas with their values, the
// total and the total in words, the questions and messages in order, the plain layout without a
// template, and a template re-saved by LibreOffice.

#include "PrintFixture.h"
#include "stock/StockFixture.h"

#include "documents/StockDocumentPrint.h"
#include "documents/XlsxReader.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

using namespace rat;
using namespace rat::documents;
using stock::StockKind;

namespace {

class StockPrintTest : public test::StockFixture {
protected:
    void SetUp() override
    {
        StockFixture::SetUp();
        db().exec(QStringLiteral("UPDATE INF SET Naim = 'Детский сад №7', okpo = '12345678', FamDir = 'Иванова', "
                                 "ImDir = 'Мария', OtchDir = 'Петровна', famK = 'Сидорова', ImK = 'Анна', OtchK = '', "
                                 "famMat = 'Петрова', ImMat = 'Ольга', OtchMat = 'Ивановна', famP = 'Кузнецова', "
                                 "ImP = 'Вера', OtchP = 'Львовна', famB = 'Орлова', ImB = 'Нина', OtchB = 'Юрьевна'"));
        for (const char* name : {"Приход", "Заказ", "Списание", "Расход"})
            ASSERT_TRUE(test::installTemplate(QString::fromUtf8(name)));
        milk = stockProduct(QStringLiteral("Молоко"), kg, 1);    // whole units, rounded up
        apples = stockProduct(QStringLiteral("Яблоки"), kg, 4);  // three places
        supplierId = insert(QStringLiteral("INSERT INTO supplier (sname) VALUES ('ООО Ромашка')"));
        receiptId = receipt(QStringLiteral("2026-12-01"), true, QStringLiteral("П-12"));
        db().exec(QStringLiteral("UPDATE receipt SET id_supplier = ?1, nomerNaklText = 'Н-77', comment = 'к обеду' WHERE id = ?2"),
                  {supplierId, receiptId});
        milkLot = lot(receiptId, milk, 10, QStringLiteral("2026-12-20"), 80);
        appleLot1 = lot(receiptId, apples, 5.5, QStringLiteral("2026-12-20"), 120);
        appleLot2 = lot(receiptId, apples, 2, QStringLiteral("2026-12-25"), 120);
    }

    qint64 writeOffDocument()
    {
        const qint64 doc = insert(QStringLiteral("INSERT INTO spisanie ([№docum], wdate, status, [sum]) VALUES ('С-3', '2026-12-04', 0, 0)"));
        auto line = [&](qint64 lotId, double q, const char* why) {
            insert(QStringLiteral("INSERT INTO spisanie_point (id_spisanie, id_storage, quantity, why) VALUES (?1, ?2, ?3, ?4)"),
                   {doc, lotId, q, QString::fromUtf8(why)});
        };
        line(appleLot1, 1.2, "Порча");
        line(milkLot, 2.2, "Порча");
        line(appleLot2, 0.3, "Порча");
        line(appleLot1, 0.5, "Истек срок");
        return doc;
    }

    QStringList documents() const
    {
        return QDir(QDir(app().appDir).filePath(QStringLiteral("Документы"))).entryList(QDir::Files);
    }

    qint64 milk = 0, apples = 0, supplierId = 0, receiptId = 0, milkLot = 0, appleLot1 = 0, appleLot2 = 0;
};

} // namespace

TEST_F(StockPrintTest, WriteOffLinesJoinedPerProductPriceAndReason)
{
    const qint64 doc = writeOffDocument();
    const std::vector<PrintedStockLine> lines = printedStockLines(db(), StockKind::WriteOff, doc);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].product, "Молоко");
    EXPECT_DOUBLE_EQ(lines[0].quantity, 3);  // 2.2 rounded up to whole units
    EXPECT_DOUBLE_EQ(lines[0].sum, 240);
    EXPECT_EQ(lines[1].product, "Яблоки");
    EXPECT_EQ(lines[1].reason, "Порча");
    EXPECT_DOUBLE_EQ(lines[1].quantity, 1.5);
    EXPECT_DOUBLE_EQ(lines[1].sum, 180);
    EXPECT_EQ(lines[2].reason, "Истек срок");
    EXPECT_DOUBLE_EQ(lines[2].sum, 60);
}

TEST_F(StockPrintTest, WriteOffPrintedIntoItsTemplate)
{
    test::RecordingOpener opener;
    const qint64 doc = writeOffDocument();
    prompt.answers = {Answer::Yes};
    const QString path = PrintStockDocument(db(), prompt, StockKind::WriteOff, doc);
    ASSERT_FALSE(path.isEmpty());
    EXPECT_TRUE(path.endsWith(QStringLiteral("Документы/Списание №С-3 от 04.12.2026.xlsx")));
    EXPECT_EQ(prompt.messages(), (QStringList{
        "question: Печатать документ списания в Excel? => Да",
        "info: Печатная форма документа выполнена и сохранена в файле \"" + nativePath(path) + "\"."}));
    EXPECT_EQ(prompt.events.first(), "question: Печатать документ списания в Excel? => Да");
    EXPECT_TRUE(prompt.events.contains("status: Идет создание печатной формы документа..."));
    EXPECT_TRUE(prompt.events.contains("status: Идет создание печатной формы документа...100%"));
    EXPECT_EQ(opener.opened, QStringList{path});

    XlsxReader r;
    ASSERT_TRUE(r.open(path));
    EXPECT_EQ(r.contentType, "application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml");
    EXPECT_EQ(r.text(1, 1), "Детский сад №7");
    EXPECT_EQ(r.text(2, 1), "ОКПО 12345678");
    EXPECT_EQ(r.text(2, 5), "Заведующий ________ Иванова М.П.");
    EXPECT_EQ(r.text(4, 1), "Акт списания продуктов № С-3 от 04.12.2026");
    // Header row 7, lines 8-10: № | name | unit | quantity | price | reason | sum.
    EXPECT_EQ(r.rowTexts(7), (QStringList{"№", "Наименование продукта", "Ед. изм.", "Количество", "Цена",
                                          "Причина списания", "Сумма"}));
    EXPECT_EQ(r.rowTexts(8), (QStringList{"1", "Молоко", "кг", "3", "80", "Порча", "240"}));
    EXPECT_EQ(r.rowTexts(9), (QStringList{"2", "Яблоки", "кг", "1.5", "120", "Порча", "180"}));
    EXPECT_EQ(r.rowTexts(10), (QStringList{"3", "Яблоки", "кг", "0.5", "120", "Истек срок", "60"}));
    EXPECT_EQ(r.formula(9, 7), "D9*E9");
    EXPECT_EQ(r.text(11, 1), "Итого:");
    EXPECT_EQ(r.formula(11, 7), "SUM(G8:G10)");
    EXPECT_DOUBLE_EQ(*r.number(11, 7), 480);
    EXPECT_EQ(r.text(11, 8), "руб.");
    EXPECT_EQ(r.text(13, 1), "Сумма прописью: Четыреста восемьдесят руб. ");
    EXPECT_EQ(r.text(15, 1), "Заведующий");
    EXPECT_EQ(r.text(15, 5), "Иванова М.П.");
    EXPECT_EQ(r.text(18, 5), "Петрова О.И.");
    EXPECT_EQ(r.text(21, 5), "Орлова Н.Ю.");
    EXPECT_EQ(r.printTitles, "'Лист1'!$7:$7");
    EXPECT_TRUE(r.merges.contains("A11:F11"));
    EXPECT_TRUE(r.merges.contains("A13:H13"));  // moved down with the lines
    EXPECT_TRUE(r.cell(10, 7)->border);
    EXPECT_FALSE(r.find(QStringLiteral("{")));
}

TEST_F(StockPrintTest, ReceiptHeaderAndExpenseJoinedLines)
{
    prompt.answers = {Answer::Yes};
    const QString path = PrintStockDocument(db(), prompt, StockKind::Receipt, receiptId);
    XlsxReader r;
    ASSERT_TRUE(r.open(path));
    EXPECT_EQ(r.text(4, 1), "Приходная накладная № П-12 от 01.12.2026");
    EXPECT_EQ(r.text(5, 1), "Поставщик: ООО Ромашка");
    EXPECT_EQ(r.text(6, 1), "Накладная поставщика: Н-77");
    EXPECT_EQ(r.text(7, 1), "Примечание: к обеду");
    EXPECT_EQ(r.rowTexts(10), (QStringList{"1", "Молоко", "кг", "10", "80", "800"}));
    EXPECT_EQ(r.rowTexts(11), (QStringList{"2", "Яблоки", "кг", "5.5", "120", "660"}));
    EXPECT_EQ(r.rowTexts(12), (QStringList{"3", "Яблоки", "кг", "2", "120", "240"}));
    EXPECT_DOUBLE_EQ(*r.number(13, 6), 1700);
    EXPECT_EQ(r.text(15, 1), "Сумма прописью: Одна тысяча семьсот руб. ");
    EXPECT_EQ(r.text(17, 5), "Сидорова А.");

    // An expense of one product from two lots and for two eater types prints one line.
    const qint64 doc = expenseDoc(QStringLiteral("2026-12-05"));
    expenseLine(doc, appleLot1, 1.25, 1);
    expenseLine(doc, appleLot2, 0.75, 2);
    prompt.clear();
    prompt.answers = {Answer::Yes};
    XlsxReader e;
    ASSERT_TRUE(e.open(PrintStockDocument(db(), prompt, StockKind::Expense, doc)));
    EXPECT_EQ(e.rowTexts(8), (QStringList{"1", "Яблоки", "кг", "2", "120", "240"}));
    EXPECT_EQ(e.text(9, 1), "Итого:");
    EXPECT_EQ(e.text(11, 1), "Сумма прописью: Двести сорок руб. ");
    EXPECT_EQ(e.text(16, 5), "Кузнецова В.Л.");
}

TEST_F(StockPrintTest, RefusalsLeaveNoFile)
{
    const qint64 empty = expenseDoc(QStringLiteral("2026-12-05"));
    EXPECT_EQ(PrintStockDocument(db(), prompt, StockKind::Expense, empty), QString());
    EXPECT_EQ(prompt.messages(), (QStringList{
        "warning: Печать невозможна, так как не заполнен документ. Сначала заполните документ информацией, а "
        "потом повторите оперцию."}));
    prompt.clear();
    prompt.answers = {Answer::No};
    EXPECT_EQ(PrintStockDocument(db(), prompt, StockKind::Receipt, receiptId), QString());
    EXPECT_EQ(prompt.messages(), (QStringList{"question: Печатать документ прихода в Excel? => Нет"}));
    EXPECT_TRUE(documents().isEmpty());
}

TEST_F(StockPrintTest, PlainLayoutWithoutTemplate)
{
    ASSERT_TRUE(QFile::remove(QDir(app().appDir).filePath(QStringLiteral("Шаблоны/Списание.xltx"))));
    const qint64 doc = writeOffDocument();
    prompt.answers = {Answer::Yes, Answer::No};
    EXPECT_EQ(PrintStockDocument(db(), prompt, StockKind::WriteOff, doc), QString());
    EXPECT_TRUE(documents().isEmpty());
    prompt.clear();
    prompt.answers = {Answer::Yes, Answer::Yes};
    const QString path = PrintStockDocument(db(), prompt, StockKind::WriteOff, doc);
    EXPECT_EQ(prompt.messages().mid(0, 2), (QStringList{
        "question: Печатать документ списания в Excel? => Да",
        "question: Шаблон документа не найден! Он должен находиться в файле \"Списание.xltx\" в папке \"Шаблоны\". "
        "Выполнить печать без шаблона? => Да"}));
    XlsxReader r;
    ASSERT_TRUE(r.open(path));
    EXPECT_EQ(r.text(4, 1), "Акт списания продуктов № С-3 от 04.12.2026");
    const auto head = r.find(QStringLiteral("Наименование продукта"));
    ASSERT_TRUE(head);
    const int row = head->first;
    EXPECT_EQ(r.rowTexts(row + 1), (QStringList{"1", "Молоко", "кг", "3", "80", "Порча", "240"}));
    EXPECT_EQ(r.formula(row + 4, 7), QStringLiteral("SUM(G%1:G%2)").arg(row + 1).arg(row + 3));
    EXPECT_DOUBLE_EQ(*r.number(row + 4, 7), 480);
    EXPECT_TRUE(r.cell(row + 2, 2)->border);
    EXPECT_TRUE(r.find(QStringLiteral("Четыреста восемьдесят руб.")));
}

TEST_F(StockPrintTest, TemplateResavedByLibreOfficeFillsTheSame)
{
    const QString target = QDir(app().appDir).filePath(QStringLiteral("Шаблоны/Приход.xltx"));
    QFile::remove(target);
    ASSERT_TRUE(QFile::copy(QStringLiteral(RAT_DOCUMENTS_FIXTURES "/Приход, пересохранённый LibreOffice.xltx"), target));
    prompt.answers = {Answer::Yes};
    XlsxReader r;
    ASSERT_TRUE(r.open(PrintStockDocument(db(), prompt, StockKind::Receipt, receiptId)));
    EXPECT_EQ(r.contentType, "application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml");
    EXPECT_EQ(r.text(4, 1), "Приходная накладная № П-12 от 01.12.2026");
    EXPECT_EQ(r.rowTexts(9), (QStringList{"№", "Наименование продукта", "Ед. изм.", "Количество", "Цена", "Сумма"}));
    EXPECT_EQ(r.rowTexts(12), (QStringList{"3", "Яблоки", "кг", "2", "120", "240"}));
    EXPECT_EQ(r.formula(13, 6), "SUM(F10:F12)");
    EXPECT_DOUBLE_EQ(*r.number(13, 6), 1700);
    EXPECT_EQ(r.text(15, 1), "Сумма прописью: Одна тысяча семьсот руб. ");
    EXPECT_TRUE(r.merges.contains("A15:G15"));
    EXPECT_EQ(r.printTitles, "Лист1!$9:$9");
    EXPECT_TRUE(r.cell(12, 6)->border);
}

// LibreOffice recalculates the printed form on opening (fullCalcOnLoad) and reaches the same
// sums. Runs only where LibreOffice is installed.
TEST_F(StockPrintTest, LibreOfficeShowsTheSameTotals)
{
    const QString soffice = QStandardPaths::findExecutable(QStringLiteral("soffice"));
    if (soffice.isEmpty())
        GTEST_SKIP() << "LibreOffice is not installed";
    const qint64 doc = writeOffDocument();
    prompt.answers = {Answer::Yes};
    const QString path = PrintStockDocument(db(), prompt, StockKind::WriteOff, doc);
    ASSERT_FALSE(path.isEmpty());
    QTemporaryDir out;
    const QString copy = out.filePath(QStringLiteral("form.xlsx"));
    ASSERT_TRUE(QFile::copy(path, copy));
    QProcess lo;
    lo.start(soffice, {QStringLiteral("--headless"), QStringLiteral("--norestore"),
                       QStringLiteral("-env:UserInstallation=file://") + out.filePath(QStringLiteral("profile")),
                       QStringLiteral("--convert-to"), QStringLiteral("csv:Text - txt - csv (StarCalc):44,34,76"),
                       QStringLiteral("--outdir"), out.path(), copy});
    ASSERT_TRUE(lo.waitForFinished(120000));
    QFile csv(out.filePath(QStringLiteral("form.csv")));
    ASSERT_TRUE(csv.open(QIODevice::ReadOnly)) << lo.readAllStandardError().toStdString();
    const QStringList lines = QString::fromUtf8(csv.readAll()).split(u'\n');
    ASSERT_GT(lines.size(), 11);
    EXPECT_TRUE(lines[8].startsWith(QStringLiteral("2,Яблоки,кг,1.5,120.00,Порча,180.00"))) << lines[8].toStdString();
    EXPECT_TRUE(lines[10].startsWith(QStringLiteral("Итого:,,,,,,480.00,руб."))) << lines[10].toStdString();
}
