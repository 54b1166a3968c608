// Writes the milestone picture as SVG: rows of marks on one axis of time, in a light and a dark
// theme, needing no script, no font and no other file.
#include "writers/picture.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <iterator>  // for size

#include <absl/time/civil_time.h>

#include "events/notability.h"
#include "timeconv/zone.h"
#include "writers/markup.h"

namespace rondelo {

namespace {

constexpr std::size_t rowCapacity = 1024;  // held marks of a row before neighbours merge
constexpr std::size_t nameLimit = 80;      // characters of a name in the picture
constexpr double nameSize = 12;            // font size of a row's name
constexpr double legendSize = 11;
constexpr double rowHeight = 50;
constexpr double laneCentre = 25;       // of the middle lane, from a row's top
constexpr double labelBaselines[labelLanes] = {11, 46};  // from a row's top
constexpr double rowsTop = 36;          // below the now line's label and the axis's labels
constexpr double legendLine = 18;
constexpr double margin = 8;

// Ink, grid and the units' colours, each legible on its theme's background; a ring is a circle
// of class o, drawn in its unit's colour without a fill.
const char* const style =
    ".bg{fill:#fff}.fg,text{fill:#202124}.fg{stroke:#202124}.band{fill:#5f6368}"
    ".dim{fill:#5f6368}.zebra{fill:#f3f4f6}.grid{stroke:#dadce0}.line{stroke:#bdc1c6}"
    ".now{stroke:#d93025;stroke-width:1.5}text.now{fill:#d93025}"
    ".ring{fill:none;stroke:#202124;stroke-width:1.5}"
    ".d1{fill-opacity:.15}.d2{fill-opacity:.3}.d3{fill-opacity:.45}.d4{fill-opacity:.6}"
    ".u0{fill:#c0392b;stroke:#c0392b}.u1{fill:#8e44ad;stroke:#8e44ad}"
    ".u2{fill:#1f6fb2;stroke:#1f6fb2}.u3{fill:#138a52;stroke:#138a52}"
    ".u4{fill:#a66a00;stroke:#a66a00}.u5{fill:#00838f;stroke:#00838f}"
    ".u6{fill:#6d4c41;stroke:#6d4c41}.u7{fill:#546e7a;stroke:#546e7a}"
    "circle.o{fill:none;stroke-width:1.6}"
    "@media (prefers-color-scheme:dark){"
    ".bg{fill:#17181b}.fg,text{fill:#e8eaed}.fg{stroke:#e8eaed}.band{fill:#9aa0a6}"
    ".dim{fill:#9aa0a6}.zebra{fill:#222428}.grid{stroke:#3c4043}.line{stroke:#5f6368}"
    ".now{stroke:#f28b82}text.now{fill:#f28b82}.ring{stroke:#e8eaed}"
    ".u0{fill:#ff7b6b;stroke:#ff7b6b}.u1{fill:#d59cf0;stroke:#d59cf0}"
    ".u2{fill:#6cb4ff;stroke:#6cb4ff}.u3{fill:#4fd08f;stroke:#4fd08f}"
    ".u4{fill:#f5b041;stroke:#f5b041}.u5{fill:#4dd0e1;stroke:#4dd0e1}"
    ".u6{fill:#d7b98e;stroke:#d7b98e}.u7{fill:#b0bec5;stroke:#b0bec5}}";

// What tells references apart, each field led by its length.
std::string rowKey(const reference& ref)
{
    std::string key;
    const std::string when = absl::FormatCivilTime(ref.wallClock);
    for (const std::string* field : {&when, &ref.zoneName, &ref.name, &ref.label})
        key += std::to_string(field->size()) + ':' + *field;
    return key + std::to_string(static_cast<int>(ref.kind)) + (ref.yearless ? "-" : "");
}

std::string withOccurrence(const std::string& key, int occurrence)
{
    return key + '#' + std::to_string(occurrence);
}

bool isSameReference(const reference& a, const reference& b)
{
    return a.wallClock == b.wallClock && a.yearless == b.yearless && a.occurrence == b.occurrence &&
           a.kind == b.kind && a.zoneName == b.zoneName && a.name == b.name && a.label == b.label;
}

// The row of ref: most often the last line's.
std::optional<std::size_t> rowOfReference(pictureState& state, const reference& ref)
{
    if (state.lastRow < state.rows.size() && isSameReference(state.rows[state.lastRow].ref, ref))
        return state.lastRow;
    const auto found = state.rowOf.find(withOccurrence(rowKey(ref), ref.occurrence));
    if (found == state.rowOf.end())
        return std::nullopt;
    state.lastRow = found->second;
    return found->second;
}

bool isWithinReach(const pictureRow& row, const event& e, int sign)
{
    return sign > 0 ? !(row.reach < e.instant) : !(e.instant < row.reach);
}

long long floorDivided(long long a, long long b)
{
    return a / b - (a % b < 0 ? 1 : 0);
}

// Merges the row's marks, in time order, that share a bucket of its length; each merged mark
// keeps the most notable of its milestones.
void mergeBuckets(pictureRow& row)
{
    std::vector<heldMark> merged;
    for (const heldMark& m : row.marks) {
        heldMark* last = merged.empty() ? nullptr : &merged.back();
        if (last && floorDivided(last->first.seconds, row.bucket) ==
                        floorDivided(m.first.seconds, row.bucket)) {
            last->count += m.count;
            last->last = std::max(last->last, m.last);
            if (isMoreNotable(notabilityOf(m.e, row.ref), notabilityOf(last->e, row.ref)))
                last->e = m.e;
        } else {
            merged.push_back(m);
        }
    }
    row.marks.swap(merged);
}

// Merges the row's marks into buckets, first of the length they have, then of twice it until
// at most half the capacity is left: the buckets grow with the time the row spans, no faster.
void mergeMarks(pictureRow& row)
{
    std::sort(row.marks.begin(), row.marks.end(),
              [](const heldMark& a, const heldMark& b) { return a.first < b.first; });
    if (row.bucket > 0)
        mergeBuckets(row);
    while (row.marks.size() > rowCapacity / 2) {
        row.bucket = row.bucket == 0 ? 1 : row.bucket * 2;
        mergeBuckets(row);
    }
}

// The wall-clock time of e on the row's clock, as a tooltip shows it: "2030-05-17 14:30:00
// CEST".
std::string whenOf(const event& e, const pictureRow& row)
{
    return absl::FormatTime("%Y-%m-%d %H:%M:%S %Z", absl::FromUnixSeconds(e.instant.seconds),
                            row.shownOn);
}

std::string dateOf(unixInstant instant, const pictureRow& row)
{
    return absl::FormatTime("%Y-%m-%d", absl::FromUnixSeconds(instant.seconds), row.shownOn);
}

std::string unitClass(milestoneUnit unit)
{
    return "u" + std::to_string(unit < unitCount ? static_cast<int>(unit) : unitCount);
}

// The start of a family's shape at (x, y), without its end: "<circle ... class="CLASS"".
std::string shapeOf(milestoneFamily family, double x, double y, const std::string& cls)
{
    const std::string ofClass = "\" class=\"" + cls + "\"";
    const auto rect = [&](double width, double height) {
        return "<rect x=\"" + pixels(x - width / 2) + "\" y=\"" + pixels(y - height / 2) +
               "\" width=\"" + pixels(width) + "\" height=\"" + pixels(height) + ofClass;
    };
    const auto path = [&](double top, const char* rest) {
        return "<path d=\"M" + pixels(x) + "," + pixels(y + top) + rest + ofClass;
    };
    switch (family) {
    case familyRepdigit:
        return rect(6.4, 6.4);
    case familySequence:
        return path(-4, "l4,7h-8z");
    case familyBinary:
        return path(-4.4, "l4.4,4.4l-4.4,4.4l-4.4,-4.4z");
    case familyFibonacci:
        return path(4, "l4,-7h-8z");
    case familyEvery:
        return rect(2.4, 9);
    case familyReference:
        return rect(2, 16);
    default:
        break;
    }
    const bool ring = family == familyPlanets;
    return "<circle cx=\"" + pixels(x) + "\" cy=\"" + pixels(y) + "\" r=\"" + (ring ? "3" : "3.5") +
           "\" class=\"" + cls + (ring ? " o\"" : "\"");
}

std::string closingOf(const std::string& shape)
{
    return "</" + shape.substr(1, shape.find(' ') - 1) + ">";
}

void writeMark(std::ostream& out, const placedMark& mark, const pictureRow& row, double rowTop)
{
    static const double laneOffsets[markLanes] = {0, -laneStep, laneStep};
    const double y = rowTop + laneCentre + laneOffsets[mark.lane];
    const std::string cls = mark.e.family == familyReference ? "fg" : unitClass(mark.e.unit);
    const std::string shape = shapeOf(mark.e.family, mark.x, y, cls);
    if (mark.next)
        out << "<circle class=\"ring\" cx=\"" << pixels(mark.x) << "\" cy=\"" << pixels(y)
            << "\" r=\"6.5\"/>";
    // TRANSLATORS: before the title of a row's next milestone in a picture's tooltip.
    out << shape << "><title>" << markupEscaped(mark.next ? _("next: ") : "")
        << markupEscaped(shownTitle(mark.e, row) + ", " + whenOf(mark.e, row))
        << "</title>" << closingOf(shape) << '\n';
}

void writeBand(std::ostream& out, const placedBand& band, const pictureRow& row, double rowTop)
{
    // TRANSLATORS: a band of a picture that stands for many milestones: %1$s their count,
    // %2$s and %3$s the first and the last date.
    const char* text = ngettext("%1$s milestone, %2$s to %3$s", "%1$s milestones, %2$s to %3$s",
                                static_cast<unsigned long>(band.count));
    out << "<g class=\"band\"><title>"
        << markupEscaped(fill(text, {std::to_string(band.count), dateOf(band.first, row),
                                     dateOf(band.last, row)}))
        << "</title>";
    for (const densityCell& cell : band.cells)
        out << "<rect class=\"d" << cell.shade << "\" x=\"" << pixels(cell.left) << "\" y=\""
            << pixels(rowTop + laneCentre - 10) << "\" width=\"" << pixels(cell.right - cell.left)
            << "\" height=\"20\"/>";
    out << "</g>\n";
}

void writeLabel(std::ostream& out, const placedLabel& label, double rowTop)
{
    out << "<text x=\"" << pixels(label.x) << "\" y=\""
        << pixels(rowTop + labelBaselines[label.lane]) << '"'
        << (label.endAnchored ? " text-anchor=\"end\"" : "") << ">"
        << markupEscaped(label.text) << "</text>\n";
}

// The row's name, cut to fit the gutter, its whole in a tooltip.
void writeRowName(std::ostream& out, const pictureRow& row, double rowTop, double gutter)
{
    std::size_t characters = nameLimit;
    std::string name = row.name;
    while (characters > 2 && textWidth(name, nameSize) > gutter - 2 * margin)
        name = shortened(row.name, --characters);
    out << "<text x=\"" << margin << "\" y=\"" << pixels(rowTop + laneCentre + 4)
        << "\" font-size=\"12\">" << markupEscaped(name) << "<title>" << markupEscaped(row.name)
        << "</title></text>\n";
}

void writeRow(std::ostream& out, const pictureRow& row, const rowLayout& layout,
              const timeAxis& axis, double rowTop)
{
    out << "<g>\n<line class=\"line\" x1=\"" << pixels(axis.left - markSize) << "\" y1=\""
        << pixels(rowTop + laneCentre) << "\" x2=\"" << pixels(axis.right + markSize)
        << "\" y2=\"" << pixels(rowTop + laneCentre) << "\"/>\n";
    for (const placedBand& band : layout.bands)
        writeBand(out, band, row, rowTop);
    for (const placedMark& mark : layout.marks)
        writeMark(out, mark, row, rowTop);
    for (const placedLabel& label : layout.labels)
        writeLabel(out, label, rowTop);
    out << "</g>\n";
}

void writeRows(std::ostream& out, const std::vector<pictureRow>& rows,
               const std::vector<rowLayout>& layouts, const timeAxis& axis, double gutter)
{
    if (rows.empty())
        out << "<text class=\"dim\" x=\"" << margin << "\" y=\""
            << pixels(rowsTop + laneCentre + 4)
            << "\" font-size=\"12\">" << markupEscaped(_("No milestones in this window."))
            << "</text>\n";
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const double top = rowsTop + static_cast<double>(i) * rowHeight;
        writeRowName(out, rows[i], top, gutter);
        writeRow(out, rows[i], layouts[i], axis, top);
    }
}

// A legend's entry: a family's shape in a class (a unit's colour, or the ink), or a band.
struct legendEntry {
    milestoneFamily family;
    std::string cls;
    std::string text;
};

// What the picture shows: a bit for each unit and each family of its marks, and any band.
struct shownKinds {
    unsigned units = 0, families = 0;
    bool band = false;
};

shownKinds kindsOf(const std::vector<rowLayout>& layouts)
{
    shownKinds shown;
    for (const rowLayout& layout : layouts) {
        for (const placedMark& mark : layout.marks) {
            shown.units |= mark.e.family == familyReference ? 0 : 1u << mark.e.unit;
            shown.families |= 1u << mark.e.family;
        }
        shown.band = shown.band || !layout.bands.empty();
    }
    return shown;
}

// The entries for what the picture shows: its units by colour, the planets' years as one, its
// families by shape.
std::vector<legendEntry> legendOf(const shownKinds& shown)
{
    std::vector<legendEntry> entries;
    for (int u = 0; u < unitCount; ++u)
        if ((shown.units >> u) & 1)
            entries.push_back(
                {familyRound, unitClass(milestoneUnit(u)), unitName(milestoneUnit(u))});
    if (shown.units >> unitCount)
        entries.push_back({familyRound, unitClass(unitMercuryYears), _("planet years")});
    static const char* const names[] = {"round",   "repdigit", "sequence", "binary", "fibonacci",
                                        "planets", "--every",  "yearly",   "",       "reference"};
    static_assert(std::size(names) == familyReference + 1, "a name for each family");
    for (int f = 0; f <= familyReference; ++f)
        if ((shown.families >> f) & 1 && names[f][0] != '\0')
            entries.push_back({milestoneFamily(f), "fg", names[f]});
    if (shown.band)
        entries.push_back({familyRound, "band", _("many milestones (darker: more)")});
    return entries;
}

// Where each entry's symbol stands: in lines from top, wrapped to width.
std::vector<std::pair<double, double>> legendPlaces(const std::vector<legendEntry>& entries,
                                                    double width, double top)
{
    std::vector<std::pair<double, double>> places;
    double x = margin, y = top + legendLine / 2;
    for (const legendEntry& entry : entries) {
        const double length = 16 + textWidth(entry.text, legendSize) + 16;
        if (x + length > width - margin && x > margin) {
            x = margin;
            y += legendLine;
        }
        places.push_back({x, y});
        x += length;
    }
    return places;
}

void writeLegend(std::ostream& out, const std::vector<legendEntry>& entries,
                 const std::vector<std::pair<double, double>>& places)
{
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const auto [x, y] = places[i];
        if (entries[i].cls == "band")
            out << "<rect class=\"band d3\" x=\"" << pixels(x) << "\" y=\"" << pixels(y - 5)
                << "\" width=\"10\" height=\"10\"/>";
        else
            out << shapeOf(entries[i].family, x + 5, y, entries[i].cls) << "/>";
        out << "<text x=\"" << pixels(x + 16) << "\" y=\"" << pixels(y + 4)
            << "\" font-size=\"11\">" << markupEscaped(entries[i].text) << "</text>\n";
    }
}

