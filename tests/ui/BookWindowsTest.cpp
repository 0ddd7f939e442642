// The reference-book windows inside the main window: the list window opened from its menu
// command, rows added, edited, copied and deleted through the record editor, the search, the
// reload, the status line, the parent filter of a dependent book, and the editor's controls
// and keys.

#include "core/Database.h"
#include "core/DatabaseSession.h"
#include "core/Startup.h"
#include "refbooks/BookCatalogue.h"
#include "refbooks/RecordEditor.h"
#include "support/ScriptedPrompt.h"
#include "support/TestEnv.h"
#include "ui/BookWindows.h"
#include "ui/ProductWindow.h"
#include "ui/MainWindow.h"
#include "ui/MainWindowFixture.h"
#include "ui/RecordEditorDialog.h"
#include "menu/MenuModule.h"
#include "menu/Norms.h"
#include "ui/BookListWindow.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QDialog>
#include <QDir>
#include <QFontMetrics>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QTimeEdit>
#include <QTimer>
#include <QToolBar>
#include <functional>
#include <gtest/gtest.h>

using namespace rat;
using ui::BookListWindow;
using ui::RecordEditorDialog;
using test::press;
using test::type;

namespace {

QStringList column(const BookListWindow* w, int c)
{
    QStringList out;
    for (const QStringList& row : w->list().rows)
        out << row.value(c);
    return out;
}

QStringList itemsOf(const QComboBox* box)
{
    QStringList out;
    for (int i = 0; i < box->count(); ++i)
        out << box->itemText(i);
    return out;
}

QStringList statusLine(const BookListWindow* w)
{
    return {w->rowLabel()->text(), w->totalLabel()->text(), w->selectedLabel()->text()};
}

class BookWindows : public test::MainWindowFixture {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(createAndFillDatabase(session, env.path(QStringLiteral("books.db"))))
            << prompt.messages().join('\n').toStdString();
        prompt.clear();
        window = std::make_unique<ui::MainWindow>(session);
        ui::installBookWindows(*window, session);
        window->show();
    }

    qint64 insert(const QString& sql, const std::vector<QVariant>& params = {})
    {
        db().exec(sql, params);
        return db().lastInsertId();
    }

    qint64 count(const QString& table) { return db().scalar(QStringLiteral("SELECT COUNT(*) FROM ") + table).toLongLong(); }

    void addCategories(std::initializer_list<const char*> names)
    {
        for (const char* n : names)
            insert(QStringLiteral("INSERT INTO type_meal (tname) VALUES (?1)"), {QString::fromUtf8(n)});
    }

};

TEST_F(BookWindows, MenuCommandOpensOneListWindowWithItsCommands)
{
    addCategories({"Супы", "Напитки"});
    BookListWindow* list = run("mnuTMeal");
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->objectName(), QStringLiteral("frmSprav"));
    EXPECT_EQ(list->windowTitle(), QStringLiteral("Категории блюд"));
    EXPECT_EQ(list->parentFilter(), nullptr);
    EXPECT_EQ(column(list, 0), QStringList({QStringLiteral("Напитки"), QStringLiteral("Супы")}));
    // The key is the grid's last column, hidden.
    EXPECT_EQ(list->grid()->model()->columnCount(), 2);
    EXPECT_TRUE(list->grid()->isColumnHidden(1));
    EXPECT_FALSE(list->grid()->isColumnHidden(0));

    QStringList keys;
    for (QAction* a : list->toolBar()->actions())
        if (!a->isSeparator())
            keys << a->objectName() + QLatin1Char('=') + a->text();
    EXPECT_EQ(keys, QStringList({QStringLiteral("keyAdd=Добавить"), QStringLiteral("keyEdit=Изменить"),
                                 QStringLiteral("keyCopy=Копировать"), QStringLiteral("keyDel=Удалить"),
                                 QStringLiteral("keyFind=Найти"), QStringLiteral("keyper=Обновить"),
                                 QStringLiteral("PrintV=Печать"), QStringLiteral("PrintV1=Печать выделенных строк")}));

    EXPECT_EQ(list->contextMenu()->title(), QStringLiteral("Действия"));
    QStringList menu;
    for (QAction* a : list->contextMenu()->actions())
        if (!a->isSeparator())
            menu << a->text();
    EXPECT_EQ(menu, QStringList({QStringLiteral("Найти блюдо"), QStringLiteral("Новая строка"),
                                 QStringLiteral("Изменить (открыть)"), QStringLiteral("Копировать строку"),
                                 QStringLiteral("Удалить строку")}));

    // The first row is current on opening.
    EXPECT_EQ(statusLine(list), QStringList({QStringLiteral("Строка: 1"), QStringLiteral("Всего строк: 2"),
                                             QStringLiteral("Выделено строк: 1")}));

    // The same command again brings the open window forward instead of a second one.
    window->mdiArea()->addSubWindow(new QWidget)->show();
    EXPECT_EQ(run("mnuTMeal"), list);
    EXPECT_EQ(window->mdiArea()->subWindowList().size(), 2);
    EXPECT_TRUE(prompt.events.isEmpty()) << prompt.events.join('\n').toStdString();
}

TEST_F(BookWindows, BooksShowTheirOwnCommandsAndNumberColumns)
{
    BookListWindow* vitamins = run("mnuVitamin");
    ASSERT_NE(vitamins, nullptr);
    ASSERT_NE(vitamins->action(QStringLiteral("keyVich")), nullptr);
    EXPECT_EQ(vitamins->action(QStringLiteral("keyVich"))->text(), QStringLiteral("Включить все витамины"));
    EXPECT_EQ(vitamins->action(QStringLiteral("keyCopy1")), nullptr);
    // Every vitamin is included after Yes; the list shows it at once.
    db().exec(QStringLiteral("UPDATE vitamin SET ispCard = 0"));
    vitamins->reload();
    EXPECT_FALSE(column(vitamins, 2).contains(QStringLiteral("Да")));
    prompt.answers = {Answer::Yes};
    vitamins->action(QStringLiteral("keyVich"))->trigger();
    EXPECT_EQ(prompt.events, QStringList(QStringLiteral("question: Включить в рассчет все витамины? => Да")));
    EXPECT_FALSE(column(vitamins, 2).contains(QStringLiteral("Нет")));
    EXPECT_EQ(db().scalar(QStringLiteral("SELECT COUNT(*) FROM vitamin WHERE ispCard = 0")).toLongLong(), 0);

    insert(QStringLiteral("INSERT INTO product_group (pname) VALUES ('Овощи')"));
    BookListWindow* products = run("mnuProducts1");
    ASSERT_NE(products, nullptr);
    EXPECT_EQ(products->action(QStringLiteral("keyFind"))->text(), QStringLiteral("Найти продукт"));
    BookListWindow* substitutes = nullptr;
    insert(QStringLiteral("INSERT INTO products (pname, id_product_group) VALUES ('Морковь', 1)"));
    substitutes = run("mnuReplace");
    ASSERT_NE(substitutes, nullptr);
    ASSERT_NE(substitutes->action(QStringLiteral("keyCopy1")), nullptr);
    EXPECT_EQ(substitutes->action(QStringLiteral("keyCopy1"))->text(),
              QStringLiteral("Копировать все продукты-заменители"));

    // Numbers stand to the right, texts to the left; the catalogue's width (2500 twips) holds.
    insert(QStringLiteral("INSERT INTO ed_izmer (ename, koef) VALUES ('ящик', 12000)"));
    BookListWindow* units = run("mnuEdIzmer");
    ASSERT_NE(units, nullptr);
    const int row = units->list().rowOf(db().lastInsertId());
    ASSERT_GE(row, 0);
    const QAbstractItemModel* m = units->grid()->model();
    EXPECT_EQ(m->index(row, 1).data().toString(), QStringLiteral("12000,000"));
    EXPECT_EQ(Qt::Alignment(m->index(row, 1).data(Qt::TextAlignmentRole).toInt()) & Qt::AlignHorizontal_Mask,
              Qt::AlignRight);
    EXPECT_EQ(Qt::Alignment(m->index(row, 0).data(Qt::TextAlignmentRole).toInt()) & Qt::AlignHorizontal_Mask,
              Qt::AlignLeft);
    EXPECT_EQ(units->grid()->columnWidth(0), 2500 * units->logicalDpiX() / 1440);
}

