// The week, day, hour, minute and second series: fixed offsets from the reference instant.
#include "generators/generators.h"

#include <cstdio>

namespace {

// One counted loop of a series: counters 1, 1 + step, ... below bound.
struct unitRange {
    const char* format;  // "%s" prefix, then "%i" number printed
    eventType type;
    int bound;
    int skipped[2];          // counters that make no event; 0 never occurs
    int multiplier;          // number printed = counter * multiplier
    long long secondsPerUnit;  // offset = sign * counter * secondsPerUnit
};

bool isSkipped(const unitRange& range, long long counter)
{
    return counter == range.skipped[0] || counter == range.skipped[1];
}

// unit and unitSeconds: the series' unit as labels name it, and its length.
template <std::size_t N>
void addRanges(eventList& events, const anniversaryBase& base, int sign, int step,
               const char* unit, long long unitSeconds, const unitRange (&ranges)[N])
{
    if (step < 1)
        return;  // the counters would never reach their bounds
    const char* prefix = signPrefix(sign);
    char label[32];
    for (const unitRange& range : ranges) {
        for (long long counter = 1; counter < range.bound; counter += step) {
            const long long offset = sign * counter * range.secondsPerUnit;
            const long long instant = base.timestamp + offset;
            if (isSkipped(range, counter) || !isInWindow(base, instant))
                continue;
            std::snprintf(label, sizeof label, range.format, prefix,
                          static_cast<int>(counter * range.multiplier));
            addEvent(events, instant, label, range.type, offset / unitSeconds, unit);
        }
    }
}

}  // namespace

const char* signPrefix(int sign)
{
    return sign == 1 ? "" : "-";
}

void addWeeks(eventList& events, const anniversaryBase& base, int sign, int step)
{
    static const unitRange ranges[] = {
        {"%s%i weeks", evWeeks, 10, {}, 100, 60480000},
        {"%s%iK weeks", evKiloWeeks, 10, {}, 1, 604800000},
        {"%s%iK weeks", evKiloWeeks, 3, {}, 10, 6048000000},
    };
    addRanges(events, base, sign, step, "weeks", 604800, ranges);
}

void addDays(eventList& events, const anniversaryBase& base, int sign, int step)
{
    // Backward the series stops at -200K days; forward it reaches 500K days.
    const unitRange ranges[] = {
        {"%s%iK days", evDays, 10, {7}, 1, 86400000},
        {"%s%iK days", evDays, 10, {7}, 10, 864000000},
        {"%s%iK days", evDays, sign < 0 ? 3 : 6, {}, 100, 8640000000},
    };
    addRanges(events, base, sign, step, "days", 86400, ranges);
}

void addHours(eventList& events, const anniversaryBase& base, int sign, int step)
{
    static const unitRange ranges[] = {
        {"%s%iK hours", evHours, 10, {5}, 10, 36000000},
        {"%s%iK hours", evHours, 10, {5}, 100, 360000000},
        {"%s%iM hours", evHours, 4, {}, 1, 3600000000},
    };
    addRanges(events, base, sign, step, "hours", 3600, ranges);
}

void addMinutes(eventList& events, const anniversaryBase& base, int sign, int step)
{
    static const unitRange ranges[] = {
        {"%s%iK minutes", evMinutes, 10, {}, 10, 600000},
        {"%s%iK minutes", evMinutes, 10, {6}, 100, 6000000},
        {"%s%iM minutes", evMinutes, 10, {}, 1, 60000000},
        {"%s%iM minutes", evMinutes, 10, {5, 6}, 10, 600000000},
        {"%s%iM minutes", evMinutes, 6, {}, 100, 6000000000},
    };
    addRanges(events, base, sign, step, "minutes", 60, ranges);
}

void addSeconds(eventList& events, const anniversaryBase& base, int sign, int step)
{
    static const unitRange ranges[] = {
        {"%s%iM seconds", evSeconds, 10, {3, 6}, 1, 1000000},
        {"%s%iM seconds", evSeconds, 10, {3, 6}, 10, 10000000},
        {"%s%iM seconds", evSeconds, 10, {}, 100, 100000000},
        {"%s%iG seconds", evSeconds, 7, {6}, 1, 1000000000},
    };
    addRanges(events, base, sign, step, "seconds", 1, ranges);
}

void addAll(eventList& events, const anniversaryBase& base, int sign)
{
    addMonths(events, base, sign, 1);
    addWeeks(events, base, sign, 1);
    addDays(events, base, sign, 1);
    addHours(events, base, sign, 1);
    addMinutes(events, base, sign, 1);
    addSeconds(events, base, sign, 1);
}
