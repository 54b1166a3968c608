// One run: its references from their sources, their lines made, ordered and written.
#pragma once

#include <optional>
#include <ostream>
#include <vector>

#include "driver/options.h"
#include "readers/source.h"

namespace rondelo {

// The whole run of a command line: the options read, the sources opened, the pipeline run.
// Returns the exit status; what goes wrong is said on err. out is checked once, by the caller,
// when the run is over.
int run(int argc, char* argv[], std::ostream& out, std::ostream& err);

// Opens the run's sources into sources: the file of dates, the address books, or the one date
// of the command line (argv, in the classic form or the options' date words). Returns the exit
// status when the run ends here, after a message on err.
std::optional<int> openSources(int argc, char* argv[], const runOptions& options,
                               std::ostream& err, std::vector<referenceSource>& sources);

// What a reference takes from the options where its source says nothing.
referenceDefaults defaultsOf(const runOptions& options);

// Runs every reference of the sources, in turn, through the options' generation, order and
// writer to out; a single date (flushEachLine) is flushed line by line, a file of dates goes
// out in blocks. Returns the exit status: statusDone; statusSkipped when a source skipped an
// entry; statusFailure when a source failed or out could not be written (which the caller
// reports), with the sources' problems said on err.
int runPipeline(const runOptions& options, std::vector<referenceSource>& sources,
                bool flushEachLine, std::ostream& out, std::ostream& err);

}  // namespace rondelo
