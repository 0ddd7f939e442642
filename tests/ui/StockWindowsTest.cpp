// The store's windows offscreen: a receipt of two lots typed in the lot editor, saved and
// reopened (the grid shows what the file holds); an expense line from a lot and the document
// approved; the remnants list on two dates and per
// warehouse, with an opening balance entered; the menu-requirement window opened from a
// confirmed day menu, its quantities edited, a product replaced, re-created, and its working
// copy gone when it closes; the journal's add command.

#include "menu/DayMenuFixture.h"

#include "core/Settings.h"
#include "ui/BookListWindow.h"
#include "ui/BookWindows.h"
#include "ui/DayMenuJournal.h"
#include "ui/DocumentWindow.h"
#include "ui/MainWindow.h"
#include "ui/MenuRequirementWindow.h"
#include "ui/RemnantsWindow.h"
#include "ui/StockLineDialog.h"
#include "ui/StockWindows.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <memory>

using namespace rat;
using ui::DocumentMode;
using ui::DocumentWindow;

namespace {

QStringList gridRow(QTableWidget* grid, int r)
{
    QStringList out;
    for (int c = 0; c < grid->columnCount(); ++c)
        out << (grid->item(r, c) ? grid->item(r, c)->text() : QString());
    return out;
}

QStringList gridColumn(QTableWidget* grid, int c)
{
    QStringList out;
    for (int r = 0; r < grid->rowCount(); ++r)
        out << (grid->item(r, c) ? grid->item(r, c)->text() : QString());
    return out;
}

QStringList headerLabels(QTableWidget* grid)
{
    QStringList out;
    for (int c = 0; c < grid->columnCount(); ++c)
        out << grid->horizontalHeaderItem(c)->text();
    return out;
}

void pick(ui::StockLineDialog& d, const char* column, const QString& text)
{
    auto* box = qobject_cast<QComboBox*>(d.control(QString::fromLatin1(column)));
    ASSERT_NE(box, nullptr) << column;
    const int at = box->findText(text, Qt::MatchStartsWith);
    ASSERT_GE(at, 0) << text.toStdString();
    box->setCurrentIndex(at);
}

void typeText(ui::StockLineDialog& d, const char* column, const QString& text)
{
    auto* edit = qobject_cast<QLineEdit*>(d.control(QString::fromLatin1(column)));
    ASSERT_NE(edit, nullptr) << column;
    edit->setText(text);
    emit edit->textEdited(text);
}

// Screenshots go here when RAT_SCREENSHOTS names a folder.
QString shotDir()
{
    return qEnvironmentVariable("RAT_SCREENSHOTS");
}

void shoot(QWidget* w, const QString& name)
{
    if (shotDir().isEmpty())
        return;
    QDir().mkpath(shotDir());
    QApplication::processEvents();
    w->grab().save(shotDir() + QLatin1Char('/') + name + QStringLiteral(".png"));
}

// Milk in litres (no storage time), flour in kilograms kept 5 days, grain for the porridge.
class StockWin : public test::DayMenuFixture {
protected:
    void SetUp() override
    {
        DayMenuFixture::SetUp();
        Settings::setText(QStringLiteral("User"), QStringLiteral("vopr"), QStringLiteral("0"));
        db().execScript(QStringLiteral(
            "DELETE FROM STORAGES; DELETE FROM supplier; DELETE FROM expense; DELETE FROM spisanie_point; "
            "DELETE FROM replace; DELETE FROM MENUTR_POINT; DELETE FROM MENUTR1; DELETE FROM MENUTM1; "
            "DELETE FROM MENUTR_POINT1; "
            "INSERT INTO STORAGES (IDSS, name) VALUES (1, 'Основной склад'), (2, 'Овощехранилище'); "
            "INSERT OR REPLACE INTO ed_izmer (id, ename, koef) VALUES (902, 'л', 1000); "
            "INSERT INTO supplier (sname) VALUES ('Молокозавод')"));
        milk = insert(QStringLiteral("INSERT INTO products (pname, id_ed_izmer, rule_okr) VALUES ('Молоко', 902, 4)"));
        flour = insert(QStringLiteral("INSERT INTO products (pname, id_ed_izmer, rule_okr, time_storage, time_period) "
                                      "VALUES ('Мука', 901, 4, 5, 2)"));
        prompt.clear();
    }

    void TearDown() override
    {
        if (main) {
            main->mdiArea()->closeAllSubWindows();
            main.reset();
        }
        menu::setMenuRequirementGateway({});
        DayMenuFixture::TearDown();
    }

    void openMain()
    {
        main = std::make_unique<ui::MainWindow>(session);
        ui::installBookWindows(*main, session);
        ui::installDayMenuJournal(*main);
        ui::installStockWindows(*main, session);
        main->resize(1280, 860);
        main->show();
    }

    template <class W>
    W* active() const
    {
        QMdiSubWindow* sub = main->mdiArea()->activeSubWindow();
        return sub ? qobject_cast<W*>(sub->widget()) : nullptr;
    }

    template <class W>
    int windows() const
    {
        int n = 0;
        for (QMdiSubWindow* sub : main->mdiArea()->subWindowList())
            n += qobject_cast<W*>(sub->widget()) ? 1 : 0;
        return n;
    }

    static void closeChild(QWidget* w)
    {
        if (auto* sub = qobject_cast<QMdiSubWindow*>(w->parentWidget()))
            sub->close();
        else
            w->close();
        QApplication::processEvents();
    }

    qint64 directLot(qint64 product, double quantity, double cost, const QString& date, qint64 store = 1,
                     const QString& sellBy = QStringLiteral("2027-01-01"))
    {
        return insert(QStringLiteral("INSERT INTO storage (id_product, quantity, cost, id_ed_izmer, status, rddate, IDSS, "
                                     "date_realization) SELECT ?1, ?2, ?3, id_ed_izmer, -1, ?4, ?5, ?6 FROM products "
                                     "WHERE id = ?1"),
                      {product, quantity, cost, date, store, sellBy});
    }

