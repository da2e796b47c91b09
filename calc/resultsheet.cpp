#include "resultsheet.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>

namespace calc {
namespace {

constexpr int kSignificantDigits = 7;
// Enough digits to write any single-precision value exactly.
constexpr int kExactDigits = 150;
constexpr int kSingleMantissaBits = 24;

// How many digits after the first write this value exactly: a single is m x 2^e with m
// below 2^24, and takes at most 8 + e x log10(2) digits, or 8 + -e x log10(5) for e < 0.
int exactPrecision(float magnitude) {
    int binaryExponent = 0;
    static_cast<void>(std::frexp(magnitude, &binaryExponent));
    const int e = binaryExponent - kSingleMantissaBits;
    const int fractionDigits = e < 0 ? (-e * 70 + 99) / 100 : (e * 31 + 99) / 100;
    return std::min(kExactDigits, kSignificantDigits + 2 + fractionDigits);
}
// Plain digits from 1E-04 up to 9999999; exponent form outside.
constexpr int kSmallestPlainExponent = -4;

// The value's decimal digits rounded to seven, halves away from zero, with the power of ten
// of the first digit.
struct RoundedDigits {
    std::string digits;  // no trailing zeros, at least one digit
    int exponent = 0;
};

RoundedDigits roundToSignificant(float magnitude) {
    std::array<char, kExactDigits + 16> buffer{};
    const auto [end, ec] =
        std::to_chars(buffer.data(), buffer.data() + buffer.size(), static_cast<double>(magnitude),
                      std::chars_format::scientific, exactPrecision(magnitude));
    // buffer holds "d.ddd...e+XX", every digit exact.
    const std::string_view text(buffer.data(), static_cast<std::size_t>(end - buffer.data()));
    const std::size_t e = text.find('e');
    RoundedDigits rounded;
    rounded.digits.push_back(text[0]);
    rounded.digits.append(text.substr(2, kSignificantDigits - 1));
    std::from_chars(text.data() + e + (text[e + 1] == '+' ? 2 : 1), end, rounded.exponent);

    // Every digit after the seventh is exact, so the eighth alone decides: five or more is at
    // least half.
    if (text[kSignificantDigits + 1] >= '5') {
        int i = kSignificantDigits - 1;
        while (i >= 0 && rounded.digits[i] == '9') {
            rounded.digits[i--] = '0';
        }
        if (i < 0) {
            rounded.digits.insert(rounded.digits.begin(), '1');
            rounded.digits.pop_back();
            ++rounded.exponent;
        } else {
            ++rounded.digits[i];
        }
    }
    const std::size_t last = rounded.digits.find_last_not_of('0');
    rounded.digits.erase(last + 1);
    return rounded;
}

std::string exponentForm(const RoundedDigits& r, std::string_view decimal) {
    std::string text(1, r.digits[0]);
    if (r.digits.size() > 1) {
        text += decimal;
        text += r.digits.substr(1);
    }
    text += r.exponent < 0 ? "E-" : "E+";
    const std::string power = std::to_string(std::abs(r.exponent));
    text += (power.size() < 2 ? "0" : "") + power;
    return text;
}

std::string plainForm(const RoundedDigits& r, std::string_view decimal) {
    std::string text;
    if (r.exponent < 0) {
        text.append("0").append(decimal);
        text.append(static_cast<std::size_t>(-r.exponent - 1), '0').append(r.digits);
        return text;
    }
    const auto integerDigits = static_cast<std::size_t>(r.exponent) + 1;
    if (r.digits.size() <= integerDigits) {
        return text.append(r.digits).append(integerDigits - r.digits.size(), '0');
    }
    const std::string_view digits = r.digits;
    return text.append(digits.substr(0, integerDigits))
        .append(decimal)
        .append(digits.substr(integerDigits));
}

// Cells of the rod-piston table, by matching row: rod number and piston letter.
constexpr std::array<std::string_view, kRodCount> kRodCells = {
    "Label29", "Label30", "Label31", "Label32", "Label39", "Label40", "Label41", "Label42"};
constexpr std::array<std::string_view, kRodCount> kPistonCells = {
    "Label28", "Label33", "Label34", "Label35", "Label38", "Label43", "Label44", "Label45"};
// The optimal block, pins 1 to 4 top to bottom, and its balance cell.
constexpr std::array<std::string_view, kPinCount> kOptimalRodsCells = {"Label52", "Label55",
                                                                       "Label56", "Label57"};
constexpr std::array<std::string_view, kPinCount> kOptimalSumCells = {"Label62", "Label63",
                                                                      "Label64", "Label65"};
constexpr std::string_view kOptimalBalanceCell = "Label71";
// The block that keeps the rods' numbers: pins 1-2, 3-4, 5-6, 7-8.
constexpr std::array<std::string_view, kPinCount> kRetainingSumCells = {"Label66", "Label67",
                                                                        "Label68", "Label69"};
constexpr std::string_view kRetainingBalanceCell = "Label73";

std::string& cell(ResultSheet& sheet, std::string_view name) {
    const auto* found = std::find(kCellNames.begin(), kCellNames.end(), name);
    return sheet.texts[static_cast<std::size_t>(found - kCellNames.begin())];
}

}  // namespace

const std::string* ResultSheet::find(std::string_view cellName) const {
    const auto* found = std::find(kCellNames.begin(), kCellNames.end(), cellName);
    if (found == kCellNames.end()) {
        return nullptr;
    }
    return &texts[static_cast<std::size_t>(found - kCellNames.begin())];
}

std::string numberForm(float value, std::string_view decimal) {
    if (value == 0) {
        return "0";  // negative zero too
    }
    const RoundedDigits rounded = roundToSignificant(std::abs(value));
    const bool plain =
        rounded.exponent >= kSmallestPlainExponent && rounded.exponent < kSignificantDigits;
    const std::string digits = plain ? plainForm(rounded, decimal) : exponentForm(rounded, decimal);
    return value < 0 ? "-" + digits : digits;
}

ResultSheet render(const CalculationResult& result, std::string_view decimal) {
    ResultSheet sheet;
    for (std::size_t k = 0; k < kRodCount; ++k) {
        cell(sheet, kRodCells[k]) = numberForm(result.rods[k].id, decimal);
        cell(sheet, kPistonCells[k]) = std::string(1, result.pistons[kRodCount - 1 - k].id);
    }
    for (std::size_t j = 0; j < kPinCount; ++j) {
        const OptimalPin& pin = result.optimalPins[j];
        cell(sheet, kOptimalRodsCells[j]) =
            numberForm(pin.lighterRod, decimal) + "  " + numberForm(pin.heavierRod, decimal);
        cell(sheet, kOptimalSumCells[j]) = numberForm(pin.sum, decimal);
        cell(sheet, kRetainingSumCells[j]) = numberForm(result.retainingPins[j], decimal);
    }
    cell(sheet, kOptimalBalanceCell) = numberForm(result.optimalBalance, decimal);
    cell(sheet, kRetainingBalanceCell) = numberForm(result.retainingBalance, decimal);
    return sheet;
}

ResultSheet blankSheet() {
    return ResultSheet{};
}

}  // namespace calc
