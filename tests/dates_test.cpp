#include "dates/DateFunctions.h"
#include "dates/Messages.h"
#include "dates/SerialDate.h"
#include "dates/Tenor.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cwchar>
#include <limits>
#include <random>
#include <string>
#include <vector>

using namespace tavrin;

namespace {

constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
constexpr int32_t kMin = std::numeric_limits<int32_t>::min();

template <class F>
void expectFailure(F&& f, const char* message) {
    try {
        f();
        ADD_FAILURE() << "no failure, expected \"" << message << "\"";
    } catch (const char* thrown) {
        EXPECT_STREQ(thrown, message);
    }
}

// ---- building and taking apart ----

TEST(SerialDate, BuildsFromDayMonthYear) {
    struct Case {
        int32_t day, month, year, serial;
        const char* note;
    };
    const std::vector<Case> cases{
        {1, 1, 1900, 1, "day 1"},
        {29, 2, 1900, 60, "1900 is a leap year here, as in the host"},
        {1, 3, 1900, 61, ""},
        {31, 12, 1900, 366, ""},
        {1, 1, 1901, 367, ""},
        {1, 1, 2000, 36526, ""},
        {0, 1, 1900, 0, "day 0 is the last day of the month before"},
        {0, 3, 2001, SerialDate(28, 2, 2001).serial(), ""},
        {32, 1, 2001, SerialDate(1, 2, 2001).serial(), "days run on into the next month"},
        {29, 2, 2100, SerialDate(1, 3, 2100).serial() - 1, "2100 is a leap year too"},
        {31, 12, 9999, 2958525,
         "60 days past the host's: every century year from 2100 on is a leap year here"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.note);
        EXPECT_EQ(SerialDate(c.day, c.month, c.year).serial(), c.serial)
            << c.day << "/" << c.month << "/" << c.year;
    }
    EXPECT_EQ(SerialDate(36526).weekday(), 0); // 1 January 2000 is a Saturday
}

TEST(SerialDate, RefusesDatesItCannotBuild) {
    expectFailure([] { SerialDate(31, 12, 1899); }, messages::InvalidDate);
    expectFailure([] { SerialDate(1, 1, kMin); }, messages::InvalidDate);
    expectFailure([] { SerialDate(1, 13, 2000); }, messages::InvalidDate);
    expectFailure([] { SerialDate(1, 0, 2000); }, messages::InvalidDate);
    expectFailure([] { daysInMonth(13, 2000); }, messages::InvalidDate);
    expectFailure([] { SerialDate(1, 1, 6000000); }, messages::InvalidDate); // beyond the 32-bit days
    expectFailure([] { SerialDate(kMax, 12, 2000); }, messages::InvalidDate);
}

TEST(SerialDate, TakesDaysApart) {
    struct Case {
        int32_t serial, year, month, day;
    };
    const std::vector<Case> cases{
        {60, 1900, 2, 29},      {61, 1900, 3, 1},        {366, 1900, 12, 31},   {367, 1901, 1, 1},
        {0, 1900, 1, 0},        {-5, 1900, 1, -5},       {kMin, 1900, 1, kMin}, {36526, 2000, 1, 1},
        {2958465, 9999, 11, 1}, {kMax, 5881389, 10, 16},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.serial);
        const SerialDate::Ymd ymd = SerialDate(c.serial).ymd();
        EXPECT_EQ(ymd.year, c.year);
        EXPECT_EQ(ymd.month, c.month);
        EXPECT_EQ(ymd.day, c.day);
    }
}

// Every day from well below 0 to past 9999 against the counting that the decomposition replaces: the serial
// advances by one, the weekday by one, and year, month and day follow the month table.
TEST(SerialDate, WalksEveryDayAgainstTheCountingLoop) {
    constexpr int32_t kFirst = -3000;
    const int32_t last = SerialDate(31, 12, 10100).serial();
    int32_t year = 1900, month = 1, day = kFirst;
    for (int32_t serial = kFirst; serial <= last; ++serial) {
        const SerialDate date(serial);
        const SerialDate::Ymd ymd = date.ymd();
        if (ymd.year != year || ymd.month != month || ymd.day != day) {
            FAIL() << serial << " is " << ymd.year << "-" << ymd.month << "-" << ymd.day << ", counted "
                   << year << "-" << month << "-" << day;
        }
        if (serial >= 1) {
            ASSERT_EQ(SerialDate(day, month, year), date) << serial;
            ASSERT_EQ(date.weekday(), (SerialDate(serial - 1).weekday() + 1) % 7) << serial;
        }
        // The next day by counting.
        if (++day > daysInMonth(month, year) && serial >= 0) {
            day = 1;
            if (++month > 12) {
                month = 1;
                ++year;
            }
        }
    }
}

