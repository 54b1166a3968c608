// Wall-clock readings and instants: the zone rules are the library's, none are computed here.
#include "timeconv/zone.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>

#include <absl/time/civil_time.h>
#include <boost/date_time/gregorian/gregorian_types.hpp>

#include "timeconv/epoch.h"

namespace rondelo {

namespace {

const absl::CivilSecond civilEpoch(1970, 1, 1, 0, 0, 0);

// The reading as the library's civil time. Inside the calendar the date library splits it into
// fields that need no normalising, a run over many references' hot path; beyond it the civil
// time's own arithmetic does.
absl::CivilSecond civilTime(wallClockReading wallClock)
{
    if (!isCalendarSecond(wallClock.seconds))
        return civilEpoch + wallClock.seconds;
    const long long day = wallClock.seconds >= 0 ? wallClock.seconds / 86400
                                                 : -((-wallClock.seconds + 86399) / 86400);
    const long long second = wallClock.seconds - day * 86400;  // [0, 86399]
    const auto date = (boost::gregorian::date(1970, 1, 1) + boost::gregorian::days(day)).year_month_day();
    return absl::CivilSecond(date.year, date.month, date.day, second / 3600, second / 60 % 60,
                             second % 60);
}

}  // namespace

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

long long wallClock2UnixTime(const absl::TimeZone& zone, wallClockReading wallClock)
{
    if (zone == absl::UTCTimeZone())
        return wallClock.seconds;  // UTC's readings are its instants; the classic run asks only it
    // pre is the first occurrence of a repeated reading and, in a gap, the pre-gap offset.
    return absl::ToUnixSeconds(zone.At(civilTime(wallClock)).pre);
}

wallClockReading unixTime2WallClock(const absl::TimeZone& zone, long long s)
{
    if (zone == absl::UTCTimeZone())
        return {s};
    const absl::TimeZone::CivilInfo reading = zone.At(absl::FromUnixSeconds(s));
    // Inside the calendar the offset is the cheaper answer; far outside it the sum could overflow.
    return {isCalendarSecond(s) ? s + reading.offset : reading.cs - civilEpoch};
}

}  // namespace rondelo
