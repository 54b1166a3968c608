// A file of references, one a line: WHEN<TAB>NAME[<TAB>ZONE].
#pragma once

#include <optional>
#include <ostream>
#include <string>

#include "events/reference.h"
#include "readers/source.h"

// Reads one line of the file, without its line end, into ref: WHEN<TAB>NAME or
// WHEN<TAB>NAME<TAB>ZONE. WHEN is YYYY-MM-DD, YYYY-MM-DDTHH:MM[:SS] or YYYY.MM.DD in the
// years 1400 to 9999, at the defaults' time of day when it gives none; NAME is UTF-8 text
// without control characters; ZONE a zone name, else the defaults' zone. Returns what is wrong
// with the line, if anything; ref is then unspecified.
std::optional<std::string> readDateLine(const std::string& line, const referenceDefaults& defaults,
                                        zoneCache& zones, reference& ref);

// Opens path ("-" for standard input) as a source of its good lines, in file order: a blank
// line, a line that begins with '#', a CR before the LF and a byte-order mark at the start are
// passed over; a line that cannot be read is skipped with "rondelo: FILE:N: what is wrong" on
// err, and a read error ends the source with the system's reason. Nothing, after one message
// on err, when the file cannot be opened, or when it is a regular file that is also the file
// descriptor output, as cat refuses it.
std::optional<referenceSource> openDatesFile(const std::string& path,
                                             const referenceDefaults& defaults, int output,
                                             std::ostream& err);
