// Escapes and measures the text of pictures and pages.
#include "writers/markup.h"

#include <cmath>
#include <cstdio>
#include <cstring>  // for strchr

#include "diagnostics/messages.h"

namespace rondelo {

namespace {

const char* const replacement = "\xEF\xBF\xBD";  // U+FFFD

const char* referenceOf(char c)
{
    switch (c) {
    case '&':
        return "&amp;";
    case '<':
        return "&lt;";
    case '>':
        return "&gt;";
    case '"':
        return "&quot;";
    case '\'':
        return "&#39;";
    default:
        return nullptr;
    }
}

// The code point of the UTF-8 character of length octets at text[at].
unsigned codePoint(const std::string& text, std::size_t at, std::size_t length)
{
    static const unsigned leadMask[] = {0, 0x7F, 0x1F, 0x0F, 0x07};
    unsigned point = static_cast<unsigned char>(text[at]) & leadMask[length];
    for (std::size_t i = 1; i < length; ++i)
        point = (point << 6) | (static_cast<unsigned char>(text[at + i]) & 0x3F);
    return point;
}

// Ems of an ASCII character, rounded up from DejaVu Sans: 'i' is 0.28, 'm' 0.97, 'W' 0.99.
double asciiEms(char c)
{
    if (std::strchr("ijl.,:;'!|` ", c) != nullptr)
        return 0.42;
    if (std::strchr("frt()[]-/\\", c) != nullptr)
        return 0.5;
    if (std::strchr("mwMW@%", c) != nullptr)
        return 1.0;
    if ((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9'))
        return 0.66;
    return c >= 'A' && c <= 'Z' ? 0.8 : 0.86;
}

}  // namespace

std::string markupEscaped(const std::string& text)
{
    std::string escaped;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t length = utf8Length(text, at);
        const auto lead = static_cast<unsigned char>(text[at]);
        if (length == 0 || lead < 0x20 || lead == 0x7F)
            escaped += replacement;
        else if (const char* named = referenceOf(text[at]))
            escaped += named;
        else
            escaped.append(text, at, length);
        at += length == 0 ? 1 : length;
    }
    return escaped;
}

std::string shortened(const std::string& text, std::size_t characters)
{
    std::size_t at = 0;
    for (std::size_t kept = 0; at < text.size(); ++kept) {
        if (kept + 1 == characters) {
            const std::size_t rest = utf8Length(text, at);
            const bool last = rest != 0 && at + rest == text.size();
            return last ? text : text.substr(0, at) + "\xE2\x80\xA6";  // U+2026
        }
        const std::size_t length = utf8Length(text, at);
        at += length == 0 ? 1 : length;
    }
    return text;
}

double textWidth(const std::string& text, double fontSize)
{
    double ems = 0;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t length = utf8Length(text, at);
        if (length <= 1)
            ems += length == 1 ? asciiEms(text[at]) : 1.0;
        else
            ems += codePoint(text, at, length) >= 0x1F000 ? 1.3 : 1.0;
        at += length == 0 ? 1 : length;
    }
    return ems * fontSize;
}

std::string pixels(double value)
{
    char text[32];
    const double rounded = std::round(value * 10) / 10;
    std::snprintf(text, sizeof text, rounded == std::floor(rounded) ? "%.0f" : "%.1f", rounded);
    return text;
}

}  // namespace rondelo
