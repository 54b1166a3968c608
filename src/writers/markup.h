// Text as an SVG picture and an HTML page carry it: escaped, cut to a length, and measured.
#pragma once

#include <cstddef>
#include <string>

namespace rondelo {

// text for the content or a quoted attribute of XML and HTML: &, <, >, " and ' as references;
// a control character (tabs and line ends included) or a byte that is no part of a valid UTF-8
// character as U+FFFD, which a well-formed document may hold where those may not stand.
std::string markupEscaped(const std::string& text);

// At most characters characters of UTF-8 text, the last of them "…" when it was cut.
std::string shortened(const std::string& text, std::size_t characters);

// An upper bound on the width in pixels of text set at fontSize in a generic sans-serif font:
// each character counted at least as wide as in DejaVu Sans, the widest of the common ones,
// and any character beyond ASCII as a whole em (an emoji as 1.3).
double textWidth(const std::string& text, double fontSize);

// A length in pixels with one decimal at most: "12", "12.5".
std::string pixels(double value);

}  // namespace rondelo
