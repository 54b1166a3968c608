// Reads the option words with getopt_long wherever they stand, after the lines of the file of
// defaults, in one switch over the options; checks their values and loads the time zone.
#include "driver/options.h"

#include <fcntl.h>  // for open
#include <pwd.h>    // for the home directory when HOME is not set
#include <unistd.h>

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
#include "readers/spans.h"
#include "readers/when.h"
#include "timeconv/machine_zone.h"
#include "timeconv/zone.h"
#include "timeconv/zone_names.h"
#include "writers/shared.h"

namespace rondelo {

namespace {

using problem = std::optional<std::string>;  // what is wrong, if anything

// The latest second that the calendar can show, and so the latest DTSTAMP.
constexpr long long lastCalendarSecond = 253402300799;

// The file of defaults is read whole, and a few options take a few lines.
constexpr std::size_t longestDefaults = 65536;

constexpr bool sameWord(const char* a, const char* b)
{
    return *a == *b && (*a == '\0' || sameWord(a + 1, b + 1));
}

template <std::size_t N>
constexpr bool sameWords(const char* const (&a)[N], const char* const (&b)[N])
{
    for (std::size_t i = 0; i < N; ++i)
        if (!sameWord(a[i], b[i]))
            return false;
    return true;
}

// The words of completion/options against the enumerations they index, as coreutils'
// ARGMATCH_VERIFY checks its lists: a word added there without its value here does not compile.
constexpr outputFormat formatTypes[] = {outputFormat::csv,  outputFormat::ics, outputFormat::json,
                                        outputFormat::text, outputFormat::svg, outputFormat::html};
static_assert(std::size(formatWords) == std::size(formatTypes));
static_assert(std::size(seriesWords) == familyCount + 1 &&
              sameWord(seriesWords[familyCount], "all"));
static_assert(sameWords(unitsWords, unitNames));  // the labels' words, "10 years"
static_assert(std::size(kindsWords) == static_cast<std::size_t>(referenceKind::date));
static_assert(std::size(monthEndWords) == 2 && sameWord(monthEndWords[0], "clamp"));

bool isLetter(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

bool isOptionWord(const char* word)
{
    return word[0] == '-' && (isLetter(word[1]) || (word[1] == '-' && isLetter(word[2])));
}

// What the options leave to be settled once every option is in: the WHENs of --from and
// --until, read in the run's zone, and whether --every stands beside --series or alone; and
// what the file of defaults chose that the command line may choose again.
// The file's options that only a calendar takes: a command line that writes no calendar
// leaves them aside, as it does the file's --vdir.
struct calendarDefaults {
    std::optional<std::string> title;
    std::vector<reminder> reminders;
    std::string name;
    std::string color;
};

struct window {
    std::optional<whenSpec> from;
    std::optional<whenSpec> until;
    bool seriesGiven = false;
    bool formatGiven = false;    // --format or --ics, which --vdir does not go with
    bool formatChosen = false;   // --format, --ics or --vdir, in the file or on the command line
    bool formatOnCommandLine = false;  // --format, --ics or --vdir on the command line
    std::string zoneChoice;      // "--zone=NAME" or "--local"; empty for the machine's zone
    bool commandLine = false;    // reading the command line, after the file of defaults
    bool zoneFromFile = false;   // the file chose the zone
    bool vdirFromFile = false;   // the file chose --vdir, which the command line's --format drops
    std::optional<std::string> fileDates;  // the file's --dates and --contacts, kept for a
    std::vector<std::string> fileContacts;  // command line that names no reference
    calendarDefaults fileCalendar;  // kept for a command line whose format is a calendar
    const optionRow* ending = nullptr;  // --help or --version, which end the reading
};

// An option's value as its row reads it: a path's leading ~ the home directory, a word of a
// list as its index, a list of words as a bit for each.
struct optionValue {
    std::string text;
    unsigned word = 0;
};

template <typename T>
problem setTo(T& field, T value)
{
    field = value;
    return std::nullopt;
}

// The home directory: HOME, else the user's entry in the system's list of users.
std::optional<std::string> homeDirectory()
{
    const char* home = std::getenv("HOME");
    if (home != nullptr && home[0] != '\0')
        return std::string(home);
    const passwd* user = getpwuid(getuid());
    if (user == nullptr || user->pw_dir == nullptr || user->pw_dir[0] == '\0')
        return std::nullopt;
    return std::string(user->pw_dir);
}

// path with a leading ~ or ~/ as the home directory, as a shell has it where a word begins;
// no shell does after "--vdir=".
problem readPath(std::string& path)
{
    if (path != "~" && path.compare(0, 2, "~/") != 0)
        return std::nullopt;
    const std::optional<std::string> home = homeDirectory();
    if (!home)
        return quoted(path) + ": ~ is the home directory, and none is known: set HOME";
    path.replace(0, 1, *home);
    return std::nullopt;
}

problem readValue(const optionRow& row, const char* text, optionValue& value)
{
    value.text = text != nullptr ? text : "";
    std::optional<unsigned> word;
    switch (row.kind) {
    case valueKind::text:
        return std::nullopt;
    case valueKind::path:
        return readPath(value.text);
    case valueKind::oneWord:
        word = matchWord(value.text, row.values);
        break;
    case valueKind::wordList:
        word = matchWords(value.text, row.values);
        break;
    }
    value.word = word.value_or(0);
    if (word)
        return std::nullopt;
    return "invalid --" + std::string(row.name) + " " + quoted(value.text) + " (" +
           (row.kind == valueKind::wordList ? "comma-separated: " : "") + listedWords(row.values) +
           ")";
}

problem readWindowEdge(const optionRow& row, const std::string& value,
                       std::optional<whenSpec>& edge)
{
    whenSpec when{};
    if (auto wrong = readWhen(value, when))
        return "invalid --" + std::string(row.name) + " " + quoted(value) +
               (wrong->empty() ? " (now, today, tomorrow, yesterday, YYYY-MM-DD[THH:MM[:SS]], or "
                                 "+N or -N and y, mo, w, d, h or min)"
                               : ": " + *wrong);
    edge = when;
    return std::nullopt;
}

problem readTime(const std::string& value, runOptions& options)
{
    options.timeGiven = true;
    if (!readClock(value, 0, false, options.timeOfDay))
        return "invalid time " + quoted(value) + " (0:00 to 23:59:59, as HH:MM or HH:MM:SS)";
    return std::nullopt;
}

// Notes the option that chooses the run's zone. A run has one: a second choice is a mistake,
// unless the file of defaults made the first and the command line makes this one.
problem chooseZone(const std::string& choice, window& edges)
{
    if (!edges.zoneChoice.empty() && !(edges.zoneFromFile && edges.commandLine))
        return "the zone is chosen twice, by " + edges.zoneChoice + " and " + choice +
               ": give one --zone or --local";
    edges.zoneChoice = choice;
    edges.zoneFromFile = !edges.commandLine;
    return std::nullopt;
}

// Loads the zone a value names.
problem readZoneName(const std::string& value, absl::TimeZone& zone)
{
    if (!isZoneName(value))
        return quoted(value) + " is not a time zone name" + zoneSuggestions(value);
    if (loadZone(value, zone))
        return std::nullopt;
    if (isZoneAbbreviation(value))
        return quoted(value) + " is a zone's abbreviation, which names no zone of the database: "
               "use its name, as in --zone=Europe/Berlin";
    return "unknown time zone " + quoted(value) + zoneSuggestions(value);
}

problem readZone(const std::string& value, runOptions& options, window& edges)
{
    if (auto wrong = chooseZone("--zone=" + printable(value), edges))
        return wrong;
    if (auto wrong = readZoneName(value, options.zone))
        return wrong;
    options.zoneName = value;
    return std::nullopt;
}

problem readShowIn(const std::string& value, runOptions& options)
{
    absl::TimeZone zone;
    if (auto wrong = readZoneName(value, zone))
        return "--show-in: " + *wrong;
    options.showIn = zone;
    options.showInName = value;
    return std::nullopt;
}

problem readLocal(runOptions& options, window& edges)
{
    if (auto wrong = chooseZone("--local", edges))
        return wrong;
    return readLocalZone(std::getenv("TZ"), systemZoneFile, options.zone, options.zoneName);
}

problem readNext(const std::string& value, runOptions& options)
{
    if (value.empty() || value.size() > 18 ||
        value.find_first_not_of("0123456789") != std::string::npos ||
        value.find_first_not_of('0') == std::string::npos)
        return "invalid --next " + quoted(value) + " (a count of lines, 1 or more)";
    options.next = std::stoll(value);
    options.sortByTime = true;
    return std::nullopt;
}

// N/SPAN: a count of lines from 1 and a calendar period, d, w, mo or y.
problem readAtMost(const std::string& value, runOptions& options)
{
    static const std::pair<const char*, calendarPeriod> periods[] = {
        {"d", calendarPeriod::day}, {"w", calendarPeriod::week},
        {"mo", calendarPeriod::month}, {"y", calendarPeriod::year}};
    const std::size_t slash = value.find('/');
    const std::string count = value.substr(0, slash);
    const bool counted = !count.empty() && count.size() <= 9 &&
                         count.find_first_not_of("0123456789") == std::string::npos &&
                         count.find_first_not_of('0') != std::string::npos;
    for (const auto& [name, period] : periods)
        if (counted && slash != std::string::npos && value.compare(slash + 1, std::string::npos, name) == 0) {
            options.atMost = {std::stoull(count), period};
            return std::nullopt;
        }
    return "invalid --at-most " + quoted(value) +
           " (N/SPAN: a count from 1, a slash, and d, w, mo or y, as in 3/w)";
}

// A reminder's alarm: a timed event is reminded that long before its start (an @HH:MM aside);
// an all-day event that many days or weeks before its date at HH:MM, 09:00 without it ("1d":
// 09:00 the day before, -PT15H), or that many hours or minutes before the midnight its date
// begins at.
reminder reminderOf(const reminderSpan& span)
{
    const long long length = fixedSeconds(span.before.unit);
    const long long timed = -span.before.count * length;
    if (length < fixedSeconds(spanUnit::days))
        return {timed, timed};
    return {timed, timed + span.timeOfDay.value_or(9 * 3600)};
}

// [KIND:]DURATION: a reminder for the events of KIND, a word of --kinds or milestone, as
// reminderKindOf's bits; else for every event.
problem readRemind(const std::string& value, runOptions& options)
{
    static_assert(milestoneReminder == std::size(kindsWords));  // the word after --kinds' words
    std::vector<const char*> kindWords(std::begin(kindsWords), std::end(kindsWords));
    kindWords.push_back("milestone");
    const wordList words{kindWords.data(), kindWords.size()};
    const std::size_t colon = value.find(':');
    const bool kindGiven = colon < value.find('@');  // the clock of @HH:MM holds one too
    const std::string duration = kindGiven ? value.substr(colon + 1) : value;
    const std::optional<std::size_t> kind =
        kindGiven ? matchWord(value.substr(0, colon), words) : std::nullopt;
    if (kindGiven && !kind)
        return "invalid --remind " + quoted(value) + " (KIND:DURATION, KIND one of " +
               listedWords(words) + ")";
    reminderSpan span{};
    if (auto wrong = readReminder(duration, span))
        return "invalid --remind " + quoted(value) + " (" + *wrong + ")";
    options.reminders.push_back(reminderOf(span));
    options.reminders.back().kinds = kind ? 1u << *kind : everyReminderKind;
    return std::nullopt;
}

problem readCalendarText(const optionRow& row, const std::string& value, std::string& text)
{
    if (value.empty() || !isCalendarText(value))
        return "invalid --" + std::string(row.name) +
               ": it must be UTF-8 text without control characters";
    text = value;
    return std::nullopt;
}

problem readTitle(const optionRow& row, const std::string& value, runOptions& options)
{
    std::string title;
    if (auto wrong = readCalendarText(row, value, title))
        return wrong;
    options.title = title;
    return std::nullopt;
}

problem readCalendarColor(const std::string& value, runOptions& options)
{
    if (value.size() != 7 || value[0] != '#' ||
        value.find_first_not_of("0123456789ABCDEFabcdef", 1) != std::string::npos)
        return "invalid --calendar-color " + quoted(value) + " (#RRGGBB, as #1E90FF)";
    options.calendarColor = value;
    return std::nullopt;
}

problem readVdir(const std::string& value, runOptions& options, window& edges)
{
    if (value.empty())
        return "--vdir needs the name of a directory";
    options.vdir = value;
    options.format = outputFormat::vdir;
    edges.formatChosen = true;
    edges.formatOnCommandLine = edges.commandLine;
    edges.vdirFromFile = !edges.commandLine;
    return std::nullopt;
}

// --format and --ics. On the command line either replaces a --vdir of the file of defaults.
problem readFormat(const optionRow& row, const optionValue& value, runOptions& options,
                   window& edges)
{
    edges.formatGiven = true;
    edges.formatChosen = true;
    edges.formatOnCommandLine = edges.commandLine;
    options.format = row.id == optionName::ics ? outputFormat::ics : formatTypes[value.word];
    if (edges.commandLine && edges.vdirFromFile) {
        options.vdir.reset();
        edges.vdirFromFile = false;
    }
    return std::nullopt;
}

problem readDates(const std::string& value, runOptions& options)
{
    if (value.empty())
        return "--dates needs a file name ('-' for standard input)";
    options.datesFile = value;
    return std::nullopt;
}

problem readContacts(const std::string& value, runOptions& options)
{
    if (value.empty())
        return "--contacts needs the name of a vCard file or directory";
    options.contacts.push_back(value);
    return std::nullopt;
}

problem readSeries(unsigned words, runOptions& options, window& edges)
{
    edges.seriesGiven = true;
    options.unitsChosen = true;
    const bool all = (words >> familyCount & 1) != 0;
    options.milestones.families = all ? (1u << familyCount) - 1 : words;
    return std::nullopt;
}

problem readUnits(unsigned words, runOptions& options)
{
    options.unitsChosen = true;
    return setTo(options.milestones.units, words);
}

milestoneUnit milestoneUnitOf(spanUnit unit)
{
    switch (unit) {
    case spanUnit::years:
        return unitYears;
    case spanUnit::months:
        return unitMonths;
    case spanUnit::weeks:
        return unitWeeks;
    case spanUnit::days:
        return unitDays;
    case spanUnit::hours:
        return unitHours;
    case spanUnit::minutes:
        return unitMinutes;
    case spanUnit::seconds:
        break;
    }
    return unitSeconds;
}

problem readEvery(const std::string& value, runOptions& options)
{
    countedSpan span{};
    problem wrong = readCountedSpan(value, {12, allSpanUnits}, span);
    if ((wrong && wrong->empty()) || (!wrong && span.count == 0))
        wrong = "a count from 1 and y, mo, w, d, h, min or s, as in 100d or 1y";
    if (wrong)
        return "invalid --every " + quoted(value) + " (" + *wrong + ")";
    options.milestones.every = everySpan{milestoneUnitOf(span.unit), span.count};
    return std::nullopt;
}

// The options of the output and its calendars: the format, reminders, directory, name, colour
// and title.
problem readCalendarOption(const optionRow& row, const optionValue& value, runOptions& options,
                           window& edges)
{
    switch (row.id) {
    case optionName::remind: return readRemind(value.text, options);
    case optionName::vdir: return readVdir(value.text, options, edges);
    case optionName::calendarName: return readCalendarText(row, value.text, options.calendarName);
    case optionName::calendarColor: return readCalendarColor(value.text, options);
    case optionName::title: return readTitle(row, value.text, options);
    default: break;
    }
    return readFormat(row, value, options, edges);  // --format, --ics
}

// Each option, by its name: a case for every row of completion/options, which the compiler
// holds this switch to.
problem readOption(const optionRow& row, const optionValue& value, runOptions& options,
                   window& edges)
{
    switch (row.id) {
    case optionName::time: return readTime(value.text, options);
    case optionName::zone: return readZone(value.text, options, edges);
    case optionName::local: return readLocal(options, edges);
    case optionName::showIn: return readShowIn(value.text, options);
    case optionName::before: return setTo(options.sign, -1);
    case optionName::sort: return setTo(options.sortByTime, true);
    case optionName::from: return readWindowEdge(row, value.text, edges.from);
    case optionName::until: return readWindowEdge(row, value.text, edges.until);
    case optionName::next: return readNext(value.text, options);
    case optionName::atMost: return readAtMost(value.text, options);
    case optionName::dates: return readDates(value.text, options);
    case optionName::contacts: return readContacts(value.text, options);
    case optionName::kinds: return setTo(options.contactKinds, value.word);
    case optionName::format: case optionName::ics: case optionName::remind: case optionName::vdir:
    case optionName::calendarName: case optionName::calendarColor: case optionName::title:
        return readCalendarOption(row, value, options, edges);
    case optionName::series: return readSeries(value.word, options, edges);
    case optionName::units: return readUnits(value.word, options);
    case optionName::every: return readEvery(value.text, options);
    case optionName::age: return setTo(options.age, true);
    case optionName::countFirstDay: return setTo(options.milestones.countFirstDay, true);
    case optionName::monthEnd: return setTo(options.milestones.clampMonthEnd, value.word == 0);
    case optionName::help: case optionName::version: return setTo(edges.ending, &row);
    }
    return std::nullopt;
}

// What getopt found wrong in the option word word (result ':' for a value missing), worded as
// glibc's getopt words it, with the user's text escaped, and for an unknown long option the
// option it is nearest.
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
    const std::optional<std::string> meant = nearestOption(word.substr(2));
    return "unrecognized option " + quoted(word) + (meant ? "; did you mean " + *meant + "?" : "");
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
    if (argc == 4)
        return true;
    if (argc != 2 && argc != 3)
        return false;
    const std::string joined = argv[1] + (argc == 3 ? " " + std::string(argv[2]) : "");
    writtenDate date{};
    whenSpec day{};
    // A word that begins with a date is one, also when what follows is wrong.
    const bool dateWord = readWrittenDate(std::string(argv[1]).substr(0, 10), false, date);
    const bool dayWord =
        !readWhen(argv[1], day) && (day.kind == whenSpec::now || day.kind == whenSpec::day);
    return (argc == 2 && (dateWord || dayWord)) || suggestedForm(joined);
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

// The getopt loop over words (words[0] the program's name): every option read, every other
// word a date word, in its order. Returns what is wrong; edges.ending is set when --help or
// --version ended the reading.
problem readOptionWords(std::vector<char*> words, runOptions& options, window& edges)
{
    const std::vector<option> table = longOptions();
    const std::string letters = shortOptions();
    optind = 0;  // a full rescan, also when called a second time
    opterr = 0;
    for (;;) {
        if (takeDateWord(words, options))
            continue;
        const std::size_t next = optind == 0 ? 1 : static_cast<std::size_t>(optind);
        const std::string word = next < words.size() ? words[next] : "";
        const int result = getopt_long(static_cast<int>(words.size()), words.data(),
                                       letters.c_str(), table.data(), nullptr);
        if (result == -1)
            break;
        if (result == '?' || result == ':')
            return optionError(result, word);
        const optionRow& row = *rowOfValue(result);
        optionValue value;
        if (auto wrong = readValue(row, optarg, value))
            return wrong;
        if (auto wrong = readOption(row, value, options, edges); wrong || edges.ending)
            return wrong;
    }
    options.dateWords.insert(options.dateWords.end(), words.begin() + optind, words.end());
    return std::nullopt;
}

// The file of defaults: RONDELO_CONFIG (empty for none), else rondelo/config in
// XDG_CONFIG_HOME when that is an absolute path, else in ~/.config.
std::optional<std::string> defaultsPath()
{
    if (const char* named = std::getenv("RONDELO_CONFIG"))
        return named[0] != '\0' ? std::optional<std::string>(named) : std::nullopt;
    const char* config = std::getenv("XDG_CONFIG_HOME");
    if (config != nullptr && config[0] == '/')
        return std::string(config) + "/rondelo/config";
    const std::optional<std::string> home = homeDirectory();
    return home ? std::optional<std::string>(*home + "/.config/rondelo/config") : std::nullopt;
}

// The text of the file at path. A file that is not there is empty, at the cost of one failed
// open; one that is there and cannot be read is an error, as is one too long for defaults.
problem readDefaultsFile(const std::string& path, std::string& text)
{
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return errno == ENOENT || errno == ENOTDIR
                   ? std::nullopt
                   : problem(printable(path) + ": " + std::strerror(errno));
    char buffer[4096];
    ssize_t got = 0;
    while (text.size() <= longestDefaults &&
           ((got = read(fd, buffer, sizeof buffer)) > 0 || (got < 0 && errno == EINTR)))
        text.append(buffer, static_cast<std::size_t>(std::max<ssize_t>(got, 0)));
    const int error = got < 0 ? errno : 0;
    close(fd);
    if (error != 0)
        return printable(path) + ": " + std::strerror(error);
    if (text.size() > longestDefaults)
        return printable(path) + " is longer than 64 KiB: it holds an option a line";
    return std::nullopt;
}

// A line of the file as the words of a command line: the option, and its value where blanks
// rather than '=' part them ("--zone Europe/Berlin").
std::vector<std::string> lineWords(const std::string& line)
{
    const std::size_t blank = line.find_first_of(" \t");
    if (blank == std::string::npos || line.find('=') < blank)
        return {line};
    return {line.substr(0, blank), line.substr(line.find_first_not_of(" \t", blank))};
}

// One line of the file of defaults, without its blanks at either end, read as options.
problem readDefaultsLine(const std::string& line, const char* program, runOptions& options,
                         window& edges)
{
    std::vector<std::string> words = lineWords(line);
    if (line.find('\0') != std::string::npos)
        return "the line holds a NUL byte";
    if (!isOptionWord(words[0].c_str()))
        return quoted(line) + " is no option: a line holds one, as in --zone=Europe/Berlin";
    words.insert(words.begin(), program);
    const std::size_t dateWords = options.dateWords.size();
    std::vector<char*> argv;
    for (std::string& word : words)
        argv.push_back(word.data());
    if (auto wrong = readOptionWords(argv, options, edges))
        return wrong;
    if (const optionRow* ending = std::exchange(edges.ending, nullptr))
        return "--" + std::string(ending->name) + " has no place in a file of defaults";
    if (options.dateWords.size() != dateWords)
        return quoted(options.dateWords.back()) + " follows an option that takes no value";
    return std::nullopt;
}

// What stopped the reading of the file of defaults, and the run's status.
struct defaultsFailure {
    int status;
    std::string what;
};

// The file of defaults, each line an option as if given before the command line's; a missing
// file is none. A line that is wrong is named by the file and its number, as "FILE:3: ...".
std::optional<defaultsFailure> readDefaults(const char* program, runOptions& options,
                                            window& edges)
{
    const std::optional<std::string> path = defaultsPath();
    std::string text;
    if (!path)
        return std::nullopt;
    if (auto wrong = readDefaultsFile(*path, text))
        return defaultsFailure{statusFailure, *wrong};
    std::size_t number = 1;
    for (std::size_t start = 0; start < text.size(); ++number) {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        const std::size_t first = text.find_first_not_of(" \t\r", start);
        const std::size_t last = text.find_last_not_of(" \t\r", end - 1);
        const std::string line = first < end ? text.substr(first, last + 1 - first) : "";
        start = end + 1;
        if (line.empty() || line[0] == '#')
            continue;
        if (auto wrong = readDefaultsLine(line, program, options, edges))
            return defaultsFailure{statusUsage, printable(*path) + ":" + std::to_string(number) +
                                                    ": " + *wrong};
    }
    return std::nullopt;
}

// The command line's turn: where it chooses a format or references, the file's give way.
void startCommandLine(runOptions& options, window& edges)
{
    edges.commandLine = true;
    edges.formatGiven = false;  // --vdir of the command line replaces a --format of the file
    edges.fileDates = std::exchange(options.datesFile, std::nullopt);
    edges.fileContacts = std::exchange(options.contacts, {});
    edges.fileCalendar = {std::exchange(options.title, std::nullopt),
                          std::exchange(options.reminders, {}),
                          std::exchange(options.calendarName, {}),
                          std::exchange(options.calendarColor, {})};
}

// The file's calendar options, under those of the command line, unless the command line chose
// a format that does not take them.
void keepFileCalendar(runOptions& options, calendarDefaults& file, bool formatOnCommandLine)
{
    const bool calendar =
        options.format == outputFormat::ics || options.format == outputFormat::vdir;
    if (!formatOnCommandLine || calendar) {
        if (!options.title)
            options.title = std::move(file.title);
        options.reminders.insert(options.reminders.begin(), file.reminders.begin(),
                                 file.reminders.end());
        if (options.calendarName.empty())
            options.calendarName = std::move(file.name);
    }
    if ((!formatOnCommandLine || options.vdir) && options.calendarColor.empty())
        options.calendarColor = std::move(file.color);
}

void endCommandLine(runOptions& options, window& edges)
{
    if (!options.datesFile && options.contacts.empty() && options.dateWords.empty()) {
        options.datesFile = std::move(edges.fileDates);
        options.contacts = std::move(edges.fileContacts);
    }
    keepFileCalendar(options, edges.fileCalendar, edges.formatOnCommandLine);
}

// The status after --help or --version, which end the run; the caller checks out.
int showAndEnd(const optionRow& row, const char* argv0, std::ostream& out)
{
    if (row.id == optionName::help)
        showHelp(out);
    else
        showVersion(out, baseName(argv0).c_str());
    return statusDone;
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
    if (options.age && options.atMost)
        return "--age gives one line a unit: --at-most does not go with it";
    const bool picture = options.format == outputFormat::svg || options.format == outputFormat::html;
    if (options.age && picture)
        return "--age does not go with --format=svg or html: a picture draws milestones";
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

// Says, and goes on, when a zone names a fixed offset that a person may take for a place's
// clock: EST, which is -05:00 also in summer, where New York is at -04:00.
void warnOfFixedOffset(const std::string& name, const absl::TimeZone& zone, unixInstant now,
                       std::ostream& err)
{
    const auto cities = fixedOffsetCities(name, zone, now);
    if (!cities)
        return;
    const std::size_t shown = std::min<std::size_t>(cities->size(), 3);
    std::string names;
    for (std::size_t i = 0; i < shown; ++i)
        names += (i == 0 ? ", as in " : i + 1 < shown ? ", " : " or ") + (*cities)[i];
    const int offset = zone.At(absl::FromUnixSeconds(now.seconds)).offset;
    say(err, name + " is a fixed offset of " + offsetText(offset) +
                 " all year, without daylight saving; for the clock of a place, use a city's zone" +
                 names);
}

// A person at a terminal who chose no format reads text; who chose no window or order either,
// the next lines from now.
void chooseFirstScreen(runOptions& options, const window& edges)
{
    if (!options.terminal || edges.formatChosen)
        return;
    options.format = outputFormat::text;
    if (edges.from || edges.until || options.next || options.sortByTime || options.age ||
        options.atMost)
        return;
    options.next = firstScreenLines;
    options.sortByTime = true;
    options.firstScreen = true;
}

// The rest, once every option is in: the zone, the window in it, the options that do not go
// together, the calendar's stamp.
std::optional<int> settleOptions(runOptions& options, const window& edges, std::ostream& err)
{
    if (edges.zoneChoice.empty())
        if (auto wrong = readDefaultZone(options, err))
            return usageError(err, *wrong);
    chooseFirstScreen(options, edges);
    resolveWindow(options, edges);
    if (auto wrong = checkCombinations(options, edges))
        return usageError(err, *wrong);
    if (options.format == outputFormat::ics || options.format == outputFormat::vdir)
        if (auto wrong = readCalendarStamp(std::getenv("SOURCE_DATE_EPOCH"), options.now,
                                           options.calendarStamp))
            return usageError(err, *wrong);
    if (edges.zoneChoice.compare(0, 7, "--zone=") == 0)
        warnOfFixedOffset(options.zoneName, options.zone, options.now, err);
    if (options.showIn)
        warnOfFixedOffset(options.showInName, *options.showIn, options.now, err);
    return std::nullopt;
}

}  // namespace

std::optional<int> readOptions(int argc, char* const* argv, std::ostream& out, std::ostream& err,
                               runOptions& options)
{
    window edges;  // read in the zone, which a later option may change
    options.classic = false;
    options.milestones.units = allUnits;  // years are counted in option runs only
    options.now = {std::time(nullptr)};
    const std::optional<defaultsFailure> inFile = readDefaults(argv[0], options, edges);
    startCommandLine(options, edges);
    const problem wrong = readOptionWords({argv, argv + argc}, options, edges);
    if (edges.ending)  // --help and --version whatever the file holds
        return showAndEnd(*edges.ending, argv[0], out);
    if (inFile && inFile->status == statusUsage)
        return usageError(err, inFile->what);
    if (inFile) {
        say(err, inFile->what);
        return inFile->status;
    }
    if (wrong)
        return usageError(err, *wrong);
    endCommandLine(options, edges);
    return settleOptions(options, edges, err);
}

}  // namespace rondelo
