// rondelo [OPTION]... YYYY MM DD [TIME_ZONE]: the round-number anniversaries of a date.
#include <cerrno>
#include <iostream>

#include "driver/calendar.h"
#include "driver/command_line.h"
#include "driver/options.h"
#include "driver/report.h"
#include "driver/run.h"

int main(int argc, char* argv[])
{
    runOptions options;
    if (hasOptions(argc, argv)) {
        if (auto status = readOptions(argc, argv, std::cout, std::cerr, options))
            return *status;
    } else if (argc <= 4) {
        const std::string name = baseName(argv[0]);
        showVersion(std::cerr, name.c_str());
        showUsage(std::cerr, name.c_str());
        return exitTooFewArguments;
    }
    referenceArguments args{};
    if (int status = readReferenceArguments(argc, argv, std::cerr, args, options.firstDateArgument))
        return status;
    collectEvents(args, options);
    const std::vector<event*> events = reportedEvents(options);
    const bool written =
        options.calendar
            ? writeCalendar(std::cout, std::cerr, events, options, referenceWallClock(args, options))
            : writeReport(std::cout, std::cerr, events, options.zone);
    return written ? 0 : reportWriteError(std::cerr, "rondelo", errno);
}
