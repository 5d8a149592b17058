#pragma once

#include "platform/FileSystem.h"

#include <atomic>
#include <mutex>
#include <sys/stat.h>
#include <sys/types.h>

/// The file system through POSIX calls; the trash through QtCore.
class PosixFileSystem : public FileSystem
{
public:
    FolderListing ListFolder(const std::string& folder) override;
    std::optional<FileEntry> Stat(const std::string& path) override;
    std::optional<FileEntry> LinkStat(const std::string& path) override;
    std::optional<std::string> ReadLink(const std::string& path) override;
    std::optional<std::string> RealPath(const std::string& path) override;
    Status CreateFolder(const std::string& path) override;
    Status CopyFile(const std::string& source, const std::string& target) override;
    Status HardLink(const std::string& existing, const std::string& target) override;
    Status MoveFile(const std::string& source, const std::string& target) override;
    Status DeleteFile(const std::string& path) override;
    Status RemoveFolder(const std::string& path) override;
    Status MakeWritable(const std::string& path) override;
    Status MoveToTrash(const std::string& path) override;
    Status CopyFolderMetadata(const std::string& source, const std::string& target) override;
    unsigned TakeMetadataLosses() override;
    Status SetMetadata(const std::string& path, const StoredMetadata& metadata) override;
    Status MakeSpecial(const std::string& path, EntryKind kind, const std::string& linkTarget) override;
    MetadataSupport ProbeMetadata(const std::string& folder) override;
    std::vector<std::pair<std::string, std::string>> Attributes(const std::string& path) override;
    bool CompareFiles(const std::string& source, const std::string& copy, bool bytewise) override;
    bool IsFileSystemRoot(const std::string& folder) override;
    std::vector<std::string> MountPointsBelow(const std::string& folder) override;
    void SyncFileSystem(const std::string& path) override;
    std::optional<std::int64_t> FreeSpace(const std::string& path) override;
    void StopCopiesWhen(const std::atomic<bool>* flag) override;

private:
    bool copyContent(int from, int to, const struct stat& st, const std::string& folder);
    bool stopped() const;
    /// A copy that tells the state of the source it was made from.
    Status copyFile(const std::string& source, const std::string& target, struct stat& copied);
    Status copyRegular(const std::string& source, const std::string& target, struct stat& copied);
    /// A symbolic link or a FIFO made anew at target, with the owner and times of st.
    Status copySpecial(const class AtPath& from, const struct stat& st, const std::string& target);
    Status moveAcross(const std::string& source, const std::string& target);
    /// Deletes the file at (held open, with a read lease, as held) unless a writer waits to open it.
    Status deleteUnlessOpened(const class AtPath& at, int held);
    static bool syncFileAndFolder(const std::string& path);

    std::atomic<unsigned> m_temporaryNumber{0};
    std::mutex m_reflinkMutex;
    std::string m_noReflinkFolder; // the last target folder where a reflink failed
    std::atomic<const std::atomic<bool>*> m_stop{nullptr};
    std::atomic<unsigned> m_losses{0};
};

/// The result for a failed system call with errno error: the nearest Windows code and the
/// system's text.
Status FailureOf(int error);
