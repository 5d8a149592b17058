#pragma once

#include "base/DateTime.h"
#include "base/Status.h"

#include <atomic>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

/// What kind of entry of a folder a FileEntry is.
enum class EntryKind : std::uint8_t
{
    File,
    Folder,
    Link, // a symbolic link, as itself
    Fifo,
    Socket,
    Device,
};

/// What a folder listing or a status query tells about one file or folder.
struct FileEntry
{
    std::string name;
    EntryKind kind = EntryKind::File;
    bool folder = false;   // kind is Folder
    bool hidden = false;   // the name begins with "."
    bool readOnly = false; // the owner may not write it
    std::int64_t size = 0;
    DateTime modified = 0.0; // local time at the two-second resolution of a DOS date-time
    // The identity and state the archive-state catalogue compares, and a run by date (times in
    // nanoseconds since 1970).
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::uint32_t links = 1; // names of the file (hard links)
    std::uint32_t mode = 0;  // permission bits with setuid, setgid and sticky
    std::uint32_t uid = 0;
    std::uint32_t gid = 0;
    std::int64_t mtimeNs = 0;
    std::int64_t ctimeNs = 0;
    // The root of another mount (a medium, a tmpfs, a bind mount of a folder from elsewhere): what
    // lies below it is not the folder's own, and no emptying, deletion or move may reach into it.
    bool mountPoint = false;
};

/// What a run's copies could not keep of their sources' metadata, as bits: the run says each once.
enum MetadataLoss : unsigned
{
    OwnersNotKept = 1,     // owner or group: only root may give another's
    AttributesNotKept = 2, // extended attributes or ACLs: the destination cannot store them
};

/// What a file system can keep of a file besides its content. FAT and exFAT media keep none of
/// it; a run keeps it for them in a file of its own.
struct MetadataSupport
{
    bool modes = true;      // permission bits as set
    bool links = true;      // symbolic links
    bool attributes = true; // extended attributes and ACLs
    bool specials = true;   // FIFOs
    bool all() const { return modes && links && attributes && specials; }
};

/// A folder's entries, and whether all of them could be read: a folder that cannot be opened
/// has none and a failed status; one whose entries could be named but not all examined has
/// those it could examine and a failed status.
struct FolderListing
{
    Status status;
    std::vector<FileEntry> entries;
};

/// The file system as the backup engine uses it. Paths use "/"; folder paths end with it.
/// A run calls it from several threads at once (it lists folders ahead and copies in parallel).
class FileSystem
{
public:
    virtual ~FileSystem() = default;

    /// The entries directly in folder, in name order, each as what it is: a symbolic link as a
    /// link (its own times, whatever it points to), a FIFO, socket or device node as such.
    /// An entry that vanishes while the folder is read is not a failure.
    virtual FolderListing ListFolder(const std::string& folder) = 0;
    /// The file or folder at path (following a symbolic link), or nothing.
    virtual std::optional<FileEntry> Stat(const std::string& path) = 0;
    /// The entry at path as it is: a symbolic link as the link, not what it points to.
    virtual std::optional<FileEntry> LinkStat(const std::string& path) { return Stat(path); }
    /// The target a symbolic link reads, or nothing when path is no link.
    virtual std::optional<std::string> ReadLink(const std::string& path)
    {
        (void)path;
        return std::nullopt;
    }
    /// The absolute path of an existing file or folder with every symbolic link, "." and ".."
    /// resolved (a folder without a trailing "/"), or nothing when it does not exist.
    virtual std::optional<std::string> RealPath(const std::string& path) = 0;

    /// Creates one folder whose parent exists; code 183 when it exists already.
    virtual Status CreateFolder(const std::string& path) = 0;
    /// Copies the entry source over target: written under a temporary name in the target's folder
    /// and renamed into place, with the source's metadata. A symbolic link is copied as a link
    /// (its target as it reads), a FIFO as a FIFO; a socket or device node is refused. A file
    /// that changes while it is copied fails with code 32 and leaves the target as it was.
    virtual Status CopyFile(const std::string& source, const std::string& target) = 0;
    /// Makes target another name of the file existing (a hard link), replacing target as a copy
    /// would; fails where the file system has none, and the caller copies instead.
    virtual Status HardLink(const std::string& existing, const std::string& target)
    {
        (void)existing;
        (void)target;
        return {50, "keine festen Verknüpfungen"};
    }
    /// Moves the entry source (a link as itself) to target, replacing it; across file systems a
    /// copy and a deletion.
    virtual Status MoveFile(const std::string& source, const std::string& target) = 0;
    virtual Status DeleteFile(const std::string& path) = 0;
    /// Removes an empty folder.
    virtual Status RemoveFolder(const std::string& path) = 0;
    /// Gives the owner write permission back ("attributes to normal").
    virtual Status MakeWritable(const std::string& path) = 0;
    /// Moves the file into the desktop's trash of its volume.
    virtual Status MoveToTrash(const std::string& path) = 0;

