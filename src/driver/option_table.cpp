// The option rows, getopt's tables made from them, and the words of their values.
#include "driver/option_table.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <iterator>  // for std::size in the rows

#include "diagnostics/messages.h"
#include "timeconv/zone_names.h"

namespace rondelo {

const std::vector<optionRow> optionRows = {
#include "driver/option_rows.inc"
};

namespace {

bool sameLetters(const std::string& a, const char* b)
{
    return a.size() == std::strlen(b) &&
           std::equal(a.begin(), a.end(), b, [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

// What other tools call an option of rondelo's, and rondelo's name for it.
constexpr const char* otherNames[][2] = {
    {"tz", "zone"}, {"timezone", "zone"}, {"time-zone", "zone"}};

// The option with name among its value words, as "--format=json".
std::optional<std::string> optionOfWord(const std::string& name)
{
    for (const optionRow& row : optionRows)
        if (const auto word = matchWord(name, row.values))
            return "--" + std::string(row.name) + "=" + row.values.words[*word];
    return std::nullopt;
}

// The long name fewest edits from name, when that is one edit for a short name, two for others.
const optionRow* nearestName(const std::string& name)
{
    const std::size_t furthest = name.size() <= 4 ? 1 : 2;
    const optionRow* nearest = nullptr;
    std::size_t least = furthest + 1;
    for (const optionRow& row : optionRows) {
        const std::size_t edits = editDistance(name, row.name);
        if (edits < least) {
            least = edits;
            nearest = &row;
        }
    }
    return nearest;
}

// The row of a long name.
const optionRow* rowNamed(const std::string& name)
{
    for (const optionRow& row : optionRows)
        if (name == row.name)
            return &row;
    return nullptr;
}

}  // namespace

int optionValue(std::size_t row)
{
    return optionRows[row].letter != 0 ? optionRows[row].letter : 256 + static_cast<int>(row);
}

const optionRow* rowOfValue(int value)
{
    for (std::size_t row = 0; row < optionRows.size(); ++row)
        if (optionValue(row) == value)
            return &optionRows[row];
    return nullptr;
}

std::vector<option> longOptions()
{
    std::vector<option> table;
    for (std::size_t row = 0; row < optionRows.size(); ++row) {
        const bool hasValue = optionRows[row].argument[0] != '\0';
        table.push_back({optionRows[row].name, hasValue ? required_argument : no_argument, nullptr,
                         optionValue(row)});
    }
    table.push_back({nullptr, 0, nullptr, 0});
    return table;
}

std::string shortOptions()
{
    std::string letters = "+:";
    for (const optionRow& row : optionRows)
        if (row.letter != 0)
            letters += row.argument[0] != '\0' ? std::string{row.letter, ':'} : std::string{row.letter};
    return letters;
}

std::optional<std::size_t> matchWord(const std::string& word, wordList list)
{
    for (std::size_t i = 0; i < list.count; ++i)
        if (sameLetters(word, list.words[i]))
            return i;
    return std::nullopt;
}

std::optional<unsigned> matchWords(const std::string& text, wordList list)
{
    unsigned bits = 0;
    for (std::size_t start = 0;;) {
        const std::size_t end = std::min(text.find(',', start), text.size());
        const auto word = matchWord(text.substr(start, end - start), list);
        if (!word)
            return std::nullopt;
        bits |= 1u << *word;
        if (end == text.size())
            return bits;
        start = end + 1;
    }
}

std::string listedWords(wordList list)
{
    std::string text;
    for (std::size_t i = 0; i < list.count; ++i)
        text += (i == 0 ? "" : i + 1 < list.count ? ", " : " or ") + std::string(list.words[i]);
    return text;
}

std::optional<std::string> nearestOption(const std::string& word)
{
    const std::size_t equals = std::min(word.find('='), word.size());
    const std::string name = word.substr(0, equals);
    if (auto option = optionOfWord(name))
        return option;
    const optionRow* row = nearestName(name);
    for (const auto& other : otherNames)
        if (sameLetters(name, other[0]))
            row = rowNamed(other[1]);
    if (row == nullptr)
        return std::nullopt;
    const bool value = equals < word.size() && row->argument[0] != '\0';
    return "--" + std::string(row->name) + (value ? printable(word.substr(equals)) : "");
}

}  // namespace rondelo
