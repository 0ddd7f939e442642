// The plan-menu windows offscreen: the dishes of a plan day with the summary under them, a dish
// moved within its meal, a dish added through the editor whose card list follows the category,
// the edit lock and the chosen-day rule refusing changes, and the plan-days command of the main
// window making the days of the first use.

#include "core/Database.h"
#include "core/DatabaseSession.h"
#include "core/Settings.h"
#include "core/Startup.h"
#include "menu/MenuModule.h"
#include "menu/PlanMenu.h"
#include "support/ScriptedPrompt.h"
#include "support/TestEnv.h"
#include "ui/BookWindows.h"
#include "ui/MainWindow.h"
#include "ui/MainWindowFixture.h"
#include "ui/PlanMenuWindows.h"
#include "ui/RecordEditorDialog.h"
#include "ui/BookListWindow.h"

#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTableView>
#include <QTableWidget>
#include <QToolBar>
#include <gtest/gtest.h>
#include <memory>

using namespace rat;
using ui::BookListWindow;

namespace {

QStringList cells(const QTableWidget* t, int column)
{
    QStringList out;
    for (int r = 0; r < t->rowCount(); ++r)
        out << (t->item(r, column) ? t->item(r, column)->text() : QString());
    return out;
}

QStringList dishColumn(const BookListWindow* w)
{
    QStringList out;
    for (const QStringList& row : w->list().rows)
        out << row.value(0) + QLatin1Char(':') + row.value(2);
    return out;
}

class PlanMenuWindows : public test::MainWindowFixture {
protected:
    void SetUp() override
    {
        menu::registerMenuModule();
        ASSERT_TRUE(createAndFillDatabase(session, env.path(QStringLiteral("plan.db"))));
        Settings::setText(QStringLiteral("User"), QStringLiteral("zapretPlM"), QStringLiteral("False"));
        db().execScript(QStringLiteral(
            "DELETE FROM plan_menu; DELETE FROM days; DELETE FROM output; DELETE FROM card_recipes;"
            "DELETE FROM FNORMS; DELETE FROM FNORMS_VIT;"
            "DELETE FROM type_eating; DELETE FROM type_menu; DELETE FROM eating; DELETE FROM type_meal;"
            "UPDATE vitamin SET ispCard = 0;"
            "INSERT INTO type_menu (id, tname, status, sezon) VALUES (1, 'Основное', 2, 1);"
            "INSERT INTO type_eating (id, ename, shname, status, id_type_menu) VALUES (1, 'Ясли', 'Ясли', -1, 1);"
            "INSERT INTO eating (id, ename) VALUES (1, 'Завтрак'), (2, 'Обед');"
            "INSERT INTO type_meal (id, tname) VALUES (1, 'Каши'), (2, 'Супы'), (3, 'Напитки');"
            "INSERT INTO card_recipes (id, cname, id_type_meal, protein, fat, carbohyd, calories) VALUES "
            "(1, 'Каша', 1, 3, 4, 20, 130), (2, 'Суп', 2, 2, 1.5, 8, 55), (3, 'Компот', 3, 0, 0, 12, 50),"
            "(4, 'Кисель', 3, 0, 0, 15, 60);"
            "INSERT INTO output (id_card_recipe, id_type_eating, output1) VALUES (1, 1, 150), (2, 1, 180), "
            "(3, 1, 150);"
            "INSERT INTO FNORMS (id_type_eating, nprotein, nfat, ncarbohyd, ncalories) VALUES (1, 10, 9, 50, 400);"
            "INSERT INTO days (id, dname, id_type_menu) VALUES (1, 'День 1', 1), (2, 'День 2', 1);"
            "INSERT INTO plan_menu (id, id_day, id_eating, id_card_recipes) VALUES (1, 1, 2, 2), (2, 1, 1, 1), "
            "(3, 1, 2, 3), (4, 2, 2, 2);"));
        prompt.clear();
        window = std::make_unique<ui::MainWindow>(session);
        ui::installBookWindows(*window, session);
        ui::installPlanMenuWindows(*window, session);
        window->resize(1300, 900);
        window->show();
    }

    void TearDown() override
    {
        Settings::setText(QStringLiteral("User"), QStringLiteral("zapretPlM"), QStringLiteral("False"));
        MainWindowFixture::TearDown();
    }
};

TEST_F(PlanMenuWindows, DishesOfADayWithTheSummaryAndTheMoves)
{
    BookListWindow* w = run("mnuPlan");
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->windowTitle(), QStringLiteral("План-меню"));
    EXPECT_EQ(w->grandParentFilter()->currentText(), QStringLiteral("Основное (осенне-зимний)"));
    EXPECT_EQ(w->parentFilter()->currentText(), QStringLiteral("День 1"));
    EXPECT_EQ(dishColumn(w), QStringList({QStringLiteral("Завтрак:Каша"), QStringLiteral("Обед:Суп"),
                                          QStringLiteral("Обед:Компот")}));

