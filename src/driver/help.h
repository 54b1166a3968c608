// The texts a run shows of itself: the help, the version, the classic usage, usage errors.
#pragma once

#include <ostream>
#include <string>

namespace rondelo {

// The last component of a path, as the POSIX basename gives it; "." for none. Shown as
// printable shows it, since a caller chooses argv[0] freely.
std::string baseName(const char* path);

// The help text: the synopsis, one line per option, the exit statuses.
void showHelp(std::ostream& out);

// What rondelo says when given no word at all: what it does, the first commands to type, and
// the way to --help.
void showFirstScreen(std::ostream& err);

void showVersion(std::ostream& err, const char* name);
void showUsage(std::ostream& err, const char* name);

// The classic echo of the arguments: one line per argument, argv[0] included, each shown as
// printable shows it; nothing when argc is 0 or less.
void showArgs(std::ostream& err, int argc, const char* const* argv);

// Writes "rondelo: what" (unless what is empty) and the hint to --help to err; returns the
// usage status, 2.
int usageError(std::ostream& err, const std::string& what);

}  // namespace rondelo