TEST_F(BookWindows, OwnModuleSuppliesTheBulkCopyAndTheRowWindow)
{
    const qint64 vegetables = insert(QStringLiteral("INSERT INTO product_group (pname) VALUES ('Овощи')"));
    const qint64 fruit = insert(QStringLiteral("INSERT INTO product_group (pname) VALUES ('Фрукты')"));
    const qint64 carrot = insert(QStringLiteral("INSERT INTO products (pname, id_product_group) VALUES ('Морковь', ?1)"),
                                 {vegetables});
    BookListWindow* substitutes = run("mnuReplace");
    ASSERT_NE(substitutes, nullptr);
    // Without the module's copy the command says it is not there.
    substitutes->action(QStringLiteral("keyCopy1"))->trigger();
    EXPECT_EQ(prompt.events, QStringList(QStringLiteral("info: ") + ui::MainWindow::notAvailableText()));

    // With it: the chosen product's rows are copied and the list is read again.
    std::vector<qint64> copiedFrom;
    ui::BookWindowHooks copyHooks;
    copyHooks.bulkCopy = [&](Database& d, Prompt&, qint64 product) {
                                                         copiedFrom.push_back(product);
                                                         d.exec(QStringLiteral("INSERT INTO [replace] (id_product, "
                                                                               "id_product_replace, repl_weight, "
                                                                               "pr_weight) VALUES (?1, ?1, 1, 1)"),
                                                                {product});
                                                         return true;
                                                     };
    ui::setBookWindowHooks(books::entrySubstitutions, copyHooks);
    substitutes->action(QStringLiteral("keyCopy1"))->trigger();
    ui::setBookWindowHooks(books::entrySubstitutions, {});
    EXPECT_EQ(copiedFrom, std::vector<qint64>{carrot});
    EXPECT_EQ(substitutes->list().rowCount(), 1);

    // A product saved in the product's own window under another group: the list follows it.
    BookListWindow* products = run("mnuProducts1");
    ASSERT_NE(products, nullptr);
    ASSERT_EQ(products->parentId(), vegetables);
    std::optional<qint64> shownFor;
    ui::BookWindowHooks windowHooks;
    windowHooks.recordWindow = [&](QWidget*, Database& d, Prompt&, books::EditMode mode, std::optional<qint64>,
                                    std::optional<qint64> group) -> std::optional<qint64> {
                                EXPECT_EQ(mode, books::EditMode::Add);
                                shownFor = group;
                                d.exec(QStringLiteral("INSERT INTO products (pname, id_product_group) VALUES "
                                                      "('Яблоки', ?1)"),
                                       {fruit});
                                return d.lastInsertId();
                            };
    ui::setBookWindowHooks(books::entryProducts, windowHooks);
    products->addRow();
    ui::setBookWindowHooks(books::entryProducts, {});
    EXPECT_EQ(shownFor, vegetables);
    EXPECT_EQ(products->parentId(), fruit);
    EXPECT_EQ(column(products, 0), QStringList(QStringLiteral("Яблоки")));
    EXPECT_EQ(products->currentRow(), 0);
}

