// The bytes of text files as the readers see them: ASCII digits, blanks and letter case, UTF-8,
// and the byte-order mark some editors write first.
#pragma once

#include <cstddef>
#include <string>

namespace rondelo {

inline bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// True for a line of nothing but spaces and tabs, or of nothing.
inline bool isBlank(const std::string& line)
{
    return line.find_first_not_of(" \t") == std::string::npos;
}

// text with its ASCII letters in upper case, other bytes as they are.
std::string upperAscii(std::string text);

// text with its ASCII letters in lower case, other bytes as they are.
std::string lowerAscii(std::string text);

// The first byte of text[at, at + length) that is no part of a UTF-8 character, else npos.
std::size_t firstNonUtf8(const std::string& text, std::size_t at, std::size_t length);

// Drops the UTF-8 byte-order mark from the start of a file's first line, if it has one.
void dropByteOrderMark(std::string& firstLine);

}  // namespace rondelo