double gutterOf(const std::vector<pictureRow>& rows)
{
    double widest = 0;
    for (const pictureRow& row : rows)
        widest = std::max(widest, textWidth(row.name, nameSize));
    return std::clamp(widest + 2 * margin, 64.0, 200.0);
}

void writeAxis(std::ostream& out, const std::vector<axisTick>& ticks, double bottom)
{
    for (const axisTick& tick : ticks)
        out << "<line class=\"grid\" x1=\"" << pixels(tick.x) << "\" y1=\"" << rowsTop - 4
            << "\" x2=\"" << pixels(tick.x) << "\" y2=\"" << pixels(bottom) << "\"/>\n";
    for (const double y : {rowsTop - 8, bottom + 14})
        for (const axisTick& tick : ticks)
            out << "<text class=\"dim\" x=\"" << pixels(tick.x) << "\" y=\"" << pixels(y)
                << "\" font-size=\"11\" text-anchor=\"middle\">" << tick.label << "</text>\n";
}

void writeNow(std::ostream& out, const timeAxis& axis, unixInstant now, double bottom)
{
    if (now < axis.start || axis.end < now)
        return;
    const double x = xOf(axis, now);
    out << "<line class=\"now\" x1=\"" << pixels(x) << "\" y1=\"16\" x2=\"" << pixels(x)
        << "\" y2=\"" << pixels(bottom) << "\"/>\n<text class=\"now\" x=\"" << pixels(x)
        << "\" y=\"12\" font-size=\"11\" text-anchor=\"middle\">now</text>\n";
}

