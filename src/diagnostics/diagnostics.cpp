// The self-test and the debug printers: what the platform gives the timestamp arithmetic.
#include "diagnostics/diagnostics.h"

#include <climits>
#include <iomanip>  // for setw
#include <limits>
#include <sstream>
#include <string>

#include <boost/date_time/gregorian/gregorian.hpp>    // for the stream output of dates
#include <boost/date_time/posix_time/posix_time.hpp>  // for second_clock

#include "diagnostics/identity.h"
#include "events/events.h"
#include "timeconv/epoch.h"

namespace rondelo {

namespace {

// What the self-test calls TIME_T_UNITS: the type of every timestamp of the program.
using timestampUnits = decltype(unixInstant::seconds);

void writeTypeSizes(std::ostream& err)
{
    err << "64-bit" << std::endl;
    err << "sizeof char\t" << sizeof(char) << std::endl;
    err << "sizeof short\t" << sizeof(short) << std::endl;
    err << "sizeof int\t" << sizeof(int) << std::endl;
    err << "sizeof long long\t" << sizeof(long long) << std::endl;
    err << "sizeof float\t" << sizeof(float) << std::endl;
    err << "sizeof long\t" << sizeof(long) << std::endl;
    err << "sizeof void *\t" << sizeof(void*) << std::endl;
    err << "sizeof time_t\t" << sizeof(std::time_t) << std::endl;
    err << "sizeof TIME_T_UNITS\t" << sizeof(timestampUnits) << std::endl;
}

// Negative values come out as the two's-complement bits of their type, as hex output does.
void writeLimits(std::ostream& err)
{
    err.setf(std::ios::hex, std::ios::basefield);
    err << "ULLONG_MAX: " << ULLONG_MAX << std::endl;
    err << " LLONG_MAX: " << LLONG_MAX << std::endl;
    err << " LLONG_MIN: " << LLONG_MIN << std::endl;
    err << " ULONG_MAX: " << ULONG_MAX << std::endl;
    err << "  LONG_MAX: " << LONG_MAX << std::endl;
    err << "  LONG_MIN: " << LONG_MIN << std::endl;
    err << "   INT_MAX: " << INT_MAX << std::dec << std::endl;
    err << "   maxTime: " << std::hex << std::numeric_limits<std::time_t>::max() << std::dec
        << std::endl;
    err << "   minTime: " << std::hex << std::numeric_limits<std::time_t>::min() << std::dec
        << std::endl;
}

// The library's date output imbues the stream it writes to with a facet of its own; writing
// through a copy of err's locale keeps err as the caller left it, month names included.
std::string dateText(const std::ostream& err, const boost::gregorian::date& d)
{
    std::ostringstream text;
    text.imbue(err.getloc());
    text << d;
    return text.str();
}

}  // namespace

void writeProbe(std::ostream& err, const char* caption, bool accepted, const std::tm& record)
{
    err << caption << (accepted ? "YES\n" : "NO\n");
    // Each field goes to the library as the unsigned 16-bit number its constructor takes.
    const boost::gregorian::date converted(static_cast<unsigned short>(record.tm_year + 1900),
                                           static_cast<unsigned short>(record.tm_mon + 1),
                                           static_cast<unsigned short>(record.tm_mday));
    err << "converted: " << dateText(err, converted)
        << " to timestamp: " << date2UnixTime(converted) << std::endl;
}

void testTimeLimits(std::ostream& err, std::vector<reportLine>& lines)
{
    writeTypeSizes(err);
    writeLimits(err);
    std::tm record{};  // 00:00:00, no daylight saving, offset 0, no zone name
    record.tm_year = 69;
    record.tm_mon = 7;
    record.tm_mday = 1;
    // mktime normalises the record in place; the second probe starts from what it left.
    writeProbe(err, "mktime() support for dates before year 1970: ", std::mktime(&record) != -1,
               record);
    record.tm_year = 1101;
    writeProbe(err, "mktime() support for dates  after year 3000: ", std::mktime(&record) != -1,
               record);
    err << "cplusplus: " << __cplusplus << std::endl;
    addTestEvents(lines, ptime2UnixTime(boost::posix_time::second_clock::local_time()));
}

boost::gregorian::date tenYearsOn(const boost::gregorian::date& d)
{
    return d + boost::date_time::month_functor<boost::gregorian::date>(120).get_offset(d);
}

void addTestEvents(std::vector<reportLine>& lines, long long now)
{
    const auto add = [&](long long seconds, const char* label) {
        lines.push_back({{seconds}, evTest, label});
    };
    add(now, "local time now");
    add(date2UnixTime(tenYearsOn(unixTime2Date(now))), "now + 10 years");
    add(now - 6 * 86400, "-6 days");
    add(2147483648, "min");  // one past "max", not -2^31
    add(2147483647, "max");
    add(-70866960384, "38-bit negative");
    add(-6442450944, "34-bit negative");
    add(-2147483648LL, "32-bit min");
    add(2147483647, "32-bit max");
    add(34359738367, "36-bit");
    add(549755813887, "40-bit");
    add(8796093022207, "44-bit");
}

void show_tm(std::ostream& err, const std::tm* t, const char* caption)
{
    err << std::setw(2) << t->tm_mday << ' ' << std::setw(2) << t->tm_mon + 1 << ' '
        << std::setw(2) << t->tm_year + 1900 << ' ';
    err.fill('0');
    err << std::setw(2) << t->tm_hour << ':' << std::setw(2) << t->tm_min << ':' << std::setw(2)
        << t->tm_sec << ' ' << caption << std::endl;
}

void sign_on(std::ostream& err)
{
    err << description << std::endl;
}

bool boundsCheckOK(long long, long long)
{
    return true;
}

}  // namespace rondelo
