// The card window offscreen: a new card filled and saved, two lines and a yield added through
// the record editor, the grids and their status line, deletion from the grid, the questions on
// closing, and the list windows reaching the card window.

#include "core/Database.h"
#include "core/DatabaseSession.h"
#include "support/ScriptedPrompt.h"
#include "support/TestEnv.h"
#include "ui/BookWindows.h"
#include "ui/CardWindow.h"
#include "ui/MainWindowFixture.h"
#include "ui/RecordEditorDialog.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QTableWidget>
#include <gtest/gtest.h>

using namespace rat;
using rat::books::EditMode;
using rat::ui::RecordEditorDialog;
using rat::ui::CardWindow;
using rat::test::field;
using rat::test::press;
using rat::test::typeInto;

namespace {

struct CardFile {
    test::TestEnv env;
    test::ScriptedPrompt prompt;
    DatabaseSession session{prompt};

    CardFile()
    {
        EXPECT_TRUE(session.createDatabase(env.path("cards.db")));
        db().execScript(QStringLiteral(
            "DELETE FROM output; DELETE FROM type_eating; DELETE FROM type_menu; DELETE FROM RECEPTUR;"
            "INSERT INTO type_meal (id, tname) VALUES (1, 'Супы'), (2, 'Гарниры');"
            "INSERT INTO type_culinary (id, cname) VALUES (1, 'Варка'), (2, 'Тушение');"
            "INSERT INTO RECEPTUR (ID, namev, namesh) VALUES (1, 'Сборник 2011', 'Сб.2011');"
            "INSERT INTO type_menu (id, tname) VALUES (1, 'Сад');"
            "INSERT INTO type_eating (id, ename, shname, status, id_type_menu) VALUES (1, 'Сад 12 часов', 'С12', -1, 1),"
            "(2, 'Ясли 12 часов', 'Я12', -1, 1);"
            "INSERT INTO products (id, pname) VALUES (1, 'Капуста'), (2, 'Морковь');"));
        prompt.clear();
    }
    Database& db() { return session.db(); }
};

void choose(QComboBox* box, const QString& text)
{
    const int i = box->findText(text, Qt::MatchStartsWith);
    ASSERT_GE(i, 0) << text.toStdString();
    box->setCurrentIndex(i);
}

QStringList gridRows(QTableWidget* g)
{
    QStringList rows;
    for (int r = 0; r < g->rowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < g->columnCount(); ++c)
            cells << (g->item(r, c) ? g->item(r, c)->text() : QString());
        rows << cells.join(QLatin1Char('|'));
    }
    return rows;
}

const QString kRecalc = QStringLiteral("question: Вы изменили рецептуру. Пересчитать пищевую ценность технологической "
                                       "карты \"Щи\" с учетом химического состава продуктов и  \"% несъедобной части\" "
                                       "продукта  из справочника \"Продукты\", а также с учетом \"Потери при тепловой "
                                       "обработке, %\"? => Нет");

} // namespace

