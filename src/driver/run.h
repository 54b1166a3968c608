// The run between reading a reference and writing its lines.
#pragma once

#include <string>

#include <absl/time/time.h>

#include "driver/command_line.h"
#include "driver/options.h"
#include "events/events.h"
#include "events/reference.h"
#include "timeconv/zone.h"
#include "writers/shared.h"

// The reference of a single run: the date of the arguments at the options' time of day and zone.
reference singleReference(const referenceArguments& args, const runOptions& options);

// The reference of a single run at the wall-clock reading given, in the options' zone.
reference singleReference(wallClockReading wallClock, const runOptions& options);

// Appends the reference event and every milestone of the options' families and units in their
// direction to events, counted as they ask (see addAll). Only instants in the options' window
// [from, until) make events.
void collectEvents(eventList& events, const reference& ref, const runOptions& options);

// Time order, earliest first; events at one instant keep the order they were made in.
void sortByTime(eventList& events);

// What the run's writer is told: the format and its settings from the options, and whether each
// line is flushed (a single date) or lines go out in blocks (a file of dates).
writerSettings writerSettingsOf(const runOptions& options, bool flushEachLine);
