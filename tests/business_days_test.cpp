#include "TestCalendars.h"

#include "calendars/BusinessDayConvention.h"
#include "calendars/BusinessDayFunctions.h"
#include "calendars/CalendarFactory.h"
#include "calendars/HolidayListing.h"
#include "calendars/HolidaySweep.h"
#include "calendars/Messages.h"
#include "calendars/NYSECalendar.h"
#include "calendars/UKCalendar.h"
#include "calendars/WeekdaysOnlyCalendar.h"
#include "dates/Messages.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <typeinfo>

using namespace tavrin;

namespace {

using testing_calendars::ListCalendar;
using testing_calendars::mergedOf;

constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
constexpr int32_t kMin = std::numeric_limits<int32_t>::min();
const std::vector<double> kNone;

template <class F>
void expectFailure(F&& f, const char* message) {
    try {
        f();
        ADD_FAILURE() << "no failure, expected \"" << message << "\"";
    } catch (const char* thrown) {
        EXPECT_STREQ(thrown, message);
    }
}

int32_t date(int32_t day, int32_t month, int32_t year) {
    return SerialDate(day, month, year).serial();
}

// ---- names, texts and joining ----

TEST(Texts, CompareIgnoringCaseBy0x20AndSplitAtEverySeparator) {
    EXPECT_TRUE(equalsIgnoringCase(L"m", L"M"));
    EXPECT_TRUE(equalsIgnoringCase(L"Act/360", L"ACT/360"));
    EXPECT_TRUE(equalsIgnoringCase(L"", L""));
    EXPECT_TRUE(equalsIgnoringCase(L"@", L"`")); // the bit is flipped for any character, not letters only
    EXPECT_FALSE(equalsIgnoringCase(L"mf", L"m"));
    EXPECT_FALSE(equalsIgnoringCase(L"n", L"m"));

    using Pieces = std::vector<std::wstring>;
    EXPECT_EQ(splitText(L"", L','), Pieces{L""});
    EXPECT_EQ(splitText(L"TARGET,", L','), (Pieces{L"TARGET", L""}));
    EXPECT_EQ(splitText(L"NYSE,,UK", L','), (Pieces{L"NYSE", L"", L"UK"}));
    EXPECT_EQ(splitText(L",", L','), (Pieces{L"", L""}));
    EXPECT_EQ(splitText(L"TARGET;NYSE", L','), Pieces{L"TARGET;NYSE"});
}

TEST(CalendarFactory, MakesOneMemberPerName) {
    const auto calendar = CalendarFactory().createCalendar(L"NY,LONDON,LON,WEEKDAYS,NYSE");
    const auto& members = calendar->calendars();
    ASSERT_EQ(members.size(), 5u);
    // Through a reference: typeid of a call's result evaluates the call, which clang warns about.
    const auto type = [&](std::size_t i) -> const std::type_info& {
        const auto& member = *members[i];
        return typeid(member);
    };
    EXPECT_EQ(type(0), typeid(NYSECalendar));
    EXPECT_EQ(type(1), typeid(UKCalendar));
    EXPECT_EQ(type(2), typeid(UKCalendar));
    EXPECT_EQ(type(3), typeid(WeekdaysOnlyCalendar));
    EXPECT_EQ(type(4), typeid(NYSECalendar));
    EXPECT_EQ(calendar->distinctCalendars().size(), 3u); // a repeated calendar adds no dates
    for (const wchar_t* name : {L"US", L"UK", L"JAPAN", L"TARGET", L"SINGAPORE", L"SWITZERLAND"})
        EXPECT_EQ(CalendarFactory().createCalendar(name)->calendars().size(), 1u);
}

TEST(CalendarFactory, RefusesAnyOtherPiece) {
    for (const wchar_t* text : {L"", L"target", L"Target", L" TARGET", L"TARGET ", L"TARGET;NYSE", L"TARGET,",
                                L"NYSE,,UK", L"EUR"}) {
        SCOPED_TRACE(std::string(text, text + std::wcslen(text)));
        expectFailure([&] { CalendarFactory().createCalendar(text); }, messages::InvalidHolidayCalendar);
    }
}

TEST(MergedCalendar, KeepsTheFirstListAndAddsOnlyNewDates) {
    const int32_t j = date(1, 1, 2001);
    const auto calendar = mergedOf(
        std::make_unique<ListCalendar>(
            std::map<int32_t, std::vector<int64_t>>{{2001, {j + 9, j + 4, j + 9}}}),
        std::make_unique<ListCalendar>(
            std::map<int32_t, std::vector<int64_t>>{{2001, {j + 4, j + 6, j + 6, j + 2}}}),
        std::make_unique<WeekdaysOnlyCalendar>(),
        std::make_unique<ListCalendar>(std::map<int32_t, std::vector<int64_t>>{{2001, {j + 2, j + 10}}}));
    calendar->setExtraHolidays({double(j + 20)}); // extra holidays are never listed
    using Days = std::vector<double>;
    EXPECT_EQ(calendar->holidays(j, j + 30), (Days{double(j + 9), double(j + 4), double(j + 9), double(j + 6),
                                                   double(j + 2), double(j + 10)}));
    EXPECT_EQ(sched_Holidays(j, j + 30, L"WEEKDAYS", {double(j + 3)}), Days{});
    EXPECT_EQ(calendar->holidays(j + 5, j + 4), Days{});
    // The same calendar named twice lists what it lists once, and naming it thousands of times is no dearer.
    std::wstring many = L"US";
    for (int i = 0; i < 5000; ++i)
        many += L",US";
    EXPECT_EQ(CalendarFactory().createCalendar(many)->holidays(36526, 40000),
              CalendarFactory().createCalendar(L"US")->holidays(36526, 40000));
    EXPECT_EQ(sched_BusinessDayCount(0, 2958465, many, kNone),
              sched_BusinessDayCount(0, 2958465, L"US", kNone));
}

// ---- business-day operations ----

// 36526 is Saturday 1 January 2000; 36532 Friday 7 January.
TEST(BusinessDays, OnWeekdaysOnly) {
    EXPECT_FALSE(sched_IsBusinessDay(36526, L"WEEKDAYS", kNone));
    EXPECT_FALSE(sched_IsBusinessDay(36527, L"WEEKDAYS", kNone));
    EXPECT_TRUE(sched_IsBusinessDay(36528.9, L"WEEKDAYS", kNone));
    EXPECT_FALSE(sched_IsBusinessDay(36528, L"WEEKDAYS", {36528}));
    EXPECT_TRUE(
        sched_IsBusinessDay(36528, L"WEEKDAYS", {36528.5, std::nan("")})); // a fraction matches no day

    struct Case {
        double start, end, count;
    };
    for (const Case& c : std::vector<Case>{{36528, 36535, 5},
                                           {36528, 36528, 0},
                                           {36535, 36528, -7},
                                           {0, 2, 0},
                                           {-10, 10, 6},
                                           {0, kMax, 1533916890}})
        EXPECT_EQ(sched_BusinessDayCount(c.start, c.end, L"WEEKDAYS", kNone), c.count)
            << c.start << ".." << c.end;

    struct Step {
        double from, days, to;
    };
    for (const Step& s : std::vector<Step>{{36532, 1, 36535},
                                           {36526, 1, 36528},
                                           {36526, -1, 36525},
                                           {36528, -1, 36525},
                                           {36526, 0, 36526}, // not moved, though a Saturday
                                           {36528, 1.9, 36529},
                                           {36529, -1.9, 36528},
                                           {36528, 10, 36542},
                                           {36542, -10, 36528},
                                           {-500, 1, 2}, // day 2 is the first business day there is
                                           {3, -1, 2}})
        EXPECT_EQ(sched_plusBusinessDays(s.from, s.days, L"WEEKDAYS", kNone), s.to)
            << s.from << " + " << s.days;

    EXPECT_EQ(sched_nextBusinessDay(36528, L"WEEKDAYS", kNone), 36529);
    EXPECT_EQ(sched_previousBusinessDay(36528, L"WEEKDAYS", kNone), 36525);
    for (int32_t day = date(1, 9, 2000); day <= date(30, 9, 2000); ++day)
        ASSERT_EQ(sched_LastBusDayOfMonth(day, L"WEEKDAYS", kNone), date(29, 9, 2000));
}

TEST(BusinessDays, AdjustByConventionLetter) {
    const int32_t saturday = 36799, friday = 36798,
                  monday = 36801; // 30 September, 29 September, 2 October 2000
    struct Case {
        const wchar_t* convention;
        int32_t expected;
    };
    for (const Case& c : std::vector<Case>{{L"p", friday},
                                           {L"P", friday},
                                           {L"s", monday},
                                           {L"S", monday},
                                           {L"m", friday}, // the following day would leave September
                                           {L"M", friday},
                                           {L"u", saturday},
                                           {L"f", saturday},
                                           {L"", saturday},
                                           {L"mf", saturday}}) {
        SCOPED_TRACE(std::string(c.convention, c.convention + std::wcslen(c.convention)));
        EXPECT_EQ(sched_AdjustToBusDay(saturday + 0.5, c.convention, L"WEEKDAYS", kNone), c.expected);
        EXPECT_EQ(sched_AdjustToBusDay(friday, c.convention, L"WEEKDAYS", kNone),
                  friday); // a business day stays
    }
    // Modified following stays in the month when it can.
    EXPECT_EQ(sched_AdjustToBusDay(date(16, 9, 2000), L"m", L"WEEKDAYS", kNone), date(18, 9, 2000));
    const std::vector<SerialDate> adjusted =
        CalendarFactory()
            .createCalendar(L"WEEKDAYS")
            ->adjustAll({SerialDate(saturday), SerialDate(friday), SerialDate(saturday + 1)}, L"s");
    EXPECT_EQ(adjusted,
              (std::vector<SerialDate>{SerialDate(monday), SerialDate(friday), SerialDate(monday)}));
}

// Extra holidays and rule holidays close weekdays; both lists may repeat days, and rule holidays on weekends
// change nothing.
TEST(BusinessDays, AroundHolidays) {
    const int32_t monday = 36528; // 3 January 2000
    const auto calendar = mergedOf(std::make_unique<ListCalendar>(std::map<int32_t, std::vector<int64_t>>{
        {2000, {monday, monday, 36526, date(29, 9, 2000), date(2, 10, 2000)}}}));
    calendar->setExtraHolidays({36529, 36529, 36535.25});
    EXPECT_EQ(calendar->businessDayCount(36526, 36537), 5);
    EXPECT_EQ(calendar->nonBusinessDays(36526, 36531),
              (std::vector<double>{36526, 36527, 36528, 36529})); // each day once
    EXPECT_EQ(calendar->plusBusinessDays(36525, 1), 36530);
    EXPECT_EQ(calendar->plusBusinessDays(36530, -1), 36525);
    EXPECT_EQ(calendar->plusBusinessDays(36525, 4), 36535);
    EXPECT_EQ(calendar->lastBusinessDayOfMonth(date(5, 9, 2000)), date(28, 9, 2000));
    EXPECT_EQ(calendar->adjust(SerialDate(date(30, 9, 2000)), L"m"), SerialDate(date(28, 9, 2000)));
    EXPECT_EQ(calendar->adjust(SerialDate(date(30, 9, 2000)), L"s"), SerialDate(date(3, 10, 2000)));
}

// A window sees the rules of the years from its first day's to the year of the day after its last: a
// rule of 2001 falling on Friday 29 December 2000 closes that day only for windows reaching into 2001.
TEST(BusinessDays, SeeTheRulesOfTheYearsTheirWindowReaches) {
    const int32_t friday = date(29, 12, 2000);
    const auto calendar =
        mergedOf(std::make_unique<ListCalendar>(std::map<int32_t, std::vector<int64_t>>{{2001, {friday}}}));
    EXPECT_TRUE(calendar->isBusinessDay(friday)); // [friday, friday + 1) stays in 2000
    EXPECT_EQ(calendar->businessDayCount(friday, friday + 1), 1);
    EXPECT_EQ(calendar->businessDayCount(friday, date(1, 1, 2001)), 0); // ends at 1 January: 2001's rules
    EXPECT_EQ(calendar->plusBusinessDays(friday - 1, 1), friday);       // [friday, friday] stays in 2000
    EXPECT_EQ(calendar->previousBusinessDay(date(1, 1, 2001)),
              friday - 1); // [friday, 31 December] reaches 2001
}

TEST(BusinessDays, FailWhereTheSearchWouldNeverEndOrLeaveTheRange) {
    const auto weekdays = CalendarFactory().createCalendar(L"WEEKDAYS");
    // No business day lies at or below day 1.
    for (const int32_t day : {2, 1, 0, -7, kMin})
        expectFailure([&] { weekdays->previousBusinessDay(day); }, messages::InvalidDate);
    expectFailure([&] { weekdays->plusBusinessDays(100, -100); }, messages::InvalidDate);
    expectFailure([&] { weekdays->adjust(SerialDate(1), L"p"); }, messages::InvalidDate);
    EXPECT_EQ(weekdays->adjust(SerialDate(0), L"m"), SerialDate(2)); // 2 is still in January 1900
    // kMax is a Sunday: the last business day is kMax - 2, whose window still ends inside the range.
    EXPECT_FALSE(weekdays->isBusinessDay(kMax));
    EXPECT_EQ(weekdays->nextBusinessDay(kMax - 3), kMax - 2);
    for (const int32_t day : {kMax - 2, kMax})
        expectFailure([&] { weekdays->nextBusinessDay(day); }, messages::InvalidDate);
    expectFailure([&] { weekdays->plusBusinessDays(0, kMax); }, messages::InvalidDate);
    // Counts beyond 32 bits: only a reversed span gives one, since days of 1 and below are no business days.
    EXPECT_EQ(weekdays->businessDayCount(kMin, kMax), 1533916890);
    expectFailure([&] { weekdays->businessDayCount(kMax, kMin); }, messages::InvalidDate);
    EXPECT_EQ(weekdays->businessDayCount(kMax, -1), kMin);
    // Worksheet numbers that are no 32-bit day or count; the calendar text is checked first.
    expectFailure([] { sched_IsBusinessDay(std::nan(""), L"WEEKDAYS", kNone); }, messages::InvalidDate);
    expectFailure([] { sched_plusBusinessDays(36526, 3e9, L"WEEKDAYS", kNone); }, messages::InvalidDate);
    expectFailure([] { sched_BusinessDayCount(-HUGE_VAL, 0, L"WEEKDAYS", kNone); }, messages::InvalidDate);
    expectFailure([] { sched_Holidays(0, 1e10, L"US", kNone); }, messages::InvalidDate);
    expectFailure([] { sched_nextBusinessDay(std::nan(""), L"US,", kNone); },
                  messages::InvalidHolidayCalendar);
}

// A calendar covering only some years refuses the others with a message of its own. The operations ask for
// a year only when their window reaches it, and let the refusal through.
constexpr const char* kYearNotCovered = "year not covered";

std::unique_ptr<MergedBusinessCalendar> coveringUpTo(int32_t lastYear) {
    return mergedOf(std::make_unique<testing_calendars::RuleCalendar>([lastYear](int32_t year, auto& out) {
        if (year > lastYear)
            throw kYearNotCovered;
        out.push_back(dayNumber64(15, 3, year));
    }));
}

TEST(BusinessDays, AskOnlyForTheYearsTheirWindowReachesAndLetRefusalsThrough) {
    const auto calendar = coveringUpTo(2102);
    const auto weekdays = CalendarFactory().createCalendar(L"WEEKDAYS");
    const int32_t first = date(1, 1, 2102);
    const int32_t lastDay = date(31, 12, 2102); // a Monday
    ASSERT_TRUE(weekdays->isBusinessDay(lastDay));
    const int32_t march15 = date(15, 3, 2102);
    EXPECT_EQ(calendar->businessDayCount(first, lastDay),
              weekdays->businessDayCount(first, lastDay) - (weekdays->isBusinessDay(march15) ? 1 : 0));
    EXPECT_TRUE(calendar->isBusinessDay(lastDay - 3)); // [day, day + 1) stays in 2102
    EXPECT_EQ(calendar->plusBusinessDays(lastDay - 3, -1), lastDay - 4);
    expectFailure([&] { calendar->businessDayCount(first, lastDay + 1); }, kYearNotCovered);
    expectFailure([&] { calendar->isBusinessDay(lastDay); }, kYearNotCovered); // its window ends in 2103
    expectFailure([&] { calendar->plusBusinessDays(date(1, 1, 2000), 30000); }, kYearNotCovered);
    expectFailure([&] { sortedHolidays(*calendar, first, lastDay + 1, 100); }, kYearNotCovered);
    EXPECT_EQ(sortedHolidays(*calendar, date(1, 1, 2101), lastDay, 100),
              (std::vector<double>{static_cast<double>(date(15, 3, 2101)), static_cast<double>(march15)}));
}

// Adjusting a list gives what adjusting its dates one after the other gives, failures included: the first
// date in the list's order that fails decides the message, whatever order the dates are in.
TEST(BusinessDays, AdjustingAListFailsAsItsFirstFailingDate) {
    const auto calendar = coveringUpTo(2100);
    const SerialDate refused(date(14, 3, 2102)); // a Tuesday of a year the calendar refuses
    const SerialDate beyond(kMax);               // a Sunday: no business day follows it
    const SerialDate fine(date(16, 3, 2099));
    using Dates = std::vector<SerialDate>;
    expectFailure([&] { calendar->adjustAll(Dates{fine, beyond, refused}, L"s"); }, messages::InvalidDate);
    expectFailure([&] { calendar->adjustAll(Dates{fine, refused, beyond}, L"s"); }, kYearNotCovered);
    // A run of years whose last year is refused: the dates whose own searches stay in covered years answer.
    const int32_t sunday = date(4, 3, 2001); // and every Sunday after it into December 2100
    Dates weekly;
    for (int32_t day = sunday; day < date(20, 12, 2100); day += 7)
        weekly.push_back(SerialDate(day));
    const Dates adjusted = calendar->adjustAll(weekly, BusinessDayConvention::Following);
    ASSERT_EQ(adjusted.size(), weekly.size());
    for (std::size_t i = 0; i < weekly.size(); ++i)
        ASSERT_EQ(adjusted[i], calendar->adjust(weekly[i], BusinessDayConvention::Following)) << i;
    EXPECT_EQ(calendar->adjustAll(Dates{refused, beyond}, L"u"), (Dates{refused, beyond})); // nothing asked
}

// ---- listings ----

TEST(Holidays, AreListedInOrderWithoutWeekendsOrExtras) {
    using Days = std::vector<double>;
    const auto days = [](int32_t year, std::vector<std::pair<int32_t, int32_t>> dayMonths) {
        Days list;
        for (const auto& [day, month] : dayMonths)
            list.push_back(date(day, month, year));
        return list;
    };
    EXPECT_EQ(sched_Holidays(date(1, 1, 2000), date(31, 12, 2000), L"NYSE", {36528}),
              days(2000, {{1, 1}, {17, 1}, {21, 2}, {21, 4}, {29, 5}, {4, 7}, {4, 9}, {23, 11}, {25, 12}}));
    // The first calendar's repeats stay: Ascension Day 2008 fell on 1 May.
    EXPECT_EQ(sched_Holidays(date(1, 4, 2008), date(31, 5, 2008), L"SWITZERLAND", kNone),
              days(2008, {{1, 5}, {1, 5}, {12, 5}}));
    EXPECT_EQ(sched_Holidays(date(1, 4, 2008), date(31, 5, 2008), L"TARGET,SWITZERLAND", kNone),
              days(2008, {{1, 5}, {12, 5}}));
    // NYSE and London share Good Friday, listed once; reversed spans list nothing.
    EXPECT_EQ(sched_Holidays(date(1, 4, 2010), date(30, 4, 2010), L"NYSE,LONDON", kNone),
              days(2010, {{2, 4}, {5, 4}}));
    EXPECT_EQ(sched_Holidays(36530, 36526, L"NYSE", kNone), Days{});
}

TEST(Holidays, ListTheHostsWholeRangeButRefuseLongerLists) {
    const std::wstring all = L"US,NYSE,UK,TARGET,SWITZERLAND,JAPAN,SINGAPORE";
    const std::wstring four = L"SWITZERLAND,JAPAN,NYSE,UK"; // Swiss repeats stay, Japan drifts late on
    std::vector<double> expected = CalendarFactory().createCalendar(four)->holidays(0, 2958465);
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(sched_Holidays(0, 2958465, four, kNone), expected);
    expectFailure([&] { sched_Holidays(kMin, kMax, all, kNone); }, messages::TooManyHolidays);
    expectFailure([&] { sched_Holidays(0, 1e9, L"TARGET", kNone); }, messages::TooManyHolidays);
    EXPECT_EQ(sched_Holidays(kMin, kMax, L"WEEKDAYS", kNone), std::vector<double>{});
}

// The operations settle a day once no later year's rules can give it; that needs every market rule to
// stay within the reach around its year, up to the last years of the range.
TEST(Holidays, MarketRulesStayWithinTheirReach) {
    const auto all = CalendarFactory().createCalendar(L"US,NYSE,UK,TARGET,SWITZERLAND,JAPAN,SINGAPORE");
    const int32_t lastYear = SerialDate(kMax).year();
    std::vector<int32_t> years;
    for (int32_t year = 1900; year <= 12000; ++year)
        years.push_back(year);
    for (int32_t year = 12000; year < lastYear; year += 997)
        years.push_back(year);
    for (int32_t year = lastYear - 3; year <= lastYear; ++year)
        years.push_back(year);
    for (const int32_t year : years) {
        std::vector<int64_t> dates;
        all->appendHolidaysOfYear(year, dates);
        for (const int64_t day : dates) {
            ASSERT_GE(day, dayNumber64(1, 1, year) - sweep::kRuleReachDays) << year;
            ASSERT_LE(day, dayNumber64(31, 12, year) + sweep::kRuleReachDays) << year;
        }
    }
}

} // namespace

