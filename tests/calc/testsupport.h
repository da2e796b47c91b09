// SPDX-FileCopyrightText: 2026 The Torvane developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Generators and sheets shared by the calculation tests.
#pragma once

#include <array>
#include <random>
#include <string>
#include <vector>

#include "calculation.h"

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

inline calc::InputSheet sheetOf(const std::array<const char*, calc::kFieldCount>& texts) {
    calc::InputSheet sheet;
    for (std::size_t i = 0; i < calc::kFieldCount; ++i) {
        sheet.texts[i] = texts[i];
    }
    return sheet;
}

// The engine weighed in the worked example: rods 1-8, little ends, pistons A-H, then rings,
// locks, shells, oil and recip.
inline calc::InputSheet workedExample() {
    return sheetOf({"296", "302",   "296",   "297.5", "298",   "304", "303", "300",  //
                    "104", "98",    "98",    "99",    "104",   "97",  "103", "97",   //
                    "199", "196.5", "199.5", "207.5", "206.5", "198", "207", "196",  //
                    "10",  "2",     "20",    "4",     "50"});
}

}  // namespace calctest
