// The eighteen worksheet functions, and the three that read a curve at 10 000 dates, as the host calls them:
// the built add-in loaded into this process (which plays the host), opened with xlAutoOpen, and each exported
// entry point called with host records, so every figure holds the whole call: releasing the previous result,
// the function-wizard check, converting the arguments, the library call and building the result in temporary
// memory.
//
// Each function runs under both generations: host version 16 (4-generation records, byte texts) and host
// version 12 (12-generation records, UTF-16 texts). The add-in picks the generation when it opens, so the
// host is closed and opened again between the two families.

#include "src/api/XlCall.h"
#include "tests/CurveMarketData.h"
#include "xlhost/common/Records.h"
#include "xlhost/common/Value.h"
#include "xlhost/core/StandInHost.h"
#include "xlhost/program/AddIn.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstddef>
#include <deque>
#include <functional>
#include <iostream>
#include <memory>
#include <optional>
#include <random>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace {

using xlhost::Generation;
using xlhost::Value;

std::unique_ptr<xlhost::AddIn> addIn;
int openVersion = 0; // the host version the add-in is open under; 0 while closed

Generation generationOf(int version) {
    return version == 12 ? Generation::Twelve : Generation::Four;
}

template <class Signature>
Signature* entryPoint(const char* name) {
    void* symbol = addIn->symbol(name);
    if (symbol == nullptr)
        throw std::runtime_error(std::string("the add-in exports no ") + name);
    return reinterpret_cast<Signature*>(symbol);
}

bool closeHost() {
    if (openVersion == 0)
        return true;
    openVersion = 0;
    return entryPoint<int()>("xlAutoClose")() == 1;
}

// Opens the add-in under the host version unless it is open under it already.
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

// Arguments as the host hands them over: texts ("C" and "C%") zero-terminated in the generation's units,
// value records ("P" and "Q") with their texts and arrays in memory the host owns for the call.
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
    std::deque<std::string> bytes_; // a deque keeps its elements in place as it grows
    std::deque<std::u16string> units_;
    std::deque<XLOPER> records4_;
    std::deque<XLOPER12> records12_;
    std::vector<std::unique_ptr<std::max_align_t[]>> blocks_;
};

// A column of numbers, as a range of cells arrives.
Value column(const std::vector<double>& numbers) {
    std::vector<Value> cells;
    for (const double number : numbers)
        cells.push_back(Value::number(number));
    // The count is taken first: the moved-from vector may be read after the move otherwise.
    const auto rows = static_cast<int32_t>(cells.size());
    return Value::multi(rows, 1, std::move(cells));
}

// A market-data block under a heading row, as the curve function reads it.
Value block(const std::vector<std::string>& headings, const std::vector<std::vector<double>>& rows) {
    std::vector<Value> cells;
    for (const std::string& heading : headings)
        cells.push_back(Value::str(std::u16string(heading.begin(), heading.end())));
    for (const auto& row : rows)
        for (const double number : row)
            cells.push_back(Value::number(number));
    return Value::multi(static_cast<int32_t>(rows.size() + 1), static_cast<int32_t>(headings.size()),
                        std::move(cells));
}

// Realistic inputs: dates in 2011, a joined calendar with a few extra holidays from a range.
constexpr double kDate = 40806;     // Tuesday 20 September 2011
constexpr double kSaturday = 40817; // Saturday 1 October 2011
constexpr double kYearLater = 41172;
const std::vector<double> kExtraHolidays{40814, 40851, 40900, 40987, 41060};
constexpr std::string_view kCalendar = "TARGET,LONDON";

using Call = std::function<void*()>;
using Prepare = Call (*)(HostArguments&);

struct EntryPoint {
    const char* name;
    Prepare prepare; // builds the arguments once and answers the call to time
};

using DatesCalendar = void*(double, const void*, void*);
using TwoDatesCalendar = void*(double, double, const void*, void*);

