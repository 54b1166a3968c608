// The help texts, the argument echo and the conversion and checks of the four arguments.
#include "driver/command_line.h"

#include <libgen.h>  // for the POSIX basename

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <stdexcept>
#include <vector>

#include <boost/date_time/gregorian/gregorian_types.hpp>
#include <boost/version.hpp>  // for BOOST_LIB_VERSION

const std::string description = "Quillotane generator";
const std::string author = "the rondelo authors";
const std::string version = RONDELO_VERSION;  // the CMake project's version
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

// The length of the UTF-8 character at text[at], or 0 when the bytes there are none: no
// overlong form, no surrogate, nothing past U+10FFFF.
std::size_t utf8Length(const std::string& text, std::size_t at)
{
    const auto lead = static_cast<unsigned char>(text[at]);
    if (lead < 0x80)
        return 1;
    if (lead < 0xC2 || lead > 0xF4)
        return 0;
    const std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
    const unsigned char low = lead == 0xE0 ? 0xA0 : lead == 0xF0 ? 0x90 : 0x80;  // second byte
    const unsigned char high = lead == 0xED ? 0x9F : lead == 0xF4 ? 0x8F : 0xBF;
    if (at + length > text.size())
        return 0;
    for (std::size_t i = 1; i < length; ++i) {
        const auto octet = static_cast<unsigned char>(text[at + i]);
        if (octet < (i == 1 ? low : 0x80) || octet > (i == 1 ? high : 0xBF))
            return 0;
    }
    return length;
}

// A date word of an option run: an optional sign and decimal digits, nothing else. The value
// saturates at numberLimit, far outside every range, so that a long number is out of range.
constexpr long long numberLimit = 1LL << 40;

bool readDateNumber(const std::string& word, long long& value)
{
    const std::size_t first = word.size() > 1 && (word[0] == '+' || word[0] == '-') ? 1 : 0;
    if (word.empty() || word.find_first_not_of("0123456789", first) != std::string::npos)
        return false;
    value = 0;
    for (std::size_t i = first; i < word.size(); ++i)
        value = std::min(value * 10 + (word[i] - '0'), numberLimit);
    value = word[0] == '-' ? -value : value;
    return true;
}

// "year 10000 is out of range (1400 to 9999)" when value lies outside [low, high]; word shows
// a value that saturated.
std::optional<std::string> outOfRange(const char* what, long long value, long long low,
                                      long long high, const std::string& word)
{
    if (value >= low && value <= high)
        return std::nullopt;
    const std::string shown = std::llabs(value) < numberLimit ? std::to_string(value) : word;
    return std::string(what) + " " + shown + " is out of range (" + std::to_string(low) + " to " +
           std::to_string(high) + ")";
}

// What is wrong with the fields of a date (the year, month, day and TIME_ZONE, as many as
// values holds) in that order, then with the day in its month; date gets them when in range.
std::optional<std::string> checkFields(const std::vector<long long>& values,
                                       const std::vector<std::string>& words, writtenDate& date)
{
    static const char* const names[] = {"year", "month", "day", "TIME_ZONE"};
    static const long long lows[] = {1400, 1, 1, INT_MIN};
    static const long long highs[] = {9999, 12, 31, INT_MAX};
    for (std::size_t i = 0; i < values.size(); ++i)
        if (auto wrong = outOfRange(names[i], values[i], lows[i], highs[i], words.at(i)))
            return wrong;
    date.year = static_cast<int>(values[0]);
    date.month = static_cast<int>(values[1]);
    date.day = static_cast<int>(values[2]);
    return missingDay(date);
}

// The status of a date whose fields were checked: 0, or exitOutOfRange and what is wrong.
int dateStatus(std::ostream& err, const std::optional<std::string>& wrong)
{
    if (!wrong)
        return 0;
    err << "rondelo: " << *wrong << std::endl;
    return exitOutOfRange;
}

// YYYY MM DD [TIME_ZONE], each an optional sign and digits: the first word that is no number,
// else the first value out of range; all are read before any range is checked.
int readSeparateWords(const std::vector<std::string>& words, std::ostream& err, writtenDate& date)
{
    std::vector<long long> values(words.size());
    for (std::size_t i = 0; i < words.size(); ++i)
        if (!readDateNumber(words[i], values[i])) {
            err << "rondelo: " << quoted(words[i]) << " is not a number" << std::endl;
            return exitNotAnInteger;
        }
    return dateStatus(err, checkFields(values, words, date));
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
    const auto escaped = [&](std::size_t at) {
        const auto octet = static_cast<unsigned char>(text[at]);
        return std::string{'\\', 'x', hex[octet >> 4], hex[octet & 15]};
    };
    std::string shown;
    for (std::size_t at = 0; at < text.size();) {
        const auto octet = static_cast<unsigned char>(text[at]);
        const std::size_t length = utf8Length(text, at);
        if (octet == '\t' || octet == '\n')
            shown += octet == '\t' ? "\\t" : "\\n";
        else if (octet < 0x20 || octet == 0x7F || length == 0)
            shown += escaped(at);
        else if (octet == 0xC2 && static_cast<unsigned char>(text[at + 1]) < 0xA0)  // C1
            shown += escaped(at) + escaped(at + 1);
        else
            shown.append(text, at, length);
        at += std::max<std::size_t>(length, 1);
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
                           referenceArguments& args)
{
    const bool converted = convertArgument(argv[1], args.year) &&
                           convertArgument(argv[2], args.month) &&
                           convertArgument(argv[3], args.day) &&
                           convertArgument(argv[4], args.timeZone);
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

int usageError(std::ostream& err, const std::string& what)
{
    if (!what.empty())
        err << "rondelo: " << what << std::endl;
    err << "Try 'rondelo --help' for more information." << std::endl;
    return exitUsage;
}

int readDateWords(const std::vector<std::string>& words, bool timeGiven, std::ostream& err,
                  writtenDate& date)
{
    date = {};
    const bool oneWord = !words.empty() && readWrittenDate(words[0], false, date);
    if (words.size() > (oneWord ? 1 : 4))
        return usageError(err, "extra operand " + quoted(words[oneWord ? 1 : 4]));
    if (oneWord && date.timeOfDay && timeGiven)
        return usageError(err, "--time does not go with a date that gives its time of day");
    if (oneWord)
        return dateStatus(err, checkFields({date.year, date.month, date.day}, {3, words[0]}, date));
    long long number = 0;
    if (words.empty() || (words.size() < 3 && readDateNumber(words[0], number)))
        return usageError(err, "missing date: YYYY-MM-DD or YYYY MM DD");
    if (words.size() < 3) {
        err << "rondelo: " << quoted(words[0])
            << " is not a date (YYYY-MM-DD or YYYY-MM-DDTHH:MM[:SS])" << std::endl;
        return exitNotAnInteger;
    }
    return readSeparateWords(words, err, date);
}
