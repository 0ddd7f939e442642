// Printing a stock document from its window offscreen: the print button asks, builds the form
// (here without a template, in the plain layout) and saves it into "Документы".

#include "menu/DayMenuFixture.h"

#include "core/AppState.h"
#include "documents/XlsxReader.h"
#include "ui/DocumentWindow.h"
#include "ui/MainWindow.h"

#include <QApplication>
#include <QDir>
#include <QMdiArea>
#include <QPushButton>
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
