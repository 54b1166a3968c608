// What every writer shares: its settings, the messages for lines that cannot show their date,
// and the report of a failed write.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "events/events.h"
#include "events/reference.h"
#include "generators/generators.h"
#include "timeconv/zone.h"

namespace rondelo {

enum class outputFormat { csv, ics, json, text, vdir };

// A calendar reminder as its alarm's TRIGGER: seconds from an event's start, negative before it.
struct reminder {
    long long timed = 0;   // a timed event's
    long long allDay = 0;  // an all-day event's, from the midnight its date begins at
};

// What a writer is told of the run besides its lines.
struct writerSettings {
    outputFormat format = outputFormat::csv;
    bool classic = true;        // the classic run, whose short lines keep their old message
    bool flushEachLine = true;  // false for a run over a file, which writes in blocks
    unixInstant now{0};         // text: distances are counted from this instant
    unixInstant stamp{0};       // ics: every event's DTSTAMP
    std::vector<reminder> reminders;  // ics: one VALARM each, in this order
    std::string calendarName;         // ics: the calendar's NAME and X-WR-CALNAME; empty for none
    std::string directory;            // vdir: the calendar directory
    std::string calendarColor;        // vdir: the directory's color file, #RRGGBB; empty for none
    milestoneChoice milestones;  // text: the label column holds the longest label of these,
    int sign = 1;                // in this direction (-1 before the reference),
    bool ages = false;           // or of the ages in their units when true
};

// Whether the wall-clock time of e in ref's zone lies in the years 1400 to 9999, which lines
// can show.
bool canShowDate(const event& e, const reference& ref);

// Says on err that e cannot show its date. In the classic run, the classic message alone;
// otherwise out is flushed first, so that the message follows the line it is about, and the
// message names the reference's name, the label and which end of the calendar it passed.
void writeUnshownDate(std::ostream& out, std::ostream& err, const event& e, const reference& ref,
                      const writerSettings& settings);

// The classic message for an event whose date cannot be shown; callers match on its text.
void writeRenderError(std::ostream& err, const event& e);

// Ends a line: a flush when the settings want one per line; false when out has failed.
bool endLine(std::ostream& out, const writerSettings& settings);

// text with letters, digits and the characters of plain as they are, and every other octet as
// %XX: different texts never give the same result.
std::string percentEncoded(const std::string& text, const char* plain);


}  // namespace rondelo
