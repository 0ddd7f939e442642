// The card lists' own commands offscreen: the nutrient and cost recalculation of the card lists
// with their questions and messages, the yields of a whole dish category from the yields list,
// a card added in the plain form, and the recipe-line editor switching its item list.

#include "core/Database.h"
#include "core/DatabaseSession.h"
#include "refbooks/BookCatalogue.h"
#include "refbooks/RecordEditor.h"
#include "support/FileTest.h"
#include "ui/BookWindows.h"
#include "ui/CardListCommands.h"
#include "ui/MainWindowFixture.h"
#include "ui/RecordEditorDialog.h"
#include "ui/BookListWindow.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPixmap>
#include <QPushButton>
#include <QToolBar>
#include <gtest/gtest.h>
#include <memory>

using namespace rat;
using ui::BookListWindow;
using ui::RecordEditorDialog;
using test::type;

namespace {

void choose(QWidget* w, const QString& text)
{
    auto* box = qobject_cast<QComboBox*>(w);
    ASSERT_NE(box, nullptr);
    // Cards are listed as name, number and recipe number joined by blanks.
    for (int i = 0; i < box->count(); ++i)
        if (box->itemText(i).trimmed() == text) {
            box->setCurrentIndex(i);
            return;
        }
    ADD_FAILURE() << "no item " << text.toStdString();
}

QStringList itemsOf(QWidget* w)
{
    QStringList out;
    if (auto* box = qobject_cast<QComboBox*>(w))
        for (int i = 0; i < box->count(); ++i)
            out << box->itemText(i).trimmed();
    return out;
}

QString labelOf(RecordEditorDialog& dialog, const QString& field)
{
    for (QLabel* l : dialog.findChildren<QLabel*>())
        if (l->buddy() == dialog.control(field))
            return l->text();
    return {};
}

// A picture of a dialog for a person to look at, when RAT_GRAB_DIR names a folder.
void grab(QWidget& w, const QString& name)
{
    const QString dir = qEnvironmentVariable("RAT_GRAB_DIR");
    if (dir.isEmpty())
        return;
    w.resize(w.sizeHint());
    QApplication::processEvents();
    w.grab().save(QDir(dir).filePath(name + QStringLiteral(".png")));
}

class CardListCommands : public test::FileTest {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(session.createDatabase(env.path(QStringLiteral("cardlists.db"))));
        for (const char* table : {"output", "recipes", "card_recipes", "type_eating", "type_meal", "products"})
            db().exec(QStringLiteral("DELETE FROM ") + QString::fromLatin1(table));
        db().exec(QStringLiteral("INSERT INTO ed_izmer (id, ename, koef) VALUES (901, 'кг', 1000)"));
        soups = insert(QStringLiteral("INSERT INTO type_meal (tname) VALUES ('Супы')"));
        porridges = insert(QStringLiteral("INSERT INTO type_meal (tname) VALUES ('Каши')"));
        nursery = insert(QStringLiteral("INSERT INTO type_eating (ename, shname, status) VALUES ('Ясли', '1-3', -1)"));
        garden = insert(QStringLiteral("INSERT INTO type_eating (ename, shname, status) VALUES ('Сад', '3-7', -1)"));
        // 10 g fat per 100 g, a fifth inedible, 80 per kilogram.
        beet = insert(QStringLiteral("INSERT INTO products (pname, fat, protein, carbohyd, calories, procNe, plpris, "
                                     "id_ed_izmer) VALUES ('Свекла', 10, 0, 0, 0, 20, 80, 901)"));
        borscht = card(QStringLiteral("Борщ"), soups);
        shchi = card(QStringLiteral("Щи"), soups);
        porridge = card(QStringLiteral("Каша"), porridges);
        for (qint64 c : {borscht, shchi, porridge})
            insert(QStringLiteral("INSERT INTO recipes (id_card_recipes, id_product, brutto, netto, isCard, isComment, "
                                  "isVariant, id_MainCard) VALUES (?1, ?2, 50, 50, 0, 0, 0, 0)"),
                   {c, beet});
        ui::installCardWindows();
        ui::installCardListCommands();
        prompt.clear();
    }

    void TearDown() override
    {
        windows.clear();
        for (int entry : {books::entryCards, books::entryCardsWithComposition, books::entryYields,
                          books::entryRecipeLines})
            ui::setBookWindowHooks(entry, {});
    }

