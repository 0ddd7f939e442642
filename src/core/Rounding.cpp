// The program's one rounding: to a number of decimals, halves to the even neighbour.

#include "core/Rounding.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace rat {

double roundHalfEven(double x, int digits)
{
    if (!std::isfinite(x) || x == 0.0)
        return x;
    // d.dddddddddddddde±XX, as printf's "%.14e" writes it (the standard conversions are exact
    // and several times quicker than the formatted ones).
    char buf[64];
    char* const end = std::to_chars(buf, buf + 40, std::fabs(x), std::chars_format::scientific, 14).ptr;
    *end = 0;
    char mant[16];
    mant[0] = buf[0];
    std::memcpy(mant + 1, buf + 2, 14);
    mant[15] = 0;
    const int exp10 = std::atoi(std::strchr(buf, 'e') + 1);
    const bool negative = x < 0;

    const int keep = exp10 + 1 + digits;  // significant digits left after rounding
    if (keep >= 15) {
        double v = 0;
        std::from_chars(buf, end, v);
        return (negative ? -1.0 : 1.0) * v;
    }
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
    char* p = out;
    if (negative)
        *p++ = '-';
    p = std::to_chars(p, out + 40, kept).ptr;
    *p++ = 'e';
    p = std::to_chars(p, out + 60, -digits).ptr;
    double v = 0;
    std::from_chars(out, p, v);
    return v;
}

} // namespace rat
