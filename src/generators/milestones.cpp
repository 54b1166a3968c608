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
#include "timeconv/civil.h"

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
    case unitKind::calendarMonths: {
        const monthEnd rule = p.choice.clampMonthEnd ? monthEnd::clamp : monthEnd::overflow;
        if (auto reading = monthsFrom(p.base.months, n * unit.length, rule))
            return reading->seconds;
        return std::nullopt;
    }
    case unitKind::calendarDays: {
        // With the reference day as day 1 every count lies one day nearer to it.
        const long long dayCount = n * unit.length - (p.choice.countFirstDay ? p.sign : 0);
        return daysAfter(p.base.wallClock, dayCount).seconds;
    }
    case unitKind::exactSeconds:
        return p.base.instant.seconds + n * unit.length;
    case unitKind::planetYears: {
        // A thousandth of a day is 86.4 = 432 / 5 seconds; a fifth is never a half, so adding
        // 2 before dividing rounds to the nearest second.
        const long long seconds = (std::llabs(n) * unit.length * 432 + 2) / 5;
        return p.base.instant.seconds + (n < 0 ? -seconds : seconds);
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
    return isCalendarSecond(unixTime2WallClock(zone, {instant}).seconds);
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
    placeSpan span{p.base.from.seconds, p.base.until.seconds, isReading ? zoneMargin : 0};
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
    const long long origin = isCalendarUnit(unit) ? p.base.wallClock.seconds : p.base.instant.seconds;
    const long long distance = p.sign > 0 ? span.low - origin : origin - span.high;
    return std::max(0LL, (distance - pace.slack - span.margin) / pace.pace);
}

enum class verdict { keep, skip, stop };

// True when n of the unit lies past the far end of the span by its pace alone: no calendar is
// asked for a count far from the window.
bool isPastByPace(const placing& p, const unitDefinition& unit, const placeSpan& span, long long n)
{
    const unitPace pace = paceOf(unit);
    if (pace.pace == 0)
        return false;
    long long offset = 0;  // a count too large for 64-bit seconds lies past every calendar
    if (__builtin_mul_overflow(n, pace.pace, &offset))
        return true;
    const long long origin = isCalendarUnit(unit) ? p.base.wallClock.seconds : p.base.instant.seconds;
    const long long reach = pace.slack + span.margin;
    return p.sign > 0 ? span.high != LLONG_MAX && origin + offset - reach >= span.high
                      : span.low != LLONG_MIN && origin + offset + reach < span.low;
}

// What becomes of n of the unit (n < 0 before the reference): kept at instant, left out, or
// past the far end of the span, where so are all the larger counts.
verdict placeOf(placing& p, const unitDefinition& unit, const placeSpan& span, bool calendarOnly,
                long long n, unixInstant& instant)
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
    instant = isCalendarUnit(unit) ? wallClock2UnixTime(p.base.zone, wallClockReading{*rough}) : unixInstant{*rough};
    if (!isInWindow(p.base, instant) || (calendarOnly && !showsDate(p.base.zone, instant.seconds)))
        return verdict::skip;
    return verdict::keep;
}

bool isChosen(const milestoneChoice& choice, const milestoneSeries& series)
{
    return !isChosenByUnits(*series.unit) || (choice.units >> series.unit->unit & 1) != 0;
}

void addSeries(eventList& events, placing& p, milestoneFamily id,
               const milestoneFamilyData& family, const milestoneSeries& series)
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
        unixInstant instant{0};
        const verdict placed = placeOf(p, unit, span, family.calendarOnly, n, instant);
        if (placed == verdict::stop)
            return;
        if (placed == verdict::keep)
            events.push_back({instant, n, unit.unit, id});
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
        isCalendarUnit(unit) ? wallClock2UnixTime(p.base.zone, wallClockReading{*rough}).seconds : *rough;
    return p.sign > 0 ? instant <= at : instant >= at;
}

// Places move away from the reference as n grows: the age is the last n reached before the
// first not reached, found from an estimate by doubling, then halving.
long long ageIn(placing& p, const unitDefinition& unit, long long at)
{
    const double pace = unit.kind == unitKind::planetYears ? unit.length * 86.4
                                                           : static_cast<double>(paceOf(unit).pace);
    const double distance = static_cast<double>(at) - static_cast<double>(p.base.instant.seconds);
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

void addAge(eventList& events, placing& p, const unitDefinition& unit, unixInstant at)
{
    const long long n = ageIn(p, unit, at.seconds);
    events.push_back({at, p.sign * n, unit.unit, familyAge});
}

// Calls visit(id, family, series) for each series of the chosen families in the chosen units,
// in the order of their lines.
template <typename Visit>
void forEachChosen(const milestoneChoice& choice, Visit visit)
{
    for (int f = 0; f < familyCount; ++f) {
        if ((choice.families >> f & 1) == 0)
            continue;
        const auto id = static_cast<milestoneFamily>(f);
        const milestoneFamilyData& family = familyData(id);
        for (const milestoneSeries& series : family.series)
            if (isChosen(choice, series))
                visit(id, family, series);
    }
}

// True when a chosen family makes count of the unit in the direction of sign: the every
// family leaves such a milestone to it. Both keep to the window, and the families that keep
// to the calendar keep to it as the every family does.
bool isMadeByFamilies(const milestoneChoice& choice, const unitDefinition& unit,
                      long long count, int sign)
{
    bool made = false;
    forEachChosen(choice, [&](milestoneFamily, const milestoneFamilyData&,
                              const milestoneSeries& series) {
        made = made || (series.unit == &unit && (sign > 0 || count <= series.backwardLimit) &&
                        std::binary_search(series.counts.begin(), series.counts.end(), count));
    });
    return made;
}

}  // namespace

