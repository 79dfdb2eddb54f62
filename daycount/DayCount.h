#pragma once

#include "dates/SerialDate.h"

#include <cstdint>
#include <string>

namespace tavrin {

// The eleven day-count conventions, and the value of a text that names none of them. Parsing never fails:
// an unrecognised convention fails with "Invalid DCF convention." where a year fraction is first asked of
// it, after the period's own check, which is where the name used to be looked up. So the first failure a
// call detects stays the same, and a convention that is never used (a floating leg's) is never refused.
enum class DayCountConvention : uint8_t {
    Act365F,
    Act360,
    Act365L,
    Act365A,
    NL365,
    Thirty360Isda,
    Thirty360E,
    Thirty360EPlus,
    Thirty360German,
    Thirty360US,
    ActAct,
    Unrecognised,
};

// The only reading of day-count names, case-insensitively: "Act/365F", "Act/360", "Act/365L", "Act/365A",
// "NL/365", "30/360 ISDA", "30E/360", "30E+/360", "30/360 German", "30/360 US", "Act/Act".
DayCountConvention parseDayCountConvention(const std::wstring& text);

// Year fraction of [start, end]; a period ending before its start fails before the convention is looked at.
double dayCountFraction(SerialDate start, SerialDate end, DayCountConvention convention);
double sched_DCF(double start, double end, std::wstring convention);

} // namespace tavrin
