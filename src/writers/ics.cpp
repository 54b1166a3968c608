// Writes the anniversaries as an iCalendar file: CRLF lines, folded at 75 octets.
#include "writers/ics.h"

#include <algorithm>
#include <initializer_list>
#include <sstream>
#include <utility>

#include <absl/time/time.h>

#include "diagnostics/identity.h"
#include "timeconv/epoch.h"
#include "timeconv/zone.h"
#include "writers/uid.h"

namespace rondelo {

namespace {

bool isContinuationOctet(char c)
{
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

// Unix seconds (or a wall-clock reading's seconds) in an iCalendar layout: "%Y%m%dT%H%M%S".
std::string calendarTime(const char* layout, long long s)
{
    return absl::FormatTime(layout, absl::FromUnixSeconds(s), absl::UTCTimeZone());
}

// DTSTART of an anniversary, or nothing when its date cannot be shown: an all-day date in the
// zone at 00:00:00 wall-clock time, otherwise the instant in UTC.
std::optional<std::string> eventStart(const absl::TimeZone& zone, long long s)
{
    const long long wallClock = unixTime2WallClock(zone, s).seconds;
    if (!isCalendarSecond(wallClock))
        return std::nullopt;
    if (wallClock % 86400 == 0)
        return "DTSTART;VALUE=DATE:" + calendarTime("%Y%m%d", wallClock);
    if (s >= pastCalendarSecond)
        return std::nullopt;  // west of UTC: the UTC year 10000 has no four digits
    return "DTSTART:" + calendarTime("%Y%m%dT%H%M%SZ", s);
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

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// The seconds of a reminder's unit; 0 for no unit.
long long unitLength(const std::string& unit)
{
    static const std::pair<const char*, long long> units[] = {
        {"w", 604800}, {"d", 86400}, {"h", 3600}, {"min", 60}};
    for (const auto& [name, seconds] : units)
        if (unit == name)
            return seconds;
    return 0;
}

// "HH:MM" from 00:00 to 23:59 as seconds after midnight.
std::optional<long long> readTimeOfDay(const std::string& text)
{
    if (text.size() != 5 || text[2] != ':' || !isDigit(text[0]) || !isDigit(text[1]) ||
        !isDigit(text[3]) || !isDigit(text[4]))
        return std::nullopt;
    const int hours = (text[0] - '0') * 10 + (text[1] - '0');
    const int minutes = (text[3] - '0') * 10 + (text[4] - '0');
    if (hours > 23 || minutes > 59)
        return std::nullopt;
    return hours * 3600LL + minutes * 60LL;
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

// One VALARM a trigger: reminders that fall at the same time for this event (1d and 1d@18:00
// on a timed one) would show the same alarm twice.
bool writeAlarms(std::ostream& out, const std::string& summary, bool allDay,
                 const writerSettings& settings)
{
    const auto& all = settings.reminders;
    for (auto r = all.begin(); r != all.end(); ++r) {
        const long long trigger = triggerOf(*r, allDay);
        const auto same = [&](const reminder& o) { return triggerOf(o, allDay) == trigger; };
        if (std::any_of(all.begin(), r, same))
            continue;
        if (!writeLines(out, {"BEGIN:VALARM", "ACTION:DISPLAY", "DESCRIPTION:" + summary,
                              "TRIGGER:" + triggerDuration(trigger), "END:VALARM"},
                        settings))
            return false;
    }
    return true;
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

std::optional<std::string> parseReminder(const std::string& text, reminder& parsed)
{
    const std::size_t digits = std::min(text.find_first_not_of("0123456789"), text.size());
    const std::size_t at = std::min(text.find('@'), text.size());  // never among the digits
    const std::string unit = text.substr(digits, at - digits);
    if (unit == "m")
        return "m is ambiguous: min for minutes, mo for months, which a reminder does not take";
    const long long length = unitLength(unit);
    if (digits == 0 || digits > 4 || length == 0)
        return "a count of at most four digits and w, d, h or min, as in 30min, 2w, 1d or 1d@18:00";
    parsed.timed = -std::stoll(text.substr(0, digits)) * length;
    parsed.allDay = parsed.timed + (length >= 86400 ? 9 * 3600 : 0);  // d and w: at 09:00
    if (at == text.size())
        return std::nullopt;
    if (length < 86400)
        return "@HH:MM follows only d or w: the time of day an all-day event is reminded at";
    const std::optional<long long> timeOfDay = readTimeOfDay(text.substr(at + 1));
    if (!timeOfDay)
        return "@HH:MM is a time of day from 00:00 to 23:59";
    parsed.allDay = parsed.timed + *timeOfDay;
    return std::nullopt;
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

bool writeCalendarEvent(std::ostream& out, std::ostream& err, const event& e, const reference& ref,
                        const writerSettings& settings, calendarState& state)
{
    if (e.type == evReference)
        return true;
    const std::optional<std::string> start = eventStart(ref.zone, e.timestamp);
    if (!start) {
        writeUnshownDate(out, err, e, ref, settings);
        return static_cast<bool>(out);
    }
    state.anyEvent = true;
    const std::string summary = escapeText(ref.name.empty() ? e.label : shownName(ref) + ": " + e.label);
    const std::string stamp = "DTSTAMP:" + calendarTime("%Y%m%dT%H%M%SZ", settings.stamp.seconds);
    if (!writeLines(out, {"BEGIN:VEVENT", "UID:" + calendarUid(ref, e.label), stamp, *start,
                          "SUMMARY:" + summary},
                    settings))
        return false;
    const bool allDay = start->compare(0, 19, "DTSTART;VALUE=DATE:") == 0;
    return writeAlarms(out, summary, allDay, settings) && writeLines(out, {"END:VEVENT"}, settings);
}

bool writeCalendarItem(std::ostream& out, std::ostream& err, const event& e, const reference& ref,
                       const writerSettings& settings, calendarState& state)
{
    std::ostringstream vevent;
    if (!writeCalendarEvent(vevent, err, e, ref, settings, state))
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
                          "DTSTAMP:" + calendarTime("%Y%m%dT%H%M%SZ", settings.stamp.seconds),
                          "END:VFREEBUSY"},
                    settings))
        return false;
    return writeLines(out, {"END:VCALENDAR"}, settings);
}

}  // namespace rondelo
