// The document window offscreen: a day menu made from a plan day through the journal, its
// counts entered in the row editor and the total following; the save-before-lines question;
// a journal row deleted meanwhile; header checks of day menus, receipts and norms; deleting,
// moving, copying, printing and closing; the header and columns of the stock documents.

#include "menu/DayMenuFixture.h"

#include "core/Settings.h"
#include "ui/BookWindows.h"
#include "ui/DayMenuCreateDialog.h"
#include "ui/DayMenuDocument.h"
#include "ui/DayMenuJournal.h"
#include "ui/DocumentWindow.h"
#include "ui/MainWindow.h"
#include "ui/BookListWindow.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFontMetrics>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QGroupBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
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

void press(QWidget* w, int key)
{
    QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(w, &event);
}

QStringList gridColumn(const DocumentWindow* w, int c)
{
    QStringList out;
    for (int r = 0; r < w->grid()->rowCount(); ++r)
        out << (w->grid()->item(r, c) ? w->grid()->item(r, c)->text() : QString());
    return out;
}

QStringList headerLabels(const DocumentWindow* w)
{
    QStringList out;
    for (int c = 0; c < w->grid()->columnCount(); ++c)
        out << w->grid()->horizontalHeaderItem(c)->text();
    return out;
}

// Types a count into the count editor and presses OK.
std::function<void(QDialog&)> enterCount(const QString& text, int* shown = nullptr)
{
    return [text, shown](QDialog& d) {
        auto* editor = qobject_cast<ui::DayMenuCountDialog*>(&d);
        ASSERT_NE(editor, nullptr);
        if (shown)
            ++*shown;
        editor->quantityEdit()->setText(text);
        editor->okButton()->click();
    };
}

// A plan-menu by meals with one day: porridge at breakfast for two eater types on allowance.
// The porridge: 60 g of grain (80 per kg) per 100 g of dish; 150 g for "Я", 200 g for "С".
// Planned product prices (stock accounting off): a portion of 150 g costs 90 g × 0.08 = 7.20,
// one of 200 g 120 g × 0.08 = 9.60.
class DocWin : public test::DayMenuFixture {
protected:
    void SetUp() override
    {
        DayMenuFixture::SetUp();
        db().exec(QStringLiteral("UPDATE INF SET VestSkl = 0"));
        Settings::setText(QStringLiteral("User"), QStringLiteral("vopr"), QStringLiteral("0"));
        pm = planMenu(QStringLiteral("Основное"), 2);
        d1 = day(pm, QStringLiteral("День 1"));
        ya = eaterType(pm, QStringLiteral("Я"));
        sa = eaterType(pm, QStringLiteral("С"));
        breakfast = meal(QStringLiteral("Завтрак"));
        lunch = meal(QStringLiteral("Обед"));
        grain = product(QStringLiteral("Крупа"), 80);
        lineProduct = grain;
        porridge = card(QStringLiteral("Каша"));
        soup = card(QStringLiteral("Суп"));
        yield(porridge, ya, 150);
        yield(porridge, sa, 200);
        yield(soup, ya, 150);
        yield(soup, sa, 200);
        planRow(d1, porridge, breakfast);
        prompt.clear();
    }

    void TearDown() override
    {
        if (main) {
            main->mdiArea()->closeAllSubWindows();
            main.reset();
        }
        ui::setDayMenuDialogRunner({});
        DayMenuFixture::TearDown();
    }

    void openMain()
    {
        main = std::make_unique<ui::MainWindow>(session);
        ui::installBookWindows(*main, session);
        ui::installDayMenuJournal(*main);
        main->show();
    }

    ui::BookListWindow* journal()
    {
        EXPECT_TRUE(ui::openBookWindow(*main, db(), prompt, menu::entryDayMenuJournal));
        return ui::findBookWindow(*main, menu::entryDayMenuJournal);
    }

    DocumentWindow* activeDocument() const
    {
        QMdiSubWindow* sub = main->mdiArea()->activeSubWindow();
        return sub ? qobject_cast<DocumentWindow*>(sub->widget()) : nullptr;
    }

    int documentWindows() const
    {
        int n = 0;
        for (QMdiSubWindow* sub : main->mdiArea()->subWindowList())
            n += qobject_cast<DocumentWindow*>(sub->widget()) ? 1 : 0;
        return n;
    }

    // A saved day menu of porridge and soup at breakfast, all counts 0.
    qint64 menuOfTwoDishes()
    {
        const qint64 m = dayMenu(pm, QStringLiteral("7"));
        db().exec(QStringLiteral("UPDATE day_menu SET idd_tm = ?1 WHERE id = ?2"),
                  {QStringLiteral("%1*%2").arg(pm).arg(d1), m});
        const qint64 p1 = point(m, porridge, breakfast), p2 = point(m, soup, breakfast);
        for (qint64 p : {p1, p2})
            for (qint64 t : {ya, sa})
                eaters(p, t, 0);
        return m;
    }

    std::unique_ptr<DocumentWindow> openOwn(int code, std::optional<qint64> id, DocumentMode mode,
                                            const ui::HeaderValues& presets = {})
    {
        auto w = std::make_unique<DocumentWindow>(db(), prompt, ui::makeDocumentKind(code));
        w->setAttribute(Qt::WA_DeleteOnClose, false);
        if (!w->open(mode, id, presets))
            return nullptr;
        w->show();
        QApplication::processEvents();
        return w;
    }

    std::unique_ptr<ui::MainWindow> main;
    qint64 pm = 0, d1 = 0, ya = 0, sa = 0, breakfast = 0, lunch = 0, grain = 0, porridge = 0, soup = 0;
};

const QString kCopyCount = QStringLiteral(
    "question: Скопировать введенное Вами количество на весь день - нажмите \"Да\", на весь прием пищи - нажмите "
    "\"Нет\", не копировать - нажмите \"Отмена\"? => ");

