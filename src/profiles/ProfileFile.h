#pragma once

#include "profiles/ProfileList.h"
#include "profiles/ProfileText.h"

#include <filesystem>
#include <optional>
#include <random>
#include <string>

/// What LoadProfiles found.
struct ProfileFileLoad
{
    bool existed = false;        // there was a file
    bool firstLineEmpty = false; // it was empty or its first line was
    bool unreadable = false;     // it could not be read or did not start with the signature
    std::size_t loaded = 0;
};

/// The profile file, Backup.bpf in the data folder: read once at start-up, rewritten whole at
/// every save point.
class ProfileFile final
{
public:
    explicit ProfileFile(std::filesystem::path path);

    const std::filesystem::path& path() const { return m_path; }

    /// Appends one row per profile of the file. Never changes the file.
    ProfileFileLoad LoadProfiles(ProfileList& list, const ProfileDefaults& defaults,
                                 const NextRunRecalculation& recalculate);

    /// Replaces the file with the profiles of the list. On failure the old file stays as it
    /// was and the result is the message for the user.
    std::optional<std::string> SaveProfiles(const ProfileList& list);

    /// The whole file content SaveProfiles writes, or the reason it must not be written.
    static std::optional<std::string> FormatProfiles(const ProfileList& list, std::mt19937& random,
                                                     std::string& content);

private:
    std::optional<std::string> keepUnreadableFileAside();

    std::filesystem::path m_path;
    bool m_keepAside = false;
    std::mt19937 m_random;
};
