// rondelo [OPTION]... YYYY MM DD [TIME_ZONE]: the round-number anniversaries of a date.
#include <cerrno>
#include <iostream>
#include <new>  // for std::bad_alloc

#include "driver/command_line.h"
#include "driver/dates.h"
#include "driver/options.h"
#include "driver/run.h"
#include "writers/writer.h"

namespace {

// The reference of the arguments, in the classic form or with options; the exit status when
// the run ends here.
std::optional<int> readReference(int argc, char* argv[], bool withOptions,
                                 const runOptions& options, reference& ref)
{
    if (!withOptions) {
        referenceArguments args{};
        if (int status = readReferenceArguments(argc, argv, std::cerr, args))
            return status;
        ref = singleReference(args, options);
        return std::nullopt;
    }
    writtenDate date{};
    if (int status = readDateWords(options.dateWords, options.timeGiven, std::cerr, date))
        return status;
    ref = singleReference(wallClockOf(date, options.timeOfDay), options);
    return std::nullopt;
}

int run(int argc, char* argv[])
{
    runOptions options;
    const bool withOptions = hasOptions(argc, argv);
    if (withOptions) {
        if (auto status = readOptions(argc, argv, std::cout, std::cerr, options))
            return *status;
    } else if (argc <= 4) {
        const std::string name = baseName(argv[0]);
        showVersion(std::cerr, name.c_str());
        showUsage(std::cerr, name.c_str());
        return exitTooFewArguments;
    }
    if (options.datesFile) {
        // The lines go out in blocks through the stream's own buffer, not a locked stdio call
        // per field; nothing else writes to standard output.
        std::ios::sync_with_stdio(false);
        return runDates(options, std::cout, std::cerr);
    }
    reference ref;
    if (auto status = readReference(argc, argv, withOptions, options, ref))
        return *status;
    eventList events;
    collectEvents(events, ref, options);
    if (options.sortByTime)
        sortByTime(events);
    if (options.next && events.size() > static_cast<unsigned long long>(*options.next))
        events.erase(events.begin() + *options.next, events.end());
    writer output = makeWriter(writerSettingsOf(options, true));
    if (!writeEvents(output, std::cout, std::cerr, events, ref))
        return reportWriteError(std::cerr, "rondelo", errno);
    return 0;
}

}  // namespace

int main(int argc, char* argv[])
{
    try {
        return run(argc, argv);
    } catch (const std::bad_alloc&) {
        // As coreutils' xalloc_die: one message and status 1, never an abort with a core.
        std::cerr << "rondelo: memory exhausted" << std::endl;
        return 1;
    }
}
