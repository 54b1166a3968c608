// The run between reading a reference and writing its lines.
#pragma once

#include <string>

#include <absl/time/time.h>

#include "driver/command_line.h"
#include "driver/options.h"
#include "events/events.h"
#include "timeconv/zone.h"

// One reference: a date and time of day in a zone, and whose it is.
struct reference {
    wallClockReading wallClock;
    absl::TimeZone zone;
    std::string zoneName;  // as the user gave it; goes into calendar UIDs
    std::string name;      // from a file of dates; empty for a single date
};

// The reference of a single run: the date of the arguments at the options' time of day and zone.
reference singleReference(const referenceArguments& args, const runOptions& options);

// The reference of a single run at the wall-clock reading given, in the options' zone.
reference singleReference(wallClockReading wallClock, const runOptions& options);

// Appends the reference event and every anniversary in the options' direction to events: the
// month series at the reference's wall-clock time of day on each of its dates, then the
// fixed-unit series. Only instants in the options' window [from, until) make events.
void collectEvents(eventList& events, const reference& ref, const runOptions& options);

// Time order, earliest first; events at one instant keep the order they were made in.
void sortByTime(eventList& events);
