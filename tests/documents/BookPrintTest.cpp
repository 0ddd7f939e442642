// Reference books printed from their lists: the seasonal-loss book's question and its three
// answers (every product, the chosen product, nothing), a dependent book printed for its chosen
// parent, the selected rows of a list, and the headless "print book".

#include "PrintFixture.h"
#include "menu/DayMenuFixture.h"
#include "support/ToolFileTest.h"

#include "documents/BookPrint.h"
#include "documents/XlsxReader.h"
#include "refbooks/BookList.h"

#include <QDir>

using namespace rat;
using namespace rat::documents;

namespace {

const QString kQuestion = QStringLiteral(
    "question: Печатать справочник \"Сезонные проценты потерь\" по продуктам? \"Да\" - по всем, \"Нет\" - по "
    "выбранному, \"Отмена\" - не печатать. => ");

class BookPrintTest : public test::DayMenuFixture {
protected:
    void SetUp() override
    {
        DayMenuFixture::SetUp();
        ASSERT_TRUE(test::installTemplate(QStringLiteral("Список")));
        db().exec(QStringLiteral("DELETE FROM SEZON"));
        potato = product(QStringLiteral("Картофель"));
        carrot = product(QStringLiteral("Морковь"));
        beet = product(QStringLiteral("Свекла"));  // no periods: not printed
        // Months are stored from 0 (January).
        season(carrot, 1, 0, 28, 1, 30);
        season(potato, 1, 10, 31, 11, 25);
        season(potato, 1, 8, 31, 9, 20);
    }
    void season(qint64 product, int dayN, int mesN, int dayO, int mesO, double proz)
    {
        insert(QStringLiteral("INSERT INTO SEZON (id_PRODUCT, DAY_N, MES_N, DAY_O, MES_O, PROZ) VALUES (?1, ?2, ?3, ?4, ?5, ?6)"),
               {product, dayN, mesN, dayO, mesO, proz});
    }
    static std::vector<QStringList> tableRows(const XlsxReader& r, int first = 6)
    {
        std::vector<QStringList> rows;
        for (int row = first; row <= r.lastRow(); ++row)
            rows.push_back(r.rowTexts(row));
        return rows;
    }
    QStringList documents() const
    {
        return QDir(QDir(app().appDir).filePath(QStringLiteral("Документы"))).entryList(QDir::Files);
    }
    qint64 potato = 0, carrot = 0, beet = 0;
};

} // namespace

TEST_F(BookPrintTest, SeasonalBookAsksAllChosenOrNothing)
{
    const QStringList header{"Продукт", "Период с:", "Период по:", "Процент потерь (брутто),%"};
    struct Case {
        Answer answer;
        const char* answerText;
        QString title;
        std::vector<QStringList> rows;
    };
    const std::vector<Case> cases{
        {Answer::Yes, "Да", QStringLiteral("Сезонные проценты потерь"),
         {{"Картофель", "1.09", "31.10", "20"}, {"Картофель", "1.11", "31.12", "25"}, {"Морковь", "1.01", "28.02", "30"}}},
        {Answer::No, "Нет", QStringLiteral("Сезонные проценты потерь (Морковь)"), {{"Морковь", "1.01", "28.02", "30"}}},
    };
    for (const Case& c : cases) {
        prompt.clear();
        prompt.answers = {c.answer};
        const QString path = PrintBook(db(), prompt, books::entrySeasonalLosses, carrot);
        ASSERT_FALSE(path.isEmpty()) << c.answerText;
        const QStringList messages = prompt.messages();
        ASSERT_EQ(messages.size(), 2) << messages.join(u'\n').toStdString();
        EXPECT_EQ(messages[0], kQuestion + QString::fromUtf8(c.answerText));
        EXPECT_EQ(messages[1], QStringLiteral("info: Печатная форма документа выполнена и сохранена в файле \"") +
                                   QDir::toNativeSeparators(path) + QStringLiteral("\"."));
        XlsxReader r;
        ASSERT_TRUE(r.open(path));
        EXPECT_EQ(r.rowTexts(3), QStringList{c.title});
        EXPECT_EQ(r.rowTexts(5), header);
        EXPECT_EQ(tableRows(r), c.rows) << c.answerText;
        EXPECT_TRUE(r.cell(6, 4)->isNumber);
    }

    // "Отмена": nothing is printed or saved.
    QDir(QDir(app().appDir).filePath(QStringLiteral("Документы"))).removeRecursively();
    prompt.clear();
    prompt.answers = {Answer::Cancel};
    EXPECT_TRUE(PrintBook(db(), prompt, books::entrySeasonalLosses, carrot).isEmpty());
    EXPECT_EQ(prompt.messages(), QStringList{kQuestion + QStringLiteral("Отмена")});
    EXPECT_TRUE(documents().isEmpty()) << documents().join(u' ').toStdString();

    // "Нет" with no product chosen (an empty product book): nothing to print.
    prompt.clear();
    prompt.answers = {Answer::No};
    EXPECT_TRUE(PrintBook(db(), prompt, books::entrySeasonalLosses, std::nullopt).isEmpty());
    EXPECT_TRUE(documents().isEmpty());
}

