#include "engine/BackupRun.h"

#include "base/ResultCodes.h"
#include "base/Text.h"
#include "engine/CurlFtpSession.h"
#include "engine/FileHelpers.h"
#include "engine/FileProcessor.h"
#include "engine/KeptMetadata.h"
#include "engine/Leftovers.h"
#include "engine/LibzipArchiver.h"
#include "engine/MediumGuard.h"
#include "engine/Placeholders.h"
#include "engine/ReportLines.h"
#include "engine/RunState.h"
#include "engine/SourceScan.h"

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <thread>

namespace {

// Paths compare as written once "." and ".." and doubled separators are gone.
std::string normalFolder(const std::string& path)
{
    if (path.empty())
        return path;
    return AddSlash(std::filesystem::path(path).lexically_normal().string());
}

// Moves what folder holds into aside (below is its path below the destination), but for the
// mounts below the destination (mounts, relative to it) and what kept keeps at the top.
void moveAside(RunState& state, const std::string& folder, const std::string& aside, const std::string& below,
               const std::vector<std::string>& mounts, const std::function<bool(const std::string&)>& kept,
               const MountLeftAlone& leftAlone)
{
    for (const FileEntry& entry : state.fs.ListFolder(folder).entries) {
        const std::string path = folder + entry.name;
        const std::string sub = below + entry.name + "/";
        if ((below.empty() && kept(entry.name)) || path + "/" == state.erasedFolder)
            continue;
        if (entry.mountPoint || std::find(mounts.begin(), mounts.end(), sub) != mounts.end()) {
            leftAlone(path + "/");
            continue;
        }
        // A folder that holds a mount further down is set aside piece by piece around it: moved
        // whole, the mount would go with it and be emptied with what was set aside.
        const bool holdsMount = entry.folder && std::any_of(mounts.begin(), mounts.end(), [&](const std::string& m) {
                                    return m.compare(0, sub.size(), sub) == 0;
                                });
        if (holdsMount) {
            const Status made = state.fs.CreateFolder(aside + entry.name);
            if (made.ok() || made.code == ResultCode::AlreadyExists)
                moveAside(state, path + "/", aside + entry.name + "/", sub, mounts, kept, leftAlone);
            continue;
        }
        if (!state.fs.MoveFile(path, aside + entry.name).ok()) {
            // What cannot be moved aside is emptied in place.
            if (entry.folder) {
                EraseFolderContents(state.fs, path + "/", {}, leftAlone);
                state.fs.RemoveFolder(path);
            } else {
                state.fs.DeleteFile(path);
            }
        }
    }
}

} // namespace

std::optional<std::string> RefusalToErase(FileSystem& fs, const std::string& destination,
                                          const std::vector<std::string>& sources, const std::string& home,
                                          const std::string& dataFolder)
{
    if (ResolvedPath(fs, destination) == "/" || fs.IsFileSystemRoot(destination))
        return "Wurzel eines Dateisystems";
    if (!home.empty() && SameLocation(fs, destination, home))
        return "Benutzerordner";
    for (const std::string& source : sources)
        if (FolderHolds(fs, destination, source))
            return "enthält die Quelle " + source;
    if (!dataFolder.empty() && FolderHolds(fs, destination, dataFolder))
        return "enthält den Datenordner " + AddSlash(dataFolder);
    return std::nullopt;
}

