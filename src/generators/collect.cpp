// Places the reference in its zone and runs the chosen families over it.
#include "generators/collect.h"

void collectEvents(eventList& events, const reference& ref, const generationPlan& plan)
{
    const anniversaryBase base{wallClock2UnixTime(ref.zone, ref.wallClock), ref.wallClock,
                               ref.zone, plan.from, plan.until};
    if (isInWindow(base, base.timestamp))
        addEvent(events, base.timestamp, "Reference", evReference);
    addAll(events, base, plan.sign, plan.milestones);
}
