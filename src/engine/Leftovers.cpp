#include "engine/Leftovers.h"

#include "base/Text.h"
#include "engine/FileHelpers.h"
#include "engine/ZipArchiver.h"
#include "platform/AtomicFile.h"
#include "platform/RawFile.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>

namespace {

constexpr std::string_view Tag = ".tresorio-";

bool digits(std::string_view text)
{
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

bool startsWith(std::string_view text, std::string_view prefix)
{
    return text.substr(0, prefix.size()) == prefix;
}

// The name a copy moved aside had: ".name.tresorio-old" gives "name". Nothing when the name was
// cut to make room for the tag (it cannot be told).
std::optional<std::string> nameBeforeAside(const std::string& name)
{
    const std::string inner = name.substr(1, name.size() - 1 - (Tag.size() + 3));
    if (inner.size() >= 200)
        return std::nullopt;
    return inner;
}

// FNV-1a: the same number for the same name in every build.
std::string hashOf(const std::string& text)
{
    std::uint64_t hash = 1469598103934665603ULL;
    for (const unsigned char c : text) {
        hash ^= c;
        hash *= 1099511628211ULL;
    }
    char buffer[17];
    std::snprintf(buffer, sizeof buffer, "%016llx", static_cast<unsigned long long>(hash));
    return buffer;
}

} // namespace

WorkName WorkNameOf(const std::string& name)
{
    if (startsWith(name, std::string_view(ArchiveWorkPrefix)))
        return digits(std::string_view(name).substr(std::string_view(ArchiveWorkPrefix).size())) ? WorkName::Discard
                                                                                                 : WorkName::None;
    const std::size_t tag = name.rfind(Tag);
    if (name.empty() || name.front() != '.' || tag == std::string::npos || tag < 2)
        return WorkName::None;
    const std::string_view kind = std::string_view(name).substr(tag + Tag.size());
    if (kind == "old")
        return WorkName::MovedAside;
    if (kind == "volume" || kind == "volumes")
        return WorkName::Discard;
    if (startsWith(kind, "new-") && digits(kind.substr(4)))
        return WorkName::Discard;
    const std::size_t dash = kind.find('-');
    if (dash != std::string_view::npos && digits(kind.substr(0, dash)) && digits(kind.substr(dash + 1)))
        return WorkName::Discard;
    return WorkName::None;
}

int SweepLeftovers(FileSystem& fs, const std::string& folder, bool recursive)
{
    int cleared = 0;
    const std::string here = AddSlash(folder);
    for (const FileEntry& entry : fs.ListFolder(here).entries) {
        const std::string path = here + entry.name;
        switch (WorkNameOf(entry.name)) {
        case WorkName::Discard:
            if (entry.folder) {
                EraseFolderContents(fs, path + "/");
                fs.RemoveFolder(path);
            } else {
                fs.DeleteFile(path);
            }
            ++cleared;
            break;
        case WorkName::MovedAside: {
            // The last good copy: it goes back unless a new one took its place meanwhile.
            const auto original = nameBeforeAside(entry.name);
            if (!original || entry.folder)
                break;
            if (fs.Stat(here + *original))
                fs.DeleteFile(path);
            else
                fs.MoveFile(path, here + *original);
            ++cleared;
            break;
        }
        case WorkName::None:
            if (entry.folder && recursive)
                cleared += SweepLeftovers(fs, path, true);
            break;
        }
    }
    return cleared;
}

RunMarker::RunMarker(const std::string& dataFolder, const std::string& profileName)
{
    if (!dataFolder.empty())
        m_file = AddSlash(dataFolder) + ".tresorio-lauf-" + hashOf(profileName);
}

std::vector<std::string> RunMarker::Unfinished() const
{
    std::vector<std::string> folders;
    if (m_file.empty())
        return folders;
    std::string error;
    const auto file = RawFile::Open(m_file, RawFile::Mode::Read, error);
    if (!file)
        return folders;
    std::string content(file->Size(), '\0');
    if (file->Read(content.data(), content.size(), error) < 0)
        return folders;
    for (const std::string& line : SplitLines(content))
        if (!line.empty())
            folders.push_back(line);
    return folders;
}

void RunMarker::Begin(const std::vector<std::string>& folders)
{
    if (m_file.empty())
        return;
    std::string content;
    for (const std::string& folder : folders)
        content += folder + "\n";
    WriteFileAtomically(m_file, content, true);
}

void RunMarker::End()
{
    if (m_file.empty())
        return;
    std::error_code ignored;
    std::filesystem::remove(m_file, ignored);
}
