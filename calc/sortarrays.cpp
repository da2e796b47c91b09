// SPDX-FileCopyrightText: 2026 The Torvane developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "sortarrays.h"

#include <algorithm>
#include <cmath>

namespace calc {
namespace {

// One step of the randomised quicksort with a hole-based partition, for any weight table.
// The row type keeps its own weight type, so piston weights are compared as the doubles
// they were read as.
template <typename Row>
void quickSort(std::array<Row, kTableRows>& table, std::int16_t lo, std::int16_t hi,
               RandomSource& random) {
    if (lo >= hi) {
        return;
    }
    const std::int16_t p = pivotRow(lo, hi, random.next());
    const Row pivot = table[p];
    table[p] = table[lo];  // row lo is now the hole

    std::int16_t low = lo;
    std::int16_t high = hi;
    while (true) {
        while (table[high].weight >= pivot.weight) {
            --high;
            if (high <= low) {
                break;
            }
        }
        if (high <= low) {
            table[low].weight = pivot.weight;
            break;
        }
        table[low] = table[high];
        ++low;
        while (table[low].weight < pivot.weight) {
            ++low;
            if (low >= high) {
                break;
            }
        }
        if (low >= high) {
            low = high;
            table[high].weight = pivot.weight;
            break;
        }
        table[high] = table[low];
    }
    table[low].id = pivot.id;

    quickSort(table, lo, static_cast<std::int16_t>(low - 1), random);
    quickSort(table, static_cast<std::int16_t>(low + 1), hi, random);
}

constexpr auto kLastRow = static_cast<std::int16_t>(kTableRows - 1);

template <typename Row>
void quickSortWithinTable(std::array<Row, kTableRows>& table, std::int16_t lo, std::int16_t hi,
                          RandomSource& random) {
    quickSort(table, std::max<std::int16_t>(lo, 0), std::min(hi, kLastRow), random);
}

}  // namespace

double PivotGenerator::next() {
    // The top 53 bits as a fraction: every value lies in [0, 1 - 2^-53].
    constexpr double kTwoToMinus53 = 0x1p-53;
    return static_cast<double>(engine_() >> 11) * kTwoToMinus53;
}

std::int16_t pivotRow(std::int16_t lo, std::int16_t hi, double r) {
    // Rounding can carry (hi - lo + 1) * r + lo up to hi + 1 even for r just below 1, and a
    // generator handed in from outside may stray from [0, 1): the row stays within lo..hi.
    const double row = std::floor(static_cast<double>(hi - lo + 1) * r + lo);
    if (!(row >= lo)) {
        return lo;
    }
    return row > hi ? hi : static_cast<std::int16_t>(row);
}

void QuickSortNumbered(NumberedTable& table, std::int16_t lo, std::int16_t hi,
                       RandomSource& random) {
    quickSortWithinTable(table, lo, hi, random);
}

void QuickSortLettered(LetteredTable& table, std::int16_t lo, std::int16_t hi,
                       RandomSource& random) {
    quickSortWithinTable(table, lo, hi, random);
}

void SortNumberedTable(NumberedTable& table, RandomSource& random) {
    QuickSortNumbered(table, 0, kLastRow, random);
}

void SortLetteredTable(LetteredTable& table, RandomSource& random) {
    QuickSortLettered(table, 0, kLastRow, random);
}

}  // namespace calc
