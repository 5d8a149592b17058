#include "platform/RawFile.h"

#include "platform/posix/AtPath.h"
#include "platform/posix/FullIo.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

int descriptorOf(std::intptr_t handle)
{
    return static_cast<int>(handle);
}

int openScratch(const std::string& folder)
{
    const int fd = ::open(folder.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
    if (fd >= 0 || (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL))
        return fd;
    // File systems without unnamed files: a named one, removed at once.
    std::string pattern = folder + "/.tresorio-scratch-XXXXXX";
    const int named = ::mkostemp(pattern.data(), O_CLOEXEC);
    if (named >= 0)
        ::unlink(pattern.c_str());
    return named;
}

// A failed call leaves its reason in error.
bool succeeded(bool ok, std::string& error)
{
    if (!ok)
        error = std::strerror(errno);
    return ok;
}

} // namespace

std::unique_ptr<RawFile> RawFile::Open(const std::string& path, Mode mode, std::string& error)
{
    int fd = -1;
    switch (mode) {
    case Mode::Read: {
        // Without waiting: a FIFO put where a file was would block the run for ever. What a run
        // reads may lie deeper than a path the system takes whole.
        const AtPath at(path);
        fd = at.error() != 0 ? -1 : ::openat(at.dir(), at.name(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
        if (at.error() != 0)
            errno = at.error();
        break;
    }
    case Mode::Create:
        // Volumes and archives hold what the sources held: their owner's alone.
        fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
        break;
    case Mode::Scratch:
        fd = openScratch(path);
        break;
    case Mode::Append:
        fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC | O_NONBLOCK, 0600);
        break;
    }
    struct stat status
    {
    };
    if (fd < 0 || ::fstat(fd, &status) != 0) {
        error = std::strerror(errno);
        if (fd >= 0)
            ::close(fd);
        return nullptr;
    }
    if ((mode == Mode::Read || mode == Mode::Append) && !S_ISREG(status.st_mode)) {
        error = "keine gewöhnliche Datei";
        ::close(fd);
        return nullptr;
    }
    if (mode == Mode::Read)
        ::posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
    std::unique_ptr<RawFile> file(new RawFile(fd));
    file->m_size = static_cast<std::uint64_t>(status.st_size);
    file->m_modified = status.st_mtim.tv_sec;
    file->m_permissions = status.st_mode & 07777;
    return file;
}

RawFile::~RawFile()
{
    if (m_handle >= 0)
        ::close(descriptorOf(m_handle));
}

std::int64_t RawFile::Read(char* buffer, std::size_t length, std::string& error)
{
    for (;;) {
        const ssize_t n = ::read(descriptorOf(m_handle), buffer, length);
        if (n >= 0)
            return n;
        if (errno != EINTR) {
            error = std::strerror(errno);
            return -1;
        }
    }
}

std::int64_t RawFile::ReadAt(std::uint64_t offset, char* buffer, std::size_t length, std::string& error) const
{
    const std::int64_t n = ReadFully(descriptorOf(m_handle), buffer, length, offset);
    if (n < 0)
        error = std::strerror(errno);
    return n;
}

bool RawFile::Write(const char* data, std::size_t length, std::string& error)
{
    return succeeded(WriteFully(descriptorOf(m_handle), data, length), error);
}

bool RawFile::WriteAt(std::uint64_t offset, const char* data, std::size_t length, std::string& error)
{
    return succeeded(WriteFully(descriptorOf(m_handle), data, length, offset), error);
}

bool RawFile::Truncate(std::uint64_t length, std::string& error)
{
    return succeeded(::ftruncate(descriptorOf(m_handle), static_cast<off_t>(length)) == 0, error);
}

bool RawFile::SyncAndClose(std::string& error)
{
    const int fd = descriptorOf(m_handle);
    m_handle = -1;
    const bool synced = ::fdatasync(fd) == 0;
    const int syncError = errno;
    const bool closed = ::close(fd) == 0;
    if (!synced || !closed) {
        error = std::strerror(synced ? errno : syncError);
        return false;
    }
    return true;
}
