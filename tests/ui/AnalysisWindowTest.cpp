// The analysis windows offscreen: the plan-menu list's keys open the compliance and repeats
// analyses under their captions with bold and red lines, the main window's command remembers
// the choice, and the norms list shows group lines and deletes a whole group from its line.

#include "core/Database.h"
#include "core/DatabaseSession.h"
#include "core/Settings.h"
#include "core/Startup.h"
#include "menu/MenuModule.h"
#include "menu/Norms.h"
#include "menu/PlanMenu.h"
#include "ui/AnalysisWindow.h"
#include "ui/BookListWindow.h"
#include "ui/BookWindows.h"
#include "ui/MainWindow.h"
#include "ui/MainWindowFixture.h"
#include "ui/PlanMenuWindows.h"

#include <QAction>
#include <QApplication>
#include <QInputDialog>
#include <QComboBox>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QStandardItemModel>
#include <QTableView>
#include <QTimer>
#include <gtest/gtest.h>

using namespace rat;
using ui::AnalysisWindow;
using ui::BookListWindow;

namespace {

class AnalysisWindows : public test::MainWindowFixture {
protected:
    void SetUp() override
    {
        menu::registerMenuModule();
        ASSERT_TRUE(createAndFillDatabase(session, env.path(QStringLiteral("analysis.db"))));
        db().execScript(QStringLiteral(
            "DELETE FROM plan_menu; DELETE FROM days; DELETE FROM output; DELETE FROM card_recipes; DELETE FROM recipes;"
            "DELETE FROM type_eating; DELETE FROM type_menu; DELETE FROM eating; DELETE FROM norms; DELETE FROM products;"
            "INSERT INTO type_menu (id, tname, status) VALUES (1, 'Основное', 2);"
            "INSERT INTO type_eating (id, ename, shname, status, id_type_menu) VALUES (1, 'Ясли', 'Ясли', -1, 1);"
            "INSERT INTO eating (id, ename) VALUES (1, 'Завтрак');"
            "INSERT INTO products (id, pname, rule_okr) VALUES (1, 'Молоко', 2), (2, 'Кефир', 2), (3, 'Рис', 0);"
            "INSERT INTO card_recipes (id, cname, number1) VALUES (1, 'Каша', '7'), (2, 'Плов', '9');"
            "INSERT INTO recipes (id_card_recipes, id_product, brutto, netto, isCard, isComment, isVariant) VALUES "
            "(1, 1, 60, 50, 0, 0, 0), (2, 3, 30, 30, 0, 0, 0);"
            "INSERT INTO output (id_card_recipe, id_type_eating, output1) VALUES (1, 1, 200), (2, 1, 150);"
            "INSERT INTO days (id, dname, id_type_menu) VALUES (1, 'День 1', 1), (2, 'День 2', 1), (3, 'День 3', 1),"
            "(4, 'День 4', 1);"
            "INSERT INTO plan_menu (id_day, id_card_recipes, id_eating) VALUES (1, 1, 1), (2, 1, 1), (4, 2, 1), (1, 2, 1);"
            "INSERT INTO norms (id_type_eating, gname, norm, id_product) VALUES (1, 'Молочные', 300, 1), "
            "(1, 'Молочные', 300, 2), (1, 'Крупы', 40, 3);"));
        prompt.clear();
        window = std::make_unique<ui::MainWindow>(session);
        ui::installBookWindows(*window, session);
        ui::installPlanMenuWindows(*window, session);
        ui::installAnalysisWindows(*window, session);
        window->resize(1300, 900);
        window->show();
    }

