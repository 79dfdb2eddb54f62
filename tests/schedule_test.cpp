#include "daycount/Schedule.h"

#include "calendars/Messages.h"
#include "dates/Messages.h"
#include "daycount/Messages.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

using namespace tavrin;

namespace {

SerialDate d(int32_t day, int32_t month, int32_t year) {
    return SerialDate(day, month, year);
}

// The same date as a worksheet number.
double at(int32_t day, int32_t month, int32_t year) {
    return d(day, month, year).serial();
}

// A valid quarterly schedule without stubs, 1 January 2011 to 1 January 2012; cases change what they test.
struct Inputs {
    double effective = 40544;
    double firstRegular = 40544;
    double lastRegular = 40909;
    double maturity = 40909;
    double rollDay = 1;
    std::wstring tenor = L"3M";
    std::wstring ctrl = L"u";
    std::wstring calendar = L"WEEKDAYS";
    std::vector<double> extraHolidays = {};
};

// The schedule as the worksheet function builds it, texts read where it reads them.
std::vector<SerialDate> schedule(const Inputs& in) {
    std::vector<SerialDate> dates;
    for (const double serial : sched_Schedule(in.effective, in.firstRegular, in.lastRegular, in.maturity,
                                              in.rollDay, in.tenor, in.ctrl, in.calendar, in.extraHolidays))
        dates.push_back(SerialDate(static_cast<int32_t>(serial)));
    return dates;
}

struct FailureCase {
    const char* note;
    Inputs inputs;
    const char* message;
};

void expectFailures(const std::vector<FailureCase>& cases) {
    for (const FailureCase& c : cases) {
        try {
            schedule(c.inputs);
            ADD_FAILURE() << c.note << ": no failure";
        } catch (const char* message) {
            EXPECT_STREQ(message, c.message) << c.note;
        }
    }
}

// A monthly run from `first` to `last` with neither stub.
Inputs monthlyRun(SerialDate first, SerialDate last, double rollDay) {
    return {.effective = static_cast<double>(first.serial()),
            .firstRegular = static_cast<double>(first.serial()),
            .lastRegular = static_cast<double>(last.serial()),
            .maturity = static_cast<double>(last.serial()),
            .rollDay = rollDay,
            .tenor = L"1M"};
}

} // namespace

TEST(Schedule, QuarterlyWithoutStubsRepeatsBothEnds) {
    const std::vector<SerialDate> expected{d(1, 1, 2011),  d(1, 1, 2011), d(1, 4, 2011), d(1, 7, 2011),
                                           d(1, 10, 2011), d(1, 1, 2012), d(1, 1, 2012)};
    EXPECT_EQ(schedule({}), expected);
    const std::vector<double> serials =
        sched_Schedule(40544.5, 40544.5, 40909, 40909.9, 1, L"3M", L"u", L"WEEKDAYS", {});
    ASSERT_EQ(serials.size(), expected.size());
    for (std::size_t i = 0; i < serials.size(); ++i)
        EXPECT_EQ(serials[i], expected[i].serial()) << "entry " << i;
}

TEST(Schedule, StubsAndSingleRegularDate) {
    Inputs in{.effective = at(10, 1, 2011),
              .firstRegular = at(15, 3, 2011),
              .lastRegular = at(15, 9, 2011),
              .maturity = at(30, 10, 2011),
              .rollDay = 15};
    EXPECT_EQ(schedule(in), (std::vector<SerialDate>{d(10, 1, 2011), d(15, 3, 2011), d(15, 6, 2011),
                                                     d(15, 9, 2011), d(30, 10, 2011)}));
    in.lastRegular = in.firstRegular;
    EXPECT_EQ(schedule(in), (std::vector<SerialDate>{d(10, 1, 2011), d(15, 3, 2011), d(30, 10, 2011)}));
}

