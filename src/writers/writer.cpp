// Chooses the writer of a run's format and hands it each line.
#include "writers/writer.h"

#include <climits>

#include "writers/csv.h"
#include "writers/json.h"

namespace rondelo {

namespace {

bool writeMoment(writer& w, std::ostream& out, std::ostream& err, const moment& m,
                 const reference& ref)
{
    if (w.settings.format == outputFormat::ics)
        return writeCalendarEvent(out, err, m, ref, w.settings, std::get<calendarState>(w.state));
    if (w.settings.format == outputFormat::text)
        return writeTextLine(out, err, m, ref, w.settings, std::get<textState>(w.state));
    directoryState& directory = std::get<directoryState>(w.state);
    addVdirItem(directory.items, err, m, ref, w.settings, directory.calendar);
    return true;
}

momentSink momentsOf(writer& w, std::ostream& out, std::ostream& err)
{
    return [&w, &out, &err](const moment& m, const reference& ref) {
        return writeMoment(w, out, err, m, ref);
    };
}

}  // namespace

writer makeWriter(writerSettings settings)
{
    if (settings.format != outputFormat::csv)
        settings.words.numbers = currentNumberStyle();
    writer w{settings, {}, {}};
    w.moments.timeOrdered = settings.timeOrdered;
    w.moments.gathersAges = settings.format == outputFormat::text;
    if (settings.format == outputFormat::ics)
        w.state = calendarState{};
    else if (settings.format == outputFormat::text)
        w.state = makeTextState(settings);
    else if (settings.format == outputFormat::vdir)
        w.state = directoryState{{}, {}, {{}, settings.from.value_or(unixInstant{LLONG_MIN})}};
    else if (settings.format == outputFormat::svg)
        w.state = pictureState{};
    else if (settings.format == outputFormat::html)
        w.state = makePageState(settings);
    return w;
}

bool writeBegin(writer& w, std::ostream& out)
{
    return w.settings.format != outputFormat::ics || writeCalendarBegin(out, w.settings);
}

void countReference(writer& w, reference& ref)
{
    if (w.settings.format == outputFormat::ics)
        countCalendarReference(std::get<calendarState>(w.state), ref);
    else if (w.settings.format == outputFormat::vdir)
        countCalendarReference(std::get<directoryState>(w.state).calendar, ref);
    else if (w.settings.format == outputFormat::svg)
        addPictureRow(std::get<pictureState>(w.state), ref, w.settings);
    else if (w.settings.format == outputFormat::html)
        addPageRow(std::get<pageState>(w.state), ref, w.settings);
}

void noteReferenceRead(writer& w, const reference& ref)
{
    if (w.settings.format == outputFormat::vdir)
        noteReference(std::get<directoryState>(w.state).history, ref);
}

bool writeLine(writer& w, std::ostream& out, std::ostream& err, const event& e,
               const reference& ref)
{
    switch (w.settings.format) {
    case outputFormat::csv:
        return writeCsvLine(out, err, e, ref, w.settings);
    case outputFormat::json:
        return writeJsonLine(out, err, e, ref, w.settings);
    case outputFormat::ics:
    case outputFormat::text:
    case outputFormat::vdir:
        break;
    case outputFormat::svg:
        takePictureLine(std::get<pictureState>(w.state), out, err, e, ref, w.settings);
        return static_cast<bool>(out);
    case outputFormat::html:
        takePageLine(std::get<pageState>(w.state), out, err, e, ref, w.settings);
        return static_cast<bool>(out);
        break;
    }
    return addLine(w.moments, e, ref, momentsOf(w, out, err));
}

bool gathersMoments(const writer& w)
{
    const outputFormat f = w.settings.format;
    return f == outputFormat::ics || f == outputFormat::text || f == outputFormat::vdir;
}

bool endBatch(writer& w, std::ostream& out, std::ostream& err)
{
    return w.moments.pending.empty() || flushMoments(w.moments, momentsOf(w, out, err));
}

bool writeEnd(writer& w, std::ostream& out, std::ostream& err)
{
    if (!endBatch(w, out, err))
        return false;
    if (w.settings.format == outputFormat::ics &&
        !writeCalendarEnd(out, w.settings, std::get<calendarState>(w.state)))
        return false;
    if (w.settings.format == outputFormat::svg &&
        !writePicture(out, std::get<pictureState>(w.state), w.settings, true))
        return false;
    if (w.settings.format == outputFormat::html &&
        !writePage(out, std::get<pageState>(w.state), w.settings))
        return false;
    return static_cast<bool>(out.flush());
}

std::optional<std::string> syncDirectory(writer& w)
{
    vdirMetadata metadata;  // a name or colour not given leaves the user's own as it is
    if (!w.settings.calendarName.empty())
        metadata["displayname"] = w.settings.calendarName;
    if (!w.settings.calendarColor.empty())
        metadata["color"] = w.settings.calendarColor;
    const directoryState& directory = std::get<directoryState>(w.state);
    return syncVdir(w.settings.directory, directory.items, metadata, vdirLockWait,
                    directory.history);
}

bool writeEvents(writer& w, std::ostream& out, std::ostream& err, const eventList& events,
                 const reference& ref)
{
    if (!writeBegin(w, out))
        return false;
    for (const event& e : events)
        if (!writeLine(w, out, err, e, ref))
            return false;
    return writeEnd(w, out, err);
}

}  // namespace rondelo