TEST_F(BookWindows, RowAddedEditedCopiedAndDeletedThroughTheEditor)
{
    addCategories({"Напитки"});
    BookListWindow* list = run("mnuTMeal");
    ASSERT_NE(list, nullptr);

    // Add (Insert on the grid): the editor opens captioned as a new row; the typed name is saved.
    QString caption;
    list->showDialog = [&](QDialog& d) {
        auto& dialog = static_cast<RecordEditorDialog&>(d);
        caption = dialog.windowTitle();
        EXPECT_EQ(dialog.objectName(), QStringLiteral("frmSD1"));
        EXPECT_EQ(dialog.okButton()->text(), QStringLiteral("ОК"));
        EXPECT_EQ(dialog.cancelButton()->text(), QStringLiteral("Отмена"));
        auto* name = qobject_cast<QLineEdit*>(dialog.control(QStringLiteral("tname")));
        ASSERT_NE(name, nullptr);
        EXPECT_EQ(name->maxLength(), 255);
        type(name, QStringLiteral("Супы"));
        dialog.okButton()->click();
        EXPECT_EQ(dialog.result(), QDialog::Accepted);
    };
    press(list->grid(), Qt::Key_Insert);
    EXPECT_EQ(caption, QStringLiteral("Категория блюд: Новая"));
    const qint64 soups = db().scalar(QStringLiteral("SELECT id FROM type_meal WHERE tname = 'Супы'")).toLongLong();
    ASSERT_GT(soups, 0);
    EXPECT_EQ(column(list, 0), QStringList({QStringLiteral("Напитки"), QStringLiteral("Супы")}));
    EXPECT_EQ(list->currentId(), soups);
    EXPECT_EQ(statusLine(list), QStringList({QStringLiteral("Строка: 2"), QStringLiteral("Всего строк: 2"),
                                             QStringLiteral("Выделено строк: 1")}));

    // Edit (Enter on the grid): the editor shows the row; the name is typed over.
    list->showDialog = [&](QDialog& d) {
        auto& dialog = static_cast<RecordEditorDialog&>(d);
        caption = dialog.windowTitle();
        auto* name = qobject_cast<QLineEdit*>(dialog.control(QStringLiteral("tname")));
        ASSERT_NE(name, nullptr);
        EXPECT_EQ(name->text(), QStringLiteral("Супы"));
        name->selectAll();
        type(name, QStringLiteral("Первые блюда"));
        dialog.okButton()->click();
    };
    press(list->grid(), Qt::Key_Return);
    EXPECT_EQ(caption, QStringLiteral("Категория блюд: Супы"));
    EXPECT_EQ(db().scalar(QStringLiteral("SELECT tname FROM type_meal WHERE id = ?1"), {soups}).toString(),
              QStringLiteral("Первые блюда"));
    EXPECT_EQ(column(list, 0), QStringList({QStringLiteral("Напитки"), QStringLiteral("Первые блюда")}));
    EXPECT_EQ(list->currentId(), soups);

    // Copy with the same name: refused by the editor, which stays open; then Cancel, and the
    // changed row is not saved after No.
    list->showDialog = [&](QDialog& d) {
        auto& dialog = static_cast<RecordEditorDialog&>(d);
        caption = dialog.windowTitle();
        dialog.okButton()->click();
        EXPECT_FALSE(dialog.savedId().has_value());
        type(dialog.control(QStringLiteral("tname")), QStringLiteral("!"));
        prompt.answers = {Answer::No};
        dialog.cancelButton()->click();
        EXPECT_EQ(dialog.result(), QDialog::Rejected);
    };
    prompt.clear();
    list->contextMenu()->findChild<QAction*>(QStringLiteral("mnuDS3"))->trigger();
    EXPECT_EQ(caption, QStringLiteral("Категория блюд: Первые блюда"));
    EXPECT_EQ(prompt.events,
              QStringList({QStringLiteral("warning: Значение \"Первые блюда\" поля \"Категория блюд\" уже имеется в "
                                          "другой строке справочника. Измените введенное значение."),
                           QStringLiteral("question: Сохранить изменения? => Нет")}));
    EXPECT_EQ(count(QStringLiteral("type_meal")), 2);

    // Delete (Delete on the grid), answered Yes: the status texts, then the list without it.
    prompt.clear();
    prompt.answers = {Answer::Yes};
    press(list->grid(), Qt::Key_Delete);
    EXPECT_EQ(prompt.events, QStringList({QStringLiteral("question: Удалить выделенную строку? => Да"),
                                          QStringLiteral("status: Идет удаление строк..."),
                                          QStringLiteral("status: Удалено строк: 1")}));
    EXPECT_EQ(count(QStringLiteral("type_meal")), 1);
    EXPECT_EQ(column(list, 0), QStringList(QStringLiteral("Напитки")));
    EXPECT_EQ(statusLine(list), QStringList({QStringLiteral("Строка: 1"), QStringLiteral("Всего строк: 1"),
                                             QStringLiteral("Выделено строк: 1")}));

    // Answered No, nothing is deleted and no status text is shown.
    prompt.clear();
    prompt.answers = {Answer::No};
    window->command(QStringLiteral("mnuDS4"))->trigger();
    EXPECT_EQ(prompt.events, QStringList(QStringLiteral("question: Удалить выделенную строку? => Нет")));
    EXPECT_EQ(count(QStringLiteral("type_meal")), 1);
}

TEST_F(BookWindows, MainWindowActionsReachTheListAndSeveralRowsAreDeleted)
{
    addCategories({"Супы", "Напитки", "Салаты", "Вторые блюда"});
    BookListWindow* list = run("mnuTMeal");
    ASSERT_NE(list, nullptr);

    // "Новая строка" of the main window's Действия menu opens the editor of this list.
    int opened = 0;
    list->showDialog = [&](QDialog& d) {
        ++opened;
        EXPECT_EQ(d.windowTitle(), QStringLiteral("Категория блюд: Новая"));
        d.reject();  // nothing typed: closes without a question
    };
    window->command(QStringLiteral("mnuDS1"))->trigger();
    EXPECT_EQ(opened, 1);
    EXPECT_TRUE(prompt.events.isEmpty()) << prompt.events.join('\n').toStdString();

    // Rows 2 and 3 selected: "Напитки", "Салаты".
    list->selectRow(1);
    list->grid()->selectionModel()->select(list->grid()->model()->index(2, 0),
                                           QItemSelectionModel::Select | QItemSelectionModel::Rows);
    EXPECT_EQ(statusLine(list), QStringList({QStringLiteral("Строка: 2"), QStringLiteral("Всего строк: 4"),
                                             QStringLiteral("Выделено строк: 2")}));
    prompt.answers = {Answer::Yes};
    window->command(QStringLiteral("mnuDS4"))->trigger();
    EXPECT_EQ(prompt.events, QStringList({QStringLiteral("question: Удалить выделенные строки? => Да"),
                                          QStringLiteral("status: Идет удаление строк..."),
                                          QStringLiteral("status: Удалено строк: 2")}));
    EXPECT_EQ(column(list, 0), QStringList({QStringLiteral("Вторые блюда"), QStringLiteral("Супы")}));
    // The row after the deleted ones takes their place.
    EXPECT_EQ(list->list().rows[size_t(list->currentRow())].value(0), QStringLiteral("Супы"));
}

TEST_F(BookWindows, SearchFindsRowsDownwardThenEnds)
{
    addCategories({"Супы", "Напитки", "Салаты", "Вторые блюда"});
    BookListWindow* list = run("mnuTMeal");
    ASSERT_NE(list, nullptr);
    ASSERT_EQ(column(list, 0), QStringList({QStringLiteral("Вторые блюда"), QStringLiteral("Напитки"),
                                            QStringLiteral("Салаты"), QStringLiteral("Супы")}));

    QString caption, okText;
    QStringList columns;
    list->showDialog = [&](QDialog& d) {
        auto& dialog = static_cast<RecordEditorDialog&>(d);
        caption = dialog.windowTitle();
        okText = dialog.okButton()->text();
        columns = itemsOf(dialog.searchColumnBox());
        type(dialog.sampleEdit(), QStringLiteral("Ы"));
        dialog.okButton()->click();
    };
    window->command(QStringLiteral("mnuPoisk"))->trigger();
    EXPECT_EQ(caption, QStringLiteral("Найти: Категории блюд"));
    EXPECT_EQ(okText, QStringLiteral("Найти далее"));
    EXPECT_EQ(columns, QStringList(QStringLiteral("Наименование")));
    // From the row after the current one ("Вторые блюда"): letter case ignored.
    EXPECT_EQ(list->currentRow(), 2);
    EXPECT_TRUE(prompt.events.isEmpty());

    window->command(QStringLiteral("mnuPoiskd"))->trigger();
    EXPECT_EQ(list->currentRow(), 3);
    window->command(QStringLiteral("mnuPoiskd"))->trigger();
    EXPECT_EQ(list->currentRow(), 3);
    EXPECT_EQ(prompt.events, QStringList(QStringLiteral("info: Поиск завершен.")));

    // A sample no row has; the dialog offers the last search again.
    prompt.clear();
    QString offered;
    list->showDialog = [&](QDialog& d) {
        auto& dialog = static_cast<RecordEditorDialog&>(d);
        offered = dialog.sample();
        dialog.sampleEdit()->selectAll();
        type(dialog.sampleEdit(), QStringLiteral("компот"));
        dialog.okButton()->click();
    };
    list->action(QStringLiteral("keyFind"))->trigger();
    EXPECT_EQ(offered, QStringLiteral("Ы"));
    EXPECT_EQ(prompt.events, QStringList(QStringLiteral("info: Поиск завершен. Образец не найден")));

    // An empty book: no search dialog at all.
    prompt.clear();
    db().exec(QStringLiteral("DELETE FROM type_meal"));
    list->reload();
    int shown = 0;
    list->showDialog = [&](QDialog&) { ++shown; };
    list->find();
    EXPECT_EQ(shown, 0);
    EXPECT_EQ(prompt.events, QStringList(QStringLiteral("info: Справочник пуст! Поиск невозможен.")));
}

