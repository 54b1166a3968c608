// rondelo [OPTION]... YYYY MM DD [TIME_ZONE]: the round-number anniversaries of a date.
#include <iostream>
#include <new>  // for std::set_new_handler
#include <vector>

#include "diagnostics/messages.h"
#include "driver/help.h"
#include "driver/options.h"
#include "driver/run.h"
#include "readers/arguments.h"

using namespace rondelo;

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
    const bool blocks = options.datesFile || !options.contacts.empty();
    if (blocks)
        std::ios::sync_with_stdio(false);
    return runPipeline(options, sources, !blocks, std::cout, std::cerr);
}

// Before every static object that allocates (the streams, the option table): running out of
// memory then has nowhere to throw to, and would end in std::terminate.
[[gnu::constructor(101)]] void handleMemoryExhaustion()
{
    std::set_new_handler(memoryExhausted);
}

}  // namespace

int main(int argc, char* argv[])
{
    return run(argc, argv);
}
