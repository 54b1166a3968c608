// The command line: the help texts, the argument echo and the reading of the reference date.
#pragma once

#include <ostream>
#include <string>

extern const std::string description;
extern const std::string author;
extern const std::string version;
extern const std::string email;

// Exit statuses of a run that never reaches its report.
enum exitStatus : int {
    exitUsage = 2,
    exitTooFewArguments = 2,
    exitNotAnInteger = 3,
    exitOutOfRange = 4,
};

struct referenceArguments {
    int year;      // 1400..9999
    int month;     // 1..12
    int day;       // 1..31, and within its month
    int timeZone;  // accepted, changes nothing
};

// The last component of a path, as the POSIX basename gives it; "." for none.
std::string baseName(const char* path);

void showVersion(std::ostream& err, const char* name);
void showUsage(std::ostream& err, const char* name);

// text with every C0 control character and DEL shown as a backslash escape,
// so that a message shows the user's input without acting on the terminal: "\t", "\n", "\xHH".
std::string printable(const std::string& text);

// printable(text) in single quotes.
std::string quoted(const std::string& text);

// One line per argument, argv[0] included; nothing when argc is 0 or less.
void showArgs(std::ostream& err, int argc, const char* const* argv);

// Reads YYYY MM DD at argv[first] and TIME_ZONE after them, when argc holds it, into args and
// returns 0, or writes the argument echo (and, for a day past the end of its month, one line
// saying so) to err and returns the exit status. All are converted before any range is checked.
int readReferenceArguments(int argc, const char* const* argv, std::ostream& err,
                           referenceArguments& args, int first = 1);
