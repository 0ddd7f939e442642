// The document window's size offscreen: a receipt opens wide enough for every column of its
// grid, and in a narrow main window the header keeps its fields whole while the frame scrolls.

#include "menu/DayMenuFixture.h"

#include "core/Settings.h"
#include "ui/BookWindows.h"
#include "ui/DocumentWindow.h"
#include "ui/MainWindow.h"
#include "ui/StockWindows.h"

#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QHeaderView>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScrollBar>
#include <QTableWidget>
#include <memory>

namespace rat::test {
namespace {

using ui::DocumentMode;
using ui::DocumentWindow;

// Screenshots go here when RAT_SCREENSHOTS names a folder.
void shoot(QWidget* w, const QString& name)
{
    const QString dir = qEnvironmentVariable("RAT_SCREENSHOTS");
    if (dir.isEmpty())
        return;
    QDir().mkpath(dir);
    QApplication::processEvents();
    w->grab().save(dir + QLatin1Char('/') + name + QStringLiteral(".png"));
}

class DocumentWindowSize : public DayMenuFixture {
protected:
    void SetUp() override
    {
        DayMenuFixture::SetUp();
        db().execScript(QStringLiteral("DELETE FROM STORAGES; DELETE FROM supplier; "
                                       "INSERT INTO STORAGES (IDSS, name) VALUES (1, 'Основной склад'); "
                                       "INSERT INTO supplier (sname) VALUES ('ООО Молокозавод \"Заря\"')"));
        prompt.clear();
        main = std::make_unique<ui::MainWindow>(session);
        ui::installBookWindows(*main, session);
        ui::installStockWindows(*main, session);
    }

    void TearDown() override
    {
        main->mdiArea()->closeAllSubWindows();
        main.reset();
        DayMenuFixture::TearDown();
    }

    DocumentWindow* openReceipt(const QSize& frame)
    {
        main->resize(frame);
        main->show();
        QApplication::processEvents();
        DocumentWindow* w = ui::openDocument(main.get(), db(), prompt, ui::docReceipt, std::nullopt, DocumentMode::New);
        QApplication::processEvents();
        return w;
    }

    static QMdiSubWindow* frameOf(QWidget* w) { return qobject_cast<QMdiSubWindow*>(w->parentWidget()); }

    std::unique_ptr<ui::MainWindow> main;
};

TEST_F(DocumentWindowSize, ReceiptOpensWideEnoughForEveryColumn)
{
    DocumentWindow* w = openReceipt(QSize(1280, 860));
    ASSERT_NE(w, nullptr);
    auto* grid = w->findChild<QTableWidget*>(QStringLiteral("grid"));
    ASSERT_NE(grid, nullptr);
    int store = -1;
    for (int c = 0; c < grid->columnCount(); ++c)
        if (grid->horizontalHeaderItem(c)->text() == QStringLiteral("Склад"))
            store = c;
    ASSERT_GE(store, 0);
    // The last column is in sight without scrolling.
    EXPECT_EQ(grid->horizontalScrollBar()->maximum(), 0);
    EXPECT_LE(grid->columnViewportPosition(store) + grid->columnWidth(store), grid->viewport()->width());
    shoot(main.get(), QStringLiteral("receipt-new"));
}

TEST_F(DocumentWindowSize, NarrowMainWindowScrollsInsteadOfSqueezingTheHeader)
{
    DocumentWindow* w = openReceipt(QSize(640, 520));
    ASSERT_NE(w, nullptr);
    for (QMdiSubWindow* sub : {frameOf(w)}) {
        ASSERT_NE(sub, nullptr);
        for (const bool maximized : {false, true}) {
            SCOPED_TRACE(maximized);
            if (maximized)
                sub->showMaximized();
            QApplication::processEvents();
            auto* date = qobject_cast<QDateEdit*>(w->control(QStringLiteral("rdate")));
            auto* supplier = qobject_cast<QComboBox*>(w->control(QStringLiteral("id_supplier")));
            ASSERT_NE(date, nullptr);
            ASSERT_NE(supplier, nullptr);
            // The date shows whole and the supplier's box has room for a name.
            EXPECT_GE(date->width(), date->sizeHint().width());
            EXPECT_GE(supplier->width(), supplier->minimumSizeHint().width());
            EXPECT_GE(supplier->width(), 200);
            // The main window's frame scrolls to the rest of the document.
            EXPECT_GT(main->mdiArea()->horizontalScrollBar()->maximum(), 0);
            shoot(main.get(), maximized ? QStringLiteral("receipt-narrow-maximized") : QStringLiteral("receipt-narrow"));
        }
    }
}

} // namespace
} // namespace rat::test