TEST(Schedule, RollRuleWalks) {
    const struct {
        const char* note;
        SerialDate first;
        double rollDay;
        std::vector<SerialDate> steps;
    } cases[] = {
        {"roll 31: clamped month ends kept, 28 March moved to the 31st",
         d(31, 1, 2011),
         31,
         {d(28, 2, 2011), d(31, 3, 2011), d(30, 4, 2011), d(31, 5, 2011)}},
        {"roll 15 from a month end: 30 May moves back to the 15th", d(30, 4, 2011), 15, {d(15, 5, 2011)}},
        {"roll 15 from 31 January: 28 February kept as a month end",
         d(31, 1, 2011),
         15,
         {d(28, 2, 2011), d(15, 3, 2011)}},
        {"roll 20 from 31 March: 30 April kept, then the 20th",
         d(31, 3, 2011),
         20,
         {d(30, 4, 2011), d(20, 5, 2011)}},
        {"roll 30 from 30 January",
         d(30, 1, 2011),
         30,
         {d(28, 2, 2011), d(30, 3, 2011), d(30, 4, 2011), d(30, 5, 2011)}},
        {"roll 31 through 29 February 2100, which exists",
         d(31, 1, 2100),
         31,
         {d(29, 2, 2100), d(31, 3, 2100)}},
        // 28 March moves by 15.5 - 28 = -12.5 days, truncated toward zero.
        {"fractional roll day", d(31, 1, 2011), 15.5, {d(28, 2, 2011), d(16, 3, 2011)}},
    };
    for (const auto& c : cases) {
        std::vector<SerialDate> expected{c.first, c.first};
        expected.insert(expected.end(), c.steps.begin(), c.steps.end());
        expected.push_back(c.steps.back());
        EXPECT_EQ(schedule(monthlyRun(c.first, c.steps.back(), c.rollDay)), expected) << c.note;
    }
}

TEST(Schedule, FailuresInDetectionOrder) {
    // Each row breaks its own check and the later ones it can, so only the order picks the message.
    expectFailures({
        {"tenor first", {.firstRegular = 40543, .tenor = L"3D", .calendar = L"MOON"}, messages::InvalidTenor},
        {"first regular before effective",
         {.firstRegular = 40543, .lastRegular = 40542, .calendar = L"MOON"},
         messages::FirstRegularBeforeEffective},
        {"compared untruncated",
         {.effective = 40000.5, .firstRegular = 40000.2},
         messages::FirstRegularBeforeEffective},
        {"first regular date 0", {.firstRegular = 0}, messages::FirstRegularBeforeEffective},
        {"last regular before first",
         {.lastRegular = 40543, .maturity = 40542},
         messages::LastRegularBeforeFirstRegular},
        {"maturity before last regular",
         {.maturity = 40908.5, .rollDay = 40},
         messages::MaturityBeforeLastRegular},
        {"15 March off roll day 20", {.firstRegular = 40617, .rollDay = 20}, messages::RollDayMismatch},
        {"roll day 0 from 31 March",
         {.firstRegular = 40633, .rollDay = 0, .calendar = L"MOON"},
         messages::InvalidRollDay},
        {"roll day 32 from 31 March", {.firstRegular = 40633, .rollDay = 32}, messages::InvalidRollDay},
        {"roll day NaN from 31 March", {.firstRegular = 40633, .rollDay = NAN}, messages::InvalidRollDay},
        {"15 January to 1 July by 3M",
         {.firstRegular = 40558, .lastRegular = 40725, .rollDay = 15, .calendar = L"MOON"},
         messages::InvalidScheduleInputs},
        {"fractional last regular date",
         {.lastRegular = 40909.5, .maturity = 40909.5},
         messages::InvalidScheduleInputs},
        {"calendar last", {.calendar = L"TARGET,"}, messages::InvalidHolidayCalendar},
    });
}