void writeHead(std::ostream& out, double width, double height, bool standalone)
{
    if (standalone)
        out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    out << "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" << pixels(width)
        << "\" height=\"" << pixels(height) << "\" viewBox=\"0 0 " << pixels(width) << ' '
        << pixels(height) << "\" font-family=\"sans-serif\" font-size=\"10\" role=\"img\">\n"
        << "<title>Milestones</title>\n<style>" << style << "</style>\n<rect class=\"bg\" width=\""
        << pixels(width) << "\" height=\"" << pixels(height) << "\"/>\n";
}

void writeZebra(std::ostream& out, std::size_t rows, double width)
{
    for (std::size_t i = 1; i < rows; i += 2)
        out << "<rect class=\"zebra\" x=\"0\" y=\""
            << pixels(rowsTop + static_cast<double>(i) * rowHeight)
            << "\" width=\"" << pixels(width) << "\" height=\"" << rowHeight << "\"/>\n";
}

}  // namespace

std::optional<unixInstant> pictureReach(const reference& ref, const writerSettings& settings)
{
    const bool forward = settings.sign > 0;
    const bool picture =
        settings.format == outputFormat::svg || settings.format == outputFormat::html;
    if (!picture || (forward ? settings.until.has_value() : settings.from.has_value()))
        return std::nullopt;
    const absl::CivilSecond at = ref.wallClock;
    const absl::CivilSecond far(at.year() + (forward ? 100 : -100), at.month(), at.day(),
                                at.hour(), at.minute(), at.second());
    return wallClock2UnixTime(ref.zone, far);
}

