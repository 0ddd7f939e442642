// Fuzz target: the increment of a document number. Any text gives a text, and a number of
// digits only gives the next number.

#include "menu/DayMenu.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    const QString next = rat::menu::incrementDocumentNumber(text);
    bool digits = !text.isEmpty() && text.size() < 15;
    for (const QChar c : text)
        digits = digits && c >= QLatin1Char('0') && c <= QLatin1Char('9');
    if (digits && next.toLongLong() != text.toLongLong() + 1)
        std::abort();
    return 0;
}
