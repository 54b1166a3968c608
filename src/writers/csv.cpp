// Renders the event list as CSV lines, the date column through strftime in the C locale.
#include "writers/csv.h"

#include <cstring>  // for strerror
#include <ctime>
#include <locale.h>  // for newlocale and strftime_l

#include <boost/date_time/posix_time/conversion.hpp>  // for to_tm

#include "timeconv/epoch.h"
#include "timeconv/zone.h"

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

}  // namespace

// The fixed "main" and 685 are part of the text that callers match on.
void writeRenderError(std::ostream& err, const event& e)
{
    err << "\nError " << "main" << " line " << 685 << ", timestamp: " << e.timestamp
        << ", description: " << e.label << std::endl;
}

std::string csvField(const std::string& text)
{
    if (text.find_first_of(",\"") == std::string::npos)
        return text;
    std::string quoted = "\"";
    for (const char c : text)
        quoted += c == '"' ? "\"\"" : std::string(1, c);
    return quoted + '"';
}

void writeReportLine(std::ostream& out, std::ostream& err, const event& e,
                     const absl::TimeZone& zone, const std::string& name)
{
    char date[32];
    out << e.timestamp << ',';
    if (const std::size_t length = renderDate(date, unixTime2WallClock(zone, e.timestamp).seconds))
        out.write(date, static_cast<std::streamsize>(length)) << ',';
    else
        writeRenderError(err, e);
    out << e.type << ',' << e.label;
    if (!name.empty())
        out << ',' << csvField(name);
    out << '\n';
}

bool writeReport(std::ostream& out, std::ostream& err, const eventList& events,
                 const absl::TimeZone& zone)
{
    for (const event& e : events) {
        writeReportLine(out, err, e, zone);
        if (!out.flush())
            return false;
    }
    return true;
}

int reportWriteError(std::ostream& err, const char* program, int error)
{
    err << program << ": write error";
    if (error != 0)
        err << ": " << std::strerror(error);
    err << std::endl;
    return 1;
}
