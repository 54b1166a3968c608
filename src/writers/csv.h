// The CSV writer: one line per event.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include <absl/time/time.h>

#include "events/events.h"

// The date column's layout, rendered in the classic locale whatever the user's settings.
extern const char* const reportDateFormat;

// Writes "timestamp,date,type,label" for e to out, and ",NAME" after it when name is not empty,
// without a flush; the date is the wall-clock time in zone. An event whose date cannot be
// rendered (its wall-clock time outside the years 1400 to 9999) gets "timestamp,type,label"
// and writeRenderError.
void writeReportLine(std::ostream& out, std::ostream& err, const event& e,
                     const absl::TimeZone& zone, const std::string& name = {});

// Writes a line per event to out, in list order, flushing each; returns false, at once, when
// out can no longer be written.
bool writeReport(std::ostream& out, std::ostream& err, const eventList& events,
                 const absl::TimeZone& zone = absl::UTCTimeZone());

// The message for an event whose date cannot be shown.
void writeRenderError(std::ostream& err, const event& e);

// A CSV field: as it is, or in double quotes, its quotes doubled, when it holds a comma or a
// double quote.
std::string csvField(const std::string& text);

// Reports a report that did not reach its reader; returns the exit status 1.
int reportWriteError(std::ostream& err, const char* program, int error);
