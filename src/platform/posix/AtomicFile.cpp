#include "platform/AtomicFile.h"

#include "platform/posix/FullIo.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string reason(int error)
{
    return std::strerror(error);
}

} // namespace

std::optional<std::string> WriteFileAtomically(const std::filesystem::path& path, std::string_view content,
                                               bool ownerOnly)
{
    const std::filesystem::path folder = path.has_parent_path() ? path.parent_path() : ".";
    std::string temporary = (folder / ("." + path.filename().string() + ".XXXXXX")).string();
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0)
        return reason(errno);

    auto fail = [&](int error) {
        ::close(fd);
        ::unlink(temporary.c_str());
        return std::optional<std::string>(reason(error));
    };
    mode_t mode = 0600;
    if (!ownerOnly) {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    // A medium without permissions (FAT, exFAT) refuses modes; the content is what counts there.
    if (::fchmod(fd, mode) != 0 && errno != ENOSYS && errno != EPERM && errno != EOPNOTSUPP)
        return fail(errno);
    if (!WriteFully(fd, content.data(), content.size()) || ::fsync(fd) != 0)
        return fail(errno);
    if (::close(fd) != 0) {
        const int error = errno;
        ::unlink(temporary.c_str());
        return reason(error);
    }
    if (::rename(temporary.c_str(), path.c_str()) != 0) {
        const int error = errno;
        ::unlink(temporary.c_str());
        return reason(error);
    }
    // The rename itself must reach the disk too, or a power cut could bring back the old file.
    const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return std::nullopt;
}
