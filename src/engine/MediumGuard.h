#pragma once

#include "platform/FileSystem.h"
#include "platform/Platform.h"
#include "profiles/TProfile.h"

#include <atomic>
#include <optional>
#include <string>
#include <vector>

/// Why destination cannot be used now: it lies below a folder where media are mounted
/// (mediaRoots), but on the file system of that folder itself. That is an empty mount point of
/// a medium that is not plugged in, and writing there would fill the disk that holds it. Nothing
/// when the destination may be used and its missing folders made.
std::optional<std::string> UnmountedMediumOf(FileSystem& fs, const std::string& destination,
                                             const std::vector<std::string>& mediaRoots);

/// Why the profile's destination cannot be used now because the medium it lay on at the last run
/// without errors is not mounted: the destination lies below that medium's mount point, and the
/// deepest folder of it that exists lies on the file system that holds the mount point. Another
/// medium mounted there in turn is used. Nothing when the destination may be used.
std::optional<std::string> UnmountedRememberedMedium(FileSystem& fs, Platform& platform, const std::string& destination,
                                                     const TProfile& profile);

/// Either reason why a destination's medium is not there (a folder of the media roots, or the
/// remembered one), or nothing.
std::optional<std::string> UnmountedDestinationOf(FileSystem& fs, Platform& platform, const std::string& destination,
                                                  const TProfile& profile);

/// Whether path, or the deepest folder of it that exists, lies on the file system whose
/// identity (VolumeInfo) is given.
bool OnFileSystem(FileSystem& fs, Platform& platform, const std::string& path, const std::string& identity);

/// The file system as a run sees it once its destination is known: no folder is made at or
/// below the destination unless the folder it is made in lies on the destination's own file
/// system. A medium taken away during the run leaves an empty mount point of another disk behind;
/// the run then stops (lost is set) instead of filling that disk.
class MediumGuard final : public FileSystem
{
public:
    MediumGuard(FileSystem& inner, std::atomic<bool>& lost) : m_inner(inner), m_lost(lost) {}

    /// From now on, folders at or below destination are made only on the file system it lies on.
    void Pin(const std::string& destination);

    FolderListing ListFolder(const std::string& folder) override { return m_inner.ListFolder(folder); }
    std::optional<FileEntry> Stat(const std::string& path) override { return m_inner.Stat(path); }
    std::optional<FileEntry> LinkStat(const std::string& path) override { return m_inner.LinkStat(path); }
    std::optional<std::string> ReadLink(const std::string& path) override { return m_inner.ReadLink(path); }
    std::optional<std::string> RealPath(const std::string& path) override { return m_inner.RealPath(path); }
    Status CreateFolder(const std::string& path) override;
    Status CopyFile(const std::string& source, const std::string& target) override
    {
        return m_inner.CopyFile(source, target);
    }
    Status HardLink(const std::string& existing, const std::string& target) override
    {
        return m_inner.HardLink(existing, target);
    }
    Status MoveFile(const std::string& source, const std::string& target) override
    {
        return m_inner.MoveFile(source, target);
    }
    Status DeleteFile(const std::string& path) override { return m_inner.DeleteFile(path); }
    Status RemoveFolder(const std::string& path) override { return m_inner.RemoveFolder(path); }
    Status MakeWritable(const std::string& path) override { return m_inner.MakeWritable(path); }
    Status MoveToTrash(const std::string& path) override { return m_inner.MoveToTrash(path); }
    Status CopyFolderMetadata(const std::string& source, const std::string& target) override
    {
        return m_inner.CopyFolderMetadata(source, target);
    }
    unsigned TakeMetadataLosses() override { return m_inner.TakeMetadataLosses(); }
    MetadataSupport ProbeMetadata(const std::string& folder) override { return m_inner.ProbeMetadata(folder); }
    std::vector<std::pair<std::string, std::string>> Attributes(const std::string& path) override
    {
        return m_inner.Attributes(path);
    }
    bool CompareFiles(const std::string& source, const std::string& copy, bool bytewise) override
    {
        return m_inner.CompareFiles(source, copy, bytewise);
    }
    bool IsFileSystemRoot(const std::string& folder) override { return m_inner.IsFileSystemRoot(folder); }
    std::vector<std::string> MountPointsBelow(const std::string& folder) override
    {
        return m_inner.MountPointsBelow(folder);
    }
    void SyncFileSystem(const std::string& path) override { m_inner.SyncFileSystem(path); }
    std::optional<std::int64_t> FreeSpace(const std::string& path) override { return m_inner.FreeSpace(path); }
    void StopCopiesWhen(const std::atomic<bool>* flag) override { m_inner.StopCopiesWhen(flag); }
    void SetWorkTag(const std::string& tag) override
    {
        FileSystem::SetWorkTag(tag);
        m_inner.SetWorkTag(tag);
    }

private:
    FileSystem& m_inner;
    std::atomic<bool>& m_lost;
    std::string m_destination;             // ending with "/"
    std::optional<std::uint64_t> m_device; // of the destination's file system
};
