// Reads dates, times of day and WHENs digit by digit: nothing but the documented forms passes.
#include "readers/when.h"

#include <algorithm>
#include <cstdio>
#include <iterator>  // for back_inserter
#include <vector>

#include <absl/time/civil_time.h>

#include "diagnostics/messages.h"
#include "events/reference.h"  // for yearlessYear
#include "readers/text_bytes.h"
#include "timeconv/epoch.h"
#include "timeconv/zone.h"

namespace rondelo {

namespace {

// Exactly width decimal digits at text[at], moving at past them.
bool readDigits(const std::string& text, std::size_t& at, int width, int& value)
{
    value = 0;
    for (int i = 0; i < width; ++i, ++at) {
        if (at >= text.size() || text[at] < '0' || text[at] > '9')
            return false;
        value = value * 10 + (text[at] - '0');
    }
    return true;
}

bool readSeparator(const std::string& text, std::size_t& at, char separator)
{
    return at < text.size() && text[at++] == separator;
}

// The wall-clock reading count calendar units after start; a day that the target month lacks
// runs over into the next month, as month anniversaries do by default.
wallClockReading addSpan(wallClockReading start, long long count, spanUnit unit)
{
    const absl::CivilSecond t = civilOf(start);
    const absl::CivilDay day(t);
    const long long timeOfDay = t - absl::CivilSecond(day);
    switch (unit) {
    case spanUnit::days:
        return daysAfter(start, count);
    case spanUnit::weeks:
        return daysAfter(start, 7 * count);
    case spanUnit::months:
        return readingOf(monthsLater(day, count, monthEnd::overflow), timeOfDay);
    default:
        return readingOf(monthsLater(day, 12 * count, monthEnd::overflow), timeOfDay);
    }
}

// +N or -N, N of at most six digits, and a unit up to minutes.
std::optional<std::string> readSpan(const std::string& text, whenSpec& when)
{
    if (text.empty() || (text[0] != '+' && text[0] != '-'))
        return std::string();
    countedSpan span{};
    if (auto wrong = readCountedSpan(text.substr(1), {6, unitBit(spanUnit::seconds) - 1}, span))
        return wrong;
    when = {whenSpec::span, text[0] == '-' ? -span.count : span.count, span.unit};
    return std::nullopt;
}

// "1990-05-17".
std::string dateText(const writtenDate& date)
{
    char text[16];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", date.year, date.month, date.day);
    return text;
}

}  // namespace

bool readClock(const std::string& text, std::size_t at, bool twoDigitHour, long long& seconds)
{
    const int hourWidth = !twoDigitHour && text.size() > at + 1 && text[at + 1] == ':' ? 1 : 2;
    int hour = 0, minute = 0, second = 0;
    if (!readDigits(text, at, hourWidth, hour) || !readSeparator(text, at, ':') ||
        !readDigits(text, at, 2, minute))
        return false;
    if (at < text.size() && (!readSeparator(text, at, ':') || !readDigits(text, at, 2, second)))
        return false;
    seconds = hour * 3600LL + minute * 60 + second;
    return at == text.size() && hour < 24 && minute < 60 && second < 60;
}

bool readWrittenDate(const std::string& text, bool dotted, writtenDate& date)
{
    std::size_t at = 0;
    const char separator = dotted && text.size() > 4 && text[4] == '.' ? '.' : '-';
    if (!readDigits(text, at, 4, date.year) || !readSeparator(text, at, separator) ||
        !readDigits(text, at, 2, date.month) || !readSeparator(text, at, separator) ||
        !readDigits(text, at, 2, date.day))
        return false;
    date.timeOfDay.reset();
    if (at == text.size())
        return true;
    long long clock = 0;
    if (separator != '-' || !readSeparator(text, at, 'T') || !readClock(text, at, true, clock))
        return false;
    date.timeOfDay = clock;
    return true;
}

std::optional<std::string> missingDay(const writtenDate& date)
{
    static const char* const monthNames[] = {"January", "February", "March", "April",
                                             "May", "June", "July", "August",
                                             "September", "October", "November", "December"};
    if (date.month < 1 || date.month > 12)
        return "month " + std::to_string(date.month) + " is out of range (1 to 12)";
    if (isDayOfCalendar(date.year, date.month, date.day))
        return std::nullopt;
    const int length = (absl::CivilDay(date.year, date.month + 1, 1) - 1).day();
    return dateText(date) + " does not exist (" + monthNames[date.month - 1] + " " +
           std::to_string(date.year) + " has " + std::to_string(length) + " days)";
}

absl::CivilSecond wallClockOf(const writtenDate& date, long long timeOfDay)
{
    const long long second = date.timeOfDay.value_or(timeOfDay);  // [0, 86399]
    return absl::CivilSecond(date.year, date.month, date.day, static_cast<int>(second / 3600),
                             static_cast<int>(second / 60 % 60), static_cast<int>(second % 60));
}

std::optional<std::string> readWhen(const std::string& text, whenSpec& when)
{
    static const char* const days[] = {"yesterday", "today", "tomorrow"};
    for (int offset = -1; offset <= 1; ++offset)
        if (text == days[offset + 1]) {
            when = {whenSpec::day, offset};
            return std::nullopt;
        }
    if (text == "now") {
        when = {whenSpec::now, 0};
        return std::nullopt;
    }
    writtenDate date{};
    if (!readWrittenDate(text, false, date))
        return readSpan(text, when);
    if (auto wrong = missingDay(date))
        return wrong;
    when = {whenSpec::wallClock, readingOf(wallClockOf(date, 0)).seconds};
    return std::nullopt;
}

unixInstant resolveWhen(const whenSpec& when, const absl::TimeZone& zone, unixInstant now)
{
    const wallClockReading start = unixTime2WallClock(zone, now);
    switch (when.kind) {
    case whenSpec::now:
        return now;
    case whenSpec::day:
        return wallClock2UnixTime(zone, readingOf(absl::CivilDay(civilOf(start)) + when.value));
    case whenSpec::wallClock:
        return wallClock2UnixTime(zone, wallClockReading{when.value});
    default:
        if (when.unit == spanUnit::hours || when.unit == spanUnit::minutes)
            return {now.seconds + when.value * (when.unit == spanUnit::hours ? 3600 : 60)};
        return wallClock2UnixTime(zone, addSpan(start, when.value, when.unit));
    }
}

namespace {

// A run of digits or of letters in a date written another way.
struct dateToken {
    std::string text;
    bool digits;
};

bool isLetter(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// text as runs of digits and of letters, and the separators between them (blanks, commas,
// dots, slashes, dashes); false for text with any other character, or a dash that may be a
// sign.
bool tokenize(const std::string& text, std::vector<dateToken>& tokens, std::string& separators)
{
    if (text.empty() || text[0] == '-' || text.find("--") != std::string::npos ||
        text.find(" -") != std::string::npos)
        return false;
    for (std::size_t at = 0; at < text.size();) {
        const bool digits = isDigit(text[at]);
        std::size_t end = at;
        while (end < text.size() && (digits ? isDigit(text[end]) : isLetter(text[end])))
            ++end;
        if (end == at && std::string(" ,./-").find(text[at]) == std::string::npos)
            return false;
        if (end == at)
            separators += text[at++];
        else
            tokens.push_back({text.substr(at, end - at), digits});
        at = std::max(at, end);
    }
    return true;
}

// The month an English month name or its abbreviation names (May, sep, Sept, DECEMBER), or 0.
int monthNamed(const std::string& word)
{
    static const char* const names[] = {"january", "february", "march", "april", "may", "june",
                                        "july", "august", "september", "october", "november",
                                        "december"};
    const std::string lower = lowerAscii(word);
    for (int month = 1; month <= 12; ++month) {
        const std::string name = names[month - 1];
        if (lower == name || lower == name.substr(0, 3) || (month == 9 && lower == "sept"))
            return month;
    }
    return 0;
}

int number(const dateToken& token)
{
    return std::stoi(token.text);
}

// The day, month and year of three tokens, a month name among them: the year has four digits,
// the day one or two.
std::vector<writtenDate> namedMonthReadings(const std::vector<dateToken>& t)
{
    const auto isNumber = [](const dateToken& k) { return k.digits; };
    const auto named = std::find_if_not(t.begin(), t.end(), isNumber);
    const int month = named != t.end() ? monthNamed(named->text) : 0;
    std::vector<dateToken> numbers;
    std::copy_if(t.begin(), t.end(), std::back_inserter(numbers), isNumber);
    if (month == 0 || numbers.size() != 2)
        return {};
    const bool yearFirst = numbers[0].text.size() == 4;
    const dateToken& year = numbers[yearFirst ? 0 : 1];
    const dateToken& day = numbers[yearFirst ? 1 : 0];
    if (year.text.size() != 4 || day.text.size() > 2)
        return {};
    return {{number(year), month, number(day), std::nullopt}};
}

// The readings of a date written another way, those the calendar has, the day first where two
// differ: YYYYMMDD; Y M D; D.M.Y with dots; D/M/Y and M/D/Y otherwise; a month by its name.
std::vector<writtenDate> readingsOf(const std::string& text)
{
    std::vector<dateToken> t;
    std::string separators;
    std::vector<writtenDate> readings;
    if (!tokenize(text, t, separators))
        return {};
    const auto width = [&](std::size_t i, std::size_t low, std::size_t high) {
        return t[i].digits && t[i].text.size() >= low && t[i].text.size() <= high;
    };
    if (t.size() == 1 && width(0, 8, 8))
        readings = {{std::stoi(t[0].text.substr(0, 4)), std::stoi(t[0].text.substr(4, 2)),
                     std::stoi(t[0].text.substr(6)), std::nullopt}};
    else if (t.size() == 3 && width(0, 4, 4) && width(1, 1, 2) && width(2, 1, 2))
        readings = {{number(t[0]), number(t[1]), number(t[2]), std::nullopt}};
    else if (t.size() == 3 && width(0, 1, 2) && width(1, 1, 2) && width(2, 4, 4)) {
        readings = {{number(t[2]), number(t[1]), number(t[0]), std::nullopt}};
        if (separators.find('.') == std::string::npos)
            readings.push_back({number(t[2]), number(t[0]), number(t[1]), std::nullopt});
    } else if (t.size() == 3)
        readings = namedMonthReadings(t);
    readings.erase(std::remove_if(readings.begin(), readings.end(), [](const writtenDate& d) {
                       return d.year < 1400 || missingDay(d);
                   }), readings.end());
    if (readings.size() == 2 && readings[0].month == readings[1].month)
        readings.pop_back();  // 05/05/1990
    return readings;
}

// "14:30", or "14:30:05" when the seconds are not 0.
std::string clockText(long long seconds)
{
    char text[48];
    std::snprintf(text, sizeof text, seconds % 60 != 0 ? "%02lld:%02lld:%02lld" : "%02lld:%02lld",
                  seconds / 3600, seconds / 60 % 60, seconds % 60);
    return text;
}

// "1990-05-17 14:30" as one word, when the day has one reading.
std::optional<std::string> suggestedDateAndClock(const std::string& day, long long clock)
{
    writtenDate date{};
    std::vector<writtenDate> readings;
    if (readWrittenDate(day, false, date) && !date.timeOfDay && !missingDay(date))
        readings = {date};
    else
        readings = readingsOf(day);
    if (readings.size() != 1)
        return std::nullopt;
    return "write " + dateText(readings[0]) + "T" + clockText(clock);
}

}  // namespace

std::optional<std::string> suggestedForm(const std::string& text)
{
    const std::size_t blank = text.find_last_of(' ');
    long long clock = 0;
    if (blank != std::string::npos && readClock(text, blank + 1, false, clock))
        return suggestedDateAndClock(text.substr(0, blank), clock);
    writtenDate yearless{};
    if (readWrittenDate(text, true, yearless) && yearless.year == 1900 && text[4] == '.')
        return std::string("this is khard's day without a year, which a date word cannot be: give "
                           "its year, or put it in a file of dates and use --every=1y");
    const std::vector<writtenDate> readings = readingsOf(text);
    if (readings.size() == 2)
        return "write " + dateText(readings[0]) + " or " + dateText(readings[1]);
    if (readings.size() == 1)
        return "write " + dateText(readings[0]);
    int day = 0, month = 0, year = 0;
    char end = 0;
    if (std::sscanf(text.c_str(), "%2d/%2d/%4d%c", &day, &month, &year, &end) == 3 ||
        std::sscanf(text.c_str(), "%2d.%2d.%4d%c", &day, &month, &year, &end) == 3)
        return std::string("write YYYY-MM-DD");
    return std::nullopt;
}

namespace {

// An optional ':' of the extended format, then two digits; false, and at as it was, when the
// digits are missing.
bool readClockField(const std::string& text, std::size_t& at, int& value)
{
    const std::size_t from = at;
    if (at < text.size() && text[at] == ':')
        ++at;
    if (readDigits(text, at, 2, value))
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
    if (!readDigits(text, ++at, 2, hours) || hours > 23)
        return false;
    if (at < text.size() && (!readClockField(text, at, minutes) || minutes > 59 || at != text.size()))
        return false;
    offset = sign * (hours * 3600LL + minutes * 60);
    return true;
}

// HH, HHMM, HHMMSS or HH:MM[:SS], a fraction of a second dropped, then an optional offset,
// from text[at] to its end.
bool readIsoTime(const std::string& text, std::size_t at, writtenDate& date,
                 std::optional<long long>& offset)
{
    int hour = 0, minute = 0, second = 0;
    if (!readDigits(text, at, 2, hour) || hour > 23)
        return false;
    if (readClockField(text, at, minute) && readClockField(text, at, second) && at < text.size() &&
        (text[at] == '.' || text[at] == ',') && at + 1 < text.size() && isDigit(text[at + 1]))
        for (++at; at < text.size() && isDigit(text[at]);)
            ++at;
    if (minute > 59 || second > 59)
        return false;
    date.timeOfDay = hour * 3600LL + minute * 60 + second;
    long long east = 0;
    if (at == text.size())
        return true;
    if (!readOffset(text, at, east))
        return false;
    offset = east;
    return true;
}

// YYYYMMDD or YYYY-MM-DD, then optionally T and a time, into date; false for other text.
bool readIsoText(const std::string& text, writtenDate& date, std::optional<long long>& offset)
{
    std::size_t at = 0;
    const bool extended = text.size() > 4 && text[4] == '-';
    if (!readDigits(text, at, 4, date.year))
        return false;
    at += extended ? 1 : 0;
    if (!readDigits(text, at, 2, date.month) ||
        (extended && (at >= text.size() || text[at++] != '-')) || !readDigits(text, at, 2, date.day))
        return false;
    if (at == text.size())
        return true;
    return (text[at] == 'T' || text[at] == 't') && readIsoTime(text, at + 1, date, offset);
}

}  // namespace

bool isPartialIsoDate(const std::string& text)
{
    const bool year = text.size() >= 4 && std::all_of(text.begin(), text.begin() + 4, isDigit);
    const bool yearMonth =
        text.size() == 7 && year && text[4] == '-' && isDigit(text[5]) && isDigit(text[6]);
    return text.compare(0, 2, "--") == 0 || (year && text.size() == 4) || yearMonth ||
           (!text.empty() && (text[0] == 'T' || text[0] == 't'));
}

yearlessDate readYearlessDate(const std::string& text, const std::string& omittedYear,
                              writtenDate& date)
{
    std::size_t at = 0;
    if (text.compare(0, 2, "--") == 0)
        at = 2;
    else if (!omittedYear.empty() && text.compare(0, omittedYear.size(), omittedYear) == 0)
        at = omittedYear.size() + (text.compare(omittedYear.size(), 1, "-") == 0 ? 1 : 0);
    else
        return yearlessDate::none;
    const bool extended = text.size() == at + 5 && text[at + 2] == '-';
    date = {yearlessYear, 0, 0, std::nullopt};
    if ((text.size() != at + 4 && !extended) || !readDigits(text, at, 2, date.month))
        return yearlessDate::none;
    at += extended ? 1 : 0;
    if (!readDigits(text, at, 2, date.day))
        return yearlessDate::none;
    return isDayOfCalendar(date.year, date.month, date.day) ? yearlessDate::read
                                                            : yearlessDate::noDay;
}

std::optional<std::string> readIsoDateTime(const std::string& text, isoDateTime& when)
{
    std::optional<long long> offset;
    when = isoDateTime{};
    writtenDate& date = when.date;
    if (!readIsoText(text, date, offset))
        return std::string("is not a date (YYYYMMDD or YYYY-MM-DD, then THHMMSS and Z or an offset)");
    if (date.year < 1400)
        return "is in year " + std::to_string(date.year) + ", out of range (1400 to 9999)";
    if (!isDayOfCalendar(date.year, date.month, date.day))
        return std::string("is no day of the calendar");
    if (!offset)
        return std::nullopt;
    when.instant = unixInstant{readingOf(wallClockOf(date, 0)).seconds - *offset};
    if (!isCalendarSecond(when.instant->seconds))
        return std::string("is an instant out of range (years 1400 to 9999 in UTC)");
    return std::nullopt;
}

namespace {

// Reads the bracketed suffixes at text[at] on into anchor: the zone first, then tags.
std::optional<std::string> readSuffixes(const std::string& text, std::size_t at, dateAnchor& anchor)
{
    for (bool first = true; at < text.size(); first = false) {
        const std::size_t close = text.find(']', at);
        if (text[at] != '[' || close == std::string::npos)
            return std::string();
        const bool critical = text[at + 1] == '!';
        const std::string inside = text.substr(at + 1 + critical, close - at - 1 - critical);
        at = close + 1;
        if (inside.empty() || inside.find('[') != std::string::npos)
            return std::string();
        if (inside.find('=') == std::string::npos && first)
            anchor.zone = inside;
        else if (inside.find('=') == std::string::npos)
            return std::string(": a date names one zone, in the first brackets");
        else if (critical)
            return ": rondelo cannot follow the critical tag [!" + inside + "]";
    }
    return std::nullopt;
}

// The offset of a zone in brackets that is one, as [+02:00].
std::optional<long long> bracketOffset(const std::string& zone)
{
    long long offset = 0;
    if (zone.empty() || (zone[0] != '+' && zone[0] != '-') || !readOffset(zone, 0, offset))
        return std::nullopt;
    return offset;
}

}  // namespace

std::string offsetText(long long seconds)
{
    const long long minutes = (seconds < 0 ? -seconds : seconds) / 60;
    char text[48];
    std::snprintf(text, sizeof text, "%c%02lld:%02lld", seconds < 0 ? '-' : '+', minutes / 60,
                  minutes % 60);
    return text;
}

namespace {

// The offset of a date word that has one, from text[sign] to the bracket: false when it is none.
bool readWordOffset(const std::string& text, std::size_t sign, std::size_t bracket,
                    dateAnchor& anchor)
{
    long long offset = 0;
    if (!readOffset(text.substr(0, bracket), sign, offset))
        return false;
    anchor.offset = offset;
    anchor.utcOnly = offset == 0 && text[sign] != '+';  // Z or -00:00
    return true;
}

}  // namespace

std::optional<std::string> readAnchoredDate(const std::string& text, bool dotted,
                                            writtenDate& date, dateAnchor& anchor)
{
    anchor.offset.reset();
    anchor.utcOnly = false;
    anchor.zone.clear();
    if (readWrittenDate(text, dotted, date))  // the plain forms, most of a file's
        return std::nullopt;
    const std::size_t bracket = std::min(text.find('['), text.size());
    const std::size_t clock = text.find('T');
    const std::size_t sign = clock < bracket ? std::min(text.find_first_of("Zz+-", clock), bracket)
                                             : bracket;
    const std::string plain = text.substr(0, sign);
    if (sign == text.size() || (sign < bracket && !readWordOffset(text, sign, bracket, anchor)) ||
        !readWrittenDate(plain, dotted, date))
        return std::string();  // no date in any form
    if (auto wrong = readSuffixes(text, bracket, anchor))
        return wrong;
    const bool offsetInBrackets =
        !anchor.zone.empty() && (anchor.zone[0] == '+' || anchor.zone[0] == '-');
    if (offsetInBrackets && !bracketOffset(anchor.zone))
        return std::string();  // "[+99:99]" is no offset, as "+99:99" is none
    if (!anchor.zone.empty() && !offsetInBrackets && !isZoneName(anchor.zone))
        return " names no zone in brackets: " + printable(anchor.zone) + " is not a zone name";
    if (!isAnchored(anchor) || date.timeOfDay)
        return std::nullopt;
    return ": a zone or an offset follows a time of day, as in " + dateText(date) + "T00:00" +
           text.substr(plain.size());
}

namespace {

// What is wrong with an offset that zone's clock does not have at wall: it skips the reading,
// or shows it at another offset (or two, in a fold).
std::string disagreement(const absl::TimeZone& zone, const std::string& name,
                         absl::CivilSecond wall, long long offset)
{
    const absl::TimeZone::TimeInfo lookup = zone.At(wall);
    if (lookup.kind == absl::TimeZone::TimeInfo::SKIPPED)
        return " is no time of " + name +
               ", whose clock skips it; leave the offset out to read it as the clock moves on";
    const auto offsetAt = [&](absl::Time t) {
        return readingOf(wall).seconds - absl::ToUnixSeconds(t);
    };
    std::string its = offsetText(offsetAt(lookup.pre));
    if (lookup.kind == absl::TimeZone::TimeInfo::REPEATED)
        its += " or " + offsetText(offsetAt(lookup.post));
    return " is two instants: " + name + " is at " + its + " then, not " + offsetText(offset) +
           "; write " + its + " or leave the offset out";
}

}  // namespace

std::optional<std::string> anchoredInstant(const writtenDate& date, const dateAnchor& anchor,
                                           const absl::TimeZone* zone, unixInstant& instant)
{
    const absl::CivilSecond wall = wallClockOf(date, 0);
    const std::optional<long long> inBrackets = bracketOffset(anchor.zone);
    const std::optional<long long> offset = anchor.offset ? anchor.offset : inBrackets;
    if (!offset) {
        instant = wallClock2UnixTime(*zone, wall);
        return std::nullopt;
    }
    instant = unixInstant{readingOf(wall).seconds - *offset};
    const bool agrees = anchor.utcOnly || anchor.zone.empty() ||
                        (inBrackets ? *inBrackets == *offset
                                    : zone->At(absl::FromUnixSeconds(instant.seconds)).cs == wall);
    if (agrees)
        return std::nullopt;
    if (inBrackets)
        return " is two instants: the offset " + offsetText(*offset) + " is not " + anchor.zone;
    return disagreement(*zone, anchor.zone, wall, *offset);
}

}  // namespace rondelo
