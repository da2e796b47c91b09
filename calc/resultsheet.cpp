// SPDX-FileCopyrightText: 2026 The Torvane developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "resultsheet.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <optional>

namespace calc {
namespace {

constexpr int kSignificantDigits = 7;
constexpr std::uint64_t kSevenDigitLimit = 10'000'000;
// Plain digits from 1E-04 up to 9999999; exponent form outside.
constexpr int kSmallestPlainExponent = -4;
// Enough digits to write any single-precision value exactly.
constexpr int kExactDigits = 150;
constexpr int kSingleMantissaBits = 24;

// The value's decimal digits rounded to seven, halves away from zero, with the power of ten
// of the first digit.
struct RoundedDigits {
    std::array<char, kSignificantDigits> buffer{};
    std::size_t count = 0;  // no trailing zeros, at least one digit
    int exponent = 0;

    [[nodiscard]] std::string_view digits() const { return {buffer.data(), count}; }
};

// NOLINTNEXTLINE(bugprone-easily-swappable-parameters): digits, then their power of ten
RoundedDigits fromSevenDigits(std::uint64_t n, int exponent) {
    if (n == kSevenDigitLimit) {  // 9999999.5 and the like carry into an eighth digit
        n /= 10;
        ++exponent;
    }
    while (n % 10 == 0) {
        n /= 10;
    }
    RoundedDigits rounded;
    rounded.exponent = exponent;
    auto* const end =
        std::to_chars(rounded.buffer.data(), rounded.buffer.data() + kSignificantDigits, n).ptr;
    rounded.count = static_cast<std::size_t>(end - rounded.buffer.data());
    return rounded;
}

// The power of ten of the first digit, for 1E-05 <= magnitude < 1E+07. Each comparison is
// exact: no double lies between a power of ten and the double nearest to it.
int decimalExponent(double magnitude) {
    constexpr std::array<double, 12> kPowers = {1e-5, 1e-4, 1e-3, 1e-2, 1e-1, 1e0,
                                                1e1,  1e2,  1e3,  1e4,  1e5,  1e6};
    const auto* above = std::ranges::upper_bound(kPowers, magnitude);
    return static_cast<int>(above - kPowers.begin()) - 6;
}

// Rounds exactly in integers: a single is m / 2^k, and scaling it to seven digits,
// 10^s x m / 2^k, stays below 2^64 throughout for every value in 1E-05..1E+07.
std::optional<RoundedDigits> roundInIntegers(float magnitude) {
    constexpr double kLow = 1e-5;
    constexpr double kHigh = 1e7;
    if (!(static_cast<double>(magnitude) >= kLow && static_cast<double>(magnitude) < kHigh)) {
        return std::nullopt;
    }
    int binaryExponent = 0;
    const double fraction = std::frexp(static_cast<double>(magnitude), &binaryExponent);
    const auto m = static_cast<std::uint64_t>(std::ldexp(fraction, kSingleMantissaBits));
    const int k = kSingleMantissaBits - binaryExponent;  // magnitude = m / 2^k, 0 <= k <= 41
    const int exponent = decimalExponent(magnitude);
    std::uint64_t scale = 1;
    for (int s = exponent; s < kSignificantDigits - 1; ++s) {
        scale *= 10;
    }
    if (k <= 0) {  // an integer, below 10^7 here
        const std::uint64_t whole = m << -k;
        return fromSevenDigits(whole * scale, exponent);
    }
    // floor(x + 1/2) for x = m x scale / 2^k: halves go up, away from zero.
    const std::uint64_t twice = 2 * m * scale + (std::uint64_t{1} << (k - 1)) * 2;
    return fromSevenDigits(twice >> (k + 1), exponent);
}

// The same from all the value's exact decimal digits, for magnitudes outside 1E-05..1E+07.
RoundedDigits roundFromExactDigits(float magnitude) {
    int binaryExponent = 0;
    static_cast<void>(std::frexp(magnitude, &binaryExponent));
    // A single is m x 2^e with m below 2^24: at most 8 + e x log10(2) digits, or
    // 8 + -e x log10(5) for e < 0.
    const int e = binaryExponent - kSingleMantissaBits;
    const int fractionDigits = e < 0 ? (-e * 70 + 99) / 100 : (e * 31 + 99) / 100;
    const int precision = std::min(kExactDigits, kSignificantDigits + 2 + fractionDigits);

    std::array<char, kExactDigits + 16> buffer{};
    const auto [end, ec] =
        std::to_chars(buffer.data(), buffer.data() + buffer.size(), static_cast<double>(magnitude),
                      std::chars_format::scientific, precision);
    // buffer holds "d.ddd...e+XX", every digit exact.
    const std::string_view text(buffer.data(), static_cast<std::size_t>(end - buffer.data()));
    const std::size_t exponentAt = text.find('e');
    int exponent = 0;
    std::from_chars(text.data() + exponentAt + (text[exponentAt + 1] == '+' ? 2 : 1), end,
                    exponent);
    auto n = static_cast<std::uint64_t>(text[0] - '0');
    for (int i = 2; i <= kSignificantDigits; ++i) {
        n = n * 10 + static_cast<std::uint64_t>(text[static_cast<std::size_t>(i)] - '0');
    }
    // Every digit after the seventh is exact, so the eighth alone decides: five or more is at
    // least half.
    if (text[kSignificantDigits + 1] >= '5') {
        ++n;
    }
    return fromSevenDigits(n, exponent);
}

std::string exponentForm(const RoundedDigits& r, std::string_view decimal, bool negative) {
    const std::string_view digits = r.digits();
    std::string text = negative ? "-" : "";
    text += digits[0];
    if (digits.size() > 1) {
        text.append(decimal).append(digits.substr(1));
    }
    text += r.exponent < 0 ? "E-" : "E+";
    const std::string power = std::to_string(std::abs(r.exponent));
    if (power.size() < 2) {
        text += '0';
    }
    return text.append(power);
}

// Written into place: at most "0.000" and seven digits, or seven digits and a separator.
std::string plainForm(const RoundedDigits& r, std::string_view decimal, bool negative) {
    const std::string_view digits = r.digits();
    std::array<char, 32> buffer{};
    char* out = buffer.data();
    auto put = [&out](std::string_view part) { out = std::ranges::copy(part, out).out; };
    if (negative) {
        *out++ = '-';
    }
    if (r.exponent < 0) {
        *out++ = '0';
        put(decimal);
        out = std::fill_n(out, -r.exponent - 1, '0');
        put(digits);
    } else if (const auto integerDigits = static_cast<std::size_t>(r.exponent) + 1;
               digits.size() <= integerDigits) {
        put(digits);
        out = std::fill_n(out, integerDigits - digits.size(), '0');
    } else {
        put(digits.substr(0, integerDigits));
        put(decimal);
        put(digits.substr(integerDigits));
    }
    return {buffer.data(), out};
}

consteval std::size_t cellIndex(std::string_view name) {
    for (std::size_t i = 0; i < kCellNames.size(); ++i) {
        if (kCellNames[i] == name) {
            return i;
        }
    }
    throw "not a result cell";  // refused at compile time
}

// Cells of the rod-piston table, by matching row: rod number and piston letter.
constexpr std::array<std::size_t, kRodCount> kRodCells = {
    cellIndex("Label29"), cellIndex("Label30"), cellIndex("Label31"), cellIndex("Label32"),
    cellIndex("Label39"), cellIndex("Label40"), cellIndex("Label41"), cellIndex("Label42")};
constexpr std::array<std::size_t, kRodCount> kPistonCells = {
    cellIndex("Label28"), cellIndex("Label33"), cellIndex("Label34"), cellIndex("Label35"),
    cellIndex("Label38"), cellIndex("Label43"), cellIndex("Label44"), cellIndex("Label45")};
// The optimal block, pins 1 to 4 top to bottom, and its balance cell.
constexpr std::array<std::size_t, kPinCount> kOptimalRodsCells = {
    cellIndex("Label52"), cellIndex("Label55"), cellIndex("Label56"), cellIndex("Label57")};
constexpr std::array<std::size_t, kPinCount> kOptimalSumCells = {
    cellIndex("Label62"), cellIndex("Label63"), cellIndex("Label64"), cellIndex("Label65")};
constexpr std::size_t kOptimalBalanceCell = cellIndex("Label71");
// The block that keeps the rods' numbers: pins 1-2, 3-4, 5-6, 7-8.
constexpr std::array<std::size_t, kPinCount> kRetainingSumCells = {
    cellIndex("Label66"), cellIndex("Label67"), cellIndex("Label68"), cellIndex("Label69")};
constexpr std::size_t kRetainingBalanceCell = cellIndex("Label73");

// Rod numbers are the integers 1 to 8.
std::string rodNumber(float id) {
    return numberForm(id, ".");
}

}  // namespace

const std::string* ResultSheet::find(std::string_view cellName) const {
    const auto* found = std::ranges::find(kCellNames, cellName);
    if (found == kCellNames.end()) {
        return nullptr;
    }
    return &texts[static_cast<std::size_t>(found - kCellNames.begin())];
}

const std::string& ResultSheet::optimalBalance() const {
    return texts[kOptimalBalanceCell];
}

const std::string& ResultSheet::retainingBalance() const {
    return texts[kRetainingBalanceCell];
}

std::string numberForm(float value, std::string_view decimal) {
    if (value == 0) {
        return "0";  // negative zero too
    }
    const float magnitude = std::abs(value);
    constexpr float kSevenDigits = 1e7F;
    if (magnitude < kSevenDigits && magnitude == std::trunc(magnitude)) {
        // A whole number of up to seven digits, rod numbers among them, is its own rounding.
        std::array<char, 16> digits{};
        auto* const end = std::to_chars(digits.data(), digits.data() + digits.size(),
                                        static_cast<std::int32_t>(value))
                              .ptr;
        return {digits.data(), end};
    }
    const std::optional<RoundedDigits> inIntegers = roundInIntegers(magnitude);
    const RoundedDigits rounded = inIntegers ? *inIntegers : roundFromExactDigits(magnitude);
    const bool plain =
        rounded.exponent >= kSmallestPlainExponent && rounded.exponent < kSignificantDigits;
    if (plain) {
        return plainForm(rounded, decimal, value < 0);
    }
    return exponentForm(rounded, decimal, value < 0);
}

ResultSheet render(const CalculationResult& result, std::string_view decimal) {
    ResultSheet sheet;
    for (std::size_t k = 0; k < kRodCount; ++k) {
        sheet.texts[kRodCells[k]] = rodNumber(result.rods[k].id);
        sheet.texts[kPistonCells[k]] = std::string(1, result.pistons[kRodCount - 1 - k].id);
    }
    for (std::size_t j = 0; j < kPinCount; ++j) {
        const OptimalPin& pin = result.optimalPins[j];
        sheet.texts[kOptimalRodsCells[j]] =
            rodNumber(pin.lighterRod).append("  ").append(rodNumber(pin.heavierRod));
        sheet.texts[kOptimalSumCells[j]] = numberForm(pin.sum, decimal);
        sheet.texts[kRetainingSumCells[j]] = numberForm(result.retainingPins[j], decimal);
    }
    sheet.texts[kOptimalBalanceCell] = numberForm(result.optimalBalance, decimal);
    sheet.texts[kRetainingBalanceCell] = numberForm(result.retainingBalance, decimal);
    return sheet;
}

ResultSheet blankSheet() {
    return ResultSheet{};
}

}  // namespace calc
