#include "restore/Restorer.h"

#include "base/ResultCodes.h"
#include "engine/FileHelpers.h"
#include "engine/FileProcessor.h"
#include "platform/RawFile.h"
#include "restore/RemoteFiles.h"
#include "restore/ZipReader.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <thread>

namespace {

constexpr std::int64_t NsPerSecond = 1'000'000'000;
constexpr std::size_t MaxNameBytes = 255;
// A file or folder made from an archive that says no mode gets what a new one usually gets.
constexpr std::uint32_t DefaultFileMode = 0644;
constexpr std::uint32_t DefaultFolderMode = 0755;

// Whether the entry at the target is the stored version already: the same kind, size and time
// (to the second where the backup kept only seconds).
bool sameTime(std::int64_t there, std::int64_t stored)
{
    if (stored % NsPerSecond == 0)
        return there / NsPerSecond == stored / NsPerSecond;
    return there == stored;
}

FileSystem::StoredMetadata metadataOf(const StoredVersion& v)
{
    FileSystem::StoredMetadata m;
    m.mode = v.modeKnown ? v.mode : DefaultFileMode;
    m.owner = v.owner;
    m.mtimeNs = v.mtimeNs;
    m.attributes = v.attributes;
    return m;
}

} // namespace

Restorer::Restorer(FileSystem& fs, RunControl& control) : m_fs(fs), m_control(control)
{
}

Restorer::~Restorer() = default;

std::optional<std::string> Restorer::TargetOf(const RestoreRequest& request, const std::string& sub)
{
    if (!request.targetFolder.empty())
        return AddSlash(request.targetFolder) + sub;
    if (request.layout == nullptr)
        return std::nullopt;
    return request.layout->OriginalOf(sub);
}

std::string Restorer::NameWithDate(const std::string& target, std::int64_t mtimeNs, std::int64_t localOffsetSeconds,
                                   int number)
{
    const std::size_t slash = target.find_last_of('/');
    const std::string folder = target.substr(0, slash + 1);
    const std::string name = target.substr(slash + 1);
    const std::size_t dot = name.find_last_of('.');
    const bool suffix = dot != std::string::npos && dot > 0;
    std::string stem = suffix ? name.substr(0, dot) : name;
    const std::string extension = suffix ? name.substr(dot) : std::string();
    // Days since 1970 to a civil date (the proleptic Gregorian calendar).
    std::int64_t seconds = mtimeNs / NsPerSecond + localOffsetSeconds;
    std::int64_t days = seconds / 86400;
    std::int64_t rest = seconds % 86400;
    if (rest < 0) {
        rest += 86400;
        --days;
    }
    days += 719468;
    const std::int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    const std::int64_t dayOfEra = days - era * 146097;
    const std::int64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const std::int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const std::int64_t mp = (5 * dayOfYear + 2) / 153;
    const std::int64_t day = dayOfYear - (153 * mp + 2) / 5 + 1;
    const std::int64_t month = mp < 10 ? mp + 3 : mp - 9;
    const std::int64_t year = yearOfEra + era * 400 + (month <= 2 ? 1 : 0);
    char date[64];
    std::snprintf(date, sizeof date, " (%04lld-%02lld-%02lld %02lld.%02lld.%02lld", static_cast<long long>(year),
                  static_cast<long long>(month), static_cast<long long>(day), static_cast<long long>(rest / 3600),
                  static_cast<long long>(rest / 60 % 60), static_cast<long long>(rest % 60));
    const std::string mark = std::string(date) + (number > 1 ? " " + std::to_string(number) : std::string()) + ")";
    const std::size_t room = MaxNameBytes - mark.size() - std::min<std::size_t>(extension.size(), 100);
    if (stem.size() > room)
        stem.resize(room);
    return folder + stem + mark + extension.substr(0, 100);
}

void Restorer::waitWhilePaused() const
{
    // A cancel while paused ends the wait: the restore must be able to stop.
    while (m_control.paused.load() && !aborted())
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
}

