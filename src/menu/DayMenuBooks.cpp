#include "menu/MenuModule.h"

namespace rat::menu {

void registerDayMenuBooks() {}

} // namespace rat::menu
