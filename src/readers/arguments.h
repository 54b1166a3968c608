// The date words of the command line: the classic four arguments, and the date of a run with
// options.
#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "readers/when.h"

namespace rondelo {

struct referenceArguments {
    int year;      // 1400..9999
    int month;     // 1..12
    int day;       // 1..31, and within its month
    int timeZone;  // accepted, changes nothing
};

// What kind of mistake keeps date words from being read; the driver gives each its status.
enum class dateProblem {
    usage,        // too few or too many words, or words that do not go together
    notANumber,   // a word that is no number, or no date
    outOfRange,   // a value outside its range, or a day its month lacks
};

// Why date words cannot be read: the kind of mistake and one line saying what is wrong.
struct dateWordsFailure {
    dateProblem problem;
    std::string what;
};

// Reads the classic arguments YYYY MM DD TIME_ZONE at argv[1] to argv[4] (argc is at least 5)
// into args, or says what is wrong, as a run with options says it. All are converted before
// any range is checked. A TIME_ZONE that is no number but a zone's name gets the way to give it.
std::optional<dateWordsFailure> readReferenceArguments(const char* const* argv,
                                                       referenceArguments& args);

// The date of a run with options, as its words give it.
struct commandDate {
    writtenDate date;
    dateAnchor anchor;            // an offset or a zone of its own, which fix the instant
    std::optional<whenSpec> day;  // instead, now, today, tomorrow or yesterday
};

// Reads the date words of a run with options into date: YYYY-MM-DD or YYYY-MM-DDTHH:MM[:SS]
// alone, an offset or a zone in brackets after its time (readAnchoredDate); now, today,
// tomorrow or yesterday; or YYYY MM DD [TIME_ZONE], each an optional sign and decimal digits. A
// date that gives its time of day, and now, do not go with --time (timeGiven). The failure is
// usage for too few or too many words, or a TIME_ZONE other than 0 (with the way to give a zone
// or a time of day); notANumber for a word that is no number or no date, or words that write a
// date another way (with the form to write: suggestedForm of the words); outOfRange for a value
// outside its range or a day that its month lacks.
std::optional<dateWordsFailure> readDateWords(const std::vector<std::string>& words,
                                              bool timeGiven, commandDate& date);

// The wall-clock reading of the classic arguments at timeOfDay.
absl::CivilSecond wallClockOf(const referenceArguments& args, long long timeOfDay);

}  // namespace rondelo
