#include <benchmark/benchmark.h>

#include "curves/Spline.h"
#include "tests/CurveMarketData.h"

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
