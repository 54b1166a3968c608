// One moment, one line: the milestones of one reference that fall on one instant, gathered for
// the formats a person reads (text and calendars); CSV and JSON keep a line per milestone.
#pragma once

#include <functional>

#include "events/events.h"
#include "events/reference.h"

namespace rondelo {

// Milestones of one reference at one instant, in family order: the first names the moment.
// The reference's own line is a moment of its own, and so is an age, unless the stage gathers
// a reference's ages into one moment, as the text format's line of them.
struct moment {
    const event* begin;
    const event* end;
    const event& lead() const { return *begin; }
};

// Where moments go; false once the output has failed.
using momentSink = std::function<bool(const moment&, const reference&)>;

// The lines of one reference that may still join a moment. Lines in time order (--sort,
// --next) place a moment's milestones side by side, ties being in the order made; lines as made
// place them anywhere in the batch they were made in, which is bounded (the families' lines; a
// batch of the every family's), so a batch is held until its end.
struct momentStage {
    bool timeOrdered = false;
    bool gathersAges = false;  // a reference's ages, all at one instant, are one moment
    eventList pending;
    const reference* owner = nullptr;
};

// Takes a line of ref; writes the moments it closes.
bool addLine(momentStage& stage, const event& e, const reference& ref, const momentSink& sink);

// Writes the moments held, each at the place of its first line: at the end of a batch made,
// and at the end of the run.
bool flushMoments(momentStage& stage, const momentSink& sink);

}  // namespace rondelo
