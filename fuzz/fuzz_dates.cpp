// Fuzzes the reading of one line of a file of references: whatever the octets, a line is either
// refused with a message, passed over (khard's 1900), or gives a reference inside the calendar
// with a name and a zone.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "generators/collect.h"
#include "readers/dates_file.h"
#include "timeconv/epoch.h"

using namespace rondelo;

namespace {

void check(bool condition)
{
    if (!condition)
        std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string line(reinterpret_cast<const char*>(data), size);
    const referenceDefaults defaults;
    fileZones zones;
    reference ref{};
    if (const std::optional<std::string> wrong = readDateLine(line, defaults, zones, ref)) {
        check(!wrong->empty());
        return 0;
    }
    check(isCalendarSecond(readingOf(ref.wallClock).seconds) && !ref.name.empty() && !ref.zoneName.empty());
    check(ref.name.find_first_of("\t\n\r") == std::string::npos);
    eventList events;
    collectEvents(events, ref, generationPlan{});
    // A date without a year has no reference line: nothing to count from.
    check(ref.yearless ? events.empty()
                       : !events.empty() && events.front().family == familyReference);
    return 0;
}
