// The syntax of vCard files (RFC 6350 section 3, RFC 2426, vCard 2.1): lines, content lines and
// the parameters a card is read by, text values.
#pragma once

#include <cstddef>
#include <cstdio>
#include <optional>
#include <string>

namespace rondelo {

// The physical lines of a vCard file, one read ahead to see whether the next one folds into it.
// A line ends at LF, CR LF or a lone CR, as vCard parsers commonly accept.
struct vcardLines {
    std::FILE* file = nullptr;
    std::string ahead;
    bool hasAhead = false;
    long long number = 0;  // of the line in ahead
    int error = 0;         // the errno of a read that failed: no line is read after it
};

// The lines of file, the first read ahead and its byte-order mark dropped.
void startLines(vcardLines& lines, std::FILE* file);

// The next logical line into line, and the number of its first physical line: a line that
// begins with a space or a tab continues the one before, without that character. False at the
// end of the file or after a read error.
bool nextLogicalLine(vcardLines& lines, std::string& line, long long& number);

// The parameters a dated or named property is read by; any other is passed over.
struct lineParameters {
    std::string value;                    // VALUE, upper case
    std::string zone;                     // TZ
    std::string charset;                  // vCard 2.1's and 3.0's CHARSET, as written
    std::optional<std::string> omitYear;  // X-APPLE-OMIT-YEAR
    bool quotedPrintable = false;         // vCard 2.1's ENCODING=QUOTED-PRINTABLE
    std::string type;                     // every TYPE, upper case, each led by ','
};

// A content line, GROUP.NAME;PARAMETERS:VALUE, its group and name in upper case.
struct contentLine {
    std::string group;
    std::string name;
    lineParameters parameters;
    std::string value;
};

// Reads the group and the name of line, up to its first ';' or ':', into content; at is then
// where the parameters or the value begin. False for a line without a name before a ';' or ':'.
bool readContentName(const std::string& line, contentLine& content, std::size_t& at);

// Reads the parameters from line[at] on, and then the value after the ':', into content; false
// when a quote does not end or no ':' follows. Quotes around a parameter value are dropped.
bool readParametersAndValue(const std::string& line, std::size_t at, contentLine& content);

// The value as its encoding wrote it: quoted-printable decoded, where the line says so.
std::string decodedValue(const contentLine& content);

// A TEXT value: "\\", "\,", "\;" and "\n" or "\N" unescaped, any other backslash kept; with
// listToSpaces, the unescaped ',' between the items of a list are spaces.
std::string unescapeText(const std::string& text, bool listToSpaces);

// Where the field of a structured value (N's FAMILY;GIVEN;...) that starts at from ends: its
// unescaped ';', else the end of text.
std::size_t fieldEnd(const std::string& text, std::size_t from);

}  // namespace rondelo
