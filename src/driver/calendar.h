// The calendar writer: the anniversaries as an iCalendar file, one event each.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "driver/options.h"
#include "events/events.h"

// Writes one VCALENDAR with a VEVENT per anniversary of events, in list order; the reference
// event is none. An anniversary at 00:00:00 wall-clock time in the zone is an all-day event on
// that date, any other a timed one in UTC. One whose date cannot be shown is left out, with
// writeRenderError on err. Each line ends in CRLF and is flushed. referenceWallClock, the
// reference date and time of day, goes into every UID with the zone's name and the label.
// Returns false, at once, when out can no longer be written.
bool writeCalendar(std::ostream& out, std::ostream& err, const std::vector<event*>& events,
                   const runOptions& options, long long referenceWallClock);

// True for text that an event's summary may carry: valid UTF-8 without control characters
// (U+0000 to U+001F, U+007F to U+009F) but tab and newline.
bool isCalendarText(const std::string& text);

// A TEXT value: backslash, semicolon, comma and newline escaped.
std::string escapeText(const std::string& text);

// One content line and its CRLF, folded so that no line passes 75 octets and no UTF-8
// character is split; flushed.
void writeContentLine(std::ostream& out, const std::string& line);
