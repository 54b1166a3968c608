// The zones a file names, each loaded once, and the way out of a name that is none.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "events/reference.h"
#include "readers/source.h"
#include "readers/when.h"

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

// Sets ref's date and time for a date written with anchor, on the clock of ref.zone, which
// counts its milestones: date at its time of day, else at timeOfDay; or, when anchor fixes the
// instant, that instant (ref.instant) and its reading in ref.zone. The zone of the anchor is
// looked up in zones. Returns what is wrong, to follow the date's quoted text in a message: a
// zone in brackets that is none, an offset it disagrees with, a reading outside the calendar.
std::optional<std::string> placeDate(const writtenDate& date, const dateAnchor& anchor,
                                     long long timeOfDay, fileZones& zones, reference& ref);

}  // namespace rondelo
