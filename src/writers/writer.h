// The writers' one interface: a run's events and their reference in, lines in one format out.
#pragma once

#include <ostream>
#include <variant>

#include "events/events.h"
#include "events/reference.h"
#include "writers/history.h"
#include "writers/ics.h"
#include "writers/moments.h"
#include "writers/page.h"
#include "writers/picture.h"
#include "writers/shared.h"
#include "writers/text.h"
#include "writers/vdir.h"

namespace rondelo {

// What a calendar directory gathers before it is synced: every event's file, and every
// reference read, whose passed milestones it keeps.
struct directoryState {
    calendarState calendar;
    vdirItems items;
    vdirHistory history;
};

// One run's writer: its settings, and what its format keeps from line to line. Only the
// format's own state is made: a CSV run loads no locale and keeps nothing.
struct writer {
    writerSettings settings;
    std::variant<std::monostate, calendarState, textState, directoryState, pictureState, pageState>
        state;
    momentStage moments;  // text and calendars: lines held until their moment is whole
};

// The writer of the settings' format; a format with words takes the locale's grouping of digits.
writer makeWriter(writerSettings settings);

// Each write returns false, at once, when out can no longer be written; the caller reports
// that once, when the run is over.

// What comes before the first line: the calendar's header; nothing in the other formats.
bool writeBegin(writer& w, std::ostream& out);

// Tells the writer of each reference in the order read, before any of its lines are written
// and whether or not it makes any: a calendar numbers references alike, so that their UIDs
// differ.
void countReference(writer& w, reference& ref);

// Tells the writer of each reference read, whether or not it makes any line: a calendar
// directory keeps the files of its passed milestones.
void noteReferenceRead(writer& w, const reference& ref);

// One event of ref, as its format's writer describes: at once in CSV and JSON, as part of a
// moment (see momentStage) in text and calendars.
bool writeLine(writer& w, std::ostream& out, std::ostream& err, const event& e,
               const reference& ref);

// Whether w gathers lines into moments, which text and calendars do.
bool gathersMoments(const writer& w);

// Writes the moments of the lines written so far: at the end of a batch of lines as made.
bool endBatch(writer& w, std::ostream& out, std::ostream& err);

// The moments held, what comes after the last line, then the flush of out: a picture and a
// page are written whole here, once every line is in and the axis known.
bool writeEnd(writer& w, std::ostream& out, std::ostream& err);

// Makes the calendar directory of a vdir writer hold exactly the events written to it, and its
// displayname and color files the calendar's name and colour when the settings give them; what
// failed, as a message naming the path.
std::optional<std::string> syncDirectory(writer& w);

// writeBegin, a line for each of the events of ref in list order, and writeEnd.
bool writeEvents(writer& w, std::ostream& out, std::ostream& err, const eventList& events,
                 const reference& ref);

}  // namespace rondelo
