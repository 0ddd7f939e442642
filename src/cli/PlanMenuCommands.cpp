#include "cli/Commands.h"

namespace rat::cli {

void registerPlanMenuCommands() {}

} // namespace rat::cli
