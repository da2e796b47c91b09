// SPDX-FileCopyrightText: 2026 The Torvane developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "calculation.h"

#include <cmath>
#include <cstdint>
#include <optional>

namespace calc {
namespace {

struct Weights {
    std::array<double, kRodCount> bigends{};
    std::array<double, kRodCount> littleends{};
    std::array<double, kRodCount> pistons{};
    double rings = 0;
    double locks = 0;
    double shells = 0;
    double oil = 0;
    double recip = 0;
};

// Rings, locks, shells and oil are read the forgiving way; rods, pistons and the recip
// percentage must be proper numbers.
bool isReadLeniently(Field field) {
    return field == Field::Rings || field == Field::Locks || field == Field::Shells ||
           field == Field::Oil;
}

double& slotFor(Weights& weights, Field field) {
    const std::size_t i = index(field);
    if (i < index(Field::Littleend1)) {
        return weights.bigends[i];
    }
    if (i < index(Field::PistonA)) {
        return weights.littleends[i - index(Field::Littleend1)];
    }
    if (i < index(Field::Rings)) {
        return weights.pistons[i - index(Field::PistonA)];
    }
    switch (field) {
        case Field::Rings:
            return weights.rings;
        case Field::Locks:
            return weights.locks;
        case Field::Shells:
            return weights.shells;
        case Field::Oil:
            return weights.oil;
        default:
            return weights.recip;
    }
}

Outcome<Weights> readWeights(const InputSheet& sheet, const Separators& separators) {
    Weights weights;
    for (std::size_t i = 0; i < kFieldCount; ++i) {
        const auto field = static_cast<Field>(i);
        const std::string& text = sheet[field];
        const Reading reading =
            isReadLeniently(field) ? readLenient(text) : readStrict(text, separators);
        if (!reading.value) {
            const auto kind = reading.error == ReadError::OutOfRange ? Failure::Kind::OutOfRange
                                                                     : Failure::Kind::NotANumber;
            return Failure{kind, field, text};
        }
        slotFor(weights, field) = *reading.value;
    }
    return weights;
}

// Stores a double in single precision, rounding it once. Fails for a value that is not
// finite or that single precision cannot hold; such a value would otherwise turn into
// infinity, or NaN, which no minimum ever replaces.
class SingleStore {
  public:
    float operator()(double value) {
        // Doubles from here up round to infinity in single precision.
        constexpr double kSingleOverflow = 0x1.ffffffp127;
        if (!(std::fabs(value) < kSingleOverflow)) {
            overflowed_ = true;
            return 0;
        }
        return static_cast<float>(value);
    }
    [[nodiscard]] bool overflowed() const { return overflowed_; }

  private:
    bool overflowed_ = false;
};

Failure resultTooLarge() {
    return Failure{Failure::Kind::ResultTooLarge, std::nullopt, {}};
}

float pinSum(float a, float b, SingleStore& store) {
    return store(static_cast<double>(a) + static_cast<double>(b));
}

// The least of the pin sums: pin 0, replaced by each later pin whose sum is strictly less.
template <typename Pins, typename SumOf>
float leastSum(const Pins& pins, SumOf sumOf) {
    float least = sumOf(pins[0]);
    for (std::size_t j = 1; j < pins.size(); ++j) {
        if (sumOf(pins[j]) < least) {
            least = sumOf(pins[j]);
        }
    }
    return least;
}

float assemblyWeightOfRod(const NumberedTable& assemblies, std::size_t rodNumber) {
    for (const NumberedRow& row : assemblies) {
        if (row.id == static_cast<float>(rodNumber)) {
            return row.weight;
        }
    }
    return 0;  // unreachable: every rod number stands in the table once
}

}  // namespace

Outcome<CalculationResult> calculate(const InputSheet& sheet, const Separators& separators,
                                     RandomSource& random) {
    const Outcome<Weights> read = readWeights(sheet, separators);
    if (!read.ok()) {
        return read.failure();
    }
    const Weights& w = read.value();
    const double f = w.recip / 100;
    SingleStore store;
    CalculationResult result;

    for (std::size_t i = 0; i < kRodCount; ++i) {
        result.rods[i] = {static_cast<float>(i + 1), store(w.bigends[i] + f * w.littleends[i])};
        result.pistons[i] = {static_cast<char>('A' + i), w.pistons[i]};
    }
    if (store.overflowed()) {
        return resultTooLarge();
    }
    SortNumberedTable(result.rods, random);
    SortLetteredTable(result.pistons, random);

    // The lightest rod takes the heaviest piston.
    const double extras = (f * (w.rings + w.locks) + w.oil / 2) + w.shells;
    for (std::size_t k = 0; k < kRodCount; ++k) {
        const double rod = result.rods[k].weight;
        const double piston = result.pistons[kRodCount - 1 - k].weight;
        result.assemblies[k] = {result.rods[k].id, store((rod + piston * f) + extras)};
    }
    if (store.overflowed()) {
        return resultTooLarge();
    }
    SortNumberedTable(result.assemblies, random);

    // Optimal pairing: the lightest assembly with the heaviest, and so on inwards.
    for (std::size_t j = 0; j < kPinCount; ++j) {
        const NumberedRow& lighter = result.assemblies[j];
        const NumberedRow& heavier = result.assemblies[kRodCount - 1 - j];
        result.optimalPins[j] = {lighter.id, heavier.id,
                                 pinSum(heavier.weight, lighter.weight, store)};
    }
    // Retaining the numbering: rods 1 and 2 share pin 1, and so on.
    for (std::size_t j = 0; j < kPinCount; ++j) {
        result.retainingPins[j] = pinSum(assemblyWeightOfRod(result.assemblies, 2 * j + 1),
                                         assemblyWeightOfRod(result.assemblies, 2 * j + 2), store);
    }
    if (store.overflowed()) {
        return resultTooLarge();
    }
    result.optimalBalance = leastSum(result.optimalPins, [](const OptimalPin& p) { return p.sum; });
    result.retainingBalance = leastSum(result.retainingPins, [](float sum) { return sum; });
    return result;
}

}  // namespace calc
