// The main window's command set: menus and captions, toolbars and their saved visibility,
// the organisation switches, catalogue entries, and the database file commands.

#include "core/AppState.h"
#include "core/Clock.h"
#include "core/Database.h"
#include "core/DatabaseSession.h"
#include "core/Settings.h"
#include "core/Startup.h"
#include "support/ScriptedPrompt.h"
#include "support/TestEnv.h"
#include "ui/HelpBrowser.h"
#include "ui/MainWindow.h"
#include "ui/TableViewWindow.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QString>
#include <QStringList>
#include <QToolBar>
#include <gtest/gtest.h>
#include <vector>

using namespace rat;
using ui::MainWindow;

namespace {

const QString kNotAvailable = QStringLiteral("Функция недоступна в этой версии программы.");

qint64 count(Database& db, const QString& table)
{
    return db.scalar(QStringLiteral("SELECT count(*) FROM ") + table).toLongLong();
}

QString settingsText(const QString& key)
{
    return Settings::text(QStringLiteral("Settings"), key);
}

// The captions of a menu's entries in order (separators as "-").
QStringList captions(const QMenu* menu)
{
    QStringList out;
    for (const QAction* a : menu->actions())
        out << (a->isSeparator() ? QStringLiteral("-") : a->text());
    return out;
}

class MainWindowMenuTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Clock::setToday(QDate(2024, 3, 15));
        ASSERT_TRUE(createAndFillDatabase(session, app().dbPath)) << prompt.messages().join('\n').toStdString();
        prompt.clear();
    }
    void TearDown() override { Clock::setToday(QDate()); }

    // A second working file beside the first, told apart by the organisation's name.
    QString makeOtherFile(const QString& name, const QString& organisation)
    {
        const QString path = env.path(name);
        test::ScriptedPrompt quiet;
        DatabaseSession other(quiet);
        EXPECT_TRUE(createAndFillDatabase(other, path));
        other.db().exec(QStringLiteral("UPDATE INF SET Naim = ?1"), {organisation});
        return path;
    }

    QString organisation() { return session.db().scalar(QStringLiteral("SELECT Naim FROM INF")).toString(); }

    test::TestEnv env;
    test::ScriptedPrompt prompt;
    DatabaseSession session{prompt};
};

// ---- Menus and captions ------------------------------------------------------------------------

TEST_F(MainWindowMenuTest, MenuBarHasTheMenusInOrderWithTheirSubmenus)
{
    MainWindow window(session);
    QStringList top;
    for (const QAction* a : window.menuBar()->actions())
        top << a->text();
    EXPECT_EQ(top, QStringList({"&Файл", "&Правка", "&Вид", "Действия", "Спр&авочники", "Меню", "Ск&лад", "Отчеты",
                                "ХАССП", "С&ервис", "&Окно", "&Справка"}));

    struct Sub {
        const char* parent;
        const char* name;
        const char* caption;
    };
    const Sub subs[] = {
        {"menuBooks", "menuCards", "Технологические карты"}, {"menuBooks", "menuProducts", "Продукты"},
        {"menuBooks", "menuCommon", "Общие "},               {"menuStore", "menuStoreOps", "Операции "},
        {"menuStore", "menuStoreReports", "Отчеты"},         {"menuStore", "menuSuppliers", "Поставщики"},
        {"menuReports", "menuAccumulative", "Накопительные ведомости"},
    };
    for (const Sub& s : subs) {
        QMenu* sub = window.menu(QString::fromUtf8(s.name));
        ASSERT_NE(sub, nullptr) << s.name;
        EXPECT_EQ(sub->title(), QString::fromUtf8(s.caption));
        EXPECT_TRUE(window.menu(QString::fromUtf8(s.parent))->actions().contains(sub->menuAction())) << s.name;
    }

    // The file menu reads as a person expects it, with separators between its groups.
    EXPECT_EQ(captions(window.menu(QStringLiteral("menuFile"))),
              QStringList({"&Создать базу данных...", "&Открыть базу данных...",
                           "&Открыть расположение базы данных...", "-", "&Закрыть окно", "-",
                           "Экспорт данных в XML...", "-", "Сохранить базу данных &как...",
                           "Скопировать на съемный &диск", "Восстановить cо съем&ного дискa", "-", "&Печать...", "-",
                           "Выгрузить в XML", "Импортировать идеальное меню", "-", "&Выход"}));
    EXPECT_EQ(captions(window.menu(QStringLiteral("menuStoreOps"))),
              QStringList({"Приход", "Расход", "Возврат", "Списание", "Заказ"}));
    EXPECT_EQ(captions(window.menu(QStringLiteral("menuWindow"))),
              QStringList({"&Каскад", "Расположить &горизонтально", "Расположить &вертикально"}));
}

