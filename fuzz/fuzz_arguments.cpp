// Fuzzes the reading of the four arguments: NUL-separated input becomes argv[1..].
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include <boost/date_time/gregorian/gregorian_types.hpp>

#include "diagnostics/messages.h"
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

    std::ostringstream err;
    referenceArguments args{};
    const int status = readReferenceArguments(static_cast<int>(words.size()), argv.data(), err, args);
    std::string echo;
    for (std::size_t i = 0; i < words.size(); ++i)
        echo += "argv[" + std::to_string(i) + "] " + printable(words[i]) + "\n";
    if (status == 0) {
        // A date that passed must exist in the calendar; this constructor throws otherwise.
        boost::gregorian::date(static_cast<unsigned short>(args.year),
                               static_cast<unsigned short>(args.month),
                               static_cast<unsigned short>(args.day));
        if (!err.str().empty())
            std::abort();
    } else if ((status != exitNotAnInteger && status != exitOutOfRange) ||
               err.str().compare(0, echo.size(), echo) != 0) {
        std::abort();
    }
    return 0;
}
