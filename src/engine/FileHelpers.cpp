#include "engine/FileHelpers.h"

#include "base/ResultCodes.h"

#include <filesystem>

namespace {

bool folderExists(FileSystem& fs, const std::string& path)
{
    const auto entry = fs.Stat(path);
    return entry && entry->folder;
}

// The target's folder is created when the operation finds it missing (asking before every file
// would cost a look-up per file). What is at the target is cleared, and the operation tried
// once more, only when the target itself stood in the way: after a failure on the source's
// side (unreadable, vanished, changed) the last good copy must stay as it is. Even then it is
// only moved aside until the second attempt has worked, and put back when that fails too.
template <typename Operation> Status withRetry(FileSystem& fs, const std::string& target, Operation operation)
{
    Status first = operation();
    const std::string folder = FolderOf(target);
    const bool missing =
        !first.targetInTheWay && (first.code == ResultCode::FileNotFound || first.code == ResultCode::PathNotFound);
    // Another copy may have made the folder in the meantime; once it is there, try again.
    if (missing && !folder.empty() && (folderExists(fs, folder) || ForceDestination(fs, folder).ok()))
        first = operation();
    if (first.ok() || !first.targetInTheWay)
        return first;
    fs.MakeWritable(target);
    const std::string aside = BesideName(target, fs.WorkTag() + "-old");
    if (!fs.MoveFile(target, aside).ok())
        return first;
    const Status second = operation();
    if (second.ok())
        fs.DeleteFile(aside);
    else
        fs.MoveFile(aside, target);
    return second;
}

} // namespace

std::string AddSlash(const std::string& path)
{
    return !path.empty() && path.back() == '/' ? path : path + "/";
}

std::string BesideName(const std::string& path, const std::string& tag)
{
    const std::size_t slash = path.find_last_of('/');
    const std::string name = path.substr(slash + 1);
    // Names are at most 255 bytes: a long one is cut, the tag stays.
    return path.substr(0, slash + 1) + "." + name.substr(0, 200) + "." + tag;
}

std::string FolderOf(const std::string& path)
{
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

Status ForceDestination(FileSystem& fs, const std::string& path)
{
    if (folderExists(fs, path))
        return {};
    const std::string full = AddSlash(path);
    std::string current = full.front() == '/' ? "/" : "";
    std::size_t start = current.size();
    while (start < full.size()) {
        const std::size_t end = full.find('/', start);
        const std::string element = full.substr(start, end - start);
        start = end + 1;
        if (element.empty())
            continue;
        current += element + "/";
        if (folderExists(fs, current))
            continue;
        const Status made = fs.CreateFolder(current);
        if (!made.ok() && made.code != ResultCode::AlreadyExists)
            return made;
    }
    return {};
}

Status CopyFileRetry(FileSystem& fs, const std::string& source, const std::string& target)
{
    return withRetry(fs, target, [&] { return fs.CopyFile(source, target); });
}

Status MoveFileRetry(FileSystem& fs, const std::string& source, const std::string& target)
{
    return withRetry(fs, target, [&] { return fs.MoveFile(source, target); });
}

void EraseFolderContents(FileSystem& fs, const std::string& folder,
                         const std::function<bool(const std::string& name)>& keep, const MountLeftAlone& leftAlone)
{
    // Hidden folders go too: a run that takes hidden files leaves them in its destination.
    for (const FileEntry& entry : fs.ListFolder(folder).entries) {
        if (keep && keep(entry.name))
            continue;
        const std::string path = folder + entry.name;
        if (entry.mountPoint) {
            if (leftAlone)
                leftAlone(path + "/");
            continue;
        }
        if (entry.folder) {
            EraseFolderContents(fs, path + "/", {}, leftAlone);
            fs.RemoveFolder(path);
        } else if (!fs.DeleteFile(path).ok()) {
            fs.MakeWritable(path);
            fs.DeleteFile(path);
        }
    }
}

std::optional<FileIdentity> IdentityOf(FileSystem& fs, const std::string& path)
{
    const auto entry = fs.Stat(path);
    if (!entry)
        return std::nullopt;
    return FileIdentity{entry->device, entry->inode};
}

namespace {

std::string normalWithoutSlash(const std::string& path)
{
    std::string normal = std::filesystem::path(path).lexically_normal().string();
    while (normal.size() > 1 && normal.back() == '/')
        normal.pop_back();
    return normal;
}

} // namespace

std::string ResolvedPath(FileSystem& fs, const std::string& path)
{
    // The part that exists is resolved; what follows it cannot hold a link and is added as written.
    std::string existing = path;
    std::string rest;
    while (!existing.empty()) {
        if (const auto real = fs.RealPath(existing)) {
            std::string resolved = *real;
            if (!rest.empty())
                resolved = AddSlash(resolved) + rest;
            return normalWithoutSlash(resolved);
        }
        while (existing.size() > 1 && existing.back() == '/')
            existing.pop_back();
        const std::size_t slash = existing.find_last_of('/');
        if (slash == std::string::npos)
            break;
        rest = existing.substr(slash + 1) + (rest.empty() ? "" : "/" + rest);
        existing = slash == 0 ? "/" : existing.substr(0, slash);
    }
    return normalWithoutSlash(path);
}

bool FolderHolds(FileSystem& fs, const std::string& folder, const std::string& path)
{
    const auto outer = IdentityOf(fs, folder);
    std::string inner = ResolvedPath(fs, path);
    const std::string outerPath = AddSlash(ResolvedPath(fs, folder));
    if (AddSlash(inner).compare(0, outerPath.size(), outerPath) == 0)
        return true;
    if (!outer)
        return false;
    // A bind mount shows the same folder under another path: the identity gives it away.
    for (;;) {
        if (IdentityOf(fs, inner) == outer)
            return true;
        const std::size_t slash = inner.find_last_of('/');
        if (slash == std::string::npos || inner == "/")
            return false;
        inner = slash == 0 ? "/" : inner.substr(0, slash);
    }
}

bool SameLocation(FileSystem& fs, const std::string& a, const std::string& b)
{
    const auto first = IdentityOf(fs, a);
    if (first && first == IdentityOf(fs, b))
        return true;
    return AddSlash(ResolvedPath(fs, a)) == AddSlash(ResolvedPath(fs, b));
}
