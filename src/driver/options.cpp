// Reads the option words with getopt_long wherever they stand, checks their values and loads the
// time zone.
#include "driver/options.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <iterator>
#include <utility>
#include <vector>

#include "diagnostics/messages.h"
#include "driver/help.h"
#include "driver/option_table.h"
#include "driver/status.h"
#include "readers/when.h"
#include "timeconv/machine_zone.h"
#include "timeconv/zone.h"
#include "timeconv/zone_names.h"
#include "writers/ics.h"
#include "writers/shared.h"

namespace rondelo {

namespace {


// The latest second that the calendar can show, and so the latest DTSTAMP.
constexpr long long lastCalendarSecond = 253402300799;

bool isLetter(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

bool isOptionWord(const char* word)
{
    return word[0] == '-' && (isLetter(word[1]) || (word[1] == '-' && isLetter(word[2])));
}

// What the options leave to be settled once every option is in: the WHENs of --from and
// --until, read in the run's zone, and whether --every stands beside --series or alone.
struct window {
    std::optional<whenSpec> from;
    std::optional<whenSpec> until;
    bool seriesGiven = false;
    bool zoneGiven = false;  // --zone or --local; else the machine's zone
    bool formatGiven = false;  // --format or --ics, which --vdir does not go with
};

std::optional<std::string> readWindowEdge(const char* option, const std::string& value,
                                          std::optional<whenSpec>& edge)
{
    whenSpec when{};
    if (auto wrong = readWhen(value, when))
        return "invalid " + std::string(option) + " " + quoted(value) +
               (wrong->empty() ? " (now, today, tomorrow, yesterday, YYYY-MM-DD[THH:MM[:SS]], or "
                                 "+N or -N and y, mo, w, d, h or min)"
                               : ": " + *wrong);
    edge = when;
    return std::nullopt;
}

// A comma-separated list of names as a bit for each, index i for names[i]; with allowsAll,
// "all" sets every bit. Nothing for an empty list or item, or a name not among them.
template <std::size_t N>
std::optional<unsigned> readNameList(const std::string& list, const char* const (&names)[N],
                                     bool allowsAll)
{
    unsigned bits = 0;
    for (std::size_t start = 0;;) {
        const std::size_t end = std::min(list.find(',', start), list.size());
        const std::string name = list.substr(start, end - start);
        const auto known = std::find(std::begin(names), std::end(names), name);
        if (allowsAll && name == "all")
            bits |= (1u << N) - 1;
        else if (known != std::end(names))
            bits |= 1u << (known - std::begin(names));
        else
            return std::nullopt;
        if (end == list.size())
            return bits;
        start = end + 1;
    }
}

template <std::size_t N>
std::optional<std::string> readListOption(const char* option, const std::string& value,
                                          const char* const (&names)[N], bool allowsAll,
                                          unsigned& bits)
{
    if (const auto read = readNameList(value, names, allowsAll)) {
        bits = *read;
        return std::nullopt;
    }
    std::string known;
    for (std::size_t i = 0; i < N; ++i)
        known += (i == 0 ? "" : i + 1 < N || allowsAll ? ", " : " or ") + std::string(names[i]);
    return "invalid " + std::string(option) + " " + quoted(value) + " (comma-separated: " + known +
           (allowsAll ? " or all)" : ")");
}

std::optional<std::string> readFormat(const std::string& name, outputFormat& format)
{
    static const std::pair<const char*, outputFormat> formats[] = {
        {"csv", outputFormat::csv}, {"ics", outputFormat::ics},
        {"json", outputFormat::json}, {"text", outputFormat::text}};
    for (const auto& known : formats)
        if (name == known.first) {
            format = known.second;
            return std::nullopt;
        }
    return "invalid --format " + quoted(name) + " (csv, ics, json or text)";
}

// The reader of each option's value: what is wrong with it, if anything.
using optionReader = std::optional<std::string> (*)(const std::string& value, runOptions& options,
                                                   window& edges);

std::optional<std::string> readTime(const std::string& value, runOptions& options, window&)
{
    options.timeGiven = true;
    if (!readClock(value, 0, false, options.timeOfDay))
        return "invalid time " + quoted(value) + " (0:00 to 23:59:59, as HH:MM or HH:MM:SS)";
    return std::nullopt;
}

std::optional<std::string> readZone(const std::string& value, runOptions& options,
                                    window& edges)
{
    edges.zoneGiven = true;
    if (!isZoneName(value))
        return quoted(value) + " is not a time zone name" + zoneSuggestions(value);
    if (loadZone(value, options.zone)) {
        options.zoneName = value;
        return std::nullopt;
    }
    if (isZoneAbbreviation(value))
        return quoted(value) + " is a zone's abbreviation, which names no zone of the database: "
               "use its name, as in --zone=Europe/Berlin";
    return "unknown time zone " + quoted(value) + zoneSuggestions(value);
}

std::optional<std::string> readLocal(const std::string&, runOptions& options, window& edges)
{
    edges.zoneGiven = true;
    return readLocalZone(std::getenv("TZ"), systemZoneFile, options.zone, options.zoneName);
}

std::optional<std::string> readNext(const std::string& value, runOptions& options, window&)
{
    if (value.empty() || value.size() > 18 ||
        value.find_first_not_of("0123456789") != std::string::npos ||
        value.find_first_not_of('0') == std::string::npos)
        return "invalid --next " + quoted(value) + " (a count of lines, 1 or more)";
    options.next = std::stoll(value);
    options.sortByTime = true;
    return std::nullopt;
}

std::optional<std::string> readRemind(const std::string& value, runOptions& options, window&)
{
    reminder parsed;
    if (auto wrong = parseReminder(value, parsed))
        return "invalid --remind " + quoted(value) + " (" + *wrong + ")";
    options.reminders.push_back(parsed);
    return std::nullopt;
}

std::optional<std::string> readCalendarName(const std::string& value, runOptions& options,
                                            window&)
{
    if (value.empty() || !isCalendarText(value))
        return "invalid --calendar-name: it must be UTF-8 text without control characters";
    options.calendarName = value;
    return std::nullopt;
}

std::optional<std::string> readCalendarColor(const std::string& value, runOptions& options,
                                             window&)
{
    if (value.size() != 7 || value[0] != '#' ||
        value.find_first_not_of("0123456789ABCDEFabcdef", 1) != std::string::npos)
        return "invalid --calendar-color " + quoted(value) + " (#RRGGBB, as #1E90FF)";
    options.calendarColor = value;
    return std::nullopt;
}

std::optional<std::string> readVdir(const std::string& value, runOptions& options, window&)
{
    if (value.empty())
        return "--vdir needs the name of a directory";
    options.vdir = value;
    options.format = outputFormat::vdir;
    return std::nullopt;
}

std::optional<std::string> readTitle(const std::string& value, runOptions& options, window&)
{
    if (value.empty() || !isCalendarText(value))
        return "invalid --title: it must be UTF-8 text without control characters";
    options.title = value;
    return std::nullopt;
}

std::optional<std::string> readMonthEnd(const std::string& value, runOptions& options, window&)
{
    if (value != "clamp" && value != "overflow")
        return "invalid --month-end " + quoted(value) + " (clamp or overflow)";
    options.milestones.clampMonthEnd = value == "clamp";
    return std::nullopt;
}

std::optional<std::string> readBefore(const std::string&, runOptions& options, window&)
{
    options.sign = -1;
    return std::nullopt;
}

std::optional<std::string> readSort(const std::string&, runOptions& options, window&)
{
    options.sortByTime = true;
    return std::nullopt;
}

std::optional<std::string> readFrom(const std::string& value, runOptions&, window& edges)
{
    return readWindowEdge("--from", value, edges.from);
}

std::optional<std::string> readUntil(const std::string& value, runOptions&, window& edges)
{
    return readWindowEdge("--until", value, edges.until);
}

std::optional<std::string> readDates(const std::string& value, runOptions& options, window&)
{
    if (value.empty())
        return "--dates needs a file name ('-' for standard input)";
    options.datesFile = value;
    return std::nullopt;
}

std::optional<std::string> readFormatOption(const std::string& value, runOptions& options,
                                            window& edges)
{
    edges.formatGiven = true;
    return readFormat(value, options.format);
}

std::optional<std::string> readIcs(const std::string&, runOptions& options, window& edges)
{
    edges.formatGiven = true;
    options.format = outputFormat::ics;
    return std::nullopt;
}

std::optional<std::string> readSeries(const std::string& value, runOptions& options,
                                      window& edges)
{
    edges.seriesGiven = true;
    return readListOption("--series", value, familyNames, true, options.milestones.families);
}

std::optional<std::string> readEvery(const std::string& value, runOptions& options, window&)
{
    everySpan span{};
    if (auto wrong = readEverySpan(value, span))
        return "invalid --every " + quoted(value) + " (" + *wrong + ")";
    options.milestones.every = span;
    return std::nullopt;
}

std::optional<std::string> readContactsOption(const std::string& value, runOptions& options,
                                              window&)
{
    if (value.empty())
        return "--contacts needs the name of a vCard file or directory";
    options.contacts.push_back(value);
    return std::nullopt;
}

std::optional<std::string> readKinds(const std::string& value, runOptions& options, window&)
{
    return readListOption("--kinds", value, contactKindNames, false, options.contactKinds);
}

std::optional<std::string> readAge(const std::string&, runOptions& options, window&)
{
    options.age = true;
    return std::nullopt;
}

std::optional<std::string> readUnits(const std::string& value, runOptions& options, window&)
{
    return readListOption("--units", value, unitNames, false, options.milestones.units);
}

std::optional<std::string> readCountFirstDay(const std::string&, runOptions& options, window&)
{
    options.milestones.countFirstDay = true;
    return std::nullopt;
}

// Each option's reader, by its long name; --help and --version end the reading instead.
const std::pair<const char*, optionReader> optionReaders[] = {
    {"time", readTime},     {"zone", readZone},         {"local", readLocal},
    {"before", readBefore}, {"sort", readSort},         {"from", readFrom},
    {"until", readUntil},   {"next", readNext},         {"dates", readDates},
    {"format", readFormatOption}, {"ics", readIcs},     {"remind", readRemind},
    {"title", readTitle},   {"series", readSeries},     {"units", readUnits},
    {"count-first-day", readCountFirstDay},             {"month-end", readMonthEnd},
    {"every", readEvery},   {"age", readAge},       {"vdir", readVdir},
    {"calendar-name", readCalendarName},               {"contacts", readContactsOption},
    {"calendar-color", readCalendarColor},
    {"kinds", readKinds},
};

std::optional<std::string> readOption(const optionRow& row, const std::string& value,
                                      runOptions& options, window& edges)
{
    for (const auto& reader : optionReaders)
        if (std::strcmp(reader.first, row.name) == 0)
            return reader.second(value, options, edges);
    return std::nullopt;
}

// What getopt found wrong in the option word word (result ':' for a value missing), worded as
// glibc's getopt words it, with the user's text escaped.
std::string optionError(int result, const std::string& word)
{
    if (word.compare(0, 2, "--") != 0) {
        const std::string letter = quoted(std::string(1, static_cast<char>(optopt)));
        return result == ':' ? "option requires an argument -- " + letter
                             : "invalid option -- " + letter;
    }
    if (result == ':')
        return "option '--" + std::string(rowOfValue(optopt)->name) + "' requires an argument";
    if (optopt != 0)
        return "option '--" + std::string(rowOfValue(optopt)->name) + "' doesn't allow an argument";
    const std::string name = word.substr(2, word.find('=') - 2);
    std::string matches;
    int count = 0;
    for (const optionRow& row : optionRows)
        if (std::strncmp(row.name, name.c_str(), name.size()) == 0) {
            matches += " '--" + std::string(row.name) + "'";
            ++count;
        }
    if (count > 1)
        return "option " + quoted(word) + " is ambiguous; possibilities:" + matches;
    return "unrecognized option " + quoted(word);
}

}  // namespace

std::optional<std::string> readLocalZone(const char* tz, const char* systemFile,
                                         absl::TimeZone& zone, std::string& zoneName)
{
    const auto failure = readMachineZone(tz, systemFile, zone, zoneName);
    if (!failure)
        return std::nullopt;
    const std::string system = "the system's time zone (" + printable(failure->subject) + ")";
    switch (failure->kind) {
    case machineZoneFailure::fileUnreadable:
        return system + " cannot be read: " + std::strerror(failure->error);
    case machineZoneFailure::noDatabaseZone:
        return system + " names no zone of the database: set TZ or use --zone";
    case machineZoneFailure::zoneUnloadable:
        return "the system's time zone " + quoted(failure->subject) + " cannot be loaded";
    case machineZoneFailure::tzNamesNone:
        break;
    }
    return "TZ " + quoted(failure->subject) + " names no time zone";
}

std::optional<std::string> readCalendarStamp(const char* sourceDateEpoch, unixInstant now,
                                             unixInstant& stamp)
{
    if (sourceDateEpoch == nullptr) {
        stamp = now;
        if (now.seconds < 0 || now.seconds > lastCalendarSecond)
            return "the clock is outside the years 1970 to 9999: set SOURCE_DATE_EPOCH";
        return std::nullopt;
    }
    char* end = nullptr;
    errno = 0;
    stamp = {std::strtoll(sourceDateEpoch, &end, 10)};
    if (sourceDateEpoch[0] < '0' || sourceDateEpoch[0] > '9' || *end != '\0' || errno != 0 ||
        stamp.seconds > lastCalendarSecond)
        return "SOURCE_DATE_EPOCH " + quoted(sourceDateEpoch) + " is not a time in seconds";
    return std::nullopt;
}

bool hasOptions(int argc, const char* const* argv)
{
    for (int i = 1; i < argc; ++i)
        if (isOptionWord(argv[i]) || std::strcmp(argv[i], "--") == 0)
            return true;
    writtenDate date{};
    return argc == 4 ||
           (argc == 2 && (readWrittenDate(argv[1], false, date) || suggestedForm(argv[1])));
}


namespace {

// Moves the word at getopt's next place into the date words when it is no option word; false
// when it is one. getopt moves on from a word at its end only, so a cluster's word is never taken.
bool takeDateWord(std::vector<char*>& words, runOptions& options)
{
    const std::size_t next = optind == 0 ? 1 : static_cast<std::size_t>(optind);
    if (next >= words.size() || isOptionWord(words[next]) || std::strcmp(words[next], "--") == 0)
        return false;
    options.dateWords.emplace_back(words[next]);
    words.erase(words.begin() + static_cast<std::ptrdiff_t>(next));
    return true;
}

// The status after --help or --version, which end the run; the caller checks out.
int showAndEnd(int option, const char* argv0, std::ostream& out)
{
    if (option == 'h')
        showHelp(out);
    else
        showVersion(out, baseName(argv0).c_str());
    return statusDone;
}

// The getopt loop: every option read, every other word a date word, in its order.
std::optional<int> readOptionWords(int argc, char* const* argv, std::ostream& out,
                                   std::ostream& err, runOptions& options, window& edges)
{
    std::vector<char*> words(argv, argv + argc);  // without the date words, for getopt
    const std::vector<option> table = longOptions();
    const std::string letters = shortOptions();
    optind = 0;  // a full rescan, also when called a second time
    opterr = 0;
    for (;;) {
        if (takeDateWord(words, options))
            continue;
        const std::size_t next = optind == 0 ? 1 : static_cast<std::size_t>(optind);
        const std::string word = next < words.size() ? words[next] : "";
        const int option = getopt_long(static_cast<int>(words.size()), words.data(),
                                       letters.c_str(), table.data(), nullptr);
        if (option == -1)
            break;
        if (option == 'h' || option == 'V')
            return showAndEnd(option, argv[0], out);
        if (option == '?' || option == ':')
            return usageError(err, optionError(option, word));
        if (auto wrong = readOption(*rowOfValue(option), optarg ? optarg : "", options, edges))
            return usageError(err, *wrong);
    }
    options.dateWords.insert(options.dateWords.end(), words.begin() + optind, words.end());
    return std::nullopt;
}

// What is wrong with the options that only a calendar takes.
std::optional<std::string> checkCalendarOptions(const runOptions& options, const window& edges)
{
    if (options.vdir && edges.formatGiven)
        return "--vdir writes a calendar directory: it does not go with --format or --ics";
    const bool calendar =
        options.format == outputFormat::ics || options.format == outputFormat::vdir;
    if (options.title && !calendar)
        return "--title needs --ics or --vdir";
    if (!options.reminders.empty() && !calendar)
        return "--remind needs --ics or --vdir";
    if (!options.calendarName.empty() && !calendar)
        return "--calendar-name needs --ics or --vdir";
    if (!options.calendarColor.empty() && !options.vdir)
        return "--calendar-color needs --vdir";
    return std::nullopt;
}

// What is wrong with options that do not go together.
std::optional<std::string> checkCombinations(const runOptions& options, const window& edges)
{
    if (auto wrong = checkCalendarOptions(options, edges))
        return wrong;
    const bool fromFiles = options.datesFile || !options.contacts.empty();
    if (fromFiles && options.title)
        return "--title does not go with --dates or --contacts: each event is named by its entry";
    if (fromFiles && !options.dateWords.empty())
        return "with --dates or --contacts the dates come from files, not from " +
               quoted(options.dateWords[0]);
    if (options.age && (options.until || options.next))
        return "--age counts up to --from: --until and --next do not go with it";
    if (options.from && options.until && !(*options.from < *options.until))
        return "--until must come after --from (now, for a span alone): the window would be empty";
    return std::nullopt;
}

// The run's zone when the options choose none: the machine's, as --local finds it, or UTC
// when it names none. A TZ that names no zone is an error, never UTC in its place.
std::optional<std::string> readDefaultZone(runOptions& options, std::ostream& err)
{
    const char* tz = std::getenv("TZ");
    if (tz != nullptr)
        return readLocalZone(tz, systemZoneFile, options.zone, options.zoneName);
    if (auto none = readLocalZone(nullptr, systemZoneFile, options.zone, options.zoneName)) {
        say(err, *none + "; times are in UTC");
        options.zone = absl::UTCTimeZone();
        options.zoneName = "UTC";
    }
    return std::nullopt;
}

// The window's edges as instants, read in the run's zone now that it is known.
void resolveWindow(runOptions& options, window edges)
{
    if (options.milestones.every && !edges.seriesGiven)
        options.milestones.families = 0;  // alone, --every replaces the default family
    const bool untilSpan = edges.until && edges.until->kind == whenSpec::span;
    if ((options.next || untilSpan) && !edges.from)
        edges.from = whenSpec{whenSpec::now, 0};  // the next ones, or a span ahead: from now on
    if (edges.from)
        options.from = resolveWhen(*edges.from, options.zone, options.now);
    if (edges.until)
        options.until = resolveWhen(*edges.until, options.zone, options.now);
}

}  // namespace

std::optional<int> readOptions(int argc, char* const* argv, std::ostream& out, std::ostream& err,
                               runOptions& options)
{
    window edges;  // read in the zone, which a later option may change
    options.classic = false;
    options.milestones.units = allUnits;  // years are counted in option runs only
    options.now = {std::time(nullptr)};
    if (auto status = readOptionWords(argc, argv, out, err, options, edges))
        return status;
    if (!edges.zoneGiven)
        if (auto wrong = readDefaultZone(options, err))
            return usageError(err, *wrong);
    resolveWindow(options, edges);
    if (auto wrong = checkCombinations(options, edges))
        return usageError(err, *wrong);
    if (options.format == outputFormat::ics || options.format == outputFormat::vdir)
        if (auto wrong = readCalendarStamp(std::getenv("SOURCE_DATE_EPOCH"), options.now,
                                           options.calendarStamp))
            return usageError(err, *wrong);
    return std::nullopt;
}

}  // namespace rondelo