TEST_F(MainWindowMenuTest, EveryCommandExistsInItsMenuWithItsCaption)
{
    struct Cmd {
        const char* menu;
        const char* name;
        const char* caption;
    };
    const Cmd cmds[] = {
        {"menuFile", "mnuFileCr", "&Создать базу данных..."},
        {"menuFile", "mnuFileOpen", "&Открыть базу данных..."},
        {"menuFile", "mnuFileOpenR", "&Открыть расположение базы данных..."},
        {"menuFile", "mnuFileClose", "&Закрыть окно"},
        {"menuFile", "mnu1C", "Экспорт данных в XML..."},
        {"menuFile", "mnuFileSaveAs", "Сохранить базу данных &как..."},
        {"menuFile", "mnuFileSaveTo", "Скопировать на съемный &диск"},
        {"menuFile", "mnuFileOpenFrom", "Восстановить cо съем&ного дискa"},
        {"menuFile", "mnuFilePrint", "&Печать..."},
        {"menuFile", "mnuExportXML", "Выгрузить в XML"},
        {"menuFile", "mnuImpSbor", "Импортировать идеальное меню"},
        {"menuFile", "mnuFileExit", "&Выход"},
        {"menuEdit", "mnuEditCut", "&Вырезать"},
        {"menuEdit", "mnuEditCopy", "&Копировать"},
        {"menuEdit", "mnuEditPaste", "Вст&авить"},
        {"menuEdit", "mnuPoisk", "Найти..."},
        {"menuEdit", "mnuPoiskd", "Найти далее..."},
        {"menuView", "mnuViewToolbar", "&Панель инструментов"},
        {"menuView", "mnuOper", "&Панель операций"},
        {"menuView", "mnuViewStatusBar", "&Статус строка"},
        {"menuView", "mnuViewRefresh", "&Обновить"},
        {"menuView", "mnuViewOptions", "&Параметры..."},
        {"menuActions", "mnuDS0", "Найти блюдо"},
        {"menuActions", "mnuDS1", "Новая строка"},
        {"menuActions", "mnuDS2", "Изменить (открыть)"},
        {"menuActions", "mnuDS3", "Копировать строку"},
        {"menuActions", "mnuDS4", "Удалить строку"},
        {"menuBooks", "mnuUchr", "Учреждение"},
        {"menuBooks", "mnuSprUsers", "Пользователи"},
        {"menuCards", "mnuCards1", "&Блюда"},
        {"menuCards", "mnuCards2", "Технологические карты"},
        {"menuCards", "mnuOutput", "Выходы"},
        {"menuCards", "mnuRecipes", "Рецептуры"},
        {"menuCards", "mnuNovCard", "Добавить технологическую карту"},
        {"menuCards", "mnuDiet", "Блюда - Диеты"},
        {"menuCards", "mnuTMeal", "Категории блюд"},
        {"menuCards", "mnuCType", "Виды кулинарной обработки"},
        {"menuCards", "mnuReceptur", "Сборники рецептур"},
        {"menuProducts", "mnuProducts1", "Продукты"},
        {"menuProducts", "mnuVitaKol", "Содержание витаминов и минералов"},
        {"menuProducts", "mnuReplace", "Замена"},
        {"menuProducts", "mnuSSezon", "Сезонные проценты потерь"},
        {"menuProducts", "mnuPGroup", "Группы продуктов"},
        {"menuProducts", "mnuEdIzmer", "Единицы измерения"},
        {"menuCommon", "mnuVitamin", "Витамины и минералы"},
        {"menuCommon", "mnuEating", "Приемы пищи"},
        {"menuCommon", "mnuTEating", "Типы довольствующихся"},
        {"menuCommon", "mnuFPLS", "Фиксированная плановая стоимость"},
        {"menuCommon", "mnuNorms", "Нормы питания"},
        {"menuCommon", "mnuFnorms", "Физиологические нормы"},
        {"menuCommon", "mnuObjem", "Суммарные объемы блюд по приемам пищи"},
        {"menuCommon", "mnuRaspred", "Распределение энергетической ценности (калорийности)"},
        {"menuCommon", "mnuVal", "Валюты"},
        {"menuCommon", "mnuVidZhir", "Виды фритюрных жиров"},
        {"menuCommon", "mnuTipZhar", "Типы жарочного оборудования"},
        {"menuMenu", "mnuPlan", "План-меню"},
        {"menuMenu", "mnuDayMenu", "Журнал меню на день"},
        {"menuMenu", "mnuM", "Журнал меню-требований"},
        {"menuMenu", "mnuTypeMenu", "Типы меню"},
        {"menuMenu", "mnuDays", "Плановые дни"},
        {"menuStore", "mnuStorage1", "Склады"},
        {"menuStore", "mnuOstatok", "Остатки на складе"},
        {"menuStoreOps", "mnuReceip", "Приход"},
        {"menuStoreOps", "mnuExpense", "Расход"},
        {"menuStoreOps", "mnuReturn", "Возврат"},
        {"menuStoreOps", "mnuSpisanie", "Списание"},
        {"menuStoreOps", "mnuOrder", "Заказ"},
        {"menuStoreReports", "mnuOtBr", "Бракераж пищевых продуктов"},
        {"menuStoreReports", "mnuOtN1", "Накопительная ведомость расхода продуктов нарастающим итогом"},
        {"menuStoreReports", "mnuOtN2", "Накопительная ведомость расхода продуктов"},
        {"menuStoreReports", "mnuVedROKUD1", "Накопительная ведомость расхода (ОКУД 0504038)"},
        {"menuStoreReports", "mnuOtN3", "Накопительная ведомость прихода продуктов нарастающим итогом"},
        {"menuStoreReports", "mnuOtN4", "Накопительная ведомость прихода продуктов"},
        {"menuStoreReports", "mnuVedNacopOKUD", "Накопительная ведомость прихода (ОКУД 0504037)"},
        {"menuStoreReports", "mnuOtJ1", "Учет движения товаров на складе"},
        {"menuStoreReports", "mnuOtJ", "Журнал учета движения товаров на складе"},
        {"menuStoreReports", "MnuBookUsch", "Книга учета материальных ценностей"},
        {"menuStoreReports", "mnuOtV", "Ведомость учета остатков продуктов и товаров на складе"},
        {"menuStoreReports", "mnuObrOb", "Оборотно-сальдовая ведомость"},
        {"menuStoreReports", "mnuObrOkud", "Оборотно-сальдовая ведомость (ОКУД 0504035)"},
        {"menuStoreReports", "mnuObr", "Остатки продуктов на выбранную дату"},
        {"menuStoreReports", "mnuStr1", "Накладная на внутреннее перемещение, передачу товаров"},
        {"menuStoreReports", "mnuSlVedSkl", "Сличительная ведомость"},
        {"menuSuppliers", "mnuSupplier1", "Поставщики"},
        {"menuSuppliers", "mnuCardPost", "Карточка поставщика"},
        {"menuSuppliers", "mnuVedPos", "Оборотно-сальдовая ведомость по поставщикам"},
        {"menuReports", "mnuBrakeragGP", "Бракераж готовой продукции"},
        {"menuReports", "mnuBrakerajProd", "Бракераж пищевых продуктов"},
        {"menuReports", "mnuUchetZhirov", "Схема учета использования фритюрных жиров"},
        {"menuAccumulative", "mnuVed", "Накопительная ведомость расхода продуктов нарастающим итогом"},
        {"menuAccumulative", "mnuVed1", "Накопительная ведомость расхода продуктов"},
        {"menuAccumulative", "mnuVedROKUD", "Накопительная ведомость расхода (ОКУД 0504038)"},
        {"menuAccumulative", "mnuVed2", "Накопительная ведомость прихода продуктов нарастающим итогом"},
        {"menuAccumulative", "mnuVed3", "Накопительная ведомость прихода продуктов"},
        {"menuAccumulative", "mnuVedPOKUD", "Накопительная ведомость прихода (ОКУД 0504037)"},
        {"menuReports", "mnuPM", "Анализ плана-меню на соответствие нормам питания"},
        {"menuReports", "mnuPMPovtor", "Анализ плана-меню на повтор блюд в разрезе 3х дней"},
        {"menuReports", "mnuAnKall", "Анализ распределения калорийности плана-меню"},
        {"menuReports", "mnuAnDD", "Анализ отклонения фактической себестоимости детодня от плана"},
        {"menuReports", "mnuVedKon", "Ведомость контроля за рационом питания (брутто)"},
        {"menuReports", "mnuVedKon1", "Ведомость контроля за рационом питания (нетто)"},
        {"menuReports", "mnuSostav", "Отчет о химическом составе (нетто)"},
        {"menuReports", "mnuSostav1", "Отчет о химическом составе (брутто)"},
        {"menuReports", "mnuRVitamin", "Журнал витаминизации"},
        {"menuReports", "mnuJur1", "Учет движения товаров на складе"},
        {"menuReports", "mnuJur", "Журнал учета движения товаров на складе"},
        {"menuReports", "MnuBookUschOtch", "Книга учета материальных ценностей"},
        {"menuReports", "mnuOtchDetodni", "Отчет по детодням"},
        {"menuReports", "mnuVedost", "Ведомость учета остатков продуктов и товаров на складе"},
        {"menuReports", "mnuSlVed", "Сличительная ведомость"},
        {"menuReports", "mnuInVed", "Инвентаризационная ведомость"},
        {"menuHaccp", "mnuRoom", "Помещения"},
        {"menuHaccp", "mnuOborud", "Оборудование"},
        {"menuHaccp", "keyHass", "Документы по организации ХАССП"},
        {"menuService", "mnuToolsLock", "Установить &пароль..."},
        {"menuService", "mnuToolsAcc", "&Сжать базу данных"},
        {"menuService", "mnuToolsArh", "&Архивировать базу данных"},
        {"menuService", "mnuToolsMail", "&Вложить в письмо базу данных"},
        {"menuService", "mnuNevDB", "Переход на новую &базу данных"},
        {"menuService", "mnuProverka", "Проверить базу данных"},
        {"menuService", "mnuAvtPrich", "Параметры авто&заказа"},
        {"menuService", "mnuToolsOptions", "Па&раметры..."},
        {"menuWindow", "mnuWindowCascade", "&Каскад"},
        {"menuWindow", "mnuWindowTileHorizontal", "Расположить &горизонтально"},
        {"menuWindow", "mnuWindowTileVertical", "Расположить &вертикально"},
        {"menuHelp", "mnuHelpManual", "&Руководство пользователя"},
        {"menuHelp", "mnuBrowser", "Ваш помощник"},
        {"menuHelp", "mnuHelpAbout", "&О программе"},
    };
    MainWindow window(session);
    for (const Cmd& c : cmds) {
        QAction* a = window.command(QString::fromUtf8(c.name));
        ASSERT_NE(a, nullptr) << c.name;
        EXPECT_EQ(a->text(), QString::fromUtf8(c.caption)) << c.name;
        EXPECT_TRUE(window.menu(QString::fromUtf8(c.menu))->actions().contains(a)) << c.name << " in " << c.menu;
    }
    // Report commands whose captions the table gives only as "the stock documents as above" exist too.
    for (const char* name : {"mnuObr22", "mnuObr2", "mnuObr1", "mnuObrPos", "mnuStr", "mnuNaklSkl", "mnuKeyBrSkorProd",
                             "mnuKeyBrGotHassp", "mnuKeyVitHassp", "mnuSkladHassp"}) {
        QAction* a = window.command(QString::fromUtf8(name));
        ASSERT_NE(a, nullptr) << name;
        EXPECT_FALSE(a->text().isEmpty()) << name;
    }
}

