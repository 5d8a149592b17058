#pragma once

#include "base/DateTime.h"
#include "platform/Platform.h"
#include "engine/BackupJob.h"
#include "platform/FileSystem.h"
#include "profiles/ProfileList.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

// The rules the run controller applies around a run, as values in and values out.

/// The moment (seconds since 1970) files must have changed after to count for a run by date:
/// the start of the profile's last run without errors; for an incremental profile the latest of
/// that and the last clean runs of the full backup profiles named IncrFull (exact name); for a
/// differential one the last clean run of those full backups, or without any its own first clean
/// run. NeverRan when there is none: every file counts.
std::int64_t ReferenceTimeOf(const TProfile& profile, const ProfileList& profiles);

/// The note for a run whose reference lies after its own start (the clock went ahead at an
/// earlier run: a second system keeping the hardware clock in local time, a virtual machine set
/// back): nothing would count as changed, so the run takes every file and says why. Nothing for
/// a reference that can be trusted.
std::optional<std::string> FutureReferenceNote(std::int64_t reference, std::int64_t started);

/// The profile's LastGoodRun after a run without errors that started at started and compared
/// with reference: that start, except for a differential profile, whose base stays the run that
/// took every file.
std::int64_t NextReferenceOf(const TProfile& profile, std::int64_t reference, std::int64_t started);

/// The share a logon connects to: "\\srv\data\backup\x" gives "\\srv\data".
std::string ShareRoot(const std::string& path);

/// The next full ten minutes after now (10:23:30 gives 10:30:00; 10:20:00 gives 10:30:00).
DateTime NextTenMinuteMark(DateTime now);

/// The folder a before or after program starts in: the command line up to its last "/" when
/// that is a folder (isFolder says), else home. A line with a path among its arguments
/// ("pg_dump -f /backup/db.sql") runs in home.
std::string RunProgramFolder(const std::string& commandLine, const std::string& home,
                             const std::function<bool(const std::string&)>& isFolder);

/// The report's note about a program before the run that could not be started or, waited for,
/// ended with an exit status other than 0; nothing when it went well.
std::optional<std::string> ProgramNote(const std::string& commandLine, const Platform::ProgramRun& run, bool waited);

/// The report of a run whose destination cannot be reached.
std::vector<std::string> UnavailableDestinationReport(const std::string& name, const std::string& destination,
                                                      const std::optional<Status>& logonError,
                                                      const std::optional<Status>& destinationError, bool scheduled,
                                                      DateTime now);

/// The message after a run with errors.
std::string ErrorCountMessage(std::int32_t errors);
