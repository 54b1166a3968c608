// Renders events as CSV lines, the date column through strftime in the C locale.
#include "writers/csv.h"

#include <charconv>
#include <ctime>
#include <locale.h>  // for newlocale and strftime_l

#include <boost/date_time/posix_time/conversion.hpp>  // for to_tm

#include "timeconv/epoch.h"
#include "timeconv/zone.h"

namespace rondelo {

const char* const reportDateFormat = "%a %b %e %H:%M:%S %Y";

namespace {

// Writes the date text of s into text and gives its length; 0 when the calendar cannot place s.
// strftime in the C locale gives the time facet's text at a tenth of its cost, and this column
// is most of a run; the locale, made once, names days and months in English whatever the
// environment says.
std::size_t renderDate(char (&text)[32], long long s)
{
    // Beyond about 2e12 seconds the library's 16-bit year wraps and would render a wrong date.
    if (!isCalendarSecond(s))
        return 0;
    static const locale_t classic = newlocale(LC_ALL_MASK, "C", locale_t());
    if (classic == locale_t())
        return 0;
    try {
        const std::tm fields = boost::posix_time::to_tm(unixTime2Ptime(s));
        return strftime_l(text, sizeof text, reportDateFormat, &fields, classic);
    } catch (...) {
        return 0;
    }
}

// A line's fields, whatever made them.
struct csvFields {
    unixInstant instant;
    int type;
    const std::string& label;
    const std::string& name;  // empty for none
};

bool writeFields(std::ostream& out, std::ostream& err, const csvFields& line,
                 const absl::TimeZone& zone, const writerSettings& settings)
{
    char date[32];
    const std::size_t length = renderDate(date, unixTime2WallClock(zone, line.instant).seconds);
    const shownLine shown{line.instant, line.name, line.label};
    // The numbers are written with to_chars: a stream's number formatting, through its locale,
    // would cost more than the rest of the line.
    char number[24];
    out.write(number, std::to_chars(number, number + sizeof number, line.instant.seconds).ptr - number);
    out.put(',');
    if (length > 0)
        out.write(date, static_cast<std::streamsize>(length)).put(',');
    else if (settings.classic)
        writeUnshownDate(out, err, shown, settings);
    out.write(number, std::to_chars(number, number + sizeof number, line.type).ptr - number);
    out.put(',') << line.label;
    if (!line.name.empty())
        writeCsvField(out.put(','), line.name);
    out << '\n';
    if (length == 0 && !settings.classic)
        writeUnshownDate(out, err, shown, settings);
    return endLine(out, settings);
}

}  // namespace

void writeCsvField(std::ostream& out, const std::string& text)
{
    if (text.find_first_of(",\"") == std::string::npos) {
        out << text;
        return;
    }
    out << '"';
    for (const char c : text)
        out << (c == '"' ? "\"\"" : std::string(1, c));
    out << '"';
}

bool writeCsvLine(std::ostream& out, std::ostream& err, const event& e, const reference& ref,
                  const writerSettings& settings)
{
    const std::string label = labelOf(e, ref);
    std::string decorated;
    return writeFields(out, err, {e.instant, typeOf(e), label, shownName(ref, decorated)},
                       shownZone(ref, settings), settings);
}

bool writeReport(std::ostream& out, std::ostream& err, const std::vector<reportLine>& lines,
                 const absl::TimeZone& zone)
{
    const writerSettings settings;  // classic, a flush per line
    const std::string none;
    for (const reportLine& line : lines)
        if (!writeFields(out, err, {line.instant, line.type, line.label, none}, zone, settings))
            return false;
    return true;
}

}  // namespace rondelo
