#include "engine/FileProcessor.h"

#include "engine/FileHelpers.h"
#include "engine/ReportLines.h"

#include <chrono>
#include <thread>

namespace {

constexpr std::int32_t VerificationFailed = 10000;

} // namespace

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
        return entry.modified > 0.0 && entry.modified > m_state.job.referenceTime;
    default:
        return false;
    }
}

void FileProcessor::ProcessFile(const std::string& rel, const FileEntry& entry)
{
    waitWhilePaused();
    switch (m_state.profile.Backuptype) {
    case BackupFull:
    case BackupIncremental:
    case BackupDifferential:
        if (IsSelectedForCopy(m_state.sourceRoot + rel, entry))
            copy(rel, entry);
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

void FileProcessor::copy(const std::string& rel, const FileEntry& entry)
{
    const TProfile& p = m_state.profile;
    const std::string source = m_state.sourceRoot + rel;
    const std::string target = m_state.destination + m_state.sourcePrefix + rel;
    if (p.Generations > 1)
        rotateGenerations(m_state.sourcePrefix + rel);
    FileResult result = CopyFileRetry(m_state.fs, source, target);
    if (result.ok() && p.Verify && !m_state.fs.CompareFiles(source, target, p.VerifyBit))
        result = {VerificationFailed, {}};
    if (!result.ok()) {
        m_state.fileError("copying " + rel, result);
    } else {
        done(entry);
        // The bit is cleared for the file as it was read before the copy: a change during the
        // copy leaves it set, and the next run takes the file again.
        if (p.Archive && (p.Backuptype == BackupFull || p.Backuptype == BackupIncremental))
            m_state.archive.Clear(source, entry);
        if (m_state.job.logAll)
            m_state.addLine(rel);
    }
    m_state.observer.ShowProgress(m_state.stats.filesDone, m_state.stats.bytesDone);
}

void FileProcessor::synchronise(const std::string& rel, const FileEntry& entry)
{
    const std::string source = m_state.sourceRoot + rel;
    const std::string target = m_state.destination + rel;
    const auto existing = m_state.fs.Stat(target);
    // Times are compared at the two-second resolution of a DOS date-time, so a copy on a FAT
    // medium never travels back and forth.
    if (existing && !existing->folder && !(entry.modified > existing->modified))
        return;
    const FileResult result = CopyFileRetry(m_state.fs, source, target);
    if (!result.ok()) {
        m_state.fileError("copying " + rel, result);
    } else {
        done(entry);
        if (m_state.job.logAll)
            m_state.addLine("synchronis. von " + rel);
    }
    m_state.observer.ShowProgress(m_state.stats.filesDone, m_state.stats.bytesDone);
}

void FileProcessor::remove(const std::string& rel, const FileEntry& entry)
{
    const bool toTrash = m_state.profile.RecycleBin;
    const std::string source = m_state.sourceRoot + rel;
    const FileResult result = toTrash ? m_state.fs.MoveToTrash(source) : m_state.fs.DeleteFile(source);
    if (!result.ok()) {
        m_state.fileError("löschen von " + rel, result);
    } else {
        if (m_state.job.logAll)
            m_state.addLine((toTrash ? "Löschen in Papierkorb : " : "gelöscht : ") + rel);
        done(entry);
    }
    m_state.observer.ShowProgress(m_state.stats.filesDone, m_state.stats.bytesDone);
}

void FileProcessor::move(const std::string& rel, const FileEntry& entry)
{
    const std::string source = m_state.sourceRoot + rel;
    const std::string target = m_state.destination + m_state.sourcePrefix + rel;
    const FileResult result = MoveFileRetry(m_state.fs, source, target);
    if (!result.ok()) {
        // A file that stayed where it was is an error like a failed copy.
        m_state.fileError("verschieben von " + target, result);
    } else {
        if (m_state.job.logAll)
            m_state.addLine("Verschoben :" + rel);
        done(entry);
    }
    m_state.observer.ShowProgress(m_state.stats.filesDone, m_state.stats.bytesDone);
}

void FileProcessor::rotateGenerations(const std::string& sub)
{
    FileSystem& fs = m_state.fs;
    const std::string& base = m_state.destination;
    const int generations = m_state.profile.Generations;
    auto generation = [&](int n) { return base + "Generation." + std::to_string(n) + "/" + sub; };
    auto exists = [&fs](const std::string& path) { return fs.Stat(path).has_value(); };
    // Failures here are reported but are not errors of the run: the copy follows anyway.
    auto report = [this](const std::string& text, const FileResult& r) {
        if (m_state.job.logError)
            m_state.addLine(FileErrorLine(text, r.code, r.systemText));
    };
    for (int n = generations - 1; n >= 1; --n) {
        const std::string from = generation(n);
        const std::string to = generation(n + 1);
        if (n + 1 == generations && exists(to)) {
            fs.MakeWritable(to);
            fs.DeleteFile(to);
        }
        if (exists(from)) {
            const FileResult moved = MoveFileRetry(fs, from, to);
            if (!moved.ok())
                report("moving " + from, moved);
        }
    }
    if (exists(base + sub)) {
        const FileResult moved = MoveFileRetry(fs, base + sub, generation(1));
        if (!moved.ok())
            report("Generation: moving " + base + sub, moved);
    }
}
