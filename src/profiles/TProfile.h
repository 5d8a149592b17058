#pragma once

#include "base/DateTime.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

/// Schedule kinds (`Period`).
enum : std::uint8_t
{
    PeriodNone = 0,
    PeriodNotPeriodic = 1,
    PeriodInterval = 2,
    PeriodDaily = 3,
    PeriodWeekly = 4,
    PeriodMonthly = 5,
    PeriodFree = 6,
};

/// Kinds of run (`Backuptype`).
enum : std::uint8_t
{
    BackupFull = 1,
    BackupIncremental = 2,
    BackupDelete = 3,
    BackupMove = 4,
    BackupDifferential = 5,
    BackupSynchronise = 6,
};

/// One backup profile: what, where to, how, when, and the outcome of its last run.
/// A plain record; each field carries the name of its key in the profile file.
/// A fresh record has every flag off, every number 0, every text empty and every moment 0.0.
struct TProfile
{
    std::string Name;
    bool Advanced = false;
    bool SourceListTree = false;
    std::vector<std::string> Source;
    bool Withsub = false;
    bool Withempty = false;
    std::string Destination;
    bool NetLogon = false;
    std::string NetUser;   // clear text in memory, scrambled in the file
    std::string NetPasswd; // clear text in memory, scrambled in the file
    bool CheckDestname = false;
    std::string DestName;
    bool DestErase = false;
    bool DiskSpan = false;
    std::int32_t MaxVolumeSize = 0;
    bool DiskSpanFormat = false;
    std::string Zipfile;
    std::string Addfiles;
    std::string Exclfiles;
    std::uint8_t Period = 0;
    std::uint8_t Hours = 0;
    std::uint8_t Minutes = 0;
    std::string RunTime;
    std::array<bool, 7> DayOfWeek{}; // Monday first
    std::uint8_t Weeks = 0;
    std::uint8_t Day = 0; // 0 = Monday … 6 = Sunday
    std::string Weektime;
    std::uint8_t MonthDay = 0;
    std::string Monthtime;
    std::string FreeTime;
    DateTime DateTimeFrom = 0.0;
    DateTime DateTimeTo = 0.0;
    bool MissedBackup = false;
    bool OnStartup = false;
    bool OnShutDown = false;
    bool ShutDown = false;
    bool ShutDownForce = false;
    std::uint8_t Backuptype = 0;
    bool Verify = false;
    bool VerifyBit = false;
    bool RecycleBin = false;
    bool Archive = false;
    std::string IncrFull;
    bool FTP = false;
    std::string FTPServer;
    std::uint8_t FTPMode = 0; // 0 Auto, 1 Text, 2 Binär
    bool FTPPassive = false;
    bool Compress = false;
    bool Encrypt = false;
    std::string Password; // clear text in memory, scrambled in the file
    bool TempDir = false;
    std::string TempDirName;
    bool CompLev = false;
    std::uint8_t CompLevel = 0;
    bool CompDel = false;
    std::uint8_t Generations = 0;
    bool Prior = false;
    std::int32_t Priority = 0;
    bool XFileAtt = false;
    bool SFileAtt = false;
    bool HFileAtt = false;
    bool RFileAtt = false;
    DateTime LastRun = 0.0;
    // Start of the last run that ended without errors, in seconds since 1970 (UTC; 0: none): what
    // a run by date compares with, so a file that failed is taken again. For a differential
    // profile without a full backup to build on, its first such run, which took every file.
    std::int64_t LastGoodRun = 0;
    // When the last run without errors began (0: none recorded): how long a profile has been
    // silent is counted from it.
    DateTime LastSuccess = 0.0;
    // A backup takes what a symbolic link leads to instead of the link (with loop protection).
    bool FollowLinks = false;
    // The file system the destination lay on at the last run without errors: its identity (as
    // VolumeInfo gives it) and its mount point. A destination below that mount point that now
    // lies on the disk holding the empty mount point is a medium that is not plugged in.
    std::string DestFileSystem;
    std::string DestMountPoint;
    DateTime NextRun = 0.0;
    std::int32_t Errors = 0;
    // A run began (at LastRun) and has not ended: found so at start-up, the program was killed
    // during that run.
    bool RunUnfinished = false;
    std::string RunBefore;
    bool RunBeforeWait = false;
    std::string RunAfter;
    bool RunAfterWait = false;
    bool RunRequest = false; // transient: another copy asked for a run; never stored
    std::int64_t FilesCount = 0;
    std::int64_t FilesSize = 0;
    std::int32_t FilesCompressed = 0;

    bool operator==(const TProfile&) const = default;
};
