#include "platform/posix/AtPath.h"

#include <cerrno>
#include <climits>

namespace {

// Opens folder in pieces that each stay below PATH_MAX, the next relative to the last.
int openFolder(const std::string& folder, int& error)
{
    Descriptor at(-1);
    std::size_t start = 0;
    while (start < folder.size()) {
        std::size_t end = std::min(folder.size(), start + PATH_MAX - 2);
        if (end < folder.size()) {
            end = folder.rfind('/', end);
            if (end == std::string::npos || end < start) {
                error = ENAMETOOLONG;
                return -1;
            }
            ++end; // with the "/": "/" alone opens the root
        }
        const std::string piece = folder.substr(start, end - start);
        const int fd = ::openat(at.get() >= 0 ? at.get() : AT_FDCWD, piece.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
        if (fd < 0) {
            error = errno;
            return -1;
        }
        at = Descriptor(fd);
        start = end;
    }
    return at.release();
}

} // namespace

AtPath::AtPath(const std::string& path)
{
    if (path.size() < PATH_MAX) {
        m_name = path;
        return;
    }
    std::string trimmed = path;
    while (trimmed.size() > 1 && trimmed.back() == '/')
        trimmed.pop_back();
    const std::size_t slash = trimmed.find_last_of('/');
    m_name = trimmed.substr(slash + 1);
    m_folder = Descriptor(openFolder(trimmed.substr(0, slash + 1), m_error));
}

AtPath::AtPath(const std::string& folder, const std::string& name)
{
    if (folder.size() + name.size() < PATH_MAX) {
        m_name = folder + name;
        return;
    }
    m_name = name;
    m_folder = Descriptor(openFolder(folder, m_error));
}
