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
#include <limits>
#include <optional>

using namespace sweep;

namespace {

int32_t checkedInt32(int64_t n) {
    if (n < std::numeric_limits<int32_t>::min() || n > std::numeric_limits<int32_t>::max())
        throw messages::InvalidDate;
    return static_cast<int32_t>(n);
}

// The calendar's rule dates of one year, reused from year to year.
class YearRules {
public:
    explicit YearRules(const BusinessCalendar& calendar) : calendar_(calendar) {}
    const std::vector<int64_t>& of(int32_t year) {
        dates_.clear();
        calendar_.appendHolidaysOfYear(year, dates_);
        return dates_;
    }

private:
    const BusinessCalendar& calendar_;
    std::vector<int64_t> dates_;
};

// Whether a key lies in the ring's band from `base` on. Every key a sweep needs does; the test only keeps a
// calendar breaking the reach of its rules from corrupting the ring.
bool inBand(int64_t key, int64_t base, const DayRing& ring) {
    return key >= base && key - base < ring.size();
}

bool isExtra(const std::vector<int64_t>& extraDays, int64_t day) {
    return !extraDays.empty() && std::binary_search(extraDays.begin(), extraDays.end(), day);
}

// The weekdays of [start, end) closed in the window [start, end) (start < end): extra holidays and the rule
// holidays of the years from year(start) to year(end), each day once.
int64_t closedWeekdays(const BusinessCalendar& calendar, int64_t start, int64_t end) {
    const std::vector<int64_t> extraDays = weekdayExtraHolidays(calendar.extraHolidays());
    int64_t closed = std::upper_bound(extraDays.begin(), extraDays.end(), end - 1) -
                     std::lower_bound(extraDays.begin(), extraDays.end(), start);
    YearRules rules(calendar);
    DayRing met(end - start);                                       // rule holidays already counted
    int64_t floor = firstDayOfYear(yearOf(start)) - kRuleReachDays; // no rule date lies lower
    const int32_t lastYear = yearOf(end);
    for (int32_t year = yearOf(start);; ++year) {
        // The ring holds the days from here on; a ring as long as the span holds all of it.
        const int64_t base = std::max(floor, start);
        for (const int64_t day : rules.of(year))
            if (day < end && isWeekday(day) && inBand(day, base, met) && !isExtra(extraDays, day) &&
                met.insert(day))
                ++closed;
        if (year == lastYear)
            return closed;
        // No later year gives a day this far back: forget those, making room for the days ahead.
        const int64_t settled = firstDayOfYear(year + 1) - kRuleReachDays;
        met.erase(base, std::min(settled, end) - 1);
        floor = settled;
    }
}

// The steps-th business day after (direction +1) or before (direction -1) `day`, as the growing-window
// search finds it. With the rules of the years reached so far, the answer is the steps-th weekday that no
// holiday closes: the steps-th weekday, pushed on by one weekday for each closed one passed. It stands once
// the window ending there reaches no year beyond those; otherwise the next year's rules join.
//
// Days are handled as keys, direction * day, so that keys grow the way the search moves.
int64_t stepBusinessDays(const BusinessCalendar& calendar, int64_t day, int64_t steps, int64_t direction) {
    const std::vector<int64_t> extraDays = weekdayExtraHolidays(calendar.extraHolidays());
    std::vector<int64_t> extraKeys; // ascending keys of the extra holidays on the search's side of day
    for (const int64_t extra : extraDays)
        if (direction * (extra - day) > 0)
            extraKeys.push_back(direction * extra);
    if (direction < 0)
        std::reverse(extraKeys.begin(), extraKeys.end());

    const int64_t weekdaysBefore = direction > 0 ? weekdaysThrough(day) : weekdaysThrough(day - 1);
    int64_t closed = 0; // closed weekdays passed
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

    const int32_t firstYear = yearOf(direction > 0 ? day + 1 : day);
    DayRing met; // keys of the rule holidays met
    int64_t floor = direction > 0 ? firstDayOfYear(firstYear) - kRuleReachDays
                                  : -(lastDayOfYear(firstYear) + kRuleReachDays); // no key lies lower
    int64_t counted = direction * day; // the closed days up to this key are in `closed`
    std::size_t nextExtra = 0;
    // Counts the closed days between the keys counted and the candidate, and moves the candidate on by as
    // many weekdays, until it passes no more.
    const auto catchUp = [&] {
        while (direction * found > counted) {
            const int64_t key = direction * found;
            const int64_t from = std::max(counted + 1, floor);
            int64_t passed = from <= key ? met.count(from, std::min(key, from + met.size() - 1)) : 0;
            for (; nextExtra < extraKeys.size() && extraKeys[nextExtra] <= key; ++nextExtra)
                ++passed;
            counted = key;
            if (passed == 0)
                return;
            closed += passed;
            found = candidate();
        }
    };

    YearRules rules(calendar);
    for (int32_t year = firstYear;; year += static_cast<int32_t>(direction)) {
        for (const int64_t ruleDay : rules.of(year)) {
            const int64_t key = direction * ruleDay;
            if (direction * (ruleDay - day) <= 0 || !isWeekday(ruleDay) || !inBand(key, floor, met) ||
                isExtra(extraDays, ruleDay) || !met.insert(key))
                continue;
            if (key <= counted) { // a newly met holiday behind the candidate pushes it on
                ++closed;
                found = candidate();
            }
        }
        catchUp();
        // Forward, the window [day + 1, found] reaches the year of found + 1; backward, [found, day - 1]
        // reaches the year of found (every day up to 366 is in 1900).
        if (direction > 0 ? found < lastDayOfYear(year) : year == 1900 || found >= firstDayOfYear(year))
            return found;
        // The years still to come give no key this low: forget those, making room for the keys ahead.
        const int64_t settled = direction > 0 ? firstDayOfYear(year + 1) - kRuleReachDays
                                              : -(lastDayOfYear(year - 1) + kRuleReachDays);
        met.erase(floor, settled - 1);
        floor = settled;
    }
}

enum class Adjustment { None, Preceding, Following, ModifiedFollowing };

Adjustment adjustmentOf(const std::wstring& convention) {
    if (equalsIgnoringCase(convention, L"p"))
        return Adjustment::Preceding;
    if (equalsIgnoringCase(convention, L"s"))
        return Adjustment::Following;
    if (equalsIgnoringCase(convention, L"m"))
        return Adjustment::ModifiedFollowing;
    return Adjustment::None;
}

// The closed days of a run of whole years, gathered once to adjust many dates. The searches of `adjust` see
// the rules of the years their windows reach; when every year of the run keeps its rule dates within itself,
// a day of the run is a holiday in every window reaching its year and in none other, so one set stands for
// all of them. Answers only for windows inside the run; the caller adjusts the other dates one by one.
class YearRunHolidays {
public:
    // A bound on the set's memory (a bit per day, some 450 kB). More years than dates would cost more than
    // adjusting each date alone.
    static constexpr int64_t kMaxYears = 10'000;

