#pragma once

#include "platform/FileSystem.h"

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

/// Where a version of a file lies in the destination.
enum class StoredPlace : std::uint8_t
{
    Copy,     // a copy in a folder destination (the current one or in Generation.N)
    Archive,  // an entry of a ZIP archive
    Server,   // a file on the FTP server
    NoteOnly, // a link or FIFO the destination could not hold: only its line in .tresorio-metadaten
};

/// One version of a file or folder that a backup keeps, as a restore gives it back.
struct StoredVersion
{
    StoredPlace place = StoredPlace::Copy;
    std::string location; // the copy's path, the archive's path, or the path on the server
    std::string entry;    // the entry's name inside the archive
    EntryKind kind = EntryKind::File;
    std::int64_t size = 0;
    std::int64_t mtimeNs = 0; // the file's modification time, as the backup stored it
    // When the backup stored this version (nanoseconds since 1970): the archive's own time, for
    // a copy its modification time. A point in time picks versions stored up to it.
    std::int64_t storedNs = 0;
    std::string version; // what the listing shows: "aktuell", "Generation.2", the archive's name
    int generation = 0;  // 0 the current copy, N one in Generation.N
    bool modeKnown = false;
    std::uint32_t mode = 0;
    std::optional<std::pair<std::uint32_t, std::uint32_t>> owner; // owner and group, when stored
    std::string linkTarget;                                       // of a link noted or archived
    std::vector<std::pair<std::string, std::string>> attributes;  // noted for a medium without them
    bool noted = false; // the metadata comes from .tresorio-metadaten, not from the copy
};
