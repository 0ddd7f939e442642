#pragma once
// A money amount in Russian words for the totals of printed documents: "Одна тысяча двадцать
// один руб. 05 коп.".

#include <QString>

namespace rat::documents {

// The amount's whole part in words (thousands feminine, units masculine), then the currency's
// short name and a blank, then the kopecks as two digits ("05") when they are not zero or
// `alwaysShowFraction` is set, followed by " коп." when the currency is "руб.". The first letter
// is upper case. Amounts of 21 000 000 and above, and negative amounts, have no words: their whole
// part is written in digits ("25000000 тг. ", "-12 руб. 50 коп."). The amount is taken to four
// decimal places and its kopecks rounded half away from zero, as the money fields hold them.
QString AmountInWords(double amount, bool alwaysShowFraction, const QString& currency);


} // namespace rat::documents
