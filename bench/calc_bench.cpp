// SPDX-FileCopyrightText: 2026 The Torvane developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Times of the core: one calculate-and-render of the worked example, and each reading.
#include <benchmark/benchmark.h>

#include <string>

#include "calculation.h"
#include "resultsheet.h"

namespace {

calc::InputSheet workedExample() {
    const std::array<const char*, calc::kFieldCount> texts = {
        "296",   "302", "296", "297.5", "298", "304", "303", "300",   "104",   "98",
        "98",    "99",  "104", "97",    "103", "97",  "199", "196.5", "199.5", "207.5",
        "206.5", "198", "207", "196",   "10",  "2",   "20",  "4",     "50"};
    calc::InputSheet sheet;
    for (std::size_t i = 0; i < calc::kFieldCount; ++i) {
        sheet.texts[i] = texts[i];
    }
    return sheet;
}

void CalculateAndRender(benchmark::State& state) {
    const calc::InputSheet sheet = workedExample();
    const calc::Separators separators{".", ","};
    calc::PivotGenerator random;
    for (auto _ : state) {
        const auto outcome = calc::calculate(sheet, separators, random);
        benchmark::DoNotOptimize(calc::render(outcome.value(), separators.decimal));
    }
}
BENCHMARK(CalculateAndRender);

void StrictReading(benchmark::State& state) {
    const calc::Separators separators{".", ","};
    const std::string text = "1,297.5";
    for (auto _ : state) {
        benchmark::DoNotOptimize(calc::readStrict(text, separators));
    }
}
BENCHMARK(StrictReading);

void LenientReading(benchmark::State& state) {
    const std::string text = " 12.5 g";
    for (auto _ : state) {
        benchmark::DoNotOptimize(calc::readLenient(text));
    }
}
BENCHMARK(LenientReading);

// A field of a megabyte: reading stays linear in the text's length.
void StrictReadingOfLongText(benchmark::State& state) {
    const calc::Separators separators{".", ","};
    const std::string text = "1." + std::string(static_cast<std::size_t>(state.range(0)), '5');
    for (auto _ : state) {
        benchmark::DoNotOptimize(calc::readStrict(text, separators));
    }
    state.SetBytesProcessed(state.iterations() * state.range(0));
}
BENCHMARK(StrictReadingOfLongText)->Arg(1 << 10)->Arg(1 << 20);

void LenientReadingOfLongText(benchmark::State& state) {
    const std::string text = "1 " + std::string(static_cast<std::size_t>(state.range(0)), '5');
    for (auto _ : state) {
        benchmark::DoNotOptimize(calc::readLenient(text));
    }
    state.SetBytesProcessed(state.iterations() * state.range(0));
}
BENCHMARK(LenientReadingOfLongText)->Arg(1 << 10)->Arg(1 << 20);

void NumberForm(benchmark::State& state) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(calc::numberForm(956.25F, "."));
    }
}
BENCHMARK(NumberForm);

}  // namespace
