// The fast business-day operations against the day-by-day transcription in ReferenceBusinessDays.h, over
// random calendars, dates, spans, counts and extra holidays. Any difference, including failing where the
// other answers, is a fault.

#include "ReferenceBusinessDays.h"
#include "TestCalendars.h"

#include "calendars/BusinessDayFunctions.h"
#include "calendars/CalendarFactory.h"
#include "calendars/HolidayListing.h"
#include "dates/Messages.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>
#include <sstream>

namespace {

using testing_calendars::driftingRules;
using testing_calendars::mergedOf;
using testing_calendars::RuleCalendar;

constexpr int32_t kLastHostDay = 2958465; // 31 December 9999

// The fast result, or nothing when it fails with "Invalid date!!" (any other failure is reported).
template <class F>
std::optional<int64_t> attempt(F&& f) {
    try {
        return f();
    } catch (const char* message) {
        EXPECT_STREQ(message, messages::InvalidDate);
        return std::nullopt;
    }
}

class Differential : public ::testing::Test {
protected:
    std::mt19937_64 random{20240611};

    int64_t uniform(int64_t lo, int64_t hi) { return std::uniform_int_distribution<int64_t>(lo, hi)(random); }
    bool chance(double p) { return std::bernoulli_distribution(p)(random); }

    // A day in [lo, hi], often close to a year's end, where windows reach the next year's rules.
    int64_t dayIn(int64_t lo, int64_t hi) {
        int64_t day = uniform(lo, hi);
        if (chance(0.4)) {
            const int32_t year = SerialDate(static_cast<int32_t>(day)).year();
            day = dayNumber64(31, 12, year) + uniform(-40, 20);
        }
        return std::clamp(day, lo, hi);
    }

    // Whole days around the date (weekends and repeats among them), some with a fraction, now and then NaN.
    std::vector<double> extraHolidays(int64_t around) {
        std::vector<double> extras;
        const int64_t count = chance(0.3) ? 0 : uniform(1, 15);
        for (int64_t i = 0; i < count; ++i) {
            const double day = static_cast<double>(around + uniform(-60, 120));
            extras.push_back(chance(0.15) ? day + 0.5 : day);
            if (chance(0.1))
                extras.push_back(extras.back());
        }
        if (chance(0.05))
            extras.push_back(std::nan(""));
        return extras;
    }

