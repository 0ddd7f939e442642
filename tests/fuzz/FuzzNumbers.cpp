// Fuzz target: the numbers of packages and of the record editor's numeric fields. Whatever the
// text, a package number is finite or refused, and a checked column value stays in range.

#include "core/SchemaCatalogue.h"
#include "exchange/PackageNumbers.h"
#include "exchange/PackageText.h"
#include "refbooks/RecordEditor.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    if (const auto v = rat::exchange::leadingPackageNumber(text); v && !std::isfinite(*v))
        std::abort();
    (void)rat::exchange::packageNumber(text);
    (void)rat::books::numericTypingProblem(text);
    for (const int type : {rat::dbByte, rat::dbInteger, rat::dbLong, rat::dbSingle, rat::dbDouble}) {
        try {
            const QVariant v = rat::exchange::checkedNumber(type, QStringLiteral("fat"), text);
            const double d = v.toDouble();
            if (!std::isfinite(d) || (type == rat::dbByte && (d < 0 || d > 255)) ||
                (type == rat::dbInteger && (d < -32768 || d > 32767)))
                std::abort();
        } catch (const rat::exchange::PackageItemRefused&) {
        }
    }
    return 0;
}
