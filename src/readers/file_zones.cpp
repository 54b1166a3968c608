// Zone names of a file, the database searched for near names a bounded number of times.
#include "readers/file_zones.h"

#include <algorithm>

#include "timeconv/zone.h"
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

std::optional<std::string> placeDate(const writtenDate& date, const dateAnchor& anchor,
                                     long long timeOfDay, fileZones& zones, reference& ref)
{
    ref.instant.reset();
    if (!isAnchored(anchor)) {
        ref.wallClock = wallClockOf(date, timeOfDay);
        return std::nullopt;
    }
    absl::TimeZone named;
    const bool offsetOnly = anchor.zone.empty() || anchor.zone[0] == '+' || anchor.zone[0] == '-';
    if (!offsetOnly)
        if (auto wrong = findZone(anchor.zone, zones.loaded, named))
            return ": " + *wrong + zoneHint(anchor.zone, zones);
    unixInstant instant{0};
    if (auto wrong = anchoredInstant(date, anchor, offsetOnly ? nullptr : &named, instant))
        return wrong;
    const wallClockReading reading = unixTime2WallClock(ref.zone, instant);
    if (!isCalendarSecond(instant.seconds) || !isCalendarSecond(reading.seconds))
        return std::string(" is out of range on the clock it is counted on (years 1400 to 9999)");
    ref.instant = instant;
    ref.wallClock = civilOf(reading);
    return std::nullopt;
}

}  // namespace rondelo
