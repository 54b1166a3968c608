// The event list's one operation.
#include "events/events.h"

#include <utility>

namespace rondelo {

void addEvent(eventList& events, long long timestamp, std::string label, eventType type,
              long long count, const char* unit)
{
    events.push_back(event{timestamp, std::move(label), type, count, unit});
}

}  // namespace rondelo
