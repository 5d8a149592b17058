#pragma once

#include "platform/FileSystem.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

/// One file for the archive: where it is and the name it gets inside (with its folder path).
struct ZipEntry
{
    std::string path;
    std::string name;
    FileEntry entry; // as the walk read it
};

struct ZipOptions
{
    std::string archivePath;     // destination + the expanded Zipfile, in lower case
    std::string temporaryFolder; // where the archive is built; empty: next to it
    int level = 5;               // deflate level
    std::string password;        // traditional PKWARE encryption when not empty
    bool addToExisting = false;  // replace entries of the same name, keep the others
};

/// What the archiver tells while it works.
struct ZipCallbacks
{
    std::function<void(const std::string& name)> fileAdded;
    std::function<void(int code, const std::string& message)> error;
    std::function<bool()> cancelled;
};

/// Writes a ZIP archive: built under a temporary name and moved into place when complete, so an
/// interrupted run never leaves a truncated archive and a failed update keeps the old one.
class ZipArchiver
{
public:
    virtual ~ZipArchiver() = default;
    /// The size of the finished archive, or nothing when it failed (reported through error).
    virtual std::optional<std::int64_t> Write(const ZipOptions& options, const std::vector<ZipEntry>& entries,
                                              const ZipCallbacks& callbacks) = 0;
};