TEST_F(DocWin, DayMenuFromAPlanDayTakesCountsAndTheTotalFollows)
{
    openMain();
    ui::BookListWindow* list = journal();
    ASSERT_NE(list, nullptr);
    int dialogs = 0;
    ui::setDayMenuDialogRunner([&](QDialog& d) {
        auto* dialog = qobject_cast<ui::DayMenuCreateDialog*>(&d);
        ASSERT_NE(dialog, nullptr);
        ++dialogs;
        ASSERT_EQ(dialog->checkBoxes().size(), 1u);
        EXPECT_EQ(dialog->checkBoxes()[0]->text(), QStringLiteral("Основное по приемам пищи"));
        dialog->checkBoxes()[0]->click();
        dialog->dayLists()[0]->setCurrentIndex(0);
        dialog->okButton()->click();
    });
    prompt.answers = {Answer::Yes};
    list->action(QStringLiteral("keyAdd"))->trigger();
    QApplication::processEvents();
    EXPECT_EQ(dialogs, 1);

    DocumentWindow* w = activeDocument();
    ASSERT_NE(w, nullptr);
    ASSERT_TRUE(w->documentId());
    EXPECT_EQ(w->windowTitle(), QStringLiteral("Меню на день №1 от 05.12.2026"));
    EXPECT_EQ(qobject_cast<QLabel*>(w->control(QStringLiteral("idd_tm")))->text(),
              QStringLiteral("Основное (День 1)"));
    EXPECT_EQ(qobject_cast<QComboBox*>(w->control(QStringLiteral("filtr")))->currentText(),
              QStringLiteral("По плановой цене продуктов"));
    EXPECT_EQ(headerLabels(w).mid(0, 7),
              QStringList({QStringLiteral("Тип довольствующихся"), QStringLiteral("Количество"),
                           QStringLiteral("Прием пищи"), QStringLiteral("Блюдо"), QStringLiteral("Выход, г"),
                           QStringLiteral("Стоимость по плановой цене продуктов, руб."),
                           QStringLiteral("Сумма, руб.")}));
    EXPECT_EQ(gridColumn(w, 0), QStringList({QStringLiteral("Я"), QStringLiteral("С")}));
    EXPECT_EQ(gridColumn(w, 5), QStringList({QStringLiteral("7,20"), QStringLiteral("9,60")}));
    EXPECT_EQ(w->totalLabel()->text(), QStringLiteral("Итого: 0 руб."));
    // The journal lists the new menu, current.
    EXPECT_EQ(list->list().rows.size(), 1u);
    EXPECT_EQ(list->currentId(), w->documentId());

    // Enter on the first row: 10 portions for "Я", not copied.
    w->selectRow(0);
    w->showDialog = enterCount(QStringLiteral("10"));
    prompt.answers = {Answer::Cancel};
    press(w->grid(), Qt::Key_Return);
    EXPECT_EQ(gridColumn(w, 1), QStringList({QStringLiteral("10"), QStringLiteral("0")}));
    EXPECT_EQ(w->totalLabel()->text(), QStringLiteral("Итого: 72 руб."));  // 7.20 × 10

    // A double click on the second: 5 for "С" -> 72 + 9.60 × 5 = 120.
    w->showDialog = enterCount(QStringLiteral("5"));
    prompt.answers = {Answer::Cancel};
    emit w->grid()->cellDoubleClicked(1, 3);
    EXPECT_EQ(w->currentRow(), 1);
    EXPECT_EQ(w->totalLabel()->text(), QStringLiteral("Итого: 120 руб."));
    EXPECT_DOUBLE_EQ(db().scalar(QStringLiteral("SELECT sum FROM day_menu WHERE id = ?1"), {*w->documentId()}).toDouble(),
                     120.0);
    EXPECT_EQ(counts(*w->documentId()), QStringList({QStringLiteral("Каша:Я=10"), QStringLiteral("Каша:С=5")}));

    // An empty count changes nothing and asks nothing.
    w->showDialog = enterCount(QString());
    emit w->grid()->cellDoubleClicked(0, 0);
    EXPECT_EQ(prompt.messages(),
              QStringList({QStringLiteral("question: Заполнить меню из плана-меню? => Да"),
                           kCopyCount + QStringLiteral("Отмена"), kCopyCount + QStringLiteral("Отмена")}));
    // The journal follows the document's sum, and names the plan days as the header does.
    EXPECT_TRUE(list->list().rows.front().join(QLatin1Char('|')).contains(QStringLiteral("120")));
    EXPECT_EQ(list->list().rows.front().last(), QStringLiteral("Основное (День 1)"));
    // Its columns show their texts whole ("Не выполнен расход").
    const QFontMetrics fm = list->grid()->fontMetrics();
    for (int c = 0; c < list->list().columnCount(); ++c)
        EXPECT_GE(list->grid()->columnWidth(c), fm.horizontalAdvance(list->list().rows.front().value(c)))
            << list->list().captions.value(c).toStdString();
    if (!qEnvironmentVariableIsEmpty("RAT_SHOTS")) {
        if (QWidget* frame = list->parentWidget())
            frame->resize(1250, 300);
        QApplication::processEvents();
        list->grab().save(QDir(qEnvironmentVariable("RAT_SHOTS")).filePath(QStringLiteral("day-menu-journal.png")));
    }

    // Nothing unsaved: "Отмена" closes the window inside the main window without a question.
    prompt.clear();
    w->cancelButton()->click();
    QApplication::processEvents();
    EXPECT_EQ(documentWindows(), 0);
    EXPECT_TRUE(prompt.messages().isEmpty());
    // Editing from the journal opens it again, once.
    list->editRow();
    list->editRow();
    EXPECT_EQ(documentWindows(), 1);
}

