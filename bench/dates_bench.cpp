#include "dates/DateFunctions.h"
#include "dates/SerialDate.h"
#include "dates/Tenor.h"

#include <benchmark/benchmark.h>

#include <vector>

using namespace tavrin;

namespace {

// Dates spread over 1911 to 9999 (ten years clear of 1900, so that stepping back by months never fails),
// in no order, so that no branch of the decomposition is favoured.
std::vector<double> spreadDates() {
    std::vector<double> dates;
    for (int64_t i = 0; i < 1024; ++i)
        dates.push_back(static_cast<double>(4019 + (i * 2954399) % 2954400) + 0.25);
    return dates;
}

void BM_Decompose(benchmark::State& state) {
    const std::vector<double> dates = spreadDates();
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(SerialDate(static_cast<int32_t>(dates[i++ & 1023])).ymd());
    }
}
BENCHMARK(BM_Decompose);

void BM_PlusMonths(benchmark::State& state) {
    const std::vector<double> dates = spreadDates();
    std::size_t i = 0;
    for (auto _ : state) {
        const auto months = static_cast<int16_t>(static_cast<int>(i % 241) - 120);
        benchmark::DoNotOptimize(sched_plusMonths(dates[i++ & 1023], months));
    }
}
BENCHMARK(BM_PlusMonths);

void BM_EndOfMonth(benchmark::State& state) {
    const std::vector<double> dates = spreadDates();
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(sched_endOfMonth(dates[i++ & 1023]));
    }
}
BENCHMARK(BM_EndOfMonth);

void BM_ThirdWednesday(benchmark::State& state) {
    const std::vector<double> dates = spreadDates();
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(sched_thirdWednesDayOfMonth(dates[i++ & 1023]));
    }
}
BENCHMARK(BM_ThirdWednesday);

void BM_Tenor(benchmark::State& state) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(sched_Tenor2Month(L"18M"));
    }
}
BENCHMARK(BM_Tenor);

} // namespace
