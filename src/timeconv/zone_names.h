// The names of the zone database, for the way out of a name that is none.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

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

// True for what looks like a zone's abbreviation, such as CEST or PST: two to five capital
// letters.
bool isZoneAbbreviation(const std::string& name);

}  // namespace rondelo
