// The report writer: one CSV line per event, in list order.
#pragma once

#include <ostream>
#include <vector>

#include "events/events.h"

// The date column's layout, rendered in the classic locale whatever the user's settings.
extern const char* const reportDateFormat;

// Writes "timestamp,date,type,label" per event to out, flushing each line. An event whose date
// cannot be rendered gets "timestamp,type,label" and an error message on err; the report goes
// on. Returns false, at once, when out can no longer be written.
bool writeReport(std::ostream& out, std::ostream& err, const std::vector<event*>& events);

// Reports a report that did not reach its reader; returns the exit status 1.
int reportWriteError(std::ostream& err, const char* program, int error);