std::optional<std::string> RefusalToRun(FileSystem& fs, const TProfile& profile,
                                        const std::vector<std::string>& sources, const std::string& destination,
                                        const std::string& dataFolder)
{
    if (profile.Backuptype < BackupFull || profile.Backuptype > BackupSynchronise)
        return "unbekannte Sicherungsart " + std::to_string(profile.Backuptype);
    // An empty destination would be the root of the file system.
    if (Trim(profile.Destination).empty() && profile.Backuptype != BackupDelete && !profile.FTP)
        return "kein Ziel angegeben";
    if (profile.Backuptype == BackupSynchronise && sources.size() != 1)
        return "Synchronisieren braucht genau eine Quelle (" + std::to_string(sources.size()) + " angegeben)";
    if (profile.Compress && profile.Encrypt && profile.Password.empty())
        return "Verschlüsselung ohne lesbares ZIP-Kennwort: kein Archiv geschrieben";
    // The remote folder of an FTP profile is no place on this computer.
    if (!profile.FTP)
        for (const std::string& source : sources)
            if (SameLocation(fs, source, destination))
                return "Quelle und Ziel sind derselbe Ordner: " + source;
    // The program's own files are never taken, moved or deleted: a move or deletion of a folder
    // that holds them would take the profiles and the catalogue away in the middle of the run.
    const bool removes = profile.Backuptype == BackupMove || profile.Backuptype == BackupDelete;
    if (!dataFolder.empty())
        for (const std::string& source : sources) {
            if (FolderHolds(fs, dataFolder, source))
                return "Quelle " + source + " liegt im Datenordner " + AddSlash(dataFolder);
            if (removes && FolderHolds(fs, source, dataFolder))
                return "Quelle " + source + " enthält den Datenordner " + AddSlash(dataFolder);
        }
    return std::nullopt;
}

BackupRun::BackupRun(BackupJob job, Platform& platform, FileSystem& fs, ArchiveAttribute& archive,
                     RunObserver& observer, RunControl& control, FtpFactory openFtp)
    : m_job(std::move(job)), m_platform(platform), m_fs(fs), m_archive(archive), m_observer(observer),
      m_control(control), m_openFtp(std::move(openFtp))
{
    if (!m_openFtp)
        m_openFtp = [] { return std::make_unique<CurlFtpSession>(); };
}

std::optional<std::string> BackupRun::emptyDestination(RunState& state, const std::string& keep, bool setAside)
{
    // Emptying a root, the home folder, a source or the program's own files would destroy what
    // the backup protects; emptying it while a source cannot be read would leave no copy at all.
    std::optional<std::string> refusal =
        RefusalToErase(state.fs, state.destination, state.sources, m_platform.SpecialFolderPath(SpecialFolder::Home),
                       m_job.dataFolder);
    // What is only on the destination's side is a file of its own to a synchronisation.
    if (!refusal && m_job.profile.Backuptype == BackupSynchronise)
        refusal = "beim Synchronisieren wird kein Ziel geleert";
    for (const std::string& source : state.sources) {
        if (refusal)
            break;
        const auto entry = state.fs.Stat(source);
        const Status readable = entry && entry->folder ? state.fs.ListFolder(source).status
                                                       : Status{ResultCode::PathNotFound, "nicht vorhanden"};
        if (!readable.ok())
            refusal = "Quelle " + source + " ist nicht lesbar (" + ResultMessage(readable.code, readable.message) + ")";
    }
    // The first pass has read every folder of the sources by now; one it could not read would
    // leave its files without any copy.
    if (!refusal && !state.walkComplete)
        refusal = "nicht alle Quellordner sind lesbar";
    if (refusal)
        return "Ziel " + state.destination + " wird nicht geleert: " + *refusal;
    // An archive, and the volumes of a split one, are replaced only by a complete new one.
    const std::string archive = LowerCaseAscii(state.archiveName);
    const bool compress = m_job.profile.Compress;
    auto kept = [&](const std::string& name) {
        return name == keep || (compress && (name == archive || IsVolumeName(name, archive)));
    };
    // Another file system mounted in the destination (a medium, a tmpfs, a source or the data
    // folder bind-mounted there) is not the destination's to empty.
    const MountLeftAlone leftAlone = [&state](const std::string& path) {
        state.addLine("Hinweis: " + path + " ist ein eingehängtes Dateisystem und wird nicht geleert");
    };
    if (!setAside) {
        EraseFolderContents(state.fs, state.destination, kept, leftAlone);
        return std::nullopt;
    }
    // What the destination held is only moved aside: the copy of a file that fails in this run
    // comes back from there, and the rest goes when the run is over.
    const std::string erased = state.destination + "." + state.fs.WorkTag() + "-erased/";
    if (!state.fs.CreateFolder(erased).ok())
        return "Ziel " + state.destination + " wird nicht geleert: " + erased + " kann nicht angelegt werden";
    state.erasedFolder = erased;
    std::vector<std::string> mounts;
    const std::string real = AddSlash(ResolvedPath(state.fs, state.destination));
    for (const std::string& point : state.fs.MountPointsBelow(state.destination))
        mounts.push_back(point.substr(real.size()));
    moveAside(state, state.destination, erased, {}, mounts, kept, leftAlone);
    return std::nullopt;
}