TEST_F(DocWin, AfterNoTheEmptyDayMenuKeepsThePlanDaysUntilSaved)
{
    openMain();
    ui::BookListWindow* list = journal();
    ui::setDayMenuDialogRunner([&](QDialog& d) {
        auto* dialog = qobject_cast<ui::DayMenuCreateDialog*>(&d);
        dialog->checkBoxes()[0]->click();
        dialog->dayLists()[0]->setCurrentIndex(0);
        dialog->okButton()->click();
    });
    prompt.answers = {Answer::No};
    list->addRow();
    QApplication::processEvents();
    DocumentWindow* w = activeDocument();
    ASSERT_NE(w, nullptr);
    EXPECT_FALSE(w->documentId());
    EXPECT_EQ(w->windowTitle(), QStringLiteral("Меню на день: Новое"));
    EXPECT_EQ(w->totalLabel()->text(), QStringLiteral("Итого: 0 руб."));
    EXPECT_EQ(qobject_cast<QLineEdit*>(w->control(QStringLiteral("nom")))->text(), QStringLiteral("1"));
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM day_menu")), 0);

    // Adding a line first saves the menu, with the days and plan-menu chosen; the dish dialog
    // wants a meal and a card.
    int shown = 0;
    w->showDialog = [&](QDialog& d) {
        auto* dish = qobject_cast<ui::DayMenuDishDialog*>(&d);
        ASSERT_NE(dish, nullptr);
        if (++shown > 2) {
            dish->reject();  // a second refusal would be a fault: stop here
            return;
        }
        if (shown == 2) {
            dish->groupBox()->setCurrentIndex(dish->groupBox()->findText(QStringLiteral("Обед"), Qt::MatchStartsWith));
            dish->cardBox()->setCurrentIndex(dish->cardBox()->findText(QStringLiteral("Суп"), Qt::MatchStartsWith));
        }
        dish->okButton()->click();
    };
    prompt.answers = {Answer::Yes};
    w->action(QStringLiteral("keyAdd"))->trigger();
    ASSERT_TRUE(w->documentId());
    EXPECT_EQ(shown, 2);
    EXPECT_EQ(prompt.messages(),
              QStringList({QStringLiteral("question: Заполнить меню из плана-меню? => Нет"),
                           QStringLiteral("question: Для продолжения необходимо сохранить документ. Сохранить? => Да"),
                           QStringLiteral("warning: Необходимо обязательно выбрать строку в списке \"Прием пищи\".")}));
    EXPECT_EQ(gridColumn(w, 3), QStringList({QStringLiteral("Суп"), QStringLiteral("Суп")}));
    EXPECT_EQ(gridColumn(w, 2), QStringList({QStringLiteral("Обед"), QStringLiteral("Обед")}));
    EXPECT_EQ(counts(*w->documentId()), QStringList({QStringLiteral("Суп:Я=0"), QStringLiteral("Суп:С=0")}));
    // A card that cannot be served is named and not added.
    const qint64 tea = card(QStringLiteral("Чай"));
    Q_UNUSED(tea);
    w->showDialog = [&](QDialog& d) {
        auto* dish = qobject_cast<ui::DayMenuDishDialog*>(&d);
        dish->groupBox()->setCurrentIndex(0);
        dish->cardBox()->setCurrentIndex(dish->cardBox()->findText(QStringLiteral("Чай"), Qt::MatchStartsWith));
        dish->okButton()->click();
    };
    prompt.clear();
    press(w->grid(), Qt::Key_Insert);
    EXPECT_EQ(prompt.messages(),
              QStringList(QStringLiteral("info: Блюдо \"Чай\" не добавлено, так как нет данных о выходах и рецептуре.")));
    EXPECT_EQ(w->grid()->rowCount(), 2);
    Statement st(db(), QStringLiteral("SELECT idd_tm, id_type_menu, nom FROM day_menu"));
    ASSERT_TRUE(st.next());
    EXPECT_EQ(st.toString(0), QStringLiteral("%1*%2").arg(pm).arg(d1));
    EXPECT_EQ(st.toInt64(1), pm);
    EXPECT_EQ(st.toString(2).trimmed(), QStringLiteral("1"));
    EXPECT_EQ(w->windowTitle(), QStringLiteral("Меню на день №1 от 05.12.2026"));
    EXPECT_EQ(list->list().rows.size(), 1u);
}

TEST_F(DocWin, AnyLineCommandOnANewDocumentAsksToSaveItFirst)
{
    ui::HeaderValues presets;
    presets.insert(QStringLiteral("id_type_menu"), pm);
    auto w = openOwn(ui::docDayMenu, std::nullopt, DocumentMode::New, presets);
    ASSERT_TRUE(w);
    const QString ask = QStringLiteral("question: Для продолжения необходимо сохранить документ. Сохранить? => ");
    for (const char* key : {"keyAdd", "keyEdit", "keyDel", "keyAllDay", "keyUp", "keyDown"}) {
        prompt.clear();
        prompt.answers = {Answer::No};
        w->action(QString::fromLatin1(key))->trigger();
        EXPECT_EQ(prompt.messages(), QStringList(ask + QStringLiteral("Нет"))) << key;
    }
    prompt.clear();
    prompt.answers = {Answer::No};
    press(w->grid(), Qt::Key_Insert);
    EXPECT_EQ(prompt.messages(), QStringList(ask + QStringLiteral("Нет")));
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM day_menu")), 0);

    // An empty number stops the save at the field, nothing written.
    auto* number = qobject_cast<QLineEdit*>(w->control(QStringLiteral("nom")));
    number->setText(QString());
    prompt.clear();
    prompt.answers = {Answer::Yes};
    w->action(QStringLiteral("keyAdd"))->trigger();
    EXPECT_EQ(prompt.messages(), QStringList({ask + QStringLiteral("Да"),
                                              QStringLiteral("warning: Необходимо обязательно заполнить поле "
                                                             "\"Номер\".")}));
    EXPECT_FALSE(w->documentId());
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM day_menu")), 0);

    // A norm asks for "норму".
    auto norm = openOwn(ui::docNorm, std::nullopt, DocumentMode::New);
    ASSERT_TRUE(norm);
    EXPECT_EQ(norm->windowTitle(), QStringLiteral("Нормы питания: Новое"));
    prompt.clear();
    prompt.answers = {Answer::No};
    norm->deleteAllLines();
    EXPECT_EQ(prompt.messages(),
              QStringList(QStringLiteral("question: Для продолжения необходимо сохранить норму. Сохранить? => Нет")));
}

