// Writes the HTML page of a run's milestones: inline CSS, the SVG picture inline, no script.
#include "writers/page.h"

#include <optional>

#include <absl/time/civil_time.h>

#include "timeconv/zone.h"
#include "writers/markup.h"
#include "writers/titles.h"

namespace rondelo {

namespace {

const char* const pageStyle =
    ":root{color-scheme:light dark}"
    "body{font-family:sans-serif;margin:1.5rem;background:#fff;color:#202124}"
    "figure{margin:0 0 1.5rem;overflow-x:auto}figure svg{max-width:100%;height:auto}"
    "table{border-collapse:collapse;margin-bottom:1.5rem}"
    "th,td{padding:.2rem .8rem;text-align:left;border-bottom:1px solid #dadce0;"
    "white-space:nowrap;font-variant-numeric:tabular-nums}tr.next{font-weight:bold}"
    "@media (prefers-color-scheme:dark){body{background:#17181b;color:#e8eaed}"
    "th,td{border-color:#3c4043}}";

bool isSameLine(const event& a, const std::optional<event>& b)
{
    return b && a.instant.seconds == b->instant.seconds && a.count == b->count &&
           a.unit == b->unit && a.family == b->family;
}

std::string trimmed(const std::string& text)
{
    return text.substr(0, text.find_last_not_of(' ') + 1);
}

void writeCell(std::ostream& out, const std::string& text)
{
    out << "<td>" << markupEscaped(text) << "</td>";
}

void writeTableLine(std::ostream& out, const event& e, const pictureRow& row,
                    const pageState& state, const writerSettings& settings)
{
    const absl::TimeZone::CivilInfo wall = row.shownOn.At(absl::FromUnixSeconds(e.instant.seconds));
    const int weekday = (static_cast<int>(absl::GetWeekday(absl::CivilDay(wall.cs))) + 1) % 7;
    const std::string time = absl::FormatCivilTime(wall.cs);  // 2030-05-17T14:30:00
    out << (isSameLine(e, row.next) ? "<tr class=\"next\">" : "<tr>");
    writeCell(out, trimmed(state.text.weekdays[weekday]));
    writeCell(out, time.substr(0, 10));
    writeCell(out, time.substr(11));
    writeCell(out, wall.zone_abbr);
    writeCell(out, titleOf(e, row.ref, settings.words));
    writeCell(out, distanceFromNow(e.instant, settings.now, row.shownOn, settings.words.numbers));
    out << "</tr>\n";
}

void writeTable(std::ostream& out, std::size_t row, const pageState& state,
                const writerSettings& settings)
{
    out << "<section>\n<h2>" << markupEscaped(state.headings[row]) << "</h2>\n<table>\n<thead><tr>";
    // TRANSLATORS: the headings of a page's table of milestones.
    for (const char* heading : {_("Weekday"), _("Date"), _("Time"), _("Zone"), _("Milestone"),
                                _("When")})
        out << "<th>" << markupEscaped(heading) << "</th>";
    out << "</tr></thead>\n<tbody>\n";
    for (const event& e : state.lines[row])
        writeTableLine(out, e, state.picture.rows[row], state, settings);
    out << "</tbody>\n</table>\n</section>\n";
}

}  // namespace

pageState makePageState(const writerSettings& settings)
{
    return {{}, {}, {}, makeTextState(settings)};
}

void addPageRow(pageState& state, reference& ref, const writerSettings& settings)
{
    addPictureRow(state.picture, ref, settings);
    state.headings.push_back(rowName(ref));
    state.lines.emplace_back();
}

void takePageLine(pageState& state, std::ostream& out, std::ostream& err, const event& e,
                  const reference& ref, const writerSettings& settings)
{
    if (const auto row = takePictureLine(state.picture, out, err, e, ref, settings))
        state.lines[*row].push_back(e);
}

bool writePage(std::ostream& out, const pageState& state, const writerSettings& settings)
{
    // TRANSLATORS: the heading and title of a page of milestones.
    const std::string heading = markupEscaped(_("Milestones"));
    out << "<!DOCTYPE html>\n<html lang=\"" << pageLanguage() << "\">\n<head>\n"
        << "<meta charset=\"utf-8\">\n"
        << "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
        << "<title>" << heading << "</title>\n<style>" << pageStyle << "</style>\n</head>\n"
        << "<body>\n<h1>" << heading << "</h1>\n<figure>\n";
    if (!writePicture(out, state.picture, settings, false))
        return false;
    out << "</figure>\n";
    if (state.headings.empty())
        out << "<p>" << markupEscaped(_("No milestones in this window.")) << "</p>\n";
    for (std::size_t row = 0; row < state.headings.size(); ++row)
        writeTable(out, row, state, settings);
    out << "</body>\n</html>\n";
    return static_cast<bool>(out.flush());
}

std::string pageLanguage()
{
    return catalogLanguage();
}

}  // namespace rondelo
