// The fast business-day operations against the day-by-day transcription in ReferenceBusinessDays.h, over
// random calendars, dates, spans, counts and extra holidays. Any difference, including failing where the
// other answers, is a fault.

#include "ReferenceBusinessDays.h"
#include "TestCalendars.h"

#include "calendars/BusinessDayFunctions.h"
#include "calendars/CalendarFactory.h"
#include "calendars/Easter.h"
#include "calendars/HolidayListing.h"
#include "calendars/HolidaySweep.h"
#include "calendars/USCalendar.h"
#include "dates/Messages.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <cwchar>
#include <limits>
#include <ostream>
#include <random>
#include <sstream>
#include <string>

using namespace tavrin;

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

// Extra holidays spread over decades, against every calendar: counting and stepping over them must find each
// one by search, never by one scan per date, and still see exactly what the day-by-day windows see.
TEST_F(Differential, ExtraHolidaysOverLongSpans) {
    for (const std::wstring& text : kCalendarTexts) {
        for (int i = 0; i < 3; ++i) {
            const int64_t span = uniform(5000, 15000);
            const int64_t start = i == 0 ? dayIn(SerialDate(1, 1, 9900).serial(), kLastHostDay - span)
                                         : dayIn(0, kLastHostDay - span);
            std::vector<double> extras;
            for (int64_t k = 0, count = uniform(100, 400); k < count; ++k)
                extras.push_back(static_cast<double>(start + uniform(-50, span + 50)));
            if (chance(0.5))
                std::sort(extras.begin(), extras.end()); // as a column of dates usually comes
            const auto calendar = CalendarFactory().createCalendar(text);
            calendar->setExtraHolidays(extras);
            const int64_t end = start + span;
            const int64_t steps = span * 5 / 7 - uniform(0, 400);
            std::ostringstream where;
            where << std::string(text.begin(), text.end()) << " from " << start << " to " << end << ", "
                  << extras.size() << " extra holidays";
            SCOPED_TRACE(where.str());
            EXPECT_EQ(calendar->businessDayCount(static_cast<int32_t>(start), static_cast<int32_t>(end)),
                      reference::businessDayCount(*calendar, start, end));
            EXPECT_EQ(attempt([&] {
                          return calendar->plusBusinessDays(static_cast<int32_t>(start),
                                                            static_cast<int32_t>(steps));
                      }),
                      reference::plusBusinessDays(*calendar, start, steps));
            EXPECT_EQ(attempt([&] {
                          return calendar->plusBusinessDays(static_cast<int32_t>(end),
                                                            static_cast<int32_t>(-steps));
                      }),
                      reference::plusBusinessDays(*calendar, end, -steps));
        }
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

// ---- adjusting a list at once against adjusting each date alone ----

// adjustAll's result, or the message it fails with.
struct ListAnswer {
    std::vector<SerialDate> dates;
    std::string failure;
};

template <class F>
ListAnswer listAnswer(F&& f) {
    try {
        return {f(), ""};
    } catch (const char* message) {
        return {{}, message};
    }
}

ListAnswer oneByOne(const BusinessCalendar& calendar, const std::vector<SerialDate>& dates,
                    const std::wstring& convention) {
    return listAnswer([&] {
        std::vector<SerialDate> adjusted;
        for (const SerialDate date : dates)
            adjusted.push_back(calendar.adjust(date, convention));
        return adjusted;
    });
}

void expectSameAdjustment(const BusinessCalendar& calendar, const std::vector<SerialDate>& dates,
                          const std::wstring& convention) {
    const ListAnswer together = listAnswer([&] { return calendar.adjustAll(dates, convention); });
    const ListAnswer alone = oneByOne(calendar, dates, convention);
    EXPECT_EQ(together.failure, alone.failure);
    ASSERT_EQ(together.dates.size(), alone.dates.size());
    for (std::size_t i = 0; i < alone.dates.size(); ++i)
        ASSERT_EQ(together.dates[i].serial(), alone.dates[i].serial())
            << "date " << dates[i].serial() << " (entry " << i << " of " << dates.size() << ")";
}

class AdjustAll : public Differential {
protected:
    std::wstring convention() {
        return std::vector<std::wstring>{L"m", L"M", L"s", L"S", L"p", L"P", L"u", L"", L"mf"}[uniform(0, 8)];
    }

    // Schedule-like lists (stepped by a few days to a year, sometimes shuffled), or dates scattered over a
    // span, anywhere from the start of 1900 to the end of the 32-bit range.
    std::vector<SerialDate> dateList(int64_t lo, int64_t hi) {
        std::vector<SerialDate> dates;
        const int64_t count = chance(0.1) ? uniform(0, 2) : uniform(3, 700);
        if (chance(0.7)) {
            const int64_t step = std::vector<int64_t>{1, 7, 30, 91, 182, 365}[uniform(0, 5)] + uniform(-2, 2);
            int64_t day = dayIn(lo, hi);
            for (int64_t i = 0; i < count && day <= hi; ++i, day += step)
                dates.push_back(SerialDate(static_cast<int32_t>(day)));
            if (chance(0.3))
                std::shuffle(dates.begin(), dates.end(), random);
        } else {
            const int64_t from = dayIn(lo, hi);
            const int64_t span = chance(0.5) ? uniform(1, 3000) : uniform(1, hi - lo);
            for (int64_t i = 0; i < count; ++i)
                dates.push_back(SerialDate(static_cast<int32_t>(std::min(hi, from + uniform(0, span)))));
        }
        return dates;
    }
};

TEST_F(AdjustAll, MarketCalendarsOverTheWholeRange) {
    constexpr int64_t kLastDay = std::numeric_limits<int32_t>::max();
    for (int i = 0; i < 600; ++i) {
        const std::wstring& text =
            kCalendarTexts[uniform(0, static_cast<int64_t>(kCalendarTexts.size()) - 1)];
        const int64_t region = uniform(0, 9);
        const std::vector<SerialDate> dates = region == 0   ? dateList(-30, 1200)
                                              : region == 1 ? dateList(kLastDay - 3000, kLastDay)
                                                            : dateList(0, kLastHostDay);
        const auto calendar = CalendarFactory().createCalendar(text);
        calendar->setExtraHolidays(extraHolidays(dates.empty() ? 40000 : dates.front().serial()));
        const std::wstring how = convention();
        SCOPED_TRACE(std::string(text.begin(), text.end()) + ", " + std::to_string(dates.size()) +
                     " dates from " + (dates.empty() ? "-" : std::to_string(dates.front().serial())) +
                     ", convention " + std::string(how.begin(), how.end()));
        expectSameAdjustment(*calendar, dates, how);
    }
}

// Rules leaving their year: the Japanese equinoxes late in the range, the drifting rules, and a rule that
// leaves its year only every seventh year, so that some lists span only years that keep to themselves.
TEST_F(AdjustAll, RulesReachingIntoOtherYears) {
    const auto now = [](int32_t year, std::vector<int64_t>& out) {
        out.push_back(dayNumber64(15, 3, year));
        out.push_back(year % 7 == 0 ? dayNumber64(1, 1, year) - 1 : dayNumber64(24, 12, year));
        out.push_back(dayNumber64(31, 12, year));
    };
    for (int i = 0; i < 600; ++i) {
        const int64_t kind = uniform(0, 2);
        const auto calendar = kind == 0
                                  ? CalendarFactory().createCalendar(chance(0.5) ? L"JAPAN" : L"UK,JAPAN")
                              : kind == 1 ? mergedOf(std::make_unique<RuleCalendar>(driftingRules))
                                          : mergedOf(std::make_unique<RuleCalendar>(now));
        const std::vector<SerialDate> dates =
            kind == 0 ? dateList(SerialDate(1, 1, 7000).serial(), kLastHostDay) : dateList(0, kLastHostDay);
        calendar->setExtraHolidays(extraHolidays(dates.empty() ? 40000 : dates.front().serial()));
        const std::wstring how = convention();
        SCOPED_TRACE("kind " + std::to_string(kind) + ", " + std::to_string(dates.size()) + " dates from " +
                     (dates.empty() ? "-" : std::to_string(dates.front().serial())));
        expectSameAdjustment(*calendar, dates, how);
    }
}

// Long schedules with many extra holidays: runs of years longer than one set of closed days holds, dates
// far apart, and extra holidays both among the dates and between them.
TEST_F(AdjustAll, LongListsWithManyExtraHolidays) {
    struct Case {
        const wchar_t* text;
        int32_t first;
        int32_t step; // days between dates
        int32_t count;
    };
    const std::vector<Case> cases{
        {L"WEEKDAYS", SerialDate(31, 1, 2023).serial(), 30, 150000}, // some 12,300 years
        {L"NYSE,LONDON", 1, 91, 40000},
        {L"TARGET,JAPAN", SerialDate(1, 1, 7000).serial(), 29, 40000},
        {L"US", 1000000, 2000, 2000}, // a date every five or six years
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.text, c.text + std::wcslen(c.text)));
        std::vector<SerialDate> dates;
        for (int32_t i = 0; i < c.count; ++i)
            dates.push_back(SerialDate(c.first + i * c.step));
        std::vector<double> extras;
        for (int i = 0; i < 5000; ++i)
            extras.push_back(static_cast<double>(c.first + uniform(0, int64_t{c.step} * c.count)));
        const auto calendar = CalendarFactory().createCalendar(c.text);
        calendar->setExtraHolidays(extras);
        for (const wchar_t* how : {L"m", L"p"})
            expectSameAdjustment(*calendar, dates, how);
    }
}