TEST_F(DocWin, AJournalRowDeletedMeanwhileIsNotFound)
{
    const qint64 m = menuOfTwoDishes();
    openMain();
    ui::BookListWindow* list = journal();
    ASSERT_EQ(list->list().rows.size(), 1u);
    db().exec(QStringLiteral("DELETE FROM day_menu WHERE id = ?1"), {m});
    prompt.clear();
    list->editRow();
    list->copyRow();
    EXPECT_EQ(prompt.messages(),
              QStringList({QStringLiteral("warning: Не найдена редактируемая запись. Обновите окно (F5), выделите "
                                          "другую строку."),
                           QStringLiteral("warning: Не найдена копируемая запись. Обновите окно (F5), выделите "
                                          "другую строку.")}));
    EXPECT_EQ(documentWindows(), 0);
    EXPECT_EQ(ui::openDocument(main.get(), db(), prompt, ui::docReceipt, 999, DocumentMode::Edit), nullptr);
    EXPECT_EQ(documentWindows(), 0);
}

TEST_F(DocWin, ADuplicateNumberOffersTheNextOne)
{
    const qint64 m = menuOfTwoDishes();  // number 7
    ui::HeaderValues presets;
    presets.insert(QStringLiteral("id_type_menu"), pm);
    auto w = openOwn(ui::docDayMenu, std::nullopt, DocumentMode::New, presets);
    ASSERT_TRUE(w);
    EXPECT_EQ(qobject_cast<QLineEdit*>(w->control(QStringLiteral("nom")))->text(), QStringLiteral("8"));
    auto* number = qobject_cast<QLineEdit*>(w->control(QStringLiteral("nom")));
    number->setText(QStringLiteral("7"));
    const QString ask = QStringLiteral("question: Значение \"7\" поля \"Номер\" уже имеется в другом документе. "
                                       "Следующий номер документа \"8\"? \"Да\" - заменить автоматически, \"Нет\" - "
                                       "изменить вручную. => ");
    prompt.answers = {Answer::No};
    EXPECT_FALSE(w->saveHeader());
    EXPECT_EQ(number->text(), QStringLiteral("7"));
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM day_menu")), 1);
    prompt.answers = {Answer::Yes};
    EXPECT_TRUE(w->saveHeader());
    EXPECT_EQ(number->text(), QStringLiteral("8"));
    EXPECT_EQ(prompt.messages(), QStringList({ask + QStringLiteral("Нет"), ask + QStringLiteral("Да")}));
    EXPECT_EQ(db().scalar(QStringLiteral("SELECT TRIM(nom) FROM day_menu WHERE id <> ?1"), {m}).toString(),
              QStringLiteral("8"));

    // A receipt: the supplier is required; its number rule is that of the stock documents.
    db().exec(QStringLiteral("INSERT INTO supplier (sname) VALUES ('Молокозавод')"));
    db().exec(QStringLiteral("INSERT INTO receipt ([№docum], rdate, status) VALUES ('5', '2026-11-02', 0)"));
    auto r = openOwn(ui::docReceipt, std::nullopt, DocumentMode::New);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->windowTitle(), QStringLiteral("Приход: Новое"));
    auto* receiptNumber = qobject_cast<QLineEdit*>(r->control(QStringLiteral("№docum")));
    EXPECT_EQ(receiptNumber->text(), QStringLiteral("6"));
    receiptNumber->setText(QStringLiteral("5"));
    // Field order: the number is checked (and replaced) before the supplier is missed.
    prompt.clear();
    prompt.answers = {Answer::Yes};
    EXPECT_FALSE(r->saveHeader());
    EXPECT_EQ(receiptNumber->text(), QStringLiteral("6"));
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM receipt")), 1);
    auto* supplier = qobject_cast<QComboBox*>(r->control(QStringLiteral("id_supplier")));
    EXPECT_EQ(QApplication::focusWidget(), supplier);
    supplier->setCurrentIndex(0);
    EXPECT_TRUE(r->saveHeader());
    EXPECT_EQ(prompt.messages(),
              QStringList({QStringLiteral("question: Значение \"5\" поля \"Номер\" уже имеется в другом документе. "
                                          "Следующий номер документа \"6\"? \"Да\" - заменить автоматически, \"Нет\" "
                                          "- изменить вручную. => Да"),
                           QStringLiteral("warning: Необходимо обязательно выбрать строку в списке \"Поставщик\".")}));
    EXPECT_EQ(db().scalar(QStringLiteral("SELECT [№docum] FROM receipt WHERE id = ?1"), {*r->documentId()}).toString(),
              QStringLiteral("6"));
    EXPECT_EQ(r->windowTitle(), QStringLiteral("Приход"));
}

