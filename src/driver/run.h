// One run: its references from their sources, their lines made, ordered and written.
#pragma once

#include <optional>
#include <ostream>
#include <vector>

#include "driver/options.h"
#include "readers/source.h"

namespace rondelo {

// Opens the run's sources into sources: the file of dates, or the one date of the command line
// (argv, in the classic form or the options' date words). Returns the exit status when the run
// ends here, after a message on err.
std::optional<int> openSources(int argc, char* argv[], const runOptions& options,
                               std::ostream& err, std::vector<referenceSource>& sources);

// What a reference takes from the options where its source says nothing.
referenceDefaults defaultsOf(const runOptions& options);

// Runs every reference of the sources, in turn, through the options' generation, order and
// writer to out; a single date (flushEachLine) is flushed line by line, a file of dates goes
// out in blocks. Returns the exit status: 0; 4 when a source skipped an entry; 1 when a source
// failed or out could not be written, with a message on err.
int runPipeline(const runOptions& options, std::vector<referenceSource>& sources,
                bool flushEachLine, std::ostream& out, std::ostream& err);

}  // namespace rondelo
