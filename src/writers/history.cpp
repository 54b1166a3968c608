// Tells the files of passed milestones to keep from those to remove, by their reference.
#include "writers/history.h"

#include <cstdio>
#include <cstdlib>  // for strtoull
#include <optional>

#include <absl/time/civil_time.h>

#include "writers/uid.h"

namespace rondelo {

namespace {

const std::string propertyName = "\r\nX-RONDELO-REFERENCE:";

// The value of the content line that starts with name (its CR LF before it), unfolded lines
// being short; empty when there is none.
std::string valueOf(const std::string& text, const std::string& name)
{
    const std::size_t at = text.find(name);
    if (at == std::string::npos)
        return {};
    const std::size_t start = at + name.size();
    return text.substr(start, text.find("\r\n", start) - start);
}

// The instant DTSTART names: a date at midnight in zone, or a UTC time.
std::optional<unixInstant> startOf(const std::string& text, const absl::TimeZone& zone)
{
    int y = 0, mo = 0, d = 0, h = 0, mi = 0, s = 0;
    const std::string date = valueOf(text, "\r\nDTSTART;VALUE=DATE:");
    if (!date.empty() && std::sscanf(date.c_str(), "%4d%2d%2d", &y, &mo, &d) == 3)
        return wallClock2UnixTime(zone, absl::CivilSecond(y, mo, d));
    const std::string time = valueOf(text, "\r\nDTSTART:");
    if (std::sscanf(time.c_str(), "%4d%2d%2dT%2d%2d%2dZ", &y, &mo, &d, &h, &mi, &s) != 6)
        return std::nullopt;
    return wallClock2UnixTime(absl::UTCTimeZone(), absl::CivilSecond(y, mo, d, h, mi, s));
}

std::string hexOf(std::uint64_t value)
{
    char text[17];
    std::snprintf(text, sizeof text, "%016llX", static_cast<unsigned long long>(value));
    return text;
}

}  // namespace

void noteReference(vdirHistory& history, const reference& ref)
{
    history.references.emplace(referenceIdentity(ref), ref.zone);
}

std::string referenceProperty(const reference& ref)
{
    return propertyName.substr(2) + hexOf(referenceIdentity(ref));
}

bool isKeptHistory(const std::string& text, const vdirHistory& history)
{
    const std::string identity = valueOf(text, propertyName);
    if (identity.size() != 16 ||
        identity.find_first_not_of("0123456789ABCDEF") != std::string::npos)
        return false;
    const auto known = history.references.find(std::strtoull(identity.c_str(), nullptr, 16));
    if (known == history.references.end())
        return false;
    const std::optional<unixInstant> start = startOf(text, known->second);
    return start && *start < history.windowStart;
}

}  // namespace rondelo