TEST_F(DocWin, NormNumbersTakeAPointOrACommaAndRefuseLetters)
{
    db().exec(QStringLiteral("DELETE FROM norms"));
    auto w = openOwn(ui::docNorm, std::nullopt, DocumentMode::New);
    ASSERT_TRUE(w);
    qobject_cast<QComboBox*>(w->control(QStringLiteral("id_type_eating")))->setCurrentIndex(0);
    qobject_cast<QComboBox*>(w->control(QStringLiteral("gname")))->setEditText(QStringLiteral("Крупы"));
    qobject_cast<QComboBox*>(w->control(QStringLiteral("id_product")))->setCurrentIndex(0);
    auto* norm = qobject_cast<QLineEdit*>(w->control(QStringLiteral("norm")));
    norm->setText(QStringLiteral("4x"));
    EXPECT_FALSE(w->saveHeader());
    EXPECT_EQ(QApplication::focusWidget(), norm);
    norm->setText(QStringLiteral("12.5"));
    prompt.answers = {Answer::No};  // a group the eater type does not have yet: saved as new
    ASSERT_TRUE(w->saveHeader());
    EXPECT_DOUBLE_EQ(db().scalar(QStringLiteral("SELECT norm FROM norms")).toDouble(), 12.5);
    norm->setText(QStringLiteral("13,25"));
    ASSERT_TRUE(w->saveHeader());
    EXPECT_DOUBLE_EQ(db().scalar(QStringLiteral("SELECT norm FROM norms")).toDouble(), 13.25);
    EXPECT_EQ(prompt.messages(),
              QStringList({QStringLiteral("warning: Значение \"4x\" поля \"Норма по группе продуктов\" не корректно. "
                                          "Измените введенное значение."),
                           QStringLiteral("question: Вы ввели новое наименование группы продуктов! Изменить группу "
                                          "продуктов или сохранить как новую? \"Да\" - изменить уже существующую "
                                          "группу, \"Нет\" - сохранить как новую, \"Отмена\" - не сохранять. => Нет")}));
    EXPECT_EQ(headerLabels(w.get()),
              QStringList({QStringLiteral("Прием пищи"), QStringLiteral("Норма по приему пищи")}));

    // A second norm: choosing the existing group takes its norm.
    product(QStringLiteral("Рис"));
    auto second = openOwn(ui::docNorm, std::nullopt, DocumentMode::New);
    qobject_cast<QComboBox*>(second->control(QStringLiteral("id_type_eating")))->setCurrentIndex(0);
    auto* group = qobject_cast<QComboBox*>(second->control(QStringLiteral("gname")));
    ASSERT_EQ(group->count(), 1);
    group->setCurrentIndex(0);
    EXPECT_EQ(qobject_cast<QLineEdit*>(second->control(QStringLiteral("norm")))->text(), QStringLiteral("13,25"));

    // The same product twice in the norms of a type is refused, nothing saved.
    auto* secondProduct = qobject_cast<QComboBox*>(second->control(QStringLiteral("id_product")));
    secondProduct->setCurrentIndex(0);
    prompt.clear();
    EXPECT_FALSE(second->saveHeader());
    EXPECT_EQ(prompt.messages(),
              QStringList(QStringLiteral("warning: Значение \"Крупа\" поля \"Продукт\" уже имеется в другой строке "
                                         "справочника. Измените введенное значение.")));
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM norms")), 1);

    // Cancelling a new norm saved only to take lines removes it again.
    secondProduct->setCurrentIndex(1);
    prompt.clear();
    prompt.answers = {Answer::Yes, Answer::No};
    second->deleteAllLines();
    ASSERT_TRUE(second->documentId());
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM norms")), 2);
    second->cancelButton()->click();
    EXPECT_FALSE(second->isVisible());
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM norms")), 1);
    EXPECT_EQ(prompt.messages(),
              QStringList({QStringLiteral("question: Для продолжения необходимо сохранить норму. Сохранить? => Да"),
                           QStringLiteral("question: Удалить все строки? => Нет")}));
}

TEST_F(DocWin, DeletingMovingAndTheEmptyTotal)
{
    const qint64 m = menuOfTwoDishes();
    db().exec(QStringLiteral("UPDATE quantity_eating SET quantity = 10"));
    auto w = openOwn(ui::docDayMenu, m, DocumentMode::Edit);
    ASSERT_TRUE(w);
    EXPECT_EQ(w->windowTitle(), QStringLiteral("Меню на день №7 от 05.12.2026"));
    EXPECT_EQ(gridColumn(w.get(), 3),
              QStringList({QStringLiteral("Каша"), QStringLiteral("Каша"), QStringLiteral("Суп"), QStringLiteral("Суп")}));
    // 10 × (7.20 + 9.60) per dish, two dishes.
    EXPECT_EQ(w->totalLabel()->text(), QStringLiteral("Итого: 336 руб."));

    // The porridge moves down below the soup; its counts stay in place.
    w->selectRow(0);
    w->action(QStringLiteral("keyDown"))->trigger();
    EXPECT_EQ(gridColumn(w.get(), 3),
              QStringList({QStringLiteral("Суп"), QStringLiteral("Суп"), QStringLiteral("Каша"), QStringLiteral("Каша")}));
    EXPECT_EQ(w->currentRow(), 2);

    // Both rows of one dish are one dish: "ую строку?", one deleted.
    w->grid()->selectRow(2);
    w->grid()->selectionModel()->select(w->grid()->model()->index(3, 0),
                                        QItemSelectionModel::Select | QItemSelectionModel::Rows);
    prompt.clear();
    prompt.answers = {Answer::No};
    press(w->grid(), Qt::Key_Delete);
    EXPECT_EQ(w->grid()->rowCount(), 4);
    prompt.answers = {Answer::Yes};
    w->action(QStringLiteral("keyDel"))->trigger();
    EXPECT_EQ(gridColumn(w.get(), 3), QStringList({QStringLiteral("Суп"), QStringLiteral("Суп")}));
    EXPECT_EQ(w->totalLabel()->text(), QStringLiteral("Итого: 168 руб."));
    EXPECT_EQ(prompt.events,
              QStringList({QStringLiteral("question: Удалить выделенную строку? => Нет"),
                           QStringLiteral("question: Удалить выделенную строку? => Да"),
                           QStringLiteral("status: Идет удаление строк..."),
                           QStringLiteral("info: Удалено строк: 1")}));

    prompt.clear();
    prompt.answers = {Answer::Yes};
    w->action(QStringLiteral("keyAllDay"))->trigger();
    EXPECT_EQ(w->grid()->rowCount(), 0);
    EXPECT_EQ(w->totalLabel()->text(), QStringLiteral("Итого: 0 руб."));
    EXPECT_EQ(prompt.messages(), QStringList(QStringLiteral("question: Удалить все строки? => Да")));
    EXPECT_DOUBLE_EQ(db().scalar(QStringLiteral("SELECT sum FROM day_menu WHERE id = ?1"), {m}).toDouble(), 0.0);
}

