// SPDX-FileCopyrightText: 2026 The Torvane developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Generators and sheets shared by the calculation tests.
#pragma once

#include <algorithm>
#include <array>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "calculation.h"
#include "resultsheet.h"
#include "worked_example.h"

namespace calctest {

// Always the same draw.
class ConstantSource final : public calc::RandomSource {
  public:
    explicit ConstantSource(double r) : r_(r) {}
    double next() override {
        ++draws;
        return r_;
    }
    int draws = 0;

  private:
    double r_;
};

// Uniform draws in [0, 1) from a seeded engine of the test's own.
class SeededSource final : public calc::RandomSource {
  public:
    explicit SeededSource(unsigned seed) : engine_(seed) {}
    double next() override { return static_cast<double>(engine_() >> 11) * 0x1p-53; }

  private:
    std::mt19937_64 engine_;
};

// The worked example's tables name the program's fields and result cells, in its order.
static_assert(std::ranges::equal(workedexample::kFields, calc::kFieldNames, {},
                                 &workedexample::Text::name));
static_assert(std::ranges::equal(workedexample::kCells, calc::kCellNames, {},
                                 &workedexample::Text::name));

// The text of the worked example's result cell, with a decimal full stop or comma.
constexpr std::string_view workedResult(std::string_view cell, bool decimalComma = false) {
    for (const workedexample::Text& c : workedexample::kCells) {
        if (c.name == cell) {
            return decimalComma ? c.german : c.text;
        }
    }
    return {};
}
static_assert(workedResult("Label71") == workedexample::kOptimalBalance.text);
static_assert(workedResult("Label73") == workedexample::kRetainingBalance.text);

// The engine weighed in the worked example (tests/worked-example.tsv), as typed with a
// decimal full stop or comma.
inline calc::InputSheet workedExample(bool decimalComma = false) {
    calc::InputSheet sheet;
    for (std::size_t i = 0; i < calc::kFieldCount; ++i) {
        const workedexample::Text& field = workedexample::kFields[i];
        sheet.texts[i] = decimalComma ? field.german : field.text;
    }
    return sheet;
}

}  // namespace calctest
