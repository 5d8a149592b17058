#pragma once

#include "platform/FileSystem.h"

#include <string>
#include <vector>

/// The archive attribute of files: set when a file is new or changed, cleared by a backup that
/// took the file. Paths are absolute.
class ArchiveAttribute
{
public:
    virtual ~ArchiveAttribute() = default;

    /// Reads ahead what is known of every file below folder, before the files are asked about.
    virtual void Prefetch(const std::string& folder) = 0;
    /// Whether the file, as entry describes it now, has its archive bit set.
    virtual bool IsSet(const std::string& path, const FileEntry& entry) = 0;
    /// Clears the bit for the file as entry describes it (what was read before its copy began).
    virtual void Clear(const std::string& path, const FileEntry& entry) = 0;
    /// Makes the cleared bits of this run permanent; false when that failed.
    virtual bool Commit() = 0;
    /// What went wrong with the store since it was last asked (each problem is told once), for
    /// the run's report.
    virtual std::vector<std::string> TakeProblems() = 0;
};