// Searches that run out of the years around the dates: a block of extra holidays closing every day for
// more than a year, next to the dates, at the start of 1900 and at the end of the 32-bit range.
TEST_F(AdjustAll, SearchesLeavingTheYearsOfTheDates) {
    struct Case {
        const char* name;
        int32_t first; // the dates: first, first + step, ... (count of them)
        int32_t step;
        int32_t count;
        int32_t closedFrom; // extra holidays on every day of [closedFrom, closedFrom + closedDays)
        int32_t closedDays;
        bool leaking = false; // the market calendars, or a rule closing the last day of the year before
    };
    const int32_t y2000 = SerialDate(1, 1, 2000).serial();
    const int32_t last = std::numeric_limits<int32_t>::max();
    const std::vector<Case> cases{
        {"closed into the year after next", y2000 + 300, 5, 10, y2000 + 290, 900},
        {"closed from two years back", y2000 + 10, 3, 10, y2000 - 700, 760},
        {"one date in a closed stretch", y2000 + 500, 1, 1, y2000 - 400, 1500},
        {"the first days of 1900", 1, 1, 20, 0, 0},
        {"before 1900", -10, 1, 15, 0, 0},
        {"the last days of the range", last - 40, 1, 41, 0, 0},
        {"closed up to the end of the range", last - 400, 7, 50, last - 500, 500},
        // Open on 31 December 2001 for the years of the dates, closed there by a rule of 2002.
        {"up to a day the year after closes", SerialDate(1, 6, 2000).serial(), 3, 20,
         SerialDate(1, 6, 2000).serial(), 578, true},
    };
    // Every seventh year closes the day before it; the other years keep to themselves.
    const auto leaking = [](int32_t year, std::vector<int64_t>& out) {
        out.push_back(year % 7 == 0 ? dayNumber64(1, 1, year) - 1 : dayNumber64(15, 3, year));
    };
    for (const Case& c : cases) {
        std::vector<SerialDate> dates;
        for (int32_t i = 0; i < c.count; ++i)
            dates.push_back(SerialDate(c.first + i * c.step));
        std::vector<double> extras;
        for (int32_t i = 0; i < c.closedDays; ++i)
            extras.push_back(static_cast<double>(int64_t{c.closedFrom} + i));
        for (const wchar_t* text : {L"WEEKDAYS", L"NYSE,LONDON,TARGET"}) {
            const auto calendar = c.leaking ? mergedOf(std::make_unique<RuleCalendar>(leaking))
                                            : CalendarFactory().createCalendar(text);
            calendar->setExtraHolidays(extras);
            for (const wchar_t* how : {L"m", L"s", L"p"}) {
                SCOPED_TRACE(std::string(c.name) + ", convention " + static_cast<char>(how[0]));
                expectSameAdjustment(*calendar, dates, how);
            }
        }
    }
}

