// The calendar writer: the anniversaries as an iCalendar file, one event each.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "driver/run.h"
#include "events/events.h"

// Writes one VCALENDAR with a VEVENT per anniversary of events, in list order; the reference
// event is none. Each line ends in CRLF and is flushed. stamp is every event's DTSTAMP.
// Returns false, at once, when out can no longer be written.
bool writeCalendar(std::ostream& out, std::ostream& err, const eventList& events,
                   const reference& ref, long long stamp);

// The parts of writeCalendar, for a run that writes many references into one calendar.
bool writeCalendarBegin(std::ostream& out, bool flushEachLine);
bool writeCalendarEnd(std::ostream& out, bool flushEachLine);

// One anniversary of ref as a VEVENT; nothing for the reference event. An anniversary at
// 00:00:00 wall-clock time in the zone is an all-day event on that date, any other a timed one
// in UTC. One whose date cannot be shown is left out, with writeRenderError on err. Its
// SUMMARY is "NAME: LABEL" when ref has a name. Returns false when out can no longer be written.
bool writeCalendarEvent(std::ostream& out, std::ostream& err, const event& e, const reference& ref,
                        int occurrence, long long stamp, bool flushEachLine);

// "<reference YYYYMMDDTHHMMSS>-<zone>-<label>[-<name>][-<occurrence>]@rondelo": the same
// reference, zone, name and label give the same UID, so that a second import updates; the name
// is percent-encoded, and the occurrence (from 2 on) tells apart references that are the same
// in all of these.
std::string calendarUid(const reference& ref, const std::string& label, int occurrence);

// True for text that an event's summary may carry: valid UTF-8 without control characters
// (U+0000 to U+001F, U+007F to U+009F) but tab and newline.
bool isCalendarText(const std::string& text);

// A TEXT value: backslash, semicolon, comma and newline escaped.
std::string escapeText(const std::string& text);

// One content line and its CRLF, folded so that no line passes 75 octets and no UTF-8
// character is split; not flushed.
void writeContentLine(std::ostream& out, const std::string& line);
