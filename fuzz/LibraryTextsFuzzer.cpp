// The library's text-driven functions called directly: calendar texts, tenors, business-day letters and
// day-count names of any content (wide characters beyond 16 bits included), with dates and counts from the
// whole range of doubles. A failure must be one of the library's message texts; a standard exception out of
// these functions is a fault (it would reach a cell as an unexplained text), and so is a next or previous
// business day that does not move the right way.

#include "fuzz/FuzzInput.h"

#include "calendars/BusinessDayFunctions.h"
#include "curves/Rates.h"
#include "dates/DateFunctions.h"
#include "dates/Tenor.h"
#include "daycount/DayCount.h"
#include "daycount/Schedule.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>
#include <vector>

using namespace tavrin;

namespace {

std::wstring wideText(fuzz::FuzzInput& in) {
    const std::u16string units = in.text(fuzz::kVocabulary, true);
    std::wstring text(units.begin(), units.end());
    // Now and then a character beyond 16 bits, where wchar_t holds one.
    if constexpr (sizeof(wchar_t) > 2) {
        if (!text.empty() && (in.byte() & 7) == 0) {
            const uint32_t at = in.upTo(static_cast<uint32_t>(text.size() - 1));
            text[at] = static_cast<wchar_t>(in.dword() & 0x7FFFFFFF);
        }
    }
    return text;
}

std::vector<double> extraHolidays(fuzz::FuzzInput& in) {
    std::vector<double> days(in.upTo(8));
    for (double& d : days)
        d = in.number();
    return days;
}

[[noreturn]] void fail(const char* what, const char* detail) {
    std::fprintf(stderr, "library fault: %s: %s\n", what, detail);
    std::abort();
}

// Every value is read into a local first: the order in which a call's arguments are evaluated is the
// compiler's, and the corpus must decode alike under every compiler that replays it.
void run(fuzz::FuzzInput& in) {
    switch (in.byte() % 12) {
    case 0:
        tenorToMonths(wideText(in));
        break;
    case 1: {
        const double start = in.number();
        const double end = in.number();
        sched_DCF(start, end, wideText(in));
        break;
    }
    case 2: {
        const double day = in.number();
        std::wstring calendar = wideText(in);
        sched_IsBusinessDay(day, std::move(calendar), extraHolidays(in));
        break;
    }
    case 3: {
        const double day = in.number();
        std::wstring ctrl = wideText(in);
        std::wstring calendar = wideText(in);
        sched_AdjustToBusDay(day, std::move(ctrl), std::move(calendar), extraHolidays(in));
        break;
    }
    case 4: {
        const double day = in.number();
        std::wstring calendar = wideText(in);
        const double next = sched_nextBusinessDay(day, std::move(calendar), extraHolidays(in));
        if (!(next > std::trunc(day)))
            fail("nextBusinessDay", "did not move forward");
        break;
    }
    case 5: {
        const double day = in.number();
        std::wstring calendar = wideText(in);
        const double previous = sched_previousBusinessDay(day, std::move(calendar), extraHolidays(in));
        if (!(previous < std::trunc(day)))
            fail("previousBusinessDay", "did not move back");
        break;
    }
    case 6: {
        const double day = in.number();
        std::wstring calendar = wideText(in);
        sched_LastBusDayOfMonth(day, std::move(calendar), extraHolidays(in));
        break;
    }
    case 7: {
        const double start = in.number();
        const double end = in.number();
        std::wstring calendar = wideText(in);
        switch (in.byte() % 3) {
        case 0:
            sched_BusinessDayCount(start, fuzz::foldedSpan(start, end), std::move(calendar),
                                   extraHolidays(in));
            break;
        case 1:
            sched_plusBusinessDays(start, fuzz::foldedSpan(0, end), std::move(calendar), extraHolidays(in));
            break;
        default:
            sched_Holidays(start, end, std::move(calendar), extraHolidays(in));
            break;
        }
        break;
    }
    case 8: {
        double dates[5];
        for (double& d : dates)
            d = in.number();
        std::wstring tenor = wideText(in);
        std::wstring ctrl = wideText(in);
        std::wstring calendar = wideText(in);
        sched_Schedule(dates[0], dates[1], dates[2], dates[3], dates[4], std::move(tenor), std::move(ctrl),
                       std::move(calendar), extraHolidays(in));
        break;
    }
    case 9: {
        double x[5];
        for (double& v : x)
            v = in.number();
        if (in.flag())
            sched_discountFactor(x[0], x[1], x[2], wideText(in));
        else
            sched_forwardRate(x[0], x[1], x[2], x[3], x[4], wideText(in));
        break;
    }
    case 10: {
        double x[3];
        for (double& v : x)
            v = in.number();
        std::wstring dayCount = wideText(in);
        sched_ZeroRate(x[0], x[1], x[2], std::move(dayCount), static_cast<int16_t>(in.word()));
        break;
    }
    default: {
        const double day = in.number();
        switch (in.byte() % 3) {
        case 0:
            sched_plusMonths(day, static_cast<int16_t>(in.word()));
            break;
        case 1:
            sched_endOfMonth(day);
            break;
        default:
            sched_thirdWednesDayOfMonth(day);
            break;
        }
        break;
    }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    fuzz::FuzzInput in(data, size);
    try {
        run(in);
    } catch (const char*) {
        // A message text: the cell shows it.
    } catch (const std::bad_alloc&) {
        // Memory exhaustion is reported to the cell as its message.
    } catch (const std::exception& e) {
        fail("standard exception", e.what());
    }
    return 0;
}
