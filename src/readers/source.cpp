// The zone lookup of sources that name zones, and the source of a single reference.
#include "readers/source.h"

#include "diagnostics/messages.h"
#include "timeconv/zone.h"

namespace rondelo {

std::optional<std::string> findZone(const std::string& name, zoneCache& zones,
                                    absl::TimeZone& zone)
{
    auto known = zones.find(name);
    if (known == zones.end()) {
        if (!loadZone(name, zone))
            return "unknown time zone " + quoted(name);
        known = zones.emplace(name, zone).first;
    }
    zone = known->second;
    return std::nullopt;
}

std::optional<std::string> findZone(const std::string& name, zoneCache& zones, reference& ref)
{
    if (auto wrong = findZone(name, zones, ref.zone))
        return wrong;
    ref.zoneName = name;
    return std::nullopt;
}

referenceSource singleSource(const reference& ref)
{
    return [ref, given = false](reference& next, std::string&) mutable {
        if (given)
            return readStep::end;
        given = true;
        next = ref;
        return readStep::reference;
    };
}

}  // namespace rondelo
