// Self-test of type sizes, limits and timestamp boundaries, and small debug printers.
#pragma once

#include <ctime>
#include <ostream>

#include <boost/date_time/gregorian/gregorian_types.hpp>

// Writes 24 lines to err (sizes, hexadecimal limits, two mktime probes, the language level),
// then appends twelve evTest events. err is left in decimal. Throws what the date library or
// the clock throw: a probe date outside 1400..9999, a local time that cannot be read.
void testTimeLimits(std::ostream& err);

// The twelve events of the self-test, for a given local wall-clock time counted as UTC.
void addTestEvents(long long now);

// The date 120 months on; the last day of a month stays the last day of the target month.
boost::gregorian::date tenYearsOn(const boost::gregorian::date& d);

// "dd mm yyyy hh:mm:ss caption": day, month and year in err's current fill, the time with '0',
// which err keeps as its fill afterwards.
void show_tm(std::ostream& err, const std::tm* t, const char* caption);

// The program title, one line.
void sign_on(std::ostream& err);

// Accepts every pair.
bool boundsCheckOK(long long value, long long bound);
