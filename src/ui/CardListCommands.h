#pragma once
// The card lists' own toolbar commands: the recalculation of the nutrient value and of the
// cost of cards ("Блюда", "Технологические карты"), and the yields of a whole dish category
// from the yields list ("Выходы блюд").

#include <QtGlobal>
#include <functional>
#include <optional>

class QDialog;
class QWidget;

namespace rat {
class Database;
class Prompt;
}

namespace rat::ui {

// Adds the commands to the list-window hooks of the card lists and of the yields list, keeping
// whatever else those hooks hold (the card window, the recipe copy). Safe to call again.
void installCardListCommands();

// The editor "Выход по категориям блюд", the category preset when given; `show` runs the
// dialog (exec by default). True when the yields were set.
bool editCategoryYields(QWidget* parent, Database& db, Prompt& prompt, std::optional<qint64> category,
                        const std::function<void(QDialog&)>& show = {});

} // namespace rat::ui