    /// Gives the folder target what the folder source has besides its entries: owner, extended
    /// attributes and ACLs, permission bits and times. Called once the folder's contents are
    /// written, so its times stay and a folder that lets its owner write nothing still fills.
    virtual Status CopyFolderMetadata(const std::string& source, const std::string& target)
    {
        (void)source;
        (void)target;
        return {};
    }
    /// What the file system that holds folder can keep, tried with files of the run's own there.
    virtual MetadataSupport ProbeMetadata(const std::string& folder)
    {
        (void)folder;
        return {};
    }
    /// The extended attributes of the file or folder path that a copy keeps (the user's, the
    /// ACLs, and as root the security ones), as name and value; none for a link.
    virtual std::vector<std::pair<std::string, std::string>> Attributes(const std::string& path)
    {
        (void)path;
        return {};
    }
    /// What a restore gives a file, folder or link back besides its content.
    struct StoredMetadata
    {
        std::uint32_t mode = 0; // permission bits with setuid, setgid and sticky; ignored for a link
        std::optional<std::pair<std::uint32_t, std::uint32_t>> owner; // owner and group, when known
        std::optional<std::int64_t> mtimeNs;                          // nothing: the time stays as it is
        std::vector<std::pair<std::string, std::string>> attributes;
    };
    /// Gives the entry at path (a link as itself) the stored metadata: owner and group where the
    /// user may set them, attributes, permission bits, then the modification time.
    virtual Status SetMetadata(const std::string& path, const StoredMetadata& metadata)
    {
        (void)path;
        (void)metadata;
        return {50, "nicht unterstützt"};
    }
    /// Makes a symbolic link reading linkTarget (kind Link) or a FIFO (kind Fifo) at path, which
    /// must not exist.
    virtual Status MakeSpecial(const std::string& path, EntryKind kind, const std::string& linkTarget)
    {
        (void)path;
        (void)kind;
        (void)linkTarget;
        return {50, "nicht unterstützt"};
    }
    /// The MetadataLoss bits of the copies since the last call.
    virtual unsigned TakeMetadataLosses() { return 0; }

    /// Whether the copy equals the source: by size, and with bytewise also byte by byte, reading
    /// the copy back from the storage rather than from the cache; two links by their targets. A
    /// file that cannot be read counts as different.
    virtual bool CompareFiles(const std::string& source, const std::string& copy, bool bytewise) = 0;
    /// Whether the folder is the root of a file system (a mount point).
    virtual bool IsFileSystemRoot(const std::string& folder) = 0;
    /// The mount points strictly below folder (its real location), with every link resolved and
    /// each ending with "/"; bind mounts of folders of the same disk too.
    virtual std::vector<std::string> MountPointsBelow(const std::string& folder)
    {
        (void)folder;
        return {};
    }
    /// Writes everything cached for the file system that holds path to its storage.
    virtual void SyncFileSystem(const std::string& path) = 0;
    /// Bytes an unprivileged user may still write to the file system that holds path, or
    /// nothing when it cannot be told.
    virtual std::optional<std::int64_t> FreeSpace(const std::string& path) = 0;
    /// From now on a copy under way stops (and fails, leaving its target as it was) once flag
    /// is set; nullptr: never. A run that is cancelled need not wait for a large file.
    virtual void StopCopiesWhen(const std::atomic<bool>* flag) { (void)flag; }
    /// The mark in the names of the files a run makes while it works ("tresorio-3f9a…", beside a
    /// target as ".name.<tag>-…"): names nobody else uses, by which the next run finds what a
    /// killed one left, and nothing else.
    virtual void SetWorkTag(const std::string& tag) { m_workTag = tag; }
    const std::string& WorkTag() const { return m_workTag; }

protected:
    std::string m_workTag = "tresorio-0";
};
