// The command line: the help texts, the argument echo and the reading of the reference date.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "driver/when.h"

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

// text with every control character (C0, DEL and, in UTF-8, C1) and every byte that is no
// part of a valid UTF-8 character shown as a backslash escape, so that a message shows the
// user's input without acting on the terminal: "\t", "\n", "\xHH" for each byte.
std::string printable(const std::string& text);

// printable(text) in single quotes.
std::string quoted(const std::string& text);

// One line per argument, argv[0] included; nothing when argc is 0 or less.
void showArgs(std::ostream& err, int argc, const char* const* argv);

// Writes "rondelo: what" (unless what is empty) and the hint to --help to err; returns exitUsage.
int usageError(std::ostream& err, const std::string& what);

// Reads the date words of a run with options into date: YYYY-MM-DD or YYYY-MM-DDTHH:MM[:SS]
// alone, or YYYY MM DD [TIME_ZONE], each an optional sign and decimal digits. A date that gives
// its time of day does not go with --time (timeGiven). Returns 0, or writes one line saying what
// is wrong to err and returns the status: exitUsage (and the hint) for too few or too many
// words, exitNotAnInteger for a word that is no number or no date, exitOutOfRange for a value
// outside its range or a day that its month lacks.
int readDateWords(const std::vector<std::string>& words, bool timeGiven, std::ostream& err,
                  writtenDate& date);

// Reads the classic arguments YYYY MM DD TIME_ZONE at argv[1] to argv[4] (argc is at least 5)
// into args and returns 0, or writes the argument echo (and, for a day past the end of its
// month, one line saying so) to err and returns the exit status. All are converted before any
// range is checked.
int readReferenceArguments(int argc, const char* const* argv, std::ostream& err,
                           referenceArguments& args);
