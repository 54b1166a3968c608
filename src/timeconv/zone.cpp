// Wall-clock readings and instants: the zone rules are the library's, none are computed here.
#include "timeconv/zone.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>

namespace rondelo {

bool isZoneName(const std::string& name)
{
    // "localtime" is the library's name for the machine's own setting, which --local reads.
    if (name.empty() || name == "localtime")
        return false;
    for (const char c : name) {
        const bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
                           (c >= '0' && c <= '9') || c == '/' || c == '_' || c == '+' ||
                           c == '-' || c == '.';
        if (!plain)
            return false;
    }
    // One spelling for each zone: no empty, "." or ".." component, so no leading, doubled or
    // trailing "/".
    for (std::size_t start = 0; start <= name.size();) {
        const std::size_t end = std::min(name.find('/', start), name.size());
        const std::string component = name.substr(start, end - start);
        if (component.empty() || component == "." || component == "..")
            return false;
        start = end + 1;
    }
    return true;
}

std::string zoneDirectory()
{
    const char* directory = std::getenv("TZDIR");
    return directory != nullptr && directory[0] != '\0' ? directory : "/usr/share/zoneinfo";
}

bool loadZone(const std::string& name, absl::TimeZone& zone)
{
    if (!isZoneName(name))
        return false;
    if (name == "UTC")
        return absl::LoadTimeZone(name, &zone);  // built in: no file is read
    // The library reads whatever the path names, a FIFO included, and keeps every zone it was
    // asked for, found or not: only a regular file of the database reaches it.
    const std::string path = zoneDirectory() + "/" + name;
    struct stat file {};
    return stat(path.c_str(), &file) == 0 && S_ISREG(file.st_mode) &&
           absl::LoadTimeZone(name, &zone);
}

unixInstant wallClock2UnixTime(const absl::TimeZone& zone, absl::CivilSecond wallClock)
{
    // pre is the first occurrence of a repeated reading and, in a gap, the pre-gap offset.
    return {absl::ToUnixSeconds(zone.At(wallClock).pre)};
}

unixInstant wallClock2UnixTime(const absl::TimeZone& zone, wallClockReading wallClock)
{
    if (zone == absl::UTCTimeZone())
        return {wallClock.seconds};  // UTC's readings are its instants; the classic run asks only it
    return wallClock2UnixTime(zone, civilOf(wallClock));
}

wallClockReading unixTime2WallClock(const absl::TimeZone& zone, unixInstant instant)
{
    const long long s = instant.seconds;
    if (zone == absl::UTCTimeZone())
        return {s};
    const absl::TimeZone::CivilInfo reading = zone.At(absl::FromUnixSeconds(s));
    // Inside the calendar the offset is the cheaper answer; far outside it the sum could overflow.
    return isCalendarSecond(s) ? wallClockReading{s + reading.offset} : readingOf(reading.cs);
}

}  // namespace rondelo