    BookListWindow* openList(int entry)
    {
        window->openEntry(entry);
        QMdiSubWindow* sub = window->mdiArea()->activeSubWindow();
        return sub ? qobject_cast<BookListWindow*>(sub->widget()) : nullptr;
    }
    AnalysisWindow* activeAnalysis() const
    {
        QMdiSubWindow* sub = window->mdiArea()->activeSubWindow();
        return sub ? qobject_cast<AnalysisWindow*>(sub->widget()) : nullptr;
    }
    static QStringList column(const AnalysisWindow* w, int c)
    {
        QStringList out;
        for (int r = 0; r < w->model()->rowCount(); ++r)
            out << w->model()->item(r, c)->text();
        return out;
    }
};

TEST_F(AnalysisWindows, PlanMenuKeysOpenTheAnalysesUnderTheirCaptions)
{
    BookListWindow* menus = openList(menu::entryMenuTypes);
    ASSERT_NE(menus, nullptr);
    menus->selectRow(0);
    QAction* an = menus->action(QStringLiteral("keyAn"));
    ASSERT_NE(an, nullptr);
    ASSERT_NE(menus->action(QStringLiteral("keyAnPr")), nullptr);
    an->trigger();
    AnalysisWindow* w = activeAnalysis();
    ASSERT_NE(w, nullptr) << prompt.messages().join('\n').toStdString();
    EXPECT_EQ(w->objectName(), QStringLiteral("frmSprav"));
    EXPECT_EQ(w->windowTitle(), QStringLiteral("Анализ плана-меню \"Основное\" на соответствие нормам питания"));
    // Milk: 50 × 200 / 100 = 100 g on two of four days, 50 a day; rice 45 g on two days, 22.5.
    EXPECT_EQ(column(w, 0), (QStringList{QStringLiteral("Ясли"), QStringLiteral("Крупы"), QStringLiteral("Рис"),
                                         QStringLiteral("Итог"), QStringLiteral("Молочные"), QStringLiteral("Молоко"),
                                         QStringLiteral("Итог")}));
    EXPECT_EQ(column(w, 1).value(2), QStringLiteral("22,5"));
    EXPECT_EQ(column(w, 4).value(6), QStringLiteral("16,67"));
    EXPECT_TRUE(w->model()->item(0, 0)->font().bold());
    EXPECT_TRUE(w->model()->item(3, 1)->font().bold());
    EXPECT_FALSE(w->model()->item(2, 0)->font().bold());
    EXPECT_EQ(Settings::value(QStringLiteral("User"), QStringLiteral("an")).toLongLong(), 1);

    // Repeats: the porridge on days 1 and 2 in red bold; the pilaf on days 4 and 1 (the cycle's
    // ends) as well.
    menus->action(QStringLiteral("keyAnPrPov"))->trigger();
    w = activeAnalysis();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->windowTitle(), QStringLiteral("Анализ плана-меню \"Основное\" на повтор блюд в разрезе 3х дней"));
    EXPECT_EQ(w->model()->horizontalHeaderItem(2)->text(), QStringLiteral("День 1"));
    EXPECT_EQ(column(w, 1), (QStringList{QStringLiteral("Каша"), QStringLiteral("Плов")}));
    EXPECT_EQ(w->model()->item(0, 2)->foreground().color(), QColor(Qt::red));
    EXPECT_TRUE(w->model()->item(1, 5)->font().bold());
    EXPECT_EQ(w->model()->item(1, 4)->text(), QString());

    if (const QByteArray shot = qgetenv("RAT_ANALYSIS_SHOT"); !shot.isEmpty()) {
        menus->action(QStringLiteral("keyAn"))->trigger();
        window->grab().save(QString::fromLocal8Bit(shot), "PNG");
    }
}

TEST_F(AnalysisWindows, MainWindowCommandOffersThePlanMenusWithTheLastChoice)
{
    db().exec(QStringLiteral("INSERT INTO type_menu (id, tname, status) VALUES (2, 'Летнее', 1)"));
    Settings::setValue(QStringLiteral("User"), QStringLiteral("an"), 1);
    QString title, label, preselected;
    QStringList offered;
    QTimer::singleShot(0, [&] {
        auto* dlg = qobject_cast<QInputDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dlg, nullptr);
        title = dlg->windowTitle();
        label = dlg->labelText();
        offered = dlg->comboBoxItems();
        preselected = dlg->textValue();
        dlg->accept();
    });
    QAction* command = window->command(QStringLiteral("mnuPM"));
    ASSERT_NE(command, nullptr);
    command->trigger();
    EXPECT_EQ(title, QStringLiteral("Анализ плана-меню"));
    EXPECT_EQ(label, QStringLiteral("Выберите план-меню"));
    EXPECT_EQ(offered, (QStringList{QStringLiteral("Летнее"), QStringLiteral("Основное")}));
    EXPECT_EQ(preselected, QStringLiteral("Основное"));
    AnalysisWindow* w = activeAnalysis();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->windowTitle(), QStringLiteral("Анализ плана-меню \"Основное\" на соответствие нормам питания"));

    // The energy distribution offers only the plan-menus kept by meals.
    QTimer::singleShot(0, [&] {
        auto* dlg = qobject_cast<QInputDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dlg, nullptr);
        offered = dlg->comboBoxItems();
        dlg->reject();
    });
    window->command(QStringLiteral("mnuAnKall"))->trigger();
    EXPECT_EQ(offered, QStringList{QStringLiteral("Основное")});
}

