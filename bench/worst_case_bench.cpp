// The worst inputs found for every worksheet function, each called once through the exported entry points
// as the host calls them (the built add-in loaded into this process, as in addin_bench). A figure is one
// whole call: converting the arguments, the library call and building the result. The label tells what the
// call answered: a value, or the message it refused with (a refusal is an answer too, and must be quick).
//
// Not a test: the figures go into docs/PERFORMANCE.md. Every case runs once per generation (host version 16,
// then 12); the slowest take seconds on slow code, so each is timed over a single iteration.

#include "src/api/XlCall.h"
#include "xlhost/common/Records.h"
#include "xlhost/common/Value.h"
#include "xlhost/core/StandInHost.h"
#include "xlhost/program/AddIn.h"

#include <benchmark/benchmark.h>

#include <cstddef>
#include <deque>
#include <functional>
#include <iostream>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace {

using xlhost::Generation;
using xlhost::Value;

std::unique_ptr<xlhost::AddIn> addIn;
int openVersion = 0; // the host version the add-in is open under; 0 while closed

template <class Signature>
Signature* entryPoint(const char* name) {
    void* symbol = addIn->symbol(name);
    if (symbol == nullptr)
        throw std::runtime_error(std::string("the add-in exports no ") + name);
    return reinterpret_cast<Signature*>(symbol);
}

void closeHost() {
    if (openVersion != 0)
        entryPoint<int()>("xlAutoClose")();
    openVersion = 0;
}

bool openHost(int version) {
    if (openVersion == version)
        return true;
    closeHost();
    xlhost::reset();
    xlhost::setVersion(version);
    xlhost::setLibraryName(addIn->fullName());
    if (entryPoint<int()>("xlAutoOpen")() != 1)
        return false;
    openVersion = version;
    return true;
}

// Arguments in memory the host owns for the call: zero-terminated texts in the generation's units, value
// records with their texts and arrays.
class HostArguments : private xlhost::RecordStorage {
public:
    explicit HostArguments(Generation generation) : generation_(generation) {}

    const void* text(std::string_view ascii) {
        if (generation_ == Generation::Four)
            return bytes_.emplace_back(ascii).c_str();
        return units_.emplace_back(ascii.begin(), ascii.end()).c_str();
    }

    void* value(const Value& value) {
        if (generation_ == Generation::Four) {
            XLOPER& record = records4_.emplace_back();
            xlhost::writeRecord(value, record, *this);
            return &record;
        }
        XLOPER12& record = records12_.emplace_back();
        xlhost::writeRecord(value, record, *this);
        return &record;
    }

private:
    void* allocate(std::size_t bytes) override {
        const std::size_t blocks = bytes / sizeof(std::max_align_t) + 1;
        return blocks_.emplace_back(std::make_unique<std::max_align_t[]>(blocks)).get();
    }

    Generation generation_;
    std::deque<std::string> bytes_;
    std::deque<std::u16string> units_;
    std::deque<XLOPER> records4_;
    std::deque<XLOPER12> records12_;
    std::vector<std::unique_ptr<std::max_align_t[]>> blocks_;
};

Value column(const std::vector<double>& numbers) {
    std::vector<Value> cells;
    cells.reserve(numbers.size());
    for (const double number : numbers)
        cells.push_back(Value::number(number));
    const auto rows = static_cast<int32_t>(cells.size()); // before the cells are moved away
    return Value::multi(rows, 1, std::move(cells));
}

Value block(const std::vector<std::string>& headings, const std::vector<std::vector<double>>& rows) {
    std::vector<Value> cells;
    for (const std::string& heading : headings)
        cells.push_back(Value::str(std::u16string(heading.begin(), heading.end())));
    for (const auto& row : rows)
        for (const double number : row)
            cells.push_back(Value::number(number));
    const auto count = static_cast<int32_t>(rows.size() + 1);
    return Value::multi(count, static_cast<int32_t>(headings.size()), std::move(cells));
}

// `count` distinct days from `first` on, `step` apart.
std::vector<double> days(double first, int count, double step) {
    std::vector<double> result;
    for (int i = 0; i < count; ++i)
        result.push_back(first + i * step);
    return result;
}

