#pragma once

#include "engine/BackupJob.h"
#include "engine/ReportLines.h"
#include "platform/FileSystem.h"
#include "restore/BackupContents.h"

#include <string>
#include <vector>

class RemoteFiles;

/// What a check of a backup found.
struct CheckOutcome
{
    std::vector<std::string> lines; // an error line for each archive, entry or copy that cannot be read
    RunStatistics stats;            // filesDone: read whole and sound; errorCount: damaged or missing
};

/// Checks that the backup can be restored without restoring it: every archive opens and every
/// entry reads to its end with a matching CRC (with the password), every copy and every file on
/// the server reads to its end. What the contents could not read at all counts too.
CheckOutcome CheckBackup(const BackupContents& contents, FileSystem& fs, const std::string& password,
                         const std::string& scratchFolder, RemoteFiles* server, RunControl& control);
