// The anniversary generators: the families of milestone counts, turned into one reference's events.
#pragma once

#include <climits>

#include <absl/time/time.h>

#include "events/events.h"
#include "timeconv/zone.h"

// The units that every family counts in, in the order of their lines within a family.
enum milestoneUnit : int {
    unitMonths,
    unitWeeks,
    unitDays,
    unitHours,
    unitMinutes,
    unitSeconds,
    unitCount
};
// Their names, as labels and --units have them.
constexpr const char* unitNames[unitCount] = {"months", "weeks",   "days",
                                              "hours",  "minutes", "seconds"};

// The families of counts, in the order of their lines.
enum milestoneFamily : int {
    familyRound,      // 100 months, 1K weeks, 10K days ... 5G seconds
    familyRepdigit,   // 1111 to 9999999999
    familySequence,   // 1234 to 1234567890
    familyBinary,     // 2^10 to 2^40
    familyFibonacci,  // 1597 to 2971215073
    familyPlanets,    // round counts of the years of Mercury to Neptune
    familyCount
};
constexpr const char* familyNames[familyCount] = {"round",  "repdigit",  "sequence",
                                                  "binary", "fibonacci", "planets"};

// Which milestones a run makes, and how it counts them.
struct milestoneChoice {
    unsigned families = 1u << familyRound;   // a bit for each milestoneFamily
    unsigned units = (1u << unitCount) - 1;  // a bit for each milestoneUnit; planet years always
    bool countFirstDay = false;  // the reference day is day 1: N days fall N - 1 days after it
    bool clampMonthEnd = false;  // a day the target month lacks is its last day, not a run-over
};

// What every series counts from, and the instants it keeps: [from, until). An instant outside
// makes no event, and most are told apart with integer arithmetic alone, before any label is
// written or any zone is asked.
struct anniversaryBase {
    long long timestamp;          // the reference instant, Unix seconds
    wallClockReading wallClock;   // the same reference, read in zone
    absl::TimeZone zone;          // where calendar days and months are counted
    long long from = LLONG_MIN;
    long long until = LLONG_MAX;
};

// Appends the chosen milestones after the reference (sign +1) or before it (sign -1, labels
// led by "-"): the families in the order of milestoneFamily, within a family the units in the
// order of milestoneUnit (then the planets from Mercury out), counts from small to large.
// Weeks and days are calendar days: the reference's wall-clock time of day so many dates on,
// read in the zone by wallClock2UnixTime's rule. Months are calendar months at that time of
// day, a day the month lacks running over or clamped as chosen. Hours, minutes, seconds and
// planet years are exact seconds. The round family keeps today's series, lines past the
// calendar included; the others leave out an instant outside the years 1400 to 9999 in the zone.
void addAll(eventList& events, const anniversaryBase& base, int sign,
            const milestoneChoice& choice = {});

// True when the instant lies in the base's window.
inline bool isInWindow(const anniversaryBase& base, long long instant)
{
    return instant >= base.from && instant < base.until;
}
