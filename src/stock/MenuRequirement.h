#pragma once
// The menu-requirement: a day menu turned into the products to issue, per dish, eater type and
// meal, beside the store's remnant. Filled or loaded into a working copy (menutr1, menutm1,
// menutr_point1: the window's edit buffer), edited there (quantities, replacement of a product),
// and stored back into menutr, menutm, menutr_point in one transaction.

#include <QDate>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QtGlobal>
#include <map>
#include <optional>
#include <vector>

namespace rat {
class Database;
class Prompt;
}

namespace rat::stock {

// The decimals of a product's quantities: rule_okr - 1, and 3 when that gives -1 (rule_okr 0 or empty).
int quantityDecimals(const QVariant& ruleOkr);

// The expense document of the approved menu-requirement of a day menu (found by the day menu's
// id), to be left out of a remnant that must show the stock before that day's own issue.
std::optional<qint64> approvedExpenseOfDayMenu(Database& db, qint64 dayMenuId);

// ---- the working copy ----

// Fills a new working copy from a day menu, with the status text "Идет заполнение
// меню-требования..." (and "Готово" at the end): the header (nk the next number), the link to the
// day menu with `warehouse` (0: all), one line per dish × eater type with eaters × meal ×
// product of the dish's expansion (nested dishes to any depth), kol and kolv by the product's
// rounding, the seasonal gross weight when INF.Sezonnost is on, and ost, the remnant over all
// warehouses before this day's own issue. Returns IDM1; nothing when the day menu is missing.
std::optional<qint64> fillFromDayMenu(Database& db, Prompt& prompt, qint64 dayMenuId, qint64 warehouse = 0);

// Copies the stored menu-requirement `idm` of the day menu into a new working copy (same header
// values, lines field by field, ost refreshed in the stored warehouse). Returns IDM1.
std::optional<qint64> loadIntoWorkingCopy(Database& db, Prompt& prompt, qint64 dayMenuId, qint64 idm);

// Deletes the working copy's header, link and lines.
void clearWorkingCopy(Database& db, qint64 idm1);
// Deletes every working copy (start-up and exit).
void clearAllWorkingCopies(Database& db);

// Recomputes ost of every working line: the remnant on the day menu's date in the copy's
// warehouse (all when 0), the approved issue of the same day menu left out.
void refreshRemnants(Database& db, qint64 idm1);

// "Создать заново меню-требование по меню на день?" (default "Нет"); Yes clears the working copy
// and fills a new one from the same day menu and warehouse. Returns the new IDM1, nothing after "Нет".
std::optional<qint64> recreateWorkingCopy(Database& db, Prompt& prompt, qint64 idm1);

struct WorkingHeader {
    qint64 idm1 = 0;
    qint64 dayMenuId = 0;
    qint64 warehouse = 0;      // IDSkl, 0 for all
    QDate date;
    double cost = 0;           // stoim
    bool approved = false;
    qint64 expenseId = 0;      // id_ex
    QString dayMenuNumber;     // nom_m
    QDate dayMenuDate;         // date_m
};
std::optional<WorkingHeader> readWorkingHeader(Database& db, qint64 idm1);

// The window caption's tail: " № " + the day menu's number + " от " + dd.MM.yyyy.
QString menuRequirementCaption(const WorkingHeader& header);

enum class WorkingView { AllEaters, ByEaterTypes };
// The names of the views as the window's switch offers them.
QString viewName(WorkingView view);   // "Все довольствующиеся", "По типам довольствующихся"

struct WorkingLine {
    std::vector<qint64> lineIds;   // IDMP1 of the lines shown in this row (one in the by-type view)
    qint64 productId = 0;
    QString product;
    QString unit;
    int decimals = 3;              // the product's quantity decimals
    qint64 eaterTypeId = 0;        // by-type view only
    QString eaterType;
    qint64 mealId = 0;             // by-type view only
    QString meal;
    qint64 cardId = 0;             // by-type view only
    QString dish;
    double kol = 0;                // grams per portion (by-type view)
    double kolv = 0;               // quantity in the product's unit (summed in the all-eaters view)
    double output = 0;             // the dish yield (by-type view)
    double ost = 0;                // the remnant in the product's unit
};
// AllEaters: one row per product, kolv summed; ByEaterTypes: one row per line, by eater type,
// meal, dish, product. Both in Russian alphabetical order of product within their grouping.
std::vector<WorkingLine> workingLines(Database& db, qint64 idm1, WorkingView view);

// Sets kolv of one working line (rounded by the product's decimals). False with a message for a
// negative quantity or a missing line.
bool setLineQuantity(Database& db, Prompt& prompt, qint64 idm1, qint64 lineId, double kolv);
// Sets a product's total in the all-eaters view: the difference goes to the product's last line.
bool setProductTotal(Database& db, Prompt& prompt, qint64 idm1, qint64 productId, double total);

struct ShortageLine {
    qint64 productId = 0;
    QString product;
    double difference = 0;   // ost - sum(kolv), rounded to the product's decimals; below 0
};
// The products whose remnant is below their total (by name).
std::vector<ShortageLine> shortageList(Database& db, qint64 idm1);
// The window's text of it: one line per product, name, a blank, the difference.
QStringList shortageTexts(const std::vector<ShortageLine>& shortage);

// ---- replacement of a product ----

struct ReplacementCandidate {
    qint64 productId = 0;
    QString product;
    bool fromCard = false;    // an alternative of the card's recipe line (not from `replace`)
    double productWeight = 0; // replace.pr_weight
    double substituteWeight = 0; // replace.repl_weight
    double kol = 0;           // the new grams per portion, rounded
    double kolv = 0;          // the new quantity in the substitute's unit, rounded
};
struct ReplacementOffer {
    QString caption;          // "Замена продукта " + the product's name
    QString product, meal, category, dish, eaterType;  // eaterType "Все довольствующиеся" without one
    std::vector<ReplacementCandidate> candidates;      // substitutes of `replace`, then the card's alternatives
};
// The offer for one working line; nothing when the line is missing.
std::optional<ReplacementOffer> replacementOffer(Database& db, qint64 idm1, qint64 lineId);

// Replaces the line's product by the candidate in one transaction: the line is deleted and the
// quantities added to the line of the same key when there is one, otherwise a new line with the
// old line's eater type, meal, dish and yield; ost from the substitute's remnant. Returns the
// line that holds the substitute; nothing after a refusal told through the prompt.
std::optional<qint64> replaceProduct(Database& db, Prompt& prompt, qint64 idm1, qint64 lineId,
                                     const ReplacementCandidate& candidate);

// ---- storing ----

// Writes the working copy back as a stored menu-requirement with status 0 (a new one when `idm`
// is nothing): header (stoim = cost), the day-menu link, the lines (one per key), in one
// transaction; the stored document's expense document, if any, gets status 0. Returns IDM.
qint64 storeWorkingCopy(Database& db, qint64 idm1, std::optional<qint64> idm, double cost);

// Fills and stores a new menu-requirement of a day menu as not approved, the working copy
// removed afterwards. Returns IDM; nothing when the day menu is missing.
std::optional<qint64> createMenuRequirement(Database& db, Prompt& prompt, qint64 dayMenuId, qint64 warehouse = 0);

// ---- the journal's add command ----

struct DayMenuOffer {
    qint64 id = 0;
    QString text;             // "№ " + number + " от " + dd.MM.yyyy
};
// Every day menu, newest date first.
std::vector<DayMenuOffer> dayMenusForNewRequirement(Database& db);
// "Выберите меню на день:" among them; none at all: "Нет документов меню на день. Создание
// меню-требования невозможно.". Returns the chosen day menu.
std::optional<qint64> chooseDayMenuForNewRequirement(Database& db, Prompt& prompt);

} // namespace rat::stock
