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
#include "calendars/BusinessDayConvention.h"
#include "calendars/HolidaySweep.h"
#include "calendars/MergedBusinessCalendar.h"
#include "dates/Messages.h"

#include <algorithm>
#include <exception>
#include <limits>
#include <optional>
#include <utility>

namespace tavrin {

using namespace sweep;

namespace {

int32_t checkedInt32(int64_t n) {
    if (n < std::numeric_limits<int32_t>::min() || n > std::numeric_limits<int32_t>::max())
        throw messages::InvalidDate;
    return static_cast<int32_t>(n);
}

// Spans from which the kinds of years are worth finding: longer than the host's whole date range (to 9999),
// in days or in business days, so that every span within it is walked year by year as it always was.
constexpr int64_t kLongSpanDays = 3'000'000;
constexpr int64_t kLongSpanSteps = 2'200'000;

// The calendar itself as the one member of a walk: its rules, merged or not.
std::vector<const BusinessCalendar*> alone(const BusinessCalendar& calendar) {
    return {&calendar};
}

// The members whose kinds of years are asked: those of a merged calendar (whose rules are theirs, one after
// the other), or the calendar itself.
std::vector<const BusinessCalendar*> membersOf(const BusinessCalendar& calendar) {
    if (const auto* merged = dynamic_cast<const MergedBusinessCalendar*>(&calendar))
        return merged->distinctCalendars();
    return {&calendar};
}

} // namespace

namespace sweep {

// The weekdays of [start, end) closed in the window [start, end) (start < end): extra holidays and the rule
// holidays of the years from year(start) to year(end), each day once.
int64_t closedWeekdays(const BusinessCalendar& calendar, int64_t start, int64_t end, Walk walk) {
    const std::vector<int64_t>& extraDays = calendar.closingExtraDays();
    struct Count {
        const std::vector<int64_t>& extraDays;
        int64_t start;
        int64_t end;
        int32_t lastYear;
        int64_t closed = 0;
        bool wants(int64_t day) const { return day < end && isWeekday(day) && !isExtra(extraDays, day); }
        void met(int64_t, std::size_t, bool fresh) { closed += fresh ? 1 : 0; }
        bool yearDone(int32_t year, int64_t, int64_t) const { return year == lastYear; }
        bool takesWhole(int64_t first, int64_t last) const {
            return first >= start && last < end && noExtraIn(extraDays, first, last);
        }
        void tookWhole(int64_t n) { closed += n; }
    } count{extraDays, start, end, yearOf(end)};
    DayRing met(end - start); // rule holidays already counted
    if (walk == Walk::byKinds) {
        YearKinds kinds(membersOf(calendar));
        sweepYears(membersOf(calendar), {1, yearOf(start), start}, met, count, &kinds);
    } else {
        sweepYears(alone(calendar), {1, yearOf(start), start}, met, count);
    }
    const int64_t extras = std::upper_bound(extraDays.begin(), extraDays.end(), end - 1) -
                           std::lower_bound(extraDays.begin(), extraDays.end(), start);
    return extras + count.closed;
}

} // namespace sweep

namespace {

// The steps-th business day after (direction +1) or before (direction -1) `day`, as the growing-window
// search finds it. With the rules of the years reached so far, the answer is the steps-th weekday that no
// holiday closes: the steps-th weekday, pushed on by one weekday for each closed one passed. It stands once
// the window ending there reaches no year beyond those; otherwise the next year's rules join.
//
// Days are handled as keys, direction * day, so that keys grow the way the search moves.
class Stepper {
public:
    // `met` is the ring the walk gathers the rule holidays in.
    Stepper(const BusinessCalendar& calendar, const DayRing& met, int64_t day, int64_t steps,
            int64_t direction)
        : extraDays_(calendar.closingExtraDays()), met_(met), direction_(direction), dayKey_(direction * day),
          steps_(steps), weekdaysBefore_(direction > 0 ? weekdaysThrough(day) : weekdaysThrough(day - 1)),
          counted_(dayKey_) {
        // The extra holidays on the search's side of day, in the order the search meets them.
        if (direction > 0) {
            nextExtra_ = std::upper_bound(extraDays_.begin(), extraDays_.end(), day) - extraDays_.begin();
        } else {
            nextExtra_ = extraDays_.end() - std::lower_bound(extraDays_.begin(), extraDays_.end(), day);
        }
        found_ = candidate();
    }

    int64_t result() const { return found_; }

    bool wants(int64_t key) const {
        return isWeekday(direction_ * key) && !isExtra(extraDays_, direction_ * key);
    }

    // A newly met holiday behind the candidate pushes it on. The candidate itself is needed only once the
    // year is done: a long step meets a few holidays a year.
    void met(int64_t key, std::size_t, bool fresh) {
        if (fresh && key <= counted_) {
            ++closed_;
            stale_ = true;
        }
    }

