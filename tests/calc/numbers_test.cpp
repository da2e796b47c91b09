// SPDX-FileCopyrightText: 2026 The Torvane developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "numbers.h"

#include <gtest/gtest.h>

#include <array>
#include <charconv>
#include <cmath>
#include <limits>
#include <random>
#include <string>

namespace {

using calc::ReadError;
using calc::Separators;

const Separators kFullStop{".", ","};
const Separators kComma{",", "."};

struct Case {
    const char* text;
    double expected;
};

struct Refusal {
    const char* text;
    ReadError error;
};

std::ostream& operator<<(std::ostream& os, const Case& c) {
    return os << '"' << c.text << '"';
}
std::ostream& operator<<(std::ostream& os, const Refusal& c) {
    return os << '"' << c.text << '"';
}

// ---- Lenient reading: what the extras fields hold ----

class LenientReads : public testing::TestWithParam<Case> {};

TEST_P(LenientReads, Value) {
    const calc::Reading reading = calc::readLenient(GetParam().text);
    ASSERT_TRUE(reading.value.has_value());
    EXPECT_EQ(*reading.value, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Examples, LenientReads,
    testing::Values(Case{"4", 4}, Case{"4 g", 4}, Case{"g4", 0}, Case{"12.5g", 12.5},
                    Case{"1 2", 12}, Case{"abc", 0}, Case{"2,5", 2}, Case{" ", 0}, Case{"", 0},
                    Case{"\t1\n2 .\t5", 12.5}, Case{"-3.25", -3.25}, Case{"+7", 7}, Case{"- 7", -7},
                    Case{"-", 0}, Case{".5", 0.5}, Case{"5.", 5}, Case{"1.2.3", 1.2},
                    Case{"1e3", 1000}, Case{"1E+3", 1000}, Case{"2d2", 200}, Case{"2D-2", 0.02},
                    Case{"1e", 1}, Case{"1e+", 1}, Case{"1e 2", 100}, Case{"1ex", 1},
                    Case{"+-5", 0}, Case{"1e-400", 0}, Case{"0.1", 0.1}, Case{"007", 7},
                    Case{"\r5", 0}));

INSTANTIATE_TEST_SUITE_P(RadixPrefixes, LenientReads,
                         testing::Values(Case{"&HFF", 255}, Case{"&hff", 255}, Case{"&H 1 0", 16},
                                         Case{"&H", 0}, Case{"&HFFFG", 4095}, Case{"&HFFFF", 65535},
                                         Case{"&HFFFFFFFF", 4294967295.0}, Case{"&O17", 15},
                                         Case{"&o 7 7", 63}, Case{"&O8", 0}, Case{"&O178", 15},
                                         Case{"&O07", 7}, Case{"&O12", 10}, Case{"&HaA", 170},
                                         Case{"&X1", 0}, Case{"&", 0}, Case{"-&H10", 0},
                                         Case{"&H0000000000000000000000001", 1},
                                         Case{"&H1FFFFFFFFFFFFF", 9007199254740991.0},
                                         // Beyond 2^53 the integer rounds once, to nearest even.
                                         Case{"&H20000000000001", 9007199254740992.0},
                                         Case{"&H20000000000003", 9007199254740996.0},
                                         // A one far below a tie tips it up.
                                         Case{"&H200000000000010000000001", 0x1.0000000000001p93},
                                         Case{"&O777777777777777777777", 9223372036854775807.0}));

TEST(LenientReading, FailsOnlyBeyondTheDoubleRange) {
    for (const char* text : {"1e309", "-1e309", "1e99999999999999999999", "1.8e308"}) {
        SCOPED_TRACE(text);
        EXPECT_FALSE(calc::readLenient(text).value.has_value());
        EXPECT_EQ(calc::readLenient(text).error, ReadError::OutOfRange);
    }
    const std::string hugeHex = "&H" + std::string(257, 'F');
    EXPECT_EQ(calc::readLenient(hugeHex).error, ReadError::OutOfRange);
    EXPECT_FALSE(calc::readLenient("&O" + std::string(400, '7')).value);
    // Halfway between the largest double and 2^1024 rounds to 2^1024; just below, it does not.
    EXPECT_EQ(calc::readLenient("&HFFFFFFFFFFFFFC" + std::string(242, '0')).error,
              ReadError::OutOfRange);
    EXPECT_EQ(calc::readLenient("&HFFFFFFFFFFFFFB" + std::string(242, 'F')).value,
              std::numeric_limits<double>::max());
    EXPECT_FALSE(calc::readLenient(std::string(400, '9')).value);
    EXPECT_EQ(calc::readLenient("1.7976931348623157e308").value,
              std::numeric_limits<double>::max());
}

// ---- Strict reading: rods, pistons and the recip percentage ----

class StrictReadsFullStop : public testing::TestWithParam<Case> {};
class StrictReadsComma : public testing::TestWithParam<Case> {};
class StrictRefusesFullStop : public testing::TestWithParam<Refusal> {};
class StrictRefusesComma : public testing::TestWithParam<Refusal> {};

TEST_P(StrictReadsFullStop, Value) {
    EXPECT_EQ(calc::readStrict(GetParam().text, kFullStop).value, GetParam().expected);
}
TEST_P(StrictReadsComma, Value) {
    EXPECT_EQ(calc::readStrict(GetParam().text, kComma).value, GetParam().expected);
}
TEST_P(StrictRefusesFullStop, Error) {
    const calc::Reading reading = calc::readStrict(GetParam().text, kFullStop);
    EXPECT_FALSE(reading.value.has_value());
    EXPECT_EQ(reading.error, GetParam().error);
}
TEST_P(StrictRefusesComma, Error) {
    const calc::Reading reading = calc::readStrict(GetParam().text, kComma);
    EXPECT_FALSE(reading.value.has_value());
    EXPECT_EQ(reading.error, GetParam().error);
}

INSTANTIATE_TEST_SUITE_P(
    Numbers, StrictReadsFullStop,
    testing::Values(Case{"297.5", 297.5}, Case{"50", 50}, Case{"0", 0}, Case{" 12 ", 12},
                    Case{"\t12\t", 12}, Case{"-3.5", -3.5}, Case{"+3.5", 3.5}, Case{".5", 0.5},
                    Case{"5.", 5}, Case{"1e3", 1000}, Case{"1.5E-2", 0.015}, Case{"2e+2", 200},
                    Case{"1,234", 1234}, Case{"1,234,567.5", 1234567.5}, Case{"12,345", 12345},
                    Case{"123,456", 123456}, Case{"0.1", 0.1}, Case{"1e-400", 0},
                    Case{"4.9e-324", 4.9406564584124654e-324},
                    // Below half the least subnormal: zero, not out of range.
                    Case{"2e-324", 0},
                    // 1 + 3 x 2^-53 lies halfway between two doubles; ties go to the even one.
                    Case{"1.00000000000000033306690738754696212708950042724609375", 1 + 0x1p-51},
                    Case{"1.7976931348623157e308", std::numeric_limits<double>::max()},
                    Case{"0.000000000000000000000000000000000000000000001e45", 1}));

INSTANTIATE_TEST_SUITE_P(Numbers, StrictReadsComma,
                         testing::Values(Case{"512,5", 512.5}, Case{"297,5", 297.5},
                                         Case{"1.234,5", 1234.5}, Case{"-0,25", -0.25},
                                         Case{"1e2", 100}, Case{" 7 ", 7},
                                         Case{"1.234.567", 1234567}));

INSTANTIATE_TEST_SUITE_P(
    NotNumbers, StrictRefusesFullStop,
    testing::Values(
        Refusal{"29x", ReadError::NotANumber}, Refusal{"x29", ReadError::NotANumber},
        Refusal{" ", ReadError::NotANumber}, Refusal{"", ReadError::NotANumber},
        Refusal{".", ReadError::NotANumber}, Refusal{"-", ReadError::NotANumber},
        Refusal{"1.2.3", ReadError::NotANumber}, Refusal{"1..2", ReadError::NotANumber},
        Refusal{"inf", ReadError::NotANumber}, Refusal{"-infinity", ReadError::NotANumber},
        Refusal{"nan", ReadError::NotANumber}, Refusal{"0x10", ReadError::NotANumber},
        Refusal{"&H10", ReadError::NotANumber}, Refusal{"1e", ReadError::NotANumber},
        Refusal{"1e+", ReadError::NotANumber}, Refusal{"1 2", ReadError::NotANumber},
        Refusal{"++1", ReadError::NotANumber}, Refusal{"1-", ReadError::NotANumber},
        Refusal{"2,5", ReadError::NotANumber}, Refusal{"1,23", ReadError::NotANumber},
        Refusal{"1,2345", ReadError::NotANumber}, Refusal{"1234,567", ReadError::NotANumber},
        Refusal{"1,2x4", ReadError::NotANumber}, Refusal{"1,x23", ReadError::NotANumber},
        Refusal{",123", ReadError::NotANumber}, Refusal{"1,", ReadError::NotANumber},
        Refusal{"1.5,000", ReadError::NotANumber}, Refusal{"1\n", ReadError::NotANumber},
        Refusal{"1e309", ReadError::OutOfRange}, Refusal{"-1e309", ReadError::OutOfRange},
        Refusal{"1.8e308", ReadError::OutOfRange},
        // Past the halfway point between the largest double and 2^1024, it rounds to 2^1024.
        Refusal{"1.7976931348623159e308", ReadError::OutOfRange}));

INSTANTIATE_TEST_SUITE_P(NotNumbers, StrictRefusesComma,
                         testing::Values(Refusal{"297.5", ReadError::NotANumber},
                                         Refusal{"4.9e-324", ReadError::NotANumber},
                                         Refusal{"1,2,3", ReadError::NotANumber},
                                         Refusal{"1.23", ReadError::NotANumber},
                                         Refusal{"1e999", ReadError::OutOfRange}));

TEST(StrictReading, NoBreakSpaceGroupsAlsoAcceptATypedBlank) {
    for (const char* group : {"\u00A0", "\u202F"}) {
        const Separators french{",", group};
        EXPECT_EQ(calc::readStrict(std::string("1") + group + "234,5", french).value, 1234.5);
        EXPECT_EQ(calc::readStrict("1 234,5", french).value, 1234.5);
        EXPECT_FALSE(calc::readStrict("1 23,5", french).value);
    }
}

TEST(StrictReading, MultiByteDecimalSeparator) {
    const Separators arabic{"\u066B", "\u066C"};
    EXPECT_EQ(calc::readStrict("12\u066B5", arabic).value, 12.5);
    EXPECT_EQ(calc::readStrict("1\u066C234", arabic).value, 1234);
    EXPECT_FALSE(calc::readStrict("12.5", arabic).value);
}

TEST(StrictReading, LocaleWithoutGroupingRefusesGroupMarks) {
    const Separators none{".", ""};
    EXPECT_EQ(calc::readStrict("1234567.5", none).value, 1234567.5);
    EXPECT_FALSE(calc::readStrict("1,234", none).value);
    // Where the locale gives one mark for both, it is the decimal separator alone.
    EXPECT_EQ(calc::readStrict("1,5", Separators{",", ","}).value, 1.5);
}

TEST(StrictReading, LongDigitStringsRoundOnce) {
    // 0.1 written with a thousand further zeros and a final 1 still rounds to the double 0.1,
    // and a halfway case far down the digits decides the rounding.
    EXPECT_EQ(calc::readStrict("0.1" + std::string(1000, '0') + "1", kFullStop).value, 0.1);
    // 2^53 + 1 is exactly halfway between two doubles: ties go to even, a trailing digit
    // far away tips it up.
    EXPECT_EQ(calc::readStrict("9007199254740993", kFullStop).value, 9007199254740992.0);
    EXPECT_EQ(calc::readStrict("9007199254740993." + std::string(2000, '0') + "1", kFullStop).value,
              9007199254740994.0);
    EXPECT_EQ(calc::readStrict(std::string(5000, '0') + "42", kFullStop).value, 42);
}

TEST(StrictReading, EveryShortestFormattedDoubleReadsBack) {
    std::mt19937_64 engine(20261208);
    std::uniform_int_distribution<int> scale(-320, 300);
    for (int i = 0; i < 20000; ++i) {
        const double mantissa = std::uniform_real_distribution<double>(-10, 10)(engine);
        const double value = mantissa * std::pow(10.0, scale(engine));
        if (!std::isfinite(value)) {
            continue;
        }
        std::array<char, 64> buffer{};
        const auto end = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value).ptr;
        std::string text(buffer.data(), end);
        ASSERT_EQ(calc::readStrict(text, kFullStop).value, value) << text;
        for (char& c : text) {
            c = c == '.' ? ',' : c;
        }
        ASSERT_EQ(calc::readStrict(text, kComma).value, value) << text;
    }
}

}  // namespace