    // The summary of day 1: protein 4.5 + 3.6, fat 6 + 2.7, carbohydrates 30 + 14.4 + 18,
    // energy 195 + 99 + 75, yield 480; of the cycle: day 1 and day 2 (the soup) over two days.
    auto* panel = w->findChild<ui::PlanSummaryPanel*>(QStringLiteral("planSummary"));
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(panel->dayTable()->horizontalHeaderItem(2)->text(), QStringLiteral("Факт(норма)"));
    EXPECT_EQ(panel->dayBox()->title(), QStringLiteral("За плановый день \"День 1\""));
    EXPECT_EQ(cells(panel->dayTable(), 0).value(0), QStringLiteral("Ясли"));
    EXPECT_EQ(cells(panel->dayTable(), 2),
              QStringList({QStringLiteral("8,10(10,00)"), QStringLiteral("8,70(9,00)"), QStringLiteral("62,40(50,00)"),
                           QStringLiteral("369,00(400,00)"), QStringLiteral("480,00"), QStringLiteral("150,00"),
                           QStringLiteral("330,00")}));
    EXPECT_EQ(cells(panel->dayTable(), 1).mid(4), QStringList({QStringLiteral("Выход, г"),
                                                               QStringLiteral("Выход (Завтрак), г"),
                                                               QStringLiteral("Выход (Обед), г")}));
    // (8.1 + 3.6) / 2, (8.7 + 2.7) / 2, (62.4 + 14.4) / 2, (369 + 99) / 2, (480 + 180) / 2.
    EXPECT_EQ(cells(panel->averageTable(), 2),
              QStringList({QStringLiteral("5,85(10,00)"), QStringLiteral("5,70(9,00)"), QStringLiteral("38,40(50,00)"),
                           QStringLiteral("234,00(400,00)"), QStringLiteral("330,00"), QStringLiteral("75,00"),
                           QStringLiteral("255,00")}));
    // The recommended portion volume follows each meal's yield.
    db().exec(QStringLiteral("INSERT INTO SOBBLUD (id_type_eating, id_eating, objemMin, objemMax) VALUES "
                             "(1, 1, 150, 200), (1, 2, 300, NULL)"));
    panel->refresh();
    EXPECT_EQ(cells(panel->dayTable(), 2).mid(5),
              QStringList({QStringLiteral("150,00 (150 - 200)"), QStringLiteral("330,00 (300)")}));
    EXPECT_EQ(cells(panel->averageTable(), 2).mid(5),
              QStringList({QStringLiteral("75,00 (150 - 200)"), QStringLiteral("255,00 (300)")}));

    // Another day: the day's block follows, the average stays.
    w->parentFilter()->setCurrentIndex(1);
    EXPECT_EQ(panel->dayBox()->title(), QStringLiteral("За плановый день \"День 2\""));
    EXPECT_EQ(cells(panel->dayTable(), 2).value(0), QStringLiteral("3,60(10,00)"));
    EXPECT_EQ(cells(panel->averageTable(), 2).value(0), QStringLiteral("5,85(10,00)"));
    w->parentFilter()->setCurrentIndex(0);

    // keyUp on the compote: above the soup, within lunch; again: it stays under breakfast.
    QAction* up = w->action(QStringLiteral("keyUp"));
    ASSERT_NE(up, nullptr);
    EXPECT_EQ(up->toolTip(), QStringLiteral("Переместить блюдо вверх в пределах текущего приема пищи/категории блюд"));
    EXPECT_EQ(w->action(QStringLiteral("keyDown"))->toolTip(),
              QStringLiteral("Переместить блюдо вниз в пределах текущего приема пищи/категории блюд"));
    w->selectRow(2);
    up->trigger();
    EXPECT_EQ(dishColumn(w), QStringList({QStringLiteral("Завтрак:Каша"), QStringLiteral("Обед:Компот"),
                                          QStringLiteral("Обед:Суп")}));
    EXPECT_EQ(w->currentRow(), 1);
    up->trigger();
    EXPECT_EQ(dishColumn(w), QStringList({QStringLiteral("Завтрак:Каша"), QStringLiteral("Обед:Компот"),
                                          QStringLiteral("Обед:Суп")}));
    w->action(QStringLiteral("keyDown"))->trigger();
    EXPECT_EQ(dishColumn(w), QStringList({QStringLiteral("Завтрак:Каша"), QStringLiteral("Обед:Суп"),
                                          QStringLiteral("Обед:Компот")}));
    EXPECT_EQ(w->currentRow(), 2);
    EXPECT_TRUE(prompt.messages().isEmpty()) << prompt.messages().join('\n').toStdString();
}

