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