// A cost basis the list no longer offers (stock accounting switched off since) reads as the first
// item: the box shows it, the costs are taken at it, and saving the header stores its code.
TEST_F(DocWin, AStoredCostBasisNotOfferedShowsAndKeepsTheFirstItem)
{
    const qint64 m = menuOfTwoDishes();
    db().exec(QStringLiteral("UPDATE quantity_eating SET quantity = 10"));
    db().exec(QStringLiteral("UPDATE day_menu SET filtr = 2 WHERE id = ?1"), {m});
    auto w = openOwn(ui::docDayMenu, m, DocumentMode::Edit);
    ASSERT_TRUE(w);
    auto* basis = qobject_cast<QComboBox*>(w->control(QStringLiteral("filtr")));
    EXPECT_EQ(basis->currentText(), QStringLiteral("По плановой цене продуктов"));
    EXPECT_EQ(headerLabels(w.get()).value(5), QStringLiteral("Стоимость по плановой цене продуктов, руб."));
    EXPECT_EQ(w->totalLabel()->text(), QStringLiteral("Итого: 336 руб."));
    qobject_cast<QPlainTextEdit*>(w->control(QStringLiteral("comment")))->setPlainText(QStringLiteral("обед"));
    ASSERT_TRUE(w->saveHeader());
    EXPECT_EQ(count(QStringLiteral("SELECT filtr FROM day_menu WHERE id = ?1"), {m}), 0);
    EXPECT_EQ(basis->currentText(), QStringLiteral("По плановой цене продуктов"));
    EXPECT_TRUE(prompt.messages().isEmpty());
}

// A copy whose lines cannot be written is not saved at all: no header without its lines, and
// the window stays a new document that can be saved again.
TEST_F(DocWin, ACopyWhoseLinesFailIsNotSavedHalfway)
{
    const qint64 m = menuOfTwoDishes();
    db().exec(QStringLiteral("CREATE TRIGGER no_points BEFORE INSERT ON day_menu_point "
                             "BEGIN SELECT RAISE(ABORT, 'no points'); END"));
    prompt.answers = {Answer::Yes};
    auto w = openOwn(ui::docDayMenu, m, DocumentMode::Copy);
    ASSERT_TRUE(w);
    prompt.clear();
    EXPECT_FALSE(w->saveHeader());
    EXPECT_FALSE(w->documentId());
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM day_menu")), 1);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM day_menu_point")), 2);
    ASSERT_EQ(prompt.messages().size(), 1);
    EXPECT_TRUE(prompt.messages().value(0).startsWith(QStringLiteral("critical: ")));

    db().exec(QStringLiteral("DROP TRIGGER no_points"));
    prompt.clear();
    ASSERT_TRUE(w->saveHeader());
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM day_menu")), 2);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM day_menu_point WHERE id_day_menu = ?1"), {*w->documentId()}), 2);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM quantity_eating")), 8);
    EXPECT_TRUE(prompt.messages().isEmpty());
}

TEST_F(DocWin, ACopyTakesTheLinesAfterTheQuestionAndOkSavesItAsADraft)
{
    const qint64 m = menuOfTwoDishes();
    db().exec(QStringLiteral("UPDATE quantity_eating SET quantity = 3"));
    prompt.answers = {Answer::Yes};
    auto w = openOwn(ui::docDayMenu, m, DocumentMode::Copy);
    ASSERT_TRUE(w);
    EXPECT_EQ(prompt.messages(),
              QStringList(QStringLiteral("question: Копируемое меню на день уже составлено. Копировать строки меню? "
                                         "=> Да")));
    EXPECT_EQ(w->windowTitle(), QStringLiteral("Меню на день: Новое"));
    EXPECT_FALSE(w->documentId());
    EXPECT_EQ(qobject_cast<QLineEdit*>(w->control(QStringLiteral("nom")))->text(), QStringLiteral("8"));
    EXPECT_EQ(w->grid()->rowCount(), 4);  // what will go along

    prompt.clear();
    prompt.answers = {Answer::No};
    w->okButton()->click();
    ASSERT_TRUE(w->documentId());
    EXPECT_FALSE(w->isVisible());
    EXPECT_EQ(prompt.messages().size(), 1);
    EXPECT_TRUE(prompt.messages().value(0).startsWith(QStringLiteral("question: Открыть меню-требование?")));
    EXPECT_EQ(counts(*w->documentId()), counts(m));
    EXPECT_EQ(counts(*w->documentId()).size(), 4);
    EXPECT_EQ(db().scalar(QStringLiteral("SELECT TRIM(nom) FROM day_menu WHERE id = ?1"), {*w->documentId()}).toString(),
              QStringLiteral("8"));

    // "Нет" copies the header only.
    prompt.clear();
    prompt.answers = {Answer::No};
    auto bare = openOwn(ui::docDayMenu, m, DocumentMode::Copy);
    ASSERT_TRUE(bare);
    EXPECT_EQ(bare->grid()->rowCount(), 0);
    ASSERT_TRUE(bare->saveHeader());
    EXPECT_TRUE(counts(*bare->documentId()).isEmpty());
}