    // A year behind the candidate's counted keys, after `day`, with no extra holiday.
    bool takesWhole(int64_t firstKey, int64_t lastKey) const {
        return firstKey > dayKey_ && lastKey <= counted_ &&
               noExtraIn(extraDays_, std::min(direction_ * firstKey, direction_ * lastKey),
                         std::max(direction_ * firstKey, direction_ * lastKey));
    }
    void tookWhole(int64_t closed) {
        closed_ += closed;
        stale_ = stale_ || closed != 0;
    }

    bool yearDone(int32_t year, int64_t base, int64_t) {
        if (stale_) {
            found_ = candidate();
            stale_ = false;
        }
        catchUp(base);
        // Forward, the window [day + 1, found] reaches the year of found + 1; backward, [found, day - 1]
        // reaches the year of found (every day up to 366 is in 1900).
        return direction_ > 0 ? found_ < lastDayOfYear(year) : year == 1900 || found_ >= firstDayOfYear(year);
    }

private:
    int64_t candidate() const {
        if (direction_ > 0) {
            const int64_t found = nthWeekday(weekdaysBefore_ + steps_ + closed_);
            // The window [day + 1, found] is counted up to found + 1, which must be a 32-bit day.
            if (found >= kLastDay)
                throw messages::InvalidDate;
            return found;
        }
        // Every day of 1 and below is a weekend: a search that runs out of weekdays would never end.
        const int64_t ordinal = weekdaysBefore_ - steps_ - closed_ + 1;
        if (ordinal < 1)
            throw messages::InvalidDate;
        return nthWeekday(ordinal);
    }

    // Counts the closed days between the keys counted and the candidate, and moves the candidate on by as
    // many weekdays, until it passes no more.
    void catchUp(int64_t base) {
        while (direction_ * found_ > counted_) {
            const int64_t key = direction_ * found_;
            const int64_t from = std::max(counted_ + 1, base);
            int64_t passed = from <= key ? met_.count(from, std::min(key, from + met_.size() - 1)) : 0;
            // The extra holidays passed, found by search rather than one by one: a step may pass thousands.
            std::size_t last = nextExtra_;
            // The next extra holiday on the search's way, if any: most years of a long search pass none, and
            // then there is nothing to search for.
            const bool passesNone = nextExtra_ >= extraDays_.size() ||
                                    (direction_ > 0 ? extraDays_[nextExtra_] > key
                                                    : extraDays_[extraDays_.size() - 1 - nextExtra_] < -key);
            if (!passesNone && direction_ > 0)
                last = std::upper_bound(extraDays_.begin(), extraDays_.end(), key) - extraDays_.begin();
            else if (!passesNone)
                last = extraDays_.end() - std::lower_bound(extraDays_.begin(), extraDays_.end(), -key);
            last = std::max(last, nextExtra_);
            passed += static_cast<int64_t>(last - nextExtra_);
            nextExtra_ = last;
            counted_ = key;
            if (passed == 0)
                return;
            closed_ += passed;
            found_ = candidate();
        }
    }