    // Nothing when the dates are too sparse for a run to pay, or some year of the run places a rule date
    // outside itself (the Japanese equinoxes far ahead).
    static std::optional<YearRunHolidays> covering(const BusinessCalendar& calendar,
                                                   const std::vector<SerialDate>& dates) {
        if (dates.empty())
            return std::nullopt;
        const auto [low, high] = std::minmax_element(dates.begin(), dates.end());
        // A year either side, so that the searches from the dates stay inside the run.
        const int32_t firstYear = std::max(1900, yearOf(low->serial()) - 1);
        const int32_t lastYear = std::min(yearOf(kLastDay), yearOf(high->serial()) + 1);
        const int64_t years = int64_t{lastYear} - firstYear + 1;
        if (years > kMaxYears || years > static_cast<int64_t>(dates.size()) + 2)
            return std::nullopt;
        YearRunHolidays run(firstYear, lastYear);
        YearRules rules(calendar);
        for (int32_t year = firstYear; year <= lastYear; ++year) {
            const int64_t first = firstDayOfYear(year);
            const int64_t last = lastDayOfYear(year);
            for (const int64_t day : rules.of(year)) {
                if (day < first || day > last)
                    return std::nullopt;
                run.close(day);
            }
        }
        for (const int64_t day : weekdayExtraHolidays(calendar.extraHolidays()))
            run.close(day);
        return run;
    }

    // The date adjusted as `adjust` would; nothing when a search would leave the run.
    std::optional<int64_t> adjust(int64_t day, Adjustment how) const {
        if (day < first_ || day + 1 > end_)
            return std::nullopt;
        if (open(day))
            return day;
        switch (how) {
        case Adjustment::Preceding:
            return previous(day);
        case Adjustment::Following:
            return next(day);
        case Adjustment::ModifiedFollowing: {
            const std::optional<int64_t> following = next(day);
            if (!following)
                return std::nullopt;
            if (SerialDate(static_cast<int32_t>(*following)).month() ==
                SerialDate(static_cast<int32_t>(day)).month())
                return following;
            return previous(day);
        }
        case Adjustment::None:
            break;
        }
        return day;
    }

private:
    YearRunHolidays(int32_t firstYear, int32_t lastYear)
        : first_(firstDayOfYear(firstYear)), end_(std::min(lastDayOfYear(lastYear), kLastDay)),
          closed_(static_cast<std::size_t>(end_ - first_ + 1), false) {}

    void close(int64_t day) {
        if (day >= first_ && day <= end_)
            closed_[static_cast<std::size_t>(day - first_)] = true;
    }
    bool open(int64_t day) const {
        return isWeekday(day) && !closed_[static_cast<std::size_t>(day - first_)];
    }

    // The window [day + 1, h] reaches the year of h + 1, which must lie in the run.
    std::optional<int64_t> next(int64_t day) const {
        for (int64_t h = day + 1; h + 1 <= end_; ++h)
            if (open(h))
                return h;
        return std::nullopt;
    }
    // The window [l, day - 1] reaches the year of l.
    std::optional<int64_t> previous(int64_t day) const {
        for (int64_t l = day - 1; l >= first_; --l)
            if (open(l))
                return l;
        return std::nullopt;
    }

    int64_t first_; // 1 January of the first year
    int64_t end_;   // 31 December of the last year, or the last 32-bit day
    std::vector<bool> closed_;
};

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

// A schedule's dates share their years: their holidays are gathered once for all of them, and only dates
// whose searches would leave those years are adjusted alone.
std::vector<SerialDate> BusinessCalendar::adjustAll(std::vector<SerialDate> dates,
                                                    std::wstring convention) const {
    const Adjustment how = adjustmentOf(convention);
    if (how == Adjustment::None) // any other text leaves every date as it is
        return dates;
    const std::optional<YearRunHolidays> run = YearRunHolidays::covering(*this, dates);
    for (SerialDate& date : dates) {
        const std::optional<int64_t> adjusted = run ? run->adjust(date.serial(), how) : std::nullopt;
        date = adjusted ? SerialDate(static_cast<int32_t>(*adjusted)) : adjust(date, convention);
    }
    return dates;
}
