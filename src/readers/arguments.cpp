// The conversion and checks of the date words, classic and with options.
#include "readers/arguments.h"

#include <algorithm>
#include <climits>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>

#include "diagnostics/messages.h"
#include "timeconv/zone.h"

namespace rondelo {

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
            return dateWordsFailure{dateProblem::outOfRange, *wrong};
    date.year = static_cast<int>(values[0]);
    date.month = static_cast<int>(values[1]);
    date.day = static_cast<int>(values[2]);
    if (auto wrong = missingDay(date))
        return dateWordsFailure{dateProblem::outOfRange, *wrong};
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
            return dateWordsFailure{dateProblem::notANumber, quoted(words[i]) + " is not a number"};
    return checkFields(values, words, date);
}

bool isTimeOfDay(const std::string& word)
{
    long long seconds = 0;
    return readClock(word, 0, false, seconds);
}

// The way out for a TIME_ZONE word (words[3]) that is a zone's name or a time of day, as
// ": for a time zone, use --zone=Europe/Berlin"; empty for any other.
std::string timeZoneHint(const std::vector<std::string>& words)
{
    const std::string& word = words[3];
    if (isTimeOfDay(word)) {
        long long year = 0, month = 0, day = 0;
        char date[32] = "YYYY-MM-DD";
        if (readDateNumber(words[0], year) && readDateNumber(words[1], month) &&
            readDateNumber(words[2], day) && year >= 0 && year <= 9999 && month >= 0 && day >= 0)
            std::snprintf(date, sizeof date, "%04lld-%02lld-%02lld", year, month % 100, day % 100);
        return ": for a time of day, use --time=" + printable(word) + " or " + date + "T" +
               printable(word);
    }
    const bool startsWithLetter = !word.empty() && std::isalpha(static_cast<unsigned char>(word[0]));
    if (startsWithLetter && isZoneName(word))
        return ": for a time zone, use --zone=" + printable(word);
    return "";
}

std::string timeZoneHint(const char* const* words)
{
    return timeZoneHint(std::vector<std::string>(words, words + 4));
}

// A fourth date word that is not 0: rondelo reads no zone from it, so it is a mistake.
std::string unusedTimeZone(const std::vector<std::string>& words)
{
    const std::string hint = timeZoneHint(words);
    if (!hint.empty())
        return quoted(words[3]) + " is no date word" + hint;
    return "TIME_ZONE " + quoted(words[3]) +
           " changes nothing and must be 0 or left out: for a time zone, use --zone=NAME";
}

// now, today, tomorrow or yesterday, into date.day.
bool isDayWord(const std::string& word, commandDate& date)
{
    whenSpec when{};
    if (readWhen(word, when) || (when.kind != whenSpec::now && when.kind != whenSpec::day))
        return false;
    date.day = when;
    return true;
}

// The form to write for words that write a date another way (suggestedForm of the words joined
// by blanks): one word that is none of rondelo's dates, a date and a time of day, or three
// words that are no date of the calendar as YYYY MM DD, such as May 17 1990 or 17 05 1990.
std::optional<dateWordsFailure> wordsWrittenAnotherWay(const std::vector<std::string>& words,
                                                       bool oneWord)
{
    std::string joined;
    for (const std::string& word : words)
        joined += (joined.empty() ? "" : " ") + word;
    writtenDate date{};
    const bool another = (words.size() == 1 && !oneWord) ||
                         (words.size() == 2 && isTimeOfDay(words[1])) ||
                         (words.size() == 3 && readSeparateWords(words, date));
    const std::optional<std::string> form = another ? suggestedForm(joined) : std::nullopt;
    if (!form)
        return std::nullopt;
    return dateWordsFailure{dateProblem::notANumber, quoted(joined) + " is not a date: " + *form};
}

// Words that are no date of one word (unread says why the first is not): YYYY MM DD, and 0 as
// a fourth, as the classic form takes them; else what is wrong.
std::optional<dateWordsFailure> readSeparateDate(const std::vector<std::string>& words,
                                                 const std::optional<std::string>& unread,
                                                 commandDate& date)
{
    if (words.size() == 1 && unread && !unread->empty())
        return dateWordsFailure{dateProblem::notANumber, quoted(words[0]) + *unread};
    long long number = 0;
    if (words.empty() || (words.size() < 3 && readDateNumber(words[0], number)))
        return dateWordsFailure{dateProblem::usage, "missing date: YYYY-MM-DD or YYYY MM DD"};
    if (words.size() < 3)
        return dateWordsFailure{dateProblem::notANumber, quoted(words[0]) +
                                " is not a date (YYYY-MM-DD or YYYY-MM-DDTHH:MM[:SS], an "
                                "offset or a [zone] after the time)"};
    if (words.size() == 4 && (!readDateNumber(words[3], number) || number != 0))
        return dateWordsFailure{dateProblem::usage, unusedTimeZone(words)};
    return readSeparateWords({words[0], words[1], words[2]}, date.date);
}

}  // namespace

std::optional<dateWordsFailure> readReferenceArguments(const char* const* argv,
                                                       referenceArguments& args)
{
    int* const fields[] = {&args.year, &args.month, &args.day, &args.timeZone};
    std::optional<dateWordsFailure> failure;
    for (int i = 0; i < 4 && !failure; ++i)
        if (!convertArgument(argv[i + 1], *fields[i]))
            failure = dateWordsFailure{dateProblem::notANumber, quoted(argv[i + 1]) + " is not a number" +
                                                             (i == 3 ? timeZoneHint(argv + 1) : "")};
    writtenDate date{};
    if (!failure)
        failure = checkFields({args.year, args.month, args.day}, {argv[1], argv[2], argv[3]}, date);
    return failure;
}

std::optional<dateWordsFailure> readDateWords(const std::vector<std::string>& words,
                                              bool timeGiven, commandDate& date)
{
    date = {};
    const dateWordsFailure clockTwice{dateProblem::usage,
                                      "--time does not go with a date that gives its time of day"};
    if (words.size() == 1 && isDayWord(words[0], date))
        return timeGiven && date.day->kind == whenSpec::now ? std::optional(clockTwice)
                                                             : std::nullopt;
    std::optional<std::string> unread;
    const bool oneWord =
        !words.empty() && !(unread = readAnchoredDate(words[0], false, date.date, date.anchor));
    if (auto form = wordsWrittenAnotherWay(words, oneWord))
        return form;
    if (words.size() > (oneWord ? 1 : 4))
        return dateWordsFailure{dateProblem::usage, "extra operand " + quoted(words[oneWord ? 1 : 4])};
    if (oneWord && date.date.timeOfDay && timeGiven)
        return clockTwice;
    if (oneWord)
        return checkFields({date.date.year, date.date.month, date.date.day}, {3, words[0]},
                           date.date);
    return readSeparateDate(words, unread, date);
}

absl::CivilSecond wallClockOf(const referenceArguments& args, long long timeOfDay)
{
    return wallClockOf(writtenDate{args.year, args.month, args.day, std::nullopt}, timeOfDay);
}

}  // namespace rondelo