    const std::vector<int64_t>& extraDays_;
    const DayRing& met_;
    int64_t direction_;
    int64_t dayKey_;
    int64_t steps_;
    int64_t weekdaysBefore_;
    int64_t closed_ = 0;    // closed weekdays passed
    int64_t counted_;       // the closed days up to this key are in closed_
    std::size_t nextExtra_; // extra holidays the search has passed, counted from its side of day
    int64_t found_ = 0;
    bool stale_ = false; // closed_ has grown since found_ was computed
};

} // namespace

namespace sweep {

int64_t stepBusinessDays(const BusinessCalendar& calendar, int64_t day, int64_t steps, int64_t direction,
                         Walk walk) {
    DayRing met; // keys of the rule holidays met
    Stepper stepper(calendar, met, day, steps, direction);
    const int32_t firstYear = yearOf(direction > 0 ? day + 1 : day);
    if (walk == Walk::byKinds) {
        YearKinds kinds(membersOf(calendar));
        sweepYears(membersOf(calendar), {direction, firstYear, direction * day + 1}, met, stepper, &kinds);
    } else {
        sweepYears(alone(calendar), {direction, firstYear, direction * day + 1}, met, stepper);
    }
    return stepper.result();
}

} // namespace sweep

namespace {

// Long spans are counted by kinds of years, short ones year by year.
int64_t closedWeekdays(const BusinessCalendar& calendar, int64_t start, int64_t end) {
    return sweep::closedWeekdays(calendar, start, end,
                                 end - start > kLongSpanDays ? Walk::byKinds : Walk::yearByYear);
}

int64_t stepBusinessDays(const BusinessCalendar& calendar, int64_t day, int64_t steps, int64_t direction) {
    return sweep::stepBusinessDays(calendar, day, steps, direction,
                                   steps > kLongSpanSteps ? Walk::byKinds : Walk::yearByYear);
}

// Adjusting one date, as `adjust` defines it.
int64_t adjustOne(const BusinessCalendar& calendar, int64_t day, BusinessDayConvention how) {
    if (calendar.isBusinessDay(static_cast<int32_t>(day)))
        return day;
    switch (how) {
    case BusinessDayConvention::Preceding:
        return stepBusinessDays(calendar, day, 1, -1);
    case BusinessDayConvention::Following:
        return stepBusinessDays(calendar, day, 1, 1);
    case BusinessDayConvention::ModifiedFollowing: {
        // The next business day unless it leaves the month, then the one before.
        const int64_t following = stepBusinessDays(calendar, day, 1, 1);
        if (SerialDate(static_cast<int32_t>(following)).month() ==
            SerialDate(static_cast<int32_t>(day)).month())
            return following;
        return stepBusinessDays(calendar, day, 1, -1);
    }
    case BusinessDayConvention::Unadjusted:
        break;
    }
    return day;
}

// The closed days of a run of whole years, gathered once to adjust the dates in it. The searches of `adjust`
// see the rules of the years their windows reach; when every year of the run keeps its rule dates within
// itself, a day of the run is a holiday in every window reaching its year and in none other, so one set
// stands for all of them. Answers only for searches that stay inside the run; the caller adjusts the other
// dates one by one.
//
// Dates are adjusted in ascending order, so the searches for the next and the previous open day move
// forward only: each day of the run is looked at a bounded number of times however many dates there are.
class YearRunHolidays {
public:
    // A bound on the set's memory (a bit per day, some 450 kB).
    static constexpr int32_t kMaxYears = 10'000;

    // The run from firstYear to lastYear; nothing when a year of it places a rule date outside itself (the
    // Japanese equinoxes far ahead).
    static std::optional<YearRunHolidays> of(const BusinessCalendar& calendar, int32_t firstYear,
                                             int32_t lastYear) {
        YearRunHolidays run(firstYear, lastYear);
        std::vector<int64_t> dates;
        for (int32_t year = firstYear; year <= lastYear; ++year) {
            dates.clear();
            calendar.appendHolidaysOfYear(year, dates);
            const int64_t first = firstDayOfYear(year);
            const int64_t last = lastDayOfYear(year);
            for (const int64_t day : dates) {
                if (day < first || day > last)
                    return std::nullopt;
                run.close(day);
            }
        }
        // The extra holidays of the run only, found by search in the sorted list.
        const std::vector<int64_t>& extras = calendar.closingExtraDays();
        for (auto it = std::lower_bound(extras.begin(), extras.end(), run.first_);
             it != extras.end() && *it <= run.end_; ++it)
            run.close(*it);
        return run;
    }

    // The date adjusted as `adjust` would; nothing when a search would leave the run. Dates must come in
    // ascending order.
    std::optional<int64_t> adjust(int64_t day, BusinessDayConvention how) {
        if (day < first_ || day + 1 > end_)
            return std::nullopt;
        if (open(day))
            return day;
        switch (how) {
        case BusinessDayConvention::Preceding:
            return previous(day);
        case BusinessDayConvention::Following:
            return next(day);
        case BusinessDayConvention::ModifiedFollowing: {
            const std::optional<int64_t> following = next(day);
            if (!following)
                return std::nullopt;
            if (SerialDate(static_cast<int32_t>(*following)).month() ==
                SerialDate(static_cast<int32_t>(day)).month())
                return following;
            return previous(day);
        }
        case BusinessDayConvention::Unadjusted:
            break;
        }
        return day;
    }

private:
    YearRunHolidays(int32_t firstYear, int32_t lastYear)
        : first_(firstDayOfYear(firstYear)), end_(std::min(lastDayOfYear(lastYear), kLastDay)),
          closed_(static_cast<std::size_t>(end_ - first_ + 1), false), nextOpen_(first_ - 1),
          lastOpenScanned_(first_ - 1) {}

    void close(int64_t day) {
        if (day >= first_ && day <= end_)
            closed_[static_cast<std::size_t>(day - first_)] = true;
    }
    bool open(int64_t day) const {
        return isWeekday(day) && !closed_[static_cast<std::size_t>(day - first_)];
    }

