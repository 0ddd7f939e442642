// Fuzz target: a number typed into the record editor or into the norms. A text the typing check
// lets through reads as a finite number, not negative, the same with a point as with a comma;
// a text it refuses gets one of its two messages.

#include "menu/Norms.h"
#include "refbooks/RecordEditor.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    const QString problem = rat::books::numericTypingProblem(text);
    const std::optional<double> value = rat::menu::normNumber(text);
    if (value && (!std::isfinite(*value)))
        std::abort();
    if (!problem.isEmpty()) {
        if (problem != QStringLiteral("Вы ввели отрицательное значение!") &&
            !problem.startsWith(QStringLiteral("Введите целое или дробное число.")))
            std::abort();
        return 0;
    }
    bool digit = false;
    for (const QChar c : text)
        digit = digit || c.isDigit();
    // Let through with a digit in it: a number, never below zero, whichever separator was typed.
    if (digit && text.trimmed().size() < 300) {
        if (!value || *value < 0)
            std::abort();
        QString other = text;
        other.replace(QLatin1Char(','), QLatin1Char('#')).replace(QLatin1Char('.'), QLatin1Char(','));
        other.replace(QLatin1Char('#'), QLatin1Char('.'));
        const std::optional<double> same = rat::menu::normNumber(other);
        if (!same || *same != *value)
            std::abort();
    }
    return 0;
}