// ---- counting by kinds of years against the walk year by year ----

// The answer of a walk, or the message it fails with.
struct WalkAnswer {
    int64_t value = 0;
    std::string failure;
    friend bool operator==(const WalkAnswer&, const WalkAnswer&) = default;
    friend std::ostream& operator<<(std::ostream& out, const WalkAnswer& a) {
        return out << (a.failure.empty() ? std::to_string(a.value) : a.failure);
    }
};

template <class F>
WalkAnswer walkAnswer(F&& f) {
    try {
        return {f(), ""};
    } catch (const char* message) {
        return {0, message};
    }
}

// In-year dates by a kind of three (year % 3), and strays that stray: back into the year before, forward
// into the next (onto its kind's days now and then), and one inside the year itself. Every 97th year has
// no kind, so that walked years lie among the counted ones.
class StrayingKinds : public BusinessCalendar {
public:
    void appendHolidaysOfYear(int32_t year, std::vector<int64_t>& out) const override {
        const int64_t first = dayNumber64(1, 1, year);
        out.push_back(first + 10 + year % 3);
        out.push_back(first + 200);
        appendStrays(year, out);
    }
    bool kindOfYear(const YearFacts& year, uint64_t& kind, std::vector<int64_t>& strays) const override {
        if (year.year() % 97 == 0)
            return false;
        kind = static_cast<uint64_t>(year.year() % 3);
        appendStrays(year.year(), strays);
        return true;
    }
    bool hasSameRulesAs(const BusinessCalendar& other) const override { return this == &other; }

private:
    static void appendStrays(int32_t year, std::vector<int64_t>& out) {
        const int64_t first = dayNumber64(1, 1, year);
        const int64_t last = dayNumber64(31, 12, year);
        out.push_back(first - 5 - year % 50);
        out.push_back(last + 9 + year % 5); // 10 to 14 January: the next year's kind days now and then
        out.push_back(first + 100 + year % 11);
        if (year % 4 == 0)
            out.push_back(first - 2000 - year % 300);
    }
};

