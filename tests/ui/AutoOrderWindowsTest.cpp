// Automatic ordering offscreen: the parameters dialog with a tab per plan-menu, the zero-count
// question when a ticked tab is left, OK and Cancel; the command in the warehouse menu and on the
// orders journal's toolbar opening the order written; the start-up reminder opening the
// write-off it wrote; the tip of the write-off switch.

#include "menu/DayMenuFixture.h"

#include "stock/AutoOrder.h"
#include "ui/AutoOrderWindows.h"
#include "ui/BookListWindow.h"
#include "ui/BookWindows.h"
#include "ui/DocumentWindow.h"
#include "ui/MainWindow.h"
#include "ui/OrderingParametersDialog.h"
#include "ui/ParametersDialog.h"
#include "ui/StockWindows.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableWidget>
#include <QTimer>
#include <memory>

using namespace rat;

namespace {

class AutoOrderWin : public test::DayMenuFixture {
protected:
    void SetUp() override
    {
        DayMenuFixture::SetUp();
        db().execScript(QStringLiteral(
            "DELETE FROM STORAGES; DELETE FROM AVTZAK; DELETE FROM AVTZAK_POINT; DELETE FROM AVTZAK1; DELETE FROM ZAKAZ; "
            "DELETE FROM order_point; DELETE FROM spisanie_point; "
            "INSERT INTO STORAGES (IDSS, name) VALUES (1, 'Основной склад'), (2, 'Овощехранилище')"));
        plan = planMenu(QStringLiteral("Основное"), 2);
        summer = planMenu(QStringLiteral("Летнее"), 2);
        for (int i = 1; i <= 3; ++i)
            days.push_back(day(plan, QStringLiteral("День %1").arg(i)));
        nursery = eaterType(plan, QStringLiteral("Ясли"));
        garden = eaterType(plan, QStringLiteral("Сад"));
        eaterType(plan, QStringLiteral("Диета"), false);
        camp = eaterType(summer, QStringLiteral("Лагерь"));
        const qint64 porridge = card(QStringLiteral("Каша"));  // 60 g of groats per 100 g
        yield(porridge, nursery, 100);
        yield(porridge, garden, 200);
        planRow(days[0], porridge, meal(QStringLiteral("Обед")));
        prompt.clear();
    }

    void TearDown() override
    {
        if (main) {
            main->mdiArea()->closeAllSubWindows();
            main.reset();
        }
        DayMenuFixture::TearDown();
    }

    void openMain()
    {
        main = std::make_unique<ui::MainWindow>(session);
        ui::installBookWindows(*main, session);
        ui::installStockWindows(*main, session);
        ui::installAutoOrderWindows(*main, session);
        main->resize(1280, 860);
        main->show();
    }

    void storeSetUp()
    {
        const qint64 a = insert(QStringLiteral("INSERT INTO AVTZAK (id_storge, id_type_menu, day) VALUES (1, ?1, 2)"), {plan});
        insert(QStringLiteral("INSERT INTO AVTZAK_POINT (IDAvt, id_type_eating, kol) VALUES (?1, ?2, 10), (?1, ?3, 20)"),
               {a, nursery, garden});
    }

    template <class W>
    W* active() const
    {
        QMdiSubWindow* sub = main->mdiArea()->activeSubWindow();
        return sub ? qobject_cast<W*>(sub->widget()) : nullptr;
    }

    static void setCount(QTableWidget* grid, int row, int count)
    {
        grid->item(row, 1)->setData(Qt::EditRole, count);
    }

