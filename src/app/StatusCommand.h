#pragma once

#include "platform/Platform.h"

#include <filesystem>

/// --status of the command line: each profile's last run, last run without errors, errors, next
/// run and whether it is overdue, as lines or (json) as a JSON array on standard output. Reads
/// the data folder and writes nothing, with or without a copy running on it. The exit status is
/// 0 when every profile is well, 1 when one's last run failed or one is overdue, 2 when the data
/// folder or its profile file cannot be read.
int RunStatusCommand(const std::filesystem::path& dataFolder, bool json, Platform& platform);
