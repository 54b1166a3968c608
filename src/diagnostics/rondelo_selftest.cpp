// rondelo-selftest: what this platform gives rondelo's timestamps, then a report of test instants.
#include <cerrno>
#include <exception>
#include <iostream>

#include "diagnostics/diagnostics.h"
#include "writers/csv.h"
#include "events/events.h"

using namespace rondelo;

int main()
{
    eventList events;
    try {
        testTimeLimits(std::cerr, events);
    } catch (const std::exception& e) {
        // A probe date outside the calendar in this time zone, ten years on past 9999, or no
        // local time: the lines written so far stay, the report would be incomplete.
        std::cerr << "rondelo-selftest: " << e.what() << std::endl;
        return 1;
    }
    if (!writeReport(std::cout, std::cerr, events))
        return reportWriteError(std::cerr, "rondelo-selftest", errno);
    return 0;
}