TEST(Schedule, WalksThatCannotArriveEndPromptly) {
    expectFailures({
        // A negative tenor walks back from the first regular date until it leaves the date range.
        {"backwards", {.tenor = L"-3M"}, messages::InvalidDate},
        {"backwards from far",
         {.lastRegular = 2147483647, .maturity = 2147483647, .tenor = L"-1M"},
         messages::InvalidDate},
        // A last regular date past the last day number is never reached.
        {"1e300", {.lastRegular = 1e300, .maturity = 1e300}, messages::InvalidDate},
        {"infinite", {.lastRegular = INFINITY, .maturity = INFINITY}, messages::InvalidDate},
        {"last regular NaN", {.lastRegular = NAN}, messages::InvalidScheduleInputs},
        {"maturity NaN", {.maturity = NAN}, messages::InvalidDate},
        {"effective NaN", {.effective = NAN}, messages::InvalidDate},
        {"first regular NaN", {.firstRegular = NAN}, messages::InvalidDate},
    });
    // With no step to take, a negative tenor is harmless.
    EXPECT_EQ(schedule({.lastRegular = 40544, .tenor = L"-3M"}).size(), 3u);
}

TEST(Schedule, LengthIsBoundedByAWorksheetColumn) {
    // Monthly month ends from 31 January 1900: k steps give k + 3 dates.
    const SerialDate first = d(31, 1, 1900);
    const auto run = [&](int32_t steps) {
        return monthlyRun(first, first.plusMonths(steps).endOfMonth(), 31);
    };

    // 87,000 years of months still fit a column; one month more does not.
    const std::vector<SerialDate> longest = schedule(run(1048573));
    ASSERT_EQ(longest.size(), 1048576u);
    EXPECT_EQ(longest[100], d(30, 4, 1908)); // 99 months on
    EXPECT_EQ(longest[1048574], first.plusMonths(1048573).endOfMonth());
    expectFailures(
        {{"one month more", run(1048574), messages::ScheduleTooLong},
         {"five million years", monthlyRun(first, d(31, 12, 5000000), 31), messages::ScheduleTooLong}});

    Inputs bimonthly = run(1048574);
    bimonthly.tenor = L"2M";
    EXPECT_EQ(schedule(bimonthly).size(), 1048574u / 2 + 3);
}

TEST(Schedule, AdjustsOnTheJoinedCalendarWithExtraHolidays) {
    // 25 December 2011 is a Sunday; the 26th is a holiday in both markets, the 27th in London only.
    Inputs in = monthlyRun(d(25, 10, 2011), d(25, 12, 2011), 25);
    const auto adjusted = [&](std::wstring ctrl, std::wstring calendar, std::vector<double> extra) {
        in.ctrl = std::move(ctrl);
        in.calendar = std::move(calendar);
        in.extraHolidays = std::move(extra);
        return schedule(in);
    };
    const SerialDate tue = d(25, 10, 2011), fri = d(25, 11, 2011);
    using Dates = std::vector<SerialDate>;
    EXPECT_EQ(adjusted(L"s", L"TARGET", {}), (Dates{tue, tue, fri, d(27, 12, 2011), d(27, 12, 2011)}));
    EXPECT_EQ(adjusted(L"S", L"TARGET,LONDON", {}), (Dates{tue, tue, fri, d(28, 12, 2011), d(28, 12, 2011)}));
    EXPECT_EQ(adjusted(L"m", L"TARGET,LONDON", {at(28, 12, 2011), at(25, 10, 2011)}),
              (Dates{d(26, 10, 2011), d(26, 10, 2011), fri, d(29, 12, 2011), d(29, 12, 2011)}));
    EXPECT_EQ(adjusted(L"p", L"TARGET,LONDON", {}), (Dates{tue, tue, fri, d(23, 12, 2011), d(23, 12, 2011)}));
    EXPECT_EQ(adjusted(L"u", L"TARGET,LONDON", {}), (Dates{tue, tue, fri, d(25, 12, 2011), d(25, 12, 2011)}));
}
