// rondelo [OPTION]... YYYY MM DD [TIME_ZONE]: the round-number anniversaries of a date.
#include <unistd.h>  // for STDOUT_FILENO

#include <iostream>
#include <new>  // for std::set_new_handler

#include "diagnostics/messages.h"
#include "driver/output.h"
#include "driver/run.h"
#include "driver/status.h"

namespace {

// Before every static object that allocates (the streams, the option table): running out of
// memory then has nowhere to throw to, and would end in std::terminate.
[[gnu::constructor(101)]] void handleMemoryExhaustion()
{
    std::set_new_handler(rondelo::memoryExhausted);
}

}  // namespace

int main(int argc, char* argv[])
{
    rondelo::outputBuffer output(STDOUT_FILENO);
    std::ostream out(&output);
    const int status = rondelo::run(argc, argv, out, std::cerr);
    if (const auto wrong = rondelo::finishOutput(out, output)) {
        rondelo::say(std::cerr, *wrong);
        return rondelo::statusFailure;
    }
    return status;
}
