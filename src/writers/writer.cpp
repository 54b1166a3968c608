// Chooses the writer of a run's format and hands it each line.
#include "writers/writer.h"

#include "writers/csv.h"
#include "writers/json.h"

namespace rondelo {

writer makeWriter(const writerSettings& settings)
{
    writer w{settings, {}};
    if (settings.format == outputFormat::ics)
        w.state = calendarState{};
    else if (settings.format == outputFormat::text)
        w.state = makeTextState(settings);
    else if (settings.format == outputFormat::vdir)
        w.state = directoryState{};
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
}

bool writeLine(writer& w, std::ostream& out, std::ostream& err, const event& e,
               const reference& ref)
{
    switch (w.settings.format) {
    case outputFormat::ics:
        return writeCalendarEvent(out, err, e, ref, w.settings, std::get<calendarState>(w.state));
    case outputFormat::json:
        return writeJsonLine(out, err, e, ref, w.settings);
    case outputFormat::text:
        return writeTextLine(out, err, e, ref, w.settings, std::get<textState>(w.state));
    case outputFormat::vdir: {
        directoryState& directory = std::get<directoryState>(w.state);
        addVdirItem(directory.items, err, e, ref, w.settings, directory.calendar);
        return true;
    }
    case outputFormat::csv:
        break;
    }
    return writeCsvLine(out, err, e, ref, w.settings);
}

bool writeEnd(writer& w, std::ostream& out)
{
    if (w.settings.format == outputFormat::ics &&
        !writeCalendarEnd(out, w.settings, std::get<calendarState>(w.state)))
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
    return syncVdir(w.settings.directory, std::get<directoryState>(w.state).items, metadata);
}

bool writeEvents(writer& w, std::ostream& out, std::ostream& err, const eventList& events,
                 const reference& ref)
{
    if (!writeBegin(w, out))
        return false;
    for (const event& e : events)
        if (!writeLine(w, out, err, e, ref))
            return false;
    return writeEnd(w, out);
}

}  // namespace rondelo