class Kinds : public Differential {
protected:
    // Counting and stepping both ways from `start`, by kinds and year by year.
    void compareWalks(const BusinessCalendar& calendar, int64_t start, int64_t end) {
        std::ostringstream where;
        where << start << " to " << end;
        SCOPED_TRACE(where.str());
        const auto count = [&](sweep::Walk walk) {
            return walkAnswer([&] { return sweep::closedWeekdays(calendar, start, end, walk); });
        };
        EXPECT_EQ(count(sweep::Walk::byKinds), count(sweep::Walk::yearByYear));
        const int64_t weekdays = sweep::weekdaysThrough(end - 1) - sweep::weekdaysThrough(start - 1);
        for (const int64_t steps : {weekdays * 9 / 10, weekdays + 3}) {
            if (steps < 1)
                continue;
            const auto step = [&](int64_t from, int64_t direction, sweep::Walk walk) {
                return walkAnswer(
                    [&] { return sweep::stepBusinessDays(calendar, from, steps, direction, walk); });
            };
            SCOPED_TRACE("steps " + std::to_string(steps));
            EXPECT_EQ(step(start, 1, sweep::Walk::byKinds), step(start, 1, sweep::Walk::yearByYear));
            EXPECT_EQ(step(end, -1, sweep::Walk::byKinds), step(end, -1, sweep::Walk::yearByYear));
        }
    }

    // A day near a year's boundary (on 1 January, 31 December or a few days from them) or anywhere.
    int64_t boundaryDay(int32_t year) {
        const int64_t first = dayNumber64(1, 1, year);
        switch (uniform(0, 4)) {
        case 0:
            return first;
        case 1:
            return first - 1;
        case 2:
            return first + uniform(-4, 4);
        default:
            return first + uniform(0, 365);
        }
    }
};

