// The business-day operations. They give exactly what counting day by day over growing windows gives, but
// count weekdays in closed form and visit each year of a span once, asking the calendar for its rule
// holidays of that year only.
//
// A window of days sees the rule holidays of every year from the year of its first day to the year of the
// day after its last one. Rule dates normally fall in their own year, so this changes nothing; but a rule
// may place a date outside its year (the Japanese equinoxes drift back by months over the millennia), and
// then a day may be a holiday in one window and open in another. Every operation below keeps to the years
// its window reaches.

#include "calendars/BusinessCalendar.h"
#include "calendars/HolidaySweep.h"
#include "dates/Messages.h"

#include <algorithm>

using namespace sweep;

namespace {

int32_t checkedInt32(int64_t n) {
    if (n < std::numeric_limits<int32_t>::min() || n > std::numeric_limits<int32_t>::max())
        throw messages::InvalidDate;
    return static_cast<int32_t>(n);
}

// The rule holidays of one year that can close a business day in [lo, hi]: weekdays in the range that are
// not extra holidays already, as sorted distinct keys (key = direction * day, so keys grow the way a search
// moves).
class YearRules {
public:
    YearRules(const BusinessCalendar& calendar, const std::vector<int64_t>& extraDays, int64_t lo, int64_t hi,
              int64_t direction)
        : calendar_(calendar), extraDays_(extraDays), lo_(lo), hi_(hi), direction_(direction) {}

    const std::vector<int64_t>& keysOf(int32_t year) {
        dates_.clear();
        keys_.clear();
        calendar_.appendHolidaysOfYear(year, dates_);
        for (const int64_t day : dates_)
            if (day >= lo_ && day <= hi_ && isWeekday(day) &&
                !std::binary_search(extraDays_.begin(), extraDays_.end(), day))
                keys_.push_back(direction_ * day);
        std::sort(keys_.begin(), keys_.end());
        keys_.erase(std::unique(keys_.begin(), keys_.end()), keys_.end());
        return keys_;
    }

private:
    const BusinessCalendar& calendar_;
    const std::vector<int64_t>& extraDays_;
    int64_t lo_, hi_, direction_;
    std::vector<int64_t> dates_, keys_;
};

// The weekdays of [start, end) closed in the window [start, end) (start < end): extra holidays and the rule
// holidays of the years from year(start) to year(end), each day once.
int64_t closedWeekdays(const BusinessCalendar& calendar, int64_t start, int64_t end) {
    const std::vector<int64_t> extraDays = weekdayExtraHolidays(calendar.extraHolidays());
    int64_t closed = std::upper_bound(extraDays.begin(), extraDays.end(), end - 1) -
                     std::lower_bound(extraDays.begin(), extraDays.end(), start);
    YearRules rules(calendar, extraDays, start, end - 1, 1);
    DayRuns open; // rule holidays met and not yet counted
    const int32_t lastYear = yearOf(end);
    for (int32_t year = yearOf(start);; ++year) {
        for (const int64_t day : rules.keysOf(year))
            if (open.find(day) == nullptr)
                open.insert({day, 0});
        if (year == lastYear)
            break;
        // No later year gives a day this far back again: count those and let them go.
        const int64_t settled = firstDayOfYear(year + 1) - kRuleReachDays;
        for (; !open.empty() && open.front().key < settled; open.popFront())
            ++closed;
    }
    return closed + static_cast<int64_t>(open.size());
}

// The steps-th business day after (direction +1) or before (direction -1) `day`, as the growing-window
// search finds it. With the rules of the years reached so far, the answer is the steps-th weekday that no
// holiday closes: the steps-th weekday, pushed on by one weekday for each closed one passed. It stands once
// the window ending there reaches no year beyond those; otherwise the next year's rules join.
int64_t stepBusinessDays(const BusinessCalendar& calendar, int64_t day, int64_t steps, int64_t direction) {
    const std::vector<int64_t> extraDays = weekdayExtraHolidays(calendar.extraHolidays());
    std::vector<int64_t> extraKeys; // ascending keys of the extra holidays on the search's side of day
    for (const int64_t extra : extraDays)
        if (direction * (extra - day) > 0)
            extraKeys.push_back(direction * extra);
    if (direction < 0)
        std::reverse(extraKeys.begin(), extraKeys.end());

    const int64_t weekdaysBefore = direction > 0 ? weekdaysThrough(day) : weekdaysThrough(day - 1);
    int64_t closed = 0; // weekdays passed that are closed
    const auto candidate = [&]() -> int64_t {
        if (direction > 0) {
            const int64_t found = nthWeekday(weekdaysBefore + steps + closed);
            // The window [day + 1, found] is counted up to found + 1, which must be a 32-bit day.
            if (found >= kLastDay)
                throw messages::InvalidDate;
            return found;
        }
        // Every day of 1 and below is a weekend: a search that runs out of weekdays would never end.
        const int64_t ordinal = weekdaysBefore - steps - closed + 1;
        if (ordinal < 1)
            throw messages::InvalidDate;
        return nthWeekday(ordinal);
    };
    int64_t found = candidate();

    DayRuns ahead;  // rule holidays beyond the candidate
    DayRuns passed; // rule holidays passed, kept while a later year could give them again
    std::size_t nextExtra = 0;
    const auto passClosedDays = [&] {
        for (;;) {
            const bool extraFirst =
                nextExtra < extraKeys.size() && (ahead.empty() || extraKeys[nextExtra] < ahead.front().key);
            if (!extraFirst && ahead.empty())
                return;
            const int64_t key = extraFirst ? extraKeys[nextExtra] : ahead.front().key;
            if (key > direction * found)
                return;
            if (extraFirst) {
                ++nextExtra;
            } else {
                passed.insert(ahead.front());
                ahead.popFront();
            }
            ++closed;
            found = candidate();
        }
    };

    const int64_t lo = direction > 0 ? day + 1 : std::numeric_limits<int64_t>::min();
    const int64_t hi = direction > 0 ? kLastDay : day - 1;
    YearRules rules(calendar, extraDays, lo, hi, direction);
    for (int32_t year = yearOf(direction > 0 ? day + 1 : day);; year += static_cast<int32_t>(direction)) {
        for (const int64_t key : rules.keysOf(year)) {
            if (ahead.find(key) != nullptr || passed.find(key) != nullptr)
                continue;
            if (key <= direction * found) {
                passed.insert({key, 0});
                ++closed;
                found = candidate();
            } else {
                ahead.insert({key, 0});
            }
        }
        passClosedDays();
        // Forward, the window [day + 1, found] reaches the year of found + 1; backward, [found, day - 1]
        // reaches the year of found (every day up to 366 is in 1900).
        if (direction > 0 ? found < lastDayOfYear(year) : year == 1900 || found >= firstDayOfYear(year))
            return found;
        const int64_t settled = direction > 0 ? firstDayOfYear(year + 1) - kRuleReachDays
                                              : -(lastDayOfYear(year - 1) + kRuleReachDays);
        while (!passed.empty() && passed.front().key < settled)
            passed.popFront();
    }
}

} // namespace

