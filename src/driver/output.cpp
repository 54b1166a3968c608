// The buffer of standard output: write(2) in blocks, the first failure kept with its errno.
#include "driver/output.h"

#include <unistd.h>  // for write

#include <cerrno>
#include <cstring>  // for strerror


namespace rondelo {

outputBuffer::outputBuffer(int fd) : fd(fd)
{
    setp(buffer, buffer + sizeof buffer);
}

bool outputBuffer::drain()
{
    const char* at = pbase();
    while (failure == 0 && at < pptr()) {
        const ssize_t written = write(fd, at, static_cast<std::size_t>(pptr() - at));
        if (written < 0 && errno != EINTR)
            failure = errno;
        at += written > 0 ? written : 0;
    }
    setp(buffer, buffer + sizeof buffer);  // what could not be written is dropped with the error
    return failure == 0;
}

outputBuffer::int_type outputBuffer::overflow(int_type c)
{
    if (!drain())
        return traits_type::eof();
    if (!traits_type::eq_int_type(c, traits_type::eof()))
        sputc(traits_type::to_char_type(c));
    return traits_type::not_eof(c);
}

int outputBuffer::sync()
{
    return drain() ? 0 : -1;
}

std::optional<std::string> finishOutput(std::ostream& out, const outputBuffer& output)
{
    out.flush();
    if (output.error() == 0 && out)
        return std::nullopt;
    if (output.error() == 0)
        return std::string("write error");
    return std::string("write error: ") + std::strerror(output.error());
}

}  // namespace rondelo
