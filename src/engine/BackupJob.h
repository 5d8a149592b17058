#pragma once

#include "base/DateTime.h"
#include "profiles/TProfile.h"

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

struct ProgramSettings;

/// The reference of a profile that never ran cleanly: every file counts as changed.
inline constexpr std::int64_t NeverRan = INT64_MIN;

/// Everything a run needs to know, fixed when it starts.
struct BackupJob
{
    TProfile profile;                      // a private copy; the run never touches the list's record
    std::int64_t referenceTime = NeverRan; // seconds since 1970: files changed after it count
    std::int32_t attributeMask = 32 + 4 + 2 + 1;
    std::int32_t compression = 5; // the program-wide level
    std::int32_t priority = -2;   // the program-wide priority
    bool logAll = false;
    bool logError = true;
    bool logProfile = true;
    std::string ftpTransferExt;
    int ftpReplySeconds = 15; // how long the server may keep silent (tests shorten it)
    int language = 0;
    std::string dataFolder;         // the program's own files: never copied, moved, deleted or emptied
    std::string workTag;            // marks the run's own files; empty: a new one for every run
    std::vector<std::string> notes; // lines for the report before the run's own (the program before it)
    // Someone is there to put in another medium: the user started the run from the window. A
    // run nobody watches never gives up what a medium holds for a question nobody answers.
    bool someoneToAsk = false;
};

/// File-search attribute bits: read-only 1, hidden 2, system 4, archive 32.
std::int32_t AttributeMaskOf(const TProfile& profile, const ProgramSettings& settings);

/// The job for a profile with the program settings.
BackupJob MakeBackupJob(const TProfile& profile, const ProgramSettings& settings, std::int64_t referenceTime);

/// Flags the main thread sets and the run reads: before each file search, after each folder
/// and (pause) before each file.
struct RunControl
{
    std::atomic<bool> abortRequested{false};
    std::atomic<bool> paused{false};
};

/// What a run hands back when it ends.
struct RunResult
{
    std::vector<std::string> logLines;
    std::int32_t errorCount = 0;
    std::int32_t compressionRate = 0;
    std::int64_t bytesDone = 0;
    std::int64_t filesDone = 0;
};
