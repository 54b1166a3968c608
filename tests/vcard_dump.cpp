// Prints what the vCard reader finds in files and vdirs, a line each, for vcard_check.py.
#include <cstdio>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include <sys/stat.h>

#include "readers/vcard.h"

namespace {

std::string shown(const contactWhen& when)
{
    char text[32];
    if (when.instant)
        return "@" + std::to_string(*when.instant);
    const long long time = when.timeOfDay.value_or(-1);
    std::snprintf(text, sizeof text,
                  time < 0 ? "%04d-%02d-%02d" : "%04d-%02d-%02dT%02lld:%02lld:%02lld", when.year,
                  when.month, when.day, time / 3600, time / 60 % 60, time % 60);
    return text;
}

void dump(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    static const char* const kinds[] = {"birthday", "anniversary", "other", "death"};
    const contactFile file = readContacts(in, path);
    for (const contactCard& card : file.cards)
        for (const contactDate& date : card.dates)
            std::cout << path << ":" << date.line << "\t" << kinds[static_cast<int>(date.kind)]
                      << "\t" << contactDateName(card, date) << "\t" << shown(date.when) << "\t"
                      << date.zoneName << "\n";
    for (const std::string& error : file.errors)
        std::cout << "error\t" << error << "\n";
}

}  // namespace

int main(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        struct stat status {};
        std::vector<contactFileProblem> problems;
        const bool directory = stat(argv[i], &status) == 0 && S_ISDIR(status.st_mode);
        for (const std::string& path : directory ? listContactFiles(argv[i], problems)
                                                 : std::vector<std::string>{argv[i]})
            dump(path);
        for (const contactFileProblem& problem : problems)
            std::cout << "error\t" << problem.path << ": " << problem.reason << "\n";
    }
}
