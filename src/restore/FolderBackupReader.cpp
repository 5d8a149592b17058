#include "restore/FolderBackupReader.h"

#include "base/ResultCodes.h"
#include "engine/FileHelpers.h"
#include "engine/ZipArchiver.h"
#include "platform/RawFile.h"

#include <string_view>

namespace {

constexpr std::string_view GenerationFolder = "Generation.";

bool hexDigits(std::string_view text)
{
    return text.size() == 12 && text.find_first_not_of("0123456789abcdef") == std::string_view::npos;
}

// The generation a top folder of the destination holds, or 0 when it is none of them.
int generationOf(const std::string& name, int generations)
{
    if (generations <= 1 || name.rfind(GenerationFolder, 0) != 0)
        return 0;
    const std::string number = name.substr(GenerationFolder.size());
    if (number.empty() || number.size() > 4 || number.find_first_not_of("0123456789") != std::string::npos)
        return 0;
    return std::stoi(number);
}

StoredVersion copyVersion(const std::string& path, const FileEntry& e, int generation)
{
    StoredVersion v;
    v.place = StoredPlace::Copy;
    v.location = path;
    v.kind = e.kind;
    v.size = e.folder ? 0 : e.size;
    v.mtimeNs = e.mtimeNs;
    v.storedNs = e.mtimeNs;
    v.generation = generation;
    v.version = generation == 0 ? "aktuell" : std::string(GenerationFolder) + std::to_string(generation);
    v.modeKnown = true;
    v.mode = e.mode;
    v.owner = std::make_pair(e.uid, e.gid);
    return v;
}

void readTree(FileSystem& fs, const std::string& folder, const std::string& sub, int generation,
              BackupCatalogue& catalogue)
{
    for (const FileEntry& e : fs.ListFolder(folder).entries) {
        if (IsWorkName(e.name) || e.kind == EntryKind::Socket || e.kind == EntryKind::Device)
            continue;
        const std::string path = folder + e.name;
        if (e.folder) {
            catalogue.Add(sub + e.name + "/", copyVersion(AddSlash(path), e, generation));
            readTree(fs, AddSlash(path), sub + e.name + "/", generation, catalogue);
        } else {
            catalogue.Add(sub + e.name, copyVersion(path, e, generation));
        }
    }
}

} // namespace

bool IsWorkName(const std::string& name)
{
    if (name.empty() || name.front() != '.')
        return false;
    for (std::size_t at = name.find("tresorio-"); at != std::string::npos; at = name.find("tresorio-", at + 1)) {
        const bool named = at == 1 || name[at - 1] == '.';
        const std::size_t digits = at + 9;
        if (named && name.size() > digits + 12 && hexDigits(std::string_view(name).substr(digits, 12)) &&
            name[digits + 12] == '-')
            return true;
    }
    return false;
}

StoredVersion NotedVersion(const KeptMetadata::Entry& noted)
{
    StoredVersion v;
    v.place = StoredPlace::NoteOnly;
    v.kind = noted.kind;
    v.mtimeNs = noted.mtimeNs;
    v.storedNs = noted.mtimeNs;
    v.version = "aktuell";
    v.modeKnown = true;
    v.mode = noted.mode;
    v.owner = std::make_pair(noted.uid, noted.gid);
    v.linkTarget = noted.linkTarget;
    v.attributes = noted.attributes;
    v.noted = true;
    return v;
}

void AddNotes(const std::string& content, BackupCatalogue& catalogue)
{
    for (const auto& [path, noted] : KeptMetadata::Parse(content)) {
        // Only a path below the destination: a note never names a place outside the folder it
        // is restored to.
        if (!path.empty() && ArchiveEntryName(path) != path)
            continue;
        // A folder is noted by its path without the "/", the destination's own folder as "".
        const bool folder = noted.kind == EntryKind::Folder;
        const std::string sub = folder && !path.empty() ? path + "/" : path;
        // A note of a file whose copy is gone says nothing to restore.
        const auto there = catalogue.entries().find(sub);
        const bool onlyNoted = noted.kind == EntryKind::Link || noted.kind == EntryKind::Fifo;
        if (there == catalogue.entries().end() && !onlyNoted && !folder)
            continue;
        catalogue.Note(sub, NotedVersion(noted));
    }
}

Status ReadFolderBackup(FileSystem& fs, const std::string& destination, int generations, BackupCatalogue& catalogue)
{
    const FolderListing top = fs.ListFolder(destination);
    if (!top.status.ok())
        return top.status;
    // The destination itself is the copy of a single source's folder.
    if (const auto self = fs.Stat(destination))
        catalogue.Add({}, copyVersion(destination, *self, 0));
    for (const FileEntry& e : top.entries) {
        if (IsWorkName(e.name) || e.name == KeptMetadata::FileName)
            continue;
        const std::string path = destination + e.name;
        if (e.folder) {
            const int generation = generationOf(e.name, generations);
            if (generation > 0) {
                readTree(fs, AddSlash(path), {}, generation, catalogue);
                continue;
            }
            catalogue.Add(e.name + "/", copyVersion(AddSlash(path), e, 0));
            readTree(fs, AddSlash(path), e.name + "/", 0, catalogue);
        } else if (e.kind != EntryKind::Socket && e.kind != EntryKind::Device) {
            catalogue.Add(e.name, copyVersion(path, e, 0));
        }
    }
    std::string error;
    if (auto file = RawFile::Open(destination + KeptMetadata::FileName, RawFile::Mode::Read, error)) {
        std::string content(file->Size(), '\0');
        const std::int64_t n = file->Read(content.data(), content.size(), error);
        content.resize(n < 0 ? 0 : static_cast<std::size_t>(n));
        AddNotes(content, catalogue);
    }
    return {};
}
