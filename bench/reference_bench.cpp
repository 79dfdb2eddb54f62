// How the main operations grow with the span they cover and the curve with its number of swaps, and how the
// business-day operations compare with the day-by-day transcription the tests check them against
// (tests/ReferenceBusinessDays.h), on the same calendar and inputs.

#include "calendars/BusinessDayFunctions.h"
#include "calendars/CalendarFactory.h"
#include "dates/SerialDate.h"
#include "daycount/Schedule.h"
#include "tests/CurveMarketData.h"
#include "tests/ReferenceBusinessDays.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

using namespace tavrin;

namespace {

const std::wstring kCalendar = L"NYSE,LONDON,TARGET";
const double kStart = SerialDate(1, 1, 2000).serial();

// Fifty weekdays and weekends spread over the century from 2000.
std::vector<double> extraHolidays() {
    std::vector<double> days;
    for (int i = 0; i < 50; ++i)
        days.push_back(kStart + 13 + i * 727);
    return days;
}

double yearsOn(double start, int64_t years) {
    return SerialDate(static_cast<int32_t>(start)).plusMonths(static_cast<int32_t>(12 * years)).serial();
}

// ---- growth: the library functions as the worksheet calls them, building the calendar every time ----

void BM_BusinessDayCountOverYears(benchmark::State& state) {
    const std::vector<double> extras = extraHolidays();
    const double end = yearsOn(kStart, state.range(0));
    for (auto _ : state)
        benchmark::DoNotOptimize(sched_BusinessDayCount(kStart, end, kCalendar, extras));
}
BENCHMARK(BM_BusinessDayCountOverYears)->RangeMultiplier(10)->Range(1, 1000)->Unit(benchmark::kMicrosecond);

void BM_PlusBusinessDaysBy(benchmark::State& state) {
    const std::vector<double> extras = extraHolidays();
    const auto days = static_cast<double>(state.range(0));
    for (auto _ : state)
        benchmark::DoNotOptimize(sched_plusBusinessDays(kStart, days, kCalendar, extras));
}
BENCHMARK(BM_PlusBusinessDaysBy)->RangeMultiplier(10)->Range(100, 100'000)->Unit(benchmark::kMicrosecond);

void BM_HolidaysOverYears(benchmark::State& state) {
    const std::vector<double> extras = extraHolidays();
    const double end = yearsOn(kStart, state.range(0));
    for (auto _ : state)
        benchmark::DoNotOptimize(sched_Holidays(kStart, end, kCalendar, extras));
    state.counters["holidays"] = static_cast<double>(sched_Holidays(kStart, end, kCalendar, extras).size());
}
BENCHMARK(BM_HolidaysOverYears)->RangeMultiplier(10)->Range(1, 1000)->Unit(benchmark::kMicrosecond);

// Monthly dates from 15 January 2011, modified following on the joined TARGET and London calendars.
void BM_MonthlyScheduleOverYears(benchmark::State& state) {
    const double start = SerialDate(15, 1, 2011).serial();
    const double end = yearsOn(start, state.range(0));
    for (auto _ : state)
        benchmark::DoNotOptimize(
            sched_Schedule(start, start, end, end, 15, L"1M", L"m", L"TARGET,LONDON", {}));
    state.counters["dates"] = static_cast<double>(12 * state.range(0) + 3);
}
BENCHMARK(BM_MonthlyScheduleOverYears)
    ->Arg(1)
    ->Arg(10)
    ->Arg(50)
    ->Arg(100)
    ->Arg(1000)
    ->Unit(benchmark::kMicrosecond);

// The swap quote at a maturity, linear in years between the quotes of the test curve, flat beyond them.
double swapRate(double years) {
    const auto& q = market::kSwaps;
    if (years <= q.front().years)
        return q.front().ratePercent;
    for (std::size_t i = 1; i < q.size(); ++i)
        if (years <= q[i].years)
            return q[i - 1].ratePercent + (q[i].ratePercent - q[i - 1].ratePercent) *
                                              (years - q[i - 1].years) / (q[i].years - q[i - 1].years);
    return q.back().ratePercent;
}

// The test curve's deposits and futures with 5 swaps to 30 years, its own 15 swaps, or 30 yearly swaps from
// 2 to 31 years.
xll::CellMatrix swaps(int64_t count) {
    std::vector<double> maturities;
    if (count == 5)
        maturities = {2, 5, 10, 20, 30};
    else if (count == 15)
        for (const auto& quote : market::kSwaps)
            maturities.push_back(quote.years);
    else
        for (int64_t i = 0; i < count; ++i)
            maturities.push_back(static_cast<double>(2 + i));
    xll::CellMatrix m(static_cast<uint32_t>(maturities.size() + 1), 2);
    m(0, 0) = xll::MatrixCell("Rate %");
    m(0, 1) = xll::MatrixCell("Years");
    for (uint32_t i = 0; i < maturities.size(); ++i) {
        m(i + 1, 0) = xll::MatrixCell(swapRate(maturities[i]));
        m(i + 1, 1) = xll::MatrixCell(maturities[i]);
    }
    return m;
}

void BM_CurveBySwapCount(benchmark::State& state) {
    market::CurveInputs in;
    in.interpId = static_cast<int16_t>(state.range(0));
    in.extrapolId = in.interpId;
    in.swaps = swaps(state.range(1));
    for (auto _ : state)
        benchmark::DoNotOptimize(market::curveTable(in));
}
BENCHMARK(BM_CurveBySwapCount)
    ->ArgNames({"interpId", "swaps"})
    ->ArgsProduct({{1, 2, 3, 4, 5}, {5, 15, 30}})
    ->Unit(benchmark::kMicrosecond);

// ---- against the day-by-day transcription: one calendar, built once, the same inputs for both ----

std::unique_ptr<MergedBusinessCalendar> referenceCalendar() {
    auto calendar = CalendarFactory().createCalendar(kCalendar);
    calendar->setExtraHolidays(extraHolidays());
    return calendar;
}

void BM_CountFast(benchmark::State& state) {
    const auto calendar = referenceCalendar();
    const auto end = static_cast<int32_t>(yearsOn(kStart, state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(calendar->businessDayCount(static_cast<int32_t>(kStart), end));
}
BENCHMARK(BM_CountFast)->Arg(1)->Arg(10)->Arg(100)->Unit(benchmark::kMicrosecond);

void BM_CountReference(benchmark::State& state) {
    const auto calendar = referenceCalendar();
    const auto end = static_cast<int64_t>(yearsOn(kStart, state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(reference::businessDayCount(*calendar, static_cast<int64_t>(kStart), end));
}
BENCHMARK(BM_CountReference)->Arg(1)->Arg(10)->Arg(100)->Unit(benchmark::kMicrosecond);

void BM_StepFast(benchmark::State& state) {
    const auto calendar = referenceCalendar();
    const auto steps = static_cast<int32_t>(state.range(0));
    for (auto _ : state)
        benchmark::DoNotOptimize(calendar->plusBusinessDays(static_cast<int32_t>(kStart), steps));
}
BENCHMARK(BM_StepFast)->Arg(100)->Arg(1000)->Arg(10'000)->Unit(benchmark::kMicrosecond);

// A 10 000-day step takes the transcription seconds: one timed run is enough.
void BM_StepReference(benchmark::State& state) {
    const auto calendar = referenceCalendar();
    for (auto _ : state)
        benchmark::DoNotOptimize(
            reference::plusBusinessDays(*calendar, static_cast<int64_t>(kStart), state.range(0)));
}
BENCHMARK(BM_StepReference)->Arg(100)->Arg(1000)->Arg(10'000)->Unit(benchmark::kMillisecond);

// The 602 unadjusted dates of the 50-year monthly schedule, adjusted together (one holiday set for their
// years) and each alone (every search gathering its own years' holidays).
std::vector<SerialDate> fiftyYearsOfMonthlyDates() {
    const double start = SerialDate(15, 1, 2011).serial();
    const double end = yearsOn(start, 50);
    return unadjustedSchedule(start, start, end, end, 15, parseTenor(L"1M"));
}

void BM_AdjustScheduleTogether(benchmark::State& state) {
    const auto calendar = CalendarFactory().createCalendar(L"TARGET,LONDON");
    const std::vector<SerialDate> dates = fiftyYearsOfMonthlyDates();
    for (auto _ : state)
        benchmark::DoNotOptimize(calendar->adjustAll(dates, L"m"));
}
BENCHMARK(BM_AdjustScheduleTogether)->Unit(benchmark::kMicrosecond);

void BM_AdjustScheduleOneByOne(benchmark::State& state) {
    const auto calendar = CalendarFactory().createCalendar(L"TARGET,LONDON");
    const std::vector<SerialDate> dates = fiftyYearsOfMonthlyDates();
    for (auto _ : state) {
        std::vector<SerialDate> adjusted;
        adjusted.reserve(dates.size());
        for (const SerialDate date : dates)
            adjusted.push_back(calendar->adjust(date, L"m"));
        benchmark::DoNotOptimize(adjusted);
    }
}
BENCHMARK(BM_AdjustScheduleOneByOne)->Unit(benchmark::kMicrosecond);

} // namespace