TEST(CardWindow, NewCardLinesYieldsAndClosing)
{
    CardFile f;
    CardWindow w(f.db(), f.prompt, QStringLiteral("Технологические карты"));
    ASSERT_TRUE(w.open(EditMode::Add, {}, qint64(1)));
    w.show();
    QApplication::setActiveWindow(&w);
    EXPECT_EQ(w.objectName(), QStringLiteral("FrmSprav2"));
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Технологические карты: Новая карта *"));
    EXPECT_EQ(w.nutrientCaption()->text(), QStringLiteral("Химический состав на 100 г:"));
    EXPECT_EQ(field<QComboBox>(w, "id_type_meal")->currentText(), QStringLiteral("Супы"));
    EXPECT_EQ(field<QComboBox>(w, "id_receptur")->currentText(), QStringLiteral("Сб.2011"));
    EXPECT_EQ(field<QLineEdit>(w, "number1")->maxLength(), 10);
    QStringList labels;
    for (const QLabel* l : w.findChildren<QLabel*>())
        labels << l->text();
    for (const char* c : {"Общая информация:", "Категория блюда", "Номер", "Номер рецептуры", "Наименование",
                          "Технология приготовления", "Вид обработки", "Сборник рецептур", "План. стоимость, тг.",
                          "Органолептическая оценка:", "Белки, г", "Калорий, ккал", "Ca, мг", "C, мг"})
        EXPECT_TRUE(labels.contains(QString::fromUtf8(c))) << c;
    EXPECT_EQ(gridRows(w.ingredientGrid()), QStringList());
    EXPECT_EQ(w.ingredientGrid()->horizontalHeaderItem(1)->text(), QStringLiteral("Ингредиент"));
    EXPECT_EQ(w.yieldGrid()->horizontalHeaderItem(0)->text(), QStringLiteral("Тип довольствующихся"));

    // Lines wait for the card's first save.
    press(w.ingredientGrid(), Qt::Key_Insert);
    EXPECT_EQ(f.prompt.messages(), QStringList(QStringLiteral("warning: Сначала заполните данные о технологической "
                                                              "карте, после чего можно будет вводить ингредиенты.")));

    // The header filled; the mass of the block changes its caption.
    typeInto(field<QLineEdit>(w, "number1"), QStringLiteral("8"));
    typeInto(field<QLineEdit>(w, "cname"), QStringLiteral("Щи"));
    choose(field<QComboBox>(w, "id_type_culinary"), QStringLiteral("Варка"));
    auto* vih = field<QLineEdit>(w, "vih");
    vih->selectAll();
    vih->del();
    typeInto(vih, QStringLiteral("250"));
    EXPECT_EQ(w.nutrientCaption()->text(), QStringLiteral("Химический состав на 250 г:"));
    typeInto(field<QLineEdit>(w, "protein"), QStringLiteral("1,8"));
    typeInto(field<QLineEdit>(w, "$Ca"), QStringLiteral("x"));
    EXPECT_EQ(field<QLineEdit>(w, "$Ca")->text(), QString());
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Технологические карты: Новая карта *"));
    f.prompt.clear();
    w.okButton()->click();
    EXPECT_TRUE(f.prompt.messages().isEmpty()) << f.prompt.messages().join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(w.isVisible());
    ASSERT_TRUE(w.savedId());
    const qint64 card = *w.savedId();
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Технологическая карта: Щи"));
    EXPECT_DOUBLE_EQ(f.db().scalar(QStringLiteral("SELECT protein FROM card_recipes WHERE id = ?1"), {card}).toDouble(),
                     1.8);

    // Two lines through the record editor of the recipe lines, bound to this card.
    auto addLine = [&](const QString& product, const QString& brutto, const QString& netto) {
        w.showDialog = [&](QDialog& d) {
            auto& dialog = static_cast<RecordEditorDialog&>(d);
            EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Рецептура: Новая"));
            EXPECT_EQ(field<QComboBox>(dialog, "id_card_recipes")->currentText().trimmed().left(2), QStringLiteral("Щи"));
            choose(field<QComboBox>(dialog, "id_product"), product);
            typeInto(field<QLineEdit>(dialog, "brutto"), brutto);
            typeInto(field<QLineEdit>(dialog, "netto"), netto);
            f.prompt.answers = {Answer::No};
            dialog.okButton()->click();
            EXPECT_EQ(dialog.result(), QDialog::Accepted);
        };
        press(w.ingredientGrid(), Qt::Key_Insert);
    };
    f.prompt.clear();
    addLine(QStringLiteral("Капуста"), QStringLiteral("50,5"), QStringLiteral("40"));
    addLine(QStringLiteral("Морковь"), QStringLiteral("20"), QStringLiteral("16"));
    EXPECT_EQ(f.prompt.messages(), QStringList({kRecalc, kRecalc}));
    EXPECT_EQ(gridRows(w.ingredientGrid()),
              QStringList({QStringLiteral("|Капуста|50,5|40"), QStringLiteral("|Морковь|20|16")}));
    w.ingredientGrid()->setFocus();
    w.ingredientGrid()->selectAll();
    EXPECT_EQ(w.statusText(), QStringLiteral("Строка: 2. Всего строк: 2. Выделено строк: 2."));

    // A yield: copied to the other eater type by the yield rules.
    f.prompt.clear();
    w.showDialog = [&](QDialog& d) {
        auto& dialog = static_cast<RecordEditorDialog&>(d);
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Выход блюда: Новая"));
        choose(field<QComboBox>(dialog, "id_type_eating"), QStringLiteral("С12"));
        typeInto(field<QLineEdit>(dialog, "output1"), QStringLiteral("150"));
        typeInto(field<QLineEdit>(dialog, "output2"), QStringLiteral("30"));
        dialog.okButton()->click();
    };
    w.yieldGrid()->setFocus();
    w.action(QStringLiteral("keyAdd"))->trigger();
    EXPECT_EQ(f.prompt.messages().size(), 1);
    EXPECT_EQ(gridRows(w.yieldGrid()), QStringList({QStringLiteral("С12|150/30"), QStringLiteral("Я12|150/30")}));
    EXPECT_EQ(w.statusText(), QStringLiteral("Строка: 1. Всего строк: 2. Выделено строк: 1."));

    // Delete on the ingredient grid: the carrot line, then the recalculation question.
    f.prompt.clear();
    w.ingredientGrid()->setFocus();
    w.ingredientGrid()->selectRow(1);
    f.prompt.answers = {Answer::Yes, Answer::No};
    press(w.ingredientGrid(), Qt::Key_Delete);
    EXPECT_EQ(f.prompt.messages(), QStringList({QStringLiteral("question: Удалить выделенную строку? => Да"), kRecalc}));
    EXPECT_EQ(gridRows(w.ingredientGrid()), QStringList(QStringLiteral("|Капуста|50,5|40")));

    // The planned cost recalculated elsewhere is read back after a line command.
    f.db().exec(QStringLiteral("UPDATE card_recipes SET cost = 12.5 WHERE id = ?1"), {card});
    w.showDialog = [](QDialog& d) { static_cast<RecordEditorDialog&>(d).cancelButton()->click(); };
    press(w.ingredientGrid(), Qt::Key_Return);
    EXPECT_EQ(field<QLineEdit>(w, "cost")->text(), QStringLiteral("12,50"));
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Технологическая карта: Щи"));

    QApplication::processEvents();
    if (!qEnvironmentVariableIsEmpty("RAT_SHOTS"))
        w.grab().save(QDir(qEnvironmentVariable("RAT_SHOTS")).filePath(QStringLiteral("FrmSprav2.png")));

    // A change and closing: Cancel stays, Yes saves and closes.
    typeInto(field<QLineEdit>(w, "numRec"), QStringLiteral("112"));
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Технологическая карта: Щи *"));
    f.prompt.clear();
    f.prompt.answers = {Answer::Cancel, Answer::Yes};
    w.closeButton()->click();
    EXPECT_TRUE(w.isVisible());
    w.closeButton()->click();
    EXPECT_FALSE(w.isVisible());
    EXPECT_EQ(w.result(), QDialog::Accepted);
    EXPECT_EQ(f.db().scalar(QStringLiteral("SELECT numRec FROM card_recipes WHERE id = ?1"), {card}).toString(),
              QStringLiteral("112"));
}

