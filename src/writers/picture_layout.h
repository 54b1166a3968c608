// The layout of the milestone picture: an axis of time, a row for each reference, and in each
// row the marks, the density bands where marks would crowd, and the labels that have room. Only
// geometry: picture.cpp writes it as SVG.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include <absl/time/time.h>

#include "events/events.h"
#include "events/reference.h"
#include "writers/shared.h"

namespace rondelo {

// Pixels of the picture that layout and writing share.
constexpr double plotWidth = 960;    // the axis, from the window's start to its end
constexpr double markSize = 7;       // of a mark's shape, and the pitch of marks that touch
constexpr double markPitch = 8;      // closer marks of one lane would overlap
constexpr int markLanes = 3;         // marks that crowd stack in so many lanes of a row
constexpr std::size_t rowMarks = 120;  // at most, but for the reference and the next one
constexpr double laneStep = 7;       // between the lanes' centres
constexpr double labelSize = 10;     // font size of a mark's title
constexpr double labelGap = 6;       // at least between two labels of a lane
constexpr int labelLanes = 2;        // above a row's marks and below them
constexpr double tickSize = 11;      // font size of the axis's labels

// One held milestone, or neighbours merged once a row held too many to keep each.
struct heldMark {
    event e;                  // the milestone, or the most notable of those it stands for
    long long count = 1;      // how many milestones it stands for
    unixInstant first, last;  // the earliest and latest of them
};

// A reference's row: what it draws and no more.
struct pictureRow {
    reference ref;
    std::string name;            // rowName, cut to 80 characters
    unixInstant reach;           // no mark beyond it: 100 years from the reference
    std::vector<heldMark> marks;
    long long bucket = 0;        // seconds that one merged mark spans at most; 0 for none
    std::optional<event> next;   // the earliest milestone at or after now
    wordsStyle words;            // how the run words its titles
    absl::TimeZone shownOn;      // the clock its dates are shown on: --show-in's, else its own
};

// A mark's title as the picture shows it, the line's title in words ("Anna's 40th birthday"),
// cut to 100 characters, so that no name makes a mark's text long.
std::string shownTitle(const event& e, const pictureRow& row);

// The window's start and end, drawn from left to right.
struct timeAxis {
    unixInstant start, end;  // start before end
    double left, right;
};

// The axis of rows: from the window's start, else the earliest mark, to the window's end, else
// the latest; a day at least.
timeAxis axisOf(const std::vector<pictureRow>& rows, const writerSettings& settings, double left);

double xOf(const timeAxis& axis, unixInstant instant);

struct axisTick {
    double x;
    std::string label;  // "2030", "2030-05" or "2030-05-17"
};

// Ticks at the starts of years in zone, every 1, 2, 5, 10, ... 1000 of them, so many that their
// labels stay apart; for a short axis months or days.
std::vector<axisTick> ticksOf(const timeAxis& axis, const absl::TimeZone& zone);

struct placedMark {
    event e;
    double x;
    int lane;   // [0, markLanes): the middle, above, below
    bool next;  // the row's next milestone, drawn over the rest
};

// A stretch of a band, shaded by how many milestones fall on each pixel.
struct densityCell {
    double left, right;
    int shade;  // [1, 4]: one milestone, 2 to 3, 4 to 15, more
};

// Milestones too crowded to draw each: one band, with their count and first and last instant.
struct placedBand {
    std::vector<densityCell> cells;
    long long count = 0;
    unixInstant first, last;
};

struct placedLabel {
    int lane;         // [0, labelLanes): above the marks, below them
    double x;         // where the text is anchored
    bool endAnchored; // x is its end, not its start
    double left, right;  // the room it takes, as textWidth measures it
    std::string text;
};

struct rowLayout {
    std::vector<placedBand> bands;
    std::vector<placedMark> marks;  // the reference and the next one last, over the bands
    std::vector<placedLabel> labels;
};

// A row's marks where they can stand apart in markLanes lanes, bands where they cannot, over a
// band the most notable of it (the reference, years, ones followed by zeros) where they stand
// three pitches apart, the reference and the next milestone always; a row of more than rowMarks
// marks has them stand twice as far apart, again until it has no more, its bands growing. Then
// the labels that fit between the axis's ends without touching in labelLanes lanes: the next
// milestone's first, then the most notable.
rowLayout layoutRow(const pictureRow& row, const timeAxis& axis);

}  // namespace rondelo
