#include <benchmark/benchmark.h>

#include "curves/CurveQuery.h"
#include "curves/Spline.h"
#include "tests/CurveMarketData.h"

#include <algorithm>
#include <cstdint>
#include <random>
#include <vector>

using namespace tavrin;

namespace {

// The 27-instrument curve of the tests (4 deposits, 8 futures, 15 swaps to 30 years, semiannual fixed leg,
// TARGET, modified following), bootstrapped end to end under each interpolation id.
void BM_BuildDiscountCurve(benchmark::State& state) {
    market::CurveInputs in;
    in.interpId = static_cast<int16_t>(state.range(0));
    in.extrapolId = in.interpId;
    for (auto _ : state)
        benchmark::DoNotOptimize(market::curveTable(in));
}
BENCHMARK(BM_BuildDiscountCurve)->DenseRange(1, 5)->Unit(benchmark::kMicrosecond);

// One spline evaluation through a 60-point schedule, rebuilt from scratch as the interpolation does.
void BM_CubicSplineZeroRate(benchmark::State& state) {
    std::vector<double> days, zeros;
    for (int i = 0; i < 60; ++i) {
        days.push_back(182.5 * (i + 1));
        zeros.push_back(0.01 + 0.0004 * i);
    }
    for (auto _ : state)
        benchmark::DoNotOptimize(cubicSplineZeroRate(5000.0, days, zeros));
}
BENCHMARK(BM_CubicSplineZeroRate);

// The curve of the tests read at 10 000 dates from its first pillar to 3 years beyond its last, in date
// order or shuffled, by each interpolation id (extrapolating the same way): the library's share of a
// worksheet call, without the host records.
static void BM_CurveDiscountFactors(benchmark::State& state) {
    market::CurveInputs in;
    in.interpId = in.extrapolId = static_cast<int16_t>(state.range(0));
    const xll::CellMatrix curve(market::curveTable(in));
    std::vector<double> dates;
    for (int i = 0; i < 10000; ++i)
        dates.push_back(40806 + static_cast<int>(i * 1.2));
    if (state.range(1) == 0)
        std::shuffle(dates.begin(), dates.end(), std::mt19937(20110919));
    const DateCells column = dateCells(xll::CellMatrix(dates));
    for (auto _ : state)
        benchmark::DoNotOptimize(
            sched_CurveDF(market::kToday, L"Act/365F", 1, in.interpId, in.extrapolId, curve, column));
}
BENCHMARK(BM_CurveDiscountFactors)
    ->ArgsProduct({{1, 2, 3, 4, 5}, {1, 0}})
    ->ArgNames({"id", "sorted"})
    ->Unit(benchmark::kMicrosecond);
// The deposits of the test curve and `rows` one-day futures strips from the last deposit on, each starting
// where the one before ended, without swaps: every strip makes one pillar.
market::CurveInputs oneDayStrips(int64_t rows, int16_t method) {
    market::CurveInputs in;
    in.interpId = in.extrapolId = method;
    in.futures = xll::CellMatrix(static_cast<uint32_t>(rows), 3);
    for (uint32_t r = 0; r < rows; ++r) {
        in.futures(r, 0) = xll::MatrixCell(40868.0 + r);
        in.futures(r, 1) = xll::MatrixCell(40869.0 + r);
        in.futures(r, 2) = xll::MatrixCell(0.99999);
    }
    in.swaps = xll::CellMatrix(1, 1);
    return in;
}

// Long futures lists: up to the pillar limit, and beyond it, where the call ends in "Too many curve
// pillars." once the pillars exceed it.
void BM_OneDayFuturesStrips(benchmark::State& state) {
    const market::CurveInputs in = oneDayStrips(state.range(0), static_cast<int16_t>(state.range(1)));
    for (auto _ : state) {
        try {
            benchmark::DoNotOptimize(market::curveTable(in));
        } catch (const char*) {
        }
    }
}
BENCHMARK(BM_OneDayFuturesStrips)
    ->Args({16000, 5})
    ->Args({16000, 3})
    ->Args({32000, 5})
    ->Args({33000, 3})
    ->Args({33000, 5})
    ->Unit(benchmark::kMillisecond);

// The same count of strips in scattered order: each start lands somewhere inside the pillars made so far
// (or beyond them), so every insertion moves the pillars after it.
void BM_ScatteredFuturesStrips(benchmark::State& state) {
    market::CurveInputs in = oneDayStrips(state.range(0), static_cast<int16_t>(state.range(1)));
    const auto rows = static_cast<uint32_t>(state.range(0));
    for (uint32_t r = 0; r < rows; ++r) {
        const double start = 40869.0 + 10.0 * ((r * 7919u) % rows);
        in.futures(r, 0) = xll::MatrixCell(start);
        in.futures(r, 1) = xll::MatrixCell(start + 1 + r % 5);
    }
    for (auto _ : state)
        benchmark::DoNotOptimize(market::curveTable(in));
}
BENCHMARK(BM_ScatteredFuturesStrips)->Args({16000, 5})->Args({16000, 3})->Unit(benchmark::kMillisecond);

// Strips in falling order behind one long first strip: every start lands in the first segment after the
// deposits, so every insertion moves nearly all the pillars and changes the spline's whole sweep.
void BM_FallingFuturesStrips(benchmark::State& state) {
    market::CurveInputs in = oneDayStrips(state.range(0), static_cast<int16_t>(state.range(1)));
    const auto rows = static_cast<uint32_t>(state.range(0));
    in.futures(0, 1) = xll::MatrixCell(40869.0 + 2.0 * rows + 10);
    for (uint32_t r = 1; r < rows; ++r) {
        const double start = 40869.0 + 2.0 * (rows - r);
        in.futures(r, 0) = xll::MatrixCell(start);
        in.futures(r, 1) = xll::MatrixCell(start + 1);
    }
    for (auto _ : state)
        benchmark::DoNotOptimize(market::curveTable(in));
}
BENCHMARK(BM_FallingFuturesStrips)->Args({16000, 5})->Args({16000, 3})->Unit(benchmark::kMillisecond);

} // namespace
