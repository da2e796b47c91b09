// SPDX-FileCopyrightText: 2026 The Torvane developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "sortarrays.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <optional>
#include <random>
#include <utility>
#include <vector>

#include "testsupport.h"

namespace {

using calc::LetteredTable;
using calc::NumberedTable;
using calctest::ConstantSource;
using calctest::SeededSource;

constexpr double kLargestBelowOne = 0x1.fffffffffffffp-1;  // 1 - 2^-53

NumberedTable numbered(const std::array<float, 8>& weights) {
    NumberedTable table;
    for (std::size_t i = 0; i < 8; ++i) {
        table[i] = {static_cast<float>(i + 1), weights[i]};
    }
    return table;
}

LetteredTable lettered(const std::array<double, 8>& weights) {
    LetteredTable table;
    for (std::size_t i = 0; i < 8; ++i) {
        table[i] = {static_cast<char>('A' + i), weights[i]};
    }
    return table;
}

template <typename Table>
std::vector<std::pair<double, double>> rowsOf(const Table& table) {
    std::vector<std::pair<double, double>> rows;
    for (const auto& row : table) {
        rows.emplace_back(static_cast<double>(row.id), static_cast<double>(row.weight));
    }
    std::sort(rows.begin(), rows.end());
    return rows;
}

template <typename Table>
bool ascending(const Table& table) {
    return std::is_sorted(table.begin(), table.end(),
                          [](const auto& a, const auto& b) { return a.weight < b.weight; });
}

// Ascending by weight, and the same rows as before: no identifier left its weight.
template <typename Table>
void expectSortedPermutation(const Table& before, const Table& after) {
    EXPECT_TRUE(ascending(after));
    EXPECT_EQ(rowsOf(before), rowsOf(after));
}

// The draws a sort is worth testing with: the smallest, the middle, the largest below one,
// and a seeded stream.
std::vector<std::unique_ptr<calc::RandomSource>> sources() {
    std::vector<std::unique_ptr<calc::RandomSource>> all;
    all.push_back(std::make_unique<ConstantSource>(0.0));
    all.push_back(std::make_unique<ConstantSource>(0.5));
    all.push_back(std::make_unique<ConstantSource>(kLargestBelowOne));
    all.push_back(std::make_unique<SeededSource>(7));
    return all;
}

// A table's weights; for some, one value every draw gives and the rod numbers in the order
// the sort's steps then leave them, worked out by hand.
struct Shape {
    std::array<float, 8> weights;
    std::optional<double> draw{};
    std::array<float, 8> rods{};
};

std::ostream& operator<<(std::ostream& os, const Shape& shape) {
    for (const float weight : shape.weights) {
        os << weight << ' ';
    }
    return shape.draw ? os << "drawing " << *shape.draw : os;
}

class NumberedShapes : public testing::TestWithParam<Shape> {};

TEST_P(NumberedShapes, ComeOutAscendingWithTheirIdentifiers) {
    const NumberedTable before = numbered(GetParam().weights);
    for (const auto& source : sources()) {
        NumberedTable after = before;
        calc::SortNumberedTable(after, *source);
        expectSortedPermutation(before, after);
    }
    if (GetParam().draw) {
        NumberedTable after = before;
        ConstantSource source(*GetParam().draw);
        calc::SortNumberedTable(after, source);
        for (std::size_t i = 0; i < 8; ++i) {
            EXPECT_EQ(after[i].id, GetParam().rods[i]) << "row " << i;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Tables, NumberedShapes,
    testing::Values(
        Shape{{1, 2, 3, 4, 5, 6, 7, 8}},  // ascending
        Shape{{8, 7, 6, 5, 4, 3, 2, 1}},  // descending
        Shape{{5, 1, 5, 1, 5, 1, 5, 1}},  // ties
        Shape{{478, 478, 478, 478, 478, 478, 478, 478}},
        Shape{{-1, 0, -0.0F, 3e38F, -3e38F, 1e-45F, 2, 2}},
        Shape{{479.25F, 478, 476.75F, 478.5F, 477.5F, 478.75F, 480.5F, 476.25F}},
        // Drawing 0, the pivot is the first row of its range. Step a scans down over rows of
        // the pivot's weight to the pivot's own row, and step b leaves it there: every rod
        // keeps its row.
        Shape{{478, 478, 478, 478, 478, 478, 478, 478}, 0.0, {1, 2, 3, 4, 5, 6, 7, 8}},
        // Drawing 1 - 2^-53, the pivot is the last row. Rows 0..7: rod 8 is the pivot, rod 1
        // moves into row 7 (step 3), step a scans down to row 0, where rod 8 ends. Rows 1..7:
        // rod 1, now in row 7, is the pivot and ends in row 1, rod 2 moves into row 7; and so
        // on down to rows 6..7.
        Shape{{478, 478, 478, 478, 478, 478, 478, 478}, kLargestBelowOne, {8, 1, 2, 3, 4, 5, 6, 7}},
        // Drawing 0, rows 0..7: the pivot is rod 1 (5). a: row 7 (rod 8, 1) stops the scan;
        // c: to row 0, L = 1. d: row 1 (1), L = 2; row 2 (rod 3, 5) stops; f: to row 7.
        // a: row 7 (5) and row 6 (rod 7, 5) weigh as much as the pivot, H = 5; row 5 (rod 6,
        // 1) stops; c: to row 2, L = 3. d: row 3 (1), L = 4; row 4 (rod 5, 5) stops; f: to
        // row 5. a: row 5 (5), H = 4 = L; b: rod 1 ends in row 4. Rows 8 2 6 4 | 1 | 5 7 3:
        // each side is of one weight, its pivot first, and stays as it is.
        Shape{{5, 1, 5, 1, 5, 1, 5, 1}, 0.0, {8, 2, 6, 4, 1, 5, 7, 3}}));

TEST(SortArrays, DescendingRowsKeepTheirIdentifiers) {
    NumberedTable table = numbered({80, 70, 60, 50, 40, 30, 20, 10});
    SeededSource source(1);
    calc::SortNumberedTable(table, source);
    for (std::size_t i = 0; i < 8; ++i) {
        EXPECT_EQ(table[i].weight, 10.0F * static_cast<float>(i + 1));
        EXPECT_EQ(table[i].id, static_cast<float>(8 - i));
    }
}

TEST(SortArrays, AllEqualWeightsKeepEightDistinctIdentifiers) {
    LetteredTable table = lettered({200, 200, 200, 200, 200, 200, 200, 200});
    SeededSource source(3);
    calc::SortLetteredTable(table, source);
    std::string letters;
    for (const auto& row : table) {
        EXPECT_EQ(row.weight, 200);
        letters += row.id;
    }
    std::sort(letters.begin(), letters.end());
    EXPECT_EQ(letters, "ABCDEFGH");
}

TEST(SortArrays, PistonWeightsCompareAsNumbersAtFullPrecision) {
    // 100.2 before 99.5 as text; and two weights that single precision could not tell apart.
    LetteredTable table = lettered({100.2, 99.5, 100.00000002, 100.00000001, 7, 1000, 99.5, -1});
    SeededSource source(5);
    calc::SortLetteredTable(table, source);
    EXPECT_EQ(table[0].id, 'H');
    EXPECT_EQ(table[1].id, 'E');
    EXPECT_EQ(table[4].id, 'D');
    EXPECT_EQ(table[4].weight, 100.00000001);
    EXPECT_EQ(table[5].id, 'C');
    EXPECT_EQ(table[5].weight, 100.00000002);
    EXPECT_EQ(table[6].id, 'A');
    EXPECT_EQ(table[7].id, 'F');
}

TEST(SortArrays, PivotRowStaysWithinTheRange) {
    // In double, 2 * (1 - 2^-53) + 6 rounds up to 8.
    EXPECT_EQ(std::floor(2 * kLargestBelowOne + 6), 8.0);
    EXPECT_EQ(calc::pivotRow(6, 7, kLargestBelowOne), 7);
    EXPECT_EQ(calc::pivotRow(0, 7, kLargestBelowOne), 7);
    EXPECT_EQ(calc::pivotRow(0, 7, 0.0), 0);
    EXPECT_EQ(calc::pivotRow(0, 7, 0.5), 4);
    EXPECT_EQ(calc::pivotRow(2, 5, 0.49), 3);
    EXPECT_EQ(calc::pivotRow(0, 7, 1.0), 7);
    EXPECT_EQ(calc::pivotRow(3, 7, -0.5), 3);
    EXPECT_EQ(calc::pivotRow(3, 7, std::nan("")), 3);
    EXPECT_EQ(calc::pivotRow(3, 7, 1e300), 7);
}

TEST(SortArrays, QuickSortSortsOnlyTheRowsAsked) {
    NumberedTable table = numbered({9, 8, 7, 6, 5, 4, 3, 2});
    SeededSource source(11);
    calc::QuickSortNumbered(table, 2, 5, source);
    const std::array<float, 8> expected = {9, 8, 4, 5, 6, 7, 3, 2};
    for (std::size_t i = 0; i < 8; ++i) {
        EXPECT_EQ(table[i].weight, expected[i]) << i;
    }
    calc::QuickSortNumbered(table, 5, 5, source);  // a single row is already sorted
    calc::QuickSortNumbered(table, 6, 1, source);  // so is an empty range
    EXPECT_EQ(table[5].weight, 7);
}

TEST(SortArrays, ProgramGeneratorDrawsBelowOneAndRepeatsFromStart) {
    calc::PivotGenerator first;
    calc::PivotGenerator second;
    for (int i = 0; i < 100000; ++i) {
        const double r = first.next();
        ASSERT_GE(r, 0.0);
        ASSERT_LT(r, 1.0);
        ASSERT_EQ(r, second.next());
    }
}

TEST(SortArrays, ManyGeneratedTablesComeOutSorted) {
    std::mt19937 engine(42);
    std::uniform_int_distribution<int> small(0, 5);  // many ties
    std::uniform_real_distribution<double> wide(-1000, 1000);
    calc::PivotGenerator pivots;
    for (int round = 0; round < 20000; ++round) {
        NumberedTable rods;
        LetteredTable pistons;
        for (std::size_t i = 0; i < 8; ++i) {
            const bool tied = round % 2 == 0;
            rods[i] = {static_cast<float>(i + 1),
                       static_cast<float>(tied ? small(engine) : wide(engine))};
            pistons[i] = {static_cast<char>('A' + i), tied ? small(engine) * 0.5 : wide(engine)};
        }
        NumberedTable sortedRods = rods;
        LetteredTable sortedPistons = pistons;
        calc::SortNumberedTable(sortedRods, pivots);
        calc::SortLetteredTable(sortedPistons, pivots);
        expectSortedPermutation(rods, sortedRods);
        expectSortedPermutation(pistons, sortedPistons);
        if (testing::Test::HasFailure()) {
            FAIL() << "round " << round;
        }
    }
}

}  // namespace
