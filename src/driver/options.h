// The option words before the date: what they ask of the run, read once.
#pragma once

#include <optional>
#include <ostream>
#include <string>

#include <absl/time/time.h>

#include "generators/generators.h"
#include "writers/shared.h"

// What a run was asked for. The defaults give the classic run: midnight UTC, forward, in the
// order the series are made, as CSV.
struct runOptions {
    bool classic = true;               // no option word: the classic run, whose texts are fixed
    int firstDateArgument = 1;         // index of YYYY in argv
    long long timeOfDay = 0;           // seconds after midnight, [0, 86399]
    absl::TimeZone zone;               // UTC unless --zone or --local
    std::string zoneName = "UTC";      // as the user gave it
    int sign = 1;                      // -1 with --before
    bool sortByTime = false;           // --sort
    std::optional<long long> from;     // --from, in Unix seconds: lines at or after it
    std::optional<long long> until;    // --until, in Unix seconds: lines before it
    std::optional<std::string> datesFile;  // --dates: the references, one a line; "-" for stdin
    long long now = 0;                 // the time of the run, taken once
    outputFormat format = outputFormat::csv;  // --format, --ics
    std::optional<std::string> title;  // --title
    long long calendarStamp = 0;       // DTSTAMP: SOURCE_DATE_EPOCH, else the time of the run
    milestoneChoice milestones;        // --series, --units, --count-first-day, --month-end
    std::string reminder;              // --remind, as an alarm TRIGGER ("-P1D"); empty for none
};

// True when argv[1] is an option word ("-" or "--" and a letter) or "--": only such a run
// reads options; any other argument list is the classic one.
bool hasOptions(int argc, const char* const* argv);

// Reads the option words before the date into options. Returns the exit status when the run
// ends here: 0 after --help or --version (written to out), 2 after a usage error (one line
// saying what is wrong and a hint, on err). Returns nothing when the run goes on, with
// options.firstDateArgument at YYYY, followed by at least MM and DD.
std::optional<int> readOptions(int argc, char* const* argv, std::ostream& out, std::ostream& err,
                               runOptions& options);

// The help text: the synopsis, one line per option, the exit statuses.
void showHelp(std::ostream& out);
