// Fuzzes the reading of the four arguments: NUL-separated input becomes argv[1..].
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include <boost/date_time/gregorian/gregorian_types.hpp>

#include "readers/arguments.h"

using namespace rondelo;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::vector<std::string> words{"rondelo"};
    words.emplace_back();
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == '\0')
            words.emplace_back();
        else
            words.back() += static_cast<char>(data[i]);
    }
    if (words.size() < 5)
        return 0;  // too few arguments never reach the conversion
    std::vector<const char*> argv;
    for (const std::string& w : words)
        argv.push_back(w.c_str());
    argv.push_back(nullptr);

    referenceArguments args{};
    const auto failure = readReferenceArguments(argv.data(), args);
    if (!failure) {
        // A date that passed must exist in the calendar; this constructor throws otherwise.
        boost::gregorian::date(static_cast<unsigned short>(args.year),
                               static_cast<unsigned short>(args.month),
                               static_cast<unsigned short>(args.day));
    } else if (failure->problem == dateProblem::usage || failure->what.empty() ||
               failure->what.find('\n') != std::string::npos) {
        std::abort();
    }
    return 0;
}
