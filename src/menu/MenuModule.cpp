// The menu module joins the reference-book catalogue: its books, journals, list sources and
// rules, registered once at start.

#include "menu/MenuModule.h"

namespace rat::menu {

void registerMenuModule()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    registerPlanMenuBooks();
    registerDayMenuBooks();
    registerNormBooks();
}

} // namespace rat::menu