    std::unique_ptr<ui::MainWindow> main;
    qint64 plan = 0, summer = 0, nursery = 0, garden = 0, camp = 0;
    std::vector<qint64> days;
};

TEST_F(AutoOrderWin, ParametersDialogAsksBeforeLeavingATickedTabWithoutEaters)
{
    bool shown = false;
    const bool saved = ui::editOrderingParameters(nullptr, db(), prompt, [&](QDialog& d) {
        shown = true;
        auto& dlg = static_cast<ui::OrderingParametersDialog&>(d);
        EXPECT_EQ(dlg.objectName(), QStringLiteral("EditOrderingParameters"));
        EXPECT_EQ(dlg.windowTitle(), QStringLiteral("Параметры автозаказа"));
        QTabWidget* tabs = dlg.tabs();
        ASSERT_EQ(tabs->count(), 2);
        EXPECT_EQ(tabs->tabText(0), QStringLiteral("Летнее"));
        EXPECT_EQ(tabs->tabText(1), QStringLiteral("Основное"));
        EXPECT_EQ(dlg.useBox(1)->text(), QStringLiteral("Использовать автоматический заказ"));
        EXPECT_FALSE(dlg.useBox(1)->isChecked());
        EXPECT_EQ(dlg.daysBox(1)->value(), 5);
        EXPECT_EQ(dlg.warehouseBox(1)->currentText(), QStringLiteral("Основной склад"));  // the first warehouse
        EXPECT_EQ(dlg.warehouseBox(1)->itemText(0), QStringLiteral("Овощехранилище"));   // listed by name
        QTableWidget* grid = dlg.countsGrid(1);
        EXPECT_EQ(grid->horizontalHeaderItem(0)->text(), QStringLiteral("Тип довольствующихся"));
        EXPECT_EQ(grid->horizontalHeaderItem(1)->text(), QStringLiteral("Количество"));
        ASSERT_EQ(grid->rowCount(), 2);  // the type off allowance is not offered
        EXPECT_EQ(grid->item(0, 0)->text(), QStringLiteral("Сад"));
        EXPECT_EQ(grid->item(1, 0)->text(), QStringLiteral("Ясли"));

        tabs->setCurrentIndex(1);
        dlg.useBox(1)->setChecked(true);
        setCount(grid, 0, 25);
        dlg.daysBox(1)->setValue(3);
        dlg.warehouseBox(1)->setCurrentIndex(dlg.warehouseBox(1)->findText(QStringLiteral("Овощехранилище")));
        // Leaving with the nursery at 0: No returns to the tab.
        prompt.answers = {Answer::No};
        tabs->setCurrentIndex(0);
        EXPECT_EQ(tabs->currentIndex(), 1);
        EXPECT_EQ(prompt.messages(), QStringList({"question: " + stock::zeroCountQuestion() + " => Нет"}));
        setCount(grid, 1, 12);
        tabs->setCurrentIndex(0);
        EXPECT_EQ(tabs->currentIndex(), 0);
        // The summer tab ticked without eaters: Yes on OK takes it out.
        dlg.useBox(0)->setChecked(true);
        prompt.clear();
        prompt.answers = {Answer::Yes};
        dlg.accept();
        EXPECT_FALSE(dlg.useBox(0)->isChecked());
        EXPECT_EQ(dlg.result(), QDialog::Accepted);
    });
    EXPECT_TRUE(shown);
    EXPECT_TRUE(saved);
    const auto stored = stock::storedOrderingSetups(db());
    ASSERT_EQ(stored.size(), 1u);
    EXPECT_EQ(stored[0].planMenu, plan);
    EXPECT_EQ(stored[0].days, 3);
    EXPECT_EQ(stored[0].warehouse, 2);
    QStringList counts;
    for (const auto& e : stored[0].eaters)
        counts << QStringLiteral("%1=%2").arg(e.name).arg(e.count);
    EXPECT_EQ(counts, QStringList({"Сад=25", "Ясли=12"}));
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM AVTZAK1")), 0);
}

TEST_F(AutoOrderWin, CancelAfterChangesAsksToSave)
{
    storeSetUp();
    // Without changes Cancel just closes (opening gave the set-up its point of the diet type).
    EXPECT_FALSE(ui::editOrderingParameters(nullptr, db(), prompt, [](QDialog& d) { d.reject(); }));
    EXPECT_TRUE(prompt.messages().isEmpty());
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM AVTZAK_POINT")), 3);
    const QStringList before = dump(QStringLiteral("AVTZAK")) + dump(QStringLiteral("AVTZAK_POINT"));
    prompt.answers = {Answer::No};
    EXPECT_FALSE(ui::editOrderingParameters(nullptr, db(), prompt, [](QDialog& d) {
        auto& dlg = static_cast<ui::OrderingParametersDialog&>(d);
        EXPECT_TRUE(dlg.useBox(1)->isChecked());
        dlg.daysBox(1)->setValue(7);
        dlg.reject();
    }));
    EXPECT_EQ(prompt.messages(), QStringList({QStringLiteral("question: Были внесены изменения. Сохранить? => Нет")}));
    EXPECT_EQ(dump(QStringLiteral("AVTZAK")) + dump(QStringLiteral("AVTZAK_POINT")), before);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM AVTZAK1")), 0);
    // Yes saves.
    prompt.answers = {Answer::Yes};
    EXPECT_TRUE(ui::editOrderingParameters(nullptr, db(), prompt, [](QDialog& d) {
        static_cast<ui::OrderingParametersDialog&>(d).daysBox(1)->setValue(7);
        d.reject();
    }));
    EXPECT_EQ(count(QStringLiteral("SELECT day FROM AVTZAK")), 7);
}

TEST_F(AutoOrderWin, OrderFromTheWarehouseMenuAndTheOrdersJournal)
{
    storeSetUp();
    openMain();
    QMenu* store = main->menu(QStringLiteral("menuStore"));
    ASSERT_NE(store, nullptr);
    auto* command = store->findChild<QAction*>(QStringLiteral("mnuAvtZakaz"));
    ASSERT_NE(command, nullptr);
    EXPECT_EQ(command->text(), QStringLiteral("Автоматический заказ..."));
    EXPECT_TRUE(store->actions().contains(command));

    prompt.choices = {0};
    command->trigger();
    QApplication::processEvents();
    EXPECT_EQ(prompt.messages(), QStringList({QStringLiteral("choose: Основное => День 1")}));
    ASSERT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM orders")), 1);
    const qint64 first = count(QStringLiteral("SELECT id FROM orders"));
    auto* doc = active<ui::DocumentWindow>();
    ASSERT_NE(doc, nullptr);
    EXPECT_EQ(doc->documentId(), std::optional<qint64>(first));
    // Groats: 60 g × 100 g for 10 and × 200 g for 20 eaters, nothing in stock.
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM order_point WHERE id_orders = ?1 AND abs(quantity1 - 3) < 1e-9"),
                    {first}),
              1);

    ASSERT_TRUE(ui::openBookWindow(*main, db(), prompt, 28));
    ui::BookListWindow* journal = ui::findBookWindow(*main, 28);
    ASSERT_NE(journal, nullptr);
    QAction* key = journal->action(QStringLiteral("keyAvtZakaz"));
    ASSERT_NE(key, nullptr);
    EXPECT_EQ(key->text(), QStringLiteral("Автоматический заказ..."));
    prompt.clear();
    prompt.choices = {2};
    key->trigger();
    QApplication::processEvents();
    ASSERT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM orders")), 2);
    const qint64 second = count(QStringLiteral("SELECT MAX(id) FROM orders"));
    EXPECT_EQ(journal->currentId(), std::optional<qint64>(second));
    ASSERT_NE(active<ui::DocumentWindow>(), nullptr);
    EXPECT_EQ(active<ui::DocumentWindow>()->documentId(), std::optional<qint64>(second));

    // "Параметры автозаказа" of the service menu opens the dialog.
    QString opened;
    QTimer::singleShot(0, [&opened] {
        if (QWidget* w = QApplication::activeModalWidget()) {
            opened = w->objectName();
            w->close();
        }
    });
    main->runCommand(QStringLiteral("mnuAvtPrich"));
    EXPECT_EQ(opened, QStringLiteral("EditOrderingParameters"));
}