const std::vector<EntryPoint> kEntryPoints{
    {"sched_plusMonths",
     [](HostArguments& a) -> Call {
         auto f = entryPoint<void*(double, void*)>("xlsched_plusMonths");
         void* months = a.value(Value::number(18));
         return [=] { return f(kDate, months); };
     }},
    {"sched_endOfMonth",
     [](HostArguments&) -> Call {
         auto f = entryPoint<void*(double)>("xlsched_endOfMonth");
         return [=] { return f(kDate); };
     }},
    {"sched_BusinessDayCount",
     [](HostArguments& a) -> Call {
         auto f = entryPoint<TwoDatesCalendar>("xlsched_BusinessDayCount");
         const void* calendar = a.text(kCalendar);
         void* extra = a.value(column(kExtraHolidays));
         return [=] { return f(kDate, kYearLater, calendar, extra); };
     }},
    {"sched_IsBusinessDay",
     [](HostArguments& a) -> Call {
         auto f = entryPoint<DatesCalendar>("xlsched_IsBusinessDay");
         const void* calendar = a.text(kCalendar);
         void* extra = a.value(column(kExtraHolidays));
         return [=] { return f(kDate, calendar, extra); };
     }},
    {"sched_plusBusinessDays",
     [](HostArguments& a) -> Call {
         auto f = entryPoint<TwoDatesCalendar>("xlsched_plusBusinessDays");
         const void* calendar = a.text(kCalendar);
         void* extra = a.value(column(kExtraHolidays));
         return [=] { return f(kDate, 10, calendar, extra); };
     }},
    {"sched_Holidays",
     [](HostArguments& a) -> Call {
         auto f = entryPoint<TwoDatesCalendar>("xlsched_Holidays");
         const void* calendar = a.text(kCalendar);
         void* extra = a.value(column(kExtraHolidays));
         return [=] { return f(kDate, kYearLater, calendar, extra); };
     }},
    {"sched_Schedule", // ten years quarterly: 43 dates
     [](HostArguments& a) -> Call {
         auto f = entryPoint<void*(double, double, double, double, double, const void*, const void*,
                                   const void*, void*)>("xlsched_Schedule");
         const void* tenor = a.text("3M");
         const void* ctrl = a.text("m");
         const void* calendar = a.text(kCalendar);
         void* extra = a.value(column(kExtraHolidays));
         return [=] { return f(40807, 40807, 44460, 44460, 21, tenor, ctrl, calendar, extra); };
     }},
    {"sched_DCF",
     [](HostArguments& a) -> Call {
         auto f = entryPoint<void*(double, double, const void*)>("xlsched_DCF");
         const void* convention = a.text("Act/Act");
         return [=] { return f(kDate, kYearLater, convention); };
     }},
    {"sched_discountFactor",
     [](HostArguments& a) -> Call {
         auto f = entryPoint<void*(double, double, double, const void*)>("xlsched_discountFactor");
         const void* convention = a.text("Act/360");
         return [=] { return f(0.0125, kDate, kYearLater, convention); };
     }},
    {"sched_forwardRate",
     [](HostArguments& a) -> Call {
         auto f =
             entryPoint<void*(double, double, double, double, double, const void*)>("xlsched_forwardRate");
         const void* convention = a.text("Act/365F");
         return [=] { return f(kDate, 0.011, 40990, 0.0125, kYearLater, convention); };
     }},
    {"sched_Tenor2Month",
     [](HostArguments& a) -> Call {
         auto f = entryPoint<void*(const void*)>("xlsched_Tenor2Month");
         const void* tenor = a.text("18M");
         return [=] { return f(tenor); };
     }},
    {"sched_previousBusinessDay",
     [](HostArguments& a) -> Call {
         auto f = entryPoint<DatesCalendar>("xlsched_previousBusinessDay");
         const void* calendar = a.text(kCalendar);
         void* extra = a.value(column(kExtraHolidays));
         return [=] { return f(kSaturday, calendar, extra); };
     }},
    {"sched_nextBusinessDay",
     [](HostArguments& a) -> Call {
         auto f = entryPoint<DatesCalendar>("xlsched_nextBusinessDay");
         const void* calendar = a.text(kCalendar);
         void* extra = a.value(column(kExtraHolidays));
         return [=] { return f(kSaturday, calendar, extra); };
     }},
    {"sched_LastBusDayOfMonth",
     [](HostArguments& a) -> Call {
         auto f = entryPoint<DatesCalendar>("xlsched_LastBusDayOfMonth");
         const void* calendar = a.text(kCalendar);
         void* extra = a.value(column(kExtraHolidays));
         return [=] { return f(kDate, calendar, extra); };
     }},
    {"sched_AdjustToBusDay",
     [](HostArguments& a) -> Call {
         auto f = entryPoint<void*(double, const void*, const void*, void*)>("xlsched_AdjustToBusDay");
         const void* ctrl = a.text("m");
         const void* calendar = a.text(kCalendar);
         void* extra = a.value(column(kExtraHolidays));
         return [=] { return f(kSaturday, ctrl, calendar, extra); };
     }},
    {"sched_thirdWednesDayOfMonth",
     [](HostArguments&) -> Call {
         auto f = entryPoint<void*(double)>("xlsched_thirdWednesDayOfMonth");
         return [=] { return f(kDate); };
     }},
    {"sched_df_curve", // the 27-instrument curve of the tests, log-linear zero rates
     [](HostArguments& a) -> Call {
         auto f = entryPoint<void*(double, const void*, void*, void*, void*, void*, void*, const void*,
                                   const void*, double, const void*, const void*, double, void*, const void*,
                                   const void*, void*)>("xlsched_df_curve");
         std::vector<std::vector<double>> moneyMarket, futures, swaps;
         for (const auto& q : market::kMoneyMarket)
             moneyMarket.push_back({q.date, q.discountFactor});
         for (const auto& q : market::kFutures)
             futures.push_back({q.start, q.end, q.forwardDiscountFactor});
         for (const auto& q : market::kSwaps)
             swaps.push_back({q.ratePercent, q.years});
         const void* zeroDayCount = a.text("Act/365F");
         void* frequency = a.value(Value::number(1));
         void* interpolation = a.value(Value::number(3));
         void* extrapolation = a.value(Value::number(3));
         void* moneyMarketBlock = a.value(block({"Date", "DF"}, moneyMarket));
         void* futuresBlock = a.value(block({"Start", "End", "Forward DF"}, futures));
         const void* floatTenor = a.text("3M");
         const void* floatDayCount = a.text("Act/360");
         const void* fixedTenor = a.text("6M");
         const void* fixedDayCount = a.text("30E/360");
         void* swapBlock = a.value(block({"Rate %", "Years"}, swaps));
         const void* calendar = a.text("TARGET");
         const void* ctrl = a.text("m");
         void* extra = a.value(Value::missing());
         return [=] {
             return f(market::kToday, zeroDayCount, frequency, interpolation, extrapolation, moneyMarketBlock,
                      futuresBlock, floatTenor, floatDayCount, 21, fixedTenor, fixedDayCount, 21, swapBlock,
                      calendar, ctrl, extra);
         };
     }},
    {"sched_ZeroRate",
     [](HostArguments& a) -> Call {
         auto f = entryPoint<void*(double, double, double, const void*, void*)>("xlsched_ZeroRate");
         const void* dayCount = a.text("Act/365F");
         void* frequency = a.value(Value::number(2));
         return [=] { return f(kDate, kYearLater, 0.9875, dayCount, frequency); };
     }},
};

