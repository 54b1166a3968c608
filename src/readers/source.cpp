// The zone lookup of sources that name zones, and the source of a single reference.
#include "readers/source.h"

#include "diagnostics/messages.h"
#include "timeconv/zone.h"

namespace rondelo {

std::optional<std::string> findZone(const std::string& name, zoneCache& zones, reference& ref)
{
    auto known = zones.find(name);
    if (known == zones.end()) {
        absl::TimeZone zone;
        if (!loadZone(name, zone))
            return "unknown time zone " + quoted(name);
        known = zones.emplace(name, zone).first;
    }
    ref.zone = known->second;
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