TEST_F(AutoOrderWin, ReminderOpensTheWriteOffItWrote)
{
    storeSetUp();
    db().exec(QStringLiteral("UPDATE INF SET AvtSpis = -1"));
    insert(QStringLiteral("INSERT INTO storage (id_product, quantity, cost, id_ed_izmer, status, rddate, IDSS, "
                          "date_realization) VALUES (?1, 2, 50, 901, -1, '2026-11-01', 1, '2026-12-01')"),
           {lineProduct});
    openMain();
    prompt.answers = {Answer::Yes};
    ui::remindAboutOrdering(*main, session);
    QApplication::processEvents();
    ASSERT_EQ(prompt.messages().size(), 2);
    EXPECT_EQ(prompt.messages()[0], QStringLiteral("info: Необходимо выполнить заказ продуктов."));
    const qint64 writeOff = count(QStringLiteral("SELECT MAX(id) FROM spisanie"));
    ASSERT_GT(writeOff, 0);
    auto* doc = active<ui::DocumentWindow>();
    ASSERT_NE(doc, nullptr);
    EXPECT_EQ(doc->documentId(), std::optional<qint64>(writeOff));
}

TEST_F(AutoOrderWin, WriteOffSwitchSaysWhatItsTickDoes)
{
    ui::frmParameters dlg(db(), prompt);
    auto* box = dlg.findChild<QCheckBox*>(QStringLiteral("chkAvtSpis"));
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->text(), QStringLiteral("Отключение автоматического списания"));
    EXPECT_TRUE(box->toolTip().contains(QStringLiteral("списать продукты с истекшим сроком годности")));
}

} // namespace