RestoreOutcome Restorer::Run(const RestoreRequest& request)
{
    RestoreOutcome outcome;
    m_fs.SetWorkTag(request.workTag.empty() ? NewWorkTag() : request.workTag);
    m_fs.StopCopiesWhen(&m_control.abortRequested);
    std::vector<Pending> folders;
    std::int64_t filesHandled = 0;
    m_stored.clear();
    m_checked.clear();
    for (const BackupCatalogue::Chosen& item : request.items)
        if (item.version->kind == EntryKind::Folder &&
            (item.version->place == StoredPlace::Copy || item.version->modeKnown))
            if (const auto target = TargetOf(request, item.sub))
                m_stored.insert(AddSlash(*target));
    for (const BackupCatalogue::Chosen& item : request.items) {
        waitWhilePaused();
        if (aborted())
            break;
        const StoredVersion& v = *item.version;
        if (v.kind != EntryKind::Folder) {
            restoreFile(request, item.sub, v, outcome);
            if (request.progress)
                request.progress(++filesHandled, outcome.stats.bytesDone);
            continue;
        }
        // The destination's own folder is no source's copy when several sources lie in it.
        const auto target = TargetOf(request, item.sub);
        if (!target)
            continue;
        const Status made = makeFolders(*target);
        if (!made.ok()) {
            outcome.lines.push_back(FileErrorLine("Wiederherstellen von " + *target, made.code, made.message));
            ++outcome.stats.errorCount;
            continue;
        }
        ++outcome.stats.foldersScanned;
        folders.push_back({*target, &v});
    }
    // A folder's times and mode once what it holds is written: set earlier, the times would
    // change again and a folder its owner may not write could not be filled.
    for (auto it = folders.rbegin(); it != folders.rend(); ++it) {
        const StoredVersion& v = *it->version;
        if (v.place == StoredPlace::Copy && !v.noted)
            m_fs.CopyFolderMetadata(v.location, it->target);
        else if (v.modeKnown)
            m_fs.SetMetadata(it->target, metadataOf(v));
    }
    m_fs.StopCopiesWhen(nullptr);
    m_archives.clear();
    return outcome;
}

void Restorer::restoreFile(const RestoreRequest& request, const std::string& sub, const StoredVersion& v,
                           RestoreOutcome& outcome)
{
    auto refused = [&outcome](const std::string& target, const std::string& why) {
        outcome.lines.push_back(std::string(ErrorPrefix) + "Wiederherstellen von " + target + " (" + why + ")");
        ++outcome.stats.errorCount;
    };
    auto failed = [&outcome](const std::string& target, const Status& status) {
        outcome.lines.push_back(FileErrorLine("Wiederherstellen von " + target, status.code, status.message));
        ++outcome.stats.errorCount;
    };
    const auto original = TargetOf(request, sub);
    if (!original) {
        refused(sub, "keine Quelle des Profils enthält es");
        return;
    }
    std::string target = *original;
    ++outcome.stats.filesScanned;
    if (const auto there = m_fs.LinkStat(target)) {
        if (there->folder) {
            refused(target, "dort steht ein Ordner");
            return;
        }
        bool same = there->kind == v.kind;
        if (same && v.kind == EntryKind::File)
            same = there->size == v.size && sameTime(there->mtimeNs, v.mtimeNs);
        if (same && v.kind == EntryKind::Link) {
            std::string stored = v.linkTarget;
            if (v.place == StoredPlace::Copy)
                stored = m_fs.ReadLink(v.location).value_or(std::string());
            same = v.place != StoredPlace::Archive && m_fs.ReadLink(target) == stored;
        }
        if (same) {
            // What is there is the stored version: it counts as back without being written again.
            ++outcome.stats.filesDone;
            outcome.stats.bytesDone += v.size;
            if (request.logAll)
                outcome.lines.push_back(target);
            return;
        }
        const ConflictAnswer answer = request.conflict ? request.conflict(target, *there, v) : ConflictAnswer::Skip;
        if (answer == ConflictAnswer::Skip) {
            ++outcome.skipped;
            outcome.lines.push_back("übersprungen (Datei am Ziel ist anders): " + target);
            return;
        }
        if (answer == ConflictAnswer::KeepBoth) {
            target = NameWithDate(*original, v.mtimeNs, request.localOffsetSeconds);
            for (int n = 2; m_fs.LinkStat(target); ++n)
                target = NameWithDate(*original, v.mtimeNs, request.localOffsetSeconds, n);
        }
    }
    // A link put where the backup has a folder would lead the restore somewhere else entirely.
    if (const auto link = linkOnTheWay(request, sub, target)) {
        refused(target, "Verknüpfung statt Ordner: " + *link);
        return;
    }
    const Status made = makeFolders(FolderOf(target));
    Status result = made.ok() ? write(request, v, target) : made;
    // A file the cancel stopped half way is no failure of its own: the cancel line says it.
    if (result.code == ResultCode::Cancelled && aborted())
        return;
    if (!result.ok()) {
        failed(target, result);
        return;
    }
    ++outcome.stats.filesDone;
    outcome.stats.bytesDone += v.size;
    if (request.logAll)
        outcome.lines.push_back(target);
}

std::optional<std::string> Restorer::linkOnTheWay(const RestoreRequest& request, const std::string& sub,
                                                  const std::string& target)
{
    // The folders between the root of the restore (the target folder, or the source the file
    // belongs to, which may well be a link the user chose) and the file.
    std::string root = AddSlash(request.targetFolder);
    if (request.targetFolder.empty())
        root = request.layout != nullptr ? request.layout->SourceOf(sub).value_or("/") : "/";
    for (std::string folder = FolderOf(target);
         folder.size() > root.size() && folder.compare(0, root.size(), root) == 0;
         folder = FolderOf(folder.substr(0, folder.size() - 1))) {
        const std::string path = folder.substr(0, folder.size() - 1);
        if (m_checked.count(path) != 0)
            continue;
        const auto e = m_fs.LinkStat(path);
        if (e && e->kind == EntryKind::Link)
            return path;
        m_checked.insert(path);
    }
    return std::nullopt;
}

