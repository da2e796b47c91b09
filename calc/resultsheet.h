// SPDX-FileCopyrightText: 2026 The Torvane developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The texts of the 30 result cells.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

#include "calculation.h"

namespace calc {

inline constexpr std::size_t kCellCount = 30;

// Result cells in the order Clear empties them.
inline constexpr std::array<std::string_view, kCellCount> kCellNames = {
    "Label28", "Label29", "Label30", "Label31", "Label32", "Label33", "Label34", "Label35",
    "Label38", "Label39", "Label40", "Label41", "Label42", "Label43", "Label44", "Label45",
    "Label52", "Label55", "Label56", "Label57", "Label62", "Label63", "Label64", "Label65",
    "Label66", "Label67", "Label68", "Label69", "Label71", "Label73",
};

struct ResultSheet {
    std::array<std::string, kCellCount> texts;  // UTF-8, in the order of kCellNames

    // The text of the named cell; an unknown name has none.
    [[nodiscard]] const std::string* find(std::string_view cell) const;

    // The two figures to balance with: the least pin sum with the assemblies re-paired, and
    // the least with the rods keeping their numbers.
    [[nodiscard]] const std::string& optimalBalance() const;
    [[nodiscard]] const std::string& retainingBalance() const;
};

// A single-precision value in the general form: at most 7 significant digits, halves
// rounded away from zero, no trailing zeros, no digit grouping, the given decimal
// separator, and exponent form ('1.234568E+07') below 1E-04 and from 1E+07 up.
[[nodiscard]] std::string numberForm(float value, std::string_view decimal);

[[nodiscard]] ResultSheet render(const CalculationResult& result, std::string_view decimal);
[[nodiscard]] ResultSheet blankSheet();

}  // namespace calc
