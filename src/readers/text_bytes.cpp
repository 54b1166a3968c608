// Byte by byte: a name's case folds the same in every locale.
#include "readers/text_bytes.h"

#include "diagnostics/messages.h"

namespace rondelo {

std::string upperAscii(std::string text)
{
    for (char& c : text)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return text;
}

std::string lowerAscii(std::string text)
{
    for (char& c : text)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return text;
}

std::size_t firstNonUtf8(const std::string& text, std::size_t at, std::size_t length)
{
    for (const std::size_t end = at + length; at < end;) {
        const std::size_t octets = utf8Length(text, at);
        if (octets == 0)
            return at;
        at += octets;
    }
    return std::string::npos;
}

void dropByteOrderMark(std::string& firstLine)
{
    static const std::string mark = "\xEF\xBB\xBF";
    if (firstLine.compare(0, mark.size(), mark) == 0)
        firstLine.erase(0, mark.size());
}

}  // namespace rondelo
