// The families' counts turned into one reference's events: where each count falls, which of
// them the window and the calendar keep, and their labels; counts of your own, and ages.
#include "generators/generators.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <optional>
#include <utility>

#include "generators/families.h"
#include "generators/months.h"
#include "timeconv/epoch.h"

namespace rondelo {

namespace {

// More than any UTC offset, gap or fold: a wall-clock reading this far outside a span of
// instants is none of them, and an instant this far inside the calendar shows a date in it.
constexpr long long zoneMargin = 2 * 86400;

// One reference's run through the series, in one direction.
struct placing {
    const anniversaryBase& base;
    const milestoneChoice& choice;
    int sign;
    std::optional<monthReading> months;  // the reference taken apart, once a month needs it
};

bool isCalendarUnit(const unitDefinition& unit)
{
    return unit.kind == unitKind::calendarMonths || unit.kind == unitKind::calendarDays;
}

// Where n of the unit fall (n < 0 before the reference) before any zone is asked: for a
// calendar unit the wall-clock reading, for the others the instant. Nothing for a month
// outside the years 1400 to 9999.
std::optional<long long> roughPlace(placing& p, const unitDefinition& unit, long long n)
{
    switch (unit.kind) {
    case unitKind::calendarMonths:
        if (!p.months)
            p.months = splitForMonths(p.base.wallClock);
        if (auto reading = monthsFrom(*p.months, n * unit.length, p.choice.clampMonthEnd))
            return reading->seconds;
        return std::nullopt;
    case unitKind::calendarDays: {
        // With the reference day as day 1 every count lies one day nearer to it.
        const long long dayCount = n * unit.length - (p.choice.countFirstDay ? p.sign : 0);
        return p.base.wallClock.seconds + dayCount * 86400;
    }
    case unitKind::exactSeconds:
        return p.base.timestamp + n * unit.length;
    case unitKind::planetYears: {
        // A thousandth of a day is 86.4 = 432 / 5 seconds; a fifth is never a half, so adding
        // 2 before dividing rounds to the nearest second.
        const long long seconds = (std::llabs(n) * unit.length * 432 + 2) / 5;
        return p.base.timestamp + (n < 0 ? -seconds : seconds);
    }
    }
    return std::nullopt;
}

// True when the instant's wall-clock reading in the zone lies in the years 1400 to 9999; the
// zone is asked only near either end.
bool showsDate(const absl::TimeZone& zone, long long instant)
{
    if (isCalendarSecond(instant - zoneMargin) && isCalendarSecond(instant + zoneMargin))
        return true;
    return isCalendarSecond(unixTime2WallClock(zone, instant).seconds);
}

// "[-]COUNT UNIT", the count in the family's form, the unit singular for a count of 1. Written
// with to_chars: a run over many references makes a label for every line it keeps.
std::string labelOf(labelForm form, int sign, long long count, const unitDefinition& unit)
{
    std::string label = sign == 1 ? "" : "-";
    char digits[24];
    const auto append = [&](long long n) {
        label.append(digits, std::to_chars(digits, digits + sizeof digits, n).ptr);
    };
    const char* name = count == 1 ? unit.singular : unit.plural;
    if (form == labelForm::power) {
        int exponent = 0;
        while ((1LL << exponent) < count)
            ++exponent;
        label += "2^";
        append(exponent);
        return label + ' ' + name;
    }
    static const char* const multipliers[] = {"", "K", "M", "G"};
    int power = 0;
    while (form == labelForm::metric && power < 3 && count % 1000 == 0) {
        count /= 1000;
        ++power;
    }
    append(count);
    return label + multipliers[power] + ' ' + name;
}

// The span a place must reach: [low, high) give or take margin. A wall-clock reading is held
// to the window, and to the calendar in a family that keeps to it, give or take zoneMargin; an
// instant is its own place, held to the window within the calendar widened by zoneMargin.
struct placeSpan {
    long long low, high, margin;
};

placeSpan spanOf(const placing& p, const unitDefinition& unit, bool calendarOnly)
{
    const bool isReading = isCalendarUnit(unit);
    placeSpan span{p.base.from, p.base.until, isReading ? zoneMargin : 0};
    if (calendarOnly) {
        span.low = std::max(span.low, firstCalendarSecond - (isReading ? 0 : zoneMargin));
        span.high = std::min(span.high, pastCalendarSecond + (isReading ? 0 : zoneMargin));
    }
    return span;
}

// The seconds a count of the unit is apart from the reference, on average, and how far its
// rough place can stray from that: months differ in length (a date strays up to 4.4 days from
// the mean month, and a day the month lacks moves it up to 3 more), and counting the first day
// moves days by one. Planet years have no pace in whole seconds that stays near their places.
struct unitPace {
    long long pace, slack;
};

unitPace paceOf(const unitDefinition& unit)
{
    switch (unit.kind) {
    case unitKind::calendarMonths:
        return {146097 * 86400LL / 4800 * unit.length, 8 * 86400};
    case unitKind::calendarDays:
        return {unit.length * 86400, 86400};
    case unitKind::exactSeconds:
        return {unit.length, 0};
    case unitKind::planetYears:
        break;
    }
    return {0, 0};
}

// A count below which no place can reach the near end of the span, by its pace and slack; 0
// when the near end is open or the unit has no steady pace.
long long lowestNear(const placing& p, const unitDefinition& unit, const placeSpan& span)
{
    const unitPace pace = paceOf(unit);
    if (pace.pace == 0 || (p.sign > 0 ? span.low == LLONG_MIN : span.high == LLONG_MAX))
        return 0;
    const long long origin = isCalendarUnit(unit) ? p.base.wallClock.seconds : p.base.timestamp;
    const long long distance = p.sign > 0 ? span.low - origin : origin - span.high;
    return std::max(0LL, (distance - pace.slack - span.margin) / pace.pace);
}

enum class verdict { keep, skip, stop };

// What becomes of n of the unit (n < 0 before the reference): kept at instant, left out, or
// past the far end of the span, where so are all the larger counts.
// True when n of the unit lies past the far end of the span by its pace alone: no calendar is
// asked, and a reference's date is not taken apart for a count far from the window.
bool isPastByPace(const placing& p, const unitDefinition& unit, const placeSpan& span, long long n)
{
    const unitPace pace = paceOf(unit);
    if (pace.pace == 0)
        return false;
    long long offset = 0;  // a count too large for 64-bit seconds lies past every calendar
    if (__builtin_mul_overflow(n, pace.pace, &offset))
        return true;
    const long long origin = isCalendarUnit(unit) ? p.base.wallClock.seconds : p.base.timestamp;
    const long long reach = pace.slack + span.margin;
    return p.sign > 0 ? span.high != LLONG_MAX && origin + offset - reach >= span.high
                      : span.low != LLONG_MIN && origin + offset + reach < span.low;
}

verdict placeOf(placing& p, const unitDefinition& unit, const placeSpan& span, bool calendarOnly,
                long long n, long long& instant)
{
    if (isPastByPace(p, unit, span, n))
        return verdict::stop;
    const std::optional<long long> rough = roughPlace(p, unit, n);
    // Counts ascend, so each place lies farther from the reference than the last.
    if (!rough ||
        (p.sign > 0 ? *rough - span.margin >= span.high : *rough + span.margin < span.low))
        return verdict::stop;
    if (p.sign > 0 ? *rough + span.margin < span.low : *rough - span.margin >= span.high)
        return verdict::skip;
    instant = isCalendarUnit(unit) ? wallClock2UnixTime(p.base.zone, {*rough}) : *rough;
    if (!isInWindow(p.base, instant) || (calendarOnly && !showsDate(p.base.zone, instant)))
        return verdict::skip;
    return verdict::keep;
}

bool isChosen(const milestoneChoice& choice, const milestoneSeries& series)
{
    return series.unit->choiceBit < 0 || (choice.units >> series.unit->choiceBit & 1) != 0;
}

// The most of the unit that two readings or instants of the calendar can lie apart, give or
// take zoneMargin: no larger count keeps to the calendar.
long long mostInCalendar(const unitDefinition& unit)
{
    const long long seconds = pastCalendarSecond - firstCalendarSecond + 2 * zoneMargin;
    switch (unit.kind) {
    case unitKind::calendarMonths:
        return (10000 - 1400) * 12 / unit.length;
    case unitKind::calendarDays:
        return seconds / 86400 / unit.length;
    case unitKind::exactSeconds:
        return seconds / unit.length;
    case unitKind::planetYears:
        return seconds * 5 / (unit.length * 432);
    }
    return 0;
}

std::size_t seriesWidth(const milestoneFamilyData& family, const milestoneSeries& series,
                        int sign)
{
    std::size_t width = 0;
    for (const long long count : series.counts) {
        if ((sign < 0 && count > series.backwardLimit) ||
            (family.calendarOnly && count > mostInCalendar(*series.unit)))
            break;
        width = std::max(width, labelOf(series.form, sign, count, *series.unit).size());
    }
    return width;
}

// A plain count's label is the longer the larger the count: the widest is the largest.
std::size_t plainWidth(const unitDefinition& unit, long long most, int sign)
{
    return most == 0 ? 0 : labelOf(labelForm::plain, sign, most, unit).size();
}

std::size_t agesWidth(const milestoneChoice& choice)
{
    std::size_t width = 0;
    for (int u = 0; u < unitCount; ++u)
        if ((choice.units >> u & 1) != 0) {
            const unitDefinition& unit = unitOf(static_cast<milestoneUnit>(u));
            width = std::max(width, plainWidth(unit, mostInCalendar(unit), -1));
        }
    if ((choice.families >> familyPlanets & 1) != 0)
        for (const milestoneSeries& series : familyData(familyPlanets).series)
            width = std::max(width, plainWidth(*series.unit, mostInCalendar(*series.unit), -1));
    return width;
}

void addSeries(eventList& events, placing& p, const milestoneFamilyData& family,
               const milestoneSeries& series)
{
    const unitDefinition& unit = *series.unit;
    const placeSpan span = spanOf(p, unit, family.calendarOnly);
    const auto first =
        std::lower_bound(series.counts.begin(), series.counts.end(), lowestNear(p, unit, span));
    for (auto next = first; next != series.counts.end(); ++next) {
        const long long count = *next;
        if (p.sign < 0 && count > series.backwardLimit)
            return;
        const long long n = p.sign * count;
        long long instant = 0;
        const verdict placed = placeOf(p, unit, span, family.calendarOnly, n, instant);
        if (placed == verdict::stop)
            return;
        if (placed == verdict::keep)
            addEvent(events, instant, labelOf(series.form, p.sign, count, unit), series.type, n,
                     unit.plural);
    }
}

// True when n of the unit in the direction of sign is reached at the instant at: its place is
// at or before it going forward, at or after it going back.
bool isReached(placing& p, const unitDefinition& unit, long long n, long long at)
{
    const std::optional<long long> rough = roughPlace(p, unit, p.sign * n);
    if (!rough)
        return false;
    const long long instant =
        isCalendarUnit(unit) ? wallClock2UnixTime(p.base.zone, {*rough}) : *rough;
    return p.sign > 0 ? instant <= at : instant >= at;
}

// Places move away from the reference as n grows: the age is the last n reached before the
// first not reached, found from an estimate by doubling, then halving.
long long ageIn(placing& p, const unitDefinition& unit, long long at)
{
    const double pace = unit.kind == unitKind::planetYears ? unit.length * 86.4
                                                           : static_cast<double>(paceOf(unit).pace);
    const double distance = static_cast<double>(at) - static_cast<double>(p.base.timestamp);
    const auto estimate = static_cast<long long>(std::abs(distance) / pace);
    long long low = std::max(0LL, estimate - 2), high = estimate + 2;
    if (!isReached(p, unit, low, at))
        low = 0;  // only past the calendar's months
    while (isReached(p, unit, high, at)) {
        low = high;
        high *= 2;
    }
    while (high - low > 1) {
        const long long middle = low + (high - low) / 2;
        (isReached(p, unit, middle, at) ? low : high) = middle;
    }
    return low;
}

void addAge(eventList& events, placing& p, const unitDefinition& unit, long long at)
{
    const long long n = ageIn(p, unit, at);
    addEvent(events, at, labelOf(labelForm::plain, n == 0 ? 1 : p.sign, n, unit), unit.type,
             p.sign * n, unit.plural);
    events.back().age = true;
}

// Calls visit(family, series) for each series of the chosen families in the chosen units, in
// the order of their lines.
template <typename Visit>
void forEachChosen(const milestoneChoice& choice, Visit visit)
{
    for (int f = 0; f < familyCount; ++f) {
        if ((choice.families >> f & 1) == 0)
            continue;
        const milestoneFamilyData& family = familyData(static_cast<milestoneFamily>(f));
        for (const milestoneSeries& series : family.series)
            if (isChosen(choice, series))
                visit(family, series);
    }
}

}  // namespace

void addAll(eventList& events, const anniversaryBase& base, int sign, const milestoneChoice& choice)
{
    placing p{base, choice, sign, std::nullopt};
    forEachChosen(choice, [&](const milestoneFamilyData& family, const milestoneSeries& series) {
        addSeries(events, p, family, series);
    });
    if (choice.every) {
        everyWalk walk = startEvery(base, sign, choice);
        addEvery(events, walk, base, sign, choice, SIZE_MAX);  // no limit: the walk's end
    }
}

everyWalk startEvery(const anniversaryBase& base, int sign, const milestoneChoice& choice)
{
    const placing p{base, choice, sign, std::nullopt};
    const unitDefinition& unit = unitOf(choice.every->unit);
    return {std::max(1LL, lowestNear(p, unit, spanOf(p, unit, true)) / choice.every->step)};
}

bool addEvery(eventList& events, everyWalk& walk, const anniversaryBase& base, int sign,
              const milestoneChoice& choice, std::size_t limit)
{
    placing p{base, choice, sign, std::nullopt};
    const unitDefinition& unit = unitOf(choice.every->unit);
    const placeSpan span = spanOf(p, unit, true);
    for (std::size_t added = 0; walk.next != 0 && added < limit; ++walk.next) {
        const long long count = walk.next * choice.every->step;
        long long instant = 0;
        const verdict placed = placeOf(p, unit, span, true, sign * count, instant);
        if (placed == verdict::stop) {
            walk.next = 0;
            return false;
        }
        if (placed == verdict::keep) {
            addEvent(events, instant, labelOf(labelForm::plain, sign, count, unit), unit.type,
                     sign * count, unit.plural);
            ++added;
        }
    }
    return walk.next != 0;
}

void addAges(eventList& events, const anniversaryBase& base, long long at,
             const milestoneChoice& choice)
{
    placing p{base, choice, at >= base.timestamp ? 1 : -1, std::nullopt};
    for (int u = 0; u < unitCount; ++u)
        if ((choice.units >> u & 1) != 0)
            addAge(events, p, unitOf(static_cast<milestoneUnit>(u)), at);
    if ((choice.families >> familyPlanets & 1) != 0)
        for (const milestoneSeries& series : familyData(familyPlanets).series)
            addAge(events, p, *series.unit, at);
}

std::size_t longestLabel(const milestoneChoice& choice, int sign, bool ages)
{
    if (ages)
        return agesWidth(choice);
    std::size_t width = std::strlen(referenceLabel);
    forEachChosen(choice, [&](const milestoneFamilyData& family, const milestoneSeries& series) {
        width = std::max(width, seriesWidth(family, series, sign));
    });
    if (choice.every) {
        const unitDefinition& unit = unitOf(choice.every->unit);
        const long long steps = mostInCalendar(unit) / choice.every->step;
        width = std::max(width, plainWidth(unit, steps * choice.every->step, sign));
    }
    return width;
}

}  // namespace rondelo
