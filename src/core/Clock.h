#pragma once
#include <QDate>

namespace rat {

// The one source of "today" for domain code, so that tests and the headless tool can fix it.
class Clock {
public:
    static QDate today();
    static void setToday(const QDate& fixed);  // an invalid date returns to the system clock
};

} // namespace rat