TEST(CardWindow, EmptyGridsOnClosingAndTheListHooks)
{
    CardFile f;
    f.db().exec(QStringLiteral("INSERT INTO card_recipes (id, cname, number1, id_type_meal, id_type_culinary, "
                               "id_receptur, vih) VALUES (5, 'Рагу', '3', 2, 2, 1, 200)"));
    {
        CardWindow w(f.db(), f.prompt, QStringLiteral("Блюда"));
        ASSERT_TRUE(w.open(EditMode::Edit, qint64(5)));
        w.show();
        EXPECT_EQ(w.windowTitle(), QStringLiteral("Блюда: Рагу"));
        EXPECT_EQ(field<QComboBox>(w, "id_type_meal")->currentText(), QStringLiteral("Гарниры"));
        // Copy on an empty grid.
        w.ingredientGrid()->setFocus();
        w.action(QStringLiteral("keyCopy"))->trigger();
        f.prompt.answers = {Answer::Yes, Answer::No};
        press(w.ingredientGrid(), Qt::Key_Escape);
        EXPECT_TRUE(w.isVisible());
        EXPECT_EQ(f.prompt.messages(),
                  QStringList({QStringLiteral("warning: Нет строк для копирования!"),
                               QStringLiteral("question: Вы не внесли данные об ингредиентах. Закрыть окно? => Да"),
                               QStringLiteral("question: Вы не внесли данные о выходах блюда. Закрыть окно? => Нет")}));
    }

    // The list windows of both card books open the card window; a card gone meanwhile is told.
    std::vector<ui::BookWindowHooks> before;
    for (int entry : {books::entryCards, books::entryCardsWithComposition, books::entryRecipeLines})
        before.push_back(ui::bookWindowHooks(entry) ? *ui::bookWindowHooks(entry) : ui::BookWindowHooks{});
    ui::installCardWindows();
    for (int entry : {books::entryCards, books::entryCardsWithComposition}) {
        const ui::BookWindowHooks* hooks = ui::bookWindowHooks(entry);
        ASSERT_TRUE(hooks && hooks->recordWindow && hooks->bulkCopyRow);
        f.prompt.clear();
        EXPECT_FALSE(hooks->recordWindow(nullptr, f.db(), f.prompt, EditMode::Edit, qint64(99), {}));
        EXPECT_EQ(f.prompt.messages(), QStringList(QStringLiteral("warning: Не найдена редактируемая запись. Обновите "
                                                                  "окно (F5), выделите другую строку.")));
    }
    // The other tests of this run see the hooks as they were.
    int k = 0;
    for (int entry : {books::entryCards, books::entryCardsWithComposition, books::entryRecipeLines})
        ui::setBookWindowHooks(entry, before[size_t(k++)]);
}

