#include "cli/Commands.h"

namespace rat::cli {

void registerDayMenuCommands() {}

} // namespace rat::cli
