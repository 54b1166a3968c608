// The option words, wherever they stand among the date's: what they ask of the run, read once.
#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include <absl/time/time.h>

#include "generators/generators.h"
#include "readers/contacts.h"
#include "timeconv/zone.h"
#include "writers/shared.h"

namespace rondelo {

// What a run was asked for. The defaults give the classic run: midnight UTC, forward, in the
// order the series are made, as CSV.
struct runOptions {
    bool classic = true;               // no option word: the classic run, whose texts are fixed
    std::vector<std::string> dateWords;  // the words that are no option, in their order
    long long timeOfDay = 0;           // seconds after midnight, [0, 86399]
    bool timeGiven = false;            // --time
    absl::TimeZone zone;               // UTC unless --zone or --local
    std::string zoneName = "UTC";      // as the user gave it
    std::optional<absl::TimeZone> showIn;  // --show-in: every line shown on this clock
    std::string showInName;
    bool terminal = false;             // standard output is a terminal: a person reads it
    bool firstScreen = false;          // a terminal chose the text and the next lines
    int sign = 1;                      // -1 with --before
    bool sortByTime = false;           // --sort
    std::optional<unixInstant> from;   // --from: lines at or after it
    std::optional<unixInstant> until;  // --until: lines before it
    std::optional<long long> next;     // --next: only the earliest lines, at least 1
    std::optional<std::pair<std::size_t, calendarPeriod>> atMost;  // --at-most: N each period
    std::optional<std::string> datesFile;  // --dates: the references, one a line; "-" for stdin
    std::vector<std::string> contacts;  // --contacts: address books, vCard files or directories
    unsigned contactKinds = defaultContactKinds;  // --kinds: a bit for each referenceKind
    unixInstant now{0};                // the time of the run, taken once
    outputFormat format = outputFormat::csv;  // --format, --ics
    std::optional<std::string> title;  // --title
    unixInstant calendarStamp{0};      // DTSTAMP: SOURCE_DATE_EPOCH, else the time of the run
    milestoneChoice milestones;        // --series, --units, --every, --count-first-day, --month-end
    bool age = false;                  // --age: how old each reference is at --from, or now
    bool unitsChosen = false;          // --units or --series, whose ages text shows beside
    std::vector<reminder> reminders;   // --remind, each time it is given
    std::string calendarName;          // --calendar-name
    std::string calendarColor;         // --calendar-color: #RRGGBB
    std::optional<std::string> vdir;   // --vdir: the calendar directory written instead of out
};

// True when any of argv[1] on is an option word ("-" or "--" and a letter) or "--", or when
// the words are a date alone, YYYY-MM-DD[THH:MM[:SS]] with or without an offset or a zone,
// now, today, tomorrow or yesterday (or a date written another way, in one or two words, which
// gets the form to write) or three words, YYYY MM DD: such a run reads options,
// and its zone is the machine's unless they choose one. Any other argument list is the classic
// one, which reads four words and ignores what follows them, in UTC.
bool hasOptions(int argc, const char* const* argv);

// The lines a terminal shows without a window or an order.
constexpr long long firstScreenLines = 10;

// Reads the option words into options, wherever they stand: every other word goes to
// options.dateWords, in its order, as does every word after "--". Before them it reads the
// file of defaults (RONDELO_CONFIG, else rondelo/config in XDG_CONFIG_HOME or ~/.config), an
// option a line, whose zone, format and references the command line's replace; a path's
// leading ~ is the home directory. Returns the exit status when the run ends here: 0 after
// --help or --version (written to out, whatever the file holds), 1 when the file cannot be
// read, 2 after a usage error, in the file or on the command line (one line saying what is
// wrong and a hint, on err). Returns nothing when the run goes on, after a warning on err for a
// --zone or --show-in that is a fixed offset. Where options.terminal is set and no format is
// chosen, the format is text, and without a window or an order either (--from, --until,
// --next, --sort, --age, --at-most) the lines are the next firstScreenLines from now
// (options.firstScreen).
std::optional<int> readOptions(int argc, char* const* argv, std::ostream& out, std::ostream& err,
                               runOptions& options);

// A calendar's DTSTAMP: sourceDateEpoch, the value of SOURCE_DATE_EPOCH (decimal Unix seconds,
// for a file that is the same on every run), else the clock's now. Returns what is wrong when
// it is no such number, or when it or the clock lies outside what a DTSTAMP can show.
std::optional<std::string> readCalendarStamp(const char* sourceDateEpoch, unixInstant now,
                                             unixInstant& stamp);

// The zone of --local: tz, the value of TZ (a zone name or a path into the database, a leading
// colon allowed, empty for UTC), else, when tz is null, the zone that systemZoneFile links to in
// the database. Returns what is wrong when there is no such zone; zone and zoneName are then
// unspecified.
std::optional<std::string> readLocalZone(const char* tz, const char* systemZoneFile,
                                         absl::TimeZone& zone, std::string& zoneName);

}  // namespace rondelo