TEST(CardWindow, CopyShowsTheCopiedLinesOnceSaved)
{
    CardFile f;
    f.db().execScript(QStringLiteral(
        "INSERT INTO card_recipes (id, cname, number1, id_type_meal, id_type_culinary, id_receptur, vih) "
        "VALUES (5, 'Рагу', '3', 2, 2, 1, 200);"
        "INSERT INTO recipes (id, id_card_recipes, id_product, brutto, netto) VALUES (7, 5, 2, 30, 24);"
        "INSERT INTO recipes (id, id_card_recipes, id_product, brutto, netto, isVariant, id_MainCard) "
        "VALUES (8, 5, 1, 35, 24, -1, 7);"
        "INSERT INTO output (id_card_recipe, id_type_eating, output1) VALUES (5, 1, 180), (5, 2, 150);"));
    CardWindow w(f.db(), f.prompt, QStringLiteral("Блюда"));
    ASSERT_TRUE(w.open(EditMode::Copy, qint64(5)));
    w.show();
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Блюда: Рагу *"));
    EXPECT_EQ(w.ingredientGrid()->rowCount(), 0);
    // Lines of a copy wait for its save.
    press(w.ingredientGrid(), Qt::Key_Delete);
    EXPECT_EQ(f.prompt.messages(), QStringList(QStringLiteral("warning: Карта не сохранена, сохраните карту и "
                                                              "повторите действие удаления.")));
    auto* name = field<QLineEdit>(w, "cname");
    name->selectAll();
    name->del();
    typeInto(name, QStringLiteral("Рагу овощное"));
    typeInto(field<QLineEdit>(w, "numRec"), QStringLiteral("2"));
    f.prompt.clear();
    w.okButton()->click();
    EXPECT_TRUE(f.prompt.messages().isEmpty()) << f.prompt.messages().join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Технологическая карта: Рагу овощное"));
    ASSERT_TRUE(w.savedId());
    EXPECT_NE(*w.savedId(), 5);
    EXPECT_EQ(gridRows(w.ingredientGrid()),
              QStringList({QStringLiteral("|Морковь|30|24"), QStringLiteral("или|Капуста|35|24")}));
    EXPECT_EQ(gridRows(w.yieldGrid()), QStringList({QStringLiteral("С12|180"), QStringLiteral("Я12|150")}));
}

TEST(CardWindow, NutrientBlockShowsFixedDecimalsAndKeepsStoredPrecision)
{
    CardFile f;
    f.db().execScript(QStringLiteral(
        "INSERT INTO card_recipes (id, cname, number1, id_type_meal, id_type_culinary, id_receptur, vih, cost, protein, "
        "fat, carbohyd, calories, protein_vih) VALUES (5, 'Рагу', '3', 2, 2, 1, 200, 206.4, 9, 13.76, 0.5491, 120.126, "
        "18);"
        "INSERT INTO card_vitamin (id_vitamin, id_card_recipes, kol, kol_vih, kolpr, vih) "
        "SELECT id, 5, 0.5491, 1.0982, NULL, 200 FROM vitamin WHERE shname = 'Ca';"));
    CardWindow w(f.db(), f.prompt, QStringLiteral("Блюда"));
    ASSERT_TRUE(w.open(EditMode::Edit, qint64(5)));
    w.show();
    EXPECT_EQ(field<QLineEdit>(w, "protein")->text(), QStringLiteral("9,00"));
    EXPECT_EQ(field<QLineEdit>(w, "fat")->text(), QStringLiteral("13,76"));
    EXPECT_EQ(field<QLineEdit>(w, "carbohyd")->text(), QStringLiteral("0,55"));
    EXPECT_EQ(field<QLineEdit>(w, "calories")->text(), QStringLiteral("120,13"));
    EXPECT_EQ(field<QLineEdit>(w, "$Ca")->text(), QStringLiteral("0,55"));
    EXPECT_EQ(field<QLineEdit>(w, "cost")->text(), QStringLiteral("206,40"));
    EXPECT_EQ(field<QLineEdit>(w, "fat_vih")->text(), QString());

    // A header change saved: the figures nobody typed keep every stored decimal.
    typeInto(field<QLineEdit>(w, "numRec"), QStringLiteral("7"));
    auto* perVih = field<QLineEdit>(w, "protein_vih");
    perVih->selectAll();
    perVih->del();
    typeInto(perVih, QStringLiteral("18,5"));
    w.okButton()->click();
    EXPECT_TRUE(f.prompt.messages().isEmpty()) << f.prompt.messages().join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(f.db().scalar(QStringLiteral("SELECT printf('%s|%s|%s|%s|%s|%s|%s', cost, protein, fat, carbohyd, "
                                           "calories, protein_vih, COALESCE(fat_vih, 'null')) FROM card_recipes "
                                           "WHERE id = 5"))
                  .toString(),
              QStringLiteral("206.4|9.0|13.76|0.5491|120.126|18.5|null"));
    EXPECT_EQ(f.db().scalar(QStringLiteral("SELECT printf('%s|%s', kol, kol_vih) FROM card_vitamin cv JOIN vitamin v "
                                           "ON v.id = cv.id_vitamin WHERE v.shname = 'Ca' AND id_card_recipes = 5"))
                  .toString(),
              QStringLiteral("0.5491|1.0982"));
}

