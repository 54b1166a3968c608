// The process-wide event list and the state the generators share.
#include "events/events.h"

std::vector<event*> eventsForOneReferenceDate;
long long referenceTimestamp = 0;
char tmpbuf[512];

void addEvent(long long timestamp, const char* label, eventType type)
{
    eventsForOneReferenceDate.push_back(new event{timestamp, label, type});
}
