// The report writer: one CSV line per event, in list order.
#pragma once

#include <ostream>
#include <vector>

#include <absl/time/time.h>

#include "events/events.h"

// The date column's layout, rendered in the classic locale whatever the user's settings.
extern const char* const reportDateFormat;

// Writes "timestamp,date,type,label" per event to out, flushing each line; the date is the
// wall-clock time in zone. An event whose date cannot be rendered (its wall-clock time outside
// the years 1400 to 9999) gets "timestamp,type,label" and writeRenderError; the report goes
// on. Returns false, at once, when out can no longer be written.
bool writeReport(std::ostream& out, std::ostream& err, const std::vector<event*>& events,
                 const absl::TimeZone& zone = absl::UTCTimeZone());

// The message for an event whose date cannot be shown.
void writeRenderError(std::ostream& err, const event& e);

// Reports a report that did not reach its reader; returns the exit status 1.
int reportWriteError(std::ostream& err, const char* program, int error);
