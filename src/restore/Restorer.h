#pragma once

#include "engine/BackupJob.h"
#include "engine/ReportLines.h"
#include "platform/FileSystem.h"
#include "restore/BackupCatalogue.h"
#include "restore/DestinationLayout.h"

#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

class ZipReader;
class RemoteFiles;

/// What becomes of a file that exists at the target and differs from the version restored.
enum class ConflictAnswer
{
    Replace,  // the restored version takes its place
    KeepBoth, // the restored version goes beside it, its name with the version's date
    Skip,     // it stays, and this file is not restored
};

/// Asked for each conflict: the target, what is there, and the version that would replace it.
using ConflictQuestion =
    std::function<ConflictAnswer(const std::string& target, const FileEntry& existing, const StoredVersion& version)>;

/// What a restore is to do.
struct RestoreRequest
{
    std::vector<BackupCatalogue::Chosen> items; // folders before what they hold
    const DestinationLayout* layout = nullptr;
    std::string targetFolder;      // empty: every file to its original place; else below it as in the destination
    std::string password;          // of the archives
    std::string scratchFolder;     // where a split archive is joined while it is read
    RemoteFiles* server = nullptr; // the FTP server of a profile that uploads
    ConflictQuestion conflict;
    std::int64_t localOffsetSeconds = 0; // local time minus UTC, for the date in a name kept beside
    bool logAll = false;
    std::string workTag; // marks the restore's own files while it works
    /// Told after each file: how many of the files among items were handled, and the bytes back.
    std::function<void(std::int64_t filesHandled, std::int64_t bytesDone)> progress;
};

/// What a restore did.
struct RestoreOutcome
{
    std::vector<std::string> lines; // file and error lines for the report
    RunStatistics stats;            // filesDone: restored or found as they were; errorCount
    std::int64_t skipped = 0;       // conflicts answered with Skip
};

/// Gives the chosen versions back: each file is written beside its target under a hidden name
/// of the restore's own and renamed into place when complete, with its time, mode, owner (as
/// root), attributes and links as stored, so a restore cut short never leaves half a file under
/// a real name. A file at the target that differs is replaced only when the question says so.
class Restorer final
{
public:
    Restorer(FileSystem& fs, RunControl& control);
    ~Restorer();
    Restorer(const Restorer&) = delete;
    Restorer& operator=(const Restorer&) = delete;

    RestoreOutcome Run(const RestoreRequest& request);

    /// Where the version of sub goes: its original place, or below targetFolder.
    static std::optional<std::string> TargetOf(const RestoreRequest& request, const std::string& sub);
    /// The name beside target for a version of mtimeNs kept with the file there: "name (yyyy-mm-dd
    /// hh.nn.ss).ext", with a number after the time from the second on, cut to fit 255 bytes.
    static std::string NameWithDate(const std::string& target, std::int64_t mtimeNs, std::int64_t localOffsetSeconds,
                                    int number = 1);

private:
    struct Pending
    {
        std::string target;
        const StoredVersion* version;
    };
    void restoreFile(const RestoreRequest& request, const std::string& sub, const StoredVersion& v,
                     RestoreOutcome& outcome);
    Status write(const RestoreRequest& request, const StoredVersion& v, const std::string& target);
    Status writeFromArchive(const RestoreRequest& request, const StoredVersion& v, const std::string& staged);
    /// A symbolic link among the folders from the root of the restore down to target (sub
    /// below it), or nothing.
    std::optional<std::string> linkOnTheWay(const RestoreRequest& request, const std::string& sub,
                                            const std::string& target);
    /// Makes every missing folder of folder; the first failure.
    Status makeFolders(const std::string& folder);
    Status putInPlace(const StoredVersion& v, const std::string& staged, const std::string& target, bool metadata);
    void waitWhilePaused() const;
    bool aborted() const { return m_control.abortRequested.load(); }

    FileSystem& m_fs;
    RunControl& m_control;
    std::map<std::string, std::unique_ptr<ZipReader>> m_archives;
    std::map<std::string, std::string> m_archiveErrors;
    unsigned m_staged = 0;
    std::set<std::string> m_checked; // folders found to be no links
    std::set<std::string> m_stored;  // target folders whose mode the backup keeps, each ending with "/"
};
