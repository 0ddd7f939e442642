// The program's one rounding: to a number of decimals, halves to the even neighbour.

#include "core/Rounding.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace rat {

double roundHalfEven(double x, int digits)
{
    if (!std::isfinite(x) || x == 0.0)
        return x;
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.14e", std::fabs(x));  // d.dddddddddddddde±XX
    char mant[16];
    mant[0] = buf[0];
    std::memcpy(mant + 1, buf + 2, 14);
    mant[15] = 0;
    const int exp10 = std::atoi(std::strchr(buf, 'e') + 1);
    const bool negative = x < 0;

    const int keep = exp10 + 1 + digits;  // significant digits left after rounding
    if (keep >= 15)
        return (negative ? -1.0 : 1.0) * std::strtod(buf, nullptr);
    if (keep < 0)
        return negative ? -0.0 : 0.0;

    long long kept = 0;
    for (int i = 0; i < keep; ++i)
        kept = kept * 10 + (mant[i] - '0');
    const int first = mant[keep] - '0';
    bool restNonZero = false;
    for (int i = keep + 1; i < 15; ++i)
        restNonZero = restNonZero || mant[i] != '0';
    if (first > 5 || (first == 5 && (restNonZero || (kept % 2) != 0)))
        ++kept;

    char out[64];
    std::snprintf(out, sizeof out, "%s%llde%d", negative ? "-" : "", kept, -digits);
    return std::strtod(out, nullptr);
}

} // namespace rat