TEST_F(MainWindowMenuTest, ReferenceCommandsSetTheCurrentEntryAndOpenIt)
{
    const std::vector<std::pair<const char*, int>> opens = {
        {"mnuUchr", 34},      {"mnuSprUsers", 36}, {"mnuCards1", 2},     {"mnuCards2", 32},     {"mnuOutput", 5},
        {"mnuRecipes", 4},    {"mnuNovCard", 54},  {"mnuDiet", 43},      {"mnuTMeal", 0},       {"mnuCType", 1},
        {"mnuReceptur", 43},  {"mnuProducts1", 12}, {"mnuVitaKol", 14},  {"mnuReplace", 15},    {"mnuSSezon", 57},
        {"mnuPGroup", 10},    {"mnuEdIzmer", 30},  {"mnuVitamin", 13},   {"mnuEating", 7},      {"mnuTEating", 3},
        {"mnuFPLS", 52},      {"mnuNorms", 8},     {"mnuFnorms", 38},    {"mnuObjem", 55},      {"mnuRaspred", 59},
        {"mnuVal", 42},       {"mnuVidZhir", 62},  {"mnuTipZhar", 63},   {"mnuPlan", 6},        {"mnuDayMenu", 11},
        {"mnuM", 44},         {"mnuTypeMenu", 35}, {"mnuDays", 31},      {"mnuStorage1", 37},   {"mnuOstatok", 19},
        {"mnuReceip", 24},    {"mnuExpense", 22},  {"mnuSpisanie", 25},  {"mnuOrder", 28},      {"mnuSupplier1", 29},
        {"mnuUchetZhirov", 68}, {"mnuRVitamin", 16}, {"mnuRoom", 64},    {"mnuOborud", 66},     {"mnuKeyVitHassp", 16},
    };
    MainWindow window(session);
    std::vector<int> asked;
    window.openEntry = [&](int entry) {
        EXPECT_EQ(window.currentEntry(), entry);
        asked.push_back(entry);
    };
    for (const auto& [name, entry] : opens) {
        window.runCommand(QString::fromUtf8(name));
        ASSERT_FALSE(asked.empty()) << name;
        EXPECT_EQ(asked.back(), entry) << name;
        EXPECT_EQ(window.currentEntry(), entry) << name;
    }
    EXPECT_EQ(asked.size(), opens.size());
    EXPECT_TRUE(prompt.messages().isEmpty());
}