    qint64 card(const QString& name, qint64 category)
    {
        return insert(QStringLiteral("INSERT INTO card_recipes (cname, id_type_meal, pr_fat, vih) VALUES (?1, ?2, 10, "
                                     "250)"),
                      {name, category});
    }

    BookListWindow& open(int entry)
    {
        windows.push_back(std::make_unique<BookListWindow>(db(), prompt, entry));
        windows.back()->show();
        return *windows.back();
    }

    QStringList keys(BookListWindow& w)
    {
        QStringList out;
        for (QAction* a : w.toolBar()->actions())
            if (!a->isSeparator())
                out << a->objectName() + QLatin1Char('=') + a->text();
        return out;
    }

    std::vector<std::unique_ptr<BookListWindow>> windows;
    qint64 soups = 0, porridges = 0, nursery = 0, garden = 0, beet = 0;
    qint64 borscht = 0, shchi = 0, porridge = 0;
};

TEST_F(CardListCommands, BothCardListsOfferTheRecalculationsAndKeepTheirOtherHooks)
{
    for (int entry : {books::entryCards, books::entryCardsWithComposition}) {
        const ui::BookWindowHooks* hooks = ui::bookWindowHooks(entry);
        ASSERT_NE(hooks, nullptr);
        EXPECT_TRUE(hooks->bulkCopyRow);  // the recipe copy set by the card windows stays
        BookListWindow& w = open(entry);
        const QStringList k = keys(w);
        EXPECT_TRUE(k.contains(QStringLiteral("keyPeresch=Пересчитать хим. состав"))) << k.join('|').toStdString();
        EXPECT_TRUE(k.contains(QStringLiteral("keyStoimBl=Пересчитать стоимость"))) << k.join('|').toStdString();
        EXPECT_TRUE(k.contains(QStringLiteral("keyKalk=Калькуляционная карточка"))) << k.join('|').toStdString();
        EXPECT_TRUE(w.contextMenu()->actions().contains(w.action(QStringLiteral("keyPeresch"))));
        // A narrow window shows pictures only: each command has its own.
        for (const char* key : {"keyPeresch", "keyStoimBl"})
            EXPECT_FALSE(w.action(QString::fromLatin1(key))->icon().isNull()) << key;
    }
    BookListWindow& yields = open(books::entryYields);
    EXPECT_TRUE(keys(yields).contains(QStringLiteral("keyOutputByCategory=Выход по категориям блюд")));
    EXPECT_FALSE(yields.action(QStringLiteral("keyOutputByCategory"))->icon().isNull());

    // Installing again does not double them (the two recalculations and the calculation card).
    ui::installCardListCommands();
    ui::installCardWindows();
    EXPECT_EQ(ui::bookWindowHooks(books::entryCards)->commands.size(), 3u);
    EXPECT_EQ(ui::bookWindowHooks(books::entryYields)->commands.size(), 1u);
}

