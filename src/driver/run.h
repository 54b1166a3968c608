// The run between reading the arguments and writing the report.
#pragma once

#include <vector>

#include "driver/command_line.h"
#include "driver/options.h"
#include "events/events.h"

// The reference date at the time of day, as a wall-clock reading in the zone.
long long referenceWallClock(const referenceArguments& args, const runOptions& options);

// Sets referenceTimestamp to the reference instant in the zone, appends the reference event,
// then every anniversary in the options' direction: the month series at the reference's
// wall-clock time of day on each of its dates, then the fixed-unit series.
void collectEvents(const referenceArguments& args, const runOptions& options = {});

// The events to report, from the list: those at or after --from, in time order with --sort
// (lines at one instant in the order they were made).
std::vector<event*> reportedEvents(const runOptions& options);