TEST_F(PlanMenuWindows, DishAddedThroughTheEditorAndTheLockRefusesChanges)
{
    BookListWindow* w = run("mnuPlan");
    ASSERT_NE(w, nullptr);

    // The card list offers what the plan-menu's eater types have a yield for (not Кисель), and
    // follows the category chosen in the editor.
    QStringList offered, offeredDrinks;
    QString caption;
    w->showDialog = [&](QDialog& d) {
        auto& dialog = static_cast<ui::RecordEditorDialog&>(d);
        caption = dialog.windowTitle();
        auto* card = qobject_cast<QComboBox*>(dialog.control(QStringLiteral("id_card_recipes")));
        auto* category = qobject_cast<QComboBox*>(dialog.control(QStringLiteral("id_type_meal")));
        auto* meal = qobject_cast<QComboBox*>(dialog.control(QStringLiteral("id_eating")));
        ASSERT_TRUE(card && category && meal);
        for (int i = 0; i < card->count(); ++i)
            offered << card->itemText(i).trimmed();
        category->setCurrentIndex(category->findText(QStringLiteral("Напитки")));
        for (int i = 0; i < card->count(); ++i)
            offeredDrinks << card->itemText(i).trimmed();
        card->setCurrentIndex(card->findText(QStringLiteral("Компот"), Qt::MatchStartsWith));
        meal->setCurrentIndex(meal->findText(QStringLiteral("Завтрак")));
        dialog.okButton()->click();
    };
    w->action(QStringLiteral("keyAdd"))->trigger();
    EXPECT_EQ(caption, QStringLiteral("План-меню: Новая"));
    EXPECT_EQ(offered, QStringList({QStringLiteral("Каша"), QStringLiteral("Компот"), QStringLiteral("Суп")}));
    EXPECT_EQ(offeredDrinks, QStringList({QStringLiteral("Компот")}));
    EXPECT_EQ(dishColumn(w), QStringList({QStringLiteral("Завтрак:Каша"), QStringLiteral("Завтрак:Компот"),
                                          QStringLiteral("Обед:Суп"), QStringLiteral("Обед:Компот")}));
    EXPECT_TRUE(prompt.messages().isEmpty()) << prompt.messages().join('\n').toStdString();

    // Locked: add, delete and the moves are refused before anything opens or changes.
    Settings::setText(QStringLiteral("User"), QStringLiteral("zapretPlM"), QStringLiteral("True"));
    const QString locked = QStringLiteral(
        "warning: Извините, но план-меню запрещено редактировать. Для того чтобы разрешить редактирование "
        "план-меню, выполните команду \"Сервис - Параметры\" и снимите галочку \"Запретить изменения в план-меню\".");
    int opened = 0;
    w->showDialog = [&](QDialog& d) {
        ++opened;
        d.reject();
    };
    const QStringList before = dishColumn(w);
    prompt.clear();
    w->action(QStringLiteral("keyAdd"))->trigger();
    w->selectRow(1);
    w->action(QStringLiteral("keyDel"))->trigger();
    w->action(QStringLiteral("keyUp"))->trigger();
    EXPECT_EQ(prompt.messages(), QStringList({locked, locked, locked}));
    EXPECT_EQ(opened, 0);
    EXPECT_EQ(dishColumn(w), before);

    // Unlocked but no day to add to.
    Settings::setText(QStringLiteral("User"), QStringLiteral("zapretPlM"), QStringLiteral("False"));
    db().exec(QStringLiteral("DELETE FROM plan_menu WHERE id_day IN (SELECT id FROM days WHERE id_type_menu = 1)"));
    db().exec(QStringLiteral("DELETE FROM days"));
    w->reload();
    prompt.clear();
    prompt.answers = {Answer::No};
    w->action(QStringLiteral("keyAdd"))->trigger();
    EXPECT_EQ(prompt.messages(),
              QStringList({QStringLiteral("question: Список плановых дней пуст. Сначала заполните справочник "
                                          "\"Плановые дни\", после чего можно будет создавать и/или редактировать "
                                          "план-меню. Открыть справочник плановых дней? => Нет")}));
    EXPECT_EQ(opened, 0);
}

TEST_F(PlanMenuWindows, PlanDaysCommandMakesTheFirstDaysAndOpensTheirList)
{
    db().exec(QStringLiteral("DELETE FROM plan_menu"));
    db().exec(QStringLiteral("DELETE FROM days"));
    prompt.inputs = {QStringLiteral("3")};
    BookListWindow* w = run("mnuDays");
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->windowTitle(), QStringLiteral("Плановые дни"));
    QStringList names;
    for (const QStringList& row : w->list().rows)
        names << row.value(0) + QLatin1Char('|') + row.value(1);
    EXPECT_EQ(names, QStringList({QStringLiteral("День 1|Основное (осенне-зимний)"),
                                  QStringLiteral("День 2|Основное (осенне-зимний)"),
                                  QStringLiteral("День 3|Основное (осенне-зимний)")}));
    EXPECT_NE(w->action(QStringLiteral("keyCopyDay")), nullptr);
    EXPECT_FALSE(w->action(QStringLiteral("keyCopyDay"))->icon().isNull());

    // "Плановые дни" of the dishes window asks before it opens the plan-days list.
    BookListWindow* dishes = run("mnuPlan");
    ASSERT_NE(dishes, nullptr);
    prompt.clear();
    prompt.answers = {Answer::No};
    dishes->action(QStringLiteral("keyDays"))->trigger();
    EXPECT_EQ(prompt.messages(),
              QStringList({QStringLiteral("question: Плановые дни редактируются в справочнике плановых дней. Открыть "
                                          "справочник? => Нет")}));
    EXPECT_EQ(qobject_cast<BookListWindow*>(window->mdiArea()->activeSubWindow()->widget()), dishes);
}

} // namespace
