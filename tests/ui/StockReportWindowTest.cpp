// The main window's stock reports offscreen: the command opens the parameters dialog with the
// current month, Enter with a wrong period is refused and the dialog stays, Escape leaves without
// a file, OK writes the report into "Документы".

#include "stock/StockFixture.h"

#include "core/AppState.h"
#include "core/Clock.h"
#include "documents/XlsxReader.h"
#include "ui/MainWindow.h"
#include "ui/ReportParametersDialog.h"
#include "ui/StockReportCommands.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QKeyEvent>
#include <QMdiArea>
#include <QTimer>
#include <functional>
#include <memory>

using namespace rat;

namespace {

class StockReportWin : public test::StockFixture {
protected:
    void SetUp() override
    {
        StockFixture::SetUp();
        Clock::setToday(QDate(2026, 12, 15));
        const qint64 milk = stockProduct(QStringLiteral("Молоко"));
        writeOff(QStringLiteral("2026-12-07"), directLot(milk, 10, QStringLiteral("2026-11-20"), QStringLiteral("2027-01-01"), 80), 2);
        main = std::make_unique<ui::MainWindow>(session);
        ui::installStockReportCommands(*main, session);
        main->show();
    }
    void TearDown() override
    {
        Clock::setToday(QDate());
        main->mdiArea()->closeAllSubWindows();
        main.reset();
        StockFixture::TearDown();
    }
    // Runs the command; `inDialog` acts on the dialog while it is shown.
    void runWithDialog(const char* command, std::function<void(ui::ReportParametersDialog*)> inDialog)
    {
        bool seen = false;
        QTimer::singleShot(0, [&] {
            auto* dlg = qobject_cast<ui::ReportParametersDialog*>(QApplication::activeModalWidget());
            seen = dlg != nullptr;
            if (dlg)
                inDialog(dlg);
        });
        main->command(QString::fromLatin1(command))->trigger();
        EXPECT_TRUE(seen) << command;
    }
    static void key(QWidget* w, int k)
    {
        QKeyEvent press(QEvent::KeyPress, k, Qt::NoModifier);
        QApplication::sendEvent(w, &press);
    }
    QStringList documents() const
    {
        return QDir(QDir(app().appDir).filePath(QStringLiteral("Документы"))).entryList(QDir::Files);
    }
    std::unique_ptr<ui::MainWindow> main;
};

} // namespace

TEST_F(StockReportWin, TurnoverCommandAsksThePeriodAndWritesTheFile)
{
    // Escape leaves without a word and without a file.
    runWithDialog("mnuObrOb", [](ui::ReportParametersDialog* d) { key(d, Qt::Key_Escape); });
    EXPECT_TRUE(prompt.messages().isEmpty());
    EXPECT_TRUE(documents().isEmpty());

    QString title;
    QDate from, to;
    QStringList stores;
    bool stayed = false;
    prompt.answers = {Answer::Yes};  // print without the template (none in this folder)
    runWithDialog("mnuObrOb", [&](ui::ReportParametersDialog* d) {
        title = d->windowTitle();
        from = d->fromEdit()->date();
        to = d->toEdit()->date();
        for (int i = 0; i < d->warehouseBox()->count(); ++i)
            stores << d->warehouseBox()->itemText(i);
        // A start after the end: refused, the dialog stays.
        d->fromEdit()->setDate(QDate(2026, 12, 20));
        d->toEdit()->setDate(QDate(2026, 12, 10));
        key(d->toEdit(), Qt::Key_Return);
        stayed = d->isVisible();
        d->fromEdit()->setDate(QDate(2026, 12, 1));
        d->warehouseBox()->setCurrentIndex(d->warehouseBox()->findText(QStringLiteral("Основной")));
        key(d->toEdit(), Qt::Key_Return);
    });
    EXPECT_EQ(title, QStringLiteral("Оборотно-сальдовая ведомость"));
    EXPECT_EQ(from, QDate(2026, 12, 1));
    EXPECT_EQ(to, QDate(2026, 12, 31));
    EXPECT_EQ(stores, (QStringList{QStringLiteral("Все склады"), QStringLiteral("Овощной"), QStringLiteral("Основной")}));
    EXPECT_TRUE(stayed);
    const QString path = QDir(app().appDir).filePath(QStringLiteral("Документы/Оборотно-сальдовая ведомость с 01.12.2026 по 10.12.2026.xlsx"));
    ASSERT_EQ(prompt.messages().size(), 3) << prompt.messages().join(u'\n').toStdString();
    EXPECT_EQ(prompt.messages()[0], "warning: Дата начала периода не может быть позже даты его окончания.");
    EXPECT_EQ(prompt.messages()[2], "info: Печатная форма документа выполнена и сохранена в файле \"" + nativePath(path) + "\".");
    documents::XlsxReader r;
    ASSERT_TRUE(r.open(path));
    EXPECT_TRUE(r.find(QStringLiteral("Склад: Основной")));
    const auto milk = r.find(QStringLiteral("Молоко"));
    ASSERT_TRUE(milk);
    EXPECT_EQ(r.rowTexts(milk->first), (QStringList{"1", "Молоко", "кг", "10", "800", "", "", "2", "160", "8", "640"}));
}

TEST_F(StockReportWin, LedgerCommandsOfBothMenus)
{
    for (const char* command : {"mnuOtN2", "mnuVed1", "mnuOtN4", "mnuVed3"}) {
        QString title;
        bool hasWarehouse = true;
        runWithDialog(command, [&](ui::ReportParametersDialog* d) {
            title = d->windowTitle();
            hasWarehouse = d->warehouseBox() != nullptr;
            d->reject();
        });
        EXPECT_TRUE(title.startsWith(QStringLiteral("Накопительная ведомость"))) << command;
        EXPECT_FALSE(hasWarehouse) << command;
    }
    bool oneDate = false;
    runWithDialog("mnuObr", [&](ui::ReportParametersDialog* d) {
        oneDate = d->toEdit() == nullptr && d->fromEdit()->date() == QDate(2026, 12, 15);
        d->reject();
    });
    EXPECT_TRUE(oneDate);
    EXPECT_TRUE(documents().isEmpty());
}