TEST_F(MainWindowMenuTest, DefaultEntryWindowShowsTheBookTableOnce)
{
    // No raw table with the file's column names: an entry without its window says so at once.
    MainWindow window(session);
    window.show();
    window.command(QStringLiteral("mnuTMeal"))->trigger();
    EXPECT_TRUE(window.mdiArea()->subWindowList().isEmpty());
    EXPECT_EQ(prompt.messages(), QStringList({"info: " + kNotAvailable}));
    prompt.clear();

    // The stock entries whose windows come with the warehouse keep their plain table meanwhile.
    session.db().exec(QStringLiteral("INSERT INTO storage (id_product, quantity) VALUES (1, 5), (2, 7)"));
    window.runCommand(QStringLiteral("mnuOstatok"));
    window.runCommand(QStringLiteral("mnuOstatok"));
    ASSERT_EQ(window.mdiArea()->subWindowList().size(), 1);
    auto* view = qobject_cast<ui::TableViewWindow*>(window.mdiArea()->subWindowList().front()->widget());
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->windowTitle(), QStringLiteral("Остатки на складе"));
    EXPECT_EQ(view->rowCount(), 2);
    EXPECT_EQ(window.currentEntry(), 19);

    // Window commands now reach the child; a row command it does not have is said plainly.
    EXPECT_TRUE(window.command(QStringLiteral("mnuDS1"))->isEnabled());
    window.command(QStringLiteral("mnuDS1"))->trigger();
    EXPECT_EQ(prompt.messages(), QStringList({"info: " + kNotAvailable}));

    // A new card has no window in this version.
    prompt.clear();
    window.command(QStringLiteral("mnuNovCard"))->trigger();
    EXPECT_EQ(prompt.messages(), QStringList({"info: " + kNotAvailable}));
    EXPECT_EQ(window.currentEntry(), 54);

    window.command(QStringLiteral("mnuFileClose"))->trigger();
    EXPECT_TRUE(window.mdiArea()->subWindowList().isEmpty());
    EXPECT_FALSE(window.command(QStringLiteral("mnuDS1"))->isEnabled());
}

TEST_F(MainWindowMenuTest, CommandsWithoutAFunctionSaySoAndHooksTakeOver)
{
    MainWindow window(session);
    for (const char* name : {"mnu1C", "mnuExportXML", "keyHass", "mnuToolsMail", "mnuVedKon", "mnuOtBr",
                             "mnuToolsLock", "mnuToolsOptions", "mnuViewOptions"}) {
        prompt.clear();
        window.command(QString::fromUtf8(name))->trigger();
        EXPECT_EQ(prompt.messages(), QStringList({"info: " + kNotAvailable})) << name;
    }

    prompt.clear();
    int password = 0, parameters = 0, imported = 0;
    window.onSetPassword = [&] { ++password; };
    window.onParameters = [&] { ++parameters; };
    window.setCommandHandler(QStringLiteral("mnuImpSbor"), [&] { ++imported; });
    window.command(QStringLiteral("mnuToolsLock"))->trigger();
    window.command(QStringLiteral("mnuToolsOptions"))->trigger();
    window.command(QStringLiteral("mnuViewOptions"))->trigger();
    window.command(QStringLiteral("mnuImpSbor"))->trigger();
    EXPECT_EQ(password, 1);
    EXPECT_EQ(parameters, 2);
    EXPECT_EQ(imported, 1);
    EXPECT_TRUE(prompt.messages().isEmpty());

    // The norm buttons carry out the norm reports: not there yet, said plainly.
    window.command(QStringLiteral("keyPl"))->trigger();
    EXPECT_EQ(prompt.messages(), QStringList({"info: " + kNotAvailable}));
}

TEST_F(MainWindowMenuTest, HelpAboutAndTitle)
{
    MainWindow window(session);
    window.show();
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Рационарий - питание в детском саду"));
    EXPECT_EQ(window.statusText(), QStringLiteral("Готово"));

    window.command(QStringLiteral("mnuHelpAbout"))->trigger();
    ASSERT_EQ(prompt.messages().size(), 1);
    EXPECT_TRUE(prompt.messages().front().startsWith(QStringLiteral("info: Рационарий\nВерсия 10.4.4")));

    // The manual is not in the application folder.
    prompt.clear();
    window.command(QStringLiteral("mnuHelpManual"))->trigger();
    EXPECT_EQ(prompt.messages(),
              QStringList({QStringLiteral("info: Руководство пользователя не найдено: ") +
                           QDir::toNativeSeparators(app().appDir + QStringLiteral("/Руководство пользователя.pdf"))}));

    // The help page opens in its own window inside the frame.
    app().helpPath = app().appDir + QStringLiteral("/Помощник/index.htm");
    QFile page(app().helpPath);
    ASSERT_TRUE(page.open(QIODevice::WriteOnly));
    page.write("<html><body><h1>Помощник</h1></body></html>");
    page.close();
    prompt.clear();
    window.command(QStringLiteral("mnuBrowser"))->trigger();
    ASSERT_EQ(window.mdiArea()->subWindowList().size(), 1);
    auto* help = qobject_cast<ui::HelpBrowser*>(window.mdiArea()->subWindowList().front()->widget());
    ASSERT_NE(help, nullptr);
    EXPECT_EQ(help->windowTitle(), QStringLiteral("Ваш помощник"));
    EXPECT_TRUE(help->toPlainText().contains(QStringLiteral("Помощник")));
    EXPECT_TRUE(prompt.messages().isEmpty());
}

// ---- Toolbars, placement, switches, closing -----------------------------------------------------

