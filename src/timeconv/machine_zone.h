// The zone this machine is set to: TZ, else the zone of the database that /etc/localtime links to.
#pragma once

#include <optional>
#include <string>

#include <absl/time/time.h>

namespace rondelo {

// The file that names the machine's zone by linking into the database.
constexpr const char* systemZoneFile = "/etc/localtime";

// What keeps the machine's zone from being known, for the caller to word.
struct machineZoneFailure {
    enum kindOf {
        fileUnreadable,  // the system file cannot be read (error)
        noDatabaseZone,  // it is no link to a zone name of the database
        zoneUnloadable,  // it links to a name that no zone file answers
        tzNamesNone,     // TZ names no zone
    } kind;
    std::string subject;  // the system file, the zone name it links to, or TZ's value, as found
    int error = 0;        // of fileUnreadable: errno
};

// The zone of tz, the value of TZ (a zone name or a path into the database, a leading colon
// allowed, empty for UTC), else, when tz is null, the zone that systemFile links to in the
// database. zone and zoneName are unspecified after a failure.
std::optional<machineZoneFailure> readMachineZone(const char* tz, const char* systemFile,
                                                  absl::TimeZone& zone, std::string& zoneName);

}  // namespace rondelo
