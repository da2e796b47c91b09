// SPDX-FileCopyrightText: 2026 The Torvane developers
// SPDX-License-Identifier: GPL-3.0-or-later

// From the input sheet to the matching of pistons to rods, the assembly weights, the pin
// sums and the two balance figures.
#pragma once

#include <array>

#include "failure.h"
#include "inputsheet.h"
#include "numbers.h"
#include "sortarrays.h"

namespace calc {

inline constexpr std::size_t kPinCount = 4;

struct OptimalPin {
    float lighterRod = 0;  // rod number of the lighter assembly on the pin
    float heavierRod = 0;
    float sum = 0;
};

struct CalculationResult {
    NumberedTable rods;        // (rod number, effective rod weight), ascending
    LetteredTable pistons;     // (piston letter, piston weight), ascending
    NumberedTable assemblies;  // (rod number, assembly weight), ascending
    std::array<OptimalPin, kPinCount> optimalPins;
    float optimalBalance = 0;
    std::array<float, kPinCount> retainingPins{};  // rods 1-2, 3-4, 5-6, 7-8
    float retainingBalance = 0;
};

// Calculates a validated sheet. Every number is read before the first sort, so a sheet that
// cannot be read leaves the generator untouched. A failure names the first field, in sheet
// order, that cannot be read, or says that a result does not fit in single precision.
[[nodiscard]] Outcome<CalculationResult> calculate(const InputSheet& sheet,
                                                   const Separators& separators,
                                                   RandomSource& random);

}  // namespace calc
