// The families' counts turned into one reference's events: where each count falls, which of
// them the window and the calendar keep, and their labels.
#include "generators/generators.h"

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <optional>

#include "generators/families.h"
#include "generators/months.h"
#include "timeconv/epoch.h"

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
        if (auto reading = monthsFrom(*p.months, n, p.choice.clampMonthEnd))
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

// The first of the series' counts whose rough place can come within zoneMargin of the near
// end of [low, high). A place strays from count * pace by at most slack: months differ in
// length (a date strays up to 4.4 days from the mean month, and a day the month lacks moves it
// up to 3 more), and counting the first day moves days by one. Planet years start at the first.
std::vector<long long>::const_iterator firstNear(const placing& p, const milestoneSeries& series,
                                                 long long low, long long high)
{
    const std::vector<long long>& counts = series.counts;
    long long pace = 0, slack = 0;
    switch (series.unit->kind) {
    case unitKind::calendarMonths:
        pace = 146097 * 86400LL / 4800, slack = 8 * 86400;
        break;
    case unitKind::calendarDays:
        pace = series.unit->length * 86400, slack = 86400;
        break;
    case unitKind::exactSeconds:
        pace = series.unit->length;
        break;
    case unitKind::planetYears:
        return counts.begin();
    }
    const long long origin = isCalendarUnit(*series.unit) ? p.base.wallClock.seconds : p.base.timestamp;
    if (p.sign > 0 ? low == LLONG_MIN : high == LLONG_MAX)
        return counts.begin();  // the near end is open
    const long long distance = p.sign > 0 ? low - origin : origin - high;
    return std::lower_bound(counts.begin(), counts.end(), (distance - slack - zoneMargin) / pace);
}

void addSeries(eventList& events, placing& p, const milestoneFamilyData& family,
               const milestoneSeries& series)
{
    // The span a rough place must reach, give or take zoneMargin: the window, and the calendar
    // for a family that keeps to it.
    long long low = p.base.from, high = p.base.until;
    if (family.calendarOnly) {
        low = std::max(low, firstCalendarSecond);
        high = std::min(high, pastCalendarSecond);
    }
    const bool isReading = isCalendarUnit(*series.unit);
    for (auto next = firstNear(p, series, low, high); next != series.counts.end(); ++next) {
        const long long count = *next;
        if (p.sign < 0 && count > series.backwardLimit)
            return;
        const long long n = p.sign * count;
        const std::optional<long long> rough = roughPlace(p, *series.unit, n);
        // Counts ascend, so each place lies farther from the reference than the last: once one
        // is past the far end of the span, so are all that follow.
        if (!rough || (p.sign > 0 ? *rough - zoneMargin >= high : *rough + zoneMargin < low))
            return;
        if (p.sign > 0 ? *rough + zoneMargin < low : *rough - zoneMargin >= high)
            continue;
        const long long instant = isReading ? wallClock2UnixTime(p.base.zone, {*rough}) : *rough;
        if (!isInWindow(p.base, instant) ||
            (family.calendarOnly && !showsDate(p.base.zone, instant)))
            continue;
        addEvent(events, instant, labelOf(series.form, p.sign, count, *series.unit), series.type, n,
                 series.unit->plural);
    }
}

}  // namespace

void addAll(eventList& events, const anniversaryBase& base, int sign, const milestoneChoice& choice)
{
    placing p{base, choice, sign, std::nullopt};
    for (int f = 0; f < familyCount; ++f) {
        if ((choice.families >> f & 1) == 0)
            continue;
        const milestoneFamilyData& family = familyData(static_cast<milestoneFamily>(f));
        for (const milestoneSeries& series : family.series)
            if (series.unit->choiceBit < 0 || (choice.units >> series.unit->choiceBit & 1) != 0)
                addSeries(events, p, family, series);
    }
}
