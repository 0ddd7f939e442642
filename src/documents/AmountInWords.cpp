// Amounts in words: the word tables and the conversion.

#include "documents/AmountInWords.h"

#include <cmath>
#include <cstdlib>

namespace rat::documents {

namespace {

const char* const millionWords[] = {
    "один миллион ", "два миллиона ", "три миллиона ", "четыре миллиона ", "пять миллионов ",
    "шесть миллионов ", "семь миллионов ", "восемь миллионов ", "девять миллионов ", "десять миллионов ",
    "одиннадцать миллионов ", "двенадцать миллионов ", "тринадцать миллионов ", "четырнадцать миллионов ",
    "пятнадцать миллионов ", "шестнадцать миллионов ", "семнадцать миллионов ", "восемнадцать миллионов ",
    "девятнадцать миллионов ", "двадцать миллионов "};
const char* const hundredWords[] = {"сто ", "двести ", "триста ", "четыреста ", "пятьсот ",
                                    "шестьсот ", "семьсот ", "восемьсот ", "девятьсот "};
const char* const thousandWords[] = {
    "одна тысяча ", "две тысячи ", "три тысячи ", "четыре тысячи ", "пять тысяч ", "шесть тысяч ",
    "семь тысяч ", "восемь тысяч ", "девять тысяч ", "десять тысяч ", "одиннадцать тысяч ",
    "двенадцать тысяч ", "тринадцать тысяч ", "четырнадцать тысяч ", "пятнадцать тысяч ",
    "шестнадцать тысяч ", "семнадцать тысяч ", "восемнадцать тысяч ", "девятнадцать тысяч "};
const char* const roundThousandWords[] = {"двадцать тысяч ", "тридцать тысяч ", "сорок тысяч ",
                                          "пятьдесят тысяч ", "шестьдесят тысяч ", "семьдесят тысяч ",
                                          "восемьдесят тысяч ", "девяносто тысяч "};
const char* const tenWords[] = {"двадцать ", "тридцать ", "сорок ", "пятьдесят ",
                                "шестьдесят ", "семьдесят ", "восемьдесят ", "девяносто "};
const char* const unitWords[] = {
    "один ", "два ", "три ", "четыре ", "пять ", "шесть ", "семь ", "восемь ", "девять ", "десять ",
    "одиннадцать ", "двенадцать ", "тринадцать ", "четырнадцать ", "пятнадцать ", "шестнадцать ",
    "семнадцать ", "восемнадцать ", "девятнадцать "};

QString words(qint64 n)
{
    QString s;
    const qint64 m = n / 1000000;
    if (m > 0)
        s += QString::fromUtf8(millionWords[m - 1]);
    const qint64 belowMillions = n - m * 1000000;
    const qint64 h = belowMillions / 100000;
    if (h > 0) {
        s += QString::fromUtf8(hundredWords[h - 1]);
        // "триста тысяч": the thousands word comes from the hundreds when nothing follows them.
        if (belowMillions / 1000 - h * 100 == 0 && belowMillions / 1000 != 0)
            s += QStringLiteral("тысяч ");
    }
    const qint64 t = (belowMillions - h * 100000) / 1000;
    const qint64 d = t / 10, u = t % 10;
    if (d < 2 && t > 0)
        s += QString::fromUtf8(thousandWords[t - 1]);
    else if (d >= 2 && u == 0)
        s += QString::fromUtf8(roundThousandWords[d - 2]);
    else if (d >= 2)
        s += QString::fromUtf8(tenWords[d - 2]) + QString::fromUtf8(thousandWords[u - 1]);
    const qint64 r = n % 1000;
    if (r / 100 > 0)
        s += QString::fromUtf8(hundredWords[r / 100 - 1]);
    const qint64 last = r % 100;
    if (last >= 1 && last <= 19)
        s += QString::fromUtf8(unitWords[last - 1]);
    else if (last >= 20) {
        s += QString::fromUtf8(tenWords[last / 10 - 2]);
        if (last % 10)
            s += QString::fromUtf8(unitWords[last % 10 - 1]);
    }
    if (n == 0)
        s = QStringLiteral("ноль ");
    return s;
}

} // namespace

QString AmountInWords(double amount, bool alwaysShowFraction, const QString& currency)
{
    if (!std::isfinite(amount))
        amount = 0;
    // Money fields keep four decimal places.
    const qint64 units = std::llround(amount * 10000.0);
    const qint64 whole = units / 10000;
    // The kopecks are the last two digits of the amount written with two decimals.
    const qint64 cents = (std::llabs(units) + 50) / 100;
    const int kopecks = int(cents % 100);

    QString text;
    if (units < 0 || whole >= 21000000) {
        const qint64 shownWhole = units < 0 ? -(std::llabs(units) / 10000) : whole;
        text = QString::number(shownWhole) + u' ';
        if (units < 0 && shownWhole == 0)
            text = QStringLiteral("-0 ");
    } else {
        text = words(whole);
    }
    QString result = text + currency + u' ';
    if (kopecks != 0 || alwaysShowFraction) {
        result += QStringLiteral("%1").arg(kopecks, 2, 10, QLatin1Char('0'));
        if (currency == QStringLiteral("руб."))
            result += QStringLiteral(" коп.");
    }
    if (!result.isEmpty())
        result[0] = result[0].toUpper();
    return result;
}

} // namespace rat::documents
