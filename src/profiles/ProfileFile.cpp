#include "profiles/ProfileFile.h"

#include "base/Text.h"
#include "platform/AtomicFile.h"

#include <fstream>
#include <iterator>

namespace {

constexpr const char* LineEnd = "\r\n";

std::string cannotCreate(const std::filesystem::path& path)
{
    return "Datei " + path.string() + " kann nicht erstellt werden";
}

} // namespace

ProfileFile::ProfileFile(std::filesystem::path path) : m_path(std::move(path)), m_random(std::random_device{}())
{
}

ProfileFileLoad ProfileFile::LoadProfiles(ProfileList& list, const ProfileDefaults& defaults,
                                          const NextRunRecalculation& recalculate)
{
    ProfileFileLoad result;
    std::error_code error;
    if (!std::filesystem::exists(m_path, error))
        return result;
    result.existed = true;

    std::ifstream in(m_path, std::ios::binary);
    std::string content;
    if (in.is_open() && std::filesystem::is_regular_file(m_path, error))
        content.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    if (!in.is_open() || in.bad() || !std::filesystem::is_regular_file(m_path, error)) {
        // A file that is there but cannot be read must not be replaced unseen by the next save.
        result.unreadable = true;
        m_keepAside = true;
        return result;
    }
    const std::vector<std::string> lines = DecodeStoredLines(content);
    result.firstLineEmpty = lines.empty() || lines[0].empty();
    if (!lines.empty() && lines[0] != ProfileSignature) {
        // Not a profile file, or a damaged one: keep it for the user instead of overwriting it.
        result.unreadable = true;
        m_keepAside = true;
        return result;
    }
    for (TProfile& profile : ParseProfileLines(lines, defaults, recalculate)) {
        list.AddToProfile(std::move(profile));
        ++result.loaded;
    }
    return result;
}

std::optional<std::string> ProfileFile::FormatProfiles(const ProfileList& list, std::mt19937& random,
                                                       std::string& content)
{
    content = std::string(ProfileSignature) + LineEnd + LineEnd + LineEnd;
    for (int row = 0; row < list.count(); ++row) {
        const ProfileSection section = FormatProfileSection(list.at(row), random);
        if (section.refusal)
            return section.refusal;
        for (const std::string& line : section.lines)
            content += line + LineEnd;
    }
    return std::nullopt;
}

std::optional<std::string> ProfileFile::SaveProfiles(const ProfileList& list)
{
    std::string content;
    if (const auto refusal = FormatProfiles(list, m_random, content))
        return cannotCreate(m_path) + ": " + *refusal;
    if (m_keepAside) {
        if (const auto failure = keepUnreadableFileAside())
            return cannotCreate(m_path) + ": " + *failure;
        m_keepAside = false;
    }
    if (const auto failure = WriteFileAtomically(m_path, content, true))
        return cannotCreate(m_path) + ": " + *failure;
    return std::nullopt;
}

std::optional<std::string> ProfileFile::keepUnreadableFileAside()
{
    std::error_code error;
    if (!std::filesystem::exists(m_path, error))
        return std::nullopt;
    std::filesystem::path aside = m_path;
    aside += ".bak";
    for (int n = 2; std::filesystem::exists(aside, error); ++n) {
        aside = m_path;
        aside += ".bak" + std::to_string(n);
    }
    std::filesystem::rename(m_path, aside, error);
    if (error)
        return error.message();
    return std::nullopt;
}
