#pragma once

#include "engine/BackupJob.h"
#include "engine/FtpSession.h"
#include "engine/RunObserver.h"
#include "platform/ArchiveAttribute.h"
#include "platform/FileSystem.h"
#include "platform/Platform.h"

#include <functional>
#include <memory>

/// One run of one profile, from the report's header to its footer: expands the paths, checks
/// the medium, empties the destination when asked, counts the files, processes them and
/// reports. Runs on the calling thread; BackupThread gives it a thread of its own.
class BackupRun final
{
public:
    using FtpFactory = std::function<std::unique_ptr<FtpSession>()>;

    /// openFtp makes the session of an FTP profile (libcurl unless a test says otherwise).
    BackupRun(BackupJob job, Platform& platform, FileSystem& fs, ArchiveAttribute& archive, RunObserver& observer,
              RunControl& control, FtpFactory openFtp = {});

    RunResult Run();

private:
    void writeArchive(struct RunState& state, const std::string& archivePath, bool addToExisting);
    /// Writes what the destination cannot keep itself beside the copies, or sends it to the
    /// server; false (with an error line) when it could not.
    bool keepMetadata(struct RunState& state, const class KeptMetadata& kept, const class RunMarker& marker);
    /// Where an archive is built when not beside it in the destination; empty when it is.
    std::string zipWorkFolder(FileSystem& fs) const;
    /// When the destination must not be emptied, the report text saying why.
    /// Empties the destination folder, but for the entry named keep and the archive it is to
    /// replace; with setAside only moves what it held into a folder of the run's own.
    std::optional<std::string> emptyDestination(struct RunState& state, const std::string& keep, bool setAside);

    BackupJob m_job;
    Platform& m_platform;
    FileSystem& m_fs;
    ArchiveAttribute& m_archive;
    RunObserver& m_observer;
    RunControl& m_control;
    FtpFactory m_openFtp;
};

/// Why the destination must not be emptied (it is a file-system root or the home folder, or it
/// holds a source or the program's data folder, by real location), or nothing when it may.
std::optional<std::string> RefusalToErase(FileSystem& fs, const std::string& destination,
                                          const std::vector<std::string>& sources, const std::string& home,
                                          const std::string& dataFolder);

/// Why a profile must not run at all, before anything is touched: an unknown kind of run, no
/// destination, a synchronisation without exactly one source, encryption without a password, a
/// source that is the destination, a source in the program's data folder, or a move or deletion
/// of a source that holds it.
std::optional<std::string> RefusalToRun(FileSystem& fs, const TProfile& profile,
                                        const std::vector<std::string>& sources, const std::string& destination,
                                        const std::string& dataFolder);
