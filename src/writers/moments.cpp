// Gathers a reference's milestones that fall on one instant into one moment.
#include "writers/moments.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace rondelo {

namespace {

// Whether e may share its moment: the reference's line is no milestone, and ages share the
// instant they are taken at, which makes them one moment only where the stage gathers them.
bool joins(const momentStage& stage, const event& e)
{
    return e.family != familyReference && (stage.gathersAges || e.family != familyAge);
}

// The places of pending's lines, each moment's together and the moments in the order of their
// first lines.
std::vector<std::size_t> momentOrder(const eventList& pending)
{
    std::vector<std::pair<long long, std::size_t>> byInstant;
    for (std::size_t i = 0; i < pending.size(); ++i)
        byInstant.emplace_back(pending[i].instant.seconds, i);
    std::sort(byInstant.begin(), byInstant.end());
    std::vector<std::pair<std::size_t, std::size_t>> byFirst;  // first line of its moment, line
    for (std::size_t i = 0; i < byInstant.size(); ++i) {
        const bool starts = i == 0 || byInstant[i].first != byInstant[i - 1].first;
        byFirst.emplace_back(starts ? byInstant[i].second : byFirst.back().first,
                             byInstant[i].second);
    }
    std::sort(byFirst.begin(), byFirst.end());
    std::vector<std::size_t> places;
    for (const auto& line : byFirst)
        places.push_back(line.second);
    return places;
}

}  // namespace

bool addLine(momentStage& stage, const event& e, const reference& ref, const momentSink& sink)
{
    const bool closes =
        !stage.pending.empty() &&
        (&ref != stage.owner || !joins(stage, e) ||
         (stage.timeOrdered && e.instant.seconds != stage.pending.back().instant.seconds));
    if (closes && !flushMoments(stage, sink))
        return false;
    if (!joins(stage, e))
        return sink({&e, &e + 1}, ref);
    stage.owner = &ref;
    stage.pending.push_back(e);
    return true;
}

bool flushMoments(momentStage& stage, const momentSink& sink)
{
    if (stage.pending.empty())
        return true;
    eventList lines;
    for (const std::size_t place : momentOrder(stage.pending))
        lines.push_back(stage.pending[place]);
    stage.pending.clear();
    for (std::size_t first = 0, end = 0; first < lines.size(); first = end) {
        end = first + 1;
        while (end < lines.size() && lines[end].instant.seconds == lines[first].instant.seconds)
            ++end;
        if (!sink({lines.data() + first, lines.data() + end}, *stage.owner))
            return false;
    }
    return true;
}

}  // namespace rondelo