TEST_F(BookWindows, RefreshReadsNewRowsAndKeepsTheCurrentRow)
{
    addCategories({"Супы", "Напитки", "Салаты"});
    BookListWindow* list = run("mnuTMeal");
    ASSERT_NE(list, nullptr);
    list->selectRow(1);  // "Салаты"
    const auto salads = list->currentId();
    addCategories({"Компоты", "Бульоны"});
    EXPECT_EQ(list->list().rowCount(), 3);

    window->command(QStringLiteral("mnuViewRefresh"))->trigger();
    EXPECT_EQ(column(list, 0), QStringList({QStringLiteral("Бульоны"), QStringLiteral("Компоты"), QStringLiteral("Напитки"),
                                            QStringLiteral("Салаты"), QStringLiteral("Супы")}));
    EXPECT_EQ(list->currentId(), salads);
    EXPECT_EQ(statusLine(list), QStringList({QStringLiteral("Строка: 4"), QStringLiteral("Всего строк: 5"),
                                             QStringLiteral("Выделено строк: 1")}));

    // The toolbar's keyper and F5 on a window of its own do the same.
    addCategories({"Ягоды"});
    list->action(QStringLiteral("keyper"))->trigger();
    EXPECT_EQ(list->list().rowCount(), 6);
    EXPECT_EQ(list->currentId(), salads);
    addCategories({"Хлеб"});
    BookListWindow alone(db(), prompt, books::entryDishCategories);
    alone.selectRow(4);
    const auto current = alone.currentId();
    addCategories({"Десерты"});
    press(&alone, Qt::Key_F5);
    EXPECT_EQ(alone.list().rowCount(), 8);
    EXPECT_EQ(alone.currentId(), current);
    EXPECT_TRUE(prompt.events.isEmpty());
}

TEST_F(BookWindows, DependentBookShowsTheChosenParentsRows)
{
    const qint64 vegetables = insert(QStringLiteral("INSERT INTO product_group (pname) VALUES ('Овощи')"));
    const qint64 carrot = insert(QStringLiteral("INSERT INTO products (pname, id_product_group) VALUES ('Морковь', ?1)"),
                                 {vegetables});
    const qint64 cabbage = insert(
        QStringLiteral("INSERT INTO products (pname, id_product_group) VALUES ('Капуста', ?1)"), {vegetables});
    const qint64 vitaminC = db().scalar(QStringLiteral("SELECT id FROM vitamin WHERE shname = 'C'")).toLongLong();
    const qint64 calcium = db().scalar(QStringLiteral("SELECT id FROM vitamin WHERE shname = 'Ca'")).toLongLong();
    ASSERT_GT(vitaminC, 0);
    ASSERT_GT(calcium, 0);
    const QString vitaminCName =
        db().scalar(QStringLiteral("SELECT vname FROM vitamin WHERE id = ?1"), {vitaminC}).toString();
    const QString calciumName = db().scalar(QStringLiteral("SELECT vname FROM vitamin WHERE id = ?1"), {calcium}).toString();
    const QString addC = QStringLiteral("INSERT INTO vitamin_quantity (id_product, id_vitamin, quantity) VALUES (?1, ?2, ?3)");
    insert(addC, {carrot, vitaminC, 5.0});
    insert(addC, {cabbage, vitaminC, 45.0});
    insert(addC, {cabbage, calcium, 48.0});

    BookListWindow* list = run("mnuVitaKol");
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->windowTitle(), QStringLiteral("Содержание витаминов и минералов"));
    ASSERT_NE(list->parentFilter(), nullptr);
    QStringList labels;
    for (const QLabel* l : list->findChildren<QLabel*>())
        labels << l->text();
    EXPECT_TRUE(labels.contains(QStringLiteral("Выберите продукт"))) << labels.join('|').toStdString();
    // Products by name, the first one chosen.
    EXPECT_EQ(itemsOf(list->parentFilter()), QStringList({QStringLiteral("Капуста"), QStringLiteral("Морковь")}));
    EXPECT_EQ(list->parentFilter()->currentIndex(), 0);
    EXPECT_EQ(list->parentId(), cabbage);
    EXPECT_EQ(list->list().rowCount(), 2);
    EXPECT_EQ(column(list, 1), (vitaminCName.compare(calciumName) < 0 ? QStringList({"45,000", "48,000"})
                                                                       : QStringList({"48,000", "45,000"})));

    list->parentFilter()->setCurrentIndex(1);
    EXPECT_EQ(column(list, 0), QStringList(vitaminCName));
    EXPECT_EQ(column(list, 1), QStringList(QStringLiteral("5,000")));
    EXPECT_EQ(statusLine(list), QStringList({QStringLiteral("Строка: 1"), QStringLiteral("Всего строк: 1"),
                                             QStringLiteral("Выделено строк: 1")}));

    // A new row is for the chosen product: the editor starts with it.
    list->showDialog = [&](QDialog& d) {
        auto& dialog = static_cast<RecordEditorDialog&>(d);
        auto* product = qobject_cast<QComboBox*>(dialog.control(QStringLiteral("id_product")));
        auto* vitamin = qobject_cast<QComboBox*>(dialog.control(QStringLiteral("id_vitamin")));
        ASSERT_NE(product, nullptr);
        ASSERT_NE(vitamin, nullptr);
        EXPECT_EQ(product->currentText(), QStringLiteral("Морковь"));
        EXPECT_EQ(vitamin->currentIndex(), -1);
        vitamin->setCurrentIndex(vitamin->findText(calciumName));
        type(dialog.control(QStringLiteral("quantity")), QStringLiteral("27,5"));
        dialog.okButton()->click();
    };
    list->addRow();
    EXPECT_TRUE(prompt.events.isEmpty()) << prompt.events.join('\n').toStdString();
    EXPECT_EQ(db().scalar(QStringLiteral("SELECT quantity FROM vitamin_quantity WHERE id_product = ?1 AND id_vitamin = ?2"),
                          {carrot, calcium})
                  .toDouble(),
              27.5);
    EXPECT_EQ(list->list().rowCount(), 2);
    EXPECT_EQ(list->list().rows[size_t(list->currentRow())].value(0), calciumName);
}

