// rondelo-selftest: what this platform gives rondelo's timestamps, then a report of test instants.
#include <unistd.h>  // for STDOUT_FILENO

#include <exception>
#include <iostream>

#include "diagnostics/diagnostics.h"
#include "driver/output.h"
#include "driver/status.h"
#include "events/events.h"
#include "writers/csv.h"

int main()
{
    std::vector<rondelo::reportLine> lines;
    try {
        rondelo::testTimeLimits(std::cerr, lines);
    } catch (const std::exception& e) {
        // A probe date outside the calendar in this time zone, ten years on past 9999, or no
        // local time: the lines written so far stay, the report would be incomplete.
        std::cerr << "rondelo-selftest: " << e.what() << std::endl;
        return rondelo::statusFailure;
    }
    rondelo::outputBuffer output(STDOUT_FILENO);
    std::ostream out(&output);
    rondelo::writeReport(out, std::cerr, lines);
    if (const auto wrong = rondelo::finishOutput(out, output)) {
        std::cerr << "rondelo-selftest: " << *wrong << std::endl;
        return rondelo::statusFailure;
    }
    return rondelo::statusDone;
}
