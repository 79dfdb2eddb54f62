#include "calendars/BusinessDayFunctions.h"
#include "dates/SerialDate.h"

#include <benchmark/benchmark.h>

#include <vector>

using namespace tavrin;

namespace {

// Every figure includes building the calendar from its text, as each worksheet call does.
const std::wstring kCalendar = L"NYSE,LONDON,TARGET";
const double kStart = SerialDate(1, 1, 2000).serial();
const double kEnd = SerialDate(1, 1, 2100).serial();

// Fifty weekdays and weekends spread over the century.
std::vector<double> extraHolidays() {
    std::vector<double> days;
    for (int i = 0; i < 50; ++i)
        days.push_back(kStart + 13 + i * 727);
    return days;
}

void BM_CountOverACentury(benchmark::State& state) {
    const std::vector<double> extras = extraHolidays();
    for (auto _ : state) {
        benchmark::DoNotOptimize(sched_BusinessDayCount(kStart, kEnd, kCalendar, extras));
    }
}
BENCHMARK(BM_CountOverACentury)->Unit(benchmark::kMicrosecond);

void BM_HolidaysOverACentury(benchmark::State& state) {
    const std::vector<double> extras = extraHolidays();
    for (auto _ : state) {
        benchmark::DoNotOptimize(sched_Holidays(kStart, kEnd, kCalendar, extras));
    }
}
BENCHMARK(BM_HolidaysOverACentury)->Unit(benchmark::kMicrosecond);

void BM_PlusBusinessDays(benchmark::State& state) {
    const std::vector<double> extras = extraHolidays();
    const auto days = static_cast<double>(state.range(0));
    const double from = days > 0 ? kStart : kEnd;
    for (auto _ : state) {
        benchmark::DoNotOptimize(sched_plusBusinessDays(from, days, kCalendar, extras));
    }
}
BENCHMARK(BM_PlusBusinessDays)->Arg(10'000)->Arg(-10'000)->Arg(25'000)->Unit(benchmark::kMicrosecond);

void BM_AdjustModifiedFollowing(benchmark::State& state) {
    const std::vector<double> extras = extraHolidays();
    const double saturday = SerialDate(30, 9, 2000).serial();
    for (auto _ : state) {
        benchmark::DoNotOptimize(sched_AdjustToBusDay(saturday, L"m", kCalendar, extras));
    }
}
BENCHMARK(BM_AdjustModifiedFollowing)->Unit(benchmark::kMicrosecond);

void BM_LastBusinessDayOfMonth(benchmark::State& state) {
    const std::vector<double> extras = extraHolidays();
    for (auto _ : state) {
        benchmark::DoNotOptimize(sched_LastBusDayOfMonth(kStart + 100, kCalendar, extras));
    }
}
BENCHMARK(BM_LastBusinessDayOfMonth)->Unit(benchmark::kMicrosecond);

// The whole range the host shows (1900 to 9999), for scale.
void BM_CountOverTheHostRange(benchmark::State& state) {
    const std::vector<double> extras = extraHolidays();
    for (auto _ : state) {
        benchmark::DoNotOptimize(sched_BusinessDayCount(0, 2958465, kCalendar, extras));
    }
}
BENCHMARK(BM_CountOverTheHostRange)->Unit(benchmark::kMillisecond);

} // namespace