std::string rowName(const reference& ref)
{
    if (!ref.name.empty())
        return shownName(ref);
    const absl::CivilSecond at = ref.wallClock;
    const bool midnight = at.hour() == 0 && at.minute() == 0 && at.second() == 0;
    return absl::FormatCivilTime(absl::CivilDay(at)) +
           (midnight ? "" : " " + absl::FormatCivilTime(absl::CivilMinute(at)).substr(11));
}

void addPictureRow(pictureState& state, reference& ref, const writerSettings& settings)
{
    const std::string key = rowKey(ref);
    ref.occurrence = ++state.alike[key];
    state.rowOf[withOccurrence(key, ref.occurrence)] = state.rows.size();
    const unixInstant unbounded{settings.sign > 0 ? LLONG_MAX : LLONG_MIN};
    pictureRow row{ref,
                   shortened(rowName(ref), nameLimit),
                   pictureReach(ref, settings).value_or(unbounded),
                   {},
                   0,
                   {},
                   settings.words,
                   shownZone(ref, settings)};
    state.rows.push_back(std::move(row));
}

std::optional<std::size_t> takePictureLine(pictureState& state, std::ostream& out,
                                           std::ostream& err, const event& e,
                                           const reference& ref, const writerSettings& settings)
{
    const std::optional<std::size_t> found = rowOfReference(state, ref);
    if (!found)
        return std::nullopt;
    if (!canShowDate(e, ref)) {
        writeUnshownDate(out, err, e, ref, settings);
        return std::nullopt;
    }
    pictureRow& row = state.rows[*found];
    if (!isWithinReach(row, e, settings.sign))
        return std::nullopt;
    if (!(e.instant < settings.now) && (!row.next || e.instant < row.next->instant))
        row.next = e;
    row.marks.push_back({e, 1, e.instant, e.instant});
    if (row.marks.size() > rowCapacity)
        mergeMarks(row);
    return found;
}

