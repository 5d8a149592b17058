#pragma once

#include "base/Message.h"
#include "profiles/ProfileList.h"
#include "profiles/ProfileText.h"

#include <filesystem>
#include <optional>
#include <random>
#include <set>
#include <string>
#include <vector>

/// What LoadProfiles found.
struct ProfileFileLoad
{
    bool existed = false;        // there was a file
    bool firstLineEmpty = false; // it was empty or its first line was
    bool unreadable = false;     // it did not start with the signature: kept aside before it is replaced
    std::string cannotRead;      // why it could not be read at all: it is never replaced then
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
    /// was and the result is the message for the user. A file that could not be read when it
    /// was loaded is never replaced.
    std::optional<Message> SaveProfiles(const ProfileList& list);
    /// What the saves could not store as it was (each said once), for the user.
    std::vector<std::string> TakeWarnings();

    /// The whole file content SaveProfiles writes, and the warnings about values it had to cut
    /// or drop.
    static std::vector<std::string> FormatProfiles(const ProfileList& list, std::mt19937& random, std::string& content);

private:
    std::optional<std::string> keepUnreadableFileAside();

    std::filesystem::path m_path;
    bool m_keepAside = false;
    bool m_readOnly = false; // it could not be read: never saved over
    std::set<std::string> m_warned;
    std::vector<std::string> m_warnings;
    std::mt19937 m_random;
};