std::string BackupRun::zipWorkFolder(FileSystem& fs) const
{
    // TempDirName when it is there; a split archive is built away from the medium it goes to.
    const TProfile& p = m_job.profile;
    const auto temp = p.TempDir ? fs.Stat(p.TempDirName) : std::nullopt;
    if (temp && temp->folder)
        return p.TempDirName;
    return p.DiskSpan ? m_platform.SpecialFolderPath(SpecialFolder::Temporary) : std::string();
}

bool BackupRun::keepMetadata(RunState& state, const KeptMetadata& kept, const RunMarker& marker)
{
    const std::string name = KeptMetadata::FileName;
    if (state.ftp == nullptr) {
        const auto failure = kept.Write(state.destination + name);
        if (failure)
            state.errorLine(name + " kann nicht geschrieben werden (" + *failure + ")");
        return !failure;
    }
    // For a server the file is kept in the data folder, merged there run by run, and sent whole;
    // without a data folder it holds this run's entries.
    std::string file = marker.ServerMetadataFile();
    const bool temporary = file.empty();
    if (temporary)
        file = AddSlash(m_platform.SpecialFolderPath(SpecialFolder::Temporary)) + "." + state.fs.WorkTag() + name;
    Status sent{};
    if (const auto failure = kept.Write(file))
        sent = {ResultCode::UploadFailed, *failure};
    else if (!state.aborted()) // a stopped run talks to the server no more; the next one sends it all
        sent = state.ftp->Upload(file, name, false);
    if (temporary)
        state.fs.DeleteFile(file);
    if (!sent.ok())
        state.errorLine(name + " nicht übertragen (" + ResultMessage(sent.code, sent.message) + ")");
    return sent.ok();
}

void BackupRun::writeArchive(RunState& state, const std::string& archivePath, bool addToExisting)
{
    const TProfile& p = m_job.profile;
    m_observer.ShowScanStatus(ScanPhase::ZipList, LowerCaseAscii(state.destination));
    ZipOptions options;
    options.archivePath = archivePath;
    options.temporaryFolder = zipWorkFolder(state.fs);
    options.level = p.CompLev ? p.CompLevel : m_job.compression;
    options.password = p.Encrypt ? p.Password : std::string();
    options.addToExisting = addToExisting;
    options.workTag = state.fs.WorkTag();

    SpanMedium medium;
    if (p.DiskSpan) {
        options.medium = &medium;
        options.maxVolumeSize = p.MaxVolumeSize;
        const std::string destination = state.destination;
        medium.freeSpace = [&state, destination] { return state.fs.FreeSpace(destination); };
        medium.insertNext = [this, destination](int number, int total) {
            return m_observer.NextDisk(number, total, m_platform.VolumeOf(destination).mountPoint);
        };
        medium.note = [&state](const std::string& line) { state.addLine(line); };
        medium.workTag = state.fs.WorkTag();
        medium.someoneToAsk = m_job.someoneToAsk;
        medium.prepare = [this, &state](const std::string& keep) -> std::optional<std::string> {
            if (!m_job.profile.DiskSpanFormat)
                return std::nullopt;
            // Nothing here formats a device: the medium's destination folder is emptied.
            auto refusal = emptyDestination(state, keep, false);
            if (!refusal)
                ForceDestination(state.fs, state.destination);
            return refusal;
        };
    }

    std::vector<bool> archived(state.zipList.size(), true);
    std::int64_t filesAdded = 0;
    std::int64_t bytesProcessed = 0;
    ZipCallbacks callbacks;
    callbacks.fileStarted = [&](const ZipEntry& e) {
        const std::size_t slash = e.path.find_last_of('/');
        m_observer.ShowScanStatus(ScanPhase::Processing, LowerCaseAscii(e.path.substr(0, slash + 1)));
        if (m_job.logAll)
            state.addLine(e.name);
        m_observer.ShowProgress(++filesAdded, bytesProcessed);
    };
    callbacks.bytesDone = [&](std::int64_t bytes) {
        bytesProcessed += bytes;
        m_observer.ShowProgress(filesAdded, bytesProcessed);
    };
    callbacks.finished = [&] {
        // The bar stands full, the counters start again.
        m_observer.ShowProgress(state.stats.filesToDo, 0);
        filesAdded = 0;
        bytesProcessed = 0;
    };
    callbacks.fileSkipped = [&archived](std::size_t index) { archived[index] = false; };
    callbacks.error = [&state](int code, const std::string& message) {
        state.addLine("!!! ZIP-Error : " + message + " (" + std::to_string(code) + ")");
        ++state.stats.errorCount;
    };
    // Asked between entries, between volumes and while they are written (on the threads that
    // compress, too): a pause holds the archive there until it is lifted or the run cancelled.
    callbacks.cancelled = [&state] {
        while (state.control.paused.load() && !state.aborted())
            std::this_thread::sleep_for(std::chrono::milliseconds(200));
        return state.aborted();
    };
    const auto size = LibzipArchiver(state.fs).Write(options, state.zipList, callbacks);
    // The report counts what the archive holds: nothing when it could not be written (the last
    // good archive stays as it was), and never a file that could not be read into it.
    for (std::size_t i = 0; i < state.zipList.size(); ++i) {
        if (!size || !archived[i]) {
            --state.stats.filesDone;
            state.stats.bytesDone -= state.zipList[i].entry.size;
        }
    }
    if (size) {
        if (!p.DiskSpan)
            state.stats.compressionRate = CompressionRateOf(*size, state.stats.bytesDone);
        // The archive bits go only once the archive holds the files.
        if (p.Archive && (p.Backuptype == BackupFull || p.Backuptype == BackupIncremental))
            for (std::size_t i = 0; i < state.zipList.size(); ++i)
                if (archived[i])
                    m_archive.Clear(state.zipList[i].path, state.zipList[i].entry);
    }
    state.zipList.clear();
}

