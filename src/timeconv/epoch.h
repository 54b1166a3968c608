// Conversions between Unix seconds and the date library's types, for the classic report's date
// column and the self-test, whose texts and exceptions are that library's; no time zone enters
// any of them.
#pragma once

#include <boost/date_time/gregorian/gregorian_types.hpp>
#include <boost/date_time/posix_time/posix_time_types.hpp>

#include "timeconv/civil.h"  // for isCalendarSecond

namespace rondelo {

// Seconds of 00:00:00 UTC of the date; special dates give +-9223372036854.
long long date2UnixTime(const boost::gregorian::date& d);

// Whole seconds since the epoch, the fraction truncated toward zero.
long long ptime2UnixTime(boost::posix_time::ptime t);

// The UTC day containing s (floor); throws bad_year for any s outside the calendar.
boost::gregorian::date unixTime2Date(long long s);

// Not checked against the calendar: the year check fires only when the date is taken out.
// Throws std::out_of_range outside -9223372036854..9012505233654, where the library overflows.
boost::posix_time::ptime unixTime2Ptime(long long s);

}  // namespace rondelo