TEST_F(AnalysisWindows, RefusalFromTheKeyOpensNothing)
{
    db().exec(QStringLiteral("DELETE FROM norms"));
    BookListWindow* menus = openList(menu::entryMenuTypes);
    ASSERT_NE(menus, nullptr);
    menus->selectRow(0);
    const int before = int(window->mdiArea()->subWindowList().size());
    menus->action(QStringLiteral("keyAn"))->trigger();
    EXPECT_EQ(window->mdiArea()->subWindowList().size(), before);
    EXPECT_EQ(prompt.messages(), QStringList{QStringLiteral("critical: Невозможно выполнить анализ плана-меню, так как "
                                                            "на выбранный Вами тип меню не введены нормы питания.")});
}

TEST_F(AnalysisWindows, ProductNeedOfTheChosenDayForTheEatersGiven)
{
    db().exec(QStringLiteral("INSERT OR REPLACE INTO ed_izmer (id, ename, koef) VALUES (901, 'кг', 1000)"));
    db().exec(QStringLiteral("UPDATE products SET id_ed_izmer = 901"));
    db().exec(QStringLiteral("DELETE FROM storage; DELETE FROM receipt"));
    db().exec(QStringLiteral("INSERT INTO storage (id_product, quantity, id_ed_izmer, status, rddate) "
                             "VALUES (3, 2, 901, -1, '2000-01-01')"));
    BookListWindow* menus = openList(menu::entryMenuTypes);
    ASSERT_NE(menus, nullptr);
    menus->selectRow(0);
    prompt.choices = {1};                     // "День 1"
    prompt.inputs = {QStringLiteral("10")};   // the nursery
    menus->action(QStringLiteral("keyRashod"))->trigger();
    AnalysisWindow* w = activeAnalysis();
    ASSERT_NE(w, nullptr) << prompt.messages().join('\n').toStdString();
    EXPECT_EQ(w->windowTitle(), QStringLiteral("Расход продуктов питания"));
    // Milk 60 × 200 / 100 = 120 g and rice 30 × 150 / 100 = 45 g gross for ten eaters, in
    // kilograms: tenths for milk, four places for rice, which has no rounding rule.
    EXPECT_EQ(column(w, 0), (QStringList{QStringLiteral("Молоко"), QStringLiteral("Рис")}));
    EXPECT_EQ(column(w, 2), (QStringList{QStringLiteral("1,2"), QStringLiteral("0,45")}));
    EXPECT_EQ(column(w, 4), (QStringList{QStringLiteral("0"), QStringLiteral("2")}));  // rice in store
}

TEST_F(AnalysisWindows, NormsListDeletesAGroupFromItsLine)
{
    BookListWindow* norms = openList(menu::entryNorms);
    ASSERT_NE(norms, nullptr);
    EXPECT_EQ(norms->windowTitle(), QStringLiteral("Нормы питания"));
    ASSERT_EQ(norms->list().rowCount(), 5);
    EXPECT_EQ(norms->list().rows[0].value(0), QStringLiteral("Крупы"));
    EXPECT_EQ(norms->list().rows[0].value(1), QStringLiteral("40,00"));
    norms->selectRow(2);  // the group line "Молочные"
    prompt.answers = {Answer::Yes};
    norms->action(QStringLiteral("keyDel"))->trigger();
    EXPECT_EQ(prompt.messages(), QStringList{QStringLiteral("question: Удалить нормы для всей группы продуктов "
                                                            "Молочные? Продуктов в группе: 2 => Да")});
    EXPECT_EQ(norms->list().rowCount(), 2);
    EXPECT_EQ(db().scalar(QStringLiteral("SELECT COUNT(*) FROM norms")).toLongLong(), 1);
}

} // namespace
