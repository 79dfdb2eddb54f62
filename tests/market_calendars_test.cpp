// The maintained business-centre calendars against the markets' published closing days: a table of years
// per centre (weekday closings in date order, as MMDD), every one-off closing of the centres' records, and
// the days where sources disagree, each with the choice the calendar makes.

#include "calendars/BusinessDayFunctions.h"
#include "calendars/CalendarFactory.h"
#include "calendars/Messages.h"
#include "dates/SerialDate.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

using namespace tavrin;

namespace {

struct YearList {
    int32_t year;
    const char* days; // MMDD of each weekday closing, in date order
};

std::string monthDays(const std::vector<double>& days) {
    std::string text;
    for (const double day : days) {
        const SerialDate date(static_cast<int32_t>(day));
        char buffer[8];
        std::snprintf(buffer, sizeof buffer, "%s%02d%02d", text.empty() ? "" : " ", date.month(), date.day());
        text += buffer;
    }
    return text;
}

double day(int32_t year, int32_t month, int32_t dayOfMonth) {
    return SerialDate(dayOfMonth, month, year).serial();
}

template <std::size_t N>
void expectYears(const wchar_t* calendar, const YearList (&years)[N]) {
    for (const YearList& row : years) {
        SCOPED_TRACE(row.year);
        EXPECT_EQ(monthDays(sched_Holidays(day(row.year, 1, 1), day(row.year, 12, 31), calendar, {})),
                  row.days);
    }
}

// New York banking days: the Federal Reserve Banks' schedules (Saturday holidays close no Friday).
const YearList kUSNYYears[] = {
    {2015, "0101 0119 0216 0525 0907 1012 1111 1126 1225"},
    {2016, "0101 0118 0215 0530 0704 0905 1010 1111 1124 1226"},
    {2017, "0102 0116 0220 0529 0704 0904 1009 1123 1225"},
    {2018, "0101 0115 0219 0528 0704 0903 1008 1112 1122 1225"},
    {2019, "0101 0121 0218 0527 0704 0902 1014 1111 1128 1225"},
    {2020, "0101 0120 0217 0525 0907 1012 1111 1126 1225"},
    {2021, "0101 0118 0215 0531 0705 0906 1011 1111 1125"},
    {2022, "0117 0221 0530 0620 0704 0905 1010 1111 1124 1226"},
    {2023, "0102 0116 0220 0529 0619 0704 0904 1009 1123 1225"},
    {2024, "0101 0115 0219 0527 0619 0704 0902 1014 1111 1128 1225"},
    {2025, "0101 0120 0217 0526 0619 0704 0901 1013 1111 1127 1225"},
    {2026, "0101 0119 0216 0525 0619 0907 1012 1111 1126 1225"},
    {2027, "0101 0118 0215 0531 0705 0906 1011 1111 1125"},
};

// The bond market's full closes; Good Friday closed every year, 2018-12-05 the Bush mourning day.
const YearList kUSGSYears[] = {
    {2015, "0101 0119 0216 0403 0525 0703 0907 1012 1111 1126 1225"},
    {2016, "0101 0118 0215 0325 0530 0704 0905 1010 1111 1124 1226"},
    {2017, "0102 0116 0220 0414 0529 0704 0904 1009 1123 1225"},
    {2018, "0101 0115 0219 0330 0528 0704 0903 1008 1112 1122 1205 1225"},
    {2019, "0101 0121 0218 0419 0527 0704 0902 1014 1111 1128 1225"},
    {2020, "0101 0120 0217 0410 0525 0703 0907 1012 1111 1126 1225"},
    {2021, "0101 0118 0215 0402 0531 0705 0906 1011 1111 1125 1224"},
    {2022, "0117 0221 0415 0530 0620 0704 0905 1010 1111 1124 1226"},
    {2023, "0102 0116 0220 0407 0529 0619 0704 0904 1009 1123 1225"},
    {2024, "0101 0115 0219 0329 0527 0619 0704 0902 1014 1111 1128 1225"},
    {2025, "0101 0120 0217 0418 0526 0619 0704 0901 1013 1111 1127 1225"},
    {2026, "0101 0119 0216 0403 0525 0619 0703 0907 1012 1111 1126 1225"},
    {2027, "0101 0118 0215 0326 0531 0618 0705 0906 1011 1111 1125 1224"},
};

// The exchange's published holiday lists, 2025-01-09 the Carter mourning day.
const YearList kXNYSYears[] = {
    {2015, "0101 0119 0216 0403 0525 0703 0907 1126 1225"},
    {2016, "0101 0118 0215 0325 0530 0704 0905 1124 1226"},
    {2017, "0102 0116 0220 0414 0529 0704 0904 1123 1225"},
    {2018, "0101 0115 0219 0330 0528 0704 0903 1122 1205 1225"},
    {2019, "0101 0121 0218 0419 0527 0704 0902 1128 1225"},
    {2020, "0101 0120 0217 0410 0525 0703 0907 1126 1225"},
    {2021, "0101 0118 0215 0402 0531 0705 0906 1125 1224"},
    {2022, "0117 0221 0415 0530 0620 0704 0905 1124 1226"},
    {2023, "0102 0116 0220 0407 0529 0619 0704 0904 1123 1225"},
    {2024, "0101 0115 0219 0329 0527 0619 0704 0902 1128 1225"},
    {2025, "0101 0109 0120 0217 0418 0526 0619 0704 0901 1127 1225"},
    {2026, "0101 0119 0216 0403 0525 0619 0703 0907 1126 1225"},
    {2027, "0101 0118 0215 0326 0531 0618 0705 0906 1125 1224"},
};

// England and Wales bank holidays as published, 2022 with the Jubilee and the state funeral.
const YearList kGBLOYears[] = {
    {2015, "0105 0403 0406 0504 0525 0831 1225 1228"},
    {2016, "0104 0325 0328 0502 0530 0829 1226 1227"},
    {2017, "0102 0414 0417 0501 0529 0828 1225 1226"},
    {2018, "0101 0330 0402 0507 0528 0827 1225 1226"},
    {2019, "0107 0419 0422 0506 0527 0826 1225 1226"},
    {2020, "0106 0410 0413 0508 0525 0831 1225 1228"},
    {2021, "0104 0402 0405 0503 0531 0830 1227 1228"},
    {2022, "0103 0415 0418 0502 0602 0603 0829 0919 1226 1227"},
    {2023, "0102 0407 0410 0501 0508 0529 0828 1225 1226"},
    {2024, "0101 0329 0401 0506 0527 0826 1225 1226"},
    {2025, "0106 0418 0421 0505 0526 0825 1225 1226"},
    {2026, "0105 0403 0406 0504 0525 0831 1225 1228"},
    {2027, "0104 0326 0329 0503 0531 0830 1227 1228"},
};

// TARGET closing days: the six days, lost when they fall on a weekend.
const YearList kEUTAYears[] = {
    {2015, "0101 0403 0406 0501 1225"},
    {2016, "0101 0325 0328 1226"},
    {2017, "0414 0417 0501 1225 1226"},
    {2018, "0101 0330 0402 0501 1225 1226"},
    {2019, "0101 0419 0422 0501 1225 1226"},
    {2020, "0101 0410 0413 0501 1225"},
    {2021, "0101 0402 0405"},
    {2022, "0415 0418 1226"},
    {2023, "0407 0410 0501 1225 1226"},
    {2024, "0101 0329 0401 0501 1225 1226"},
    {2025, "0101 0418 0421 0501 1225 1226"},
    {2026, "0101 0403 0406 0501 1225"},
    {2027, "0101 0326 0329"},
};

// Swiss franc value days: the ten bank holidays without weekend substitution.
const YearList kCHZUYears[] = {
    {2015, "0101 0102 0403 0406 0501 0514 0525 1225"},
    {2016, "0101 0325 0328 0505 0516 0801 1226"},
    {2017, "0102 0414 0417 0501 0525 0605 0801 1225 1226"},
    {2018, "0101 0102 0330 0402 0501 0510 0521 0801 1225 1226"},
    {2019, "0101 0102 0419 0422 0501 0530 0610 0801 1225 1226"},
    {2020, "0101 0102 0410 0413 0501 0521 0601 1225"},
    {2021, "0101 0402 0405 0513 0524"},
    {2022, "0415 0418 0526 0606 0801 1226"},
    {2023, "0102 0407 0410 0501 0518 0529 0801 1225 1226"},
    {2024, "0101 0102 0329 0401 0501 0509 0520 0801 1225 1226"},
    {2025, "0101 0102 0418 0421 0501 0529 0609 0801 1225 1226"},
    {2026, "0101 0102 0403 0406 0501 0514 0525 1225"},
    {2027, "0101 0326 0329 0506 0517"},
};

// Japanese bank holidays: national, substitute and citizens' holidays with 31 Dec and 2, 3 Jan.
const YearList kJPTOYears[] = {
    {2015, "0101 0102 0112 0211 0429 0504 0505 0506 0720 0921 0922 0923 1012 1103 1123 1223 1231"},
    {2016, "0101 0111 0211 0321 0429 0503 0504 0505 0718 0811 0919 0922 1010 1103 1123 1223"},
    {2017, "0102 0103 0109 0320 0503 0504 0505 0717 0811 0918 1009 1103 1123"},
    {2018, "0101 0102 0103 0108 0212 0321 0430 0503 0504 0716 0917 0924 1008 1123 1224 1231"},
    {2019,
     "0101 0102 0103 0114 0211 0321 0429 0430 0501 0502 0503 0506 0715 0812 0916 0923 1014 1022 1104 1231"},
    {2020, "0101 0102 0103 0113 0211 0224 0320 0429 0504 0505 0506 0723 0724 0810 0921 0922 1103 1123 1231"},
    {2021, "0101 0111 0211 0223 0429 0503 0504 0505 0722 0723 0809 0920 0923 1103 1123 1231"},
    {2022, "0103 0110 0211 0223 0321 0429 0503 0504 0505 0718 0811 0919 0923 1010 1103 1123"},
    {2023, "0102 0103 0109 0223 0321 0503 0504 0505 0717 0811 0918 1009 1103 1123"},
    {2024, "0101 0102 0103 0108 0212 0223 0320 0429 0503 0506 0715 0812 0916 0923 1014 1104 1231"},
    {2025, "0101 0102 0103 0113 0211 0224 0320 0429 0505 0506 0721 0811 0915 0923 1013 1103 1124 1231"},
    {2026, "0101 0102 0112 0211 0223 0320 0429 0504 0505 0506 0720 0811 0921 0922 0923 1012 1103 1123 1231"},
    {2027, "0101 0111 0211 0223 0322 0429 0503 0504 0505 0719 0811 0920 0923 1011 1103 1123 1231"},
};

// Singapore's public holidays with the weekday in lieu of each Sunday holiday, the announced lists.
const YearList kSGSIYears[] = {
    {2000, "0207 0316 0421 0501 0518 0809 1026 1225 1227"},
    {2001, "0101 0124 0125 0306 0413 0501 0507 0809 1114 1217 1225"},
    {2002, "0101 0212 0213 0329 0501 0527 0809 1104 1206 1225"},
    {2003, "0101 0203 0212 0418 0501 0515 1024 1125 1225"},
    {2004, "0101 0122 0123 0202 0409 0602 0809 1111 1115"},
    {2005, "0121 0209 0210 0325 0502 0523 0809 1101 1103 1226"},
    {2006, "0102 0110 0130 0131 0414 0501 0512 0809 1024 1225"},
    {2007, "0101 0102 0219 0220 0406 0501 0531 0809 1108 1220 1225"},
    {2008, "0101 0207 0208 0321 0501 0519 1001 1027 1208 1225"},
    {2009, "0101 0126 0127 0410 0501 0810 0921 1127 1225"},
    {2010, "0101 0215 0216 0402 0528 0809 0910 1105 1117"},
    {2011, "0203 0204 0422 0502 0517 0809 0830 1026 1107 1226"},
    {2012, "0102 0123 0124 0406 0501 0809 0820 1026 1113 1225"},
    {2013, "0101 0211 0212 0329 0501 0524 0808 0809 1015 1225"},
    {2014, "0101 0131 0418 0501 0513 0728 1006 1022 1225"},
    {2015, "0101 0219 0220 0403 0501 0601 0717 0807 0810 0911 0924 1110 1225"},
    {2016, "0101 0208 0209 0325 0502 0706 0809 0912 1226"},
    {2017, "0102 0130 0414 0501 0510 0626 0809 0901 1018 1225"},
    {2018, "0101 0216 0330 0501 0529 0615 0809 0822 1106 1225"},
    {2019, "0101 0205 0206 0419 0501 0520 0605 0809 0812 1028 1225"},
    {2020, "0101 0127 0410 0501 0507 0525 0710 0731 0810 1225"},
    {2021, "0101 0212 0402 0513 0526 0720 0809 1104"},
    {2022, "0201 0202 0415 0502 0503 0516 0711 0809 1024 1226"},
    {2023, "0102 0123 0124 0407 0501 0602 0629 0809 0901 1113 1225"},
    {2024, "0101 0212 0329 0410 0501 0522 0617 0809 1031 1225"},
    {2025, "0101 0129 0130 0331 0418 0501 0512 1020 1225"},
    {2026, "0101 0217 0218 0403 0501 0527 0601 0810 1109 1225"},
    {2027, "0101 0208 0310 0326 0517 0520 0809 1028"},
};

TEST(MaintainedCalendars, PublishedYearLists) {
    expectYears(L"USNY", kUSNYYears);
    expectYears(L"USGS", kUSGSYears);
    expectYears(L"XNYS", kXNYSYears);
    expectYears(L"GBLO", kGBLOYears);
    expectYears(L"EUTA", kEUTAYears);
    expectYears(L"CHZU", kCHZUYears);
    expectYears(L"JPTO", kJPTOYears);
    expectYears(L"SGSI", kSGSIYears);
}

struct DayCase {
    const wchar_t* calendar;
    int32_t year, month, day;
    bool businessDay;
    const char* note;
};

// Every one-off and moved day of the centres' records since 1990, and the days a source gets wrong.
const DayCase kOneOffs[] = {
    {L"USNY", 2004, 6, 11, true, "Reagan mourning day: the Fed open"},
    {L"USNY", 2007, 1, 2, true, "Ford mourning day: the Fed open"},
    {L"USNY", 2018, 12, 5, true, "Bush mourning day: Fed systems ran"},
    {L"USNY", 2025, 1, 9, true, "Carter mourning day: Fed systems ran"},
    {L"USNY", 2021, 6, 18, true, "no Juneteenth closing in 2021"},
    {L"USNY", 2027, 6, 18, true, "Saturday Juneteenth closes no Friday"},
    {L"USNY", 2021, 12, 31, true, "Saturday New Year closes no Friday"},
    {L"USNY", 2005, 3, 25, true, "Good Friday is a Fed business day"},
    {L"USGS", 2001, 9, 11, false, "9/11"},
    {L"USGS", 2001, 9, 12, false, "9/11, reopened on the 13th"},
    {L"USGS", 2001, 9, 13, true, "9/11: trading resumed"},
    {L"USGS", 2001, 9, 17, true, "early close only"},
    {L"USGS", 2004, 6, 11, false, "Reagan mourning day: full close"},
    {L"USGS", 2007, 1, 2, true, "Ford mourning day: early close only"},
    {L"USGS", 2012, 10, 29, true, "Sandy: early close only"},
    {L"USGS", 2012, 10, 30, false, "Sandy: full close"},
    {L"USGS", 2018, 12, 5, false, "Bush mourning day"},
    {L"USGS", 2025, 1, 9, true, "Carter mourning day: early close only"},
    {L"USGS", 1994, 4, 27, true, "Nixon funeral: no close on record"},
    {L"USGS", 2015, 4, 3, false, "Good Friday of a jobs report: no good settlement day"},
    {L"USGS", 2026, 4, 3, false, "Good Friday of a jobs report"},
    {L"USGS", 2023, 11, 10, true, "Saturday Veterans Day closes no Friday"},
    {L"USGS", 2021, 12, 31, true, "Saturday New Year closes no Friday"},
    {L"XNYS", 1994, 4, 27, false, "Nixon funeral"},
    {L"XNYS", 2001, 9, 11, false, "9/11"},
    {L"XNYS", 2001, 9, 12, false, "9/11"},
    {L"XNYS", 2001, 9, 13, false, "9/11"},
    {L"XNYS", 2001, 9, 14, false, "9/11"},
    {L"XNYS", 2001, 9, 17, true, "reopened"},
    {L"XNYS", 2004, 6, 11, false, "Reagan mourning day"},
    {L"XNYS", 2007, 1, 2, false, "Ford mourning day"},
    {L"XNYS", 2012, 10, 29, false, "Sandy"},
    {L"XNYS", 2012, 10, 30, false, "Sandy"},
    {L"XNYS", 2018, 12, 5, false, "Bush mourning day"},
    {L"XNYS", 2025, 1, 9, false, "Carter mourning day"},
    {L"XNYS", 2024, 6, 19, false, "Juneteenth"},
    {L"XNYS", 2021, 6, 18, true, "no Juneteenth closing in 2021"},
    {L"XNYS", 1997, 1, 20, true, "Martin Luther King Day only from 1998"},
    {L"XNYS", 1998, 1, 19, false, "Martin Luther King Day from 1998"},
    {L"XNYS", 2022, 10, 10, true, "Columbus Day is a trading day"},
    {L"XNYS", 2027, 12, 24, false, "Saturday Christmas closes the Friday"},
    {L"GBLO", 1995, 5, 1, true, "early May holiday moved to VE Day"},
    {L"GBLO", 1995, 5, 8, false, "VE Day, 50th anniversary"},
    {L"GBLO", 1999, 12, 31, false, "Millennium"},
    {L"GBLO", 2002, 5, 27, true, "spring holiday moved"},
    {L"GBLO", 2002, 6, 3, false, "Golden Jubilee"},
    {L"GBLO", 2002, 6, 4, false, "spring holiday, moved"},
    {L"GBLO", 2011, 4, 29, false, "royal wedding"},
    {L"GBLO", 2012, 5, 28, true, "spring holiday moved"},
    {L"GBLO", 2012, 6, 4, false, "spring holiday, moved"},
    {L"GBLO", 2012, 6, 5, false, "Diamond Jubilee"},
    {L"GBLO", 2020, 5, 4, true, "early May holiday moved to VE Day"},
    {L"GBLO", 2020, 5, 8, false, "VE Day, 75th anniversary"},
    {L"GBLO", 2022, 5, 30, true, "spring holiday moved"},
    {L"GBLO", 2022, 6, 2, false, "spring holiday, moved"},
    {L"GBLO", 2022, 6, 3, false, "Platinum Jubilee"},
    {L"GBLO", 2022, 9, 19, false, "state funeral"},
    {L"GBLO", 2023, 5, 1, false, "early May holiday stayed"},
    {L"GBLO", 2023, 5, 8, false, "coronation"},
    {L"EUTA", 1998, 12, 31, true, "before TARGET: open"},
    {L"EUTA", 1999, 4, 2, true, "Good Friday 1999 was an operating day"},
    {L"EUTA", 1999, 12, 31, false, "the change to 2000"},
    {L"EUTA", 2001, 12, 31, false, "euro cash changeover"},
    {L"EUTA", 2000, 4, 21, false, "Good Friday from 2000"},
    {L"CHZU", 1999, 12, 31, true, "millennium day not applied"},
    {L"CHZU", 2000, 1, 3, true, "millennium day not applied"},
    {L"CHZU", 2024, 12, 24, true, "24 December: the exchange closes, not the banks"},
    {L"CHZU", 2024, 12, 31, true, "31 December: the exchange closes, not the banks"},
    {L"CHZU", 1991, 8, 1, false, "1 August in every year"},
    {L"JPTO", 1990, 11, 12, false, "enthronement ceremony"},
    {L"JPTO", 1993, 6, 9, false, "imperial wedding"},
    {L"JPTO", 2019, 4, 30, false, "citizens' holiday"},
    {L"JPTO", 2019, 5, 1, false, "enthronement day"},
    {L"JPTO", 2019, 5, 2, false, "citizens' holiday"},
    {L"JPTO", 2019, 10, 22, false, "enthronement ceremony"},
    {L"JPTO", 2019, 12, 23, true, "no Emperor's Birthday in 2019"},
    {L"JPTO", 2020, 7, 20, true, "Marine Day moved to 23 July"},
    {L"JPTO", 2020, 7, 23, false, "Marine Day, moved"},
    {L"JPTO", 2020, 7, 24, false, "Sports Day, moved"},
    {L"JPTO", 2020, 8, 10, false, "Mountain Day, moved"},
    {L"JPTO", 2020, 10, 12, true, "Sports Day moved to 24 July"},
    {L"JPTO", 2021, 7, 22, false, "Marine Day, moved"},
    {L"JPTO", 2021, 7, 23, false, "Sports Day, moved"},
    {L"JPTO", 2021, 8, 9, false, "substitute of Mountain Day, Sunday 8 August"},
    {L"JPTO", 2021, 8, 11, true, "Mountain Day moved"},
    {L"JPTO", 1992, 5, 6, true, "before 2007 no 6 May after a Sunday 3 May"},
    {L"JPTO", 1997, 5, 6, true, "a Sunday 4 May gives no substitute"},
    {L"JPTO", 1998, 5, 6, true, "before 2007 no 6 May on a Wednesday"},
    {L"JPTO", 2003, 5, 6, true, "before 2007 no 6 May on a Tuesday"},
    {L"JPTO", 2009, 5, 6, false, "from 2007 a Sunday 3 May gives Wednesday 6 May"},
    {L"JPTO", 1992, 3, 20, false, "vernal equinox proclaimed on 20 March"},
    {L"JPTO", 1993, 3, 22, true, "vernal equinox on Saturday 20 March: no substitute"},
    {L"JPTO", 2009, 9, 22, false, "citizens' holiday"},
    {L"JPTO", 2026, 9, 22, false, "citizens' holiday"},
    {L"JPTO", 2007, 5, 4, false, "Greenery Day from 2007"},
    {L"SGSI", 2007, 1, 2, false, "in lieu of Hari Raya Haji on Sunday 31 December 2006"},
    {L"SGSI", 2015, 8, 7, false, "SG50"},
    {L"SGSI", 2015, 8, 10, false, "in lieu of National Day"},
    {L"SGSI", 2015, 9, 11, false, "polling day"},
    {L"SGSI", 2020, 7, 10, false, "polling day"},
    {L"SGSI", 2023, 9, 1, false, "presidential polling day"},
    {L"SGSI", 2025, 5, 5, true, "Saturday polling day: nothing in lieu"},
    {L"SGSI", 2026, 3, 20, true, "Hari Raya Puasa 2026 on Saturday 21 March"},
    {L"SGSI", 2003, 10, 23, true, "Deepavali 2003 moved to 24 October"},
    {L"SGSI", 2003, 10, 24, false, "Deepavali 2003"},
    {L"SGSI", 2008, 10, 28, true, "Deepavali 2008 on 27 October"},
    {L"SGSI", 2009, 11, 16, true, "Deepavali 2009 on Saturday 17 October"},
    {L"SGSI", 2013, 11, 4, true, "Deepavali 2013 on Saturday 2 November"},
    {L"SGSI", 2014, 10, 23, true, "Deepavali 2014 on 22 October"},
    {L"SGSI", 2010, 2, 16, false, "first day of Chinese New Year on Sunday: Tuesday in lieu"},
};

TEST(MaintainedCalendars, OneOffAndDisputedDays) {
    for (const DayCase& c : kOneOffs) {
        SCOPED_TRACE(c.note);
        const std::wstring name = c.calendar;
        SCOPED_TRACE(std::string(name.begin(), name.end()) + " " + std::to_string(c.year) + "-" +
                     std::to_string(c.month) + "-" + std::to_string(c.day));
        EXPECT_EQ(sched_IsBusinessDay(day(c.year, c.month, c.day), name, {}), c.businessDay);
    }
}

// The proclaimed equinox days of 1990-2027 (day of March, day of September) and the substitute Mondays
// they gave.
TEST(JPTOCalendar, ProclaimedEquinoxesAndTheirSubstitutes) {
    const int32_t vernal[] = {21, 21, 20, 20, 21, 21, 20, 20, 21, 21, 20, 20, 21, 21, 20, 20, 21, 21, 20,
                              20, 21, 21, 20, 20, 21, 21, 20, 20, 21, 21, 20, 20, 21, 21, 20, 20, 20, 21};
    const int32_t autumnal[] = {23, 23, 23, 23, 23, 23, 23, 23, 23, 23, 23, 23, 23, 23, 23, 23, 23, 23, 23,
                                23, 23, 23, 22, 23, 23, 23, 22, 23, 23, 23, 22, 23, 23, 23, 22, 23, 23, 23};
    for (int32_t year = 1990; year <= 2027; ++year) {
        SCOPED_TRACE(year);
        const std::vector<double> listed = sched_Holidays(day(year, 1, 1), day(year, 12, 31), L"JPTO", {});
        const auto closed = [&](double d) {
            return SerialDate(static_cast<int32_t>(d)).isWeekend() ||
                   std::find(listed.begin(), listed.end(), d) != listed.end();
        };
        EXPECT_TRUE(closed(day(year, 3, vernal[year - 1990])));
        EXPECT_TRUE(closed(day(year, 9, autumnal[year - 1990])));
    }
    const double substitutes[] = {day(1990, 9, 24), day(1999, 3, 22), day(2001, 9, 24), day(2005, 3, 21),
                                  day(2007, 9, 24), day(2010, 3, 22), day(2016, 3, 21), day(2018, 9, 24),
                                  day(2024, 9, 23), day(2027, 3, 22)};
    for (const double d : substitutes) {
        SCOPED_TRACE(d);
        EXPECT_FALSE(sched_IsBusinessDay(d, L"JPTO", {}));
    }
}

TEST(JPTOCalendar, FormulaBeyondTheProclaimedYearsKeepsEachEquinoxInItsMonth) {
    // 2028: 20 March (a Monday) and 22 September (a Friday) by the formula.
    EXPECT_FALSE(sched_IsBusinessDay(day(2028, 3, 20), L"JPTO", {}));
    EXPECT_FALSE(sched_IsBusinessDay(day(2028, 9, 22), L"JPTO", {}));
    // Far years still give two equinox days a year, in March and in September.
    for (const int32_t year : {1900, 1950, 2100, 2150, 2500, 9999}) {
        SCOPED_TRACE(year);
        std::vector<int64_t> days;
        CalendarFactory().createCalendar(L"JPTO")->appendHolidaysOfYear(year, days);
        for (const int64_t d : days)
            EXPECT_EQ(SerialDate(static_cast<int32_t>(d)).year(), year);
    }
}

TEST(SGSICalendar, YearsOutsideTheTableFailWithTheCoveredYears) {
    const auto fails = [](auto&& call) {
        try {
            call();
        } catch (const char* message) {
            return std::string(message) == messages::SingaporeYearsNotCovered;
        }
        return false;
    };
    EXPECT_TRUE(fails([] { sched_IsBusinessDay(day(2028, 1, 3), L"SGSI", {}); }));
    EXPECT_TRUE(fails([] { sched_IsBusinessDay(day(1999, 12, 30), L"SGSI", {}); }));
    EXPECT_TRUE(fails([] { sched_IsBusinessDay(day(1997, 1, 2), L"SGSI", {}); }));
    EXPECT_TRUE(fails([] { sched_Holidays(day(2027, 1, 1), day(2028, 1, 31), L"SGSI", {}); }));
    EXPECT_TRUE(fails([] { sched_IsBusinessDay(day(2028, 1, 3), L"TARGET,SGSI", {}); }));
    // Joined, the message still names the calendar and its years.
    EXPECT_NE(std::string(messages::SingaporeYearsNotCovered).find("SGSI"), std::string::npos);
    EXPECT_NE(std::string(messages::SingaporeYearsNotCovered).find("2000 to 2027"), std::string::npos);
    // Queries whose dates and searches stay inside the covered years answer.
    EXPECT_TRUE(sched_IsBusinessDay(day(2000, 1, 3), L"SGSI", {}));
    EXPECT_FALSE(sched_IsBusinessDay(day(2027, 10, 28), L"SGSI", {}));
    EXPECT_TRUE(sched_IsBusinessDay(day(2027, 12, 30), L"SGSI", {}));
    EXPECT_NO_THROW(sched_BusinessDayCount(day(2000, 1, 1), day(2027, 12, 31), L"SGSI", {}));
    EXPECT_EQ(sched_nextBusinessDay(day(2025, 1, 28), L"SGSI", {}), day(2025, 1, 31));
    EXPECT_EQ(sched_previousBusinessDay(day(2000, 1, 4), L"SGSI", {}), day(2000, 1, 3));
}

TEST(MaintainedCalendars, JoinWithEachOtherAndWithTheFixedRuleCalendars) {
    const double y2022 = day(2022, 1, 1), end2022 = day(2022, 12, 31);
    // XNYS's days first, then London's that XNYS lacks (Good Friday once).
    EXPECT_EQ(monthDays(sched_Holidays(y2022, end2022, L"XNYS,GBLO", {})),
              "0103 0117 0221 0415 0418 0502 0530 0602 0603 0620 0704 0829 0905 0919 1124 1226 1227");
    // A maintained calendar with a fixed-rule one: London's fixed rules close 30 May 2022, GBLO does not.
    EXPECT_TRUE(sched_IsBusinessDay(day(2022, 5, 30), L"GBLO", {}));
    EXPECT_FALSE(sched_IsBusinessDay(day(2022, 5, 30), L"GBLO,UK", {}));
    EXPECT_FALSE(sched_IsBusinessDay(day(2022, 5, 30), L"UK", {}));
    EXPECT_FALSE(sched_IsBusinessDay(day(2024, 6, 19), L"NYSE,XNYS", {}));
    EXPECT_TRUE(sched_IsBusinessDay(day(2024, 6, 19), L"NYSE", {}));
    // A name given twice adds nothing.
    EXPECT_EQ(sched_Holidays(y2022, end2022, L"JPTO,JPTO", {}), sched_Holidays(y2022, end2022, L"JPTO", {}));
    // Across the eight centres Christmas 2023 and Good Friday 2024 are closed somewhere and the merge holds
    // every centre's days.
    const std::wstring all = L"USNY,USGS,XNYS,GBLO,EUTA,CHZU,JPTO,SGSI";
    const std::vector<double> merged = sched_Holidays(day(2023, 1, 1), day(2023, 12, 31), all, {});
    for (const wchar_t* name : {L"USNY", L"USGS", L"XNYS", L"GBLO", L"EUTA", L"CHZU", L"JPTO", L"SGSI"})
        for (const double d : sched_Holidays(day(2023, 1, 1), day(2023, 12, 31), name, {}))
            EXPECT_NE(std::find(merged.begin(), merged.end(), d), merged.end());
    EXPECT_TRUE(std::is_sorted(merged.begin(), merged.end()));
    EXPECT_EQ(std::adjacent_find(merged.begin(), merged.end()), merged.end());
    // Case and blanks matter as for every name.
    EXPECT_THROW(sched_IsBusinessDay(y2022, L"xnys", {}), const char*);
    EXPECT_THROW(sched_IsBusinessDay(y2022, L"XNYS ", {}), const char*);
}

TEST(MaintainedCalendars, ScheduleAdjustmentUsesTheMaintainedDays) {
    // Following from Saturday 18 June 2022 on XNYS: Monday 20 June is Juneteenth observed.
    EXPECT_EQ(sched_AdjustToBusDay(day(2022, 6, 18), L"s", L"XNYS", {}), day(2022, 6, 21));
    EXPECT_EQ(sched_AdjustToBusDay(day(2022, 6, 18), L"s", L"NYSE", {}), day(2022, 6, 20));
    EXPECT_EQ(sched_plusBusinessDays(day(2019, 4, 26), 1, L"JPTO", {}), day(2019, 5, 7));
}

} // namespace
