#pragma once

#include "platform/FileSystem.h"

#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

/// A file system held in memory: a map from path to node, which logs the calls that change it and
/// fails on request. It behaves like the POSIX one, and where that cannot fail the way Windows
/// does, like Windows: a copy or move onto a read-only file fails with the target in the way.
/// Thread-safe: a run lists ahead and copies on two threads at once.
class MemoryFileSystem final : public FileSystem
{
public:
    enum class Operation
    {
        List,
        Stat,
        Copy,
        Move,
        Delete,
        CreateFolder,
        Trash,
        Compare,
    };

    /// From now on every call of op whose source (for List, Stat, Delete, CreateFolder and Trash:
    /// whose path) is path fails with status and changes nothing. A failing Stat finds nothing, a
    /// failing Compare finds the files different.
    void failOn(const std::string& path, Operation op, Status status);

    /// Runs when a copy begins, with no lock held: a test changes or deletes the source "while
    /// it is copied".
    std::function<void(const std::string& source)> beforeCopy;
    /// The clock of every write (nanoseconds since 1970).
    std::int64_t nowNs = 1'100'000'000'000'000'000;
    /// What FreeSpace answers.
    std::optional<std::int64_t> freeSpace;
    /// Moves as between two file systems: a copy, then the source deleted.
    bool acrossDevices = false;
    /// "copy /a -> /b", "move /a -> /b", "delete /x", "rmdir /d/", "mkdir /d/", "writable /x",
    /// "trash /x", in the order they came; read it once the run is over.
    std::vector<std::string> calls;

    /// Writes a file, creating its folders; its modification time is mtimeUnixSeconds, or now.
    void addFile(const std::string& path, const std::string& content, std::int64_t mtimeUnixSeconds = 0);
    /// Creates a folder and every missing one above it.
    void addFolder(const std::string& path);
    std::optional<std::string> content(const std::string& path);
    bool exists(const std::string& path);
    void setReadOnly(const std::string& path, bool readOnly);
    /// Every file and folder below root as relative paths ("a/", "a/b.txt"), sorted.
    std::vector<std::string> tree(const std::string& root);

    FolderListing ListFolder(const std::string& folder) override;
    std::optional<FileEntry> Stat(const std::string& path) override;
    std::optional<std::string> RealPath(const std::string& path) override;
    Status CreateFolder(const std::string& path) override;
    Status CopyFile(const std::string& source, const std::string& target) override;
    Status MoveFile(const std::string& source, const std::string& target) override;
    Status DeleteFile(const std::string& path) override;
    Status RemoveFolder(const std::string& path) override;
    Status MakeWritable(const std::string& path) override;
    Status MoveToTrash(const std::string& path) override;
    bool CompareFiles(const std::string& source, const std::string& copy, bool bytewise) override;
    bool IsFileSystemRoot(const std::string& folder) override;
    void SyncFileSystem(const std::string& path) override;
    std::optional<std::int64_t> FreeSpace(const std::string& path) override;

private:
    struct Node
    {
        bool folder = false;
        std::string content;
        bool readOnly = false;
        std::int64_t mtimeNs = 0;
        std::int64_t ctimeNs = 0;
        std::uint64_t inode = 0;
    };

    // Callers hold m_mutex.
    std::optional<Status> injected(const std::string& key, Operation op) const;
    Node* find(const std::string& key);
    bool isFolder(const std::string& key);
    void makeFolders(const std::string& key);
    FileEntry entryOf(const std::string& key, const Node& node) const;
    Status checkTarget(const std::string& key);
    void moveNode(const std::string& from, const std::string& to);

    std::mutex m_mutex;
    std::map<std::string, Node> m_nodes{{"/", Node{true, {}, false, 0, 0, 1}}};
    std::map<std::pair<std::string, Operation>, Status> m_failures;
    std::uint64_t m_nextInode = 2;
};
