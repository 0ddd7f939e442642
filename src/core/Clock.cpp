// Today's date for the whole program, which tests and the --today option may fix.

#include "core/Clock.h"

namespace rat {
namespace {
QDate g_fixed;
}

QDate Clock::today()
{
    return g_fixed.isValid() ? g_fixed : QDate::currentDate();
}

void Clock::setToday(const QDate& fixed)
{
    g_fixed = fixed;
}

} // namespace rat
