// SPDX-License-Identifier: GPL-2.0-or-later
#include "bcd.hpp"

#include <gtest/gtest.h>

#include <string>

namespace calcview::bcd {
namespace {

// The calculator's own bytes for a few numbers, and how it shows them.
struct Known {
    Bytes bytes;
    std::string shown;  // N: the negative sign, E: the exponent's E
};

std::string readable(std::string text) {
    for (char& c : text) {
        if (c == negativeSign) c = 'N';
        if (c == exponentMark) c = 'E';
    }
    return text;
}

class KnownNumbers : public testing::TestWithParam<Known> {};

TEST_P(KnownNumbers, DecodeEncodeAndShowAsTheCalculator) {
    const Real value = decode(GetParam().bytes);
    EXPECT_EQ(encode(value), GetParam().bytes);
    EXPECT_EQ(readable(format(value, 16)), GetParam().shown);
}

INSTANTIATE_TEST_SUITE_P(
    Bcd, KnownNumbers,
    testing::Values(Known{{0x00, 0x80, 0x31, 0x41, 0x59, 0x26, 0x53, 0x58, 0x98}, "3.141592654"},
                    Known{{0x00, 0x80, 0, 0, 0, 0, 0, 0, 0}, "0"},
                    Known{{0x00, 0x82, 0x12, 0x30, 0, 0, 0, 0, 0}, "123"},
                    Known{{0x80, 0x7F, 0x50, 0, 0, 0, 0, 0, 0}, "N.5"},
                    Known{{0x00, 0x7D, 0x12, 0x50, 0, 0, 0, 0, 0}, ".00125"},
                    Known{{0x00, 0x7C, 0x10, 0, 0, 0, 0, 0, 0}, "1EN4"},
                    Known{{0x00, 0x89, 0x99, 0x99, 0x99, 0x99, 0x99, 0, 0}, "9999999999"},
                    Known{{0x00, 0x8A, 0x10, 0, 0, 0, 0, 0, 0}, "1E10"},
                    Known{{0x80, 0xE3, 0x25, 0, 0, 0, 0, 0, 0}, "N2.5E99"},
                    // 11 digits round to 10 when shown
                    Known{{0x00, 0x80, 0x66, 0x66, 0x66, 0x66, 0x66, 0x66, 0x67}, "6.666666667"}));

struct Operation {
    const char* what;
    Result (*operation)(const Real&, const Real&);
    std::int64_t a, b;
    int divisorPower;  // the result is divided by 10^this before comparing
    std::string shown;
};

class Operations : public testing::TestWithParam<Operation> {};

TEST_P(Operations, GiveTheRoundedDecimalResult) {
    const Operation& c = GetParam();
    Real a = fromInteger(c.a);
    for (int i = 0; i < c.divisorPower; ++i) a = *divide(a, fromInteger(10)).value;
    const Result result = c.operation(a, fromInteger(c.b));
    ASSERT_TRUE(result.value);
    EXPECT_EQ(readable(format(*result.value, 16)), c.shown) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Bcd, Operations,
    testing::Values(Operation{"add", add, 7, 5, 0, "12"}, Operation{"add_mixed", add, -7, 5, 0, "N2"},
                    Operation{"add_cancels", add, -7, 7, 0, "0"},
                    Operation{"sub_below_zero", subtract, 5, 7, 0, "N2"},
                    Operation{"sub_tenths", subtract, 1, 1, 1, "N.9"},  // .1 - 1
                    Operation{"mult", multiply, -12, 12, 0, "N144"},
                    Operation{"mult_large", multiply, 99999, 99999, 0, "9999800001"},
                    Operation{"div_exact", divide, 10, 4, 0, "2.5"},
                    Operation{"div_thirds", divide, 2, 3, 0, ".6666666667"},
                    Operation{"add_far_apart", add, 1, 1, 20, "1"}),  // 1E-20 + 1
    [](const auto& info) { return std::string(info.param.what); });

TEST(Bcd, FourteenDigitsAreKeptAndRounded) {
    // 1/3 to 14 digits, and 2/3 rounded up in the last digit.
    EXPECT_EQ(encode(*divide(fromInteger(1), fromInteger(3)).value),
              (Bytes{0x00, 0x7F, 0x33, 0x33, 0x33, 0x33, 0x33, 0x33, 0x33}));
    EXPECT_EQ(encode(*divide(fromInteger(2), fromInteger(3)).value),
              (Bytes{0x00, 0x7F, 0x66, 0x66, 0x66, 0x66, 0x66, 0x66, 0x67}));
}

TEST(Bcd, ErrorsAreReportedNotWrapped) {
    EXPECT_EQ(divide(fromInteger(1), Real{}).error, Error::divideByZero);
    const Real big = decode({0x00, 0xE3, 0x90, 0, 0, 0, 0, 0, 0});  // 9E99
    const Result overflow = multiply(big, fromInteger(10));
    EXPECT_FALSE(overflow.value);
    EXPECT_EQ(overflow.error, Error::overflow);
    const Real tiny = decode({0x00, 0x1D, 0x10, 0, 0, 0, 0, 0, 0});  // 1E-99
    EXPECT_TRUE(multiply(tiny, tiny).value->isZero());
}

TEST(Bcd, NarrowWidthsShowFewerDigits) {
    const Real third = *divide(fromInteger(1), fromInteger(3)).value;
    EXPECT_EQ(format(third, 5), ".3333");
    EXPECT_EQ(readable(format(fromInteger(123456), 4)), "1E5");  // not 1235 or 123500
}

TEST(Bcd, DigitsAboveNineDoNotBreakDecoding) {
    const Real odd = decode({0x00, 0x80, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF});
    EXPECT_LT(odd.mantissa, 100'000'000'000'000U);
    EXPECT_FALSE(format(odd, 16).empty());
}

}  // namespace
}  // namespace calcview::bcd
