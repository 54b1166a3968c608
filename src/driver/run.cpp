// The pipeline of a run: sources in, a window, an order, a writer out.
#include "driver/run.h"

#include <sys/stat.h>
#include <unistd.h>  // for STDOUT_FILENO and readlink

#include <algorithm>

#include <climits>  // for PATH_MAX

#include "diagnostics/language.h"
#include "diagnostics/messages.h"
#include "driver/help.h"
#include "driver/status.h"
#include "events/order.h"
#include "generators/collect.h"
#include "readers/arguments.h"
#include "readers/dates_file.h"
#include "readers/file_zones.h"
#include "readers/input_file.h"
#include "writers/writer.h"

namespace rondelo {

namespace {

generationPlan planOf(const runOptions& options)
{
    if (options.age)  // ages count up to --from, and no window leaves them out
        return {{LLONG_MIN}, {LLONG_MAX}, 1, options.milestones, options.from.value_or(options.now)};
    return {options.from.value_or(unixInstant{LLONG_MIN}),
            options.until.value_or(unixInstant{LLONG_MAX}), options.sign, options.milestones,
            std::nullopt};
}

// A picture draws 100 years from each reference: no line past them is made.
generationPlan planOfReference(const generationPlan& plan, const reference& ref,
                               const writerSettings& settings)
{
    generationPlan narrowed = plan;
    if (const std::optional<unixInstant> reach = pictureReach(ref, settings)) {
        if (plan.sign > 0)
            narrowed.until = std::min(plan.until, unixInstant{reach->seconds + 1});
        else
            narrowed.from = std::max(plan.from, *reach);
    }
    return narrowed;
}

// What a run saw, for what it says when its lines are out.
struct runTally {
    std::vector<long long> references;  // read from each source, in the order of the sources
    std::vector<long long> skipped;     // entries each source could not read
    long long lines = 0;                // made in the window, held or not
    long long yearless = 0;             // references read that are dates without a year
    // While the window has held no line: the earliest after it, and whose it is.
    std::optional<std::pair<event, reference>> next;
};

// One reference's events, batch by batch, into the order, counted in lines; false when sink
// failed to write.
bool offerReference(const generationPlan& wholePlan, reference& ref, eventList& events,
                    lineOrder& order, const lineSink& sink, const writerSettings& settings,
                    long long& lines)
{
    const generationPlan plan = planOfReference(wholePlan, ref, settings);
    startReference(order);
    bool first = true;  // the families' batch; then the every family's, forward in time order
    for (eventBatches batches = startEvents(ref, plan); nextEvents(batches, events, plan);) {
        // Past the earliest lines held, the rest of a forward every family is too.
        const bool later = !first && plan.sign > 0 && isClosedFrom(order, events.front().instant);
        lines += static_cast<long long>(events.size());
        if (later || !offerLines(order, events, ref, sink))
            return later;
        first = false;
    }
    return true;
}

long long referencesOf(const runTally& tally)
{
    long long references = 0;
    for (const long long read : tally.references)
        references += read;
    return references;
}

// Whether a person reads the lines: in text, or at a terminal in any format.
bool toPerson(const runOptions& options)
{
    return options.format == outputFormat::text || options.terminal;
}

// Keeps the earliest line after the window's end that ref makes, while the window is empty.
void noteNext(const generationPlan& plan, const reference& ref, runTally& tally)
{
    if (tally.lines > 0 || plan.until.seconds == LLONG_MAX)
        return;
    const std::optional<event> next = firstEventFrom(ref, plan, plan.until);
    if (next && (!tally.next || next->instant < tally.next->first.instant))
        tally.next = {*next, ref};
}

lineOrder orderOf(const runOptions& options)
{
    std::optional<lineCap> cap;
    if (options.atMost)
        cap = lineCap{options.atMost->first, options.atMost->second, options.zone};
    if (options.next)
        return makeOrder(orderKind::earliest, static_cast<std::size_t>(*options.next), cap);
    return makeOrder(options.sortByTime ? orderKind::byTime : orderKind::asMade, 0, cap);
}

writerSettings writerSettingsOf(const runOptions& options, bool flushEachLine)
{
    return {options.format,
            options.classic,
            flushEachLine,
            options.now,
            options.calendarStamp,
            options.reminders,
            options.calendarName,
            options.vdir.value_or(""),
            options.calendarColor,
            options.sortByTime || options.next.has_value(),
            {numberStyle(), options.title.has_value()},
            options.sign,
            options.showIn.value_or(options.zone),  // a picture's axis on the clock shown
            options.from,
            options.until,
            options.unitsChosen,
            options.showIn,
            options.showInName};
}

// A reference read from the i-th source.
void countRead(runTally& tally, std::size_t i, const reference& ref)
{
    ++tally.references[i];
    tally.yearless += ref.yearless ? 1 : 0;
}

// Every reference of the sources through generation into the order; the status so far. With
// findNext, the earliest line after an empty window is sought too.
int offerAll(const generationPlan& plan, std::vector<referenceSource>& sources,
             lineOrder& order, const lineSink& sink, writer& output, std::ostream& err,
             bool findNext, runTally& tally)
{
    eventList events;  // one list, its storage reused for every reference
    reference ref{};
    std::string problem;
    int status = statusDone;
    tally.references.assign(sources.size(), 0);
    tally.skipped.assign(sources.size(), 0);
    for (std::size_t i = 0; i < sources.size(); ++i)
        for (readStep step; (step = sources[i](ref, problem)) != readStep::end;) {
            if (step != readStep::reference)
                say(err, problem);
            if (step == readStep::failed)
                return statusFailure;
            if (step == readStep::skipped) {
                ++tally.skipped[i];
                status = statusSkipped;
                continue;
            }
            countRead(tally, i, ref);
            noteReferenceRead(output, ref);
            if (!offerReference(plan, ref, events, order, sink, output.settings, tally.lines))
                return statusFailure;  // the output failed: the caller says so
            if (findNext)
                noteNext(plan, ref, tally);
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

// now as a reference, this instant; today, tomorrow or yesterday, that day of the run's zone at
// the options' time of day.
void placeDay(const whenSpec& day, const runOptions& options, reference& ref)
{
    const absl::CivilSecond now = civilOf(unixTime2WallClock(options.zone, options.now));
    if (day.kind == whenSpec::now)
        ref.instant = options.now;
    ref.wallClock = day.kind == whenSpec::now
                        ? now
                        : civilOf(readingOf(absl::CivilDay(now) + day.value, options.timeOfDay));
}

// The reference of the date words of a run with options into ref, whose zone is the run's; the
// exit status when the run ends here.
std::optional<int> readOptionDate(const runOptions& options, std::ostream& err, reference& ref)
{
    commandDate date{};
    if (auto failure = readDateWords(options.dateWords, options.timeGiven, date)) {
        if (failure->problem == dateProblem::usage)
            return usageError(err, failure->what);
        say(err, failure->what);
        return statusOf(failure->problem);
    }
    if (date.day) {
        placeDay(*date.day, options, ref);
        return std::nullopt;
    }
    fileZones zones;
    if (auto wrong = placeDate(date.date, date.anchor, options.timeOfDay, zones, ref)) {
        say(err, quoted(options.dateWords[0]) + *wrong);
        return statusNotANumber;
    }
    return std::nullopt;
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
    return readOptionDate(options, err, ref);
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

// The catalogs beside the program: PREFIX/share/locale for PREFIX/bin/rondelo, wherever the
// prefix was installed to, else the build tree's locale/ beside the program built; the
// configured directory when the program cannot see itself.
std::string catalogDirectory()
{
    char path[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path);
    if (length <= 0 || length == static_cast<ssize_t>(sizeof path))
        return RONDELO_LOCALEDIR;
    const std::string program(path, static_cast<std::size_t>(length));
    const std::string directory = program.substr(0, program.rfind('/') + 1);
    const std::string installed = directory + RONDELO_LOCALEDIR_FROM_BINDIR;
    struct stat found {};
    return stat(installed.c_str(), &found) == 0 ? installed : directory + "locale";
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

namespace {

// The sources' names in messages, in the order openSources opens them; none for a date of the
// command line.
std::vector<std::string> sourceNames(const runOptions& options)
{
    std::vector<std::string> names;
    if (options.datesFile)
        names.push_back(shownPath(*options.datesFile));
    for (const std::string& path : options.contacts)
        names.push_back(shownPath(path));
    return names;
}

// "2027-12-08": the date of instant on zone's clock; "2027-12-08T10:30:00" with its time.
std::string dayOf(unixInstant instant, const absl::TimeZone& zone, bool withTime = false)
{
    return absl::FormatTime(withTime ? "%Y-%m-%dT%H:%M:%S" : "%Y-%m-%d",
                            absl::FromUnixSeconds(instant.seconds), zone);
}

// Says that the window holds no line, with the first after it: "no milestone until
// 2027-12-08; the next: 20M minutes on 2028-05-26".
void sayEmptyWindow(const runOptions& options, const runTally& tally, std::ostream& err)
{
    const absl::TimeZone& zone = options.showIn.value_or(options.zone);
    const bool fromNow = !options.from || options.from->seconds == options.now.seconds;
    // Edges on one date are told apart by their times.
    const bool withTime = options.from && options.until &&
                          dayOf(*options.from, zone) == dayOf(*options.until, zone);
    std::string what = "no milestone";
    if (!fromNow || !options.until)
        what += " from " + (fromNow ? std::string("now") : dayOf(*options.from, zone, withTime));
    if (!options.until) {
        say(err, what + " on");
        return;
    }
    what += " until " + dayOf(*options.until, zone, withTime);
    if (!tally.next) {
        say(err, what + ", nor after it");
        return;
    }
    const auto& [e, ref] = *tally.next;
    const std::string whose = ref.name.empty() ? "" : " (" + printable(shownName(ref)) + ")";
    say(err, what + "; the next: " + labelOf(e, ref) + " on " +
                 dayOf(e.instant, options.showIn.value_or(ref.zone)) + whose);
}

// What a run says when its lines are out: each source that held no entry at all; a window that
// held no line, to a person (in text, or at a terminal); how to see more than the first screen.
void sayWhatWasSeen(const runOptions& options, const runTally& tally, std::ostream& err)
{
    const std::vector<std::string> names = sourceNames(options);
    for (std::size_t i = 0; i < names.size() && i < tally.references.size(); ++i)
        if (tally.references[i] == 0 && tally.skipped[i] == 0)
            say(err, names[i] + " holds no reference");
    const long long read = referencesOf(tally);
    if (read > 0 && tally.lines == 0 && tally.yearless == read && !givesYearlyDays(planOf(options)))
        say(err, "no date read has a year: such a date has no milestones; --every=1y, without "
                 "--before, gives its day each year");
    else if (read > 0 && tally.lines == 0 && toPerson(options) && !options.age &&
             (options.from || options.until))
        sayEmptyWindow(options, tally, err);
    if (options.firstScreen && tally.lines > firstScreenLines)
        say(err, "the next " + std::to_string(firstScreenLines) +
                     "; --next=N for more, --format=csv for all of them");
}

}  // namespace

int runPipeline(const runOptions& options, std::vector<referenceSource>& sources,
                bool flushEachLine, std::ostream& out, std::ostream& err)
{
    writer output = makeWriter(writerSettingsOf(options, flushEachLine));
    lineSink sink{[&](reference& ref) { countReference(output, ref); },
                  [&](const event& e, const reference& ref) {
                      return writeLine(output, out, err, e, ref);
                  },
                  nullptr};
    if (gathersMoments(output))
        sink.endBatch = [&] { return endBatch(output, out, err); };
    if (!writeBegin(output, out))
        return statusFailure;
    lineOrder order = orderOf(options);
    runTally tally;
    const int status = offerAll(planOf(options), sources, order, sink, output, err,
                                toPerson(options) && !options.age, tally);
    if (status == statusFailure ||
        (options.vdir && !mayChangeDirectory(*options.vdir, status, referencesOf(tally), err)))
        return status == statusDone ? statusFailure : status;
    if (!finishLines(order, sink) || !writeEnd(output, out, err))
        return statusFailure;
    sayWhatWasSeen(options, tally, err);
    return options.vdir ? syncCalendarDirectory(output, err, status) : status;
}

int run(int argc, char* argv[], std::ostream& out, std::ostream& err)
{
    runOptions options;
    if (argc <= 1) {
        showFirstScreen(err);
        return statusUsage;
    }
    if (hasOptions(argc, argv)) {
        options.terminal = isatty(STDOUT_FILENO) == 1;  // the classic run writes for scripts
        if (auto status = readOptions(argc, argv, out, err, options))
            return *status;
    } else if (argc <= 4) {
        const std::string name = baseName(argv[0]);
        showVersion(err, name.c_str());
        showUsage(err, name.c_str());
        return statusUsage;
    }
    // Words only where a person reads them: the classic form and CSV stay as they are, and
    // cost nothing more.
    if (!options.classic && options.format != outputFormat::csv)
        startLanguage(catalogDirectory());
    std::vector<referenceSource> sources;
    if (auto status = openSources(argc, argv, options, err, sources))
        return *status;
    // A single date is flushed line by line, as the classic run always was; a file's lines go
    // out in blocks.
    const bool blocks = options.datesFile || !options.contacts.empty();
    return runPipeline(options, sources, !blocks, out, err);
}

}  // namespace rondelo