TEST_F(CardListCommands, NutrientRecalculationOfTheSelectedCard)
{
    // Борщ: 50 g of beet at 10 g fat, 20 % inedible, 10 % lost: 0.8 × 10 × 50 / 100 × 0.9 = 3.6
    // per 100 g, 9 per 250 g.
    BookListWindow& w = open(books::entryCardsWithComposition);
    choose(w.parentFilter(), QStringLiteral("Супы"));
    ASSERT_TRUE(w.selectId(borscht));
    prompt.answers = {Answer::No};
    w.action(QStringLiteral("keyPeresch"))->trigger();
    EXPECT_EQ(prompt.messages(),
              QStringList({QStringLiteral("question: Рассчитывать химический состав всех блюд? \"Да\" - все блюда, "
                                          "\"Нет\" - выделенное блюдо, \"Отмена\" - не рассчитывать. => Нет"),
                           QStringLiteral("info: Расчет химического состава завершен.")}));
    EXPECT_DOUBLE_EQ(db().scalar(QStringLiteral("SELECT fat FROM card_recipes WHERE id = ?1"), {borscht}).toDouble(), 3.6);
    EXPECT_DOUBLE_EQ(db().scalar(QStringLiteral("SELECT fat_vih FROM card_recipes WHERE id = ?1"), {borscht}).toDouble(), 9);
    EXPECT_TRUE(db().scalar(QStringLiteral("SELECT fat FROM card_recipes WHERE id = ?1"), {shchi}).isNull());
    // The list shows the new value on the same row.
    EXPECT_EQ(w.currentId(), borscht);
    const int fatColumn = int(w.list().captions.indexOf(QStringLiteral("Жиры на 100 г")));
    ASSERT_GE(fatColumn, 0);
    EXPECT_EQ(w.list().rows[size_t(w.currentRow())].value(fatColumn).replace(QLatin1Char('.'), QLatin1Char(',')),
              QStringLiteral("3,60"));

    // From the dish list the end message points at the other list; Cancel does nothing.
    BookListWindow& dishes = open(books::entryCards);
    prompt.clear();
    prompt.answers = {Answer::Yes, Answer::Cancel};
    dishes.action(QStringLiteral("keyPeresch"))->trigger();
    dishes.action(QStringLiteral("keyPeresch"))->trigger();
    ASSERT_EQ(prompt.messages().size(), 3);
    EXPECT_EQ(prompt.messages().value(1), QStringLiteral("info: Расчет химического состава завершен. Данные можно "
                                                         "посмотреть в справочнике \"Технологические карты\"."));
    EXPECT_TRUE(prompt.events.contains(QStringLiteral("status: Пересчитано 3 технологических карт")))
        << prompt.events.join('|').toStdString();
    EXPECT_TRUE(prompt.messages().value(2).endsWith(QStringLiteral(" => Отмена")));
    EXPECT_DOUBLE_EQ(db().scalar(QStringLiteral("SELECT fat FROM card_recipes WHERE id = ?1"), {porridge}).toDouble(), 3.6);
}

TEST_F(CardListCommands, CostRecalculationOfTheShownCategory)
{
    // 50 g of beet at 80 per 1000 g: 4 per 100 g of dish.
    BookListWindow& w = open(books::entryCards);
    ASSERT_NE(w.parentFilter(), nullptr);
    choose(w.parentFilter(), QStringLiteral("Супы"));
    prompt.answers = {Answer::Yes};
    w.action(QStringLiteral("keyStoimBl"))->trigger();
    EXPECT_EQ(prompt.messages(),
              QStringList({QStringLiteral("question: Пересчитать стоимость технологических карт категории \"Супы\"? "
                                          "\"Да\" - пересчет стоимости карт только выбранной категории, \"Нет\" - "
                                          "пересчет стоимости всех технологических карт, \"Отмена\" - не "
                                          "пересчитывать. => Да"),
                           QStringLiteral("info: Пересчет выполнен.")}));
    EXPECT_EQ(prompt.events.last(), QStringLiteral("status: Готово."));
    for (qint64 c : {borscht, shchi})
        EXPECT_DOUBLE_EQ(db().scalar(QStringLiteral("SELECT cost FROM card_recipes WHERE id = ?1"), {c}).toDouble(), 4);
    EXPECT_TRUE(db().scalar(QStringLiteral("SELECT cost FROM card_recipes WHERE id = ?1"), {porridge}).isNull());
    EXPECT_EQ(w.list().rows.size(), 2u);
}

