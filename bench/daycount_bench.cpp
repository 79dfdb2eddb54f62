#include "curves/Rates.h"
#include "daycount/DayCount.h"
#include "daycount/Schedule.h"

#include <benchmark/benchmark.h>

#include <array>
#include <string>

using namespace tavrin;

namespace {

const std::array<std::wstring, 11> kConventions{
    L"Act/365F", L"Act/360",  L"Act/365L",      L"Act/365A",  L"NL/365",  L"30/360 ISDA",
    L"30E/360",  L"30E+/360", L"30/360 German", L"30/360 US", L"Act/Act",
};

// Periods of a few days to thirty years, starting on ordinary days, month ends and 29 February.
const std::array<std::array<SerialDate, 2>, 8> kPeriods{{
    {SerialDate(40558), SerialDate(40739)},
    {SerialDate(40574), SerialDate(40633)},
    {SerialDate(40968), SerialDate(41333)},
    {SerialDate(36526), SerialDate(47484)},
    {SerialDate(40543), SerialDate(40547)},
    {SerialDate(40602), SerialDate(40999)},
    {SerialDate(41000), SerialDate(51957)},
    {SerialDate(40725), SerialDate(41456)},
}};

// The library's fraction: the convention is read once per worksheet call, not per period.
void dayCountFractionByConvention(benchmark::State& state) {
    const std::wstring& name = kConventions[static_cast<std::size_t>(state.range(0))];
    state.SetLabel(std::string(name.begin(), name.end()));
    const DayCountConvention convention = parseDayCountConvention(name);
    std::size_t i = 0;
    for (auto _ : state) {
        const auto& period = kPeriods[i++ % kPeriods.size()];
        benchmark::DoNotOptimize(dayCountFraction(period[0], period[1], convention));
    }
}
BENCHMARK(dayCountFractionByConvention)->DenseRange(0, 10);

// The worksheet function: the name read, then the fraction.
void worksheetDcfByConvention(benchmark::State& state) {
    const std::wstring& name = kConventions[static_cast<std::size_t>(state.range(0))];
    state.SetLabel(std::string(name.begin(), name.end()));
    std::size_t i = 0;
    for (auto _ : state) {
        const auto& period = kPeriods[i++ % kPeriods.size()];
        benchmark::DoNotOptimize(sched_DCF(period[0].serial(), period[1].serial(), name));
    }
}
BENCHMARK(worksheetDcfByConvention)->DenseRange(0, 10);

// A span of millions of years costs no more than a short one: the leap days are counted, not walked.
void leapDaysOverTheWholeRange(benchmark::State& state) {
    const DayCountConvention convention = DayCountConvention::NL365;
    SerialDate first(1), last(2147483647);
    for (auto _ : state) {
        benchmark::DoNotOptimize(first);
        benchmark::DoNotOptimize(dayCountFraction(first, last, convention));
    }
}
BENCHMARK(leapDaysOverTheWholeRange);

// 50 years of monthly dates, modified following on the joined TARGET and London calendars.
void fiftyYearMonthlySchedule(benchmark::State& state) {
    const double start = 40558; // 15 January 2011
    const double end = SerialDate(15, 1, 2061).serial();
    for (auto _ : state)
        benchmark::DoNotOptimize(
            sched_Schedule(start, start, end, end, 15, L"1M", L"m", L"TARGET,LONDON", {}));
}
BENCHMARK(fiftyYearMonthlySchedule)->Unit(benchmark::kMicrosecond);

void compoundedRoundTrip(benchmark::State& state) {
    const DayCountConvention dayCount = DayCountConvention::Act365F;
    const auto frequency = parseCompoundingFrequency(static_cast<int16_t>(state.range(0)));
    const SerialDate start(40558), end(44210);
    for (auto _ : state) {
        const double df = discountFactorFromZeroRate(0.031, start, end, dayCount, frequency);
        benchmark::DoNotOptimize(zeroRateFromDiscountFactor(start, end, df, dayCount, frequency));
    }
}
BENCHMARK(compoundedRoundTrip)->Arg(2)->Arg(5);

} // namespace