TEST_F(BookWindows, EmptyParentBookIsOfferedFirst)
{
    // Vitamin content needs products, and products need product groups.
    prompt.answers = {Answer::Yes, Answer::Yes};
    BookListWindow* list = run("mnuVitaKol");
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(prompt.events,
              QStringList({QStringLiteral("question: Сначала необходимо заполнить данные в справочнике \"Продукты\". "
                                          "Открыть справочник? => Да"),
                           QStringLiteral("question: Сначала необходимо заполнить данные в справочнике \"Группы "
                                          "продуктов\". Открыть справочник? => Да")}));
    EXPECT_EQ(list->windowTitle(), QStringLiteral("Группы продуктов"));
    EXPECT_EQ(window->mdiArea()->subWindowList().size(), 1);

    // No: the book itself opens, with an empty filter and no rows.
    prompt.clear();
    prompt.answers = {Answer::No};
    list = run("mnuVitaKol");
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->windowTitle(), QStringLiteral("Содержание витаминов и минералов"));
    EXPECT_EQ(list->parentFilter()->count(), 0);
    EXPECT_EQ(list->list().rowCount(), 0);
    EXPECT_EQ(statusLine(list), QStringList({QStringLiteral("Строка: 0"), QStringLiteral("Всего строк: 0"),
                                             QStringLiteral("Выделено строк: 0")}));
}

TEST_F(BookWindows, NumericFieldRefusesLettersAndMinusAsTyped)
{
    books::RecordEditor editor(db(), prompt, books::entryUnits);
    ASSERT_TRUE(editor.open(books::EditMode::Add));
    RecordEditorDialog dialog(editor);
    auto* factor = qobject_cast<QLineEdit*>(dialog.control(QStringLiteral("koef")));
    ASSERT_NE(factor, nullptr);

    type(factor, QStringLiteral("12"));
    type(factor, QStringLiteral("к"));
    EXPECT_EQ(factor->text(), QStringLiteral("12"));
    type(factor, QStringLiteral(",5"));
    EXPECT_EQ(factor->text(), QStringLiteral("12,5"));
    factor->setCursorPosition(0);
    type(factor, QStringLiteral("-"));
    EXPECT_EQ(factor->text(), QStringLiteral("12,5"));
    EXPECT_EQ(prompt.events,
              QStringList({QStringLiteral("warning: Введите целое или дробное число. Здесь можно вводить только цифры, "
                                          "а целая часть от дробной отделяется запятой!"),
                           QStringLiteral("warning: Вы ввели отрицательное значение!")}));
    EXPECT_EQ(editor.value(editor.fieldIndex(QStringLiteral("koef"))).toString(), QStringLiteral("12,5"));

    // Saved with the comma read as a decimal point.
    prompt.clear();
    type(dialog.control(QStringLiteral("ename")), QStringLiteral("пачка"));
    dialog.okButton()->click();
    ASSERT_TRUE(dialog.savedId().has_value());
    EXPECT_EQ(db().scalar(QStringLiteral("SELECT koef FROM ed_izmer WHERE id = ?1"), {*dialog.savedId()}).toDouble(), 12.5);
    EXPECT_TRUE(prompt.events.isEmpty());
}

TEST_F(BookWindows, EditorControlsFollowTheFieldKinds)
{
    {
        books::RecordEditor editor(db(), prompt, books::entryUsers);
        ASSERT_TRUE(editor.open(books::EditMode::Add));
        RecordEditorDialog dialog(editor);
        EXPECT_NE(qobject_cast<QPlainTextEdit*>(dialog.control(QStringLiteral("MEMO"))), nullptr);
        auto* role = qobject_cast<QComboBox*>(dialog.control(QStringLiteral("ROLE")));
        ASSERT_NE(role, nullptr);
        EXPECT_GT(role->count(), 0);
        EXPECT_EQ(qobject_cast<QLineEdit*>(dialog.control(QStringLiteral("PSSW")))->maxLength(), 15);
    }
    {
        books::RecordEditor editor(db(), prompt, books::entryEaterTypes);
        ASSERT_TRUE(editor.open(books::EditMode::Add));
        RecordEditorDialog dialog(editor);
        auto* served = qobject_cast<QCheckBox*>(dialog.control(QStringLiteral("status")));
        ASSERT_NE(served, nullptr);
        EXPECT_EQ(served->text(), QStringLiteral("Стоит на довольствии"));
    }
    {
        books::RecordEditor editor(db(), prompt, books::entryVitaminJournal);
        ASSERT_TRUE(editor.open(books::EditMode::Add));
        RecordEditorDialog dialog(editor);
        auto* date = qobject_cast<QDateEdit*>(dialog.control(QStringLiteral("vdate")));
        ASSERT_NE(date, nullptr);
        EXPECT_TRUE(date->calendarPopup());
        EXPECT_EQ(date->displayFormat(), QStringLiteral("dd.MM.yyyy"));
        auto* time = qobject_cast<QTimeEdit*>(dialog.control(QStringLiteral("time2")));
        ASSERT_NE(time, nullptr);
        EXPECT_EQ(time->displayFormat(), QStringLiteral("HH:mm"));
        // Empty fields show blank and take digits typed into them.
        EXPECT_EQ(date->text().trimmed(), QString());
        EXPECT_EQ(time->text().trimmed(), QString());
        type(date, QStringLiteral("05032024"));
        type(time, QStringLiteral("0830"));
        EXPECT_EQ(editor.value(editor.fieldIndex(QStringLiteral("vdate"))).toString(), QStringLiteral("05.03.2024"));
        EXPECT_EQ(editor.value(editor.fieldIndex(QStringLiteral("time2"))).toString(), QStringLiteral("08:30"));
        EXPECT_EQ(editor.value(editor.fieldIndex(QStringLiteral("time1"))).toString(), QString());
    }
    {
        // The product editor: a bold heading above the vitamin fields.
        books::RecordEditor editor(db(), prompt, books::entryProducts);
        ASSERT_TRUE(editor.open(books::EditMode::Add));
        RecordEditorDialog dialog(editor);
        bool headingFound = false;
        for (const QLabel* l : dialog.findChildren<QLabel*>())
            if (l->text() == QStringLiteral("Витамины и минералы:"))
                headingFound = l->font().bold();
        EXPECT_TRUE(headingFound);
    }

    // A time and a date saved from their controls, and shown by the list.
    BookListWindow* meals = run("mnuEating");
    ASSERT_NE(meals, nullptr);
    meals->showDialog = [&](QDialog& d) {
        auto& dialog = static_cast<RecordEditorDialog&>(d);
        type(dialog.control(QStringLiteral("ename")), QStringLiteral("Второй завтрак"));
        auto* time = qobject_cast<QTimeEdit*>(dialog.control(QStringLiteral("TIME")));
        ASSERT_NE(time, nullptr);
        time->setTime(QTime(10, 30));
        dialog.okButton()->click();
    };
    meals->addRow();
    EXPECT_TRUE(prompt.events.isEmpty()) << prompt.events.join('\n').toStdString();
    EXPECT_EQ(db().scalar(QStringLiteral("SELECT TIME FROM eating WHERE ename = 'Второй завтрак'")).toString(),
              QStringLiteral("1899-12-30 10:30:00"));
    EXPECT_EQ(meals->list().rows[size_t(meals->currentRow())], QStringList({QStringLiteral("Второй завтрак"),
                                                                           QStringLiteral("10:30")}));
}

