#include "engine/FileProcessor.h"

#include "base/ResultCodes.h"
#include "engine/FileHelpers.h"
#include "engine/FtpSession.h"
#include "engine/GenerationRotation.h"
#include "engine/ReportLines.h"

#include <chrono>
#include <thread>

namespace {

// Enough copies under way to keep two threads busy while the walk hands out the next ones.
constexpr std::size_t MaxRunningCopies = 16;
constexpr std::int32_t NotCopied = -1; // the run was cancelled before the copy began
// A change this close before the reference still counts as after it: the reference is taken
// to the second, and some file systems keep times coarser than that.
constexpr std::int64_t ReferenceMarginSeconds = 2;

} // namespace

bool ChangedSince(const FileEntry& entry, std::int64_t reference)
{
    if (reference == NeverRan)
        return true;
    // Absolute moments: no change of the clocks hides a file, and a file moved or unpacked into
    // the tree with an old modification time is new here by its change time.
    const std::int64_t changed = std::max(entry.mtimeNs, entry.ctimeNs);
    return changed > (reference - ReferenceMarginSeconds) * 1'000'000'000;
}

std::string StagedNameOf(const std::string& target, const std::string& workTag, unsigned number)
{
    return BesideName(target, workTag + "-new" + std::to_string(number));
}

void FileProcessor::waitWhilePaused() const
{
    // A cancel while paused ends the wait: the run must be able to stop.
    while (m_state.control.paused.load() && !m_state.aborted())
        std::this_thread::sleep_for(std::chrono::seconds(1));
}

void FileProcessor::done(const FileEntry& entry)
{
    ++m_state.stats.filesDone;
    m_state.stats.bytesDone += entry.size;
}

void FileProcessor::record(const Status& result, const std::string& failedText, const std::string& doneText,
                           const FileEntry& entry)
{
    if (!result.ok()) {
        m_state.fileError(failedText, result);
    } else {
        done(entry);
        if (m_state.job.logAll)
            m_state.addLine(doneText);
    }
    m_state.observer.ShowProgress(m_state.stats.filesDone, m_state.stats.bytesDone);
}

bool FileProcessor::IsSelectedForCopy(const std::string& path, const FileEntry& entry) const
{
    const TProfile& p = m_state.profile;
    switch (p.Backuptype) {
    case BackupFull:
        return true;
    case BackupIncremental:
    case BackupDifferential:
        if (p.Archive)
            return m_state.archive.IsSet(path, entry);
        return m_state.movedFolders > 0 || ChangedSince(entry, m_state.job.referenceTime);
    default:
        return false;
    }
}

void FileProcessor::ProcessFile(const std::string& rel, const FileEntry& entry, bool again, const std::string& readFrom)
{
    waitWhilePaused();
    // A file deleted, moved or synchronised once is done: a second mask finds nothing to do.
    const std::uint8_t type = m_state.profile.Backuptype;
    if (again && (type == BackupDelete || type == BackupMove || type == BackupSynchronise))
        return;
    switch (m_state.profile.Backuptype) {
    case BackupFull:
    case BackupIncremental:
    case BackupDifferential:
        if (!IsSelectedForCopy(m_state.sourceRoot + rel, entry))
            break;
        if (m_state.profile.Compress) {
            // The archive is written once the walk is through; each entry keeps its folder path.
            m_state.zipList.push_back({readFrom.empty() ? m_state.sourceRoot + rel : readFrom,
                                       ArchiveEntryName(m_state.sourcePrefix + rel), entry});
            done(entry);
        } else if (m_state.ftp != nullptr)
            upload(rel, entry, readFrom);
        else
            copy(rel, entry, again, readFrom);
        break;
    case BackupSynchronise:
        synchronise(rel, entry);
        break;
    case BackupDelete:
        remove(rel, entry);
        break;
    case BackupMove:
        move(rel, entry);
        break;
    default:
        break;
    }
}

void FileProcessor::restoreErased(const std::string& sub)
{
    // The destination was to be emptied, but this file has no new copy: the old one comes back.
    if (m_state.erasedFolder.empty())
        return;
    const std::string old = m_state.erasedFolder + sub;
    const std::string target = m_state.destination + sub;
    if (!m_state.fs.Stat(old) || m_state.fs.Stat(target))
        return;
    ForceDestination(m_state.fs, FolderOf(target));
    m_state.fs.MoveFile(old, target);
}

std::optional<Status> FileProcessor::generationClash(const std::string& sub) const
{
    if (m_state.profile.Generations <= 1 || sub.rfind("Generation.", 0) != 0)
        return std::nullopt;
    const std::size_t slash = sub.find('/');
    const std::string number = sub.substr(11, slash == std::string::npos ? std::string::npos : slash - 11);
    if (number.empty() || number.find_first_not_of("0123456789") != std::string::npos)
        return std::nullopt;
    return Status{ResultCode::AlreadyExists, "Name eines Generationsordners"};
}