// Beyond 9999, up to the end of the range: building back what was taken apart gives the same day.
TEST(SerialDate, RoundTripsAcrossTheWholeRange) {
    std::mt19937 random(7);
    std::uniform_int_distribution<int32_t> serials(1, kMax);
    for (int i = 0; i < 200000; ++i) {
        const int32_t serial = i < 40 ? kMax - i : serials(random);
        const SerialDate::Ymd ymd = SerialDate(serial).ymd();
        ASSERT_GE(ymd.day, 1);
        ASSERT_LE(ymd.day, daysInMonth(ymd.month, ymd.year));
        ASSERT_EQ(SerialDate(ymd.day, ymd.month, ymd.year).serial(), serial);
    }
}

TEST(SerialDate, TruncatesWorksheetDatesOrRefusesThem) {
    EXPECT_EQ(toSerialDate(36526.75).serial(), 36526);
    EXPECT_EQ(toSerialDate(-1.9).serial(), -1);
    EXPECT_EQ(toSerialDate(2147483647.9).serial(), kMax);
    EXPECT_EQ(toSerialDate(-2147483648.9).serial(), kMin);
    for (const double bad : {2147483648.0, -2147483649.0, std::nan(""), HUGE_VAL, -HUGE_VAL, 1e300}) {
        SCOPED_TRACE(bad);
        expectFailure([&] { toSerialDate(bad); }, messages::InvalidDate);
    }
}

// ---- stepping ----

TEST(SerialDate, StepsByMonthsClampingTheDay) {
    struct Case {
        SerialDate from;
        int32_t months;
        SerialDate expected;
    };
    const std::vector<Case> cases{
        {SerialDate(31, 1, 2001), 1, SerialDate(28, 2, 2001)},
        {SerialDate(31, 1, 2004), 1, SerialDate(29, 2, 2004)},
        {SerialDate(28, 2, 2001), 1, SerialDate(28, 3, 2001)}, // no end-of-month rule
        {SerialDate(31, 3, 2001), -1, SerialDate(28, 2, 2001)},
        {SerialDate(15, 1, 2001), -13, SerialDate(15, 12, 1999)},
        {SerialDate(15, 1, 2001), 0, SerialDate(15, 1, 2001)},
        {SerialDate(15, 12, 2001), 1, SerialDate(15, 1, 2002)},
        {SerialDate(15, 12, 2001), 25, SerialDate(15, 1, 2004)},
        {SerialDate(31, 1, 2100), 1, SerialDate(29, 2, 2100)},
        {SerialDate(0), 1, SerialDate(31)}, // day 0 of January 1900 keeps day 0: the last day of January
        {SerialDate(-10), 2, SerialDate(SerialDate(1, 3, 1900).serial() - 11)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.from.serial());
        EXPECT_EQ(c.from.plusMonths(c.months), c.expected) << c.months;
    }
}

TEST(SerialDate, FailsWhenSteppingLeavesTheRange) {
    expectFailure([] { SerialDate(31, 1, 1900).plusMonths(-1); }, messages::InvalidDate);
    expectFailure([] { SerialDate(36526).plusMonths(kMin); }, messages::InvalidDate);
    expectFailure([] { SerialDate(36526).plusMonths(kMax); }, messages::InvalidDate);
    expectFailure([] { SerialDate(kMax).plusMonths(1); }, messages::InvalidDate);
    expectFailure([] { SerialDate(kMax).plusDays(1); }, messages::InvalidDate);
    expectFailure([] { SerialDate(kMin).plusDays(-1); }, messages::InvalidDate);
    expectFailure([] { SerialDate(kMax).endOfMonth(); }, messages::InvalidDate);
    expectFailure([] { SerialDate(kMax).thirdWednesdayOfMonth(); }, messages::InvalidDate);
    EXPECT_EQ(SerialDate(kMax - 1).plusDays(1).serial(), kMax);
    EXPECT_EQ(SerialDate(kMin).plusDays(kMax).serial(), -1);
}

