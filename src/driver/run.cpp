// The pipeline of a run: sources in, a window, an order, a writer out.
#include "driver/run.h"

#include <unistd.h>  // for STDOUT_FILENO


#include "diagnostics/messages.h"
#include "driver/help.h"
#include "driver/status.h"
#include "events/order.h"
#include "generators/collect.h"
#include "readers/arguments.h"
#include "readers/dates_file.h"
#include "writers/writer.h"

namespace rondelo {

namespace {

generationPlan planOf(const runOptions& options)
{
    if (options.age)  // ages count up to --from, and no window leaves them out
        return {LLONG_MIN, LLONG_MAX, 1, options.milestones,
                options.from.value_or(options.now).seconds};
    return {options.from ? options.from->seconds : LLONG_MIN,
            options.until ? options.until->seconds : LLONG_MAX, options.sign, options.milestones,
            std::nullopt};
}

// One reference's events, batch by batch, into the order; false when sink failed to write.
bool offerReference(const generationPlan& plan, reference& ref, eventList& events,
                    lineOrder& order, const lineSink& sink)
{
    startReference(order);
    bool first = true;  // the families' batch; then the every family's, forward in time order
    for (eventBatches batches = startEvents(ref, plan); nextEvents(batches, events, plan);) {
        // Past the earliest lines held, the rest of a forward every family is too.
        const bool later = !first && plan.sign > 0 && isClosedFrom(order, events.front().timestamp);
        if (later || !offerLines(order, events, ref, sink))
            return later;
        first = false;
    }
    return true;
}

lineOrder orderOf(const runOptions& options)
{
    if (options.next)
        return makeOrder(orderKind::earliest, static_cast<std::size_t>(*options.next));
    return makeOrder(options.sortByTime ? orderKind::byTime : orderKind::asMade);
}

writerSettings writerSettingsOf(const runOptions& options, bool flushEachLine)
{
    return {options.format, options.classic, flushEachLine, options.now, options.calendarStamp,
            options.reminders, options.calendarName, options.vdir.value_or(""),
            options.calendarColor, options.milestones, options.sign, options.age};
}

// Every reference of the sources through generation into the order; the status so far.
int offerAll(const generationPlan& plan, std::vector<referenceSource>& sources,
             lineOrder& order, const lineSink& sink, std::ostream& err, long long& references)
{
    eventList events;  // one list, its storage reused for every reference
    reference ref{};
    std::string problem;
    int status = statusDone;
    for (referenceSource& source : sources)
        for (readStep step; (step = source(ref, problem)) != readStep::end;) {
            if (step != readStep::reference)
                say(err, problem);
            if (step == readStep::failed)
                return statusFailure;
            if (step == readStep::skipped) {
                status = statusSkipped;
                continue;
            }
            ++references;
            if (!offerReference(plan, ref, events, order, sink))
                return statusFailure;  // the output failed: the caller says so
        }
    return status;
}

// The status of a mistake in the date words.
int statusOf(dateProblem problem)
{
    switch (problem) {
    case dateProblem::usage:
        return statusUsage;
    case dateProblem::notANumber:
        return statusNotANumber;
    case dateProblem::outOfRange:
        break;
    }
    return statusOutOfRange;
}

// The reference of the date words, in the classic form or with options; the exit status when
// the run ends here.
std::optional<int> readReference(int argc, char* argv[], const runOptions& options,
                                 std::ostream& err, reference& ref)
{
    ref = reference{};
    ref.zone = options.zone;
    ref.zoneName = options.zoneName;
    ref.name = options.title.value_or("");
    if (options.classic) {
        referenceArguments args{};
        if (auto failure = readReferenceArguments(argv, args)) {
            showArgs(err, argc, argv);
            say(err, failure->what);
            return statusOf(failure->problem);
        }
        ref.wallClock = wallClockOf(args, options.timeOfDay);
        return std::nullopt;
    }
    writtenDate date{};
    if (auto failure = readDateWords(options.dateWords, options.timeGiven, date)) {
        if (failure->problem == dateProblem::usage)
            return usageError(err, failure->what);
        say(err, failure->what);
        return statusOf(failure->problem);
    }
    ref.wallClock = wallClockOf(date, options.timeOfDay);
    return std::nullopt;
}

// An entry that could not be read, or a source that gave nothing at all (an empty file, an
// address book not yet synced), must never take events off every calendar.
bool mayChangeDirectory(const std::string& directory, int status, long long references,
                        std::ostream& err)
{
    if (status == 0 && references > 0)
        return true;
    say(err, printable(directory) + " is left as it was" +
                 (status == 0 ? ": no reference was read" : ""));
    return false;
}

int syncCalendarDirectory(writer& output, std::ostream& err, int status)
{
    if (auto wrong = syncDirectory(output)) {
        say(err, printable(*wrong));
        return statusFailure;
    }
    return status;
}

}  // namespace

std::optional<int> openSources(int argc, char* argv[], const runOptions& options,
                               std::ostream& err, std::vector<referenceSource>& sources)
{
    std::string problem;
    if (options.datesFile) {
        auto file = openDatesFile(*options.datesFile, defaultsOf(options), STDOUT_FILENO, problem);
        if (!file) {
            say(err, problem);
            return statusFailure;
        }
        sources.push_back(std::move(*file));
    }
    for (const std::string& path : options.contacts) {
        auto book = openContacts(path, defaultsOf(options), options.contactKinds, problem);
        if (!book) {
            say(err, problem);
            return statusFailure;
        }
        sources.push_back(std::move(*book));
    }
    if (!sources.empty())
        return std::nullopt;
    reference ref;
    if (auto status = readReference(argc, argv, options, err, ref))
        return status;
    sources.push_back(singleSource(ref));
    return std::nullopt;
}


referenceDefaults defaultsOf(const runOptions& options)
{
    return {options.timeOfDay, options.zone, options.zoneName, options.title.value_or("")};
}

int runPipeline(const runOptions& options, std::vector<referenceSource>& sources,
                bool flushEachLine, std::ostream& out, std::ostream& err)
{
    writer output = makeWriter(writerSettingsOf(options, flushEachLine));
    const lineSink sink{[&](reference& ref) { countReference(output, ref); },
                        [&](const event& e, const reference& ref) {
                            return writeLine(output, out, err, e, ref);
                        }};
    if (!writeBegin(output, out))
        return statusFailure;
    lineOrder order = orderOf(options);
    long long references = 0;
    const int status = offerAll(planOf(options), sources, order, sink, err, references);
    if (status == statusFailure ||
        (options.vdir && !mayChangeDirectory(*options.vdir, status, references, err)))
        return status == statusDone ? statusFailure : status;
    if (!finishLines(order, sink) || !writeEnd(output, out))
        return statusFailure;
    return options.vdir ? syncCalendarDirectory(output, err, status) : status;
}

int run(int argc, char* argv[], std::ostream& out, std::ostream& err)
{
    runOptions options;
    if (hasOptions(argc, argv)) {
        if (auto status = readOptions(argc, argv, out, err, options))
            return *status;
    } else if (argc <= 4) {
        const std::string name = baseName(argv[0]);
        showVersion(err, name.c_str());
        showUsage(err, name.c_str());
        return statusUsage;
    }
    std::vector<referenceSource> sources;
    if (auto status = openSources(argc, argv, options, err, sources))
        return *status;
    // A single date is flushed line by line, as the classic run always was; a file's lines go
    // out in blocks.
    const bool blocks = options.datesFile || !options.contacts.empty();
    return runPipeline(options, sources, !blocks, out, err);
}

}  // namespace rondelo
