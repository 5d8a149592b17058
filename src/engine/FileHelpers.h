#pragma once

#include "platform/FileSystem.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

/// path with a "/" at its end.
std::string AddSlash(const std::string& path);
/// A hidden name beside path, for a file of a run's own: "dir/.name.tag". The tag says whose
/// it is and what for (the run's work tag and "-new3").
std::string BesideName(const std::string& path, const std::string& tag);
/// The folder part of a path, up to and including its last "/".
std::string FolderOf(const std::string& path);

/// Creates every missing folder of path; 0 or the code of the first folder that could not be made.
Status ForceDestination(FileSystem& fs, const std::string& path);
/// Copies source over target, creating the target's folder; a target that stands in the way of
/// the copy (a file the system will not replace) is made writable, deleted and the copy tried
/// once more. Any other failure leaves the target as it was: also a file where a folder of the
/// target's path should be, the last copy of a file that became a folder in the source.
Status CopyFileRetry(FileSystem& fs, const std::string& source, const std::string& target);
/// Moves source to target in the same way.
Status MoveFileRetry(FileSystem& fs, const std::string& source, const std::string& target);
/// What an emptying leaves alone because it is another mount: told its path.
using MountLeftAlone = std::function<void(const std::string& path)>;
/// Removes every file and folder below folder but those directly in it whose name keep holds
/// to; the folder stays. It never reaches into another mount below folder (a medium, a tmpfs, a
/// bind mount): each is left as it is and told to leftAlone. Failures are ignored.
void EraseFolderContents(FileSystem& fs, const std::string& folder,
                         const std::function<bool(const std::string& name)>& keep = {},
                         const MountLeftAlone& leftAlone = {});

/// Where a file or folder lives, whatever path names it.
struct FileIdentity
{
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    bool operator==(const FileIdentity&) const = default;
};
std::optional<FileIdentity> IdentityOf(FileSystem& fs, const std::string& path);

/// path with its links, "." and ".." resolved as far as it exists (no trailing "/").
std::string ResolvedPath(FileSystem& fs, const std::string& path);
/// Whether folder is path or holds it, by real location: a symbolic link, "..", a trailing
/// slash or a bind mount does not hide it.
bool FolderHolds(FileSystem& fs, const std::string& folder, const std::string& path);
/// Whether two paths name the same file or folder.
bool SameLocation(FileSystem& fs, const std::string& a, const std::string& b);
