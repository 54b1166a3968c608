// Fuzzes the reading of the option words: NUL-separated input becomes argv[1..]. Run it with
// -close_fd_mask=2: getopt writes its messages to standard error.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "driver/options.h"

namespace {

void check(bool condition)
{
    if (!condition)
        std::abort();
}

bool endsWith(const std::string& text, const std::string& end)
{
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::vector<std::string> words{"rondelo", ""};
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == '\0')
            words.emplace_back();
        else
            words.back() += static_cast<char>(data[i]);
    }
    std::vector<char*> argv;
    for (std::string& w : words)
        argv.push_back(w.data());
    argv.push_back(nullptr);
    const int argc = static_cast<int>(words.size());
    if (!hasOptions(argc, argv.data()))
        return 0;  // the classic argument reading has a fuzzer of its own

    std::ostringstream out, err;
    runOptions options;
    const std::optional<int> status = readOptions(argc, argv.data(), out, err, options);
    if (!status) {
        check(out.str().empty() && err.str().empty());
        // A date of three words follows the options, or a file of dates stands instead of it.
        check(options.datesFile ? options.firstDateArgument == argc
                                : options.firstDateArgument > 0 && options.firstDateArgument + 3 <= argc);
        check(options.timeOfDay >= 0 && options.timeOfDay < 86400);
        check(!options.title || (options.format == outputFormat::ics && !options.datesFile));
        check(options.reminder.empty() || options.format == outputFormat::ics);
    } else if (*status == 0) {
        check(!out.str().empty() && err.str().empty());
    } else {
        check(*status == 2 && out.str().empty());
        check(endsWith(err.str(), "Try 'rondelo --help' for more information.\n"));
    }
    return 0;
}
