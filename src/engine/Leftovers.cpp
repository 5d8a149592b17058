#include "engine/Leftovers.h"

#include "base/Text.h"
#include "engine/FileHelpers.h"
#include "platform/AtomicFile.h"
#include "platform/RawFile.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <random>

namespace {

bool digits(std::string_view text)
{
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// The name a copy moved aside had: ".name.<tag>-old" gives "name". Nothing when the name was cut
// to make room for the tag (it cannot be told).
std::optional<std::string> nameBeforeAside(const std::string& name, const std::string& tag)
{
    const std::string inner = name.substr(1, name.size() - 1 - (tag.size() + 5));
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

std::string NewWorkTag()
{
    std::random_device random;
    const std::uint64_t value = (static_cast<std::uint64_t>(random()) << 32) ^ random();
    char buffer[13];
    std::snprintf(buffer, sizeof buffer, "%012llx", static_cast<unsigned long long>(value & 0xFFFFFFFFFFFFULL));
    return std::string("tresorio-") + buffer;
}

WorkName WorkNameOf(const std::string& name, const std::string& tag)
{
    if (tag.empty() || name.empty() || name.front() != '.')
        return WorkName::None;
    if (name == "." + tag + "-zip")
        return WorkName::Discard;
    if (name == "." + tag + "-erased")
        return WorkName::Erased;
    const std::string mark = "." + tag + "-";
    const std::size_t at = name.rfind(mark);
    if (at == std::string::npos || at < 2)
        return WorkName::None;
    const std::string_view kind = std::string_view(name).substr(at + mark.size());
    if (kind == "old")
        return WorkName::MovedAside;
    if (kind == "volume" || kind == "volumes" || digits(kind) || (kind.substr(0, 3) == "new" && digits(kind.substr(3))))
        return WorkName::Discard;
    return WorkName::None;
}

void MergeBack(FileSystem& fs, const std::string& erased, const std::string& folder)
{
    const std::string from = AddSlash(erased);
    const std::string to = AddSlash(folder);
    for (const FileEntry& entry : fs.ListFolder(from).entries) {
        const auto there = fs.Stat(to + entry.name);
        if (entry.folder && there && there->folder)
            MergeBack(fs, from + entry.name, to + entry.name);
        else if (!there)
            fs.MoveFile(from + entry.name, to + entry.name);
    }
    EraseFolderContents(fs, from);
    fs.RemoveFolder(erased);
}

int SweepLeftovers(FileSystem& fs, const std::string& folder, bool recursive, const std::string& tag)
{
    int cleared = 0;
    const std::string here = AddSlash(folder);
    for (const FileEntry& entry : fs.ListFolder(here).entries) {
        const std::string path = here + entry.name;
        switch (WorkNameOf(entry.name, tag)) {
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
            const auto original = nameBeforeAside(entry.name, tag);
            if (!original || entry.folder)
                break;
            if (fs.Stat(here + *original))
                fs.DeleteFile(path);
            else
                fs.MoveFile(path, here + *original);
            ++cleared;
            break;
        }
        case WorkName::Erased:
            // The run was killed before it had made its copies: the old ones come back where
            // no new one took their place.
            MergeBack(fs, path, here);
            ++cleared;
            break;
        case WorkName::None:
            if (entry.folder && recursive)
                cleared += SweepLeftovers(fs, path, true, tag);
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

RunMarker::Unfinished RunMarker::LastRun() const
{
    Unfinished last;
    if (m_file.empty())
        return last;
    std::string error;
    const auto file = RawFile::Open(m_file, RawFile::Mode::Read, error);
    if (!file)
        return last;
    std::string content(file->Size(), '\0');
    if (file->Read(content.data(), content.size(), error) < 0)
        return last;
    const std::vector<std::string> lines = SplitLines(content);
    if (lines.empty() || lines.front().rfind("tresorio-", 0) != 0)
        return last;
    last.tag = lines.front();
    for (std::size_t i = 1; i < lines.size(); ++i)
        if (!lines[i].empty())
            last.folders.push_back(lines[i]);
    return last;
}

void RunMarker::Begin(const std::string& tag, const std::vector<std::string>& folders)
{
    if (m_file.empty())
        return;
    std::string content = tag + "\n";
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
