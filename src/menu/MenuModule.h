#pragma once
// The books, journals, list sources and rules of plan-menus and day menus join the reference
// books' catalogue here. The programs call it once at start, before any list is read.

namespace rat::menu {

void registerMenuModule();

// Each part registers its own; registerMenuModule() calls them all.
void registerPlanMenuBooks();
void registerDayMenuBooks();
void registerNormBooks();

} // namespace rat::menu
