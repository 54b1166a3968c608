// The files readers read, standard input among them: opened, named in messages, and closed.
#pragma once

#include <cstdio>
#include <memory>
#include <string>

namespace rondelo {

// Closes a file the readers opened; standard input stays open.
struct inputCloser {
    void operator()(std::FILE* file) const;
};

using inputFile = std::unique_ptr<std::FILE, inputCloser>;

// The file at path for reading, "-" being standard input; nothing, with the problem "NAME:
// reason", when it cannot be opened.
inputFile openInput(const std::string& path, std::string& problem);

// A path as messages show it: "standard input" for "-", else escaped as printable() does.
std::string shownPath(const std::string& path);

}  // namespace rondelo
