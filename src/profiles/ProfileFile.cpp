#include "profiles/ProfileFile.h"

#include "base/Text.h"
#include "platform/AtomicFile.h"
#include "platform/RawFile.h"

namespace {

constexpr const char* LineEnd = "\r\n";

Message cannotCreate(const std::filesystem::path& path, const std::string& why)
{
    return Message("Datei %1 kann nicht erstellt werden: %2", {path.string(), why});
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

    // A file that is there but cannot be read (permissions, an I/O error, a folder in its place)
    // is kept as it is and never saved over while the program runs: it may well hold the
    // profiles, and nothing here knows better.
    std::string reason;
    const std::unique_ptr<RawFile> file = RawFile::Open(m_path.string(), RawFile::Mode::Read, reason);
    std::string content;
    if (file) {
        content.assign(file->Size(), '\0');
        const std::int64_t n = content.empty() ? 0 : file->ReadAt(0, content.data(), content.size(), reason);
        if (n < 0 || static_cast<std::size_t>(n) != content.size())
            content.clear(), reason = reason.empty() ? "unvollständig gelesen" : reason;
        else
            reason.clear();
    }
    if (!file || !reason.empty()) {
        result.cannotRead = reason.empty() ? "nicht lesbar" : reason;
        m_readOnly = true;
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

std::vector<std::string> ProfileFile::FormatProfiles(const ProfileList& list, std::mt19937& random,
                                                     std::string& content)
{
    std::vector<std::string> warnings;
    content = std::string(ProfileSignature) + LineEnd + LineEnd + LineEnd;
    for (int row = 0; row < list.count(); ++row) {
        ProfileSection section = FormatProfileSection(list.at(row), random);
        warnings.insert(warnings.end(), section.warnings.begin(), section.warnings.end());
        for (const std::string& line : section.lines)
            content += line + LineEnd;
    }
    return warnings;
}

std::optional<Message> ProfileFile::SaveProfiles(const ProfileList& list)
{
    if (m_readOnly)
        return Message("Datei %1 wird nicht überschrieben: sie konnte beim Start nicht gelesen werden",
                       {m_path.string()});
    std::string content;
    // Each warning once: the next saves cut the same value again without saying it again.
    for (std::string& warning : FormatProfiles(list, m_random, content))
        if (m_warned.insert(warning).second)
            m_warnings.push_back(std::move(warning));
    if (m_keepAside) {
        if (const auto failure = keepUnreadableFileAside())
            return cannotCreate(m_path, *failure);
        m_keepAside = false;
    }
    // A link stays a link: the file it names is replaced, beside itself.
    std::error_code error;
    const bool link = std::filesystem::is_symlink(std::filesystem::symlink_status(m_path, error));
    const std::filesystem::path target = link ? std::filesystem::weakly_canonical(m_path, error) : m_path;
    if (link && error)
        return cannotCreate(m_path, error.message());
    if (const auto failure = WriteFileAtomically(target, content, true))
        return cannotCreate(m_path, *failure);
    return std::nullopt;
}

std::vector<std::string> ProfileFile::TakeWarnings()
{
    std::vector<std::string> warnings;
    warnings.swap(m_warnings);
    return warnings;
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
