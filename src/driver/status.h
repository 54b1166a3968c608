// The exit statuses of rondelo, each defined here and nowhere else.
#pragma once

namespace rondelo {

enum exitStatus : int {
    statusDone = 0,
    // Output that could not be written, a file that could not be opened or read, a calendar
    // directory that could not be synced, memory exhausted.
    statusFailure = 1,
    statusUsage = 2,        // a usage error; too few words for the classic form
    statusNotANumber = 3,   // a date word that is no number, or no date
    statusOutOfRange = 4,   // a date outside the calendar, or a day its month lacks
    // An entry of a file or address book that was skipped: the status table gives it the
    // number of a date out of range, which is what most skipped entries are.
    statusSkipped = statusOutOfRange,
};

}  // namespace rondelo
