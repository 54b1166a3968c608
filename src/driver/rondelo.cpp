// rondelo [OPTION]... YYYY MM DD [TIME_ZONE]: the round-number anniversaries of a date.
#include <cerrno>
#include <iostream>

#include "driver/command_line.h"
#include "driver/dates.h"
#include "driver/options.h"
#include "driver/run.h"
#include "writers/writer.h"

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
    if (options.datesFile)
        return runDates(options, std::cout, std::cerr);
    referenceArguments args{};
    if (int status = readReferenceArguments(argc, argv, std::cerr, args, options.firstDateArgument))
        return status;
    const reference ref = singleReference(args, options);
    eventList events;
    collectEvents(events, ref, options);
    if (options.sortByTime)
        sortByTime(events);
    writer output = makeWriter(writerSettingsOf(options, true));
    if (!writeEvents(output, std::cout, std::cerr, events, ref))
        return reportWriteError(std::cerr, "rondelo", errno);
    return 0;
}
