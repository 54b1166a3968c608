// The JSON writer: JSON Lines, one object per event, for programs.
#pragma once

#include <ostream>

#include "events/events.h"
#include "events/reference.h"
#include "writers/shared.h"

namespace rondelo {

// One line holding a JSON object (RFC 8259, UTF-8), its members in this order: "unix" (Unix
// seconds); "local", the wall-clock time in ref's zone with its UTC offset as RFC 3339 has
// it, "2017-10-02T14:30:00+02:00", or with seconds, "-04:56:02", in the zones whose old local
// mean time had them; "zone", ref's zone name; "type" and "label" as the CSV has them; "unit"
// and "count" but for the reference; "name" when ref has one; "title", titleOf in the person's
// language. A line that cannot show its date has no "local" and gets writeUnshownDate.
bool writeJsonLine(std::ostream& out, std::ostream& err, const event& e, const reference& ref,
                   const writerSettings& settings);

}  // namespace rondelo
