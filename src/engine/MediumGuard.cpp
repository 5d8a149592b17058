#include "engine/MediumGuard.h"

#include "base/ResultCodes.h"
#include "engine/FileHelpers.h"

namespace {

// The deepest folder of path that exists, or nothing.
std::optional<FileEntry> deepestExisting(FileSystem& fs, std::string path)
{
    for (;;) {
        if (auto entry = fs.Stat(path); entry && entry->folder)
            return entry;
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
        if (existing && existing->device == rootEntry->device)
            return "kein Medium eingehängt unter " + resolvedRoot;
    }
    return std::nullopt;
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
