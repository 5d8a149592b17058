#pragma once

#include "restore/StoredVersion.h"

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

/// What a destination holds of a profile's files, by their path below the destination's layout
/// ("sub": the source's prefix and the path below the source, a folder ending with "/"), every
/// version of each.
class BackupCatalogue final
{
public:
    void Add(const std::string& sub, StoredVersion version);
    /// Takes the note of .tresorio-metadaten for the current version of sub.
    void Note(const std::string& sub, const StoredVersion& noted);

    const std::map<std::string, std::vector<StoredVersion>>& entries() const { return m_entries; }
    bool empty() const { return m_entries.empty(); }

    /// One version chosen for each path.
    struct Chosen
    {
        std::string sub;
        const StoredVersion* version = nullptr;
    };
    /// The state at moment (nanoseconds since 1970), or the newest without one: of each path
    /// the newest version stored up to then. With wholeSets, versions of an archive count only
    /// when that archive is the newest one stored up to the moment (every archive of the
    /// profile is a whole backup of its own). Folders come before what they hold.
    std::vector<Chosen> StateAt(std::optional<std::int64_t> moment, bool wholeSets) const;

private:
    std::map<std::string, std::vector<StoredVersion>> m_entries;
};
