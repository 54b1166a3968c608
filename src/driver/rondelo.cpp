// rondelo [OPTION]... YYYY MM DD [TIME_ZONE]: the round-number anniversaries of a date.
#include <iostream>
#include <new>  // for std::bad_alloc
#include <vector>

#include "driver/help.h"
#include "driver/options.h"
#include "driver/run.h"
#include "readers/arguments.h"

namespace {

int run(int argc, char* argv[])
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
    std::vector<referenceSource> sources;
    if (auto status = openSources(argc, argv, options, std::cerr, sources))
        return *status;
    // A file's lines go out in blocks through the stream's own buffer, not a locked stdio call
    // per field; nothing else writes to standard output.
    const bool blocks = options.datesFile.has_value();
    if (blocks)
        std::ios::sync_with_stdio(false);
    return runPipeline(options, sources, !blocks, std::cout, std::cerr);
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