bool writePicture(std::ostream& out, const pictureState& state, const writerSettings& settings,
                  bool standalone)
{
    const double gutter = gutterOf(state.rows);
    const double width = gutter + plotWidth + 40;  // room for half a date under the last tick
    const timeAxis axis = axisOf(state.rows, settings, gutter);
    std::vector<rowLayout> layouts;
    for (const pictureRow& row : state.rows)
        layouts.push_back(layoutRow(row, axis));
    const std::vector<legendEntry> legend = legendOf(kindsOf(layouts));
    // An empty picture keeps the room of one row, to say so.
    const double bottom =
        rowsTop + static_cast<double>(std::max<std::size_t>(state.rows.size(), 1)) * rowHeight;
    const auto places = legendPlaces(legend, width, bottom + 24);
    const double legendBottom =
        places.empty() ? bottom + 24 : places.back().second + legendLine / 2;
    writeHead(out, width, legendBottom + margin, standalone);
    writeZebra(out, state.rows.size(), width);
    writeAxis(out, ticksOf(axis, settings.zone), bottom);
    writeNow(out, axis, settings.now, bottom);
    writeRows(out, state.rows, layouts, axis, gutter);
    writeLegend(out, legend, places);
    out << "</svg>\n";
    return static_cast<bool>(out);
}

}  // namespace rondelo