TEST_F(BookWindows, EditorKeysEnterMovesOnEscapeAsksToSave)
{
    books::RecordEditor editor(db(), prompt, books::entrySuppliers);
    ASSERT_TRUE(editor.open(books::EditMode::Add));
    RecordEditorDialog dialog(editor);
    dialog.show();
    dialog.activateWindow();
    QWidget* name = dialog.control(QStringLiteral("sname"));
    QWidget* contact = dialog.control(QStringLiteral("contact"));
    QWidget* phone = dialog.control(QStringLiteral("phone"));
    QWidget* address = dialog.control(QStringLiteral("address"));
    QWidget* director = dialog.control(QStringLiteral("director"));
    QWidget* notes = dialog.control(QStringLiteral("notes"));
    name->setFocus();
    type(name, QStringLiteral("ООО Овощи"));
    press(name, Qt::Key_Return);
    EXPECT_EQ(dialog.focusWidget(), contact);
    press(contact, Qt::Key_Enter);
    EXPECT_EQ(dialog.focusWidget(), phone);
    press(phone, Qt::Key_Return);
    EXPECT_EQ(dialog.focusWidget(), address);
    // In the multi-line address Enter starts a new line; Ctrl+Enter moves on.
    type(address, QStringLiteral("ул. Садовая"));
    press(address, Qt::Key_Return);
    type(address, QStringLiteral("д. 1"));
    EXPECT_EQ(qobject_cast<QPlainTextEdit*>(address)->toPlainText(), QStringLiteral("ул. Садовая\nд. 1"));
    EXPECT_EQ(dialog.focusWidget(), address);
    press(address, Qt::Key_Return, Qt::ControlModifier);
    EXPECT_EQ(dialog.focusWidget(), director);
    press(director, Qt::Key_Return);
    EXPECT_EQ(dialog.focusWidget(), notes);
    press(notes, Qt::Key_Return, Qt::ControlModifier);
    EXPECT_EQ(dialog.focusWidget(), dialog.okButton());
    EXPECT_EQ(count(QStringLiteral("supplier")), 0);

    // Escape with changes: Cancel stays, Yes saves and closes.
    prompt.answers = {Answer::Cancel};
    press(dialog.okButton(), Qt::Key_Escape);
    EXPECT_TRUE(dialog.isVisible());
    prompt.answers = {Answer::Yes};
    press(dialog.okButton(), Qt::Key_Escape);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(prompt.events, QStringList({QStringLiteral("question: Сохранить изменения? => Отмена"),
                                          QStringLiteral("question: Сохранить изменения? => Да")}));
    ASSERT_TRUE(dialog.savedId().has_value());
    EXPECT_EQ(db().scalar(QStringLiteral("SELECT address FROM supplier WHERE id = ?1"), {*dialog.savedId()}).toString(),
              QStringLiteral("ул. Садовая\nд. 1"));
}

} // namespace

TEST_F(BookWindows, CardCalculationChoosesCardAndEaterType)
{
    const qint64 unit = insert(QStringLiteral("INSERT INTO ed_izmer (ename, koef) VALUES ('г', 1)"));
    const qint64 milk = insert(QStringLiteral("INSERT INTO products (pname, id_ed_izmer, protein, fat, carbohyd, calories) "
                                              "VALUES ('Молоко', ?1, 3, 3.2, 4.7, 58)"),
                               {unit});
    const qint64 card = insert(QStringLiteral("INSERT INTO card_recipes (cname, vih) VALUES ('Молоко кипяченое', 100)"));
    insert(QStringLiteral("INSERT INTO recipes (id_card_recipes, id_product, brutto, netto, isComment, isVariant, isCard) "
                          "VALUES (?1, ?2, 100, 100, 0, 0, 0)"),
           {card, milk});
    const qint64 small = insert(QStringLiteral("INSERT INTO type_eating (ename, shname, status) VALUES ('Ясли', '1-3', -1)"));
    const qint64 big = insert(QStringLiteral("INSERT INTO type_eating (ename, shname, status) VALUES ('Сад', '3-7', -1)"));
    insert(QStringLiteral("INSERT INTO output (id_card_recipe, id_type_eating, output1) VALUES (?1, ?2, 150)"), {card, small});
    insert(QStringLiteral("INSERT INTO output (id_card_recipe, id_type_eating, output1) VALUES (?1, ?2, 200)"), {card, big});

    window->openEntry(books::entryCardCalculation);
    QMdiSubWindow* sub = window->mdiArea()->activeSubWindow();
    auto* list = sub ? qobject_cast<BookListWindow*>(sub->widget()) : nullptr;
    ASSERT_NE(list, nullptr);
    ASSERT_NE(list->secondFilter(), nullptr);
    EXPECT_EQ(itemsOf(list->secondFilter()), QStringList({QStringLiteral("Все"), QStringLiteral("1-3"), QStringLiteral("3-7")}));

    auto headers = [&] {
        QStringList out;
        for (const QString& text : column(list, 0))
            if (text.contains(QStringLiteral(": выход ")))
                out << text;
        return out;
    };
    EXPECT_EQ(headers().size(), 2) << column(list, 0).join('|').toStdString();
    list->secondFilter()->setCurrentIndex(2);
    ASSERT_EQ(headers().size(), 1) << column(list, 0).join('|').toStdString();
    EXPECT_TRUE(headers().front().startsWith(QStringLiteral("3-7"))) << headers().front().toStdString();
    EXPECT_TRUE(headers().front().contains(QStringLiteral("200"))) << headers().front().toStdString();
}