TEST_F(DocWin, ClosingWithChangesAsksAndPrintIsNotYetThere)
{
    const qint64 m = menuOfTwoDishes();
    auto w = openOwn(ui::docDayMenu, m, DocumentMode::Edit);
    ASSERT_TRUE(w);
    EXPECT_FALSE(w->isChanged());
    auto* comment = qobject_cast<QPlainTextEdit*>(w->control(QStringLiteral("comment")));
    ASSERT_NE(comment, nullptr);
    comment->setPlainText(QStringLiteral("праздничное"));
    EXPECT_TRUE(w->isChanged());
    prompt.answers = {Answer::Cancel, Answer::Cancel, Answer::No};
    w->cancelButton()->click();
    EXPECT_TRUE(w->isVisible());
    // Escape from the grid asks the same question.
    prompt.clear();
    press(w->grid(), Qt::Key_Escape);
    EXPECT_TRUE(w->isVisible());
    EXPECT_EQ(prompt.messages(), QStringList(QStringLiteral("question: Сохранить изменения? => Отмена")));
    w->cancelButton()->click();
    EXPECT_FALSE(w->isVisible());
    EXPECT_TRUE(db().scalar(QStringLiteral("SELECT comment FROM day_menu WHERE id = ?1"), {m}).toString().isEmpty());

    auto again = openOwn(ui::docDayMenu, m, DocumentMode::Edit);
    qobject_cast<QPlainTextEdit*>(again->control(QStringLiteral("comment")))->setPlainText(QStringLiteral("обычное"));
    prompt.answers = {Answer::Yes};
    again->close();
    EXPECT_EQ(db().scalar(QStringLiteral("SELECT comment FROM day_menu WHERE id = ?1"), {m}).toString(),
              QStringLiteral("обычное"));

    // keyPrint and "Печать": the printed menu, asked first.
    auto p = openOwn(ui::docDayMenu, m, DocumentMode::Edit);
    prompt.clear();
    prompt.answers = {Answer::No, Answer::Yes, Answer::Cancel};
    p->action(QStringLiteral("keyPrint"))->trigger();
    p->printButton()->click();
    EXPECT_EQ(prompt.messages(),
              QStringList({QStringLiteral("question: Печатать меню в Excel? => Нет"),
                           QStringLiteral("question: Печатать меню в Excel? => Да"),
                           QStringLiteral("question: Печатать меню для родителей в Excel? \"Да\" - меню для родителей с "
                                          "калькуляцией, \"Нет\" - меню для родителей без калькуляции, \"Отмена\" - не "
                                          "печатать. => Отмена")}));
}

TEST_F(DocWin, FirstActivationShowsTheHintOnce)
{
    Settings::setText(QStringLiteral("User"), QStringLiteral("vopr"), QStringLiteral("1"));
    const qint64 m = menuOfTwoDishes();
    prompt.answers = {Answer::No};
    auto w = openOwn(ui::docDayMenu, m, DocumentMode::Edit);
    ASSERT_TRUE(w);
    w->hide();
    w->show();
    QApplication::processEvents();
    ASSERT_EQ(prompt.messages().size(), 1);
    EXPECT_TRUE(prompt.messages()[0].startsWith(QStringLiteral("question: Меню на день создано.")));
    EXPECT_EQ(Settings::text(QStringLiteral("User"), QStringLiteral("vopr")), QStringLiteral("0"));
}

TEST_F(DocWin, StockDocumentsShowTheirHeaderAndColumns)
{
    struct Expect {
        int code;
        const char* title;
        QStringList fields;
        QStringList columns;
    };
    const std::vector<Expect> all = {
        {ui::docExpense, "Расход: Новое", {"Номер", "Дата", "Комментарий:"},
         {"Продукт", "Количество", "Ед.изм.", "Цена, руб.", "Сумма, руб.", "Тип довольствующихся", "№ поставки",
          "Склад"}},
        {ui::docReceipt, "Приход: Новое", {"Номер", "Дата", "Поставщик", "№ накладной поставщика", "Комментарий:"},
         {"Продукт", "Количество", "Ед.изм.", "Цена, руб.", "Температура хранения, °C", "Срок реализации",
          "Сумма, руб.", "Сумма с НДС, руб.", "Склад"}},
        {ui::docWriteOff, "Списание: Новое", {"Номер", "Дата", "Комментарий:"},
         {"Продукт", "Количество", "Ед.изм.", "Цена, руб.", "Сумма, руб.", "Причина", "Склад"}},
        {ui::docOrder, "Заказ: Новое", {"Номер", "Дата", "Поставщик", "Поставка по заказу", "Комментарий:"},
         {"Продукт", "Количество", "Ед.изм.", "Цена, руб.", "Сумма, руб.", "Склад"}},
    };
    for (const Expect& e : all) {
        auto w = openOwn(e.code, std::nullopt, DocumentMode::New);
        ASSERT_TRUE(w) << e.code;
        EXPECT_EQ(w->windowTitle(), QString::fromUtf8(e.title));
        QStringList captions;
        for (const ui::HeaderField& f : w->fields())
            captions << f.caption;
        EXPECT_EQ(captions, e.fields) << e.code;
        EXPECT_EQ(headerLabels(w.get()), e.columns) << e.code;
        EXPECT_EQ(w->totalLabel()->text(), QStringLiteral("Итого: 0 руб."));
        EXPECT_EQ(w->findChild<QGroupBox*>(QStringLiteral("frameHeader"))->title(),
                  QStringLiteral("Данные по документу:"));
        EXPECT_NE(qobject_cast<QDateEdit*>(w->control(w->fields()[1].field)), nullptr);
        EXPECT_FALSE(w->action(QStringLiteral("keyUp"))->isVisible());
    }
    EXPECT_TRUE(prompt.events.isEmpty()) << prompt.events.join('\n').toStdString();
}

} // namespace

