// A run over a file of references, one a line: each gives the lines a single run would.
#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <unordered_map>

#include <absl/time/time.h>

#include "driver/options.h"
#include "driver/run.h"

// The zones a run has loaded, by name: a file names few zones on many lines.
using zoneCache = std::unordered_map<std::string, absl::TimeZone>;

// Reads one line of the file, without its line end, into ref: WHEN<TAB>NAME or
// WHEN<TAB>NAME<TAB>ZONE. WHEN is YYYY-MM-DD, YYYY-MM-DDTHH:MM[:SS] or YYYY.MM.DD in the
// years 1400 to 9999, at the options' time of day when it gives none; NAME is UTF-8 text
// without control characters; ZONE a zone name, else the options' zone. Returns what is wrong
// with the line, if anything; ref is then unspecified.
std::optional<std::string> readDateLine(const std::string& line, const runOptions& options,
                                        zoneCache& zones, reference& ref);

// Reads options.datesFile and writes every good line's events to out, in the options' format
// and window, in file order or, with --sort, in time order across all references; with --next
// only that many of the earliest, held in memory that grows with their count. A line that
// cannot be read gets "rondelo: FILE:N: what is wrong" on err and is skipped. Returns the exit
// status: 0; 4 when a line was skipped; 1 when the file could not be read or out written.
int runDates(const runOptions& options, std::ostream& out, std::ostream& err);
