#pragma once

#include "engine/ZipVolumes.h"
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

/// The name a file gets in the archive for its path below the destination: relative, with "/"
/// between folders and no "." or ".." element, so no unpacking can write outside its folder.
std::string ArchiveEntryName(const std::string& path);

struct ZipOptions
{
    std::string archivePath;            // destination + the expanded Zipfile, in lower case
    std::string temporaryFolder;        // where the archive is built; empty: next to it
    int level = 5;                      // deflate level
    std::string password;               // traditional PKWARE encryption when not empty
    bool addToExisting = false;         // replace entries of the same name, keep the others
    std::string workTag = "tresorio-0"; // marks the folder the archive is built in: ".<tag>-zip"
    unsigned threads = 2;               // deflating threads
    // Spanning: the archive is split into volumes of at most maxVolumeSize bytes (0: what the
    // medium holds) on medium; always a new archive.
    SpanMedium* medium = nullptr;
    std::int64_t maxVolumeSize = 0;
};

/// What the archiver tells while it works. All calls come from the thread that called Write.
struct ZipCallbacks
{
    std::function<void(const ZipEntry& entry)> fileStarted; // a new file is being added
    std::function<void(std::int64_t bytes)> bytesDone;      // bytes of the files read so far
    std::function<void()> finished;                         // all files are in
    std::function<void(std::size_t index)> fileSkipped;     // entries[index] is not in the archive
    std::function<void(int code, const std::string& message)> error;
    std::function<bool()> cancelled;
};

/// Writes a ZIP archive: built under a temporary name and moved into place when complete, so an
/// interrupted run never leaves a truncated archive and a failed update keeps the old one.
class ZipArchiver
{
public:
    virtual ~ZipArchiver() = default;
    /// The size of the finished archive, or nothing when it failed (reported through error). A
    /// file that cannot be read is reported and skipped; the others are archived.
    virtual std::optional<std::int64_t> Write(const ZipOptions& options, const std::vector<ZipEntry>& entries,
                                              const ZipCallbacks& callbacks) = 0;
};
