#pragma once
// The printed day menu (the menu for parents), with or without the cost of a portion, filled into
// the template "Меню на день": dishes under their meals (or dish categories), the eater type,
// the yield, the energy value and, with costs, the price of a portion.

#include <QString>

namespace rat {
class Database;
class Prompt;
}

namespace rat::documents {

// The print command of the day-menu document: "Печатать меню в Excel?", then the question of the
// menu for parents ("Да" with costs, "Нет" without, "Отмена" nothing). Returns the saved path.
QString askAndPrintDayMenu(Database& db, Prompt& prompt, qint64 dayMenuId);

// Prints the menu without questions. Dishes nobody eats (no eaters of a type) are left out; a menu
// without any eaters is refused with "Невозможно сформировать меню! Укажите количество
// довольствующихся!". Returns the saved path, empty when nothing was saved.
QString PrintDayMenu(Database& db, Prompt& prompt, qint64 dayMenuId, bool withCosts);

} // namespace rat::documents