void FileProcessor::copy(const std::string& rel, const FileEntry& entry, bool again, const std::string& readFrom)
{
    const TProfile& p = m_state.profile;
    // The catalogue knows a followed link by its own path; its copy is made of what it leads to.
    std::string source = m_state.sourceRoot + rel;
    const std::string from = readFrom.empty() ? source : readFrom;
    std::string target = m_state.destination + m_state.sourcePrefix + rel;
    // A source folder named like a generation folder would mix its files with the older versions.
    if (const auto clash = generationClash(m_state.sourcePrefix + rel)) {
        recordCopy(rel, source, entry, *clash);
        return;
    }
    if (keptInstead(rel, m_state.sourcePrefix + rel, source, entry))
        return;
    // A file taken twice (two masks match it) waits for its first copy: the generations and
    // the second copy must see it complete.
    if (m_runningTargets.count(target) != 0)
        Finish();
    // With generations or verification the new copy is made beside the target first: the older
    // versions move, and the last good copy is replaced, only once the new one is complete and
    // checked.
    std::string staged =
        p.Generations > 1 || p.Verify ? StagedNameOf(target, m_state.fs.WorkTag(), m_stagedNumber++) : target;
    // Another name of a file this run copied already becomes another name of that copy: one
    // copy, as many names as the source has.
    std::string linkTo;
    const auto inode = std::make_pair(entry.device, entry.inode);
    if (entry.links > 1 && readFrom.empty() && entry.kind == EntryKind::File) {
        if (m_runningInodes.count(inode) != 0)
            Finish();
        if (const auto copied = m_copiedInodes.find(inode); copied != m_copiedInodes.end() && copied->second != target)
            linkTo = copied->second;
        else
            m_runningInodes.insert(inode);
    }
    FileSystem& fs = m_state.fs;
    const std::atomic<bool>& abort = m_state.control.abortRequested;
    const bool verify = p.Verify;
    const bool bytewise = p.VerifyBit;
    auto result = m_copiers.submit([&fs, &abort, from, staged, verify, bytewise, linkTo] {
        // A cancelled run touches no file it had not begun with.
        if (abort.load())
            return Status{NotCopied, {}};
        // Where the file system has no hard links, each name gets a copy of its own.
        Status r = linkTo.empty() || !fs.HardLink(linkTo, staged).ok() ? CopyFileRetry(fs, from, staged) : Status{};
        if (r.ok() && verify && !fs.CompareFiles(from, staged, bytewise))
            r = {ResultCode::VerificationFailed, {}};
        return r;
    });
    m_runningTargets.insert(target);
    // The same file taken again in one run replaces its copy of a moment ago; the versions moved
    // once already.
    const bool rotate = p.Generations > 1 && !again;
    m_running.push_back({rel, m_state.sourcePrefix + rel, std::move(source), std::move(target), std::move(staged),
                         rotate, entry, std::move(result)});
    if (m_running.size() >= MaxRunningCopies)
        finishOldest();
}

void FileProcessor::Finish()
{
    while (!m_running.empty())
        finishOldest();
}

void FileProcessor::finishOldest()
{
    Copy c = std::move(m_running.front());
    m_running.pop_front();
    m_runningTargets.erase(c.target);
    Status result = c.result.get();
    const auto inode = std::make_pair(c.entry.device, c.entry.inode);
    std::string failedText = "copying " + c.rel;
    if (c.staged != c.target) {
        // The versions move only for a complete new copy, and move back when it cannot be put
        // in place: a failure never costs the last good copy or an older version.
        GenerationRotation rotation(m_state.fs, m_state.destination, c.sub, m_state.profile.Generations,
                                    m_state.journal);
        if (result.ok() && c.rotate) {
            if (const auto failure = rotation.Rotate(c.staged)) {
                failedText = failure->text;
                result = failure->status;
            }
        }
        if (result.ok()) {
            result = MoveFileRetry(m_state.fs, c.staged, c.target);
            if (result.ok())
                rotation.Commit();
            else
                rotation.Undo();
        }
        if (!result.ok() && m_state.fs.Stat(c.staged))
            m_state.fs.DeleteFile(c.staged);
    }
    if (!result.ok())
        restoreErased(c.sub);
    if (m_runningInodes.erase(inode) != 0 && result.ok())
        m_copiedInodes.emplace(inode, c.target);
    if (result.ok())
        keepMetadata(c.sub, c.source, c.entry);
    // A copy the cancel stopped half way is no failure of its own: the run's cancel line says it.
    const bool stopped = result.code == ResultCode::Cancelled && m_state.aborted();
    if (result.code != NotCopied && !stopped)
        recordCopy(c.rel, c.source, c.entry, result, failedText);
}