bool BackupRun::mayWalk(RunState& state)
{
    const TProfile& p = m_job.profile;
    auto refuse = [&state](const std::string& line) {
        state.addLine(RuleLine);
        state.errorLine(line);
        return false;
    };
    if (const auto refusal = RefusalToRun(state.fs, p, state.sources, state.destination, m_job.dataFolder))
        return refuse(*refusal);
    if (p.CheckDestname && !m_observer.CheckDest(state.destination, p.DestName))
        return refuse("falscher Medienname  oder  Abbruch durch Benutzer");
    // A destination on a medium that is not plugged in is never made on the disk that holds its
    // empty mount point.
    if (writesLocally())
        if (const auto unmounted = UnmountedDestinationOf(m_fs, m_platform, state.destination, p))
            return refuse("Ziel " + state.destination + " derzeit nicht verfügbar (" + *unmounted + ")");
    return true;
}

bool BackupRun::writesLocally() const
{
    // An FTP profile's destination is a folder on the server: nothing local is emptied or made.
    return !m_job.profile.FTP && m_job.profile.Backuptype != BackupDelete;
}

void BackupRun::noteWhereTheRunWrites(RunState& state, RunMarker& marker)
{
    const TProfile& p = m_job.profile;
    // Leftovers on a medium that is not here (media used in turn) wait until it comes back.
    auto present = [this](const MarkedFolder& folder) {
        return folder.fileSystem.empty() || OnFileSystem(m_fs, m_platform, folder.path, folder.fileSystem);
    };
    std::vector<RunMarker::Unfinished> pending = marker.Pending();
    const int cleared = ClearLeftovers(state.fs, pending, present);
    if (cleared > 0)
        state.addLine("Hinweis: " + std::to_string(cleared) + " Reste eines abgebrochenen Laufs entfernt");
    std::vector<std::string> folders = {state.destination};
    // A synchronisation writes in its source; a move sets a file aside there for a moment.
    if (p.Backuptype == BackupSynchronise || p.Backuptype == BackupMove)
        folders.insert(folders.end(), state.sources.begin(), state.sources.end());
    // The folder an archive is built in is searched by itself, not below it.
    std::string work = zipWorkFolder(state.fs);
    while (work.size() > 1 && work.back() == '/')
        work.pop_back();
    if (p.Compress && !work.empty())
        folders.push_back(work);
    std::vector<MarkedFolder> marked;
    for (const std::string& folder : folders)
        marked.push_back({folder, m_platform.VolumeOf(folder).identity});
    if (const auto failure = marker.Begin(state.fs.WorkTag(), marked, std::move(pending)))
        state.addLine(RunNoteFailureLine(*failure));
    state.journal = &marker;
}

