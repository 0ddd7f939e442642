// Printing from windows offscreen: a stock document's print button asks, builds the form (here
// without a template, in the plain layout) and saves it into "Документы"; the main menu's
// "Печать..." prints the active list as shown.

#include "menu/DayMenuFixture.h"

#include "core/AppState.h"
#include "documents/XlsxReader.h"
#include "ui/AnalysisWindow.h"
#include "ui/BookListWindow.h"
#include "ui/BookWindows.h"
#include "ui/DocumentWindow.h"
#include "ui/MainWindow.h"

#include <QAction>
#include <QApplication>
#include <QMdiSubWindow>
#include <QDir>
#include <QMdiArea>
#include <QPushButton>
#include <QTableView>
#include <memory>

using namespace rat;

namespace {

class StockPrintWin : public test::DayMenuFixture {
protected:
    void TearDown() override
    {
        if (main) {
            main->mdiArea()->closeAllSubWindows();
            main.reset();
        }
        DayMenuFixture::TearDown();
    }
    std::unique_ptr<ui::MainWindow> main;
};

} // namespace

TEST_F(StockPrintWin, PrintButtonOfAReceipt)
{
    const qint64 milk = insert(QStringLiteral("INSERT INTO products (pname, id_ed_izmer, rule_okr) VALUES ('Молоко', 901, 4)"));
    const qint64 receipt = insert(QStringLiteral("INSERT INTO receipt ([№docum], rdate, status, [sum]) VALUES ('7', '2026-12-02', 0, 0)"));
    insert(QStringLiteral("INSERT INTO storage (id_product, quantity, cost, id_ed_izmer, status, id_receipt, IDSS, date_realization) "
                          "VALUES (?1, 4.5, 60, 901, 0, ?2, 1, '2026-12-20')"),
           {milk, receipt});
    main = std::make_unique<ui::MainWindow>(session);
    main->show();
    ui::DocumentWindow* w = ui::openDocument(main.get(), db(), prompt, ui::docReceipt, receipt, ui::DocumentMode::Edit);
    ASSERT_NE(w, nullptr);
    prompt.clear();
    prompt.answers = {Answer::Yes, Answer::Yes};
    w->printButton()->click();
    QApplication::processEvents();
    const QString path = QDir(app().appDir).filePath(QStringLiteral("Документы/Приход №7 от 02.12.2026.xlsx"));
    EXPECT_EQ(prompt.messages(), (QStringList{
        "question: Печатать документ прихода в Excel? => Да",
        "question: Шаблон документа не найден! Он должен находиться в файле \"Приход.xltx\" в папке \"Шаблоны\". "
        "Выполнить печать без шаблона? => Да",
        "info: Печатная форма документа выполнена и сохранена в файле \"" + nativePath(path) + "\"."}));
    documents::XlsxReader r;
    ASSERT_TRUE(r.open(path));
    EXPECT_TRUE(r.find(QStringLiteral("Двести семьдесят руб.")));
}

TEST_F(StockPrintWin, MainMenuPrintOfTheActiveList)
{
    category(QStringLiteral("Супы"));
    category(QStringLiteral("Каши"));
    main = std::make_unique<ui::MainWindow>(session);
    ui::installBookWindows(*main, session);
    main->show();
    main->command(QStringLiteral("mnuTMeal"))->trigger();
    auto* list = qobject_cast<ui::BookListWindow*>(main->mdiArea()->activeSubWindow()->widget());
    ASSERT_NE(list, nullptr);
    prompt.clear();
    prompt.answers = {Answer::Yes};
    main->command(QStringLiteral("mnuFilePrint"))->trigger();
    QApplication::processEvents();
    ASSERT_EQ(prompt.messages().size(), 2) << prompt.messages().join(u'\n').toStdString();
    const QString saved = prompt.messages()[1];
    const qsizetype q = saved.indexOf(u'"');
    ASSERT_GT(q, 0);
    documents::XlsxReader r;
    ASSERT_TRUE(r.open(saved.mid(q + 1, saved.size() - q - 3)));
    EXPECT_EQ(r.text(3, 1), list->windowTitle());
    QStringList captions;
    for (int c = 0; c < list->grid()->model()->columnCount(); ++c)
        if (!list->grid()->isColumnHidden(c))  // the hidden key column is not printed
            captions << list->grid()->model()->headerData(c, Qt::Horizontal).toString();
    ASSERT_LT(captions.size(), list->grid()->model()->columnCount());
    EXPECT_EQ(r.rowTexts(5), captions);
    EXPECT_EQ(r.lastRow(), 5 + list->grid()->model()->rowCount());
    EXPECT_TRUE(r.find(QStringLiteral("Супы")));
}

TEST_F(StockPrintWin, AnalysisWindowPrintsItsRows)
{
    menu::AnalysisTable table;
    table.caption = QStringLiteral("Анализ повторов блюд");
    table.columns = {QStringLiteral("Блюдо"), QStringLiteral("День 1")};
    menu::AnalysisRow row;
    row.cells = {QStringLiteral("Каша"), 1.0};
    row.redCells = {1};
    table.rows.push_back(row);
    ui::AnalysisWindow w(table);
    EXPECT_FALSE(w.runCommand(QStringLiteral("mnuFilePrint")));  // nothing to print with
    w.setPrinting(&db(), &prompt);
    prompt.clear();
    prompt.answers = {Answer::Yes};
    EXPECT_TRUE(w.runCommand(QStringLiteral("mnuFilePrint")));
    documents::XlsxReader r;
    ASSERT_TRUE(r.open(QDir(app().appDir).filePath(QStringLiteral("Документы/Анализ повторов блюд.xlsx"))));
    EXPECT_EQ(r.rowTexts(6), (QStringList{"Каша", "1"}));
    EXPECT_EQ(r.cell(6, 2)->fontColor, "FFFF0000");
}
