#include <benchmark/benchmark.h>

#include "curves/CurveQuery.h"
#include "curves/Spline.h"
#include "tests/CurveMarketData.h"

#include <algorithm>
#include <random>
#include <vector>

// The 27-instrument curve of the tests (4 deposits, 8 futures, 15 swaps to 30 years, semiannual fixed leg,
// TARGET, modified following), bootstrapped end to end under each interpolation id.
static void BM_BuildDiscountCurve(benchmark::State& state) {
    market::CurveInputs in;
    in.interpId = static_cast<int16_t>(state.range(0));
    in.extrapolId = in.interpId;
    for (auto _ : state)
        benchmark::DoNotOptimize(market::curveTable(in));
}
BENCHMARK(BM_BuildDiscountCurve)->DenseRange(1, 5)->Unit(benchmark::kMicrosecond);

// One spline evaluation through a 60-point schedule, rebuilt from scratch as the interpolation does.
static void BM_CubicSplineZeroRate(benchmark::State& state) {
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