std::vector<double> BusinessCalendar::nonBusinessDays(int32_t start, int32_t end) const {
    std::vector<double> result;
    if (end <= start)
        return result;
    std::vector<int64_t> ruleDays;
    const int32_t lastYear = SerialDate(end).year();
    for (int32_t year = SerialDate(start).year(); year <= lastYear; ++year)
        appendHolidaysOfYear(year, ruleDays);
    std::sort(ruleDays.begin(), ruleDays.end());
    const std::vector<int64_t> extraDays = weekdayExtraHolidays(extraHolidays_);
    for (int64_t day = start; day < end; ++day)
        if (!isWeekday(day) || std::binary_search(extraDays.begin(), extraDays.end(), day) ||
            std::binary_search(ruleDays.begin(), ruleDays.end(), day))
            result.push_back(static_cast<double>(day));
    return result;
}

bool BusinessCalendar::isBusinessDay(int32_t day) const {
    if (!isWeekday(day)) // also the last day of the range, whose next day would not fit
        return false;
    if (std::find(extraHolidays_.begin(), extraHolidays_.end(), static_cast<double>(day)) !=
        extraHolidays_.end())
        return false;
    // The one-day window [day, day + 1) sees the rules of the years of both days.
    std::vector<int64_t> ruleDays;
    const int32_t lastYear = yearOf(int64_t{day} + 1);
    for (int32_t year = yearOf(day); year <= lastYear; ++year)
        appendHolidaysOfYear(year, ruleDays);
    return std::find(ruleDays.begin(), ruleDays.end(), day) == ruleDays.end();
}

int32_t BusinessCalendar::businessDayCount(int32_t start, int32_t end) const {
    if (end <= start)
        return checkedInt32(int64_t{end} - start); // zero or minus the calendar days
    const int64_t weekdays = weekdaysThrough(int64_t{end} - 1) - weekdaysThrough(int64_t{start} - 1);
    return checkedInt32(weekdays - closedWeekdays(*this, start, end));
}

int32_t BusinessCalendar::plusBusinessDays(int32_t day, int32_t n) const {
    if (n == 0)
        return day;
    const int64_t direction = n > 0 ? 1 : -1;
    return static_cast<int32_t>(stepBusinessDays(*this, day, direction * n, direction));
}

int32_t BusinessCalendar::nextBusinessDay(int32_t day) const {
    return static_cast<int32_t>(stepBusinessDays(*this, day, 1, 1));
}

int32_t BusinessCalendar::previousBusinessDay(int32_t day) const {
    return static_cast<int32_t>(stepBusinessDays(*this, day, 1, -1));
}

int32_t BusinessCalendar::lastBusinessDayOfMonth(int32_t day) const {
    const int32_t monthEnd = SerialDate(day).endOfMonth().serial();
    return isBusinessDay(monthEnd) ? monthEnd : previousBusinessDay(monthEnd);
}

SerialDate BusinessCalendar::adjust(SerialDate date, std::wstring convention) const {
    const int32_t day = date.serial();
    if (isBusinessDay(day))
        return date;
    if (equalsIgnoringCase(convention, L"p"))
        return SerialDate(previousBusinessDay(day));
    if (equalsIgnoringCase(convention, L"s"))
        return SerialDate(nextBusinessDay(day));
    if (equalsIgnoringCase(convention, L"m")) {
        // Modified following: the next business day unless it leaves the month, then the one before.
        const SerialDate following(nextBusinessDay(day));
        return following.month() == date.month() ? following : SerialDate(previousBusinessDay(day));
    }
    return date; // any other text leaves the date as it is
}

std::vector<SerialDate> BusinessCalendar::adjustAll(std::vector<SerialDate> dates,
                                                    std::wstring convention) const {
    for (SerialDate& date : dates)
        date = adjust(date, convention);
    return dates;
}