constexpr std::string_view kAllCalendars = "US,UK,TARGET,JAPAN,SINGAPORE,NYSE,SWITZERLAND,WEEKDAYS";
constexpr double kLastDay = 2147483647;     // the last 32-bit day
constexpr double kFirstDay = -2147483648.0; // the first
constexpr double kLastHostDay = 2958465;    // 31 December 9999
constexpr double kJan2023 = 44957;          // 31 January 2023

using Call = std::function<void*()>;
using Prepare = Call (*)(HostArguments&);

struct Case {
    const char* name;
    Prepare prepare;
};

using DayCalendar = void*(double, const void*, void*);
using TwoDaysCalendar = void*(double, double, const void*, void*);
using ScheduleEntry = void*(double, double, double, double, double, const void*, const void*, const void*,
                            void*);
using CurveEntry = void*(double, const void*, void*, void*, void*, void*, void*, const void*, const void*,
                         double, const void*, const void*, double, void*, const void*, const void*, void*);

Call twoDays(HostArguments& a, const char* function, double first, double second, std::string_view calendar,
             const std::vector<double>& extra) {
    auto f = entryPoint<TwoDaysCalendar>(function);
    const void* text = a.text(calendar);
    void* holidays = a.value(column(extra));
    return [=] { return f(first, second, text, holidays); };
}

Call oneDay(HostArguments& a, const char* function, double day, std::string_view calendar,
            const std::vector<double>& extra) {
    auto f = entryPoint<DayCalendar>(function);
    const void* text = a.text(calendar);
    void* holidays = a.value(column(extra));
    return [=] { return f(day, text, holidays); };
}

// A monthly schedule on roll day 31 from `first` (a month end) to `last`, adjusted modified following.
Call monthly(HostArguments& a, double first, double last, std::string_view calendar,
             const std::vector<double>& extra) {
    auto f = entryPoint<ScheduleEntry>("xlsched_Schedule");
    const void* tenor = a.text("1M");
    const void* ctrl = a.text("m");
    const void* text = a.text(calendar);
    void* holidays = a.value(column(extra));
    return [=] { return f(first, first, last, last, 31, tenor, ctrl, text, holidays); };
}

// Where the futures rows start: each on the end of the one before, scattered among the pillars made so
// far, or falling through the first segment behind one long first row (every insertion goes to the front).
enum class Starts { Chained, Scattered, Falling };

// A curve of two money-market pillars and `rows` futures rows, no swaps.
Call futuresCurve(HostArguments& a, int rows, double interpolation, Starts starts = Starts::Chained) {
    auto f = entryPoint<CurveEntry>("xlsched_df_curve");
    constexpr double today = 40805;
    std::vector<std::vector<double>> futures;
    for (int i = 0; i < rows; ++i) {
        double start = today + 2 + i;
        double end = start + 1;
        if (starts == Starts::Scattered) {
            start = today + 2 + 10.0 * ((i * 7919) % rows);
            end = start + 1 + i % 5;
        } else if (starts == Starts::Falling) {
            start = i == 0 ? today + 2 : today + 2 + 2.0 * (rows - i);
            end = i == 0 ? today + 12 + 2.0 * rows : start + 1;
        }
        futures.push_back({start, end, 0.99997});
    }
    const void* zeroDayCount = a.text("Act/365F");
    void* frequency = a.value(Value::number(1));
    void* interp = a.value(Value::number(interpolation));
    void* extrap = a.value(Value::number(interpolation));
    void* moneyMarket = a.value(block({"Date", "DF"}, {{today + 1, 0.99998}, {today + 2, 0.99995}}));
    void* futuresBlock = a.value(block({"Start", "End", "Forward DF"}, futures));
    const void* floatTenor = a.text("3M");
    const void* floatDayCount = a.text("Act/360");
    const void* fixedTenor = a.text("6M");
    const void* fixedDayCount = a.text("30E/360");
    void* swaps = a.value(Value::missing());
    const void* calendar = a.text("TARGET");
    const void* ctrl = a.text("m");
    void* extra = a.value(Value::missing());
    return [=] {
        return f(today, zeroDayCount, frequency, interp, extrap, moneyMarket, futuresBlock, floatTenor,
                 floatDayCount, 21, fixedTenor, fixedDayCount, 21, swaps, calendar, ctrl, extra);
    };
}

const std::vector<double> kNoHolidays{};
const std::vector<double> k10000Holidays = days(44960, 10000, 37);     // weekdays and weekends, 1000 years
const std::vector<double> kHostColumnOfHolidays = days(1, 1048576, 1); // the longest column, every day