TEST(SerialDate, FindsMonthEndsAndThirdWednesdays) {
    EXPECT_EQ(SerialDate(15, 2, 2100).endOfMonth(), SerialDate(29, 2, 2100));
    EXPECT_EQ(SerialDate(15, 2, 2001).endOfMonth(), SerialDate(28, 2, 2001));
    EXPECT_EQ(SerialDate(1, 12, 2001).endOfMonth(), SerialDate(31, 12, 2001));
    EXPECT_EQ(SerialDate(-100).endOfMonth().serial(), 31);
    EXPECT_EQ(SerialDate(1, 1, 2100).plusMonths(12).serial() - SerialDate(1, 1, 2100).serial(), 366);
    // Every month of 2000 to 2030: the 15th to the 21st, a Wednesday, and the same for every day of it.
    for (int32_t year = 2000; year <= 2030; ++year)
        for (int32_t month = 1; month <= 12; ++month) {
            const SerialDate third = SerialDate(1, month, year).thirdWednesdayOfMonth();
            const SerialDate::Ymd ymd = third.ymd();
            ASSERT_EQ(third.weekday(), 4) << year << "-" << month;
            ASSERT_EQ(ymd.month, month);
            ASSERT_GE(ymd.day, 15);
            ASSERT_LE(ymd.day, 21);
            ASSERT_EQ(SerialDate(daysInMonth(month, year), month, year).thirdWednesdayOfMonth(), third);
        }
    EXPECT_EQ(SerialDate(10, 3, 2000).thirdWednesdayOfMonth(),
              SerialDate(15, 3, 2000)); // 1 March 2000: Wednesday
    EXPECT_EQ(SerialDate(10, 6, 2000).thirdWednesdayOfMonth(),
              SerialDate(21, 6, 2000)); // 1 June 2000: Thursday
}

TEST(Equinox, FollowsTheTruncatingFormula) {
    struct Case {
        int32_t year, vernal, autumnal;
    };
    const std::vector<Case> cases{
        {2000, 20, 23}, {2010, 21, 23}, {2012, 20, 22},    {2020, 20, 22},
        {1990, 20, 22}, // -10 / 4 truncates to -2, so not 21
        {1950, 20, 22}, {1900, 22, 24}, {9999, -100, -98}, {kMax, -32869332, -32869329},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.year);
        EXPECT_EQ(vernalEquinoxDay(c.year), c.vernal);
        EXPECT_EQ(autumnalEquinoxDay(c.year), c.autumnal);
    }
    EXPECT_NO_FATAL_FAILURE(vernalEquinoxDay(kMin)); // no overflow at either end of the range
}

// ---- worksheet functions ----

TEST(DateFunctions, DropTheTimeOfDayFirst) {
    EXPECT_EQ(sched_plusMonths(36526.75, 1), 36557.0);
    EXPECT_EQ(sched_plusMonths(36526.75, -1), SerialDate(1, 12, 1999).serial());
    EXPECT_EQ(sched_endOfMonth(36526.99), 36556.0);
    EXPECT_EQ(sched_thirdWednesDayOfMonth(36526.5), SerialDate(19, 1, 2000).serial());
    expectFailure([] { sched_plusMonths(31.0, -1); }, messages::InvalidDate);
    expectFailure([] { sched_endOfMonth(std::nan("")); }, messages::InvalidDate);
    expectFailure([] { sched_thirdWednesDayOfMonth(1e10); }, messages::InvalidDate);
}

// ---- tenors ----

TEST(Tenor, ReadsMonthsAndYears) {
    struct Case {
        const wchar_t* text;
        int16_t months;
    };
    const std::vector<Case> cases{
        {L"1M", 1},
        {L"12M", 12},
        {L"18M", 18},
        {L"1Y", 12},
        {L"3Y", 36},
        {L" 6M", 6},
        {L"\t6M", 6},
        {L"-3M", -3},
        {L"-1Y", -12},
        {L"+2Y", 24},
        {L"1MY", 12},
        {L"6MX", 6},
        {L"1Y6M", 12},
        {L"5462Y", 8}, // 65544 keeps its low 16 bits
        {L"32767M", 32767},
        {L"32768M", -32768},
        {L"65537M", 1},
        {L"99999999999999999999M", -1}, // 10^20 - 1 is 65535 modulo 2^16, whatever its length
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.text, c.text + std::wcslen(c.text)));
        EXPECT_EQ(tenorToMonths(c.text), c.months);
        EXPECT_EQ(sched_Tenor2Month(c.text), c.months);
    }
}

TEST(Tenor, RefusesWhatIsNoTenor) {
    for (const wchar_t* text : {L"6m", L"1y", L"3D", L"1W", L"0Y", L"0M", L"M", L"Y", L"", L"M6", L"Y1",
                                L"-0M", L"16384Y", L"65536M", L"X"}) {
        SCOPED_TRACE(std::string(text, text + std::wcslen(text)));
        expectFailure([&] { tenorToMonths(text); }, messages::InvalidTenor);
    }
}

} // namespace