    std::unique_ptr<ui::MainWindow> main;
    qint64 milk = 0, flour = 0;
};

TEST_F(StockWin, ReceiptOfTwoLotsIsSavedAndReopenedAsTheFileHoldsIt)
{
    db().exec(QStringLiteral("UPDATE INF SET NDS = -1, NDS_PR = 12"));
    db().exec(QStringLiteral("UPDATE products SET P_NDS = 10 WHERE id = ?1"), {flour});
    openMain();
    DocumentWindow* w = ui::openDocument(main.get(), db(), prompt, ui::docReceipt, std::nullopt, DocumentMode::New);
    ASSERT_NE(w, nullptr);
    qobject_cast<QDateEdit*>(w->control(QStringLiteral("rdate")))->setDate(QDate(2026, 12, 1));
    qobject_cast<QComboBox*>(w->control(QStringLiteral("id_supplier")))->setCurrentIndex(0);

    // The flour: its unit and sell-by date (the receipt date and 5 days) follow the product;
    // the VAT is the product's own 10 %.
    QStringList shownVat;
    QDate shownSellBy;
    w->showDialog = [&](QDialog& dialog) {
        auto* d = qobject_cast<ui::StockLineDialog*>(&dialog);
        ASSERT_NE(d, nullptr);
        pick(*d, "id_product", QStringLiteral("Мука"));
        EXPECT_EQ(qobject_cast<QComboBox*>(d->control(QStringLiteral("id_ed_izmer")))->currentText(),
                  QStringLiteral("кг"));
        shownSellBy = d->value(QStringLiteral("date_realization")).toDate();
        typeText(*d, "quantity", QStringLiteral("10"));
        typeText(*d, "cost", QStringLiteral("45"));
        typeText(*d, "tempHr", QStringLiteral("18"));
        shownVat << d->value(QStringLiteral("nds")).toString() << d->value(QStringLiteral("costNDS")).toString();
        shoot(d, QStringLiteral("lot-editor"));
        d->okButton()->click();
    };
    prompt.answers = {Answer::Yes};
    w->addLine();
    EXPECT_EQ(shownSellBy, QDate(2026, 12, 6));
    EXPECT_EQ(shownVat, QStringList({QStringLiteral("10"), QStringLiteral("49,50")}));
    ASSERT_TRUE(w->documentId());
    const qint64 id = *w->documentId();

    // The milk: a refused quantity keeps the editor open, then 5,5 l at 80,50 (general VAT 12 %)
    // in the second warehouse with the sell-by date typed over.
    int shown = 0;
    w->showDialog = [&](QDialog& dialog) {
        auto* d = qobject_cast<ui::StockLineDialog*>(&dialog);
        ASSERT_NE(d, nullptr);
        ++shown;
        pick(*d, "id_product", QStringLiteral("Молоко"));
        typeText(*d, "quantity", QStringLiteral("пять"));
        d->okButton()->click();
        EXPECT_TRUE(d->result() != QDialog::Accepted);
        typeText(*d, "quantity", QStringLiteral("5,5"));
        typeText(*d, "cost", QStringLiteral("80.5"));
        pick(*d, "IDSS", QStringLiteral("Овощехранилище"));
        qobject_cast<QDateEdit*>(d->control(QStringLiteral("date_realization")))->setDate(QDate(2026, 12, 3));
        d->okButton()->click();
    };
    prompt.clear();
    w->addLine();
    EXPECT_EQ(shown, 1);
    EXPECT_EQ(prompt.messages(),
              QStringList(QStringLiteral("warning: Значение \"пять\" поля \"Количество\" не корректно. Измените "
                                         "введенное значение.")));

    const QStringList columns = {QStringLiteral("Продукт"), QStringLiteral("Количество"), QStringLiteral("Ед.изм."),
                                 QStringLiteral("Цена, руб."), QStringLiteral("Температура хранения, °C"),
                                 QStringLiteral("Срок реализации"), QStringLiteral("Сумма, руб."),
                                 QStringLiteral("Сумма с НДС, руб."), QStringLiteral("Склад")};
    // What sqlite holds, row by row in the grid's order.
    const auto fromFile = [&] {
        std::vector<QStringList> rows;
        Statement st(db(), QStringLiteral("SELECT p.pname, s.quantity, e.ename, s.cost, s.tempHr, s.date_realization, "
                                          "s.cost * s.quantity, s.cost * s.quantity + s.sum_NDS, w.name FROM storage s "
                                          "JOIN products p ON p.id = s.id_product JOIN ed_izmer e ON e.id = s.id_ed_izmer "
                                          "JOIN STORAGES w ON w.IDSS = s.IDSS WHERE s.id_receipt = ?1 ORDER BY p.pname"));
        st.bind(1, id);
        const auto n = [](double v, int places) {
            return QString::number(v, 'f', places).replace(QLatin1Char('.'), QLatin1Char(','));
        };
        while (st.next())
            rows.push_back({st.toString(0), QString::number(st.toDouble(1)).replace(QLatin1Char('.'), QLatin1Char(',')),
                            st.toString(2), n(st.toDouble(3), 2), QString::number(st.toDouble(4)),
                            parseIsoDate(st.toString(5).left(10)).toString(QStringLiteral("dd.MM.yyyy")),
                            n(st.toDouble(6), 2), n(st.toDouble(7), 2), st.toString(8)});
        return rows;
    };
    const std::vector<QStringList> expected = {
        {QStringLiteral("Молоко"), QStringLiteral("5,5"), QStringLiteral("л"), QStringLiteral("80,50"),
         QStringLiteral("0"), QStringLiteral("03.12.2026"), QStringLiteral("442,75"), QStringLiteral("495,88"),
         QStringLiteral("Овощехранилище")},
        {QStringLiteral("Мука"), QStringLiteral("10"), QStringLiteral("кг"), QStringLiteral("45,00"),
         QStringLiteral("18"), QStringLiteral("06.12.2026"), QStringLiteral("450,00"), QStringLiteral("495,00"),
         QStringLiteral("Основной склад")}};
    EXPECT_EQ(fromFile(), expected);
    EXPECT_EQ(headerLabels(w->grid()), columns);
    ASSERT_EQ(w->grid()->rowCount(), 2);
    EXPECT_EQ(gridRow(w->grid(), 0), expected[0]);
    EXPECT_EQ(gridRow(w->grid(), 1), expected[1]);
    EXPECT_EQ(w->totalLabel()->text(), QStringLiteral("Итого: 892,75 руб."));
    EXPECT_DOUBLE_EQ(db().scalar(QStringLiteral("SELECT sum FROM receipt WHERE id = ?1"), {id}).toDouble(), 892.75);
    w->resize(w->sizeHint());
    shoot(w, QStringLiteral("receipt"));

    closeChild(w);
    EXPECT_EQ(windows<DocumentWindow>(), 0);
    DocumentWindow* again = ui::openDocument(main.get(), db(), prompt, ui::docReceipt, id, DocumentMode::Edit);
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(again->windowTitle(), QStringLiteral("Приход"));
    ASSERT_EQ(again->grid()->rowCount(), 2);
    EXPECT_EQ(gridRow(again->grid(), 0), expected[0]);
    EXPECT_EQ(gridRow(again->grid(), 1), expected[1]);
    EXPECT_EQ(again->totalLabel()->text(), QStringLiteral("Итого: 892,75 руб."));

    // The lot editor of an existing lot shows what it holds; deleting a line takes the lot away.
    again->selectRow(1);
    again->showDialog = [&](QDialog& dialog) {
        auto* d = qobject_cast<ui::StockLineDialog*>(&dialog);
        ASSERT_NE(d, nullptr);
        EXPECT_EQ(qobject_cast<QComboBox*>(d->control(QStringLiteral("id_product")))->currentText(),
                  QStringLiteral("Мука"));
        EXPECT_EQ(d->value(QStringLiteral("quantity")).toString(), QStringLiteral("10"));
        EXPECT_EQ(d->value(QStringLiteral("date_realization")).toDate(), QDate(2026, 12, 6));
        d->reject();
    };
    again->editLine();
    prompt.clear();
    prompt.answers = {Answer::Yes};
    again->selectRow(0);
    again->deleteLines();
    EXPECT_EQ(prompt.messages(), QStringList({QStringLiteral("question: Удалить выделенную строку? => Да"),
                                              QStringLiteral("info: Удалено строк: 1")}));
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM storage WHERE id_receipt = ?1"), {id}), 1);
    EXPECT_EQ(again->totalLabel()->text(), QStringLiteral("Итого: 450,00 руб."));
}

TEST_F(StockWin, RemnantsListOnTwoDatesPerWarehouseWithAnOpeningBalance)
{
    // Flour: 10 kg entered directly on 01.11, 2 kg issued on 04.12. Milk: an approved receipt of
    // 03.12, 5 l in the second warehouse.
    const qint64 flourLot = directLot(flour, 10, 40, QStringLiteral("2026-11-01"));
    const qint64 receipt = insert(QStringLiteral("INSERT INTO receipt ([№docum], rdate, status) VALUES ('П-7', "
                                                 "'2026-12-03', -1)"));
    insert(QStringLiteral("INSERT INTO storage (id_product, quantity, cost, id_ed_izmer, status, id_receipt, IDSS, "
                          "date_realization) VALUES (?1, 5, 80, 902, 0, ?2, 2, '2026-12-10')"),
           {milk, receipt});
    const qint64 issue =
        insert(QStringLiteral("INSERT INTO expence_docum ([№docum], ddate, status) VALUES ('1', '2026-12-04', -1)"));
    insert(QStringLiteral("INSERT INTO expense (id_storage, quantity, id_expence_docum) VALUES (?1, 2, ?2)"),
           {flourLot, issue});

    openMain();
    main->command(QStringLiteral("mnuOstatok"))->trigger();
    auto* w = active<ui::RemnantsWindow>();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->windowTitle(), QStringLiteral("Остатки на складе"));
    EXPECT_EQ(w->dateEdit()->date(), QDate(2026, 12, 5));
    EXPECT_EQ(w->warehouseBox()->currentText(), QStringLiteral("Все склады"));
    EXPECT_EQ(headerLabels(w->grid()),
              QStringList({QStringLiteral("Продукт"), QStringLiteral("Остаток"), QStringLiteral("Ед.изм."),
                           QStringLiteral("Цена, руб."), QStringLiteral("Сумма, руб."), QStringLiteral("Срок реализации"),
                           QStringLiteral("№ поставки"), QStringLiteral("Дата поставки"), QStringLiteral("Склад")}));
    EXPECT_EQ(gridColumn(w->grid(), 0), QStringList({QStringLiteral("Молоко"), QStringLiteral("Итого: Молоко"),
                                                     QStringLiteral("Мука"), QStringLiteral("Итого: Мука")}));
    EXPECT_EQ(gridColumn(w->grid(), 1),
              QStringList({QStringLiteral("5"), QStringLiteral("5"), QStringLiteral("8"), QStringLiteral("8")}));
    EXPECT_EQ(gridColumn(w->grid(), 6), QStringList({QStringLiteral("П-7"), QString(), QStringLiteral("Без № поставки"),
                                                     QString()}));
    EXPECT_EQ(gridRow(w->grid(), 1).mid(0, 3),
              QStringList({QStringLiteral("Итого: Молоко"), QStringLiteral("5"), QStringLiteral("л")}));
    EXPECT_EQ(w->totalLabel()->text(), QStringLiteral("Итого: 720,00 руб."));
    w->resize(w->sizeHint());
    shoot(w, QStringLiteral("remnants"));

