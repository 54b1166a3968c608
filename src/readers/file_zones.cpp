// Zone names of a file, the database searched for near names a bounded number of times.
#include "readers/file_zones.h"

#include <algorithm>

#include "timeconv/zone_names.h"

namespace rondelo {

namespace {

constexpr std::size_t hintedNames = 16;
constexpr std::size_t longestHinted = 64;  // twice the longest zone name: the search is quadratic

}  // namespace

std::string zoneHint(const std::string& name, fileZones& zones)
{
    auto& hints = zones.hints;
    if (name.size() > longestHinted)
        return std::string();
    const auto known = std::find_if(hints.begin(), hints.end(),
                                    [&](const auto& hint) { return hint.first == name; });
    if (known != hints.end())
        return known->second;
    if (hints.size() == hintedNames)
        return std::string();
    hints.emplace_back(name, zoneSuggestions(name));
    return hints.back().second;
}

}  // namespace rondelo
