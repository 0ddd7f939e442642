// The stock module's part of the day menu's way to the menu-requirement.

#include "stock/StockModule.h"
#include "stock/MenuRequirement.h"
#include "stock/WriteOff.h"

#include "core/Clock.h"

namespace rat::stock {

menu::MenuRequirementGateway headlessGateway()
{
    menu::MenuRequirementGateway g;
    g.create = [](Database& db, Prompt& prompt, qint64 dayMenuId) { return createMenuRequirement(db, prompt, dayMenuId); };
    g.open = [](qint64) {};
    g.autoWriteOff = [](Database& db, Prompt& prompt, qint64) { autoWriteOffExpired(db, prompt, Clock::today()); };
    return g;
}

void installHeadlessGateway()
{
    menu::setMenuRequirementGateway(headlessGateway());
}

} // namespace rat::stock
