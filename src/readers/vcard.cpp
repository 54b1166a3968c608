// Reads vCard files line by line, one card at a time, keeping only names, labels and dates.
#include "readers/vcard.h"

#include <algorithm>
#include <cstddef>
#include <filesystem>
#include <system_error>
#include <unordered_map>
#include <utility>

#include <absl/time/civil_time.h>

#include "diagnostics/messages.h"
#include "timeconv/epoch.h"

namespace rondelo {

namespace {

const std::string byteOrderMark = "\xEF\xBB\xBF";
const std::string appleAnniversary = "_$!<Anniversary>!$_";

std::string upper(std::string text)
{
    for (char& c : text)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return text;
}

std::string lower(std::string text)
{
    for (char& c : text)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return text;
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// The physical lines of a file, one read ahead to see whether the next one folds into it.
struct lineSource {
    std::istream& in;
    std::string ahead;
    bool hasAhead = false;
    long long number = 0;  // of the line in ahead
};

void readAhead(lineSource& source)
{
    source.hasAhead = static_cast<bool>(std::getline(source.in, source.ahead));
    if (!source.hasAhead)
        return;
    ++source.number;
    if (!source.ahead.empty() && source.ahead.back() == '\r')
        source.ahead.pop_back();
}

// The next logical line and the number of its first physical line: a line that begins with a
// space or a tab continues the one before, without that first character.
bool nextLogicalLine(lineSource& source, std::string& line, long long& number)
{
    if (!source.hasAhead)
        return false;
    line.swap(source.ahead);
    number = source.number;
    for (readAhead(source); source.hasAhead; readAhead(source)) {
        if (source.ahead.empty() || (source.ahead[0] != ' ' && source.ahead[0] != '\t'))
            break;
        line.append(source.ahead, 1, std::string::npos);
    }
    return true;
}

// The parameters a dated or named property is read by; any other is passed over.
struct lineParameters {
    std::string value;  // VALUE, upper case
    std::string zone;   // TZ
    std::optional<std::string> omitYear;  // X-APPLE-OMIT-YEAR
    bool quotedPrintable = false;         // vCard 2.1's ENCODING=QUOTED-PRINTABLE
};

// A content line, GROUP.NAME;PARAMETERS:VALUE, its group and name in upper case.
struct contentLine {
    std::string group;
    std::string name;
    lineParameters parameters;
    std::string value;
};

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
        parameters.value = upper(std::move(value));
    else if (name == "TZ")
        parameters.zone = std::move(value);
    else if (name == "X-APPLE-OMIT-YEAR")
        parameters.omitYear = std::move(value);
    else if (name == "QUOTED-PRINTABLE" || (name == "ENCODING" && upper(value) == "QUOTED-PRINTABLE"))
        parameters.quotedPrintable = true;
}

// The parameters from line[at] on, and then the value after the ':'; false when a quote does
// not end or no ':' follows.
bool readParametersAndValue(const std::string& line, std::size_t at, contentLine& content)
{
    while (at < line.size() && line[at] == ';') {
        const std::size_t nameEnd = line.find_first_of("=;:", ++at);
        if (nameEnd == std::string::npos)
            return false;
        const std::string name = upper(line.substr(at, nameEnd - at));
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

// The group and the name, up to the first ';' or ':'; false for a line without either.
bool readName(const std::string& line, contentLine& content, std::size_t& at)
{
    at = line.find_first_of(";:");
    if (at == std::string::npos || at == 0)
        return false;
    const std::size_t dot = line.rfind('.', at - 1);
    const std::size_t nameAt = dot == std::string::npos ? 0 : dot + 1;
    content.name = upper(line.substr(nameAt, at - nameAt));
    content.group = nameAt == 0 ? std::string() : upper(line.substr(0, dot));
    return true;
}

// A TEXT value: "\\", "\,", "\;" and "\n" or "\N" unescaped, any other backslash kept; with
// listToSpaces, the unescaped ',' between the items of a list are spaces.
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

// Where the field of a structured value that starts at from ends: its unescaped ';', else the end.
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

// N's given names and then its family names, as a person writes them: FAMILY;GIVEN;...
std::string nameOfN(const std::string& value)
{
    const std::size_t familyEnd = fieldEnd(value, 0);
    const std::size_t givenAt = std::min(familyEnd + 1, value.size());
    const std::string family = unescapeText(value.substr(0, familyEnd), true);
    const std::string given =
        unescapeText(value.substr(givenAt, fieldEnd(value, givenAt) - givenAt), true);
    return given.empty() || family.empty() ? given + family : given + " " + family;
}

// Two digits at text[at], advancing at; false when there are none.
bool readTwoDigits(const std::string& text, std::size_t& at, int& value)
{
    if (at + 2 > text.size() || !isDigit(text[at]) || !isDigit(text[at + 1]))
        return false;
    value = (text[at] - '0') * 10 + (text[at + 1] - '0');
    at += 2;
    return true;
}

// An optional ':' of the extended format, then two digits; false when the digits are missing.
bool readClockField(const std::string& text, std::size_t& at, int& value)
{
    const std::size_t from = at;
    if (at < text.size() && text[at] == ':')
        ++at;
    if (readTwoDigits(text, at, value))
        return true;
    at = from;
    return false;
}

// Z, or +HH, +HHMM or +HH:MM (or with '-') into seconds east of UTC, from text[at] to its end.
bool readOffset(const std::string& text, std::size_t at, long long& offset)
{
    if (text.size() == at + 1 && (text[at] == 'Z' || text[at] == 'z')) {
        offset = 0;
        return true;
    }
    if (at >= text.size() || (text[at] != '+' && text[at] != '-'))
        return false;
    const long long sign = text[at] == '-' ? -1 : 1;
    int hours = 0, minutes = 0;
    if (!readTwoDigits(text, ++at, hours) || hours > 23)
        return false;
    if (at < text.size() && (!readClockField(text, at, minutes) || minutes > 59 || at != text.size()))
        return false;
    offset = sign * (hours * 3600LL + minutes * 60);
    return true;
}

// HH, HHMM, HHMMSS or HH:MM[:SS], a fraction of a second dropped, then an optional zone, from
// text[at] to its end.
bool readTime(const std::string& text, std::size_t at, contactWhen& when,
              std::optional<long long>& offset)
{
    int hour = 0, minute = 0, second = 0;
    if (!readTwoDigits(text, at, hour) || hour > 23)
        return false;
    if (readClockField(text, at, minute) && readClockField(text, at, second) && at < text.size() &&
        (text[at] == '.' || text[at] == ',') && at + 1 < text.size() && isDigit(text[at + 1]))
        for (++at; at < text.size() && isDigit(text[at]);)
            ++at;
    if (minute > 59 || second > 59)
        return false;
    when.timeOfDay = hour * 3600LL + minute * 60 + second;
    long long east = 0;
    if (at == text.size())
        return true;
    if (!readOffset(text, at, east))
        return false;
    offset = east;
    return true;
}

// A date written without its year, month or day, or a time without a date: --MMDD,
// --MM-DD, ---DD, YYYY, YYYY-MM, THHMM...
bool isPartialDate(const std::string& text)
{
    const bool year = text.size() >= 4 && std::all_of(text.begin(), text.begin() + 4, isDigit);
    const bool yearMonth =
        text.size() == 7 && year && text[4] == '-' && isDigit(text[5]) && isDigit(text[6]);
    return text.compare(0, 2, "--") == 0 || (year && text.size() == 4) || yearMonth ||
           (!text.empty() && (text[0] == 'T' || text[0] == 't'));
}

// YYYYMMDD or YYYY-MM-DD, then optionally T and a time, read into when; false for other text.
bool readDateText(const std::string& text, contactWhen& when, std::optional<long long>& offset)
{
    std::size_t at = 0;
    int century = 0, year = 0;
    const bool extended = text.size() > 4 && text[4] == '-';
    if (!readTwoDigits(text, at, century) || !readTwoDigits(text, at, year))
        return false;
    at += extended ? 1 : 0;
    if (!readTwoDigits(text, at, when.month) ||
        (extended && (at >= text.size() || text[at++] != '-')) || !readTwoDigits(text, at, when.day))
        return false;
    when.year = century * 100 + year;
    if (at == text.size())
        return true;
    return (text[at] == 'T' || text[at] == 't') && readTime(text, at + 1, when, offset);
}

// A full date into when; what is wrong with it otherwise.
std::optional<std::string> readFullDate(const std::string& text, contactWhen& when)
{
    std::optional<long long> offset;
    when = contactWhen{};
    if (!readDateText(text, when, offset))
        return std::string("is not a date (YYYYMMDD or YYYY-MM-DD, then THHMMSS and Z or an offset)");
    if (when.year < 1400)
        return "is in year " + std::to_string(when.year) + ", out of range (1400 to 9999)";
    const absl::CivilDay day(when.year, when.month, when.day);  // runs over a missing day
    if (when.month < 1 || when.month > 12 || when.day < 1 || day.month() != when.month)
        return std::string("is no day of the calendar");
    if (!offset)
        return std::nullopt;
    const long long midnight = (day - absl::CivilDay(1970, 1, 1)) * 86400LL;
    when.instant = midnight + *when.timeOfDay - *offset;
    if (!isCalendarSecond(*when.instant))
        return std::string("is an instant out of range (years 1400 to 9999 in UTC)");
    return std::nullopt;
}

// A value as a message may show it: printable ASCII of a reasonable length, else nothing.
std::string shownValue(const std::string& value)
{
    const bool printable =
        std::all_of(value.begin(), value.end(), [](char c) { return c >= 0x20 && c < 0x7F; });
    return printable && value.size() <= 40 ? " '" + value + "'" : std::string();
}

// A dated line as it was read, before the card's labels are known.
struct pendingDate {
    contactDate date;
    bool abDate = false;// X-ABDATE: its kind and label come from its group's X-ABLabel
    std::string group;
};

// A card between its BEGIN and its END.
struct cardInProgress {
    contactCard card;
    int nested = 0;                      // components open inside it
    std::optional<std::string> fullName; // the first FN
    std::optional<std::string> nName;    // the first N
    long long nameLine = 0;              // of the name used
    long long fullNameLine = 0;
    std::vector<pendingDate> dates;
    std::unordered_map<std::string, std::string> labels;  // X-ABLabel by group, the first
    std::optional<std::string> wrong;    // LINE: the first thing that skips it
};

std::optional<referenceKind> kindOf(const std::string& name)
{
    if (name == "BDAY")
        return referenceKind::birthday;
    if (name == "ANNIVERSARY" || name == "X-ANNIVERSARY")
        return referenceKind::anniversary;
    if (name == "X-ABDATE")
        return referenceKind::other;
    if (name == "DEATHDATE")
        return referenceKind::death;
    return std::nullopt;
}

bool isPartialValue(const contentLine& content)
{
    const std::string& type = content.parameters.value;
    const bool dated = type.empty() || type == "DATE" || type == "DATE-TIME" ||
                       type == "DATE-AND-OR-TIME" || type == "TIMESTAMP";
    const std::optional<std::string>& omitYear = content.parameters.omitYear;
    const bool omitted = omitYear && !omitYear->empty() &&
                         content.value.compare(0, omitYear->size(), *omitYear) == 0;
    return !dated || omitted || isPartialDate(content.value);
}

void readDatedLine(cardInProgress& card, const contentLine& content, referenceKind kind,
                   long long number)
{
    if (isPartialValue(content))
        return;
    pendingDate& pending = card.dates.emplace_back();
    pending.date.kind = kind;
    pending.date.zoneName = content.parameters.zone;
    pending.date.line = number;
    pending.abDate = content.name == "X-ABDATE";
    pending.group = content.group;
    if (auto wrong = readFullDate(content.value, pending.date.when)) {
        card.dates.pop_back();
        if (!card.wrong)
            card.wrong = std::to_string(number) + ": " + content.name + shownValue(content.value) +
                         " " + *wrong;
    }
}

std::string textValue(const contentLine& content, bool listToSpaces)
{
    const std::string& raw = content.value;
    return unescapeText(content.parameters.quotedPrintable ? decodeQuotedPrintable(raw) : raw,
                        listToSpaces);
}

void readCardProperty(cardInProgress& card, const contentLine& content, long long number)
{
    if (const std::optional<referenceKind> kind = kindOf(content.name))
        readDatedLine(card, content, *kind, number);
    else if (content.name == "FN" && !card.fullName) {
        card.fullName = textValue(content, false);
        card.fullNameLine = number;
    } else if (content.name == "N" && !card.nName) {
        const std::string& raw = content.value;
        card.nName = nameOfN(content.parameters.quotedPrintable ? decodeQuotedPrintable(raw) : raw);
        card.nameLine = number;
    } else if (content.name == "X-ABLABEL") {
        card.labels.emplace(content.group, textValue(content, false));
    }
}

bool isText(const std::string& text)
{
    return isCalendarText(text) && text.find('\n') == std::string::npos;
}

// The label an X-ABDATE shows: Apple's own _$!<Word>!$_ as "word", "other" when it has none.
std::string shownLabel(const std::string& label)
{
    const bool apple = label.size() > 8 && label.compare(0, 4, "_$!<") == 0 &&
                       label.compare(label.size() - 4, 4, ">!$_") == 0;
    if (label.empty())
        return "other";
    return apple ? lower(label.substr(4, label.size() - 8)) : label;
}

// Gives an X-ABDATE its kind and label; what is wrong with the label, if anything.
std::optional<std::string> labelDate(cardInProgress& card, pendingDate& pending,
                                     std::unordered_map<std::string, std::size_t>& labelAt)
{
    static const std::string none;
    const auto label = pending.group.empty() ? card.labels.end() : card.labels.find(pending.group);
    const std::string& written = label == card.labels.end() ? none : label->second;
    if (written == appleAnniversary) {
        pending.date.kind = referenceKind::anniversary;
        return std::nullopt;
    }
    auto known = labelAt.find(pending.group);
    if (known == labelAt.end()) {
        if (!isText(written))
            return std::to_string(pending.date.line) +
                   ": the label of X-ABDATE must be UTF-8 text without control characters";
        known = labelAt.emplace(pending.group, card.card.labels.size()).first;
        card.card.labels.push_back(shownLabel(written));
    }
    pending.date.label = known->second;
    return std::nullopt;
}

// The card's name, from FN or else from N; what is wrong with it, if anything.
std::optional<std::string> nameCard(cardInProgress& card)
{
    const bool full = card.fullName && !card.fullName->empty();
    card.card.name = full ? *card.fullName : card.nName.value_or(std::string());
    const long long line = full ? card.fullNameLine : card.nameLine;
    if (card.card.name.empty())
        return std::to_string(card.card.line) + ": the card has no name (FN or N)";
    if (!isText(card.card.name))
        return std::to_string(line) + ": the name must be UTF-8 text without control characters";
    return std::nullopt;
}

// The card as read at its END; what is wrong with it, if anything.
std::optional<std::string> finishCard(cardInProgress& card)
{
    if (card.wrong || card.dates.empty())
        return card.wrong;
    if (auto wrong = nameCard(card))
        return wrong;
    std::unordered_map<std::string, std::size_t> labelAt;
    for (pendingDate& pending : card.dates) {
        if (pending.abDate)
            if (auto wrong = labelDate(card, pending, labelAt))
                return wrong;
        if (pending.date.kind == referenceKind::death && !card.card.death)
            card.card.death = pending.date.when;
        card.card.dates.push_back(std::move(pending.date));
    }
    return std::nullopt;
}

// What the reading of one file keeps from line to line.
struct fileState {
    contactFile file;
    std::string fileName;
    std::optional<cardInProgress> card;
    bool strayReported = false;
};

void endCard(fileState& state)
{
    if (auto wrong = finishCard(*state.card))
        state.file.errors.push_back(state.fileName + ":" + *wrong);
    else if (!state.card->card.dates.empty())
        state.file.cards.push_back(std::move(state.card->card));
    state.card.reset();
}

void readCardLine(fileState& state, const contentLine& content, long long number)
{
    cardInProgress& card = *state.card;
    if (content.name == "BEGIN")
        ++card.nested;
    else if (content.name == "END" && card.nested == 0)
        endCard(state);
    else if (content.name == "END")
        --card.nested;
    else if (card.nested == 0)
        readCardProperty(card, content, number);
}

bool isBlank(const std::string& line)
{
    return line.find_first_not_of(" \t") == std::string::npos;
}

void readLine(fileState& state, const std::string& line, long long number)
{
    contentLine content;
    std::size_t at = 0;
    const bool named = readName(line, content, at);
    const std::string& name = content.name;
    const bool wanted = named && (name == "BEGIN" || name == "END" || name == "FN" || name == "N" ||
                                  name == "X-ABLABEL" || kindOf(name));
    const bool read = wanted && readParametersAndValue(line, at, content);
    if (state.card && read)
        readCardLine(state, content, number);
    else if (state.card && wanted && kindOf(name) && !state.card->wrong && !state.card->nested)
        state.card->wrong = std::to_string(number) + ": " + name + " is no NAME;PARAMETERS:VALUE line";
    else if (!state.card && read && name == "BEGIN" && upper(content.value) == "VCARD")
        state.card.emplace().card.line = number;
    else if (!state.card && !isBlank(line) && !state.strayReported) {
        state.file.errors.push_back(state.fileName + ":" + std::to_string(number) +
                                    ": text outside a card (BEGIN:VCARD to END:VCARD)");
        state.strayReported = true;
    }
}

}  // namespace

contactFile readContacts(std::istream& in, const std::string& fileName)
{
    fileState state{{}, fileName, std::nullopt, false};
    lineSource source{in, {}, false, 0};
    readAhead(source);
    if (source.ahead.compare(0, byteOrderMark.size(), byteOrderMark) == 0)
        source.ahead.erase(0, byteOrderMark.size());
    std::string line;
    long long number = 0;
    while (nextLogicalLine(source, line, number))
        readLine(state, line, number);
    if (state.card)
        state.file.errors.push_back(fileName + ":" + std::to_string(state.card->card.line) +
                                    ": the card has no END:VCARD");
    return std::move(state.file);
}


std::vector<std::string> listContactFiles(const std::string& directory,
                                          std::vector<contactFileProblem>& problems)
{
    namespace fs = std::filesystem;
    std::vector<std::string> names;
    std::error_code error;
    for (fs::directory_iterator entry(directory, error); !error && entry != fs::directory_iterator();
         entry.increment(error)) {
        const std::string name = entry->path().filename().string();
        if (name[0] != '.' && name.size() > 4 && name.compare(name.size() - 4, 4, ".vcf") == 0)
            names.push_back(name);
    }
    if (error)
        problems.push_back({directory, error.message()});
    std::sort(names.begin(), names.end());
    std::vector<std::string> paths;
    const std::string prefix =
        directory.empty() || directory.back() == '/' ? directory : directory + "/";
    for (const std::string& name : names) {
        if (fs::is_regular_file(prefix + name, error))
            paths.push_back(prefix + name);
        else
            problems.push_back({prefix + name, error ? error.message() : "not a regular file"});
    }
    return paths;
}

}  // namespace rondelo
