// A calendar directory (vdir): one .ics file an event, kept equal to what a run makes.
#pragma once

#include <map>
#include <optional>
#include <ostream>
#include <string>

#include "events/events.h"
#include "events/reference.h"
#include "writers/ics.h"
#include "writers/shared.h"

namespace rondelo {

// A run's items: the whole text of each event's file, by UID.
using vdirItems = std::map<std::string, std::string>;

// Adds m's item, as writeCalendarItem writes it, under its calendarUid; nothing for a moment
// that writeCalendarItem writes nothing for (err is told of one whose date cannot be shown).
void addVdirItem(vdirItems& items, std::ostream& err, const moment& m, const reference& ref,
                 const writerSettings& settings, calendarState& state);

// The file of a UID: every octet but letters, digits, '-', '_' and '@' (and '.' after the
// first) as %XX, then ".ics". Different UIDs never get the same name.
std::string vdirFileName(const std::string& uid);

// Makes dir (made, with its parents, when missing; not empty) hold the files of items, whose
// UIDs end in "@rondelo" as calendarUid's do: a file whose name ends in "@rondelo.ics" is
// rondelo's. A new item's file is added and a changed one's rewritten; a file whose text
// differs only in its DTSTAMP and PRODID lines is kept as it is, bytes and mtime; a file of
// rondelo's that no item has is removed; any other file is never touched. Every file is first
// written in full to a temporary file in dir (".rondelo-*.tmp") and synced to disk, and only
// then are they all renamed into place: a sync that fails before that leaves dir as it was.
// Returns what failed, as "PATH: reason".
std::optional<std::string> syncVdir(const std::string& dir, const vdirItems& items);

}  // namespace rondelo
