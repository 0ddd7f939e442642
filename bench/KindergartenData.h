#pragma once
// A synthetic database of a 300-child kindergarten after ten years of daily work, for timing
// the opening of a large file. The data is consistent: every menu-requirement is whole and
// points at an existing day menu, and no recipe line or plan-menu entry is repeated, so the
// start-up check finds nothing to repair.

#include <QString>

namespace rat {
class Database;
}

namespace rat::bench {

struct KindergartenSize {
    int products = 300;
    int productGroups = 15;
    int typeMenus = 100;        // one menu variant per season and year
    int daysPerTypeMenu = 10;   // the plan-menu cycle
    int cards = 5000;
    int linesPerCard = 30;      // recipes: cards * linesPerCard
    int eatings = 5;            // meals of a day
    int cardsPerPlanMeal = 10;  // plan_menu: typeMenus * daysPerTypeMenu * eatings * cardsPerPlanMeal
    int workingDays = 2500;     // day menus and menu-requirements, about ten years
    int dishesPerMeal = 4;      // day_menu_point: workingDays * eatings * dishesPerMeal
    int typeEatings = 2;        // eater types (nursery, kindergarten)
    int productsPerDish = 6;    // MENUTR_POINT: workingDays * eatings * dishesPerMeal * productsPerDish * typeEatings
    int receipts = 600;
    int lotsPerReceipt = 50;
};

struct TableCounts {
    qint64 menutr = 0, menutm = 0, menutrPoint = 0, recipes = 0, planMenu = 0, dayMenu = 0;
    bool operator==(const TableCounts&) const = default;
};

// Creates a new file at `path` the way the program does and fills it. Throws DbError.
void createKindergartenFile(const QString& path, const KindergartenSize& size);

// Adds a few broken menu-requirements, a recipe line repeated seven times and two repeated
// plan-menu entries to a file made by createKindergartenFile. Returns the number of rows added
// to the tables the start-up check looks at.
int addOrphans(Database& db, const KindergartenSize& size);

TableCounts countRows(Database& db);
QString describe(const TableCounts& c);

} // namespace rat::bench