const std::vector<Case> kCases{
    // Schedules: the cost once grew as dates times extra holidays.
    {"Schedule/120k_monthly_WEEKDAYS_10k_extra",
     [](HostArguments& a) { return monthly(a, kJan2023, 3697457, "WEEKDAYS", k10000Holidays); }},
    {"Schedule/120k_monthly_WEEKDAYS",
     [](HostArguments& a) { return monthly(a, kJan2023, 3697457, "WEEKDAYS", kNoHolidays); }},
    // The longest schedule the 12-generation grid holds: 1,048,576 dates from 31 January 1900 (the
    // 4-generation grid refuses it).
    {"Schedule/1048576_monthly_WEEKDAYS_10k_extra",
     [](HostArguments& a) { return monthly(a, 31, 31915970, "WEEKDAYS", k10000Holidays); }},
    // Japan's equinoxes leave their year after about 7300: 12,003 dates from 31 January 7300 to 31 January
    // 8300, with extra holidays over those years.
    {"Schedule/12003_monthly_JAPAN_after_7300_20k_extra",
     [](HostArguments& a) { return monthly(a, 1972381, 2337631, "JAPAN", days(1972390, 20000, 17)); }},
    // Stepping and counting over the 32-bit range.
    {"plusBusinessDays/1.3e9_all_calendars_10k_extra",
     [](HostArguments& a) {
         return twoDays(a, "xlsched_plusBusinessDays", 35, 1300000000, kAllCalendars, k10000Holidays);
     }},
    {"plusBusinessDays/1.3e9_all_calendars",
     [](HostArguments& a) {
         return twoDays(a, "xlsched_plusBusinessDays", 35, 1300000000, kAllCalendars, kNoHolidays);
     }},
    {"plusBusinessDays/-1.3e9_from_the_last_day_JAPAN",
     [](HostArguments& a) {
         return twoDays(a, "xlsched_plusBusinessDays", kLastDay - 1, -1300000000, "JAPAN", k10000Holidays);
     }},
    {"plusBusinessDays/host_range_all_calendars_10k_extra",
     [](HostArguments& a) {
         return twoDays(a, "xlsched_plusBusinessDays", 1, 2000000, kAllCalendars, k10000Holidays);
     }},
    {"BusinessDayCount/2^31_all_calendars",
     [](HostArguments& a) {
         return twoDays(a, "xlsched_BusinessDayCount", 1, kLastDay, kAllCalendars, kNoHolidays);
     }},
    {"BusinessDayCount/2^32_all_calendars_10k_extra",
     [](HostArguments& a) {
         return twoDays(a, "xlsched_BusinessDayCount", kFirstDay, kLastDay, kAllCalendars, k10000Holidays);
     }},
    {"BusinessDayCount/host_range_all_calendars_column_of_extra",
     [](HostArguments& a) {
         return twoDays(a, "xlsched_BusinessDayCount", 1, kLastHostDay, kAllCalendars, kHostColumnOfHolidays);
     }},
    // Single days with the longest extra-holiday column the host passes.
    {"IsBusinessDay/column_of_extra",
     [](HostArguments& a) {
         return oneDay(a, "xlsched_IsBusinessDay", 2000000, kAllCalendars, kHostColumnOfHolidays);
     }},
    {"nextBusinessDay/column_of_extra",
     [](HostArguments& a) {
         return oneDay(a, "xlsched_nextBusinessDay", 2, kAllCalendars, kHostColumnOfHolidays);
     }},
    {"previousBusinessDay/from_the_last_day",
     [](HostArguments& a) {
         return oneDay(a, "xlsched_previousBusinessDay", kLastDay, kAllCalendars, k10000Holidays);
     }},
    {"LastBusDayOfMonth/column_of_extra",
     [](HostArguments& a) {
         return oneDay(a, "xlsched_LastBusDayOfMonth", 1048000, kAllCalendars, kHostColumnOfHolidays);
     }},
    {"AdjustToBusDay/column_of_extra",
     [](HostArguments& a) -> Call {
         auto f = entryPoint<void*(double, const void*, const void*, void*)>("xlsched_AdjustToBusDay");
         const void* ctrl = a.text("m");
         const void* calendar = a.text(kAllCalendars);
         void* extra = a.value(column(kHostColumnOfHolidays));
         return [=] { return f(1048000, ctrl, calendar, extra); };
     }},
    // Listings: the whole host range, and the 32-bit range (refused as too long).
    {"Holidays/host_range_all_calendars",
     [](HostArguments& a) {
         return twoDays(a, "xlsched_Holidays", 0, kLastHostDay, kAllCalendars, kNoHolidays);
     }},
    {"Holidays/2^31_all_calendars",
     [](HostArguments& a) {
         return twoDays(a, "xlsched_Holidays", 1, kLastDay, kAllCalendars, kNoHolidays);
     }},
    // A calendar text of a million characters.
    {"BusinessDayCount/million_character_calendar",
     [](HostArguments& a) {
         std::string text = "US";
         while (text.size() < 1'000'000)
             text += ",TARGET,UK";
         return twoDays(a, "xlsched_BusinessDayCount", 1, kLastHostDay, text, kNoHolidays);
     }},
    // Curves: one-day futures rows, each inserting a pillar.
    {"df_curve/16000_futures_spline", [](HostArguments& a) { return futuresCurve(a, 16000, 5); }},
    {"df_curve/16000_futures_loglinear", [](HostArguments& a) { return futuresCurve(a, 16000, 3); }},
    {"df_curve/32760_futures_loglinear", // the most pillars the limit allows
     [](HostArguments& a) { return futuresCurve(a, 32760, 3); }},
    {"df_curve/32760_futures_spline", [](HostArguments& a) { return futuresCurve(a, 32760, 5); }},
    {"df_curve/33000_futures_refused", [](HostArguments& a) { return futuresCurve(a, 33000, 5); }},
    // Starts inside the pillars: each insertion moves the pillars after it and changes the spline there.
    {"df_curve/16000_scattered_futures_spline",
     [](HostArguments& a) { return futuresCurve(a, 16000, 5, Starts::Scattered); }},
    {"df_curve/16380_falling_futures_spline", // the most pillars the limit allows
     [](HostArguments& a) { return futuresCurve(a, 16380, 5, Starts::Falling); }},
    {"df_curve/16380_falling_futures_loglinear",
     [](HostArguments& a) { return futuresCurve(a, 16380, 3, Starts::Falling); }},
};