    // The first open day after `day`; the window [day + 1, h] reaches the year of h + 1, which must lie in
    // the run. The answer for a later day starts from the answer for an earlier one.
    std::optional<int64_t> next(int64_t day) {
        if (nextOpen_ <= day) {
            nextOpen_ = day + 1;
            while (nextOpen_ + 1 <= end_ && !open(nextOpen_))
                ++nextOpen_;
        }
        if (nextOpen_ + 1 > end_)
            return std::nullopt;
        return nextOpen_;
    }
    // The last open day before `day`; the window [l, day - 1] reaches the year of l. The days up to day - 1
    // are scanned once over all dates.
    std::optional<int64_t> previous(int64_t day) {
        for (; lastOpenScanned_ < day - 1; ++lastOpenScanned_)
            if (open(lastOpenScanned_ + 1))
                lastOpen_ = lastOpenScanned_ + 1;
        return lastOpen_;
    }

    int64_t first_; // 1 January of the first year
    int64_t end_;   // 31 December of the last year, or the last 32-bit day
    std::vector<bool> closed_;
    int64_t nextOpen_;                // the open day found last by `next`, or a day before the run
    int64_t lastOpenScanned_;         // the days up to here have been looked at by `previous`
    std::optional<int64_t> lastOpen_; // the last open day among them
};

// The outcome of adjusting one date: the day, or the exception it failed with.
struct Adjusted {
    int64_t day = 0;
    std::exception_ptr failure;
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
    for (int64_t day = start; day < end; ++day)
        if (!isWeekday(day) || isExtra(closingExtras_, day) ||
            std::binary_search(ruleDays.begin(), ruleDays.end(), day))
            result.push_back(static_cast<double>(day));
    return result;
}

// The one-day window [day, day + 1) sees the rules of the years of both days.
bool BusinessCalendar::isBusinessDay(int32_t day) const {
    if (!isWeekday(day)) // also the last day of the range, whose next day would not fit
        return false;
    return closedWeekdays(*this, day, int64_t{day} + 1) == 0;
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

SerialDate BusinessCalendar::adjust(SerialDate date, BusinessDayConvention convention) const {
    return SerialDate(static_cast<int32_t>(adjustOne(*this, date.serial(), convention)));
}

SerialDate BusinessCalendar::adjust(SerialDate date, std::wstring convention) const {
    return adjust(date, parseBusinessDayConvention(convention));
}

// A schedule's dates share their years: the holidays of each run of neighbouring years are gathered once
// for all its dates, and only dates whose searches would leave their run are adjusted alone. The dates are
// taken in ascending order; the first failure in the order given is the one thrown, as adjusting them one
// after the other would.
std::vector<SerialDate> BusinessCalendar::adjustAll(std::vector<SerialDate> dates,
                                                    BusinessDayConvention convention) const {
    if (convention == BusinessDayConvention::Unadjusted) // every date stays as it is
        return dates;
    std::vector<std::size_t> order(dates.size());
    for (std::size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    std::stable_sort(order.begin(), order.end(),
                     [&](std::size_t a, std::size_t b) { return dates[a].serial() < dates[b].serial(); });

    std::vector<Adjusted> adjusted(dates.size());
    const auto alone = [&](std::size_t i) {
        try {
            adjusted[i].day = adjustOne(*this, dates[i].serial(), convention);
        } catch (...) {
            adjusted[i].failure = std::current_exception(); // thrown below, in the order given
        }
    };
    const auto yearOfEntry = [&](std::size_t k) { return yearOf(dates[order[k]].serial()); };
    for (std::size_t k = 0; k < order.size();) {
        // A run: the years of neighbouring dates, one year either side so that the searches stay inside.
        const int32_t firstYear = std::max(1900, yearOfEntry(k) - 1);
        std::size_t end = k + 1;
        while (end < order.size() && yearOfEntry(end) <= yearOfEntry(end - 1) + 2 &&
               yearOfEntry(end) + 1 - firstYear < YearRunHolidays::kMaxYears)
            ++end;
        const int32_t lastYear = std::min(yearOf(kLastDay), yearOfEntry(end - 1) + 1);
        std::optional<YearRunHolidays> run;
        try {
            run = YearRunHolidays::of(*this, firstYear, lastYear);
        } catch (...) {
            run.reset(); // a year the dates' own searches may never ask for: each date finds out alone
        }
        for (; k < end; ++k) {
            const std::size_t i = order[k];
            const std::optional<int64_t> day =
                run ? run->adjust(dates[i].serial(), convention) : std::nullopt;
            if (day)
                adjusted[i].day = *day;
            else
                alone(i);
        }
    }
    for (std::size_t i = 0; i < dates.size(); ++i) {
        if (adjusted[i].failure)
            std::rethrow_exception(adjusted[i].failure);
        dates[i] = SerialDate(static_cast<int32_t>(adjusted[i].day));
    }
    return dates;
}

std::vector<SerialDate> BusinessCalendar::adjustAll(std::vector<SerialDate> dates,
                                                    std::wstring convention) const {
    return adjustAll(std::move(dates), parseBusinessDayConvention(convention));
}

} // namespace tavrin
