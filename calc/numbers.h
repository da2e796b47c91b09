// SPDX-FileCopyrightText: 2026 The Torvane developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Reading weights from text. Nothing here uses the process's C locale: the caller passes
// the desktop locale's separators.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace calc {

struct Separators {
    std::string decimal = ".";  // UTF-8, one or more bytes
    std::string group = ",";    // UTF-8; empty when the locale groups no digits
};

enum class ReadError {
    NotANumber,  // the text is not a number under the rules
    OutOfRange,  // it is a number, but beyond the range of a double
};

struct Reading {
    std::optional<double> value;
    ReadError error = ReadError::NotANumber;  // meaningful only without a value
};

// The locale's number: blanks around it, an optional sign, digits grouped by threes with
// the group separator (or not grouped at all), the decimal separator and an optional
// exponent. Anything else fails, and so does a number beyond the double range. A number
// too small for a double reads as zero.
[[nodiscard]] Reading readStrict(std::string_view text, const Separators& separators);

// Reads as much of a number as the text begins with, "." as the decimal point whatever the
// locale; blanks, tabs and line feeds anywhere are skipped. '&H' and '&O' introduce a
// non-negative hexadecimal or octal integer. No number at all reads 0. Fails only when the
// number lies beyond the double range.
[[nodiscard]] Reading readLenient(std::string_view text);

}  // namespace calc
