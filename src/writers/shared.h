// What every writer shares: its settings, the messages for lines that cannot show their date,
// and the report of a failed write.
#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "events/events.h"
#include "events/reference.h"
#include "timeconv/zone.h"
#include "writers/titles.h"

namespace rondelo {

enum class outputFormat { csv, ics, json, text, vdir, svg, html };

// The kinds of event a reminder is for (--remind=KIND:DURATION), a bit each: the years of a
// reference of each kind that --kinds names, birthday to memorial (a plain date's as a
// birthday's), then milestone, every line in another unit.
constexpr int milestoneReminder = static_cast<int>(referenceKind::date);
constexpr unsigned everyReminderKind = (2u << milestoneReminder) - 1;

// The kind of reminder an event of ref is for, as its bit.
unsigned reminderKindOf(const event& e, const reference& ref);

// A calendar reminder as its alarm's TRIGGER: seconds from an event's start, negative before it.
struct reminder {
    long long timed = 0;   // a timed event's
    long long allDay = 0;  // an all-day event's, from the midnight its date begins at
    unsigned kinds = everyReminderKind;  // the events it is for
};

// What a writer is told of the run besides its lines.
struct writerSettings {
    outputFormat format = outputFormat::csv;
    bool classic = true;        // the classic run, whose short lines keep their old message
    bool flushEachLine = true;  // false for a run over a file, which writes in blocks
    unixInstant now{0};         // text: distances are counted from this instant
    unixInstant stamp{0};       // ics: every event's DTSTAMP
    std::vector<reminder> reminders;  // ics: one VALARM each for the events of its kinds, in
                                      // this order
    std::string calendarName;         // ics: the calendar's NAME and X-WR-CALNAME; empty for none
    std::string directory;            // vdir: the calendar directory
    std::string calendarColor;        // vdir: the directory's color file, #RRGGBB; empty for none
    bool timeOrdered = false;  // lines come in time order (--sort, --next), not as made
    wordsStyle words;          // text, JSON and calendars: how titles are worded
    int sign = 1;                // svg, html: -1 before the reference
    absl::TimeZone zone;         // svg, html: the run's, whose years the axis is marked in
    // svg, html: the window's edges, where the run has them; vdir: a milestone before from has
    // passed, and its file is history to keep
    std::optional<unixInstant> from;
    std::optional<unixInstant> until;
    bool ageUnits = false;  // text: each unit's age beside the years, months and days
    std::optional<absl::TimeZone> showIn;  // csv, json, text: every line on this clock
    std::string showInName;
};

// The clock a line of ref is shown on in CSV, JSON and text: --show-in's, else the zone its
// milestones are counted in; and its name.
const absl::TimeZone& shownZone(const reference& ref, const writerSettings& settings);
const std::string& shownZoneName(const reference& ref, const writerSettings& settings);

// Whether the wall-clock time of instant in zone lies in the years 1400 to 9999, which lines
// can show; of e in ref's zone.
bool canShowDate(unixInstant instant, const absl::TimeZone& zone);
bool canShowDate(const event& e, const reference& ref);

// A line as a message names it.
struct shownLine {
    unixInstant instant;
    const std::string& name;   // whose, as lines carry it; empty for none
    const std::string& label;  // as lines carry it
};

// Says on err that a line cannot show its date. In the classic run, the classic message alone;
// otherwise out is flushed first, so that the message follows the line it is about, and the
// message names whose line it is, its label and which end of the calendar it passed.
void writeUnshownDate(std::ostream& out, std::ostream& err, const shownLine& line,
                      const writerSettings& settings);

// The same for an event of ref, on the clock it is shown on.
void writeUnshownDate(std::ostream& out, std::ostream& err, const event& e, const reference& ref,
                      const writerSettings& settings);

// Ends a line: a flush when the settings want one per line; false when out has failed.
bool endLine(std::ostream& out, const writerSettings& settings);

// text with letters, digits and the characters of plain as they are, and every other octet as
// %XX: different texts never give the same result.
std::string percentEncoded(const std::string& text, const char* plain);


}  // namespace rondelo
