// Standard output as rondelo writes it: a buffer over a file descriptor that keeps the error of
// the first write that failed, so that the one check at the end reports it, as coreutils'
// close_stdout does.
#pragma once

#include <cstddef>
#include <optional>
#include <ostream>
#include <string>
#include <streambuf>

namespace rondelo {

class outputBuffer : public std::streambuf {
public:
    explicit outputBuffer(int fd);
    int error() const { return failure; }  // errno of the first failed write; 0 for none

protected:
    int_type overflow(int_type c) override;
    int sync() override;

private:
    bool drain();  // writes what the buffer holds; false once a write has failed

    int fd;
    int failure = 0;
    char buffer[1 << 16];
};

// Flushes out, whose buffer is output; "write error" and its reason when something did not
// reach its reader, else nothing.
std::optional<std::string> finishOutput(std::ostream& out, const outputBuffer& output);

}  // namespace rondelo
