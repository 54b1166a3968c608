// The page writer: one self-contained HTML page, the picture and then the milestones as a table
// in the text format's columns, a heading for each reference.
#pragma once

#include <cstddef>
#include <ostream>
#include <string>
#include <vector>

#include "events/events.h"
#include "events/reference.h"
#include "writers/picture.h"
#include "writers/shared.h"
#include "writers/text.h"

namespace rondelo {

// What a page holds until it is written: its picture, and each row's lines as they came, the
// ones the picture draws.
struct pageState {
    pictureState picture;
    std::vector<std::string> headings;      // each row's whole name
    std::vector<std::vector<event>> lines;  // each row's
    textState text;                         // the weekday names of the user's locale
};

pageState makePageState(const writerSettings& settings);

// Starts ref's row, as addPictureRow does.
void addPageRow(pageState& state, reference& ref, const writerSettings& settings);

// Holds e in the picture and in its row's table when the picture draws it (takePictureLine).
void takePageLine(pageState& state, std::ostream& out, std::ostream& err, const event& e,
                  const reference& ref, const writerSettings& settings);

// The page, in the language pageLanguage names: the picture, then for each row a heading and a
// table of weekday, date, time, zone, label and how far from now, the row's next milestone in
// bold. False when out failed.
bool writePage(std::ostream& out, const pageState& state, const writerSettings& settings);

// The language of the page's words, as its lang attribute names it: "en".
std::string pageLanguage();

}  // namespace rondelo
