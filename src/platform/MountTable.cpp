#include "platform/MountTable.h"

#include <algorithm>
#include <array>
#include <sstream>

namespace {

std::string unescaped(const std::string& field)
{
    std::string text;
    for (std::size_t i = 0; i < field.size(); ++i) {
        const bool octal = field[i] == '\\' && i + 3 < field.size() && field[i + 1] >= '0' && field[i + 1] <= '3' &&
                           field[i + 2] >= '0' && field[i + 2] <= '7' && field[i + 3] >= '0' && field[i + 3] <= '7';
        if (octal) {
            text += static_cast<char>((field[i + 1] - '0') * 64 + (field[i + 2] - '0') * 8 + (field[i + 3] - '0'));
            i += 3;
        } else {
            text += field[i];
        }
    }
    return text;
}

bool oneOf(const std::string& value, std::initializer_list<const char*> values)
{
    return std::any_of(values.begin(), values.end(), [&](const char* v) { return value == v; });
}

bool below(const std::string& path, const std::string& folder)
{
    return path == folder || path.starts_with(folder + "/");
}

bool networkType(const std::string& type)
{
    return oneOf(type, {"nfs", "nfs4", "cifs", "smb3", "smbfs", "9p", "afs", "ceph", "glusterfs", "davfs", "fuse.sshfs",
                        "fuse.rclone", "fuse.s3fs", "fuse.davfs2", "fuse.glusterfs"});
}

// File systems of the system itself, never a place the user keeps work.
bool systemType(const std::string& type)
{
    return oneOf(type, {"proc",      "sysfs",           "cgroup",      "cgroup2",    "devtmpfs",   "devpts",
                        "tmpfs",     "ramfs",           "overlay",     "squashfs",   "securityfs", "debugfs",
                        "tracefs",   "pstore",          "bpf",         "mqueue",     "hugetlbfs",  "configfs",
                        "fusectl",   "binfmt_misc",     "autofs",      "rpc_pipefs", "nsfs",       "efivarfs",
                        "selinuxfs", "fuse.gvfsd-fuse", "fuse.portal", "fuse.lxcfs", "nfsd",       "shm"});
}

bool systemPlace(const std::string& path)
{
    for (const char* folder :
         {"/proc", "/sys", "/dev", "/run", "/boot", "/snap", "/var/lib/docker", "/var/lib/containers", "/var/snap"})
        if (below(path, folder) && !below(path, "/run/media"))
            return true;
    return false;
}

std::string withSlash(std::string path)
{
    if (path.empty() || path.back() != '/')
        path += '/';
    return path;
}

} // namespace

std::vector<MountEntry> ParseMountInfo(const std::string& text)
{
    std::vector<MountEntry> mounts;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        // id parent major:minor root mount-point options [optional fields...] - type source options
        std::istringstream fields(line);
        std::vector<std::string> parts;
        for (std::string field; fields >> field;)
            parts.push_back(field);
        const auto separator = std::find(parts.begin(), parts.end(), "-");
        if (parts.size() < 5 || separator == parts.end() || parts.end() - separator < 3)
            continue;
        mounts.push_back({unescaped(parts[4]), *(separator + 1), unescaped(*(separator + 2)), parts[2]});
    }
    return mounts;
}

std::vector<BrowseRoot> BrowseRootsOf(const std::vector<MountEntry>& mounts, const std::string& home,
                                      const std::string& labelOfRoot, const std::string& labelOfHome)
{
    std::vector<BrowseRoot> roots = {{"/", labelOfRoot, MediumKind::Fixed}};
    if (!home.empty() && home != "/")
        roots.push_back({withSlash(home), labelOfHome, MediumKind::Fixed});
    for (const MountEntry& mount : mounts) {
        const std::string path = withSlash(mount.mountPoint);
        const bool network = networkType(mount.fsType);
        if (mount.mountPoint == "/" || (!network && systemType(mount.fsType)) || systemPlace(mount.mountPoint))
            continue;
        if (std::any_of(roots.begin(), roots.end(), [&](const BrowseRoot& r) { return r.path == path; }))
            continue; // mounted twice (a bind mount over itself, or the home folder)
        MediumKind kind = MediumKind::Fixed;
        if (network)
            kind = MediumKind::Network;
        else if (oneOf(mount.fsType, {"iso9660", "udf"}))
            kind = MediumKind::Optical;
        else if (below(mount.mountPoint, "/media") || below(mount.mountPoint, "/run/media"))
            kind = MediumKind::Removable;
        const std::size_t slash = mount.mountPoint.find_last_of('/');
        roots.push_back({path, mount.mountPoint.substr(slash + 1), kind});
    }
    return roots;
}
