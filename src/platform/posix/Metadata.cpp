#include "platform/posix/Metadata.h"

#include "platform/FileSystem.h"

#include <cerrno>
#include <string>
#include <sys/xattr.h>
#include <unistd.h>
#include <vector>

namespace {

bool worthKeeping(const std::string& name, bool root)
{
    // Trusted attributes belong to the system that set them; security ones (SELinux labels,
    // capabilities) only root may set at all.
    if (name.rfind("user.", 0) == 0 || name == "system.posix_acl_access" || name == "system.posix_acl_default")
        return true;
    return root && name.rfind("security.", 0) == 0;
}

bool unsupported(int error)
{
    return error == ENOTSUP || error == EOPNOTSUPP;
}

void copyAttributes(int from, int to, std::atomic<unsigned>& losses)
{
    for (const auto& [name, value] : KeptAttributes(from))
        if (::fsetxattr(to, name.c_str(), value.data(), value.size(), 0) != 0 && unsupported(errno))
            losses |= AttributesNotKept;
}

} // namespace

std::vector<std::pair<std::string, std::string>> KeptAttributes(int from)
{
    std::vector<std::pair<std::string, std::string>> kept;
    std::vector<char> names(4096);
    ssize_t length = 0;
    for (;;) {
        length = ::flistxattr(from, names.data(), names.size());
        if (length >= 0)
            break;
        if (errno != ERANGE)
            return kept; // the source has none to give (or cannot say)
        const ssize_t needed = ::flistxattr(from, nullptr, 0);
        if (needed < 0)
            return kept;
        names.resize(static_cast<std::size_t>(needed) + 1);
    }
    const bool root = ::geteuid() == 0;
    std::string value;
    for (ssize_t at = 0; at < length;) {
        const std::string name(names.data() + at);
        at += static_cast<ssize_t>(name.size()) + 1;
        if (!worthKeeping(name, root))
            continue;
        const ssize_t size = ::fgetxattr(from, name.c_str(), nullptr, 0);
        if (size < 0)
            continue;
        value.resize(static_cast<std::size_t>(size));
        const ssize_t got = ::fgetxattr(from, name.c_str(), value.data(), value.size());
        if (got >= 0)
            kept.emplace_back(name, value.substr(0, static_cast<std::size_t>(got)));
    }
    return kept;
}

void CopyMetadata(int from, const struct stat& st, int to, std::atomic<unsigned>& losses)
{
    struct stat now
    {
    };
    if (::fstat(to, &now) == 0 && (now.st_uid != st.st_uid || now.st_gid != st.st_gid)) {
        // Another's owner only root may give; the user's own groups the user may.
        if (::fchown(to, st.st_uid, st.st_gid) != 0 && ::fchown(to, static_cast<uid_t>(-1), st.st_gid) != 0)
            losses |= OwnersNotKept;
    }
    if (from >= 0)
        copyAttributes(from, to, losses);
    // After the owner: a change of owner clears setuid and setgid.
    ::fchmod(to, st.st_mode & 07777);
    const timespec times[2] = {st.st_atim, st.st_mtim};
    ::futimens(to, times);
}