const std::vector<std::wstring> kEveryCalendarName{
    L"WEEKDAYS", L"US",   L"NYSE", L"UK",   L"JAPAN", L"TARGET", L"SINGAPORE", L"SWITZERLAND",
    L"USNY",     L"USGS", L"XNYS", L"GBLO", L"EUTA",  L"CHZU",   L"JPTO",      L"SGSI"};

// Every calendar alone and a few joined, over thousands of years from anywhere in the range: where rules
// start and end, where Japan's equinoxes leave their year, and up to the last day.
TEST_F(Kinds, EveryCalendarOverThousandsOfYears) {
    std::vector<std::wstring> texts = kEveryCalendarName;
    for (const wchar_t* joined :
         {L"US,UK,TARGET,JAPAN,SINGAPORE,NYSE,SWITZERLAND,WEEKDAYS", L"JAPAN,US", L"USNY,USGS,XNYS,GBLO",
          L"EUTA,CHZU,JPTO", L"JAPAN,JPTO,UK", L"SGSI,US", L"US,US,JAPAN,JAPAN"})
        texts.push_back(joined);
    const int32_t lastYear = SerialDate(std::numeric_limits<int32_t>::max()).year();
    for (const std::wstring& text : texts) {
        SCOPED_TRACE(std::string(text.begin(), text.end()));
        const auto calendar = CalendarFactory().createCalendar(text);
        for (int i = 0; i < 6; ++i) {
            const std::vector<int32_t> fromYears{1900,  1990,   2020,    19000,
                                                 19300, 424242, 3000000, lastYear - 5000};
            const int32_t year = i < 3 ? fromYears[static_cast<std::size_t>(uniform(0, 7))]
                                       : static_cast<int32_t>(uniform(1900, lastYear - 4000));
            const int64_t start = std::max<int64_t>(1, boundaryDay(year));
            const int64_t end = std::min<int64_t>(std::numeric_limits<int32_t>::max(),
                                                  boundaryDay(year + static_cast<int32_t>(uniform(1, 3500))));
            calendar->setExtraHolidays(chance(0.5) ? std::vector<double>{}
                                                   : extraHolidays(start + uniform(0, end - start)));
            if (end > start)
                compareWalks(*calendar, start, end);
        }
    }
}

// Extra holidays by the hundred in the middle of a span and at its ends: the years holding them are walked.
TEST_F(Kinds, ExtraHolidaysAmongCountedYears) {
    const auto calendar =
        CalendarFactory().createCalendar(L"US,UK,TARGET,JAPAN,SINGAPORE,NYSE,SWITZERLAND,WEEKDAYS");
    for (int i = 0; i < 6; ++i) {
        const int64_t start = dayIn(1, 1500000000);
        const int64_t end = start + uniform(400000, 1200000);
        std::vector<double> extras;
        for (int64_t k = 0, n = uniform(50, 500); k < n; ++k)
            extras.push_back(static_cast<double>(start + uniform(-100, end - start + 100)));
        calendar->setExtraHolidays(extras);
        compareWalks(*calendar, start, end);
    }
}

// A calendar whose strays reach both ways and meet days counted by kind, and whose years without a kind
// lie among the others.
TEST_F(Kinds, StraysMeetingCountedYears) {
    const auto calendar = mergedOf(std::make_unique<StrayingKinds>(), std::make_unique<USCalendar>());
    for (int i = 0; i < 12; ++i) {
        const int32_t year = static_cast<int32_t>(uniform(1900, 5000000));
        const int64_t start = std::max<int64_t>(1, boundaryDay(year));
        const int64_t end = boundaryDay(year + static_cast<int32_t>(uniform(1, 2500)));
        calendar->setExtraHolidays(chance(0.3) ? extraHolidays(end) : std::vector<double>{});
        compareWalks(*calendar, start, end);
    }
}

