// The CSV writer: one line per event, the format of the classic run.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include <absl/time/time.h>

#include "events/events.h"
#include "events/reference.h"
#include "writers/shared.h"

namespace rondelo {

// The date column's layout, rendered in the classic locale whatever the user's settings.
extern const char* const reportDateFormat;

// Writes "timestamp,date,type,label" for e, and ",NAME" after it when ref has a name; the date
// is the wall-clock time in ref's zone. A line that cannot show its date is
// "timestamp,type,label" and gets writeUnshownDate: in the classic run between the timestamp
// and the rest, as it always has, otherwise after the line. Returns false when out has failed.
bool writeCsvLine(std::ostream& out, std::ostream& err, const event& e, const reference& ref,
                  const writerSettings& settings);

// The classic report of the lines in zone, each flushed; returns false, at once, when out can no
// longer be written.
bool writeReport(std::ostream& out, std::ostream& err, const std::vector<reportLine>& lines,
                 const absl::TimeZone& zone = absl::UTCTimeZone());

// Writes a CSV field: as it is, or in double quotes, its quotes doubled, when it holds a comma
// or a double quote.
void writeCsvField(std::ostream& out, const std::string& text);

}  // namespace rondelo