TEST_F(CardListCommands, YieldsOfAWholeCategoryFromTheYieldsList)
{
    insert(QStringLiteral("INSERT INTO output (id_card_recipe, id_type_eating, output1) VALUES (?1, ?2, 150)"),
           {borscht, nursery});
    BookListWindow& w = open(books::entryYields);
    ASSERT_NE(w.grandParentFilter(), nullptr);
    choose(w.grandParentFilter(), QStringLiteral("Супы"));
    choose(w.parentFilter(), QStringLiteral("Щи"));
    EXPECT_TRUE(w.list().rows.empty());

    QString title;
    w.showDialog = [&](QDialog& d) {
        auto& dialog = static_cast<RecordEditorDialog&>(d);
        title = dialog.windowTitle();
        // The category of the list is preset; OK without an eater type is refused.
        auto* category = qobject_cast<QComboBox*>(dialog.control(QStringLiteral("id_type_meal")));
        ASSERT_NE(category, nullptr);
        EXPECT_EQ(category->currentText(), QStringLiteral("Супы"));
        EXPECT_EQ(itemsOf(dialog.control(QStringLiteral("id_type_eating"))),
                  QStringList({QString(), QStringLiteral("1-3"), QStringLiteral("3-7")}));
        dialog.okButton()->click();
        EXPECT_FALSE(dialog.savedId());
        choose(dialog.control(QStringLiteral("id_type_eating")), QStringLiteral("1-3"));
        type(dialog.control(QStringLiteral("output1")), QStringLiteral("180"));
        type(dialog.control(QStringLiteral("output2")), QStringLiteral("20"));
        grab(dialog, QStringLiteral("category-yields"));
        dialog.okButton()->click();
        EXPECT_EQ(dialog.result(), QDialog::Accepted);
    };
    prompt.answers = {Answer::Yes};
    w.action(QStringLiteral("keyOutputByCategory"))->trigger();
    EXPECT_EQ(title, QStringLiteral("Выход по категориям блюд"));
    EXPECT_EQ(prompt.messages(),
              QStringList({QStringLiteral("warning: Необходимо обязательно заполнить тип довольствующихся."),
                           QStringLiteral("question: Внимание! Будут изменены выходы для всех блюд категории \"Супы\" "
                                          "для типа довольствующегося \"1-3\". Отменить изменения невозможно! "
                                          "Продолжить? => Да")}));
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM output WHERE id_type_eating = ?1 AND output1 = 180 AND "
                                   "output2 = 20 AND id_card_recipe IN (?2, ?3)"),
                    {nursery, borscht, shchi}),
              2);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM output")), 2);
    // The list of Щи shows its new yield.
    ASSERT_EQ(w.list().rows.size(), 1u);
    EXPECT_EQ(w.list().rows[0].value(1), QStringLiteral("180/20"));

    // Closed with its changes, the editor asks to save them and Yes sets the yields too.
    w.showDialog = [&](QDialog& d) {
        auto& dialog = static_cast<RecordEditorDialog&>(d);
        choose(dialog.control(QStringLiteral("id_type_eating")), QStringLiteral("3-7"));
        type(dialog.control(QStringLiteral("output1")), QStringLiteral("250"));
        dialog.reject();
        EXPECT_EQ(dialog.result(), QDialog::Accepted);
    };
    prompt.clear();
    prompt.answers = {Answer::Yes, Answer::Yes};
    w.action(QStringLiteral("keyOutputByCategory"))->trigger();
    EXPECT_EQ(prompt.messages().value(0), QStringLiteral("question: Сохранить изменения? => Да"));
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM output WHERE id_type_eating = ?1 AND output1 = 250"), {garden}),
              2);
    EXPECT_EQ(w.list().rows.size(), 2u);  // the list was read again
}

TEST_F(CardListCommands, CardAddedInThePlainFormAsksForItsYield)
{
    // Whatever the card window would do, the plain form is the generic editor.
    ui::BookWindowHooks hooks = *ui::bookWindowHooks(books::entryCards);
    hooks.recordWindow = [](QWidget*, Database&, Prompt&, books::EditMode, std::optional<qint64>, std::optional<qint64>) {
        ADD_FAILURE() << "the card window opened";
        return std::optional<qint64>();
    };
    ui::setBookWindowHooks(books::entryCards, hooks);
    BookListWindow& w = open(books::entryCards);
    choose(w.parentFilter(), QStringLiteral("Каши"));
    QAction* plainAdd = w.findChild<QAction*>(QStringLiteral("keyPlainAdd"));
    ASSERT_NE(plainAdd, nullptr);
    EXPECT_EQ(plainAdd->text(), QStringLiteral("Добавить в простой форме"));
    EXPECT_TRUE(w.contextMenu()->actions().contains(plainAdd));

    w.showDialog = [&](QDialog& d) {
        auto& dialog = static_cast<RecordEditorDialog&>(d);
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Технологическая карта: Новая"));
        type(dialog.control(QStringLiteral("cname")), QStringLiteral("Каша гречневая"));
        dialog.okButton()->click();
    };
    prompt.inputs = {QStringLiteral("200")};
    plainAdd->trigger();
    EXPECT_EQ(prompt.messages(),
              QStringList({QStringLiteral("info: Вы добавили технологическую карту. Необходимо добавить выходы для "
                                          "каждого типа довольствующихся."),
                           QStringLiteral("input: Введите выход блюда => 200"),
                           QStringLiteral("info: Для корректной работы программы необходимо добавить ингредиенты в "
                                          "справочник \"Рецептуры\".")}));
    const qint64 added =
        db().scalar(QStringLiteral("SELECT id FROM card_recipes WHERE cname = 'Каша гречневая' AND id_type_meal = ?1"),
                    {porridges})
            .toLongLong();
    ASSERT_GT(added, 0);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM output WHERE id_card_recipe = ?1 AND output1 = 200"), {added}), 2);
    EXPECT_EQ(w.currentId(), added);
}

