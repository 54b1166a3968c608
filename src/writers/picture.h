// The picture writer: the milestones as one self-contained SVG image, a row for each reference
// on one axis of time.
#pragma once

#include <cstddef>
#include <cstdint>  // for SIZE_MAX
#include <optional>
#include <ostream>
#include <string>
#include <unordered_map>
#include <vector>

#include "events/events.h"
#include "events/reference.h"
#include "writers/picture_layout.h"
#include "writers/shared.h"

namespace rondelo {

// What a picture holds until it is drawn, the axis being known only then: each row, and the
// way from a line's reference to its row.
struct pictureState {
    std::vector<pictureRow> rows;                        // in the order references were counted
    std::unordered_map<std::string, int> alike;          // references counted, by rowKey
    std::unordered_map<std::string, std::size_t> rowOf;  // by rowKey and occurrence
    std::size_t lastRow = SIZE_MAX;  // the last line's, which the next one most often shares
};

// The name of ref's row: shownName, or for a date without a name the date, "1990-05-17" or
// "1990-05-17 14:30".
std::string rowName(const reference& ref);

// 100 years after ref (before it, in a run before the reference): where a picture's row ends
// when the window has no edge on that side. Nothing then, or in another format.
std::optional<unixInstant> pictureReach(const reference& ref, const writerSettings& settings);

// Starts ref's row, and sets ref.occurrence, so that references alike in every field each get
// a row of their own.
void addPictureRow(pictureState& state, reference& ref, const writerSettings& settings);

// Holds e in the row of ref when the picture draws it, and returns the row's number. A line
// that cannot show its date gets writeUnshownDate; one beyond pictureReach is not drawn. A row
// holds at most 1024 marks: past that, neighbours merge into marks that each span a bucket of
// time, so that a row's memory stays bounded whatever its lines.
std::optional<std::size_t> takePictureLine(pictureState& state, std::ostream& out,
                                           std::ostream& err, const event& e,
                                           const reference& ref, const writerSettings& settings);

// The picture: the axis, labelled at year starts; a row each, named, with marks coloured by
// unit and shaped by family, each with its title as a <title>, bands where marks crowd, the
// titles that have room, and the next milestone ringed; a line at now; a legend. Standalone,
// it is an SVG file with its XML declaration; else an <svg> element for an HTML page. False
// when out failed.
bool writePicture(std::ostream& out, const pictureState& state, const writerSettings& settings,
                  bool standalone);

}  // namespace rondelo
