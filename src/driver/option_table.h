// The options rondelo reads, one row each, made from the list that the completions come from.
#pragma once

#include <getopt.h>

#include <cstddef>
#include <string>
#include <vector>

namespace rondelo {

struct optionRow {
    char letter;           // 0 for a long option only
    const char* name;      // the long name
    const char* argument;  // the value's name in --help; empty for an option without one
    const char* help;      // its text in --help, lines split by '\n'
};

// Every option, in the order --help lists them, --help and --version last.
extern const std::vector<optionRow> optionRows;

// What getopt_long returns for a row: its letter, else 256 and the row's index.
int optionValue(std::size_t row);

// The row of a value that getopt_long returned; nullptr for none.
const optionRow* rowOfValue(int value);

// getopt_long's table of the rows, ended by a row of zeros.
std::vector<option> longOptions();

// getopt's short options: "+" (stop at a word that is no option), ":" (rondelo words the
// messages), then each letter, with ':' when it takes a value.
std::string shortOptions();

}  // namespace rondelo
