// The date words of the command line: the classic four arguments, and the date of a run with
// options.
#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "readers/when.h"

namespace rondelo {

// Exit statuses of a run whose date cannot be read.
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

// Why date words cannot be read: the exit status and one line saying what is wrong.
struct dateWordsFailure {
    int status;  // exitUsage, exitNotAnInteger or exitOutOfRange
    std::string what;
};

// One line per argument, argv[0] included, each shown as printable shows it; nothing when argc
// is 0 or less.
void showArgs(std::ostream& err, int argc, const char* const* argv);

// Reads the classic arguments YYYY MM DD TIME_ZONE at argv[1] to argv[4] (argc is at least 5)
// into args and returns 0, or writes the argument echo and one line saying what is wrong, as a
// run with options says it, to err and returns the exit status. All are converted before any
// range is checked. A TIME_ZONE that is no number but a zone's name gets the way to give it.
int readReferenceArguments(int argc, const char* const* argv, std::ostream& err,
                           referenceArguments& args);

// Reads the date words of a run with options into date: YYYY-MM-DD or YYYY-MM-DDTHH:MM[:SS]
// alone, or YYYY MM DD [TIME_ZONE], each an optional sign and decimal digits. A date that gives
// its time of day does not go with --time (timeGiven). The failure is exitUsage for too few or
// too many words, or a TIME_ZONE other than 0 (with the way to give a zone or a time of day);
// exitNotAnInteger for a word that is no number or no date (with the form to write, where it
// looks like a date written another way); exitOutOfRange for a value outside its range or a
// day that its month lacks.
std::optional<dateWordsFailure> readDateWords(const std::vector<std::string>& words,
                                              bool timeGiven, writtenDate& date);

// The wall-clock reading of the classic arguments at timeOfDay.
wallClockReading wallClockOf(const referenceArguments& args, long long timeOfDay);

}  // namespace rondelo