std::unique_ptr<FtpSession> BackupRun::connectFtp(RunState& state, KeptMetadata& kept)
{
    const TProfile& p = m_job.profile;
    FtpLogin login = FtpLoginOf(p);
    login.cancelled = [&state] { return state.aborted(); };
    login.workTag = state.fs.WorkTag();
    login.replySeconds = m_job.ftpReplySeconds;
    std::unique_ptr<FtpSession> ftp = m_openFtp();
    std::string reason;
    if (!ftp->Connect(login, reason)) {
        // The step that failed and the server's answer: a missing start folder, a refused
        // login and an unreachable server want different remedies.
        state.addLine(RuleLine);
        state.errorLine(reason);
        return nullptr;
    }
    state.ftp = ftp.get();
    // A server keeps no modes, owners, links or attributes: the run sends them along.
    if (!p.Compress) {
        state.kept = &kept;
        state.support = MetadataSupport{false, false, false, false};
    }
    return ftp;
}

void BackupRun::endMetadata(RunState& state, const KeptMetadata& kept, const RunMarker& marker)
{
    // Owners, and attributes where the destination has none, stand in the metadata file when the
    // run keeps one: nothing is missing then.
    unsigned covered = 0;
    if (state.kept != nullptr && (kept.empty() || keepMetadata(state, kept, marker)))
        covered = OwnersNotKept | (state.support.attributes ? 0u : unsigned{AttributesNotKept});
    state.kept = nullptr;
    // What the destination or the user's rights could not keep, said once a run.
    for (std::string& line : MetadataLossLines(state.fs.TakeMetadataLosses() & ~covered, "sie fehlen in der Kopie"))
        state.addLine(std::move(line));
}

void BackupRun::commit(RunState& state)
{
    const TProfile& p = m_job.profile;
    if (!m_archive.Commit())
        state.errorLine("Archivstatus kann nicht gespeichert werden");
    // Damage found while the run read the catalogue.
    for (const std::string& problem : m_archive.TakeProblems())
        state.errorLine(problem);
    // A run that reports its files copied (or deleted) must have done so on the medium.
    if (state.stats.filesDone > 0) {
        state.fs.SyncFileSystem(state.destination);
        if (p.Backuptype == BackupDelete || p.Backuptype == BackupMove)
            for (const std::string& source : state.sources)
                state.fs.SyncFileSystem(source);
    }
}

