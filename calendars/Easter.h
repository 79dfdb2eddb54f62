#pragma once

#include <cstdint>

// Day of the year (1 January = 1, real Gregorian calendar) of Easter Monday for any year: the table for
// 1901-2199, the Gregorian Easter rule elsewhere. Good Friday is J + T - 4, Ascension J + T + 37 and Whit
// Monday J + T + 48, with J the day number of 1 January.
int32_t easterMondayDayOfYear(int32_t year);
