// What every source of references shares: the steps it takes, what a reference takes from the
// run where its source says nothing, and the zones looked up by name.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <unordered_map>

#include <absl/time/time.h>

#include "events/reference.h"

namespace rondelo {

// What a source did when asked for its next reference: gave one; skipped an entry it could not
// read; came to its end; or failed to read further. Skipped and failed come with the problem,
// for the driver to say.
enum class readStep { reference, skipped, end, failed };

// Yields references one at a time into the reference it is given, until readStep::end; what is
// wrong, after skipped or failed, goes to problem.
using referenceSource = std::function<readStep(reference&, std::string& problem)>;

// What a reference takes from the run where its source gives nothing.
struct referenceDefaults {
    long long timeOfDay = 0;  // seconds after midnight, [0, 86399]
    absl::TimeZone zone;      // UTC unless chosen
    std::string zoneName = "UTC";
    std::string name;         // empty but for a single date with a title
};

// The zones a run has loaded, by name: a file names few zones on many lines.
using zoneCache = std::unordered_map<std::string, absl::TimeZone>;

// Sets zone to the one named, loaded once a run; what is wrong when there is none.
std::optional<std::string> findZone(const std::string& name, zoneCache& zones,
                                    absl::TimeZone& zone);

// Sets ref's zone to the one named, as findZone finds it.
std::optional<std::string> findZone(const std::string& name, zoneCache& zones, reference& ref);

// A source of the one reference given.
referenceSource singleSource(const reference& ref);

}  // namespace rondelo