void FileProcessor::recordCopy(const std::string& rel, const std::string& source, const FileEntry& entry,
                               const Status& result, const std::string& failedText)
{
    const TProfile& p = m_state.profile;
    // The bit is cleared for the file as it was read before the copy: a change during the copy
    // leaves it set, and the next run takes the file again.
    if (result.ok() && p.Archive && (p.Backuptype == BackupFull || p.Backuptype == BackupIncremental))
        m_state.archive.Clear(source, entry);
    record(result, failedText.empty() ? "copying " + rel : failedText, rel, entry);
}

void FileProcessor::upload(const std::string& rel, const FileEntry& entry, const std::string& readFrom)
{
    // One control connection carries the uploads one after the other, into the current folder.
    const std::string source = m_state.sourceRoot + rel;
    const std::string from = readFrom.empty() ? source : readFrom;
    if (m_state.remoteFoldersMissed > 0) {
        recordCopy(rel, source, entry, {ResultCode::UploadFailed, "FTP-Verzeichnis nicht erreichbar"});
        return;
    }
    if (keptInstead(rel, m_state.sourcePrefix + rel, source, entry))
        return;
    const bool text = FtpTextTransfer(entry.name, m_state.profile.FTPMode, m_state.job.ftpTransferExt);
    const Status result = m_state.ftp->Upload(from, entry.name, text);
    // An upload the cancel stopped is no failure of its own: the run's cancel line says it.
    if (result.code == ResultCode::Cancelled && m_state.aborted())
        return;
    if (result.ok())
        keepMetadata(m_state.sourcePrefix + rel, source, entry);
    recordCopy(rel, source, entry, result);
}

void FileProcessor::synchronise(const std::string& rel, const FileEntry& entry)
{
    const std::string source = m_state.sourceRoot + rel;
    const std::string target = m_state.destination + rel;
    // A link on the other side is compared as itself, not as what it leads to.
    const auto existing = m_state.fs.LinkStat(target);
    // Times are compared at the two-second resolution of a DOS date-time, so a copy on a FAT
    // medium never travels back and forth.
    if (existing && !existing->folder && !(entry.modified > existing->modified))
        return;
    // Only what goes from the source to the destination is noted for a medium that cannot keep it.
    const bool toDestination = m_state.destination != m_state.sources.front();
    if (toDestination && keptInstead(rel, rel, source, entry))
        return;
    if (toDestination)
        keepMetadata(rel, source, entry);
    record(CopyFileRetry(m_state.fs, source, target), "copying " + rel, "synchronis. von " + rel, entry);
}

bool FileProcessor::keptInstead(const std::string& rel, const std::string& sub, const std::string& source,
                                const FileEntry& entry)
{
    // A link or FIFO the destination cannot hold is kept as a line of the metadata file, and
    // counts as backed up.
    const bool cannot = (entry.kind == EntryKind::Link && !m_state.support.links) ||
                        (entry.kind == EntryKind::Fifo && !m_state.support.specials);
    if (m_state.kept == nullptr || !cannot)
        return false;
    m_state.kept->Add(sub, entry, m_state.fs.ReadLink(source).value_or(std::string()), {});
    recordCopy(rel, source, entry, {});
    return true;
}

void FileProcessor::keepMetadata(const std::string& sub, const std::string& source, const FileEntry& entry)
{
    if (m_state.kept == nullptr)
        return;
    auto attributes =
        m_state.support.attributes ? decltype(m_state.fs.Attributes(source)){} : m_state.fs.Attributes(source);
    m_state.kept->Add(sub, entry, {}, std::move(attributes));
}

void FileProcessor::remove(const std::string& rel, const FileEntry& entry)
{
    const bool toTrash = m_state.profile.RecycleBin;
    const std::string source = m_state.sourceRoot + rel;
    const Status result = toTrash ? m_state.fs.MoveToTrash(source) : m_state.fs.DeleteFile(source);
    record(result, "löschen von " + rel, (toTrash ? "Löschen in Papierkorb : " : "gelöscht : ") + rel, entry);
}

void FileProcessor::move(const std::string& rel, const FileEntry& entry)
{
    const std::string source = m_state.sourceRoot + rel;
    const std::string sub = m_state.sourcePrefix + rel;
    const std::string target = m_state.destination + sub;
    const std::string failedText = "verschieben von " + target;
    if (const auto clash = generationClash(sub)) {
        record(*clash, failedText, {}, entry);
        return;
    }
    // A file moved there before is the only copy there is: with generations it makes room like
    // a copy's older version, and comes back when the move fails.
    GenerationRotation rotation(m_state.fs, m_state.destination, sub, m_state.profile.Generations, m_state.journal);
    if (m_state.profile.Generations > 1) {
        if (const auto failure = rotation.Rotate(source)) {
            record(failure->status, failure->text, {}, entry);
            return;
        }
    }
    // A file that stayed where it was is an error like a failed copy.
    const Status moved = MoveFileRetry(m_state.fs, source, target);
    if (moved.ok()) {
        rotation.Commit();
    } else {
        rotation.Undo();
        restoreErased(sub);
    }
    record(moved, failedText, "Verschoben :" + rel, entry);
}
