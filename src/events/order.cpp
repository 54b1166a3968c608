// The three orders of a run's lines, for a single date and a file of dates alike.
#include "events/order.h"

#include <algorithm>
#include <iterator>  // for make_move_iterator

#include "timeconv/zone.h"

namespace rondelo {

namespace {

// Earlier in time, or at one instant made first.
bool isEarlier(const heldLine& a, const heldLine& b)
{
    const long long at = a.e.instant.seconds, bt = b.e.instant.seconds;
    return at != bt ? at < bt : a.made < b.made;
}

// With a cap: a kept before b, more notable, or as notable and earlier, or made first. The top
// of a period's heap is the line kept last, the first to go.
bool isKeptBefore(const heldLine& a, const heldLine& b)
{
    if (isMoreNotable(a.rank, b.rank) || isMoreNotable(b.rank, a.rank))
        return isMoreNotable(a.rank, b.rank);
    return isEarlier(a, b);
}

bool writeNow(const eventList& events, const reference& ref, const lineSink& sink)
{
    for (const event& e : events)
        if (!sink.write(e, ref))
            return false;
    return true;
}

// The held copy of the current reference, made at its first held line.
const std::shared_ptr<reference>& currentOwner(lineOrder& order, const reference& ref)
{
    if (!order.current)
        order.current = std::make_shared<reference>(ref);
    return order.current;
}

void holdAll(lineOrder& order, eventList& events, const reference& ref)
{
    const std::shared_ptr<reference>& owner = currentOwner(order, ref);
    for (const event& e : events)
        order.held.push_back({e, order.made++, owner, order.read, {}});
}

// A line goes in when the heap has room or it is earlier than the latest held; the reference is
// copied only when one of its lines goes in.
void holdEarliest(lineOrder& order, eventList& events, const reference& ref)
{
    for (const event& e : events) {
        heldLine line{e, order.made++, nullptr, order.read, {}};
        const bool full = order.held.size() == order.limit;
        if (full && !isEarlier(line, order.held.front()))
            continue;
        line.owner = currentOwner(order, ref);
        if (full) {
            std::pop_heap(order.held.begin(), order.held.end(), isEarlier);
            order.held.pop_back();
        }
        order.held.push_back(std::move(line));
        std::push_heap(order.held.begin(), order.held.end(), isEarlier);
    }
}

// A line goes into its period when the period has room or it is kept before the period's last.
void holdCapped(lineOrder& order, eventList& events, const reference& ref)
{
    const lineCap& cap = *order.cap;
    for (const event& e : events) {
        const notability rank = notabilityOf(e, ref);
        heldLine line{e, order.made++, nullptr, order.read, rank};
        const absl::CivilSecond reading = civilOf(unixTime2WallClock(cap.zone, line.e.instant));
        std::vector<heldLine>& period = order.periods[periodOf(reading, cap.period)];
        const bool full = period.size() == cap.most;
        if (full && !isKeptBefore(line, period.front()))
            continue;
        line.owner = currentOwner(order, ref);
        if (full) {
            std::pop_heap(period.begin(), period.end(), isKeptBefore);
            period.pop_back();
        }
        period.push_back(std::move(line));
        std::push_heap(period.begin(), period.end(), isKeptBefore);
    }
}

// Twins make the same lines, so a held reference's earlier twins hold the same lines, earlier
// made: counting the held references in the order read numbers them as counting all would.
void countHeldOwners(std::vector<heldLine>& held, const lineSink& sink)
{
    std::vector<const heldLine*> firsts;
    for (const heldLine& line : held)
        firsts.push_back(&line);
    std::sort(firsts.begin(), firsts.end(), [](const heldLine* a, const heldLine* b) {
        return a->ownerRead < b->ownerRead;
    });
    for (std::size_t i = 0; i < firsts.size(); ++i)
        if (i == 0 || firsts[i]->owner != firsts[i - 1]->owner)
            sink.count(*firsts[i]->owner);
}

// The lines that the periods kept, in the order's own order, the earliest ones alone when it
// keeps only those.
void gatherPeriods(lineOrder& order)
{
    for (auto& [number, period] : order.periods)
        order.held.insert(order.held.end(), std::make_move_iterator(period.begin()),
                          std::make_move_iterator(period.end()));
    order.periods.clear();
    if (order.kind == orderKind::asMade)
        std::sort(order.held.begin(), order.held.end(),
                  [](const heldLine& a, const heldLine& b) { return a.made < b.made; });
    else
        std::sort(order.held.begin(), order.held.end(), isEarlier);
    if (order.kind == orderKind::earliest && order.held.size() > order.limit)
        order.held.erase(order.held.begin() + static_cast<std::ptrdiff_t>(order.limit),
                         order.held.end());
}

}  // namespace

lineOrder makeOrder(orderKind kind, std::size_t limit, std::optional<lineCap> cap)
{
    lineOrder order;
    order.kind = kind;
    order.limit = limit;
    order.cap = std::move(cap);
    return order;
}

void startReference(lineOrder& order)
{
    order.counted = false;
    order.current.reset();
}

bool offerLines(lineOrder& order, eventList& events, reference& ref, const lineSink& sink)
{
    if (events.empty())
        return true;  // a reference without lines is not counted: twins count alike in any window
    if (!order.counted) {
        order.counted = true;
        ++order.read;
        if (order.kind != orderKind::earliest && !order.cap)
            sink.count(ref);
    }
    if (order.cap)
        holdCapped(order, events, ref);
    else if (order.kind == orderKind::earliest)
        holdEarliest(order, events, ref);
    else if (order.kind == orderKind::byTime)
        holdAll(order, events, ref);
    else
        return writeNow(events, ref, sink) && (!sink.endBatch || sink.endBatch());
    return true;
}

bool isClosedFrom(const lineOrder& order, unixInstant instant)
{
    return order.kind == orderKind::earliest && !order.cap && order.held.size() == order.limit &&
           order.held.front().e.instant < instant;
}

bool finishLines(lineOrder& order, const lineSink& sink)
{
    if (order.cap) {
        gatherPeriods(order);
        countHeldOwners(order.held, sink);
    } else if (order.kind == orderKind::earliest) {
        countHeldOwners(order.held, sink);
        std::sort_heap(order.held.begin(), order.held.end(), isEarlier);
    } else {
        std::stable_sort(order.held.begin(), order.held.end(), isEarlier);
    }
    for (const heldLine& line : order.held)
        if (!sink.write(line.e, *line.owner))
            return false;
    return true;
}

}  // namespace rondelo