    // Before the receipt and before the issue: the flour whole, no milk.
    w->dateEdit()->setDate(QDate(2026, 12, 2));
    EXPECT_EQ(gridColumn(w->grid(), 0), QStringList({QStringLiteral("Мука"), QStringLiteral("Итого: Мука")}));
    EXPECT_EQ(gridColumn(w->grid(), 1), QStringList({QStringLiteral("10"), QStringLiteral("10")}));
    EXPECT_FALSE(w->lotOfRow(1));
    EXPECT_EQ(w->lotOfRow(0), flourLot);

    // The second warehouse alone on the 5th.
    w->dateEdit()->setDate(QDate(2026, 12, 5));
    w->warehouseBox()->setCurrentIndex(w->warehouseBox()->findText(QStringLiteral("Овощехранилище")));
    EXPECT_EQ(gridColumn(w->grid(), 0), QStringList({QStringLiteral("Молоко"), QStringLiteral("Итого: Молоко")}));

    // An opening balance of milk, dated with the list's date.
    w->warehouseBox()->setCurrentIndex(0);
    w->showDialog = [&](QDialog& dialog) {
        auto* d = qobject_cast<ui::StockLineDialog*>(&dialog);
        ASSERT_NE(d, nullptr);
        EXPECT_EQ(d->value(QStringLiteral("rddate")).toDate(), QDate(2026, 12, 5));
        pick(*d, "id_product", QStringLiteral("Молоко"));
        typeText(*d, "quantity", QStringLiteral("2"));
        typeText(*d, "cost", QStringLiteral("70"));
        d->okButton()->click();
    };
    w->action(QStringLiteral("keyAdd"))->trigger();
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM storage WHERE id_product = ?1 AND status = -1 AND "
                                   "substr(rddate, 1, 10) = '2026-12-05' AND id_receipt IS NULL"),
                    {milk}),
              1);
    EXPECT_EQ(gridColumn(w->grid(), 0), QStringList({QStringLiteral("Молоко"), QStringLiteral("Молоко"),
                                                     QStringLiteral("Итого: Молоко"), QStringLiteral("Мука"),
                                                     QStringLiteral("Итого: Мука")}));
    EXPECT_EQ(gridColumn(w->grid(), 1).at(2), QStringLiteral("7"));
}

