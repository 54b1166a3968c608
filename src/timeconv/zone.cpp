// Wall-clock readings and instants: the zone rules are the library's, none are computed here.
#include "timeconv/zone.h"

#include <absl/time/civil_time.h>

namespace {

const absl::CivilSecond civilEpoch(1970, 1, 1, 0, 0, 0);

}  // namespace

bool isZoneName(const std::string& name)
{
    // "localtime" is the library's name for the machine's own setting, which --local reads.
    if (name.empty() || name[0] == '/' || name.find("..") != std::string::npos ||
        name == "localtime")
        return false;
    for (const char c : name) {
        const bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
                           (c >= '0' && c <= '9') || c == '/' || c == '_' || c == '+' ||
                           c == '-' || c == '.';
        if (!plain)
            return false;
    }
    return true;
}

bool loadZone(const std::string& name, absl::TimeZone& zone)
{
    return isZoneName(name) && absl::LoadTimeZone(name, &zone);
}

long long wallClock2UnixTime(const absl::TimeZone& zone, wallClockReading wallClock)
{
    // pre is the first occurrence of a repeated reading and, in a gap, the pre-gap offset.
    return absl::ToUnixSeconds(zone.At(civilEpoch + wallClock.seconds).pre);
}

wallClockReading unixTime2WallClock(const absl::TimeZone& zone, long long s)
{
    return {zone.At(absl::FromUnixSeconds(s)).cs - civilEpoch};
}
