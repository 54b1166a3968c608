// A calendar directory (vdir): one .ics file an event, kept equal to what a run makes.
#pragma once

#include <map>
#include <optional>
#include <ostream>
#include <string>

#include "events/events.h"
#include "events/reference.h"
#include "writers/history.h"
#include "writers/ics.h"
#include "writers/shared.h"

namespace rondelo {

// A run's items: the whole text of each event's file, by UID.
using vdirItems = std::map<std::string, std::string>;

// The directory's own metadata files of the vdir layout, by name ("displayname", "color"),
// with their text: vdirsyncer's metasync carries them to the server's collection.
using vdirMetadata = std::map<std::string, std::string>;

// How long a sync waits for another run of rondelo on the same directory to end.
constexpr int vdirLockWait = 5;  // seconds

// Adds m's item, as writeCalendarItem writes it, under its first milestone's eventUid; nothing
// for a moment that writeCalendarItem writes nothing for (err is told of one whose date cannot
// be shown).
void addVdirItem(vdirItems& items, std::ostream& err, const moment& m, const reference& ref,
                 const writerSettings& settings, calendarState& state);

// The file of a UID: every octet but letters, digits, '-', '_' and '@' (and '.' and '-' after
// the first) as %XX, then ".ics". Different UIDs never get the same name.
std::string vdirFileName(const std::string& uid);

// Makes dir (made, with its parents, when missing; not empty) hold the files of items, whose
// UIDs end in "@rondelo" as calendarUid's do, and the files of metadata: a file whose name ends
// in "@rondelo.ics" is rondelo's. A new item's file is added and a changed one's rewritten; a
// file whose text differs only in its DTSTAMP and PRODID lines is kept as it is, bytes and
// mtime; a file of rondelo's that no item has is removed, unless it is history to keep
// (isKeptHistory, read as the files are read); a metadata file is written when its text
// differs; any other file is never touched.
//
// One sync at a time: a sync holds dir's lock file (".rondelo.lock", removed when it ends),
// and waits up to waitSeconds for another to end. Under the lock, temporary files
// (".rondelo-*.tmp") are a run's that ended before it could remove them, and go.
//
// Nothing changes before every file to be replaced or removed is known to be a regular file
// this user can replace: anything else of those names is an error. Only regular files are
// read, through no symbolic link, and one past 1 MiB is not read: it differs. Every file is
// then written in full to a temporary file in dir and the lot flushed to the disk; SIGINT,
// SIGTERM and SIGHUP wait until the temporary files are gone, and nothing is allocated while
// any exists. Then the new files are renamed in (a failure among them undoes them), the
// changed ones over theirs, and the old ones removed: past the new files, every item is in dir.
// Returns what failed, a message naming the file or dir.
std::optional<std::string> syncVdir(const std::string& dir, const vdirItems& items,
                                    const vdirMetadata& metadata = {},
                                    int waitSeconds = vdirLockWait,
                                    const vdirHistory& history = {});

}  // namespace rondelo
