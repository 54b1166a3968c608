// rondelo-selftest: what this platform gives rondelo's timestamps, then a report of test instants.
#include <cerrno>
#include <exception>
#include <iostream>

#include "diagnostics/diagnostics.h"
#include "driver/report.h"
#include "events/events.h"

int main()
{
    try {
        testTimeLimits(std::cerr);
    } catch (const std::exception& e) {
        // A probe date outside the calendar in this time zone, or no local time.
        std::cerr << "rondelo-selftest: " << e.what() << std::endl;
        return 1;
    }
    if (!writeReport(std::cout, std::cerr, eventsForOneReferenceDate))
        return reportWriteError(std::cerr, "rondelo-selftest", errno);
    return 0;
}
