// Writes the anniversaries as an iCalendar file: CRLF lines, folded at 75 octets.
#include "writers/ics.h"

#include <algorithm>
#include <initializer_list>
#include <sstream>
#include <utility>

#include <absl/time/time.h>

#include "diagnostics/identity.h"
#include "timeconv/zone.h"
#include "writers/history.h"
#include "writers/uid.h"

namespace rondelo {

namespace {

bool isContinuationOctet(char c)
{
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

// An instant in UTC in an iCalendar layout: "%Y%m%dT%H%M%SZ".
std::string calendarTime(const char* layout, unixInstant instant)
{
    return absl::FormatTime(layout, absl::FromUnixSeconds(instant.seconds), absl::UTCTimeZone());
}

// A wall-clock reading in an iCalendar layout: "%Y%m%d", "%Y%m%dT%H%M%S".
std::string calendarTime(const char* layout, wallClockReading reading)
{
    // A reading is a civil time: formatted through UTC, which has no offset to add.
    const absl::TimeZone utc = absl::UTCTimeZone();
    return absl::FormatTime(layout, absl::FromCivil(civilOf(reading), utc), utc);
}

// DTSTART of an anniversary, or nothing when its date cannot be shown: an all-day date in the
// zone at 00:00:00 wall-clock time, otherwise the instant in UTC.
std::optional<std::string> eventStart(const absl::TimeZone& zone, unixInstant instant)
{
    const wallClockReading wallClock = unixTime2WallClock(zone, instant);
    if (!isCalendarSecond(wallClock.seconds))
        return std::nullopt;
    if (isMidnight(wallClock))
        return "DTSTART;VALUE=DATE:" + calendarTime("%Y%m%d", wallClock);
    if (instant.seconds >= pastCalendarSecond)
        return std::nullopt;  // west of UTC: the UTC year 10000 has no four digits
    return "DTSTART:" + calendarTime("%Y%m%dT%H%M%SZ", instant);
}

bool writeLines(std::ostream& out, std::initializer_list<std::string> lines,
                const writerSettings& settings)
{
    for (const std::string& line : lines) {
        writeContentLine(out, line);
        if (!endLine(out, settings))
            return false;
    }
    return true;
}

// Seconds from a start as an RFC 5545 duration: whole weeks as "-P2W", else days, hours and
// minutes, as "-P13DT15H" or "-PT30M".
std::string triggerDuration(long long offset)
{
    const long long s = offset < 0 ? -offset : offset;
    std::string text = offset < 0 ? "-P" : "P";
    if (s != 0 && s % 604800 == 0)
        return text + std::to_string(s / 604800) + "W";
    if (s >= 86400)
        text += std::to_string(s / 86400) + "D";
    if (s != 0 && s % 86400 == 0)
        return text;
    text += "T";
    if (s % 86400 >= 3600)
        text += std::to_string(s % 86400 / 3600) + "H";
    if (s % 3600 != 0 || s % 86400 == 0)
        text += std::to_string(s % 3600 / 60) + "M";
    return text;
}

long long triggerOf(const reminder& r, bool allDay)
{
    return allDay ? r.allDay : r.timed;
}

// One VALARM a trigger, of the reminders for any of kinds (reminderKindOf's bits): reminders
// that fall at the same time for this event (1d and 1d@18:00 on a timed one) would show the
// same alarm twice.
bool writeAlarms(std::ostream& out, const std::string& summary, bool allDay, unsigned kinds,
                 const writerSettings& settings)
{
    const auto& all = settings.reminders;
    const auto applies = [kinds](const reminder& r) { return (r.kinds & kinds) != 0; };
    for (auto r = all.begin(); r != all.end(); ++r) {
        const long long trigger = triggerOf(*r, allDay);
        const auto same = [&](const reminder& o) {
            return applies(o) && triggerOf(o, allDay) == trigger;
        };
        if (!applies(*r) || std::any_of(all.begin(), r, same))
            continue;
        if (!writeLines(out, {"BEGIN:VALARM", "ACTION:DISPLAY", "DESCRIPTION:" + summary,
                              "TRIGGER:" + triggerDuration(trigger), "END:VALARM"},
                        settings))
            return false;
    }
    return true;
}

// The kinds of reminder a moment is for: those of any of its milestones (reminderKindOf).
unsigned reminderKindsOf(const moment& m, const reference& ref)
{
    unsigned kinds = 0;
    for (const event* e = m.begin; e != m.end; ++e)
        kinds |= reminderKindOf(*e, ref);
    return kinds;
}

// The calendar's first lines and its name; no refresh, which only a file asks for.
bool writeCalendarHeader(std::ostream& out, const writerSettings& settings)
{
    if (!writeLines(out, {"BEGIN:VCALENDAR", "VERSION:2.0", "PRODID:-//rondelo//rondelo " + version + "//EN"},
                    settings))
        return false;
    const std::string name = escapeText(settings.calendarName);
    return name.empty() || writeLines(out, {"NAME:" + name, "X-WR-CALNAME:" + name}, settings);
}

}  // namespace

std::string escapeText(const std::string& text)
{
    std::string escaped;
    for (const char c : text) {
        if (c == '\\' || c == ';' || c == ',')
            escaped += '\\';
        escaped += c == '\n' ? std::string("\\n") : std::string(1, c);
    }
    return escaped;
}

void writeContentLine(std::ostream& out, const std::string& line)
{
    std::size_t start = 0;
    for (std::size_t room = 75; line.size() - start > room; room = 74) {  // 74 after the blank
        std::size_t end = start + room;
        while (end > start + 1 && isContinuationOctet(line[end]))
            --end;  // a character moves whole to the next line
        out.write(line.data() + start, static_cast<std::streamsize>(end - start)) << "\r\n ";
        start = end;
    }
    out.write(line.data() + start, static_cast<std::streamsize>(line.size() - start)) << "\r\n";
}

bool writeCalendarBegin(std::ostream& out, const writerSettings& settings)
{
    return writeCalendarHeader(out, settings) &&
           writeLines(out, {"REFRESH-INTERVAL;VALUE=DURATION:P1D", "X-PUBLISHED-TTL:P1D"}, settings);
}

void countCalendarReference(calendarState& state, reference& ref)
{
    ref.occurrence = ++state.alike[referenceIdentity(ref)];
}

bool writeCalendarEvent(std::ostream& out, std::ostream& err, const moment& m,
                        const reference& ref, const writerSettings& settings, calendarState& state)
{
    const event& e = m.lead();
    if (e.family == familyReference)
        return true;
    const std::optional<std::string> start = eventStart(ref.zone, e.instant);
    if (!start) {
        for (const event* unshown = m.begin; unshown != m.end; ++unshown)
            writeUnshownDate(out, err, *unshown, ref, settings);
        return static_cast<bool>(out);
    }
    state.anyEvent = true;
    const std::string summary = escapeText(momentTitle(m, ref, settings.words));
    const std::string stamp = "DTSTAMP:" + calendarTime("%Y%m%dT%H%M%SZ", settings.stamp);
    if (!writeLines(out, {"BEGIN:VEVENT", "UID:" + eventUid(e, ref), stamp, *start,
                          "SUMMARY:" + summary,
                          "DESCRIPTION:" + escapeText(descriptionOf(m, ref, settings.words)),
                          std::string("CATEGORIES:") + categoryOf(e, ref), "TRANSP:TRANSPARENT"},
                    settings))
        return false;
    if (settings.format == outputFormat::vdir &&
        !writeLines(out, {referenceProperty(ref)}, settings))  // what history keeps it by
        return false;
    const bool allDay = start->compare(0, 19, "DTSTART;VALUE=DATE:") == 0;
    return writeAlarms(out, summary, allDay, reminderKindsOf(m, ref), settings) &&
           writeLines(out, {"END:VEVENT"}, settings);
}

bool writeCalendarItem(std::ostream& out, std::ostream& err, const moment& m,
                       const reference& ref, const writerSettings& settings, calendarState& state)
{
    std::ostringstream vevent;
    if (!writeCalendarEvent(vevent, err, m, ref, settings, state))
        return false;
    if (vevent.tellp() == 0)
        return true;
    return writeCalendarHeader(out, settings) && out << vevent.str() &&
           writeLines(out, {"END:VCALENDAR"}, settings);
}

bool writeCalendarEnd(std::ostream& out, const writerSettings& settings, const calendarState& state)
{
    if (!state.anyEvent &&
        !writeLines(out, {"BEGIN:VFREEBUSY", "UID:no-anniversaries@rondelo",
                          "DTSTAMP:" + calendarTime("%Y%m%dT%H%M%SZ", settings.stamp),
                          "END:VFREEBUSY"},
                    settings))
        return false;
    return writeLines(out, {"END:VCALENDAR"}, settings);
}

}  // namespace rondelo
