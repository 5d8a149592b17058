#pragma once

#include "platform/ArchiveAttribute.h"

#include <filesystem>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

struct sqlite3;

/// The archive attribute where the file system has none: an SQLite catalogue (archive-state.db
/// in the data folder) that records, per file (folder and name), the device, inode, size,
/// modification and change time seen when its bit was last cleared. A file counts as changed when it has no record or
/// any of these differ. Records of a run are written in one transaction at its end: if the run dies before, its files
/// are simply taken again next time, and a changed file is never skipped.
class ArchiveStateCatalogue final : public ArchiveAttribute
{
public:
    explicit ArchiveStateCatalogue(const std::filesystem::path& file);
    ~ArchiveStateCatalogue() override;
    ArchiveStateCatalogue(const ArchiveStateCatalogue&) = delete;
    ArchiveStateCatalogue& operator=(const ArchiveStateCatalogue&) = delete;

    /// Empty when the catalogue is usable, else why not.
    const std::string& error() const { return m_error; }

    void Prefetch(const std::string& folder) override;
    bool IsSet(const std::string& path, const FileEntry& entry) override;
    void Clear(const std::string& path, const FileEntry& entry) override;
    bool Commit() override;
    std::vector<std::string> TakeProblems() override;

private:
    struct Record
    {
        std::uint64_t device;
        std::uint64_t inode;
        std::int64_t size;
        std::int64_t mtimeNs;
        std::int64_t ctimeNs;
        bool operator==(const Record&) const = default;
    };
    struct NamedRecord
    {
        std::string name;
        Record record;
    };
    // The records of one folder, sorted by name: a walk asks about the files of one folder
    // after another, so a look-up is a binary search among a few hundred short names.
    using FolderRecords = std::vector<NamedRecord>;

    static Record recordOf(const FileEntry& entry);
    bool open();
    /// Whether the last failure says the file is not a sound database.
    bool damaged() const;
    /// Keeps a damaged file as ".broken" and forgets what was read from it.
    void setAside();
    void recover();
    bool insertCleared();
    bool execute(const char* sql);
    FolderRecords* recordsOf(std::string_view folder);

    std::filesystem::path m_file;
    sqlite3* m_db = nullptr;
    std::string m_error;
    int m_lastCode = 0; // SQLite's code of the last failure
    std::vector<std::string> m_problems;
    std::vector<std::string> m_prefetched; // folders already read, with everything below them
    std::unordered_map<std::string, FolderRecords> m_known;
    std::string m_lastFolder;
    FolderRecords* m_lastRecords = nullptr;
    struct Cleared
    {
        const std::string* folder; // the key in m_known, which stays where it is
        std::string name;
        Record record;
    };
    std::vector<Cleared> m_cleared;
};
