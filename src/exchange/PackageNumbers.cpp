// The numbers of the packages read and checked against the range of their column.

#include "exchange/PackageNumbers.h"
#include "core/SchemaCatalogue.h"

#include <QRegularExpression>
#include <cmath>
#include <limits>

namespace rat::exchange {

void refuseValue(const QString& element, const QString& value)
{
    throw PackageItemRefused(QStringLiteral("Элемент ") + element + QStringLiteral(" содержит недопустимое значение \"") +
                             value + QStringLiteral("\". Запись не загружена."));
}

std::optional<double> leadingPackageNumber(const QString& text)
{
    // Digits with a point or a comma, then an exponent only when digits follow it.
    static const QRegularExpression re(QStringLiteral("^[-+]?(?:\\d+(?:[.,]\\d*)?|[.,]\\d+)(?:[eE][-+]?\\d+)?"));
    const QRegularExpressionMatch m = re.match(text.trimmed());
    if (!m.hasMatch())
        return std::nullopt;
    QString number = m.captured(0);
    number.replace(QLatin1Char(','), QLatin1Char('.'));
    bool ok = false;
    const double v = number.toDouble(&ok);
    if (!ok || !std::isfinite(v))
        return std::nullopt;
    return v;
}

QVariant checkedNumber(int fieldType, const QString& element, const QString& text)
{
    const std::optional<double> v = leadingPackageNumber(text);
    if (!v)
        refuseValue(element, text.trimmed());
    double low = -std::numeric_limits<double>::max();
    double high = std::numeric_limits<double>::max();
    switch (fieldType) {
    case dbByte: low = 0; high = 255; break;
    case dbInteger: low = -32768; high = 32767; break;
    case dbLong: low = -2147483648.0; high = 2147483647.0; break;
    case dbSingle: low = -double(std::numeric_limits<float>::max()); high = double(std::numeric_limits<float>::max()); break;
    default: break;
    }
    const bool whole = fieldType == dbByte || fieldType == dbInteger || fieldType == dbLong;
    const double value = whole ? std::round(*v) : *v;
    if (value < low || value > high)
        refuseValue(element, text.trimmed());
    return whole ? QVariant(qint64(value)) : QVariant(value);
}

} // namespace rat::exchange