// The walk's set of days against a plain set: merged pieces of a year (wherever they fall on the ring's
// words, across its end included), single insertions and erased stretches, over many turns of a small ring.
TEST(DayRing, MergesCountsAndErasesAsASetWould) {
    sweep::DayRing ring(1024);
    ASSERT_EQ(ring.size(), 1024);
    std::vector<bool> held(1u << 16, false);
    uint64_t seed = 12345;
    const auto next = [&seed](uint64_t bound) {
        seed = seed * 6364136223846793005ULL + 1442695040888963407ULL;
        return (seed >> 33) % bound;
    };
    int64_t low = 0; // the keys below it have left the ring
    for (int round = 0;; ++round) {
        const int64_t from = low + static_cast<int64_t>(next(600));
        std::array<uint64_t, 6> bits{};
        for (auto& word : bits)
            word = (uint64_t{next(1u << 30)} << 34) ^ next(1u << 31) ^ (uint64_t{next(4)} << 62);
        bits[5] &= (uint64_t{1} << 46) - 1; // a year's 366 days
        int64_t expectedHeld = 0;
        for (int64_t i = 0; i < 366; ++i) {
            if (((bits[static_cast<std::size_t>(i / 64)] >> (i % 64)) & 1) == 0)
                continue;
            std::vector<bool>::reference key = held[static_cast<std::size_t>(from + i)];
            expectedHeld += key ? 1 : 0;
            key = true;
        }
        ASSERT_EQ(ring.merge(from, bits), expectedHeld) << "round " << round << " from " << from;
        const int64_t single = low + static_cast<int64_t>(next(900));
        ASSERT_EQ(ring.insert(single), !held[static_cast<std::size_t>(single)]);
        held[static_cast<std::size_t>(single)] = true;
        for (int probe = 0; probe < 8; ++probe) {
            const int64_t lo = low + static_cast<int64_t>(next(900));
            const int64_t hi = lo + static_cast<int64_t>(next(120));
            const auto expected = std::count(held.begin() + lo, held.begin() + hi + 1, true);
            ASSERT_EQ(ring.count(lo, hi), expected) << "round " << round << " [" << lo << ", " << hi << "]";
        }
        // Moving on: the lowest keys leave, by a stretch of any length and alignment.
        const int64_t step = static_cast<int64_t>(next(round % 4 == 0 ? 700 : 130)) + 1;
        ring.erase(low, low + step - 1);
        std::fill(held.begin() + low, held.begin() + low + step, false);
        low += step;
        if (low + 1024 >= static_cast<int64_t>(held.size())) // the keys lie within 1024 of low
            break;
    }
    EXPECT_GT(low, 20 * 1024); // the ring turned many times
}
