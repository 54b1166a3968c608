// Renders the event list as CSV lines, the date column through the date library's time facet.
#include "driver/report.h"

#include <cstring>  // for strerror
#include <ctime>
#include <locale.h>  // for newlocale
#include <locale>
#include <sstream>

#include <boost/date_time/posix_time/posix_time.hpp>

#include "timeconv/epoch.h"

const char* const reportDateFormat = "%a %b %e %H:%M:%S %Y";

namespace {

// Renders into date, emptied first; false when the library cannot place s in its calendar.
bool renderDate(std::ostringstream& date, long long s)
{
    date.str("");
    date.clear();
    // Beyond about 2e12 seconds the library's 16-bit year wraps and would render a wrong date.
    if (!isCalendarSecond(s))
        return false;
    // strftime gives the facet's text at a tenth of its cost, and start-up and this column are
    // most of a run. The C locale, made once, names days and months in English whatever the
    // environment says.
    static const locale_t classic = newlocale(LC_ALL_MASK, "C", locale_t());
    if (classic == locale_t())
        return false;
    char text[64];
    try {
        const std::tm fields = boost::posix_time::to_tm(unixTime2Ptime(s));
        const std::size_t length =
            strftime_l(text, sizeof text, reportDateFormat, &fields, classic);
        if (length == 0)
            return false;
        date.write(text, static_cast<std::streamsize>(length));
    } catch (...) {
        return false;
    }
    return !date.fail();
}

// The fixed "main" and 685 are part of the text that callers match on.
void writeRenderError(std::ostream& err, const event& e)
{
    err << "\nError " << "main" << " line " << 685 << ", timestamp: " << e.timestamp
        << ", description: " << e.label << std::endl;
}

}  // namespace

bool writeReport(std::ostream& out, std::ostream& err, const std::vector<event*>& events)
{
    // One facet for the whole report: the locale owns it and releases it with the stream.
    std::ostringstream date;
    date.imbue(std::locale(std::locale::classic(),
                           new boost::posix_time::time_facet(reportDateFormat)));
    for (const event* e : events) {
        out << e->timestamp << ',';
        if (renderDate(date, e->timestamp))
            out << date.str() << ',';
        else
            writeRenderError(err, *e);
        out << e->type << ',' << e->label << std::endl;
        if (!out)
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
