#include "cli/Commands.h"

namespace rat::cli {

void registerHelperCommands() {}

} // namespace rat::cli
