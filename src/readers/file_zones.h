// The zones a file names, each loaded once, and the way out of a name that is none.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "events/reference.h"
#include "readers/source.h"

namespace rondelo {

// What a source keeps of the zone names its file gives.
struct fileZones {
    zoneCache loaded;
    // The nearest names for each of the first few names that are no zone: a typo repeats on
    // many lines, but a file of a million such names must not search the database for each.
    std::vector<std::pair<std::string, std::string>> hints;
};

// Sets ref's zone to the one named, as findZone does; what is wrong when there is none, with
// "; did you mean Europe/Berlin?" after it where a name is near (for the first 16 unknown
// names of the file, each of at most 64 bytes).
std::optional<std::string> findFileZone(const std::string& name, fileZones& zones,
                                        reference& ref);

}  // namespace rondelo
