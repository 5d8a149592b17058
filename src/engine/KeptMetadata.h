#pragma once

#include "platform/FileSystem.h"

#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

/// The metadata of a destination's entries that its file system cannot hold itself (a FAT or
/// exFAT medium keeps no modes, owners, links, attributes or FIFOs), kept in one file in the
/// destination, ".tresorio-metadaten", written whole with each run. One line an entry, fields
/// separated by tabs: its path below the destination, its kind (f file, d folder, l link, p
/// FIFO), mode in octal, owner, group, modification time in nanoseconds since 1970, a link's
/// target, then each extended attribute as name=value in hex. Paths and targets are escaped as
/// EscapeField does. A restore reads it back.
class KeptMetadata final
{
public:
    static constexpr const char* FileName = ".tresorio-metadaten";
    static constexpr const char* Heading = "Tresorio-Metadaten 1";

    struct Entry
    {
        EntryKind kind = EntryKind::File;
        std::uint32_t mode = 0;
        std::uint32_t uid = 0;
        std::uint32_t gid = 0;
        std::int64_t mtimeNs = 0;
        std::string linkTarget;
        std::vector<std::pair<std::string, std::string>> attributes;

        bool operator==(const Entry&) const = default;
    };

    /// The entry at path (below the destination) as the source has it.
    void Add(const std::string& path, const FileEntry& source, std::string linkTarget,
             std::vector<std::pair<std::string, std::string>> attributes);
    bool empty() const { return m_entries.empty(); }

    /// Writes the file at path: what an earlier run noted there stays for the entries this run
    /// did not note again. The reason when it could not.
    std::optional<std::string> Write(const std::string& path) const;

    /// The entries of a file's content; lines that cannot be read are passed over.
    static std::map<std::string, Entry> Parse(const std::string& content);
    static std::string Format(const std::map<std::string, Entry>& entries);

private:
    std::map<std::string, Entry> m_entries;
};
