#include "restore/DestinationLayout.h"

#include "engine/FileHelpers.h"
#include "engine/SourceScan.h"

#include <filesystem>

namespace {

// As a run compares them: "." and ".." and doubled separators gone.
std::string normalFolder(const std::string& path)
{
    if (path.empty())
        return path;
    return AddSlash(std::filesystem::path(path).lexically_normal().string());
}

} // namespace

DestinationLayout::DestinationLayout(const TProfile& profile, const PlaceholderValues& values)
{
    m_destination =
        profile.FTP ? profile.Destination : normalFolder(ExpandPlaceholders(AddSlash(profile.Destination), values));
    for (const std::string& source : profile.Source)
        m_sources.push_back(normalFolder(ExpandPlaceholders(AddSlash(source), values)));
    std::string common;
    if (m_sources.size() >= 2) {
        common = m_sources.front();
        for (std::size_t i = 1; i < m_sources.size() && !common.empty(); ++i)
            common = CommonFolder(common, m_sources[i]);
    }
    // A synchronisation has one source; an FTP server holds the trees of every source merged.
    const bool merged = profile.FTP || profile.Backuptype == BackupSynchronise;
    for (const std::string& source : m_sources)
        m_layout.push_back({source, merged ? std::string() : SourcePrefixOf(source, common, m_sources.size())});
}

const DestinationLayout::Source* DestinationLayout::holding(const std::string& sub) const
{
    // The longest prefix that holds sub names its source (a source that is the common folder
    // itself has the empty prefix and holds what no other holds).
    const Source* best = nullptr;
    for (const Source& s : m_layout)
        if (sub.compare(0, s.prefix.size(), s.prefix) == 0 &&
            (best == nullptr || s.prefix.size() > best->prefix.size()))
            best = &s;
    return best;
}

std::optional<std::string> DestinationLayout::OriginalOf(const std::string& sub) const
{
    const Source* source = holding(sub);
    if (source == nullptr)
        return std::nullopt;
    return source->path + sub.substr(source->prefix.size());
}

std::optional<std::string> DestinationLayout::SourceOf(const std::string& sub) const
{
    const Source* source = holding(sub);
    if (source == nullptr)
        return std::nullopt;
    return source->path;
}

std::optional<std::string> DestinationLayout::SubOf(const std::string& original) const
{
    const std::string path = original.empty() || original.back() == '/'
                                 ? normalFolder(original)
                                 : std::filesystem::path(original).lexically_normal().string();
    const Source* best = nullptr;
    for (const Source& s : m_layout) {
        const bool holds = path.compare(0, s.path.size(), s.path) == 0 || AddSlash(path) == s.path;
        if (holds && (best == nullptr || s.path.size() > best->path.size()))
            best = &s;
    }
    if (best == nullptr)
        return std::nullopt;
    if (AddSlash(path) == best->path)
        return best->prefix;
    return best->prefix + path.substr(best->path.size());
}
