#include "cli/Commands.h"

namespace rat::cli {

void registerBookCommands() {}

} // namespace rat::cli
