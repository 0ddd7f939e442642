#pragma once
// What the programs install of the stock module at start.

#include "menu/DayMenu.h"

namespace rat::stock {

// The day menu's way to the menu-requirement without a window: `create` fills and stores a new
// menu-requirement as not approved; `open` does nothing (there is no window: the document is
// stored). The desktop replaces `open` with its window.
menu::MenuRequirementGateway headlessGateway();
// Installs headlessGateway() (the headless tool; the desktop adds its `open`).
void installHeadlessGateway();

} // namespace rat::stock
