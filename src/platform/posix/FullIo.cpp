#include "platform/posix/FullIo.h"

#include <cerrno>
#include <unistd.h>

bool WriteFully(int fd, const char* data, std::size_t length, std::optional<std::uint64_t> offset)
{
    while (length > 0) {
        const ssize_t n = offset ? ::pwrite(fd, data, length, static_cast<off_t>(*offset)) : ::write(fd, data, length);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            if (n == 0)
                errno = EIO; // nothing written and no reason given
            return false;
        }
        data += n;
        length -= static_cast<std::size_t>(n);
        if (offset)
            *offset += static_cast<std::uint64_t>(n);
    }
    return true;
}

std::int64_t ReadFully(int fd, char* data, std::size_t length, std::optional<std::uint64_t> offset)
{
    std::size_t done = 0;
    while (done < length) {
        const ssize_t n = offset ? ::pread(fd, data + done, length - done, static_cast<off_t>(*offset + done))
                                 : ::read(fd, data + done, length - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return -1;
        if (n == 0)
            break;
        done += static_cast<std::size_t>(n);
    }
    return static_cast<std::int64_t>(done);
}