    // Runs every operation once at `day` on the calendar and compares it with the transcription.
    void compareAt(const MergedBusinessCalendar& calendar, int64_t day, int64_t maxSteps, int64_t maxSpan) {
        const auto d = static_cast<int32_t>(day);
        const int64_t span = uniform(-maxSpan / 8, maxSpan);
        const auto end = static_cast<int32_t>(std::clamp<int64_t>(day + span, 0, kLastHostDay));
        const int64_t steps = uniform(-maxSteps, maxSteps);
        const std::wstring convention =
            std::vector<std::wstring>{L"m", L"M", L"s", L"p", L"P", L"u", L""}[uniform(0, 6)];
        std::ostringstream where;
        where << "day " << day << ", end " << end << ", steps " << steps << ", convention "
              << convention.size();
        SCOPED_TRACE(where.str());

        EXPECT_EQ(calendar.isBusinessDay(d), reference::isBusinessDay(calendar, d));
        EXPECT_EQ(calendar.businessDayCount(d, end), reference::businessDayCount(calendar, d, end));
        EXPECT_EQ(attempt([&] { return calendar.plusBusinessDays(d, static_cast<int32_t>(steps)); }),
                  reference::plusBusinessDays(calendar, d, steps));
        EXPECT_EQ(attempt([&] { return calendar.nextBusinessDay(d); }),
                  reference::plusBusinessDays(calendar, d, 1));
        EXPECT_EQ(attempt([&] { return calendar.previousBusinessDay(d); }),
                  reference::plusBusinessDays(calendar, d, -1));
        EXPECT_EQ(attempt([&] { return calendar.lastBusinessDayOfMonth(d); }),
                  reference::lastBusinessDayOfMonth(calendar, d));
        EXPECT_EQ(attempt([&] { return calendar.adjust(SerialDate(d), convention).serial(); }),
                  reference::adjust(calendar, d, convention));
        if (span < 200) {
            EXPECT_EQ(calendar.nonBusinessDays(d, end), reference::nonBusinessDays(calendar, d, end));
        }
    }
};

const std::vector<std::wstring> kCalendarTexts{L"WEEKDAYS",
                                               L"US",
                                               L"NYSE",
                                               L"UK",
                                               L"TARGET",
                                               L"SWITZERLAND",
                                               L"JAPAN",
                                               L"SINGAPORE",
                                               L"NYSE,LONDON",
                                               L"TARGET,JAPAN,US",
                                               L"SWITZERLAND,TARGET,TARGET",
                                               L"JAPAN,SWITZERLAND,SINGAPORE,UK",
                                               L"WEEKDAYS,NY"};

TEST_F(Differential, MarketCalendarsOverTheHostRange) {
    for (int i = 0; i < 2500; ++i) {
        const std::wstring& text =
            kCalendarTexts[uniform(0, static_cast<int64_t>(kCalendarTexts.size()) - 1)];
        const auto calendar = CalendarFactory().createCalendar(text);
        const int64_t day = chance(0.1) ? uniform(-20, 400) : dayIn(0, kLastHostDay);
        calendar->setExtraHolidays(extraHolidays(day));
        SCOPED_TRACE(std::string(text.begin(), text.end()));
        compareAt(*calendar, day, chance(0.1) ? 400 : 40, 800);
    }
}

// From about 7200 on, the vernal equinox of a year falls in the year before; by 9999 it has drifted to
// November. Windows reaching into the next year see it, others do not.
TEST_F(Differential, JapanInItsLastMillennium) {
    for (int i = 0; i < 1500; ++i) {
        const auto calendar = CalendarFactory().createCalendar(chance(0.7) ? L"JAPAN" : L"JAPAN,NYSE");
        const int64_t day = dayIn(SerialDate(1, 1, 9000).serial(), kLastHostDay - 400);
        calendar->setExtraHolidays(extraHolidays(day));
        compareAt(*calendar, day, 60, 800);
    }
}

TEST_F(Differential, RulesReachingIntoOtherYears) {
    for (int i = 0; i < 1500; ++i) {
        const auto calendar =
            mergedOf(std::make_unique<RuleCalendar>(driftingRules),
                     std::make_unique<RuleCalendar>([](int32_t year, std::vector<int64_t>& out) {
                         out.push_back(dayNumber64(1, 1, year) - 1); // 31 December before
                         out.push_back(dayNumber64(1, 6, year));
                     }));
        const int64_t day = chance(0.1) ? uniform(-20, 800) : dayIn(0, kLastHostDay - 1000);
        calendar->setExtraHolidays(extraHolidays(day));
        compareAt(*calendar, day, chance(0.2) ? 500 : 40, 1200);
    }
}

// Long spans take the fast operations through many years and through releasing the days passed.
TEST_F(Differential, LongSpansAndSteps) {
    struct Case {
        const char* text; // empty: the drifting rules
        int64_t day;
        int64_t steps;
        int64_t span;
    };
    const std::vector<Case> cases{
        {"NYSE,LONDON,TARGET", 36526, 3000, 40000},
        {"JAPAN", SerialDate(1, 6, 9980).serial(), -3000, -5000},
        {"JAPAN", SerialDate(1, 1, 9100).serial(), 2500, 300000},
        {"", 2000, 2500, 700000},
        {"", 1500000, -2500, 400000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.text) + " from " + std::to_string(c.day));
        const auto calendar =
            *c.text ? CalendarFactory().createCalendar(std::wstring(c.text, c.text + strlen(c.text)))
                    : mergedOf(std::make_unique<RuleCalendar>(driftingRules));
        calendar->setExtraHolidays(extraHolidays(c.day));
        const auto d = static_cast<int32_t>(c.day);
        const int64_t other = std::clamp<int64_t>(c.day + c.span, 0, kLastHostDay);
        const int64_t start = std::min(c.day, other);
        const int64_t end = std::max(c.day, other);
        EXPECT_EQ(calendar->businessDayCount(static_cast<int32_t>(start), static_cast<int32_t>(end)),
                  reference::businessDayCount(*calendar, start, end));
        EXPECT_EQ(attempt([&] { return calendar->plusBusinessDays(d, static_cast<int32_t>(c.steps)); }),
                  reference::plusBusinessDays(*calendar, d, c.steps));
    }
}

TEST_F(Differential, HolidayListings) {
    for (int i = 0; i < 400; ++i) {
        const std::wstring& text =
            kCalendarTexts[uniform(0, static_cast<int64_t>(kCalendarTexts.size()) - 1)];
        const int64_t start =
            chance(0.2) ? dayIn(SerialDate(1, 1, 9500).serial(), kLastHostDay) : dayIn(0, kLastHostDay);
        const int64_t end = std::min<int64_t>(start + uniform(-10, 1500), kLastHostDay);
        std::ostringstream where;
        where << std::string(text.begin(), text.end()) << " from " << start << " to " << end;
        SCOPED_TRACE(where.str());
        const auto calendar = CalendarFactory().createCalendar(text);
        EXPECT_EQ(
            sched_Holidays(static_cast<double>(start), static_cast<double>(end), text, extraHolidays(start)),
            reference::sortedHolidays(*calendar, start, end));
    }
}

// The first member's repeats stay, a later member's do not, and dates wander across years.
TEST_F(Differential, HolidayListingsOfRulesReachingIntoOtherYears) {
    const auto calendar =
        mergedOf(std::make_unique<RuleCalendar>(driftingRules),
                 std::make_unique<RuleCalendar>([](int32_t year, std::vector<int64_t>& out) {
                     driftingRules(year + 1, out); // the same days, from another year
                     out.push_back(dayNumber64(1, 6, year));
                     out.push_back(dayNumber64(1, 6, year));
                 }),
                 std::make_unique<RuleCalendar>(driftingRules));
    for (int i = 0; i < 300; ++i) {
        const int64_t start = dayIn(-2000, kLastHostDay);
        const int64_t end = std::min<int64_t>(start + uniform(-10, 2500), kLastHostDay);
        SCOPED_TRACE(std::to_string(start) + " to " + std::to_string(end));
        EXPECT_EQ(sortedHolidays(*calendar, static_cast<int32_t>(start), static_cast<int32_t>(end), 1u << 20),
                  reference::sortedHolidays(*calendar, start, end));
    }
}

} // namespace
