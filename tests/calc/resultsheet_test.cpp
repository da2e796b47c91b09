// SPDX-FileCopyrightText: 2026 The Torvane developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "resultsheet.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <random>

#include "testsupport.h"

namespace {

struct Form {
    float value;
    const char* fullStop;
    const char* comma;
};

std::ostream& operator<<(std::ostream& os, const Form& f) {
    return os << f.fullStop;
}

class NumberForms : public testing::TestWithParam<Form> {};

TEST_P(NumberForms, UnderBothSeparators) {
    EXPECT_EQ(calc::numberForm(GetParam().value, "."), GetParam().fullStop);
    EXPECT_EQ(calc::numberForm(GetParam().value, ","), GetParam().comma);
}

INSTANTIATE_TEST_SUITE_P(
    Values, NumberForms,
    testing::Values(
        Form{478, "478", "478"}, Form{956.25F, "956.25", "956,25"}, Form{5, "5", "5"},
        Form{478.123456F, "478.1234", "478,1234"}, Form{0.1F, "0.1", "0,1"}, Form{0, "0", "0"},
        Form{-0.0F, "0", "0"}, Form{-955.25F, "-955.25", "-955,25"},
        // Halves at the seventh digit go away from zero, as by hand.
        Form{1234.0625F, "1234.063", "1234,063"}, Form{-1234.0625F, "-1234.063", "-1234,063"},
        Form{0.5F, "0.5", "0,5"}, Form{974.2001F, "974.2001", "974,2001"},
        Form{1234567, "1234567", "1234567"}, Form{9999999, "9999999", "9999999"},
        Form{12345678, "1.234568E+07", "1,234568E+07"}, Form{10000000, "1E+07", "1E+07"},
        Form{9999999.5F, "1E+07", "1E+07"}, Form{0.0001F, "0.0001", "0,0001"},
        Form{0.00012345678F, "0.0001234568", "0,0001234568"}, Form{0.00001F, "1E-05", "1E-05"},
        Form{-0.0000123F, "-1.23E-05", "-1,23E-05"},
        Form{std::numeric_limits<float>::max(), "3.402823E+38", "3,402823E+38"},
        Form{std::numeric_limits<float>::denorm_min(), "1.401298E-45", "1,401298E-45"},
        Form{8, "8", "8"}, Form{100, "100", "100"}, Form{1000000, "1000000", "1000000"}));

TEST(NumberForm, MultiByteDecimalSeparator) {
    EXPECT_EQ(calc::numberForm(956.25F, "\u066B"), "956\u066B25");
}

TEST(ResultSheet, WorkedExampleTexts) {
    calc::PivotGenerator random;
    const auto outcome =
        calc::calculate(calctest::workedExample(), calc::Separators{".", ","}, random);
    ASSERT_TRUE(outcome.ok());
    const calc::ResultSheet sheet = calc::render(outcome.value(), ".");
    for (const workedexample::Text& cell : workedexample::kCells) {
        const std::string* shown = sheet.find(cell.name);
        ASSERT_NE(shown, nullptr) << cell.name;
        EXPECT_EQ(*shown, cell.text) << cell.name;
    }
    EXPECT_EQ(sheet.optimalBalance(), "956");
    EXPECT_EQ(sheet.retainingBalance(), "955.25");
}

TEST(ResultSheet, BlankSheetEmptiesEveryCell) {
    const calc::ResultSheet blank = calc::blankSheet();
    for (const std::string_view cell : calc::kCellNames) {
        ASSERT_NE(blank.find(cell), nullptr);
        EXPECT_TRUE(blank.find(cell)->empty());
    }
    EXPECT_EQ(blank.find("Label58"), nullptr) << "pin-pair captions are not result cells";
    EXPECT_EQ(blank.find("Label1"), nullptr);
}

}  // namespace

namespace {

// Seven significant digits, halves away from zero, worked out from all 150 exact digits
// of the value with plain decimal string arithmetic.
std::string referenceForm(float value) {
    std::array<char, 200> buffer{};
    const auto end =
        std::to_chars(buffer.data(), buffer.data() + buffer.size(),
                      std::fabs(static_cast<double>(value)), std::chars_format::scientific, 150)
            .ptr;
    const std::string text(buffer.data(), end);
    std::string digits = text.substr(0, 1) + text.substr(2, 6);
    int exponent = std::stoi(text.substr(text.find('e') + 1));
    if (text[8] >= '5') {
        long long n = std::stoll(digits) + 1;
        if (n == 10000000) {
            n = 1000000;
            ++exponent;
        }
        digits = std::to_string(n);
    }
    while (digits.size() > 1 && digits.back() == '0') {
        digits.pop_back();
    }
    std::string out;
    if (exponent < -4 || exponent >= 7) {
        out = digits.substr(0, 1) + (digits.size() > 1 ? std::string(".").append(digits, 1) : "") +
              (exponent < 0 ? "E-" : "E+") + (std::abs(exponent) < 10 ? "0" : "") +
              std::to_string(std::abs(exponent));
    } else if (exponent < 0) {
        out = "0." + std::string(static_cast<std::size_t>(-exponent - 1), '0') + digits;
    } else {
        const auto whole = static_cast<std::size_t>(exponent + 1);
        out = digits.size() <= whole ? digits + std::string(whole - digits.size(), '0')
                                     : digits.substr(0, whole) + "." + digits.substr(whole);
    }
    return value < 0 ? "-" + out : out;
}

TEST(NumberForm, AgreesWithTheExactDigitsForManySingles) {
    std::mt19937 engine(5);
    std::uniform_int_distribution<std::uint32_t> bits;
    std::uniform_real_distribution<float> weights(-2000, 2000);
    for (int i = 0; i < 200000; ++i) {
        float value = weights(engine);
        if (i % 2 == 0) {
            const std::uint32_t pattern = bits(engine);
            std::memcpy(&value, &pattern, sizeof value);
        }
        if (!std::isfinite(value) || value == 0) {
            continue;
        }
        ASSERT_EQ(calc::numberForm(value, "."), referenceForm(value)) << value;
    }
    // Around every power of ten, where the number of digits and the form change.
    for (int power = -45; power <= 38; ++power) {
        float value = std::pow(10.0F, static_cast<float>(power));
        for (int i = 0; i < 64; ++i) {
            value = std::nextafter(value, 0.0F);
        }
        for (int i = 0; i < 128 && std::isfinite(value); ++i) {
            ASSERT_EQ(calc::numberForm(value, "."), referenceForm(value)) << value;
            ASSERT_EQ(calc::numberForm(-value, "."), referenceForm(-value)) << value;
            value = std::nextafter(value, 1e38F * 10);
        }
    }
}

}  // namespace
