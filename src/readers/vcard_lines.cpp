// Reads vCard lines byte by byte: a line may end in any of three ways, and a property of a
// hundred folded lines is one logical line.
#include "readers/vcard_lines.h"

#include <cerrno>
#include <utility>

#include "readers/text_bytes.h"

namespace rondelo {

namespace {

// The next physical line into lines.ahead, without its end.
void readAhead(vcardLines& lines)
{
    std::FILE* file = lines.file;
    lines.ahead.clear();
    int c = EOF;
    while (lines.error == 0 && (c = getc_unlocked(file)) != EOF && c != '\n' && c != '\r')
        lines.ahead += static_cast<char>(c);
    if (c == EOF && lines.error == 0 && std::ferror(file))
        lines.error = errno != 0 ? errno : EIO;
    if (c == '\r') {
        const int next = getc_unlocked(file);
        if (next != '\n' && next != EOF)
            ungetc(next, file);
    }
    lines.hasAhead = c != EOF || !lines.ahead.empty();
    lines.number += lines.hasAhead ? 1 : 0;
}

// One parameter value from line[at] up to the next unquoted ';' or ':'; quotes are dropped.
bool readParameterValue(const std::string& line, std::size_t& at, std::string& value)
{
    while (at < line.size() && line[at] != ';' && line[at] != ':') {
        if (line[at] != '"') {
            value += line[at++];
            continue;
        }
        const std::size_t close = line.find('"', at + 1);
        if (close == std::string::npos)
            return false;
        value.append(line, at + 1, close - at - 1);
        at = close + 1;
    }
    return true;
}

void keepParameter(const std::string& name, std::string value, lineParameters& parameters)
{
    if (name == "VALUE")
        parameters.value = upperAscii(std::move(value));
    else if (name == "TZ")
        parameters.zone = std::move(value);
    else if (name == "CHARSET")
        parameters.charset = std::move(value);
    else if (name == "X-APPLE-OMIT-YEAR")
        parameters.omitYear = std::move(value);
    else if (name == "TYPE")
        parameters.type += "," + upperAscii(std::move(value));
    else if (name == "QUOTED-PRINTABLE" ||
             (name == "ENCODING" && upperAscii(value) == "QUOTED-PRINTABLE"))
        parameters.quotedPrintable = true;
}

int hexDigit(char c)
{
    if (isDigit(c))
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
}

// vCard 2.1's quoted-printable text: "=XX" is the octet XX, a last "=" (a soft line break,
// whose next line is not read) goes, any other "=" stays.
std::string decodeQuotedPrintable(const std::string& text)
{
    std::string decoded;
    const std::size_t end = !text.empty() && text.back() == '=' ? text.size() - 1 : text.size();
    for (std::size_t at = 0; at < end; ++at) {
        const int high = text[at] == '=' && at + 2 < end ? hexDigit(text[at + 1]) : -1;
        const int low = high >= 0 ? hexDigit(text[at + 2]) : -1;
        if (low < 0) {
            decoded += text[at];
            continue;
        }
        decoded += static_cast<char>(high * 16 + low);
        at += 2;
    }
    return decoded;
}

}  // namespace

void startLines(vcardLines& lines, std::FILE* file)
{
    lines = vcardLines{file, {}, false, 0, 0};
    readAhead(lines);
    dropByteOrderMark(lines.ahead);
}

bool nextLogicalLine(vcardLines& lines, std::string& line, long long& number)
{
    if (!lines.hasAhead)
        return false;
    line.swap(lines.ahead);
    number = lines.number;
    for (readAhead(lines); lines.hasAhead; readAhead(lines)) {
        if (lines.ahead.empty() || (lines.ahead[0] != ' ' && lines.ahead[0] != '\t'))
            break;
        line.append(lines.ahead, 1, std::string::npos);
    }
    return true;
}

bool readContentName(const std::string& line, contentLine& content, std::size_t& at)
{
    at = line.find_first_of(";:");
    if (at == std::string::npos || at == 0)
        return false;
    const std::size_t dot = line.rfind('.', at - 1);
    const std::size_t nameAt = dot == std::string::npos ? 0 : dot + 1;
    content.name = upperAscii(line.substr(nameAt, at - nameAt));
    content.group = nameAt == 0 ? std::string() : upperAscii(line.substr(0, dot));
    return true;
}

bool readParametersAndValue(const std::string& line, std::size_t at, contentLine& content)
{
    while (at < line.size() && line[at] == ';') {
        const std::size_t nameEnd = line.find_first_of("=;:", ++at);
        if (nameEnd == std::string::npos)
            return false;
        const std::string name = upperAscii(line.substr(at, nameEnd - at));
        std::string value;
        at = nameEnd;
        if (line[at] == '=' && !readParameterValue(line, ++at, value))
            return false;
        keepParameter(name, std::move(value), content.parameters);
    }
    if (at >= line.size() || line[at] != ':')
        return false;
    content.value.assign(line, at + 1, std::string::npos);
    return true;
}

std::string decodedValue(const contentLine& content)
{
    return content.parameters.quotedPrintable ? decodeQuotedPrintable(content.value)
                                              : content.value;
}

std::string unescapeText(const std::string& text, bool listToSpaces)
{
    std::string plain;
    for (std::size_t at = 0; at < text.size(); ++at) {
        const char c = text[at];
        const char next = at + 1 < text.size() ? text[at + 1] : '\0';
        if (c == '\\' && (next == '\\' || next == ',' || next == ';' || next == 'n' || next == 'N')) {
            plain += next == 'n' || next == 'N' ? '\n' : next;
            ++at;
        } else {
            plain += c == ',' && listToSpaces ? ' ' : c;
        }
    }
    return plain;
}

std::size_t fieldEnd(const std::string& text, std::size_t from)
{
    for (std::size_t at = from; at < text.size(); ++at) {
        if (text[at] == '\\')
            ++at;
        else if (text[at] == ';')
            return at;
    }
    return text.size();
}

}  // namespace rondelo