// A kind of the test's own over the suppliers, for the checks no document kind has yet: a
// unique field in the words of a document and of a reference book, and a time "HH:mm".
class SupplierKind : public ui::DocumentKind {
public:
    int code() const override { return 0; }
    QString caption() const override { return QStringLiteral("Поставщик"); }
    QString table() const override { return QStringLiteral("supplier"); }
    std::vector<ui::HeaderField> fields(Database&) override
    {
        ui::HeaderField name;
        name.field = QStringLiteral("sname");
        name.caption = QStringLiteral("Наименование");
        name.required = true;
        name.unique = true;
        name.bookForm = true;
        ui::HeaderField contact;
        contact.field = QStringLiteral("contact");
        contact.caption = QStringLiteral("Контакт");
        contact.unique = true;
        ui::HeaderField time;
        time.field = QStringLiteral("phone");
        time.caption = QStringLiteral("Время звонка");
        time.kind = ui::HeaderField::Kind::Time;
        return {name, contact, time};
    }
    ui::LineSet lines(Database&, std::optional<qint64>, bool) override { return {}; }
    bool hasLines(Database&, qint64) override { return false; }
    QString copyQuestion() const override { return {}; }
};

TEST_F(DocWin, UniqueFieldsAndTimesAreCheckedInFieldOrder)
{
    db().exec(QStringLiteral("INSERT INTO supplier (sname, contact) VALUES ('Хлебзавод', 'Иванов')"));
    DocumentWindow w(db(), prompt, std::make_unique<SupplierKind>());
    w.setAttribute(Qt::WA_DeleteOnClose, false);
    ASSERT_TRUE(w.open(DocumentMode::New));
    auto edit = [&](const char* field) { return qobject_cast<QLineEdit*>(w.control(QString::fromLatin1(field))); };
    edit("sname")->setText(QStringLiteral("Хлебзавод"));
    edit("contact")->setText(QStringLiteral("Иванов"));
    edit("phone")->setText(QStringLiteral("25:10"));
    EXPECT_FALSE(w.saveHeader());
    edit("sname")->setText(QStringLiteral("Молокозавод"));
    EXPECT_FALSE(w.saveHeader());
    edit("contact")->setText(QStringLiteral("Петров"));
    EXPECT_FALSE(w.saveHeader());
    edit("phone")->setText(QStringLiteral("09:30"));
    EXPECT_TRUE(w.saveHeader());
    const QString change = QStringLiteral(" Измените введенное значение.");
    EXPECT_EQ(prompt.messages(),
              QStringList({QStringLiteral("warning: Значение \"Хлебзавод\" поля \"Наименование\" уже имеется в другой "
                                          "строке справочника.") + change,
                           QStringLiteral("warning: Значение \"Иванов\" поля \"Контакт\" уже имеется в другом "
                                          "документе.") + change,
                           QStringLiteral("warning: Значение \"25:10\" поля \"Время звонка\" не корректно.") + change}));
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM supplier WHERE sname = 'Молокозавод' AND phone = '09:30'")), 1);
}

// Pictures of the windows for a look at their layout: set RAT_GRAB_DIR to a folder.
TEST_F(DocWin, PicturesForALookAtTheLayout)
{
    const QString dir = qEnvironmentVariable("RAT_GRAB_DIR");
    if (dir.isEmpty())
        GTEST_SKIP() << "RAT_GRAB_DIR not set";
    const qint64 m = menuOfTwoDishes();
    const qint64 fish = card(QStringLiteral("Рыба запеченная с овощами и соусом"));
    yield(fish, ya, 80, 30);
    yield(fish, sa, 100, 50);
    const qint64 p = point(m, fish, lunch);
    eaters(p, ya, 12);
    eaters(p, sa, 25);
    db().exec(QStringLiteral("UPDATE day_menu SET comment = 'Праздничный обед' WHERE id = ?1"), {m});
    openMain();
    main->resize(1280, 800);
    journal();
    DocumentWindow* w = ui::openDocument(main.get(), db(), prompt, ui::docDayMenu, m, DocumentMode::Edit);
    ASSERT_NE(w, nullptr);
    QApplication::processEvents();
    main->grab().save(dir + QStringLiteral("/main.png"));
    w->resize(w->sizeHint());
    w->grab().save(dir + QStringLiteral("/daymenu.png"));
    w->showDialog = [&](QDialog& d) {
        d.show();
        QApplication::processEvents();
        d.grab().save(dir + QStringLiteral("/count.png"));
        d.reject();
    };
    w->selectRow(0);
    w->editLine();
    auto r = openOwn(ui::docReceipt, std::nullopt, DocumentMode::New);
    r->resize(r->sizeHint());
    r->grab().save(dir + QStringLiteral("/receipt.png"));
    auto n = openOwn(ui::docNorm, std::nullopt, DocumentMode::New);
    n->resize(n->sizeHint());
    n->grab().save(dir + QStringLiteral("/norm.png"));
    planMenu(QStringLiteral("Летнее меню"), 1, 5);
    day(pm, QStringLiteral("День 2"));
    ui::DayMenuCreateDialog dialog(prompt, menu::planMenuOffers(db()));
    dialog.show();
    dialog.checkBoxes()[0]->click();
    QApplication::processEvents();
    dialog.grab().save(dir + QStringLiteral("/create.png"));
}
