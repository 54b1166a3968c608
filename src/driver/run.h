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

// Appends the reference event and every milestone of the options' families and units in their
// direction to events, counted as they ask (see addAll). Only instants in the options' window
// [from, until) make events.
void collectEvents(eventList& events, const reference& ref, const runOptions& options);

// Time order, earliest first; events at one instant keep the order they were made in.
void sortByTime(eventList& events);
