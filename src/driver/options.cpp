// Reads the option words with getopt_long wherever they stand, checks their values and loads the
// time zone.
#include "driver/options.h"

#include <getopt.h>
#include <unistd.h>  // for readlink

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <iterator>
#include <utility>
#include <vector>

#include "driver/command_line.h"
#include "driver/when.h"
#include "timeconv/zone.h"
#include "writers/ics.h"

namespace {

enum longOnlyOption : int {
    optionIcs = 256,
    optionTitle,
    optionUntil,
    optionSeries,
    optionUnits,
    optionCountFirstDay,
    optionMonthEnd,
    optionFormat,
    optionRemind,
};

// --help and --version stay the last two rows, as showHelp lists them.
const option longOptions[] = {
    {"time", required_argument, nullptr, 't'},
    {"zone", required_argument, nullptr, 'z'},
    {"local", no_argument, nullptr, 'l'},
    {"before", no_argument, nullptr, 'b'},
    {"sort", no_argument, nullptr, 's'},
    {"from", required_argument, nullptr, 'f'},
    {"until", required_argument, nullptr, optionUntil},
    {"next", required_argument, nullptr, 'n'},
    {"dates", required_argument, nullptr, 'd'},
    {"format", required_argument, nullptr, optionFormat},
    {"ics", no_argument, nullptr, optionIcs},
    {"remind", required_argument, nullptr, optionRemind},
    {"title", required_argument, nullptr, optionTitle},
    {"series", required_argument, nullptr, optionSeries},
    {"units", required_argument, nullptr, optionUnits},
    {"count-first-day", no_argument, nullptr, optionCountFirstDay},
    {"month-end", required_argument, nullptr, optionMonthEnd},
    {"help", no_argument, nullptr, 'h'},
    {"version", no_argument, nullptr, 'V'},
    {nullptr, 0, nullptr, 0},
};
// "+": getopt stops at a word that is no option, which readOptions takes out of its way, as it
// takes "-5" and "-", which getopt would read as options. ":": the messages are readOptions'.
const char shortOptions[] = "+:t:z:lbsf:n:d:hV";

const char systemZoneFile[] = "/etc/localtime";
const char zoneDirectory[] = "/usr/share/zoneinfo/";

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

// The zone that file links to, by its name in the database.
std::optional<std::string> readSystemZone(const char* file, absl::TimeZone& zone,
                                          std::string& zoneName)
{
    const std::string system = "the system's time zone (" + printable(file) + ")";
    char target[4096];
    const ssize_t length = readlink(file, target, sizeof target);
    if (length < 0 && errno != EINVAL)  // EINVAL: a file, but no link
        return system + " cannot be read: " + std::strerror(errno);
    const std::string path(target, length > 0 ? static_cast<std::size_t>(length) : 0);
    const std::size_t at = path.rfind(zoneDirectory);
    const std::string name =
        at == std::string::npos ? "" : path.substr(at + std::strlen(zoneDirectory));
    if (length <= 0 || static_cast<std::size_t>(length) == sizeof target || !isZoneName(name))
        return system + " names no zone of the database: set TZ or use --zone";
    if (!loadZone(name, zone))
        return "the system's time zone " + quoted(name) + " cannot be loaded";
    zoneName = name;
    return std::nullopt;
}

// SOURCE_DATE_EPOCH makes the file reproducible; without it the stamp is the time of the run.
std::optional<std::string> readCalendarStamp(runOptions& options)
{
    const char* fixed = std::getenv("SOURCE_DATE_EPOCH");
    if (fixed == nullptr) {
        options.calendarStamp = options.now;
        return std::nullopt;
    }
    char* end = nullptr;
    errno = 0;
    options.calendarStamp = std::strtoll(fixed, &end, 10);
    if (fixed[0] < '0' || fixed[0] > '9' || *end != '\0' || errno != 0 ||
        options.calendarStamp > lastCalendarSecond)
        return "SOURCE_DATE_EPOCH " + quoted(fixed) + " is not a time in seconds";
    return std::nullopt;
}

// The WHENs of --from and --until, read in the run's zone once every option is in.
struct window {
    std::optional<whenSpec> from;
    std::optional<whenSpec> until;
};

std::optional<std::string> readWindowEdge(const char* option, const std::string& value,
                                          std::optional<whenSpec>& edge)
{
    edge = readWhen(value);
    if (!edge)
        return "invalid " + std::string(option) + " " + quoted(value) +
               " (now, YYYY-MM-DD[THH:MM[:SS]], or +N or -N and d, w, m or y)";
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

// One option and its value; what is wrong with it, if anything.
std::optional<std::string> readOption(int option, const std::string& value, runOptions& options,
                                      window& edges)
{
    switch (option) {
    case 't':
        options.timeGiven = true;
        if (!readClock(value, 0, false, options.timeOfDay))
            return "invalid time " + quoted(value) + " (0:00 to 23:59:59, as HH:MM or HH:MM:SS)";
        return std::nullopt;
    case 'z':
        if (!isZoneName(value))
            return quoted(value) + " is not a time zone name";
        if (!loadZone(value, options.zone))
            return "unknown time zone " + quoted(value);
        options.zoneName = value;
        return std::nullopt;
    case 'l':
        return readLocalZone(std::getenv("TZ"), systemZoneFile, options.zone, options.zoneName);
    case 'b':
        options.sign = -1;
        return std::nullopt;
    case 's':
        options.sortByTime = true;
        return std::nullopt;
    case 'f':
        return readWindowEdge("--from", value, edges.from);
    case optionUntil:
        return readWindowEdge("--until", value, edges.until);
    case 'n':
        if (value.empty() || value.size() > 18 ||
            value.find_first_not_of("0123456789") != std::string::npos ||
            value.find_first_not_of('0') == std::string::npos)
            return "invalid --next " + quoted(value) + " (a count of lines, 1 or more)";
        options.next = std::stoll(value);
        options.sortByTime = true;
        return std::nullopt;
    case 'd':
        options.datesFile = value;
        return std::nullopt;
    case optionFormat:
        return readFormat(value, options.format);
    case optionIcs:
        options.format = outputFormat::ics;
        return std::nullopt;
    case optionRemind:
        if (auto trigger = reminderTrigger(value)) {
            options.reminder = *trigger;
            return std::nullopt;
        }
        return "invalid --remind " + quoted(value) +
               " (a count of at most four digits and d, w, h or m, as in 1d or 30m)";
    case optionTitle:
        if (value.empty() || !isCalendarText(value))
            return "invalid --title: it must be UTF-8 text without control characters";
        options.title = value;
        return std::nullopt;
    case optionSeries:
        return readListOption("--series", value, familyNames, true, options.milestones.families);
    case optionUnits:
        return readListOption("--units", value, unitNames, false, options.milestones.units);
    case optionCountFirstDay:
        options.milestones.countFirstDay = true;
        return std::nullopt;
    case optionMonthEnd:
        if (value != "clamp" && value != "overflow")
            return "invalid --month-end " + quoted(value) + " (clamp or overflow)";
        options.milestones.clampMonthEnd = value == "clamp";
        return std::nullopt;
    }
    return "";  // getopt's errors are optionError's
}

const char* longName(int value)
{
    for (const option* o = longOptions; o->name != nullptr; ++o)
        if (o->val == value)
            return o->name;
    return "";
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
        return "option '--" + std::string(longName(optopt)) + "' requires an argument";
    if (optopt != 0)
        return "option '--" + std::string(longName(optopt)) + "' doesn't allow an argument";
    const std::string name = word.substr(2, word.find('=') - 2);
    std::string matches;
    int count = 0;
    for (const option* o = longOptions; o->name != nullptr; ++o)
        if (std::strncmp(o->name, name.c_str(), name.size()) == 0) {
            matches += " '--" + std::string(o->name) + "'";
            ++count;
        }
    if (count > 1)
        return "option " + quoted(word) + " is ambiguous; possibilities:" + matches;
    return "unrecognized option " + quoted(word);
}

}  // namespace

std::optional<std::string> readLocalZone(const char* tz, const char* systemZoneFile,
                                         absl::TimeZone& zone, std::string& zoneName)
{
    std::string name = tz == nullptr ? systemZoneFile : tz[0] == ':' ? tz + 1 : tz;
    if (name == systemZoneFile)
        return readSystemZone(systemZoneFile, zone, zoneName);
    if (name.compare(0, std::strlen(zoneDirectory), zoneDirectory) == 0)
        name.erase(0, std::strlen(zoneDirectory));  // a path into the database names its zone
    if (name.empty())
        name = "UTC";
    if (!loadZone(name, zone))
        return "TZ " + quoted(tz) + " names no time zone";
    zoneName = name;
    return std::nullopt;
}

bool hasOptions(int argc, const char* const* argv)
{
    for (int i = 1; i < argc; ++i)
        if (isOptionWord(argv[i]) || std::strcmp(argv[i], "--") == 0)
            return true;
    return false;
}

std::optional<int> readOptions(int argc, char* const* argv, std::ostream& out, std::ostream& err,
                               runOptions& options)
{
    std::vector<char*> words(argv, argv + argc);  // without the date words, for getopt
    window edges;  // read in the zone, which a later option may change
    options.classic = false;
    options.now = std::time(nullptr);
    optind = 0;  // a full rescan, also when called a second time
    opterr = 0;
    for (;;) {
        // getopt moves on from a word at its end only, so a cluster's word is never taken.
        const std::size_t next = optind == 0 ? 1 : static_cast<std::size_t>(optind);
        if (next < words.size() && !isOptionWord(words[next]) &&
            std::strcmp(words[next], "--") != 0) {
            options.dateWords.emplace_back(words[next]);
            words.erase(words.begin() + static_cast<std::ptrdiff_t>(next));
            continue;
        }
        const std::string word = next < words.size() ? words[next] : "";
        const int option = getopt_long(static_cast<int>(words.size()), words.data(), shortOptions,
                                       longOptions, nullptr);
        if (option == -1)
            break;
        if (option == 'h' || option == 'V') {
            if (option == 'h')
                showHelp(out);
            else
                showVersion(out, baseName(argv[0]).c_str());
            return out ? 0 : reportWriteError(err, "rondelo", errno);
        }
        if (option == '?' || option == ':')
            return usageError(err, optionError(option, word));
        if (auto wrong = readOption(option, optarg ? optarg : "", options, edges))
            return usageError(err, *wrong);
    }
    options.dateWords.insert(options.dateWords.end(), words.begin() + optind, words.end());
    const bool calendar = options.format == outputFormat::ics;
    if (options.title && !calendar)
        return usageError(err, "--title needs --ics");
    if (!options.reminder.empty() && !calendar)
        return usageError(err, "--remind needs --format=ics");
    if (options.datesFile && options.title)
        return usageError(err, "--title does not go with --dates: each event is named by its line");
    if (options.datesFile && !options.dateWords.empty())
        return usageError(err, "with --dates the dates come from FILE, not from " +
                                   quoted(options.dateWords[0]));
    if (calendar)
        if (auto wrong = readCalendarStamp(options))
            return usageError(err, *wrong);
    if (options.next && !edges.from)
        edges.from = whenSpec{whenSpec::now, 0, 0};  // the next ones: from now on
    if (edges.from)
        options.from = resolveWhen(*edges.from, options.zone, options.now);
    if (edges.until)
        options.until = resolveWhen(*edges.until, options.zone, options.now);
    return std::nullopt;
}

void showHelp(std::ostream& out)
{
    out << "Usage: rondelo [OPTION]... YYYY-MM-DD[THH:MM[:SS]]\n"
           "  or:  rondelo [OPTION]... YYYY MM DD [TIME_ZONE]\n"
           "  or:  rondelo [OPTION]... --dates=FILE\n"
           "List the round-number anniversaries of a date, one line each.\n"
           "Options may come before, between or after the date words; '--' ends them.\n"
           "\n"
           "  -t, --time=HH:MM[:SS]  time of day of the reference (default 00:00:00)\n"
           "  -z, --zone=NAME        date and times in the IANA zone NAME (default UTC)\n"
           "  -l, --local            this machine's time zone: TZ, else /etc/localtime\n"
           "  -b, --before           the anniversaries before the reference, not after it\n"
           "  -s, --sort             lines in time order, earliest first\n"
           "  -f, --from=WHEN        only lines at or after WHEN\n"
           "      --until=WHEN       only lines before WHEN\n"
           "  -n, --next=N           the N earliest lines at or after --from (default now),\n"
           "                         in time order\n"
           "  -d, --dates=FILE       the references from FILE ('-': standard input), one a\n"
           "                         line: WHEN<TAB>NAME[<TAB>ZONE]; each line names its own\n"
           "      --format=FORMAT    csv (the default), ics (an iCalendar file), json (JSON\n"
           "                         Lines) or text (columns to read, with how far away)\n"
           "      --ics              the same as --format=ics\n"
           "      --remind=DURATION  with ics: remind DURATION before each event; DURATION\n"
           "                         is a count and d, w, h or m, as in 1d, 2w, 3h or 30m\n"
           "      --title=TEXT       with ics: each event's summary is \"TEXT: LABEL\"\n"
           "      --series=LIST      the families of milestones, comma-separated: round (the\n"
           "                         default), repdigit, sequence, binary, fibonacci,\n"
           "                         planets, or all\n"
           "      --units=LIST       only these units, comma-separated: months, weeks, days,\n"
           "                         hours, minutes, seconds (planet years always stay)\n"
           "      --count-first-day  the reference day is day 1 of day and week counts\n"
           "      --month-end=RULE   a day a month lacks: overflow (the default) runs over\n"
           "                         into the next month, clamp takes the month's last day\n"
           "  -h, --help             show this help and exit\n"
           "  -V, --version          show the version and exit\n"
           "\n"
           "WHEN is now, YYYY-MM-DD or YYYY-MM-DDTHH:MM[:SS] in the zone, or a span from now:\n"
           "+N or -N and d, w, m or y (days, weeks, months, years), as in --until=+30d.\n"
           "In FILE, WHEN is YYYY-MM-DD[THH:MM[:SS]] or YYYY.MM.DD; blank lines and lines\n"
           "that begin with # are skipped.\n"
           "\n"
           "The date words are decimal digits with an optional sign; TIME_ZONE, an\n"
           "integer, changes nothing. With no option word anywhere, a command line is\n"
           "the classic one: four words YYYY MM DD TIME_ZONE, each read up to its first\n"
           "non-digit, any further words ignored.\n"
           "\n"
           "Exit status: 0 done; 1 a file could not be read, the output written, or memory\n"
           "ran out; 2 a usage error; 3 a date word is not a number or a date; 4 a date out\n"
           "of range or that does not exist, or a line of FILE that was skipped.\n"
        << std::flush;
}
