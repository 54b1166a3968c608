// Opens with fopen(3): readers read with getline(3) and getc, and tell a read error by ferror.
#include "readers/input_file.h"

#include <cerrno>
#include <cstring>

#include "diagnostics/messages.h"

namespace rondelo {

void inputCloser::operator()(std::FILE* file) const
{
    if (file != stdin)
        std::fclose(file);
}

inputFile openInput(const std::string& path, std::string& problem)
{
    inputFile file(path == "-" ? stdin : std::fopen(path.c_str(), "r"));
    if (!file)
        problem = shownPath(path) + ": " + std::strerror(errno);
    return file;
}

std::string shownPath(const std::string& path)
{
    return path == "-" ? "standard input" : printable(path);
}

}  // namespace rondelo
