// Fuzzes address books as a run opens them: the input becomes the .vcf files of a directory in
// a temporary folder, read through openContacts as the directory or as its first file. Whatever
// the bytes, each reference has a name that is calendar text, of a kind chosen, in a zone that
// loads, at a reading in the calendar; each entry skipped has a one-line problem that shows no
// control character.
//
// The first byte chooses: bit 0 the directory, bits 1 to 4 the kinds, bit 5 a subdirectory and
// bit 6 a dangling link among the files. The rest is the files, up to eight, separated by NUL
// bytes.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>  // for mkdtemp
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>

#include "diagnostics/messages.h"
#include "readers/contacts.h"
#include "timeconv/epoch.h"
#include "timeconv/zone.h"

using namespace rondelo;
namespace fs = std::filesystem;

namespace {

void check(bool condition)
{
    if (!condition)
        std::abort();
}

// The folder of this process's books, made at the first input and removed at exit.
struct scratchFolder {
    std::string path;
    ~scratchFolder()
    {
        std::error_code ignored;
        fs::remove_all(path, ignored);
    }
};

const std::string& folder()
{
    static const scratchFolder made{[] {
        std::string pattern = fs::temp_directory_path().string() + "/fuzz_contacts.XXXXXX";
        check(mkdtemp(pattern.data()) != nullptr);
        return pattern;
    }()};
    return made.path;
}

// The directory of files the input spells, emptied of the last input's first.
void writeBook(const std::string& files, unsigned flags)
{
    for (const auto& entry : fs::directory_iterator(folder()))
        fs::remove_all(entry.path());
    std::size_t at = 0;
    for (int number = 0; at <= files.size(); ++number) {
        const std::size_t end = number == 7 ? files.size() : std::min(files.find('\0', at), files.size());
        std::ofstream(folder() + "/" + std::to_string(10 + number) + ".vcf", std::ios::binary)
            << files.substr(at, end - at);
        at = end + 1;
    }
    if (flags & 0x20)
        fs::create_directory(folder() + "/12-dir.vcf");
    if (flags & 0x40)
        fs::create_symlink(folder() + "/gone", folder() + "/12a.vcf");
}

void checkReference(const reference& ref, unsigned kinds)
{
    check(!ref.name.empty() && isCalendarText(ref.name) && ref.name.find('\n') == std::string::npos);
    check(static_cast<int>(ref.kind) < 4 && (kinds >> static_cast<int>(ref.kind) & 1) != 0);
    absl::TimeZone zone;
    check(loadZone(ref.zoneName, zone) && isCalendarSecond(readingOf(ref.wallClock).seconds));
}

void checkProblem(const std::string& problem)
{
    check(!problem.empty() && problem.find('\n') == std::string::npos);
    check(printable(problem) == problem);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    const unsigned flags = data[0];
    writeBook(std::string(reinterpret_cast<const char*>(data) + 1, size - 1), flags);
    const unsigned kinds = flags >> 1 & 0xF;
    const std::string path = flags & 1 ? folder() : folder() + "/10.vcf";
    std::string problem;
    std::optional<referenceSource> source = openContacts(path, referenceDefaults{}, kinds, problem);
    if (!source) {
        checkProblem(problem);
        return 0;
    }
    reference ref{};
    for (readStep step; (step = (*source)(ref, problem)) != readStep::end;) {
        if (step == readStep::reference)
            checkReference(ref, kinds);
        else
            checkProblem(problem);
        if (step == readStep::failed)
            break;
    }
    return 0;
}
