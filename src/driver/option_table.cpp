// The option rows, and getopt's tables made from them.
#include "driver/option_table.h"

namespace rondelo {

const std::vector<optionRow> optionRows = {
#include "driver/option_rows.inc"
};

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

}  // namespace rondelo