TEST_F(StockWin, ExpenseLineTakesFromALotAndTheDocumentIsApproved)
{
    const qint64 lot = directLot(flour, 10, 40, QStringLiteral("2026-11-01"));
    const qint64 pm = planMenu(QStringLiteral("Основное"), 2);
    eaterType(pm, QStringLiteral("Я"));
    openMain();
    DocumentWindow* w = ui::openDocument(main.get(), db(), prompt, ui::docExpense, std::nullopt, DocumentMode::New);
    ASSERT_NE(w, nullptr);
    // More than the lot holds is refused and the editor stays; then 3 kg for "Я".
    int refused = 0;
    w->showDialog = [&](QDialog& dialog) {
        auto* d = qobject_cast<ui::StockLineDialog*>(&dialog);
        ASSERT_NE(d, nullptr);
        auto* lots = qobject_cast<QComboBox*>(d->control(QStringLiteral("id_storage")));
        ASSERT_EQ(lots->count(), 1);
        EXPECT_TRUE(lots->itemText(0).startsWith(QStringLiteral("Мука — 10 кг"))) << lots->itemText(0).toStdString();
        lots->setCurrentIndex(0);
        typeText(*d, "quantity", QStringLiteral("12"));
        d->okButton()->click();
        refused += d->result() == QDialog::Accepted ? 0 : 1;
        typeText(*d, "quantity", QStringLiteral("3"));
        pick(*d, "id_type_eating", QStringLiteral("Я"));
        d->okButton()->click();
    };
    prompt.answers = {Answer::Yes};
    w->addLine();
    EXPECT_EQ(refused, 1);
    ASSERT_EQ(prompt.messages().size(), 2);
    EXPECT_TRUE(prompt.messages()[1].startsWith(QStringLiteral("warning: Количество превышает остаток партии")));
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM expense WHERE id_storage = ?1 AND quantity = 3"), {lot}), 1);
    ASSERT_EQ(w->grid()->rowCount(), 1);
    EXPECT_EQ(gridRow(w->grid(), 0),
              QStringList({QStringLiteral("Мука"), QStringLiteral("3"), QStringLiteral("кг"), QStringLiteral("40,00"),
                           QStringLiteral("120,00"), QStringLiteral("Я"), QStringLiteral("Без № поставки"),
                           QStringLiteral("Основной склад")}));
    EXPECT_EQ(w->totalLabel()->text(), QStringLiteral("Итого: 120,00 руб."));

    // OK: the document's question, "Да" approves it and the window closes.
    const qint64 id = *w->documentId();
    prompt.clear();
    prompt.answers = {Answer::Yes};
    w->okButton()->click();
    QApplication::processEvents();
    ASSERT_EQ(prompt.messages().size(), 1);
    EXPECT_TRUE(prompt.messages()[0].startsWith(QStringLiteral("question: Выполнить расход?")))
        << prompt.messages()[0].toStdString();
    EXPECT_EQ(count(QStringLiteral("SELECT status FROM expence_docum WHERE id = ?1"), {id}), -1);
    EXPECT_EQ(windows<DocumentWindow>(), 0);
}

// A day menu of porridge at breakfast: 10 eaters "Я" (150 g), 5 eaters "С" (200 g); 60 g of
// grain per 100 g of dish: 90 g and 120 g a portion, 0,9 and 0,6 kg in all. The store holds
// 1 kg of grain; rice replaces grain 120 g for 100 g.
class MenuReqWin : public StockWin {
protected:
    void SetUp() override
    {
        StockWin::SetUp();
        db().exec(QStringLiteral("UPDATE INF SET VestSkl = -1"));
        pm = planMenu(QStringLiteral("Основное"), 2);
        ya = eaterType(pm, QStringLiteral("Я"));
        sa = eaterType(pm, QStringLiteral("С"));
        breakfast = meal(QStringLiteral("Завтрак"));
        grain = product(QStringLiteral("Крупа"));
        rice = product(QStringLiteral("Рис"));
        lineProduct = grain;
        porridge = card(QStringLiteral("Каша"));
        yield(porridge, ya, 150);
        yield(porridge, sa, 200);
        db().exec(QStringLiteral("INSERT INTO replace (id_product, id_product_replace, pr_weight, repl_weight) "
                                 "VALUES (?1, ?2, 100, 120)"),
                  {grain, rice});
        directLot(grain, 1, 50, QStringLiteral("2026-11-01"));
        m = dayMenu(pm, QStringLiteral("3"));
        const qint64 p = point(m, porridge, breakfast);
        eaters(p, ya, 10);
        eaters(p, sa, 5);
        prompt.clear();
    }

