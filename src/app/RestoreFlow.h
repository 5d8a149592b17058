#pragma once

#include "base/ProgramSettings.h"
#include "engine/CurlFtpSession.h"
#include "platform/FileSystem.h"
#include "platform/Platform.h"
#include "restore/BackupContents.h"
#include "restore/FtpRemoteFiles.h"
#include "restore/Restorer.h"

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

/// A profile's backup opened for a restore, a listing or a check: for an FTP profile the session
/// with its server, and what the destination holds. Reading may take long (a large archive, a
/// slow server): the windows do it on a worker, and control's cancel stops a server that keeps
/// it waiting.
class OpenedBackup final
{
public:
    OpenedBackup(TProfile profile, Platform& platform, FileSystem& fs, RunControl& control);
    OpenedBackup(const OpenedBackup&) = delete;
    OpenedBackup& operator=(const OpenedBackup&) = delete;

    /// Connects to the server (an FTP profile) and reads the destination as a run at start would
    /// find it; what could not be read is among contents().problems.
    void Read(DateTime start, int language);

    const TProfile& profile() const { return m_profile; }
    BackupContents& contents() { return *m_contents; }
    const BackupContents& contents() const { return *m_contents; }
    RemoteFiles* server() { return m_server.get(); }
    DateTime start() const { return m_start; }
    /// The password of the profile's archives, when it keeps one.
    std::string storedPassword() const;

private:
    TProfile m_profile;
    Platform& m_platform;
    FileSystem& m_fs;
    RunControl& m_control;
    CurlFtpSession m_session;
    std::unique_ptr<FtpRemoteFiles> m_server;
    std::optional<BackupContents> m_contents;
    DateTime m_start = 0.0;
};

/// The moments a point-in-time choice offers, newest first: for each version the destination
/// keeps (a generation, a dated archive) the latest moment a file was stored with it.
std::vector<std::int64_t> KnownMoments(const BackupCatalogue& catalogue);

/// What a restore is asked to give back, and how.
struct RestoreChoice
{
    std::optional<DateTime> at;                 // "Stand vom", when one was chosen
    std::vector<BackupCatalogue::Chosen> items; // folders before what they hold
    std::vector<std::string> notes;             // what was asked for and is not there: error lines
    std::string target;                         // empty: the original places; else a folder ending with "/"
    std::string password;                       // of the archives
    ConflictQuestion conflict;
    std::string conflictText; // what a differing file gets, as the report's header says it
};

/// The items of the backup's state at moment that paths (original paths; none: everything) name;
/// a path the backup does not hold becomes a note.
void ChooseByPaths(const BackupContents& contents, std::optional<std::int64_t> moment,
                   const std::vector<std::string>& paths, RestoreChoice& choice);

/// How a restore ended.
struct RestoreEnd
{
    std::vector<std::string> report; // as written to the log
    RunStatistics stats;
    std::int64_t skipped = 0;
    bool written = false; // the report reached the log
};

/// Where a restore runs and what it reports to.
struct RestorePlace
{
    std::filesystem::path dataFolder; // for the note of where it writes, which a killed restore leaves
    const ProgramSettings& settings;
    Platform& platform;
    FileSystem& fs;
    RunControl& control;
    /// Appends the report to Backup.log; false when it could not be written.
    std::function<bool(const std::vector<std::string>&)> appendToLog;
    std::function<void(std::int64_t filesHandled, std::int64_t bytesDone)> progress;
};

/// Restores what choice names from the opened backup: clears what a killed restore left, notes
/// where this one writes, runs the Restorer, and writes the report ("Wiederherstellung") with its
/// counts, errors and target to the log. On the calling thread; the conflict question is asked
/// from it.
RestoreEnd RunRestore(OpenedBackup& backup, const RestoreChoice& choice, const RestorePlace& place);
