// The order a run writes its lines in, chosen once: as made, by time, or the earliest N.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <unordered_map>
#include <vector>

#include <absl/time/time.h>

#include "events/events.h"
#include "events/notability.h"
#include "events/reference.h"
#include "timeconv/civil.h"

namespace rondelo {

// Where ordered lines go. Each reference that will have lines written is counted first, in the
// order the references were read (a calendar numbers twins by it); then its lines are written.
// Lines written as made end each batch with endBatch, when there is one, before the reference
// changes. write and endBatch return false once the output has failed.
struct lineSink {
    std::function<void(reference&)> count;
    std::function<bool(const event&, const reference&)> write;
    std::function<bool()> endBatch;
};

enum class orderKind {
    asMade,    // each reference's lines as they are made, written at once
    byTime,    // every line held, then written earliest first, ties in the order made
    earliest,  // only the limit earliest lines, in time order: memory grows with limit alone
};

// At most so many lines in each calendar period of a zone, the most notable of each kept, and
// of equally notable ones the earlier, then the one made first (--at-most).
struct lineCap {
    std::size_t most;  // at least 1
    calendarPeriod period;
    absl::TimeZone zone;  // whose calendar the periods follow
};

// One line held until the end, with the reference it came from.
struct heldLine {
    event e;
    unsigned long long made;           // its place in the order lines were made
    std::shared_ptr<reference> owner;  // kept while one of its lines is
    unsigned long long ownerRead;      // the owner's place in the order references were read
    notability rank;                   // with a cap: how notable it is
};

struct lineOrder {
    orderKind kind = orderKind::asMade;
    std::size_t limit = 0;  // earliest: the count of lines kept, at least 1
    std::optional<lineCap> cap;
    unsigned long long made = 0;
    unsigned long long read = 0;  // references with lines so far
    std::vector<heldLine> held;   // byTime: in the order made; earliest: a heap, latest on top
    // With a cap, each period's lines, a heap whose top is the first to go; every line is held
    // until the end, whatever the kind.
    std::unordered_map<long long, std::vector<heldLine>> periods;
    bool counted = false;                // whether the current reference has had a line
    std::shared_ptr<reference> current;  // its copy, once one of its lines is held
};

lineOrder makeOrder(orderKind kind, std::size_t limit = 0,
                    std::optional<lineCap> cap = std::nullopt);

// Starts the lines of the next reference, which may come in several batches.
void startReference(lineOrder& order);

// Takes a batch of the current reference's lines, in the order they were made; ref is counted
// (its occurrence set) at its first line when lines are written at once. False when sink failed
// to write.
bool offerLines(lineOrder& order, eventList& events, reference& ref, const lineSink& sink);

// True when the order keeps only the earliest lines, without a cap, holds as many as it keeps,
// and all of them lie before instant: a line at or after it can never enter.
bool isClosedFrom(const lineOrder& order, unixInstant instant);

// Writes what the order held; false when sink failed to write.
bool finishLines(lineOrder& order, const lineSink& sink);

}  // namespace rondelo
