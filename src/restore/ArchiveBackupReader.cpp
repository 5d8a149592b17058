#include "restore/ArchiveBackupReader.h"

#include "base/ResultCodes.h"
#include "base/Text.h"
#include "engine/FileHelpers.h"
#include "engine/ZipArchiver.h"
#include "engine/ZipVolumes.h"
#include "restore/ZipReader.h"

#include <algorithm>
#include <cctype>

namespace {

// Zipfile as a pattern: each "$word" a '*' that stands for any text.
std::string patternOf(const std::string& zipfile)
{
    std::string pattern;
    const std::string lower = LowerCaseAscii(zipfile);
    for (std::size_t i = 0; i < lower.size(); ++i) {
        if (lower[i] == '$' && i + 1 < lower.size() && std::isalpha(static_cast<unsigned char>(lower[i + 1]))) {
            while (i + 1 < lower.size() && std::isalpha(static_cast<unsigned char>(lower[i + 1])))
                ++i;
            if (pattern.empty() || pattern.back() != '*')
                pattern += '*';
        } else {
            pattern += lower[i];
        }
    }
    return pattern;
}

bool globMatches(std::string_view text, std::string_view pattern)
{
    if (pattern.empty())
        return text.empty();
    if (pattern.front() == '*') {
        for (std::size_t skip = 0; skip <= text.size(); ++skip)
            if (globMatches(text.substr(skip), pattern.substr(1)))
                return true;
        return false;
    }
    return !text.empty() && text.front() == pattern.front() && globMatches(text.substr(1), pattern.substr(1));
}

} // namespace

bool MatchesArchivePattern(const std::string& name, const std::string& zipfile)
{
    return globMatches(name, patternOf(zipfile));
}

std::vector<std::string> ArchivesOf(FileSystem& fs, const std::string& destination, const std::string& zipfile,
                                    const std::string& current)
{
    std::vector<std::pair<std::int64_t, std::string>> found;
    const std::string name = LowerCaseAscii(current);
    if (zipfile.find('$') == std::string::npos) {
        if (const auto e = fs.Stat(destination + name); e && !e->folder)
            found.emplace_back(e->mtimeNs, destination + name);
    } else {
        for (const FileEntry& e : fs.ListFolder(destination).entries)
            if (!e.folder && !e.hidden && MatchesArchivePattern(e.name, zipfile) &&
                // A volume before the last of a split archive (name.z01 …) is part of the last.
                !IsVolumeName(e.name, e.name))
                found.emplace_back(e.mtimeNs, destination + e.name);
    }
    std::sort(found.begin(), found.end());
    std::vector<std::string> archives;
    for (auto& [time, path] : found)
        archives.push_back(std::move(path));
    return archives;
}

Status ReadArchiveBackup(FileSystem& fs, const std::string& path, const std::string& password,
                         const std::string& scratchFolder, BackupCatalogue& catalogue)
{
    const auto archive = fs.Stat(path);
    if (!archive)
        return {ResultCode::FileNotFound, "nicht vorhanden"};
    std::string error;
    const auto reader = ZipReader::OpenBackup(path, password, scratchFolder, error);
    if (!reader)
        return {ResultCode::ZipError, error};
    const std::string label = path.substr(FolderOf(path).size());
    for (const ZipReader::Entry& e : reader->entries()) {
        // Only names the backup could have written: relative, without "." or ".." elements, so
        // no entry reaches out of the folder it is restored to.
        std::string name = e.name;
        if (e.kind == EntryKind::Folder && !name.empty() && name.back() == '/')
            name.pop_back();
        if (name.empty() || ArchiveEntryName(name) != name)
            continue;
        StoredVersion v;
        v.place = StoredPlace::Archive;
        v.location = path;
        v.entry = e.name;
        v.kind = e.kind;
        v.size = e.kind == EntryKind::File ? e.size : 0;
        v.mtimeNs = e.mtimeNs;
        v.storedNs = archive->mtimeNs;
        v.version = label;
        v.modeKnown = e.modeKnown;
        v.mode = e.mode;
        catalogue.Add(e.kind == EntryKind::Folder ? name + "/" : name, std::move(v));
    }
    return {};
}
