// The conversion and checks of the date words, classic and with options.
#include "readers/arguments.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <stdexcept>

#include <boost/date_time/gregorian/gregorian_types.hpp>

#include "diagnostics/messages.h"

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
std::optional<dateWordsFailure> checkFields(const std::vector<long long>& values,
                                            const std::vector<std::string>& words,
                                            writtenDate& date)
{
    static const char* const names[] = {"year", "month", "day", "TIME_ZONE"};
    static const long long lows[] = {1400, 1, 1, INT_MIN};
    static const long long highs[] = {9999, 12, 31, INT_MAX};
    for (std::size_t i = 0; i < values.size(); ++i)
        if (auto wrong = outOfRange(names[i], values[i], lows[i], highs[i], words.at(i)))
            return dateWordsFailure{exitOutOfRange, *wrong};
    date.year = static_cast<int>(values[0]);
    date.month = static_cast<int>(values[1]);
    date.day = static_cast<int>(values[2]);
    if (auto wrong = missingDay(date))
        return dateWordsFailure{exitOutOfRange, *wrong};
    return std::nullopt;
}

// YYYY MM DD [TIME_ZONE], each an optional sign and digits: the first word that is no number,
// else the first value out of range; all are read before any range is checked.
std::optional<dateWordsFailure> readSeparateWords(const std::vector<std::string>& words,
                                                  writtenDate& date)
{
    std::vector<long long> values(words.size());
    for (std::size_t i = 0; i < words.size(); ++i)
        if (!readDateNumber(words[i], values[i]))
            return dateWordsFailure{exitNotAnInteger, quoted(words[i]) + " is not a number"};
    return checkFields(values, words, date);
}

}  // namespace

void showArgs(std::ostream& err, int argc, const char* const* argv)
{
    for (int i = 0; i < argc; ++i)
        err << "argv[" << i << "] " << printable(argv[i]) << std::endl;
}

int readReferenceArguments(int argc, const char* const* argv, std::ostream& err,
                           referenceArguments& args)
{
    const bool converted = convertArgument(argv[1], args.year) &&
                           convertArgument(argv[2], args.month) &&
                           convertArgument(argv[3], args.day) &&
                           convertArgument(argv[4], args.timeZone);
    const bool exists = converted && isInRange(args) && args.day <= lastDayOfMonth(args);
    if (exists)
        return 0;
    showArgs(err, argc, argv);
    if (!converted)
        return exitNotAnInteger;
    if (isInRange(args))  // a day past the end of its month
        err << "rondelo: " << args.year << (args.month < 10 ? "-0" : "-") << args.month << "-"
            << args.day << " does not exist (the month has " << lastDayOfMonth(args) << " days)"
            << std::endl;
    return exitOutOfRange;
}

std::optional<dateWordsFailure> readDateWords(const std::vector<std::string>& words,
                                              bool timeGiven, writtenDate& date)
{
    date = {};
    const bool oneWord = !words.empty() && readWrittenDate(words[0], false, date);
    if (words.size() > (oneWord ? 1 : 4))
        return dateWordsFailure{exitUsage, "extra operand " + quoted(words[oneWord ? 1 : 4])};
    if (oneWord && date.timeOfDay && timeGiven)
        return dateWordsFailure{exitUsage,
                                "--time does not go with a date that gives its time of day"};
    if (oneWord)
        return checkFields({date.year, date.month, date.day}, {3, words[0]}, date);
    long long number = 0;
    if (words.empty() || (words.size() < 3 && readDateNumber(words[0], number)))
        return dateWordsFailure{exitUsage, "missing date: YYYY-MM-DD or YYYY MM DD"};
    if (words.size() < 3)
        return dateWordsFailure{exitNotAnInteger, quoted(words[0]) +
                                " is not a date (YYYY-MM-DD or YYYY-MM-DDTHH:MM[:SS])"};
    return readSeparateWords(words, date);
}

wallClockReading wallClockOf(const referenceArguments& args, long long timeOfDay)
{
    return wallClockOf(writtenDate{args.year, args.month, args.day, std::nullopt}, timeOfDay);
}