TEST(CardWindow, RecalculationAfterALineIsShownAndSurvivesOk)
{
    CardFile f;
    f.db().execScript(QStringLiteral(
        "INSERT INTO card_recipes (id, cname, number1, id_type_meal, id_type_culinary, id_receptur, vih) "
        "VALUES (5, 'Рагу', '3', 2, 2, 1, 200);"
        "UPDATE products SET protein = 1.8, fat = 0.1, carbohyd = 4.7, calories = 27, procNe = 0 WHERE id = 1;"));
    CardWindow w(f.db(), f.prompt, QStringLiteral("Блюда"));
    ASSERT_TRUE(w.open(EditMode::Edit, qint64(5)));
    w.show();
    EXPECT_EQ(field<QLineEdit>(w, "protein")->text(), QString());

    // A line of 50 g cabbage in 100 g of dish, and "Да" to the recalculation.
    w.showDialog = [&](QDialog& d) {
        auto& dialog = static_cast<RecordEditorDialog&>(d);
        choose(field<QComboBox>(dialog, "id_product"), QStringLiteral("Капуста"));
        typeInto(field<QLineEdit>(dialog, "brutto"), QStringLiteral("50"));
        typeInto(field<QLineEdit>(dialog, "netto"), QStringLiteral("50"));
        f.prompt.answers = {Answer::Yes};
        dialog.okButton()->click();
    };
    press(w.ingredientGrid(), Qt::Key_Insert);
    const QString stored = QStringLiteral("SELECT printf('%s|%s|%s|%s|%s', protein, fat, carbohyd, calories, "
                                          "protein_vih) FROM card_recipes WHERE id = 5");
    const QString calculated = f.db().scalar(stored).toString();
    ASSERT_EQ(calculated, QStringLiteral("0.9|0.05|2.35|13.5|1.8"));
    EXPECT_EQ(field<QLineEdit>(w, "protein")->text(), QStringLiteral("0,90"));
    EXPECT_EQ(field<QLineEdit>(w, "fat")->text(), QStringLiteral("0,05"));
    EXPECT_EQ(field<QLineEdit>(w, "calories")->text(), QStringLiteral("13,50"));
    EXPECT_EQ(field<QLineEdit>(w, "protein_vih")->text(), QStringLiteral("1,80"));
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Блюда: Рагу"));

    QApplication::processEvents();
    if (!qEnvironmentVariableIsEmpty("RAT_SHOTS"))
        w.grab().save(QDir(qEnvironmentVariable("RAT_SHOTS")).filePath(QStringLiteral("FrmSprav2-recalculated.png")));

    // OK writes nothing over the calculated figures.
    typeInto(field<QLineEdit>(w, "numRec"), QStringLiteral("4"));
    w.okButton()->click();
    EXPECT_EQ(f.db().scalar(stored).toString(), calculated);
    EXPECT_EQ(f.db().scalar(QStringLiteral("SELECT numRec FROM card_recipes WHERE id = 5")).toString(),
              QStringLiteral("4"));
}
