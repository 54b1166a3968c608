// What rondelo may show of the user's text: UTF-8 checked, and escaped where it could act on a
// terminal.
#pragma once

#include <cstddef>
#include <ostream>
#include <string>

namespace rondelo {

// The octets of the UTF-8 character at text[at], or 0 when the bytes there are none: no
// overlong form, no surrogate, nothing past U+10FFFF.
std::size_t utf8Length(const std::string& text, std::size_t at);

// text with every control character (C0, DEL and, in UTF-8, C1 and the bidirectional
// controls) and every byte that is no part of a valid UTF-8 character shown as a backslash
// escape, so that a message shows the user's input without acting on the terminal: "\t",
// "\n", "\xHH" for each byte.
std::string printable(const std::string& text);

// printable(text) in single quotes.
std::string quoted(const std::string& text);

// True for text that a name or an event's summary may carry: valid UTF-8 without control
// characters (U+0000 to U+001F, U+007F to U+009F) but tab and newline, and without the
// bidirectional controls.
bool isCalendarText(const std::string& text);

// Writes "rondelo: WHAT" and a line end to err, and flushes it: every message of rondelo's.
void say(std::ostream& err, const std::string& what);

// Says "rondelo: memory exhausted" on standard error and ends the process with status 1, as
// coreutils' xalloc_die does; the new-handler of every program, so that running out of memory
// never throws, also before the runtime has room to.
[[noreturn]] void memoryExhausted();

}  // namespace rondelo
