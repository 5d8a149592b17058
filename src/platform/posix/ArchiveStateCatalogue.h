#pragma once

#include "platform/ArchiveAttribute.h"

#include <filesystem>
#include <string>
#include <unordered_map>
#include <vector>

struct sqlite3;

/// The archive attribute where the file system has none: an SQLite catalogue (archive-state.db
/// in the data folder) that records, per file, the device, inode, size, modification and change
/// time seen when its bit was last cleared. A file counts as changed when it has no record or any
/// of these differ. Records of a run are written in one transaction at its end: if the run dies
/// before, its files are simply taken again next time, and a changed file is never skipped.
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
    static Record recordOf(const FileEntry& entry);
    bool execute(const char* sql);

    sqlite3* m_db = nullptr;
    std::string m_error;
    std::vector<std::string> m_prefetched; // folders already read
    std::unordered_map<std::string, Record> m_known;
    std::vector<std::pair<std::string, Record>> m_cleared;
};
