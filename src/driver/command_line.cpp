// The help texts, the argument echo and the conversion and checks of the four arguments.
#include "driver/command_line.h"

#include <libgen.h>  // for the POSIX basename

#include <cstring>
#include <stdexcept>
#include <vector>

#include <boost/date_time/gregorian/gregorian_types.hpp>
#include <boost/version.hpp>  // for BOOST_LIB_VERSION

const std::string description = "Quillotane generator";
const std::string author = "the rondelo authors";
const std::string version = "2.5.46";
const std::string email = "rondelo@users.noreply.github.com";

namespace {

// std::stoi rules: leading blanks, an optional sign, then digits up to the first non-digit;
// no digit, or a value outside 32 bits, throws.
bool convertArgument(const char* text, int& value)
{
    try {
        value = std::stoi(std::string(text), nullptr, 10);
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

bool isInRange(const referenceArguments& args)
{
    return args.year >= 1400 && args.year <= 9999 && args.month >= 1 && args.month <= 12 &&
           args.day >= 1 && args.day <= 31;
}

int lastDayOfMonth(const referenceArguments& args)
{
    return boost::gregorian::gregorian_calendar::end_of_month_day(
        static_cast<unsigned short>(args.year), static_cast<unsigned short>(args.month));
}

}  // namespace

std::string baseName(const char* path)
{
    if (path == nullptr)
        return ".";
    std::vector<char> copy(path, path + std::strlen(path) + 1);  // basename may write to it
    return basename(copy.data());
}

std::string printable(const std::string& text)
{
    static const char hex[] = "0123456789ABCDEF";
    std::string shown;
    for (const char c : text) {
        const auto octet = static_cast<unsigned char>(c);
        if (c == '\t')
            shown += "\\t";
        else if (c == '\n')
            shown += "\\n";
        else if (octet < 0x20 || octet == 0x7F)
            shown += {'\\', 'x', hex[octet >> 4], hex[octet & 15]};
        else
            shown += c;
    }
    return shown;
}

std::string quoted(const std::string& text)
{
    return "'" + printable(text) + "'";
}

void showVersion(std::ostream& err, const char* name)
{
    // SOURCE_DATE_EPOCH, when set, fixes __DATE__ and __TIME__ for a reproducible build.
    err << name << " " << version << ", " << __DATE__ << ", " << __TIME__ << std::endl;
    err << "Built with Boost " << BOOST_LIB_VERSION << std::endl;
    err << "Written by " << author << ", Email: " << email << std::endl;
}

void showUsage(std::ostream& err, const char* name)
{
    err << "Usage:\n\t$ ./" << name << " YYYY MM DD TIME_ZONE" << std::endl;
    err << "\nTo produce a sorted output pipe to\n\t| sort -t , -k 1 -g" << std::endl;
    err << "\nUse TIME_ZONE 0 for local time, otherwise all the dates are in UTC" << std::endl;
}

void showArgs(std::ostream& err, int argc, const char* const* argv)
{
    for (int i = 0; i < argc; ++i)
        err << "argv[" << i << "] " << argv[i] << std::endl;
}

int readReferenceArguments(int argc, const char* const* argv, std::ostream& err,
                           referenceArguments& args, int first)
{
    const bool converted = convertArgument(argv[first], args.year) &&
                           convertArgument(argv[first + 1], args.month) &&
                           convertArgument(argv[first + 2], args.day) &&
                           (first + 3 >= argc || convertArgument(argv[first + 3], args.timeZone));
    if (!converted) {
        showArgs(err, argc, argv);
        return exitNotAnInteger;
    }
    if (!isInRange(args)) {
        showArgs(err, argc, argv);
        return exitOutOfRange;
    }
    if (args.day > lastDayOfMonth(args)) {
        showArgs(err, argc, argv);
        err << "rondelo: " << args.year << (args.month < 10 ? "-0" : "-") << args.month << "-"
            << args.day << " does not exist (the month has " << lastDayOfMonth(args)
            << " days)" << std::endl;
        return exitOutOfRange;
    }
    return 0;
}
