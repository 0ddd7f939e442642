#pragma once
// Plan-menus: the cyclic menu of plan days and their dishes. Titles with the season, the
// plan days of the first use, the rules of the three books (plan-menus, plan days, dishes),
// the edit lock, the copies of a whole plan-menu and of one day, the moves of a dish within
// its meal or category, and the per-eater-type summary. Every question and message goes
// through the Prompt.

#include "refbooks/BookCatalogue.h"

#include <QString>
#include <QVariant>
#include <optional>
#include <vector>

namespace rat {
class Database;
class Prompt;
}

namespace rat::menu {

// Catalogue entries of the plan-menu books.
enum PlanMenuEntry : int {
    entryPlanDishes = 6,  // "План-меню": the dishes of a plan day
    entryPlanDays = 31,   // "Плановые дни"
    entryMenuTypes = 35,  // "Типы меню": the plan-menus themselves
};

// List sources of the plan-menu books (codes of this module: 200-219).
inline constexpr books::ListSource sourceMenuModes{200};     // "По приемам пищи" (2), "По категориям блюд" (1)
inline constexpr books::ListSource sourceDaysOfMenu{201};    // days of a plan-menu (parameter), by id
inline constexpr books::ListSource sourceDaysBeside{202};    // days of the plan-menu of a day (parameter)
inline constexpr books::ListSource sourcePlanCards{203};     // cards a plan day may take (see planMenuCards)

// type_menu.status
enum PlanMenuStatus : int { byCategories = 1, byMeals = 2 };

// ---- titles ----

// The title with its season suffix: nothing for 0 or empty, " (летне-осенний)" for 8 and for
// any value outside 0-8.
QString planMenuTitle(const QString& tname, const QVariant& sezon);
// PlanMenuTitle: the same for a stored plan-menu; empty when there is none.
QString planMenuTitle(Database& db, qint64 planMenuId);
// "по категориям блюд" for status 1, "по приемам пищи" for anything else.
QString planMenuModeText(const QVariant& status);
bool planMenuByCategories(Database& db, qint64 planMenuId);
// The plan-menu a plan day belongs to.
std::optional<qint64> planMenuOfDay(Database& db, qint64 dayId);

// ---- the edit lock ----

// IsPlanMenuLocked: the per-user switch "Запретить изменения в план-меню".
bool isPlanMenuLocked();
QString planMenuLockedText();       // the message of the list windows and commands
QString planMenuLockedShortText();  // the message of the document window
// When locked, shows the message (the long form, or the short one) and returns true.
bool refuseLockedPlanMenu(Prompt& prompt, bool shortForm = false);

// ---- plan days ----

// Adds n days "День 1" ... "День n" to every plan-menu, in one transaction; returns the
// number of days added.
int createPlanDays(Database& db, int n);

// The main window's plan-days command. Without any plan day it asks for the number of days
// and makes them (CreatePlanDays); an empty answer asks whether to open the plan-days list.
// True when the plan-days list is to be opened.
bool runPlanDaysCommand(Database& db, Prompt& prompt);

// "Плановые дни редактируются в справочнике плановых дней. Открыть справочник?"; true on Yes.
bool askOpenPlanDays(Prompt& prompt);

// ---- dishes of a plan day ----

enum class DishAddCheck { Allowed, Refused, OpenPlanDays };
// Before a dish is added: the lock, an empty plan-days book (the question to open it), no
// chosen day.
DishAddCheck checkDishAdd(Database& db, Prompt& prompt, std::optional<qint64> dayId);

// The cards a dish of the day may be: those with a yield for an eater type of the day's
// plan-menu, in a plan-menu by categories only those of `category` (none chosen: none).
// Without a day every card is offered.
std::vector<books::ListItem> planMenuCards(Database& db, std::optional<qint64> dayId,
                                           std::optional<qint64> category);

// One dish of a plan day as its list shows it, in list order: by meal (by the meal's id) or by
// dish category (by name), then by the row's id.
struct PlanDish {
    qint64 id = 0;
    qint64 group = 0;   // the meal or the category (0: none)
    QString groupName;
    QString number;
    QString card;
    QString numRec;
};
std::vector<PlanDish> planDishes(Database& db, qint64 dayId);

// keyUp / keyDown: moves the dish one place up (-1) or down (+1) among the dishes of its meal
// (or category) on its day; the two rows exchange their dishes. Returns the row that holds the
// dish afterwards (the same row when it cannot move). Refused while the plan-menu is locked.
std::optional<qint64> movePlanDish(Database& db, Prompt& prompt, qint64 rowId, int direction);

// ---- copies ----

enum class CopyResult {
    Refused,           // nothing was copied
    Copied,            // copied; the closing question was answered No
    OpenEaterTypes,    // copied; open the eater-types book ("Да")
};

// CopyPlanMenu: the days of `source` the target lacks (by name), with their dishes; the
// target takes the source's mode.
CopyResult copyPlanMenu(Database& db, Prompt& prompt, qint64 source, qint64 target);
// The plan-menu list's copy command: the person picks the target among the other plan-menus;
// none picked: "Не был выбран план-меню. Копирование невозможно.".
CopyResult copyPlanMenuToChosen(Database& db, Prompt& prompt, qint64 source);
// AppendPlanMenuDays: the person picks another plan-menu ("Выбор плана-меню"); each of its
// days is added to `target` as a new day with its dishes.
CopyResult appendPlanMenuDays(Database& db, Prompt& prompt, qint64 target);
// The same with the source given.
CopyResult appendPlanMenuDaysFrom(Database& db, Prompt& prompt, qint64 source, qint64 target);
// CopyPlanDay: the dishes of a day are appended to a day the person picks (plan-menu, then
// day). True when rows were copied.
bool copyPlanDay(Database& db, Prompt& prompt, qint64 dayId);
// The write of CopyPlanDay; returns the number of dishes copied.
int copyPlanDayRows(Database& db, qint64 dayId, qint64 targetDayId);

// ---- the summary ----

struct SummaryFigure {
    QString caption;            // "Белки, г", "C, мг", "Выход, г"
    double fact = 0;            // rounded to the display digits
    std::optional<double> norm; // the eater type's norm, when one is given
};
// The total yield of one meal for an eater type, with the recommended portion volume.
struct MealYield {
    qint64 mealId = 0;
    QString meal;               // the meal's name
    double yield = 0;           // rounded to the display digits
    QString volume;             // PortionVolumeText: " (350 - 450)", " (500)" or empty
};
struct EaterSummary {
    qint64 eaterTypeId = 0;
    QString eaterType;          // shname
    std::vector<SummaryFigure> figures;  // protein, fat, carbohydrates, energy, vitamins, yield
    std::vector<MealYield> meals;        // a plan-menu by meals: each served meal, by meal id
};
struct PlanSummary {
    int days = 0;               // plan days of the plan-menu (the divisor of the average)
    std::vector<EaterSummary> types;
};
// PlanMenuSummary: with a day, the totals of that day's dishes; without one, the totals of the
// whole plan-menu divided by its number of days. Per eater type of the plan-menu whose status
// is not 0, over the dishes' yields for that type.
PlanSummary planMenuSummary(Database& db, qint64 planMenuId, std::optional<qint64> dayId, int digits);
// "Выход (Завтрак), г" and "350,00 (350 - 450)": a meal's yield as the summary shows it.
QString mealYieldCaption(const MealYield& m);
QString mealYieldText(const MealYield& m, int digits);
// "12,35(14,00)": the fact, then the norm in parentheses when there is one.
QString figureText(const SummaryFigure& f, int digits);

} // namespace rat::menu