TEST_F(MainWindowMenuTest, ToolbarTogglesAreSavedAndRestored)
{
    {
        MainWindow window(session);
        window.show();
        QAction* toggle = window.command(QStringLiteral("mnuViewToolbar"));
        ASSERT_TRUE(toggle->isCheckable());
        EXPECT_TRUE(toggle->isChecked());
        EXPECT_TRUE(window.mainToolBar()->isVisible());
        EXPECT_TRUE(window.operationsPanel()->isVisible());
        EXPECT_EQ(window.mainToolBar()->objectName(), QStringLiteral("Tool0"));
        EXPECT_EQ(window.operationsPanel()->objectName(), QStringLiteral("Tool1"));

        toggle->trigger();
        EXPECT_FALSE(toggle->isChecked());
        EXPECT_FALSE(window.mainToolBar()->isVisible());
        window.command(QStringLiteral("mnuOper"))->trigger();
        EXPECT_FALSE(window.operationsPanel()->isVisible());
        EXPECT_TRUE(window.close());
    }
    EXPECT_EQ(settingsText(QStringLiteral("Tool0")), QStringLiteral("False"));
    EXPECT_EQ(settingsText(QStringLiteral("Tool1")), QStringLiteral("False"));
    EXPECT_EQ(settingsText(QStringLiteral("StBar")), QStringLiteral("True"));
    {
        MainWindow window(session);
        window.show();
        EXPECT_FALSE(window.mainToolBar()->isVisible());
        EXPECT_FALSE(window.command(QStringLiteral("mnuViewToolbar"))->isChecked());
        EXPECT_FALSE(window.operationsPanel()->isVisible());
        EXPECT_TRUE(window.statusBar()->isVisible());
        window.command(QStringLiteral("mnuViewToolbar"))->trigger();
        window.command(QStringLiteral("mnuViewStatusBar"))->trigger();
        EXPECT_TRUE(window.mainToolBar()->isVisible());
        EXPECT_FALSE(window.statusBar()->isVisible());
        EXPECT_TRUE(window.close());
    }
    EXPECT_EQ(settingsText(QStringLiteral("Tool0")), QStringLiteral("True"));
    EXPECT_EQ(settingsText(QStringLiteral("StBar")), QStringLiteral("False"));
}

TEST_F(MainWindowMenuTest, PlacementIsSavedOnCloseAndRestoredOnTheNextWindow)
{
    {
        MainWindow window(session);
        window.show();
        window.setGeometry(70, 50, 930, 610);
        EXPECT_TRUE(window.close());
    }
    EXPECT_EQ(Settings::value(QStringLiteral("Settings"), QStringLiteral("MainLeft")).toInt(), 70);
    EXPECT_EQ(Settings::value(QStringLiteral("Settings"), QStringLiteral("MainTop")).toInt(), 50);
    EXPECT_EQ(Settings::value(QStringLiteral("Settings"), QStringLiteral("MainWidth")).toInt(), 930);
    EXPECT_EQ(Settings::value(QStringLiteral("Settings"), QStringLiteral("MainHeight")).toInt(), 610);
    EXPECT_EQ(Settings::value(QStringLiteral("Settings"), QStringLiteral("MainState")).toInt(), 0);

    MainWindow again(session);
    again.show();
    EXPECT_EQ(again.geometry(), QRect(70, 50, 930, 610));
}

TEST_F(MainWindowMenuTest, NormsSwitchEnablesTheNormCommandsAndButtons)
{
    const QStringList six = {"mnuNorms", "mnuFnorms", "mnuPM", "mnuVedKon", "mnuVedKon1", "mnuAnKall"};
    const QStringList keys = {"keyPl", "keyVedKontr", "keyVed"};
    MainWindow window(session);
    for (const QString& name : six + keys)
        EXPECT_TRUE(window.command(name)->isEnabled()) << name.toStdString();
    for (const QString& name : keys)
        EXPECT_TRUE(window.mainToolBar()->actions().contains(window.command(name))) << name.toStdString();

    session.db().exec(QStringLiteral("UPDATE INF SET norms = 0"));
    window.applyOrganisationSwitches();
    for (const QString& name : six + keys)
        EXPECT_FALSE(window.command(name)->isEnabled()) << name.toStdString();
    EXPECT_TRUE(window.command(QStringLiteral("mnuObjem"))->isEnabled());
    EXPECT_TRUE(window.command(QStringLiteral("mnuPMPovtor"))->isEnabled());

    // A window opened on such a file starts with them off.
    MainWindow next(session);
    EXPECT_FALSE(next.command(QStringLiteral("mnuPM"))->isEnabled());
    EXPECT_FALSE(next.command(QStringLiteral("keyVed"))->isEnabled());

    session.db().exec(QStringLiteral("UPDATE INF SET norms = -1"));
    window.applyOrganisationSwitches();
    for (const QString& name : six + keys)
        EXPECT_TRUE(window.command(name)->isEnabled()) << name.toStdString();
}

TEST_F(MainWindowMenuTest, WarehouseSwitchShowsAndHidesTheWarehouseCommands)
{
    MainWindow window(session);
    window.show();
    QAction* store = window.menu(QStringLiteral("menuStore"))->menuAction();
    EXPECT_TRUE(store->isVisible());
    EXPECT_TRUE(window.menuBar()->actions().contains(store));

    session.db().exec(QStringLiteral("UPDATE INF SET VestSkl = 0"));
    window.applyOrganisationSwitches();
    EXPECT_FALSE(store->isVisible());
    for (const char* name : {"mnuReceip", "mnuOstatok", "mnuJur1", "mnuVedost", "mnuInVed", "mnuAvtPrich"})
        EXPECT_FALSE(window.command(QString::fromUtf8(name))->isVisible()) << name;
    EXPECT_FALSE(window.menu(QStringLiteral("menuAccumulative"))->menuAction()->isVisible());
    // The kitchen reports stay.
    for (const char* name : {"mnuOtchDetodni", "mnuPM", "mnuRVitamin", "mnuBrakeragGP", "mnuPlan"})
        EXPECT_TRUE(window.command(QString::fromUtf8(name))->isVisible()) << name;
    // The operations panel loses its warehouse buttons with them.
    QCoreApplication::processEvents();  // the toolbar lays itself out again
    for (const char* name : {"mnuReceip", "mnuOstatok"}) {
        QWidget* button = window.operationsPanel()->widgetForAction(window.command(QString::fromUtf8(name)));
        ASSERT_NE(button, nullptr) << name;
        EXPECT_FALSE(button->isVisible()) << name;
    }
    EXPECT_TRUE(window.operationsPanel()->widgetForAction(window.command(QStringLiteral("mnuPlan")))->isVisible());

    session.db().exec(QStringLiteral("UPDATE INF SET VestSkl = -1"));
    window.applyOrganisationSwitches();
    EXPECT_TRUE(store->isVisible());
    EXPECT_TRUE(window.command(QStringLiteral("mnuJur1"))->isVisible());
}

