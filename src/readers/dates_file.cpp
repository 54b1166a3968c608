// Reads a file of references, tab- or comma-separated, with getline(3): one buffer for all lines.
#include "readers/dates_file.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string_view>

#include "diagnostics/messages.h"
#include "readers/input_file.h"
#include "readers/text_bytes.h"
#include "readers/when.h"

namespace rondelo {

namespace {

const std::string bothForms = "expected WHEN<TAB>NAME[<TAB>ZONE] or WHEN,NAME[,ZONE]";
const char* const fieldNames[] = {"WHEN", "NAME", "ZONE"};

// One field of a line: its text, blanks trimmed and quotes undone, and where the bytes it was
// read from (its quotes included) lie in the line, for messages.
struct lineField {
    std::string_view text;
    std::size_t at = 0;
    std::size_t length = 0;
};

// The fields of a line, WHEN, NAME and ZONE, as many as it has; a field's text lies in the line
// or, for a quoted field with doubled quotes, in undoubled.
struct lineFields {
    lineField field[3];
    std::size_t count = 0;
    bool tabs = false;  // separated by tabs, not commas
    std::string undoubled[3];
};

// True when the tab at line[tab] (npos: none) comes before any comma: the first tab or comma
// ends the WHEN, as no WHEN holds either, and chooses the separator of every field.
bool isTabSeparated(const std::string& line, std::size_t tab)
{
    return tab != std::string::npos && std::memchr(line.data(), ',', tab) == nullptr;
}

// A blank around a field: a space, and in the comma form also a tab.
bool isFieldBlank(char c, char separator)
{
    return c == ' ' || (c == '\t' && separator == ',');
}

lineField trimmed(const std::string& line, std::size_t begin, std::size_t end, char separator)
{
    while (begin < end && isFieldBlank(line[begin], separator))
        ++begin;
    while (end > begin && isFieldBlank(line[end - 1], separator))
        --end;
    return {std::string_view(line).substr(begin, end - begin), begin, end - begin};
}

// Splits line at its tabs, the first at line[tab].
std::optional<std::string> splitTabs(const std::string& line, std::size_t tab, lineFields& fields)
{
    for (std::size_t begin = 0, end = tab;; end = std::min(line.find('\t', begin), line.size())) {
        if (fields.count == 3)
            return "more than three fields: expected WHEN<TAB>NAME or WHEN<TAB>NAME<TAB>ZONE";
        fields.field[fields.count++] = trimmed(line, begin, end, '\t');
        if (end == line.size())
            return std::nullopt;
        begin = end + 1;
    }
}

// text with each doubled quote made one, into out.
void undouble(std::string_view text, std::string& out)
{
    for (std::size_t at = 0; at < text.size(); ++at) {
        out += text[at];
        if (text[at] == '"')
            ++at;
    }
}

// The quote that closes the one at line[open], past every doubled quote; npos when the line
// ends first.
std::size_t closingQuote(const std::string& line, std::size_t open)
{
    std::size_t close = line.find('"', open + 1);
    while (close != std::string::npos && close + 1 < line.size() && line[close + 1] == '"')
        close = line.find('"', close + 2);
    return close;
}

// Reads the quoted field that opens at line[at] into fields, and moves at past it and the
// blanks after it: onto the comma that ends it, or the end of the line.
std::optional<std::string> readQuoted(const std::string& line, std::size_t& at, lineFields& fields)
{
    const std::size_t open = at, close = closingQuote(line, open);
    const std::string name = fieldNames[fields.count];
    if (close == std::string::npos)
        return "the quote that opens " + name +
               " is not closed: a field cannot go on to the next line (one line is one reference)";
    lineField& field = fields.field[fields.count];
    field = {std::string_view(line).substr(open + 1, close - open - 1), open, close + 1 - open};
    if (field.text.find('"') != std::string_view::npos) {
        undouble(field.text, fields.undoubled[fields.count]);
        field.text = fields.undoubled[fields.count];
    }
    ++fields.count;
    at = close + 1;
    while (at < line.size() && isFieldBlank(line[at], ','))
        ++at;
    if (at < line.size() && line[at] != ',')
        return name + " goes on after its closing quote (a quote inside quotes is written \"\")";
    return std::nullopt;
}

std::optional<std::string> splitCommas(const std::string& line, lineFields& fields)
{
    for (std::size_t at = 0;; ++at) {
        if (fields.count == 3)
            return "more than three fields: expected WHEN,NAME or WHEN,NAME,ZONE";
        while (at < line.size() && isFieldBlank(line[at], ','))
            ++at;
        if (at < line.size() && line[at] == '"') {
            if (auto wrong = readQuoted(line, at, fields))
                return wrong;
        } else {
            const std::size_t end = std::min(line.find(',', at), line.size());
            fields.field[fields.count++] = trimmed(line, at, end, ',');
            at = end;
        }
        if (at == line.size())
            return std::nullopt;
    }
}

// Reads the name that field of line holds into ref; only in the comma form can it hold a tab.
std::optional<std::string> readName(const std::string& line, const lineField& field, bool tabs,
                                    reference& ref)
{
    ref.name.assign(field.text);
    if (ref.name.empty())
        return "the name is empty";
    const bool oneLine = ref.name.find('\n') == std::string::npos &&
                         (tabs || ref.name.find('\t') == std::string::npos);
    if (oneLine && isCalendarText(ref.name))
        return std::nullopt;
    const std::size_t bad = firstNonUtf8(line, field.at, field.length);
    if (bad != std::string::npos)
        return "the name is not UTF-8 at byte " + std::to_string(bad + 1) +
               " (a Latin-1 file? iconv -f latin1 -t utf-8)";
    return "the name must be UTF-8 text without control characters";
}

// True for a first line that names its columns: what comes before its first tab or comma
// holds no digit, as every WHEN does.
bool isHeader(const std::string& line)
{
    const auto end = line.begin() + static_cast<std::ptrdiff_t>(
                                        std::min(line.find_first_of("\t,"), line.size()));
    return std::none_of(line.begin(), end, isDigit);
}

// Reads WHEN into date and anchor. khard writes a birthday without a year as 1900.MM.DD: such a
// WHEN is a month and day alone (yearless), in yearlessYear, at midnight, whatever else it says.
std::optional<std::string> readWhen(const std::string& text, writtenDate& date, dateAnchor& anchor,
                                    bool& yearless)
{
    if (auto wrong = readAnchoredDate(text, true, date, anchor)) {
        if (!wrong->empty())
            return quoted(text) + *wrong;
        if (auto form = suggestedForm(text))
            return quoted(text) + " is not a date: " + *form;
        return quoted(text) + " is not a date (YYYY-MM-DD, YYYY-MM-DDTHH:MM[:SS] or YYYY.MM.DD)";
    }
    if (date.year < 1400)
        return "year " + std::to_string(date.year) + " is out of range (1400 to 9999)";
    yearless = date.year == 1900 && text[4] == '.';  // khard's 1900.MM.DD
    if (!yearless)
        return missingDay(date);
    date = {yearlessYear, date.month, date.day, 0};
    anchor = {};
    if (missingDay(date))
        return quoted(text) + " is no day of the calendar";
    return std::nullopt;
}

// An open file of references and where its reading stands.
struct datesFile {
    inputFile file;
    std::string shown;  // its name in messages
    referenceDefaults defaults;
    fileZones zones;
    std::unique_ptr<char, decltype(&std::free)> buffer{nullptr, &std::free};
    std::size_t capacity = 0;
    std::string line;
    long long number = 0;
    bool pastHeader = false;  // a line that is neither blank nor a comment was read
};

// The next line into f.line, without its line end; false at the end of the file or on an
// error, which ferror tells apart.
bool readLine(datesFile& f)
{
    char* data = f.buffer.release();
    errno = 0;
    const ssize_t length = getline(&data, &f.capacity, f.file.get());
    f.buffer.reset(data);
    if (length < 0 && errno == ENOMEM)  // a line longer than memory allows
        memoryExhausted();
    if (length < 0)
        return false;
    ++f.number;
    f.line.assign(data, static_cast<std::size_t>(length));
    if (!f.line.empty() && f.line.back() == '\n')
        f.line.pop_back();
    if (!f.line.empty() && f.line.back() == '\r')
        f.line.pop_back();
    if (f.number == 1)
        dropByteOrderMark(f.line);
    return true;
}

// Splits line into its fields.
std::optional<std::string> splitLine(const std::string& line, lineFields& fields)
{
    const std::size_t tab = line.find('\t');
    fields.tabs = isTabSeparated(line, tab);
    if (auto wrong = fields.tabs ? splitTabs(line, tab, fields) : splitCommas(line, fields))
        return wrong;
    if (fields.count < 2)
        return bothForms;
    return std::nullopt;
}

// Reads the fields of line into ref.
std::optional<std::string> readFields(const std::string& line, const lineFields& fields,
                                      const referenceDefaults& defaults, fileZones& zones,
                                      reference& ref)
{
    // The WHEN's text lives in ref.name until the name replaces it, so that no line allocates
    // for it: a WHEN with a time of day is too long for a string's own small buffer.
    ref.name.assign(fields.field[0].text);
    writtenDate date{};
    dateAnchor anchor;
    if (auto wrong = readWhen(ref.name, date, anchor, ref.yearless))
        return wrong;
    ref.kind = ref.yearless ? referenceKind::birthday : referenceKind::date;
    if (auto wrong = readName(line, fields.field[1], fields.tabs, ref))
        return wrong;
    if (fields.count == 3 && !fields.field[2].text.empty()) {
        if (auto wrong = findFileZone(std::string(fields.field[2].text), zones, ref))
            return wrong;
    } else {
        ref.zone = defaults.zone;
        ref.zoneName = defaults.zoneName;
    }
    if (auto wrong = placeDate(date, anchor, defaults.timeOfDay, zones, ref))
        return quoted(std::string(fields.field[0].text)) + *wrong;
    return std::nullopt;
}

readStep readNextReference(datesFile& f, reference& ref, std::string& problem)
{
    while (readLine(f)) {
        if (isBlank(f.line) || f.line[0] == '#')
            continue;
        const bool header = !f.pastHeader && isHeader(f.line);
        f.pastHeader = true;
        if (header)
            continue;
        if (auto wrong = readDateLine(f.line, f.defaults, f.zones, ref)) {
            problem = f.shown + ":" + std::to_string(f.number) + ": " + *wrong;
            return readStep::skipped;
        }
        return readStep::reference;
    }
    if (!std::ferror(f.file.get()))
        return readStep::end;
    problem = f.shown + ": " + std::strerror(errno);
    return readStep::failed;
}

// True when file is a regular file that is also the output: reading it would read back what
// the run appends, without end.
bool isOutput(std::FILE* file, int output)
{
    struct stat in {}, out {};
    return fstat(fileno(file), &in) == 0 && fstat(output, &out) == 0 && S_ISREG(in.st_mode) &&
           in.st_dev == out.st_dev && in.st_ino == out.st_ino;
}

}  // namespace

std::optional<std::string> readDateLine(const std::string& line, const referenceDefaults& defaults,
                                        fileZones& zones, reference& ref)
{
    lineFields fields;
    if (auto wrong = splitLine(line, fields))
        return wrong;
    return readFields(line, fields, defaults, zones, ref);
}

std::optional<referenceSource> openDatesFile(const std::string& path,
                                             const referenceDefaults& defaults, int output,
                                             std::string& problem)
{
    inputFile opened = openInput(path, problem);
    if (!opened)
        return std::nullopt;
    if (isOutput(opened.get(), output)) {
        problem = shownPath(path) + ": input file is output file";
        return std::nullopt;
    }
    auto f = std::make_shared<datesFile>(datesFile{
        std::move(opened), shownPath(path), defaults, {}, {nullptr, &std::free}, 0, {}, 0, false});
    return referenceSource(
        [f](reference& ref, std::string& wrong) { return readNextReference(*f, ref, wrong); });
}

}  // namespace rondelo