// ---- The curve read at 10 000 dates: the demo curve as sched_df_curve returns it, dates sorted or not ----

const EntryPoint& entryNamed(const std::string& name) {
    for (const EntryPoint& entry : kEntryPoints)
        if (name == entry.name)
            return entry;
    throw std::runtime_error("no entry point " + name);
}

// The table sched_df_curve builds (log-linear zero rates), copied out of the add-in's temporary memory.
Value demoCurve(HostArguments& a) {
    const void* table = entryNamed("sched_df_curve").prepare(a)();
    const std::optional<Value> curve = openVersion == 12
                                           ? xlhost::readRecord(static_cast<const XLOPER12*>(table))
                                           : xlhost::readRecord(static_cast<const XLOPER*>(table));
    if (!curve || !curve->is(xlhost::Kind::Multi))
        throw std::runtime_error("sched_df_curve answered no table");
    return *curve;
}

constexpr int kQueryDates = 10000;

// Dates from the first pillar to 3 years beyond the last one (every 1.2 days), in date order or shuffled.
std::vector<double> queryDates(bool sorted) {
    std::vector<double> dates;
    for (int i = 0; i < kQueryDates; ++i)
        dates.push_back(40806 + static_cast<int>(i * 1.2));
    if (!sorted)
        std::shuffle(dates.begin(), dates.end(), std::mt19937(20110919));
    return dates;
}

using CurveRead = void*(double, const void*, void*, void*, void*, void*, void*);

Call curveRead(HostArguments& a, const char* entry, double method, bool sorted) {
    auto f = entryPoint<CurveRead>(entry);
    void* curve = a.value(demoCurve(a));
    const void* dayCount = a.text("Act/365F");
    void* frequency = a.value(Value::number(1));
    void* interpolation = a.value(Value::number(method));
    void* extrapolation = a.value(Value::number(method));
    void* dates = a.value(column(queryDates(sorted)));
    return [=] { return f(market::kToday, dayCount, frequency, interpolation, extrapolation, curve, dates); };
}

