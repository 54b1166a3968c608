// Decodes UTF-8 only as far as telling characters from bytes that are none.
#include "diagnostics/messages.h"

#include <unistd.h>  // for write and _exit

#include <algorithm>

namespace rondelo {

namespace {

bool isC1(const std::string& text, std::size_t at, std::size_t length)
{
    return length == 2 && text[at] == '\xC2' && static_cast<unsigned char>(text[at + 1]) < 0xA0;
}

// U+061C, U+200E, U+200F, U+202A to U+202E and U+2066 to U+2069, the bidirectional controls:
// they reorder what follows them on the screen, so that one name can show as another.
bool isBidiControl(const std::string& text, std::size_t at, std::size_t length)
{
    const auto octet = [&](std::size_t i) { return static_cast<unsigned char>(text[at + i]); };
    if (length == 2)
        return octet(0) == 0xD8 && octet(1) == 0x9C;
    if (length != 3 || octet(0) != 0xE2)
        return false;
    const unsigned char second = octet(1), third = octet(2);
    return (second == 0x80 && (third == 0x8E || third == 0x8F || (third >= 0xAA && third <= 0xAE))) ||
           (second == 0x81 && third >= 0xA6 && third <= 0xA9);
}

std::string escaped(unsigned char octet)
{
    static const char hex[] = "0123456789ABCDEF";
    return {'\\', 'x', hex[octet >> 4], hex[octet & 15]};
}

}  // namespace

std::size_t utf8Length(const std::string& text, std::size_t at)
{
    const auto lead = static_cast<unsigned char>(text[at]);
    if (lead < 0x80)
        return 1;
    if (lead < 0xC2 || lead > 0xF4)
        return 0;
    const std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
    const unsigned char low = lead == 0xE0 ? 0xA0 : lead == 0xF0 ? 0x90 : 0x80;  // second byte
    const unsigned char high = lead == 0xED ? 0x9F : lead == 0xF4 ? 0x8F : 0xBF;
    if (at + length > text.size())
        return 0;
    for (std::size_t i = 1; i < length; ++i) {
        const auto octet = static_cast<unsigned char>(text[at + i]);
        if (octet < (i == 1 ? low : 0x80) || octet > (i == 1 ? high : 0xBF))
            return 0;
    }
    return length;
}

std::string printable(const std::string& text)
{
    std::string shown;
    for (std::size_t at = 0; at < text.size();) {
        const auto octet = static_cast<unsigned char>(text[at]);
        const std::size_t length = utf8Length(text, at);
        if (octet == '\t' || octet == '\n')
            shown += octet == '\t' ? "\\t" : "\\n";
        else if (octet < 0x20 || octet == 0x7F || length == 0)
            shown += escaped(octet);
        else if (isC1(text, at, length) || isBidiControl(text, at, length))
            for (std::size_t i = 0; i < length; ++i)
                shown += escaped(static_cast<unsigned char>(text[at + i]));
        else
            shown.append(text, at, length);
        at += std::max<std::size_t>(length, 1);
    }
    return shown;
}

std::string quoted(const std::string& text)
{
    return "'" + printable(text) + "'";
}

bool isCalendarText(const std::string& text)
{
    for (std::size_t at = 0; at < text.size();) {
        const char c = text[at];
        if (c >= 0x20 && c < 0x7F) {  // printable ASCII, most of any name: no decoding needed
            ++at;
            continue;
        }
        const std::size_t length = utf8Length(text, at);
        const bool c0 = length == 1 && ((c < 0x20 && c != '\t' && c != '\n') || c == 0x7F);
        if (length == 0 || c0 || isC1(text, at, length) || isBidiControl(text, at, length))
            return false;
        at += length;
    }
    return true;
}

void say(std::ostream& err, const std::string& what)
{
    err << "rondelo: " << what << std::endl;
}

void memoryExhausted()
{
    static const char message[] = "rondelo: memory exhausted\n";
    // Nothing that could allocate: write(2) straight to the descriptor, then no unwinding.
    const ssize_t written = write(STDERR_FILENO, message, sizeof message - 1);
    static_cast<void>(written);
    _exit(1);
}

}  // namespace rondelo