// Steps of a thousand years and more, both ways, against the walk year by year, up to the ends of the range.
TEST_F(Kinds, LongStepsBothWays) {
    const auto calendar = CalendarFactory().createCalendar(L"JAPAN,TARGET,UK");
    const int64_t last = std::numeric_limits<int32_t>::max();
    for (const int64_t from : {int64_t{35}, int64_t{1000000}, last - 1, last - 2000000, int64_t{700000000}}) {
        for (const int64_t steps : {int64_t{260000}, int64_t{1300000}}) {
            SCOPED_TRACE(std::to_string(from) + " by " + std::to_string(steps));
            for (const int64_t direction : {1, -1}) {
                const auto step = [&](sweep::Walk walk) {
                    return walkAnswer(
                        [&] { return sweep::stepBusinessDays(*calendar, from, steps, direction, walk); });
                };
                EXPECT_EQ(step(sweep::Walk::byKinds), step(sweep::Walk::yearByYear));
            }
        }
    }
}

// A calendar whose kinds are Easter's from some year on says so truly: the walk then asks it no more.
TEST_F(Kinds, EasterKindsAreWhatTheCalendarsSay) {
    for (const std::wstring& name : kEveryCalendarName) {
        const auto merged = CalendarFactory().createCalendar(name);
        const BusinessCalendar& calendar = *merged->distinctCalendars().front();
        const int32_t from = calendar.easterKindsFrom();
        if (from == std::numeric_limits<int32_t>::max())
            continue;
        SCOPED_TRACE(std::string(name.begin(), name.end()));
        for (const int64_t year : {int64_t{from}, int64_t{from} + 1, int64_t{2100}, int64_t{2200},
                                   uniform(from, 5000000), int64_t{5880000}}) {
            const YearFacts facts(static_cast<int32_t>(year));
            uint64_t kind = 0;
            std::vector<int64_t> strays;
            ASSERT_TRUE(calendar.kindOfYear(facts, kind, strays)) << year;
            EXPECT_EQ(kind, static_cast<uint64_t>(facts.easterMondayDayOfYear())) << year;
            EXPECT_TRUE(strays.empty()) << year;
        }
    }
}

// A walk steps Easter Monday from year to year, both ways, through century years (leap or not) and into and
// out of the table's years.
TEST_F(Kinds, EasterMondaysSteppedFromYearToYear) {
    for (const int64_t from : {int64_t{1900}, int64_t{2150}, int64_t{2390}, int64_t{39950},
                               uniform(2200, 5000000), int64_t{5879000}}) {
        SCOPED_TRACE(from);
        sweep::EasterMondays forward;
        sweep::EasterMondays backward;
        for (int32_t k = 0; k < 700; ++k) {
            const auto up = static_cast<int32_t>(from + k);
            const auto down = static_cast<int32_t>(from + 699 - k);
            ASSERT_EQ(forward.of(up), easterMondayDayOfYear(up)) << up;
            ASSERT_EQ(backward.of(down), easterMondayDayOfYear(down)) << down;
        }
        sweep::EasterMondays jumping; // a walk restarted elsewhere
        for (int k = 0; k < 50; ++k) {
            const auto year = static_cast<int32_t>(uniform(1900, 5880000));
            ASSERT_EQ(jumping.of(year), easterMondayDayOfYear(year)) << year;
        }
    }
}

// The year of a day, as the walk finds it, at the turns of years of every place in the leap cycle.
TEST_F(Kinds, YearOfDaysAroundNewYear) {
    for (int i = 0; i < 400; ++i) {
        const auto year = static_cast<int32_t>(i < 8 ? 1900 + i : uniform(1901, 5879000));
        for (const int64_t day : {sweep::firstDayOfYear(year) - 1, sweep::firstDayOfYear(year),
                                  sweep::firstDayOfYear(year) + 364, sweep::lastDayOfYear(year)}) {
            if (day >= 1) {
                ASSERT_EQ(sweep::yearOf(day), SerialDate(static_cast<int32_t>(day)).year()) << day;
            }
        }
    }
    EXPECT_EQ(sweep::yearOf(0), 1900);
    EXPECT_EQ(sweep::yearOf(std::numeric_limits<int32_t>::max()),
              SerialDate(std::numeric_limits<int32_t>::max()).year());
}

} // namespace
