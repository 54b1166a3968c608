// The anniversary generators: the families of milestone counts, turned into one reference's events.
#pragma once

#include <climits>
#include <cstddef>
#include <optional>
#include <string>

#include <absl/time/time.h>

#include "events/events.h"
#include "timeconv/zone.h"

namespace rondelo {

// The names of the units --units chooses, in the order of milestoneUnit.
constexpr const char* unitNames[unitCount] = {"years", "months",  "weeks",  "days",
                                              "hours", "minutes", "seconds"};

// The units of a run with options, and those of the classic run, which has no years: its lines
// stay as they have always been.
constexpr unsigned allUnits = (1u << unitCount) - 1;
constexpr unsigned classicUnits = allUnits & ~(1u << unitYears);


// A count of your own: every step of one unit (--every=100d).
struct everySpan {
    milestoneUnit unit;
    long long step;  // [1, 999999999999]
};

// Which milestones a run makes, and how it counts them. The defaults are the classic run's; a
// run with options counts in allUnits unless told otherwise.
struct milestoneChoice {
    unsigned families = 1u << familyRound;  // a bit for each milestoneFamily
    unsigned units = classicUnits;  // a bit for each milestoneUnit; planet years always
    bool countFirstDay = false;  // the reference day is day 1: N days fall N - 1 days after it
    bool clampMonthEnd = false;  // a day the target month lacks is its last day, not a run-over
    std::optional<everySpan> every;  // a family of every step units, whatever units says
};

// What every series counts from, and the instants it keeps: [from, until). An instant outside
// makes no event, and most are told apart with integer arithmetic alone, before any label is
// written or any zone is asked.
struct anniversaryBase {
    unixInstant instant;         // the reference's
    wallClockReading wallClock;  // the same reference, read in zone
    monthReading months;         // the same reading taken apart for month counts
    absl::TimeZone zone;         // where calendar days and months are counted
    unixInstant from{LLONG_MIN};
    unixInstant until{LLONG_MAX};
};

// The base of a reference at wallClock in zone, keeping the window [from, until).
anniversaryBase baseOf(absl::CivilSecond wallClock, const absl::TimeZone& zone,
                       unixInstant from = {LLONG_MIN}, unixInstant until = {LLONG_MAX});

// Appends the chosen milestones after the reference (sign +1) or before it (sign -1, counts
// negative): the families in the order of milestoneFamily, within a family the units in the
// order of milestoneUnit (then the planets from Mercury out), counts from small to large, and
// last the every family, all its lines. Years and months are calendar months: the reference's
// day of the month and time of day so many months on (a year is 12), a day the month lacks
// running over or clamped as chosen, each from the reference and read in the zone by
// wallClock2UnixTime's rule. Weeks and days are calendar days: the reference's time of day so
// many dates on, read by the same rule. Hours, minutes, seconds and planet years are exact
// seconds. The round family keeps today's series, lines past the calendar included; the others
// leave out an instant outside the years 1400 to 9999 in the zone.
void addAll(eventList& events, const anniversaryBase& base, int sign,
            const milestoneChoice& choice = {});

// The every family's walk through the multiples of its step, for a caller that writes its lines
// as they come rather than holding them all: run addAll with every unset, then addEvery in turns.
struct everyWalk {
    long long next = 0;  // the multiple placed next; 0 once the walk has ended
};

// The walk's start: the first multiple whose place can reach the window and the calendar, found
// by arithmetic, so a walk costs the lines it keeps and few more. choice.every is set.
everyWalk startEvery(const anniversaryBase& base, int sign, const milestoneChoice& choice);

// Appends the walk's next lines in the direction of sign, at most limit of them, the instants
// moving away from the reference and kept to the window and the years 1400 to 9999 in the zone,
// counted as addAll counts. A count that a chosen family of the same unit makes is that
// family's line, not the walk's: a milestone comes once. False once the walk has ended.
bool addEvery(eventList& events, everyWalk& walk, const anniversaryBase& base, int sign,
              const milestoneChoice& choice, std::size_t limit);

// The yearly days of a date without a year, for --every=1y: the walk through the years whose
// day can lie in the window.
struct yearlyWalk {
    long long next;  // the year placed next
    long long last;  // the last year placed, at most 9999
};

// The walk's start, for a base at the date's month and day in yearlessYear, at midnight.
yearlyWalk startYearly(const anniversaryBase& base);

// Appends the walk's next yearly days, at most limit of them, in time order: the base's month
// and day in each year, at its time of day in the zone, 29 February by the month-end rule of
// choice (1 March, or 28 February, in a common year), those in the window alone; each of the
// family familyYearly, in years, without a count. False once the walk has ended.
bool addYearly(eventList& events, yearlyWalk& walk, const anniversaryBase& base,
               const milestoneChoice& choice, std::size_t limit);

// Appends the reference's age at the instant at: for each unit of choice.units in the order of
// milestoneUnit, then the planets when choice.families has them, the whole count elapsed: the
// largest N whose N-units milestone, counted as addAll counts it, is at or before at (0 when
// none is). Before the reference the count is -N: the largest N whose milestone -N is at or
// after at. Each event is at at, of the family familyAge. The window plays no part; at lies
// within the years 1400 to 9999.
void addAges(eventList& events, const anniversaryBase& base, unixInstant at,
             const milestoneChoice& choice);

// True when the instant lies in the base's window.
inline bool isInWindow(const anniversaryBase& base, unixInstant instant)
{
    return instant.seconds >= base.from.seconds && instant.seconds < base.until.seconds;
}

}  // namespace rondelo
