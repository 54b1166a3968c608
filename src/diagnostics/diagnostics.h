// The self-test of the platform's integer and time types, and small debug printers.
#pragma once

#include <ctime>
#include <ostream>
#include <vector>

#include <boost/date_time/gregorian/gregorian_types.hpp>

#include "events/events.h"

namespace rondelo {

// Writes 24 lines to err (sizes, hexadecimal limits, two mktime probes, the language level),
// then appends the twelve evTest lines of addTestEvents to lines. Leaves err in decimal; its
// other state stays as it was.
// Throws what the date library or the clock throw (a probe date outside 1400..9999 in this
// time zone, no local time): the lines written by then stay, and no half line is left.
void testTimeLimits(std::ostream& err, std::vector<reportLine>& lines);

// One probe: the caption, "YES\n" or "NO\n" (the newline unflushed), then the line
// "converted: DATE to timestamp: SECONDS" for the record's date. Throws the library's range
// error, after the verdict and before any of the conversion line, for a date it cannot hold.
void writeProbe(std::ostream& err, const char* caption, bool accepted, const std::tm& record);

// The twelve events of the self-test, for now = the local wall-clock time counted as UTC.
// Throws bad_year when ten years on passes 9999, with "local time now" already appended.
void addTestEvents(std::vector<reportLine>& lines, long long now);

// The date 120 months on: the last day of a month goes to the last day of the target month,
// any other day keeps its number, cut down to the target month's length.
boost::gregorian::date tenYearsOn(const boost::gregorian::date& d);

// "dd mm yyyy hh:mm:ss caption": day, month and year in err's current fill, the time in '0',
// which err keeps as its fill afterwards. Width 2 is a minimum: wider numbers come out whole.
void show_tm(std::ostream& err, const std::tm* t, const char* caption);

// The program title, one line.
void sign_on(std::ostream& err);

// Accepts every pair; reads neither.
bool boundsCheckOK(long long value, long long bound);

}  // namespace rondelo