TEST_F(BookWindows, ProductListKeepsThePlainFormAtHand)
{
    ui::installProductWindows();
    const qint64 group = insert(QStringLiteral("INSERT INTO product_group (pname) VALUES ('Молочные')"));
    insert(QStringLiteral("INSERT INTO products (pname, id_product_group) VALUES ('Молоко', ?1)"), {group});
    BookListWindow* list = run("mnuProducts1");
    ASSERT_NE(list, nullptr);
    QAction* plain = list->findChild<QAction*>(QStringLiteral("keyPlainEdit"));
    ASSERT_NE(plain, nullptr);
    EXPECT_EQ(plain->text(), QStringLiteral("Изменить в простой форме"));

    QString opened;
    QTimer::singleShot(0, [&] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            opened = modal->objectName() + QLatin1Char('|') + modal->windowTitle();
            if (auto* dialog = qobject_cast<QDialog*>(modal))
                dialog->reject();
        }
    });
    plain->trigger();
    EXPECT_EQ(opened, QStringLiteral("frmSD1|Продукт: Молоко"));
    for (int entry : {books::entryProducts, books::entrySubstitutions, books::entrySeasonalLosses})
        ui::setBookWindowHooks(entry, {});
}

TEST_F(BookWindows, NewCardCommandOpensTheCardWindowOnANewCard)
{
    ui::installCardWindows();
    QString opened;
    QTimer::singleShot(0, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal)
            return;
        opened = modal->objectName() + QLatin1Char('|') + modal->windowTitle();
        if (const QString shots = qEnvironmentVariable("RAT_SHOTS"); !shots.isEmpty())
            modal->grab().save(QDir(shots).filePath(QStringLiteral("mnuNovCard.png")));
        if (auto* dialog = qobject_cast<QDialog*>(modal))
            dialog->done(QDialog::Rejected);
    });
    window->command(QStringLiteral("mnuNovCard"))->trigger();
    EXPECT_EQ(opened, QStringLiteral("FrmSprav2|Технологические карты: Новая карта *"));
    EXPECT_FALSE(prompt.messages().join('\n').contains(QStringLiteral("недоступна")));
    EXPECT_EQ(window->currentEntry(), 54);
    for (int entry : {books::entryCards, books::entryCardsWithComposition, books::entryRecipeLines})
        ui::setBookWindowHooks(entry, {});
}

TEST_F(BookWindows, CardListCopiesTheCurrentCardsRecipeIntoAChosenCard)
{
    ui::installCardWindows();
    const qint64 soups = insert(QStringLiteral("INSERT INTO type_meal (tname) VALUES ('Супы')"));
    const qint64 borscht = insert(QStringLiteral("INSERT INTO card_recipes (cname, id_type_meal) VALUES ('Борщ', ?1)"), {soups});
    const qint64 shchi = insert(QStringLiteral("INSERT INTO card_recipes (cname, id_type_meal) VALUES ('Щи', ?1)"), {soups});
    const qint64 beet = insert(QStringLiteral("INSERT INTO products (pname) VALUES ('Свекла')"));
    const qint64 main = insert(QStringLiteral("INSERT INTO recipes (id_card_recipes, id_product, brutto, netto, isComment, "
                                              "isVariant, id_MainCard, isCard) VALUES (?1, ?2, 40, 32, 0, 0, 0, 0)"),
                               {borscht, beet});
    insert(QStringLiteral("INSERT INTO recipes (id_card_recipes, id_product, brutto, netto, isComment, isVariant, "
                          "id_MainCard, isCard) VALUES (?1, ?2, 45, 32, 0, -1, ?3, 0)"),
           {borscht, beet, main});

    BookListWindow* list = run("mnuCards1");
    ASSERT_NE(list, nullptr);
    QAction* copy = list->findChild<QAction*>(QStringLiteral("keyCopy1"));
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->text(), QStringLiteral("Копировать рецептуру"));
    ASSERT_EQ(column(list, 2).value(0), QStringLiteral("Борщ"));

    // The current card (Борщ) into the second card of the list (Щи).
    prompt.choices = {1};
    copy->trigger();
    EXPECT_EQ(prompt.messages(), QStringList({QStringLiteral("choose: Копирование рецептуры => Щи"),
                                              QStringLiteral("info: Копирование выполнено.")}))
        << prompt.messages().join('|').toStdString();
    EXPECT_EQ(db().scalar(QStringLiteral("SELECT COUNT(*) FROM recipes WHERE id_card_recipes = ?1"), {shchi}).toLongLong(), 2);
    // The copied variant points at the copied main line, not at Борщ's.
    EXPECT_EQ(db().scalar(QStringLiteral("SELECT COUNT(*) FROM recipes v JOIN recipes m ON v.id_MainCard = m.id "
                                         "WHERE v.id_card_recipes = ?1 AND m.id_card_recipes = ?1"),
                          {shchi})
                  .toLongLong(),
              1);
    for (int entry : {books::entryCards, books::entryCardsWithComposition, books::entryRecipeLines})
        ui::setBookWindowHooks(entry, {});
}

namespace {

// Every figure of a list shows whole; a text up to the width a long name stops at.
void expectCellsFit(const BookListWindow* w)
{
    const books::BookList& l = w->list();
    const QFontMetrics fm = w->grid()->fontMetrics();
    for (int c = 0; c < l.columnCount(); ++c)
        for (const QStringList& row : l.rows) {
            const int advance = fm.horizontalAdvance(row.value(c));
            const bool number = l.decimals[size_t(c)] >= 0;
            EXPECT_GE(w->grid()->columnWidth(c), number ? advance : qMin(advance, 340))
                << l.captions.value(c).toStdString() << ": " << row.value(c).toStdString();
        }
}

} // namespace

TEST_F(BookWindows, ColumnsAreWideEnoughForTheirFigures)
{
    const qint64 group = insert(QStringLiteral("INSERT INTO product_group (pname) VALUES ('Молоко')"));
    const qint64 milk = insert(QStringLiteral("INSERT INTO products (pname, protein, calories, id_product_group) "
                                              "VALUES ('Молоко сухое', 25.6, 1234.56, ?1)"),
                               {group});
    db().exec(QStringLiteral("INSERT INTO vitamin_quantity (id_product, id_vitamin, quantity) SELECT ?1, id, 1234.5 "
                             "FROM vitamin"),
              {milk});
    BookListWindow products(db(), prompt, books::entryProducts);
    products.show();
    products.reload();
    ASSERT_EQ(products.list().rowCount(), 1);
    expectCellsFit(&products);

    // A list read again with wider figures widens its columns.
    db().exec(QStringLiteral("UPDATE vitamin_quantity SET quantity = 123456.789"));
    products.reload();
    expectCellsFit(&products);
}

