// Fuzz target: the increment of a document number. Any text gives a text: the part before its
// last run of digits stays as it was, and that run (of any length) becomes the next number, one
// digit longer only when it was all nines; a text without a final digit gets "1" appended.

#include "menu/DayMenu.h"

#include <cstdint>
#include <cstdlib>

namespace {

bool asciiDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

// The decimal successor of a run of digits, by hand.
QString successor(QString digits)
{
    qsizetype i = digits.size() - 1;
    while (i >= 0 && digits[i] == QLatin1Char('9'))
        digits[i--] = QLatin1Char('0');
    if (i < 0)
        return QLatin1Char('1') + digits;
    digits[i] = QChar(digits[i].unicode() + 1);
    return digits;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    const QString next = rat::menu::incrementDocumentNumber(text);
    qsizetype start = text.size();
    while (start > 0 && asciiDigit(text.at(start - 1)))
        --start;
    const QString expected = start == text.size() ? text + QLatin1Char('1') : text.left(start) + successor(text.mid(start));
    if (next != expected || next == text)
        std::abort();
    return 0;
}