TEST_F(MainWindowMenuTest, ClosingEmptiesTheWorkingCopies)
{
    Database& db = session.db();
    db.exec(QStringLiteral("INSERT INTO MENUTR1 (IDM1, date, status) VALUES (1, '2024-03-11', 0)"));
    db.exec(QStringLiteral("INSERT INTO MENUTM1 (IDTM1, IDM1, ID_day_menu) VALUES (1, 1, 1)"));
    db.exec(QStringLiteral("INSERT INTO MENUTR_POINT1 (IDMP1, IDM1, id_product, kol) VALUES (1, 1, 1, 2.5)"));
    MainWindow window(session);
    window.show();
    window.command(QStringLiteral("mnuFileExit"))->trigger();
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(count(db, QStringLiteral("MENUTR1")), 0);
    EXPECT_EQ(count(db, QStringLiteral("MENUTM1")), 0);
    EXPECT_EQ(count(db, QStringLiteral("MENUTR_POINT1")), 0);
}

// ---- Database file commands ---------------------------------------------------------------------

TEST_F(MainWindowMenuTest, CancelledDialogsLeaveTheirStatusTexts)
{
    MainWindow window(session);
    std::vector<MainWindow::FileChoice> asked;
    window.chooseFile = [&](MainWindow::FileChoice c, const QString&) {
        asked.push_back(c);
        return QString();
    };
    Settings::setText(QStringLiteral("User"), QStringLiteral("DB"), app().dbPath);
    const QByteArray before = test::fileBytes(app().dbPath);
    const std::vector<std::pair<const char*, const char*>> cases = {
        {"mnuFileCr", "Создание базы данных не выполнено."},
        {"mnuFileOpen", "Файл базы данных не был открыт."},
        {"mnuFileSaveAs", "Сохранение базы данных в другом файле не выполнено."},
        {"mnuFileSaveTo", "Копирование базы данных на съемный диск не было выполнено."},
        {"mnuFileOpenFrom", "Восстановление базы данных со съемного диска не было выполнено."},
        {"mnuNevDB", "Переход на новую базу данных не был произведен."},
    };
    for (const auto& [name, status] : cases) {
        window.showStatus(QStringLiteral("Готово"));
        window.command(QString::fromUtf8(name))->trigger();
        EXPECT_EQ(window.statusText(), QString::fromUtf8(status)) << name;
    }
    EXPECT_EQ(asked.size(), cases.size());
    EXPECT_TRUE(prompt.messages().isEmpty()) << prompt.messages().join('\n').toStdString();
    ASSERT_TRUE(session.isOpen());
    EXPECT_TRUE(QFileInfo(session.db().path()) == QFileInfo(app().dbPath));
    EXPECT_EQ(test::fileBytes(app().dbPath), before);
}

TEST_F(MainWindowMenuTest, SaveAsWritesAFileThatOpensAndVerifies)
{
    session.db().exec(QStringLiteral("UPDATE INF SET Naim = ?1"), {QStringLiteral("Детский сад «Ромашка»")});
    MainWindow window(session);
    const QString target = env.path(QStringLiteral("копия"));  // the extension is added
    window.chooseFile = [&](MainWindow::FileChoice c, const QString&) {
        EXPECT_EQ(c, MainWindow::FileChoice::SaveDatabaseAs);
        return target;
    };
    window.command(QStringLiteral("mnuFileSaveAs"))->trigger();
    const QString written = target + QStringLiteral(".db");
    EXPECT_EQ(prompt.messages(), QStringList({QStringLiteral("info: База данных сохранена в файле ") +
                                              QDir::toNativeSeparators(written) + QLatin1Char('.')}));
    EXPECT_EQ(window.statusText(), QStringLiteral("Готово"));
    EXPECT_FALSE(QFileInfo::exists(written + QStringLiteral(".part")));
    EXPECT_EQ(session.db().path(), app().dbPath);  // work goes on in the same file

    test::ScriptedPrompt other;
    DatabaseSession copy(other);
    ASSERT_TRUE(copy.openDatabase(written, false)) << other.messages().join('\n').toStdString();
    EXPECT_TRUE(other.messages().isEmpty());
    EXPECT_EQ(copy.db().scalar(QStringLiteral("SELECT Naim FROM INF")).toString(), QStringLiteral("Детский сад «Ромашка»"));
    EXPECT_EQ(count(copy.db(), QStringLiteral("USERS")), 2);
    copy.close();

    // The open file itself is no target: it stays as it is.
    prompt.clear();
    const QByteArray before = test::fileBytes(app().dbPath);
    window.chooseFile = [&](MainWindow::FileChoice, const QString&) { return app().dbPath; };
    window.command(QStringLiteral("mnuFileSaveAs"))->trigger();
    EXPECT_EQ(window.statusText(), QStringLiteral("Сохранение базы данных в другом файле не выполнено."));
    ASSERT_EQ(prompt.messages().size(), 1);
    EXPECT_TRUE(prompt.messages().front().startsWith(QStringLiteral("warning: ")));
    EXPECT_EQ(test::fileBytes(app().dbPath), before);
}

TEST_F(MainWindowMenuTest, ArchiveCopiesLandInTheArchiveFolderWithTheDate)
{
    MainWindow window(session);
    window.command(QStringLiteral("mnuToolsArh"))->trigger();
    window.command(QStringLiteral("mnuToolsArh"))->trigger();
    const QString folder = app().appDir + QStringLiteral("/Архив/");
    const QString first = folder + QStringLiteral("vektas_2024-03-15.db");
    const QString second = folder + QStringLiteral("vektas_2024-03-15_2.db");
    EXPECT_EQ(prompt.messages(),
              QStringList({QStringLiteral("info: Архивная копия базы данных сохранена в файле ") +
                               QDir::toNativeSeparators(first) + QLatin1Char('.'),
                           QStringLiteral("info: Архивная копия базы данных сохранена в файле ") +
                               QDir::toNativeSeparators(second) + QLatin1Char('.')}));
    EXPECT_EQ(window.statusText(), QStringLiteral("Готово"));
    for (const QString& path : {first, second}) {
        test::ScriptedPrompt other;
        DatabaseSession copy(other);
        EXPECT_TRUE(copy.openDatabase(path, false)) << path.toStdString();
    }
}

