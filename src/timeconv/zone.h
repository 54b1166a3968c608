// Wall-clock time in a time zone to and from Unix seconds, through the system's zone database.
#pragma once

#include <string>

#include <absl/time/time.h>

#include "timeconv/civil.h"

namespace rondelo {

// True for what may name a zone of the database, in its one spelling: letters, digits and
// "/_+-." only, components separated by single slashes, none of them "." or "..", and not
// "localtime". The library would load any path it is given.
bool isZoneName(const std::string& name);

// The directory of the zone database: TZDIR when set and not empty, as the library reads it,
// else the system's.
std::string zoneDirectory();

// Loads the named zone into zone; false for a name that isZoneName refuses or that is no
// regular file of the database (in TZDIR when set, as the library reads it). "UTC" loads no
// file.
bool loadZone(const std::string& name, absl::TimeZone& zone);

// The instant of a wall-clock reading in zone. A reading that occurs twice is its first
// occurrence; one that does not occur (a gap, a skipped day) is read with the UTC offset in
// force before the gap.
unixInstant wallClock2UnixTime(const absl::TimeZone& zone, absl::CivilSecond wallClock);
unixInstant wallClock2UnixTime(const absl::TimeZone& zone, wallClockReading wallClock);

// The wall-clock reading of the instant in zone.
wallClockReading unixTime2WallClock(const absl::TimeZone& zone, unixInstant instant);

}  // namespace rondelo
