// Reads the option words with getopt_long, checks their values and loads the time zone.
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
// "+": the options end at the first word that is not one; the date follows.
const char shortOptions[] = "+t:z:lbsf:d:hV";

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

int usageError(std::ostream& err, const std::string& what)
{
    if (!what.empty())  // getopt has written its own line
        err << "rondelo: " << what << std::endl;
    err << "Try 'rondelo --help' for more information." << std::endl;
    return exitUsage;
}

// The zone that /etc/localtime links to, by name, so that calendar UIDs say which it is;
// "localtime" when it is no link into the database.
std::string systemZoneName()
{
    char target[4096];
    const ssize_t length = readlink(systemZoneFile, target, sizeof target - 1);
    const std::string path(target, length > 0 ? static_cast<std::size_t>(length) : 0);
    const std::size_t at = path.rfind(zoneDirectory);
    return at == std::string::npos ? "localtime" : path.substr(at + std::strlen(zoneDirectory));
}

// TZ when it is set (a leading colon allowed, empty meaning UTC), else /etc/localtime.
std::optional<std::string> loadLocalZone(runOptions& options)
{
    const char* tz = std::getenv("TZ");
    std::string name = tz == nullptr ? systemZoneFile : tz[0] == ':' ? tz + 1 : tz;
    if (name == systemZoneFile) {
        options.zoneName = systemZoneName();
        if (loadZone(options.zoneName, options.zone) || absl::LoadTimeZone("localtime", &options.zone))
            return std::nullopt;
        return "the system's time zone (/etc/localtime) cannot be read";
    }
    if (name.compare(0, std::strlen(zoneDirectory), zoneDirectory) == 0)
        name.erase(0, std::strlen(zoneDirectory));  // a path into the database names its zone
    options.zoneName = name.empty() ? "UTC" : name;
    if (!loadZone(options.zoneName, options.zone))
        return "TZ '" + std::string(tz) + "' names no time zone";
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
        return "SOURCE_DATE_EPOCH '" + std::string(fixed) + "' is not a time in seconds";
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
        return "invalid " + std::string(option) + " '" + value +
               "' (now, YYYY-MM-DD[THH:MM[:SS]], or +N or -N and d, w, m or y)";
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
    return "invalid " + std::string(option) + " '" + value + "' (comma-separated: " + known +
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
        if (!readClock(value, 0, false, options.timeOfDay))
            return "invalid time '" + value + "' (0:00 to 23:59:59, as HH:MM or HH:MM:SS)";
        return std::nullopt;
    case 'z':
        options.zoneName = value;
        if (!isZoneName(value))
            return "'" + value + "' is not a time zone name";
        if (!loadZone(value, options.zone))
            return "unknown time zone '" + value + "'";
        return std::nullopt;
    case 'l':
        return loadLocalZone(options);
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
            return "invalid --month-end '" + value + "' (clamp or overflow)";
        options.milestones.clampMonthEnd = value == "clamp";
        return std::nullopt;
    }
    return "";  // getopt has said what is wrong
}

}  // namespace

bool hasOptions(int argc, const char* const* argv)
{
    return argc > 1 && (isOptionWord(argv[1]) || std::strcmp(argv[1], "--") == 0);
}

std::optional<int> readOptions(int argc, char* const* argv, std::ostream& out, std::ostream& err,
                               runOptions& options)
{
    // getopt names the program by argv[0]: its messages begin "rondelo: " whatever the path.
    std::vector<char*> words(argv, argv + argc);
    char program[] = "rondelo";
    words[0] = program;
    window edges;  // read in the zone, which a later option may change
    options.classic = false;
    options.now = std::time(nullptr);
    optind = 0;  // a full rescan, also when called a second time
    opterr = 1;
    for (;;) {
        const int next = optind == 0 ? 1 : optind;
        if (next < argc && !isOptionWord(words[next]) && std::strcmp(words[next], "--") != 0)
            break;  // "-5", "-" and " 2000" start the date
        const int option = getopt_long(argc, words.data(), shortOptions, longOptions, nullptr);
        if (option == -1)
            break;
        if (option == 'h' || option == 'V') {
            if (option == 'h')
                showHelp(out);
            else
                showVersion(out, baseName(argv[0]).c_str());
            return out ? 0 : reportWriteError(err, "rondelo", errno);
        }
        if (auto wrong = readOption(option, optarg ? optarg : "", options, edges))
            return usageError(err, *wrong);
    }
    const bool calendar = options.format == outputFormat::ics;
    if (options.title && !calendar)
        return usageError(err, "--title needs --ics");
    if (!options.reminder.empty() && !calendar)
        return usageError(err, "--remind needs --format=ics");
    if (options.datesFile && options.title)
        return usageError(err, "--title does not go with --dates: each event is named by its line");
    if (options.datesFile && optind < argc)
        return usageError(err, "with --dates the dates come from FILE, not from '" +
                                   std::string(argv[optind]) + "'");
    if (!options.datesFile && argc - optind < 3)
        return usageError(err, "missing date: YYYY MM DD");
    if (calendar)
        if (auto wrong = readCalendarStamp(options))
            return usageError(err, *wrong);
    if (edges.from)
        options.from = resolveWhen(*edges.from, options.zone, options.now);
    if (edges.until)
        options.until = resolveWhen(*edges.until, options.zone, options.now);
    options.firstDateArgument = optind;
    return std::nullopt;
}

void showHelp(std::ostream& out)
{
    out << "Usage: rondelo [OPTION]... YYYY MM DD [TIME_ZONE]\n"
           "  or:  rondelo [OPTION]... --dates=FILE\n"
           "List the round-number anniversaries of a date, one line each.\n"
           "\n"
           "  -t, --time=HH:MM[:SS]  time of day of the reference (default 00:00:00)\n"
           "  -z, --zone=NAME        date and times in the IANA zone NAME (default UTC)\n"
           "  -l, --local            this machine's time zone: TZ, else /etc/localtime\n"
           "  -b, --before           the anniversaries before the reference, not after it\n"
           "  -s, --sort             lines in time order, earliest first\n"
           "  -f, --from=WHEN        only lines at or after WHEN\n"
           "      --until=WHEN       only lines before WHEN\n"
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
           "Without options the four arguments YYYY MM DD TIME_ZONE are needed, and\n"
           "TIME_ZONE, an integer, changes nothing.\n"
           "\n"
           "Exit status: 0 done; 1 a file could not be read or the output written;\n"
           "2 a usage error; 3 an argument is not an integer; 4 a date out of range or\n"
           "that does not exist, or a line of FILE that was skipped.\n"
        << std::flush;
}
