// rondelo YYYY MM DD TIME_ZONE: the round-number anniversaries of a date, one CSV line each.
#include <libgen.h>  // for the POSIX basename

#include <cerrno>
#include <iostream>

#include "driver/command_line.h"
#include "driver/report.h"
#include "driver/run.h"
#include "events/events.h"

int main(int argc, char* argv[])
{
    if (argc <= 4) {
        const char* name = basename(argv[0]);
        showVersion(std::cerr, name);
        showUsage(std::cerr, name);
        return exitTooFewArguments;
    }
    referenceArguments args{};
    if (int status = readReferenceArguments(argc, argv, std::cerr, args))
        return status;
    collectEvents(args);
    if (!writeReport(std::cout, std::cerr, eventsForOneReferenceDate))
        return reportWriteError(std::cerr, "rondelo", errno);
    return 0;
}
