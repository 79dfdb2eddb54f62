// The holiday file: what a file may hold, the fault each bad row is refused for, and how the installed
// amendments change the calendars of their names, alone and joined.

#include "calendars/BusinessDayFunctions.h"
#include "calendars/HolidayFile.h"
#include "calendars/Messages.h"
#include "dates/SerialDate.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

using namespace tavrin;

namespace {

double day(int32_t year, int32_t month, int32_t dayOfMonth) {
    return SerialDate(dayOfMonth, month, year).serial();
}

// The file's row removing a day from a calendar.
std::string removalRow(const char* calendar, double serial) {
    const SerialDate date(static_cast<int32_t>(serial));
    char row[48];
    std::snprintf(row, sizeof row, "%s,%04d-%02d-%02d,remove,\n", calendar, date.year(), date.month(),
                  date.day());
    return row;
}

const std::string kFile = "/tests/tavrin_holidays.csv";

// Installs a file's text for one test and goes back to no file afterwards.
class HolidayFile : public testing::Test {
protected:
    void TearDown() override { holiday_file::installNone(); }
    static void install(const std::string& text) { holiday_file::install(holiday_file::parse(kFile, text)); }
};

TEST_F(HolidayFile, AcceptsHeaderCommentsBlanksQuotesAndNotesWithCommas) {
    const holiday_file::Contents contents =
        holiday_file::parse(kFile, "\xEF\xBB\xBF# kept by the desk\r\n"
                                   "Calendar, Date ,ACTION,Note\r\n"
                                   "\r\n"
                                   "  # a comment after the header\n"
                                   "XNYS,2026-11-27,add,\"storm, closed\"\n"
                                   "\"GBLO\",2026-05-25,Remove,\n"
                                   "NY,2026-01-02,add\n"
                                   "NYSE,2026-01-02,add,the same day twice\n"
                                   "JPTO,2028-02-29,add,café déjà vu");
    ASSERT_EQ(contents.problem, "");
    ASSERT_NE(contents.amendmentsOf(L"XNYS"), nullptr);
    EXPECT_EQ(contents.amendmentsOf(L"XNYS")->added, std::vector<int64_t>{int64_t(day(2026, 11, 27))});
    EXPECT_EQ(contents.amendmentsOf(L"GBLO")->removed, std::vector<int64_t>{int64_t(day(2026, 5, 25))});
    // "NY" is another name of NYSE: both rows amend that one calendar.
    EXPECT_EQ(contents.amendmentsOf(L"NYSE")->added, std::vector<int64_t>{int64_t(day(2026, 1, 2))});
    EXPECT_EQ(contents.amendmentsOf(L"USNY"), nullptr);
    // A file of a header alone, or of nothing at all, changes nothing.
    EXPECT_EQ(holiday_file::parse(kFile, "calendar,date,action,note\n").problem, "");
    EXPECT_EQ(holiday_file::parse(kFile, "").problem, "");
    EXPECT_EQ(holiday_file::parse(kFile, "calendar,date,action\nUK,2030-01-02,add").problem, "");
}

TEST_F(HolidayFile, BadRowsNameTheirLineAndReason) {
    const std::string header = "calendar,date,action,note\n";
    struct Case {
        std::string text;
        int line;
        const char* reason;
    };
    const Case cases[] = {
        {"XNYS,2026-11-27,add,\n", 1, messages::HolidayFileNoHeader},
        {"calendar;date;action;note\n", 1, messages::HolidayFileNoHeader},
        {"# only comments\ndate,calendar,action,note\n", 2, messages::HolidayFileNoHeader},
        {header + "XNYS 2026-11-27 add\n", 2, messages::HolidayFileTooFewFields},
        {header + "XNYS,2026-11-27\n", 2, messages::HolidayFileTooFewFields},
        {header + "# fine\nXNYS,2026-11-27,add,\nNYSX,2026-11-27,add,\n", 4,
         messages::HolidayFileUnknownCalendar},
        {header + "xnys,2026-11-27,add,\n", 2, messages::HolidayFileUnknownCalendar},
        {header + "XNYS;GBLO,2026-11-27,add\n", 2, messages::HolidayFileUnknownCalendar},
        {header + ",2026-11-27,add,\n", 2, messages::HolidayFileUnknownCalendar},
        {header + "XNYS,27/11/2026,add,\n", 2, messages::HolidayFileBadDate},
        {header + "XNYS,2026-11-31,add,\n", 2, messages::HolidayFileBadDate},
        {header + "XNYS,2026-02-29,add,\n", 2, messages::HolidayFileBadDate},
        {header + "XNYS,1900-02-29,add,\n", 2, messages::HolidayFileBadDate},
        {header + "XNYS,1899-12-31,add,\n", 2, messages::HolidayFileBadDate},
        {header + "XNYS,2026-1-2,add,\n", 2, messages::HolidayFileBadDate},
        {header + "XNYS,+026-01-02,add,\n", 2, messages::HolidayFileBadDate},
        {header + "XNYS,2026-11-27,close,\n", 2, messages::HolidayFileBadAction},
        {header + "XNYS,2026-11-27,,\n", 2, messages::HolidayFileBadAction},
        {header + "XNYS,2026-11-27,add,caf\xE9\n", 2, messages::HolidayFileNotUtf8},
        {header + "XNYS,2026-11-27,add,\xED\xA0\x80\n", 2, messages::HolidayFileNotUtf8},
        {header + "XNYS,2026-11-27,add,\nNYSE,2026-11-27,add,\nXNYS,2026-11-27,remove,\n", 4,
         messages::HolidayFileConflict},
        {header + "NY,2026-11-27,remove,\nNYSE,2026-11-27,add,\n", 3, messages::HolidayFileConflict},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(holiday_file::parse(kFile, c.text).problem,
                  messages::holidayFileRowMessage(kFile, c.line, c.reason));
    }
    // The same day added to one calendar and removed from another is no conflict.
    EXPECT_EQ(holiday_file::parse(kFile, header + "XNYS,2026-11-27,add,\nUSNY,2026-11-27,remove,\n").problem,
              "");
}

TEST_F(HolidayFile, AFaultyFileFailsEveryCalendarRequestAndAppliesNothing) {
    install("calendar,date,action,note\nXNYS,2026-11-27,add,\nXNYS,2026-13-01,add,\n");
    const std::string message = messages::holidayFileRowMessage(kFile, 3, messages::HolidayFileBadDate);
    for (const wchar_t* text : {L"XNYS", L"TARGET", L"WEEKDAYS", L"GBLO,UK", L"not a calendar"}) {
        SCOPED_TRACE(std::string(text, text + std::wcslen(text)));
        try {
            sched_IsBusinessDay(day(2026, 11, 27), text, {});
            ADD_FAILURE() << "no failure";
        } catch (const std::string& text) {
            EXPECT_EQ(text, message);
        }
    }
    holiday_file::install(holiday_file::unreadable(kFile, messages::HolidayFileCannotRead));
    EXPECT_THROW(sched_Holidays(day(2026, 1, 1), day(2026, 12, 31), L"UK", {}), std::string);
    // Fixed and reopened: the file applies.
    install("calendar,date,action,note\nXNYS,2026-11-27,add,\n");
    EXPECT_FALSE(sched_IsBusinessDay(day(2026, 11, 27), L"XNYS", {}));
}

TEST_F(HolidayFile, AmendmentsApplyWhereverTheirCalendarAppears) {
    const double storm = day(2026, 11, 27), spring = day(2026, 5, 25);
    EXPECT_TRUE(sched_IsBusinessDay(storm, L"XNYS", {}));
    EXPECT_FALSE(sched_IsBusinessDay(spring, L"GBLO", {}));
    install("calendar,date,action,note\n"
            "XNYS,2026-11-27,add,storm\n"
            "GBLO,2026-05-25,remove,moved\n"
            "GBLO,2026-05-26,add,moved\n"
            "UK,2026-05-25,remove,\n"
            "SWITZERLAND,2008-05-01,remove,listed twice by its rules\n"
            "TARGET,2026-12-19,add,a Saturday closes nothing more\n"
            "USNY,2026-01-01,add,listed already\n");
    EXPECT_FALSE(sched_IsBusinessDay(storm, L"XNYS", {}));
    EXPECT_FALSE(sched_IsBusinessDay(storm, L"GBLO,XNYS", {}));
    EXPECT_TRUE(sched_IsBusinessDay(storm, L"NYSE", {})); // another calendar
    EXPECT_TRUE(sched_IsBusinessDay(spring, L"GBLO", {}));
    EXPECT_TRUE(sched_IsBusinessDay(spring, L"LON", {})); // UK's removal, under another of its names
    // A removal takes a day out of its calendar only: a joined calendar that closes it keeps it closed.
    EXPECT_FALSE(sched_IsBusinessDay(spring, L"GBLO,XNYS", {}));
    EXPECT_EQ(sched_nextBusinessDay(day(2026, 5, 22), L"GBLO", {}), day(2026, 5, 25));
    EXPECT_EQ(sched_BusinessDayCount(day(2026, 11, 23), day(2026, 11, 30), L"XNYS", {}), 3);
    const std::vector<double> switzerland =
        sched_Holidays(day(2008, 4, 1), day(2008, 5, 31), L"SWITZERLAND", {});
    EXPECT_EQ(std::count(switzerland.begin(), switzerland.end(), day(2008, 5, 1)), 0);
    EXPECT_EQ(sched_Holidays(day(2026, 12, 1), day(2026, 12, 31), L"TARGET", {}),
              (std::vector<double>{day(2026, 12, 25), day(2026, 12, 26)}));
    EXPECT_EQ(sched_Holidays(day(2026, 1, 1), day(2026, 1, 31), L"USNY", {}),
              (std::vector<double>{day(2026, 1, 1), day(2026, 1, 19)}));
    // The amended calendar and its plain twin are different rules; two amended members of one name are one.
    EXPECT_EQ(sched_Holidays(day(2026, 1, 1), day(2026, 12, 31), L"XNYS,XNYS", {}),
              sched_Holidays(day(2026, 1, 1), day(2026, 12, 31), L"XNYS", {}));
    holiday_file::installNone();
    EXPECT_TRUE(sched_IsBusinessDay(storm, L"XNYS", {}));
}

// Removals found by either way: a few in a year, more than a few in a year, and days that a rule of another
// year gives (Japan's equinoxes lie months before their own year by then).
TEST_F(HolidayFile, RemovalsTakeOutEveryDayTheyNameHoweverItIsGiven) {
    const double from = day(9990, 1, 1), to = day(9999, 12, 31);
    const std::vector<double> listed = sched_Holidays(from, to, L"JAPAN", {});
    ASSERT_GT(listed.size(), 100u);
    std::string text = "calendar,date,action,note\n";
    // Every holiday of 2024, whose rules keep to their year.
    const std::vector<double> of2024 = sched_Holidays(day(2024, 1, 1), day(2024, 12, 31), L"JAPAN", {});
    ASSERT_GT(of2024.size(), 12u);
    for (const double holiday : of2024)
        text += removalRow("JAPAN", holiday);
    std::vector<double> kept, removed;
    for (std::size_t i = 0; i < listed.size(); ++i) {
        const SerialDate date(static_cast<int32_t>(listed[i]));
        if (date.year() != 9995 && i % 3 != 0) {
            kept.push_back(listed[i]);
            continue;
        }
        removed.push_back(listed[i]);
        text += removalRow("JAPAN", listed[i]);
    }
    install(text);
    EXPECT_EQ(sched_Holidays(day(2024, 1, 1), day(2024, 12, 31), L"JAPAN", {}), std::vector<double>{});
    EXPECT_EQ(sched_Holidays(from, to, L"JAPAN", {}), kept);
    for (const double day : removed) { // the fixed-rule calendar lists weekend dates too
        if (static_cast<int32_t>(day) % 7 >= 2) {
            EXPECT_TRUE(sched_IsBusinessDay(day, L"JAPAN", {})) << day;
        }
    }
}
} // namespace
