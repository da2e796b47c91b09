// SPDX-FileCopyrightText: 2026 The Torvane developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Times of the core: one calculate-and-render of the worked example, and each reading.
#include <benchmark/benchmark.h>

#include <string>

#include "calculation.h"
#include "resultsheet.h"
#include "testsupport.h"

namespace {

void CalculateAndRender(benchmark::State& state) {
    const calc::InputSheet sheet = calctest::workedExample();
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
