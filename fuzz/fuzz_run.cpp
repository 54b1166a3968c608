// Fuzzes a whole run over a file of references: the first line holds option words separated by
// \x01, the rest is the file. Whatever the bytes, the run ends with 0 or 4, its lines lie in the
// window and in the order asked for, a calendar's UIDs are unique, and no message holds a byte
// that would act on a terminal.
#include <sys/mman.h>  // for memfd_create
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "driver/options.h"
#include "driver/run.h"

using namespace rondelo;

namespace {

void check(bool condition)
{
    if (!condition)
        std::abort();
}

std::vector<std::string> optionWords(const std::string& line)
{
    std::vector<std::string> words{"rondelo"};
    std::istringstream in(line);
    for (std::string word; std::getline(in, word, '\x01');)
        if (word.size() > 1 && word[0] == '-')
            words.push_back(word);  // option words only: the file is the fuzzer's
    return words;
}

// The Unix seconds a line of CSV or JSON Lines starts with.
long long instantOf(const std::string& line)
{
    return std::strtoll(line.c_str() + (line[0] == '{' ? 8 : 0), nullptr, 10);
}

bool endsWith(const std::string& text, const std::string& end)
{
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

void checkLines(const runOptions& options, const std::string& text)
{
    // A picture and a page are written whole, once every line is in.
    if (options.format == outputFormat::svg || options.format == outputFormat::html) {
        check(endsWith(text, options.format == outputFormat::svg ? "</svg>\n" : "</html>\n"));
        return;
    }
    std::istringstream lines(text);
    long long last = LLONG_MIN, count = 0;
    std::set<std::string> uids;
    for (std::string line; std::getline(lines, line); ++count) {
        if (options.format == outputFormat::ics) {
            if (line.compare(0, 4, "UID:") == 0)
                check(uids.insert(line).second);
            continue;
        }
        if (options.format == outputFormat::text)
            continue;
        const long long instant = instantOf(line);
        check(!options.from || instant >= options.from->seconds);
        check(!options.until || instant < options.until->seconds);
        check(!options.sortByTime || instant >= last);
        last = instant;
    }
    check(!options.next || options.format == outputFormat::ics || count <= *options.next);
}

void checkMessages(const std::string& text)
{
    for (std::size_t at = 0; at < text.size(); ++at) {
        const auto octet = static_cast<unsigned char>(text[at]);
        check(octet == '\n' || (octet >= 0x20 && octet != 0x7F));
        check(at == 0 || text[at - 1] != '\n' || text.compare(at, 9, "rondelo: ") == 0);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    setenv("TZ", "UTC", 1);  // the run's zone when the options name none
    setenv("RONDELO_CONFIG", "", 1);  // no file of defaults
    const std::string input(reinterpret_cast<const char*>(data), size);
    const std::size_t end = std::min(input.find('\n'), input.size());
    std::vector<std::string> words = optionWords(input.substr(0, end));
    std::vector<char*> argv;
    for (std::string& w : words)
        argv.push_back(w.data());
    argv.push_back(nullptr);
    runOptions options;
    std::ostringstream out, err;
    if (readOptions(static_cast<int>(words.size()), argv.data(), out, err, options) ||
        !options.dateWords.empty())
        return 0;
    // The references are the fuzzer's file alone, and nothing is written to the disk.
    options.contacts.clear();
    if (options.vdir) {
        options.vdir.reset();
        options.format = outputFormat::ics;
    }
    const int file = memfd_create("dates", 0);
    check(file >= 0);
    const std::string dates = input.substr(std::min(end + 1, input.size()));
    check(write(file, dates.data(), dates.size()) == static_cast<ssize_t>(dates.size()));
    options.datesFile = "/proc/self/fd/" + std::to_string(file);
    std::vector<referenceSource> sources;
    check(!openSources(0, nullptr, options, err, sources));
    const int status = runPipeline(options, sources, false, out, err);
    close(file);
    check(status == 0 || status == 4);
    checkLines(options, out.str());
    checkMessages(err.str());
    return 0;
}
