// Small shared routines: one value or a row count by a query, texts made safe for SQL, sheet
// and file names, plain number texts, quoting for messages, product quantity rounding.

#include "core/DataHelpers.h"
#include "core/Rounding.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace rat {

QString GetValue(Database& db, const QString& sql, const QString& field, const std::vector<QVariant>& params)
{
    try {
        Statement st(db, sql);
        st.bindAll(params);
        if (!st.next())
            return {};
        const int col = st.columnIndex(field);
        if (col < 0 || st.isNull(col))
            return {};
        const QVariant v = st.value(col);
        switch (v.typeId()) {
        case QMetaType::LongLong: return QString::number(v.toLongLong());
        case QMetaType::Double: return plainNumber(v.toDouble());
        default: return v.toString();
        }
    } catch (const DbError&) {
        return {};
    }
}

int CountRows(Database& db, const QString& sql, const std::vector<QVariant>& params)
{
    try {
        Statement st(db, sql);
        st.bindAll(params);
        int n = 0;
        while (st.next())
            ++n;
        return n;
    } catch (const DbError&) {
        return 0;
    }
}

QString SqlText(const QString& text, bool cutAtNumber)
{
    QString s = text;
    if (cutAtNumber) {
        const qsizetype p = s.indexOf(QStringLiteral("№")) + 1;  // 1-based; 0 when absent
        if (p > 0)
            s = s.left(p < 2 ? 0 : p - 2);
    }
    s.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return s;
}

namespace {

// x as it would be typed: its decimal value at 15 significant digits, so that the binary noise
// of a computed quantity (2.0000000000000004) is not taken for a fractional part. With this many
// places roundHalfEven keeps every significant digit of any double.
double typedValue(double x)
{
    return roundHalfEven(x, 400);
}

} // namespace

double RoundQuantity(double x, int rule)
{
    if (!std::isfinite(x))
        return x;
    if (rule == 0)
        return std::ceil(typedValue(x)) + 0.0;  // + 0.0 turns -0 into 0
    for (int extra = 0; extra < 5; ++extra) {
        const double r = roundHalfEven(x, rule + extra);
        if (r != 0.0)
            return r;
    }
    return roundHalfEven(x, rule + 5) + 0.0;
}

QString SheetName(const QString& text)
{
    QString s;
    s.reserve(text.size());
    for (const QChar c : text) {
        if (c == QLatin1Char('/') || c == QLatin1Char('\\') || c == QLatin1Char('?') || c == QLatin1Char(':') ||
            c == QLatin1Char('*'))
            continue;
        s.append(c);
    }
    return s.left(31);
}

QString FileNameText(const QString& text)
{
    static const QString bad = QStringLiteral("*|\\:\"<>?/");
    QString s = text;
    for (QChar& c : s)
        if (bad.contains(c))
            c = QLatin1Char(' ');
    return s;
}

QString plainNumber(double x)
{
    if (std::isnan(x))
        return QStringLiteral("nan");
    if (std::isinf(x))
        return x < 0 ? QStringLiteral("-inf") : QStringLiteral("inf");
    if (x == 0.0)
        return QStringLiteral("0");
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.14e", std::fabs(x));  // d.dddddddddddddde±XX
    QByteArray digits;
    digits.append(buf[0]);
    digits.append(buf + 2, 14);
    const int exp10 = std::atoi(std::strchr(buf, 'e') + 1);
    while (digits.size() > 1 && digits.endsWith('0'))
        digits.chop(1);

    QByteArray out;
    if (x < 0)
        out.append('-');
    const int intDigits = exp10 + 1;  // digits in front of the point
    if (intDigits <= 0) {
        out.append("0.");
        out.append(QByteArray(-intDigits, '0'));
        out.append(digits);
    } else if (intDigits >= digits.size()) {
        out.append(digits);
        out.append(QByteArray(intDigits - digits.size(), '0'));
    } else {
        out.append(digits.left(intDigits));
        out.append('.');
        out.append(digits.mid(intDigits));
    }
    return QString::fromLatin1(out);
}

QString quoted(const QString& text)
{
    return QLatin1Char('"') + text + QLatin1Char('"');
}

QString missingRowText(bool copy)
{
    return QStringLiteral("Не найдена ") + (copy ? QStringLiteral("копируемая") : QStringLiteral("редактируемая")) +
           QStringLiteral(" запись. Обновите окно (F5), выделите другую строку.");
}

} // namespace rat