    // Confirms the day menu in its document window: "Открыть меню-требование?" Yes.
    ui::MenuRequirementWindow* confirmDayMenu()
    {
        DocumentWindow* d = ui::openDocument(main.get(), db(), prompt, ui::docDayMenu, m, DocumentMode::Edit);
        EXPECT_NE(d, nullptr);
        if (!d)
            return nullptr;
        prompt.answers = {Answer::Yes};
        d->okButton()->click();
        QApplication::processEvents();
        return active<ui::MenuRequirementWindow>();
    }

    qint64 pm = 0, ya = 0, sa = 0, breakfast = 0, grain = 0, rice = 0, porridge = 0, m = 0;
    const QString changedQuestion = QStringLiteral(
        "question: Были внесены изменения в меню-требование. Выполнить расход и сохранить меню-требование? \"Да\" - "
        "сохранить меню-требование и выполнить расход, \"Нет\" - сохранить изменения в меню-требовании, \"Отмена\" - "
        "не сохранять изменения.");
};

TEST_F(MenuReqWin, OpenedFromAConfirmedDayMenuShowsItsLines)
{
    openMain();
    ui::MenuRequirementWindow* w = confirmDayMenu();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(prompt.messages().value(0),
              QStringLiteral("question: Открыть меню-требование? \"Да\" - открыть, \"Нет\" - сохранить меню на день "
                             "как черновик, \"Отмена\" - вернуться. => Да"));
    // A working copy for the window; the document is stored on its first save.
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM MENUTR")), 0);
    EXPECT_FALSE(w->documentId());
    ASSERT_TRUE(w->workingId());
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM MENUTR_POINT1 WHERE IDM1 = ?1"), {*w->workingId()}), 2);
    EXPECT_EQ(w->windowTitle(), QStringLiteral("Меню-требование № 3 от 05.12.2026*"));
    EXPECT_TRUE(w->isChanged());

    EXPECT_EQ(w->viewBox()->currentText(), QStringLiteral("Все довольствующиеся"));
    EXPECT_EQ(headerLabels(w->grid()).mid(0, 4),
              QStringList({QStringLiteral("Продукт"), QStringLiteral("Количество"), QStringLiteral("Ед.изм."),
                           QStringLiteral("Остаток на складе")}));
    ASSERT_EQ(w->grid()->rowCount(), 1);
    EXPECT_EQ(gridRow(w->grid(), 0).mid(0, 4),
              QStringList({QStringLiteral("Крупа"), QStringLiteral("1,5"), QStringLiteral("кг"), QStringLiteral("1")}));
    EXPECT_TRUE(w->shortageBox()->toPlainText().startsWith(QStringLiteral("Крупа ")));
    // The stock-sufficiency filter: the short product stays under "Недостаток", goes under "В достатке".
    EXPECT_EQ(w->sufficiencyBox()->currentText(), QStringLiteral("Все"));
    w->sufficiencyBox()->setCurrentIndex(1);
    EXPECT_EQ(w->grid()->rowCount(), 1);
    w->sufficiencyBox()->setCurrentIndex(2);
    EXPECT_EQ(w->grid()->rowCount(), 0);
    w->sufficiencyBox()->setCurrentIndex(0);
    w->resize(w->sizeHint());
    shoot(w, QStringLiteral("menu-requirement"));

    w->viewBox()->setCurrentIndex(1);
    EXPECT_EQ(w->viewBox()->currentText(), QStringLiteral("По типам довольствующихся"));
    ASSERT_EQ(w->grid()->rowCount(), 2);
    EXPECT_EQ(gridColumn(w->grid(), 0), QStringList({QStringLiteral("С"), QStringLiteral("Я")}));
    EXPECT_EQ(gridColumn(w->grid(), 5), QStringList({QStringLiteral("120"), QStringLiteral("90")}));
    EXPECT_EQ(gridColumn(w->grid(), 6), QStringList({QStringLiteral("0,6"), QStringLiteral("0,9")}));
    shoot(w, QStringLiteral("menu-requirement-by-types"));

    // A receipt approved meanwhile shows when the person comes back to the window.
    directLot(grain, 2, 50, QStringLiteral("2026-12-01"));
    w->activated();
    EXPECT_EQ(gridColumn(w->grid(), 8), QStringList({QStringLiteral("3"), QStringLiteral("3")}));
    EXPECT_TRUE(w->shortageBox()->toPlainText().isEmpty());

    // Closing with "Отмена" stores nothing and takes the working copy away.
    prompt.clear();
    prompt.answers = {Answer::Cancel};
    closeChild(w);
    EXPECT_EQ(prompt.messages(), QStringList(changedQuestion + QStringLiteral(" => Отмена")));
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM MENUTR")), 0);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM MENUTR1")), 0);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM MENUTR_POINT1")), 0);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM MENUTM1")), 0);
}

