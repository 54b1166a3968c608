// Writes events as JSON Lines through nlohmann-json, which escapes whatever a name holds.
#include "writers/json.h"

#include <absl/time/time.h>
#include <nlohmann/json.hpp>

namespace rondelo {

namespace {

// RFC 3339 wall-clock time with its offset, whose seconds a local mean time keeps.
std::string localTime(unixInstant instant, const absl::TimeZone& zone)
{
    const absl::Time t = absl::FromUnixSeconds(instant.seconds);
    const bool wholeMinutes = zone.At(t).offset % 60 == 0;
    return absl::FormatTime(wholeMinutes ? "%Y-%m-%dT%H:%M:%S%Ez" : "%Y-%m-%dT%H:%M:%S%E*z", t,
                            zone);
}

}  // namespace

bool writeJsonLine(std::ostream& out, std::ostream& err, const event& e, const reference& ref,
                   const writerSettings& settings)
{
    nlohmann::ordered_json line;
    line["unix"] = e.instant.seconds;
    const absl::TimeZone& zone = shownZone(ref, settings);
    const bool shown = canShowDate(e.instant, zone);
    if (shown)
        line["local"] = localTime(e.instant, zone);
    line["zone"] = shownZoneName(ref, settings);
    line["type"] = static_cast<int>(typeOf(e));
    line["label"] = labelOf(e, ref);
    if (e.family != familyReference) {
        line["unit"] = unitName(e.unit);
        line["count"] = e.family == familyYearly ? nlohmann::ordered_json()  // none to show
                                                 : nlohmann::ordered_json(e.count);
    }
    if (e.family == familyAge)
        line["age"] = true;
    if (!ref.name.empty())
        line["name"] = shownName(ref);
    line["title"] = titleOf(e, ref, settings.words);
    // Invalid UTF-8 cannot come from a checked name, but would come out as U+FFFD, not throw.
    out << line.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace) << '\n';
    if (!shown)
        writeUnshownDate(out, err, e, ref, settings);
    return endLine(out, settings);
}

}  // namespace rondelo
