// The names of the zone database, for the way out of a name that is none.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include <absl/time/time.h>

#include "timeconv/zone.h"

namespace rondelo {

// Up to limit names of the database (its zones and links, from tzdata.zi in TZDIR or the
// system's directory) near name: the same name in another letter case, then names whose last
// component, a city, is name (blanks as underscores, in any case), or when there are none, the
// names fewest edits away, as long as that is few for name's length; nearest first, ties in
// name order. Nothing
// when the database lists no names.
std::vector<std::string> nearestZoneNames(const std::string& name, std::size_t limit);

// "; did you mean Europe/Berlin or Europe/Bern?" for the nearest three names, or nothing when no
// name is near: the end of a message about a name that is no zone.
std::string zoneSuggestions(const std::string& name);

// The edits (insertions, deletions, substitutions of a byte) that turn a into b.
std::size_t editDistance(const std::string& a, const std::string& b);

// True for what looks like a zone's abbreviation, such as CEST or PST: two to five capital
// letters.
bool isZoneAbbreviation(const std::string& name);

// For a zone name that is a fixed offset all year, such as EST, MST or HST (a zone's
// abbreviation for a name and always its own, an offset other than UTC's, and no change of it
// after now): the city zones of the database (Area/City, zones of their own, not links) whose
// clock has agreed since 1970 with the name's sibling that keeps daylight saving time (EST5EDT
// for EST), else with the name's own; in name order, and empty when no city agrees. Nothing for
// any other zone. Loads every zone of the database: for a name given once, not on a run's way.
std::optional<std::vector<std::string>> fixedOffsetCities(const std::string& name,
                                                          const absl::TimeZone& zone,
                                                          unixInstant now);

}  // namespace rondelo
