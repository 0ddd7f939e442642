// Amounts in words: every word group, the "тысяч" of round hundreds of thousands, the kopecks and
// the amounts written in digits.

#include "documents/AmountInWords.h"

#include <gtest/gtest.h>

using rat::documents::AmountInWords;

TEST(AmountInWordsTest, WordsForEveryGroup)
{
    struct Case { double amount; bool always; const char* currency; const char* text; };
    const Case cases[] = {
        {0, false, "тг.", "Ноль тг. "},
        {0, true, "тг.", "Ноль тг. 00"},
        {0, true, "руб.", "Ноль руб. 00 коп."},
        {1021.05, false, "руб.", "Одна тысяча двадцать один руб. 05 коп."},
        {300000, false, "тг.", "Триста тысяч тг. "},
        {1000000, false, "тг.", "Один миллион тг. "},
        {112000, false, "тг.", "Сто двенадцать тысяч тг. "},
        {20000000, false, "тг.", "Двадцать миллионов тг. "},
        {25000, false, "тг.", "Двадцать пять тысяч тг. "},
        {40000, false, "тг.", "Сорок тысяч тг. "},
        {2002, false, "тг.", "Две тысячи два тг. "},
        {5019, false, "руб.", "Пять тысяч девятнадцать руб. "},
        {11, false, "тг.", "Одиннадцать тг. "},
        {90, false, "тг.", "Девяносто тг. "},
        {999, false, "тг.", "Девятьсот девяносто девять тг. "},
        {301001, false, "тг.", "Триста одна тысяча один тг. "},
        {310000, false, "тг.", "Триста десять тысяч тг. "},
        {2300450.5, false, "руб.", "Два миллиона триста тысяч четыреста пятьдесят руб. 50 коп."},
        {19999999.99, false, "тг.",
         "Девятнадцать миллионов девятьсот девяносто девять тысяч девятьсот девяносто девять тг. 99"},
        {7.1, false, "тг.", "Семь тг. 10"},
        {12.3456, false, "руб.", "Двенадцать руб. 35 коп."},
        // Kopecks that round up to a whole keep the whole part as it was: "00", not shown.
        {1.999, false, "руб.", "Один руб. "},
    };
    for (const Case& c : cases)
        EXPECT_EQ(AmountInWords(c.amount, c.always, QString::fromUtf8(c.currency)), QString::fromUtf8(c.text))
            << c.amount;
}

TEST(AmountInWordsTest, AmountsBeyondTheWordsAreDigits)
{
    EXPECT_EQ(AmountInWords(21000000, false, QStringLiteral("тг.")), "21000000 тг. ");
    EXPECT_EQ(AmountInWords(123456789.5, false, QStringLiteral("руб.")), "123456789 руб. 50 коп.");
    EXPECT_EQ(AmountInWords(-12.5, false, QStringLiteral("руб.")), "-12 руб. 50 коп.");
    EXPECT_EQ(AmountInWords(-0.4, false, QStringLiteral("тг.")), "-0 тг. 40");
    EXPECT_EQ(AmountInWords(20999999.99, false, QStringLiteral("тг.")),
              "Двадцать миллионов девятьсот девяносто девять тысяч девятьсот девяносто девять тг. 99");
}