const std::vector<EntryPoint> kCurveQueries{
    {"sched_CurveDF/10000_sorted", [](HostArguments& a) { return curveRead(a, "xlsched_CurveDF", 3, true); }},
    {"sched_CurveDF/10000_unsorted",
     [](HostArguments& a) { return curveRead(a, "xlsched_CurveDF", 3, false); }},
    {"sched_CurveDF/10000_unsorted_spline",
     [](HostArguments& a) { return curveRead(a, "xlsched_CurveDF", 5, false); }},
    {"sched_CurveZeroRate/10000_unsorted",
     [](HostArguments& a) { return curveRead(a, "xlsched_CurveZeroRate", 3, false); }},
    {"sched_CurveForwardRate/10000_unsorted", // 3-month periods, constant forward rates
     [](HostArguments& a) -> Call {
         auto f =
             entryPoint<void*(double, const void*, void*, void*, void*, void*, void*, void*, const void*)>(
                 "xlsched_CurveForwardRate");
         void* curve = a.value(demoCurve(a));
         const void* dayCount = a.text("Act/365F");
         void* frequency = a.value(Value::number(1));
         void* method = a.value(Value::number(4));
         std::vector<double> starts = queryDates(false);
         std::vector<double> ends;
         for (const double start : starts)
             ends.push_back(start + 91);
         void* startDates = a.value(column(starts));
         void* endDates = a.value(column(ends));
         const void* forwardDayCount = a.text("Act/360");
         return [=] {
             return f(market::kToday, dayCount, frequency, method, method, curve, startDates, endDates,
                      forwardDayCount);
         };
     }},
};

// The text of a message result, for reporting a call that failed instead of computing.
template <class Record>
std::string messageOf(const Record& record) {
    std::string text;
    for (std::size_t i = 1; i <= static_cast<std::size_t>(record.val.str[0]); ++i)
        text.push_back(static_cast<char>(record.val.str[i]));
    return text;
}

// Empty when the result is a value the function computes; otherwise what went wrong.
template <class Record>
std::string problemWith(const void* result) {
    if (result == nullptr)
        return "no result";
    const auto& record = *static_cast<const Record*>(result);
    switch (record.xltype & 0x0FFF) {
    case xltypeStr:
        return "answered the message \"" + messageOf(record) + "\"";
    case xltypeErr:
        return "answered error " + std::to_string(record.val.err);
    case xltypeMulti: { // a block of answers must hold no message either
        const auto cells = static_cast<std::size_t>(record.val.array.rows) * record.val.array.columns;
        for (std::size_t i = 0; i < cells; ++i)
            if (const std::string cell = problemWith<Record>(&record.val.array.lparray[i]); !cell.empty())
                return "cell " + std::to_string(i) + " " + cell;
        return cells == 0 ? "an empty block" : "";
    }
    default:
        return "";
    }
}

void callEntryPoint(benchmark::State& state, int version, const EntryPoint& entry) {
    if (!openHost(version)) {
        state.SkipWithError("xlAutoOpen failed");
        return;
    }
    HostArguments arguments(generationOf(version));
    const Call call = entry.prepare(arguments);
    const void* first = call();
    const std::string problem = version == 12 ? problemWith<XLOPER12>(first) : problemWith<XLOPER>(first);
    if (!problem.empty()) {
        state.SkipWithError(problem.c_str());
        return;
    }
    for (auto _ : state)
        benchmark::DoNotOptimize(call());
}

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    std::string error;
    const std::string file = xlhost::defaultAddIn();
    addIn = xlhost::AddIn::load(file, error);
    if (!addIn) {
        std::cerr << "addin_bench: " << error << '\n';
        return 1;
    }
    for (const int version : {16, 12}) {
        const std::string family = version == 12 ? "gen12/" : "gen4/";
        for (const EntryPoint& entry : kEntryPoints)
            benchmark::RegisterBenchmark((family + entry.name).c_str(), [version,
                                                                         &entry](benchmark::State& s) {
                callEntryPoint(s, version, entry);
            })->Unit(benchmark::kMicrosecond);
        for (const EntryPoint& entry : kCurveQueries)
            benchmark::RegisterBenchmark((family + entry.name).c_str(), [version,
                                                                         &entry](benchmark::State& s) {
                callEntryPoint(s, version, entry);
            })->Unit(benchmark::kMicrosecond);
    }
    benchmark::AddCustomContext("addin", addIn->fullName());
    benchmark::RunSpecifiedBenchmarks();
    closeHost();
    benchmark::Shutdown();
    const xlhost::LedgerReport report = xlhost::shutdownReport();
    if (!report.clean()) {
        std::cerr << report.text();
        return 1;
    }
    return 0;
}
