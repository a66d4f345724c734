// Numbers as the report writes them, identical on the x87 and SSE2 builds.
#include "text/NumberText.h"

#include <cstdint>
#include <cstring>
#include <limits>
#include <gtest/gtest.h>

static double FromBits(uint64_t bits)
{
    double value;
    memcpy(&value, &bits, sizeof(value));
    return value;
}

TEST(FormatNumber, WorkedValues)
{
    static const struct { double value; const char* text; } rows[] = {
        {0, "0"},
        {-0.0, "0"},
        {7, "7"},
        {-3, "-3"},
        {9, "9"},
        {10, "10"},
        {999, "999"},
        {1000, "1000"},
        {2009, "2009"},
        {65535, "65535"},
        {4294967295.0, "4294967295"},
        {4294967296.0, "4294967296"},
        {9820194227.0, "9820194227.00001"},
        {12345678901.0, "12345678901"},
        {86862763698.0, "86862763697.9999"},
        {9873416726198.0, "9873416726198.01"},
        {982946426369506.0, "982946426369505"},
        {0.5, "0.5"},
        {123.456, "123.456"},
        {0.001, "0.001"},
        {0.0001, "0.0001"},
        {0.00012345, "0.00012345"},
        {0.00001, "1.00000000000000e-05"},
        {1e-100, "1.00000000000000e-100"},
        {99999999999999.9, "100000000000000"},
        {999999999999990.0, "999999999999990"},
        {999999999999999.0, "1.00000000000000e+015"},
        {1e15, "1.00000000000000e+015"},
        {1e16, "1.00000000000000e+016"},
        {1234567890123456789.0, "1.23456789012346e+018"},
        {1e308, "1.00000000000000e+308"},
        {-2.5e20, "-2.50000000000000e+020"},
        {-0.5, "-0.5"},
        {-0.00001, "-1.00000000000000e-05"},
        {1e-5 * 1e-94, "1.00000000000000e-99"},
        {2147450880.0, "2147450880"},
        // the digit after the fifteenth is exactly 5 with nothing after it: rounds up
        {32769.0 / 32768.0, "1.00003051757813"},
        {-99.98321533203125, "-99.9832153320313"},
        {std::numeric_limits<double>::quiet_NaN(), "0"}, // not a number
        {-std::numeric_limits<double>::quiet_NaN(), "0"},
        {std::numeric_limits<double>::infinity(), "INF"},
        {-std::numeric_limits<double>::infinity(), "-INF"},
        {std::numeric_limits<double>::max(), "1.79769313486232e+308"},
        {std::numeric_limits<double>::denorm_min(), "4.94065645841247e-324"},
        {std::numeric_limits<double>::min(), "2.22507385850720e-308"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(row.text, FormatNumber(row.value)) << "value " << row.text;
}

TEST(FormatNumber, WholeNumbersUpToNineDigitsArePlain)
{
    // a spread of values, every digit count from 1 to 9
    for (uint32_t n = 1; n < 1000000000u; n = n * 7 + 3) {
        std::string expected;
        for (uint32_t m = n; m; m /= 10)
            expected.insert(expected.begin(), (char)('0' + m % 10));
        EXPECT_EQ(expected, FormatNumber(n));
    }
}

TEST(DecimalDigits, GivesFifteenDigitsAndExponent)
{
    static const struct { double value; const char* digits; int exponent; bool negative; } rows[] = {
        {0, "000000000000000", 0, false},
        {7, "700000000000000", 1, false},
        {2009, "200900000000000", 4, false},
        {-3, "300000000000000", 1, true},
        {0.001, "100000000000000", -2, false},
        {999999999999999.0, "100000000000000", 16, false},
        // the bounds themselves: L stays below one, H is scaled down
        {FromBits(0x3FEFFFFFFFFFFFF7ull), "100000000000000", 1, false},
        {FromBits(0x4023FFFFFFFFFFFAull), "100000000000000", 2, false},
    };
    for (const auto& row : rows) {
        int e = -12345;
        bool negative = !row.negative;
        EXPECT_EQ(row.digits, DecimalDigits(row.value, 15, e, negative)) << "value " << row.value;
        EXPECT_EQ(row.exponent, e) << "value " << row.value;
        EXPECT_EQ(row.negative, negative) << "value " << row.value;
    }
}
