#include "platform/posix/InstanceLock.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

InstanceLock::InstanceLock(const std::filesystem::path& file)
{
    const int fd = ::open(file.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) {
        m_error = std::strerror(errno);
        return;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        // Only this means that another copy runs; any other failure is the folder's fault.
        if (errno == EWOULDBLOCK)
            m_heldElsewhere = true;
        else
            m_error = std::strerror(errno);
        ::close(fd);
        return;
    }
    m_fd = fd;
}

InstanceLock::~InstanceLock()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

void InstanceLock::Publish(const std::string& text)
{
    if (m_fd < 0)
        return;
    if (::ftruncate(m_fd, 0) == 0 && ::pwrite(m_fd, text.data(), text.size(), 0) == static_cast<ssize_t>(text.size()))
        return;
}

std::string InstanceLock::Published(const std::filesystem::path& file)
{
    const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return {};
    char buffer[4096];
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    ::close(fd);
    return n > 0 ? std::string(buffer, static_cast<std::size_t>(n)) : std::string();
}
