// SPDX-FileCopyrightText: 2026 The Torvane developers
// SPDX-License-Identifier: GPL-3.0-or-later

// SortArrays: the randomised quicksort that puts a weight table in ascending order of
// weight, moving each identifier with its weight.
#pragma once

#include <array>
#include <cstdint>
#include <random>

namespace calc {

inline constexpr std::size_t kTableRows = 8;

// Rod and assembly tables: the rod number and the weight, both single precision.
struct NumberedRow {
    float id = 0;
    float weight = 0;
};
using NumberedTable = std::array<NumberedRow, kTableRows>;

// The piston table: the piston letter and its weight as read, in double precision.
struct LetteredRow {
    char id = ' ';
    double weight = 0;
};
using LetteredTable = std::array<LetteredRow, kTableRows>;

// Where the sort draws its pivots from: values meant to lie in [0, 1).
// Not copyable: a copy would draw the same sequence a second time, and a copy through the
// base would slice.
class RandomSource {
  public:
    RandomSource() = default;
    RandomSource(const RandomSource&) = delete;
    RandomSource& operator=(const RandomSource&) = delete;
    virtual ~RandomSource() = default;
    virtual double next() = 0;
};

// The program's generator: a fixed seed, never the clock, so every start of the program
// draws the same sequence. One instance lives for the whole run.
class PivotGenerator final : public RandomSource {
  public:
    double next() override;

  private:
    std::mt19937_64 engine_;  // default-seeded, the same on every platform
};

// The pivot row floor((hi - lo + 1) * r + lo), kept within lo..hi whatever r is.
[[nodiscard]] std::int16_t pivotRow(std::int16_t lo, std::int16_t hi, double r);

void QuickSortNumbered(NumberedTable& table, std::int16_t lo, std::int16_t hi,
                       RandomSource& random);
void QuickSortLettered(LetteredTable& table, std::int16_t lo, std::int16_t hi,
                       RandomSource& random);
void SortNumberedTable(NumberedTable& table, RandomSource& random);
void SortLetteredTable(LetteredTable& table, RandomSource& random);

}  // namespace calc
