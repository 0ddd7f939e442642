#pragma once
// The forms of the command "print" (print stock ..., print day-menu ..., print menu-requirement
// ...): each printed form registers its own subcommand here. Every one prints the path of the
// saved file as its last line.

#include "cli/Commands.h"

namespace rat::cli {

std::map<QString, Command>& printSubcommands();

} // namespace rat::cli
