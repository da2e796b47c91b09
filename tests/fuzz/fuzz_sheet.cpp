// SPDX-FileCopyrightText: 2026 The Torvane developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The whole road from 29 texts to the 30 cell texts. The input is split into the fields at
// each 0x1F byte (the unit separator); the first byte picks the locale.
// With TORVANE_SHEET_TEXTS naming a file, what each input comes to (its 30 texts, or the
// failure's message) is written there, an empty line after each: scripts/libcxx.sh compares
// two builds' replays of the corpus that way. The fuzzer runs without it.
#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <set>
#include <string>
#include <string_view>

#include "calculation.h"
#include "resultsheet.h"

namespace {

class FixedSource final : public calc::RandomSource {
  public:
    double next() override { return 0.5; }
};

// The file named by TORVANE_SHEET_TEXTS, opened once; none when the variable is unset.
std::ofstream* outcomeFile() {
    static std::ofstream file = [] {
        const char* path = std::getenv("TORVANE_SHEET_TEXTS");
        return path != nullptr ? std::ofstream(path, std::ios::binary) : std::ofstream();
    }();
    return file.is_open() ? &file : nullptr;
}

template <typename Texts>
void recordOutcome(const Texts& texts) {
    if (std::ofstream* file = outcomeFile()) {
        for (const auto& text : texts) {
            *file << text << '\n';
        }
        *file << std::endl;  // flushed: an abort may follow
    }
}

void checkSuccess(const calc::CalculationResult& result, const calc::ResultSheet& sheet) {
    for (const std::string& text : sheet.texts) {
        if (text.empty()) {
            std::abort();
        }
    }
    std::set<float> rods;
    std::array<float, calc::kPinCount> sums{};
    for (std::size_t j = 0; j < calc::kPinCount; ++j) {
        rods.insert(result.optimalPins[j].lighterRod);
        rods.insert(result.optimalPins[j].heavierRod);
        sums[j] = result.optimalPins[j].sum;
    }
    if (rods != std::set<float>{1, 2, 3, 4, 5, 6, 7, 8}) {
        std::abort();
    }
    if (result.optimalBalance != *std::min_element(sums.begin(), sums.end()) ||
        result.retainingBalance !=
            *std::min_element(result.retainingPins.begin(), result.retainingPins.end())) {
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        recordOutcome(std::array<std::string_view, 1>{"(no input)"});
        return 0;
    }
    const calc::Separators separators =
        data[0] % 2 == 0 ? calc::Separators{".", ","} : calc::Separators{",", "."};
    std::string_view rest(reinterpret_cast<const char*>(data) + 1, size - 1);
    calc::InputSheet sheet;
    for (std::size_t i = 0; i < calc::kFieldCount; ++i) {
        const std::size_t cut = std::min(rest.find('\x1f'), rest.size());
        sheet.texts[i] = std::string(rest.substr(0, cut));
        rest.remove_prefix(std::min(cut + 1, rest.size()));
    }
    if (const auto empty = calc::validate(sheet)) {
        if (empty->kind != calc::Failure::Kind::EmptyField) {
            std::abort();
        }
        recordOutcome(std::array<std::string, 1>{calc::message(*empty)});
        return 0;
    }
    FixedSource random;
    const auto outcome = calc::calculate(sheet, separators, random);
    if (outcome.ok()) {
        const calc::ResultSheet texts = calc::render(outcome.value(), separators.decimal);
        recordOutcome(texts.texts);
        checkSuccess(outcome.value(), texts);
        return 0;
    }
    const calc::Failure& failure = outcome.failure();
    const std::array<std::string, 1> said{calc::message(failure)};
    recordOutcome(said);
    const bool namesAField = failure.field.has_value() &&
                             (failure.kind == calc::Failure::Kind::NotANumber ||
                              failure.kind == calc::Failure::Kind::OutOfRange) &&
                             failure.text == sheet[*failure.field];
    const bool tooLarge =
        failure.kind == calc::Failure::Kind::ResultTooLarge && !failure.field.has_value();
    if (!namesAField && !tooLarge) {
        std::abort();
    }
    if (said[0].empty()) {
        std::abort();
    }
    return 0;
}
