#include "menu/MenuModule.h"

namespace rat::menu {

void registerPlanMenuBooks() {}

} // namespace rat::menu
