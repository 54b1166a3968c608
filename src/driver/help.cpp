// The help text from the option table, and the classic version and usage texts.
#include "driver/help.h"

#include <libgen.h>  // for the POSIX basename

#include <algorithm>
#include <cstring>
#include <vector>

#include <boost/version.hpp>  // for BOOST_LIB_VERSION

#include "diagnostics/identity.h"
#include "diagnostics/messages.h"
#include "driver/option_table.h"
#include "driver/status.h"

namespace rondelo {

namespace {

constexpr std::size_t helpColumn = 25;  // where each option's text starts

// "  -t, --time=HH:MM[:SS]  time of day ...", its further lines under the first.
void showOption(std::ostream& out, const optionRow& row)
{
    std::string left = row.letter != 0 ? std::string("  -") + row.letter + ", " : "      ";
    left += std::string("--") + row.name;
    if (row.argument[0] != '\0')
        left += std::string("=") + row.argument;
    left.resize(std::max(left.size() + 2, helpColumn), ' ');
    out << left;
    for (const char* c = row.help; *c != '\0'; ++c)
        out << *c << (*c == '\n' ? std::string(helpColumn, ' ') : "");
    out << '\n';
}

}  // namespace

std::string baseName(const char* path)
{
    if (path == nullptr)
        return ".";
    std::vector<char> copy(path, path + std::strlen(path) + 1);  // basename may write to it
    return printable(basename(copy.data()));
}

namespace {

// What --help says first after the options: WHEN and FILE, a phone's birthday calendar, the
// file of defaults.
void showHelpInputs(std::ostream& out)
{
    out << "WHEN is now; today, tomorrow or yesterday; YYYY-MM-DD or YYYY-MM-DDTHH:MM[:SS]\n"
           "in the zone; or a span from now, +N or -N and y, mo, w, d, h or min, as in\n"
           "--until=+30d (a span alone counts from now).\n"
           "In FILE, WHEN is YYYY-MM-DD[THH:MM[:SS]] or YYYY.MM.DD; blank lines and lines\n"
           "that begin with # are skipped. A leading ~ in FILE, PATH or DIR is the home\n"
           "directory; the words of FORMAT, LIST and RULE may be in any letter case.\n"
           "\n"
           "A phone's birthday calendar: every birthday and anniversary of an address book\n"
           "once a year, with its count, or without one for a date without a year (--0517,\n"
           "khard's 1900.05.17), in a calendar directory that keeps the past year:\n"
           "  rondelo --contacts=BOOK --every=1y --from=-1y --until=+2y --vdir=CALENDAR\n"
           "\n"
           "Defaults of your own: one option a line (--zone=Europe/Berlin), # for a comment,\n"
           "in $XDG_CONFIG_HOME/rondelo/config, else ~/.config/rondelo/config, or the file\n"
           "that RONDELO_CONFIG names (empty for none). They are read before the options\n"
           "of the command line, whose zone, format and references replace theirs; the\n"
           "classic form reads none.\n"
           "\n";
}

// What --help says after the options: showHelpInputs, then dates and a terminal, the date
// words, the exit statuses.
void showHelpNotes(std::ostream& out)
{
    showHelpInputs(out);
    out << "A date's time may carry its offset or its zone, here and in FILE: ...Z,\n"
           "1990-05-17T14:30+02:00 or 1990-05-17T14:30[Europe/Berlin] is that instant,\n"
           "counted in the run's zone (in FILE, the line's ZONE). now, today, tomorrow and\n"
           "yesterday are dates too.\n"
           "On a terminal without --format the lines are text, and without --from, --until,\n"
           "--next, --sort, --age or --at-most the next 10 from now.\n"
           "\n"
           "The date words are decimal digits with an optional sign; TIME_ZONE, if given,\n"
           "must be 0. A date alone, or YYYY MM DD, runs with options. With no option word\n"
           "and four words or more, a command line is the classic one: YYYY MM DD TIME_ZONE,\n"
           "each read up to its first non-digit, any further words ignored, in UTC.\n"
           "\n"
           "Exit status: 0 done; 1 a file could not be read, the output written, or memory\n"
           "ran out; 2 a usage error; 3 a date word is not a number or a date; 4 a date out\n"
           "of range or that does not exist, or an entry of FILE or PATH that was skipped.\n"
        << std::flush;
}

}  // namespace

void showHelp(std::ostream& out)
{
    out << "Usage: rondelo [OPTION]... YYYY-MM-DD[THH:MM[:SS]]\n"
           "  or:  rondelo [OPTION]... YYYY MM DD [TIME_ZONE]\n"
           "  or:  rondelo [OPTION]... --dates=FILE\n"
           "List the round-number anniversaries of a date, one line each.\n"
           "Options may come before, between or after the date words; '--' ends them.\n"
           "\n";
    for (const optionRow& row : optionRows)
        showOption(out, row);
    out << "\n";
    showHelpNotes(out);
}

void showFirstScreen(std::ostream& err)
{
    err << "Usage: rondelo [OPTION]... DATE\n"
           "The round-number anniversaries of a date: 10K days, 1G seconds, 40 years.\n"
           "\n"
           "  rondelo 1990-05-17                 the next milestones of 17 May 1990\n"
           "  rondelo 1990-05-17T14:30 --next=3  born at half past two: the next three\n"
           "  rondelo --age 1990-05-17           how old: 36 years, 6 months, 21 days\n"
           "  rondelo --zone=America/New_York '1990-05-17T14:30[Europe/Berlin]'\n"
           "                                     born in Berlin, seen in New York\n"
           "  rondelo --dates=people.tsv         everyone in a file: WHEN<TAB>NAME a line\n"
           "  rondelo --help                     every option\n"
        << std::flush;
}

void showVersion(std::ostream& err, const char* name)
{
    // The release's date and time from packaging/changelog, in the layout of __DATE__ and
    // __TIME__: the same source always gives the same program.
    err << name << " " << version << ", " << RONDELO_RELEASED << std::endl;
    err << "Built with Boost " << BOOST_LIB_VERSION << std::endl;
    err << "Written by " << author << ", Email: " << email << std::endl;
}

void showUsage(std::ostream& err, const char* name)
{
    err << "Usage:\n\t$ " << name << " YYYY MM DD TIME_ZONE" << std::endl;
    err << "\nTo produce a sorted output pipe to\n\t| sort -t , -k 1 -g" << std::endl;
    err << "\nTIME_ZONE is read but not used: every date is UTC. '" << name
        << " --help' shows the options." << std::endl;
}

int usageError(std::ostream& err, const std::string& what)
{
    if (!what.empty())
        say(err, what);
    err << "Try 'rondelo --help' for more information." << std::endl;
    return statusUsage;
}

void showArgs(std::ostream& err, int argc, const char* const* argv)
{
    for (int i = 0; i < argc; ++i)
        err << "argv[" << i << "] " << printable(argv[i]) << std::endl;
}

}  // namespace rondelo
