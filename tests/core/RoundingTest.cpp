// Rounding of quantities and sums: halves go to the even neighbour, and a value is rounded as
// it is written in decimal, not as its nearest binary fraction happens to lie.

#include "core/Rounding.h"

#include <cmath>
#include <gtest/gtest.h>

using rat::roundHalfEven;

namespace {

struct Case {
    double x;
    int digits;
    double expected;
};

void expectAll(std::initializer_list<Case> cases)
{
    for (const Case& c : cases)
        EXPECT_EQ(roundHalfEven(c.x, c.digits), c.expected)
            << "roundHalfEven(" << c.x << ", " << c.digits << ")";
}

TEST(Rounding, HalvesGoToTheEvenNeighbour)
{
    expectAll({
        {0.125, 2, 0.12},
        {0.135, 2, 0.14},
        {0.145, 2, 0.14},
        {0.005, 2, 0.0},
        {0.015, 2, 0.02},
        {2.5, 0, 2.0},
        {3.5, 0, 4.0},
        {0.5, 0, 0.0},
        {1.5, 0, 2.0},
        {0.0625, 3, 0.062},
        {0.0635, 3, 0.064},
    });
}

TEST(Rounding, DecimalValueCountsNotTheBinaryOne)
{
    // 2.675 is stored as 2.67499999..., 1.005 as 1.00499999...: both are halves as typed.
    expectAll({
        {2.675, 2, 2.68},
        {1.005, 2, 1.00},
        {1.015, 2, 1.02},
        {8.345, 2, 8.34},
        {0.285, 2, 0.28},
        {0.1 + 0.2, 2, 0.3},
        {1.1 * 1.1, 2, 1.21},
    });
}

TEST(Rounding, OffHalfValuesGoToTheNearest)
{
    expectAll({
        {0.1251, 2, 0.13},
        {0.1249, 2, 0.12},
        {2.6749, 2, 2.67},
        {1234.5678, 2, 1234.57},
        {1234.5678, 0, 1235.0},
        {0.0004, 2, 0.0},
        {0.0049, 2, 0.0},
        {0.0051, 2, 0.01},
        {9.995, 2, 10.0},
        {99.9951, 2, 100.0},
    });
}

TEST(Rounding, NegativesMirrorPositives)
{
    expectAll({
        {-0.125, 2, -0.12},
        {-0.135, 2, -0.14},
        {-2.675, 2, -2.68},
        {-1.005, 2, -1.0},
        {-2.5, 0, -2.0},
        {-3.5, 0, -4.0},
        {-1234.5678, 2, -1234.57},
    });
    EXPECT_EQ(roundHalfEven(-0.001, 2), 0.0);
}

TEST(Rounding, LargeValues)
{
    expectAll({
        {2500000.5, 0, 2500000.0},
        {2500001.5, 0, 2500002.0},
        {1234567890.125, 2, 1234567890.12},
        {98765432109.875, 2, 98765432109.88},
        {98765432109.865, 2, 98765432109.86},
        {1e15, 2, 1e15},
        {123456789012345.0, 2, 123456789012345.0},
    });
}

TEST(Rounding, DigitsBeyondPrecisionLeaveTheValue)
{
    expectAll({
        {2.675, 15, 2.675},
        {2.675, 20, 2.675},
        {0.1, 17, 0.1},
        {1234567.891, 10, 1234567.891},
        {0.125, 3, 0.125},
    });
}

TEST(Rounding, ZeroAndWholeNumbers)
{
    expectAll({
        {0.0, 2, 0.0},
        {0.0, 0, 0.0},
        {7.0, 2, 7.0},
        {-7.0, 0, -7.0},
        {100.0, 3, 100.0},
    });
}

} // namespace
