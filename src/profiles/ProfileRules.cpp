#include "profiles/ProfileRules.h"

#include "base/Text.h"

#include <algorithm>
#include <filesystem>

bool StorablePath(const std::string& path)
{
    return IsValidUtf8(path) && path.find_first_of("\r\n") == std::string::npos;
}

std::string StoredProfileName(const std::string& typed)
{
    std::string name = typed;
    std::replace_if(
        name.begin(), name.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
    return Trim(name);
}

std::optional<ProfileNameProblem> NameProblem(const std::string& typed,
                                              const std::function<bool(const std::string&)>& taken)
{
    const std::string stored = StoredProfileName(typed);
    if (stored.empty())
        return ProfileNameProblem::Empty;
    if (taken && taken(stored))
        return ProfileNameProblem::Taken;
    return std::nullopt;
}

std::string WithSlash(const std::string& path)
{
    if (path.empty() || path.back() == '/')
        return path;
    return path + "/";
}

std::string ComparableFolder(const std::string& path)
{
    std::string text = Trim(path);
    const std::size_t placeholder = text.find('$');
    if (placeholder != std::string::npos) {
        text.resize(placeholder);
        const std::size_t slash = text.rfind('/');
        text.resize(slash == std::string::npos ? 0 : slash + 1);
    }
    if (text.empty() || text.front() != '/')
        return {};
    std::string normal = std::filesystem::path(text).lexically_normal().generic_string();
    return WithSlash(normal);
}

std::optional<std::string> SourceDestinationClash(const std::vector<std::string>& sources,
                                                  const std::string& destination, const FolderHoldsOnDisk& onDisk)
{
    const std::string dest = ComparableFolder(destination);
    if (dest.empty() || dest == "/")
        return std::nullopt;
    // With a placeholder the folder is only known down to where the placeholder starts: it lies
    // below that folder, but need not hold what else is there.
    const bool placeholder = destination.find('$') != std::string::npos;
    for (const std::string& source : sources) {
        const std::string folder = ComparableFolder(source);
        if (folder.empty())
            continue;
        if (dest.starts_with(folder) || (!placeholder && folder.starts_with(dest)))
            return source;
        if (onDisk && (onDisk(folder, dest) || (!placeholder && onDisk(dest, folder))))
            return source;
    }
    return std::nullopt;
}

std::string ZipNameFor(const std::string& profileName)
{
    std::string name = profileName;
    for (char& c : name)
        if (c == '/')
            c = '_';
    const std::size_t dot = name.rfind('.');
    if (dot != std::string::npos)
        name.resize(dot);
    return name + ".zip";
}

std::string PickedDestination(const std::string& folder, const std::string& oldDestination)
{
    std::string destination = WithSlash(folder);
    const std::size_t placeholder = oldDestination.find('$');
    if (placeholder != std::string::npos)
        destination += oldDestination.substr(placeholder, 255);
    return destination;
}

TProfile DuplicateOf(const TProfile& original, const std::function<bool(const std::string&)>& taken)
{
    TProfile copy = original;
    const std::string base = original.Name + " Kopie";
    copy.Name = base;
    for (int n = 2; taken(copy.Name); ++n)
        copy.Name = base + " (" + std::to_string(n) + ")";
    copy.Errors = 0;
    copy.FilesCount = 0;
    copy.FilesSize = 0;
    copy.FilesCompressed = 0;
    copy.RunRequest = false;
    // The copy has never written to its destination: a run by date must not skip what the
    // original took before.
    copy.LastGoodRun = 0;
    copy.LastSuccess = NoRun;
    return copy;
}