TEST_F(CardListCommands, RecipeLineEditorSwitchesBetweenProductsAndDishes)
{
    books::RecordEditor editor(db(), prompt, books::entryRecipeLines);
    ASSERT_TRUE(editor.open(books::EditMode::Add, {}, borscht));
    RecordEditorDialog dialog(editor);
    dialog.show();
    auto* nested = qobject_cast<QCheckBox*>(dialog.control(QStringLiteral("isCard")));
    auto* isComment = qobject_cast<QCheckBox*>(dialog.control(QStringLiteral("isComment")));
    auto* variant = qobject_cast<QCheckBox*>(dialog.control(QStringLiteral("isVariant")));
    QWidget* item = dialog.control(QStringLiteral("id_product"));
    QWidget* mainLine = dialog.control(QStringLiteral("id_MainCard"));
    ASSERT_TRUE(nested && isComment && variant && item && mainLine);

    EXPECT_EQ(labelOf(dialog, QStringLiteral("id_product")), QStringLiteral("Продукт"));
    EXPECT_EQ(itemsOf(item), QStringList(QStringLiteral("Свекла")));
    EXPECT_FALSE(mainLine->isEnabled());
    EXPECT_FALSE(dialog.control(QStringLiteral("comment"))->isEnabled());
    choose(item, QStringLiteral("Свекла"));

    // Ticked, the list holds the dishes and the product chosen before is dropped.
    nested->setChecked(true);
    EXPECT_EQ(labelOf(dialog, QStringLiteral("id_product")), QStringLiteral("Вложенное блюдо"));
    EXPECT_EQ(itemsOf(item), QStringList({QStringLiteral("Борщ"), QStringLiteral("Каша"), QStringLiteral("Щи")}));
    EXPECT_EQ(qobject_cast<QComboBox*>(item)->currentIndex(), -1);
    EXPECT_TRUE(editor.value(editor.fieldIndex(QStringLiteral("id_product"))).isNull());
    grab(dialog, QStringLiteral("recipe-line-nested"));

    // The card itself is refused, as is any dish that holds it.
    choose(item, QStringLiteral("Борщ"));
    prompt.clear();
    dialog.okButton()->click();
    EXPECT_EQ(prompt.messages(), QStringList(QStringLiteral("warning: Нельзя вложить блюдо в себя!")));
    EXPECT_FALSE(dialog.savedId());

    nested->setChecked(false);
    EXPECT_EQ(labelOf(dialog, QStringLiteral("id_product")), QStringLiteral("Продукт"));
    EXPECT_EQ(itemsOf(item), QStringList(QStringLiteral("Свекла")));

    // A variant chooses its main line among the card's other lines.
    variant->setChecked(true);
    EXPECT_TRUE(mainLine->isEnabled());
    EXPECT_EQ(itemsOf(mainLine), QStringList({QString(), QStringLiteral("Свекла")}));

    // A comment line: the text, nothing else.
    isComment->setChecked(true);
    for (const char* field : {"id_product", "isCard", "brutto", "netto", "isVariant", "id_MainCard"})
        EXPECT_FALSE(dialog.control(QString::fromLatin1(field))->isEnabled()) << field;
    EXPECT_TRUE(dialog.control(QStringLiteral("comment"))->isEnabled());
    grab(dialog, QStringLiteral("recipe-line-comment"));
    prompt.clear();
    dialog.okButton()->click();
    EXPECT_EQ(prompt.messages(), QStringList(QStringLiteral("warning: Необходимо обязательно ввести комментарий.")));
    type(dialog.control(QStringLiteral("comment")), QStringLiteral("Подавать со сметаной"));
    prompt.clear();
    prompt.answers = {Answer::No, Answer::No};  // the recalculation questions
    dialog.okButton()->click();
    ASSERT_TRUE(dialog.savedId());
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM recipes WHERE id = ?1 AND id_product = 0 AND isComment <> 0"),
                    {*dialog.savedId()}),
              1);
}

} // namespace
