// The options rondelo reads, one row each, made from the list that the completions come from,
// and the reading of the words their values are chosen from.
#pragma once

#include <getopt.h>

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "driver/option_names.h"

namespace rondelo {

// What an option's value is: free text, a path (a leading ~ the home directory), one word of
// a list, or a comma-separated list of its words.
enum class valueKind { text, path, oneWord, wordList };

// The words an option's value is chosen from, in the order of completion/options.
struct wordList {
    const char* const* words = nullptr;
    std::size_t count = 0;
};

struct optionRow {
    optionName id;
    char letter;           // 0 for a long option only
    const char* name;      // the long name
    const char* argument;  // the value's name in --help; empty for an option without one
    valueKind kind;
    wordList values;       // of oneWord and wordList; empty for the others
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

// The index of word among the list's words, letter case aside; nothing when it is none of them.
std::optional<std::size_t> matchWord(const std::string& word, wordList list);

// A comma-separated list of the list's words as a bit for the index of each, letter case aside;
// nothing for an empty list or item, or one that is none of the words.
std::optional<unsigned> matchWords(const std::string& text, wordList list);

// The words as a sentence lists them: "csv, ics, json or text".
std::string listedWords(wordList list);

// The option meant by an unknown long option word (without its dashes): a word of a value
// list is that option with the word (json: --format=json), another tool's name for an option
// is rondelo's (tz: --zone), else the long name fewest edits away, when they are few, with the
// word's value when it takes one (zones=UTC: --zone=UTC). Nothing when no option is near.
std::optional<std::string> nearestOption(const std::string& word);

}  // namespace rondelo
