// Fuzzes the reading of the option words and the date words: NUL-separated input becomes
// argv[1..].
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "driver/options.h"
#include "readers/arguments.h"

using namespace rondelo;

namespace {

void check(bool condition)
{
    if (!condition)
        std::abort();
}

const std::string hint = "Try 'rondelo --help' for more information.\n";

bool endsWith(const std::string& text, const std::string& end)
{
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    setenv("TZ", "UTC", 1);  // the run's zone when the options name none
    setenv("RONDELO_CONFIG", "", 1);  // no file of defaults
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
        // Nothing said, but the warning of a zone that is a fixed offset.
        check(out.str().empty());
        check(err.str().empty() || err.str().find("is a fixed offset") != std::string::npos);
        check(options.dateWords.size() < words.size());
        check(options.timeOfDay >= 0 && options.timeOfDay < 86400);
        check(!options.title || (options.format == outputFormat::ics && !options.datesFile));
        check(options.reminders.empty() || options.format == outputFormat::ics || options.format == outputFormat::vdir);
        check(!options.next || (*options.next > 0 && options.from && options.sortByTime));
        // The date words: a date that exists, or one line saying what is wrong.
        commandDate date{};
        const auto failure = readDateWords(options.dateWords, options.timeGiven, date);
        if (!failure)
            check(date.day ||
                  (!missingDay(date.date) && date.date.year >= 1400 && date.date.year <= 9999));
        else
            check(!failure->what.empty() && failure->what.find('\n') == std::string::npos);
    } else if (*status == 0) {
        check(!out.str().empty() && err.str().empty());
    } else {
        check(*status == 2 && out.str().empty());
        check(endsWith(err.str(), hint));
    }
    return 0;
}
