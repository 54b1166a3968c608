// Lays out the milestone picture: the axis and its ticks, and each row's marks, bands and labels.
#include "writers/picture_layout.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>

#include <absl/time/civil_time.h>

#include "events/notability.h"
#include "timeconv/zone.h"
#include "writers/markup.h"
#include "writers/titles.h"

namespace rondelo {

namespace {

constexpr double cellWidth = 4;  // of a band's shading

// A held mark where it falls on the axis.
struct spot {
    double x, xLast;
    const heldMark* held;
};

// Where milestones crowd: a band from left to right.
struct bandTally {
    double left, right;
    std::vector<double> counts;  // a cell each
    placedBand band;
};

bool isSameEvent(const event& a, const event& b)
{
    return a.instant.seconds == b.instant.seconds && a.count == b.count && a.unit == b.unit &&
           a.family == b.family;
}

// The reference and the next milestone, which are drawn over everything else.
bool isDrawnOver(const heldMark& held, const pictureRow& row)
{
    return held.count == 1 && (held.e.family == familyReference ||
                               (row.next && isSameEvent(held.e, *row.next)));
}

// A tick's step: so many days, or so many months.
struct tickStep {
    int days, months;
};

constexpr tickStep tickSteps[] = {{1, 0},  {2, 0},   {7, 0},   {14, 0},  {0, 1},    {0, 2},
                                  {0, 3},  {0, 6},   {0, 12},  {0, 24},  {0, 60},   {0, 120},
                                  {0, 240}, {0, 600}, {0, 1200}, {0, 2400}, {0, 6000}, {0, 12000}};

std::string tickLabel(absl::CivilSecond at, tickStep step)
{
    char text[32];
    if (step.days > 0)
        std::snprintf(text, sizeof text, "%04d-%02d-%02d", static_cast<int>(at.year()), at.month(),
                      at.day());
    else if (step.months % 12 != 0)
        std::snprintf(text, sizeof text, "%04d-%02d", static_cast<int>(at.year()), at.month());
    else
        std::snprintf(text, sizeof text, "%04d", static_cast<int>(at.year()));
    return text;
}

// Weeks of ticks start on Mondays, as 1970-01-05 was one.
constexpr absl::CivilDay firstDay(1970, 1, 5);

// The n-th boundary of step counted from firstDay, or from month 0 of year 0.
absl::CivilSecond boundary(long long n, tickStep step)
{
    if (step.days > 0)
        return absl::CivilSecond(firstDay + n * step.days);
    const long long months = n * step.months;
    return absl::CivilSecond(months / 12, static_cast<int>(months % 12) + 1, 1);
}

// The number of the first boundary at or after the axis's start.
long long firstBoundary(const timeAxis& axis, const absl::TimeZone& zone, tickStep step)
{
    const absl::CivilSecond start = civilOf(unixTime2WallClock(zone, axis.start));
    const long long unit = step.days > 0
                               ? absl::CivilDay(start) - firstDay
                               : start.year() * 12 + (start.month() - 1);
    const long long size = step.days > 0 ? step.days : step.months;
    long long n = unit / size - (unit % size < 0 ? 1 : 0);
    while (wallClock2UnixTime(zone, boundary(n, step)) < axis.start)
        ++n;
    return n;
}

// The ticks of step, or none when two of them come closer than their labels' width.
std::vector<axisTick> ticksOfStep(const timeAxis& axis, const absl::TimeZone& zone, tickStep step)
{
    std::vector<axisTick> ticks;
    for (long long n = firstBoundary(axis, zone, step);; ++n) {
        const absl::CivilSecond at = boundary(n, step);
        const unixInstant instant = wallClock2UnixTime(zone, at);
        if (axis.end < instant)
            return ticks;
        ticks.push_back({xOf(axis, instant), tickLabel(at, step)});
        const std::size_t count = ticks.size();
        const double room = textWidth(ticks.back().label, tickSize) + 2 * labelGap;
        if (count > 1 && ticks[count - 1].x - ticks[count - 2].x < room)
            return {};
    }
}

std::vector<spot> spotsOf(const pictureRow& row, const timeAxis& axis)
{
    std::vector<spot> spots;
    for (const heldMark& held : row.marks)
        if (!isDrawnOver(held, row))
            spots.push_back({xOf(axis, held.first), xOf(axis, held.last), &held});
    std::sort(spots.begin(), spots.end(), [](const spot& a, const spot& b) { return a.x < b.x; });
    return spots;
}

// Each spot's lane, the first whose last mark lies a pitch back; -1 for a spot that finds
// none, or that stands for many milestones.
std::vector<int> lanesOf(const std::vector<spot>& spots, double pitch)
{
    std::vector<int> lanes;
    double lastX[markLanes];
    std::fill(lastX, lastX + markLanes, -1e9);
    for (const spot& s : spots) {
        int lane = -1;
        for (int l = 0; l < markLanes && lane < 0 && s.held->count == 1; ++l)
            if (s.x - lastX[l] >= pitch)
                lane = l;
        if (lane >= 0)
            lastX[lane] = s.x;
        lanes.push_back(lane);
    }
    return lanes;
}

// Bands around the crowded spots, a pitch wider on each side, joined where they come closer
// than two pitches.
std::vector<bandTally> bandsOf(const std::vector<spot>& spots, const std::vector<int>& lanes,
                               double pitch)
{
    std::vector<bandTally> bands;
    for (std::size_t i = 0; i < spots.size(); ++i) {
        if (lanes[i] >= 0)
            continue;
        const double left = spots[i].x - pitch, right = spots[i].xLast + pitch;
        if (!bands.empty() && left <= bands.back().right + pitch)
            bands.back().right = std::max(bands.back().right, right);
        else
            bands.push_back({left, right, {}, {}});
    }
    for (bandTally& band : bands)
        band.counts.assign(static_cast<std::size_t>((band.right - band.left) / cellWidth) + 1, 0);
    return bands;
}

// Counts a spot into its band's cells, a merged one spread evenly over the cells it spans.
void tally(bandTally& band, const spot& s)
{
    const auto cellOf = [&](double x) {
        return std::min(band.counts.size() - 1,
                        static_cast<std::size_t>(std::max(0.0, (x - band.left) / cellWidth)));
    };
    const std::size_t first = cellOf(s.x), last = cellOf(s.xLast);
    const long long count = s.held->count;
    for (std::size_t c = first; c <= last; ++c)
        band.counts[c] += static_cast<double>(count) / static_cast<double>(last - first + 1);
    placedBand& placed = band.band;
    placed.first = placed.count == 0 ? s.held->first : std::min(placed.first, s.held->first);
    placed.last = placed.count == 0 ? s.held->last : std::max(placed.last, s.held->last);
    placed.count += count;
}

int shadeOf(double count)
{
    return count >= 16 ? 4 : count >= 4 ? 3 : count >= 2 ? 2 : count > 0 ? 1 : 0;
}

// The band's cells, neighbours of one shade as one.
placedBand shaded(bandTally& band)
{
    placedBand placed = std::move(band.band);
    for (std::size_t c = 0; c < band.counts.size(); ++c) {
        const int shade = shadeOf(band.counts[c]);
        const double left = band.left + static_cast<double>(c) * cellWidth;
        if (shade == 0)
            continue;
        if (!placed.cells.empty() && placed.cells.back().shade == shade &&
            placed.cells.back().right >= left)
            placed.cells.back().right = left + cellWidth;
        else
            placed.cells.push_back({left, left + cellWidth, shade});
    }
    return placed;
}

// The most notable of the milestones in bands, as marks in the middle lane three pitches apart.
void placeOverBands(const std::vector<const heldMark*>& inBands, const pictureRow& row,
                    const timeAxis& axis, rowLayout& layout)
{
    // Equally notable ones keep their order in time: the place breaks the tie.
    std::vector<std::pair<notability, std::size_t>> ranked;
    for (std::size_t i = 0; i < inBands.size(); ++i)
        if (const notability rank = notabilityOf(inBands[i]->e, row.ref); rank.tier <= 3)
            ranked.push_back({rank, i});
    std::sort(ranked.begin(), ranked.end(), [](const auto& a, const auto& b) {
        return isMoreNotable(a.first, b.first) ||
               (!isMoreNotable(b.first, a.first) && a.second < b.second);
    });
    std::vector<double> taken;
    for (const auto& [rank, place] : ranked) {
        const heldMark* held = inBands[place];
        const double x = xOf(axis, held->e.instant);
        if (std::none_of(taken.begin(), taken.end(),
                         [&](double t) { return std::abs(t - x) < 3 * markPitch; })) {
            taken.push_back(x);
            layout.marks.push_back({held->e, x, 0, false});
        }
    }
}

// Each spot as a mark in its lane, or into the band it falls in; the bands' notable ones over
// them.
void placeSpots(const std::vector<spot>& spots, const std::vector<int>& lanes,
                std::vector<bandTally>& bands, const pictureRow& row, const timeAxis& axis,
                rowLayout& layout)
{
    std::vector<const heldMark*> inBands;
    std::size_t b = 0;
    for (std::size_t i = 0; i < spots.size(); ++i) {
        while (b < bands.size() && bands[b].right < spots[i].x)
            ++b;
        if (b < bands.size() && spots[i].xLast >= bands[b].left) {
            tally(bands[b], spots[i]);
            inBands.push_back(spots[i].held);
        } else {
            layout.marks.push_back({spots[i].held->e, spots[i].x, lanes[i], false});
        }
    }
    for (bandTally& band : bands)
        layout.bands.push_back(shaded(band));
    placeOverBands(inBands, row, axis, layout);
}

// A label wanted: at x, ranked by whether it is the next, then how notable.
struct labelWish {
    double x;
    std::string text;
    bool next;
    notability rank;
};

bool isWishedBefore(const labelWish& a, const labelWish& b)
{
    if (a.next != b.next)
        return a.next;
    if (isMoreNotable(a.rank, b.rank) || isMoreNotable(b.rank, a.rank))
        return isMoreNotable(a.rank, b.rank);
    return a.x < b.x;
}

bool isFree(const std::vector<placedLabel>& labels, int lane, double left, double right)
{
    return std::none_of(labels.begin(), labels.end(), [&](const placedLabel& p) {
        return p.lane == lane && left < p.right + labelGap && p.left < right + labelGap;
    });
}

// The label after its mark, else before it, in the first lane where it stays on the plot and
// off the others.
void placeLabel(const labelWish& wish, const timeAxis& axis, std::vector<placedLabel>& labels)
{
    const double width = textWidth(wish.text, labelSize);
    const double lowest = axis.left - markSize, highest = axis.right + markSize;
    const double after = wish.x - markSize / 2, before = wish.x + markSize / 2;
    for (int lane = 0; lane < labelLanes; ++lane) {
        if (after + width <= highest && isFree(labels, lane, after, after + width)) {
            labels.push_back({lane, after, false, after, after + width, wish.text});
            return;
        }
        if (before - width >= lowest && isFree(labels, lane, before - width, before)) {
            labels.push_back({lane, before, true, before - width, before, wish.text});
            return;
        }
    }
}

std::vector<labelWish> labelWishes(const pictureRow& row, const rowLayout& layout)
{
    std::vector<labelWish> wishes;
    for (const placedMark& mark : layout.marks)
        wishes.push_back({mark.x, shownTitle(mark.e, row), mark.next,
                          notabilityOf(mark.e, row.ref)});
    for (const placedBand& band : layout.bands)
        wishes.push_back({band.cells.front().left + markSize / 2,
                          // TRANSLATORS: the label of a picture's band of many milestones.
                          fill(ngettext("%s milestone", "%s milestones",
                                        static_cast<unsigned long>(band.count)),
                               {std::to_string(band.count)}),
                          false, {10, band.count}});
    std::sort(wishes.begin(), wishes.end(), isWishedBefore);
    return wishes;
}

}  // namespace

std::string shownTitle(const event& e, const pictureRow& row)
{
    return shortened(titleOf(e, row.ref, row.words), 100);
}

timeAxis axisOf(const std::vector<pictureRow>& rows, const writerSettings& settings, double left)
{
    long long low = LLONG_MAX, high = LLONG_MIN;
    for (const pictureRow& row : rows)
        for (const heldMark& held : row.marks) {
            low = std::min(low, held.first.seconds);
            high = std::max(high, held.last.seconds);
        }
    low = settings.from ? settings.from->seconds : low;
    high = settings.until ? settings.until->seconds : high;
    if (low == LLONG_MAX)
        low = high == LLONG_MIN ? settings.now.seconds : high;
    high = std::max(high, low);
    if (high - low < 86400) {
        if (settings.until)
            low = high - 86400;
        else
            high = low + 86400;
    }
    return {{low}, {high}, left + markSize, left + plotWidth - markSize};
}

double xOf(const timeAxis& axis, unixInstant instant)
{
    const double share = static_cast<double>(instant.seconds - axis.start.seconds) /
                         static_cast<double>(axis.end.seconds - axis.start.seconds);
    return axis.left + share * (axis.right - axis.left);
}

std::vector<axisTick> ticksOf(const timeAxis& axis, const absl::TimeZone& zone)
{
    const double span = static_cast<double>(axis.end.seconds - axis.start.seconds);
    for (const tickStep step : tickSteps) {
        const double length = step.days > 0 ? step.days * 86400.0 : step.months * 2629746.0;
        const double room = textWidth(step.days > 0 ? "0000-00-00" : "0000-00", tickSize);
        if (span / length * room > (axis.right - axis.left) * 2)
            continue;  // too many by far: not even made
        std::vector<axisTick> ticks = ticksOfStep(axis, zone, step);
        if (!ticks.empty() || step.months == 12000)
            return ticks;
    }
    return {};
}

namespace {

// The row's marks and bands with marks a pitch apart in a lane.
rowLayout markedAt(const pictureRow& row, const timeAxis& axis, const std::vector<spot>& spots,
                   double pitch)
{
    rowLayout layout;
    const std::vector<int> lanes = lanesOf(spots, pitch);
    std::vector<bandTally> bands = bandsOf(spots, lanes, pitch);
    placeSpots(spots, lanes, bands, row, axis, layout);
    return layout;
}

}  // namespace

rowLayout layoutRow(const pictureRow& row, const timeAxis& axis)
{
    const std::vector<spot> spots = spotsOf(row, axis);
    rowLayout layout = markedAt(row, axis, spots, markPitch);
    for (double pitch = 2 * markPitch; layout.marks.size() > rowMarks; pitch *= 2)
        layout = markedAt(row, axis, spots, pitch);
    for (const heldMark& held : row.marks)
        if (isDrawnOver(held, row) && held.e.family == familyReference &&
            !(row.next && isSameEvent(held.e, *row.next)))
            layout.marks.push_back({held.e, xOf(axis, held.first), 0, false});
    if (row.next)
        layout.marks.push_back({*row.next, xOf(axis, row.next->instant), 0, true});
    for (const labelWish& wish : labelWishes(row, layout))
        placeLabel(wish, axis, layout.labels);
    return layout;
}

}  // namespace rondelo