TEST_F(MenuReqWin, EditMarksTheCaptionAndIsStoredOrDroppedOnClosing)
{
    openMain();
    ui::MenuRequirementWindow* w = confirmDayMenu();
    ASSERT_NE(w, nullptr);
    // Saved with "Нет": stored as not approved, the caption loses its mark.
    prompt.clear();
    prompt.answers = {Answer::No};
    w->action(QStringLiteral("keySave"))->trigger();
    EXPECT_EQ(prompt.messages(), QStringList(QStringLiteral("question: Выполнить расход? => Нет")));
    ASSERT_TRUE(w->documentId());
    const qint64 idm = *w->documentId();
    EXPECT_EQ(w->windowTitle(), QStringLiteral("Меню-требование № 3 от 05.12.2026"));
    EXPECT_EQ(db().scalar(QStringLiteral("SELECT COALESCE(status, 0) FROM MENUTR WHERE IDM = ?1"), {idm}).toInt(), 0);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM expence_docum")), 0);
    const QStringList stored = dump(QStringLiteral("MENUTR_POINT"));

    w->viewBox()->setCurrentIndex(1);
    ASSERT_EQ(w->quantityColumn(), 6);
    // "Я" on the second row: 1,2 kg typed with a comma.
    prompt.clear();
    EXPECT_TRUE(w->setQuantity(1, QStringLiteral("1,2")));
    EXPECT_EQ(w->windowTitle(), QStringLiteral("Меню-требование № 3 от 05.12.2026*"));
    EXPECT_DOUBLE_EQ(db().scalar(QStringLiteral("SELECT kolv FROM MENUTR_POINT1 WHERE IDM1 = ?1 AND id_type_eating = ?2"),
                                 {*w->workingId(), ya})
                         .toDouble(),
                     1.2);
    EXPECT_EQ(gridColumn(w->grid(), 6), QStringList({QStringLiteral("0,6"), QStringLiteral("1,2")}));
    // Letters are refused and change nothing.
    EXPECT_FALSE(w->setQuantity(1, QStringLiteral("много")));
    EXPECT_EQ(prompt.messages(),
              QStringList(QStringLiteral("warning: Значение \"много\" поля \"Количество\" не корректно. Измените "
                                         "введенное значение.")));
    EXPECT_EQ(gridColumn(w->grid(), 6), QStringList({QStringLiteral("0,6"), QStringLiteral("1,2")}));

    // Closing: "Отмена" keeps the stored document as it was; the working copy goes.
    prompt.clear();
    prompt.answers = {Answer::Cancel};
    closeChild(w);
    EXPECT_EQ(prompt.messages(), QStringList(changedQuestion + QStringLiteral(" => Отмена")));
    EXPECT_EQ(dump(QStringLiteral("MENUTR_POINT")), stored);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM MENUTR1")), 0);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM MENUTR_POINT1")), 0);

    // Opened again from the journal, edited, "Нет": stored as not approved with the cost typed.
    ASSERT_TRUE(ui::openBookWindow(*main, db(), prompt, 44));
    ui::BookListWindow* journal = ui::findBookWindow(*main, 44);
    ASSERT_NE(journal, nullptr);
    ASSERT_TRUE(journal->selectId(idm));
    journal->editRow();
    w = active<ui::MenuRequirementWindow>();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->documentId(), idm);
    w->viewBox()->setCurrentIndex(1);
    EXPECT_TRUE(w->setQuantity(1, QStringLiteral("1,2")));
    w->costEdit()->setText(QStringLiteral("123,45"));
    prompt.clear();
    prompt.answers = {Answer::No};
    closeChild(w);
    EXPECT_EQ(prompt.messages(), QStringList(changedQuestion + QStringLiteral(" => Нет")));
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM MENUTR1")), 0);
    EXPECT_DOUBLE_EQ(db().scalar(QStringLiteral("SELECT kolv FROM MENUTR_POINT WHERE IDM = ?1 AND id_type_eating = ?2"),
                                 {idm, ya})
                         .toDouble(),
                     1.2);
    EXPECT_NEAR(db().scalar(QStringLiteral("SELECT stoim FROM MENUTR WHERE IDM = ?1"), {idm}).toDouble(), 123.45, 1e-4);
    EXPECT_EQ(db().scalar(QStringLiteral("SELECT COALESCE(status, 0) FROM MENUTR WHERE IDM = ?1"), {idm}).toInt(), 0);
}

TEST_F(MenuReqWin, ReplacementAndRecreation)
{
    openMain();
    ui::MenuRequirementWindow* w = confirmDayMenu();
    ASSERT_NE(w, nullptr);
    w->viewBox()->setCurrentIndex(1);
    w->grid()->selectRow(1);  // "Я": 90 g a portion
    QStringList labels;
    w->showDialog = [&](QDialog& dialog) {
        auto* d = qobject_cast<ui::ReplacementDialog*>(&dialog);
        ASSERT_NE(d, nullptr);
        labels << d->windowTitle();
        for (QLabel* l : d->findChildren<QLabel*>())
            labels << l->text();
        ASSERT_EQ(d->candidates()->count(), 1);
        EXPECT_TRUE(d->candidates()->item(0)->text().startsWith(QStringLiteral("Рис")));
        shoot(d, QStringLiteral("replacement"));
        d->okButton()->click();
    };
    w->action(QStringLiteral("keyReplace"))->trigger();
    ASSERT_FALSE(labels.isEmpty());
    EXPECT_TRUE(labels[0].startsWith(QStringLiteral("Замена продукта "))) << labels[0].toStdString();
    for (const char* text : {"Прием пищи:", "Категория блюда:", "Тип довольствующихся:", "Завтрак", "Каша", "Я"})
        EXPECT_TRUE(labels.contains(QString::fromUtf8(text))) << text;
    EXPECT_TRUE(w->windowTitle().endsWith(QLatin1Char('*')));
    // 90 g × 120 / 100 = 108 g a portion, 1,08 kg for ten.
    EXPECT_EQ(gridColumn(w->grid(), 3), QStringList({QStringLiteral("Крупа"), QStringLiteral("Рис")}));
    EXPECT_EQ(gridColumn(w->grid(), 5), QStringList({QStringLiteral("120"), QStringLiteral("108")}));
    EXPECT_EQ(gridColumn(w->grid(), 6), QStringList({QStringLiteral("0,6"), QStringLiteral("1,08")}));

    // Re-created from the day menu: the grain is back on both lines.
    prompt.clear();
    prompt.answers = {Answer::Yes};
    w->action(QStringLiteral("keyRecreate"))->trigger();
    EXPECT_EQ(prompt.messages().value(0),
              QStringLiteral("question: Создать заново меню-требование по меню на день? => Да"));
    EXPECT_EQ(gridColumn(w->grid(), 3), QStringList({QStringLiteral("Крупа"), QStringLiteral("Крупа")}));
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM MENUTR1")), 1);

    prompt.clear();
    prompt.answers = {Answer::No};
    closeChild(w);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM MENUTR_POINT1")), 0);
}

