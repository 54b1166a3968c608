// The calendar writer: the anniversaries as an iCalendar file, one event each.
#pragma once

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <unordered_map>

#include "events/events.h"
#include "events/reference.h"
#include "writers/shared.h"
#include "writers/uid.h"

namespace rondelo {

// What a calendar keeps from line to line.
struct calendarState {
    std::unordered_map<std::uint64_t, int> alike;  // references counted so far, by identity
    bool anyEvent = false;                       // whether a VEVENT has been written
};

// The VCALENDAR's first lines: the calendar's name when the settings give one, and the daily
// refresh that a file served for subscription asks of its subscribers. Each content line ends
// in CRLF, and is flushed when the settings flush each line; every writer here returns false
// once out has failed.
bool writeCalendarBegin(std::ostream& out, const writerSettings& settings);

// Sets ref.occurrence: how many references of its identity (referenceIdentity) were counted,
// this one included.
void countCalendarReference(calendarState& state, reference& ref);

// One anniversary of ref as a VEVENT; nothing for the reference event. An anniversary at
// 00:00:00 wall-clock time in the zone is an all-day event on that date, any other a timed one
// in UTC. One whose date cannot be shown is left out, with writeUnshownDate. Its SUMMARY is
// "NAME: LABEL" when ref has a name. Each reminder of the settings is a VALARM that displays
// the summary, once for each distinct trigger.
bool writeCalendarEvent(std::ostream& out, std::ostream& err, const event& e, const reference& ref,
                        const writerSettings& settings, calendarState& state);

// One anniversary of ref as a calendar directory's item: a whole VCALENDAR holding only the
// VEVENT of writeCalendarEvent, under the header of writeCalendarBegin without the refresh
// (a directory is synced, not subscribed to). Nothing where writeCalendarEvent writes nothing.
bool writeCalendarItem(std::ostream& out, std::ostream& err, const event& e, const reference& ref,
                       const writerSettings& settings, calendarState& state);

// The VCALENDAR's end. A calendar must hold a component: one without events gets a
// VFREEBUSY that shows no busy time, which calendar programs import as nothing.
bool writeCalendarEnd(std::ostream& out, const writerSettings& settings, const calendarState& state);

// Reads a reminder: a count of at most four digits and a unit, w, d, h or min, and after d or
// w optionally @HH:MM. A timed event is reminded that long before its start ("30min": 30
// minutes before; an @HH:MM is ignored). An all-day event is reminded at a time of day: after d
// and w at HH:MM, 09:00 without it, that many days or weeks before its date ("1d": 09:00 the day
// before, -PT15H); after h and min that long before the midnight its date begins at. Returns
// what is wrong with text, to follow "invalid --remind 'TEXT'" in parentheses; parsed is then
// unspecified.
std::optional<std::string> parseReminder(const std::string& text, reminder& parsed);

// A TEXT value: backslash, semicolon, comma and newline escaped.
std::string escapeText(const std::string& text);

// One content line and its CRLF, folded so that no line passes 75 octets and no UTF-8
// character is split; not flushed.
void writeContentLine(std::ostream& out, const std::string& line);

}  // namespace rondelo
