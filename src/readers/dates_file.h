// A file of references, one a line: WHEN<TAB>NAME[<TAB>ZONE] or WHEN,NAME[,ZONE].
#pragma once

#include <optional>
#include <string>

#include "events/reference.h"
#include "readers/file_zones.h"
#include "readers/source.h"

namespace rondelo {

// Reads one line of the file, without its line end, into ref: WHEN<TAB>NAME[<TAB>ZONE] or
// WHEN,NAME[,ZONE]. The first tab or comma of the line chooses its separator, as no WHEN holds
// either. In the comma form a field may be in double quotes (RFC 4180) to hold commas and
// doubled quotes, but not a line end; blanks around a field are trimmed (spaces, and in the
// comma form tabs too), not inside its quotes. WHEN is YYYY-MM-DD, YYYY-MM-DDTHH:MM[:SS] or
// YYYY.MM.DD in the years 1400 to 9999, at the defaults' time of day when it gives none; NAME is
// UTF-8 text without control characters; ZONE a zone name, else (absent or empty) the defaults'
// zone. khard writes a birthday without a year as 1900.MM.DD: such a WHEN, however padded or
// quoted, is a yearless birthday at midnight, of kind birthday; any other is of kind date. Returns
// what is wrong with a line that gives no reference; ref is then unspecified.
std::optional<std::string> readDateLine(const std::string& line, const referenceDefaults& defaults,
                                        fileZones& zones, reference& ref);

// Opens path ("-" for standard input) as a source of its good lines, in file order: a blank
// line, a line that begins with '#', a CR before the LF, a byte-order mark at the start and a
// header (the first line that is none of these, when its text before its first tab or comma
// holds no digit) are passed over; a line that cannot be read is skipped with
// the problem "FILE:N: what is wrong", and a read error ends the source with the system's
// reason. Nothing, with the problem, when the file cannot be opened, or when it is a regular
// file that is also the file descriptor output, as cat refuses it.
std::optional<referenceSource> openDatesFile(const std::string& path,
                                             const referenceDefaults& defaults, int output,
                                             std::string& problem);

}  // namespace rondelo
