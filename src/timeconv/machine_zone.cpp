// Finds the machine's zone by name, so that lines and calendars can say which zone they are in.
#include "timeconv/machine_zone.h"

#include <unistd.h>  // for readlink

#include <cerrno>
#include <cstring>

#include "timeconv/zone.h"

namespace rondelo {

namespace {

// Where the system's links and TZ's paths point into the database.
const char databasePrefix[] = "/usr/share/zoneinfo/";

std::optional<machineZoneFailure> readSystemZone(const char* file, absl::TimeZone& zone,
                                                 std::string& zoneName)
{
    char target[4096];
    const ssize_t length = readlink(file, target, sizeof target);
    if (length < 0 && errno != EINVAL)  // EINVAL: a file, but no link
        return machineZoneFailure{machineZoneFailure::fileUnreadable, file, errno};
    const std::string path(target, length > 0 ? static_cast<std::size_t>(length) : 0);
    const std::size_t at = path.rfind(databasePrefix);
    const std::string name =
        at == std::string::npos ? "" : path.substr(at + std::strlen(databasePrefix));
    if (length <= 0 || static_cast<std::size_t>(length) == sizeof target || !isZoneName(name))
        return machineZoneFailure{machineZoneFailure::noDatabaseZone, file};
    if (!loadZone(name, zone))
        return machineZoneFailure{machineZoneFailure::zoneUnloadable, name};
    zoneName = name;
    return std::nullopt;
}

}  // namespace

std::optional<machineZoneFailure> readMachineZone(const char* tz, const char* systemFile,
                                                  absl::TimeZone& zone, std::string& zoneName)
{
    std::string name = tz == nullptr ? systemFile : tz[0] == ':' ? tz + 1 : tz;
    if (name == systemFile)
        return readSystemZone(systemFile, zone, zoneName);
    if (name.compare(0, std::strlen(databasePrefix), databasePrefix) == 0)
        name.erase(0, std::strlen(databasePrefix));  // a path into the database names its zone
    if (name.empty())
        name = "UTC";
    if (!loadZone(name, zone))
        return machineZoneFailure{machineZoneFailure::tzNamesNone, tz};
    zoneName = name;
    return std::nullopt;
}

}  // namespace rondelo