TEST_F(MainWindowMenuTest, CompactRemovesFreePagesAndKeepsTheData)
{
    Database& db = session.db();
    {
        Transaction tx(db);
        for (int i = 0; i < 400; ++i)
            db.exec(QStringLiteral("INSERT INTO supplier (sname, notes) VALUES (?1, ?2)"),
                    {QStringLiteral("Поставщик %1").arg(i), QString(500, QLatin1Char('x'))});
        tx.commit();
    }
    db.exec(QStringLiteral("DELETE FROM supplier WHERE id > 3"));
    ASSERT_GT(db.scalar(QStringLiteral("PRAGMA freelist_count")).toLongLong(), 0);
    const qint64 sizeBefore = QFileInfo(app().dbPath).size();

    MainWindow window(session);
    window.command(QStringLiteral("mnuToolsAcc"))->trigger();
    EXPECT_EQ(prompt.messages(), QStringList({QStringLiteral("info: Сжатие и восстановление базы данных выполнено.")}));
    EXPECT_EQ(window.statusText(), QStringLiteral("Готово"));
    EXPECT_EQ(db.scalar(QStringLiteral("PRAGMA freelist_count")).toLongLong(), 0);
    EXPECT_LT(QFileInfo(app().dbPath).size(), sizeBefore);
    EXPECT_EQ(count(db, QStringLiteral("supplier")), 3);
}

TEST_F(MainWindowMenuTest, CheckTellsTheResult)
{
    session.db().exec(QStringLiteral("INSERT INTO MENUTR1 (IDM1, status) VALUES (1, 0)"));
    MainWindow window(session);
    window.command(QStringLiteral("mnuProverka"))->trigger();
    EXPECT_EQ(prompt.messages(),
              QStringList({QStringLiteral("info: Проверка базы данных завершена. Ошибок не обнаружено.")}));
    EXPECT_EQ(prompt.events.front(), QStringLiteral("status: Выполняется проверка базы данных..."));
    EXPECT_EQ(window.statusText(), QStringLiteral("Готово"));
    EXPECT_EQ(count(session.db(), QStringLiteral("MENUTR1")), 0);
}

TEST_F(MainWindowMenuTest, OpenAnotherFileSwitchesAndIsRemembered)
{
    const QString other = makeOtherFile(QStringLiteral("другой.db"), QStringLiteral("Ясли «Солнышко»"));
    const QString junk = env.path(QStringLiteral("не база.db"));
    {
        QFile f(junk);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("это не база данных");
    }
    const QByteArray junkBytes = test::fileBytes(junk);

    MainWindow window(session);
    window.show();
    window.runCommand(QStringLiteral("mnuOstatok"));  // a window of the working file
    ASSERT_EQ(window.mdiArea()->subWindowList().size(), 1);
    QString answer = junk;
    window.chooseFile = [&](MainWindow::FileChoice c, const QString&) {
        EXPECT_EQ(c, MainWindow::FileChoice::OpenDatabase);
        return answer;
    };

    // A file that is no database is refused; the working file is open again.
    window.command(QStringLiteral("mnuFileOpen"))->trigger();
    EXPECT_EQ(window.statusText(), QStringLiteral("Файл базы данных не был открыт."));
    EXPECT_EQ(prompt.messages(), QStringList({QStringLiteral("critical: Файл ") + QDir::toNativeSeparators(junk) +
                                              QStringLiteral(" не является файлом базы данных или поврежден. "
                                                             "Продолжение работы с этим файлом невозможно.")}));
    ASSERT_TRUE(session.isOpen());
    EXPECT_EQ(session.db().path(), app().dbPath);
    EXPECT_EQ(organisation(), QStringLiteral("Детский сад №2"));
    EXPECT_EQ(test::fileBytes(junk), junkBytes);

    prompt.clear();
    answer = other;
    window.command(QStringLiteral("mnuFileOpen"))->trigger();
    EXPECT_TRUE(prompt.messages().isEmpty()) << prompt.messages().join('\n').toStdString();
    EXPECT_EQ(window.statusText(), QStringLiteral("Готово"));
    EXPECT_EQ(session.db().path(), other);
    EXPECT_EQ(organisation(), QStringLiteral("Ясли «Солнышко»"));
    EXPECT_EQ(app().dbPath, other);
    EXPECT_EQ(Settings::text(QStringLiteral("User"), QStringLiteral("DB")), other);
    EXPECT_TRUE(window.mdiArea()->subWindowList().isEmpty());  // windows of the old file are closed
}

TEST_F(MainWindowMenuTest, CreateMakesAFilledFileAndWorksInIt)
{
    MainWindow window(session);
    const QString created = env.path(QStringLiteral("новая.db"));
    window.chooseFile = [&](MainWindow::FileChoice c, const QString&) {
        EXPECT_EQ(c, MainWindow::FileChoice::CreateDatabase);
        return created;
    };
    window.command(QStringLiteral("mnuFileCr"))->trigger();
    EXPECT_TRUE(prompt.messages().isEmpty()) << prompt.messages().join('\n').toStdString();
    EXPECT_EQ(window.statusText(), QStringLiteral("Готово"));
    ASSERT_TRUE(session.isOpen());
    EXPECT_EQ(session.db().path(), created);
    EXPECT_EQ(count(session.db(), QStringLiteral("USERS")), 2);
    EXPECT_EQ(Settings::text(QStringLiteral("User"), QStringLiteral("DB")), created);

    // An existing file is not overwritten by a creation; work stays in the open file.
    prompt.clear();
    const QString existing = makeOtherFile(QStringLiteral("есть.db"), QStringLiteral("Занято"));
    const QByteArray bytes = test::fileBytes(existing);
    window.chooseFile = [&](MainWindow::FileChoice, const QString&) { return existing; };
    window.command(QStringLiteral("mnuFileCr"))->trigger();
    EXPECT_EQ(window.statusText(), QStringLiteral("Создание базы данных не выполнено."));
    EXPECT_EQ(prompt.messages(), QStringList({QStringLiteral("critical: Файл базы данных ") +
                                              QDir::toNativeSeparators(existing) +
                                              QStringLiteral(" уже существует. Выберите другое имя файла.")}));
    EXPECT_EQ(test::fileBytes(existing), bytes);
    ASSERT_TRUE(session.isOpen());
    EXPECT_EQ(session.db().path(), created);
}

