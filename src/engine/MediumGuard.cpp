#include "engine/MediumGuard.h"

#include "base/ResultCodes.h"
#include "engine/FileHelpers.h"

namespace {

// The deepest folder of path that exists (its path ends with "/"), or nothing.
std::optional<std::pair<std::string, FileEntry>> deepestExisting(FileSystem& fs, std::string path)
{
    for (;;) {
        if (auto entry = fs.Stat(path); entry && entry->folder)
            return std::make_pair(AddSlash(path), *entry);
        while (path.size() > 1 && path.back() == '/')
            path.pop_back();
        const std::size_t slash = path.find_last_of('/');
        if (slash == std::string::npos || path == "/")
            return std::nullopt;
        path = path.substr(0, slash + 1);
    }
}

} // namespace

std::optional<std::string> UnmountedMediumOf(FileSystem& fs, const std::string& destination,
                                             const std::vector<std::string>& mediaRoots)
{
    const std::string path = AddSlash(ResolvedPath(fs, destination));
    for (const std::string& root : mediaRoots) {
        const auto rootEntry = fs.Stat(root);
        if (!rootEntry)
            continue;
        const std::string resolvedRoot = AddSlash(ResolvedPath(fs, root));
        if (path.size() <= resolvedRoot.size() || path.compare(0, resolvedRoot.size(), resolvedRoot) != 0)
            continue;
        const auto existing = deepestExisting(fs, path);
        if (existing && existing->second.device == rootEntry->device)
            return "Medium nicht eingehängt unter " + resolvedRoot;
    }
    return std::nullopt;
}

std::optional<std::string> UnmountedRememberedMedium(FileSystem& fs, Platform& platform, const std::string& destination,
                                                     const TProfile& profile)
{
    const std::string& mountPoint = profile.DestMountPoint;
    if (mountPoint.size() < 2 || mountPoint.front() != '/' || mountPoint.back() != '/')
        return std::nullopt;
    // A destination moved elsewhere since owes nothing to the medium of its old place.
    const std::string path = AddSlash(ResolvedPath(fs, destination));
    if (path.compare(0, mountPoint.size(), mountPoint) != 0)
        return std::nullopt;
    const auto existing = deepestExisting(fs, path);
    if (!existing)
        return std::nullopt;
    const VolumeInfo now = platform.VolumeOf(existing->first);
    if (now.identity == profile.DestFileSystem)
        return std::nullopt;
    const bool heldAbove =
        now.mountPoint.size() < mountPoint.size() && mountPoint.compare(0, now.mountPoint.size(), now.mountPoint) == 0;
    if (heldAbove)
        return "Medium nicht eingehängt unter " + mountPoint;
    return std::nullopt;
}

bool OnFileSystem(FileSystem& fs, Platform& platform, const std::string& path, const std::string& identity)
{
    const auto existing = deepestExisting(fs, path);
    return existing && platform.VolumeOf(existing->first).identity == identity;
}

std::optional<std::string> UnmountedDestinationOf(FileSystem& fs, Platform& platform, const std::string& destination,
                                                  const TProfile& profile)
{
    if (auto unmounted = UnmountedMediumOf(fs, destination, platform.MediaMountRoots()))
        return unmounted;
    return UnmountedRememberedMedium(fs, platform, destination, profile);
}

void MediumGuard::Pin(const std::string& destination)
{
    m_destination = AddSlash(destination);
    const auto entry = m_inner.Stat(m_destination);
    if (entry)
        m_device = entry->device;
}

Status MediumGuard::CreateFolder(const std::string& path)
{
    const std::string folder = AddSlash(path);
    if (m_device && folder.compare(0, m_destination.size(), m_destination) == 0) {
        std::string parent = folder.substr(0, folder.size() - 1);
        parent = FolderOf(parent);
        const auto there = m_inner.Stat(parent);
        if (!there || there->device != *m_device) {
            m_lost = true;
            return {ResultCode::DriveNotReady, "Ziel " + m_destination + " ist nicht mehr verfügbar"};
        }
    }
    return m_inner.CreateFolder(path);
}
