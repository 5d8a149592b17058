#pragma once

#include "engine/Placeholders.h"
#include "profiles/TProfile.h"

#include <optional>
#include <string>
#include <vector>

/// How a profile's backup lays its sources out in the destination, and back: a file's path
/// below the destination ("sub") is its source's prefix (nothing for a single source, else its
/// path below the sources' common folder) and its path below the source.
class DestinationLayout final
{
public:
    /// The sources and destination as a run at the moment of values would expand them.
    DestinationLayout(const TProfile& profile, const PlaceholderValues& values);

    /// The destination folder, ending with "/" (for an FTP profile the remote folder as stored).
    const std::string& destination() const { return m_destination; }
    const std::vector<std::string>& sources() const { return m_sources; }

    /// The original path of sub; nothing when no source's prefix holds it.
    std::optional<std::string> OriginalOf(const std::string& sub) const;
    /// The source folder (ending with "/") that sub lies in, or nothing.
    std::optional<std::string> SourceOf(const std::string& sub) const;
    /// The sub of an original path (a file or a folder, with or without its trailing "/"), or
    /// nothing when no source holds it.
    std::optional<std::string> SubOf(const std::string& original) const;

private:
    struct Source
    {
        std::string path;   // expanded, ending with "/"
        std::string prefix; // below the destination, ending with "/" or empty
    };
    /// The source whose copy holds sub, or nullptr.
    const Source* holding(const std::string& sub) const;
    std::string m_destination;
    std::vector<std::string> m_sources;
    std::vector<Source> m_layout;
};