// A second lot of 1 kg that spoils first: the issue takes it whole before the older lot.
TEST_F(MenuReqWin, SavedWithAnIssueWritesTheApprovedExpense)
{
    const qint64 older = count(QStringLiteral("SELECT MAX(id) FROM storage"));
    const qint64 spoilsFirst = directLot(grain, 1, 60, QStringLiteral("2026-12-01"), 1, QStringLiteral("2026-12-20"));
    openMain();
    ui::MenuRequirementWindow* w = confirmDayMenu();
    ASSERT_NE(w, nullptr);
    prompt.clear();
    prompt.answers = {Answer::Yes};
    w->action(QStringLiteral("keySave"))->trigger();
    EXPECT_EQ(prompt.messages(), QStringList(QStringLiteral("question: Выполнить расход? => Да")));
    ASSERT_TRUE(w->documentId());
    const qint64 idm = *w->documentId();
    EXPECT_EQ(w->windowTitle(), QStringLiteral("Меню-требование № 3 от 05.12.2026"));
    EXPECT_EQ(db().scalar(QStringLiteral("SELECT status FROM MENUTR WHERE IDM = ?1"), {idm}).toInt(), -1);
    const qint64 expense = db().scalar(QStringLiteral("SELECT id_ex FROM MENUTR WHERE IDM = ?1"), {idm}).toLongLong();
    EXPECT_EQ(db().scalar(QStringLiteral("SELECT status FROM expence_docum WHERE id = ?1"), {expense}).toInt(), -1);
    QStringList lines;
    Statement st(db(), QStringLiteral("SELECT id_storage, quantity FROM expense WHERE id_expence_docum = ?1 ORDER BY id"));
    st.bind(1, expense);
    while (st.next())
        lines << QString::number(st.toInt64(0)) + QLatin1Char('=') + QString::number(st.toDouble(1));
    // "С" 0,6 kg, then "Я" 0,9 kg: the 0,4 kg left of the lot that spoils first, 0,5 kg of the older one.
    EXPECT_EQ(lines, QStringList({QString::number(spoilsFirst) + QStringLiteral("=0.6"),
                                  QString::number(spoilsFirst) + QStringLiteral("=0.4"),
                                  QString::number(older) + QStringLiteral("=0.5")}));
    EXPECT_EQ(db().scalar(QStringLiteral("SELECT status FROM day_menu WHERE id = ?1"), {m}).toInt(), -1);

    // Opened from the day menu, the window stays; closing an approved one asks nothing.
    EXPECT_EQ(active<ui::MenuRequirementWindow>(), w);
    prompt.clear();
    closeChild(w);
    EXPECT_TRUE(prompt.messages().isEmpty()) << prompt.messages().join('\n').toStdString();
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM MENUTR1")), 0);

    // Opened from the journal, OK issues again over the same expense document and closes the window.
    const QStringList issued = dump(QStringLiteral("expense"));
    ASSERT_TRUE(ui::openBookWindow(*main, db(), prompt, 44));
    ui::BookListWindow* journal = ui::findBookWindow(*main, 44);
    ASSERT_NE(journal, nullptr);
    ASSERT_TRUE(journal->selectId(idm));
    journal->editRow();
    w = active<ui::MenuRequirementWindow>();
    ASSERT_NE(w, nullptr);
    prompt.clear();
    prompt.answers = {Answer::Yes};
    w->findChild<QPushButton*>(QStringLiteral("cmdOK"))->click();
    QApplication::processEvents();
    EXPECT_EQ(prompt.messages(), QStringList(QStringLiteral("question: Выполнить расход? => Да")));
    EXPECT_EQ(windows<ui::MenuRequirementWindow>(), 0);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM expence_docum")), 1);
    EXPECT_EQ(dump(QStringLiteral("expense")).size(), issued.size());
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM MENUTR1")), 0);
}

TEST_F(MenuReqWin, JournalAddsOneForAChosenDayMenu)
{
    openMain();
    ASSERT_TRUE(ui::openBookWindow(*main, db(), prompt, 44));
    ui::BookListWindow* journal = ui::findBookWindow(*main, 44);
    ASSERT_NE(journal, nullptr);
    EXPECT_EQ(journal->windowTitle(), QStringLiteral("Журнал меню-требований"));
    prompt.choices = {0};
    journal->action(QStringLiteral("keyAdd"))->trigger();
    QApplication::processEvents();
    ASSERT_FALSE(prompt.messages().isEmpty());
    EXPECT_TRUE(prompt.messages()[0].startsWith(QStringLiteral("choose: Выберите меню на день:")))
        << prompt.messages()[0].toStdString();
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM MENUTR")), 0);
    auto* w = active<ui::MenuRequirementWindow>();
    ASSERT_NE(w, nullptr);
    EXPECT_FALSE(w->documentId());
    // Stored when the window closes with "Нет"; the journal lists it.
    prompt.clear();
    prompt.answers = {Answer::No};
    closeChild(w);
    EXPECT_EQ(prompt.messages(), QStringList(changedQuestion + QStringLiteral(" => Нет")));
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM MENUTR")), 1);
    EXPECT_EQ(journal->list().rows.size(), 1u);

    // Without any day menu nothing can be made.
    db().execScript(QStringLiteral("DELETE FROM MENUTR; DELETE FROM MENUTM; DELETE FROM MENUTR_POINT; "
                                   "DELETE FROM quantity_eating; DELETE FROM day_menu_point; DELETE FROM day_menu"));
    prompt.clear();
    journal->action(QStringLiteral("keyAdd"))->trigger();
    EXPECT_EQ(prompt.messages(),
              QStringList(QStringLiteral("info: Нет документов меню на день. Создание меню-требования невозможно.")));
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM MENUTR")), 0);
}

TEST_F(MenuReqWin, DayOperationButtonsOpenRealWindows)
{
    openMain();
    main->command(QStringLiteral("mnuOstatok"))->trigger();
    EXPECT_NE(active<ui::RemnantsWindow>(), nullptr);
    main->command(QStringLiteral("mnuReceip"))->trigger();
    auto* receipts = active<ui::BookListWindow>();
    ASSERT_NE(receipts, nullptr);
    EXPECT_EQ(receipts->entry(), 24);
    EXPECT_EQ(receipts->windowTitle(), QStringLiteral("Приход"));
    main->command(QStringLiteral("mnuM"))->trigger();
    auto* requirements = active<ui::BookListWindow>();
    ASSERT_NE(requirements, nullptr);
    EXPECT_EQ(requirements->entry(), 44);
    // The receipt journal opens the document window for a new receipt.
    receipts->action(QStringLiteral("keyAdd"))->trigger();
    auto* doc = active<DocumentWindow>();
    ASSERT_NE(doc, nullptr);
    EXPECT_EQ(doc->windowTitle(), QStringLiteral("Приход: Новое"));
}