template <class Record>
std::string answerOf(const void* result) {
    if (result == nullptr)
        return "no result";
    const auto& record = *static_cast<const Record*>(result);
    switch (record.xltype & 0x0FFF) {
    case xltypeStr: {
        std::string text = "message: ";
        for (std::size_t i = 1; i <= static_cast<std::size_t>(record.val.str[0]); ++i)
            if (record.val.str[i] != 0)
                text.push_back(static_cast<char>(record.val.str[i]));
        return text;
    }
    case xltypeErr:
        return "error " + std::to_string(record.val.err);
    case xltypeMulti:
        return std::to_string(record.val.array.rows) + " rows";
    case xltypeNum:
        return "value " + std::to_string(static_cast<long long>(record.val.num));
    case xltypeBool:
        return record.val.xbool ? "TRUE" : "FALSE";
    default:
        return "value";
    }
}

void callOnce(benchmark::State& state, int version, const Case& c) {
    if (!openHost(version)) {
        state.SkipWithError("xlAutoOpen failed");
        return;
    }
    HostArguments arguments(version == 12 ? Generation::Twelve : Generation::Four);
    const Call call = c.prepare(arguments);
    const void* result = nullptr;
    for (auto _ : state)
        result = call();
    state.SetLabel(version == 12 ? answerOf<XLOPER12>(result) : answerOf<XLOPER>(result));
}

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    std::string error;
    addIn = xlhost::AddIn::load(xlhost::defaultAddIn(), error);
    if (!addIn) {
        std::cerr << "worst_case_bench: " << error << '\n';
        return 1;
    }
    for (const int version : {16, 12}) {
        const std::string family = version == 12 ? "gen12/" : "gen4/";
        for (const Case& c : kCases)
            benchmark::RegisterBenchmark((family + c.name).c_str(),
                                         [version, &c](benchmark::State& s) { callOnce(s, version, c); })
                ->Unit(benchmark::kMillisecond)
                ->Iterations(1);
    }
    benchmark::AddCustomContext("addin", addIn->fullName());
    benchmark::RunSpecifiedBenchmarks();
    closeHost();
    benchmark::Shutdown();
    return 0;
}
