// Each maintained calendar against the fixed-rule calendar it resembles, in the worksheet calls that take a
// calendar: one business-day test, a step of 10 business days and a count over ten years, with no holiday
// file and with one that amends the calendar (one added and one removed day a year). The maintained figure
// should stay within 20% of its twin's.

#include "calendars/BusinessDayFunctions.h"
#include "calendars/HolidayFile.h"
#include "dates/SerialDate.h"

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

using namespace tavrin;

namespace {

struct Pair {
    const char* fixedRules;
    const char* maintained;
};
const Pair kPairs[] = {{"US", "USNY"},     {"US", "USGS"},          {"NYSE", "XNYS"},  {"UK", "GBLO"},
                       {"TARGET", "EUTA"}, {"SWITZERLAND", "CHZU"}, {"JAPAN", "JPTO"}, {"SINGAPORE", "SGSI"}};

const double kDay = SerialDate(14, 5, 2024).serial(); // a Tuesday
const double kTenYearsOn = SerialDate(14, 5, 2014).serial();

std::wstring wide(const char* text) {
    return std::wstring(text, text + std::char_traits<char>::length(text));
}

// A file amending the calendar in every year from 2000 to 2027.
void installFileFor(const char* calendar) {
    std::string text = "calendar,date,action,note\n";
    for (int year = 2000; year <= 2027; ++year) {
        const std::string y = std::to_string(year);
        text += std::string(calendar) + "," + y + "-03-11,add,\n";
        text += std::string(calendar) + "," + y + "-12-25,remove,\n";
    }
    holiday_file::install(holiday_file::parse("bench.csv", text));
}

template <class Call>
void run(benchmark::State& state, const char* calendar, bool withFile, Call call) {
    if (withFile)
        installFileFor(calendar);
    else
        holiday_file::installNone();
    const std::wstring name = wide(calendar);
    for (auto _ : state)
        benchmark::DoNotOptimize(call(name));
    holiday_file::installNone();
}

void registerAll() {
    for (const Pair& pair : kPairs) {
        for (const char* calendar : {pair.fixedRules, pair.maintained}) {
            for (const bool withFile : {false, true}) {
                const std::string suffix =
                    std::string("/") + pair.maintained + "/" + calendar + (withFile ? "/file" : "/no_file");
                benchmark::RegisterBenchmark(
                    ("IsBusinessDay" + suffix).c_str(), [=](benchmark::State& state) {
                        run(state, calendar, withFile,
                            [](const std::wstring& name) { return sched_IsBusinessDay(kDay, name, {}); });
                    });
                benchmark::RegisterBenchmark(("Plus10BusinessDays" + suffix).c_str(),
                                             [=](benchmark::State& state) {
                                                 run(state, calendar, withFile, [](const std::wstring& name) {
                                                     return sched_plusBusinessDays(kDay, 10, name, {});
                                                 });
                                             });
                benchmark::RegisterBenchmark(
                    ("CountTenYears" + suffix).c_str(), [=](benchmark::State& state) {
                        run(state, calendar, withFile, [](const std::wstring& name) {
                            return sched_BusinessDayCount(kTenYearsOn, kDay, name, {});
                        });
                    });
            }
        }
    }
}

const bool registered = (registerAll(), true);

} // namespace
