// The calendar writer: the anniversaries as an iCalendar file, one event each.
#pragma once

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <unordered_map>

#include "events/events.h"
#include "events/reference.h"
#include "writers/moments.h"
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

// One moment of ref as a VEVENT; nothing for the reference event. A moment at 00:00:00
// wall-clock time in the zone is an all-day event on that date, any other a timed one in UTC.
// One whose date cannot be shown is left out, with writeUnshownDate for each of its
// milestones. Its UID is its first milestone's eventUid; its SUMMARY its momentTitle, its
// DESCRIPTION descriptionOf, its CATEGORIES categoryOf the first milestone; TRANSP is
// TRANSPARENT (a milestone makes nobody busy); in a calendar directory's item its reference's
// X-RONDELO-REFERENCE (referenceProperty), which history keeps it by. Each reminder of the
// settings for the kind of any of its milestones (reminderKindOf) is a VALARM that displays
// the summary, once for each distinct trigger.
bool writeCalendarEvent(std::ostream& out, std::ostream& err, const moment& m,
                        const reference& ref, const writerSettings& settings, calendarState& state);

// One moment of ref as a calendar directory's item: a whole VCALENDAR holding only the VEVENT
// of writeCalendarEvent, under the header of writeCalendarBegin without the refresh (a
// directory is synced, not subscribed to). Nothing where writeCalendarEvent writes nothing.
bool writeCalendarItem(std::ostream& out, std::ostream& err, const moment& m,
                       const reference& ref, const writerSettings& settings, calendarState& state);

// The VCALENDAR's end. A calendar must hold a component: one without events gets a
// VFREEBUSY that shows no busy time, which calendar programs import as nothing.
bool writeCalendarEnd(std::ostream& out, const writerSettings& settings, const calendarState& state);


// A TEXT value: backslash, semicolon, comma and newline escaped.
std::string escapeText(const std::string& text);

// One content line and its CRLF, folded so that no line passes 75 octets and no UTF-8
// character is split; not flushed.
void writeContentLine(std::ostream& out, const std::string& line);

}  // namespace rondelo
