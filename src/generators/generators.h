// The anniversary generators: each appends its series of one reference's events to a list.
#pragma once

#include <climits>

#include <absl/time/time.h>

#include "events/events.h"
#include "timeconv/zone.h"

// What every series counts from, and the instants it keeps: [from, until). An instant outside
// makes no event, and most are told apart with integer arithmetic alone, before any label is
// written or any zone is asked.
struct anniversaryBase {
    long long timestamp;          // the reference instant, Unix seconds
    wallClockReading wallClock;   // the same reference, read in zone
    absl::TimeZone zone;          // where the month series places its dates
    long long from = LLONG_MIN;
    long long until = LLONG_MAX;
};

// sign is +1 for anniversaries after the reference, -1 for those before it; its label prefix
// is "" only for exactly 1. step advances every range counter; callers pass 1, and a step
// below 1 appends nothing.

// Calendar months from the reference's date, each at the reference's time of day in the zone.
void addMonths(eventList& events, const anniversaryBase& base, int sign, int step);

// Fixed offsets from the reference instant.
void addWeeks(eventList& events, const anniversaryBase& base, int sign, int step);
void addDays(eventList& events, const anniversaryBase& base, int sign, int step);
void addHours(eventList& events, const anniversaryBase& base, int sign, int step);
void addMinutes(eventList& events, const anniversaryBase& base, int sign, int step);
void addSeconds(eventList& events, const anniversaryBase& base, int sign, int step);

// All six series for one direction, each with step 1.
void addAll(eventList& events, const anniversaryBase& base, int sign);

// The label prefix that every generator puts before its numbers.
const char* signPrefix(int sign);

// True when the instant lies in the base's window.
inline bool isInWindow(const anniversaryBase& base, long long instant)
{
    return instant >= base.from && instant < base.until;
}