TEST_F(BookPrintTest, DependentBookPrintsTheRowsOfItsChosenParent)
{
    insert(QStringLiteral("INSERT INTO [replace] (id_product, id_product_replace, repl_weight, pr_weight) VALUES (?1, ?2, 120, 100)"),
           {potato, beet});
    insert(QStringLiteral("INSERT INTO [replace] (id_product, id_product_replace, repl_weight, pr_weight) VALUES (?1, ?2, 80.5, 100)"),
           {carrot, beet});
    prompt.clear();
    const QString path = PrintBook(db(), prompt, books::entrySubstitutions, potato);
    ASSERT_FALSE(path.isEmpty()) << prompt.messages().join(u'\n').toStdString();
    EXPECT_EQ(prompt.messages().size(), 1);  // no question: only the saved message
    XlsxReader r;
    ASSERT_TRUE(r.open(path));
    EXPECT_EQ(r.rowTexts(3), QStringList{"Замена"});
    EXPECT_EQ(r.rowTexts(5), (QStringList{"Продукт-заменитель", "Вес заменителя, г", "На вес продукта, г"}));
    EXPECT_EQ(tableRows(r), (std::vector<QStringList>{{"Свекла", "120", "100"}}));
    EXPECT_DOUBLE_EQ(*r.number(6, 2), 120.0);

    // Only some rows of a list (the selected ones), in list order.
    const books::BookList all = books::loadList(db(), books::entrySubstitutions, std::nullopt);
    ASSERT_EQ(all.rowCount(), 2);
    const std::vector<int> second{1};
    const PrintedTable part = bookTable(all, &second);
    ASSERT_EQ(part.rows.size(), 1u);
    EXPECT_EQ(part.rows[0].cells[0].toString(), QStringLiteral("Свекла"));
    EXPECT_DOUBLE_EQ(part.rows[0].cells[1].toDouble(), 80.5);  // the carrot's row, the second by key
}

namespace {

class BookPrintCli : public test::ToolFileTest {
protected:
    BookPrintCli() : ToolFileTest(QStringLiteral("bookprint.db")) {}
    void SetUp() override
    {
        createFile(QStringLiteral(
            "DELETE FROM SEZON; DELETE FROM products;"
            "INSERT INTO ed_izmer (id, ename, koef) VALUES (901, 'кг', 1000);"
            "INSERT INTO products (id, pname, id_ed_izmer) VALUES (1, 'Картофель', 901), (2, 'Морковь', 901);"
            "INSERT INTO SEZON (id_PRODUCT, DAY_N, MES_N, DAY_O, MES_O, PROZ) VALUES (1, 1, 8, 31, 9, 20), (2, 1, 0, 28, 1, 30);"));
    }
};

} // namespace

TEST_F(BookPrintCli, PrintBookAnswersTheSeasonalQuestionAndEndsWithThePath)
{
    test::ToolRun r = run({"--answer", "Нет", "print", "book", "57", "--selected", "1"});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString() << r.lines.join('\n').toStdString();
    EXPECT_TRUE(r.lines.contains(kQuestion + QStringLiteral("Нет"))) << r.lines.join('\n').toStdString();
    XlsxReader x;
    ASSERT_TRUE(x.open(r.lines.last())) << r.lines.last().toStdString();
    EXPECT_EQ(x.rowTexts(6), (QStringList{"Картофель", "1.09", "31.10", "20"}));
    EXPECT_EQ(x.lastRow(), 6);

    EXPECT_EQ(run({"--answer", "Отмена", "print", "book", "57"}).exitCode, 1);
    EXPECT_EQ(run({"print", "book", "9999"}).exitCode, 2);
    EXPECT_EQ(run({"print", "book", "57", "--selected", "x"}).exitCode, 2);
}