TEST_F(BookWindows, InstitutionIsEditedInItsOwnEditor)
{
    const QString stamp = QStringLiteral("SELECT appMajor || '.' || appMinor || '.' || appRevision || '|' || "
                                         "COALESCE(VestSkl, '') FROM INF");
    const QString before = db().scalar(stamp).toString();
    bool shown = false;
    const bool saved = ui::editInstitution(window.get(), db(), prompt, [&](QDialog& d) {
        shown = true;
        auto& dialog = static_cast<RecordEditorDialog&>(d);
        EXPECT_EQ(dialog.objectName(), QStringLiteral("frmUchr"));
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Учреждение: Детский сад №2"));
        QStringList labels;
        for (const QLabel* l : dialog.findChildren<QLabel*>())
            labels << l->text();
        for (const char* caption : {"Наименование", "ОКПО", "Структура", "Тип учреждения", "Заведующий:", "Бухгалтер:",
                                    "Кладовщик:", "Медицинская сестра:", "Повар:", "Материально ответственное лицо:"})
            EXPECT_TRUE(labels.contains(QString::fromUtf8(caption))) << caption;
        // The program's own columns are not offered.
        for (const char* inner : {"appMajor", "IDLU", "VestSkl", "REF"})
            EXPECT_EQ(dialog.control(QString::fromUtf8(inner)), nullptr) << inner;
        auto* name = qobject_cast<QPlainTextEdit*>(dialog.control(QStringLiteral("Naim")));
        ASSERT_NE(name, nullptr);
        name->setPlainText(QStringLiteral("МБДОУ «Детский сад №5 \"Берёзка\"»"));
        for (const auto& [field, text] : std::vector<std::pair<const char*, const char*>>{
                 {"FamDir", "Петрова"}, {"ImDir", "Анна"}, {"OtchDir", "Сергеевна"}, {"okpo", "12345678"},
                 {"famP", "Смирнова"}, {"famK", "Орлов"}}) {
            auto* edit = qobject_cast<QLineEdit*>(dialog.control(QString::fromUtf8(field)));
            ASSERT_NE(edit, nullptr) << field;
            edit->selectAll();
            edit->del();
            type(edit, QString::fromUtf8(text));
        }
        QApplication::processEvents();
        if (!qEnvironmentVariableIsEmpty("RAT_SHOTS"))
            dialog.grab().save(QDir(qEnvironmentVariable("RAT_SHOTS")).filePath(QStringLiteral("frmUchr.png")));
        dialog.okButton()->click();
    });
    EXPECT_TRUE(shown);
    EXPECT_TRUE(saved);
    EXPECT_TRUE(prompt.messages().isEmpty()) << prompt.messages().join('\n').toStdString();
    EXPECT_EQ(db().scalar(QStringLiteral("SELECT Naim || '|' || FamDir || ' ' || ImDir || ' ' || OtchDir || '|' || okpo "
                                         "|| '|' || famP || '|' || famK FROM INF"))
                  .toString(),
              QStringLiteral("МБДОУ «Детский сад №5 \"Берёзка\"»|Петрова Анна Сергеевна|12345678|Смирнова|Орлов"));
    EXPECT_EQ(db().scalar(stamp).toString(), before);
    EXPECT_EQ(count(QStringLiteral("INF")), 1);
}

TEST_F(BookWindows, NumbersTakeADecimalPointAsWellAsAComma)
{
    menu::registerMenuModule();
    db().exec(QStringLiteral("INSERT INTO type_eating (ename, shname, status) VALUES ('Ясли', 'Ясли', -1)"));
    db().exec(QStringLiteral("INSERT INTO products (pname) VALUES ('Гречка')"));
    // Every numeric field of the editor, typed with a point in one book and a comma in another:
    // the unit's factor, the physiological norms with their vitamins, a product norm.
    struct Case {
        int entry;
        QString typed;
        QString check;  // the stored numbers, one text
        QString expected;
    };
    const std::vector<Case> cases = {
        {books::entryUnits, QStringLiteral("0.4"), QStringLiteral("SELECT koef FROM ed_izmer ORDER BY id DESC LIMIT 1"),
         QStringLiteral("0.4")},
        {books::entryPhysNorms, QStringLiteral("3.5"),
         QStringLiteral("SELECT (SELECT group_concat(v, ' ') FROM (SELECT nprotein AS v FROM FNORMS UNION ALL "
                        "SELECT nfat FROM FNORMS UNION ALL SELECT ncarbohyd FROM FNORMS UNION ALL SELECT ncalories "
                        "FROM FNORMS)) || ' / ' || (SELECT group_concat(kol, ' ') FROM FNORMS_VIT)"),
         QStringLiteral("3.5 3.5 3.5 3.5 / 3.5 3.5 3.5 3.5 3.5")},
        {menu::entryNorms, QStringLiteral("12.5"), QStringLiteral("SELECT norm FROM norms"), QStringLiteral("12.5")},
        {menu::entryNorms, QStringLiteral("12,75"), QStringLiteral("SELECT group_concat(norm, ' ') FROM norms"),
         QStringLiteral("12.75")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed.toStdString());
        prompt.clear();
        // The norm typed again into the row saved before: "Да" keeps it for the whole group.
        const QVariant saved = c.entry == menu::entryNorms ? db().scalar(QStringLiteral("SELECT id FROM norms"))
                                                           : QVariant();
        prompt.answers = {Answer::Yes};
        books::RecordEditor editor(db(), prompt, c.entry);
        ASSERT_TRUE(saved.isNull() ? editor.open(books::EditMode::Add)
                                   : editor.open(books::EditMode::Edit, saved.toLongLong()));
        RecordEditorDialog dialog(editor);
        for (QComboBox* box : dialog.findChildren<QComboBox*>())
            box->setCurrentIndex(box->count() - 1);
        for (QLineEdit* edit : dialog.findChildren<QLineEdit*>()) {
            const int field = editor.fieldIndex(edit->objectName());
            if (field < 0)
                continue;
            const QString text = editor.fields()[size_t(field)].decimals >= 0 ? c.typed : QStringLiteral("Крупы");
            edit->selectAll();
            type(edit, text);
            EXPECT_EQ(edit->text(), text);
        }
        dialog.okButton()->click();
        EXPECT_TRUE(dialog.savedId().has_value()) << prompt.events.join('\n').toStdString();
        EXPECT_FALSE(prompt.events.join('\n').contains(QStringLiteral("Введите целое или дробное число")));
        EXPECT_EQ(db().scalar(c.check).toString(), c.expected);
    }
}