anniversaryBase baseOf(absl::CivilSecond wallClock, const absl::TimeZone& zone, unixInstant from,
                       unixInstant until)
{
    return {wallClock2UnixTime(zone, wallClock), readingOf(wallClock), splitForMonths(wallClock),
            zone, from, until};
}

void addAll(eventList& events, const anniversaryBase& base, int sign, const milestoneChoice& choice)
{
    placing p{base, choice, sign};
    forEachChosen(choice, [&](milestoneFamily id, const milestoneFamilyData& family,
                              const milestoneSeries& series) {
        addSeries(events, p, id, family, series);
    });
    if (choice.every) {
        everyWalk walk = startEvery(base, sign, choice);
        addEvery(events, walk, base, sign, choice, SIZE_MAX);  // no limit: the walk's end
    }
}

everyWalk startEvery(const anniversaryBase& base, int sign, const milestoneChoice& choice)
{
    const placing p{base, choice, sign};
    const unitDefinition& unit = unitOf(choice.every->unit);
    return {std::max(1LL, lowestNear(p, unit, spanOf(p, unit, true)) / choice.every->step)};
}

bool addEvery(eventList& events, everyWalk& walk, const anniversaryBase& base, int sign,
              const milestoneChoice& choice, std::size_t limit)
{
    placing p{base, choice, sign};
    const unitDefinition& unit = unitOf(choice.every->unit);
    const placeSpan span = spanOf(p, unit, true);
    for (std::size_t added = 0; walk.next != 0 && added < limit; ++walk.next) {
        const long long count = walk.next * choice.every->step;
        unixInstant instant{0};
        const verdict placed = placeOf(p, unit, span, true, sign * count, instant);
        if (placed == verdict::stop) {
            walk.next = 0;
            return false;
        }
        if (placed == verdict::keep && !isMadeByFamilies(choice, unit, count, sign)) {
            events.push_back({instant, sign * count, unit.unit, familyEvery});
            ++added;
        }
    }
    return walk.next != 0;
}

yearlyWalk startYearly(const anniversaryBase& base)
{
    // A year is that of a UTC reading of the window's edge: one either side covers any offset.
    const auto yearAt = [](long long seconds) {
        const long long inside = std::clamp(seconds, firstCalendarSecond, pastCalendarSecond - 1);
        return static_cast<long long>(civilOf(wallClockReading{inside}).year());
    };
    return {std::max(1400LL, yearAt(base.from.seconds) - 1),
            std::min(9999LL, yearAt(base.until.seconds) + 1)};
}

bool addYearly(eventList& events, yearlyWalk& walk, const anniversaryBase& base,
               const milestoneChoice& choice, std::size_t limit)
{
    const monthEnd rule = choice.clampMonthEnd ? monthEnd::clamp : monthEnd::overflow;
    const long long year = base.months.day.year();
    for (std::size_t added = 0; walk.next <= walk.last && added < limit; ++walk.next) {
        const std::optional<wallClockReading> day =
            monthsFrom(base.months, (walk.next - year) * 12, rule);
        const unixInstant instant = wallClock2UnixTime(base.zone, day.value_or(base.wallClock));
        if (day && isInWindow(base, instant)) {
            events.push_back({instant, 0, unitYears, familyYearly});
            ++added;
        }
    }
    return walk.next <= walk.last;
}

void addAges(eventList& events, const anniversaryBase& base, unixInstant at,
             const milestoneChoice& choice)
{
    placing p{base, choice, at.seconds >= base.instant.seconds ? 1 : -1};
    for (int u = 0; u < unitCount; ++u)
        if ((choice.units >> u & 1) != 0)
            addAge(events, p, unitOf(static_cast<milestoneUnit>(u)), at);
    if ((choice.families >> familyPlanets & 1) != 0)
        for (const milestoneSeries& series : familyData(familyPlanets).series)
            addAge(events, p, *series.unit, at);
}

}  // namespace rondelo