Status Restorer::makeFolders(const std::string& folder)
{
    // Every missing folder, from the top down.
    const std::string path = AddSlash(folder);
    std::vector<std::string> missing;
    for (std::string at = path; at.size() > 1 && !m_fs.Stat(at); at = FolderOf(at.substr(0, at.size() - 1)))
        missing.push_back(at);
    for (auto it = missing.rbegin(); it != missing.rend(); ++it) {
        const Status made = m_fs.CreateFolder(it->substr(0, it->size() - 1));
        if (!made.ok() && made.code != ResultCode::AlreadyExists)
            return made;
        // A folder the backup says nothing of (an archive keeps none) gets the usual mode at
        // once, not the private one a folder is made with until its own mode is given at the
        // end: a restore cut short leaves no folder closed to everyone else.
        if (made.ok() && m_stored.count(*it) == 0)
            m_fs.SetMetadata(*it, {DefaultFolderMode, std::nullopt, std::nullopt, {}});
    }
    return {};
}

Status Restorer::putInPlace(const StoredVersion& v, const std::string& staged, const std::string& target, bool metadata)
{
    Status result = metadata ? m_fs.SetMetadata(staged, metadataOf(v)) : Status{};
    if (result.ok())
        result = m_fs.MoveFile(staged, target);
    if (!result.ok() && m_fs.LinkStat(staged))
        m_fs.DeleteFile(staged);
    return result;
}

Status Restorer::write(const RestoreRequest& request, const StoredVersion& v, const std::string& target)
{
    const std::string staged = StagedNameOf(target, m_fs.WorkTag(), m_staged++);
    switch (v.place) {
    case StoredPlace::Copy:
        // A copy that kept everything carries it along; one on a medium that could not is given
        // what the note says before it takes its name.
        if (!v.noted)
            return m_fs.CopyFile(v.location, target);
        if (const Status copied = m_fs.CopyFile(v.location, staged); !copied.ok())
            return copied;
        return putInPlace(v, staged, target, true);
    case StoredPlace::NoteOnly:
        if (v.kind != EntryKind::Link && v.kind != EntryKind::Fifo)
            return {ResultCode::FileNotFound, "nur in " + std::string(KeptMetadata::FileName) + " vermerkt"};
        if (const Status made = m_fs.MakeSpecial(staged, v.kind, v.linkTarget); !made.ok())
            return made;
        return putInPlace(v, staged, target, true);
    case StoredPlace::Archive:
        if (const Status written = writeFromArchive(request, v, staged); !written.ok()) {
            if (m_fs.LinkStat(staged))
                m_fs.DeleteFile(staged);
            return written;
        }
        return putInPlace(v, staged, target, true);
    case StoredPlace::Server: {
        if (request.server == nullptr)
            return {ResultCode::UploadFailed, "keine Verbindung zum FTP-Server"};
        if (const Status fetched = request.server->Download(v.location, staged); !fetched.ok()) {
            if (m_fs.LinkStat(staged))
                m_fs.DeleteFile(staged);
            return fetched;
        }
        return putInPlace(v, staged, target, v.modeKnown || v.mtimeNs != 0);
    }
    }
    return {ResultCode::Unexpected, {}};
}

Status Restorer::writeFromArchive(const RestoreRequest& request, const StoredVersion& v, const std::string& staged)
{
    auto& reader = m_archives[v.location];
    if (!reader && m_archiveErrors.count(v.location) == 0) {
        std::string error;
        reader = ZipReader::OpenBackup(v.location, request.password, request.scratchFolder, error);
        if (!reader)
            m_archiveErrors[v.location] = error;
    }
    if (!reader)
        return {ResultCode::ZipError, v.location + ": " + m_archiveErrors[v.location]};
    const ZipReader::Entry* entry = reader->Find(v.entry);
    if (entry == nullptr)
        return {ResultCode::FileNotFound, v.location + ": " + v.entry};
    if (v.kind == EntryKind::Link) {
        std::string linkTarget;
        if (const Status read = reader->ReadAll(*entry, linkTarget); !read.ok())
            return read;
        return m_fs.MakeSpecial(staged, EntryKind::Link, linkTarget);
    }
    std::string error;
    auto file = RawFile::Open(staged, RawFile::Mode::Create, error);
    if (!file)
        return {ResultCode::AccessDenied, error};
    Status read = reader->Read(
        *entry, [&file, &error](const char* data, std::size_t length) { return file->Write(data, length, error); },
        [this] { return aborted(); });
    if (read.ok() && !file->SyncAndClose(error))
        read = {ResultCode::DiskFull, error};
    if (!read.ok() && read.code == ResultCode::Unexpected && !error.empty())
        read.message = error;
    return read;
}
