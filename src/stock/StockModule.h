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

// The journals of expense (22), receipt (24), write-off (25), order (28) and menu-requirement
// (44) documents in the reference-book catalogue, with their deletion rules. Idempotent.
void registerStockJournals();

} // namespace rat::stock
