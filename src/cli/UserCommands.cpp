#include "cli/Commands.h"

namespace rat::cli {

void registerUserCommands() {}

} // namespace rat::cli