// Without stock accounting approval writes no expense document: the save asks "Утвердить
// меню-требование?", the close questions speak of approval only.
TEST_F(MenuReqWin, WithoutStockAccountingApprovalIssuesNothing)
{
    db().exec(QStringLiteral("UPDATE INF SET VestSkl = 0"));
    openMain();
    ui::MenuRequirementWindow* w = confirmDayMenu();
    ASSERT_NE(w, nullptr);
    // Edited and closed with "Нет": stored as not approved.
    w->viewBox()->setCurrentIndex(1);
    EXPECT_TRUE(w->setQuantity(1, QStringLiteral("1,2")));
    prompt.clear();
    prompt.answers = {Answer::No};
    closeChild(w);
    EXPECT_EQ(prompt.messages(),
              QStringList(QStringLiteral("question: Были внесены изменения в меню-требование. Cохранить и утвердить "
                                         "меню-требование? \"Да\" - сохранить меню-требование и утвердить, \"Нет\" - "
                                         "сохранить изменения в меню-требовании, \"Отмена\" - не сохранять изменения. "
                                         "=> Нет")));
    const qint64 idm = count(QStringLiteral("SELECT MAX(IDM) FROM MENUTR"));
    EXPECT_EQ(db().scalar(QStringLiteral("SELECT COALESCE(status, 0) FROM MENUTR WHERE IDM = ?1"), {idm}).toInt(), 0);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM MENUTR1")), 0);

    // Opened from the journal and closed unchanged: the approval is offered; Yes approves.
    ASSERT_TRUE(ui::openBookWindow(*main, db(), prompt, 44));
    ui::BookListWindow* journal = ui::findBookWindow(*main, 44);
    ASSERT_NE(journal, nullptr);
    ASSERT_TRUE(journal->selectId(idm));
    journal->editRow();
    w = active<ui::MenuRequirementWindow>();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->documentId(), idm);
    prompt.clear();
    prompt.answers = {Answer::Yes};
    closeChild(w);
    EXPECT_EQ(prompt.messages(),
              QStringList(QStringLiteral("question: Данное меню-требование не утверждено. Утвердить меню-требование? => Да")));
    EXPECT_EQ(db().scalar(QStringLiteral("SELECT status FROM MENUTR WHERE IDM = ?1"), {idm}).toInt(), -1);
    EXPECT_DOUBLE_EQ(db().scalar(QStringLiteral("SELECT kolv FROM MENUTR_POINT WHERE IDM = ?1 AND id_type_eating = ?2"),
                                 {idm, ya})
                         .toDouble(),
                     1.2);

    // Opened again and saved with "Да": approved, still without an expense document; the day menu
    // is not marked as expensed.
    journal->activateWindow();
    ASSERT_TRUE(journal->selectId(idm));
    journal->editRow();
    w = active<ui::MenuRequirementWindow>();
    ASSERT_NE(w, nullptr);
    prompt.clear();
    prompt.answers = {Answer::Yes};
    w->action(QStringLiteral("keySave"))->trigger();
    EXPECT_EQ(prompt.messages(), QStringList(QStringLiteral("question: Утвердить меню-требование? => Да")));
    EXPECT_FALSE(w->windowTitle().endsWith(QLatin1Char('*')));
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM expence_docum")), 0);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM expense")), 0);
    EXPECT_EQ(db().scalar(QStringLiteral("SELECT COALESCE(status, 0) FROM day_menu WHERE id = ?1"), {m}).toInt(), 0);
    prompt.clear();
    closeChild(w);
    QApplication::processEvents();
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM MENUTR1")), 0);
}

// An approved write-off dated before an issued day, deleted from its journal: the later issue is
// made again after the two questions, over the lot the write-off gave back.
TEST_F(MenuReqWin, WriteOffDeletedFromItsJournalReissuesTheLaterDays)
{
    openMain();
    ui::MenuRequirementWindow* w = confirmDayMenu();
    ASSERT_NE(w, nullptr);
    prompt.answers = {Answer::Yes, Answer::Yes};  // the issue, and its shortage
    w->action(QStringLiteral("keySave"))->trigger();
    closeChild(w);
    const qint64 lot = count(QStringLiteral("SELECT MIN(id) FROM storage"));
    const qint64 writeOff = insert(QStringLiteral("INSERT INTO spisanie ([№docum], wdate, status, [sum]) "
                                                  "VALUES ('1', '2026-12-02', -1, 25)"));
    insert(QStringLiteral("INSERT INTO spisanie_point (id_spisanie, id_storage, quantity, why) VALUES (?1, ?2, 0.5, 'Порча')"),
           {writeOff, lot});
    ASSERT_TRUE(ui::openBookWindow(*main, db(), prompt, 25));
    ui::BookListWindow* journal = ui::findBookWindow(*main, 25);
    ASSERT_NE(journal, nullptr);
    ASSERT_TRUE(journal->selectId(writeOff));
    prompt.clear();
    prompt.answers = {Answer::Yes, Answer::Yes, Answer::Yes};
    journal->action(QStringLiteral("keyDel"))->trigger();
    QApplication::processEvents();
    const QStringList shown = prompt.messages();
    ASSERT_EQ(shown.size(), 4) << shown.join('\n').toStdString();
    EXPECT_TRUE(shown[0].startsWith(QStringLiteral("question: Удалить выделенн"))) << shown[0].toStdString();
    EXPECT_TRUE(shown[1].contains(QStringLiteral("начиная с даты 02.12.2026. Это может занять несколько минут.")));
    EXPECT_TRUE(shown[2].startsWith(QStringLiteral("question: Внимание: документы \"Расход\" будут заполнены заново.")));
    EXPECT_EQ(shown[3], QStringLiteral("info: Операция перерасчета остатков партий продуктов успешно выполнена."));
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM spisanie")), 0);
    // "С" 0,6 kg, "Я" 0,4 kg and the 0,5 kg short, all from the one lot: 1,5 kg at 50.
    EXPECT_DOUBLE_EQ(db().scalar(QStringLiteral("SELECT SUM(quantity) FROM expense")).toDouble(), 1.5);
    EXPECT_DOUBLE_EQ(db().scalar(QStringLiteral("SELECT sum FROM expence_docum")).toDouble(), 75);
}

} // namespace
