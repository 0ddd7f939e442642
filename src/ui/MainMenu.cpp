// The main window's command set as a table: menus, command names, captions and the catalogue
// entries they open.

#include "ui/MainMenu.h"

#include <QAction>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>

namespace rat::ui {

namespace {

MenuRow M(const char* parent, const char* name, const char* caption)
{
    return {RowKind::Menu, parent, name, caption, -1};
}

MenuRow C(const char* parent, const char* name, const char* caption, int entry = -1)
{
    return {RowKind::Command, parent, name, caption, entry};
}

MenuRow S(const char* parent, const char* name = "")
{
    return {RowKind::Separator, parent, name, "", -1};
}

std::vector<MenuRow> makeRows()
{
    return {
        M("", "menuFile", "&Файл"),
        C("menuFile", "mnuFileCr", "&Создать базу данных..."),
        C("menuFile", "mnuFileOpen", "&Открыть базу данных..."),
        C("menuFile", "mnuFileOpenR", "&Открыть расположение базы данных..."),
        S("menuFile"),
        C("menuFile", "mnuFileClose", "&Закрыть окно"),
        S("menuFile"),
        C("menuFile", "mnu1C", "Экспорт данных в XML..."),
        S("menuFile"),
        C("menuFile", "mnuFileSaveAs", "Сохранить базу данных &как..."),
        C("menuFile", "mnuFileSaveTo", "Скопировать на съемный &диск"),
        C("menuFile", "mnuFileOpenFrom", "Восстановить cо съем&ного дискa"),
        S("menuFile"),
        C("menuFile", "mnuFilePrint", "&Печать..."),
        S("menuFile"),
        C("menuFile", "mnuExportXML", "Выгрузить в XML"),
        C("menuFile", "mnuImpSbor", "Импортировать идеальное меню"),
        S("menuFile"),
        C("menuFile", "mnuFileExit", "&Выход"),

        M("", "menuEdit", "&Правка"),
        C("menuEdit", "mnuEditCut", "&Вырезать"),
        C("menuEdit", "mnuEditCopy", "&Копировать"),
        C("menuEdit", "mnuEditPaste", "Вст&авить"),
        S("menuEdit"),
        C("menuEdit", "mnuPoisk", "Найти..."),
        C("menuEdit", "mnuPoiskd", "Найти далее..."),

        M("", "menuView", "&Вид"),
        C("menuView", "mnuViewToolbar", "&Панель инструментов"),
        C("menuView", "mnuOper", "&Панель операций"),
        C("menuView", "mnuViewStatusBar", "&Статус строка"),
        S("menuView"),
        C("menuView", "mnuViewRefresh", "&Обновить"),
        S("menuView"),
        C("menuView", "mnuViewOptions", "&Параметры..."),

        M("", "menuActions", "Действия"),
        C("menuActions", "mnuDS0", "Найти блюдо"),
        S("menuActions"),
        C("menuActions", "mnuDS1", "Новая строка"),
        C("menuActions", "mnuDS2", "Изменить (открыть)"),
        C("menuActions", "mnuDS3", "Копировать строку"),
        C("menuActions", "mnuDS4", "Удалить строку"),

        M("", "menuBooks", "Спр&авочники"),
        C("menuBooks", "mnuUchr", "Учреждение", 34),
        C("menuBooks", "mnuSprUsers", "Пользователи", 36),
        S("menuBooks"),
        M("menuBooks", "menuCards", "Технологические карты"),
        C("menuCards", "mnuCards1", "&Блюда", 2),
        C("menuCards", "mnuCards2", "Технологические карты", 32),
        C("menuCards", "mnuOutput", "Выходы", 5),
        C("menuCards", "mnuRecipes", "Рецептуры", 4),
        S("menuCards"),
        C("menuCards", "mnuNovCard", "Добавить технологическую карту", 54),
        S("menuCards"),
        C("menuCards", "mnuDiet", "Блюда - Диеты", 43),
        C("menuCards", "mnuTMeal", "Категории блюд", 0),
        C("menuCards", "mnuCType", "Виды кулинарной обработки", 1),
        C("menuCards", "mnuReceptur", "Сборники рецептур", 43),
        M("menuBooks", "menuProducts", "Продукты"),
        C("menuProducts", "mnuProducts1", "Продукты", 12),
        C("menuProducts", "mnuVitaKol", "Содержание витаминов и минералов", 14),
        C("menuProducts", "mnuReplace", "Замена", 15),
        C("menuProducts", "mnuSSezon", "Сезонные проценты потерь", 57),
        S("menuProducts"),
        C("menuProducts", "mnuPGroup", "Группы продуктов", 10),
        C("menuProducts", "mnuEdIzmer", "Единицы измерения", 30),
        M("menuBooks", "menuCommon", "Общие "),
        C("menuCommon", "mnuVitamin", "Витамины и минералы", 13),
        C("menuCommon", "mnuEating", "Приемы пищи", 7),
        C("menuCommon", "mnuTEating", "Типы довольствующихся", 3),
        C("menuCommon", "mnuFPLS", "Фиксированная плановая стоимость", 52),
        S("menuCommon"),
        C("menuCommon", "mnuNorms", "Нормы питания", 8),
        C("menuCommon", "mnuFnorms", "Физиологические нормы", 38),
        C("menuCommon", "mnuObjem", "Суммарные объемы блюд по приемам пищи", 55),
        C("menuCommon", "mnuRaspred", "Распределение энергетической ценности (калорийности)", 59),
        S("menuCommon"),
        C("menuCommon", "mnuVal", "Валюты", 42),
        C("menuCommon", "mnuVidZhir", "Виды фритюрных жиров", 62),
        C("menuCommon", "mnuTipZhar", "Типы жарочного оборудования", 63),

        M("", "menuMenu", "Меню"),
        C("menuMenu", "mnuPlan", "План-меню", 6),
        C("menuMenu", "mnuDayMenu", "Журнал меню на день", 11),
        C("menuMenu", "mnuM", "Журнал меню-требований", 44),
        S("menuMenu"),
        C("menuMenu", "mnuTypeMenu", "Типы меню", 35),
        C("menuMenu", "mnuDays", "Плановые дни", 31),

        M("", "menuStore", "Ск&лад"),
        C("menuStore", "mnuStorage1", "Склады", 37),
        C("menuStore", "mnuOstatok", "Остатки на складе", 19),
        S("menuStore"),
        M("menuStore", "menuStoreOps", "Операции "),
        C("menuStoreOps", "mnuReceip", "Приход", 24),
        C("menuStoreOps", "mnuExpense", "Расход", 22),
        C("menuStoreOps", "mnuReturn", "Возврат", 27),
        C("menuStoreOps", "mnuSpisanie", "Списание", 25),
        C("menuStoreOps", "mnuOrder", "Заказ", 28),
        M("menuStore", "menuStoreReports", "Отчеты"),
        C("menuStoreReports", "mnuOtBr", "Бракераж пищевых продуктов"),
        S("menuStoreReports"),
        C("menuStoreReports", "mnuOtN1", "Накопительная ведомость расхода продуктов нарастающим итогом"),
        C("menuStoreReports", "mnuOtN2", "Накопительная ведомость расхода продуктов"),
        C("menuStoreReports", "mnuVedROKUD1", "Накопительная ведомость расхода (ОКУД 0504038)"),
        C("menuStoreReports", "mnuOtN3", "Накопительная ведомость прихода продуктов нарастающим итогом"),
        C("menuStoreReports", "mnuOtN4", "Накопительная ведомость прихода продуктов"),
        C("menuStoreReports", "mnuVedNacopOKUD", "Накопительная ведомость прихода (ОКУД 0504037)"),
        S("menuStoreReports"),
        C("menuStoreReports", "mnuOtJ1", "Учет движения товаров на складе"),
        C("menuStoreReports", "mnuOtJ", "Журнал учета движения товаров на складе"),
        C("menuStoreReports", "MnuBookUsch", "Книга учета материальных ценностей"),
        C("menuStoreReports", "mnuOtV", "Ведомость учета остатков продуктов и товаров на складе"),
        C("menuStoreReports", "mnuObrOb", "Оборотно-сальдовая ведомость"),
        C("menuStoreReports", "mnuObrOkud", "Оборотно-сальдовая ведомость (ОКУД 0504035)"),
        C("menuStoreReports", "mnuObr", "Остатки продуктов на выбранную дату"),
        C("menuStoreReports", "mnuStr1", "Накладная на внутреннее перемещение, передачу товаров"),
        S("menuStoreReports", "mnuSSS"),
        C("menuStoreReports", "mnuSlVedSkl", "Сличительная ведомость"),
        M("menuStore", "menuSuppliers", "Поставщики"),
        C("menuSuppliers", "mnuSupplier1", "Поставщики", 29),
        S("menuSuppliers"),
        C("menuSuppliers", "mnuCardPost", "Карточка поставщика"),
        C("menuSuppliers", "mnuVedPos", "Оборотно-сальдовая ведомость по поставщикам"),

        M("", "menuReports", "Отчеты"),
        C("menuReports", "mnuBrakeragGP", "Бракераж готовой продукции"),
        C("menuReports", "mnuBrakerajProd", "Бракераж пищевых продуктов"),
        C("menuReports", "mnuUchetZhirov", "Схема учета использования фритюрных жиров", 68),
        S("menuReports"),
        M("menuReports", "menuAccumulative", "Накопительные ведомости"),
        C("menuAccumulative", "mnuVed", "Накопительная ведомость расхода продуктов нарастающим итогом"),
        C("menuAccumulative", "mnuVed1", "Накопительная ведомость расхода продуктов"),
        C("menuAccumulative", "mnuVedROKUD", "Накопительная ведомость расхода (ОКУД 0504038)"),
        C("menuAccumulative", "mnuVed2", "Накопительная ведомость прихода продуктов нарастающим итогом"),
        C("menuAccumulative", "mnuVed3", "Накопительная ведомость прихода продуктов"),
        C("menuAccumulative", "mnuVedPOKUD", "Накопительная ведомость прихода (ОКУД 0504037)"),
        S("menuReports"),
        C("menuReports", "mnuPM", "Анализ плана-меню на соответствие нормам питания"),
        C("menuReports", "mnuPMPovtor", "Анализ плана-меню на повтор блюд в разрезе 3х дней"),
        C("menuReports", "mnuAnKall", "Анализ распределения калорийности плана-меню"),
        C("menuReports", "mnuAnDD", "Анализ отклонения фактической себестоимости детодня от плана"),
        S("menuReports"),
        C("menuReports", "mnuVedKon", "Ведомость контроля за рационом питания (брутто)"),
        C("menuReports", "mnuVedKon1", "Ведомость контроля за рационом питания (нетто)"),
        C("menuReports", "mnuSostav", "Отчет о химическом составе (нетто)"),
        C("menuReports", "mnuSostav1", "Отчет о химическом составе (брутто)"),
        C("menuReports", "mnuRVitamin", "Журнал витаминизации", 16),
        S("menuReports"),
        C("menuReports", "mnuJur1", "Учет движения товаров на складе"),
        C("menuReports", "mnuJur", "Журнал учета движения товаров на складе"),
        C("menuReports", "MnuBookUschOtch", "Книга учета материальных ценностей"),
        C("menuReports", "mnuOtchDetodni", "Отчет по детодням"),
        C("menuReports", "mnuObr22", "Оборотно-сальдовая ведомость (ОКУД 0504035)"),
        C("menuReports", "mnuObr2", "Оборотно-сальдовая ведомость"),
        C("menuReports", "mnuObr1", "Остатки продуктов на выбранную дату"),
        C("menuReports", "mnuObrPos", "Оборотно-сальдовая ведомость по поставщикам"),
        C("menuReports", "mnuVedost", "Ведомость учета остатков продуктов и товаров на складе"),
        C("menuReports", "mnuStr", "Накладная на внутреннее перемещение, передачу товаров"),
        C("menuReports", "mnuNaklSkl", "Накладная на отпуск товаров со склада"),
        C("menuReports", "mnuSlVed", "Сличительная ведомость"),
        C("menuReports", "mnuInVed", "Инвентаризационная ведомость"),

        M("", "menuHaccp", "ХАССП"),
        C("menuHaccp", "mnuRoom", "Помещения", 64),
        C("menuHaccp", "mnuOborud", "Оборудование", 66),
        S("menuHaccp"),
        C("menuHaccp", "keyHass", "Документы по организации ХАССП"),
        S("menuHaccp"),
        C("menuHaccp", "mnuKeyBrSkorProd", "Журнал бракеража скоропортящейся пищевой продукции"),
        C("menuHaccp", "mnuKeyBrGotHassp", "Журнал бракеража готовой кулинарной продукции"),
        C("menuHaccp", "mnuKeyVitHassp", "Журнал витаминизации", 16),
        C("menuHaccp", "mnuSkladHassp", "Журнал учета температурного режима холодильного оборудования"),

        M("", "menuService", "С&ервис"),
        C("menuService", "mnuToolsLock", "Установить &пароль..."),
        C("menuService", "mnuUserSwitch", "Сменить пользователя..."),
        S("menuService"),
        C("menuService", "mnuToolsAcc", "&Сжать базу данных"),
        C("menuService", "mnuToolsArh", "&Архивировать базу данных"),
        C("menuService", "mnuToolsMail", "&Вложить в письмо базу данных"),
        C("menuService", "mnuNevDB", "Переход на новую &базу данных"),
        C("menuService", "mnuProverka", "Проверить базу данных"),
        S("menuService"),
        C("menuService", "mnuAvtPrich", "Параметры авто&заказа"),
        C("menuService", "mnuToolsOptions", "Па&раметры..."),

        M("", "menuWindow", "&Окно"),
        C("menuWindow", "mnuWindowCascade", "&Каскад"),
        C("menuWindow", "mnuWindowTileHorizontal", "Расположить &горизонтально"),
        C("menuWindow", "mnuWindowTileVertical", "Расположить &вертикально"),

        M("", "menuHelp", "&Справка"),
        C("menuHelp", "mnuHelpManual", "&Руководство пользователя"),
        C("menuHelp", "mnuBrowser", "Ваш помощник"),
        S("menuHelp"),
        C("menuHelp", "mnuHelpAbout", "&О программе"),
    };
}

// Keys of the commands that people expect on the keyboard.
QKeySequence shortcutOf(const QString& name)
{
    static const QHash<QString, QKeySequence> keys = {
        {QStringLiteral("mnuFilePrint"), QKeySequence(QKeySequence::Print)},
        {QStringLiteral("mnuFileClose"), QKeySequence(QStringLiteral("Ctrl+F4"))},
        {QStringLiteral("mnuEditCut"), QKeySequence(QKeySequence::Cut)},
        {QStringLiteral("mnuEditCopy"), QKeySequence(QKeySequence::Copy)},
        {QStringLiteral("mnuEditPaste"), QKeySequence(QKeySequence::Paste)},
        {QStringLiteral("mnuPoisk"), QKeySequence(QStringLiteral("Ctrl+F"))},
        {QStringLiteral("mnuPoiskd"), QKeySequence(QStringLiteral("F3"))},
        {QStringLiteral("mnuViewRefresh"), QKeySequence(QStringLiteral("F5"))},
        {QStringLiteral("mnuDS1"), QKeySequence(QStringLiteral("Ctrl+N"))},
        {QStringLiteral("mnuBrowser"), QKeySequence(QStringLiteral("F1"))},
    };
    return keys.value(name);
}

} // namespace

const std::vector<MenuRow>& mainMenuRows()
{
    static const std::vector<MenuRow> rows = makeRows();
    return rows;
}

int commandEntry(const QString& name)
{
    for (const MenuRow& row : mainMenuRows())
        if (row.kind == RowKind::Command && name == QString::fromUtf8(row.name))
            return row.entry;
    return -1;
}

BuiltMenus buildMainMenus(QMenuBar* bar, const std::function<void(const QString&)>& run)
{
    BuiltMenus built;
    for (const MenuRow& row : mainMenuRows()) {
        const QString parentName = QString::fromUtf8(row.parent);
        QMenu* parent = parentName.isEmpty() ? nullptr : built.menus.value(parentName);
        const QString name = QString::fromUtf8(row.name);
        switch (row.kind) {
        case RowKind::Menu: {
            const QString caption = QString::fromUtf8(row.caption);
            QMenu* menu = parent ? parent->addMenu(caption) : bar->addMenu(caption);
            menu->setObjectName(name);
            menu->menuAction()->setObjectName(name);
            built.menus.insert(name, menu);
            break;
        }
        case RowKind::Separator: {
            QAction* sep = parent->addSeparator();
            if (!name.isEmpty()) {
                sep->setObjectName(name);
                built.commands.insert(name, sep);
            }
            break;
        }
        case RowKind::Command: {
            QAction* action = parent->addAction(QString::fromUtf8(row.caption));
            action->setObjectName(name);
            const QKeySequence key = shortcutOf(name);
            if (!key.isEmpty())
                action->setShortcut(key);
            QObject::connect(action, &QAction::triggered, action, [run, name] { run(name); });
            built.commands.insert(name, action);
            break;
        }
        }
    }
    return built;
}

bool entryTable(int entry, EntryTable* out)
{
    struct Row {
        int entry;
        const char* table;
        const char* title;
    };
    static const Row rows[] = {
        {0, "type_meal", "Категории блюд"},
        {1, "type_culinary", "Виды кулинарной обработки"},
        {2, "card_recipes", "Блюда"},
        {3, "type_eating", "Типы довольствующихся"},
        {4, "recipes", "Рецептуры"},
        {5, "output", "Выходы блюд"},
        {6, "plan_menu", "План-меню"},
        {7, "eating", "Приемы пищи"},
        {8, "norms", "Нормы питания"},
        {10, "product_group", "Группы продуктов"},
        {11, "day_menu", "Журнал меню на день"},
        {12, "products", "Продукты"},
        {13, "vitamin", "Витамины и минералы"},
        {14, "vitamin_quantity", "Содержание витаминов и минералов"},
        {15, "replace", "Замена"},
        {16, "vitamin_report", "Журнал витаминизации"},
        {19, "storage", "Остатки на складе"},
        {22, "expence_docum", "Расход"},
        {24, "receipt", "Приход"},
        {25, "spisanie", "Списание"},
        {27, "supplier_return", "Возврат поставщику"},
        {28, "orders", "Заказ"},
        {29, "supplier", "Поставщики"},
        {30, "ed_izmer", "Единицы измерения"},
        {31, "days", "Плановые дни"},
        {32, "card_recipes", "Технологические карты"},
        {34, "INF", "Организация"},
        {35, "type_menu", "Типы меню"},
        {36, "USERS", "Пользователи"},
        {37, "STORAGES", "Склады"},
        {38, "FNORMS", "Физиологические нормы"},
        {42, "VALUTA", "Валюты"},
        {43, "RECEPTUR", "Сборники рецептур"},
        {44, "MENUTR", "Журнал Меню-требований"},
        {52, "PLSTOIM", "Фиксированная плановая стоимость"},
        {55, "SOBBLUD", "Суммарные объемы блюд по приемам пищи"},
        {57, "SEZON", "Сезонные проценты потерь"},
        {59, "RASPS_CALL", "Распределение энергетической ценности"},
        {62, "VIDZHIR", "Виды фритюрных жиров"},
        {63, "TIPZHAR", "Типы жарочного оборудования"},
        {64, "ROOM", "Помещения"},
        {66, "OBORUDOV", "Оборудование"},
        {68, "UCHZHIR", "Использование фритюрных жиров"},
    };
    for (const Row& r : rows) {
        if (r.entry == entry) {
            if (out)
                *out = {QString::fromUtf8(r.table), QString::fromUtf8(r.title)};
            return true;
        }
    }
    return false;
}

} // namespace rat::ui