TEST_F(MainWindowMenuTest, CopyToDiskAndRestoreFromIt)
{
    const QString disk = env.path(QStringLiteral("флешка"));
    ASSERT_TRUE(QDir().mkpath(disk));
    session.db().exec(QStringLiteral("UPDATE INF SET Naim = ?1"), {QStringLiteral("Копия для флешки")});
    MainWindow window(session);
    window.chooseFile = [&](MainWindow::FileChoice c, const QString&) {
        EXPECT_EQ(c, MainWindow::FileChoice::CopyToFolder);
        return disk;
    };
    window.command(QStringLiteral("mnuFileSaveTo"))->trigger();
    const QString onDisk = disk + QStringLiteral("/vektas.db");
    EXPECT_EQ(prompt.messages(), QStringList({QStringLiteral("info: База данных скопирована в файл ") +
                                              QDir::toNativeSeparators(onDisk) + QLatin1Char('.')}));
    ASSERT_TRUE(QFileInfo(onDisk).isFile());

    // Work goes on; later the copy on the disk is brought back.
    session.db().exec(QStringLiteral("UPDATE INF SET Naim = ?1"), {QStringLiteral("Испорчено")});
    const QByteArray diskBytes = test::fileBytes(onDisk);
    prompt.clear();
    prompt.answers = {Answer::Yes};
    window.chooseFile = [&](MainWindow::FileChoice c, const QString&) {
        EXPECT_EQ(c, MainWindow::FileChoice::RestoreFrom);
        return onDisk;
    };
    window.command(QStringLiteral("mnuFileOpenFrom"))->trigger();
    EXPECT_EQ(prompt.messages(),
              QStringList({QStringLiteral("question: Текущая база данных будет заменена базой данных из файла ") +
                               QDir::toNativeSeparators(onDisk) +
                               QStringLiteral(". Копия текущей базы данных будет сохранена в папке \"Архив\". "
                                              "Продолжить? => Да"),
                           QStringLiteral("info: База данных восстановлена из файла ") +
                               QDir::toNativeSeparators(onDisk) + QLatin1Char('.')}));
    EXPECT_EQ(window.statusText(), QStringLiteral("Готово"));
    ASSERT_TRUE(session.isOpen());
    EXPECT_EQ(session.db().path(), app().dbPath);
    EXPECT_EQ(organisation(), QStringLiteral("Копия для флешки"));
    EXPECT_EQ(test::fileBytes(onDisk), diskBytes);  // the disk copy is only read
    for (const char* leftover : {".restore", ".prev"})
        EXPECT_FALSE(QFileInfo::exists(app().dbPath + QString::fromUtf8(leftover))) << leftover;

    // The replaced file was kept in the archive first.
    const QString kept = app().appDir + QStringLiteral("/Архив/vektas_2024-03-15.db");
    {
        test::ScriptedPrompt other;
        DatabaseSession archived(other);
        ASSERT_TRUE(archived.openDatabase(kept, false));
        EXPECT_EQ(archived.db().scalar(QStringLiteral("SELECT Naim FROM INF")).toString(), QStringLiteral("Испорчено"));
    }
}

TEST_F(MainWindowMenuTest, RestoreRefusesABadFileAndKeepsTheWorkingOne)
{
    const QString bad = env.path(QStringLiteral("обрезок.db"));
    {
        // The first half of a real file: the header promises more pages than there are.
        const QByteArray whole = test::fileBytes(app().dbPath);
        QFile f(bad);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(whole.left(whole.size() / 2));
    }
    session.db().exec(QStringLiteral("UPDATE INF SET Naim = ?1"), {QStringLiteral("Рабочая")});
    const QByteArray badBytes = test::fileBytes(bad);
    MainWindow window(session);
    prompt.answers = {Answer::Yes};
    window.chooseFile = [&](MainWindow::FileChoice, const QString&) { return bad; };
    window.command(QStringLiteral("mnuFileOpenFrom"))->trigger();

    EXPECT_EQ(window.statusText(), QStringLiteral("Восстановление базы данных со съемного диска не было выполнено."));
    const QStringList shown = prompt.messages();
    ASSERT_EQ(shown.size(), 2) << shown.join('\n').toStdString();
    EXPECT_TRUE(shown[0].startsWith(QStringLiteral("question: ")));
    EXPECT_TRUE(shown[1].startsWith(QStringLiteral("critical: Файл "))) << shown[1].toStdString();
    EXPECT_TRUE(shown[1].endsWith(QStringLiteral(" не является файлом базы данных или поврежден. "
                                                 "Продолжение работы с этим файлом невозможно.")));
    ASSERT_TRUE(session.isOpen());
    EXPECT_EQ(session.db().path(), app().dbPath);
    EXPECT_EQ(organisation(), QStringLiteral("Рабочая"));
    EXPECT_EQ(test::fileBytes(bad), badBytes);
    EXPECT_FALSE(QFileInfo::exists(app().dbPath + QStringLiteral(".restore")));

    // Saying no changes nothing either.
    prompt.clear();
    prompt.answers = {Answer::No};
    window.chooseFile = [&](MainWindow::FileChoice, const QString&) { return env.path(QStringLiteral("любой.db")); };
    window.command(QStringLiteral("mnuFileOpenFrom"))->trigger();
    EXPECT_EQ(window.statusText(), QStringLiteral("Восстановление базы данных со съемного диска не было выполнено."));
    EXPECT_EQ(organisation(), QStringLiteral("Рабочая"));
}

TEST_F(MainWindowMenuTest, NewDatabaseGoesToTheFileOfTheSetting)
{
    const QString other = makeOtherFile(QStringLiteral("второй.db"), QStringLiteral("Второй сад"));
    Settings::setText(QStringLiteral("User"), QStringLiteral("DB"), other);
    MainWindow window(session);
    window.chooseFile = [&](MainWindow::FileChoice, const QString&) {
        ADD_FAILURE() << "no dialog is needed when the setting names another file";
        return QString();
    };
    window.command(QStringLiteral("mnuNevDB"))->trigger();
    EXPECT_EQ(window.statusText(), QStringLiteral("Готово"));
    EXPECT_EQ(session.db().path(), other);
    EXPECT_EQ(organisation(), QStringLiteral("Второй сад"));

    // The setting now names the open file: the person chooses where to go, here a new file.
    const QString fresh = env.path(QStringLiteral("третий.db"));
    window.chooseFile = [&](MainWindow::FileChoice c, const QString&) {
        EXPECT_EQ(c, MainWindow::FileChoice::NewDatabase);
        return fresh;
    };
    window.command(QStringLiteral("mnuNevDB"))->trigger();
    EXPECT_EQ(session.db().path(), fresh);
    EXPECT_EQ(organisation(), QStringLiteral("Детский сад №2"));
    EXPECT_EQ(Settings::text(QStringLiteral("User"), QStringLiteral("DB")), fresh);
    EXPECT_TRUE(prompt.messages().isEmpty()) << prompt.messages().join('\n').toStdString();
}

} // namespace
