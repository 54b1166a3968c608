// What every writer shares: its settings, the messages for lines that cannot show their date,
// and the report of a failed write.
#pragma once

#include <ostream>
#include <string>

#include "events/events.h"
#include "events/reference.h"
#include "timeconv/zone.h"

enum class outputFormat { csv, ics, json, text };

// What a writer is told of the run besides its lines.
struct writerSettings {
    outputFormat format = outputFormat::csv;
    bool classic = true;        // the classic run, whose short lines keep their old message
    bool flushEachLine = true;  // false for a run over a file, which writes in blocks
    unixInstant now{0};         // text: distances are counted from this instant
    unixInstant stamp{0};       // ics: every event's DTSTAMP
    std::string reminder;       // ics: each event's alarm TRIGGER, like "-P1D"; empty for none
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

// Reports output that did not reach its reader; returns the exit status 1.
int reportWriteError(std::ostream& err, const char* program, int error);
