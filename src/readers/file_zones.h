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

// "; did you mean Europe/Berlin?" where a name is near name, which is no zone, else nothing:
// searched for the first 16 such names of the file, each of at most 64 bytes.
std::string zoneHint(const std::string& name, fileZones& zones);

// Sets ref's zone to the one named, as findZone does; what is wrong when there is none, with
// its zoneHint. Inline: a file's every line with a zone comes here.
inline std::optional<std::string> findFileZone(const std::string& name, fileZones& zones,
                                               reference& ref)
{
    std::optional<std::string> wrong = findZone(name, zones.loaded, ref);
    if (wrong)
        *wrong += zoneHint(name, zones);
    return wrong;
}

}  // namespace rondelo