RunResult BackupRun::Run()
{
    const TProfile& p = m_job.profile;
    m_platform.SetCurrentThreadPriority(m_job.priority);
    const DateTime start = m_platform.Now();

    // Once the destination is known, no folder is made there but on its own medium.
    std::atomic<bool> mediumLost{false};
    MediumGuard guard(m_fs, mediumLost);
    RunState state(m_job, guard, m_archive, m_observer, m_control, mediumLost);
    // The run's own files carry its tag; a cancel stops the copy of a large file under way too.
    guard.SetWorkTag(m_job.workTag.empty() ? NewWorkTag() : m_job.workTag);
    guard.StopCopiesWhen(&m_control.abortRequested);
    struct Release
    {
        FileSystem& fs;
        ~Release() { fs.StopCopiesWhen(nullptr); }
    } release{guard};

    // The paths with their placeholders, and the report's header.
    const PlaceholderValues values = PlaceholderValuesFor(m_platform, start, m_job.language);
    state.destination = normalFolder(ExpandPlaceholders(AddSlash(p.Destination), values));
    for (const std::string& source : p.Source)
        state.sources.push_back(normalFolder(ExpandPlaceholders(AddSlash(source), values)));
    state.archiveName = ExpandPlaceholders(p.Zipfile, values);
    const ReportHeaderData header{&p, state.sources, state.destination, state.archiveName, start};
    state.lines = ReportHeaderTop(header);
    for (std::string& line : ReportHeaderBottom(header))
        state.addLine(std::move(line));
    for (const std::string& note : m_job.notes)
        state.addLine(note);
    for (const std::string& problem : m_archive.TakeProblems())
        state.errorLine(problem);

    // Whether the run may touch anything; then the destination, pinned to its medium.
    FileProcessor processor(state);
    SourceScan scan(state, processor);
    bool walk = mayWalk(state);
    const bool local = walk && writesLocally();
    // The destination is emptied only after the first pass has found every source readable.
    const bool erase = local && p.DestErase && state.fs.Stat(state.destination);
    if (local) {
        ForceDestination(state.fs, state.destination);
        guard.Pin(state.destination);
    }
    // What a killed run of this profile left goes first; then this run notes where it writes.
    RunMarker marker(m_job.dataFolder, p.Name);
    if (local)
        noteWhereTheRunWrites(state, marker);
    // A FAT or exFAT medium keeps no modes, owners, links or attributes: they are kept in a file
    // of the run's beside the copies, for a restore to give back.
    KeptMetadata kept;
    if (local && !p.Compress) {
        state.support = state.fs.ProbeMetadata(state.destination);
        if (!state.support.all()) {
            state.kept = &kept;
            state.addLine(std::string("Hinweis: Das Ziel kann nicht alles speichern, was Dateien außer ihrem Inhalt ") +
                          "haben; es steht in " + KeptMetadata::FileName);
        }
    }
    std::unique_ptr<FtpSession> ftp;
    if (walk && p.FTP) {
        ftp = connectFtp(state, kept);
        walk = ftp != nullptr;
    }

    // The walk: counting, emptying, then copying or archiving.
    if (walk) {
        state.addLine(RuleLine);
        m_observer.ResetProgress();
        state.stats.filesToDo = scan.ScanSources(ScanPass::Counting);
        m_observer.SetFilesToDo(state.stats.filesToDo);
        if (erase && !state.aborted())
            if (const auto refusal = emptyDestination(state, {}, true))
                state.errorLine(*refusal);
        if (!p.Compress) {
            scan.ScanSources(ScanPass::Processing);
            processor.Finish();
        }
        if (p.Compress && !state.zipList.empty() && !mediumLost)
            writeArchive(state, archivePathOf(state), addsToExistingArchive());
        else if (mediumLost)
            state.errorLine("Ziel " + state.destination + " ist nicht mehr verfügbar: der Lauf wurde beendet");
        else if (state.aborted())
            state.errorLine(CancelledText);
    }

    // The end: what the emptied destination held, the metadata, the catalogue, the medium.
    if (!state.erasedFolder.empty()) {
        // A run that stopped half way gives the old copies back where it made no new ones.
        if (state.aborted()) {
            MergeBack(state.fs, state.erasedFolder, state.destination);
        } else {
            EraseFolderContents(state.fs, state.erasedFolder);
            state.fs.RemoveFolder(state.erasedFolder);
        }
    }
    endMetadata(state, kept, marker);
    state.journal = nullptr;
    marker.End();
    commit(state);

    const ReportFooterData footer{&p, m_job.logAll || m_job.logError || m_job.logProfile, state.stats, start,
                                  m_platform.Now()};
    for (std::string& line : ReportFooter(footer))
        state.addLine(std::move(line));
    return {std::move(state.lines), state.stats.errorCount, state.stats.compressionRate, state.stats.bytesDone,
            state.stats.filesDone};
}

std::string BackupRun::archivePathOf(const RunState& state) const
{
    return state.destination + LowerCaseAscii(state.archiveName);
}

bool BackupRun::addsToExistingArchive() const
{
    const TProfile& p = m_job.profile;
    // A full backup, and an incremental one with CompDel, start a new archive; the other runs add
    // to the one that is there. A split archive is always written anew. A new archive replaces
    // the old one only once it is complete, so a failed or cancelled run still leaves the last
    // good archive. An archive in a destination to be emptied is not added to either: the new
    // one replaces it.
    const bool fresh = p.Backuptype == BackupFull || (p.Backuptype == BackupIncremental && p.CompDel);
    return !fresh && !p.DiskSpan && !p.DestErase;
}
