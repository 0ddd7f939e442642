#pragma once
// Day menus: the dated menu the kitchen cooks, made from plan-menu days, with the number of
// portions per dish and eater type; their numbering, rows, costs, counts, moves, deletions,
// copies, and the step towards the menu-requirement. Windows call these; every question and
// message goes through the Prompt.

#include <QDate>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

namespace rat {
class Database;
class Prompt;
}

namespace rat::menu {

// The catalogue entry of the day-menu journal ("Журнал меню на день").
inline constexpr int entryDayMenuJournal = 11;

// ---- numbering ----

// The run of digits at the end of the text increased by one, keeping its width ("0099" ->
// "0100", "A-15" -> "A-16", "9" -> "10"); a text without trailing digits gets "1" appended.
QString incrementDocumentNumber(const QString& number);
// The number for a new day menu: after the last one of today's year, skipping numbers taken.
QString nextDayMenuNumber(Database& db);
// The same rule for the stock documents: table "spisanie", "expence_docum", "receipt" or "orders".
QString nextDocumentNumber(Database& db, const QString& table);

// ---- organisation ----

enum class MenuMode { ByCategories = 1, ByMeals = 2 };
// The mode of a plan-menu (type_menu.status: 1 by dish categories, anything else by meals).
MenuMode planMenuMode(Database& db, qint64 planMenuId);
// The mode of a day menu: the mode of its first plan-menu.
MenuMode dayMenuMode(Database& db, qint64 dayMenuId);

// ---- creation from plan-menu days ----

// One plan-menu as the creation dialog offers it: only plan-menus with at least one day,
// ordered by caption.
struct PlanMenuOffer {
    qint64 id = 0;
    QString caption;  // title, season suffix, " по приемам пищи" / " по категориям блюд"
    MenuMode mode = MenuMode::ByMeals;
    std::vector<std::pair<qint64, QString>> days;  // (days.id, dname) in days order
};
std::vector<PlanMenuOffer> planMenuOffers(Database& db);

// (plan-menu id, plan day id), in the order chosen.
using PlanDayPair = std::pair<qint64, qint64>;

struct CreatedDayMenu {
    std::optional<qint64> id;  // the new day menu (after "Да"); nothing after "Нет" or a refusal
    bool filled = false;       // the answer to "Заполнить меню из плана-меню?" was Yes
    // After "Нет": what the empty day menu stores when it is saved in the document window.
    QString pendingIddTm;      // "3*17/5*40"
    std::optional<qint64> firstPlanMenu;
};
// Asks "Заполнить меню из плана-меню?" and, on Yes, makes the day menu from the pairs (today's
// date, the next number), one point per card and key, a zero count per eater type on
// allowance; cards without yields or lines are skipped and named in one message.
CreatedDayMenu createDayMenuFromPlan(Database& db, Prompt& prompt, const std::vector<PlanDayPair>& pairs);

// ---- the rows of the document ----

// Cost bases as the combo box of the document offers them; the item code is the position in
// this list (stored in day_menu.filtr).
struct CostBasisItem {
    QString text;
    int code = 0;
};
// With stock accounting on: "По последней поставке" (0), "По плановой цене продуктов" (1),
// "По плановой цене тех.карт" (2); off: "По плановой цене продуктов" (0), "По плановой цене тех.карт" (1).
std::vector<CostBasisItem> costBasisItems(Database& db);

struct DayMenuRow {
    qint64 pointId = 0;          // day_menu_point.id
    qint64 quantityId = 0;       // quantity_eating.id
    qint64 eaterTypeId = 0;
    qint64 cardId = 0;
    qint64 eatingKey = 0;        // the point's id_eating (a meal or a dish category)
    QString eaterType;           // shname
    qint64 quantity = 0;
    QString group;               // meal ename (by meals) or the card's category tname (by categories)
    QString dish;                // name, " №" number, "/" numrec
    QString yield;               // "150", "150 / 30", "150/30/20"
    double portionCost = 0;      // rounded to the money precision
    double sum = 0;              // portionCost * quantity, rounded the same way
    double fat = 0, protein = 0, carbohydrates = 0, calories = 0;  // 2 decimals
    double b1 = 0, b2 = 0, c = 0, ca = 0, fe = 0;                  // 3 decimals
};

struct DayMenuRows {
    QStringList captions;        // the grid's column captions, in order
    std::vector<DayMenuRow> rows;
    double total = 0;
    QString totalLabel;          // "Итого: ..." / "Итого (c учетом округлений по каждому блюду): ..."
    int basisCode = 0;           // the code of the basis the costs were computed at
};
// The rows of a day menu at a cost basis code (nothing: the first item) on `date` (the price
// date of "По последней поставке"; normally today).
DayMenuRows dayMenuRows(Database& db, qint64 dayMenuId, std::optional<int> basisCode, const QDate& date);
// The cells of a row in the order of the captions, as the grid shows them.
QStringList rowCells(const DayMenuRow& row);
// Recomputes the total, stores day_menu.sum and filtr, returns the rows.
DayMenuRows updateDayMenuTotal(Database& db, qint64 dayMenuId, std::optional<int> basisCode, const QDate& date);

// ---- counts, moves, deletions, copies ----

// Sets a count and asks the copy question of the menu's mode; Yes copies it to every dish of
// the day for the eater type, No to the dishes of the same meal / category, Cancel to none.
void setEaterCount(Database& db, Prompt& prompt, qint64 quantityId, qint64 quantity);
// Moves the dish of the row one dish up (-1) or down (+1) within the menu; the counts stay
// with their places. Returns the grid row index of the moved dish afterwards (the same row when
// nothing moved). Without a selected row (-1): "Не выделена строка. ..." and nothing moves.
int moveDayMenuRow(Database& db, Prompt& prompt, qint64 dayMenuId, int row, int direction, const QDate& date);
// "Удалить все строки?"; true when rows were deleted.
bool deleteAllRows(Database& db, Prompt& prompt, qint64 dayMenuId);
// The question, the status text, the deletion of the points of the selected rows with their
// counts, "Удалено строк: N". Returns the number of rows deleted.
int deleteSelectedRows(Database& db, Prompt& prompt, const std::vector<qint64>& pointIds);
// Deletes day menus (the journal's command): one refused by its menu-requirement is named; with
// several selected the person is asked whether to go on. Returns the number deleted.
int deleteDayMenus(Database& db, Prompt& prompt, const std::vector<qint64>& ids);
// Copies the points and counts of one day menu to another (all or none).
void copyDayMenuRows(Database& db, qint64 sourceId, qint64 targetId);

// ---- header ----

struct DayMenuHeader {
    std::optional<qint64> id;
    QDate date;
    QString number;
    QString comment;
    bool done = false;            // status: the expense has been carried out
    std::optional<qint64> planMenuId;
    QString iddTm;
    double sum = 0;
    int basisCode = 0;            // filtr
};
std::optional<DayMenuHeader> readDayMenu(Database& db, qint64 id);
// The plan-menu days of idd_tm, one line each: title with season suffix, " (" dname ")".
QStringList iddTmLines(Database& db, const QString& iddTm);
// The number check of saving: another day menu of the same year (the header's date, today's
// year without one) with the same number offers the next free one after the year's highest
// ("Да" replaces it, "Нет" returns to the field: false). True when the header may be saved
// with header.number (possibly replaced).
bool checkDayMenuNumber(Database& db, Prompt& prompt, DayMenuHeader& header);
// Adds or updates the header row; returns its id.
qint64 saveDayMenuHeader(Database& db, const DayMenuHeader& header);

// The caption of the document window for a saved day menu: "Меню на день №<nom> от dd.MM.yyyy".
QString dayMenuCaption(const DayMenuHeader& header);

// ---- towards the menu-requirement ----

// Makes or opens a menu-requirement of a day menu; the menu-requirement module supplies it.
// Until it does, confirming a day menu stops after the count check with a message.
struct MenuRequirementGateway {
    // Creates a new menu-requirement from the day menu; returns its id.
    std::function<std::optional<qint64>(Database&, Prompt&, qint64 dayMenuId)> create;
    // Opens the menu-requirement window on one.
    std::function<void(qint64 menuRequirementId)> open;
    // The automatic write-off check before a menu-requirement is made (when INF.AvtSpis is set).
    std::function<void(Database&, Prompt&, qint64 dayMenuId)> autoWriteOff;
    // When set, the whole way from a confirmed day menu to its open menu-requirement window (the
    // write-off, the eaters check, the choice of a document); false when it stopped.
    std::function<bool(Database&, Prompt&, qint64 dayMenuId)> openForDayMenu;
};
void setMenuRequirementGateway(MenuRequirementGateway gateway);

// False, after "Сначала введите количество питающихся.", when the day menu's eaters sum to 0.
bool checkEatersEntered(Database& db, Prompt& prompt, qint64 dayMenuId);

enum class ConfirmResult { Returned, SavedAsDraft, MenuRequirementOpened, Stopped };
// The OK command of the day-menu document (the header has been saved).
ConfirmResult confirmDayMenu(Database& db, Prompt& prompt, qint64 dayMenuId);

// The first-use hint of a day-menu document (per-user setting "vopr"); shows the question
// when it is due and stores the answer.
void showDayMenuHint(Prompt& prompt);

} // namespace rat::menu
